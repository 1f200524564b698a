#include "link/controller_ops.h"

#include <cmath>
#include <string>

#include "geometry/clock.h"
#include "geometry/units.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {
namespace {

double Config(const MachineLink& link, Param param) { return link.config.Number(param); }

}  // namespace

void ShowLinkLost(MachineLink& link, const std::string& caption, int error) {
  if (link.lost_link_scopes > 0) {
    if (link.lost_in_scope) return;
    link.lost_in_scope = true;
  }
  const bool busy = error == kHidDeviceNotFunctioning && link.usb.present();
  CurrentOperator().ShowMessageBox(link.texts.GetText("Control", busy ? "ploterZajety" : "ploterBrakLacznosci"), true,
                                   caption);
}

namespace {

// Keeps what the host knows of the heaters it switched and the power output it chose, from a direct command that
// went out.
void NoteSent(MachineLink& link, std::string_view command) {
  const auto byte = [&command](size_t at) { return at < command.size() ? static_cast<uint8_t>(command[at]) : 0; };
  switch (command.empty() ? '\0' : command[0]) {
    case 'R':
      if (byte(2) < 8) {
        const auto bit = static_cast<HeaterChannels>(1u << byte(2));
        link.heaters_on = static_cast<HeaterChannels>(byte(1) != 0 ? link.heaters_on | bit : link.heaters_on & ~bit);
      }
      break;
    case 'S':
      if (byte(1) == kSettingPowerOutput) {
        link.power_output = static_cast<int32_t>(byte(2) | (byte(3) << 8) | (byte(4) << 16) | (byte(5) << 24));
      }
      break;
    case 'X':
      // A reset controller has every heater off.
      link.heaters_on = 0;
      break;
    default:
      break;
  }
}

// Writes the command; the error of the first failed write, else 0.
int Write(MachineLink& link, std::string_view bytes) {
  const bool move = bytes[0] == 'A' || bytes[0] == 'a';
  const size_t piece = move ? kMoveGroupLength : bytes.size();
  for (size_t at = 0; at < bytes.size(); at += piece) {
    if (const int result = link.usb.Write(bytes.substr(at, piece)); result != 0) return result;
  }
  NoteSent(link, bytes);
  return 0;
}

}  // namespace

int TrySend(MachineLink& link, std::string_view bytes) { return bytes.empty() ? 0 : Write(link, bytes); }

bool SendCommand(MachineLink& link, std::string_view bytes) {
  if (link.lost_link_scopes > 0 && link.lost_in_scope) return false;
  if (const int result = TrySend(link, bytes); result != 0) {
    ShowLinkLost(link, std::to_string(result), result);
    return false;
  }
  return true;
}

bool SendCommandAlways(MachineLink& link, std::string_view bytes) {
  if (!(link.lost_link_scopes > 0 && link.lost_in_scope)) return SendCommand(link, bytes);
  return TrySend(link, bytes) == 0;
}

namespace {

// Reads reply record index: 0 or the error. A read that gave the controller up (a hiccup of the bus) is made once
// more when the same controller is taken back at once: a zeroed record would tell of a machine without a program.
int ReadRecord(MachineLink& link, int index) {
  const int error = link.usb.ReadString(index);
  if (error == 0 || link.usb.present() || !link.usb.QuellmarQvExist()) return error;
  return link.usb.ReadString(index);
}

}  // namespace

bool ReadStatus(MachineLink& link) {
  const int error = ReadRecord(link, kReplyStatus);
  ApplyStatusRecord(link.state, link.usb.ReplyRecord());
  return error == 0;
}

void ReadPositions(MachineLink& link) {
  ReadRecord(link, kReplyStatus);
  ApplyPositionsRecord(link.state, link.usb.ReplyRecord(), link.separate_third_axes);
}

void ReadSpeeds(MachineLink& link) {
  ReadRecord(link, kReplySpeeds);
  ApplySpeedsRecord(link.state, link.usb.ReplyRecord());
}

void ReadHeaters(MachineLink& link) {
  if (ReadRecord(link, kReplyHeaters) == 0) ApplyHeatersRecord(link.state, link.usb.ReplyRecord());
}

void Identify(MachineLink& link) {
  ControllerState& state = link.state;
  if (link.usb.ReadString(kReplyIdentity) == 0) {
    if (const std::optional<HidDeviceInfo> device = link.usb.SelectedDevice()) {
      state.manufacturer = device->manufacturer;
      state.product = device->product;
      state.serial = device->serial;
      state.model_code = ModelCodeOf(*device);
      ApplyIdentityRecord(state, link.usb.ReplyRecord());
    }
  }
  ReadCalibration(link);
  state.profile = ProfileOf(state.model_code);
}

void ReadCalibration(MachineLink& link) {
  ControllerState& state = link.state;
  if (state.model_code == "Qe" || state.model_code == "Qo") {
    state.conveyor_jog_length = state.model_code == "Qe" ? 4850 : 8430;
    if (link.usb.ReadString(kReplyCalibration) == 0) {
      ApplyCalibrationRecord(state, link.usb.ReplyRecord());
    } else {
      state.StepScaleX = state.StepScaleY = state.StepScaleZ = 1.0;
      state.steps_per_turn6 = state.steps_per_turn2 = state.steps_per_turn7 = 50000;
    }
  } else if (state.model_code == "Qa") {
    state.conveyor_jog_length = 4618;
    state.StepScaleX = 1.6;
    state.StepScaleY = 1.5184;
    state.StepScaleZ = 1.0;
    state.steps_per_turn6 = state.steps_per_turn2 = state.steps_per_turn7 = 50000;
  } else {
    state.StepScaleX = state.StepScaleY = state.StepScaleZ = 1.0;
  }
  state.BaseScaleX = state.StepScaleX;
  state.BaseScaleY = state.StepScaleY;
  state.BaseScaleZ = state.StepScaleZ;
  ApplyCalibration(state, Config(link, Param::feKalibracjaX), Config(link, Param::feKalibracjaY),
                   Config(link, Param::feKalibracjaZ));
}

void ApplyCalibration(ControllerState& state, double x, double y, double z) {
  state.StepScaleX = state.BaseScaleX + x / 100.0;
  state.StepScaleY = state.BaseScaleY + y / 100.0;
  state.StepScaleZ = state.BaseScaleZ + z / 100.0;
}

void ReadExtra(MachineLink& link) {
  // A failed read only loses the service values; the calibration stays as identification left it.
  if (link.usb.ReadString(kReplyExtra) == 0) {
    ApplyExtraRecord(link.state, link.usb.ReplyRecord());
  } else {
    link.state.extra1 = link.state.extra2 = 0;
  }
}

bool NoteStop(MachineLink& link) {
  if (CurrentOperator().TakeStopInput()) link.gate.RequestStop();
  if ((link.state.button_presses & kStatusStopButton) != 0) {
    link.state.button_presses &= ~kStatusStopButton;
    link.gate.RequestStop();
  }
  return link.gate.stop_requested();
}

bool WaitIdle(MachineLink& link) {
  link.state.waiting = true;
  const int64_t start = CurrentClock().NowMs();
  SleepMs(1);
  ReadStatus(link);
  bool idle = true;
  bool halted = false;
  while (link.state.Has(kStatusMoving)) {
    if (CurrentClock().NowMs() - start >= link.wait_limit_ms) {
      idle = false;
      break;
    }
    // A Stop halts a manual move; the running operation ends on it afterwards.
    if (NoteStop(link) && !halted) {
      halted = true;
      SendCommandAlways(link, StopMoveCommand());
    }
    SleepMs(1);
    ReadStatus(link);
  }
  link.state.waiting = false;
  return idle;
}

bool WaitMs(MachineLink& link, double ms) {
  // Slices short enough that a Stop ends a warm-up at once, long enough to cost a virtual clock little.
  constexpr double kSliceMs = 10.0;
  const int64_t end = CurrentClock().NowMs() + static_cast<int64_t>(nearest(std::fmax(ms, 0.0)));
  while (!NoteStop(link)) {
    const int64_t left = end - CurrentClock().NowMs();
    if (left <= 0) return true;
    SleepMs(std::fmin(static_cast<double>(left), kSliceMs));
  }
  return false;
}


bool IsModelQo(const ControllerState& state) { return state.IsModelQo(); }

double PowerFactor(const ControllerState& state, int output) {
  if (output == 0) return 1.0;
  if (output == 5) return state.vertical_power_factor;
  return 0.0;
}

SpeedMaxima ModelSpeedMaxima(const ControllerState& state) {
  return SpeedMaxima{static_cast<double>(state.profile.max_work_speed), static_cast<double>(state.profile.max_rapid_speed),
                     static_cast<double>(state.profile.max_conveyor_speed)};
}

}  // namespace varnholt
