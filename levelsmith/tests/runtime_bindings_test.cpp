#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_runtime.h"
#include "runtime_bindings.h"

namespace levelsmith {
namespace {

using testing::FakeLibraries;
using testing::FakeRuntime;

// Every look-up of the start-up, in the order the libraries' table fixes.
const std::vector<std::string> kLookups = {
    "find compiler ?Constructor@@YAXPAUHINSTANCE__@@@Z",
    "find compiler ?Destructor@@YAXXZ",
    "find compiler ?GetProgress@@YAPAHXZ",
    "find compiler ?CompileBSP@@YAXPAD0_NMH@Z",
    "find setup ?Constructor@@YAXXZ",
    "find setup ?Destructor@@YAXXZ",
    "find setup ?GetDirect3DDevice@@YAPAUIDirect3DDevice8@@XZ",
    "find setup ?SetDisplayMode@@YA_NHH@Z",
    "find setup ?SetDisplayMode@@YA_NHHH@Z",
    "find setup ?SetDisplayMode@@YA_NHHHH@Z",
    "find setup ?SetDisplayMode@@YA_NHHHHH@Z",
    "find setup ?SetDisplayMode@@YA_NHHHHHH@Z",
    "find setup ?OverrideHWND@@YAXPAUHWND__@@@Z",
    "find setup ?DisableWindowResize@@YAXXZ",
    "find setup ?EnableWindowResize@@YAXXZ",
    "find csg ?ConstructorCSG@@YAXPAUHINSTANCE__@@@Z",
    "find csg ?DestructorCSG@@YAXXZ",
    "find csg ?CompileCSG@@YAXPAD0M@Z",
    "find csg ?GetProgress@@YAPAHXZ",
};

std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const std::vector<std::string> kLoads = {"load ./runtime/QLProLevelsmith.dll",
                                         "load ./runtime/QLProSetup.dll",
                                         "load ./runtime/QLProCSG.dll"};
const std::vector<std::string> kStartUp = {
    "setup Constructor()", "setup SetDisplayMode(640, 480, 16, 1)", "compiler Constructor(setup)",
    "csg ConstructorCSG(setup)", "find csg ?PerformCSGOnXModel@@YAXPAD0M@Z"};

class RuntimeBindingsTest : public ::testing::Test {
  protected:
    FakeRuntime fake;
    FakeLibraries libraries{fake};
    RuntimeBindings runtime;
};

TEST_F(RuntimeBindingsTest, OpenLoadsLooksUpInTableOrderAndStartsUp) {
    OpenRuntime(libraries, runtime);
    EXPECT_EQ(fake.CallTexts(), Concat({kLoads, kLookups, kStartUp}));
    EXPECT_EQ(DescribeMissing(runtime), "");
    EXPECT_TRUE(CompileEntriesBound(runtime));
    // Every call so far ran on the opening (user-interface) thread.
    for (const auto& call : fake.Calls()) {
        EXPECT_EQ(call.thread, std::this_thread::get_id());
    }
}

TEST_F(RuntimeBindingsTest, CloseShutsDownThenUnloadsAndForgetsTheBindings) {
    OpenRuntime(libraries, runtime);
    const std::size_t before = fake.Calls().size();
    CloseRuntime(libraries, runtime);
    const auto texts = fake.CallTexts();
    EXPECT_EQ(std::vector<std::string>(texts.begin() + static_cast<long>(before), texts.end()),
              testing::kCloseCalls);
    EXPECT_EQ(runtime.Module(Library::Csg), nullptr);
    EXPECT_EQ(runtime.Raw(Entry::CompileCsg), nullptr);

    CloseRuntime(libraries, runtime);  // a second close calls nothing
    EXPECT_EQ(fake.CallTexts().size(), texts.size());
}

TEST_F(RuntimeBindingsTest, AMissingLibraryIsNamedOnceAndItsCallsAreLeftOut) {
    fake.missingLibraries = {"./runtime/QLProSetup.dll"};
    OpenRuntime(libraries, runtime);
    const auto texts = fake.CallTexts();
    for (const auto& text : texts) {
        EXPECT_EQ(text.rfind("find setup", 0), std::string::npos) << text;
        EXPECT_EQ(text.rfind("setup ", 0), std::string::npos) << text;
    }
    // The constructors still run, given no setup module.
    EXPECT_NE(std::find(texts.begin(), texts.end(), "compiler Constructor(null)"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "csg ConstructorCSG(null)"), texts.end());

    EXPECT_EQ(DescribeMissing(runtime),
              "Parts of the Quillon Pro runtime are missing.\n\n"
              "Library not loaded: ./runtime/QLProSetup.dll\n");
    EXPECT_TRUE(CompileEntriesBound(runtime));

    const std::size_t before = texts.size();
    CloseRuntime(libraries, runtime);
    const auto after = fake.CallTexts();
    EXPECT_EQ(std::vector<std::string>(after.begin() + static_cast<long>(before), after.end()),
              (std::vector<std::string>{"csg DestructorCSG()", "compiler Destructor()",
                                        "unload csg", "unload compiler"}));
}

TEST_F(RuntimeBindingsTest, MissingEntryPointsAreNamedWithTheirLibrary) {
    // The first and the last entry point of the table among them.
    fake.missingEntries = {"compiler ?Constructor@@YAXPAUHINSTANCE__@@@Z",
                           "compiler ?CompileBSP@@YAXPAD0_NMH@Z", "setup ?Constructor@@YAXXZ",
                           "setup ?EnableWindowResize@@YAXXZ", "csg ?GetProgress@@YAPAHXZ"};
    OpenRuntime(libraries, runtime);
    for (const auto& text : fake.CallTexts()) {
        EXPECT_NE(text, "setup Constructor()");
        EXPECT_NE(text, "compiler Constructor(setup)");
    }
    EXPECT_FALSE(CompileEntriesBound(runtime));
    EXPECT_EQ(DescribeMissing(runtime),
              "Parts of the Quillon Pro runtime are missing.\n\n"
              "Entry point not found: ?Constructor@@YAXPAUHINSTANCE__@@@Z in "
              "./runtime/QLProLevelsmith.dll\n"
              "Entry point not found: ?CompileBSP@@YAXPAD0_NMH@Z in "
              "./runtime/QLProLevelsmith.dll\n"
              "Entry point not found: ?Constructor@@YAXXZ in ./runtime/QLProSetup.dll\n"
              "Entry point not found: ?EnableWindowResize@@YAXXZ in ./runtime/QLProSetup.dll\n"
              "Entry point not found: ?GetProgress@@YAPAHXZ in ./runtime/QLProCSG.dll\n"
              "\nCompile cannot run until they are in place.");
}

TEST_F(RuntimeBindingsTest, AnEntryPointThatNoPassCallsLeavesCompileAvailable) {
    fake.missingEntries = {"setup ?GetDirect3DDevice@@YAPAUIDirect3DDevice8@@XZ"};
    OpenRuntime(libraries, runtime);
    EXPECT_TRUE(CompileEntriesBound(runtime));
    EXPECT_NE(DescribeMissing(runtime).find("?GetDirect3DDevice@@"), std::string::npos);
}

TEST_F(RuntimeBindingsTest, WithNoLibraryNothingIsCalled) {
    fake.missingLibraries = {kLibraryPaths[0], kLibraryPaths[1], kLibraryPaths[2]};
    OpenRuntime(libraries, runtime);
    EXPECT_EQ(fake.CallTexts(), kLoads);
    EXPECT_FALSE(CompileEntriesBound(runtime));
    const std::string report = DescribeMissing(runtime);
    for (const char* path : kLibraryPaths) {
        EXPECT_NE(report.find(path), std::string::npos);
    }
    EXPECT_EQ(report.find("Entry point"), std::string::npos);
    CloseRuntime(libraries, runtime);
    EXPECT_EQ(fake.CallTexts(), kLoads);
}

}  // namespace
}  // namespace levelsmith
