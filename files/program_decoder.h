#pragma once
// Reads a machine program back: every command with its offset and arguments, and what the program does in sum.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/controller_state.h"

namespace varnholt {

struct DecodedCommand {
  size_t offset = 0;
  char letter = 0;
  std::string text;  // the decoded arguments
  std::array<int32_t, 8> steps{};  // a move's step counts by axis code
  uint8_t speed_group = 0;         // the speed group selected when the command runs (after it, for a selection)
};

struct ProgramSummary {
  size_t commands = 0;  // a move counts once, however many groups it has
  size_t bytes = 0;
  size_t moves = 0;
  int64_t pause_ms = 0;
  std::array<int64_t, 8> travel_steps{};  // by axis code, sums of the step counts' magnitudes
  std::array<int64_t, 8> net_steps{};     // by axis code, the signed sums
  double run_seconds = 0.0;               // moves at the active group's period plus the pauses
  bool ends_where_it_started = false;     // both arms are back where they began
};

struct DecodedProgram {
  std::vector<DecodedCommand> commands;
  ProgramSummary summary;
  std::optional<size_t> damage_offset;  // where the program stops making sense
  std::string damage;                   // what is wrong there
};

// The axis names by move code: 0 X1, 1 Y1, 2 belt 2, 3 belt 3, 4 X2, 5 Y2, 6 belt 1, 7 axis 7.
std::string_view AxisName(size_t code);

// Decodes bytes up to the first damage: a byte that begins no command, a command cut short by the end, a move
// group with an unknown axis code, or a move left open by the end. Speeds are read with the machine's calibration
// and step multiplier.
DecodedProgram DecodeProgram(std::string_view bytes, const ControllerState& machine);

}  // namespace varnholt
