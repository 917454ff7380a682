// Stand-in for QLProLevelsmith.dll, the compiler library: the BSP pass and
// its progress counter. Exported under the decorated names of
// compiler_library.def.
#include <string>

#include "runtime_log.h"

namespace {

alignas(4) int progress = 0;

// True when `name` names a folder too. Read by characters of the ANSI code
// page: the second byte of a double-byte character can be a backslash.
bool HasFolderPart(const char* name) {
    for (const char* at = name; *at != '\0'; at = CharNextA(at)) {
        if (*at == '\\' || *at == '/' || *at == ':') {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" {

void CompilerConstructor(HINSTANCE setup) {
    standin::Log("Constructor(" + standin::ModuleText(setup) + ")");
}

void CompilerDestructor() {
    standin::Log("Destructor()");
}

int* CompilerGetProgress() {
    standin::Log("GetProgress()");
    return &progress;
}

// Moves the counter up while it works, writes the map beside the libraries
// (where the level viewer is started on it) and only then sets the counter
// to its final value, 100 unless steered otherwise.
void CompilerCompileBsp(char* inputPath, char* outputName, bool flag, float epsilon, int split) {
    standin::Log("CompileBSP(" + standin::Quoted(inputPath) + ", " + standin::Quoted(outputName) +
                 ", " + standin::BoolText(flag) + ", " + standin::FloatText(epsilon) + ", " +
                 std::to_string(split) + ")");
    standin::RunPass(&progress, standin::Steer("bsp_ms", 2000));
    const std::string name = outputName == nullptr ? "" : outputName;
    if (!name.empty() && !HasFolderPart(name.c_str())) {
        standin::WriteTextFile(standin::LibraryFolder() + name,
                               "stand-in map\r\nmodel: " + std::string(inputPath) +
                                   "\r\nepsilon: " + standin::FloatText(epsilon) +
                                   "\r\nsplit: " + std::to_string(split) + "\r\n");
    }
    const int final = standin::Steer("bsp_final", 100);
    standin::SetCounter(&progress, final);
    standin::Log("CompileBSP returns, counter " + std::to_string(final));
}

}  // extern "C"
