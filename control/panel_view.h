#pragma once
// What the manual control panel shows, as plain values: the window copies them into its controls.

#include <array>
#include <cstdint>
#include <string>

#include "control/main_window_port.h"

namespace varnholt {

// The four switches of the enabling rules.
struct EnablingSwitches {
  bool arm_jog = true;    // arm jog buttons and the horizontal heating button
  bool belt_jog = true;   // conveyor jog buttons
  bool arm_bars = true;   // arm speed bar and horizontal power bar
  bool belt_bars = true;  // conveyor speed bar and vertical power bar

  friend bool operator==(const EnablingSwitches&, const EnablingSwitches&) = default;
};

// The enabled state of each control the switches govern, by component name.
struct PanelControls {
  bool ku = true, kd = true, kl = true, kr = true, k_zalwyl = true;
  bool ktl = true, ktr = true, k_zalwyl_pionowe = true;
  bool Bazuj = true, btnPrzesunDoRamion = true, keyprzesun = true;
  bool VScroll = true, PScroll = true, VScrollTasma = true, PScrollPionowe = true;
  bool vertical_power_labels = true;  // powerPionoweLabel and its caption

  friend bool operator==(const PanelControls&, const PanelControls&) = default;
};

// One speed bar: its range, position, shown value and steps.
struct SpeedBarView {
  int32_t max = 0;
  int32_t position = 0;
  std::string label;
  int32_t small_step = 1;
  int32_t large_step = 10;
};

// The hidden test panel: status bits and raw indications.
struct TestPanelView {
  bool cbSbRun = false, cbSbWork = false, cbSbZadanieStartu = false, cbSbZadanieStopu = false, cbSbPower = false;
  std::string lSelPwr, lSelSpeed, lSelOut;
  int32_t lSpeed = 0;
  std::array<int32_t, 4> group_speeds{};  // speed_p, speed_r, speed_m, speed_pol
  int32_t lPower = 0;
  std::string third1_mm, third2_mm, belt3_mm;
};

// The hidden service panel.
struct ServicePanelView {
  std::string instantaneous_speed;  // of the fifth period, when it is not 0
  std::string extra1;               // tenths, one decimal (at activation)
  std::string extra2;               // tenths, one decimal
  std::string link_errors;          // failed reads "/" busy writes
};

struct PanelView {
  bool connected = false;
  // The display was refreshed in this step (the panel is active and no input waited).
  bool refreshed = false;
  // The controller was lost while the panel was active: the panel closes itself.
  bool close_panel = false;

  TestPanelView test;
  ServicePanelView service;

  // Positions in the display unit: two decimals in mm, three in inch or foot.
  std::string wmx, wmy, wmz;
  std::string unit_label;  // "[ mm ]"
  // Wire fault texts of the arms' wire and the vertical wires (empty when none).
  std::string stan_drutu, stan_DrutuPionowego;
  // Hint of the arm speed bar: the speed group's name and the unit per minute.
  std::string speed_hint;
  SpeedBarView arm_speed;       // VScroll
  SpeedBarView conveyor_speed;  // VScrollTasma
  int32_t power = 0;            // PScroll, %
  int32_t vertical_power = 0;   // PScrollPionowe, %

  EnablingSwitches switches;
  PanelControls controls;
  // The heating buttons shown pressed.
  bool k_zalwyl_down = false;
  bool k_zalwyl_pionowe_down = false;

  // Visibility decided by the model, the command line and the hidden-panel keys.
  bool ktr_visible = false;
  bool rgTasma_visible = false;
  bool btnUpgrade_visible = false;
  bool test_panel_visible = false;
  bool service_panel_visible = false;

  MainButtonStates main_buttons;
};

// The status bits and machine facts the enabling rules look at.
struct EnablingInputs {
  bool moving = false;
  bool running = false;
  bool heating = false;
  int heater_channel = 0;
  bool last_move_positioning = false;
  bool model_qo = false;
};

// The four switches: all on while the machine stands without a program; all off under a running program; a heated
// standing machine only the controls of its channel; a move blocks the jogs after a positioning move, else allows
// those of the heated channel.
EnablingSwitches ComputeEnablingSwitches(const EnablingInputs& inputs);
// The controls the switches enable (the vertical-wire controls never for a Qo).
PanelControls ApplyEnablingSwitches(const EnablingSwitches& switches, bool model_qo);

}  // namespace varnholt
