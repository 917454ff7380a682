#include "map_names.h"

#include <cstdio>
#include <cstring>

namespace levelsmith {

void DeriveOutputName(const char* inputPath, char (&outputName)[kNameSize]) {
    std::memset(outputName, 0, kNameSize);
    const std::size_t length = std::strlen(inputPath);
    std::size_t separator = 0;  // none: position 0 never counts
    for (std::size_t at = length; at-- > 1;) {
        if (inputPath[at] == '/' || inputPath[at] == '\\') {
            separator = at;
            break;
        }
    }
    if (separator == 0) {
        return;
    }
    const char* name = inputPath + separator + 1;
    const std::size_t nameLength = length - separator - 1;
    constexpr char kMapEnding[] = "bsp";
    // All but the last character, "bsp" and the terminator.
    if (nameLength == 0 || nameLength - 1 + sizeof kMapEnding > kNameSize) {
        return;
    }
    std::memcpy(outputName, name, nameLength - 1);
    std::memcpy(outputName + nameLength - 1, kMapEnding, sizeof kMapEnding);
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
