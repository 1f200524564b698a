#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/control_commands.h"
#include "cli/number_arguments.h"
#include "cli/program_texts.h"
#include "cli/json.h"
#include "config/parameters.h"
#include "geometry/clock.h"
#include "geometry/decimal_text.h"
#include "link/controller_ops.h"
#include "link/machine_hold.h"
#include "link/sim/simulated_controller.h"
#include "link/tf_usb.h"
#include "link/usb_hid_backend.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt::cli {
namespace {

constexpr const char* kUsage =
    "Usage: varnholt-cli [--home DIR] machine [--sim Qa|Qe|Qo [--sim-version MAJOR.MINOR]"
    " [--corrupt-firmware-word N]] COMMAND\n"
    "Commands: devices | identify | status | move-bytes [--multiplier N] AXIS=STEPS... | home | jog KEY MS |"
    " goto X Y | move-wire to|by X Y Z [--side 1|2|both] |"
    " firmware version|upgrade IMAGE [--allow-downgrade] [--recover]|verify IMAGE|read OUT.rom\n"
    "jog, goto and move-wire switch the heating they switched on off before the command ends, unless --keep-heat"
    " follows the command's words.\n";

int Fail(std::ostream& err, const std::string& message) {
  err << message << '\n';
  return 1;
}

// Shows message boxes on the error stream; everything else a window would show is left out.
class StreamOperator final : public Operator {
 public:
  explicit StreamOperator(std::ostream& err) : err_(err) {}
  void ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) override {
    err_ << (is_error ? "Error" : "Information") << (caption.empty() ? "" : " (" + caption + ")") << ": " << text
         << '\n';
  }
  int AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) override {
    ShowMessageBox(text, false, caption);
    return Offers(buttons, kButtonCancel) ? kButtonCancel : Offers(buttons, kButtonNo) ? kButtonNo : kButtonOk;
  }
  void SetStatusText(int, const std::string&) override {}
  void SetBusyCursor(bool) override {}
  void Repaint() override {}
  PendingInput TakePendingInput() override { return PendingInput::kNone; }

 private:
  std::ostream& err_;
};

std::optional<int> JogKeyOf(const std::string& word) {
  static const std::map<std::string, int> names = {
      {"left", kKeyLeft},      {"right", kKeyRight},    {"up", kKeyUp},          {"down", kKeyDown},
      {"down-left", kKeyNumpad1}, {"down-right", kKeyNumpad3}, {"up-left", kKeyNumpad7}, {"up-right", kKeyNumpad9},
      {"belt-back", kKeyComma}, {"belt-forward", kKeyPeriod}};
  const auto found = names.find(word);
  if (found != names.end()) return found->second;
  return ParseInt(word);
}

std::string HexBytes(std::string_view bytes) {
  std::string text;
  for (char c : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(c));
    if (!text.empty()) text += ' ';
    text += hex;
  }
  return text;
}

void PrintIdentity(const ControllerState& s, std::ostream& out) {
  out << "{\"manufacturer\":" << JsonString(s.manufacturer) << ",\"product\":" << JsonString(s.product)
      << ",\"serial\":" << JsonString(s.serial) << ",\"model_code\":" << JsonString(s.model_code)
      << ",\"x_range\":" << s.x_range << ",\"y_range\":" << s.y_range << ",\"x2_range\":" << s.x2_range
      << ",\"y2_range\":" << s.y2_range << ",\"StepScaleX\":" << JsonNumber(s.StepScaleX)
      << ",\"StepScaleY\":" << JsonNumber(s.StepScaleY) << ",\"StepScaleZ\":" << JsonNumber(s.StepScaleZ)
      << ",\"StepMultiplier\":" << s.profile.StepMultiplier << ",\"steps_per_turn\":{\"axis6\":" << s.steps_per_turn6
      << ",\"axis2\":" << s.steps_per_turn2 << ",\"axis7\":" << s.steps_per_turn7
      << "},\"calibration4\":" << s.calibration4 << ",\"operating_minutes\":" << s.operating_minutes
      << ",\"operating_counter\":" << s.operating_counter << ",\"max_rapid_speed\":" << s.profile.max_rapid_speed
      << ",\"max_work_speed\":" << s.profile.max_work_speed << ",\"max_conveyor_speed\":"
      << s.profile.max_conveyor_speed << ",\"conveyor_factor\":" << JsonNumber(s.profile.conveyor_factor)
      << ",\"conveyor_jog_length\":" << s.conveyor_jog_length << "}\n";
}

void PrintStatus(const ControllerState& s, std::ostream& out) {
  char word[16];
  std::snprintf(word, sizeof word, "0x%08x", s.status_word);
  out << "status " << word << ": " << StatusBitNames(s.status_word) << '\n';
  const auto mm = [](int32_t hundredths) { return DecimalText(hundredths / 100.0, 2); };
  out << "X1 " << mm(s.X1) << " Y1 " << mm(s.Y1) << " X2 " << mm(s.X2) << " Y2 " << mm(s.Y2) << " belt3 "
      << mm(s.belt3) << " third1 " << s.third1 << " third2 " << s.third2 << " turn7 " << s.turn7 << '\n';
  out << "steps";
  for (int32_t steps : s.axis_steps) out << ' ' << steps;
  out << '\n';
}

void PrintDevices(HidBackend& backend, std::ostream& out) {
  const std::vector<HidDeviceInfo> devices = backend.Enumerate();
  bool selected = false;
  out << "[";
  for (size_t i = 0; i < devices.size(); ++i) {
    const HidDeviceInfo& d = devices[i];
    const bool match = IsControllerDevice(d);
    char ids[32];
    std::snprintf(ids, sizeof ids, "\"%04x\",\"product_id\":\"%04x\"", d.vendor_id, d.product_id);
    out << (i == 0 ? "" : ",") << "\n  {\"id\":" << JsonString(d.id) << ",\"vendor_id\":" << ids
        << ",\"manufacturer\":" << JsonString(d.manufacturer) << ",\"product\":" << JsonString(d.product)
        << ",\"serial\":" << JsonString(d.serial) << ",\"matches\":" << (match ? "true" : "false")
        << ",\"selected\":" << (match && !selected ? "true" : "false") << "}";
    selected = selected || match;
  }
  out << (devices.empty() ? "]\n" : "\n]\n");
}

// The homing of an unhomed machine: X, then Y, then belt 3, then the end of homing.
bool HomeMachine(MachineLink& link) {
  const auto step = [&link](uint8_t mask) {
    SendCommand(link, HomeStepCommand(mask));
    SleepMs(100);
    return WaitIdle(link);
  };
  ReadStatus(link);
  if (link.state.Has(kStatusMoving) || link.state.Has(kStatusProgramRunning)) {
    CurrentOperator().ShowMessageBox(link.texts.GetText("Control", "ploterBazowanieNiemozliwe"), true, "");
    return false;
  }
  const bool q_model = !link.state.model_code.empty() && link.state.model_code[0] == 'Q';
  if (!step(q_model ? 0x11 : 0x01) || !step(q_model ? 0x22 : 0x02) || !step(0x08)) return false;
  StopMove(link);
  return SendCommand(link, HomeCommand(0));
}

// One manual move of the command line, to its end: jog KEY MS, move-wire to|by X Y Z, goto X Y.
int RunManualMove(MachineLink& link, const Arguments& rest, std::ostream& err) {
  const std::string& command = rest[0];
  if (command == "jog") {
    if (rest.size() != 3) return Fail(err, kUsage);
    const std::optional<int> key = JogKeyOf(rest[1]);
    const std::optional<int> ms = ParseInt(rest[2]);
    if (!key || !ms || *ms < 0) return Fail(err, "jog takes a key (left, right, up, down, ... or a key code) and milliseconds");
    ReadPositions(link);
    Jog(link, *key);
    SleepMs(*ms);
    StopMove(link);
    WaitIdle(link);
    return 0;
  }
  if (command == "move-wire") {
    if (const int failed = RunMoveWire(link, Arguments(rest.begin() + 1, rest.end()), err); failed != 0) return failed;
    WaitIdle(link);
    return 0;
  }
  if (rest.size() != 3) return Fail(err, kUsage);
  const std::optional<double> x = ParseNumber(rest[1]);
  const std::optional<double> y = ParseNumber(rest[2]);
  if (!x || !y) return Fail(err, "goto takes X and Y in millimetres");
  ReadPositions(link);
  MoveTo(link, true, true, link.state.belt3 / 100.0, *y, *x);
  WaitIdle(link);
  return 0;
}

int RunOnLink(MachineLink& link, Arguments rest, std::ostream& out, std::ostream& err) {
  const std::string command = rest[0];
  // The manual moves heat the wire; it stays on after the process only when asked for.
  const auto keep = std::find(rest.begin(), rest.end(), "--keep-heat");
  const bool keep_heat = keep != rest.end();
  if (keep_heat) rest.erase(keep);
  if (command == "identify") {
    PrintIdentity(link.state, out);
    return 0;
  }
  if (command == "status") {
    ReadPositions(link);
    PrintStatus(link.state, out);
    return 0;
  }
  if (command == "home") {
    const MachineHold hold(link, MachineOperation::kHoming);
    if (!hold || !HomeMachine(link)) return 1;
    ReadPositions(link);
    PrintStatus(link.state, out);
    return 0;
  }
  if (command == "firmware") return RunFirmware(link, Arguments(rest.begin() + 1, rest.end()), out, err);
  if (command != "jog" && command != "move-wire" && command != "goto") return Fail(err, kUsage);
  // The manual moves: each holds the machine until its move ends; the heating it switched on goes off then.
  {
    MachineHold hold(link, command == "jog"         ? MachineOperation::kJog
                           : command == "move-wire" ? MachineOperation::kMoveWire
                                                    : MachineOperation::kGoToPoint);
    if (!hold) return 1;
    if (keep_heat) hold.KeepHeat();
    if (const int failed = RunManualMove(link, rest, err); failed != 0) return failed;
  }
  ReadPositions(link);
  PrintStatus(link.state, out);
  return 0;
}

// MAJOR.MINOR with each part 0..255.
std::optional<std::pair<int, int>> ParseVersion(const std::string& text) {
  const size_t dot = text.find('.');
  if (dot == std::string::npos) return std::nullopt;
  const std::optional<int> major = ParseInt(text.substr(0, dot));
  const std::optional<int> minor = ParseInt(text.substr(dot + 1));
  if (!major || !minor || *major < 0 || *major > 255 || *minor < 0 || *minor > 255) return std::nullopt;
  return std::pair{*major, *minor};
}

// Parses AXIS=STEPS words into steps; an error text when one is wrong.
std::optional<std::string> ParseSteps(const Arguments& words, AxisSteps& steps) {
  for (const std::string& word : words) {
    const size_t equals = word.find('=');
    const std::optional<int> axis = equals == std::string::npos ? std::nullopt : ParseInt(word.substr(0, equals));
    const std::optional<int> value = equals == std::string::npos ? std::nullopt : ParseInt(word.substr(equals + 1));
    if (!axis || !value || *axis < 0 || *axis > 7) return "Not AXIS=STEPS with an axis 0..7: " + word;
    steps[static_cast<size_t>(*axis)] = *value;
  }
  return std::nullopt;
}

}  // namespace

int RunMachine(const Arguments& args, std::ostream& out, std::ostream& err) {
  std::string sim_model;
  std::optional<std::pair<int, int>> sim_version;
  std::optional<int> corrupt_word;
  size_t i = 0;
  for (; i < args.size(); ++i) {
    if (args[i] == "--sim" && i + 1 < args.size()) {
      sim_model = args[++i];
      if (sim_model != "Qa" && sim_model != "Qe" && sim_model != "Qo") return Fail(err, "--sim takes Qa, Qe or Qo");
    } else if (args[i] == "--sim-version" && i + 1 < args.size()) {
      sim_version = ParseVersion(args[++i]);
      if (!sim_version) return Fail(err, "--sim-version takes MAJOR.MINOR, each 0..255");
    } else if (args[i] == "--corrupt-firmware-word" && i + 1 < args.size()) {
      corrupt_word = ParseInt(args[++i]);
      if (!corrupt_word || *corrupt_word < 0) return Fail(err, "--corrupt-firmware-word takes a program word number");
    } else {
      break;
    }
  }
  if ((sim_version || corrupt_word) && sim_model.empty()) {
    return Fail(err, "--sim-version and --corrupt-firmware-word need --sim");
  }
  const Arguments rest(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  if (rest.empty()) return Fail(err, kUsage);
  const std::string& command = rest[0];

  std::optional<int> multiplier;
  AxisSteps steps{};
  if (command == "move-bytes") {
    Arguments words(rest.begin() + 1, rest.end());
    if (words.size() >= 2 && words[0] == "--multiplier") {
      multiplier = ParseInt(words[1]);
      if (!multiplier || *multiplier <= 0) return Fail(err, "--multiplier takes a positive whole number");
      words.erase(words.begin(), words.begin() + 2);
    }
    if (words.empty()) return Fail(err, kUsage);
    if (const std::optional<std::string> error = ParseSteps(words, steps)) return Fail(err, *error);
  }

  StreamOperator op(err);
  ScopedOperator installed_operator(op);
  // The simulated controller runs on virtual time, so moves and warm-ups cost nothing.
  VirtualClock virtual_clock;
  std::optional<ScopedClock> installed_clock;
  std::unique_ptr<HidBackend> backend;
  if (!sim_model.empty()) {
    installed_clock.emplace(virtual_clock);
    auto simulated = std::make_unique<sim::SimulatedController>(sim_model);
    if (sim_version) {
      simulated->SetFirmwareVersion(static_cast<uint8_t>(sim_version->first), static_cast<uint8_t>(sim_version->second));
    }
    if (corrupt_word) simulated->CorruptFirmwareWord(static_cast<size_t>(*corrupt_word), 0xDEAD);
    backend = std::move(simulated);
  } else {
    auto usb = std::make_unique<UsbHidBackend>();
    if (!usb->available()) return Fail(err, "The USB library could not be initialised");
    backend = std::move(usb);
  }
  if (command == "devices") {
    PrintDevices(*backend, out);
    return 0;
  }
  if (command == "move-bytes" && multiplier) {
    const MoveRecord record = BuildMoveRecord('A', *multiplier, steps);
    if (record.bytes.empty()) {
      err << "No command: the interpolation count is " << record.count << '\n';
      return 0;
    }
    out << HexBytes(record.bytes) << '\n';
    return 0;
  }

  const tInterfejs& texts = ProgramLanguage(err);
  Configuration config;
  ControllerState state;
  TfUsb usb(*backend, texts);
  MachineLink link{usb, state, config, texts};
  if (!usb.QuellmarQvExist()) return Fail(err, texts.GetText("Control", "brakPlotera"));
  Identify(link);
  if (command == "move-bytes") {
    const MoveRecord record = BuildMoveRecord('A', state.profile.StepMultiplier, steps);
    if (record.bytes.empty()) {
      err << "No command: the interpolation count is " << record.count << '\n';
      return 0;
    }
    out << HexBytes(record.bytes) << '\n';
    return 0;
  }
  return RunOnLink(link, rest, out, err);
}

}  // namespace varnholt::cli
