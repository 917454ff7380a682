#pragma once

#include <cstdint>

// The file operations of the version probe and the census file, shaped like
// the Windows functions behind them so that the Win32 adapter only forwards:
// CreateFileA and CloseHandle for the open test, GetFileVersionInfoSizeA,
// GetFileVersionInfoA and VerQueryValueA for the version block,
// WritePrivateProfileStringA and DeleteFileA for the census file.
namespace buildcensus {

// Constant values are the ones Windows defines, passed through unchanged.
inline constexpr std::uint32_t kGenericRead = 0x80000000u;   // GENERIC_READ
inline constexpr std::uint32_t kFileShareRead = 0x1;         // FILE_SHARE_READ
inline constexpr std::uint32_t kOpenExisting = 3;            // OPEN_EXISTING
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;  // FILE_ATTRIBUTE_NORMAL
inline constexpr std::uint32_t kErrorFileNotFound = 2;       // ERROR_FILE_NOT_FOUND
inline constexpr std::uint32_t kErrorPathNotFound = 3;       // ERROR_PATH_NOT_FOUND

using FileHandle = std::uintptr_t;
inline constexpr FileHandle kInvalidFile = static_cast<FileHandle>(-1);

class VersionOps {
  public:
    virtual ~VersionOps() = default;
    // kInvalidFile when the file did not open.
    virtual FileHandle OpenFile(const char* path, std::uint32_t access, std::uint32_t share,
                                std::uint32_t creation, std::uint32_t flags) = 0;
    virtual void CloseFile(FileHandle file) = 0;
    // The size of the file's version block; 0 when it has none.
    virtual std::uint32_t GetVersionInfoSize(const char* path) = 0;
    virtual bool GetVersionInfo(const char* path, std::uint32_t size, void* block) = 0;
    // Looks `subBlock` up in a block read by GetVersionInfo. On success *value
    // points into the block and *length is the value's length.
    virtual bool QueryVersionValue(const void* block, const char* subBlock, const void** value,
                                   std::uint32_t* length) = 0;
};

class ProfileOps {
  public:
    virtual ~ProfileOps() = default;
    // Writes one key of an INI file, creating the file and the section when
    // they are missing and replacing the value of a key that is present.
    virtual bool WriteEntry(const char* section, const char* key, const char* value,
                            const char* file) = 0;
    // Deletes a file: 0 when it was deleted, otherwise the error code.
    virtual std::uint32_t RemoveFile(const char* path) = 0;
};

}  // namespace buildcensus
