#include "runtime_bindings.h"

namespace levelsmith {

namespace {

constexpr std::size_t Index(Library library) {
    return static_cast<std::size_t>(library);
}

// The entry points that the CSG and BSP passes call.
constexpr Entry kCompileEntries[] = {Entry::CsgGetProgress, Entry::CompileCsg,
                                     Entry::CompilerGetProgress, Entry::CompileBsp};

void CallIfBound(const RuntimeBindings& runtime, Entry entry) {
    if (const auto call = runtime.Get<PlainCall>(entry)) {
        call();
    }
}

void CallWithModuleIfBound(const RuntimeBindings& runtime, Entry entry, ModuleRef module) {
    if (const auto call = runtime.Get<ModuleCall>(entry)) {
        call(module);
    }
}

}  // namespace

void OpenRuntime(LibraryOps& libraries, RuntimeBindings& runtime) {
    runtime = RuntimeBindings{};
    for (std::size_t i = 0; i < kLibraryCount; ++i) {
        runtime.modules[i] = libraries.Load(kLibraryPaths[i]);
    }
    for (std::size_t i = 0; i < kEntryCount; ++i) {
        if (const ModuleRef module = runtime.modules[Index(kEntryNames[i].library)]) {
            runtime.entries[i] = libraries.Find(module, kEntryNames[i].decoratedName);
        }
    }

    CallIfBound(runtime, Entry::SetupConstructor);
    if (const auto setDisplayMode = runtime.Get<SetDisplayMode4Call>(Entry::SetDisplayMode4)) {
        setDisplayMode(640, 480, 16, 1);  // the result tells nothing the program uses
    }
    const ModuleRef setup = runtime.Module(Library::Setup);
    CallWithModuleIfBound(runtime, Entry::CompilerConstructor, setup);
    CallWithModuleIfBound(runtime, Entry::ConstructorCsg, setup);

    if (const ModuleRef csg = runtime.Module(Library::Csg)) {
        libraries.Find(csg, kPerformCsgName);
    }
}

void CloseRuntime(LibraryOps& libraries, RuntimeBindings& runtime) {
    CallIfBound(runtime, Entry::DestructorCsg);
    CallIfBound(runtime, Entry::CompilerDestructor);
    CallIfBound(runtime, Entry::SetupDestructor);
    for (const Library library : {Library::Setup, Library::Csg, Library::Compiler}) {
        if (const ModuleRef module = runtime.Module(library)) {
            libraries.Unload(module);
        }
    }
    runtime = RuntimeBindings{};
}

bool CompileEntriesBound(const RuntimeBindings& runtime) {
    for (const Entry entry : kCompileEntries) {
        if (runtime.Raw(entry) == nullptr) {
            return false;
        }
    }
    return true;
}

std::string DescribeMissing(const RuntimeBindings& runtime) {
    std::string lines;
    for (std::size_t i = 0; i < kLibraryCount; ++i) {
        if (runtime.modules[i] == nullptr) {
            lines += "Library not loaded: ";
            lines += kLibraryPaths[i];
            lines += '\n';
        }
    }
    for (std::size_t i = 0; i < kEntryCount; ++i) {
        const std::size_t library = Index(kEntryNames[i].library);
        if (runtime.modules[library] != nullptr && runtime.entries[i] == nullptr) {
            lines += "Entry point not found: ";
            lines += kEntryNames[i].decoratedName;
            lines += " in ";
            lines += kLibraryPaths[library];
            lines += '\n';
        }
    }
    if (lines.empty()) {
        return lines;
    }
    std::string text = "Parts of the Quillon Pro runtime are missing.\n\n" + lines;
    if (!CompileEntriesBound(runtime)) {
        text += "\nCompile cannot run until they are in place.";
    }
    return text;
}

}  // namespace levelsmith
