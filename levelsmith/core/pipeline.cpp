#include "pipeline.h"

#include <cstring>
#include <string>

#include "text_conversions.h"

namespace levelsmith {

namespace {

template <std::size_t N>
void CopyText(char (&to)[N], const char* from) {
    std::strncpy(to, from, N - 1);
    to[N - 1] = '\0';
}

// Runs `use` with the entry point `entry`, given its type `Call`, unless a
// stop was asked; false when the library was not entered. A missing entry
// point is not called. The entry point is taken as the library is entered,
// so that nothing of the bindings is read once the libraries may be going
// away.
template <typename Call, typename Use>
bool CallLibrary(Pipeline& pipeline, Entry entry, Use use) {
    RawEntry raw = nullptr;
    if (!pipeline.EnterLibrary(entry, &raw)) {
        return false;
    }
    if (raw != nullptr) {
        use(reinterpret_cast<Call>(raw));
    }
    pipeline.LeaveLibrary();
    return true;
}

void ShowInfo(Pipeline& pipeline, const char* text) {
    pipeline.ops.ShowMessage(text, kInfoCaption, kMbOk);
}

void ResetBar(Pipeline& pipeline) {
    pipeline.ops.SendToBar(pipeline.progressBar, kPbmSetPos, 0);
    pipeline.ops.SendToBar(pipeline.progressBar, kPbmSetStep, 1);
    pipeline.barPosition = 0;
}

// Puts a counter value on the bar unless the bar shows it already.
void ShowOnBar(Pipeline& pipeline, int value) {
    if (value != pipeline.barPosition) {
        pipeline.ops.SendToBar(pipeline.progressBar, kPbmSetPos, value);
        pipeline.barPosition = value;
    }
}

void RunCsgPass(Pipeline& pipeline) {
    const float epsilon = EpsilonFromText(pipeline.epsilonText);
    ModelNames names = pipeline.Model();
    char output[] = "level.dat";  // the library gets a buffer of its own
    static_assert(sizeof output == sizeof kCsgOutputName);

    int* counter = nullptr;
    if (!CallLibrary<GetProgressCall>(
            pipeline, Entry::CsgGetProgress,
            [&](GetProgressCall getProgress) { counter = getProgress(); })) {
        return;
    }
    pipeline.progressCounter = counter;
    if (!CallLibrary<CompileCsgCall>(pipeline, Entry::CompileCsg, [&](CompileCsgCall compileCsg) {
            compileCsg(names.inputPath, output, epsilon);
        })) {
        return;
    }
    pipeline.pipelineState = WaitCsg;
}

// A thread of the compile could not be started: back to the state before
// Compile, with the error told, so that Compile can be pressed again. Run by
// the thread that tried to start it, which touches the pipeline no more.
void ReportNotStarted(Pipeline& pipeline) {
    pipeline.pipelineState = Idle;
    pipeline.ops.ShowNormalCursor();
    pipeline.ops.ShowMessage(kNotStartedText, kMissingCaption, kMbOk | kMbIconError);
    pipeline.compileReady = true;
}

// One poll of the CSG counter; false when the pass has not ended yet.
bool PollCsg(Pipeline& pipeline) {
    const std::optional<int> value = pipeline.ReadCounter();
    if (!value) {
        return true;
    }
    ShowOnBar(pipeline, *value);
    if (*value < 100) {
        return false;
    }
    ShowInfo(pipeline, kCsgCompleteText);
    if (pipeline.StopRequested()) {
        return true;
    }
    ResetBar(pipeline);
    pipeline.pipelineState = StartBsp;
    return true;
}

// False when BspWorker could not be started: the compile is then given up
// and PipelineWorker must end.
bool StartBspPass(Pipeline& pipeline) {
    int* counter = nullptr;
    if (!CallLibrary<GetProgressCall>(
            pipeline, Entry::CompilerGetProgress,
            [&](GetProgressCall getProgress) { counter = getProgress(); })) {
        return true;
    }
    pipeline.progressCounter = counter;
    pipeline.ops.ShowWaitCursor();
    if (!pipeline.ops.BeginThread(BspWorker, &pipeline)) {
        ReportNotStarted(pipeline);
        return false;
    }
    pipeline.pipelineState = WaitBsp;
    return true;
}

// One poll of the BSP counter; false when the pass has not ended yet. Only
// exactly 100 ends it.
bool PollBsp(Pipeline& pipeline) {
    const std::optional<int> value = pipeline.ReadCounter();
    if (!value) {
        return true;
    }
    ShowOnBar(pipeline, *value);
    if (*value != 100) {
        return false;
    }
    ShowInfo(pipeline, kBspCompleteText);
    pipeline.pipelineState = Idle;
    return true;
}

}  // namespace

void Pipeline::SetModel(const char* inputPath, const char* outputName) {
    std::lock_guard lock(mutex_);
    CopyText(model_.inputPath, inputPath);
    CopyText(model_.outputName, outputName);
}

ModelNames Pipeline::Model() const {
    std::lock_guard lock(mutex_);
    return model_;
}

bool Pipeline::EnterLibrary(Entry entry, RawEntry* call) {
    std::lock_guard lock(mutex_);
    if (stopRequested_) {
        return false;
    }
    ++libraryCalls_;
    *call = runtime.Raw(entry);
    return true;
}

void Pipeline::LeaveLibrary() {
    std::lock_guard lock(mutex_);
    --libraryCalls_;
}

std::optional<int> Pipeline::ReadCounter() {
    std::lock_guard lock(mutex_);
    if (stopRequested_) {
        return std::nullopt;
    }
    if (progressCounter == nullptr) {
        return 0;
    }
    // The library writes the counter while its pass runs: read it whole.
    return std::atomic_ref<int>(*progressCounter).load(std::memory_order_acquire);
}

bool Pipeline::PausePoll() {
    // A plain sleep: under Wine a timed wait on a condition variable can
    // cost several times its processor time, and a compile waits for minutes.
    // A stop asked meanwhile is seen at the next counter read or library
    // call, each of which checks it under the lock.
    ops.Sleep(kPollIntervalMs);
    return !StopRequested();
}

void Pipeline::SleepUntilStopped() {
    std::unique_lock lock(mutex_);
    stopped_.wait(lock, [this] { return stopRequested_; });
}

bool Pipeline::StopRequested() const {
    std::lock_guard lock(mutex_);
    return stopRequested_;
}

bool Pipeline::RequestStop() {
    std::lock_guard lock(mutex_);
    stopRequested_ = true;
    stopped_.notify_all();
    return libraryCalls_ > 0;
}

void StartCompile(Pipeline& pipeline) {
    if (!pipeline.compileReady) {
        return;
    }
    if (!CompileEntriesBound(pipeline.runtime)) {
        pipeline.ops.ShowMessage(DescribeMissing(pipeline.runtime).c_str(), kMissingCaption,
                                 kMbOk | kMbIconError);
        return;
    }
    pipeline.compileReady = false;
    pipeline.progressBar = pipeline.ops.FindItem(kProgressId);
    pipeline.ops.ReadItemText(kEpsilonId, pipeline.epsilonText, kTextSize);
    pipeline.epsilonText[kTextSize - 1] = '\0';
    pipeline.ops.ReadItemText(kSplitId, pipeline.splitText, kTextSize);
    pipeline.splitText[kTextSize - 1] = '\0';
    ResetBar(pipeline);
    pipeline.pipelineState = StartCsg;
    if (!pipeline.ops.BeginThread(PipelineWorker, &pipeline)) {
        ReportNotStarted(pipeline);
    }
}

unsigned PipelineWorker(void* param) {
    Pipeline& pipeline = *static_cast<Pipeline*>(param);
    while (!pipeline.StopRequested()) {
        switch (pipeline.pipelineState.load()) {
            case StartCsg:
                RunCsgPass(pipeline);
                break;
            case WaitCsg:
                if (!PollCsg(pipeline)) {
                    pipeline.PausePoll();
                }
                break;
            case StartBsp:
                if (!StartBspPass(pipeline)) {
                    return 0;
                }
                if (pipeline.pipelineState != WaitBsp) {
                    break;
                }
                [[fallthrough]];
            case WaitBsp:
                if (!PollBsp(pipeline)) {
                    pipeline.PausePoll();
                }
                break;
            default:
                // Nothing more can happen in this run: sleep, not spin.
                pipeline.SleepUntilStopped();
                break;
        }
    }
    return 0;
}

unsigned BspWorker(void* param) {
    Pipeline& pipeline = *static_cast<Pipeline*>(param);
    if (!pipeline.bspPending) {
        return 0;
    }
    const float epsilon = EpsilonFromText(pipeline.epsilonText);
    const int split = SplitFromText(pipeline.splitText);
    ModelNames names = pipeline.Model();
    CallLibrary<CompileBspCall>(pipeline, Entry::CompileBsp, [&](CompileBspCall compileBsp) {
        compileBsp(names.inputPath, names.outputName, false, epsilon, split);
    });
    pipeline.bspPending = false;
    return 0;
}

ShutdownResult ShutdownPipeline(Pipeline& pipeline) {
    return ShutdownResult{pipeline.RequestStop()};
}

void ShutdownPipelineAndRuntime(Pipeline& pipeline, LibraryOps& libraries,
                                RuntimeBindings& runtime) {
    if (!ShutdownPipeline(pipeline).libraryCallRunning) {
        CloseRuntime(libraries, runtime);
    }
}

}  // namespace levelsmith
