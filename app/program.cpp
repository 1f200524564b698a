#include "app/program.h"

#include <exception>

#include "config/konfig_file.h"
#include "link/sim/simulated_controller.h"
#include "link/usb_hid_backend.h"
#include "services/command_line.h"
#include "services/locale_country.h"
#include "services/operator.h"
#include "services/os_check.h"
#include "services/program_folder.h"

namespace varnholt {

Program::Program(StartOptions options)
    : options_(std::move(options)),
      folders_(ProgramFoldersOfThisRun(options_.home)),
      konfig_(folders_.writable, LocaleDecimalSeparator(), Hooks()) {
  test_mode = TestMode(options_);
  separate_third_axes = SeparateThirdAxesWanted(options_);
}

Program::~Program() {
  link_.reset();
  usb_.reset();
}

KonfigHooks Program::Hooks() {
  KonfigHooks hooks;
  hooks.missing_file = [this](const std::string& path) {
    CurrentOperator().ShowMessageBox(path, false, Text("Configuration", "brakKonfiga"));
  };
  hooks.calibration_accepted = [this](double x, double y, double z) {
    if (state_.model_code.empty()) {
      // No model identified yet: its base factors are 1.
      state_.StepScaleX = CalibratedScale(1.0, x);
      state_.StepScaleY = CalibratedScale(1.0, y);
      state_.StepScaleZ = CalibratedScale(1.0, z);
    } else {
      // Identification left the model's base factor plus the calibration in effect when the dialog was shown.
      state_.StepScaleX += (x - calibration_shown_[0]) / 100.0;
      state_.StepScaleY += (y - calibration_shown_[1]) / 100.0;
      state_.StepScaleZ += (z - calibration_shown_[2]) / 100.0;
    }
    calibration_shown_ = {x, y, z};
  };
  hooks.open_filter_index = [this] { return open_filter_index; };
  return hooks;
}

void Program::NoteCalibrationShown() {
  const Configuration& c = konfig_.params();
  calibration_shown_ = {c.Number(Param::feKalibracjaX), c.Number(Param::feKalibracjaY),
                        c.Number(Param::feKalibracjaZ)};
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
  // The remembered third-axis positions start cleared.
  state_.remembered_third1 = 0;
  state_.remembered_third2 = 0;
  return true;
}

void Program::CreateLink() {
  if (options_.sim_model) {
    auto simulated = std::make_unique<sim::SimulatedController>(*options_.sim_model);
    simulated_ = simulated.get();
    backend_ = std::move(simulated);
  } else {
    backend_ = std::make_unique<UsbHidBackend>();
  }
  usb_ = std::make_unique<TfUsb>(*backend_, *texts_);
  link_ = std::make_unique<MachineLink>(MachineLink{*usb_, state_, konfig_.params(), *texts_});
  link_->separate_third_axes = separate_third_axes;
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
