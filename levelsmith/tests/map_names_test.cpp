#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "map_names.h"

namespace levelsmith {
namespace {

bool SingleByte(unsigned char) {
    return false;
}

// The lead bytes of code page 932 (Japanese); they can be second bytes too.
bool CodePage932(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string Derived(const std::string& inputPath, LeadByteTest isLeadByte = SingleByte) {
    char outputName[kNameSize];
    std::memset(outputName, 'x', sizeof outputName);
    DeriveOutputName(inputPath.c_str(), outputName, isLeadByte);
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

TEST(DeriveOutputName, TakesADoubleBytePathApartByWholeCharacters) {
    const std::string sofa = "\x83\x5C\x83\x74\x83\x40";  // katakana, 5C as a second byte
    const std::string table = "\x95\x5C";                 // a kanji, likewise
    EXPECT_EQ(Derived("C:\\maps\\" + sofa + ".x", CodePage932), sofa + ".bsp");
    EXPECT_EQ(Derived("C:\\maps\\" + table + ".x", CodePage932), table + ".bsp");
    EXPECT_EQ(Derived("C:\\" + table + "\\room.x", CodePage932), "room.bsp");
    EXPECT_EQ(Derived("C:\\maps\\" + table, CodePage932), "bsp");
    EXPECT_EQ(Derived("C:\\maps\\\x95\x94\x89\xAE", CodePage932),
              "\x95\x94"
              "bsp");
    EXPECT_EQ(Derived(table + "room.x", CodePage932), "") << "no separator at all";
    // A lone lead byte at the end stands for itself: the path after its
    // terminator, in the same buffer, is never read.
    const char beyond[] = "C:\\a\\\x83\0zz\\q.x";
    EXPECT_EQ(Derived(std::string(beyond, sizeof beyond - 1), CodePage932), "bsp");
    // The same bytes in a single-byte code page: 5C is a separator there.
    EXPECT_EQ(Derived("C:\\maps\\" + sofa + ".x"), "\x83\x74\x83\x40.bsp");
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
