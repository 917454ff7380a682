#pragma once

#include <cstddef>

#include "census_file.h"
#include "display_ops.h"
#include "walker.h"

// The census program's logic: the fixed plan of folders, the one-line
// display, and the idle turns of the message loop that start, step and
// finish one walk after another.
namespace buildcensus {

struct PlanItem {
    const char* folder;  // relative to the starting folder; empty for that folder itself
    const char* extension;
};

// The folders walked, in this order, and the extension recorded in each.
inline constexpr PlanItem ScanPlan[] = {
    {"", "exe"},
    {"Editor", "exe"},
    {"Compiler", "exe"},
    {"Compiler\\Plugins", "dll"},
    {"Compiler\\Plugins-User", "dll"},
};
inline constexpr int kPlanLength = sizeof ScanPlan / sizeof ScanPlan[0];

inline constexpr char kWindowTitle[] = "Scanning Quillon Professional Installation...";
inline constexpr std::size_t kDisplayTextSize = 1024;

// The text the census window shows: its title at start, then the name of
// the entry last examined.
class CensusDisplay {
  public:
    explicit CensusDisplay(DisplayOps& display);
    // Makes `name` the display text and has the window repainted before
    // returning.
    void ShowText(const char* name);
    const char* DisplayText() const { return displayText_; }

  private:
    DisplayOps& display_;
    char displayText_[kDisplayTextSize];
};

enum class IdleResult { Continue, Quit };

class CensusDriver {
  public:
    CensusDriver(FolderOps& folders, VersionOps& versions, ProfileOps& profile,
                 DisplayOps& display);
    CensusDriver(const CensusDriver&) = delete;
    CensusDriver& operator=(const CensusDriver&) = delete;

    // Prepares the census file; the first idle turn then starts the plan.
    void Start();
    // One idle turn of the message loop: starts the next plan item, or walks
    // one entry (finishing the walk in the same turn when it has ended).
    // Quit once every plan item is finished.
    IdleResult IdleTurn();
    // 1 when the census file is incomplete (see CensusFile::Failed) or a
    // folder was skipped; 0 otherwise, also when the run ends early.
    int ExitStatus() const;
    const char* DisplayText() const { return display_.DisplayText(); }

  private:
    CensusDisplay display_;
    CensusFile census_;
    Walker walker_;
    int planIndex_ = 0;  // the number of plan items whose walk is finished
};

}  // namespace buildcensus
