#pragma once

// What the stand-in runtime libraries share: the call log, the steering
// file and the simulated passes. Each library links its own copy, so "this
// library" is always the one whose code is running.
#include <windows.h>

#include <string>

namespace standin {

// The file name of this library, e.g. "QLProCSG.dll".
std::string LibraryName();
// The folder of this library, ending in a backslash.
std::string LibraryFolder();

// Appends "<thread id>\t<library>\t<text>" as one line to runtime-log.txt
// beside the libraries. One write per line, so lines of several threads and
// libraries never mix.
void Log(const std::string& text);

// An integer of section [runtime] of runtime-steer.ini beside the libraries,
// or `fallback` when the file or the key is absent. Keys: csg_ms, csg_final,
// bsp_ms, bsp_final, step_ms, timing.
int Steer(const char* key, int fallback);

// Argument texts for the log.
std::string Quoted(const char* text);      // "text", or null
std::string FloatText(float value);        // 0.1 [0x3dcccccd]
std::string BoolText(bool value);          // true / false
std::string ModuleText(HINSTANCE module);  // the module's file name, or null / 0x...

// Moves `counter` from 0 toward 99 over `durationMs`, one step every
// step_ms, sleeping in between; leaves it below 100. With timing=1 in the
// steering file each new value is also written with the time it was set
// (microseconds of the performance counter) to runtime-timing.txt.
void RunPass(int* counter, int durationMs);
// Sets the counter so that a reader on another thread sees a whole value.
void SetCounter(int* counter, int value);

// Writes a whole file; false when it could not be written.
bool WriteTextFile(const std::string& path, const std::string& text);

}  // namespace standin
