#pragma once
// The configuration dialog's logic without its window: the parameters, the settings record, the two files, the
// snapshot for Cancel and the flags that tell the main window what changed.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "config/konfig_file.h"
#include "config/parameters.h"
#include "config/program_settings.h"

namespace varnholt {

// What the logic asks of the program around it; every hook may be left empty.
struct KonfigHooks {
  // Tells the operator that a configuration file was missing and is being made (an information box captioned
  // with the text of "brakKonfiga", the path as its text). Called before the file is written.
  std::function<void(const std::string& path)> missing_file;
  // Tells the operator that a configuration file did not load whole (its refused lines, the parameters that took no
  // value from it); the file will not be written over until the operator saves it.
  std::function<void(const std::string& path, const KonfigLoad& load)> incomplete_file;
  // Tells the operator that OK with AutoSave left the file in use as it was, because it did not load whole.
  std::function<void(const std::string& path)> damaged_file_kept;
  // Tells the operator that the file in use has a path longer than the settings record holds: it stays in use, but
  // the record keeps the previous file, which the next start loads.
  std::function<void(const std::string& path)> path_not_recorded;
  // Sets the axis scale factors from the three calibration values: the model's base factors plus the values, so
  // that a change is counted once however often it is applied (OK after a calibration change, and Cancel after one,
  // with the values the dialog was shown with).
  std::function<void(double x, double y, double z)> calibration_in_effect;
  // The drawing open dialog's filter index, taken just before the settings record is written.
  std::function<int32_t()> open_filter_index;
};

class Konfig {
 public:
  // program_folder holds the default configuration file and the settings record.
  Konfig(std::string program_folder, char decimal_separator, KonfigHooks hooks = {});
  Konfig(const Konfig&) = delete;
  Konfig& operator=(const Konfig&) = delete;

  Configuration& params() { return params_; }
  const Configuration& params() const { return params_; }
  ProgramSettings& settings() { return settings_; }
  const ProgramSettings& settings() const { return settings_; }
  char decimal_separator() const { return decimal_separator_; }

  // The program folder's "Varnholt.qcc", the configuration file when the settings record names none.
  std::string DefaultKonfigPath() const;
  // The program folder's "Varnholt.vhc".
  std::string SettingsPath() const;
  // The current configuration file (the dialog's caption), whole whatever its length.
  const std::string& ConfigFilePath() const { return config_path_; }
  // Sets the current configuration file. The settings record takes it when it can hold it whole; otherwise the
  // record keeps the previous path and the operator is told (path_not_recorded). Returns whether it was recorded.
  bool SetConfigFilePath(const std::string& path);
  // The current configuration file loaded whole, or was written by the program since: only then may OK with
  // AutoSave write it.
  bool ConfigFileWhole() const { return config_whole_; }

  bool CalibrationChanged() const { return calibration_changed_; }
  bool RotaryChanged() const { return rotary_changed_; }
  // Cleared by the main window before it shows the dialog.
  void ClearRotaryChanged() { rotary_changed_ = false; }
  // Set by a power output click and by every configuration load; never cleared.
  bool PowerChanged() const { return power_changed_; }

  // Start-up: maxima, the settings record read (or made), the current configuration file loaded (or made),
  // CurrentUnit taken from radiounit and Mode set to 0. Throws RunTimeError when a file fails; a file that loads
  // only in part is told through incomplete_file.
  void Create();
  // The dialog is about to show: maxima applied, enabling rules, the snapshot for Cancel taken (in memory: the
  // values, the file in use and whether it loaded whole), calibration flag cleared. Writes no file.
  void Show();
  // OK: scale factors after a calibration change, the settings record written, and the configuration saved when
  // AutoSave is checked and the file loaded whole. A failure of one write does not skip the other; throws one
  // RunTimeError naming every failure.
  void Ok();
  // Cancel: the values and the file in use of the moment the dialog was shown come back.
  void Cancel();
  // "Zapis": saves to path and makes it the current configuration file (whole: it holds what the program wrote).
  void SaveAs(const std::string& path);
  // "Odczyt": loads path and makes it the current configuration file.
  void LoadFrom(const std::string& path);
  // The dialog loses focus: radiounit is copied to CurrentUnit.
  void Deactivate() { params_.TakeCurrentUnitFromRadiounit(); }
  // Program end: the settings record is written.
  void Destroy() { WriteSettings(); }

  // Writes the 37 lines of the current values to path.
  void SaveKonfig(const std::string& path);
  // The values differ from what the configuration file in use holds (as the program last loaded or wrote it),
  // leaving out the settings the program forces itself whenever the dialog shows.
  bool DiffersFromFile() const;
  // Told after every change of a value (the dialog's marker follows it); empty for none.
  void SetChangeListener(std::function<void()> listener) { change_listener_ = std::move(listener); }
  // Loads path into the parameters; a missing file is reported through the hook and made from the current
  // values, a file that loads in part through incomplete_file. Sets PowerChanged at the end. Returns whether the
  // file loaded whole (a file just made counts as whole).
  bool LoadKonfig(const std::string& path);
  // Reads the settings record, making it from the defaults when it is missing or short.
  void ReadSettings();
  // Writes the settings record with the open dialog's filter index.
  void WriteSettings();

  // Tells the logic the connected model's speed maxima (applied now and each time the dialog is shown).
  void SetModelMaxima(const SpeedMaxima& maxima) { params_.ApplyModelMaxima(maxima); }
  // The operator clicked the power output choice.
  void PowerOutputClicked();
  // The operator clicked the display unit choice.
  void RadiounitClicked();
  // The operator clicked the feed direction choice.
  void CatDirClicked() { ApplyEnablingRules(); }
  // StolikSwitch := 2 (none), MoveAfter unchecked; the window then applies the unit and the feed signs.
  void ApplyEnablingRules();

 private:
  void OnChange(Param param);

  // What Cancel brings back.
  struct Snapshot {
    Configuration values;
    std::string path;
    std::u16string recorded_path;
    bool whole = true;
  };

  std::string program_folder_;
  char decimal_separator_;
  KonfigHooks hooks_;
  Configuration params_;
  ProgramSettings settings_;
  std::string config_path_;
  bool config_whole_ = true;
  std::optional<Snapshot> snapshot_;
  // The file the program last loaded or wrote, and its values as text.
  std::string file_path_;
  std::string file_text_;
  std::function<void()> change_listener_;
  bool calibration_changed_ = false;
  bool rotary_changed_ = false;
  bool power_changed_ = false;
};

// The feed sign of every project for a feed direction: +1 for right (0) and both (2), -1 for left (1).
int FeedSign(int cat_dir);

}  // namespace varnholt
