#include "cli/control_commands.h"

#include <optional>
#include <string>

#include "cli/number_arguments.h"
#include "cli/program_texts.h"
#include "control/firmware_upgrade.h"
#include "control/move_wire.h"
#include "services/operator.h"

namespace varnholt::cli {
namespace {

constexpr const char* kFirmwareUsage =
    "firmware takes: version | upgrade IMAGE [--allow-downgrade] [--recover] | verify IMAGE | read OUT.rom";
constexpr const char* kMoveWireUsage = "move-wire takes: to|by X Y Z [--side 1|2|both]";

int Fail(std::ostream& err, const std::string& message) {
  err << message << '\n';
  return 1;
}

// Answers the downgrade question with Yes and passes everything else on to the operator in use.
class YesToQuestions final : public Operator {
 public:
  YesToQuestions() : inner_(CurrentOperator()), installed_(*this) {}
  void ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) override {
    inner_.ShowMessageBox(text, is_error, caption);
  }
  int AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) override {
    inner_.ShowMessageBox(text, false, caption);
    return Offers(buttons, kButtonYes) ? kButtonYes : inner_.AskQuestion(text, buttons, caption);
  }
  void SetStatusText(int panel, const std::string& text) override { inner_.SetStatusText(panel, text); }
  void SetBusyCursor(bool busy) override { inner_.SetBusyCursor(busy); }
  void Repaint() override { inner_.Repaint(); }
  PendingInput TakePendingInput() override { return inner_.TakePendingInput(); }

 private:
  Operator& inner_;
  ScopedOperator installed_;
};

// Prints each new step text and each new result of the upgrade's view, one a line.
class StepPrinter {
 public:
  explicit StepPrinter(std::ostream& out) : out_(out) {}
  void Print(const FirmwareView& view) {
    PrintChange(view.status, status_);
    PrintChange(view.verify, verify_);
  }

 private:
  void PrintChange(const std::string& text, std::string& last) {
    if (!text.empty() && text != last) out_ << text << '\n';
    last = text;
  }
  std::ostream& out_;
  std::string status_, verify_;
};

// The verification's message with the word it stopped at.
std::string VerificationFailure(const FirmwareUpgrade& upgrade) {
  std::string message = upgrade.view().verify;
  if (const std::optional<size_t> word = upgrade.first_difference()) {
    message += " (program word " + std::to_string(*word) + ")";
  }
  return message;
}

int Upgrade(FirmwareUpgrade& upgrade, bool allow_downgrade, bool recover, std::ostream& out, std::ostream& err) {
  out << "controller " << upgrade.view().device_version << ", image " << upgrade.view().image_version << '\n';
  if (!recover && !UpgradeAllowed(upgrade.device_version())) {
    return Fail(err, "The controller's firmware " + upgrade.device_version().Text() +
                         " cannot be upgraded (versions 1.2 to 9.x can; --recover writes the image all the same)");
  }
  std::optional<YesToQuestions> yes;
  if (allow_downgrade) yes.emplace();
  switch (upgrade.Upgrade(recover)) {
    case UpgradeResult::kDone:
      out << "upgraded to " << upgrade.device_version().Text() << '\n';
      return 0;
    case UpgradeResult::kCancelled:
      return Fail(err, "Not upgraded: the image is older than the controller's firmware (--allow-downgrade)");
    case UpgradeResult::kFailed:
      break;
  }
  if (upgrade.first_difference()) return Fail(err, VerificationFailure(upgrade));
  return Fail(err, "Not upgraded");
}

}  // namespace

int RunFirmware(MachineLink& link, const Arguments& words, std::ostream& out, std::ostream& err) {
  if (words.empty()) return Fail(err, kFirmwareUsage);
  const std::string& step = words[0];
  const bool takes_file = step == "upgrade" || step == "verify" || step == "read";
  if (step != "version" && !takes_file) return Fail(err, kFirmwareUsage);
  if (takes_file ? words.size() < 2 : words.size() != 1) return Fail(err, kFirmwareUsage);
  bool allow_downgrade = false, recover = false;
  for (size_t i = 2; i < words.size(); ++i) {
    if (step == "upgrade" && words[i] == "--allow-downgrade") {
      allow_downgrade = true;
    } else if (step == "upgrade" && words[i] == "--recover") {
      recover = true;
    } else {
      return Fail(err, kFirmwareUsage);
    }
  }

  StepPrinter printer(out);
  const FirmwareUpgrade* shown = nullptr;
  FirmwareUpgrade upgrade(link, CliProgramFolders(), [&printer, &shown] {
    if (shown != nullptr) printer.Print(shown->view());
  });
  shown = &upgrade;
  // The file read goes where it is named; it is no image to upgrade from.
  if (step == "upgrade" || step == "verify") upgrade.UseImageFile(words[1]);
  upgrade.Show();
  if (!upgrade.ok()) {
    // The controller did not answer (the lost link was reported), or a cut holds it.
    if (!upgrade.view().verify.empty()) err << upgrade.view().verify << '\n';
    return 1;
  }
  if (step == "version") {
    out << upgrade.device_version().Text() << '\n';
    return 0;
  }
  if (step == "upgrade") return Upgrade(upgrade, allow_downgrade, recover, out, err);
  if (step == "verify") {
    if (upgrade.Verify()) return 0;
    // A missing or damaged image was reported already and leaves no verification result.
    if (!upgrade.view().verify.empty()) err << VerificationFailure(upgrade) << '\n';
    return 1;
  }
  if (!upgrade.ReadToFile(words[1])) return 1;
  out << "wrote " << upgrade.read_path() << '\n';
  return 0;
}

int RunMoveWire(MachineLink& link, const Arguments& words, std::ostream& err) {
  if (words.size() != 4 && words.size() != 6) return Fail(err, kMoveWireUsage);
  MoveWireValues values;
  if (words[0] == "to") {
    values.kind = MoveWireKind::kToMachineCoordinates;
  } else if (words[0] != "by") {
    return Fail(err, kMoveWireUsage);
  }
  const std::optional<double> x = ParseNumber(words[1]), y = ParseNumber(words[2]), z = ParseNumber(words[3]);
  if (!x || !y || !z) return Fail(err, "move-wire takes X, Y and Z as numbers in the display unit");
  values.x = *x;
  values.y = *y;
  values.z = *z;
  if (words.size() == 6) {
    if (words[4] != "--side") return Fail(err, kMoveWireUsage);
    values.side_a = words[5] == "1" || words[5] == "both";
    values.side_b = words[5] == "2" || words[5] == "both";
    if (!values.side_a && !values.side_b) return Fail(err, "--side takes 1, 2 or both");
  }
  ExecuteMoveWire(link, values);
  return 0;
}

}  // namespace varnholt::cli
