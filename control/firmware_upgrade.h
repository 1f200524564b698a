#pragma once
// The firmware upgrade: the controller's and the image's versions, and the steps that erase the controller's
// program memory, write the image word by word, verify it, read the controller's program into an image file and
// restart the controller. The dialog shows the view the steps fill.

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "control/firmware_image.h"
#include "link/controller_ops.h"

namespace varnholt {

// What the upgrade dialog shows.
struct FirmwareView {
  std::string device_version;    // the controller's version
  std::string image_version;     // the image's version, or why there is none
  std::string image_path;        // the hint of the image's version
  bool upgrade_enabled = false;  // the upgrade button
  std::array<bool, 3> ticks{};   // erase, write, verify done or under way
  std::string status;            // the step in progress
  int progress = 0;              // 0..100
  std::string verify;            // the result of erasing or verifying
  bool busy = false;             // a step runs; nothing else may start
};

// The result of an upgrade started with the button.
enum class UpgradeResult {
  kDone,       // written, verified, version read: the dialog closes after the success box
  kCancelled,  // the downgrade question was not answered Yes
  kFailed,     // a step failed; the button is enabled again
};

class FirmwareUpgrade {
 public:
  // Steps report every change of the view to changed (which may be empty); the windows repaint through the
  // operator port. The link and the texts must outlive this object.
  // The model's image is looked for in both folders (FindFirmwareImage); one read from the controller is written
  // into the writable folder.
  FirmwareUpgrade(MachineLink& link, ProgramFolders folders, std::function<void()> changed = {});

  // The window opens: it keeps the machine until Close, so nothing else starts between its steps. False (with the
  // refusal shown) while a cut is under way or another operation keeps the machine.
  bool Open();
  void Close();
  // Showing the dialog: clears the view, reads the controller's version, finds the model's image and enables the
  // button by the version rules.
  void Show();
  // Uses this image file instead of the model's (the command line names its image).
  void UseImageFile(const std::string& path) { image_override_ = image_path_ = read_target_ = path; }

  // The upgrade button: the downgrade question, then write, verify and the new version while every step succeeds;
  // the success box at the end.
  UpgradeResult Upgrade();

  // The single steps of the service panel. Write and Verify return whether they succeeded.
  void GetVersion();
  bool Erase();
  bool Write(bool from_service_button);
  bool Verify();
  // Reads the controller's program into the image file (the model's image in the writable folder, or the file given
  // to UseImageFile); the file is replaced only once the whole program was read, and is the image from then on.
  bool ReadToFile();
  void Restart();

  const FirmwareView& view() const { return view_; }
  bool ok() const { return ok_; }
  const FirmwareVersion& device_version() const { return device_version_; }
  const std::string& image_path() const { return image_path_; }
  // The first program word the last verification found different (or could not read).
  std::optional<size_t> first_difference() const { return first_difference_; }

 private:
  class StepScope;

  // Sends a command; a failure clears ok, and after it the step sends nothing more (its lost-link box told once).
  bool Send(const CommandBytes& command);
  // Reads reply record 17; a failure is reported as a lost link once and clears ok.
  bool ReadFirmwareRecord();
  // The link was lost in the running step.
  bool Lost() const;
  bool StartReading();
  bool IsBlank();
  void ReadVersion();
  // Loads the image for a step; a missing, unreadable or short image is reported and gives nothing.
  std::optional<FirmwareImage> ImageForStep();
  // Reads the next program word from the controller; nothing (after the lost-link box) when the read failed.
  std::optional<uint16_t> ReadNextWord();
  void SetStatus(const char* step_key);
  void SetProgress(int progress);
  void SetProgressOfWord(size_t index);
  void Changed();
  std::string Text(const char* key) const;

  MachineLink& link_;
  ProgramFolders folders_;
  std::function<void()> changed_;
  std::string image_path_;
  std::string read_target_;  // where ReadToFile writes the controller's program
  std::string image_override_;
  FirmwareView view_;
  FirmwareVersion device_version_;
  std::optional<size_t> first_difference_;
  bool ok_ = true;
  int depth_ = 0;  // steps running, the outermost first
};

}  // namespace varnholt
