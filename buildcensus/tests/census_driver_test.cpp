#include <gtest/gtest.h>

#include <string>

#include "census_driver.h"
#include "fakes.h"

namespace buildcensus {
namespace {

using testing::FakeDisplay;
using testing::FakeFolders;
using testing::FakeProfile;
using testing::FakeVersions;
using testing::Log;

class CensusDriverTest : public ::testing::Test {
  protected:
    CensusDriverTest() {
        display.text = [this] { return driver.DisplayText(); };
    }

    // Idle turns until the driver asks to quit, at most `limit`; returns
    // how many it took, the quitting one included.
    int RunTurns(int limit = 1000) {
        for (int turn = 1; turn <= limit; ++turn) {
            if (driver.IdleTurn() == IdleResult::Quit) {
                return turn;
            }
        }
        return -1;
    }

    std::optional<std::string> Census() const {
        return profile.Text("C:\\Install\\Buildcensus.ini");
    }

    Log log;
    FakeFolders folders{log};
    FakeVersions versions{log, folders};
    FakeProfile profile{log};
    FakeDisplay display{log};
    CensusDriver driver{folders, versions, profile, display};
};

TEST_F(CensusDriverTest, WalksThePlanOneEntryPerTurnAndQuitsOneTurnAfterTheLastItem) {
    versions.File("Buildcensus.exe").Table("000004B0", "V1.0");
    versions.File("Editor\\editor.exe").Table("040904E4", "4.2");
    versions.File("Compiler\\Plugins\\csg.dll").Table("000004B0", "1.0");
    folders.Add("Compiler\\Plugins-User\\readme.txt");
    // "Compiler" holds only its two sub-folders and the dots.

    EXPECT_STREQ(driver.DisplayText(), "Scanning Quillon Professional Installation...");
    driver.Start();
    // Each item: a turn to start, one per entry (the dots included), one
    // that ends the walk.
    const int turns = (1 + 5 + 1) + (1 + 3 + 1) + (1 + 4 + 1) + (1 + 3 + 1) + (1 + 3 + 1);
    EXPECT_EQ(RunTurns(), turns + 1);
    EXPECT_EQ(driver.IdleTurn(), IdleResult::Quit);

    EXPECT_EQ(Census(), "[VERSIONS]\r\nBuildcensus.exe=V1.0\r\neditor.exe=4.2\r\ncsg.dll=1.0\r\n");
    EXPECT_EQ(folders.Current(), "C:\\Install");
    EXPECT_EQ(folders.OpenSearches(), 0u);
    EXPECT_EQ(driver.ExitStatus(), 0);
    // The last name examined stays on display.
    EXPECT_STREQ(driver.DisplayText(), "readme.txt");
}

TEST_F(CensusDriverTest, EachTurnDoesOneThingInOrder) {
    versions.File("Buildcensus.exe").Table("000004B0", "V1.0");
    driver.Start();
    const Log start = {"delete C:\\Install\\Buildcensus.ini"};
    EXPECT_EQ(log, start);

    auto turn = [&] {
        log.clear();
        EXPECT_EQ(driver.IdleTurn(), IdleResult::Continue);
        return log;
    };
    EXPECT_EQ(turn(), Log{"search C:\\Install\\*.*"});
    EXPECT_EQ(turn(), Log{"paint ."});  // repainted, without erasing, before the step ends
    EXPECT_EQ(turn(), Log{"paint .."});
    const Log probe = {"paint Buildcensus.exe",
                       "open C:\\Install\\Buildcensus.exe 0x80000000 1 3 0x80",
                       "close file",
                       "version size C:\\Install\\Buildcensus.exe",
                       "version block C:\\Install\\Buildcensus.exe",
                       "write [VERSIONS] Buildcensus.exe=V1.0 to C:\\Install\\Buildcensus.ini"};
    EXPECT_EQ(turn(), probe);
    const Log finish = {"close search", "cd C:\\Install"};
    EXPECT_EQ(turn(), finish);
    EXPECT_EQ(turn(), Log{"cd Editor (fails)"});  // the next item starts on its own turn
}

TEST_F(CensusDriverTest, ExitStatusTellsWhetherTheCensusIsWhole) {
    versions.File("a.exe").Table("000004B0", "1.0");
    versions.File("Editor\\b.exe").Table("000004B0", "2.0");
    driver.Start();
    for (int turn = 0; turn < 6; ++turn) {  // ended early, after the first item
        driver.IdleTurn();
    }
    EXPECT_EQ(Census(), "[VERSIONS]\r\na.exe=1.0\r\n");
    EXPECT_EQ(driver.ExitStatus(), 0);

    // A walked folder whose own path cannot be read is enough to fail the run.
    folders.FailReadIn("Editor");
    EXPECT_GT(RunTurns(), 0);  // the walk goes on to the end
    EXPECT_EQ(Census(), "[VERSIONS]\r\na.exe=1.0\r\nb.exe=unknown\r\n");
    EXPECT_EQ(driver.ExitStatus(), 1);
}

TEST(CensusDriverLimits, ACensusPathThatDoesNotFitWritesNothingButWalksEverything) {
    Log log;
    const std::string folder = "C:\\" + std::string(250, 'q');
    FakeFolders folders(log, folder);
    FakeVersions versions(log, folders);
    FakeProfile profile(log);
    FakeDisplay display(log);
    versions.File("a.exe").Table("000004B0", "1.0");
    versions.File("Editor\\b.exe").Table("000004B0", "2.0");
    CensusDriver driver(folders, versions, profile, display);
    display.text = [&] { return driver.DisplayText(); };

    driver.Start();
    int turns = 1;
    while (driver.IdleTurn() == IdleResult::Continue && turns < 100) {
        ++turns;
    }
    EXPECT_EQ(turns, (1 + 4 + 1) + (1 + 3 + 1) + 3 * 2 + 1);  // three items missing
    for (const std::string& event : log) {
        EXPECT_TRUE(event.rfind("paint", 0) == 0 || event.rfind("search", 0) == 0 ||
                    event.rfind("cd", 0) == 0 || event == "close search")
            << event;
    }
    EXPECT_EQ(driver.ExitStatus(), 1);
}

}  // namespace
}  // namespace buildcensus
