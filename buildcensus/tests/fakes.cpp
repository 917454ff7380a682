#include "fakes.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace buildcensus::testing {

namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string Parent(const std::string& path) {
    return path.substr(0, path.find_last_of('\\'));
}

std::string LastPart(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

void Append(std::string& block, const void* data, std::size_t size) {
    block.append(static_cast<const char*>(data), size);
}

}  // namespace

FakeFolders::FakeFolders(Log& log, std::string start)
    : log_(log), start_(std::move(start)), current_(start_) {
    folders_[Key(start_)];
}

std::string FakeFolders::Key(const std::string& path) {
    return Upper(path);
}

std::string FakeFolders::Full(const std::string& path) const {
    std::string rest = path;
    while (!rest.empty() && rest.back() == '.') {  // the platform drops trailing dots
        rest.pop_back();
    }
    if (rest.size() > 1 && rest[1] == ':') {
        return rest;
    }
    if (rest.rfind(".\\", 0) == 0) {
        rest = rest.substr(2);
    }
    return rest.empty() ? current_ : current_ + "\\" + rest;
}

void FakeFolders::MakeFolder(const std::string& full) {
    if (folders_.count(Key(full)) != 0) {
        return;
    }
    MakeFolder(Parent(full));
    folders_[Key(Parent(full))].push_back({LastPart(full), kAttributeDirectory});
    folders_[Key(full)];
}

void FakeFolders::Add(const std::string& path, std::uint32_t attributes) {
    const std::string full = start_ + "\\" + path;
    if (attributes & kAttributeDirectory) {
        MakeFolder(full);
        return;
    }
    MakeFolder(Parent(full));
    folders_[Key(Parent(full))].push_back({LastPart(full), attributes});
}

bool FakeFolders::Deliver(Search& search, EntryRecord* entry) {
    static const Entry dots[] = {{".", kAttributeDirectory}, {"..", kAttributeDirectory}};
    const std::vector<Entry>& entries = folders_[search.folder];
    if (search.next >= entries.size() + 2) {
        return false;
    }
    const Entry& found = search.next < 2 ? dots[search.next] : entries[search.next - 2];
    ++search.next;
    *entry = EntryRecord{};
    entry->attributes = found.attributes;
    std::snprintf(entry->name, sizeof entry->name, "%s", found.name.c_str());
    return true;
}

SearchHandle FakeFolders::FindFirst(const char* pattern, EntryRecord* entry) {
    log_.push_back("search " + current_ + "\\" + pattern);
    const std::string folder = Key(current_);
    if (failing_.count(folder) != 0 || folders_.count(folder) == 0) {
        return kInvalidSearch;
    }
    Search search{folder, 0};
    Deliver(search, entry);
    searches_[nextSearch_] = search;
    return nextSearch_++;
}

bool FakeFolders::FindNext(SearchHandle search, EntryRecord* entry) {
    const auto found = searches_.find(search);
    return found != searches_.end() && Deliver(found->second, entry);
}

bool FakeFolders::FindClose(SearchHandle search) {
    log_.push_back("close search");
    return searches_.erase(search) != 0;
}

std::uint32_t FakeFolders::GetCurrentFolder(std::uint32_t size, char* buffer) {
    if (unreadable_.count(Key(current_)) != 0) {
        return 0;
    }
    const auto length = static_cast<std::uint32_t>(current_.size());
    if (length + 1 > size) {
        return length + 1;
    }
    std::memcpy(buffer, current_.c_str(), length + 1);
    return length;
}

bool FakeFolders::SetCurrentFolder(const char* path) {
    const std::string full = Full(path);
    const bool known = folders_.count(Key(full)) != 0 && refused_.count(Key(full)) == 0;
    log_.push_back(std::string("cd ") + path + (known ? "" : " (fails)"));
    if (known) {
        current_ = full;
    }
    return known;
}

bool FakeFolders::IsLeadByte(unsigned char byte) const {
    // Code page 932's lead bytes, which can be second bytes as well.
    return codePage932_ && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
}

FakeFile& FakeFile::Table(const std::string& table, const std::string& text) {
    values.push_back({"\\StringFileInfo\\" + table + "\\FileVersion", text + '\0',
                      static_cast<std::uint32_t>(text.size() + 1)});
    return *this;
}

FakeFile& FakeFile::Translation(std::vector<std::pair<std::uint16_t, std::uint16_t>> pairs) {
    std::string bytes;
    for (const auto& [language, codePage] : pairs) {
        for (std::uint16_t half : {language, codePage}) {
            bytes += static_cast<char>(half & 0xFF);
            bytes += static_cast<char>(half >> 8);
        }
    }
    values.push_back(
        {"\\VarFileInfo\\Translation", bytes, static_cast<std::uint32_t>(bytes.size())});
    return *this;
}

FakeFile& FakeVersions::File(const std::string& path) {
    folders_.Add(path);
    // As the census names it: no second separator after a drive's root.
    const std::string& start = folders_.Start();
    const bool root = start.size() == 3 && start.compare(1, 2, ":\\") == 0;
    return files_[Upper(root ? start + path : start + "\\" + path)];
}

const FakeFile* FakeVersions::Find(const char* path) const {
    const auto found = files_.find(Upper(folders_.Full(path)));
    return found == files_.end() ? nullptr : &found->second;
}

bool FakeVersions::TakesPath(const char* call, const char* path) {
    const bool full = std::strlen(path) > 2 && path[1] == ':' && path[2] == '\\';
    log_.push_back(std::string(call) + path + (full ? "" : " (relative: refused)"));
    return full;
}

FileHandle FakeVersions::OpenFile(const char* path, std::uint32_t access, std::uint32_t share,
                                  std::uint32_t creation, std::uint32_t flags) {
    const FakeFile* file = Find(path);
    const bool opened = file != nullptr && !file->locked;
    char call[320];
    std::snprintf(call, sizeof call, "open %s 0x%X %u %u 0x%X%s", path, access, share, creation,
                  flags, opened ? "" : " (fails)");
    log_.push_back(call);
    return opened ? 0x100 : kInvalidFile;
}

void FakeVersions::CloseFile(FileHandle) {
    log_.push_back("close file");
}

// A block is the file's values one after another: the query and its NUL,
// the reported length (4 bytes), the value's bytes; an empty query ends it.
std::string FakeVersions::Block(const FakeFile& file) {
    std::string block;
    for (const FakeFile::Value& value : file.values) {
        block += value.query + '\0';
        Append(block, &value.length, sizeof value.length);
        const auto size = static_cast<std::uint32_t>(value.bytes.size());
        Append(block, &size, sizeof size);
        block += value.bytes;
    }
    return block + '\0';
}

std::uint32_t FakeVersions::GetVersionInfoSize(const char* path) {
    if (!TakesPath("version size ", path)) {
        return 0;
    }
    const FakeFile* file = Find(path);
    return file == nullptr || !file->resource ? 0 : static_cast<std::uint32_t>(Block(*file).size());
}

bool FakeVersions::GetVersionInfo(const char* path, std::uint32_t size, void* block) {
    if (!TakesPath("version block ", path)) {
        return false;
    }
    const FakeFile* file = Find(path);
    if (file == nullptr || !file->resource || file->readFails) {
        return false;
    }
    const std::string bytes = Block(*file);
    if (bytes.size() > size) {
        return false;
    }
    std::memcpy(block, bytes.data(), bytes.size());
    return true;
}

bool FakeVersions::QueryVersionValue(const void* block, const char* subBlock, const void** value,
                                     std::uint32_t* length) {
    const char* at = static_cast<const char*>(block);
    while (*at != '\0') {
        const std::string query = at;
        at += query.size() + 1;
        std::uint32_t reported = 0;
        std::uint32_t size = 0;
        std::memcpy(&reported, at, sizeof reported);
        std::memcpy(&size, at + sizeof reported, sizeof size);
        at += sizeof reported + sizeof size;
        if (Upper(query) == Upper(subBlock)) {
            *value = at;
            *length = reported;
            return true;
        }
        at += size;
    }
    return false;
}

std::optional<std::string> FakeProfile::Text(const std::string& path) const {
    const auto found = files_.find(Upper(path));
    if (found == files_.end()) {
        return std::nullopt;
    }
    std::string text = "[VERSIONS]\r\n";
    for (const auto& [key, value] : found->second) {
        text += key + "=" + value + "\r\n";
    }
    return text;
}

void FakeProfile::Put(const std::string& path, const std::string& key, const std::string& value) {
    Lines& lines = files_[Upper(path)];
    const auto same = std::find_if(lines.begin(), lines.end(), [&](const auto& line) {
        return Upper(line.first) == Upper(key);
    });
    if (same != lines.end()) {
        same->second = value;
    } else {
        lines.emplace_back(key, value);
    }
}

bool FakeProfile::WriteEntry(const char* section, const char* key, const char* value,
                             const char* file) {
    log_.push_back(std::string("write [") + section + "] " + key + "=" + value + " to " + file +
                   (failWrites_ ? " (fails)" : ""));
    if (failWrites_) {
        return false;
    }
    Put(file, key, value);
    return true;
}

std::uint32_t FakeProfile::RemoveFile(const char* path) {
    log_.push_back(std::string("delete ") + path);
    if (removeError_ != 0) {
        return removeError_;
    }
    return files_.erase(Upper(path)) != 0 ? 0 : kErrorFileNotFound;
}

void FakeDisplay::Update() {
    if (invalid_) {
        log_.push_back(std::string("paint ") + (text ? text() : "") + (erased_ ? " (erased)" : ""));
    }
    invalid_ = false;
}

}  // namespace buildcensus::testing
