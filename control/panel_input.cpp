// The control panel's keys and jog buttons.

#include "control/speed_bars.h"
#include "control/tster.h"
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

bool Tster::KeyDown(const PanelKey& key) {
  const int code = PanelKeyMeaning(key);
  const bool repeated = key.auto_repeat || code == last_key_;
  last_key_ = code;
  EndAtLostLink scope(link_);
  if (code == kKeyControl) {
    // Held Ctrl moves at a tenth of the bar's speed.
    if (!repeated) {
      ctrl_saved_speed_ = link_.panel.speed;
      SetSpeedFromBar(link_.panel.speed / 10);
    }
    return true;
  }
  if (jog_in_progress_) return true;
  if (IsJogKey(code)) {
    if (repeated) return true;
    ReadStatus(link_);
    // Keys do not move the machine under a running program; its jog buttons are disabled too.
    if (ProgramRuns()) return true;
    jog_in_progress_ = true;
    positions_due_ = true;
    Jog(link_, code);
    return true;
  }
  Operator& op = CurrentOperator();
  switch (code) {
    case kKeyHome:
      if (!repeated) bazujClick();
      return true;
    case kKeyNumpad5:
      if (!ProgramRuns()) StopMove(link_);
      return true;
    case kKeyInsert:
    case kKeyNumpad0:
      // A held key toggles the heating once.
      if (repeated) return true;
      ReadStatus(link_);
      op.Repaint();
      ReadStatus(link_);
      HeatingToggle(link_);
      ReadStatus(link_);
      RefreshHeatingButtons();
      op.Repaint();
      return true;
    case kKeyNumpadPlus:
    case kKeyNumpadMinus: {
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
  EndAtLostLink scope(link_);
  if (code == kKeyControl) {
    SetSpeedFromBar(ctrl_saved_speed_);
    last_key_ = 0;
    return true;
  }
  if (code == last_key_) last_key_ = 0;
  if (!IsJogKey(code) || !jog_in_progress_) return false;
  jog_in_progress_ = false;
  StopMove(link_);
  if (IsArmJogKey(code)) FinishJog();
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
    StopMove(link_);
    return;
  }
  if (!link_.usb.QuellmarQvExist()) {
    // One box; jogging without a controller would add one for every command of the jog.
    ShowLinkLost(link_);
    return;
  }
  positions_due_ = true;
  Jog(link_, JogKeyOf(button));
}

void Tster::JogButtonUp(JogButton button) {
  EndAtLostLink scope(link_);
  if (button != JogButton::kstop) {
    StopMove(link_);
    FinishJog();
  }
  CurrentOperator().Repaint();
  ReadHeaters(link_);
  SetPowerOutput(link_, 0);
  link_.state.heater_channel = 2;
}

}  // namespace varnholt
