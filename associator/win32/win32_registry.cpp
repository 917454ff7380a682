#include "win32_registry.h"

#include <windows.h>

namespace associator {

static_assert(kKeyRead == KEY_READ && kKeyWrite == KEY_WRITE && kKeyAllAccess == KEY_ALL_ACCESS);
static_assert(kRegSz == REG_SZ && kOptionNonVolatile == REG_OPTION_NON_VOLATILE);
static_assert(kCreatedNewKey == REG_CREATED_NEW_KEY &&
              kOpenedExistingKey == REG_OPENED_EXISTING_KEY);
static_assert(kMbOk == MB_OK && kMbIconError == MB_ICONERROR && kSuccess == ERROR_SUCCESS);

namespace {

HKEY ToHkey(Hive hive) {
    return hive == Hive::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
}

HKEY ToHkey(KeyHandle key) {
    return reinterpret_cast<HKEY>(key);
}

KeyHandle ToHandle(HKEY key) {
    return reinterpret_cast<KeyHandle>(key);
}

}  // namespace

long Win32Registry::OpenKeyEx(Hive hive, const char* subKey, std::uint32_t options,
                              std::uint32_t access, KeyHandle* key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(hive), subKey, options, access, &opened);
    *key = ToHandle(opened);
    return status;
}

long Win32Registry::QueryValueEx(KeyHandle key, const char* valueName, std::uint32_t* type,
                                 unsigned char* data, std::uint32_t* dataSize) {
    DWORD valueType = *type;
    DWORD size = *dataSize;
    const LONG status = RegQueryValueExA(ToHkey(key), valueName, nullptr, &valueType, data, &size);
    *type = valueType;
    *dataSize = size;
    return status;
}

long Win32Registry::CreateKeyEx(Hive hive, const char* subKey, std::uint32_t reserved,
                                const char* keyClass, std::uint32_t options, std::uint32_t access,
                                KeyHandle* key, std::uint32_t* disposition) {
    HKEY created = nullptr;
    DWORD how = 0;
    const LONG status = RegCreateKeyExA(ToHkey(hive), subKey, reserved, const_cast<char*>(keyClass),
                                        options, access, nullptr, &created, &how);
    *key = ToHandle(created);
    *disposition = how;
    return status;
}

long Win32Registry::SetValueEx(KeyHandle key, const char* valueName, std::uint32_t reserved,
                               std::uint32_t type, const unsigned char* data,
                               std::uint32_t dataSize) {
    return RegSetValueExA(ToHkey(key), valueName, reserved, type, data, dataSize);
}

long Win32Registry::CloseKey(KeyHandle key) {
    return RegCloseKey(ToHkey(key));
}

void Win32Messages::ShowMessage(const char* text, const char* caption, std::uint32_t style) {
    MessageBoxA(nullptr, text, caption, style);
}

}  // namespace associator
