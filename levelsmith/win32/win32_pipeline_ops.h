#pragma once

#include <windows.h>

#include "pipeline_ops.h"

// The pipeline's window and thread operations on a real dialog: controls
// found and read through the dialog, messages sent to the progress bar,
// message boxes without owner, threads started with AfxBeginThread, the
// system's Sleep.
namespace levelsmith {

class Win32PipelineOps : public PipelineOps {
  public:
    Win32PipelineOps() = default;
    explicit Win32PipelineOps(HWND dialog) : dialog_(dialog) {}
    // The dialog whose controls are read and driven from now on.
    void AttachDialog(HWND dialog) { dialog_ = dialog; }

    bool BeginThread(ThreadProc proc, void* param) override;
    WindowRef FindItem(int id) override;
    void ReadItemText(int id, char* buffer, int size) override;
    void SendToBar(WindowRef bar, unsigned message, int value) override;
    void ShowMessage(const char* text, const char* caption, unsigned style) override;
    void ShowWaitCursor() override;
    void ShowNormalCursor() override;
    void Sleep(int milliseconds) override;

  private:
    HWND dialog_ = nullptr;
};

}  // namespace levelsmith
