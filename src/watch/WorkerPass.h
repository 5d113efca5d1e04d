// One pass of the watch worker: wait a check period, ask which probe to run, run it, report.
#pragma once

#include <optional>

#include "watch/WatchCycle.h"

namespace vd {

// What a pass needs from its thread; every call is made on the worker.
class WorkerPort {
 public:
  virtual ~WorkerPort() = default;
  virtual bool Wait() = 0;                          // one check period; false once stopped
  virtual std::optional<ProbeKind> AskProbe() = 0;  // nothing once stopped
  virtual bool Probe(ProbeKind kind) = 0;           // may block for seconds
  virtual bool Stopped() = 0;
  virtual void Report(bool succeeded) = 0;
};

// Runs one pass; false when the worker has been stopped and must leave.
bool RunWorkerPass(WorkerPort& port);

}  // namespace vd
