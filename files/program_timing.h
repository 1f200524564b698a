#pragma once
// How long the controller takes to run a machine program, taken command by command as it executes them.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace varnholt {

// Seconds of one period tick of the controller.
inline constexpr double kSecondsPerPeriodTick = 0.8e-6;

// The controller's clock over a program. A pause waits its milliseconds; a speed record sets a group's
// period; a speed selection makes a group the active one; the step count that closes a move runs that many
// interpolation steps at the active group's period. Heater, setting and every other command take no time of
// their own: the program waits for a wire with pause records. A group whose period was never set moves in no
// time.
class ProgramTimer {
 public:
  // Takes one command as the controller takes it from its buffer; a move group is a command of its own.
  void Take(std::span<const uint8_t> command);

  double seconds() const;
  int64_t pause_ms() const { return pause_ms_; }

 private:
  std::array<uint16_t, 4> periods_{};
  size_t active_group_ = 0;
  int64_t move_ticks_ = 0;
  int64_t pause_ms_ = 0;
};

// The run time of a whole program in seconds. Commands are framed by the lengths of their letters; a byte
// that begins no command, or a command cut short, ends the count there.
double ProgramRunSeconds(std::string_view program);

}  // namespace varnholt
