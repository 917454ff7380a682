// Runs the census logic natively over a real folder, with POSIX folder
// operations, no version reads, no census file and no window, and prints the
// process's peak memory. It tells the walk's own memory apart from what the
// platform's search and profile functions keep: the walk holds one entry at
// a time, so its peak must not grow with the size of the folder.
//   buildcensus_walk_bench FOLDER
#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "census_driver.h"

namespace {

using namespace buildcensus;

class PosixFolders final : public FolderOps {
  public:
    SearchHandle FindFirst(const char*, EntryRecord* entry) override {
        DIR* folder = opendir(".");
        if (folder == nullptr) {
            return kInvalidSearch;
        }
        if (!Next(folder, entry)) {
            closedir(folder);
            return kInvalidSearch;
        }
        return reinterpret_cast<SearchHandle>(folder);
    }
    bool FindNext(SearchHandle search, EntryRecord* entry) override {
        return Next(reinterpret_cast<DIR*>(search), entry);
    }
    bool FindClose(SearchHandle search) override {
        return closedir(reinterpret_cast<DIR*>(search)) == 0;
    }
    std::uint32_t GetCurrentFolder(std::uint32_t size, char* buffer) override {
        return getcwd(buffer, size) != nullptr ? static_cast<std::uint32_t>(std::strlen(buffer))
                                               : 0;
    }
    bool SetCurrentFolder(const char* path) override {
        std::string unixPath = path;
        for (char& c : unixPath) {
            c = c == '\\' ? '/' : c;
        }
        return chdir(unixPath.c_str()) == 0;
    }
    bool IsLeadByte(unsigned char) const override { return false; }

  private:
    static bool Next(DIR* folder, EntryRecord* entry) {
        const dirent* found = readdir(folder);
        if (found == nullptr) {
            return false;
        }
        entry->attributes = found->d_type == DT_DIR ? kAttributeDirectory : 0;
        std::snprintf(entry->name, sizeof entry->name, "%s", found->d_name);
        return true;
    }
};

class NoVersions final : public VersionOps {
  public:
    FileHandle OpenFile(const char*, std::uint32_t, std::uint32_t, std::uint32_t,
                        std::uint32_t) override {
        return 1;
    }
    void CloseFile(FileHandle) override {}
    std::uint32_t GetVersionInfoSize(const char*) override { return 0; }
    bool GetVersionInfo(const char*, std::uint32_t, void*) override { return false; }
    bool QueryVersionValue(const void*, const char*, const void**, std::uint32_t*) override {
        return false;
    }
};

class CountingProfile final : public ProfileOps {
  public:
    bool WriteEntry(const char*, const char*, const char*, const char*) override {
        ++lines;
        return true;
    }
    std::uint32_t RemoveFile(const char*) override { return kErrorFileNotFound; }
    long lines = 0;
};

class NoDisplay final : public DisplayOps {
  public:
    void Invalidate(bool) override {}
    void Update() override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || chdir(argv[1]) != 0) {
        std::fprintf(stderr, "usage: buildcensus_walk_bench FOLDER\n");
        return 2;
    }
    PosixFolders folders;
    NoVersions versions;
    CountingProfile profile;
    NoDisplay display;
    CensusDriver driver(folders, versions, profile, display);
    driver.Start();
    long turns = 0;
    while (driver.IdleTurn() == IdleResult::Continue) {
        ++turns;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld %ld %ld\n", turns, profile.lines, usage.ru_maxrss);
    return 0;
}
