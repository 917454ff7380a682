#include "compiler_app.h"

#include "compiler_dialog.h"
#include "resource.h"

const MessageMapEntry<CCompilerApp> CCompilerApp::messageMap[] = {
    {WM_COMMAND, 0, ID_HELP, &CWinApp::OnHelp, nullptr},
};

CCompilerApp::CCompilerApp() : CWinApp(nullptr), CBCGWorkspace(FALSE) {}

BOOL CCompilerApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    {
        CCompilerDialog dialog(nullptr);
        m_pMainWnd = &dialog;
        dialog.DoModal();
        BCGCBCleanUp();
    }
    m_pMainWnd = nullptr;
    // No message loop: the program ends here.
    return FALSE;
}

bool CCompilerApp::OnCmdMsg(UINT id, UINT code) {
    LRESULT result = 0;
    return DispatchMessageMap(*this, messageMap, WM_COMMAND, MAKEWPARAM(id, code), result) ||
           CWinApp::OnCmdMsg(id, code);
}

// The one application object, constructed before WinMain runs.
CCompilerApp theApp;
