// Runs the real associator.exe against the real registry, answers its
// message box as a user would, and checks what it left in the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "resources.h"
#include "robot.h"

namespace {

const char kProductKey[] = "Software\\Quillon\\Quillon Pro";
const char kCaption[] = "QLPro Associator";

std::optional<std::string> ReadString(HKEY hive, const std::string& path, const char* name = "") {
    char data[1024];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueA(hive, path.c_str(), name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return std::string(data);
}

std::optional<std::string> KeyClass(HKEY hive, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    char keyClass[256];
    DWORD length = sizeof keyClass;
    const LONG status = RegQueryInfoKeyA(key, keyClass, &length, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::optional<std::string>(std::string(keyClass, length))
                                   : std::nullopt;
}

bool KeyExists(HKEY hive, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void WriteString(HKEY hive, const std::string& path, const char* name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

struct Outcome {
    std::string text;
    bool iconShown = false;
    std::optional<DWORD> status;
};

class AssociatorProgram : public ::testing::Test {
  protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    static void Clean() {
        for (const char* key : {".QLPRO", ".QLA", "QuillonPro.Project"}) {
            RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
            RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
        }
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Quillon");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Quillon");
    }

    // Runs the program, reads its one message box and presses OK.
    static Outcome RunAndAnswer() {
        Outcome outcome;
        robot::Child program = robot::Child::Start(robot::WinPath(ASSOCIATOR_EXE));
        EXPECT_TRUE(program.Started());
        const auto box = robot::WaitForMessageBox(program.Id(), kCaption);
        EXPECT_TRUE(box.has_value()) << "no message box captioned " << kCaption;
        if (box) {
            outcome.text = box->text;
            outcome.iconShown = box->iconShown;
            EXPECT_TRUE(robot::Answer(*box));
        }
        outcome.status = program.WaitExit();
        return outcome;
    }

    static std::string CommandOf(const std::string& folder) {
        return "\"" + folder + "\\editor\\editor.exe\" \"%1\"";
    }
};

TEST_F(AssociatorProgram, RegistersBothExtensionsAndConfirms) {
    const std::string folder = "C:\\Program Files\\QL";
    WriteString(HKEY_LOCAL_MACHINE, kProductKey, "INSTALL-PATH", folder);

    const Outcome outcome = RunAndAnswer();
    EXPECT_EQ(outcome.text, "File Associations Complete");
    EXPECT_FALSE(outcome.iconShown);
    EXPECT_EQ(outcome.status, 0u);

    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".QLPRO"), "QuillonPro.Project");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".QLA"), "QuillonPro.Project");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "QuillonPro.Project"), "Quillon Professional Project");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "QuillonPro.Project\\shell\\open\\command"),
              CommandOf(folder));
    for (const char* key :
         {".QLPRO", ".QLA", "QuillonPro.Project", "QuillonPro.Project\\shell\\open\\command"}) {
        EXPECT_EQ(KeyClass(HKEY_CLASSES_ROOT, key), "Num") << key;
    }
}

TEST_F(AssociatorProgram, ExistingKeysKeepTheirOtherValuesAndSubkeys) {
    WriteString(HKEY_LOCAL_MACHINE, kProductKey, "INSTALL-PATH", "D:\\QL\\");
    WriteString(HKEY_CLASSES_ROOT, ".QLPRO", "", "Old.Project");
    WriteString(HKEY_CLASSES_ROOT, ".QLPRO", "Content Type", "text/plain");
    WriteString(HKEY_CLASSES_ROOT, ".QLPRO\\ShellNew", "NullFile", "");
    WriteString(HKEY_CLASSES_ROOT, "QuillonPro.Project\\DefaultIcon", "", "icon.ico,0");
    WriteString(HKEY_CLASSES_ROOT, "QuillonPro.Project\\shell\\open\\command", "", "old.exe %1");
    WriteString(HKEY_CLASSES_ROOT, "QuillonPro.Project\\shell\\print\\command", "", "p.exe %1");

    const Outcome outcome = RunAndAnswer();
    EXPECT_EQ(outcome.text, "File Associations Complete");
    EXPECT_EQ(outcome.status, 0u);

    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".QLPRO"), "QuillonPro.Project");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".QLPRO", "Content Type"), "text/plain");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, ".QLPRO\\ShellNew"));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "QuillonPro.Project\\DefaultIcon"), "icon.ico,0");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "QuillonPro.Project\\shell\\print\\command"),
              "p.exe %1");
    // A stored trailing backslash stays, and Windows accepts the doubled one.
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "QuillonPro.Project\\shell\\open\\command"),
              "\"D:\\QL\\\\editor\\editor.exe\" \"%1\"");
}

TEST_F(AssociatorProgram, WithoutTheProductKeyNothingIsWrittenAndTheFailureShown) {
    WriteString(HKEY_CLASSES_ROOT, ".QLPRO", "", "Working.Association");

    const Outcome outcome = RunAndAnswer();
    EXPECT_EQ(outcome.text.rfind("File Associations Failed", 0), 0u) << outcome.text;
    EXPECT_NE(outcome.text.find("installation folder could not be read"), std::string::npos);
    EXPECT_TRUE(outcome.iconShown);
    EXPECT_EQ(outcome.status, 1u);

    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".QLPRO"), "Working.Association");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".QLA"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "QuillonPro.Project"));
}

TEST_F(AssociatorProgram, TheShellOpensAProjectFileInTheEditorAsOneArgument) {
    const std::string root = robot::FreshTempFolder("associator shell");
    const std::string install = root + "\\Quillon Pro";
    const std::string projects = root + "\\My Projects";
    ASSERT_TRUE(robot::MakeFolders(install + "\\editor"));
    ASSERT_TRUE(robot::MakeFolders(projects));
    ASSERT_TRUE(CopyFileA(robot::WinPath(EDITOR_STANDIN_EXE).c_str(),
                          (install + "\\editor\\editor.exe").c_str(), FALSE));
    const std::string project = projects + "\\first level.qlpro";
    ASSERT_TRUE(robot::WriteWholeFile(project, "project\r\n"));
    WriteString(HKEY_LOCAL_MACHINE, kProductKey, "INSTALL-PATH", install);

    const Outcome outcome = RunAndAnswer();
    ASSERT_EQ(outcome.status, 0u) << outcome.text;

    robot::Child shell = robot::Child::StartCommandLine("start.exe \"" + project + "\"");
    ASSERT_TRUE(shell.Started());
    shell.WaitExit();

    const std::optional<std::string> logged =
        robot::WaitForFileWith(install + "\\editor\\editor-log.txt", "end\r\n");
    ASSERT_TRUE(logged.has_value()) << "the editor was not started";
    EXPECT_NE(logged->find("arguments: 1\r\n"), std::string::npos) << *logged;
    EXPECT_NE(logged->find("argument 1: " + project + "\r\n"), std::string::npos) << *logged;
    robot::RemoveTree(root);
}

}  // namespace

namespace {

TEST(AssociatorResources, IconGroup101HoldsFiveImagesInBritishEnglish) {
    const std::string exe = robot::WinPath(ASSOCIATOR_EXE);
    const WORD british = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);
    EXPECT_EQ(robot::ResourceLanguages(exe, MAKEINTRESOURCEA(14), 101), std::vector<WORD>{british});
    const auto images = robot::IconGroupImages(exe, 101, british);
    ASSERT_EQ(images.size(), 5u);
    const int expected[5][2] = {{32, 8}, {32, 4}, {16, 4}, {48, 8}, {32, 1}};
    for (std::size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(images[i].width, expected[i][0]) << i;
        EXPECT_EQ(images[i].height, expected[i][0]) << i;
        EXPECT_EQ(images[i].bitsPerPixel, expected[i][1]) << i;
    }
}

}  // namespace
