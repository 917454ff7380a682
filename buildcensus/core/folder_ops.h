#pragma once

#include <cstdint>

// The directory search and current-folder operations that the walker needs,
// shaped like FindFirstFileA, FindNextFileA, FindClose, GetCurrentDirectoryA
// and SetCurrentDirectoryA, so that the Win32 adapter only forwards and a
// fake folder tree can stand in for the file system; and IsDBCSLeadByte,
// for taking the names and paths they deliver apart by characters.
namespace buildcensus {

// Size of every path and name buffer, terminator included (MAX_PATH).
inline constexpr std::uint32_t kPathSize = 260;

inline constexpr std::uint32_t kAttributeDirectory = 0x10;  // FILE_ATTRIBUTE_DIRECTORY

// One directory entry as the search delivers it. An entry whose only
// attribute is FILE_ATTRIBUTE_NORMAL has the attributes 0.
struct EntryRecord {
    std::uint32_t attributes = 0;
    std::uint64_t creationTime = 0;  // FILETIME values
    std::uint64_t lastAccessTime = 0;
    std::uint64_t lastWriteTime = 0;
    std::uint32_t sizeLow = 0;
    char name[kPathSize] = {};  // the bare long name, always NUL-terminated
};

using SearchHandle = std::uintptr_t;
inline constexpr SearchHandle kInvalidSearch = static_cast<SearchHandle>(-1);

class FolderOps {
  public:
    virtual ~FolderOps() = default;
    // Starts a search of the current folder for `pattern` and puts the first
    // entry into *entry; kInvalidSearch when the search did not start.
    virtual SearchHandle FindFirst(const char* pattern, EntryRecord* entry) = 0;
    // The next entry into *entry; false at the end of the folder or on error.
    virtual bool FindNext(SearchHandle search, EntryRecord* entry) = 0;
    virtual bool FindClose(SearchHandle search) = 0;
    // Like GetCurrentDirectoryA: the path's length when it fit in `size`
    // with its terminator, the size it needs when it did not, 0 on failure.
    virtual std::uint32_t GetCurrentFolder(std::uint32_t size, char* buffer) = 0;
    // A relative path or an absolute one.
    virtual bool SetCurrentFolder(const char* path) = 0;
    // True when `byte` begins a two-byte character in the ANSI code page of
    // the names and paths. In the double-byte code pages of East Asian
    // Windows the second byte of a character can be '\' or a letter.
    virtual bool IsLeadByte(unsigned char byte) const = 0;
};

// Reads the current folder's path into `path`. False, leaving `path` empty,
// when it could not be read or would not fit whole.
bool ReadCurrentFolder(FolderOps& folders, char (&path)[kPathSize]);

}  // namespace buildcensus
