#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "associator.h"
#include "fake_registry.h"

namespace associator {
namespace {

using testing::FakeRegistry;

struct Shown {
    std::string text;
    std::string caption;
    std::uint32_t style;
};

class RecordingMessages final : public MessageOps {
  public:
    void ShowMessage(const char* text, const char* caption, std::uint32_t style) override {
        shown.push_back({text, caption, style});
    }
    std::vector<Shown> shown;
};

constexpr Hive kHklm = Hive::LocalMachine;
constexpr Hive kHkcr = Hive::ClassesRoot;
const std::string kProduct = "Software\\Quillon\\Quillon Pro";

class AssociatorRun : public ::testing::Test {
  protected:
    void InstallAt(const std::string& folder) {
        registry.SetString(kHklm, kProduct, "INSTALL-PATH", folder);
    }
    int Run() { return RunAssociator(registry, messages); }

    void ExpectFailure(const char* firstWords) {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text.rfind("File Associations Failed", 0), 0u);
        EXPECT_NE(messages.shown[0].text.find(firstWords), std::string::npos);
        EXPECT_EQ(messages.shown[0].caption, "QLPro Associator");
        EXPECT_EQ(messages.shown[0].style, kMbOk | kMbIconError);
    }

    void ExpectNothingWritten() {
        EXPECT_EQ(registry.Find(kHkcr, ".QLPRO"), nullptr);
        EXPECT_EQ(registry.Find(kHkcr, ".QLA"), nullptr);
        EXPECT_EQ(registry.Find(kHkcr, "QuillonPro.Project"), nullptr);
        for (const std::string& call : registry.Calls()) {
            EXPECT_EQ(call.find("HKCR"), std::string::npos) << call;
        }
    }

    FakeRegistry registry;
    RecordingMessages messages;
};

TEST_F(AssociatorRun, RegistersBothExtensionsInOrderInAnEmptyRegistry) {
    InstallAt("C:\\Program Files\\QL");
    EXPECT_EQ(Run(), 0);

    const std::string command = "\"C:\\Program Files\\QL\\editor\\editor.exe\" \"%1\"";
    auto write = [](const std::string& key, const std::string& text) {
        return std::vector<std::string>{
            "CreateKeyEx(HKCR, \"" + key + "\", 0, \"Num\", 0, 0xF003F) -> 0, created",
            "SetValueEx(\"\", 0, 1, \"" + text + "\", " + std::to_string(text.size() + 1) +
                ") -> 0",
            "CloseKey"};
    };
    std::vector<std::string> expected = {
        "OpenKeyEx(HKLM, \"Software\\Quillon\\Quillon Pro\", 0, 0x20019) -> 0",
        "QueryValueEx(\"INSTALL-PATH\", type 1, no buffer, size 256) -> 0, size 20",
        "QueryValueEx(\"INSTALL-PATH\", type 1, buffer, size 20) -> 0, size 20", "CloseKey"};
    for (auto part : {write(".QLPRO", "QuillonPro.Project"),
                      write("QuillonPro.Project", "Quillon Professional Project"),
                      write("QuillonPro.Project\\shell\\open\\command", command)}) {
        expected.insert(expected.end(), part.begin(), part.end());
    }
    // The second extension finds the project type and command already there.
    auto rewrite = [](const std::string& key, const std::string& text, const char* how) {
        std::vector<std::string> calls = {"CreateKeyEx(HKCR, \"" + key +
                                          "\", 0, \"Num\", 0, 0xF003F) -> 0, " + how};
        if (std::string(how) == "opened") {
            calls.push_back("CloseKey");
            calls.push_back("OpenKeyEx(HKCR, \"" + key + "\", 0, 0x20006) -> 0");
        }
        calls.push_back("SetValueEx(\"\", 0, 1, \"" + text + "\", " +
                        std::to_string(text.size() + 1) + ") -> 0");
        calls.push_back("CloseKey");
        return calls;
    };
    for (auto part : {rewrite(".QLA", "QuillonPro.Project", "created"),
                      rewrite("QuillonPro.Project", "Quillon Professional Project", "opened"),
                      rewrite("QuillonPro.Project\\shell\\open\\command", command, "opened")}) {
        expected.insert(expected.end(), part.begin(), part.end());
    }
    EXPECT_EQ(registry.Calls(), expected);
    EXPECT_EQ(registry.OpenHandles(), 0u);

    for (const char* key :
         {".QLPRO", ".QLA", "QuillonPro.Project", "QuillonPro.Project\\shell",
          "QuillonPro.Project\\shell\\open", "QuillonPro.Project\\shell\\open\\command"}) {
        ASSERT_NE(registry.Find(kHkcr, key), nullptr) << key;
        EXPECT_EQ(registry.Find(kHkcr, key)->keyClass, "Num") << key;
    }
    EXPECT_EQ(registry.DefaultText(kHkcr, ".QLPRO"), "QuillonPro.Project");
    EXPECT_EQ(registry.DefaultText(kHkcr, ".QLA"), "QuillonPro.Project");
    EXPECT_EQ(registry.DefaultText(kHkcr, "QuillonPro.Project"), "Quillon Professional Project");
    EXPECT_EQ(registry.DefaultText(kHkcr, "QuillonPro.Project\\shell\\open\\command"), command);

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "File Associations Complete");
    EXPECT_EQ(messages.shown[0].caption, "QLPro Associator");
    EXPECT_EQ(messages.shown[0].style, kMbOk);
}

TEST_F(AssociatorRun, ExistingKeysAreReopenedForWritingAndKeepTheirOtherContent) {
    InstallAt("D:\\QL");
    for (const char* key : {".QLPRO", ".QLA", "QuillonPro.Project\\shell\\open\\command",
                            "QuillonPro.Project\\DefaultIcon"}) {
        registry.AddKey(kHkcr, key, "Other");
    }
    registry.SetString(kHkcr, ".QLPRO", "", "Old.Type");
    registry.SetString(kHkcr, ".QLPRO", "Content Type", "text/plain");
    registry.SetString(kHkcr, "QuillonPro.Project\\shell\\open\\command", "", "old.exe %1");

    EXPECT_EQ(Run(), 0);

    int creates = 0;
    int reopens = 0;
    for (const std::string& call : registry.Calls()) {
        creates +=
            call.rfind("CreateKeyEx(HKCR", 0) == 0 && call.find("opened") != std::string::npos;
        reopens +=
            call.rfind("OpenKeyEx(HKCR", 0) == 0 && call.find("0x20006) -> 0") != std::string::npos;
    }
    EXPECT_EQ(creates, 6);
    EXPECT_EQ(reopens, 6);
    EXPECT_EQ(registry.Find(kHkcr, ".QLPRO")->keyClass, "Other");
    EXPECT_EQ(registry.DefaultText(kHkcr, ".QLPRO"), "QuillonPro.Project");
    EXPECT_EQ(registry.Find(kHkcr, ".QLPRO")->values.at("Content Type").bytes,
              std::string("text/plain", 11));
    EXPECT_NE(registry.Find(kHkcr, "QuillonPro.Project\\DefaultIcon"), nullptr);
    EXPECT_EQ(registry.DefaultText(kHkcr, "QuillonPro.Project\\shell\\open\\command"),
              "\"D:\\QL\\editor\\editor.exe\" \"%1\"");
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST_F(AssociatorRun, AStoredTrailingBackslashIsKeptAndDoubled) {
    InstallAt("C:\\QL\\");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(registry.DefaultText(kHkcr, "QuillonPro.Project\\shell\\open\\command"),
              "\"C:\\QL\\\\editor\\editor.exe\" \"%1\"");
}

// Every way of not getting a usable installation folder writes nothing, and
// the message says which it was.
const char kUnread[] = "The Quillon Pro installation folder could not be read from the registry.";
const char kTooLong[] = "The Quillon Pro installation folder is too long for the editor's path.";

struct UnreadableFolder {
    const char* name;
    void (*prepare)(FakeRegistry&);
    const char* reason;  // the failure's second sentence
    friend void PrintTo(const UnreadableFolder& folder, std::ostream* out) { *out << folder.name; }
};

class UnreadableFolderRun : public AssociatorRun,
                            public ::testing::WithParamInterface<UnreadableFolder> {};

TEST_P(UnreadableFolderRun, WritesNothingAndReportsTheFolder) {
    GetParam().prepare(registry);
    EXPECT_EQ(Run(), 1);
    ExpectFailure(GetParam().reason);
    ExpectNothingWritten();
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableFolderRun,
    ::testing::Values(
        UnreadableFolder{"NoProductKey", [](FakeRegistry&) {}, kUnread},
        UnreadableFolder{"NoValue", [](FakeRegistry& r) { r.AddKey(kHklm, kProduct); }, kUnread},
        UnreadableFolder{"EmptyValue",
                         [](FakeRegistry& r) { r.SetString(kHklm, kProduct, "INSTALL-PATH", ""); },
                         kUnread},
        UnreadableFolder{"ZeroBytes",
                         [](FakeRegistry& r) { r.SetRaw(kHklm, kProduct, "INSTALL-PATH", 1, ""); },
                         kUnread},
        UnreadableFolder{"DwordValue",
                         [](FakeRegistry& r) {
                             r.SetRaw(kHklm, kProduct, "INSTALL-PATH", 4, std::string("C:\\Q", 4));
                         },
                         kUnread},
        UnreadableFolder{"BinaryValue",
                         [](FakeRegistry& r) {
                             r.SetRaw(kHklm, kProduct, "INSTALL-PATH", 3,
                                      std::string("C:\\QL\0", 6));
                         },
                         kUnread},
        UnreadableFolder{"LongBinaryValue",
                         [](FakeRegistry& r) {
                             r.SetRaw(kHklm, kProduct, "INSTALL-PATH", 3, std::string(600, 'a'));
                         },
                         kUnread},
        UnreadableFolder{"Value255Bytes",
                         [](FakeRegistry& r) {
                             r.SetString(kHklm, kProduct, "INSTALL-PATH", std::string(254, 'a'));
                         },
                         kTooLong},
        UnreadableFolder{"ValueFarTooLong",
                         [](FakeRegistry& r) {
                             r.SetString(kHklm, kProduct, "INSTALL-PATH", std::string(600, 'a'));
                         },
                         kTooLong},
        UnreadableFolder{"FolderOf253Characters",
                         [](FakeRegistry& r) {
                             r.SetString(kHklm, kProduct, "INSTALL-PATH", std::string(253, 'a'));
                         },
                         kTooLong},
        UnreadableFolder{"EditorPathOneTooLong",
                         [](FakeRegistry& r) {
                             r.SetString(kHklm, kProduct, "INSTALL-PATH", std::string(238, 'a'));
                         },
                         kTooLong}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(AssociatorRun, TheLongestFolderThatFitsIsRegisteredWhole) {
    const std::string folder = "C:\\" + std::string(234, 'q');  // 237 characters
    InstallAt(folder);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(registry.DefaultText(kHkcr, "QuillonPro.Project\\shell\\open\\command"),
              "\"" + folder + "\\editor\\editor.exe\" \"%1\"");
}

TEST(ReadMachineString, ReadsOnlyValuesBelow255BytesAndOnlyOnce) {
    for (std::size_t length : {253u, 254u}) {
        FakeRegistry registry;
        registry.SetString(kHklm, kProduct, "INSTALL-PATH", std::string(length, 'x'));
        char out[kPathSize];
        const bool read = ReadMachineString(registry, kProduct.c_str(), "INSTALL-PATH", out);
        int queries = 0;
        for (const std::string& call : registry.Calls()) {
            queries += call.rfind("QueryValueEx", 0) == 0;
        }
        EXPECT_EQ(read, length == 253) << length;
        EXPECT_EQ(std::strlen(out), length == 253 ? 253u : 0u);
        EXPECT_EQ(queries, length == 253 ? 2 : 1) << length;
    }
}

TEST(ReadMachineString, AValueWithoutTerminatorEndsAfterTheBytesReceived) {
    FakeRegistry registry;
    registry.SetRaw(kHklm, kProduct, "INSTALL-PATH", kRegSz, "C:\\QL");
    char out[kPathSize];
    std::memset(out, 'X', sizeof out);  // no terminator anywhere to stumble on
    EXPECT_TRUE(ReadMachineString(registry, kProduct.c_str(), "INSTALL-PATH", out));
    EXPECT_STREQ(out, "C:\\QL");

    // 254 bytes pass the size test; without a terminator they are 254
    // characters, ended inside the buffer.
    registry.SetRaw(kHklm, kProduct, "INSTALL-PATH", kRegSz, std::string(254, 'y'));
    std::memset(out, 'X', sizeof out);
    EXPECT_TRUE(ReadMachineString(registry, kProduct.c_str(), "INSTALL-PATH", out));
    EXPECT_EQ(std::string(out), std::string(254, 'y'));

    // A value that shrinks between the read of its size and that of its data.
    registry.SetRaw(kHklm, kProduct, "INSTALL-PATH", kRegSz, "C:\\Quillon Pro");
    registry.ShrinkAfterSizeQuery("D:\\QL");
    std::memset(out, 'X', sizeof out);
    EXPECT_TRUE(ReadMachineString(registry, kProduct.c_str(), "INSTALL-PATH", out));
    EXPECT_STREQ(out, "D:\\QL");

    // A string value with something after its terminator ends at the terminator.
    registry.SetRaw(kHklm, kProduct, "INSTALL-PATH", kRegSz, std::string("C:\\A\0junk", 9));
    EXPECT_TRUE(ReadMachineString(registry, kProduct.c_str(), "INSTALL-PATH", out));
    EXPECT_STREQ(out, "C:\\A");
}

TEST_F(AssociatorRun, FailedWritesAreAllAttemptedAndReported) {
    InstallAt("C:\\QL");
    registry.DenyWrites();
    EXPECT_EQ(Run(), 1);
    ExpectFailure("could not be written");
    int creates = 0;
    for (const std::string& call : registry.Calls()) {
        creates += call.rfind("CreateKeyEx(HKCR", 0) == 0;
        EXPECT_EQ(call.rfind("SetValueEx", 0), std::string::npos) << call;
    }
    EXPECT_EQ(creates, 6);
    EXPECT_EQ(registry.Find(kHkcr, ".QLPRO"), nullptr);
}

TEST_F(AssociatorRun, OneFailedSetLeavesTheOthersWritten) {
    InstallAt("C:\\QL");
    registry.FailSetNumber(3);  // the second extension's own key
    EXPECT_EQ(Run(), 1);
    ExpectFailure("could not be written");
    EXPECT_EQ(registry.DefaultText(kHkcr, ".QLPRO"), "QuillonPro.Project");
    EXPECT_EQ(registry.DefaultText(kHkcr, ".QLA"), std::nullopt);
    EXPECT_EQ(registry.DefaultText(kHkcr, "QuillonPro.Project\\shell\\open\\command"),
              "\"C:\\QL\\editor\\editor.exe\" \"%1\"");
    int sets = 0;
    for (const std::string& call : registry.Calls()) {
        sets += call.rfind("SetValueEx", 0) == 0;
    }
    EXPECT_EQ(sets, 6);
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

}  // namespace
}  // namespace associator
