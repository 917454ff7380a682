#include "standin_runtime_files.h"

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "robot.h"

namespace levelsmith::testing {

bool LayOutRuntime(const std::string& folder, const std::string& steering,
                   const std::string& compilerFolder, const std::vector<std::string>& leaveOut) {
    const std::string runtime = folder + "\\runtime";
    if (!robot::MakeFolders(runtime)) {
        return false;
    }
    const std::string standins = robot::WinPath(STANDIN_RUNTIME_DIR);
    for (const char* file :
         {"QLProLevelsmith.dll", "QLProSetup.dll", "QLProCSG.dll", "viewer.exe"}) {
        if (std::find(leaveOut.begin(), leaveOut.end(), file) != leaveOut.end()) {
            continue;
        }
        const bool compiler = std::string(file) == "QLProLevelsmith.dll";
        const std::string from =
            (compiler && !compilerFolder.empty() ? compilerFolder : standins) + "\\" + file;
        if (!CopyFileA(from.c_str(), (runtime + "\\" + file).c_str(), FALSE)) {
            return false;
        }
    }
    return robot::WriteWholeFile(runtime + "\\runtime-steer.ini", "[runtime]\r\n" + steering);
}

std::vector<RuntimeLogLine> ReadRuntimeLog(const std::string& folder) {
    std::vector<RuntimeLogLine> lines;
    const auto bytes = robot::ReadWholeFile(folder + "\\runtime\\runtime-log.txt");
    if (!bytes) {
        return lines;
    }
    std::size_t at = 0;
    while (at < bytes->size()) {
        std::size_t end = bytes->find("\r\n", at);
        if (end == std::string::npos) {
            end = bytes->size();
        }
        const std::string line = bytes->substr(at, end - at);
        at = end + 2;
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = line.find('\t', tab1 + 1);
        if (tab1 == std::string::npos || tab2 == std::string::npos) {
            continue;
        }
        lines.push_back(
            {static_cast<DWORD>(std::strtoul(line.substr(0, tab1).c_str(), nullptr, 10)),
             line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
    }
    return lines;
}

std::vector<std::string> LogTexts(const std::vector<RuntimeLogLine>& lines) {
    std::vector<std::string> texts;
    for (const RuntimeLogLine& line : lines) {
        texts.push_back(line.library + " " + line.text);
    }
    return texts;
}

const RuntimeLogLine* FindLine(const std::vector<RuntimeLogLine>& lines, const std::string& library,
                               const std::string& prefix) {
    for (const RuntimeLogLine& line : lines) {
        if (line.library == library && line.text.rfind(prefix, 0) == 0) {
            return &line;
        }
    }
    return nullptr;
}

void ExpectWholeCompileLog(const std::vector<RuntimeLogLine>& log, const std::string& model,
                           const std::string& map, DWORD ui) {
    EXPECT_EQ(LogTexts(log), (std::vector<std::string>{
                                 "QLProLevelsmith.dll loaded",
                                 "QLProSetup.dll loaded",
                                 "QLProCSG.dll loaded",
                                 "QLProSetup.dll Constructor()",
                                 "QLProSetup.dll SetDisplayMode(640, 480, 16, 1)",
                                 "QLProLevelsmith.dll Constructor(QLProSetup.dll)",
                                 "QLProCSG.dll ConstructorCSG(QLProSetup.dll)",
                                 "QLProCSG.dll GetProgress()",
                                 "QLProCSG.dll CompileCSG(\"" + model + "\", \"level.dat\", " +
                                     kEpsilonLogged + ")",
                                 "QLProCSG.dll CompileCSG returns, counter 100",
                                 "QLProLevelsmith.dll GetProgress()",
                                 "QLProLevelsmith.dll CompileBSP(\"" + model + "\", \"" + map +
                                     "\", false, " + kEpsilonLogged + ", 3)",
                                 "QLProLevelsmith.dll CompileBSP returns, counter 100",
                                 "QLProCSG.dll DestructorCSG()",
                                 "QLProLevelsmith.dll Destructor()",
                                 "QLProSetup.dll Destructor()",
                                 "QLProSetup.dll unloaded",
                                 "QLProCSG.dll unloaded",
                                 "QLProLevelsmith.dll unloaded",
                             }));

    for (const RuntimeLogLine& line : log) {
        const bool pass =
            line.text.rfind("GetProgress", 0) == 0 || line.text.rfind("Compile", 0) == 0;
        EXPECT_EQ(line.thread == ui, !pass) << line.library << " " << line.text;
    }
    const RuntimeLogLine* csg = FindLine(log, "QLProCSG.dll", "CompileCSG(");
    const RuntimeLogLine* bsp = FindLine(log, "QLProLevelsmith.dll", "CompileBSP(");
    const RuntimeLogLine* csgCounter = FindLine(log, "QLProCSG.dll", "GetProgress");
    const RuntimeLogLine* bspCounter = FindLine(log, "QLProLevelsmith.dll", "GetProgress");
    ASSERT_TRUE(csg && bsp && csgCounter && bspCounter);
    EXPECT_EQ(csgCounter->thread, csg->thread);
    EXPECT_EQ(bspCounter->thread, csg->thread);
    EXPECT_NE(bsp->thread, csg->thread);
}

}  // namespace levelsmith::testing
