#pragma once

#include <string>

#include "file_ops.h"
#include "folder_ops.h"

// The census file "Buildcensus.ini" in the folder that was current at
// program start: one line "name=version" in the section VERSIONS for every
// program or library that the walks meet, written as soon as it is read.
namespace buildcensus {

inline constexpr char kCensusFileName[] = "\\Buildcensus.ini";
inline constexpr char kCensusSection[] = "VERSIONS";
inline constexpr char kUnknownVersion[] = "unknown";

// Tried in this order; the first one that answers supplies the version.
inline constexpr const char* kVersionQueries[] = {
    "\\StringFileInfo\\00000000\\FileVersion",
    "\\StringFileInfo\\000004B0\\FileVersion",
    "\\StringFileInfo\\043604E4\\FileVersion",
    "\\StringFileInfo\\040904E4\\FileVersion",
};
inline constexpr char kTranslationQuery[] = "\\VarFileInfo\\Translation";

class CensusFile {
  public:
    CensusFile(FolderOps& folders, VersionOps& versions, ProfileOps& profile);

    // Forms the census path from the current folder and deletes the census
    // file of an earlier run.
    void PrepareCensusFile();
    // Records the version of the file `name` of `folder` (a full path, the
    // walked folder) when the name ends in `extension`.
    void ProbeVersion(const char* folder, const char* name, const char* extension);
    // The FileVersion text of the file `name` of `folder`, or "unknown" (also
    // when the file's full path does not fit, which fails the run).
    std::string ReadFileVersion(const char* folder, const char* name);
    // True when the file can be opened for reading.
    bool CanOpenFile(const char* path);

    // True when the census file cannot be trusted whole: its path did not
    // fit, a line could not be written, a file's path was too long to read
    // its version, or an earlier census file could not be deleted and may
    // still hold lines of files that are gone.
    bool Failed() const { return !pathFits_ || writeFailed_ || filePathTooLong_ || staleFileKept_; }
    const char* CensusPath() const { return censusPath_; }

  private:
    FolderOps& folders_;
    VersionOps& versions_;
    ProfileOps& profile_;
    char censusPath_[kPathSize] = {};
    bool pathFits_ = false;
    bool writeFailed_ = false;
    bool filePathTooLong_ = false;
    bool staleFileKept_ = false;
};

}  // namespace buildcensus
