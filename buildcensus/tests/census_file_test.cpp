#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "census_file.h"
#include "fakes.h"

namespace buildcensus {
namespace {

using testing::FakeFile;
using testing::FakeFolders;
using testing::FakeProfile;
using testing::FakeVersions;
using testing::Log;

const std::string kCensus = "C:\\Install\\Buildcensus.ini";

class CensusFileTest : public ::testing::Test {
  protected:
    std::optional<std::string> Census() const { return profile.Text(kCensus); }

    Log log;
    FakeFolders folders{log};
    FakeVersions versions{log, folders};
    FakeProfile profile{log};
    CensusFile census{folders, versions, profile};
};

TEST_F(CensusFileTest, RecordsNamesEndingInTheExtensionWithTheirCaseKept) {
    // In code page 932, 83 65 78 65 is katakana "te", x, e: the name ends in
    // the bytes of "exe" but not in those three characters.
    folders.UseCodePage932();
    const char* const names[] = {"Tool.EXE", "notes.exe.txt", "setupexe",  "ex",
                                 "x.ex",     "EXE",           "\x83\x65xe"};
    for (const char* name : names) {
        versions.File(name).Table("000004B0", "1.0");
    }
    census.PrepareCensusFile();
    for (const char* name : names) {
        census.ProbeVersion("C:\\Install", name, "exe");
    }
    EXPECT_EQ(Census(), "[VERSIONS]\r\nTool.EXE=1.0\r\nsetupexe=1.0\r\nEXE=1.0\r\n");
    EXPECT_FALSE(census.Failed());
}

struct VersionCase {
    const char* name;
    std::function<void(FakeFile&)> make;
    const char* expected;
};

void PrintTo(const VersionCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadFileVersionTest : public CensusFileTest,
                            public ::testing::WithParamInterface<VersionCase> {};

TEST_P(ReadFileVersionTest, TakesTheFirstTableThatAnswers) {
    GetParam().make(versions.File("Compiler\\tool.exe"));
    ASSERT_TRUE(folders.SetCurrentFolder("Compiler"));
    EXPECT_EQ(census.ReadFileVersion("C:\\Install\\Compiler", "tool.exe"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ReadFileVersionTest,
    ::testing::Values(
        VersionCase{"NeutralBeforeAll",
                    [](FakeFile& f) {
                        f.Table("040904E4", "d").Table("000004B0", "b").Table("00000000", "a");
                    },
                    "a"},
        VersionCase{"UnicodeBeforeUsEnglish",
                    [](FakeFile& f) { f.Table("040904E4", "d").Table("000004B0", "b"); }, "b"},
        VersionCase{"AfrikaansBeforeUsEnglish",
                    [](FakeFile& f) { f.Table("040904E4", "d").Table("043604e4", "c"); }, "c"},
        VersionCase{"UsEnglishAnsi", [](FakeFile& f) { f.Table("040904E4", "d"); }, "d"},
        VersionCase{
            "FixedPathsBeforeTranslation",
            [](FakeFile& f) {
                f.Table("040904B0", "e").Table("040904E4", "d").Translation({{0x409, 0x4B0}});
            },
            "d"},
        VersionCase{"UsEnglishUnicodeThroughTranslation",
                    [](FakeFile& f) {
                        f.Table("040904B0", "e").Translation({{0x409, 0x4B0}});
                    },
                    "e"},
        VersionCase{"TranslationInItsOwnOrder",
                    [](FakeFile& f) {
                        f.Table("040904B0", "e")
                            .Table("040704E4", "f")
                            .Translation({{0x807, 0x4E4}, {0x407, 0x4E4}, {0x409, 0x4B0}});
                    },
                    "f"},
        VersionCase{"UnlistedTableIsNotGuessed", [](FakeFile& f) { f.Table("040904B0", "e"); },
                    "unknown"},
        VersionCase{"EmptyText", [](FakeFile& f) { f.Table("000004B0", ""); }, ""},
        VersionCase{"EmptyTextWithOtherBytesAfterIt",
                    [](FakeFile& f) {
                        // Answered with length 0: the bytes there belong to what follows.
                        f.values.push_back({"\\StringFileInfo\\00000000\\FileVersion", "7.1", 0});
                    },
                    ""},
        VersionCase{"LongTextWhole",
                    [](FakeFile& f) { f.Table("040904E4", "10.0.19041.1 (WinBuild.160101.0800)"); },
                    "10.0.19041.1 (WinBuild.160101.0800)"},
        VersionCase{"NoResource", [](FakeFile& f) { f.resource = false; }, "unknown"},
        VersionCase{"UnreadableBlock",
                    [](FakeFile& f) {
                        f.Table("000004B0", "1.0");
                        f.readFails = true;
                    },
                    "unknown"},
        VersionCase{
            "TextRunningToTheEndOfTheBlock",
            [](FakeFile& f) {
                // No terminator, and a length past the block's end.
                f.values.push_back({"\\StringFileInfo\\00000000\\FileVersion", "7.1", 4096});
            },
            "7.1"},
        VersionCase{"LengthInCharactersOfADoubleByteText",
                    [](FakeFile& f) {
                        // "1.0 " and two kanji: 9 bytes with the terminator, 7 characters.
                        f.values.push_back({"\\StringFileInfo\\00000000\\FileVersion",
                                            std::string("1.0 \x95\x5C\x94\xC5", 9), 7});
                    },
                    "1.0 \x95\x5C\x94\xC5"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(CensusFileTest, AFileThatCannotBeOpenedIsUnknownWithoutReadingItsVersion) {
    versions.File("busy.exe").Table("000004B0", "1.0").locked = true;
    EXPECT_EQ(census.ReadFileVersion("C:\\Install", "busy.exe"), "unknown");
    const Log expected = {"open C:\\Install\\busy.exe 0x80000000 1 3 0x80 (fails)"};
    EXPECT_EQ(log, expected);
}

TEST_F(CensusFileTest, ReadsTheWalkedFoldersOwnFileNotOneOfTheSameNameElsewhere) {
    versions.File("shared.dll").Table("000004B0", "9.9");  // beside the program
    versions.File("Compiler\\Plugins\\shared.dll").resource = false;
    ASSERT_TRUE(folders.SetCurrentFolder("Compiler\\Plugins"));
    log.clear();

    const char* plugins = "C:\\Install\\Compiler\\Plugins";
    EXPECT_EQ(census.ReadFileVersion(plugins, "shared.dll"), "unknown");
    const Log expected = {"open C:\\Install\\Compiler\\Plugins\\shared.dll 0x80000000 1 3 0x80",
                          "close file", "version size C:\\Install\\Compiler\\Plugins\\shared.dll"};
    EXPECT_EQ(log, expected);

    // A name without a dot is marked as one without an extension.
    versions.File("Compiler\\Plugins\\setup").Table("000004B0", "1.0");
    EXPECT_EQ(census.ReadFileVersion(plugins, "setup"), "1.0");
    EXPECT_EQ(log[3], "open C:\\Install\\Compiler\\Plugins\\setup. 0x80000000 1 3 0x80");
}

TEST_F(CensusFileTest, AFilePathThatDoesNotFitIsUnknownAndFailsTheRun) {
    // With "\a.exe" the path has 259 characters, the most that fit.
    const std::string sub = std::string(242, 'd');
    const std::string folder = "C:\\Install\\" + sub;
    versions.File(sub + "\\a.exe").Table("000004B0", "1.0");
    versions.File(sub + "\\ab.exe").Table("000004B0", "2.0");
    census.PrepareCensusFile();
    census.ProbeVersion(folder.c_str(), "a.exe", "exe");
    EXPECT_FALSE(census.Failed());
    census.ProbeVersion(folder.c_str(), "ab.exe", "exe");
    EXPECT_EQ(Census(), "[VERSIONS]\r\na.exe=1.0\r\nab.exe=unknown\r\n");
    EXPECT_TRUE(census.Failed());
}

TEST_F(CensusFileTest, PreparingDeletesAnEarlierCensusAndMissingIsNoError) {
    profile.Put(kCensus, "old.exe", "1.0");
    census.PrepareCensusFile();
    EXPECT_EQ(census.CensusPath(), kCensus);
    EXPECT_EQ(Census(), std::nullopt);
    census.PrepareCensusFile();
    EXPECT_FALSE(census.Failed());
    const Log expected = {"delete " + kCensus, "delete " + kCensus};
    EXPECT_EQ(log, expected);
}

TEST_F(CensusFileTest, AnEarlierCensusThatCannotBeDeletedMakesTheRunFail) {
    profile.Put(kCensus, "gone.exe", "1.0");
    profile.FailRemove(32);  // ERROR_SHARING_VIOLATION
    versions.File("a.exe").Table("000004B0", "2.0");
    census.PrepareCensusFile();
    census.ProbeVersion("C:\\Install", "a.exe", "exe");
    EXPECT_EQ(Census(), "[VERSIONS]\r\ngone.exe=1.0\r\na.exe=2.0\r\n");
    EXPECT_TRUE(census.Failed());
}

TEST_F(CensusFileTest, AFailedWriteMakesTheRunFailAndTheWalkGoesOn) {
    versions.File("a.exe").Table("000004B0", "1.0");
    versions.File("b.exe").Table("000004B0", "2.0");
    census.PrepareCensusFile();
    profile.FailWrites(true);
    census.ProbeVersion("C:\\Install", "a.exe", "exe");
    profile.FailWrites(false);
    census.ProbeVersion("C:\\Install", "b.exe", "exe");
    EXPECT_EQ(Census(), "[VERSIONS]\r\nb.exe=2.0\r\n");
    EXPECT_TRUE(census.Failed());
}

TEST(CensusPath, IsFormedWholeOrNotAtAll) {
    struct Case {
        std::string folder;
        bool fits;
        bool codePage932 = false;
    };
    // 243 characters and "\Buildcensus.ini" fill the 260 bytes exactly.
    // The kanji of the last folder, 94 AD 95 5C, end in the byte of '\'.
    for (const Case& c :
         {Case{"C:\\", true}, Case{"C:\\" + std::string(240, 'f'), true},
          Case{"C:\\" + std::string(241, 'f'), false}, Case{"C:\\" + std::string(300, 'f'), false},
          Case{"C:\\Games\\\x94\xAD\x95\x5C", true, true}}) {
        Log log;
        FakeFolders folders(log, c.folder);
        FakeVersions versions(log, folders);
        FakeProfile profile(log);
        if (c.codePage932) {
            folders.UseCodePage932();
        }
        versions.File("a.exe").Table("000004B0", "1.0");
        CensusFile census(folders, versions, profile);
        census.PrepareCensusFile();
        census.ProbeVersion(c.folder.c_str(), "a.exe", "exe");

        const std::string path = c.folder + "\\Buildcensus.ini";
        EXPECT_EQ(census.Failed(), !c.fits) << c.folder.size();
        EXPECT_EQ(census.CensusPath(), c.fits ? path : "");
        EXPECT_EQ(profile.Text(path).has_value(), c.fits);
        if (c.fits) {
            EXPECT_EQ(profile.Text(path), "[VERSIONS]\r\na.exe=1.0\r\n") << c.folder;
        }
        if (!c.fits) {
            EXPECT_TRUE(log.empty()) << log.front();  // nothing deleted, nothing read
        }
    }
}

}  // namespace
}  // namespace buildcensus
