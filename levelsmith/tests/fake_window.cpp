#include "fake_window.h"

#include <cstring>

namespace levelsmith::testing {

bool FakeWindow::BeginThread(ThreadProc proc, void* param) {
    std::lock_guard lock(mutex_);
    const bool refused = ++threadStarts_ == refuseThread;
    events_.push_back({refused ? "thread refused" : "thread", std::this_thread::get_id(),
                       std::chrono::steady_clock::now()});
    changed_.notify_all();
    if (refused) {
        return false;
    }
    const int number = ++threadsStarted_;
    threads_.emplace_back([this, proc, param, number] {
        proc(param);
        Record("thread " + std::to_string(number) + " ended");
    });
    return true;
}

WindowRef FakeWindow::FindItem(int id) {
    return static_cast<WindowRef>(0x1000 + id);
}

void FakeWindow::ReadItemText(int id, char* buffer, int size) {
    const std::string& text = itemTexts[id];
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

void FakeWindow::SendToBar(WindowRef bar, unsigned message, int value) {
    if (bar != FindItem(kProgressId)) {
        Record("bar wrong window");
        return;
    }
    Record((message == kPbmSetPos    ? "bar pos "
            : message == kPbmSetStep ? "bar step "
                                     : "bar message ") +
           std::to_string(value));
}

void FakeWindow::ShowMessage(const char* text, const char* caption, unsigned style) {
    std::unique_lock lock(mutex_);
    boxes_.push_back({text, caption, style});
    events_.push_back(
        {std::string("box ") + text, std::this_thread::get_id(), std::chrono::steady_clock::now()});
    changed_.notify_all();
    if (std::strcmp(caption, "Info") != 0) {
        return;
    }
    boxOpen_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return answerAll_ || answers_ > 0; });
    if (answers_ > 0) {
        --answers_;
    }
    boxOpen_ = false;
    events_.push_back({"box closed", std::this_thread::get_id(), std::chrono::steady_clock::now()});
    changed_.notify_all();
}

void FakeWindow::ShowWaitCursor() {
    Record("cursor");
}

void FakeWindow::ShowNormalCursor() {
    Record("normal cursor");
}

void FakeWindow::Sleep(int milliseconds) {
    ++sleeps_;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool FakeWindow::AnswerBox(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [this] { return boxOpen_ && answers_ == 0; })) {
        return false;
    }
    ++answers_;
    changed_.notify_all();
    return changed_.wait_for(lock, timeout, [this] { return answers_ == 0; });
}

bool FakeWindow::WaitForBox(const std::string& text, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(
        lock, timeout, [&] { return boxOpen_ && !boxes_.empty() && boxes_.back().text == text; });
}

void FakeWindow::AnswerAllBoxes() {
    std::lock_guard lock(mutex_);
    answerAll_ = true;
    changed_.notify_all();
}

bool FakeWindow::WaitForEvent(const std::function<bool(const WindowEvent&)>& match,
                              std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
        for (const WindowEvent& event : events_) {
            if (match(event)) {
                return true;
            }
        }
        return false;
    });
}

bool FakeWindow::WaitForEvent(const std::string& text, std::chrono::milliseconds timeout) {
    return WaitForEvent([&](const WindowEvent& event) { return event.text == text; }, timeout);
}

void FakeWindow::Join() {
    for (;;) {
        std::thread thread;
        {
            std::lock_guard lock(mutex_);
            if (threads_.empty()) {
                return;
            }
            thread = std::move(threads_.back());
            threads_.pop_back();
        }
        thread.join();
    }
}

std::vector<WindowEvent> FakeWindow::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<std::string> FakeWindow::EventTexts() const {
    std::vector<std::string> texts;
    for (const WindowEvent& event : Events()) {
        texts.push_back(event.text);
    }
    return texts;
}

std::vector<BoxShown> FakeWindow::Boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

int FakeWindow::ThreadsStarted() const {
    std::lock_guard lock(mutex_);
    return threadsStarted_;
}

bool FakeWindow::BoxOpen() const {
    std::lock_guard lock(mutex_);
    return boxOpen_;
}

void FakeWindow::Record(std::string text) {
    std::lock_guard lock(mutex_);
    events_.push_back(
        {std::move(text), std::this_thread::get_id(), std::chrono::steady_clock::now()});
    changed_.notify_all();
}

}  // namespace levelsmith::testing
