#include "census_driver.h"

#include <cstdio>

namespace buildcensus {

CensusDisplay::CensusDisplay(DisplayOps& display) : display_(display) {
    std::snprintf(displayText_, sizeof displayText_, "%s", kWindowTitle);
}

void CensusDisplay::ShowText(const char* name) {
    std::snprintf(displayText_, sizeof displayText_, "%s", name);
    // No erase: the paint's rectangle clears the previous name.
    display_.Invalidate(false);
    display_.Update();
}

CensusDriver::CensusDriver(FolderOps& folders, VersionOps& versions, ProfileOps& profile,
                           DisplayOps& display)
    : display_(display),
      census_(folders, versions, profile),
      walker_(folders, WalkOperations{
                           [this](const char* name) { display_.ShowText(name); },
                           [this](const char* folder, const char* name, const char* extension) {
                               census_.ProbeVersion(folder, name, extension);
                           },
                       }) {}

void CensusDriver::Start() {
    census_.PrepareCensusFile();
    planIndex_ = 0;
}

IdleResult CensusDriver::IdleTurn() {
    if (walker_.IsScanActive()) {
        walker_.ScanStep();
        if (!walker_.IsScanActive()) {
            walker_.ScanFinish();
            ++planIndex_;
        }
        return IdleResult::Continue;
    }
    if (planIndex_ < kPlanLength) {
        walker_.ScanStart(ScanPlan[planIndex_].folder, ScanPlan[planIndex_].extension);
        return IdleResult::Continue;
    }
    return IdleResult::Quit;
}

int CensusDriver::ExitStatus() const {
    return census_.Failed() || walker_.SkippedWalk() ? 1 : 0;
}

}  // namespace buildcensus
