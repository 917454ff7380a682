#pragma once

#include "registry_ops.h"

// The association logic's operations on the real Windows registry and
// message box: each forwards to the ANSI function of the same shape.
namespace associator {

class Win32Registry final : public RegistryOps {
  public:
    long OpenKeyEx(Hive hive, const char* subKey, std::uint32_t options, std::uint32_t access,
                   KeyHandle* key) override;
    long QueryValueEx(KeyHandle key, const char* valueName, std::uint32_t* type,
                      unsigned char* data, std::uint32_t* dataSize) override;
    long CreateKeyEx(Hive hive, const char* subKey, std::uint32_t reserved, const char* keyClass,
                     std::uint32_t options, std::uint32_t access, KeyHandle* key,
                     std::uint32_t* disposition) override;
    long SetValueEx(KeyHandle key, const char* valueName, std::uint32_t reserved,
                    std::uint32_t type, const unsigned char* data, std::uint32_t dataSize) override;
    long CloseKey(KeyHandle key) override;
};

class Win32Messages final : public MessageOps {
  public:
    void ShowMessage(const char* text, const char* caption, std::uint32_t style) override;
};

}  // namespace associator
