#include "dialog.h"

#include <commctrl.h>

#include "win_app.h"

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
        return dialog->OnInitDialog();
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
