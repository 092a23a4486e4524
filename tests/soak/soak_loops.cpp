#include "soak_loops.h"

#include "res/resource.h"

namespace {

// The tray menu's "Import Planned Sessions": request, merge and write of the host list.
bool ImportPlannedSessions(const LauncherRun& run)
{
    return run.Command(ID_IMPORT_PLANNED);
}

} // namespace

const SoakLoop kSoakLoops[] = {
    {"import planned sessions", 1000, ImportPlannedSessions},
};
const int kSoakLoopCount = sizeof kSoakLoops / sizeof kSoakLoops[0];
