#include "win32_files.h"

#include <windows.h>

#include <cstring>

namespace buildcensus {

static_assert(kGenericRead == GENERIC_READ && kFileShareRead == FILE_SHARE_READ);
static_assert(kOpenExisting == OPEN_EXISTING && kFileAttributeNormal == FILE_ATTRIBUTE_NORMAL);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND &&
              kErrorPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(kAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY && kPathSize == MAX_PATH);

namespace {

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void CopyEntry(const WIN32_FIND_DATAA& found, EntryRecord* entry) {
    entry->attributes =
        found.dwFileAttributes == FILE_ATTRIBUTE_NORMAL ? 0 : found.dwFileAttributes;
    entry->creationTime = Ticks(found.ftCreationTime);
    entry->lastAccessTime = Ticks(found.ftLastAccessTime);
    entry->lastWriteTime = Ticks(found.ftLastWriteTime);
    entry->sizeLow = found.nFileSizeLow;
    std::memcpy(entry->name, found.cFileName, sizeof entry->name);
    entry->name[sizeof entry->name - 1] = '\0';
}

HANDLE ToHandle(std::uintptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

SearchHandle Win32Folders::FindFirst(const char* pattern, EntryRecord* entry) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return kInvalidSearch;
    }
    CopyEntry(found, entry);
    return reinterpret_cast<SearchHandle>(search);
}

bool Win32Folders::FindNext(SearchHandle search, EntryRecord* entry) {
    WIN32_FIND_DATAA found;
    if (!FindNextFileA(ToHandle(search), &found)) {
        return false;
    }
    CopyEntry(found, entry);
    return true;
}

bool Win32Folders::FindClose(SearchHandle search) {
    return ::FindClose(ToHandle(search)) != FALSE;
}

std::uint32_t Win32Folders::GetCurrentFolder(std::uint32_t size, char* buffer) {
    return GetCurrentDirectoryA(size, buffer);
}

bool Win32Folders::SetCurrentFolder(const char* path) {
    return SetCurrentDirectoryA(path) != FALSE;
}

bool Win32Folders::IsLeadByte(unsigned char byte) const {
    return IsDBCSLeadByte(byte) != FALSE;
}

FileHandle Win32Versions::OpenFile(const char* path, std::uint32_t access, std::uint32_t share,
                                   std::uint32_t creation, std::uint32_t flags) {
    const HANDLE file = CreateFileA(path, access, share, nullptr, creation, flags, nullptr);
    return file == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(file);
}

void Win32Versions::CloseFile(FileHandle file) {
    CloseHandle(ToHandle(file));
}

std::uint32_t Win32Versions::GetVersionInfoSize(const char* path) {
    DWORD ignored = 0;
    return GetFileVersionInfoSizeA(path, &ignored);
}

bool Win32Versions::GetVersionInfo(const char* path, std::uint32_t size, void* block) {
    return GetFileVersionInfoA(path, 0, size, block) != FALSE;
}

bool Win32Versions::QueryVersionValue(const void* block, const char* subBlock, const void** value,
                                      std::uint32_t* length) {
    void* found = nullptr;
    UINT foundLength = 0;
    if (!VerQueryValueA(block, subBlock, &found, &foundLength)) {
        return false;
    }
    *value = found;
    *length = foundLength;
    return true;
}

bool Win32Profile::WriteEntry(const char* section, const char* key, const char* value,
                              const char* file) {
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

std::uint32_t Win32Profile::RemoveFile(const char* path) {
    return DeleteFileA(path) ? 0 : GetLastError();
}

}  // namespace buildcensus
