#include "census_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "ansi_text.h"

namespace buildcensus {

namespace {

constexpr std::size_t kExtensionLength = 3;
// A version resource is at most 64 KiB; the platform's block for it a small
// multiple of that. Anything claiming more is not read.
constexpr std::uint32_t kMaxVersionBlock = 1u << 20;

// A version block with the queries that can be asked of it.
class VersionBlock {
  public:
    VersionBlock(VersionOps& versions, std::vector<unsigned char> bytes)
        : versions_(versions), bytes_(std::move(bytes)) {}

    // The text stored at `query`, when the block answers it. The text ends at
    // its terminator, or at the end of the block when none comes before it.
    // The length the lookup reports does not cut it: Windows gives it in
    // characters, and a text of a double-byte code page has more bytes than
    // characters, so a cut there would split its last character.
    std::optional<std::string> Text(const char* query) const {
        const std::optional<Value> value = Lookup(query);
        if (!value) {
            return std::nullopt;
        }
        return std::string(value->at, BoundedLength(value->at, value->toBlockEnd));
    }

    // The first FileVersion text among the string tables that the block's
    // translation entry lists, in their order.
    std::optional<std::string> TranslatedText() const {
        const std::optional<Value> value = Lookup(kTranslationQuery);
        if (!value) {
            return std::nullopt;
        }
        // Each entry is a 16-bit language and a 16-bit code page, little-endian;
        // binary data, whose length the lookup gives in bytes.
        const std::size_t available = std::min(value->reported, value->toBlockEnd);
        for (std::size_t at = 0; at + 4 <= available; at += 4) {
            const auto* entry = reinterpret_cast<const unsigned char*>(value->at + at);
            const unsigned language = entry[0] | (entry[1] << 8);
            const unsigned codePage = entry[2] | (entry[3] << 8);
            char query[48];
            std::snprintf(query, sizeof query, "\\StringFileInfo\\%04X%04X\\FileVersion", language,
                          codePage);
            if (auto text = Text(query)) {
                return text;
            }
        }
        return std::nullopt;
    }

  private:
    struct Value {
        const char* at;
        std::size_t reported;    // the length the lookup reports
        std::size_t toBlockEnd;  // the bytes from `at` to the end of the block
    };

    // The value at `query`. Nothing when the block does not answer, or
    // answers with a place outside itself; an answer without a value is the
    // empty one.
    std::optional<Value> Lookup(const char* query) const {
        const void* value = nullptr;
        std::uint32_t length = 0;
        if (!versions_.QueryVersionValue(bytes_.data(), query, &value, &length)) {
            return std::nullopt;
        }
        if (value == nullptr || length == 0) {
            return Value{"", 0, 0};
        }
        const auto begin = reinterpret_cast<std::uintptr_t>(bytes_.data());
        const auto end = begin + bytes_.size();
        const auto at = reinterpret_cast<std::uintptr_t>(value);
        if (at < begin || at >= end) {
            return std::nullopt;
        }
        return Value{static_cast<const char*>(value), length, end - at};
    }

    VersionOps& versions_;
    std::vector<unsigned char> bytes_;
};

// True when `name` ends in the three characters of `extension`, whatever
// the case of their letters. No dot is looked for. The characters are whole
// ones: in a double-byte code page a name can end in the bytes of "exe"
// without ending in those three characters.
bool MatchesExtension(const char* name, const char* extension, const FolderOps& codePage) {
    const auto lastThree = LastCharactersStart(
        name, kExtensionLength, [&](unsigned char byte) { return codePage.IsLeadByte(byte); });
    return lastThree && EqualIgnoringCase(name + *lastThree, extension);
}

// The full path of the file `name` of `folder`, for the version functions:
// given a relative name they would load the file along the library search
// path, whose first place is the program's own folder, and could read
// another file of the same name. No separator is added after a folder whose
// last whole character is one (a root folder); in a double-byte code page
// its last byte alone can be the second byte of a character. A name without
// a dot ('.' is never a second byte) gets a trailing one, which the platform
// drops, so that they do not add ".dll" to it and read that file instead.
// False when the path does not fit.
bool FilePath(const char* folder, const char* name, const FolderOps& codePage,
              char (&path)[kPathSize]) {
    const auto last = LastCharactersStart(
        folder, 1, [&](unsigned char byte) { return codePage.IsLeadByte(byte); });
    if (!last) {
        return false;
    }
    const char* separator = folder[*last] == '\\' ? "" : "\\";
    const char* endDot = std::strchr(name, '.') == nullptr ? "." : "";
    const int length =
        std::snprintf(path, sizeof path, "%s%s%s%s", folder, separator, name, endDot);
    return length > 0 && static_cast<std::size_t>(length) < sizeof path;
}

}  // namespace

CensusFile::CensusFile(FolderOps& folders, VersionOps& versions, ProfileOps& profile)
    : folders_(folders), versions_(versions), profile_(profile) {}

void CensusFile::PrepareCensusFile() {
    pathFits_ = ReadCurrentFolder(folders_, censusPath_);
    const std::size_t length = std::strlen(censusPath_);
    if (!pathFits_ || length + std::strlen(kCensusFileName) >= kPathSize) {
        // A shortened path would name another file: nothing is deleted or written.
        pathFits_ = false;
        censusPath_[0] = '\0';
        return;
    }
    std::memcpy(censusPath_ + length, kCensusFileName, sizeof kCensusFileName);

    const std::uint32_t error = profile_.RemoveFile(censusPath_);
    staleFileKept_ = error != 0 && error != kErrorFileNotFound && error != kErrorPathNotFound;
}

void CensusFile::ProbeVersion(const char* folder, const char* name, const char* extension) {
    if (!MatchesExtension(name, extension, folders_) || !pathFits_) {
        return;
    }
    const std::string value = ReadFileVersion(folder, name);
    if (!profile_.WriteEntry(kCensusSection, name, value.c_str(), censusPath_)) {
        writeFailed_ = true;
    }
}

std::string CensusFile::ReadFileVersion(const char* folder, const char* name) {
    char path[kPathSize];
    if (!FilePath(folder, name, folders_, path)) {
        filePathTooLong_ = true;
        return kUnknownVersion;
    }
    if (!CanOpenFile(path)) {
        return kUnknownVersion;
    }
    const std::uint32_t size = versions_.GetVersionInfoSize(path);
    if (size == 0 || size > kMaxVersionBlock) {
        return kUnknownVersion;
    }
    std::vector<unsigned char> bytes(size);
    if (!versions_.GetVersionInfo(path, size, bytes.data())) {
        return kUnknownVersion;
    }
    const VersionBlock block(versions_, std::move(bytes));
    for (const char* query : kVersionQueries) {
        if (auto text = block.Text(query)) {
            return *text;
        }
    }
    return block.TranslatedText().value_or(kUnknownVersion);
}

bool CensusFile::CanOpenFile(const char* path) {
    const FileHandle file =
        versions_.OpenFile(path, kGenericRead, kFileShareRead, kOpenExisting, kFileAttributeNormal);
    if (file == kInvalidFile) {
        return false;
    }
    versions_.CloseFile(file);
    return true;
}

}  // namespace buildcensus
