#include "associator.h"

#include <cstdio>
#include <cstring>

namespace associator {

namespace {

// Values of this size or more are not read: together with the editor
// suffix they could never fit the path buffer.
constexpr std::uint32_t kMaxValueBytes = 255;

// Formats into a fixed buffer; false when the text would not fit whole.
template <std::size_t N, typename... Args>
bool FormatInto(char (&buffer)[N], const char* format, Args... args) {
    const int written = std::snprintf(buffer, N, format, args...);
    return written >= 0 && static_cast<std::size_t>(written) < N;
}

}  // namespace

bool ReadMachineString(RegistryOps& registry, const char* keyPath, const char* valueName,
                       char (&out)[kPathSize], bool* tooLong) {
    out[0] = '\0';
    if (tooLong != nullptr) {
        *tooLong = false;
    }
    KeyHandle key = 0;
    if (registry.OpenKeyEx(Hive::LocalMachine, keyPath, 0, kKeyRead, &key) != kSuccess) {
        return false;
    }

    std::uint32_t type = kRegSz;
    std::uint32_t size = kPathSize;
    long status = registry.QueryValueEx(key, valueName, &type, nullptr, &size);
    bool read = false;
    if (status == kSuccess && size < kMaxValueBytes) {
        const std::uint32_t capacity = size;
        type = kRegSz;
        status = registry.QueryValueEx(key, valueName, &type, reinterpret_cast<unsigned char*>(out),
                                       &size);
        if (status == kSuccess && type == kRegSz) {
            // The value may lack its terminator: end the text after the bytes
            // received, which lie inside the buffer since capacity < 255.
            out[size < capacity ? size : capacity] = '\0';
            read = out[0] != '\0';
        }
    } else if (status == kSuccess && type == kRegSz && tooLong != nullptr) {
        *tooLong = true;
    }
    registry.CloseKey(key);
    if (!read) {
        out[0] = '\0';
    }
    return read;
}

bool AppendEditorSuffix(char (&path)[kPathSize]) {
    const std::size_t length = std::strlen(path);
    if (length + std::strlen(kEditorSuffix) >= kPathSize) {
        return false;
    }
    std::memcpy(path + length, kEditorSuffix, sizeof kEditorSuffix);
    return true;
}

bool WriteClassesRootString(RegistryOps& registry, const char* keyPath, const char* valueName,
                            const char* text) {
    KeyHandle key = 0;
    std::uint32_t disposition = 0;
    long status = registry.CreateKeyEx(Hive::ClassesRoot, keyPath, 0, kKeyClass, kOptionNonVolatile,
                                       kKeyAllAccess, &key, &disposition);
    if (status == kSuccess && disposition == kOpenedExistingKey) {
        registry.CloseKey(key);
        key = 0;
        status = registry.OpenKeyEx(Hive::ClassesRoot, keyPath, 0, kKeyWrite, &key);
    }
    if (status != kSuccess) {
        return false;
    }
    const auto bytes = static_cast<std::uint32_t>(std::strlen(text) + 1);
    status = registry.SetValueEx(key, valueName, 0, kRegSz,
                                 reinterpret_cast<const unsigned char*>(text), bytes);
    registry.CloseKey(key);
    return status == kSuccess;
}

bool RegisterExtension(RegistryOps& registry, const char* extension, const char* editorPath) {
    char extensionKey[kExtensionKeySize];
    char command[kCommandSize];
    const bool keyFits = FormatInto(extensionKey, ".%s", extension);
    const bool commandFits = FormatInto(command, "\"%s\" \"%%1\"", editorPath);

    // Every write is attempted whatever became of the one before.
    bool ok = keyFits && WriteClassesRootString(registry, extensionKey, "", kProjectType);
    ok = WriteClassesRootString(registry, kProjectType, "", kProjectDescription) && ok;
    ok = commandFits && WriteClassesRootString(registry, kOpenCommandKey, "", command) && ok;
    return ok;
}

int RunAssociator(RegistryOps& registry, MessageOps& messages) {
    // Without a whole editor path nothing is written: a bare or cut
    // "\editor\editor.exe" would replace a working association with a
    // broken one.
    char editorPath[kPathSize];
    bool tooLong = false;
    const bool read =
        ReadMachineString(registry, kProductKey, kInstallPathValue, editorPath, &tooLong);
    if (!read || !AppendEditorSuffix(editorPath)) {
        messages.ShowMessage(read || tooLong ? kFolderTooLongText : kFolderUnreadText, kCaption,
                             kMbOk | kMbIconError);
        return 1;
    }

    bool ok = RegisterExtension(registry, "QLPRO", editorPath);
    ok = RegisterExtension(registry, "QLA", editorPath) && ok;
    if (!ok) {
        messages.ShowMessage(kWriteFailedText, kCaption, kMbOk | kMbIconError);
        return 1;
    }
    messages.ShowMessage(kCompleteText, kCaption, kMbOk);
    return 0;
}

}  // namespace associator
