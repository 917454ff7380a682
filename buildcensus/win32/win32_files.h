#pragma once

#include "file_ops.h"
#include "folder_ops.h"

// The census logic's operations on the real file system: each forwards to
// the ANSI Windows function of the same shape.
namespace buildcensus {

class Win32Folders final : public FolderOps {
  public:
    SearchHandle FindFirst(const char* pattern, EntryRecord* entry) override;
    bool FindNext(SearchHandle search, EntryRecord* entry) override;
    bool FindClose(SearchHandle search) override;
    std::uint32_t GetCurrentFolder(std::uint32_t size, char* buffer) override;
    bool SetCurrentFolder(const char* path) override;
    bool IsLeadByte(unsigned char byte) const override;
};

class Win32Versions final : public VersionOps {
  public:
    FileHandle OpenFile(const char* path, std::uint32_t access, std::uint32_t share,
                        std::uint32_t creation, std::uint32_t flags) override;
    void CloseFile(FileHandle file) override;
    std::uint32_t GetVersionInfoSize(const char* path) override;
    bool GetVersionInfo(const char* path, std::uint32_t size, void* block) override;
    bool QueryVersionValue(const void* block, const char* subBlock, const void** value,
                           std::uint32_t* length) override;
};

class Win32Profile final : public ProfileOps {
  public:
    bool WriteEntry(const char* section, const char* key, const char* value,
                    const char* file) override;
    std::uint32_t RemoveFile(const char* path) override;
};

}  // namespace buildcensus
