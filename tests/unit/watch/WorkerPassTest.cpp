#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "watch/WorkerPass.h"

namespace vd {
namespace {

// A worker thread stand-in: `stopAt` names the step during which the worker gets stopped.
class FakePort : public WorkerPort {
 public:
  std::string stopAt;
  std::optional<ProbeKind> kind = ProbeKind::kPing;
  bool result = true;
  std::vector<std::string> log;

  bool Wait() override {
    log.push_back("wait");
    return Step("wait");
  }
  std::optional<ProbeKind> AskProbe() override {
    log.push_back("ask");
    if (!Step("ask")) return std::nullopt;
    return kind;
  }
  bool Probe(ProbeKind k) override {
    log.push_back(k == ProbeKind::kWeb ? "probe web" : "probe ping");
    Step("probe");
    return result;
  }
  bool Stopped() override { return stopped_; }
  void Report(bool succeeded) override { log.push_back(succeeded ? "report 1" : "report 0"); }

 private:
  bool Step(const std::string& name) {
    if (name == stopAt) stopped_ = true;
    return !stopped_;
  }
  bool stopped_ = false;
};

struct Pass {
  const char* name;
  std::string stopAt;
  std::optional<ProbeKind> kind;
  bool result;
  bool goesOn;
  std::vector<std::string> log;
};

class WorkerPassTest : public ::testing::TestWithParam<Pass> {};

TEST_P(WorkerPassTest, StepsInOrder) {
  FakePort port;
  port.stopAt = GetParam().stopAt;
  port.kind = GetParam().kind;
  port.result = GetParam().result;
  EXPECT_EQ(RunWorkerPass(port), GetParam().goesOn);
  EXPECT_EQ(port.log, GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkerPassTest,
    ::testing::Values(
        Pass{"PingSucceeds",
             "",
             ProbeKind::kPing,
             true,
             true,
             {"wait", "ask", "probe ping", "report 1"}},
        Pass{
            "WebFails", "", ProbeKind::kWeb, false, true, {"wait", "ask", "probe web", "report 0"}},
        Pass{"NeitherChecked", "", ProbeKind::kNone, true, true, {"wait", "ask"}},
        Pass{"StoppedWhileWaiting", "wait", ProbeKind::kPing, true, false, {"wait"}},
        Pass{"StoppedWhileAsking", "ask", ProbeKind::kPing, true, false, {"wait", "ask"}},
        // The abandoned probe's result is never reported.
        Pass{"StoppedDuringProbe",
             "probe",
             ProbeKind::kWeb,
             true,
             false,
             {"wait", "ask", "probe web"}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vd
