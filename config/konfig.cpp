#include "config/konfig.h"

#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "config/konfig_file.h"
#include "config/utf16.h"
#include "geometry/run_time_error.h"

namespace varnholt {

Konfig::Konfig(std::string program_folder, char decimal_separator, KonfigHooks hooks)
    : program_folder_(std::move(program_folder)), decimal_separator_(decimal_separator), hooks_(std::move(hooks)) {
  params_.SetChangeObserver([this](Param param) { OnChange(param); });
}

std::string Konfig::DefaultKonfigPath() const {
  return (std::filesystem::path(program_folder_) / kKonfigFileName).string();
}

std::string Konfig::SettingsPath() const {
  return (std::filesystem::path(program_folder_) / kSettingsFileName).string();
}

std::string Konfig::ConfigFilePath() const { return Utf16ToUtf8(settings_.ConfigFilePath); }

void Konfig::SetConfigFilePath(const std::string& path) {
  settings_.ConfigFilePath = FirstUnits(Utf8ToUtf16(path), kConfigPathUnits);
}

void Konfig::Create() {
  params_.ApplyModelMaxima(params_.ModelMaxima());
  params_.ApplyPowerMaxima();
  // A settings record that cannot be written must not keep the configuration from loading, nor a damaged
  // configuration the unit its values give: every step runs, and the first failure is reported at the end.
  std::exception_ptr failure;
  const auto step = [&failure](const auto& work) {
    try {
      work();
    } catch (const RunTimeError&) {
      if (!failure) failure = std::current_exception();
    }
  };
  step([this] { ReadSettings(); });
  // A record without a path (never written by the program) would leave nothing to load or save.
  if (settings_.ConfigFilePath.empty()) SetConfigFilePath(DefaultKonfigPath());
  step([this] { LoadKonfig(ConfigFilePath()); });
  params_.TakeCurrentUnitFromRadiounit();
  params_.SetChoice(Param::Mode, 0);
  if (failure) std::rethrow_exception(failure);
}

void Konfig::Show() {
  params_.ApplyModelMaxima(params_.ModelMaxima());
  params_.ApplyPowerMaxima();
  ApplyEnablingRules();
  SaveKonfig(DefaultKonfigPath());
  calibration_changed_ = false;
}

void Konfig::Ok() {
  if (calibration_changed_ && hooks_.calibration_accepted) {
    hooks_.calibration_accepted(params_.Number(Param::feKalibracjaX), params_.Number(Param::feKalibracjaY),
                                params_.Number(Param::feKalibracjaZ));
  }
  WriteSettings();
  if (params_.Checked(Param::AutoSave)) SaveKonfig(ConfigFilePath());
}

void Konfig::Cancel() { LoadKonfig(DefaultKonfigPath()); }

void Konfig::SaveAs(const std::string& path) {
  SaveKonfig(path);
  SetConfigFilePath(path);
}

void Konfig::LoadFrom(const std::string& path) {
  LoadKonfig(path);
  SetConfigFilePath(path);
}

void Konfig::SaveKonfig(const std::string& path) { WriteKonfigFile(path, params_, decimal_separator_); }

void Konfig::LoadKonfig(const std::string& path) {
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) {
    if (hooks_.missing_file) hooks_.missing_file(path);
    SaveKonfig(path);
  } else {
    ReadKonfigFile(path, params_, decimal_separator_);
  }
  power_changed_ = true;
}

void Konfig::ReadSettings() { settings_ = ReadProgramSettingsFile(SettingsPath(), DefaultKonfigPath()); }

void Konfig::WriteSettings() {
  if (hooks_.open_filter_index) settings_.OpenFilterIndex = hooks_.open_filter_index();
  WriteProgramSettingsFile(SettingsPath(), settings_);
}

void Konfig::PowerOutputClicked() {
  power_changed_ = true;
  params_.ApplyPowerMaxima();
}

void Konfig::RadiounitClicked() {
  params_.TakeCurrentUnitFromRadiounit();
  ApplyEnablingRules();
}

void Konfig::ApplyEnablingRules() {
  params_.SetChoice(Param::StolikSwitch, 2);
  params_.SetFlag(Param::MoveAfter, FlagState::kUnchecked);
}

void Konfig::OnChange(Param param) {
  switch (param) {
    case Param::feKalibracjaX:
    case Param::feKalibracjaY:
    case Param::feKalibracjaZ:
      calibration_changed_ = true;
      break;
    case Param::StolikSwitch:
    case Param::KierunekObrotow:
      rotary_changed_ = true;
      break;
    default:
      break;
  }
}

int FeedSign(int cat_dir) { return cat_dir == 1 ? -1 : 1; }

double CalibratedScale(double base, double calibration) { return base + calibration / 100.0; }

}  // namespace varnholt
