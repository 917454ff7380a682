// Stand-in for QLProSetup.dll, the setup library: it only logs its calls.
// Exported under the decorated names of setup_library.def.
#include <string>

#include "runtime_log.h"

namespace {

std::string Numbers(std::initializer_list<int> values) {
    std::string text;
    for (const int value : values) {
        text += (text.empty() ? "" : ", ") + std::to_string(value);
    }
    return text;
}

bool LogDisplayMode(std::initializer_list<int> values) {
    standin::Log("SetDisplayMode(" + Numbers(values) + ")");
    return true;
}

}  // namespace

extern "C" {

void SetupConstructor() {
    standin::Log("Constructor()");
}

void SetupDestructor() {
    standin::Log("Destructor()");
}

void* SetupGetDirect3DDevice() {
    standin::Log("GetDirect3DDevice()");
    return nullptr;
}

bool SetupSetDisplayMode2(int a, int b) {
    return LogDisplayMode({a, b});
}

bool SetupSetDisplayMode3(int a, int b, int c) {
    return LogDisplayMode({a, b, c});
}

bool SetupSetDisplayMode4(int a, int b, int c, int d) {
    return LogDisplayMode({a, b, c, d});
}

bool SetupSetDisplayMode5(int a, int b, int c, int d, int e) {
    return LogDisplayMode({a, b, c, d, e});
}

bool SetupSetDisplayMode6(int a, int b, int c, int d, int e, int f) {
    return LogDisplayMode({a, b, c, d, e, f});
}

void SetupOverrideHwnd(HWND window) {
    standin::Log(window == nullptr ? "OverrideHWND(null)" : "OverrideHWND(window)");
}

void SetupDisableWindowResize() {
    standin::Log("DisableWindowResize()");
}

void SetupEnableWindowResize() {
    standin::Log("EnableWindowResize()");
}

}  // extern "C"
