// Buildcensus: started in the installation folder, it walks the plan's
// folders in the idle turns of its message loop, showing each entry's name
// in a one-line window, writes the version of every program and library it
// meets into Buildcensus.ini, and quits by itself when the plan is done.
#include <windows.h>

#include <cstring>

#include "census_driver.h"
#include "win32_files.h"

namespace {

constexpr char kClassName[] = "TBUILDCENSUS";
constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 50;
constexpr DWORD kIdlePauseMs = 10;

// The census, for the window procedure's paint; set before the window exists.
const buildcensus::CensusDriver* census = nullptr;

class Win32Display final : public buildcensus::DisplayOps {
  public:
    void SetWindow(HWND window) { window_ = window; }
    void Invalidate(bool erase) override { InvalidateRect(window_, nullptr, erase); }
    void Update() override { UpdateWindow(window_); }

  private:
    HWND window_ = nullptr;
};

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC context = BeginPaint(window, &paint);
    if (context == nullptr) {
        return;
    }
    // The rectangle is as large as the whole window: it clears the previous
    // name, since the class has no background brush.
    Rectangle(context, 0, 0, kWindowWidth, kWindowHeight);
    const char* text = census != nullptr ? census->DisplayText() : "";
    TextOutA(context, 0, 1, text, static_cast<int>(std::strlen(text)));
    EndPaint(window, &paint);
}

// Waiting messages are all handled before the next piece of walking; each
// idle turn ends in a short pause so that the census does not occupy the
// processor.
int RunMessageLoop(buildcensus::CensusDriver& driver) {
    for (;;) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return driver.ExitStatus();
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        if (driver.IdleTurn() == buildcensus::IdleResult::Quit) {
            PostQuitMessage(0);
        }
        Sleep(kIdlePauseMs);
    }
}

}  // namespace

LRESULT CALLBACK CensusWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_PAINT:
            Paint(window);
            return 1;
        case WM_CLOSE:
            // Ends the run at the next look at the queue; the lines written
            // so far stay.
            PostQuitMessage(0);
            return 1;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    buildcensus::Win32Folders folders;
    buildcensus::Win32Versions versions;
    buildcensus::Win32Profile profile;
    Win32Display display;
    buildcensus::CensusDriver driver(folders, versions, profile, display);
    census = &driver;

    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = CensusWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    HWND window =
        CreateWindowExA(0, kClassName, buildcensus::kWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0,
                        kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
    display.SetWindow(window);
    // Its first paint comes from the message loop.
    ShowWindow(window, SW_SHOW);

    driver.Start();
    return RunMessageLoop(driver);
}
