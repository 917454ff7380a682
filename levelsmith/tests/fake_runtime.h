#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "library_ops.h"
#include "runtime_bindings.h"

// The three runtime libraries in memory: every entry point of the table as
// a real function that records its call (with arguments and thread) in one
// list shared with the load, look-up and unload calls of FakeLibraries. The
// passes can be held inside the library and their counters set by the test.
namespace levelsmith::testing {

using namespace std::chrono_literals;

struct CallRecord {
    std::string text;
    std::thread::id thread;
};

class FakeRuntime {
  public:
    FakeRuntime();  // becomes the runtime that the entry points serve
    ~FakeRuntime();
    FakeRuntime(const FakeRuntime&) = delete;
    FakeRuntime& operator=(const FakeRuntime&) = delete;

    // Steering, set before the compile.
    int csgFinal = 100;                      // the CSG counter when CompileCSG returns
    bool holdCsg = false;                    // CompileCSG waits for ReleaseCsg
    bool holdBsp = false;                    // CompileBSP waits for ReleaseBsp
    int bspFinal = 100;                      // the BSP counter when CompileBSP returns unheld
    std::set<std::string> missingLibraries;  // library paths
    std::set<std::string> missingEntries;    // "compiler ?Name" etc.

    void ReleaseCsg();
    void ReleaseBsp();
    void SetCsgCounter(int value);
    void SetBspCounter(int value);

    std::vector<CallRecord> Calls() const;
    std::vector<std::string> CallTexts() const;
    // Waits until a call whose text starts with `prefix` has been recorded.
    bool WaitForCall(const std::string& prefix, std::chrono::milliseconds timeout = 5s) const;
    bool Called(const std::string& prefix) const;

    // For the fake entry points and libraries.
    static FakeRuntime& Current();
    void Record(std::string text);
    void RunCsg();
    void RunBsp();
    int* CsgCounter() { return &csgCounter_; }
    int* BspCounter() { return &bspCounter_; }

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<CallRecord> calls_;
    bool csgReleased_ = false;
    bool bspReleased_ = false;
    alignas(4) int csgCounter_ = 0;
    alignas(4) int bspCounter_ = 0;
};

// LoadLibrary, GetProcAddress and FreeLibrary over the fake runtime.
class FakeLibraries final : public LibraryOps {
  public:
    explicit FakeLibraries(FakeRuntime& runtime) : runtime_(runtime) {}
    ModuleRef Load(const char* path) override;
    RawEntry Find(ModuleRef module, const char* name) override;
    void Unload(ModuleRef module) override;

    // The module handle that a library gets when it loads.
    static ModuleRef ModuleOf(Library library);

  private:
    FakeRuntime& runtime_;
};

// What CloseRuntime calls when every library is loaded, in order.
inline const std::vector<std::string> kCloseCalls = {"csg DestructorCSG()", "compiler Destructor()",
                                                     "setup Destructor()",  "unload setup",
                                                     "unload csg",          "unload compiler"};

// "compiler", "setup", "csg" for a fake module handle; "null" otherwise.
std::string LibraryLabel(ModuleRef module);
// The float's bits in hex, as the fake records an epsilon.
std::string FloatBits(float value);

}  // namespace levelsmith::testing
