// A main window stand-in that records what the watch reads and writes, in order.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "text/Texts.h"
#include "watch/WatchUi.h"

namespace vd::testing {

inline std::string Hex(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%06x", static_cast<unsigned>(value));
  return buffer;
}

class FakeUi : public WatchUi {
 public:
  Text periodText = "5";
  Text lengthText = "60";
  int web = 1;
  int ping = 0;
  int force = 0;
  Text label;
  uint32_t colour = kRed;  // what a fresh label holds
  int timerPeriod = 1000;
  std::vector<std::string> log;

  Text PeriodText() override {
    log.push_back("read period");
    return periodText;
  }
  Text LengthText() override {
    log.push_back("read length");
    return lengthText;
  }
  int WebChecked() override {
    log.push_back("read web");
    return web;
  }
  int PingChecked() override {
    log.push_back("read ping");
    return ping;
  }
  int ForceChecked() override {
    log.push_back("read force");
    return force;
  }
  void SetLabelText(const Text& text) override {
    label = text;
    log.push_back("text " + text);
  }
  void SetLabelColour(uint32_t value) override {
    colour = value;
    log.push_back("colour " + Hex(value));
  }
  uint32_t LabelColour() override {
    log.push_back("read colour");
    return colour;
  }
  void SetTimerPeriod(int milliseconds) override {
    timerPeriod = milliseconds;
    log.push_back("timer " + std::to_string(milliseconds));
  }
};

// The writes each transition must make, in this order.
inline std::vector<std::string> NormalWrites() {
  return {"colour ff0000", std::string("text ") + texts::kStatusNormal, "timer 0"};
}
inline std::vector<std::string> AlarmWrites() {
  return {"read colour", "colour 0000ff", std::string("text ") + texts::kStatusAlarm, "timer 1000"};
}
inline std::string CountdownText(int n) {
  return std::string(texts::kCountdownPrefix) + std::to_string(n);
}

}  // namespace vd::testing
