// The enabling rules of the control panel.

#include "control/panel_view.h"

namespace varnholt {

EnablingSwitches ComputeEnablingSwitches(const EnablingInputs& in) {
  const bool arm_channel = in.heater_channel == 1 || in.heater_channel == 2;
  const bool belt_channel = in.heater_channel == 3;
  EnablingSwitches s;
  // A running program owns the machine: nothing of the panel may send it a command (Stop stays).
  if (in.running) return {false, false, false, false};
  if (in.heating && !in.moving) {
    // A heated wire that stands: only the controls of the heated channel.
    s = {arm_channel, belt_channel, arm_channel, belt_channel};
  }
  if (in.moving) {
    const bool jogs_blocked = in.last_move_positioning;
    s.arm_jog = !jogs_blocked && arm_channel;
    s.belt_jog = !jogs_blocked && belt_channel;
    s.arm_bars = arm_channel;
    s.belt_bars = belt_channel;
  }
  return s;
}

PanelControls ApplyEnablingSwitches(const EnablingSwitches& s, bool model_qo) {
  PanelControls c;
  c.ku = c.kd = c.kl = c.kr = c.k_zalwyl = s.arm_jog;
  c.ktl = c.ktr = s.belt_jog;
  c.k_zalwyl_pionowe = s.belt_jog && !model_qo;
  c.Bazuj = c.btnPrzesunDoRamion = c.keyprzesun = s.belt_jog && s.arm_jog;
  c.VScroll = c.PScroll = s.arm_bars;
  c.VScrollTasma = s.belt_bars;
  c.PScrollPionowe = s.belt_bars && !model_qo;
  c.vertical_power_labels = !model_qo;
  return c;
}

}  // namespace varnholt
