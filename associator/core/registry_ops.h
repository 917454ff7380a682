#pragma once

#include <cstdint>

// The registry and message-box operations that the association logic needs,
// shaped like the Windows functions behind them (RegOpenKeyExA,
// RegQueryValueExA, RegCreateKeyExA, RegSetValueExA, RegCloseKey,
// MessageBoxA) so that the Win32 adapter only forwards, and so that a fake
// can record every call with its arguments.
namespace associator {

// Constant values are the ones Windows defines, passed through unchanged.
enum class Hive : std::uint32_t { ClassesRoot = 0x80000000u, LocalMachine = 0x80000002u };

inline constexpr long kSuccess = 0;                      // ERROR_SUCCESS
inline constexpr std::uint32_t kKeyRead = 0x20019;       // KEY_READ
inline constexpr std::uint32_t kKeyWrite = 0x20006;      // KEY_WRITE
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;  // KEY_ALL_ACCESS
inline constexpr std::uint32_t kRegSz = 1;               // REG_SZ
inline constexpr std::uint32_t kOptionNonVolatile = 0;   // REG_OPTION_NON_VOLATILE
inline constexpr std::uint32_t kCreatedNewKey = 1;       // REG_CREATED_NEW_KEY
inline constexpr std::uint32_t kOpenedExistingKey = 2;   // REG_OPENED_EXISTING_KEY
inline constexpr std::uint32_t kMbOk = 0x00;             // MB_OK
inline constexpr std::uint32_t kMbIconError = 0x10;      // MB_ICONERROR

using KeyHandle = std::uintptr_t;

class RegistryOps {
  public:
    virtual ~RegistryOps() = default;
    virtual long OpenKeyEx(Hive hive, const char* subKey, std::uint32_t options,
                           std::uint32_t access, KeyHandle* key) = 0;
    // With no data buffer, leaves in *dataSize the bytes the value needs.
    virtual long QueryValueEx(KeyHandle key, const char* valueName, std::uint32_t* type,
                              unsigned char* data, std::uint32_t* dataSize) = 0;
    virtual long CreateKeyEx(Hive hive, const char* subKey, std::uint32_t reserved,
                             const char* keyClass, std::uint32_t options, std::uint32_t access,
                             KeyHandle* key, std::uint32_t* disposition) = 0;
    virtual long SetValueEx(KeyHandle key, const char* valueName, std::uint32_t reserved,
                            std::uint32_t type, const unsigned char* data,
                            std::uint32_t dataSize) = 0;
    virtual long CloseKey(KeyHandle key) = 0;
};

class MessageOps {
  public:
    virtual ~MessageOps() = default;
    // Shows a message box without owner and returns when it is dismissed.
    virtual void ShowMessage(const char* text, const char* caption, std::uint32_t style) = 0;
};

}  // namespace associator
