#include "win32_library_ops.h"

#include <windows.h>

namespace levelsmith {

ModuleRef Win32LibraryOps::Load(const char* path) {
    return LoadLibraryA(path);
}

RawEntry Win32LibraryOps::Find(ModuleRef module, const char* name) {
    return reinterpret_cast<RawEntry>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void Win32LibraryOps::Unload(ModuleRef module) {
    FreeLibrary(static_cast<HMODULE>(module));
}

}  // namespace levelsmith
