// The control panel's speed and power bars.

#include "config/display_unit.h"
#include "control/speed_bars.h"
#include "control/tster.h"
#include "geometry/clock.h"
#include "link/machine_hold.h"

namespace varnholt {

void Tster::SpeedBarScrolled(uint8_t group) {
  // Under a running program the bars send nothing: the program's speeds are its own.
  const MachineHold hold(link_, MachineOperation::kSpeedOrPower);
  if (!hold) return;
  speed_change_pending_ = true;
  SleepMs(1);
  SendCommand(link_, SelectSpeedCommand(group));
  link_.state.active_group = group;
  remembered_group_ = link_.state.active_group;
}

void Tster::SpeedBarChanged(int32_t position) {
  if (!speed_change_pending_) return;
  speed_change_pending_ = false;
  const MachineHold hold(link_, MachineOperation::kSpeedOrPower);
  if (!hold) return;
  ReadSpeeds(link_);
  // The speed goes to the group the bar selected, unless the machine has chosen another meanwhile.
  if (link_.state.active_group == remembered_group_) SetSpeedFromBar(position);
}

void Tster::VScrollScroll() { SpeedBarScrolled(2); }

void Tster::VScrollTasmaScroll() { SpeedBarScrolled(3); }

void Tster::VScrollChange(int32_t position) {
  ShowArmSpeed(position);
  SpeedBarChanged(position);
}

void Tster::VScrollTasmaChange(int32_t position) {
  ShowConveyorSpeed(position);
  SpeedBarChanged(position);
}

void Tster::PScrollChange(int32_t percent) {
  const MachineHold hold(link_, MachineOperation::kSpeedOrPower);
  if (!hold) return;
  ReadHeaters(link_);
  view_.power = percent;
  link_.panel.power = percent;
  link_.state.heater_power = static_cast<uint16_t>(std::clamp(PercentToHeaterPower(percent), 0, 0xFFFF));
  link_.state.heater_channel = kManualWireChannel;
  SendHeaterPower(link_);
}

void Tster::PScrollPionoweChange(int32_t percent) {
  const MachineHold hold(link_, MachineOperation::kSpeedOrPower);
  if (!hold) return;
  ReadHeaters(link_);
  view_.vertical_power = percent;
  link_.panel.vertical_power = percent;
  link_.state.heater_power = static_cast<uint16_t>(
      std::clamp(PercentToHeaterPower(percent, link_.state.vertical_power_factor), 0, 0xFFFF));
  link_.state.heater_channel = kVerticalWireChannel;
  SendHeaterPower(link_);
}

}  // namespace varnholt
