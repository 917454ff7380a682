// A stand-in for the product's level viewer: it records how it was started
// (command line, current folder and the start-up settings it was given) in
// "viewer-log.txt" beside itself, ending with a line "end". Then it ends.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 2;
    }
    std::string log(self, length);
    log = log.substr(0, log.find_last_of('\\') + 1) + "viewer-log.txt";

    char folder[MAX_PATH + 1] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);

    FILE* out = std::fopen(log.c_str(), "ab");
    if (out == nullptr) {
        return 3;
    }
    std::fprintf(out, "command line: %s\r\n", GetCommandLineA());
    std::fprintf(out, "current folder: %s\r\n", folder);
    std::fprintf(out, "title: %s\r\n", startup.lpTitle != nullptr ? startup.lpTitle : "(none)");
    std::fprintf(out, "flags: 0x%lx\r\n", static_cast<unsigned long>(startup.dwFlags));
    std::fprintf(out, "show window: %u\r\n", static_cast<unsigned>(startup.wShowWindow));
    std::fprintf(out, "end\r\n");
    std::fclose(out);
    return 0;
}
