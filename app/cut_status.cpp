#include "app/cut_status.h"

#include <algorithm>

#include "config/display_unit.h"
#include "geometry/decimal_text.h"
#include "services/interfejs.h"

namespace varnholt {
namespace {

constexpr std::string_view kSection = "Cut_view";
constexpr std::string_view kParting = " \xC2\xB7 ";

std::string_view PhaseKey(CutPhase phase) {
  switch (phase) {
    case CutPhase::kRunning:
      return "ciecieTrwa";
    case CutPhase::kPaused:
      return "ciecieWstrzymane";
    case CutPhase::kFinished:
      return "ciecieZakonczone";
    case CutPhase::kStopped:
      return "cieciePrzerwane";
    case CutPhase::kIncomplete:
      return "ciecieNiedokonczone";
    case CutPhase::kNone:
      break;
  }
  return {};
}

std::string TwoDigits(int64_t value) { return (value < 10 ? "0" : "") + std::to_string(value); }

}  // namespace

std::string ProgramTimeText(int64_t ms) {
  const int64_t seconds = (std::max<int64_t>(ms, 0) + 500) / 1000;
  const int64_t hours = seconds / 3600, minutes = seconds / 60 % 60, rest = seconds % 60;
  if (hours > 0) return std::to_string(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(rest);
  return std::to_string(minutes) + ":" + TwoDigits(rest);
}

std::string CutStatusText(const CutProgress& progress, const WirePosition& wire, const tInterfejs& texts) {
  std::string line;
  const auto add = [&line](const std::string& part) {
    if (!line.empty()) line += kParting;
    line += part;
  };
  if (progress.phase() != CutPhase::kNone) {
    add(texts.GetText(kSection, PhaseKey(progress.phase())) + " " + std::to_string(progress.percent()) + "%");
    add(ProgramTimeText(progress.elapsed_ms()) + " / " + ProgramTimeText(progress.total_ms()));
    if (progress.active()) add(texts.GetText(kSection, "pozostalo") + " " + ProgramTimeText(progress.remaining_ms()));
  }
  if (wire.known) {
    const int decimals = wire.unit == kUnitMm ? 2 : 3;
    add("X " + DecimalText(FromMillimetres(wire.x_mm, wire.unit), decimals) + "  Y " +
        DecimalText(FromMillimetres(wire.y_mm, wire.unit), decimals) + " " + std::string(UnitName(wire.unit)));
  }
  return line;
}

}  // namespace varnholt
