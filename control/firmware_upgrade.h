#pragma once
// The firmware upgrade: the controller's and the image's versions, and the steps that erase the controller's
// program memory, write the image word by word, verify it, read the controller's program into a backup file and
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
  std::string image_path;        // the image the upgrade writes
  bool upgrade_enabled = false;  // the upgrade button
  std::array<bool, 3> ticks{};   // erase, write, verify done or under way
  std::string status;            // the step in progress
  int progress = 0;              // 0..100
  std::string verify;            // the result of erasing or verifying, or why nothing may be sent
  bool busy = false;             // a step runs; nothing else may start
};

// The result of an upgrade started with the button.
enum class UpgradeResult {
  kDone,       // written, verified, version read: the dialog closes after the success box
  kCancelled,  // the downgrade question was not answered Yes
  kFailed,     // a step failed, or the machine was in use; the button is enabled again
};

class FirmwareUpgrade {
 public:
  // Steps report every change of the view to changed (which may be empty); the windows repaint through the
  // operator port. The link and the texts must outlive this object.
  // The model's image is looked for in both folders (FindFirmwareImage); a program read from the controller is kept
  // as a backup in the writable folder.
  FirmwareUpgrade(MachineLink& link, ProgramFolders folders, std::function<void()> changed = {});

  // The window opens: it keeps the machine until Close, so nothing else starts between its steps. False (with the
  // refusal shown) while a cut is under way or another operation keeps the machine.
  bool Open();
  void Close();
  // Showing the dialog: clears the view, reads the controller's version, finds the model's image and enables the
  // button by the version rules. While the machine is in use the controller is not asked and the button stays off.
  void Show();
  // Uses this image file instead of the model's (the operator picked it, or the command line names it); the view
  // shows it at once.
  void UseImageFile(const std::string& path);

  // The upgrade button: the downgrade question, then write, verify and the new version while every step succeeds;
  // the success box at the end. A recovery runs the same for a controller whose version the button refuses (a
  // damaged or unknown firmware), so that no firmware leaves a machine the program cannot mend. The image is
  // checked whole either way. After a failure that left the controller's program erased or written in part, a box
  // tells the operator to repeat the upgrade before switching the controller off.
  UpgradeResult Upgrade(bool recovery = false);

  // The single steps of the service panel. Erase, Write and Verify return whether they succeeded.
  void GetVersion();
  bool Erase();
  bool Write(bool from_service_button);
  bool Verify();
  // Reads the controller's program with its version into target, or, when target is empty, into a backup file of
  // its own (FirmwareBackupPath) and tells the operator where. The file is written only once the whole program was
  // read, and never becomes the upgrade image unless the operator picks it.
  bool ReadToFile(const std::string& target = {});
  void Restart();

  // Whether a cut holds the machine: a program runs or stands paused on the controller, or a transmission streams
  // one. Every step asks it before it sends anything and is refused while it holds; this is the one place that
  // decides.
  bool MachineInUse();

  const FirmwareView& view() const { return view_; }
  bool ok() const { return ok_; }
  const FirmwareVersion& device_version() const { return device_version_; }
  const std::string& image_path() const { return image_path_; }
  // The file the last successful ReadToFile wrote.
  const std::string& read_path() const { return read_path_; }
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
  // Shows why nothing is sent while the machine is in use, and says so.
  bool RefusedWhileMachineInUse();
  bool StartReading();
  bool IsBlank();
  void ReadVersion();
  // Finds the image (the operator's choice, else the model's) and shows its version and path.
  void ShowImage();
  // Loads the image for a step; a missing, unreadable or damaged image is reported and gives nothing.
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
  std::string model_;
  std::string image_path_;
  std::string image_override_;
  std::string read_path_;
  FirmwareView view_;
  FirmwareVersion device_version_;
  std::optional<size_t> first_difference_;
  bool ok_ = true;
  // The controller's program was erased or written since it last verified whole.
  bool program_touched_ = false;
  int depth_ = 0;  // steps running, the outermost first
};

}  // namespace varnholt
