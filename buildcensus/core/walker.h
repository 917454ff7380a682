#pragma once

#include <functional>

#include "folder_ops.h"

// Walks one folder, one entry per step, so that the walk can be interleaved
// with window messages. A walk makes the walked folder the current folder,
// so that every entry is reached by its bare name, and returns to the folder
// it started from when it is finished. Sub-folders are shown and passed
// over, never entered.
namespace buildcensus {

// What a step does with the entries it examines; given when the program is
// put together.
struct WalkOperations {
    // Called for every examined entry, "." and ".." and sub-folders included.
    std::function<void(const char* name)> showText;
    // Called for every file entry, with the walked folder's full path (empty
    // when it could not be read whole) and the walk's extension.
    std::function<void(const char* folder, const char* name, const char* extension)> probeVersion;
};

bool IsDirectory(std::uint32_t attributes);

class Walker {
  public:
    Walker(FolderOps& folders, WalkOperations operations);
    Walker(const Walker&) = delete;
    Walker& operator=(const Walker&) = delete;

    // Starts the walk of `folder`, relative to the current folder (the
    // empty text walks the current folder itself), for files ending in
    // `extension` (at most three characters). A folder that cannot be
    // entered is examined not at all: the first step ends its walk.
    void ScanStart(const char* folder, const char* extension);
    // Examines the current entry, or ends the walk when there is none.
    void ScanStep();
    bool IsScanActive() const { return active_; }
    // Closes the search and returns to the folder the walk started from.
    void ScanFinish();

    // True once a walk had to be skipped because the folder to return to
    // could not be recorded whole, or the return to it failed: every later
    // walk then starts from the wrong place.
    bool SkippedWalk() const { return skippedWalk_; }

  private:
    void ResetWalk();
    void OpenSearch();
    void NextEntry();

    static constexpr int kEntryReady = 0;
    static constexpr int kExhausted = -1;
    static constexpr std::size_t kExtensionSize = 4;

    FolderOps& folders_;
    WalkOperations operations_;
    SearchHandle search_ = kInvalidSearch;
    bool searchHeld_ = false;  // a failed search is not held: closing it is a no-op
    int state_ = kExhausted;
    EntryRecord current_;
    char savedFolder_[kPathSize] = {};
    bool folderSaved_ = false;
    char walkedFolder_[kPathSize] = {};  // the current folder once the walk has entered it
    char extension_[kExtensionSize] = {};
    bool active_ = false;
    bool skippedWalk_ = false;
};

}  // namespace buildcensus
