#include "link/trans_arm.h"

#include <cerrno>
#include <climits>

#include "config/file_read.h"
#include "config/file_write.h"
#include "geometry/clock.h"
#include "geometry/units.h"
#include "link/machine_hold.h"
#include "services/interfejs.h"
#include "services/operator.h"
#include "services/placeholder_text.h"

namespace varnholt {
namespace {

// The whole program file; throws the file error naming it (a missing file too).
std::string ReadProgramFile(const std::string& path) {
  std::optional<std::string> bytes = ReadFileBytes(path, TTransArm::kLargestProgram + 1);
  if (!bytes) ThrowFileError(ENOENT, path);
  if (bytes->size() > TTransArm::kLargestProgram) ThrowFileError(EFBIG, path);
  return std::move(*bytes);
}

// The length of the command that begins with byte, by its letter without regard to case.
std::optional<int> LengthOfCommandAt(uint8_t byte) { return CommandLength(static_cast<uint8_t>(byte & ~0x20u)); }

const char* SpinnerText(uint8_t index) {
  static const char* const kTexts[] = {"--", "\\", "|", "/"};
  return kTexts[index % 4];
}

}  // namespace

TTransArm::TTransArm(MachineLink& link, RunFlags& flags, std::string program_folder)
    : link_(link), flags_(flags), program_folder_(std::move(program_folder)) {}

std::optional<size_t> TTransArm::DamageOffset(const std::string& program) {
  size_t at = 0;
  while (at < program.size()) {
    const std::optional<int> length = LengthOfCommandAt(static_cast<uint8_t>(program[at]));
    if (!length || program.size() - at < static_cast<size_t>(*length)) return at;
    at += static_cast<size_t>(*length);
  }
  return std::nullopt;
}

bool TTransArm::start(const std::string& file_name) {
  std::string program = ReadProgramFile(program_folder_ + file_name);
  // A damaged program is refused whole: cut up to the damage, the machine would leave a part-cut block.
  if (const std::optional<size_t> damage = DamageOffset(program)) {
    CurrentOperator().ShowMessageBox(
        link_.texts.GetText("Transmission", "programUszkodzony") + std::to_string(*damage), true, "");
    return false;
  }
  program_ = std::move(program);
  position_ = 0;
  commands_sent_ = 0;
  go_sent_after_.reset();
  interval_ = kBurstIntervalMs;
  next_step_due_ms_ = CurrentClock().NowMs() + interval_;
  device_changes_at_start_ = link_.usb.device_changes();
  link_.gate.TakeTransmissionGivenUp();
  running_ = true;
  link_.gate.SetTransmitting(true);
  ++transmissions_started_;
  return true;
}

void TTransArm::stop() {
  if (!running_) return;
  CurrentOperator().SetStatusText(0, link_.texts.GetText("Transmission", "transmisjaZakonczona"));
  running_ = false;
  link_.gate.SetTransmitting(false);
  link_.gate.SetSendingRest(false);
  if (sent_listener_) sent_listener_(commands_sent_, false);
}

void TTransArm::EndForLostLink() {
  stop();
  // The controller holds part of the program at most: its end is no end of the cut, and no automatic
  // repetition may start from it. Found again, it may still be running that part with the wire hot.
  flags_.ProgramStarted = false;
  link_.gate.GiveUpCut();
  ShowLinkLost(link_);
}

void TTransArm::EndAfterFailedWrite(int error) {
  ReadStatus(link_);
  if (!link_.usb.present()) {
    EndForLostLink();
    return;
  }
  stop();
  flags_.ProgramStarted = false;
  // The controller is there but did not take a command: what it runs is part of a cut, with the wire hot.
  const bool cooled = StopAndCool(link_);
  if (!cooled) link_.gate.GiveUpCut();
  const tInterfejs& texts = link_.texts;
  const std::string command = std::to_string(commands_sent_);
  std::string text = error == kHidDeviceNotFunctioning
                         ? FillPlaceholders(texts.GetText("Control", "ciecieNiepelneZajety"), {command})
                         : FillPlaceholders(texts.GetText("Control", "ciecieNiepelne"), {command, std::to_string(error)});
  text += " " + texts.GetText("Control", cooled ? "ciecieZatrzymane" : "ciecieNieZatrzymane");
  CurrentOperator().ShowMessageBox(text, true, "");
}

int64_t TTransArm::Percent() const {
  if (program_.empty()) return 100;
  return static_cast<int64_t>(nearest(static_cast<double>(position_) * 100.0 / static_cast<double>(program_.size())));
}

void TTransArm::ShowProgress(bool with_spinner) {
  progress_text_ = link_.texts.GetText("Transmission", "przeslano") + " " + std::to_string(Percent()) + "% ";
  if (with_spinner) {
    spinner_ = static_cast<uint8_t>((spinner_ + 1) % 4);
    progress_text_ += SpinnerText(spinner_);
  }
  CurrentOperator().SetStatusText(0, progress_text_);
}

int TTransArm::tick() {
  if (!running_) return 0;
  if (position_ >= program_.size()) {
    stop();
    return 0;
  }
  const MachineHold hold(link_, MachineOperation::kTransmissionStep);
  // A cut given up (its Stop not taken) is sent no more of its program.
  if (link_.gate.TakeTransmissionGivenUp()) {
    stop();
    flags_.ProgramStarted = false;
    return 0;
  }
  const EndAtLostLink scope(link_);
  ReadStatus(link_);
  // A controller found again after a device change was reset and lost the beginning of the program: the rest
  // must not go after it.
  const auto link_lost = [this] {
    return !link_.usb.QuellmarQvExist() || link_.usb.device_changes() != device_changes_at_start_;
  };
  if (link_lost()) {
    EndForLostLink();
    return 0;
  }
  // Started, the program neither runs nor stands paused: it ran out of commands before the rest came.
  const bool runs = link_.state.Has(kStatusProgramRunning) && !link_.state.Has(kStatusWaitsForGo);
  if (go_sent_after_ && !runs && !link_.state.Has(kStatusPaused)) {
    EndForDrySpell();
    return 0;
  }
  if (link_.state.Has(kStatusBufferFull)) {
    interval_ = kBufferFullIntervalMs;
    next_step_due_ms_ = CurrentClock().NowMs() + interval_;
    ShowProgress(false);
    return interval_;
  }
  interval_ = kBurstRunningIntervalMs;
  const int64_t began = CurrentClock().NowMs();
  const int bursts = began - next_step_due_ms_ > kLateMs ? kBurstsPerStep : 1;
  for (int burst = 0; burst < bursts && position_ < program_.size(); ++burst) {
    if (burst > 0) {
      if (CurrentClock().NowMs() - began >= kStepBudgetMs) break;
      ReadStatus(link_);
      if (link_lost()) {
        EndForLostLink();
        return 0;
      }
      if (link_.state.Has(kStatusBufferFull)) break;
    }
    if (!SendBurst()) return 0;
  }
  link_.gate.SetSendingRest(go_sent_after_.has_value() && position_ < program_.size());
  ShowProgress(true);
  interval_ = kBurstIntervalMs;
  next_step_due_ms_ = CurrentClock().NowMs() + interval_;
  if (sent_listener_) sent_listener_(commands_sent_, true);
  return interval_;
}

bool TTransArm::SendBurst() {
  for (int command_index = 0; command_index < kBurstSize && position_ < program_.size(); ++command_index) {
    const auto length = static_cast<size_t>(*LengthOfCommandAt(static_cast<uint8_t>(program_[position_])));
    const std::string_view command = std::string_view(program_).substr(position_, length);
    position_ += length;
    ++commands_sent_;
    // A command the controller did not get would cut a different shape: the transmission ends at the first
    // failure.
    if (const int error = TrySend(link_, command); error != 0) {
      EndAfterFailedWrite(error);
      return false;
    }
    if (commands_sent_ == kCommandsBeforeGo) {
      if (const int error = TrySend(link_, GoCommand()); error != 0) {
        EndAfterFailedWrite(error);
        return false;
      }
      go_sent_after_ = commands_sent_;
      flags_.ProgramStarted = true;
    }
  }
  return true;
}

void TTransArm::EndForDrySpell() {
  stop();
  flags_.ProgramStarted = false;
  ++dry_spells_;
  // What reached the controller after it ran out waits for a Go that must never come; the wire stands in the
  // material and is switched off.
  const bool cleared = SendCommandAlways(link_, ClearProgramCommand());
  const bool cooled = AllHeatersOff(link_);
  if (!cleared || !cooled) link_.gate.GiveUpCut();
  CurrentOperator().ShowMessageBox(
      FillPlaceholders(link_.texts.GetText("Transmission", "programWyschniety"), {std::to_string(commands_sent_)}),
      true, "");
}

}  // namespace varnholt
