#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "map_names.h"

namespace levelsmith {
namespace {

std::string Derived(const std::string& inputPath) {
    char outputName[kNameSize];
    std::memset(outputName, 'x', sizeof outputName);
    DeriveOutputName(inputPath.c_str(), outputName);
    return outputName;
}

TEST(DeriveOutputName, ReplacesTheLastCharacterOfTheFileNameWithBsp) {
    EXPECT_EQ(Derived("C:\\maps\\room.x"), "room.bsp");
    EXPECT_EQ(Derived("D:\\a\\landscape.x"), "landscape.bsp");
    EXPECT_EQ(Derived("C:/maps/room.X"), "room.bsp");
    EXPECT_EQ(Derived("C:\\maps/mixed\\room.xyz"), "room.xybsp");
    EXPECT_EQ(Derived("C:\\maps\\room"), "roobsp");
    EXPECT_EQ(Derived("\\\\server\\share\\r.x"), "r.bsp");
}

TEST(DeriveOutputName, GivesNothingWithoutASeparatorOrAFileName) {
    EXPECT_EQ(Derived("room.x"), "");
    EXPECT_EQ(Derived("\\room.x"), "") << "the first character never counts";
    EXPECT_EQ(Derived(""), "");
    EXPECT_EQ(Derived("C:\\maps\\"), "");
    EXPECT_EQ(Derived("C:/"), "");
}

TEST(DeriveOutputName, ALongNameFillsTheBufferExactlyOrGivesNothing) {
    // 253 characters of name give 252 + "bsp" = 255 and the terminator.
    const std::string fits(253, 'n');
    EXPECT_EQ(Derived("C:\\" + fits), std::string(252, 'n') + "bsp");
    EXPECT_EQ(Derived("C:\\" + std::string(254, 'n')), "");
    EXPECT_EQ(Derived("C:\\" + std::string(5000, 'n')), "");
}

TEST(BuildViewerCommandLine, JoinsFolderRuntimeAndName) {
    char line[64];
    ASSERT_TRUE(BuildViewerCommandLine("C:\\tools", "room.bsp", line, sizeof line));
    EXPECT_STREQ(line, "C:\\tools\\runtime\\room.bsp");
    ASSERT_TRUE(BuildViewerCommandLine("C:\\tools", "", line, sizeof line));
    EXPECT_STREQ(line, "C:\\tools\\runtime\\");
}

TEST(BuildViewerCommandLine, ALineThatDoesNotFitIsRefusedWhole) {
    char line[20];
    std::memset(line, '#', sizeof line);
    EXPECT_FALSE(BuildViewerCommandLine("C:\\tools", "room.bsp", line, sizeof line));
    EXPECT_STREQ(line, "");
    // "C:\t\runtime\a.bsp" is 18 characters: it needs 19 bytes.
    EXPECT_TRUE(BuildViewerCommandLine("C:\\t", "a.bsp", line, 19));
    EXPECT_FALSE(BuildViewerCommandLine("C:\\t", "a.bsp", line, 18));
    EXPECT_FALSE(BuildViewerCommandLine("C:\\t", "a.bsp", line, 0));
}

}  // namespace
}  // namespace levelsmith
