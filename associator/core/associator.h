#pragma once

#include <cstddef>

#include "registry_ops.h"

// Registers the project-file extensions with the editor of the installation
// that the machine-wide product key names.
namespace associator {

inline constexpr std::size_t kPathSize = 256;  // install path, then editor path
inline constexpr std::size_t kExtensionKeySize = 32;
// The quoted command: the editor path in quotes, a space, "%1" in quotes.
inline constexpr std::size_t kCommandSize = kPathSize + 8;

inline constexpr char kProductKey[] = "Software\\Quillon\\Quillon Pro";
inline constexpr char kInstallPathValue[] = "INSTALL-PATH";
inline constexpr char kEditorSuffix[] = "\\editor\\editor.exe";
inline constexpr char kProjectType[] = "QuillonPro.Project";
inline constexpr char kProjectDescription[] = "Quillon Professional Project";
inline constexpr char kOpenCommandKey[] = "QuillonPro.Project\\shell\\open\\command";
inline constexpr char kKeyClass[] = "Num";
inline constexpr char kCaption[] = "QLPro Associator";
inline constexpr char kCompleteText[] = "File Associations Complete";
inline constexpr char kFolderUnreadText[] =
    "File Associations Failed\n\nThe Quillon Pro installation folder could not be read "
    "from the registry.";
inline constexpr char kFolderTooLongText[] =
    "File Associations Failed\n\nThe Quillon Pro installation folder is too long for the "
    "editor's path.";
inline constexpr char kWriteFailedText[] =
    "File Associations Failed\n\nThe file association entries could not be written to "
    "the registry.";

// Reads a string value of a key under HKEY_LOCAL_MACHINE into `out`. True
// when a non-empty REG_SZ value of fewer than 255 bytes was read; otherwise
// `out` is left empty, and `*tooLong` (when given) tells whether the value
// is a string of 255 bytes or more. Never reads past the bytes the registry
// delivered.
bool ReadMachineString(RegistryOps& registry, const char* keyPath, const char* valueName,
                       char (&out)[kPathSize], bool* tooLong = nullptr);

// Appends the editor suffix to the installation folder in place. False,
// leaving `path` unchanged, when the result would not fit.
bool AppendEditorSuffix(char (&path)[kPathSize]);

// Creates or opens a key under HKEY_CLASSES_ROOT and sets one REG_SZ value.
// True when the key was reached and the value set.
bool WriteClassesRootString(RegistryOps& registry, const char* keyPath, const char* valueName,
                            const char* text);

// Writes the extension key, the project type and its open command. All
// three writes are attempted; true when every one succeeded.
bool RegisterExtension(RegistryOps& registry, const char* extension, const char* editorPath);

// The whole run; returns the exit status (0 when every entry was written).
int RunAssociator(RegistryOps& registry, MessageOps& messages);

}  // namespace associator
