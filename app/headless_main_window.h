#pragma once
// The main window as far as the cutting run and the control panel need it, without a window: one project, the
// automatic repetition toggle of the run, and the machine's buttons passed on to the run. For the command line
// and the tests.

#include <cstdint>

#include "app/cutting_run.h"
#include "control/main_window_port.h"

namespace varnholt {

class HeadlessMainWindow final : public MainWindowPort {
 public:
  // The project of the one open project window (nullptr for none).
  explicit HeadlessMainWindow(ProjectDocument* project) : project_(project) {}
  // The run the machine's buttons and the end of a program go to; until then they are only counted.
  void Attach(CuttingRun& run) { run_ = &run; }

  int OpenProjectCount() const override { return project_ != nullptr ? 1 : 0; }
  ProjectDocument* ActiveProject() override { return project_; }
  bool AutoRepeat() const override { return run_ != nullptr && run_->AutoRepeat(); }
  void SetMachineButtons(const MainButtonStates& states) override { buttons_ = states; }
  void StartRequested() override;
  void StopRequested() override;
  void ContinueRequested() override;
  void ProgramEnded() override;

  const MainButtonStates& buttons() const { return buttons_; }
  int64_t programs_ended() const { return programs_ended_; }

 private:
  ProjectDocument* project_;
  CuttingRun* run_ = nullptr;
  MainButtonStates buttons_;
  int64_t programs_ended_ = 0;
};

}  // namespace varnholt
