#pragma once

#include <cstddef>

// The names derived from the chosen model: the map's file name shown in the
// Output field, and the level viewer's command line.
namespace levelsmith {

inline constexpr std::size_t kNameSize = 256;
inline constexpr char kViewerFolder[] = "\\runtime\\";

// The file-name part of `inputPath` (after its last '/' or '\', the first
// character never counting as one) with its last character replaced by
// "bsp": room.x gives room.bsp, room.xyz room.xybsp, room roobsp. Empty when
// there is no separator, no file name after it, or the result would not fit
// the buffer.
void DeriveOutputName(const char* inputPath, char (&outputName)[kNameSize]);

// `currentFolder` + "\runtime\" + `outputName` into `commandLine`; false,
// leaving it empty, when the whole line does not fit `size` bytes.
bool BuildViewerCommandLine(const char* currentFolder, const char* outputName, char* commandLine,
                            std::size_t size);

}  // namespace levelsmith
