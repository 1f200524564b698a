#pragma once
// The program that resumes an interrupted cut from where the wire stands: the machine's state at that place of the
// program set up again with the cutting wire heated, the rest of the move the wire stands on, then the rest of the
// program as it is.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/parameters.h"
#include "files/wire_place.h"
#include "link/controller_state.h"

namespace varnholt {

struct ResumeProgram {
  std::string bytes;
  // The move of the program the resumed one begins with: it finishes that move (partial) or runs it whole.
  size_t continued_move = 0;
  bool partial = false;
  // The rest of the program is copied from this offset on; the resumed program holds prefix_commands commands
  // before it, and the program copied_from_command.
  size_t copied_from = 0;
  int64_t prefix_commands = 0;
  int64_t copied_from_command = 0;

  // The program's commands a controller that received `received` commands of the resumed program has received:
  // the commands before the copy, and as many of the copied ones as reached it (an upper bound for a count that
  // is one).
  int64_t ProgramCommands(int64_t received) const {
    return copied_from_command + (received > prefix_commands ? received - prefix_commands : 0);
  }
};

// Builds the resumed program of `program` (replayed as path) for a wire standing at position, at place: the state
// the program set up before that place, each command behind a 1 ms pause (the last value of every setting key,
// speed group and heater power, the heaters on there switched on), the warm-up pause when a heater is on, the
// speed group of the place selected; then a move from position to the end of the move the place lies on (none when
// the wire stands at a move's beginning); then the program's bytes after that move, unchanged. Nothing when the
// place is the program's end or the rest of the move does not fit a move record.
std::optional<ResumeProgram> BuildResumeProgram(std::string_view program, const ProgramPath& path, const WirePlace& place,
                                 const AxisPosition& position, const ControllerState& machine,
                                 const Configuration& config);

}  // namespace varnholt
