#include <gtest/gtest.h>

#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_runtime.h"
#include "fake_window.h"
#include "pipeline.h"

namespace levelsmith {
namespace {

using testing::FakeLibraries;
using testing::FakeRuntime;
using testing::FakeWindow;
using testing::FloatBits;
using namespace std::chrono_literals;

const std::string kEpsilonBits = FloatBits(0.1f);

// Position of the first element equal to `text` at or after `from`; -1 if none.
int IndexOf(const std::vector<std::string>& texts, const std::string& text, int from = 0) {
    const auto found = std::find(texts.begin() + from, texts.end(), text);
    return found == texts.end() ? -1 : static_cast<int>(found - texts.begin());
}

int IndexStartingWith(const std::vector<std::string>& texts, const std::string& prefix) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i].rfind(prefix, 0) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The processor time of this process, all its threads together. (clock()
// would not do: the Windows runtime's counts wall time.)
std::chrono::nanoseconds ProcessorTime() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

class PipelineTest : public ::testing::Test {
  protected:
    PipelineTest() { window.itemTexts = {{kEpsilonId, "0.1"}, {kSplitId, "3"}}; }

    void SetUp() override { OpenRuntime(libraries, runtime); }

    void TearDown() override {
        ShutdownPipeline(pipeline);
        fake.ReleaseCsg();
        fake.ReleaseBsp();
        window.AnswerAllBoxes();
        window.Join();
    }

    // Compiles up to the open "CSG pass complete" box.
    void CompileToCsgBox() {
        StartCompile(pipeline);
        ASSERT_TRUE(window.WaitForBox("CSG pass complete"));
    }

    // Compiles, answers the CSG box, and waits until CompileBSP is running
    // (held) with the bar following its counter.
    void CompileToBspPass() {
        fake.holdBsp = true;
        CompileToCsgBox();
        ASSERT_TRUE(window.AnswerBox());
        ASSERT_TRUE(fake.WaitForCall("compiler CompileBSP("));
    }

    void SetBspCounterAndWaitForBar(int value) {
        fake.SetBspCounter(value);
        ASSERT_TRUE(window.WaitForEvent("bar pos " + std::to_string(value)));
    }

    // True when no library call and no bar message follows for a while. The
    // process must meanwhile use the processor for less than a fifth of that
    // time: a worker that waits by spinning uses all of it, and a busy
    // machine only lowers its share.
    bool StaysQuiet() {
        constexpr auto kWait = 300ms;
        const std::size_t calls = fake.Calls().size();
        const std::size_t events = window.Events().size();
        const auto processorBefore = ProcessorTime();
        std::this_thread::sleep_for(kWait);
        EXPECT_LT(ProcessorTime() - processorBefore, kWait / 5) << "a worker spins while it waits";
        return fake.Calls().size() == calls && window.Events().size() == events;
    }

    FakeRuntime fake;
    FakeLibraries libraries{fake};
    FakeWindow window;
    RuntimeBindings runtime;
    Pipeline pipeline{window, runtime};
};

TEST_F(PipelineTest, AWholeCompileRunsBothPassesInOrderOnTheirOwnThreads) {
    pipeline.SetModel("C:\\maps\\room.x", "room.bsp");
    fake.holdBsp = true;
    StartCompile(pipeline);
    EXPECT_EQ(window.ThreadsStarted(), 1);

    ASSERT_TRUE(window.WaitForBox("CSG pass complete"));
    EXPECT_TRUE(window.AnswerBox());
    ASSERT_TRUE(fake.WaitForCall("compiler CompileBSP("));
    SetBspCounterAndWaitForBar(40);
    fake.SetBspCounter(100);
    ASSERT_TRUE(window.WaitForBox("BSP pass complete"));
    EXPECT_TRUE(window.AnswerBox());
    fake.ReleaseBsp();
    ASSERT_TRUE(fake.WaitForCall("compiler CompileBSP returns"));

    const std::vector<testing::CallRecord> calls = fake.Calls();
    std::vector<std::string> passCalls;
    for (const auto& call : calls) {
        if (call.text.rfind("load", 0) != 0 && call.text.rfind("find", 0) != 0 &&
            call.text.find("Constructor") == std::string::npos &&
            call.text.find("SetDisplayMode") == std::string::npos) {
            passCalls.push_back(call.text);
        }
    }
    EXPECT_EQ(passCalls,
              (std::vector<std::string>{
                  "csg GetProgress()",
                  "csg CompileCSG(\"C:\\maps\\room.x\", \"level.dat\", " + kEpsilonBits + ")",
                  "csg CompileCSG returns",
                  "compiler GetProgress()",
                  "compiler CompileBSP(\"C:\\maps\\room.x\", \"room.bsp\", false, " + kEpsilonBits +
                      ", 3)",
                  "compiler CompileBSP returns",
              }));

    // The CSG pass and the polls run on PipelineWorker, the BSP pass on a
    // thread of its own; neither is the user-interface thread.
    const auto threadOf = [&](const std::string& prefix) {
        for (const auto& call : calls) {
            if (call.text.rfind(prefix, 0) == 0) {
                return call.thread;
            }
        }
        return std::thread::id{};
    };
    const std::thread::id ui = std::this_thread::get_id();
    const std::thread::id worker = threadOf("csg CompileCSG(");
    EXPECT_NE(worker, ui);
    EXPECT_EQ(threadOf("csg GetProgress"), worker);
    EXPECT_EQ(threadOf("compiler GetProgress"), worker);
    EXPECT_NE(threadOf("compiler CompileBSP("), worker);
    EXPECT_NE(threadOf("compiler CompileBSP("), ui);
    EXPECT_EQ(window.ThreadsStarted(), 2);

    const auto events = window.EventTexts();
    // The bar is reset before the worker starts; the boxes come in turn,
    // and the wait cursor is set before the BSP thread starts.
    EXPECT_EQ(events[0], "bar pos 0");
    EXPECT_EQ(events[1], "bar step 1");
    EXPECT_EQ(events[2], "thread");
    const int csgBox = IndexOf(events, "box CSG pass complete");
    const int cursor = IndexOf(events, "cursor");
    const int bspBox = IndexOf(events, "box BSP pass complete");
    ASSERT_GT(csgBox, 2);
    EXPECT_GT(cursor, csgBox);
    EXPECT_EQ(events[cursor + 1], "thread");
    EXPECT_GT(IndexOf(events, "bar pos 40", cursor), cursor);
    EXPECT_EQ(events[bspBox - 1], "bar pos 100");
    for (const auto& box : window.Boxes()) {
        EXPECT_EQ(box.caption, "Info");
        EXPECT_EQ(box.style, kMbOk);
    }
    ShutdownPipeline(pipeline);
    window.Join();
    EXPECT_EQ(pipeline.pipelineState, Idle);
    EXPECT_FALSE(pipeline.bspPending);
}

TEST_F(PipelineTest, BeforeAnyBrowseBothPassesGetEmptyNames) {
    fake.holdBsp = true;
    CompileToBspPass();
    EXPECT_TRUE(fake.Called("csg CompileCSG(\"\", \"level.dat\", " + kEpsilonBits + ")"));
    EXPECT_TRUE(fake.Called("compiler CompileBSP(\"\", \"\", false, " + kEpsilonBits + ", 3)"));
}

TEST_F(PipelineTest, ASecondCompileDuringOrAfterTheFirstDoesNothing) {
    fake.holdCsg = true;
    StartCompile(pipeline);
    ASSERT_TRUE(fake.WaitForCall("csg CompileCSG("));
    window.itemTexts[kEpsilonId] = "9";
    StartCompile(pipeline);
    EXPECT_EQ(window.ThreadsStarted(), 1);
    EXPECT_STREQ(pipeline.epsilonText, "0.1");

    fake.ReleaseCsg();
    ASSERT_TRUE(window.AnswerBox());
    ASSERT_TRUE(window.AnswerBox());
    ASSERT_TRUE(window.WaitForEvent("box closed"));
    const std::size_t events = window.Events().size();
    StartCompile(pipeline);
    EXPECT_EQ(window.Events().size(), events);
    int compiles = 0;
    for (const auto& text : fake.CallTexts()) {
        compiles += text.rfind("csg CompileCSG(", 0) == 0;
    }
    EXPECT_EQ(compiles, 1);
}

TEST_F(PipelineTest, OptionTextsReachThePassesConverted) {
    window.itemTexts[kEpsilonId] = " 2.5e-3junk";
    window.itemTexts[kSplitId] = "-2.7";
    CompileToBspPass();
    EXPECT_TRUE(fake.Called("csg CompileCSG(\"\", \"level.dat\", " + FloatBits(2.5e-3f) + ")"));
    EXPECT_TRUE(
        fake.Called("compiler CompileBSP(\"\", \"\", false, " + FloatBits(2.5e-3f) + ", -2)"));
}

TEST_F(PipelineTest, LongOptionTextsAreCutToTheBuffers) {
    window.itemTexts = {{kEpsilonId, std::string(300, '7')}, {kSplitId, std::string(300, '8')}};
    fake.holdCsg = true;
    StartCompile(pipeline);
    EXPECT_EQ(std::string(pipeline.epsilonText), std::string(255, '7'));
    EXPECT_EQ(std::string(pipeline.splitText), std::string(255, '8'));
}

class CsgFinalTest : public PipelineTest, public ::testing::WithParamInterface<int> {};

TEST_P(CsgFinalTest, ACsgCounterOfOneHundredOrMoreAtReturnCompletesAtOnce) {
    fake.csgFinal = GetParam();
    CompileToCsgBox();
    // One poll: the final value, then the box.
    EXPECT_EQ(window.EventTexts(),
              (std::vector<std::string>{"bar pos 0", "bar step 1", "thread",
                                        "bar pos " + std::to_string(GetParam()),
                                        "box CSG pass complete"}));
}

INSTANTIATE_TEST_SUITE_P(Finals, CsgFinalTest, ::testing::Values(100, 150));

TEST_F(PipelineTest, ACsgCounterBelowOneHundredKeepsTheWorkerPollingWithoutABox) {
    fake.csgFinal = 99;
    StartCompile(pipeline);
    ASSERT_TRUE(window.WaitForEvent("bar pos 99"));
    const int sleeps = window.Sleeps();
    EXPECT_TRUE(StaysQuiet());
    // Polls pause with the platform's sleep, which costs the least.
    EXPECT_GT(window.Sleeps(), sleeps);
    EXPECT_TRUE(window.Boxes().empty());
    fake.SetCsgCounter(100);
    EXPECT_TRUE(window.WaitForBox("CSG pass complete"));
}

TEST_F(PipelineTest, OnlyABspCounterOfExactlyOneHundredCompletesThePass) {
    CompileToBspPass();
    SetBspCounterAndWaitForBar(99);
    SetBspCounterAndWaitForBar(101);
    EXPECT_TRUE(StaysQuiet());
    EXPECT_FALSE(window.BoxOpen());
    EXPECT_EQ(pipeline.pipelineState, WaitBsp);
    SetBspCounterAndWaitForBar(100);
    EXPECT_TRUE(window.WaitForBox("BSP pass complete"));
}

TEST_F(PipelineTest, TheBarKeepsItsValueWhileTheCsgBoxIsOpenAndIsResetAfterOk) {
    fake.holdBsp = true;
    CompileToCsgBox();
    EXPECT_TRUE(StaysQuiet());
    EXPECT_EQ(window.EventTexts().back(), "box CSG pass complete");
    EXPECT_FALSE(fake.Called("compiler GetProgress"));

    ASSERT_TRUE(window.AnswerBox());
    ASSERT_TRUE(fake.WaitForCall("compiler CompileBSP("));
    const auto events = window.EventTexts();
    const int closed = IndexOf(events, "box closed");
    ASSERT_GE(closed, 0);
    EXPECT_EQ(events[closed + 1], "bar pos 0");
    EXPECT_EQ(events[closed + 2], "bar step 1");
    EXPECT_EQ(events[closed + 3], "cursor");
}

TEST_F(PipelineTest, TheBarFollowsTheCounterClosely) {
    CompileToBspPass();
    for (const int value : {5, 37, 64}) {
        const auto changed = std::chrono::steady_clock::now();
        fake.SetBspCounter(value);
        ASSERT_TRUE(window.WaitForEvent("bar pos " + std::to_string(value)));
        for (const auto& event : window.Events()) {
            if (event.text == "bar pos " + std::to_string(value)) {
                // Polls are 10 ms apart; the bound leaves room for a loaded
                // machine or a sanitizer (scripts/bench-levelsmith measures
                // the real delay) while catching a slow or missing poll.
                EXPECT_LT(event.time - changed, 250ms) << value;
                break;
            }
        }
    }
}

TEST_F(PipelineTest, AnUnchangedCounterIsNotSentToTheBarAgain) {
    CompileToBspPass();
    SetBspCounterAndWaitForBar(40);
    std::this_thread::sleep_for(100ms);  // some ten polls
    const auto events = window.EventTexts();
    EXPECT_EQ(std::count(events.begin(), events.end(), "bar pos 40"), 1);
    SetBspCounterAndWaitForBar(41);
}

TEST_F(PipelineTest, ABrowseDuringAPassChangesOnlyTheLaterPass) {
    pipeline.SetModel("C:\\maps\\first.x", "first.bsp");
    fake.holdCsg = true;
    fake.holdBsp = true;
    StartCompile(pipeline);
    ASSERT_TRUE(fake.WaitForCall("csg CompileCSG("));
    pipeline.SetModel("C:\\maps\\second.x", "second.bsp");
    fake.ReleaseCsg();
    ASSERT_TRUE(window.WaitForBox("CSG pass complete"));
    pipeline.SetModel("C:\\maps\\third.x", "third.bsp");
    ASSERT_TRUE(window.AnswerBox());
    ASSERT_TRUE(fake.WaitForCall("compiler CompileBSP("));
    pipeline.SetModel("C:\\maps\\fourth.x", "fourth.bsp");
    fake.ReleaseBsp();
    ASSERT_TRUE(fake.WaitForCall("compiler CompileBSP returns"));

    EXPECT_TRUE(fake.Called("csg CompileCSG(\"C:\\maps\\first.x\", \"level.dat\""));
    EXPECT_TRUE(fake.Called("compiler CompileBSP(\"C:\\maps\\third.x\", \"third.bsp\""));
    EXPECT_STREQ(pipeline.Model().inputPath, "C:\\maps\\fourth.x");
}

class RefusedThreadTest : public PipelineTest, public ::testing::WithParamInterface<int> {};

// Start 1 is PipelineWorker's, start 2 BspWorker's (after "CSG pass complete").
TEST_P(RefusedThreadTest, IsReportedOnceAndCompileCanBePressedAgain) {
    window.refuseThread = GetParam();
    StartCompile(pipeline);
    if (GetParam() == 2) {
        ASSERT_TRUE(window.AnswerBox());
        ASSERT_TRUE(window.WaitForEvent("thread 1 ended"));
    }
    const auto events = window.EventTexts();
    const int refused = IndexOf(events, "thread refused");
    ASSERT_GE(refused, 0);
    EXPECT_EQ(IndexOf(events, "normal cursor"), refused + 1);
    EXPECT_EQ(IndexOf(events, std::string("box ") + kNotStartedText), refused + 2);
    const auto boxes = window.Boxes();
    EXPECT_EQ(boxes.back().caption, "Levelsmith");
    EXPECT_EQ(boxes.back().style, kMbOk | kMbIconError);
    EXPECT_TRUE(pipeline.compileReady);
    EXPECT_EQ(pipeline.pipelineState, Idle);

    StartCompile(pipeline);
    ASSERT_TRUE(window.AnswerBox());
    ASSERT_TRUE(window.AnswerBox());
    EXPECT_TRUE(fake.WaitForCall("compiler CompileBSP returns"));
    const auto all = window.Boxes();
    EXPECT_EQ(std::count_if(all.begin(), all.end(),
                            [](const auto& box) { return box.caption == "Levelsmith"; }),
              1);
}

INSTANTIATE_TEST_SUITE_P(Starts, RefusedThreadTest, ::testing::Values(1, 2));

TEST_F(PipelineTest, AMissingPassEntryPointStartsNothingAndShowsTheMessageEachTime) {
    RuntimeBindings incomplete = runtime;
    incomplete.entries[static_cast<std::size_t>(Entry::CompileBsp)] = nullptr;
    Pipeline crippled{window, incomplete};
    StartCompile(crippled);
    StartCompile(crippled);

    EXPECT_EQ(window.ThreadsStarted(), 0);
    EXPECT_TRUE(crippled.compileReady);
    const auto boxes = window.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.caption, "Levelsmith");
        EXPECT_EQ(box.style, kMbOk | kMbIconError);
        EXPECT_NE(box.text.find("?CompileBSP@@YAXPAD0_NMH@Z"), std::string::npos) << box.text;
    }
    EXPECT_EQ(IndexStartingWith(window.EventTexts(), "bar"), -1);
}

// Shutdown from each point of a compile, as the dialog's close makes it: it
// never waits; the libraries are shut down and unloaded unless a library
// call is still running, and are left untouched then; afterwards no library
// is called and no counter read; the worker threads end.
class ShutdownTest : public PipelineTest {
  protected:
    void ExpectQuietAfterShutdown(bool libraryCallRunning) {
        const std::size_t before = fake.Calls().size();
        ShutdownPipelineAndRuntime(pipeline, libraries, runtime);
        const std::size_t calls = fake.Calls().size();
        const auto texts = fake.CallTexts();
        EXPECT_EQ(std::vector<std::string>(texts.begin() + static_cast<long>(before), texts.end()),
                  libraryCallRunning ? std::vector<std::string>{} : testing::kCloseCalls);
        fake.ReleaseCsg();
        fake.ReleaseBsp();
        window.AnswerAllBoxes();
        window.Join();  // every thread ends
        std::vector<std::string> later;
        for (const auto& call : fake.Calls()) {
            later.push_back(call.text);
        }
        later.erase(later.begin(), later.begin() + static_cast<long>(calls));
        // Only the return of a call that was running at the stop may follow.
        for (const auto& text : later) {
            EXPECT_NE(text.find("returns"), std::string::npos) << text;
        }
    }
};

TEST_F(ShutdownTest, BeforeAnyCompile) {
    ExpectQuietAfterShutdown(false);
    EXPECT_EQ(window.ThreadsStarted(), 0);
}

TEST_F(ShutdownTest, WhileCompileCsgRuns) {
    fake.holdCsg = true;
    StartCompile(pipeline);
    ASSERT_TRUE(fake.WaitForCall("csg CompileCSG("));
    ExpectQuietAfterShutdown(true);
    EXPECT_TRUE(window.Boxes().empty());
    EXPECT_EQ(IndexOf(window.EventTexts(), "bar pos 100"), -1);
}

TEST_F(ShutdownTest, WhileTheCsgCounterIsPolled) {
    fake.csgFinal = 20;
    StartCompile(pipeline);
    ASSERT_TRUE(window.WaitForEvent("bar pos 20"));
    ExpectQuietAfterShutdown(false);
    EXPECT_TRUE(window.Boxes().empty());
}

TEST_F(ShutdownTest, WhileTheCsgBoxIsOpen) {
    CompileToCsgBox();
    ExpectQuietAfterShutdown(false);
    EXPECT_FALSE(fake.Called("compiler GetProgress"));
    EXPECT_EQ(window.ThreadsStarted(), 1);
}

TEST_F(ShutdownTest, WhileCompileBspRuns) {
    CompileToBspPass();
    SetBspCounterAndWaitForBar(30);
    ExpectQuietAfterShutdown(true);
    EXPECT_TRUE(fake.Called("compiler CompileBSP returns"));
}

TEST_F(ShutdownTest, WhileTheBspBoxIsOpen) {
    fake.holdBsp = false;
    CompileToCsgBox();
    ASSERT_TRUE(window.AnswerBox());
    ASSERT_TRUE(window.WaitForBox("BSP pass complete"));
    ASSERT_TRUE(window.WaitForEvent("thread 2 ended"));
    ExpectQuietAfterShutdown(false);
}

TEST_F(ShutdownTest, JustAsTheBspPassEntersTheLibrary) {
    CompileToCsgBox();
    ASSERT_TRUE(window.AnswerBox());
    ShutdownPipelineAndRuntime(pipeline, libraries, runtime);
    window.AnswerAllBoxes();
    window.Join();
    // Whichever came first, nothing is called once the libraries are gone.
    const auto texts = fake.CallTexts();
    const int unloaded = IndexOf(texts, "unload compiler");
    EXPECT_TRUE(unloaded < 0 || unloaded + 1 == static_cast<int>(texts.size()));
}

TEST_F(ShutdownTest, AfterTheCompileTheSleepingWorkerEnds) {
    CompileToCsgBox();
    ASSERT_TRUE(window.AnswerBox());
    ASSERT_TRUE(window.AnswerBox());
    ASSERT_TRUE(window.WaitForEvent("thread 2 ended"));
    EXPECT_TRUE(StaysQuiet()) << "the idle worker neither polls nor calls";
    ExpectQuietAfterShutdown(false);
}

}  // namespace
}  // namespace levelsmith
