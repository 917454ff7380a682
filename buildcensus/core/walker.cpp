#include "walker.h"

#include <cstring>
#include <utility>

#include "ansi_text.h"

namespace buildcensus {

namespace {

bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

bool IsDirectory(std::uint32_t attributes) {
    return (attributes & kAttributeDirectory) != 0;
}

Walker::Walker(FolderOps& folders, WalkOperations operations)
    : folders_(folders), operations_(std::move(operations)) {}

void Walker::ScanStart(const char* folder, const char* extension) {
    ResetWalk();
    folderSaved_ = ReadCurrentFolder(folders_, savedFolder_);

    bool entered = folder[0] == '\0';  // the current folder itself
    if (!entered && !folderSaved_) {
        // Without the way back the folder is not entered: every later walk
        // would otherwise start from the wrong place.
        skippedWalk_ = true;
    } else if (!entered) {
        entered = folders_.SetCurrentFolder(folder);
    }

    const std::size_t length = BoundedLength(extension, kExtensionSize - 1);
    std::memcpy(extension_, extension, length);
    extension_[length] = '\0';

    // A folder that was not entered leaves the walk exhausted: searching
    // here would record the starting folder's files as the plan folder's.
    if (entered) {
        ReadCurrentFolder(folders_, walkedFolder_);
        OpenSearch();
    }
    active_ = true;
}

void Walker::ScanStep() {
    if (state_ == kExhausted) {
        active_ = false;
        return;
    }
    operations_.showText(current_.name);
    if (!IsDotEntry(current_.name) && !IsDirectory(current_.attributes)) {
        operations_.probeVersion(walkedFolder_, current_.name, extension_);
    }
    NextEntry();
}

void Walker::ScanFinish() {
    if (searchHeld_) {
        folders_.FindClose(search_);
    }
    searchHeld_ = false;
    search_ = kInvalidSearch;
    state_ = kExhausted;
    if (folderSaved_ && !folders_.SetCurrentFolder(savedFolder_)) {
        skippedWalk_ = true;
    }
}

void Walker::ResetWalk() {
    // The previous walk's ScanFinish has closed its search.
    searchHeld_ = false;
    search_ = kInvalidSearch;
    state_ = kExhausted;
    walkedFolder_[0] = '\0';
}

void Walker::OpenSearch() {
    if (searchHeld_) {
        folders_.FindClose(search_);
        searchHeld_ = false;
    }
    search_ = folders_.FindFirst("*.*", &current_);
    searchHeld_ = search_ != kInvalidSearch;
    state_ = searchHeld_ ? kEntryReady : kExhausted;
}

void Walker::NextEntry() {
    const bool came = searchHeld_ && folders_.FindNext(search_, &current_);
    state_ = came ? kEntryReady : kExhausted;
}

}  // namespace buildcensus
