#pragma once
// Reads a machine program back: every command with its offset and arguments, and what the program does in sum.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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
  double seconds = 0.0;            // the program's time when the command has run, as the controller runs it
};

struct ProgramSummary {
  size_t commands = 0;  // a move counts once, however many groups it has
  size_t bytes = 0;
  size_t moves = 0;
  int64_t pause_ms = 0;                   // as the controller waits them (ProgramTimer)
  std::array<int64_t, 8> travel_steps{};  // by axis code, sums of the step counts' magnitudes
  std::array<int64_t, 8> net_steps{};     // by axis code, the signed sums
  double run_seconds = 0.0;               // as the controller runs it (ProgramTimer)
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

// Decodes a program handed over in pieces of any size, up to the first damage: a byte that begins no command, a
// command cut short by the end, a move group with an unknown axis code, or a move left open by the end. Each
// command goes to the sink as soon as it is whole, so a program of any length decodes in little memory. Speeds
// are read with the machine's calibration and step multiplier.
class ProgramDecoder {
 public:
  using Sink = std::function<void(const DecodedCommand&)>;
  // Keeps its own copy of the machine's calibration. Without a sink (nullptr) only the summary is made: the
  // commands are counted, not put into words. A sink that reads no text can have the words left out too.
  enum class Words { kMade, kLeftOut };
  ProgramDecoder(const ControllerState& machine, Sink sink, Words words = Words::kMade);
  ~ProgramDecoder();
  ProgramDecoder(const ProgramDecoder&) = delete;
  ProgramDecoder& operator=(const ProgramDecoder&) = delete;

  // The next bytes of the program. After the damage they are only counted.
  void Feed(std::string_view bytes);
  // The program has ended: a command cut short or a move left open is damage. Fills in the summary.
  void Finish();
  bool damaged() const;

  // The summary and damage (commands stay empty: they went to the sink).
  DecodedProgram& result();

 private:
  class Decoder;
  std::unique_ptr<Decoder> decoder_;
};

// Decodes a whole program held in memory, keeping every command.
DecodedProgram DecodeProgram(std::string_view bytes, const ControllerState& machine);
// What a program does in sum (up to its first damage), decoded without keeping its commands.
ProgramSummary SummarizeProgram(std::string_view bytes, const ControllerState& machine);

}  // namespace varnholt
