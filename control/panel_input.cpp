// The control panel's keys and jog buttons.

#include <utility>

#include "control/speed_bars.h"
#include "control/tster.h"
#include "link/machine_hold.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {
namespace {

int JogKeyOf(JogButton button) {
  switch (button) {
    case JogButton::ku:
      return kKeyNumpad8;
    case JogButton::kd:
      return kKeyNumpad2;
    case JogButton::kl:
      return kKeyNumpad4;
    case JogButton::kr:
      return kKeyNumpad6;
    case JogButton::ktl:
      return kKeyComma;
    case JogButton::ktr:
      return kKeyPeriod;
    case JogButton::kstop:
      break;
  }
  return 0;
}

}  // namespace

void Tster::SetSpeedFromBar(int32_t speed) { SetSpeed(link_, PeriodFromSpeed(link_.state, speed)); }

bool Tster::BeginJog(int key) {
  const MachineHold hold(link_, MachineOperation::kJog);
  if (!hold) return false;
  // The jog keeps the machine until its key or button is let go; the heaters it switches on go off then.
  link_.gate.Keep(MachineOperation::kJog, link_.heaters_on, link_.power_output);
  positions_due_ = true;
  Jog(link_, key);
  return true;
}

void Tster::EndJog(bool arm_jog) {
  const HeaterChannels before = link_.gate.heaters_when_kept();
  const int32_t output_before = link_.gate.output_when_kept();
  const MachineHold hold(link_, MachineOperation::kJog);
  EndAtLostLink scope(link_);
  // A program found running (a controller that went away and came back running one) owns the machine: the jog's
  // move is not going on under it, and nothing is sent.
  const bool program_runs = ReadStatus(link_) && ProgramRuns();
  if (!program_runs) {
    SendCommandAlways(link_, StopMoveCommand());
    if (arm_jog) FinishJog();
  }
  link_.gate.Release(MachineOperation::kJog);
  if (!program_runs) SwitchOffHeatersSince(link_, before, output_before);
}

void Tster::AbandonJog() {
  jog_in_progress_ = false;
  joystick_code_ = 0;
  link_.gate.Release(MachineOperation::kJog);
}

bool Tster::KeyDown(const PanelKey& key) {
  const int code = PanelKeyMeaning(key);
  const bool repeated = key.auto_repeat || code == last_key_;
  last_key_ = code;
  EndAtLostLink scope(link_);
  if (code == kKeySpace) {
    // Stop, as everywhere in the program: no control of the panel takes the key.
    if (!repeated) main_window_.StopRequested();
    return true;
  }
  if (code == kKeyControl) {
    // Held Ctrl moves at a tenth of the bar's speed; under a running program nothing is sent for it.
    if (!repeated) {
      ctrl_speed_set_ = ReadStatus(link_) && !ProgramRuns() && link_.gate.kept() == MachineOperation::kNone;
      if (ctrl_speed_set_) {
        ctrl_saved_speed_ = link_.panel.speed;
        const MachineHold hold(link_, MachineOperation::kSpeedOrPower);
        SetSpeedFromBar(link_.panel.speed / 10);
      }
    }
    return true;
  }
  if (jog_in_progress_) return true;
  if (IsJogKey(code)) {
    if (repeated) return true;
    jog_in_progress_ = BeginJog(code);
    return true;
  }
  Operator& op = CurrentOperator();
  switch (code) {
    case kKeyHome:
      if (!repeated) bazujClick();
      return true;
    case kKeyNumpad5:
      if (ReadStatus(link_) && !ProgramRuns()) StopMove(link_);
      return true;
    case kKeyInsert:
    case kKeyNumpad0:
      // A held key toggles the heating once.
      if (repeated) return true;
      {
        MachineHold hold(link_, MachineOperation::kHeating);
        if (!hold) return true;
        hold.KeepHeat();
        op.Repaint();
        ReadStatus(link_);
        HeatingToggle(link_);
        RefreshHeatingButtons();
      }
      op.Repaint();
      return true;
    case kKeyNumpadPlus:
    case kKeyNumpadMinus: {
      const MachineHold hold(link_, MachineOperation::kSpeedOrPower);
      if (!hold) return true;
      const int32_t speed = NumpadSpeedChange(link_.panel.speed, code == kKeyNumpadPlus,
                                              link_.state.profile.max_rapid_speed);
      ShowArmSpeed(speed);
      SetSpeedFromBar(speed);
      op.Repaint();
      return true;
    }
    case kKeyE:
      if (!key.alt || key.ctrl || key.shift) return false;
      view_.btnUpgrade_visible = !view_.btnUpgrade_visible;
      return true;
    case kKeyF1:
    case kKeyF12:
      if (!(key.ctrl && key.alt && key.shift)) return false;
      if (code == kKeyF1) view_.test_panel_visible = !view_.test_panel_visible;
      if (code == kKeyF12) view_.service_panel_visible = !view_.service_panel_visible;
      return true;
    default:
      return false;
  }
}

bool Tster::KeyUp(const PanelKey& key) {
  // Auto-repeat sends releases too; only the real one ends what the press started.
  if (key.auto_repeat) return true;
  const int code = PanelKeyMeaning(key);
  if (code == kKeySpace) {
    if (code == last_key_) last_key_ = 0;
    return true;
  }
  if (code == kKeyControl) {
    if (std::exchange(ctrl_speed_set_, false)) {
      const MachineHold hold(link_, MachineOperation::kSpeedOrPower);
      EndAtLostLink scope(link_);
      SetSpeedFromBar(ctrl_saved_speed_);
    }
    last_key_ = 0;
    return true;
  }
  if (code == last_key_) last_key_ = 0;
  if (!IsJogKey(code) || !jog_in_progress_) return false;
  jog_in_progress_ = false;
  EndJog(IsArmJogKey(code));
  return true;
}

void Tster::FinishJog() {
  WaitIdle(link_);
  ReadPositions(link_);
  positions_due_ = false;
  link_.state.remembered_third1 = link_.state.third1;
  link_.state.remembered_third2 = link_.state.third2;
}

void Tster::JogButtonDown(JogButton button) {
  EndAtLostLink scope(link_);
  if (button == JogButton::kstop) {
    // Stops a manual move; a running program is stopped by the button's click.
    if (ReadStatus(link_) && !ProgramRuns()) StopMove(link_);
    return;
  }
  if (!link_.usb.QuellmarQvExist()) {
    // One box; jogging without a controller would add one for every command of the jog.
    ShowLinkLost(link_);
    return;
  }
  jog_in_progress_ = BeginJog(JogKeyOf(button));
}

void Tster::JogButtonUp(JogButton button) {
  if (button != JogButton::kstop && jog_in_progress_) {
    jog_in_progress_ = false;
    EndJog(true);
  }
  CurrentOperator().Repaint();
  // The power output back to the arms' wire at the manual channel; a running program owns the heaters.
  if (!ReadStatus(link_) || RefusalOf(link_, MachineOperation::kJog) != HoldRefusal::kNone) return;
  const MachineHold hold(link_, MachineOperation::kJog);
  EndAtLostLink scope(link_);
  ReadHeaters(link_);
  SetPowerOutput(link_, kHorizontalWireOutput);
  link_.state.heater_channel = kManualWireChannel;
}

}  // namespace varnholt
