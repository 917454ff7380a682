#include "fake_runtime.h"

#include <atomic>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>

namespace levelsmith::testing {

namespace {

FakeRuntime* current = nullptr;
int moduleTokens[kLibraryCount];

const char* const kLabels[kLibraryCount] = {"compiler", "setup", "csg"};

std::string Quoted(const char* text) {
    return text == nullptr ? "null" : "\"" + std::string(text) + "\"";
}

void RecordCall(std::string text) {
    FakeRuntime::Current().Record(std::move(text));
}

// The entry points.
void CompilerConstructor(ModuleRef module) {
    RecordCall("compiler Constructor(" + LibraryLabel(module) + ")");
}
void CompilerDestructor() {
    RecordCall("compiler Destructor()");
}
int* CompilerGetProgress() {
    RecordCall("compiler GetProgress()");
    return FakeRuntime::Current().BspCounter();
}
void CompileBsp(char* input, char* output, bool flag, float epsilon, int split) {
    FakeRuntime::Current().SetBspCounter(0);  // before the test can see the call
    RecordCall("compiler CompileBSP(" + Quoted(input) + ", " + Quoted(output) + ", " +
               (flag ? "true" : "false") + ", " + FloatBits(epsilon) + ", " +
               std::to_string(split) + ")");
    FakeRuntime::Current().RunBsp();
    RecordCall("compiler CompileBSP returns");
}
void SetupConstructor() {
    RecordCall("setup Constructor()");
}
void SetupDestructor() {
    RecordCall("setup Destructor()");
}
void* GetDirect3DDevice() {
    RecordCall("setup GetDirect3DDevice()");
    return nullptr;
}
bool SetDisplayMode2(int a, int b) {
    RecordCall("setup SetDisplayMode(" + std::to_string(a) + ", " + std::to_string(b) + ")");
    return true;
}
bool SetDisplayMode3(int a, int b, int c) {
    RecordCall("setup SetDisplayMode(" + std::to_string(a) + ", " + std::to_string(b) + ", " +
               std::to_string(c) + ")");
    return true;
}
bool SetDisplayMode4(int a, int b, int c, int d) {
    RecordCall("setup SetDisplayMode(" + std::to_string(a) + ", " + std::to_string(b) + ", " +
               std::to_string(c) + ", " + std::to_string(d) + ")");
    return false;  // the result is never looked at
}
bool SetDisplayMode5(int, int, int, int, int) {
    RecordCall("setup SetDisplayMode(5 arguments)");
    return true;
}
bool SetDisplayMode6(int, int, int, int, int, int) {
    RecordCall("setup SetDisplayMode(6 arguments)");
    return true;
}
void OverrideHwnd(void*) {
    RecordCall("setup OverrideHWND()");
}
void DisableWindowResize() {
    RecordCall("setup DisableWindowResize()");
}
void EnableWindowResize() {
    RecordCall("setup EnableWindowResize()");
}
void ConstructorCsg(ModuleRef module) {
    RecordCall("csg ConstructorCSG(" + LibraryLabel(module) + ")");
}
void DestructorCsg() {
    RecordCall("csg DestructorCSG()");
}
void CompileCsg(char* input, char* output, float epsilon) {
    FakeRuntime::Current().SetCsgCounter(0);
    RecordCall("csg CompileCSG(" + Quoted(input) + ", " + Quoted(output) + ", " +
               FloatBits(epsilon) + ")");
    FakeRuntime::Current().RunCsg();
    RecordCall("csg CompileCSG returns");
}
int* CsgGetProgress() {
    RecordCall("csg GetProgress()");
    return FakeRuntime::Current().CsgCounter();
}
void PerformCsgOnXModel(char*, char*, float) {
    RecordCall("csg PerformCSGOnXModel()");
}

template <typename Function>
RawEntry Raw(Function function) {
    return reinterpret_cast<RawEntry>(function);
}

const std::map<std::string, RawEntry>& EntriesByName() {
    static const std::map<std::string, RawEntry> entries = {
        {"compiler ?Constructor@@YAXPAUHINSTANCE__@@@Z", Raw(CompilerConstructor)},
        {"compiler ?Destructor@@YAXXZ", Raw(CompilerDestructor)},
        {"compiler ?GetProgress@@YAPAHXZ", Raw(CompilerGetProgress)},
        {"compiler ?CompileBSP@@YAXPAD0_NMH@Z", Raw(CompileBsp)},
        {"setup ?Constructor@@YAXXZ", Raw(SetupConstructor)},
        {"setup ?Destructor@@YAXXZ", Raw(SetupDestructor)},
        {"setup ?GetDirect3DDevice@@YAPAUIDirect3DDevice8@@XZ", Raw(GetDirect3DDevice)},
        {"setup ?SetDisplayMode@@YA_NHH@Z", Raw(SetDisplayMode2)},
        {"setup ?SetDisplayMode@@YA_NHHH@Z", Raw(SetDisplayMode3)},
        {"setup ?SetDisplayMode@@YA_NHHHH@Z", Raw(SetDisplayMode4)},
        {"setup ?SetDisplayMode@@YA_NHHHHH@Z", Raw(SetDisplayMode5)},
        {"setup ?SetDisplayMode@@YA_NHHHHHH@Z", Raw(SetDisplayMode6)},
        {"setup ?OverrideHWND@@YAXPAUHWND__@@@Z", Raw(OverrideHwnd)},
        {"setup ?DisableWindowResize@@YAXXZ", Raw(DisableWindowResize)},
        {"setup ?EnableWindowResize@@YAXXZ", Raw(EnableWindowResize)},
        {"csg ?ConstructorCSG@@YAXPAUHINSTANCE__@@@Z", Raw(ConstructorCsg)},
        {"csg ?DestructorCSG@@YAXXZ", Raw(DestructorCsg)},
        {"csg ?CompileCSG@@YAXPAD0M@Z", Raw(CompileCsg)},
        {"csg ?GetProgress@@YAPAHXZ", Raw(CsgGetProgress)},
        {"csg ?PerformCSGOnXModel@@YAXPAD0M@Z", Raw(PerformCsgOnXModel)},
    };
    return entries;
}

void StoreCounter(int* counter, int value) {
    std::atomic_ref<int>(*counter).store(value, std::memory_order_release);
}

}  // namespace

std::string LibraryLabel(ModuleRef module) {
    for (std::size_t i = 0; i < kLibraryCount; ++i) {
        if (module == &moduleTokens[i]) {
            return kLabels[i];
        }
    }
    return "null";
}

std::string FloatBits(float value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", std::bit_cast<std::uint32_t>(value));
    return text;
}

FakeRuntime::FakeRuntime() {
    current = this;
}

FakeRuntime::~FakeRuntime() {
    current = nullptr;
}

FakeRuntime& FakeRuntime::Current() {
    return *current;
}

void FakeRuntime::Record(std::string text) {
    std::lock_guard lock(mutex_);
    calls_.push_back({std::move(text), std::this_thread::get_id()});
    changed_.notify_all();
}

void FakeRuntime::RunCsg() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !holdCsg || csgReleased_; });
    lock.unlock();
    StoreCounter(&csgCounter_, csgFinal);
}

void FakeRuntime::RunBsp() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !holdBsp || bspReleased_; });
    lock.unlock();
    if (!holdBsp) {
        StoreCounter(&bspCounter_, bspFinal);
    }
}

void FakeRuntime::ReleaseCsg() {
    std::lock_guard lock(mutex_);
    csgReleased_ = true;
    changed_.notify_all();
}

void FakeRuntime::ReleaseBsp() {
    std::lock_guard lock(mutex_);
    bspReleased_ = true;
    changed_.notify_all();
}

void FakeRuntime::SetCsgCounter(int value) {
    StoreCounter(&csgCounter_, value);
}

void FakeRuntime::SetBspCounter(int value) {
    StoreCounter(&bspCounter_, value);
}

std::vector<CallRecord> FakeRuntime::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> FakeRuntime::CallTexts() const {
    std::vector<std::string> texts;
    for (const CallRecord& call : Calls()) {
        texts.push_back(call.text);
    }
    return texts;
}

bool FakeRuntime::WaitForCall(const std::string& prefix, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
        for (const CallRecord& call : calls_) {
            if (call.text.rfind(prefix, 0) == 0) {
                return true;
            }
        }
        return false;
    });
}

bool FakeRuntime::Called(const std::string& prefix) const {
    return WaitForCall(prefix, 0ms);
}

ModuleRef FakeLibraries::ModuleOf(Library library) {
    return &moduleTokens[static_cast<std::size_t>(library)];
}

ModuleRef FakeLibraries::Load(const char* path) {
    runtime_.Record(std::string("load ") + path);
    if (runtime_.missingLibraries.count(path) != 0) {
        return nullptr;
    }
    for (std::size_t i = 0; i < kLibraryCount; ++i) {
        if (std::strcmp(path, kLibraryPaths[i]) == 0) {
            return &moduleTokens[i];
        }
    }
    return nullptr;
}

RawEntry FakeLibraries::Find(ModuleRef module, const char* name) {
    const std::string key = LibraryLabel(module) + " " + name;
    runtime_.Record("find " + key);
    if (runtime_.missingEntries.count(key) != 0) {
        return nullptr;
    }
    const auto found = EntriesByName().find(key);
    return found == EntriesByName().end() ? nullptr : found->second;
}

void FakeLibraries::Unload(ModuleRef module) {
    runtime_.Record("unload " + LibraryLabel(module));
}

}  // namespace levelsmith::testing
