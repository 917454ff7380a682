#pragma once

// The application object and the program's entry point: WinMain hands the
// program to the one CWinApp object, which was constructed during static
// initialisation, and runs its InitInstance.
#include <windows.h>

#include "message_map.h"
#include "wnd.h"

// The command that asks for the program's help; F1 sends it to the main
// window (CWnd::OnWndMsg).
inline constexpr UINT ID_HELP = 0xE146;

class CWinApp {
  public:
    explicit CWinApp(LPCSTR appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Returns FALSE to end the program without a message loop.
    virtual BOOL InitInstance();
    // The message loop after an InitInstance that returned TRUE.
    virtual int Run();
    // The program's exit status.
    virtual int ExitInstance();
    // Commands that no window handled; true when the application did.
    virtual bool OnCmdMsg(UINT id, UINT code);

    // Opens the program's help file (the program file with ".HLP").
    void OnHelp();
    // Enables the Windows 3D control look; always on since Windows 95.
    BOOL Enable3dControls() { return TRUE; }

    LPCSTR m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
// The module that holds a resource: the program file, which holds them all.
HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);
// Readies the hosting of ActiveX controls in dialogs. The program's dialog
// hosts none, so there is nothing to prepare.
inline void AfxEnableControlContainer() {}
