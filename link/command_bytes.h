#pragma once
// The byte strings of the controller's commands. A command is its letter, usually a sub-code byte and
// little-endian arguments; its total length follows from the letter.

#include <cstdint>
#include <optional>
#include <string>

namespace varnholt {

// Command bytes are kept in a std::string; they are raw bytes, not text.
using CommandBytes = std::string;

// The total length of a command by its letter, without regard to case ("a" is 6 like "A"); nothing for a byte
// outside "@".."Z".
std::optional<int> CommandLength(uint8_t letter);

// Lengths of the two commands that are only ever sent directly and are longer there than in a stored program.
inline constexpr int kDirectSetStartPointLength = 9;
inline constexpr int kDirectHomeLength = 5;

// Keys of the Setting command.
enum SettingKey : uint8_t {
  kSettingHeavyMaterial = 2,
  kSettingPowerOutput = 4,
  kSettingStepMultiplier = 5,
  kSettingUnit = 6,
  kSettingFirmwareRead = 8,
  kSettingFirmwareErase = 9,
  kSettingFirmwareWrite = 10,
  kSettingFirmwareRestart = 11,
};

// The value of Setting key 8 that starts reading or writing at the beginning of the program memory.
inline constexpr int32_t kFirmwareStartAddress = 0x2000000;

CommandBytes ResetCommand();       // "X"
CommandBytes StopMoveCommand();    // "Y"
CommandBytes StopCommand();        // "Q"
CommandBytes GoCommand();          // "G"
CommandBytes ResumeCommand();      // "K"
CommandBytes ClearProgramCommand();  // "C"
CommandBytes HomeCommand(int32_t argument);              // "N" int32
CommandBytes HomeStepCommand(uint8_t axis_mask);         // "B" mask
CommandBytes SetStartPointCommand(int32_t x_steps, int32_t y_steps);  // "U" int32 int32
CommandBytes SetSpeedCommand(uint8_t group, uint16_t period);        // "V" group uint16
CommandBytes SelectSpeedCommand(uint8_t group);                      // "F" group
CommandBytes HeaterOnCommand(uint8_t channel);                       // "R" 01 channel
CommandBytes HeaterOffCommand(uint8_t channel);                      // "R" 00 channel
CommandBytes HeaterPowerCommand(uint8_t channel, uint8_t power);     // "T" channel power
CommandBytes SettingCommand(uint8_t key, int32_t value);             // "S" key int32

}  // namespace varnholt
