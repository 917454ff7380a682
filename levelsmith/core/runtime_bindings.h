#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "library_ops.h"

// The product's three runtime libraries as the compiler sees them: where they
// are, which entry points it binds by decorated name and in which order, and
// the start-up and close calls it makes. Every entry point is a free __cdecl
// function; the types below are what the decorated names encode.
namespace levelsmith {

enum class Library { Compiler, Setup, Csg };
inline constexpr std::size_t kLibraryCount = 3;

// Relative to the current directory, in load order.
inline constexpr const char* kLibraryPaths[kLibraryCount] = {
    "./runtime/QLProLevelsmith.dll", "./runtime/QLProSetup.dll", "./runtime/QLProCSG.dll"};

// The bound entry points, in lookup order.
enum class Entry {
    CompilerConstructor,
    CompilerDestructor,
    CompilerGetProgress,
    CompileBsp,
    SetupConstructor,
    SetupDestructor,
    GetDirect3DDevice,
    SetDisplayMode2,
    SetDisplayMode3,
    SetDisplayMode4,
    SetDisplayMode5,
    SetDisplayMode6,
    OverrideHwnd,
    DisableWindowResize,
    EnableWindowResize,
    ConstructorCsg,
    DestructorCsg,
    CompileCsg,
    CsgGetProgress,
};
inline constexpr std::size_t kEntryCount = 19;
static_assert(kEntryCount == static_cast<std::size_t>(Entry::CsgGetProgress) + 1,
              "one table row per entry point");

struct EntryName {
    Library library;
    const char* decoratedName;
};

inline constexpr std::array<EntryName, kEntryCount> kEntryNames = {{
    {Library::Compiler, "?Constructor@@YAXPAUHINSTANCE__@@@Z"},
    {Library::Compiler, "?Destructor@@YAXXZ"},
    {Library::Compiler, "?GetProgress@@YAPAHXZ"},
    {Library::Compiler, "?CompileBSP@@YAXPAD0_NMH@Z"},
    {Library::Setup, "?Constructor@@YAXXZ"},
    {Library::Setup, "?Destructor@@YAXXZ"},
    {Library::Setup, "?GetDirect3DDevice@@YAPAUIDirect3DDevice8@@XZ"},
    {Library::Setup, "?SetDisplayMode@@YA_NHH@Z"},
    {Library::Setup, "?SetDisplayMode@@YA_NHHH@Z"},
    {Library::Setup, "?SetDisplayMode@@YA_NHHHH@Z"},
    {Library::Setup, "?SetDisplayMode@@YA_NHHHHH@Z"},
    {Library::Setup, "?SetDisplayMode@@YA_NHHHHHH@Z"},
    {Library::Setup, "?OverrideHWND@@YAXPAUHWND__@@@Z"},
    {Library::Setup, "?DisableWindowResize@@YAXXZ"},
    {Library::Setup, "?EnableWindowResize@@YAXXZ"},
    {Library::Csg, "?ConstructorCSG@@YAXPAUHINSTANCE__@@@Z"},
    {Library::Csg, "?DestructorCSG@@YAXXZ"},
    {Library::Csg, "?CompileCSG@@YAXPAD0M@Z"},
    {Library::Csg, "?GetProgress@@YAPAHXZ"},
}};

// Looked up in the CSG library after the start-up calls; never called.
inline constexpr char kPerformCsgName[] = "?PerformCSGOnXModel@@YAXPAD0M@Z";

// Entry point types. HINSTANCE, HWND and the device pointer are plain
// pointers at the boundary.
using PlainCall = void (*)();
using ModuleCall = void (*)(ModuleRef);  // Constructor, ConstructorCSG
using GetProgressCall = int* (*)();
using CompileCsgCall = void (*)(char* inputPath, char* outputName, float epsilon);
using CompileBspCall = void (*)(char* inputPath, char* outputName, bool flag, float epsilon,
                                int split);
using SetDisplayMode4Call = bool (*)(int width, int height, int depth, int mode);

// The process-wide bindings: module handles and entry points, null where a
// library did not load or has no such entry point. Written when the dialog
// opens, cleared when it closes.
struct RuntimeBindings {
    std::array<ModuleRef, kLibraryCount> modules{};
    std::array<RawEntry, kEntryCount> entries{};

    ModuleRef Module(Library library) const { return modules[static_cast<std::size_t>(library)]; }
    RawEntry Raw(Entry entry) const { return entries[static_cast<std::size_t>(entry)]; }
    // The entry point with its real type; null when it is missing.
    template <typename Call>
    Call Get(Entry entry) const {
        return reinterpret_cast<Call>(Raw(entry));
    }
};

// Loads the compiler, setup and CSG library, looks up every entry point in
// table order (none in a library that did not load), makes the start-up
// calls whose entry points were found, then looks up PerformCSGOnXModel
// without keeping it.
void OpenRuntime(LibraryOps& libraries, RuntimeBindings& runtime);

// The close calls whose entry points exist (DestructorCSG, compiler
// Destructor, setup Destructor), then unloads setup, CSG and compiler.
// Leaves the bindings empty.
void CloseRuntime(LibraryOps& libraries, RuntimeBindings& runtime);

// True when every entry point that the CSG and BSP passes call is bound.
bool CompileEntriesBound(const RuntimeBindings& runtime);

// The report of what is missing, naming each library file that did not
// load and each entry point not found; empty when nothing is missing.
std::string DescribeMissing(const RuntimeBindings& runtime);

inline constexpr char kMissingCaption[] = "Levelsmith";

}  // namespace levelsmith
