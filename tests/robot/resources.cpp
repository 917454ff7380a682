#include "resources.h"

namespace robot {

namespace {

#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

class DataModule {
  public:
    explicit DataModule(const std::string& path)
        : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataModule() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;
    HMODULE Get() const { return module_; }

  private:
    HMODULE module_;
};

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

}  // namespace

std::vector<IconImage> IconGroupImages(const std::string& path, int id, WORD language) {
    std::vector<IconImage> images;
    DataModule module(path);
    HRSRC found = module.Get() == nullptr
                      ? nullptr
                      : FindResourceExA(module.Get(), MAKEINTRESOURCEA(14),  // RT_GROUP_ICON
                                        MAKEINTRESOURCEA(id), language);
    if (found == nullptr) {
        return images;
    }
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module.Get(), found)));
    const DWORD size = SizeofResource(module.Get(), found);
    if (bytes == nullptr || size < sizeof(GroupHeader)) {
        return images;
    }
    const auto* header = reinterpret_cast<const GroupHeader*>(bytes);
    const auto* entries = reinterpret_cast<const GroupEntry*>(bytes + sizeof(GroupHeader));
    for (WORD i = 0; i < header->count; ++i) {
        if (sizeof(GroupHeader) + (i + 1u) * sizeof(GroupEntry) > size) {
            break;
        }
        const GroupEntry& entry = entries[i];
        images.push_back({entry.width == 0 ? 256 : entry.width,
                          entry.height == 0 ? 256 : entry.height, entry.bitCount});
    }
    return images;
}

std::vector<WORD> ResourceLanguages(const std::string& path, LPCSTR type, int id) {
    std::vector<WORD> languages;
    DataModule module(path);
    if (module.Get() != nullptr) {
        EnumResourceLanguagesA(module.Get(), type, MAKEINTRESOURCEA(id), AddLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
    }
    return languages;
}

}  // namespace robot
