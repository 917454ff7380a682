#include "win32_pipeline_ops.h"

#include <commctrl.h>

#include "win_thread.h"

namespace levelsmith {

static_assert(kPbmSetPos == PBM_SETPOS && kPbmSetStep == PBM_SETSTEP);
static_assert(kMbOk == MB_OK && kMbIconError == MB_ICONERROR);

bool Win32PipelineOps::BeginThread(ThreadProc proc, void* param) {
    return AfxBeginThread(proc, param);
}

WindowRef Win32PipelineOps::FindItem(int id) {
    return reinterpret_cast<WindowRef>(GetDlgItem(dialog_, id));
}

void Win32PipelineOps::ReadItemText(int id, char* buffer, int size) {
    buffer[0] = '\0';
    SendDlgItemMessageA(dialog_, id, WM_GETTEXT, static_cast<WPARAM>(size),
                        reinterpret_cast<LPARAM>(buffer));
}

void Win32PipelineOps::SendToBar(WindowRef bar, unsigned message, int value) {
    SendMessageA(reinterpret_cast<HWND>(bar), message, static_cast<WPARAM>(value), 0);
}

void Win32PipelineOps::ShowMessage(const char* text, const char* caption, unsigned style) {
    MessageBoxA(nullptr, text, caption, style);
}

void Win32PipelineOps::ShowWaitCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void Win32PipelineOps::ShowNormalCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void Win32PipelineOps::Sleep(int milliseconds) {
    ::Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace levelsmith
