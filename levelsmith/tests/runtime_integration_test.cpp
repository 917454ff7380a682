// The real bindings and the pipeline with its Win32 operations, run in this
// process against the stand-in runtime libraries: one whole compile with the
// boxes answered as a user would, then the libraries' own log is checked.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "dialog.h"
#include "pipeline.h"
#include "robot.h"
#include "runtime_bindings.h"
#include "standin_runtime_files.h"
#include "win32_library_ops.h"
#include "win32_pipeline_ops.h"
#include "win_app.h"
#include "win_thread.h"

namespace levelsmith {
namespace {

using testing::FindLine;
using testing::LogTexts;
using testing::ReadRuntimeLog;

// Handles this thread's messages (the worker's sends to the bar among them)
// until `done` holds; false after `timeoutMs`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 15000) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// A message box of this process: its text once it shows, then OK pressed.
std::string AnswerBox(const char* caption) {
    HWND box = nullptr;
    if (!PumpUntil([&] {
            return (box = robot::FindTopWindow(GetCurrentProcessId(), "#32770", caption)) !=
                   nullptr;
        })) {
        return "(no box)";
    }
    const std::string text = robot::ItemText(box, 0xFFFF);
    robot::Click(box, IDOK);
    PumpUntil([&] { return !IsWindow(box); });
    return text;
}

// The pipeline's Win32 operations, counting the threads it starts as they
// end: their handles are not kept, yet the test must know that a worker has
// left the library, and that none is left before the pipeline goes.
class CountedThreads final : public Win32PipelineOps {
  public:
    using Win32PipelineOps::Win32PipelineOps;

    bool BeginThread(ThreadProc proc, void* param) override {
        auto* start = new Start{proc, param, this};
        if (!Win32PipelineOps::BeginThread(Run, start)) {
            delete start;
            return false;
        }
        return true;
    }

    bool WaitUntilEnded(int threads) {
        return PumpUntil([&] { return ended_ >= threads; });
    }

  private:
    struct Start {
        ThreadProc proc;
        void* param;
        CountedThreads* counter;
    };
    static unsigned Run(void* param) {
        const Start start = *static_cast<Start*>(param);
        delete static_cast<Start*>(param);
        const unsigned result = start.proc(start.param);
        ++start.counter->ended_;
        return result;
    }

    std::atomic<int> ended_{0};
};

class RuntimeIntegration : public ::testing::Test {
  protected:
    void SetUp() override {
        GetCurrentDirectoryA(sizeof previousFolder_, previousFolder_);
        folder_ = robot::FreshTempFolder("levelsmith runtime");
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        // The controls the pipeline reads and drives, with the dialog's ids.
        host_ = CreateWindowExA(0, "STATIC", "pipeline host", WS_POPUP, 0, 0, 300, 100, nullptr,
                                nullptr, nullptr, nullptr);
        Child("EDIT", "0.1", kEpsilonId);
        Child("EDIT", "3", kSplitId);
        bar_ = Child(PROGRESS_CLASSA, "", kProgressId);
    }

    void TearDown() override {
        DestroyWindow(host_);
        SetCurrentDirectoryA(previousFolder_);
        robot::RemoveTree(folder_);
    }

    HWND Child(const char* windowClass, const char* text, int id) {
        return CreateWindowExA(0, windowClass, text, WS_CHILD, 0, 0, 100, 20, host_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    void Open(const std::string& steering, const std::string& compilerFolder = "",
              const std::vector<std::string>& leaveOut = {}) {
        ASSERT_TRUE(testing::LayOutRuntime(folder_, steering, compilerFolder, leaveOut));
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
        OpenRuntime(libraries_, runtime_);
    }

    char previousFolder_[MAX_PATH] = "";
    std::string folder_;
    HWND host_ = nullptr;
    HWND bar_ = nullptr;
    Win32LibraryOps libraries_;
    RuntimeBindings runtime_;
};

TEST_F(RuntimeIntegration, AWholeCompileCallsTheLibrariesInOrderOnTheirThreads) {
    Open("csg_ms=300\r\nbsp_ms=800\r\nstep_ms=20\r\n");
    ASSERT_EQ(DescribeMissing(runtime_), "");
    const std::string model = folder_ + "\\maps\\room.x";
    CountedThreads ops(host_);
    Pipeline pipeline(ops, runtime_);
    pipeline.SetModel(model.c_str(), "room.bsp");
    StartCompile(pipeline);

    EXPECT_EQ(AnswerBox("Info"), "CSG pass complete");
    // The bar follows the BSP counter while the pass runs.
    std::vector<int> seen;
    PumpUntil([&] {
        const int position = static_cast<int>(SendMessageA(bar_, PBM_GETPOS, 0, 0));
        if (seen.empty() || seen.back() != position) {
            seen.push_back(position);
        }
        return robot::FindTopWindow(GetCurrentProcessId(), "#32770", "Info") != nullptr;
    });
    EXPECT_GE(seen.size(), 4u) << "the bar did not move";
    EXPECT_EQ(seen.back(), 100);
    EXPECT_EQ(AnswerBox("Info"), "BSP pass complete");
    ASSERT_TRUE(PumpUntil([&] { return pipeline.pipelineState == Idle; }));
    ASSERT_TRUE(ops.WaitUntilEnded(1)) << "BspWorker did not end";

    EXPECT_FALSE(ShutdownPipeline(pipeline).libraryCallRunning);
    ASSERT_TRUE(ops.WaitUntilEnded(2)) << "PipelineWorker did not end";
    CloseRuntime(libraries_, runtime_);

    testing::ExpectWholeCompileLog(ReadRuntimeLog(folder_), model, "room.bsp",
                                   GetCurrentThreadId());

    EXPECT_TRUE(robot::ReadWholeFile(folder_ + "\\level.dat").has_value());
    EXPECT_TRUE(robot::ReadWholeFile(folder_ + "\\runtime\\room.bsp").has_value());
}

TEST_F(RuntimeIntegration, AMissingPassEntryPointIsReportedAndCompileStartsNothing) {
    Open("", robot::WinPath(STANDIN_WITHOUT_COMPILE_BSP_DIR));
    const std::string missing = DescribeMissing(runtime_);
    EXPECT_NE(missing.find("Entry point not found: ?CompileBSP@@YAXPAD0_NMH@Z in "
                           "./runtime/QLProLevelsmith.dll"),
              std::string::npos)
        << missing;

    Win32PipelineOps ops(host_);
    Pipeline pipeline(ops, runtime_);
    // The box is modal on this thread: a user answers it meanwhile.
    std::string shown;
    std::thread user([&] {
        if (const auto box = robot::WaitForMessageBox(GetCurrentProcessId(), "Levelsmith")) {
            shown = box->text;
            EXPECT_TRUE(box->iconShown);
            robot::Answer(*box);
        }
    });
    StartCompile(pipeline);
    user.join();
    EXPECT_EQ(shown, missing);
    CloseRuntime(libraries_, runtime_);
    const auto log = ReadRuntimeLog(folder_);
    EXPECT_EQ(FindLine(log, "QLProCSG.dll", "GetProgress"), nullptr);
    EXPECT_EQ(FindLine(log, "QLProCSG.dll", "CompileCSG"), nullptr);
    EXPECT_TRUE(pipeline.compileReady);
}

TEST_F(RuntimeIntegration, AMissingLibraryIsNamedAndTheOthersStillStart) {
    Open("", "", {"QLProSetup.dll"});
    EXPECT_EQ(DescribeMissing(runtime_),
              "Parts of the Quillon Pro runtime are missing.\n\n"
              "Library not loaded: ./runtime/QLProSetup.dll\n");
    CloseRuntime(libraries_, runtime_);
    const auto texts = LogTexts(ReadRuntimeLog(folder_));
    EXPECT_EQ(texts,
              (std::vector<std::string>{
                  "QLProLevelsmith.dll loaded", "QLProCSG.dll loaded",
                  "QLProLevelsmith.dll Constructor(null)", "QLProCSG.dll ConstructorCSG(null)",
                  "QLProCSG.dll DestructorCSG()", "QLProLevelsmith.dll Destructor()",
                  "QLProCSG.dll unloaded", "QLProLevelsmith.dll unloaded"}));
}

// A thread that the platform refuses, here for a security descriptor of an
// unknown revision, is reported as not started and never runs. (A stack too
// large would be refused only in a 32-bit process.)
TEST(FrameworkThreads, AThreadThePlatformRefusesIsReportedAndNeverRuns) {
    static std::atomic<int> runs{0};
    const AFX_THREADPROC count = [](LPVOID) -> UINT {
        ++runs;
        return 0;
    };
    SECURITY_DESCRIPTOR unknownRevision{};
    unknownRevision.Revision = 0x7F;
    SECURITY_ATTRIBUTES refused{sizeof refused, &unknownRevision, FALSE};
    EXPECT_FALSE(AfxBeginThread(count, nullptr, THREAD_PRIORITY_NORMAL, 0, 0, &refused));
    Sleep(100);
    EXPECT_EQ(runs, 0);
}

// F1's WM_HELP to the main window, once with no key held and once with
// Shift held, reaches the ID_HELP entry of the application's own map once.
struct HelpCountingApp final : CWinApp {
    bool OnCmdMsg(UINT id, UINT code) override;
    void CountHelp() { ++helps; }
    int helps = 0;
};
const MessageMapEntry<HelpCountingApp> helpMap[] = {
    {WM_COMMAND, 0, ID_HELP, &HelpCountingApp::CountHelp, nullptr}};
bool HelpCountingApp::OnCmdMsg(UINT id, UINT code) {
    LRESULT result = 0;
    return DispatchMessageMap(*this, helpMap, WM_COMMAND, MAKEWPARAM(id, code), result);
}

struct HelpAskingDialog final : CDialog {
    HelpAskingDialog() : CDialog(100) {}
    BOOL OnInitDialog() override {
        BYTE keys[256] = {};
        for (int& helps : helpsAfter) {
            SetKeyboardState(keys);
            HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, m_hWnd, 0, {}};
            SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
            helps = static_cast<HelpCountingApp*>(AfxGetApp())->helps;
            keys[VK_SHIFT] = 0x80;
        }
        EndDialog(IDOK);
        return TRUE;
    }
    int helpsAfter[2] = {-1, -1};
};

TEST(FrameworkHelp, F1ReachesTheApplicationsHelpEntryUnlessShiftIsHeld) {
    HelpCountingApp app;
    HelpAskingDialog dialog;
    app.m_pMainWnd = &dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.helpsAfter[0], 1);
    EXPECT_EQ(dialog.helpsAfter[1], 1) << "Shift held: left to the default procedure";
    BYTE noKeys[256] = {};
    SetKeyboardState(noKeys);
}

}  // namespace
}  // namespace levelsmith
