#pragma once

// The user-interface class library's dialog: a CDialog to which the library
// adds nothing that this program uses.
#include "dialog.h"

class CBCGDialog : public CDialog {
  public:
    CBCGDialog(UINT templateId, CWnd* parent = nullptr) : CDialog(templateId, parent) {}
};
