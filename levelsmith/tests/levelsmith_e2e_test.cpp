// Drives the real Levelsmith.exe under Wine as a person would, against the
// stand-in runtime laid out beside it: the dialog against its template, the
// open-file dialog, a whole compile with its boxes answered, View Map, and
// closing at awkward moments. The stand-ins' logs say what reached them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "robot.h"
#include "standin_runtime_files.h"

namespace {

using levelsmith::testing::FindLine;
using levelsmith::testing::LayOutRuntime;
using levelsmith::testing::LogTexts;
using levelsmith::testing::ReadRuntimeLog;

const char kCaption[] = "Quillon Pro BSP / PVS Compiler";
// The open-file dialog's file-name field. The dialog's caption follows the
// system's language ("Open", "開く"), so the dialog is found by this field.
constexpr int kFileNameField = 0x47C;
// Its file-type list.
constexpr int kFileTypeList = 0x470;

// The controls of template 102, in template (and tab) order.
struct TemplateControl {
    int id;
    const char* windowClass;
    const char* text;
    DWORD style;
    short x, y, cx, cy;
};

const TemplateControl kControls[] = {
    {-1, "BUTTON", "Files", 0x50000007, 7, 3, 268, 57},
    {1000, "EDIT", "", 0x50810080, 58, 16, 188, 13},
    {1001, "EDIT", "", 0x58810080, 58, 34, 188, 13},
    {-1, "STATIC", "Input", 0x50020000, 27, 18, 19, 10},
    {-1, "STATIC", "Output", 0x50020000, 27, 35, 27, 10},
    {1004, "BUTTON", "...", 0x50010000, 251, 18, 14, 10},
    {-1, "BUTTON", "Options", 0x50000007, 7, 62, 268, 34},
    {1007, "EDIT", "", 0x50810080, 153, 76, 19, 13},
    {-1, "STATIC", "Split value", 0x50020000, 180, 78, 57, 10},
    {-1, "BUTTON", "Compile", 0x50000007, 7, 99, 268, 54},
    {3, "BUTTON", "Compile", 0x50010001, 115, 111, 50, 14},
    {1008, "msctls_progress32", "Progress1", 0x50800001, 21, 132, 239, 14},
    {-1, "BUTTON", "View", 0x50000007, 7, 156, 268, 39},
    {5, "BUTTON", "View Map", 0x50010001, 119, 171, 42, 14},
    {1014, "EDIT", "", 0x50810080, 45, 76, 27, 13},
    {-1, "STATIC", "Epsilon value", 0x50020000, 79, 78, 57, 10},
};

// Reads a dialog template's words and strings in order.
class TemplateReader {
  public:
    TemplateReader(const BYTE* data, DWORD size) : data_(data), size_(size) {}
    WORD Word() { return static_cast<WORD>(Byte() | Byte() << 8); }
    DWORD Dword() { return Word() | static_cast<DWORD>(Word()) << 16; }
    BYTE Byte() { return at_ < size_ ? data_[at_++] : 0; }
    // A string, or for an ordinal "#" and its number.
    std::string SzOrOrd() {
        const WORD first = Word();
        if (first == 0xFFFF) {
            return "#" + std::to_string(Word());
        }
        std::string text;
        for (WORD c = first; c != 0; c = Word()) {
            text += static_cast<char>(c);
        }
        return text;
    }
    void AlignDword() { at_ = (at_ + 3) & ~static_cast<DWORD>(3); }

  private:
    const BYTE* data_;
    DWORD size_;
    DWORD at_ = 0;
};

std::string Upper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

std::string ClassOfOrdinal(const std::string& name) {
    if (name == "#128")
        return "BUTTON";
    if (name == "#129")
        return "EDIT";
    if (name == "#130")
        return "STATIC";
    return Upper(name);
}

class LevelsmithProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = robot::FreshTempFolder("levelsmith e2e");
        exe_ = folder_ + "\\Levelsmith.exe";
        ASSERT_TRUE(CopyFileA(robot::WinPath(LEVELSMITH_EXE).c_str(), exe_.c_str(), FALSE));
        for (const char* model :
             {"maps\\room.x", "maps\\room.xyz", "maps\\room", "maps\\upper\\room.X"}) {
            const std::string path = folder_ + "\\" + model;
            robot::MakeFolders(path.substr(0, path.find_last_of('\\')));
            ASSERT_TRUE(robot::WriteWholeFile(path, "xof 0302txt 0032\r\n"));
        }
    }

    void TearDown() override {
        program_.Kill();
        robot::RemoveTree(folder_);
    }

    // Lays out the runtime and starts the program in the test folder.
    void Start(const std::string& steering, const std::string& compilerFolder = "",
               const std::vector<std::string>& leaveOut = {}) {
        ASSERT_TRUE(LayOutRuntime(folder_, "step_ms=20\r\n" + steering, compilerFolder, leaveOut));
        program_ = robot::Child::Start(exe_, "", folder_);
        ASSERT_TRUE(program_.Started());
    }

    void WaitForDialog() {
        dialog_ = robot::WaitForWindow(program_.Id(), "#32770", kCaption);
        ASSERT_NE(dialog_, nullptr) << "the compiler dialog did not open";
    }

    HWND OpenFileDialog() {
        robot::Click(dialog_, 1004);
        return robot::WaitForWindow(program_.Id(), "#32770", nullptr, 10000, kFileNameField);
    }

    void Browse(const std::string& model) {
        HWND open = OpenFileDialog();
        ASSERT_NE(open, nullptr) << "no open-file dialog";
        robot::SetItemText(open, kFileNameField, folder_ + "\\" + model);
        robot::Click(open, IDOK);
        ASSERT_TRUE(robot::WaitWindowGone(open)) << model;
    }

    // Chooses `file` of `subfolder` as a user who navigates would: types the
    // folder and Enter, then the file's bare name and Enter.
    void NavigateAndChoose(const std::string& subfolder, const std::string& file) {
        HWND open = OpenFileDialog();
        ASSERT_NE(open, nullptr) << "no open-file dialog";
        robot::SetItemText(open, kFileNameField, folder_ + "\\" + subfolder);
        // Sent, not posted: it returns once the dialog has moved into the
        // folder, which opens nothing modal.
        DWORD_PTR result = 0;
        ASSERT_NE(SendMessageTimeoutA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                      reinterpret_cast<LPARAM>(GetDlgItem(open, IDOK)), SMTO_NORMAL,
                                      5000, &result),
                  0);
        ASSERT_TRUE(IsWindow(open));
        robot::SetItemText(open, kFileNameField, file);
        robot::Click(open, IDOK);
        ASSERT_TRUE(robot::WaitWindowGone(open)) << file;
    }

    std::string AnswerBox(const char* caption) {
        const auto box = robot::WaitForMessageBox(program_.Id(), caption);
        if (!box) {
            return "(no box)";
        }
        lastBoxIcon_ = box->iconShown;
        EXPECT_TRUE(robot::Answer(*box));
        return box->text;
    }

    int BarPosition() const {
        return static_cast<int>(SendMessageA(GetDlgItem(dialog_, 1008), PBM_GETPOS, 0, 0));
    }

    // Waits until the runtime log has a line of `library` starting so.
    bool WaitForLogLine(const std::string& library, const std::string& prefix) {
        for (int wait = 0; wait < 500; ++wait) {
            const auto log = ReadRuntimeLog(folder_);
            if (FindLine(log, library, prefix) != nullptr) {
                return true;
            }
            Sleep(20);
        }
        return false;
    }

    // Closes the dialog with its close box; the program must end at once.
    void CloseAndExpectExit() {
        const DWORD start = GetTickCount();
        PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(program_.WaitExit(5000), 0u) << "the program did not end cleanly";
        EXPECT_LT(GetTickCount() - start, 3000u);
    }

    DWORD UiThread() const { return GetWindowThreadProcessId(dialog_, nullptr); }

    std::string folder_;
    std::string exe_;
    robot::Child program_;
    HWND dialog_ = nullptr;
    bool lastBoxIcon_ = false;
};

TEST_F(LevelsmithProgram, TheTemplateResourceHoldsExactlyTheDesignedDialog) {
    HMODULE module = LoadLibraryExA(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(102), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    TemplateReader in(data, SizeofResource(module, found));

    EXPECT_EQ(in.Word(), 1);       // extended template
    EXPECT_EQ(in.Word(), 0xFFFF);  // signature
    in.Dword();                    // help id
    EXPECT_EQ(in.Dword(), 0x00040000u);
    EXPECT_EQ(in.Dword(), 0x90C800C0u);
    const WORD count = in.Word();
    EXPECT_EQ(count, std::size(kControls));
    EXPECT_EQ(in.Word(), 0);
    EXPECT_EQ(in.Word(), 0);
    EXPECT_EQ(in.Word(), 285);
    EXPECT_EQ(in.Word(), 210);
    EXPECT_EQ(in.SzOrOrd(), "");  // no menu
    EXPECT_EQ(in.SzOrOrd(), "");  // the dialog class
    EXPECT_EQ(in.SzOrOrd(), kCaption);
    EXPECT_EQ(in.Word(), 8);  // point size
    EXPECT_EQ(in.Word(), 0);  // weight
    EXPECT_EQ(in.Byte(), 0);  // not italic
    EXPECT_EQ(in.Byte(), 1);  // character set
    EXPECT_EQ(in.SzOrOrd(), "MS Sans Serif");

    for (std::size_t i = 0; i < count && i < std::size(kControls); ++i) {
        const TemplateControl& control = kControls[i];
        in.AlignDword();
        in.Dword();  // help id
        EXPECT_EQ(in.Dword(), 0u) << i;
        EXPECT_EQ(in.Dword(), control.style) << i;
        EXPECT_EQ(static_cast<short>(in.Word()), control.x) << i;
        EXPECT_EQ(static_cast<short>(in.Word()), control.y) << i;
        EXPECT_EQ(static_cast<short>(in.Word()), control.cx) << i;
        EXPECT_EQ(static_cast<short>(in.Word()), control.cy) << i;
        EXPECT_EQ(static_cast<int>(in.Dword()), control.id) << i;
        EXPECT_EQ(ClassOfOrdinal(in.SzOrOrd()), Upper(control.windowClass)) << i;
        EXPECT_EQ(in.SzOrOrd(), control.text) << i;
        EXPECT_EQ(in.Word(), 0) << i;  // no creation data
    }
    FreeLibrary(module);
}

TEST_F(LevelsmithProgram, TheOtherResourcesAreThere) {
    HMODULE module = LoadLibraryExA(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC group = FindResourceExA(module, RT_GROUP_ICON, MAKEINTRESOURCEA(128),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    ASSERT_NE(group, nullptr);
    const auto* icons = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    TemplateReader in(icons, SizeofResource(module, group));
    in.Word();
    EXPECT_EQ(in.Word(), 1);  // icons
    ASSERT_EQ(in.Word(), 5);
    const int expected[5][3] = {{32, 32, 8}, {32, 32, 4}, {16, 16, 4}, {48, 48, 8}, {32, 32, 1}};
    for (const auto& image : expected) {
        EXPECT_EQ(in.Byte(), image[0]);
        EXPECT_EQ(in.Byte(), image[1]);
        in.Byte();  // colour count
        in.Byte();
        in.Word();  // planes
        EXPECT_EQ(in.Word(), image[2]);
        in.Dword();
        in.Word();
    }
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(131), RT_BITMAP), nullptr);
    FreeLibrary(module);

    DWORD ignored = 0;
    std::vector<char> version(GetFileVersionInfoSizeA(exe_.c_str(), &ignored));
    ASSERT_TRUE(
        GetFileVersionInfoA(exe_.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(version.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    for (const char* value : {"FileVersion", "ProductVersion"}) {
        char* text = nullptr;
        ASSERT_TRUE(VerQueryValueA(version.data(),
                                   (std::string("\\StringFileInfo\\040904B0\\") + value).c_str(),
                                   reinterpret_cast<void**>(&text), &length));
        EXPECT_STREQ(text, "1, 0, 0, 1");
    }
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(version.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u) << "one string table";
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);
}

TEST_F(LevelsmithProgram, TheRunningDialogMatchesItsTemplate) {
    Start("");
    WaitForDialog();
    EXPECT_EQ(robot::WindowText(dialog_), kCaption);
    // The template puts it at 0, 0, so the framework centres it in the work
    // area of its monitor.
    RECT window;
    GetWindowRect(dialog_, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(dialog_, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const RECT& area = monitor.rcWork;
    EXPECT_NEAR(window.left - area.left, area.right - window.right, 1);
    EXPECT_NEAR(window.top - area.top, area.bottom - window.bottom, 1);

    // Dialog units to pixels, measured on a dialog of our own made from the
    // same template (this cannot be measured on another process's dialog).
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    HMODULE module = LoadLibraryExA(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(102), RT_DIALOG);
    HWND ruler = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr),
        static_cast<LPCDLGTEMPLATEA>(LockResource(LoadResource(module, found))), nullptr,
        IgnoreMessages, 0);
    ASSERT_NE(ruler, nullptr);
    ShowWindow(ruler, SW_HIDE);

    std::size_t index = 0;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, std::size(kControls));
        const TemplateControl& control = kControls[index];
        char windowClass[64];
        GetClassNameA(child, windowClass, sizeof windowClass);
        EXPECT_EQ(Upper(windowClass), Upper(control.windowClass)) << index;
        EXPECT_EQ(static_cast<int>(GetDlgCtrlID(child)), control.id) << index;
        const std::string text = control.id == 1007   ? "3"
                                 : control.id == 1014 ? "0.1"
                                                      : control.text;
        EXPECT_EQ(robot::WindowText(child), text) << index;

        // The system keeps every template bit but two: a border may become
        // an edge (Wine's progress bar draws its own and drops the bit), and
        // of the two default push buttons the dialog manager leaves the
        // default look on one at a time.
        DWORD kept = control.style & ~WS_BORDER;
        if ((control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
            Upper(control.windowClass) == "BUTTON") {
            kept &= ~static_cast<DWORD>(BS_TYPEMASK);
        }
        const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE));
        EXPECT_EQ(style & kept, kept) << index;
        if ((control.style & WS_BORDER) && control.id != 1008) {
            EXPECT_TRUE((style & WS_BORDER) || (exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)))
                << index;
        }

        // Position and size are converted each on its own, as the dialog
        // manager does.
        RECT expected{control.x, control.y, control.cx, control.cy};
        MapDialogRect(ruler, &expected);
        RECT actual;
        GetWindowRect(child, &actual);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left) << index;
        EXPECT_EQ(actual.top, expected.top) << index;
        EXPECT_EQ(actual.right - actual.left, expected.right) << index;
        EXPECT_EQ(actual.bottom - actual.top, expected.bottom) << index;
    }
    EXPECT_EQ(index, std::size(kControls));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, 1001)));

    // The program's icon, a cube in orange and browns, is drawn in the
    // middle only while the dialog is minimized; there the face colour
    // shows, and no colour of the dialog has much more red than blue.
    RECT client;
    GetClientRect(dialog_, &client);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    const int left = (client.right - iconWidth + 1) / 2;
    const int top = (client.bottom - iconHeight + 1) / 2;
    RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const auto pixels =
        robot::ScreenPixels(dialog_, {left, top, left + iconWidth, top + iconHeight});
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(std::count_if(pixels.begin(), pixels.end(),
                            [](COLORREF c) { return GetRValue(c) > GetBValue(c) + 64; }),
              0);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), GetSysColor(COLOR_BTNFACE)),
              static_cast<std::ptrdiff_t>(pixels.size() / 4));
    std::vector<int> tabOrder;
    HWND item = GetDlgItem(dialog_, 1000);
    for (int i = 0; i < 7; ++i) {
        tabOrder.push_back(GetDlgCtrlID(item));
        item = GetNextDlgTabItem(dialog_, item, FALSE);
    }
    EXPECT_EQ(tabOrder, (std::vector<int>{1000, 1004, 1007, 3, 5, 1014, 1000}));
    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    ASSERT_TRUE(GetGUIThreadInfo(UiThread(), &focus));
    EXPECT_EQ(focus.hwndFocus, GetDlgItem(dialog_, 1000));
    DestroyWindow(ruler);
    FreeLibrary(module);
    CloseAndExpectExit();
}

TEST_F(LevelsmithProgram, BrowsingShowsTheModelAndItsMapNameAndCancelChangesNothing) {
    Start("");
    WaitForDialog();
    const std::pair<const char*, const char*> models[] = {
        {"maps\\room.xyz", "room.xybsp"},
        {"maps\\room", "roobsp"},
        {"maps\\upper\\room.X", "room.bsp"},
        {"maps\\room.x", "room.bsp"},
    };
    for (const auto& [model, map] : models) {
        Browse(model);
        EXPECT_EQ(robot::ItemText(dialog_, 1000), folder_ + "\\" + model);
        EXPECT_EQ(robot::ItemText(dialog_, 1001), map) << model;
    }

    // The one file type offered is the models', and the folder (the test's)
    // lists its two folders, maps and runtime, but not Levelsmith.exe.
    HWND open = OpenFileDialog();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(open, kFileTypeList, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(robot::ItemText(open, kFileTypeList), "3D Models");
    HWND view = FindWindowExA(open, nullptr, "SHELLDLL_DefView", nullptr);
    HWND list = FindWindowExA(view, nullptr, WC_LISTVIEWA, nullptr);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    robot::Click(open, IDCANCEL);
    ASSERT_TRUE(robot::WaitWindowGone(open));
    EXPECT_EQ(robot::ItemText(dialog_, 1000), folder_ + "\\maps\\room.x");
    EXPECT_EQ(robot::ItemText(dialog_, 1001), "room.bsp");

    // The compile works on the model still shown, and so does View Map.
    robot::Click(dialog_, 3);
    EXPECT_EQ(AnswerBox("Info"), "CSG pass complete");
    EXPECT_EQ(AnswerBox("Info"), "BSP pass complete");
    const auto log = ReadRuntimeLog(folder_);
    EXPECT_NE(FindLine(log, "QLProLevelsmith.dll",
                       "CompileBSP(\"" + folder_ + "\\maps\\room.x\", \"room.bsp\""),
              nullptr);
    CloseAndExpectExit();
}

// In code page 932 the second byte of a character can be 0x5C, the byte of
// '\': katakana "so" is 83 5C. It must not be taken for a separator.
TEST_F(LevelsmithProgram, CodePage932MapNamesKeepCharactersWhoseSecondByteIs5C) {
    if (!robot::InAnsiCodePage(932)) {
        GTEST_SKIP() << "shown only in the ANSI code page 932 (a Japanese locale)";
    }
    const std::string sofa = "\x83\x5C\x83\x74\x83\x40";  // "sofa" in katakana
    ASSERT_TRUE(robot::WriteWholeFile(folder_ + "\\maps\\" + sofa + ".x", "xof 0302txt\r\n"));
    Start("");
    WaitForDialog();
    Browse("maps\\" + sofa + ".x");
    EXPECT_EQ(robot::ItemText(dialog_, 1001), sofa + ".bsp");

    robot::Click(dialog_, 3);
    EXPECT_EQ(AnswerBox("Info"), "CSG pass complete");
    EXPECT_EQ(AnswerBox("Info"), "BSP pass complete");
    EXPECT_NE(
        FindLine(ReadRuntimeLog(folder_), "QLProLevelsmith.dll",
                 "CompileBSP(\"" + folder_ + "\\maps\\" + sofa + ".x\", \"" + sofa + ".bsp\""),
        nullptr);
    EXPECT_TRUE(robot::ReadWholeFile(folder_ + "\\runtime\\" + sofa + ".bsp").has_value());
    CloseAndExpectExit();
}

TEST_F(LevelsmithProgram, ACompileRunsBothPassesThenViewMapStartsTheViewer) {
    Start("csg_ms=300\r\nbsp_ms=1500\r\n");
    WaitForDialog();
    // Navigating moves the dialog's current folder; the program's stays.
    NavigateAndChoose("maps", "room.x");
    EXPECT_EQ(robot::ItemText(dialog_, 1000), folder_ + "\\maps\\room.x");
    robot::Click(dialog_, 3);

    const auto csgBox = robot::WaitForMessageBox(program_.Id(), "Info");
    ASSERT_TRUE(csgBox.has_value());
    EXPECT_EQ(csgBox->text, "CSG pass complete");
    EXPECT_FALSE(csgBox->iconShown);
    EXPECT_EQ(BarPosition(), 100) << "the bar keeps its value while the box is open";
    ASSERT_TRUE(robot::Answer(*csgBox));

    // The bar follows the BSP counter up to the end of the pass.
    std::vector<int> seen;
    std::optional<robot::MessageBoxSeen> bspBox;
    for (int wait = 0; wait < 1000 && !bspBox; ++wait) {
        const int position = BarPosition();
        if (seen.empty() || seen.back() != position) {
            seen.push_back(position);
        }
        bspBox = robot::WaitForMessageBox(program_.Id(), "Info", 0);
        Sleep(10);
    }
    ASSERT_TRUE(bspBox.has_value());
    EXPECT_EQ(bspBox->text, "BSP pass complete");
    EXPECT_GE(seen.size(), 5u) << "the bar did not move";
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    ASSERT_TRUE(robot::Answer(*bspBox));

    // A second Compile does nothing.
    robot::Click(dialog_, 3);
    EXPECT_FALSE(robot::WaitForMessageBox(program_.Id(), "Info", 700).has_value());

    robot::Click(dialog_, 5);
    const std::optional<std::string> viewer =
        robot::WaitForFileWith(folder_ + "\\runtime\\viewer-log.txt", "end\r\n");
    ASSERT_TRUE(viewer.has_value()) << "the viewer was not started";
    EXPECT_EQ(*viewer, "command line: " + folder_ + "\\runtime\\room.bsp\r\n" +
                           "current folder: " + folder_ + "\r\n" +
                           "title: Levelsmith Viewer\r\n"
                           "flags: 0x1\r\n"
                           "show window: 5\r\n"
                           "end\r\n");
    EXPECT_TRUE(robot::ReadWholeFile(folder_ + "\\runtime\\room.bsp").has_value());
    EXPECT_TRUE(robot::ReadWholeFile(folder_ + "\\level.dat").has_value());
    const DWORD ui = UiThread();
    CloseAndExpectExit();

    levelsmith::testing::ExpectWholeCompileLog(ReadRuntimeLog(folder_), folder_ + "\\maps\\room.x",
                                               "room.bsp", ui);
}

TEST_F(LevelsmithProgram, ClosingDuringTheBspPassEndsAtOnceWithoutTouchingTheLibraries) {
    Start("csg_ms=100\r\nbsp_ms=60000\r\n");
    WaitForDialog();
    robot::Click(dialog_, 3);
    EXPECT_EQ(AnswerBox("Info"), "CSG pass complete");
    ASSERT_TRUE(WaitForLogLine("QLProLevelsmith.dll", "CompileBSP("));
    Sleep(200);
    CloseAndExpectExit();

    const auto texts = LogTexts(ReadRuntimeLog(folder_));
    const std::vector<std::string> ending(texts.end() - 3, texts.end());
    EXPECT_EQ(FindLine(ReadRuntimeLog(folder_), "QLProCSG.dll", "DestructorCSG"), nullptr);
    for (const std::string& text : ending) {
        EXPECT_NE(text.find("process ends"), std::string::npos) << text;
    }
}

TEST_F(LevelsmithProgram, ClosingWhileTheCsgBoxIsOpenShutsTheLibrariesDown) {
    Start("csg_ms=100\r\n");
    WaitForDialog();
    robot::Click(dialog_, 3);
    ASSERT_TRUE(robot::WaitForMessageBox(program_.Id(), "Info").has_value());
    // Escape in the Input field, as a person would press it.
    PostMessageA(GetDlgItem(dialog_, 1000), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(program_.WaitExit(5000), 0u);

    const auto log = ReadRuntimeLog(folder_);
    EXPECT_EQ(FindLine(log, "QLProLevelsmith.dll", "CompileBSP"), nullptr);
    const auto texts = LogTexts(log);
    EXPECT_EQ(std::vector<std::string>(texts.end() - 6, texts.end()),
              (std::vector<std::string>{"QLProCSG.dll DestructorCSG()",
                                        "QLProLevelsmith.dll Destructor()",
                                        "QLProSetup.dll Destructor()", "QLProSetup.dll unloaded",
                                        "QLProCSG.dll unloaded", "QLProLevelsmith.dll unloaded"}));
}

TEST_F(LevelsmithProgram, AMissingLibraryIsReportedAtOpeningAndAtCompile) {
    Start("", "", {"QLProCSG.dll"});
    const std::string text = AnswerBox("Levelsmith");
    EXPECT_NE(text.find("Library not loaded: ./runtime/QLProCSG.dll"), std::string::npos) << text;
    EXPECT_TRUE(lastBoxIcon_);
    WaitForDialog();
    robot::Click(dialog_, 3);
    EXPECT_EQ(AnswerBox("Levelsmith"), text);
    CloseAndExpectExit();
    const auto log = ReadRuntimeLog(folder_);
    EXPECT_EQ(FindLine(log, "QLProLevelsmith.dll", "GetProgress"), nullptr);
    EXPECT_NE(FindLine(log, "QLProLevelsmith.dll", "Constructor(QLProSetup.dll)"), nullptr);
}

TEST_F(LevelsmithProgram, AMissingEntryPointIsReportedAndCompileStartsNothing) {
    Start("", robot::WinPath(STANDIN_WITHOUT_COMPILE_BSP_DIR));
    const std::string text = AnswerBox("Levelsmith");
    EXPECT_NE(text.find("?CompileBSP@@YAXPAD0_NMH@Z"), std::string::npos) << text;
    WaitForDialog();
    robot::Click(dialog_, 3);
    EXPECT_EQ(AnswerBox("Levelsmith"), text);
    CloseAndExpectExit();
    const auto log = ReadRuntimeLog(folder_);
    EXPECT_EQ(FindLine(log, "QLProCSG.dll", "CompileCSG"), nullptr);
    EXPECT_NE(FindLine(log, "QLProLevelsmith.dll", "unloaded"), nullptr);
}

}  // namespace
