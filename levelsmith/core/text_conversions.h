#pragma once

// The option texts turned into the numbers the passes get. Both read the
// text as atof does: leading white space skipped, the longest numeric
// prefix taken, 0 when there is none.
namespace levelsmith {

// The value narrowed to the nearest float; beyond float's range, the
// largest float or infinity of the same sign, as rounding gives.
float EpsilonFromText(const char* text);

// The value truncated toward zero; beyond int's range the nearest int, and
// 0 for a text that reads as not-a-number.
int SplitFromText(const char* text);

}  // namespace levelsmith
