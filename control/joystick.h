#pragma once
// The joystick port of the manual control panel, the direction code its position gives, and a scripted joystick
// for tests and headless runs.

#include <cstdint>
#include <deque>
#include <optional>

namespace varnholt {

// Axis values run from 0 to 65535 with the centre at 32768.
inline constexpr int32_t kJoystickCentre = 32768;

struct JoystickReading {
  uint16_t x = kJoystickCentre;
  uint16_t y = kJoystickCentre;
  uint32_t buttons = 0;  // bit values 1, 4, 8, ... of the pressed buttons
};

// What one poll of the system found.
struct JoystickPoll {
  bool present = false;                    // the system reports at least one joystick
  std::optional<JoystickReading> reading;  // joystick 1; nothing on a read error or without a joystick
};

class JoystickPort {
 public:
  virtual ~JoystickPort() = default;
  // Asks the system once whether a joystick is there and reads joystick 1.
  virtual JoystickPoll Poll() = 0;
};

// No joystick attached.
class NoJoystick final : public JoystickPort {
 public:
  JoystickPoll Poll() override { return {}; }
};

// A joystick that reports what the test sets: a reading held, or queued readings (nothing for a read error) of which
// the last stays. A joystick that is not present gives no reading and keeps its queue.
class ScriptedJoystick final : public JoystickPort {
 public:
  JoystickPoll Poll() override;

  void SetPresent(bool present) { present_ = present; }
  void Hold(const JoystickReading& reading) {
    readings_.clear();
    readings_.push_back(reading);
  }
  void HoldReadError() {
    readings_.clear();
    readings_.push_back(std::nullopt);
  }
  // Readings (nothing for a read error) given after those queued before.
  void Queue(const std::optional<JoystickReading>& reading) { readings_.push_back(reading); }
  // Polls, and the readings they took from a present joystick.
  int64_t polls() const { return polls_; }
  int64_t reads() const { return reads_; }

 private:
  bool present_ = true;
  std::deque<std::optional<JoystickReading>> readings_{JoystickReading{}};
  int64_t polls_ = 0;
  int64_t reads_ = 0;
};

// Direction codes: +1 right, -1 left, +4 up, -4 down and their sums; 8 and -8 for the buttons of bit values 8 and 4
// (PageUp, PageDown), 16 for bit value 1 (heating).
inline constexpr int kJoystickHeatingCode = 16;

// The direction code of a reading: X beyond 5000 from the centre gives +1 or -1, Y beyond it +4 (below) or -4
// (above); then the buttons of bit values 8, 4 and 1 in this order, the last pressed one winning.
int JoystickDirection(const JoystickReading& reading);

// The arm speed a deflection asks for: the larger deflection of the two axes as a share of max_rapid_speed.
int32_t JoystickSpeed(const JoystickReading& reading, int32_t max_rapid_speed);

// The jog key of a direction code (numpad keys, PageUp, PageDown); nothing for 0, 16 and unknown codes.
std::optional<int> JoystickJogKey(int code);

}  // namespace varnholt
