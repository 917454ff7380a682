#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>

#include "pipeline_ops.h"
#include "runtime_bindings.h"

// The two-pass compile: StartCompile, run on the user-interface thread by
// the Compile button, starts PipelineWorker, which runs the CSG pass, polls
// its counter into the progress bar, announces its end, starts BspWorker
// for the BSP pass and polls that pass's counter the same way. One compile
// per run of the program.
namespace levelsmith {

inline constexpr std::size_t kTextSize = 256;
inline constexpr char kCsgOutputName[] = "level.dat";
inline constexpr char kInfoCaption[] = "Info";
inline constexpr char kCsgCompleteText[] = "CSG pass complete";
inline constexpr char kBspCompleteText[] = "BSP pass complete";
inline constexpr char kNotStartedText[] =
    "The compile could not be started: Windows could not start a thread for it.\n\n"
    "Press Compile to try again.";
// Between two polls of a counter: the bar lags the counter by about this,
// which nobody sees, while under Wine each poll's wake-up costs some 15 µs of
// processor time, for as long as a compile runs.
inline constexpr int kPollIntervalMs = 20;

// Values of pipelineState; any other value counts as Idle.
enum PipelineStateValue : std::int32_t {
    Idle = 0,
    StartCsg = 1,
    WaitCsg = 2,
    StartBsp = 3,
    WaitBsp = 4,
};

// The model chosen with "..." and the map name derived from it.
struct ModelNames {
    char inputPath[kTextSize] = {};
    char outputName[kTextSize] = {};
};

// The pipeline's shared state. The option texts and the bar belong to the
// user-interface thread and are written before PipelineWorker starts;
// pipelineState and progressCounter then belong to PipelineWorker,
// bspPending to BspWorker. compileReady is cleared by the Compile button and
// set again only when a thread of the compile could not be started, by the
// thread that found out, as its last step. The model names may be rewritten
// by a browse at any time and are therefore only reached under the
// pipeline's lock: each pass works on a copy taken when it starts.
class Pipeline {
  public:
    Pipeline(PipelineOps& windowOps, const RuntimeBindings& bindings)
        : ops(windowOps), runtime(bindings) {}
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    PipelineOps& ops;
    const RuntimeBindings& runtime;

    char epsilonText[kTextSize] = {};
    char splitText[kTextSize] = {};
    WindowRef progressBar = 0;
    std::atomic<bool> compileReady{true};
    std::atomic<std::int32_t> pipelineState{Idle};
    int* progressCounter = nullptr;
    // The position the bar was last given, so that a poll that finds the
    // counter unchanged does not make the user-interface thread handle it
    // again. Written before PipelineWorker starts, then by it alone.
    int barPosition = 0;
    bool bspPending = true;

    // Replaces both names at once (the browse); each is cut to fit.
    void SetModel(const char* inputPath, const char* outputName);
    ModelNames Model() const;

    // For the worker threads. A library may be called only between
    // EnterLibrary (false once a stop was asked: call nothing) and
    // LeaveLibrary. EnterLibrary hands out the entry point to call, read
    // under the same lock, or null when the library has none.
    bool EnterLibrary(Entry entry, RawEntry* call);
    void LeaveLibrary();
    // The running pass's counter read whole, under the same rule; nothing
    // once a stop was asked, 0 when the library gave no counter.
    std::optional<int> ReadCounter();
    // Sleeps kPollIntervalMs; false when a stop was asked meanwhile.
    bool PausePoll();
    void SleepUntilStopped();
    bool StopRequested() const;

    // For the shutdown: asks the workers to stop and says whether a thread
    // is still inside a library call.
    bool RequestStop();

  private:
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    ModelNames model_;
    bool stopRequested_ = false;
    int libraryCalls_ = 0;
};

// The Compile button. Does nothing after the first compile has started; with
// an entry point of the passes missing it shows the missing-parts message and
// starts nothing.
void StartCompile(Pipeline& pipeline);

// Thread procedures; the parameter is the Pipeline they work for.
unsigned PipelineWorker(void* param);
unsigned BspWorker(void* param);

struct ShutdownResult {
    // A library call was still running: the libraries must not be shut
    // down or unloaded while it is.
    bool libraryCallRunning = false;
};

// Tells the workers to stop: from now on neither calls a library nor reads a
// counter, and PipelineWorker ends at its next step. Never waits.
ShutdownResult ShutdownPipeline(Pipeline& pipeline);

// The dialog's close: stops the workers, then makes the close calls and
// unloads the libraries of `runtime` (the bindings the pipeline works with)
// unless a pass is still inside one. Then they are left loaded and bound, as
// the running call may still use them: the process ends right after.
void ShutdownPipelineAndRuntime(Pipeline& pipeline, LibraryOps& libraries,
                                RuntimeBindings& runtime);

}  // namespace levelsmith
