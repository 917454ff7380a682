#pragma once

#include <cstdint>

// The window and thread operations that the compile pipeline needs, shaped
// like the platform calls behind them (AfxBeginThread, GetDlgItem,
// SendDlgItemMessage with WM_GETTEXT, SendMessage to the progress bar,
// MessageBoxA, LoadCursorA + SetCursor, Sleep) so that the Win32 adapter only
// forwards and a fake can record them.
namespace levelsmith {

// A window handle (HWND) passed through unchanged.
using WindowRef = std::uintptr_t;
using ThreadProc = unsigned (*)(void* param);

// Values as Windows defines them.
inline constexpr unsigned kPbmSetPos = 0x0402;   // PBM_SETPOS
inline constexpr unsigned kPbmSetStep = 0x0404;  // PBM_SETSTEP
inline constexpr unsigned kMbOk = 0x00;          // MB_OK
inline constexpr unsigned kMbIconError = 0x10;   // MB_ICONERROR

// Controls of the compiler dialog that the pipeline reads or drives.
inline constexpr int kSplitId = 1007;
inline constexpr int kProgressId = 1008;
inline constexpr int kEpsilonId = 1014;

class PipelineOps {
  public:
    virtual ~PipelineOps() = default;
    // Starts a thread that nobody joins: normal priority, default stack,
    // no creation flags, default security. False when it did not start.
    virtual bool BeginThread(ThreadProc proc, void* param) = 0;
    // A control of the dialog.
    virtual WindowRef FindItem(int id) = 0;
    // The text of a control of the dialog, at most size - 1 characters and
    // a terminator.
    virtual void ReadItemText(int id, char* buffer, int size) = 0;
    // A synchronous message to the progress bar.
    virtual void SendToBar(WindowRef bar, unsigned message, int value) = 0;
    // A message box without owner; returns when it has been closed.
    virtual void ShowMessage(const char* text, const char* caption, unsigned style) = 0;
    // The system's wait cursor.
    virtual void ShowWaitCursor() = 0;
    // The system's normal cursor, in place of the wait cursor.
    virtual void ShowNormalCursor() = 0;
    // Suspends the calling thread for this long.
    virtual void Sleep(int milliseconds) = 0;
};

}  // namespace levelsmith
