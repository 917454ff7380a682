#pragma once

#include <cstddef>

// The names derived from the chosen model: the map's file name shown in the
// Output field, and the level viewer's command line.
namespace levelsmith {

inline constexpr std::size_t kNameSize = 256;
inline constexpr char kViewerFolder[] = "\\runtime\\";

// Whether a byte begins a two-byte character in the ANSI code page
// (IsDBCSLeadByte). In the double-byte code pages of East Asian Windows the
// second byte of a character can be '\' or a letter.
using LeadByteTest = bool (*)(unsigned char byte);

// The file-name part of `inputPath` (after its last '/' or '\', the first
// character never counting as one) with its last character replaced by
// "bsp": room.x gives room.bsp, room.xyz room.xybsp, room roobsp. Empty when
// there is no separator, no file name after it, or the result would not fit
// the buffer. The path is taken apart by whole characters: a separator is
// one of its own, never the second byte of a character, and the character
// replaced is the last whole one.
void DeriveOutputName(const char* inputPath, char (&outputName)[kNameSize],
                      LeadByteTest isLeadByte);

// `currentFolder` + "\runtime\" + `outputName` into `commandLine`; false,
// leaving it empty, when the whole line does not fit `size` bytes.
bool BuildViewerCommandLine(const char* currentFolder, const char* outputName, char* commandLine,
                            std::size_t size);

}  // namespace levelsmith
