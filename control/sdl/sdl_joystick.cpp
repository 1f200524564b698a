#include "control/sdl/sdl_joystick.h"

#include <SDL.h>

#include <algorithm>

namespace varnholt {
namespace {

constexpr int kButtonBits = 32;

}  // namespace

uint16_t JoystickAxisValue(int16_t sdl_value) { return static_cast<uint16_t>(int32_t{sdl_value} + kJoystickCentre); }

SdlJoystick::SdlJoystick() {
  // SDL would turn Ctrl+C and SIGTERM into events of a queue nobody reads, and the program would not end.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The focus is on the panel's window, never on one of SDL's.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
  // The state is polled; events would only pile up.
  if (started_) SDL_JoystickEventState(SDL_IGNORE);
}

SdlJoystick::~SdlJoystick() {
  if (joystick_ != nullptr) SDL_JoystickClose(joystick_);
  if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

void SdlJoystick::Update() {
  SDL_JoystickUpdate();
  if (joystick_ != nullptr && SDL_JoystickGetAttached(joystick_) == SDL_FALSE) {
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
  }
}

JoystickPoll SdlJoystick::Poll() {
  JoystickPoll poll;
  if (!started_) return poll;
  Update();
  poll.present = SDL_NumJoysticks() > 0;
  if (!poll.present) return poll;
  if (joystick_ == nullptr) joystick_ = SDL_JoystickOpen(0);
  if (joystick_ == nullptr || SDL_JoystickNumAxes(joystick_) < 2) return poll;
  JoystickReading reading;
  reading.x = JoystickAxisValue(SDL_JoystickGetAxis(joystick_, 0));
  reading.y = JoystickAxisValue(SDL_JoystickGetAxis(joystick_, 1));
  const int buttons = std::min(SDL_JoystickNumButtons(joystick_), kButtonBits);
  for (int button = 0; button < buttons; ++button) {
    if (SDL_JoystickGetButton(joystick_, button) != 0) reading.buttons |= 1u << button;
  }
  poll.reading = reading;
  return poll;
}

}  // namespace varnholt
