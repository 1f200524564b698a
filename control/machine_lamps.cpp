#include "control/machine_lamps.h"

#include <utility>

#include "config/display_unit.h"
#include "geometry/decimal_text.h"

namespace varnholt {
namespace {

// The bit of a heaters record entry that says the channel is switched on.
constexpr int32_t kHeaterOnBit = 1 << 16;

}  // namespace

std::string PositionsText(const MachineLamps& lamps, int unit) {
  const int decimals = unit == kUnitMm ? 2 : 3;
  std::string text;
  const std::pair<const char*, int32_t> axes[] = {
      {"X1", lamps.X1}, {"Y1", lamps.Y1}, {"X2", lamps.X2}, {"Y2", lamps.Y2}};
  for (const auto& [name, hundredths] : axes) {
    if (!text.empty()) text += "  ";
    text += std::string(name) + " " + DecimalText(FromMillimetres(hundredths / 100.0, unit), decimals);
  }
  return text;
}

MachineLamps LampsOf(const ControllerState& state, bool connected, const MachineLamps& before) {
  MachineLamps lamps;
  lamps.homing = before.homing;
  lamps.homing_end = before.homing_end;
  lamps.connected = connected;
  if (!connected) return lamps;
  lamps.model = state.model_code;
  lamps.homed = state.Has(kStatusHomed);
  lamps.X1 = state.X1;
  lamps.Y1 = state.Y1;
  lamps.X2 = state.X2;
  lamps.Y2 = state.Y2;
  lamps.paused = state.Has(kStatusPaused);
  // A paused program still runs on the controller; the lamp shows one of the two.
  lamps.program_running = state.Has(kStatusProgramRunning) && !lamps.paused;
  // The heating bit is fresh with every status; the heaters record says which heater is on.
  const bool heating = state.Has(kStatusHeating);
  const auto on = [&state](uint8_t channel) { return (state.heater_table[channel] & kHeaterOnBit) != 0; };
  lamps.horizontal_wire_hot = heating && (on(kHorizontalWireChannel) || on(kManualWireChannel));
  lamps.vertical_wire_hot = heating && on(kVerticalWireChannel);
  lamps.wire_broken = state.Has(kStatusWireBroken);
  lamps.buffer_full = state.Has(kStatusBufferFull);
  return lamps;
}

}  // namespace varnholt
