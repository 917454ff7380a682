// A stand-in for the product's editor: it records how it was started, one
// line per argument and a last line "end", in "editor-log.txt" beside
// itself, so that tests and the demo can see what a shell "open" passed to
// it. Then it ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 2;
    }
    std::string log(self, length);
    log = log.substr(0, log.find_last_of('\\') + 1) + "editor-log.txt";

    FILE* out = std::fopen(log.c_str(), "ab");
    if (out == nullptr) {
        return 3;
    }
    std::fprintf(out, "command line: %s\r\n", GetCommandLineA());
    std::fprintf(out, "arguments: %d\r\n", argc - 1);
    for (int i = 1; i < argc; ++i) {
        std::fprintf(out, "argument %d: %s\r\n", i, argv[i]);
    }
    std::fprintf(out, "end\r\n");
    std::fclose(out);
    return 0;
}
