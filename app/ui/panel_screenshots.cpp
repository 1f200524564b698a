// The control panel's pictures: the panel window the program shows with F5, filled by the status step.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <optional>

#include "app/program.h"
#include "app/ui/machine_timers.h"
#include "app/ui/main_form.h"
#include "app/ui/main_form_machine.h"
#include "app/ui/screenshots.h"
#include "control/ui/tster_form.h"

namespace varnholt {
namespace {

// The longest a status step is waited for, on the program clock.
constexpr int64_t kStepLimitMs = 10'000;
// The real time the platform gets to activate a window that was shown.
constexpr int kActivationMs = 2'000;
// The keys of the hidden test and service panels.
constexpr Qt::KeyboardModifiers kHiddenPanelModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;

// Where the wire stands, in millimetres.
struct WireAt {
  double X1, X2, Y1, Y2, belt3;
};

WireAt WireOf(const ControllerState& state) {
  return {state.X1 / 100.0, state.X2 / 100.0, state.Y1 / 100.0, state.Y2 / 100.0, state.belt3 / 100.0};
}

void MoveWireTo(Tster& panel, const WireAt& at) {
  constexpr int kManualGroup = 2;
  panel.gotopoint(true, kManualGroup, at.X1, at.X2, at.Y1, at.Y2, 0, 0, at.belt3, 0);
}

void WaitUntilActive(const QWidget& window) {
  QElapsedTimer waited;
  waited.start();
  while (!window.isActiveWindow() && waited.elapsed() < kActivationMs) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
}

// Presses and lets go of a key in the window, as the keyboard delivers it.
void TypeKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QWidget* target = window.focusWidget() != nullptr ? window.focusWidget() : &window;
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers);
  QApplication::sendEvent(target, &release);
}

void ToggleHiddenPanels(QWidget& window) {
  TypeKey(window, Qt::Key_F1, kHiddenPanelModifiers);
  TypeKey(window, Qt::Key_F12, kHiddenPanelModifiers);
}

}  // namespace

void SaveControlPanelPictures(TMainForm& form, Program& program,
                              const std::function<void(QWidget& window, const std::string& name)>& save) {
  TsterForm* window = form.machine().panel_window();
  MachineTimers* timers = form.machine_timers();
  if (window == nullptr || timers == nullptr) return;
  form.ActionNamed("sterowanie")->trigger();
  WaitUntilActive(*window);
  RunToNextStatusStep(*timers, kStepLimitMs);

  // Only the simulated controller is moved: the speeds and powers an operator would set, then the arms at that
  // speed. The wire goes back afterwards, so that a cut that follows starts where it would have.
  Tster& panel = program.session().panel;
  std::optional<WireAt> wire_before;
  if (program.simulated() != nullptr) {
    wire_before = WireOf(program.state());
    constexpr int32_t kArmSpeed = 1500, kConveyorSpeed = 800, kPower = 40, kVerticalPower = 30;
    panel.VScrollTasmaScroll();
    panel.VScrollTasmaChange(kConveyorSpeed);
    panel.PScrollPionoweChange(kVerticalPower);
    panel.PScrollChange(kPower);
    panel.VScrollScroll();
    panel.VScrollChange(kArmSpeed);
    MoveWireTo(panel, WireAt{1200.0, 1200.0, 350.0, 350.0, wire_before->belt3});
    RunToNextStatusStep(*timers, kStepLimitMs);
  }
  save(*window, "control_panel");

  ToggleHiddenPanels(*window);
  RunToNextStatusStep(*timers, kStepLimitMs);
  save(*window, "control_panel_service");
  ToggleHiddenPanels(*window);
  window->close();
  if (wire_before) MoveWireTo(panel, *wire_before);
}

}  // namespace varnholt
