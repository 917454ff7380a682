#include <gtest/gtest.h>

#include <string>

#include "fakes.h"
#include "walker.h"

namespace buildcensus {
namespace {

using testing::FakeFolders;
using testing::Log;

class WalkerTest : public ::testing::Test {
  protected:
    // Runs one walk to its end; returns the number of steps it took.
    int Walk(const char* folder, const char* extension) {
        walker.ScanStart(folder, extension);
        int steps = 0;
        while (walker.IsScanActive() && steps < 1000) {
            walker.ScanStep();
            ++steps;
        }
        walker.ScanFinish();
        return steps;
    }

    Log log;
    FakeFolders folders{log};
    Walker walker{
        folders,
        {[this](const char* name) { log.push_back(std::string("show ") + name); },
         [this](const char* folder, const char* name, const char* extension) {
             log.push_back(std::string("probe ") + name + " " + extension + " in " + folder);
         }}};
};

TEST_F(WalkerTest, ShowsEveryEntryFirstAndProbesOnlyFilesOfTheWalkedFolder) {
    folders.Add("Editor\\Tool.EXE");
    folders.AddFolder("Editor\\Docs");
    folders.Add("Editor\\Docs\\inner.exe");
    folders.Add("Editor\\readme.txt", 0x21);  // read-only and archive

    EXPECT_EQ(Walk("Editor", "exe"), 5 + 1);
    const Log expected = {
        "cd Editor",
        "search C:\\Install\\Editor\\*.*",
        "show .",
        "show ..",
        "show Tool.EXE",
        "probe Tool.EXE exe in C:\\Install\\Editor",
        "show Docs",
        "show readme.txt",
        "probe readme.txt exe in C:\\Install\\Editor",
        "close search",
        "cd C:\\Install",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(folders.Current(), "C:\\Install");
    EXPECT_EQ(folders.OpenSearches(), 0u);
}

TEST_F(WalkerTest, AFolderOfOnlyDotsTakesThreeStepsAndTheEmptyTextWalksTheCurrentFolder) {
    EXPECT_EQ(Walk("", "dll"), 3);
    const Log expected = {"search C:\\Install\\*.*", "show .", "show ..", "close search",
                          "cd C:\\Install"};
    EXPECT_EQ(log, expected);
}

TEST_F(WalkerTest, AFolderThatCannotBeEnteredIsExaminedNotAtAll) {
    folders.Add("setup.exe");  // would be recorded as the missing folder's
    EXPECT_EQ(Walk("Compiler\\Plugins", "dll"), 1);
    const Log expected = {"cd Compiler\\Plugins (fails)", "cd C:\\Install"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(walker.SkippedWalk());
}

TEST_F(WalkerTest, AFailedReturnToTheStartingFolderCountsAsASkippedWalk) {
    folders.Add("Editor\\a.exe");
    folders.FailChangeTo("C:\\Install");
    Walk("Editor", "exe");
    EXPECT_EQ(log.back(), "cd C:\\Install (fails)");
    EXPECT_TRUE(walker.SkippedWalk());
}

TEST_F(WalkerTest, ASearchThatDoesNotStartEndsTheWalkAtTheFirstStep) {
    folders.Add("Editor\\Tool.exe");
    folders.FailSearchIn("Editor");
    EXPECT_EQ(Walk("Editor", "exe"), 1);
    const Log expected = {"cd Editor", "search C:\\Install\\Editor\\*.*", "cd C:\\Install"};
    EXPECT_EQ(log, expected);
}

TEST_F(WalkerTest, EachWalkStartsAfreshWhateverThePreviousLeftBehind) {
    folders.Add("Editor\\a.exe");
    folders.Add("Compiler\\b.exe");
    // A walk finished before its end, then one that never started a search.
    walker.ScanStart("Editor", "exe");
    walker.ScanStep();
    walker.ScanFinish();
    EXPECT_EQ(Walk("Missing", "exe"), 1);
    log.clear();

    EXPECT_EQ(Walk("Compiler", "exe"), 4);
    EXPECT_EQ(log[2], "show .");
    EXPECT_EQ(log[5], "probe b.exe exe in C:\\Install\\Compiler");
    EXPECT_EQ(folders.OpenSearches(), 0u);
}

TEST(WalkerLimits, AStartingFolderTooLongToSaveIsNeverLeft) {
    Log log;
    const std::string deep = "C:\\" + std::string(256, 'd');  // 259 characters and more
    FakeFolders folders(log, deep + "x");
    folders.Add("Editor\\a.exe");
    int shown = 0;
    Walker walker(folders,
                  {[&](const char*) { ++shown; }, [](const char*, const char*, const char*) {}});

    walker.ScanStart("Editor", "exe");
    walker.ScanStep();
    EXPECT_FALSE(walker.IsScanActive());
    walker.ScanFinish();
    EXPECT_EQ(folders.Current(), deep + "x");
    EXPECT_TRUE(walker.SkippedWalk());

    // The current folder itself needs no way back and is walked.
    walker.ScanStart("", "exe");
    while (walker.IsScanActive()) {
        walker.ScanStep();
    }
    walker.ScanFinish();
    EXPECT_EQ(shown, 3);  // ".", ".." and "Editor"
    EXPECT_EQ(folders.OpenSearches(), 0u);
}

}  // namespace
}  // namespace buildcensus
