#include "win_app.h"

#include <string>

namespace {

CWinApp* theOneApp = nullptr;

}  // namespace

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName) {
    theOneApp = this;
}

CWinApp::~CWinApp() {
    if (theOneApp == this) {
        theOneApp = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return 0;
}

bool CWinApp::OnCmdMsg(UINT, UINT) {
    return false;
}

void CWinApp::OnHelp() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(m_hInstance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    std::string help(path, length);
    const std::size_t dot = help.find_last_of('.');
    help = (dot == std::string::npos ? help : help.substr(0, dot)) + ".HLP";
    WinHelpA(m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr, help.c_str(), HELP_FINDER, 0);
}

CWinApp* AfxGetApp() {
    return theOneApp;
}

HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR) {
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->m_hInstance != nullptr ? app->m_hInstance
                                                         : GetModuleHandleA(nullptr);
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine;
    app->m_nCmdShow = showCommand;
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    return AfxWinMain(instance, previous, commandLine, showCommand);
}
