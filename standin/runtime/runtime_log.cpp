#include "runtime_log.h"

#include <atomic>
#include <bit>
#include <cstdint>
#include <cstdio>

namespace standin {

namespace {

HMODULE ThisLibrary() {
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&ThisLibrary), &module);
    return module;
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

std::string FileNameOf(const std::string& path) {
    return path.substr(path.find_last_of("\\/") + 1);
}

void AppendLine(const std::string& file, const std::string& line) {
    HANDLE out = CreateFileA((LibraryFolder() + file).c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(out);
}

long long Microseconds() {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart / (frequency.QuadPart / 1000000);
}

}  // namespace

std::string LibraryName() {
    return FileNameOf(ModulePath(ThisLibrary()));
}

std::string LibraryFolder() {
    const std::string path = ModulePath(ThisLibrary());
    return path.substr(0, path.find_last_of("\\/") + 1);
}

void Log(const std::string& text) {
    AppendLine("runtime-log.txt",
               std::to_string(GetCurrentThreadId()) + "\t" + LibraryName() + "\t" + text + "\r\n");
}

int Steer(const char* key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntA("runtime", key, fallback,
                                                  (LibraryFolder() + "runtime-steer.ini").c_str()));
}

std::string Quoted(const char* text) {
    return text == nullptr ? "null" : "\"" + std::string(text) + "\"";
}

std::string FloatText(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g [0x%08x]", static_cast<double>(value),
                  static_cast<unsigned>(std::bit_cast<std::uint32_t>(value)));
    return text;
}

std::string BoolText(bool value) {
    return value ? "true" : "false";
}

std::string ModuleText(HINSTANCE module) {
    if (module == nullptr) {
        return "null";
    }
    const std::string path = ModulePath(module);
    if (!path.empty()) {
        return FileNameOf(path);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%p", static_cast<void*>(module));
    return text;
}

namespace {

void SetCounter(int* counter, int value, bool timing) {
    std::atomic_ref<int>(*counter).store(value, std::memory_order_release);
    if (timing) {
        AppendLine("runtime-timing.txt", LibraryName() + " " + std::to_string(value) + " " +
                                             std::to_string(Microseconds()) + "\r\n");
    }
}

}  // namespace

void SetCounter(int* counter, int value) {
    SetCounter(counter, value, Steer("timing", 0) != 0);
}

void RunPass(int* counter, int durationMs) {
    // Steered once per pass: the pass itself should cost next to nothing.
    const bool timing = Steer("timing", 0) != 0;
    SetCounter(counter, 0, timing);
    const int stepMs = Steer("step_ms", 50) > 0 ? Steer("step_ms", 50) : 50;
    const DWORD start = GetTickCount();
    int shown = 0;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (durationMs <= 0 || elapsed >= static_cast<DWORD>(durationMs)) {
            return;
        }
        const int value = static_cast<int>(static_cast<long long>(elapsed) * 99 / durationMs);
        if (value != shown) {
            shown = value;
            SetCounter(counter, value, timing);
        }
        const DWORD left = static_cast<DWORD>(durationMs) - elapsed;
        Sleep(left < static_cast<DWORD>(stepMs) ? left : static_cast<DWORD>(stepMs));
    }
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace standin

// Loading and unloading are logged too: "unloaded" by FreeLibrary, "process
// ends" when the process ends with the library still loaded.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        standin::Log("loaded");
    } else if (reason == DLL_PROCESS_DETACH) {
        standin::Log(reserved == nullptr ? "unloaded" : "process ends");
    }
    return TRUE;
}
