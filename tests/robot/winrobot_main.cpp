// winrobot: the test robot from a script. Windows are found by caption, in
// any process:
//   winrobot wait CAPTION [TIMEOUT-MS]        wait until the window shows
//   winrobot gone CAPTION [TIMEOUT-MS]        wait until it has gone
//   winrobot answer CAPTION [BUTTON-ID]       print a message box's text, press a button
//   winrobot text CAPTION [ITEM-ID]           print a window's or a control's text
//   winrobot set CAPTION ITEM-ID TEXT         set a control's text
//   winrobot click CAPTION ITEM-ID            press a button
//   winrobot follow CAPTION ITEM-ID MS         for MS milliseconds, print "<microseconds>
//                                              <position>" each time a progress bar moves
//                                              (microseconds of the performance counter)
// A CAPTION of the form @ID stands for a dialog that has a control of that
// id, whatever its caption: "@1148" is the open-file dialog, whose caption
// follows the system's language.
// Exit status 0 on success, 1 when the window was not found in time.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "robot.h"

namespace {

constexpr DWORD kDefaultTimeoutMs = 20000;

int Usage() {
    std::fputs("usage: winrobot wait|gone|answer|text|set|click|follow CAPTION [...]\n", stderr);
    return 2;
}

DWORD Number(int argc, char** argv, int at, DWORD fallback) {
    return argc > at ? static_cast<DWORD>(std::strtoul(argv[at], nullptr, 0)) : fallback;
}

long long Microseconds() {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart / (frequency.QuadPart / 1000000);
}

// Polls the bar about every millisecond and prints each new position.
int Follow(HWND bar, DWORD durationMs) {
    if (bar == nullptr) {
        return 1;
    }
    timeBeginPeriod(1);
    const DWORD start = GetTickCount();
    LRESULT shown = -1;
    while (GetTickCount() - start < durationMs) {
        const LRESULT position = SendMessageA(bar, PBM_GETPOS, 0, 0);
        if (position != shown) {
            shown = position;
            std::printf("%lld %ld\n", Microseconds(), static_cast<long>(position));
            std::fflush(stdout);
        }
        Sleep(1);
    }
    timeEndPeriod(1);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return Usage();
    }
    const std::string verb = argv[1];
    const char* caption = argv[2];

    if (verb == "answer") {
        const auto box = robot::WaitForMessageBox(0, caption, kDefaultTimeoutMs);
        if (!box) {
            std::fprintf(stderr, "winrobot: no message box \"%s\"\n", caption);
            return 1;
        }
        std::printf("%s\n", box->text.c_str());
        return robot::Answer(*box, static_cast<int>(Number(argc, argv, 3, IDOK))) ? 0 : 1;
    }

    const DWORD timeoutMs =
        verb == "wait" ? Number(argc, argv, 3, kDefaultTimeoutMs) : kDefaultTimeoutMs;
    HWND window = caption[0] == '@' ? robot::WaitForWindow(0, "#32770", nullptr, timeoutMs,
                                                           std::atoi(caption + 1))
                                    : robot::WaitForWindow(0, nullptr, caption, timeoutMs);
    if (verb == "gone") {
        return window == nullptr ||
                       robot::WaitWindowGone(window, Number(argc, argv, 3, kDefaultTimeoutMs))
                   ? 0
                   : 1;
    }
    if (window == nullptr) {
        std::fprintf(stderr, "winrobot: no window \"%s\"\n", caption);
        return 1;
    }
    if (verb == "wait") {
        return 0;
    }
    if (verb == "text") {
        const std::string text =
            argc > 3 ? robot::ItemText(window, std::atoi(argv[3])) : robot::WindowText(window);
        std::printf("%s\n", text.c_str());
        return 0;
    }
    if (verb == "set" && argc > 4) {
        robot::SetItemText(window, std::atoi(argv[3]), argv[4]);
        return 0;
    }
    if (verb == "click" && argc > 3) {
        robot::Click(window, std::atoi(argv[3]));
        return 0;
    }
    if (verb == "follow" && argc > 4) {
        return Follow(GetDlgItem(window, std::atoi(argv[3])), Number(argc, argv, 4, 0));
    }
    return Usage();
}
