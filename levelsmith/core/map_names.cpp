#include "map_names.h"

#include <cstdio>
#include <cstring>

namespace levelsmith {

void DeriveOutputName(const char* inputPath, char (&outputName)[kNameSize],
                      LeadByteTest isLeadByte) {
    std::memset(outputName, 0, kNameSize);
    // One pass forward, character by character: a lead-byte test cannot
    // tell where a character begins when scanning backwards. A lead byte
    // just before the terminator stands for itself.
    std::size_t separator = 0;  // none: the first character never counts
    std::size_t lastCharacter = 0;
    std::size_t at = 0;
    while (inputPath[at] != '\0') {
        lastCharacter = at;
        const bool doubleByte =
            isLeadByte(static_cast<unsigned char>(inputPath[at])) && inputPath[at + 1] != '\0';
        if (!doubleByte && at > 0 && (inputPath[at] == '/' || inputPath[at] == '\\')) {
            separator = at;
        }
        at += doubleByte ? 2 : 1;
    }
    if (separator == 0 || lastCharacter <= separator) {
        return;
    }
    // All of the name but its last character, "bsp" and the terminator.
    const char* name = inputPath + separator + 1;
    const std::size_t keptLength = lastCharacter - separator - 1;
    constexpr char kMapEnding[] = "bsp";
    if (keptLength + sizeof kMapEnding > kNameSize) {
        return;
    }
    std::memcpy(outputName, name, keptLength);
    std::memcpy(outputName + keptLength, kMapEnding, sizeof kMapEnding);
}

bool BuildViewerCommandLine(const char* currentFolder, const char* outputName, char* commandLine,
                            std::size_t size) {
    if (size == 0) {
        return false;
    }
    const int written =
        std::snprintf(commandLine, size, "%s%s%s", currentFolder, kViewerFolder, outputName);
    if (written < 0 || static_cast<std::size_t>(written) >= size) {
        commandLine[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace levelsmith
