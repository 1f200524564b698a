// The joystick over SDL2, as far as it can be tried without a joystick.

#include "control/sdl/sdl_joystick.h"

#include <gtest/gtest.h>

#include <csignal>

namespace varnholt {
namespace {

TEST(SdlJoystick, AxesRunFrom0To65535AroundTheCentre) {
  EXPECT_EQ(JoystickAxisValue(-32768), 0);
  EXPECT_EQ(JoystickAxisValue(0), kJoystickCentre);
  EXPECT_EQ(JoystickAxisValue(32767), 65535);
  EXPECT_EQ(JoystickDirection({JoystickAxisValue(16384), JoystickAxisValue(0), 0}), 1) << "half right";
  EXPECT_EQ(JoystickDirection({JoystickAxisValue(0), JoystickAxisValue(-32768), 0}), 4) << "pushed away: up";
}

TEST(SdlJoystick, LeavesTheProgramsSignalsAloneAndReadsNothingWithoutAJoystick) {
  {
    SdlJoystick joystick;
    struct sigaction interrupt{};
    ASSERT_EQ(sigaction(SIGINT, nullptr, &interrupt), 0);
    EXPECT_EQ(interrupt.sa_handler, SIG_DFL) << "Ctrl+C still ends the program";
    const JoystickPoll poll = joystick.Poll();
    if (!poll.present) {
      EXPECT_FALSE(poll.reading.has_value());
    }
  }
  // Started and ended again, as each program run does once.
  SdlJoystick again;
  again.Poll();
}

}  // namespace
}  // namespace varnholt
