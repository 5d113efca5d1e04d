#include "watch/WorkerPass.h"

namespace vd {

// A probe can outlast a stop; its result is then not even posted (and the user-interface thread
// would drop it anyway, by identity).
bool RunWorkerPass(WorkerPort& port) {
  if (!port.Wait()) return false;
  const std::optional<ProbeKind> kind = port.AskProbe();
  if (!kind) return false;
  if (*kind == ProbeKind::kNone) return true;
  const bool succeeded = port.Probe(*kind);
  if (port.Stopped()) return false;
  port.Report(succeeded);
  return true;
}

}  // namespace vd
