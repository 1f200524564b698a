#pragma once
// The control panel's joystick port over SDL2's joystick subsystem: joystick 1, polled at each read; one plugged in
// or pulled out meanwhile is noticed at the next poll.

#include <cstdint>

#include "control/joystick.h"

struct _SDL_Joystick;

namespace varnholt {

// An SDL axis value (-32768..32767, 0 at rest) as the panel reads axes: 0..65535 with the centre at 32768.
uint16_t JoystickAxisValue(int16_t sdl_value);

class SdlJoystick final : public JoystickPort {
 public:
  // Starts SDL's joystick subsystem, and nothing else of SDL; when it cannot start, no joystick is ever present.
  SdlJoystick();
  ~SdlJoystick() override;
  SdlJoystick(const SdlJoystick&) = delete;
  SdlJoystick& operator=(const SdlJoystick&) = delete;

  // SDL's joystick subsystem started.
  bool started() const { return started_; }
  // The reading: X and Y from the first two axes, button n (from 0) as bit value 1 << n; nothing when the joystick
  // is gone or has fewer than two axes.
  JoystickPoll Poll() override;

 private:
  // Updates SDL's view of the devices and lets go of a joystick that was pulled out.
  void Update();

  bool started_ = false;
  _SDL_Joystick* joystick_ = nullptr;
};

}  // namespace varnholt
