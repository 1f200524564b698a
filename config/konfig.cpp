#include "config/konfig.h"

#include <exception>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "config/konfig_file.h"
#include "config/program_settings.h"
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

bool Konfig::SetConfigFilePath(const std::string& path) {
  config_path_ = path;
  if (FitsConfigPath(path)) {
    settings_.ConfigFilePath = Utf8ToUtf16(path);
    return true;
  }
  if (hooks_.path_not_recorded) hooks_.path_not_recorded(path);
  return false;
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
  // A record without a path (never written by the program, or made where the path did not fit) names the
  // default file.
  if (settings_.ConfigFilePath.empty()) {
    SetConfigFilePath(DefaultKonfigPath());
  } else {
    config_path_ = Utf16ToUtf8(settings_.ConfigFilePath);
  }
  // Until it has been read, the file in use is not written over.
  config_whole_ = false;
  step([this] { config_whole_ = LoadKonfig(config_path_); });
  params_.TakeCurrentUnitFromRadiounit();
  params_.SetChoice(Param::Mode, 0);
  if (failure) std::rethrow_exception(failure);
}

void Konfig::Show() {
  params_.ApplyModelMaxima(params_.ModelMaxima());
  params_.ApplyPowerMaxima();
  ApplyEnablingRules();
  snapshot_ = Snapshot{params_, config_path_, settings_.ConfigFilePath, config_whole_};
  calibration_changed_ = false;
}

void Konfig::Ok() {
  if (calibration_changed_ && hooks_.calibration_in_effect) {
    hooks_.calibration_in_effect(params_.Number(Param::feKalibracjaX), params_.Number(Param::feKalibracjaY),
                                 params_.Number(Param::feKalibracjaZ));
  }
  snapshot_.reset();
  std::string failures;
  const auto attempt = [&failures](const auto& work) {
    try {
      work();
    } catch (const RunTimeError& error) {
      failures += (failures.empty() ? "" : "\r\n") + std::string(error.what());
    }
  };
  attempt([this] { WriteSettings(); });
  if (params_.Checked(Param::AutoSave)) {
    if (config_whole_) {
      attempt([this] { SaveKonfig(config_path_); });
    } else if (hooks_.damaged_file_kept) {
      hooks_.damaged_file_kept(config_path_);
    }
  }
  if (!failures.empty()) throw RunTimeError(failures);
}

void Konfig::Cancel() {
  if (!snapshot_) return;
  params_.TakeValuesFrom(snapshot_->values);
  config_path_ = snapshot_->path;
  settings_.ConfigFilePath = snapshot_->recorded_path;
  config_whole_ = snapshot_->whole;
  snapshot_.reset();
  // The factors follow the values: an identification while the dialog was open took the values it showed.
  if (calibration_changed_ && hooks_.calibration_in_effect) {
    hooks_.calibration_in_effect(params_.Number(Param::feKalibracjaX), params_.Number(Param::feKalibracjaY),
                                 params_.Number(Param::feKalibracjaZ));
  }
  calibration_changed_ = false;
  power_changed_ = true;
}

void Konfig::SaveAs(const std::string& path) {
  SaveKonfig(path);
  SetConfigFilePath(path);
  config_whole_ = true;
}

void Konfig::LoadFrom(const std::string& path) {
  const bool whole = LoadKonfig(path);
  SetConfigFilePath(path);
  config_whole_ = whole;
}

void Konfig::SaveKonfig(const std::string& path) {
  WriteKonfigFile(path, params_, decimal_separator_);
  file_path_ = path;
  file_text_ = KonfigText(params_, decimal_separator_);
}

namespace {

// The text without the lines of the settings the program forces (the enabling rules, the mode at start).
std::string WithoutForcedLines(const std::string& text) {
  std::string kept;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string_view line(text.data() + start, end - start);
    const bool forced = line.starts_with("StolikSwitch :=") || line.starts_with("MoveAfter :=") ||
                        line.starts_with("Mode :=");
    if (!forced) kept += line;
    start = end;
  }
  return kept;
}

}  // namespace

bool Konfig::DiffersFromFile() const {
  if (file_path_ != config_path_) return true;
  return WithoutForcedLines(KonfigText(params_, decimal_separator_)) != WithoutForcedLines(file_text_);
}

bool Konfig::LoadKonfig(const std::string& path) {
  std::error_code ignored;
  bool whole = true;
  if (!std::filesystem::exists(path, ignored)) {
    if (hooks_.missing_file) hooks_.missing_file(path);
    SaveKonfig(path);
  } else {
    const KonfigLoad load = ReadKonfigFile(path, params_, decimal_separator_);
    whole = load.Whole();
    file_path_ = path;
    file_text_ = KonfigText(params_, decimal_separator_);
    if (!whole && hooks_.incomplete_file) hooks_.incomplete_file(path, load);
  }
  power_changed_ = true;
  return whole;
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
  if (change_listener_) change_listener_();
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

}  // namespace varnholt
