#include "files/resume_program.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <span>

#include "link/byte_order.h"
#include "link/command_bytes.h"
#include "link/move_record.h"

namespace varnholt {
namespace {

constexpr int64_t kLongestPauseRecord = 250;

// The machine's state a program has set up by some offset: the last word of each speed group, setting key and
// heater channel, which heaters are on, and the speed group selected.
struct ProgramState {
  std::map<uint8_t, std::string> speeds;
  std::map<uint8_t, std::string> settings;
  std::map<uint8_t, std::string> powers;
  std::map<uint8_t, bool> heaters_on;
  uint8_t speed_group = 0;
  bool selected = false;

  void Take(std::string_view command) {
    const auto letter = static_cast<uint8_t>(command[0] & ~0x20);
    const auto code = static_cast<uint8_t>(command.size() > 1 ? command[1] : 0);
    std::string lower(command);
    lower[0] = static_cast<char>(lower[0] | 0x20);
    switch (letter) {
      case 'V':
        speeds[code] = lower;
        break;
      case 'S':
        settings[code] = lower;
        break;
      case 'T':
        powers[code] = lower;
        break;
      case 'R':
        heaters_on[static_cast<uint8_t>(command[2])] = code != 0;
        break;
      case 'F':
        speed_group = code;
        selected = true;
        break;
      default:
        break;
    }
  }
  bool AnyHeaterOn() const {
    return std::any_of(heaters_on.begin(), heaters_on.end(), [](const auto& entry) { return entry.second; });
  }
};

void PutPause(std::string& out, int64_t ms) {
  ms = std::max<int64_t>(ms, 0);
  while (ms > kLongestPauseRecord) {
    out += 'p';
    out += static_cast<char>(kLongestPauseRecord);
    ms -= kLongestPauseRecord;
  }
  out += 'p';
  out += static_cast<char>(ms);
}

void PutShortPause(std::string& out) { PutPause(out, 1); }

}  // namespace

std::optional<ResumeProgram> BuildResumeProgram(std::string_view program, const ProgramPath& path,
                                                const WirePlace& place, const AxisPosition& position,
                                                const ControllerState& machine, const Configuration& config) {
  const std::vector<PathMove>& moves = path.moves();
  if (place.move >= moves.size()) return std::nullopt;
  ResumeProgram resume;
  resume.continued_move = place.move;
  resume.partial = place.along > 0.0;
  if (resume.partial) {
    resume.copied_from = moves[place.move].end_offset;
    resume.copied_from_command = moves[place.move].last_command + 1;
  } else if (place.move > 0) {
    resume.copied_from = moves[place.move - 1].end_offset;
    resume.copied_from_command = moves[place.move - 1].last_command + 1;
  }

  // The state the program set up before the copied rest, set up again.
  ProgramState state;
  for (size_t offset = 0; offset < resume.copied_from;) {
    const auto length = static_cast<size_t>(*CommandLength(static_cast<uint8_t>(program[offset] & ~0x20)));
    state.Take(program.substr(offset, length));
    offset += length;
  }
  std::string& out = resume.bytes;
  const auto put_all = [&out](const std::map<uint8_t, std::string>& commands) {
    for (const auto& [key, command] : commands) {
      PutShortPause(out);
      out += command;
    }
  };
  put_all(state.settings);
  put_all(state.speeds);
  put_all(state.powers);
  for (const auto& [channel, on] : state.heaters_on) {
    if (!on) continue;
    PutShortPause(out);
    out += std::string{'r', 0x01, static_cast<char>(channel)};
  }
  // A wire switched on again needs its time to reach the temperature before it goes on through the material.
  if (state.AnyHeaterOn()) PutPause(out, std::llround(config.Number(Param::CzasRozgrzewania)));
  if (state.selected) {
    PutShortPause(out);
    out += std::string{'f', static_cast<char>(state.speed_group)};
  }

  auto count_commands = [](std::string_view bytes) {
    int64_t commands = 0;
    for (size_t offset = 0; offset < bytes.size(); ++commands) {
      offset += static_cast<size_t>(*CommandLength(static_cast<uint8_t>(bytes[offset] & ~0x20)));
    }
    return commands;
  };

  if (resume.partial) {
    const AxisPosition& to = moves[place.move].to;
    AxisSteps rest{};
    for (size_t axis = 0; axis < rest.size(); ++axis) {
      const int64_t steps = to[axis] - position[axis];
      if (steps < INT32_MIN || steps > INT32_MAX) return std::nullopt;
      rest[axis] = static_cast<int32_t>(steps);
    }
    // The rest of a move too short for a count of its own is no move: the wire stands at its end already.
    out += BuildMoveRecord('a', machine.profile.StepMultiplier, rest).bytes;
  }
  resume.prefix_commands = count_commands(out);
  out.append(program.substr(resume.copied_from));
  return resume;
}

}  // namespace varnholt
