#include "control/joystick.h"

#include <algorithm>
#include <cstdlib>

#include "geometry/units.h"
#include "link/controller_ops.h"

namespace varnholt {
namespace {

constexpr int32_t kDeadBand = 5000;

}  // namespace

JoystickPoll ScriptedJoystick::Poll() {
  ++polls_;
  if (!present_) return {};
  ++reads_;
  JoystickPoll poll{true, JoystickReading{}};
  if (readings_.empty()) return poll;
  poll.reading = readings_.front();
  if (readings_.size() > 1) readings_.pop_front();
  return poll;
}

int JoystickDirection(const JoystickReading& reading) {
  int code = 0;
  if (reading.x > kJoystickCentre + kDeadBand) code = 1;
  if (reading.x < kJoystickCentre - kDeadBand) code = -1;
  if (reading.y > kJoystickCentre + kDeadBand) code -= 4;
  if (reading.y < kJoystickCentre - kDeadBand) code += 4;
  if ((reading.buttons & 8u) != 0) code = 8;
  if ((reading.buttons & 4u) != 0) code = -8;
  if ((reading.buttons & 1u) != 0) code = kJoystickHeatingCode;
  return code;
}

int32_t JoystickSpeed(const JoystickReading& reading, int32_t max_rapid_speed) {
  const int32_t deflection = std::max(std::abs(reading.x - kJoystickCentre), std::abs(reading.y - kJoystickCentre));
  return static_cast<int32_t>(nearest(static_cast<double>(deflection) / kJoystickCentre * max_rapid_speed));
}

std::optional<int> JoystickJogKey(int code) {
  switch (code) {
    case 1:
      return kKeyNumpad6;
    case 3:
      return kKeyNumpad7;
    case 4:
      return kKeyNumpad8;
    case 5:
      return kKeyNumpad9;
    case -1:
      return kKeyNumpad4;
    case -3:
      return kKeyNumpad3;
    case -4:
      return kKeyNumpad2;
    case -5:
      return kKeyNumpad1;
    case 8:
      return kKeyPageUp;
    case -8:
      return kKeyPageDown;
    default:
      return std::nullopt;
  }
}

}  // namespace varnholt
