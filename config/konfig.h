#pragma once
// The configuration dialog's logic without its window: the parameters, the settings record, the two files, the
// snapshot for Cancel and the flags that tell the main window what changed.

#include <cstdint>
#include <functional>
#include <string>

#include "config/parameters.h"
#include "config/program_settings.h"

namespace varnholt {

// What the logic asks of the program around it; every hook may be left empty.
struct KonfigHooks {
  // Tells the operator that a configuration file was missing and is being made (an information box captioned
  // with the text of "brakKonfiga", the path as its text). Called before the file is written.
  std::function<void(const std::string& path)> missing_file;
  // Recomputes the axis scale factors from the three calibration values (OK after a calibration change).
  std::function<void(double x, double y, double z)> calibration_accepted;
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

  // The program folder's "Varnholt.qcc", also the snapshot written when the dialog is shown.
  std::string DefaultKonfigPath() const;
  // The program folder's "Varnholt.vhc".
  std::string SettingsPath() const;
  // The current configuration file (the dialog's caption).
  std::string ConfigFilePath() const;
  // Sets the current configuration file; the record keeps its first 254 UTF-16 units.
  void SetConfigFilePath(const std::string& path);

  bool CalibrationChanged() const { return calibration_changed_; }
  bool RotaryChanged() const { return rotary_changed_; }
  // Cleared by the main window before it shows the dialog.
  void ClearRotaryChanged() { rotary_changed_ = false; }
  // Set by a power output click and by every configuration load; never cleared.
  bool PowerChanged() const { return power_changed_; }

  // Start-up: maxima, the settings record read (or made), the current configuration file loaded (or made),
  // CurrentUnit taken from radiounit and Mode set to 0. Throws RunTimeError when a file fails.
  void Create();
  // The dialog is about to show: maxima applied, enabling rules, the snapshot written, calibration flag cleared.
  void Show();
  // OK: scale factors after a calibration change, the settings record written, the configuration saved when
  // AutoSave is checked.
  void Ok();
  // Cancel: the snapshot loaded back, undoing every change made since the dialog was shown.
  void Cancel();
  // "Zapis": saves to path and makes it the current configuration file.
  void SaveAs(const std::string& path);
  // "Odczyt": loads path and makes it the current configuration file.
  void LoadFrom(const std::string& path);
  // The dialog loses focus: radiounit is copied to CurrentUnit.
  void Deactivate() { params_.TakeCurrentUnitFromRadiounit(); }
  // Program end: the settings record is written.
  void Destroy() { WriteSettings(); }

  // Writes the 37 lines of the current values to path.
  void SaveKonfig(const std::string& path);
  // Loads path into the parameters; a missing file is reported through the hook and made from the current
  // values. Sets PowerChanged at the end.
  void LoadKonfig(const std::string& path);
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

  std::string program_folder_;
  char decimal_separator_;
  KonfigHooks hooks_;
  Configuration params_;
  ProgramSettings settings_;
  bool calibration_changed_ = false;
  bool rotary_changed_ = false;
  bool power_changed_ = false;
};

// The feed sign of every project for a feed direction: +1 for right (0) and both (2), -1 for left (1).
int FeedSign(int cat_dir);

// An axis scale factor: the model's base factor plus the calibration percentage divided by 100.
double CalibratedScale(double base, double calibration);

}  // namespace varnholt
