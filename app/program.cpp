#include "app/program.h"

#include <exception>

#include "config/konfig_file.h"
#include "config/line_problems.h"
#include "link/sim/simulated_controller.h"
#include "link/usb_hid_backend.h"
#include "services/command_line.h"
#include "services/locale_country.h"
#include "services/operator.h"
#include "services/os_check.h"
#include "services/program_folder.h"

namespace varnholt {
namespace {

constexpr std::string_view kKonfigSection = "Configuration";

}  // namespace

Program::Program(StartOptions options)
    : options_(std::move(options)),
      folders_(ProgramFoldersOfThisRun(options_.home)),
      konfig_(folders_.writable, LocaleDecimalSeparator(), Hooks()) {
  test_mode = TestMode(options_);
  separate_third_axes = SeparateThirdAxesWanted(options_);
}

Program::~Program() { ReleaseLink(); }

KonfigHooks Program::Hooks() {
  KonfigHooks hooks;
  hooks.missing_file = [this](const std::string& path) {
    // The message in the box's body, where it is read whole; a title is cut to the box's width.
    CurrentOperator().ShowMessageBox(Text("Configuration", "brakKonfiga") + ":\r\n" + path, false, "");
  };
  hooks.incomplete_file = [this](const std::string& path, const KonfigLoad& load) {
    std::string message = LineProblemsMessage(path, load.problems, [this](std::string_view key) {
      return Text("Universal", key);
    });
    if (!load.unread.empty()) message += "\r\n" + Text(kKonfigSection, "konfigNieWczytane") + " " + UnreadNames(load);
    message += "\r\n" + Text(kKonfigSection, "konfigNieNadpisany");
    CurrentOperator().ShowMessageBox(message, true, "");
  };
  hooks.damaged_file_kept = [this](const std::string& path) {
    CurrentOperator().ShowMessageBox(Text(kKonfigSection, "konfigAutoSaveWstrzymany") + "\r\n" + path, true, "");
  };
  hooks.path_not_recorded = [this](const std::string& path) {
    CurrentOperator().ShowMessageBox(Text(kKonfigSection, "sciezkaZaDluga") + "\r\n" + path, true, "");
  };
  hooks.calibration_in_effect = [this](double x, double y, double z) {
    // Before the link exists there are no scale factors yet: identification takes the calibration then.
    if (session_) ApplyCalibration(session_->state, x, y, z);
  };
  hooks.open_filter_index = [this] { return open_filter_index; };
  return hooks;
}

bool Program::CreateLanguage() {
  try {
    texts_ =
        std::make_unique<tInterfejs>(InterfaceSetup{folders_.shipped, options_.arguments, LocaleCountryCode(), ""});
  } catch (const std::exception&) {
    const OsCheckResult system = CheckThisOperatingSystem();
    if (!system.supported) {
      CurrentOperator().ShowMessageBox(
          "This application won't work properly with your operating system:\r\n" + system.description +
              "\r\nA 32-bit version of Windows with Unicode, xml files and USB support is required (win98 SE "
              "or later)",
          true, "");
    }
    return false;
  }
  if (!texts_->loaded()) return false;
  if (const std::string problem = MakeWritableFolder(folders_); !problem.empty()) {
    CurrentOperator().ShowMessageBox(Text("Universal", "brakFolderuDanych") + "\r\n" + problem, true, "");
    return false;
  }
  dealer_code = DealerCode(texts_->dealer_code(), options_.arguments);
  return true;
}

void Program::CreateLink(MainWindowPort& main_window, JoystickPort& joystick) {
  if (options_.sim_model) {
    auto simulated = std::make_unique<sim::SimulatedController>(*options_.sim_model);
    simulated_ = simulated.get();
    backend_ = std::move(simulated);
  } else {
    backend_ = std::make_unique<UsbHidBackend>();
  }
  // A new session starts with a new controller state: the remembered third-axis positions are cleared.
  session_ = std::make_unique<MachineSession>(*backend_, *texts_, konfig_.params(), main_window, joystick,
                                              SessionOptions{folders_.writable, test_mode, separate_third_axes});
}

void Program::ReleaseLink() {
  session_.reset();
  simulated_ = nullptr;
  backend_.reset();
}

void SendConfigurationChanges(MachineLink& link, const Konfig& konfig, bool projects_open) {
  if (konfig.PowerChanged()) {
    ReadStatus(link);
    if (link.usb.present() && !link.state.Has(kStatusProgramRunning)) {
      SetPowerOutput(link, konfig.params().Choice(Param::PowerOutput));
    }
  }
  if (konfig.RotaryChanged() && projects_open && link.usb.present()) {
    SetUnit(link, konfig.params().Choice(Param::radiounit));
  }
}

}  // namespace varnholt
