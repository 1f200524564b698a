// varnholt: the desktop control program. Start-up in its fixed order: the main window with the language, the
// configuration dialog with the settings and the configuration, the base points, the machine (controller link,
// transmission, control panel); then the event loop.

#include <QApplication>
#include <QTimer>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/instance_beacon.h"
#include "app/instance_lock.h"
#include "app/program.h"
#include "app/start_options.h"
#include "app/ui/main_form.h"
#include "app/ui/screenshots.h"
#include "control/joystick.h"
#include "control/sdl/sdl_joystick.h"
#include "files/thpgl.h"
#include "geometry/clock.h"
#include "services/application.h"
#include "ui/qt_operator.h"
#include "ui/qt_translations.h"

namespace {

// The joystick the control panel reads: SDL's joystick 1 when a person sits at the program and SDL's joystick
// subsystem starts here. The unattended runs and a program nobody sees (offscreen) never read one, so no device
// at hand moves the machine there.
std::unique_ptr<varnholt::JoystickPort> MakeJoystick(bool unattended) {
  if (!unattended && QGuiApplication::platformName() != QLatin1String("offscreen")) {
    auto joystick = std::make_unique<varnholt::SdlJoystick>();
    if (joystick->started()) return joystick;
  }
  return std::make_unique<varnholt::NoJoystick>();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(
      varnholt::kApplicationTitle.data(), static_cast<qsizetype>(varnholt::kApplicationTitle.size())));

  std::vector<std::string> arguments;
  const QStringList qt_arguments = QApplication::arguments();
  for (qsizetype i = 1; i < qt_arguments.size(); ++i) arguments.push_back(qt_arguments[i].toStdString());
  varnholt::StartOptions options = varnholt::ParseStartOptions(arguments, std::getenv("VARNHOLT_SIM"));
  if (!options.error.empty()) {
    std::cerr << options.error << '\n' << varnholt::StartUsage();
    return 2;
  }

  // The unattended runs do not wait for the machine or the simulation: their clock is virtual, and the machine's
  // timers keep its pace.
  const bool unattended = options.screenshots || options.cut;
  varnholt::VirtualClock virtual_clock;
  std::optional<varnholt::ScopedClock> installed_clock;
  // A cut on the real clock keeps the timers' own pace.
  const bool virtual_time = unattended && !options.real_clock;
  if (virtual_time) installed_clock.emplace(virtual_clock);

  varnholt::QtOperator qt_operator;
  varnholt::ScopedOperator installed_operator(qt_operator);
  qt_operator.SetUnattended(unattended);
  varnholt::Program program(options);
  if (!program.CreateLanguage()) return 1;
  varnholt::InstallQtTranslations(program.texts().language_code());

  // Two copies on one program folder would fight over one controller and one configuration: the second one
  // brings the first one's window to the front, says so and ends before it looks for the controller. The
  // screenshots run on a simulated controller of their own.
  std::optional<varnholt::InstanceLock> instance;
  if (!options.screenshots) {
    const varnholt::ProgramFolders& folders = program.folders();
    instance.emplace(folders.writable.empty() ? folders.shipped : folders.writable);
    if (!instance->acquired()) {
      varnholt::RingRunningCopy(instance->beacon_name());
      qt_operator.ShowMessageBox(program.Text("Main_window", "juzUruchomiony"), true, "");
      return 3;
    }
  }

  // Made before the main window: the session the window ends reads it to the last.
  const std::unique_ptr<varnholt::JoystickPort> joystick = MakeJoystick(unattended);
  varnholt::TMainForm form(program);
  qt_operator.SetPanelSink([&form](int panel, const QString& text) { form.SetStatusPanel(panel, text); });
  form.CreateConfigurationDialog();
  form.LoadBasePoints();
  form.ConnectMachine(*joystick, virtual_time ? varnholt::MachineTimers::Pace::kProgramClock
                                             : varnholt::MachineTimers::Pace::kRealTime);

  if (unattended) {
    const std::string drawing = options.open_file ? *options.open_file : varnholt::ScreenshotDrawing(program);
    return varnholt::RunUnattended(form, program, virtual_clock, drawing, options.screenshots, options.cut);
  }
  std::optional<varnholt::InstanceBeacon> beacon;
  if (instance) {
    beacon.emplace(instance->beacon_name(), [&form] {
      form.setWindowState(form.windowState() & ~Qt::WindowMinimized);
      form.raise();
      form.activateWindow();
    });
  }
  form.show();
  // Opened from the running event loop, as one the operator opens: the program may be ended while it loads.
  if (options.open_file) {
    QTimer::singleShot(0, &form, [&form, &options] {
      form.OpenDrawing(*options.open_file, varnholt::DrawingKindOfFile(*options.open_file));
    });
  }
  return QApplication::exec();
}
