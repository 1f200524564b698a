#include "link/command_bytes.h"

#include <array>

#include "link/byte_order.h"

namespace varnholt {
namespace {

// Lengths of "@" (0x40) to "Z" (0x5A).
constexpr std::array<int, 27> kLengths = {
    1,  // @
    6, 2, 1, 1, 1, 2, 1, 2, 2, 1, 1, 3, 1,  // A..M
    4, 1, 2, 1, 3, 6, 3, 7, 4, 1, 1, 1, 1,  // N..Z
};

CommandBytes Letter(char letter) { return CommandBytes(1, letter); }

CommandBytes LetterByte(char letter, uint8_t value) {
  CommandBytes bytes(1, letter);
  bytes.push_back(static_cast<char>(value));
  return bytes;
}

}  // namespace

std::optional<int> CommandLength(uint8_t letter) {
  const uint8_t upper = static_cast<uint8_t>(letter & ~0x20u);
  if (upper < '@' || upper > 'Z') return std::nullopt;
  return kLengths[static_cast<size_t>(upper - '@')];
}

CommandBytes ResetCommand() { return Letter('X'); }
CommandBytes StopMoveCommand() { return Letter('Y'); }
CommandBytes StopCommand() { return Letter('Q'); }
CommandBytes GoCommand() { return Letter('G'); }
CommandBytes ResumeCommand() { return Letter('K'); }
CommandBytes ClearProgramCommand() { return Letter('C'); }

CommandBytes HomeCommand(int32_t argument) {
  CommandBytes bytes = Letter('N');
  AppendI32(bytes, argument);
  return bytes;
}

CommandBytes HomeStepCommand(uint8_t axis_mask) { return LetterByte('B', axis_mask); }

CommandBytes SetStartPointCommand(int32_t x_steps, int32_t y_steps) {
  CommandBytes bytes = Letter('U');
  AppendI32(bytes, x_steps);
  AppendI32(bytes, y_steps);
  return bytes;
}

CommandBytes SetSpeedCommand(uint8_t group, uint16_t period) {
  CommandBytes bytes = LetterByte('V', group);
  AppendU16(bytes, period);
  return bytes;
}

CommandBytes SelectSpeedCommand(uint8_t group) { return LetterByte('F', group); }

CommandBytes HeaterOnCommand(uint8_t channel) {
  CommandBytes bytes = LetterByte('R', 0x01);
  bytes.push_back(static_cast<char>(channel));
  return bytes;
}

CommandBytes HeaterOffCommand(uint8_t channel) {
  CommandBytes bytes = LetterByte('R', 0x00);
  bytes.push_back(static_cast<char>(channel));
  return bytes;
}

CommandBytes HeaterPowerCommand(uint8_t channel, uint8_t power) {
  CommandBytes bytes = LetterByte('T', channel);
  bytes.push_back(static_cast<char>(power));
  return bytes;
}

CommandBytes SettingCommand(uint8_t key, int32_t value) {
  CommandBytes bytes = LetterByte('S', key);
  AppendI32(bytes, value);
  return bytes;
}

}  // namespace varnholt
