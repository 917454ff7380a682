#pragma once

// A modal dialog built from a dialog template resource of the program.
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

    UINT m_templateId;
    CWnd* m_parent;
    static const MessageMapEntry<CDialog> messageMap[];
};
