// The user actions the soak repeats, one function per action, each driving the running
// launcher through one round of it.
#pragma once

#include "tests/tools/launcher_run.h"

struct SoakLoop {
    const char* name;
    int fullRounds;                          // rounds in the full run; the short run does 100
    bool (*round)(const LauncherRun& run);   // one round; false when the launcher did not respond
};

extern const SoakLoop kSoakLoops[];
extern const int kSoakLoopCount;
