// Runs the real Buildcensus.exe on sample installations that each test lays
// out with the census stand-ins, and compares the census file it leaves
// byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "robot.h"

namespace {

const char kTitle[] = "Scanning Quillon Professional Installation...";
const char* const kPlanFolders[] = {"", "Editor", "Compiler", "Compiler\\Plugins",
                                    "Compiler\\Plugins-User"};

std::string Upper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The names in `folder` in the order the platform's search delivers them.
std::vector<std::string> SearchOrder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(entry.cFileName);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    return names;
}

class CensusRun : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root = robot::FreshTempFolder(std::string("census ") + test->name());
        install = root + "\\Quillon Pro";
        ASSERT_TRUE(robot::MakeFolders(install));
    }
    void TearDown() override { robot::RemoveTree(root); }

    // The full path of `path` in the installation, its folders made.
    std::string Target(const std::string& path) const {
        const std::string full = install + "\\" + path;
        robot::MakeFolders(full.substr(0, full.find_last_of('\\')));
        return full;
    }
    // Copies a census stand-in (or the program, for "Buildcensus.exe") into
    // the installation under `path`.
    void Place(const std::string& standin, const std::string& path) {
        const std::string from = standin == "Buildcensus.exe"
                                     ? robot::WinPath(BUILDCENSUS_EXE)
                                     : robot::WinPath(CENSUS_STANDIN_DIR) + "\\" + standin;
        ASSERT_TRUE(CopyFileA(from.c_str(), Target(path).c_str(), FALSE)) << from << " " << path;
    }
    void Text(const std::string& path) {
        ASSERT_TRUE(robot::WriteWholeFile(Target(path), "not a program\r\n"));
    }

    // Starts the installation's own copy of the program in the installation.
    robot::Child Start(const std::string& program = "") {
        const std::string exe = program.empty() ? install + "\\Buildcensus.exe" : program;
        robot::Child child = robot::Child::Start(exe, "", install);
        EXPECT_TRUE(child.Started());
        return child;
    }

    std::optional<std::string> Census() const {
        return robot::ReadWholeFile(install + "\\Buildcensus.ini");
    }

    // The census the plan should give when exactly the files in `expected`
    // (by path in the installation) are recorded with these values: in plan
    // order, each folder in the order of its search; a name met again takes
    // the first one's place.
    std::string ExpectedCensus(const std::map<std::string, std::string>& expected) const {
        std::vector<std::pair<std::string, std::string>> lines;
        for (const std::string folder : kPlanFolders) {
            const std::string prefix = folder.empty() ? "" : folder + "\\";
            for (const std::string& name : SearchOrder(install + "\\" + folder)) {
                const auto found = expected.find(prefix + name);
                if (found == expected.end()) {
                    continue;
                }
                const auto same = std::find_if(lines.begin(), lines.end(), [&](const auto& line) {
                    return Upper(line.first) == Upper(name);
                });
                if (same != lines.end()) {
                    same->second = found->second;
                } else {
                    lines.emplace_back(name, found->second);
                }
            }
        }
        std::string text = "[VERSIONS]\r\n";
        for (const auto& [key, value] : lines) {
            text += key + "=" + value + "\r\n";
        }
        return text;
    }

    std::string root;
    std::string install;
};

TEST_F(CensusRun, RecordsEveryProgramAndLibraryOfThePlanFolders) {
    Place("Buildcensus.exe", "Buildcensus.exe");
    Place("census-unicode.exe", "Tool.EXE");
    Place("census-neutral.exe", "setupexe");
    Place("census-plugin-a.dll", "setupexe.dll");  // must not lend its version
    Place("census-neutral.exe", "notes.exe.txt");
    Place("census-neutral.exe", "ex");
    Place("census-plugin-a.dll", "shared.dll");  // beside the program
    Place("census-neutral.exe", "Docs\\inner.exe");
    Place("census-usenglish.exe", "Editor\\editor.exe");
    Place("census-twotables.exe", "Editor\\both.exe");
    Place("census-unicode.exe", "Editor\\locked.exe");
    Place("census-emptyversion.exe", "Editor\\empty.exe");
    Place("census-noversion.exe", "Editor\\plain.exe");
    ASSERT_TRUE(robot::MakeFolders(install + "\\Editor\\Archive.exe"));
    Place("census-afrikaans.exe", "Compiler\\qlc.exe");
    Place("census-usunicode.exe", "Compiler\\linker.exe");
    Place("census-longversion.exe", "Compiler\\builder.exe");
    Text("Compiler\\notaprogram.exe");
    Text("Compiler\\readme.txt");
    Place("census-plugin-a.dll", "Compiler\\Plugins\\csg.dll");
    Place("census-plugin-b.dll", "Compiler\\Plugins\\bsp.dll");
    Place("census-noversion.exe", "Compiler\\Plugins\\shared.dll");
    Place("census-plugin-b.dll", "Compiler\\Plugins-User\\CSG.DLL");
    Place("census-usenglish.exe", "Compiler\\Plugins-User\\tool.exe");
    ASSERT_TRUE(robot::WriteWholeFile(install + "\\Buildcensus.ini", "[OLD]\r\nx=1\r\n"));

    // Held open for writing: the census cannot open it for reading.
    HANDLE held = CreateFileA((install + "\\Editor\\locked.exe").c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    robot::Child program = Start();
    const auto status = program.WaitExit(30000);
    CloseHandle(held);

    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Census(), ExpectedCensus({
                            {"Buildcensus.exe", "V1.0"},
                            {"Tool.EXE", "2.0.1.7"},
                            {"setupexe", "3.10.2"},
                            {"Editor\\editor.exe", "4.2.0.17"},
                            {"Editor\\both.exe", "2.5"},
                            {"Editor\\locked.exe", "unknown"},
                            {"Editor\\empty.exe", ""},
                            {"Editor\\plain.exe", "unknown"},
                            {"Compiler\\qlc.exe", "1, 0, 0, 1"},
                            {"Compiler\\linker.exe", "6.1.7601.1"},
                            {"Compiler\\builder.exe", "10.0.19041.1 (WinBuild.160101.0800)"},
                            {"Compiler\\notaprogram.exe", "unknown"},
                            {"Compiler\\Plugins\\csg.dll", "1.2.0.0"},
                            {"Compiler\\Plugins\\bsp.dll", "1.3.0.0"},
                            {"Compiler\\Plugins\\shared.dll", "unknown"},
                            {"Compiler\\Plugins-User\\CSG.DLL", "1.3.0.0"},
                        }));
}

TEST_F(CensusRun, AMissingPlanFolderAddsNothing) {
    Place("Buildcensus.exe", "Buildcensus.exe");
    Place("census-plugin-a.dll", "runtime.dll");  // would be taken for the plugins' own
    Place("census-usenglish.exe", "Compiler\\qlc.exe");

    robot::Child program = Start();
    EXPECT_EQ(program.WaitExit(30000), 0u);
    EXPECT_EQ(Census(), "[VERSIONS]\r\nBuildcensus.exe=V1.0\r\nqlc.exe=4.2.0.17\r\n");
}

TEST_F(CensusRun, StartedInAnotherFolderTheCensusIsOfThatFolder) {
    const std::string elsewhere = root + "\\Tools";
    ASSERT_TRUE(robot::MakeFolders(elsewhere));
    const std::string program = elsewhere + "\\Buildcensus.exe";
    ASSERT_TRUE(CopyFileA(robot::WinPath(BUILDCENSUS_EXE).c_str(), program.c_str(), FALSE));
    Place("census-plugin-a.dll", "Compiler\\Plugins\\csg.dll");
    Place("census-unicode.exe", "Editor\\editor.exe");

    robot::Child child = Start(program);
    EXPECT_EQ(child.WaitExit(30000), 0u);
    EXPECT_EQ(Census(), "[VERSIONS]\r\neditor.exe=2.0.1.7\r\ncsg.dll=1.2.0.0\r\n");
    EXPECT_FALSE(robot::ReadWholeFile(elsewhere + "\\Buildcensus.ini").has_value());
}

TEST_F(CensusRun, ACensusFileThatCannotBeWrittenEndsWithStatusOne) {
    Place("Buildcensus.exe", "Buildcensus.exe");
    Place("census-unicode.exe", "Editor\\editor.exe");
    ASSERT_TRUE(robot::MakeFolders(install + "\\Buildcensus.ini"));

    robot::Child program = Start();
    EXPECT_EQ(program.WaitExit(30000), 1u);  // still the whole plan, by itself
}

TEST_F(CensusRun, AFolderTooLongForTheCensusPathGetsNoFileAtAll) {
    const std::string program = root + "\\Buildcensus.exe";
    ASSERT_TRUE(CopyFileA(robot::WinPath(BUILDCENSUS_EXE).c_str(), program.c_str(), FALSE));
    // With "\Buildcensus.ini" appended the path needs more than 260 bytes.
    install += "\\" + std::string(250 - install.size(), 'q');
    Place("census-unicode.exe", "Editor\\editor.exe");

    robot::Child child = Start(program);
    EXPECT_EQ(child.WaitExit(30000), 1u);
    EXPECT_EQ(SearchOrder(install), (std::vector<std::string>{".", "..", "Editor"}));
}

// In code page 932 a folder named with the kanji 発表 (94 AD 95 5C) ends in
// the byte of '\' without ending in a separator, and テxe (83 65 78 65)
// ends in the bytes of "exe" without ending in those characters.
TEST_F(CensusRun, CodePage932AStartingFolderEndingInByte5CGivesTheSameCensus) {
    if (!robot::InAnsiCodePage(932)) {
        GTEST_SKIP() << "shown only in the ANSI code page 932 (a Japanese locale)";
    }
    const std::map<std::string, std::string> expected = {
        {"Buildcensus.exe", "V1.0"},
        {"Tool.exe", "2.0.1.7"},
        {"Editor\\editor.exe", "4.2.0.17"},
        {"Compiler\\Plugins\\csg.dll", "1.2.0.0"},
    };
    for (const std::string folder : {"Quillon Pro", "\x94\xAD\x95\x5C"}) {
        install = root + "\\" + folder;
        ASSERT_TRUE(robot::MakeFolders(install));
        Place("Buildcensus.exe", "Buildcensus.exe");
        Place("census-unicode.exe", "Tool.exe");
        Place("census-neutral.exe", "\x83\x65xe");
        Place("census-usenglish.exe", "Editor\\editor.exe");
        Place("census-plugin-a.dll", "Compiler\\Plugins\\csg.dll");

        robot::Child program = Start();
        EXPECT_EQ(program.WaitExit(30000), 0u) << folder;
        EXPECT_EQ(Census(), ExpectedCensus(expected)) << folder;
    }
}

TEST_F(CensusRun, ClosingTheWindowDuringAWalkKeepsTheLinesWrittenSoFar) {
    Place("Buildcensus.exe", "Buildcensus.exe");
    Place("census-unicode.exe", "Editor\\editor.exe");
    for (int i = 0; i < 300; ++i) {  // three seconds of walking at least
        Text("Compiler\\note" + std::to_string(i) + ".txt");
    }
    Place("census-plugin-a.dll", "Compiler\\Plugins\\csg.dll");

    robot::Child program = Start();
    HWND window = robot::WaitForWindow(program.Id(), "TBUILDCENSUS", kTitle);
    ASSERT_NE(window, nullptr);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    RECT frame;
    ASSERT_TRUE(GetWindowRect(window, &frame));
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.right, 1024);
    EXPECT_EQ(frame.bottom, 50);

    const std::string soFar = "[VERSIONS]\r\nBuildcensus.exe=V1.0\r\neditor.exe=2.0.1.7\r\n";
    for (int wait = 0; wait < 500 && Census() != soFar; ++wait) {
        Sleep(10);
    }
    ASSERT_EQ(Census(), soFar);

    // The window shows a white band with the name being examined (a short
    // one, "noteN.txt") in dark text at its left, the names before it cleared.
    RECT client;
    GetClientRect(window, &client);
    const auto dark = [](COLORREF c) {
        return GetRValue(c) < 0x80 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80;
    };
    bool nameSeen = false;
    for (int look = 0; look < 20 && !nameSeen; ++look) {
        Sleep(50);
        const auto left = robot::ScreenPixels(window, {1, 2, 40, client.bottom});
        nameSeen = std::any_of(left.begin(), left.end(), dark);
        const auto right = robot::ScreenPixels(window, {200, 2, client.right, client.bottom});
        ASSERT_FALSE(right.empty());
        ASSERT_EQ(std::count(right.begin(), right.end(), RGB(255, 255, 255)),
                  static_cast<std::ptrdiff_t>(right.size()));
    }
    EXPECT_TRUE(nameSeen) << "no name shown during the walk";
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(2000), 0u);
    EXPECT_EQ(Census(), soFar);
}

}  // namespace
