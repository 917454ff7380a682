#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "display_ops.h"
#include "file_ops.h"
#include "folder_ops.h"

// In-memory stand-ins for the file system, the version functions, the INI
// writer and the window. They behave like the Windows functions for the
// calls the census makes, can be told to fail, and write what happens into
// one shared log so that tests can check the order of events.
namespace buildcensus::testing {

using Log = std::vector<std::string>;

// A folder tree below the starting folder "C:\Install". Every folder lists
// "." and ".." first, then its entries in the order they were added.
class FakeFolders final : public FolderOps {
  public:
    explicit FakeFolders(Log& log, std::string start = "C:\\Install");

    // A file, or a folder with kAttributeDirectory, by a path relative to the
    // starting folder; the folders on its way are made as needed.
    void Add(const std::string& path, std::uint32_t attributes = 0);
    void AddFolder(const std::string& path) { Add(path, kAttributeDirectory); }
    // The search of this folder (relative to the start) does not start.
    void FailSearchIn(const std::string& path) { failing_.insert(Key(Full(path))); }
    // A change into this folder (a full path) fails.
    void FailChangeTo(const std::string& full) { refused_.insert(Key(full)); }
    // The current folder's path cannot be read while this folder (relative
    // to the start) is the current one.
    void FailReadIn(const std::string& path) { unreadable_.insert(Key(Full(path))); }
    const std::string& Start() const { return start_; }
    const std::string& Current() const { return current_; }
    // The absolute path of `path` relative to the current folder.
    std::string Full(const std::string& path) const;
    std::size_t OpenSearches() const { return searches_.size(); }
    // Names and paths in the double-byte code page 932 (Japanese) rather
    // than a single-byte one.
    void UseCodePage932() { codePage932_ = true; }

    SearchHandle FindFirst(const char* pattern, EntryRecord* entry) override;
    bool FindNext(SearchHandle search, EntryRecord* entry) override;
    bool FindClose(SearchHandle search) override;
    std::uint32_t GetCurrentFolder(std::uint32_t size, char* buffer) override;
    bool SetCurrentFolder(const char* path) override;
    bool IsLeadByte(unsigned char byte) const override;

  private:
    struct Entry {
        std::string name;
        std::uint32_t attributes;
    };
    struct Search {
        std::string folder;
        std::size_t next;
    };
    static std::string Key(const std::string& path);
    void MakeFolder(const std::string& full);
    bool Deliver(Search& search, EntryRecord* entry);

    Log& log_;
    std::string start_;
    std::string current_;
    std::map<std::string, std::vector<Entry>> folders_;  // by upper-cased full path
    std::set<std::string> failing_;
    std::set<std::string> refused_;
    std::set<std::string> unreadable_;
    std::map<SearchHandle, Search> searches_;
    SearchHandle nextSearch_ = 0x10;
    bool codePage932_ = false;
};

// A file as the version functions see it.
struct FakeFile {
    bool locked = false;     // held open for writing by another process
    bool resource = true;    // has a version resource
    bool readFails = false;  // GetVersionInfo fails
    struct Value {
        std::string query;
        std::string bytes;
        std::uint32_t length;  // the length the query reports
    };
    std::vector<Value> values;

    // A string table with a FileVersion text.
    FakeFile& Table(const std::string& table, const std::string& text);
    // The "\VarFileInfo\Translation" entry: language and code page pairs.
    FakeFile& Translation(std::vector<std::pair<std::uint16_t, std::uint16_t>> pairs);
};

// Files with version resources. The version functions take full paths only:
// given a relative name the platform would look along the library search
// path, beginning in the program's folder, so the fake refuses one.
class FakeVersions final : public VersionOps {
  public:
    FakeVersions(Log& log, FakeFolders& folders) : log_(log), folders_(folders) {}

    // A file by a path relative to the starting folder, added to the tree.
    FakeFile& File(const std::string& path);

    FileHandle OpenFile(const char* path, std::uint32_t access, std::uint32_t share,
                        std::uint32_t creation, std::uint32_t flags) override;
    void CloseFile(FileHandle file) override;
    std::uint32_t GetVersionInfoSize(const char* path) override;
    bool GetVersionInfo(const char* path, std::uint32_t size, void* block) override;
    bool QueryVersionValue(const void* block, const char* subBlock, const void** value,
                           std::uint32_t* length) override;

  private:
    const FakeFile* Find(const char* path) const;
    // Logs the call; false for a relative name.
    bool TakesPath(const char* call, const char* path);
    static std::string Block(const FakeFile& file);

    Log& log_;
    FakeFolders& folders_;
    std::map<std::string, FakeFile> files_;  // by upper-cased full path
};

// INI files with the one section the census writes.
class FakeProfile final : public ProfileOps {
  public:
    explicit FakeProfile(Log& log) : log_(log) {}

    // The file's bytes as the platform would write them, if it exists.
    std::optional<std::string> Text(const std::string& path) const;
    void Put(const std::string& path, const std::string& key, const std::string& value);
    void FailWrites(bool fail) { failWrites_ = fail; }
    void FailRemove(std::uint32_t error) { removeError_ = error; }

    bool WriteEntry(const char* section, const char* key, const char* value,
                    const char* file) override;
    std::uint32_t RemoveFile(const char* path) override;

  private:
    using Lines = std::vector<std::pair<std::string, std::string>>;
    Log& log_;
    std::map<std::string, Lines> files_;
    bool failWrites_ = false;
    std::uint32_t removeError_ = 0;
};

// The window: an update logs the text that the paint would show.
class FakeDisplay final : public DisplayOps {
  public:
    explicit FakeDisplay(Log& log) : log_(log) {}
    std::function<const char*()> text;

    void Invalidate(bool erase) override { invalid_ = true, erased_ = erase; }
    void Update() override;

  private:
    Log& log_;
    bool invalid_ = false;
    bool erased_ = false;
};

}  // namespace buildcensus::testing
