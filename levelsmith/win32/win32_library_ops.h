#pragma once

#include "library_ops.h"

// Loading runtime libraries with LoadLibraryA, GetProcAddress and
// FreeLibrary.
namespace levelsmith {

class Win32LibraryOps final : public LibraryOps {
  public:
    ModuleRef Load(const char* path) override;
    RawEntry Find(ModuleRef module, const char* name) override;
    void Unload(ModuleRef module) override;
};

}  // namespace levelsmith
