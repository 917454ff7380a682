#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>

#include "text_conversions.h"

namespace levelsmith {
namespace {

TEST(SplitFromText, TruncatesTowardZeroAfterReadingAsAtofDoes) {
    EXPECT_EQ(SplitFromText("3"), 3);
    EXPECT_EQ(SplitFromText("3.9"), 3);
    EXPECT_EQ(SplitFromText("-2.7"), -2);
    EXPECT_EQ(SplitFromText(" 4x"), 4);
    EXPECT_EQ(SplitFromText("abc"), 0);
    EXPECT_EQ(SplitFromText(""), 0);
}

TEST(SplitFromText, OutOfRangeGivesTheNearestIntAndNotANumberZero) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(SplitFromText("2147483647.9"), kMax);
    EXPECT_EQ(SplitFromText("2147483648"), kMax);
    EXPECT_EQ(SplitFromText("1e300"), kMax);
    EXPECT_EQ(SplitFromText("-2147483648.9"), kMin);
    EXPECT_EQ(SplitFromText("-2147483649"), kMin);
    EXPECT_EQ(SplitFromText("-1e300"), kMin);
    EXPECT_EQ(SplitFromText("1e999"), kMax);  // infinity
    EXPECT_EQ(SplitFromText("nan"), 0);
}

TEST(EpsilonFromText, IsTheNearestFloat) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(EpsilonFromText("0.1")), 0x3DCCCCCDu);
    EXPECT_EQ(EpsilonFromText(" 0.5x"), 0.5f);
    EXPECT_EQ(EpsilonFromText("abc"), 0.0f);
    EXPECT_EQ(EpsilonFromText(""), 0.0f);
    EXPECT_EQ(EpsilonFromText("-1e-50"), -0.0f);
}

TEST(EpsilonFromText, BeyondFloatRangeRoundsToTheLargestFloatOrInfinity) {
    constexpr float kMax = std::numeric_limits<float>::max();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(EpsilonFromText("3.4028235e38"), kMax);
    EXPECT_EQ(EpsilonFromText("3.40282356e38"), kMax);
    EXPECT_EQ(EpsilonFromText("3.5e38"), kInfinity);
    EXPECT_EQ(EpsilonFromText("-1e300"), -kInfinity);
    EXPECT_EQ(EpsilonFromText("1e999"), kInfinity);
}

}  // namespace
}  // namespace levelsmith
