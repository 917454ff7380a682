#pragma once

// For the Win32 tests: lays out the stand-in runtime in a test folder and
// reads back what it logged.
#include <windows.h>

#include <string>
#include <vector>

namespace levelsmith::testing {

// Copies the stand-in libraries and viewer into `folder`\runtime, with the
// compiler library from `compilerFolder` when given and without the
// libraries named in `leaveOut`, and writes the steering file.
bool LayOutRuntime(const std::string& folder, const std::string& steering,
                   const std::string& compilerFolder = "",
                   const std::vector<std::string>& leaveOut = {});

struct RuntimeLogLine {
    DWORD thread = 0;
    std::string library;  // "QLProCSG.dll"
    std::string text;     // "CompileCSG(...)"
};

std::vector<RuntimeLogLine> ReadRuntimeLog(const std::string& folder);
// "QLProCSG.dll CompileCSG(...)" per line, for comparing whole sequences.
std::vector<std::string> LogTexts(const std::vector<RuntimeLogLine>& lines);
// The first line whose text starts with `prefix` in `library`; null if none.
const RuntimeLogLine* FindLine(const std::vector<RuntimeLogLine>& lines, const std::string& library,
                               const std::string& prefix);

// Checks the log of one whole compile of `model` into `map` with the
// default options, from loading to unloading: every call in order with its
// arguments; start-up and close on the user-interface thread `ui`, the CSG
// pass and both counters on one worker thread, the BSP pass on another.
void ExpectWholeCompileLog(const std::vector<RuntimeLogLine>& log, const std::string& model,
                           const std::string& map, DWORD ui);

// The stand-in's text of an epsilon of 0.1 narrowed to float.
inline constexpr char kEpsilonLogged[] = "0.100000001 [0x3dcccccd]";

}  // namespace levelsmith::testing
