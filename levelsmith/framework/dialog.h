#pragma once

// A modal dialog built from a dialog template resource of the program. It
// opens centred unless its template or its own code places it.
#include <windows.h>

#include "message_map.h"
#include "wnd.h"

class CDialog : public CWnd {
  public:
    CDialog(UINT templateId, CWnd* parent = nullptr);

    // Shows the dialog and runs it until it ends; its end code, or -1 when
    // it could not be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

    virtual BOOL OnInitDialog();
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  protected:
    // Escape and the close box: ends the dialog.
    virtual void OnCancel();

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Run right after OnInitDialog with the window's style and rectangle
    // from before it: centres a dialog that nothing has placed.
    void CenterIfUnplaced(DWORD styleBefore, const RECT& rectBefore);

    UINT m_templateId;
    CWnd* m_parent;
    static const MessageMapEntry<CDialog> messageMap[];
};
