#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "registry_ops.h"

// An in-memory registry that behaves like the Windows one for the calls
// the association logic makes, records every call with its arguments, and
// can be told to fail.
namespace associator::testing {

struct FakeValue {
    std::uint32_t type = kRegSz;
    std::string bytes;  // stored as given, terminator included when given
};

struct FakeKey {
    std::string keyClass;
    std::map<std::string, FakeValue> values;  // value names as given
};

class FakeRegistry final : public RegistryOps {
  public:
    // Keys by "HKLM\path" or "HKCR\path", compared without regard to case.
    void AddKey(Hive hive, const std::string& path, const std::string& keyClass = "");
    void SetString(Hive hive, const std::string& path, const std::string& name,
                   const std::string& text);  // REG_SZ with its terminator
    void SetRaw(Hive hive, const std::string& path, const std::string& name, std::uint32_t type,
                const std::string& bytes);
    const FakeKey* Find(Hive hive, const std::string& path) const;
    std::optional<std::string> DefaultText(Hive hive, const std::string& path) const;
    std::size_t KeyCount() const { return keys_.size(); }

    // Every call that names a key under this hive fails with access denied,
    // as it would without the right to write there.
    void DenyWrites() { denyWrites_ = true; }
    // The Nth SetValueEx (0-based) fails.
    void FailSetNumber(int n) { failSet_.insert(n); }
    // The next size query (one without a buffer) is answered from the value
    // as it stands, and then the value becomes `bytes`, as if another
    // program rewrote it between the two reads.
    void ShrinkAfterSizeQuery(const std::string& bytes) { shrinkTo_ = bytes; }

    const std::vector<std::string>& Calls() const { return calls_; }
    std::size_t OpenHandles() const { return handles_.size(); }

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

  private:
    static std::string Name(Hive hive, const std::string& path);
    FakeKey* KeyOf(KeyHandle key);
    KeyHandle NewHandle(const std::string& name, std::uint32_t access);

    struct Handle {
        std::string key;
        std::uint32_t access;
    };
    std::map<std::string, FakeKey> keys_;  // upper-cased full names
    std::map<KeyHandle, Handle> handles_;
    KeyHandle nextHandle_ = 0x100;
    std::vector<std::string> calls_;
    bool denyWrites_ = false;
    std::set<int> failSet_;
    std::optional<std::string> shrinkTo_;
    int setCount_ = 0;
};

}  // namespace associator::testing
