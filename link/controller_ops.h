#pragma once
// The controller command set as free operations over the program-wide link, controller state and configuration.

#include <cstdint>
#include <string_view>

#include "config/parameters.h"
#include "link/command_bytes.h"
#include "link/controller_state.h"
#include "link/machine_gate.h"
#include "link/move_record.h"
#include "link/tf_usb.h"

namespace varnholt {

class tInterfejs;

// What the manual control panel's bars and choices hold when an operation takes its values from them.
struct PanelInputs {
  int32_t speed = 1000;           // arm speed bar, mm/min
  int32_t conveyor_speed = 1000;  // conveyor speed bar, mm/min
  int32_t power = 50;             // horizontal wire power bar, %
  int32_t vertical_power = 50;    // vertical wires power bar, %
  int active_belts = 0;           // 0 all three belts, 1 belt 1 only, 2 belts 2 and 3
};

// The program-wide objects the operations work on; the application keeps one for the whole run.
struct MachineLink {
  TfUsb& usb;
  ControllerState& state;
  const Configuration& config;
  const tInterfejs& texts;
  PanelInputs panel{};
  bool separate_third_axes = false;
  // Longest wait for the controller to stop moving; beyond any move the machine can make.
  int64_t wait_limit_ms = 8 * 3600 * 1000;
  // Operations that end at a lost link now running (EndAtLostLink), and whether the link was lost in them.
  int lost_link_scopes = 0;
  bool lost_in_scope = false;
  // Which operation holds the controller.
  MachineGate gate{};
  // The heater channels the host has switched on with direct commands and not off since (a program's own heater
  // commands are not among them), and the power output it last selected (-1 before any).
  HeaterChannels heaters_on = 0;
  int32_t power_output = -1;
};

// Makes the operation run during its lifetime end at a lost link: the first lost-link box marks the link lost (a
// failed send shows it, or the operation finding no controller), every later box stays unshown and every later send
// fails at once, and lost() tells the operation to end. Without it a pulled cable in the middle of a heating
// sequence would stack a box for every command of the sequence. Scopes nest; the outermost one decides.
class EndAtLostLink {
 public:
  explicit EndAtLostLink(MachineLink& link) : link_(link) {
    if (link_.lost_link_scopes++ == 0) link_.lost_in_scope = false;
  }
  ~EndAtLostLink() {
    if (--link_.lost_link_scopes == 0) link_.lost_in_scope = false;
  }
  EndAtLostLink(const EndAtLostLink&) = delete;
  EndAtLostLink& operator=(const EndAtLostLink&) = delete;
  bool lost() const { return link_.lost_in_scope; }
  // The controller was opened afresh (a device change found it again): sends go out again, and losing it again is
  // told again.
  void LinkRenewed() { link_.lost_in_scope = false; }

 private:
  MachineLink& link_;
};

// Where SelectSpeedGroup and the power operations take their value from.
enum ValueSource : int { kFromPanel = 0, kFromConfiguration = 1 };

// Virtual key codes Jog understands.
enum JogKey : int {
  kKeyPageUp = 33,
  kKeyPageDown = 34,
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40,
  kKeyNumpad1 = 97,
  kKeyNumpad2 = 98,
  kKeyNumpad3 = 99,
  kKeyNumpad4 = 100,
  kKeyNumpad6 = 102,
  kKeyNumpad7 = 103,
  kKeyNumpad8 = 104,
  kKeyNumpad9 = 105,
  kKeyComma = 188,
  kKeyPeriod = 190,
};

// The lost-link box "ploterBrakLacznosci", with the caption given (the default title when empty); for a write that
// failed with the busy error on a controller still present, the busy box "ploterZajety" instead. Inside an
// EndAtLostLink scope only the first one is shown, and it marks the link lost for the scope.
void ShowLinkLost(MachineLink& link, const std::string& caption = "", int error = 0);

// Sends one command (a move in 6-byte pieces, anything else in one write). A failed write shows the lost-link box
// with the error number as caption and ends the sending; returns true when everything went out. Inside an
// EndAtLostLink scope whose link was lost nothing is sent and nothing shown.
bool SendCommand(MachineLink& link, std::string_view bytes);
// Writes one command as SendCommand does, without a box and whatever failed before; 0 or the first write's error.
int TrySend(MachineLink& link, std::string_view bytes);
// Sends a command that makes the machine safe (a heater switched off, a stop) whatever failed before it: inside a
// scope whose link was lost it is still tried, without another box.
bool SendCommandAlways(MachineLink& link, std::string_view bytes);

// Reads of the reply records into the state. A read that failed leaves zeros; ReadStatus says whether it read.
bool ReadStatus(MachineLink& link);
void ReadPositions(MachineLink& link);
void ReadSpeeds(MachineLink& link);
void ReadHeaters(MachineLink& link);
void Identify(MachineLink& link);
void ReadCalibration(MachineLink& link);
// Sets the axis scale factors to the model's own (as identification left them) plus the calibration percentages:
// derived from the values, so a change is counted once however often it is applied.
void ApplyCalibration(ControllerState& state, double x, double y, double z);
void ReadExtra(MachineLink& link);

// Waits until the controller no longer reports a move. A Stop met meanwhile (NoteStop) halts a manual move and is
// left for the running operation. False when the wait limit ran out.
bool WaitIdle(MachineLink& link);
// Takes a Stop given during a wait into the gate: the operator's Stop key or button from the input the windows
// queued, and the machine's stop button from the status reads. True when a Stop is requested.
bool NoteStop(MachineLink& link);
// Sleeps ms on the program clock in short slices, looking for a Stop between them; false when a Stop ended it.
bool WaitMs(MachineLink& link, double ms);

// Speed conversions: mm/min to the step period in 0.8 us ticks, and back (0 gives the profile's max rapid speed).
uint16_t PeriodFromSpeed(const ControllerState& state, double speed);
uint16_t SpeedFromPeriod(const ControllerState& state, int64_t period);
// The value a speed group command carries for a period: the period divided by the step multiplier, in uint16.
uint16_t GroupPeriodValue(const ControllerState& state, int64_t period);

// Sets the period of the active speed group.
void SetSpeed(MachineLink& link, int64_t period);
// Power, speed and selection of speed group 1, 2 (arms) or 3 (conveyor) from the panel, the configuration or a
// period passed as value.
void SelectSpeedGroup(MachineLink& link, int group, int source, int64_t value = 0);

void SetHorizontalPower(MachineLink& link, int source, int64_t value = 0);
void SetVerticalPower(MachineLink& link, int source, int64_t value = 0);
void SendHeaterPower(MachineLink& link);
void SetPowerOutput(MachineLink& link, int32_t value);
void SetUnit(MachineLink& link, int32_t index);

// Switches the wire of the state's heater channel on and waits the warm-up; false when a Stop ended the wait.
bool HeaterOn(MachineLink& link);
// Switches the state's heater channel off; every command of it is tried whatever failed before.
void HeatingOff(MachineLink& link);
void HeatingToggle(MachineLink& link);
// Switches every heater channel off at once (and a Qo's vertical wires), trying each command whatever failed before;
// true when every command went out.
bool AllHeatersOff(MachineLink& link);
// Makes a controller whose cut was given up safe: its program stopped and cleared, every heater off. Gives up at
// the first command the controller does not take (it is then busy or gone); true when every command went out.
bool StopAndCool(MachineLink& link);

void SetStartPoint(MachineLink& link);
void StopMove(MachineLink& link);
// Sends a Move of the given steps with the profile's multiplier; false when no move results or sending failed.
bool SendMove(MachineLink& link, const AxisSteps& steps);

// A manual move toward the limit for a jog key; StopMove ends it.
void Jog(MachineLink& link, int key);
// Absolute and relative moves in the display unit of the configuration.
void MoveTo(MachineLink& link, bool side_a, bool side_b, double z_target, double y_target, double x_target);
void MoveBy(MachineLink& link, bool side_a, bool side_b, double third, double dy, double dx);

bool IsModelQo(const ControllerState& state);
// 1.0 for output 0, the vertical-wire power factor for output 5, else 0.
double PowerFactor(const ControllerState& state, int output);

// The speed maxima of the connected model, for the configuration's fields.
SpeedMaxima ModelSpeedMaxima(const ControllerState& state);

}  // namespace varnholt
