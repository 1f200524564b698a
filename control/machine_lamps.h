#pragma once
// The machine's state as the main window's lamps show it: plain values the status step and the homing fill
// in.

#include <cstdint>
#include <string>

#include "link/controller_state.h"

namespace varnholt {

// How the last homing ended.
enum class HomingEnd { kNone, kFinished, kInterrupted };

struct MachineLamps {
  bool connected = false;
  std::string model;  // the model code of the controller found; empty when none
  bool homed = false;
  bool homing = false;
  HomingEnd homing_end = HomingEnd::kNone;
  // Positions in hundredths of a millimetre (followed during a homing).
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  bool program_running = false;
  bool paused = false;
  // The heater that is on: the horizontal wire of the arms, the vertical wires.
  bool horizontal_wire_hot = false;
  bool vertical_wire_hot = false;
  bool wire_broken = false;
  bool buffer_full = false;

  friend bool operator==(const MachineLamps&, const MachineLamps&) = default;
};

// The positions of the arms as the homing lamp follows them, in the display unit: "X1 12.50  Y1 0.00  X2
// ...".
std::string PositionsText(const MachineLamps& lamps, int unit);

// The lamps of the state read last. The homing fields are the caller's: they are taken over from before.
MachineLamps LampsOf(const ControllerState& state, bool connected, const MachineLamps& before);

}  // namespace varnholt
