#include "folder_ops.h"

namespace buildcensus {

bool ReadCurrentFolder(FolderOps& folders, char (&path)[kPathSize]) {
    const std::uint32_t length = folders.GetCurrentFolder(kPathSize, path);
    if (length == 0 || length >= kPathSize) {
        path[0] = '\0';
        return false;
    }
    path[length] = '\0';
    return true;
}

}  // namespace buildcensus
