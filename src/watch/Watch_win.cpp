#include <atomic>
#include <optional>
#include <utility>

#include "watch/Delay.h"
#include "watch/DueTime.h"
#include "watch/Ping.h"
#include "watch/Shutdown.h"
#include "watch/Watch.h"
#include "watch/WinHandle.h"
#include "watch/WorkerPass.h"

namespace vd {

// Everything a worker thread touches lives here, so a stopped worker finishing an abandoned probe
// never reaches into the Watch. The thread holds one reference for its whole life.
struct WatchWorker {
  uint32_t id = 0;
  HWND window = nullptr;
  int32_t period = 0;
  std::function<bool()> webProbe;
  std::function<bool()> pingProbe;
  UniqueHandle stop;      // manual reset, set once when the worker is stopped
  UniqueHandle answered;  // auto reset, set by the user-interface thread after each answer
  std::atomic<int> answer{static_cast<int>(ProbeKind::kNone)};
};

namespace {

// The radio buttons are read on the user-interface thread: the worker posts a query and waits
// for the answer event or its stop handle, so the user-interface thread never waits for it.
class ThreadPort : public WorkerPort {
 public:
  explicit ThreadPort(WatchWorker& worker) : w_(worker) {}

  bool Wait() override { return InterruptibleDelay(w_.period, kSeconds, w_.stop.Get()); }

  std::optional<ProbeKind> AskProbe() override {
    if (!::PostMessageA(w_.window, kMsgWatchProbeQuery, w_.id, 0)) {
      if (!::IsWindow(w_.window)) return std::nullopt;
      return ProbeKind::kNone;  // queue full: skip this pass
    }
    const HANDLE handles[2] = {w_.stop.Get(), w_.answered.Get()};
    if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
      return std::nullopt;
    }
    return static_cast<ProbeKind>(w_.answer.load());
  }

  bool Probe(ProbeKind kind) override {
    const std::function<bool()>& probe = kind == ProbeKind::kWeb ? w_.webProbe : w_.pingProbe;
    return probe && probe();
  }

  bool Stopped() override { return ::WaitForSingleObject(w_.stop.Get(), 0) == WAIT_OBJECT_0; }

  void Report(bool succeeded) override {
    ::PostMessageA(w_.window, kMsgWatchProbeResult, w_.id, succeeded ? 1 : 0);
  }

 private:
  WatchWorker& w_;
};

DWORD WINAPI WorkerMain(void* parameter) {
  const std::unique_ptr<std::shared_ptr<WatchWorker>> worker(
      static_cast<std::shared_ptr<WatchWorker>*>(parameter));
  ThreadPort port(**worker);
  while (RunWorkerPass(port)) {
  }
  return 0;
}

}  // namespace

WatchServices RealWatchServices(std::function<bool()> webProbe) {
  return {std::move(webProbe), PingProbe, {ForcedShutdown, PlainShutdown}};
}

Watch::Watch(HWND window, WatchUi& ui, WatchServices services)
    : window_(window), ui_(ui), services_(std::move(services)) {}

Watch::~Watch() { Stop(); }

// A worker that cannot be started leaves the watch without one until the next apply.
void Watch::Apply() {
  Stop();
  const uint32_t id = cycle_.Apply(ui_);
  auto worker = std::make_shared<WatchWorker>();
  worker->id = id;
  worker->window = window_;
  worker->period = cycle_.Period();
  worker->webProbe = services_.webProbe;
  worker->pingProbe = services_.pingProbe;
  worker->stop.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  worker->answered.Reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!worker->stop || !worker->answered) {
    cycle_.Stop();
    return;
  }
  auto* parameter = new std::shared_ptr<WatchWorker>(worker);
  // The thread handle is closed at once: nobody ever waits for a worker.
  UniqueHandle thread(::CreateThread(nullptr, 0, WorkerMain, parameter, 0, nullptr));
  if (!thread) {
    delete parameter;
    cycle_.Stop();
    return;
  }
  current_ = std::move(worker);
}

// No thread is killed (one killed inside the heap or WinINet could hang the process): the stop
// handle wakes its waits, and the identity check drops anything it still sends.
void Watch::Stop() {
  if (current_) {
    ::SetEvent(current_->stop.Get());
    current_.reset();
  }
  cycle_.Stop();
}

void Watch::Tick() { cycle_.Tick(ui_, services_.shutdown); }

bool Watch::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto worker = static_cast<uint32_t>(wParam);
  switch (message) {
    case kMsgWatchProbeQuery:
      if (current_ && current_->id == worker) {
        if (const std::optional<ProbeKind> kind = cycle_.ChooseProbe(worker, ui_)) {
          current_->answer.store(static_cast<int>(*kind));
          ::SetEvent(current_->answered.Get());
        }
      }
      break;
    case kMsgWatchProbeResult:
      cycle_.OnProbeResult(worker, lParam != 0, ui_);
      break;
    default:
      return false;
  }
  if (result) *result = 0;
  return true;
}

}  // namespace vd
