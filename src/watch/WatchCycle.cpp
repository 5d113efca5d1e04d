#include "watch/WatchCycle.h"

#include <limits>
#include <string>

#include "text/Texts.h"

namespace vd {

uint32_t WatchCycle::Apply(WatchUi& ui) {
  length_ = TextToInt(ui.LengthText());
  period_ = TextToInt(ui.PeriodText());
  counter_ = length_;
  // Identities are never reused within a run (0 stays "none"), so a late message of any earlier
  // worker can never pass for the current one.
  if (++lastIssued_ == 0) ++lastIssued_;
  current_ = lastIssued_;
  return current_;
}

// The web page wins when both radio buttons are checked; neither means the pass probes nothing.
std::optional<ProbeKind> WatchCycle::ChooseProbe(uint32_t worker, WatchUi& ui) const {
  if (!IsCurrent(worker)) return std::nullopt;
  if (ui.WebChecked() == 1) return ProbeKind::kWeb;
  if (ui.PingChecked() == 1) return ProbeKind::kPing;
  return ProbeKind::kNone;
}

// The label colour is the memory of a shown Alarm: only a blue label turns red and starts the
// countdown, so repeated failures leave the running countdown alone.
void WatchCycle::OnProbeResult(uint32_t worker, bool succeeded, WatchUi& ui) {
  if (!IsCurrent(worker)) return;
  if (succeeded) {
    state_ = kWatchNormal;
    counter_ = length_;
    ui.SetLabelColour(kBlue);
    ui.SetLabelText(texts::kStatusNormal);
    ui.SetTimerPeriod(0);
    return;
  }
  state_ = kWatchAlarm;
  if (ui.LabelColour() == kBlue) {
    ui.SetLabelColour(kRed);
    ui.SetLabelText(texts::kStatusAlarm);
    ui.SetTimerPeriod(kCountdownPeriodMs);
  }
}

// The counter runs on below zero while shutdown is refused, so every later tick asks again. It
// stops at the smallest 32-bit value instead of wrapping round to a huge positive count.
void WatchCycle::Tick(WatchUi& ui, const ShutdownActions& shutdown) {
  if (state_ != kWatchAlarm) return;
  if (counter_ != std::numeric_limits<int32_t>::min()) --counter_;
  ui.SetLabelText(Text(texts::kCountdownPrefix) + std::to_string(counter_));
  if (counter_ > 0) return;
  const std::function<void()>& request = ui.ForceChecked() == 1 ? shutdown.forced : shutdown.plain;
  if (request) request();
}

}  // namespace vd
