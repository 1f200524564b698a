#pragma once
// Random schedules of what an operator and a machine do during cuts, for the timing torture tests: each seed gives
// one schedule of operator presses (Start, Stop, Continue, panel keys and buttons) and machine events (its own
// buttons, the cable, busy spells, failed reads, a broken wire) at random moments.

#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace varnholt::testing {

enum class TortureKind {
  // The operator.
  kStart,
  kStop,
  kContinue,
  kJogKey,        // a jog key held for hold_ms
  kJogButton,     // a jog button held for hold_ms
  kInsert,        // the heating key
  kHome,
  kKstop,         // the panel's stop button
  kPowerBar,      // the power bar moved to value %
  kMoveToArms,
  kAutoRepeat,    // the toggle pressed
  // The machine.
  kStartButton,
  kStopButton,
  kContinueButton,
  kUnplug,        // for hold_ms, then back
  kBusy,          // value failed writes
  kReadFailures,  // value failed reads
  kWireBroken,    // for hold_ms
};

struct TortureEvent {
  int64_t at_ms = 0;
  TortureKind kind = TortureKind::kStart;
  int value = 0;
  int64_t hold_ms = 0;
};

inline const char* TortureKindName(TortureKind kind) {
  static const char* const kNames[] = {"start",       "stop",        "continue",        "jog-key",    "jog-button",
                                       "insert",      "home",        "kstop",           "power-bar",  "move-to-arms",
                                       "auto-repeat", "start-button", "stop-button",    "continue-button", "unplug",
                                       "busy",        "read-fail",   "wire-broken"};
  return kNames[static_cast<int>(kind)];
}

inline bool IsOperatorEvent(TortureKind kind) { return kind <= TortureKind::kAutoRepeat; }

// The drawing every schedule cuts: a closed square of 50 mm with a hole, a cut of some twenty seconds.
inline constexpr const char* kDrawing =
    "SP1;PU0,0;PD2000,0,2000,2000,0,2000,0,0;PU500,500;PD1000,500,1000,1000,500,1000,500,500;PU;";
// The events fall within this span; then the run is left to settle within the limit.
inline constexpr int64_t kSpanMs = 90000;
inline constexpr int kEventsPerSchedule = 14;
inline constexpr int64_t kSettleLimitMs = 1'800'000;

// The schedule of a seed: a Start at once, then count events within span_ms. Starts and Stops come more often than
// the rest, since the moments between them are what is tried.
inline std::vector<TortureEvent> MakeSchedule(uint64_t seed, int count, int64_t span_ms) {
  std::mt19937_64 random(seed);
  const auto uniform = [&random](int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random);
  };
  static const TortureKind kWeighted[] = {
      TortureKind::kStart,       TortureKind::kStart,      TortureKind::kStop,        TortureKind::kStop,
      TortureKind::kStop,        TortureKind::kContinue,   TortureKind::kContinue,    TortureKind::kJogKey,
      TortureKind::kJogButton,   TortureKind::kInsert,     TortureKind::kHome,        TortureKind::kKstop,
      TortureKind::kPowerBar,    TortureKind::kMoveToArms, TortureKind::kAutoRepeat,  TortureKind::kStartButton,
      TortureKind::kStopButton,  TortureKind::kContinueButton, TortureKind::kUnplug,  TortureKind::kBusy,
      TortureKind::kReadFailures, TortureKind::kWireBroken};
  std::vector<TortureEvent> events{{0, TortureKind::kStart, 0, 0}};
  for (int i = 0; i < count; ++i) {
    TortureEvent event;
    event.at_ms = uniform(1, span_ms);
    event.kind = kWeighted[uniform(0, std::size(kWeighted) - 1)];
    switch (event.kind) {
      case TortureKind::kJogKey:
      case TortureKind::kJogButton:
        event.value = static_cast<int>(uniform(0, 3));
        event.hold_ms = uniform(1, 3000);
        break;
      case TortureKind::kPowerBar:
        event.value = static_cast<int>(uniform(0, 100));
        break;
      case TortureKind::kUnplug:
        event.hold_ms = uniform(1, 8000);
        break;
      case TortureKind::kBusy:
        event.value = static_cast<int>(uniform(1, 35));
        break;
      case TortureKind::kReadFailures:
        event.value = static_cast<int>(uniform(1, 15));
        break;
      case TortureKind::kWireBroken:
        event.hold_ms = uniform(1, 20000);
        break;
      default:
        break;
    }
    events.push_back(event);
  }
  return events;
}

inline std::string Describe(const std::vector<TortureEvent>& events) {
  std::string text;
  for (const TortureEvent& event : events) {
    text += std::to_string(event.at_ms) + "=" + TortureKindName(event.kind);
    if (event.value != 0) text += "(" + std::to_string(event.value) + ")";
    if (event.hold_ms != 0) text += "/" + std::to_string(event.hold_ms) + "ms";
    text += " ";
  }
  return text;
}

// The seeds kept in the file (one a line, "#" starts a comment): schedules that once broke an invariant.
inline std::vector<uint64_t> KeptSeeds(const std::string& path) {
  std::vector<uint64_t> seeds;
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    line = line.substr(0, line.find('#'));
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    seeds.push_back(std::stoull(line));
  }
  return seeds;
}

// How many fresh schedules a run tries: VARNHOLT_TORTURE_SCHEDULES when set, else the default; the first seed is
// VARNHOLT_TORTURE_FIRST_SEED when set, else 1.
inline int ScheduleCount(int fallback) {
  const char* text = std::getenv("VARNHOLT_TORTURE_SCHEDULES");
  return text != nullptr ? std::atoi(text) : fallback;
}
inline uint64_t FirstSeed() {
  const char* text = std::getenv("VARNHOLT_TORTURE_FIRST_SEED");
  return text != nullptr ? std::stoull(text) : 1;
}

}  // namespace varnholt::testing
