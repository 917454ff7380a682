#pragma once

#include <windows.h>

#include "bcg_dialog.h"
#include "message_map.h"

// The one window of Levelsmith: choose a model, see the map name, set the
// options, compile, and start the level viewer on the map. It owns the
// runtime libraries from its opening to its destruction.
class CCompilerDialog : public CBCGDialog {
  public:
    explicit CCompilerDialog(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  protected:
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnBrowse();
    void OnCompile();
    void OnViewMap();
    void OnDestroy();

    HICON m_hIcon;

  private:
    static const MessageMapEntry<CCompilerDialog> messageMap[];
};
