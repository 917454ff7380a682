#pragma once

// A small Win32 test robot: it starts a program, finds its windows by
// caption the way a person would see them, reads and sets control texts,
// presses buttons and answers message boxes. Used by the end-to-end tests
// and the demo under Wine.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace robot {

// "/work/x/y" -> "Z:\work\x\y": Wine shows the Linux root as drive Z.
std::string WinPath(const std::string& unixPath);

// A program started by the robot. Ending the object ends the program if it
// is still running, so a failed test leaves nothing behind.
class Child {
  public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    Child(Child&& other) noexcept;
    Child& operator=(Child&& other) noexcept;
    ~Child();

    // Starts `exe` with a command line of its quoted name and `arguments`,
    // in `folder` (the robot's own when empty).
    static Child Start(const std::string& exe, const std::string& arguments = "",
                       const std::string& folder = "");
    // Starts with a command line given whole (nothing prepended).
    static Child StartCommandLine(const std::string& commandLine, const std::string& folder = "");

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    // The exit status once the program has ended within `timeoutMs`.
    std::optional<DWORD> WaitExit(DWORD timeoutMs = 10000);
    bool Running() const;
    void Kill();

  private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// A top-level window of process `pid` (any process when 0) with this class
// (any when null), exactly this caption (any when null) and, unless
// `itemId` is 0, a control of that id; waits up to `timeoutMs`. A window
// whose caption follows the system's language (a common dialog) is found
// by its class and a control.
HWND WaitForWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs = 10000,
                   int itemId = 0);
HWND FindTopWindow(DWORD pid, const char* className, const char* caption, int itemId = 0);
// Waits until `window` is gone.
bool WaitWindowGone(HWND window, DWORD timeoutMs = 10000);

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
// Presses a button without waiting for what it starts (a modal window
// opened by the press would otherwise block the robot).
void Click(HWND dialog, int id);

// The colours that the screen shows in `area` (client coordinates of
// `window`), row by row from the top left; empty when the screen could not
// be read.
std::vector<COLORREF> ScreenPixels(HWND window, RECT area);

struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    bool iconShown = false;
};
// A message box (dialog class "#32770") with this caption.
std::optional<MessageBoxSeen> WaitForMessageBox(DWORD pid, const char* caption,
                                                DWORD timeoutMs = 10000);
// Presses the box's button `id` (IDOK by default) and waits until it is gone.
bool Answer(const MessageBoxSeen& box, int id = IDOK);

// Files, by Windows path.
std::optional<std::string> ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// The file's bytes once they hold `marker` (a writer's last line, say),
// polling up to `timeoutMs`; what was last read, or nothing, otherwise.
std::optional<std::string> WaitForFileWith(const std::string& path, const std::string& marker,
                                           DWORD timeoutMs = 10000);
// Deletes a folder and everything in it; true when it is gone.
bool RemoveTree(const std::string& path);
// Makes a folder and the ones above it.
bool MakeFolders(const std::string& path);
// True when this process runs in the ANSI code page `codePage`, which Wine
// takes from the locale. A run that asks for a code page in
// QL_ANSI_CODE_PAGE and did not get it ends at once with a message: its
// locale is missing, and its cases would otherwise only skip.
bool InAnsiCodePage(UINT codePage);
// A new empty folder for one test, below the system's temporary folder.
std::string FreshTempFolder(const std::string& name);

}  // namespace robot
