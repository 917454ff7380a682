#include "wnd.h"

#include "win_app.h"

bool CWnd::OnWndMsg(UINT message, WPARAM, LPARAM, LRESULT& result) {
    return message == WM_HELP && OnHelpInfo(result);
}

// F1 in a top-level window, with no Shift, Ctrl or Alt held, asks for help
// as the ID_HELP command to the main window, whose message maps and then
// the application's take it. Otherwise the default procedure has it.
bool CWnd::OnHelpInfo(LRESULT& result) {
    if ((GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD) != 0) {
        return false;
    }
    const CWinApp* app = AfxGetApp();
    const CWnd* mainWindow = app != nullptr ? app->m_pMainWnd : nullptr;
    if (mainWindow == nullptr || mainWindow->m_hWnd == nullptr || GetKeyState(VK_SHIFT) < 0 ||
        GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) {
        return false;
    }
    mainWindow->SendMessage(WM_COMMAND, ID_HELP);
    result = TRUE;
    return true;
}
