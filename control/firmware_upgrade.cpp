#include "control/firmware_upgrade.h"

#include <filesystem>

#include "config/file_write.h"
#include "geometry/clock.h"
#include "geometry/run_time_error.h"
#include "geometry/units.h"
#include "link/byte_order.h"
#include "link/machine_hold.h"
#include "services/interfejs.h"
#include "services/operator.h"
#include "services/program_folder.h"

namespace varnholt {
namespace {

constexpr const char* kSection = "Upgrade_firmware";
// The erase runs 15 s: 100 steps of the gauge, 150 ms each.
constexpr int kEraseStepMs = 150;
// The controller restarts within 9 s; the wait is cut in steps so the window keeps repainting.
constexpr int kRestartMs = 9000;
constexpr int kRestartStepMs = 100;
// What the first program word and the one after it read as in an erased memory.
constexpr uint32_t kBlankFirstWords = 0x0000FFFF;

}  // namespace

// One step of the dialog: the hourglass, and the busy mark while the outermost step runs, and the step's end at a lost
// link, told once; every step clears the step text at its end.
class FirmwareUpgrade::StepScope {
 public:
  // A step holds the machine; refused (another operation, a cut under way) it does nothing and fails the upgrade.
  explicit StepScope(FirmwareUpgrade& upgrade)
      : hold_(upgrade.link_, MachineOperation::kFirmware), upgrade_(upgrade), lost_link_(upgrade.link_) {
    if (!hold_) {
      upgrade_.ok_ = false;
      return;
    }
    if (upgrade_.depth_++ == 0) {
      upgrade_.view_.busy = true;
      upgrade_.Changed();
    }
  }
  ~StepScope() {
    if (!hold_) return;
    upgrade_.view_.status.clear();
    if (--upgrade_.depth_ == 0) {
      upgrade_.view_.busy = false;
    }
    upgrade_.Changed();
  }
  StepScope(const StepScope&) = delete;
  StepScope& operator=(const StepScope&) = delete;
  explicit operator bool() const { return static_cast<bool>(hold_); }
  void LinkRenewed() { lost_link_.LinkRenewed(); }

 private:
  MachineHold hold_;
  FirmwareUpgrade& upgrade_;
  EndAtLostLink lost_link_;
  // Guards nest, so each step holds one: the hourglass stays while the outermost step, or an operation around
  // the dialog's, runs.
  BusyCursor busy_;
};

FirmwareUpgrade::FirmwareUpgrade(MachineLink& link, ProgramFolders folders, std::function<void()> changed)
    : link_(link), folders_(std::move(folders)), changed_(std::move(changed)) {}

std::string FirmwareUpgrade::Text(const char* key) const { return link_.texts.GetText(kSection, key); }

void FirmwareUpgrade::Changed() {
  if (changed_) changed_();
  CurrentOperator().Repaint();
}

void FirmwareUpgrade::SetStatus(const char* step_key) {
  view_.status = Text("TrwaAktualizacja") + ":  " + Text(step_key);
  Changed();
}

void FirmwareUpgrade::SetProgress(int progress) {
  if (view_.progress == progress) return;
  view_.progress = progress;
  Changed();
}

void FirmwareUpgrade::SetProgressOfWord(size_t index) {
  SetProgress(static_cast<int>(nearest(static_cast<double>(index) / (kFirmwareProgramWords - 1) * 100.0)));
}

bool FirmwareUpgrade::Lost() const { return link_.lost_in_scope; }

bool FirmwareUpgrade::Send(const CommandBytes& command) {
  if (SendCommand(link_, command)) return true;
  ok_ = false;
  return false;
}

bool FirmwareUpgrade::ReadFirmwareRecord() {
  if (Lost()) return false;
  if (link_.usb.ReadString(kReplyFirmware) == 0) return true;
  ShowLinkLost(link_);
  ok_ = false;
  return false;
}

bool FirmwareUpgrade::StartReading() { return Send(SettingCommand(kSettingFirmwareRead, kFirmwareStartAddress)); }

std::optional<uint16_t> FirmwareUpgrade::ReadNextWord() {
  if (!ReadFirmwareRecord()) return std::nullopt;
  return ReadU16(link_.usb.ReplyRecord(), 6);
}

bool FirmwareUpgrade::IsBlank() {
  if (!StartReading() || !ReadFirmwareRecord()) return false;
  return ReadU32(link_.usb.ReplyRecord(), 6) == kBlankFirstWords;
}

void FirmwareUpgrade::ReadVersion() {
  StartReading();
  if (ReadFirmwareRecord()) {
    const ReplyRecordBytes& record = link_.usb.ReplyRecord();
    device_version_ = {record[0], record[1]};
  } else {
    device_version_ = {};
  }
  view_.device_version = device_version_.Text();
  Changed();
}

std::optional<FirmwareImage> FirmwareUpgrade::ImageForStep() {
  ImageLoad load = LoadFirmwareImage(image_path_);
  if (load.image) return std::move(load.image);
  ok_ = false;
  const char* key = "obrazNieczytelny";
  switch (load.problem) {
    case ImageProblem::kMissing:
      key = "obrazBrak";
      break;
    case ImageProblem::kShort:
      key = "obrazZaKrotki";
      break;
    case ImageProblem::kLong:
      key = "obrazZaDlugi";
      break;
    case ImageProblem::kVersionMismatch:
      key = "obrazWersjaNiezgodna";
      break;
    case ImageProblem::kImplausible:
      key = "obrazZlaWersja";
      break;
    case ImageProblem::kErased:
      key = "obrazPusty";
      break;
    default:
      break;
  }
  std::string message = Text(key) + "\n" + image_path_;
  if (!load.detail.empty()) message += "\n" + load.detail;
  CurrentOperator().ShowMessageBox(message, true, "");
  return std::nullopt;
}

bool FirmwareUpgrade::MachineInUse() {
  // A step of a step is part of it: the outer one has looked.
  if (depth_ > 0 || !link_.usb.present()) return false;
  ReadStatus(link_);
  return RefusalOf(link_, MachineOperation::kFirmware) != HoldRefusal::kNone;
}

bool FirmwareUpgrade::RefusedWhileMachineInUse() {
  if (!MachineInUse()) return false;
  ok_ = false;
  view_.verify = Text("maszynaPracuje");
  Changed();
  CurrentOperator().ShowMessageBox(Text("maszynaPracuje"), true, "");
  return true;
}

void FirmwareUpgrade::ShowImage() {
  if (!image_override_.empty()) {
    image_path_ = image_override_;
  } else {
    image_path_ = FindFirmwareImage(folders_, model_);
  }
  view_.image_path = image_path_;
  const ImageLoad load = LoadFirmwareImage(image_path_);
  if (load.image) {
    view_.image_version = load.image->version.Text();
  } else {
    // Without a usable image there is nothing to upgrade with.
    view_.image_version = Text(load.problem == ImageProblem::kMissing ? "brakPliku" : "plikUszkodzony");
  }
  view_.upgrade_enabled = load.image && ok_ && UpgradeAllowed(device_version_);
  Changed();
}

void FirmwareUpgrade::UseImageFile(const std::string& path) {
  image_override_ = path;
  ShowImage();
}

void FirmwareUpgrade::Show() {
  ok_ = true;
  view_ = FirmwareView{};
  first_difference_.reset();
  model_ = link_.state.model_code;
  if (model_.empty()) {
    if (const std::optional<HidDeviceInfo> device = link_.usb.SelectedDevice()) model_ = ModelCodeOf(*device);
  }
  if (MachineInUse()) {
    // A cut holds the controller: it is not asked, and nothing may be started.
    device_version_ = {};
    ok_ = false;
    view_.verify = Text("maszynaPracuje");
  } else {
    StepScope step(*this);
    if (step) ReadVersion();
  }
  ShowImage();
}

void FirmwareUpgrade::GetVersion() {
  if (RefusedWhileMachineInUse()) return;
  StepScope step(*this);
  if (!step) return;
  ReadVersion();
}

bool FirmwareUpgrade::Erase() {
  if (RefusedWhileMachineInUse()) return false;
  StepScope step(*this);
  if (!step) return false;
  SetStatus("Kasuje");
  view_.ticks[0] = true;
  program_touched_ = true;
  if (!Send(SettingCommand(kSettingFirmwareErase, 0))) {
    view_.verify = Text("KasowanieBlad");
    return false;
  }
  for (int progress = 1; progress <= 100; ++progress) {
    SetProgress(progress);
    SleepMs(kEraseStepMs);
  }
  const bool blank = IsBlank();
  view_.verify = Text(blank ? "KasowanieOK" : "KasowanieBlad");
  if (!blank) ok_ = false;
  return blank;
}

bool FirmwareUpgrade::Write(bool from_service_button) {
  if (RefusedWhileMachineInUse()) return false;
  const std::optional<FirmwareImage> image = ImageForStep();
  if (!image) return false;
  StepScope step(*this);
  if (!step) return false;
  if (!IsBlank() && !Lost() && !Erase()) {
    // Words written over a memory that is not erased do not make the program: the upgrade stops here.
    if (!Lost()) CurrentOperator().ShowMessageBox(Text("KasowanieBlad"), true, "");
    return false;
  }
  if (Lost() || (!from_service_button && !ok_)) return false;
  SetStatus("Zapisuje");
  view_.ticks[1] = true;
  view_.verify.clear();
  view_.progress = 0;
  Changed();
  if (!StartReading()) return false;
  program_touched_ = true;
  for (size_t i = 0; i < image->words.size(); ++i) {
    if (!Send(SettingCommand(kSettingFirmwareWrite, image->words[i]))) return false;
    SetProgressOfWord(i);
  }
  return true;
}

bool FirmwareUpgrade::Verify() {
  if (RefusedWhileMachineInUse()) return false;
  const std::optional<FirmwareImage> image = ImageForStep();
  if (!image) return false;
  StepScope step(*this);
  if (!step) return false;
  first_difference_.reset();
  view_.verify.clear();
  SetStatus("Weryfikuje");
  view_.ticks[2] = true;
  view_.progress = 0;
  Changed();
  const bool started = StartReading();
  for (size_t i = 0; started && i < image->words.size(); ++i) {
    const std::optional<uint16_t> word = ReadNextWord();
    if (!word || *word != image->words[i]) {
      first_difference_ = i;
      break;
    }
    SetProgressOfWord(i);
  }
  const bool passed = started && !first_difference_;
  if (passed) program_touched_ = false;
  if (!passed) ok_ = false;
  view_.verify = Text(passed ? "WeryfikacjaOk" : "WeryfikacjaBledy");
  return passed;
}

bool FirmwareUpgrade::ReadToFile(const std::string& target) {
  if (RefusedWhileMachineInUse()) return false;
  StepScope step(*this);
  if (!step) return false;
  SetStatus("Odczytuje");
  FirmwareImage image;
  ReadVersion();
  image.version = device_version_;
  view_.progress = 0;
  Changed();
  if (!StartReading()) return false;
  image.words.reserve(kFirmwareProgramWords);
  for (size_t i = 0; i < kFirmwareProgramWords; ++i) {
    const std::optional<uint16_t> word = ReadNextWord();
    if (!word) return false;  // no file is written
    image.words.push_back(*word);
    SetProgressOfWord(i);
  }
  const std::string bytes = FirmwareImageBytes(image);
  const std::string folder = folders_.writable.empty() ? folders_.shipped : folders_.writable;
  const std::string path = target.empty() ? FirmwareBackupPath(folder, model_, image.version, bytes) : target;
  try {
    // A folder that cannot be made fails the write below with its own message.
    MakeOwnFolders(std::filesystem::path(path).parent_path());
    WriteFileReplacing(path, bytes);
  } catch (const RunTimeError& error) {
    CurrentOperator().ShowMessageBox(error.what(), true, "");
    return false;
  }
  read_path_ = path;
  if (target.empty()) CurrentOperator().ShowMessageBox(Text("kopiaZapisana") + "\n" + path, false, "");
  return true;
}

void FirmwareUpgrade::Restart() {
  if (RefusedWhileMachineInUse()) return;
  StepScope step(*this);
  if (!step) return;
  SetStatus("Restartuje");
  Send(SettingCommand(kSettingFirmwareRestart, 0));
  for (int waited = 0; waited < kRestartMs; waited += kRestartStepMs) {
    SleepMs(kRestartStepMs);
    CurrentOperator().Repaint();
  }
  view_.status = Text("TrwaAktualizacja");
  Changed();
  // The controller comes back as a new device.
  link_.usb.DeviceChange();
  step.LinkRenewed();
  Send(ResetCommand());
  ReadVersion();
}

bool FirmwareUpgrade::Open() { return KeepMachine(link_, MachineOperation::kFirmware); }

void FirmwareUpgrade::Close() { link_.gate.Release(MachineOperation::kFirmware); }

UpgradeResult FirmwareUpgrade::Upgrade(bool recovery) {
  view_.upgrade_enabled = false;
  view_.status = Text("TrwaAktualizacja");
  ok_ = true;
  Changed();
  const auto failed = [this](UpgradeResult result) {
    view_.status.clear();
    view_.upgrade_enabled = true;
    Changed();
    return result;
  };
  if (RefusedWhileMachineInUse()) return failed(UpgradeResult::kFailed);
  const std::optional<FirmwareImage> image = ImageForStep();
  if (!image) return failed(UpgradeResult::kFailed);
  if (!recovery && !UpgradeAllowed(device_version_)) {
    CurrentOperator().ShowMessageBox(Text("wersjaSterownikaNieobslugiwana") + "\n" + device_version_.Text(), true, "");
    return failed(UpgradeResult::kFailed);
  }
  if (IsDowngrade(image->version, device_version_) &&
      CurrentOperator().AskQuestion(Text("downgrade"), Buttons({kButtonYes, kButtonCancel}), "") != kButtonYes) {
    return failed(UpgradeResult::kCancelled);
  }
  {
    StepScope step(*this);
    if (step && ok_) Write(false);
    if (ok_) Verify();
    if (ok_) ReadVersion();
  }
  if (!ok_) {
    // The controller holds no whole program now: switched off like this it may not start again.
    if (program_touched_) CurrentOperator().ShowMessageBox(Text("programNiekompletny"), true, "");
    return failed(UpgradeResult::kFailed);
  }
  CurrentOperator().ShowMessageBox(
      Text("aktualizacjaOK1") + "\n\n" + Text("aktualizacjaOK2") + "\n" + Text("aktualizacjaOK3"), false, "");
  return UpgradeResult::kDone;
}

}  // namespace varnholt
