#pragma once
// The program-wide single objects of the desktop program, made in the order of start-up: the language
// component, the configuration, the base points, then the machine session (the controller link over the real or
// the simulated controller, the transmission, the control panel and the cutting run).

#include <memory>
#include <optional>
#include <string>

#include "app/machine_session.h"
#include "app/start_options.h"
#include "config/konfig.h"
#include "control/base_points.h"
#include "services/interfejs.h"
#include "services/program_folder.h"

namespace varnholt {

namespace sim {
class SimulatedController;
}

class Program {
 public:
  explicit Program(StartOptions options);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  const StartOptions& options() const { return options_; }
  // The program folders: the shipped data read from `shipped`, every file the program writes in `writable`.
  const ProgramFolders& folders() const { return folders_; }

  // Creates the language component from the shipped data, then makes the writable folder on first start; false
  // when the program must end (no language file could be loaded, the component could not be made on this system,
  // or the writable folder cannot be made: the reason has been shown).
  bool CreateLanguage();
  const tInterfejs& texts() const { return *texts_; }
  // The text of key in section.
  std::string Text(std::string_view section, std::string_view key) const {
    return texts_->GetText(section, key);
  }

  Konfig& konfig() { return konfig_; }
  Configuration& config() { return konfig_.params(); }

  // Reads base.txt of the program folder; a file that is there but cannot be read throws a RunTimeError and is
  // then never written over.
  void LoadBasePoints() { base_points_.Load(folders_.writable); }
  // Writes the base points back when they changed (a RunTimeError when that fails; the old file stays whole).
  void SaveBasePoints() const { base_points_.Save(folders_.writable); }
  const BasePoints& base_points() const { return base_points_; }

  // Creates the machine session over the simulated controller of --sim, else over USB: the devices are listed
  // and the controller, when found, is sent Reset; then the transmission and the control panel are made (the panel
  // identifies and sets up the controller). The main window and the joystick must outlive the session.
  void CreateLink(MainWindowPort& main_window, JoystickPort& joystick);
  // Program end: the session goes and the link gives its devices back.
  void ReleaseLink();
  bool has_link() const { return session_ != nullptr; }
  // The session and its parts; the link must exist.
  MachineSession& session() { return *session_; }
  MachineLink& link() { return session_->link; }
  ControllerState& state() { return session_->state; }
  // The simulated controller behind the link, when --sim chose one.
  sim::SimulatedController* simulated() { return simulated_; }

  // Program-wide run state.
  std::string dealer_code;
  bool test_mode = false;
  bool separate_third_axes = false;
  // The drawing open dialog's filter index, written with the settings record.
  int32_t open_filter_index = 1;

 private:
  KonfigHooks Hooks();

  StartOptions options_;
  ProgramFolders folders_;
  std::unique_ptr<tInterfejs> texts_;
  Konfig konfig_;
  BasePoints base_points_;
  std::unique_ptr<HidBackend> backend_;
  sim::SimulatedController* simulated_ = nullptr;
  std::unique_ptr<MachineSession> session_;
};

// The controller's share of a configuration change: the power output when it changed and no program runs, the
// unit when the rotary device changed and projects are open.
void SendConfigurationChanges(MachineLink& link, const Konfig& konfig, bool projects_open);

}  // namespace varnholt
