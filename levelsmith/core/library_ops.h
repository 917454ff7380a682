#pragma once

// The library operations that binding the runtime needs, shaped like
// LoadLibraryA, GetProcAddress and FreeLibrary so that the Win32 adapter only
// forwards and a fake can record every call.
namespace levelsmith {

// A loaded library (HMODULE); null when a load failed.
using ModuleRef = void*;
// An entry point as GetProcAddress returns it, before it is given its type.
using RawEntry = void (*)();

class LibraryOps {
  public:
    virtual ~LibraryOps() = default;
    virtual ModuleRef Load(const char* path) = 0;
    // Null when the library has no entry point of that name.
    virtual RawEntry Find(ModuleRef module, const char* name) = 0;
    virtual void Unload(ModuleRef module) = 0;
};

}  // namespace levelsmith
