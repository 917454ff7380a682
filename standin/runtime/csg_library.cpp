// Stand-in for QLProCSG.dll, the CSG library: the CSG pass and its progress
// counter. Exported under the decorated names of csg_library.def.
#include <string>

#include "runtime_log.h"

namespace {

alignas(4) int progress = 0;

}  // namespace

extern "C" {

void CsgConstructorCsg(HINSTANCE setup) {
    standin::Log("ConstructorCSG(" + standin::ModuleText(setup) + ")");
}

void CsgDestructorCsg() {
    standin::Log("DestructorCSG()");
}

int* CsgGetProgress() {
    standin::Log("GetProgress()");
    return &progress;
}

// Works for csg_ms, writes the output file (relative names in the current
// folder) and has set its counter to its final value, 100 unless steered
// otherwise, before it returns.
void CsgCompileCsg(char* inputPath, char* outputName, float epsilon) {
    standin::Log("CompileCSG(" + standin::Quoted(inputPath) + ", " + standin::Quoted(outputName) +
                 ", " + standin::FloatText(epsilon) + ")");
    standin::RunPass(&progress, standin::Steer("csg_ms", 600));
    if (outputName != nullptr && outputName[0] != '\0') {
        standin::WriteTextFile(outputName, "stand-in CSG data\r\nmodel: " + std::string(inputPath) +
                                               "\r\nepsilon: " + standin::FloatText(epsilon) +
                                               "\r\n");
    }
    const int final = standin::Steer("csg_final", 100);
    standin::SetCounter(&progress, final);
    standin::Log("CompileCSG returns, counter " + std::to_string(final));
}

void CsgPerformCsgOnXModel(char* inputPath, char* outputName, float epsilon) {
    standin::Log("PerformCSGOnXModel(" + standin::Quoted(inputPath) + ", " +
                 standin::Quoted(outputName) + ", " + standin::FloatText(epsilon) + ")");
}

}  // extern "C"
