#include "fake_registry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <utility>

namespace associator::testing {

namespace {

constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kMoreData = 234;

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

const char* HiveName(Hive hive) {
    return hive == Hive::ClassesRoot ? "HKCR" : "HKLM";
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string Quoted(const char* text) {
    return text == nullptr ? std::string("null") : "\"" + std::string(text) + "\"";
}

}  // namespace

std::string FakeRegistry::Name(Hive hive, const std::string& path) {
    return Upper(std::string(HiveName(hive)) + "\\" + path);
}

void FakeRegistry::AddKey(Hive hive, const std::string& path, const std::string& keyClass) {
    // Like the registry, every key along the path exists too.
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
        keys_.try_emplace(Name(hive, path.substr(0, at)), FakeKey{keyClass, {}});
    }
    keys_.try_emplace(Name(hive, path), FakeKey{keyClass, {}});
}

void FakeRegistry::SetString(Hive hive, const std::string& path, const std::string& name,
                             const std::string& text) {
    SetRaw(hive, path, name, kRegSz, text + std::string(1, '\0'));
}

void FakeRegistry::SetRaw(Hive hive, const std::string& path, const std::string& name,
                          std::uint32_t type, const std::string& bytes) {
    AddKey(hive, path);
    keys_[Name(hive, path)].values[name] = FakeValue{type, bytes};
}

const FakeKey* FakeRegistry::Find(Hive hive, const std::string& path) const {
    const auto found = keys_.find(Name(hive, path));
    return found == keys_.end() ? nullptr : &found->second;
}

std::optional<std::string> FakeRegistry::DefaultText(Hive hive, const std::string& path) const {
    const FakeKey* key = Find(hive, path);
    if (key == nullptr || key->values.count("") == 0) {
        return std::nullopt;
    }
    const std::string& bytes = key->values.at("").bytes;
    return std::string(bytes.c_str());
}

FakeKey* FakeRegistry::KeyOf(KeyHandle key) {
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) {
        return nullptr;
    }
    const auto found = keys_.find(handle->second.key);
    return found == keys_.end() ? nullptr : &found->second;
}

KeyHandle FakeRegistry::NewHandle(const std::string& name, std::uint32_t access) {
    const KeyHandle handle = nextHandle_++;
    handles_[handle] = Handle{name, access};
    return handle;
}

long FakeRegistry::OpenKeyEx(Hive hive, const char* subKey, std::uint32_t options,
                             std::uint32_t access, KeyHandle* key) {
    long status = kSuccess;
    const std::string name = Name(hive, subKey);
    if (denyWrites_ && hive == Hive::ClassesRoot && access != kKeyRead) {
        status = kAccessDenied;
    } else if (keys_.count(name) == 0) {
        status = kFileNotFound;
    }
    *key = status == kSuccess ? NewHandle(name, access) : 0;
    calls_.push_back(std::string("OpenKeyEx(") + HiveName(hive) + ", " + Quoted(subKey) + ", " +
                     std::to_string(options) + ", " + Hex(access) + ") -> " +
                     std::to_string(status));
    return status;
}

long FakeRegistry::QueryValueEx(KeyHandle key, const char* valueName, std::uint32_t* type,
                                unsigned char* data, std::uint32_t* dataSize) {
    const std::string call = "QueryValueEx(" + Quoted(valueName) + ", type " +
                             std::to_string(*type) + ", " + (data ? "buffer" : "no buffer") +
                             ", size " + std::to_string(*dataSize) + ")";
    long status = kSuccess;
    FakeKey* found = KeyOf(key);
    if (found == nullptr) {
        status = kInvalidHandle;
    } else if (found->values.count(valueName) == 0) {
        status = kFileNotFound;
    } else {
        FakeValue& value = found->values.at(valueName);
        const auto needed = static_cast<std::uint32_t>(value.bytes.size());
        *type = value.type;
        if (data != nullptr && needed > *dataSize) {
            status = kMoreData;
        } else if (data != nullptr) {
            std::memcpy(data, value.bytes.data(), needed);
        } else if (shrinkTo_) {
            value.bytes = *std::exchange(shrinkTo_, std::nullopt);
        }
        *dataSize = needed;
    }
    calls_.push_back(call + " -> " + std::to_string(status) + ", size " +
                     std::to_string(*dataSize));
    return status;
}

long FakeRegistry::CreateKeyEx(Hive hive, const char* subKey, std::uint32_t reserved,
                               const char* keyClass, std::uint32_t options, std::uint32_t access,
                               KeyHandle* key, std::uint32_t* disposition) {
    long status = kSuccess;
    const std::string name = Name(hive, subKey);
    std::string how = "none";
    if (denyWrites_ && hive == Hive::ClassesRoot) {
        status = kAccessDenied;
        *key = 0;
    } else {
        const bool existed = keys_.count(name) != 0;
        AddKey(hive, subKey, keyClass);  // a key that exists keeps its class
        *disposition = existed ? kOpenedExistingKey : kCreatedNewKey;
        how = existed ? "opened" : "created";
        *key = NewHandle(name, access);
    }
    calls_.push_back(std::string("CreateKeyEx(") + HiveName(hive) + ", " + Quoted(subKey) + ", " +
                     std::to_string(reserved) + ", " + Quoted(keyClass) + ", " +
                     std::to_string(options) + ", " + Hex(access) + ") -> " +
                     std::to_string(status) + ", " + how);
    return status;
}

long FakeRegistry::SetValueEx(KeyHandle key, const char* valueName, std::uint32_t reserved,
                              std::uint32_t type, const unsigned char* data,
                              std::uint32_t dataSize) {
    const std::string bytes(reinterpret_cast<const char*>(data), dataSize);
    long status = kSuccess;
    const auto handle = handles_.find(key);
    FakeKey* found = KeyOf(key);
    if (found == nullptr) {
        status = kInvalidHandle;
    } else if (handle->second.access != kKeyWrite && handle->second.access != kKeyAllAccess) {
        status = kAccessDenied;
    } else if (failSet_.count(setCount_) != 0) {
        status = kAccessDenied;
    } else {
        found->values[valueName] = FakeValue{type, bytes};
    }
    ++setCount_;
    calls_.push_back("SetValueEx(" + Quoted(valueName) + ", " + std::to_string(reserved) + ", " +
                     std::to_string(type) + ", \"" + std::string(bytes.c_str()) + "\", " +
                     std::to_string(dataSize) + ") -> " + std::to_string(status));
    return status;
}

long FakeRegistry::CloseKey(KeyHandle key) {
    const bool known = handles_.erase(key) != 0;
    calls_.push_back(std::string("CloseKey") + (known ? "" : "(unknown handle)"));
    return known ? kSuccess : kInvalidHandle;
}

}  // namespace associator::testing
