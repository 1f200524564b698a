#include "app/machine_session.h"

#include "geometry/clock.h"

namespace varnholt {

MachineSession::MachineSession(HidBackend& backend, const tInterfejs& texts, const Configuration& config,
                               MainWindowPort& main_window, JoystickPort& joystick, const SessionOptions& options)
    : usb(backend, texts),
      link{usb, state, config, texts},
      transmission(link, flags, options.program_folder),
      panel(link, flags, main_window, joystick),
      run(link, flags, transmission, panel, progress, main_window,
          CutRunSetup{options.program_folder, options.test_mode}) {
  link.separate_third_axes = options.separate_third_axes;
  panel.FormCreate();
}

void MachineSession::FollowCut() {
  const int64_t ends = panel.program_ends_noticed();
  bool ended = ends != followed_ends_;
  followed_ends_ = ends;
  // An end noticed before the cut that runs now began (its repetition) was the end of the cut before it.
  if (progress.serial() != followed_cut_) {
    followed_cut_ = progress.serial();
    ended = false;
  }
  if (!progress.active()) return;
  if (ended) {
    progress.End(CutPhase::kFinished);
    return;
  }
  if (panel.position_reads() != followed_reads_) {
    followed_reads_ = panel.position_reads();
    const AxisSteps& steps = panel.read_positions();
    progress.Observe(steps[0], steps[1], state.Has(kStatusPaused), CurrentClock().NowMs());
  }
  // No end was noticed, yet nothing runs any more or the cut was given up: it did not end whole.
  if (!Cutting() || link.gate.cooling_due()) progress.End(CutPhase::kIncomplete);
}

bool MachineSession::WireMillimetres(double& x_mm, double& y_mm) const {
  if (panel.position_reads() == 0) return false;
  const AxisSteps& steps = panel.read_positions();
  x_mm = StepsToHundredths(steps[0], state.StepScaleX) / 100.0;
  y_mm = StepsToHundredths(steps[1], state.StepScaleY) / 100.0;
  return true;
}

}  // namespace varnholt
