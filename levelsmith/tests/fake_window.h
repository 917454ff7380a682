#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pipeline_ops.h"

// The dialog, its progress bar, message boxes, cursor and threads as the
// pipeline sees them. Threads are real and joined by Join(); message boxes
// captioned "Info" stay open until the test answers them, as a user's would.
namespace levelsmith::testing {

using namespace std::chrono_literals;

struct WindowEvent {
    // "bar pos 37", "bar step 1", "box CSG pass complete", "cursor", "normal cursor",
    // "thread", "thread refused", "thread 2 ended" (threads counted from 1 as they start)
    std::string text;
    std::thread::id thread;
    std::chrono::steady_clock::time_point time;
};

struct BoxShown {
    std::string text;
    std::string caption;
    unsigned style;
};

class FakeWindow final : public PipelineOps {
  public:
    std::map<int, std::string> itemTexts;  // by control id
    int refuseThread = 0;                  // this start (counted from 1) fails; 0: none

    bool BeginThread(ThreadProc proc, void* param) override;
    WindowRef FindItem(int id) override;
    void ReadItemText(int id, char* buffer, int size) override;
    void SendToBar(WindowRef bar, unsigned message, int value) override;
    void ShowMessage(const char* text, const char* caption, unsigned style) override;
    void ShowWaitCursor() override;
    void ShowNormalCursor() override;
    // Really sleeps, and counts the sleeps.
    void Sleep(int milliseconds) override;

    // Closes the open "Info" box (waiting for one to open); false when none
    // opened in time.
    bool AnswerBox(std::chrono::milliseconds timeout = 5s);
    // Waits until a box with this text is open.
    bool WaitForBox(const std::string& text, std::chrono::milliseconds timeout = 5s);
    // From now on every box closes at once.
    void AnswerAllBoxes();
    // Waits until an event satisfying `match` has been recorded.
    bool WaitForEvent(const std::function<bool(const WindowEvent&)>& match,
                      std::chrono::milliseconds timeout = 5s);
    bool WaitForEvent(const std::string& text, std::chrono::milliseconds timeout = 5s);
    // Waits for every thread started so far, and those they start.
    void Join();

    std::vector<WindowEvent> Events() const;
    std::vector<std::string> EventTexts() const;
    std::vector<BoxShown> Boxes() const;
    int ThreadsStarted() const;
    int Sleeps() const { return sleeps_; }
    bool BoxOpen() const;

  private:
    void Record(std::string text);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<WindowEvent> events_;
    std::vector<BoxShown> boxes_;
    std::vector<std::thread> threads_;
    int threadsStarted_ = 0;
    int threadStarts_ = 0;  // refused ones included
    std::atomic<int> sleeps_{0};
    bool boxOpen_ = false;
    bool answerAll_ = false;
    int answers_ = 0;
};

}  // namespace levelsmith::testing
