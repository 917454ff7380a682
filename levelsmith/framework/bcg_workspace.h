#pragma once

// The user-interface class library's application part and its clean-up.
#include <windows.h>

class CBCGWorkspace {
  public:
    // `resourceSmartUpdate` is kept for the library's interface; the
    // workspace keeps no settings or resources of its own.
    explicit CBCGWorkspace(BOOL resourceSmartUpdate = FALSE)
        : m_resourceSmartUpdate(resourceSmartUpdate) {}
    CBCGWorkspace(const CBCGWorkspace&) = delete;
    CBCGWorkspace& operator=(const CBCGWorkspace&) = delete;
    virtual ~CBCGWorkspace() = default;

  protected:
    BOOL m_resourceSmartUpdate;
};

// Releases what the library holds process-wide. It holds nothing here.
inline void BCGCBCleanUp() {}
