#pragma once

#include <windows.h>

#include "bcg_workspace.h"
#include "message_map.h"
#include "win_app.h"

// The program object: runs the compiler dialog as its one window and ends
// the program when the dialog closes.
class CCompilerApp : public CWinApp, public CBCGWorkspace {
  public:
    CCompilerApp();

    BOOL InitInstance() override;
    bool OnCmdMsg(UINT id, UINT code) override;

  private:
    static const MessageMapEntry<CCompilerApp> messageMap[];
};
