#include "link/controller_ops.h"

#include <string>

#include "geometry/clock.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {
namespace {

double Config(const MachineLink& link, Param param) { return link.config.Number(param); }

}  // namespace

void ShowLinkLost(MachineLink& link, const std::string& caption) {
  if (link.lost_link_scopes > 0) {
    if (link.lost_in_scope) return;
    link.lost_in_scope = true;
  }
  CurrentOperator().ShowMessageBox(link.texts.GetText("Control", "ploterBrakLacznosci"), true, caption);
}

bool SendCommand(MachineLink& link, std::string_view bytes) {
  if (link.lost_link_scopes > 0 && link.lost_in_scope) return false;
  if (bytes.empty()) return true;
  const bool move = bytes[0] == 'A' || bytes[0] == 'a';
  const size_t piece = move ? kMoveGroupLength : bytes.size();
  for (size_t at = 0; at < bytes.size(); at += piece) {
    const int result = link.usb.Write(bytes.substr(at, piece));
    if (result != 0) {
      ShowLinkLost(link, std::to_string(result));
      return false;
    }
  }
  return true;
}

void ReadStatus(MachineLink& link) {
  link.usb.ReadString(kReplyStatus);
  ApplyStatusRecord(link.state, link.usb.ReplyRecord());
}

void ReadPositions(MachineLink& link) {
  link.usb.ReadString(kReplyStatus);
  ApplyPositionsRecord(link.state, link.usb.ReplyRecord(), link.separate_third_axes);
}

void ReadSpeeds(MachineLink& link) {
  link.usb.ReadString(kReplySpeeds);
  ApplySpeedsRecord(link.state, link.usb.ReplyRecord());
}

void ReadHeaters(MachineLink& link) {
  if (link.usb.ReadString(kReplyHeaters) == 0) ApplyHeatersRecord(link.state, link.usb.ReplyRecord());
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

bool WaitIdle(MachineLink& link) {
  link.state.waiting = true;
  const int64_t start = CurrentClock().NowMs();
  SleepMs(1);
  ReadStatus(link);
  bool idle = true;
  while (link.state.Has(kStatusMoving)) {
    if (CurrentClock().NowMs() - start >= link.wait_limit_ms) {
      idle = false;
      break;
    }
    SleepMs(1);
    ReadStatus(link);
    CurrentOperator().TakePendingInput();  // input given during a move is dropped
  }
  link.state.waiting = false;
  return idle;
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
