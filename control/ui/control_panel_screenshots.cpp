#include "control/ui/control_panel_screenshots.h"

#include <QApplication>

#include "control/ui/tster_form.h"
#include "link/sim/simulated_controller.h"

namespace varnholt {
namespace {

// A main window with one project open and nothing to do for the panel's requests.
class PictureMainWindow final : public MainWindowPort {
 public:
  int OpenProjectCount() const override { return 1; }
  ProjectDocument* ActiveProject() override { return nullptr; }
  bool AutoRepeat() const override { return false; }
  void SetMachineButtons(const MainButtonStates&) override {}
  void StartRequested() override {}
  void StopRequested() override {}
  void ContinueRequested() override {}
  void ProgramEnded() override {}
};

PanelKey HiddenPanelKey(int code) {
  PanelKey key;
  key.code = code;
  key.ctrl = key.alt = key.shift = true;
  return key;
}

}  // namespace

void ShowControlPanel(const tInterfejs& texts, const Configuration& config, const ProgramFolders& folders,
                      const std::function<void(QWidget& window, const std::string& name)>& save) {
  sim::SimulatedController machine("Qe");
  TfUsb usb(machine, texts);
  ControllerState state;
  MachineLink link{usb, state, config, texts};
  RunFlags flags;
  PictureMainWindow main_window;
  NoJoystick joystick;
  Tster panel(link, flags, main_window, joystick);
  panel.FormCreate();
  TsterForm form(panel, link, folders);
  form.ShowPanel();
  QApplication::processEvents();
  panel.FormActivate();
  // The speeds and the wire power an operator would set, then the arms moved at that speed.
  constexpr int32_t kArmSpeed = 1500, kConveyorSpeed = 800, kPower = 40, kVerticalPower = 30;
  panel.VScrollTasmaScroll();
  panel.VScrollTasmaChange(kConveyorSpeed);
  panel.PScrollPionoweChange(kVerticalPower);
  panel.PScrollChange(kPower);
  panel.VScrollScroll();
  panel.VScrollChange(kArmSpeed);
  constexpr double kStandingXmm = 1200.0, kStandingYmm = 350.0;
  panel.gotopoint(true, 2, kStandingXmm, kStandingXmm, kStandingYmm, kStandingYmm, 0, 0, 0, 0);
  // The step of an active panel with no input waiting: the one that fills the display.
  const PanelFocus active{true, false};
  panel.tick(active);
  form.ShowPanelView();
  QApplication::processEvents();
  save(form, "control_panel");

  panel.KeyDown(HiddenPanelKey(kKeyF1));
  panel.KeyDown(HiddenPanelKey(kKeyF12));
  panel.tick(active);
  form.ShowPanelView();
  QApplication::processEvents();
  save(form, "control_panel_service");
  form.hide();
}

}  // namespace varnholt
