#pragma once

// A window of the framework: its handle and the handful of window
// operations the program uses.
#include <windows.h>

class CWnd {
  public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    HWND m_hWnd = nullptr;

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    HICON SetIcon(HICON icon, BOOL big) {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }

    // Routes a message to the class's message map; false when no handler
    // took it. `result` is the message's result when one did. Here, at the
    // bottom of every map: F1's WM_HELP in a top-level window.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Leaves the message being handled to the system's default handling.
    void Default() { m_leftToDefault = true; }
    // Taken once per message by the window procedure.
    bool TakeLeftToDefault() {
        const bool left = m_leftToDefault;
        m_leftToDefault = false;
        return left;
    }

  protected:
    void OnPaint() { Default(); }
    void OnDestroy() { Default(); }

  private:
    bool OnHelpInfo(LRESULT& result);

    bool m_leftToDefault = false;
};
