#include "dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "win_app.h"

namespace {

// Whether the dialog template `name` leaves the dialog's place to the
// framework: it sets none of the placing styles and puts the dialog at 0, 0.
// Read from the classic DLGTEMPLATE or, marked by 0xFFFF after its version
// word, the DLGTEMPLATEEX.
bool TemplateLeavesPlacement(LPCSTR name) {
    const HINSTANCE module = AfxFindResourceHandle(name, RT_DIALOG);
    const HRSRC found = FindResourceA(module, name, RT_DIALOG);
    const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const auto* bytes =
        static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    const DWORD size = bytes != nullptr ? SizeofResource(module, found) : 0;
    WORD signature = 0;
    if (size >= 4) {
        std::memcpy(&signature, bytes + 2, sizeof signature);
    }
    const std::size_t styleAt = signature == 0xFFFF ? 12 : 0;
    const std::size_t positionAt = signature == 0xFFFF ? 18 : 10;
    if (size < positionAt + 4) {
        return false;
    }
    DWORD style = 0;
    SHORT position[2] = {};
    std::memcpy(&style, bytes + styleAt, sizeof style);
    std::memcpy(position, bytes + positionAt, sizeof position);
    return (style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) == 0 && position[0] == 0 &&
           position[1] == 0;
}

// Centres the window over its owner where it has a visible one, else in the
// work area of its monitor (the screen less the taskbar), and keeps it
// inside that work area, its top-left corner first.
void CenterWindow(HWND window, HWND owner) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(
            MonitorFromWindow(owner != nullptr ? owner : window, MONITOR_DEFAULTTOPRIMARY),
            &monitor)) {
        return;
    }
    const RECT& area = monitor.rcWork;
    RECT over = area;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &over);
    }
    RECT dialog;
    GetWindowRect(window, &dialog);
    const LONG width = dialog.right - dialog.left;
    const LONG height = dialog.bottom - dialog.top;
    const LONG x =
        std::max(area.left, std::min((over.left + over.right) / 2 - width / 2, area.right - width));
    const LONG y = std::max(
        area.top, std::min((over.top + over.bottom) / 2 - height / 2, area.bottom - height));
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

const MessageMapEntry<CDialog> CDialog::messageMap[] = {
    {WM_COMMAND, BN_CLICKED, IDCANCEL, &CDialog::OnCancel, nullptr},
};

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

INT_PTR CDialog::DoModal() {
    // The templates may hold common controls (the progress bar).
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const LPCSTR name = MAKEINTRESOURCEA(m_templateId);
    const INT_PTR result = DialogBoxParamA(AfxFindResourceHandle(name, RT_DIALOG), name,
                                           m_parent != nullptr ? m_parent->m_hWnd : nullptr,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

// Centred only when the dialog is still hidden and where the system put it,
// is a top-level window whose owner, if any, is disabled, and its template
// leaves its place to the framework.
void CDialog::CenterIfUnplaced(DWORD styleBefore, const RECT& rectBefore) {
    if ((styleBefore & WS_VISIBLE) != 0 ||
        (GetWindowLongA(m_hWnd, GWL_STYLE) & (WS_VISIBLE | WS_CHILD)) != 0) {
        return;
    }
    RECT rect;
    GetWindowRect(m_hWnd, &rect);
    const HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (rect.left != rectBefore.left || rect.top != rectBefore.top ||
        (owner != nullptr && IsWindowEnabled(owner)) ||
        !TemplateLeavesPlacement(MAKEINTRESOURCEA(m_templateId))) {
        return;
    }
    CenterWindow(m_hWnd, owner);
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (DispatchMessageMap(*this, messageMap, message, wParam, result)) {
        return true;
    }
    // Commands nobody in the dialog handles go on to the application.
    if (message == WM_COMMAND) {
        if (CWinApp* app = AfxGetApp()) {
            return app->OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
        }
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
        const auto styleBefore = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
        RECT rectBefore;
        GetWindowRect(window, &rectBefore);
        const BOOL focusFirstTabStop = dialog->OnInitDialog();
        dialog->CenterIfUnplaced(styleBefore, rectBefore);
        return focusFirstTabStop;
    }
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    LRESULT result = 0;
    const bool handled = dialog->OnWndMsg(message, wParam, lParam, result);
    if (message == WM_DESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
    }
    if (dialog->TakeLeftToDefault() || !handled) {
        return FALSE;
    }
    if (message == WM_QUERYDRAGICON) {
        return static_cast<INT_PTR>(result);  // returned directly, not through DWLP_MSGRESULT
    }
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}
