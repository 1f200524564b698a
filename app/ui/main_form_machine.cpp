#include "app/ui/main_form_machine.h"

#include <QFileInfo>
#include <QTimer>

#include "app/cut_status.h"
#include "app/cutting_run.h"
#include "app/program.h"
#include "app/ui/main_form.h"
#include "control/ui/tster_form.h"
#include "control/ui/upgrade_program_form.h"
#include "files/thpgl.h"
#include "project/ui/mdi_child.h"

namespace varnholt {

MainFormMachine::MainFormMachine(TMainForm& form, Program& program) : form_(form), program_(program) {}

MainFormMachine::~MainFormMachine() = default;

void MainFormMachine::Connect(MachineTimers::Pace pace) {
  MachineSession& session = program_.session();
  // A window of its own that stays above the main window.
  panel_window_ = std::make_unique<TsterForm>(session.panel, session.link, program_.folders(), &form_);
  timers_ = std::make_unique<MachineTimers>(session, pace);
  TsterForm* window = panel_window_.get();
  timers_->SetFocusSource([window] { return window->Focus(); });
  QObject::connect(timers_.get(), &MachineTimers::StatusStepped, window, &TsterForm::ShowPanelView);
  // The controller back (or found at start) with the last cut not ended: the resume is offered, from the event
  // loop, once the step and what it noticed are done.
  QObject::connect(timers_.get(), &MachineTimers::StatusStepped, &form_, [this] {
    if (!program_.session().run.TakeResumeOffer()) return;
    QTimer::singleShot(0, &form_, [this] {
      if (program_.has_link()) Resume();
    });
  });
  QObject::connect(timers_.get(), &MachineTimers::CutFollowed, &form_, [this] { ShowCut(); });
  timers_->Start();
}

void MainFormMachine::Disconnect() {
  // The timers hold the window in their focus source: they go first, so no step reaches a deleted window.
  if (timers_ != nullptr) timers_->Stop();
  timers_.reset();
  panel_window_.reset();
}

void MainFormMachine::ShowControlPanel() {
  if (panel_window_ != nullptr) panel_window_->ShowPanel();
}

void MainFormMachine::FollowTransmission() {
  if (timers_ != nullptr) timers_->FollowTransmission();
}

int MainFormMachine::OpenProjectCount() const { return static_cast<int>(form_.Projects().size()); }

bool MainFormMachine::IsOpen(const TMDIChild* project) const {
  // A closed window lingers until it is deleted; it is no longer among the projects.
  return project != nullptr && form_.Projects().contains(project);
}

bool MainFormMachine::Cutting(const TMDIChild* project) const {
  return project != nullptr && project == cut_project_.data() && program_.has_link() && program_.session().Cutting();
}

ProjectDocument* MainFormMachine::ActiveProject() {
  TMDIChild* window = repeating_ ? cut_project_.data() : form_.ActiveProject();
  if (!IsOpen(window) || window->busy()) return nullptr;
  return &window->document();
}

bool MainFormMachine::AutoRepeat() const { return program_.has_link() && program_.session().run.AutoRepeat(); }

void MainFormMachine::SetMachineButtons(const MainButtonStates& states) { form_.SetMachineButtons(states); }

void MainFormMachine::ProgramEnded() {
  ++programs_ended_;
  // The project closed meanwhile is not repeated, and no counter is shown for it.
  if (!IsOpen(cut_project_)) return;
  repeating_ = true;
  program_.session().run.ProgramEnded();
  repeating_ = false;
  FollowTransmission();
}

void MainFormMachine::ShowLamps(const MachineLamps& lamps) {
  form_.ShowLamps(lamps);
}

void MainFormMachine::ShowCut() {
  if (!IsOpen(cut_project_) || !program_.has_link()) return;
  const MachineSession& session = program_.session();
  WirePosition wire;
  wire.known = session.WireMillimetres(wire.x_mm, wire.y_mm);
  wire.unit = program_.config().CurrentUnit();
  cut_project_->ShowCut(session.progress.Snapshot(),
                        QString::fromStdString(CutStatusText(session.progress, wire, program_.texts())));
}

void MainFormMachine::ShowCutPlace(const std::string& drawing) {
  TMDIChild* window = nullptr;
  for (TMDIChild* project : form_.Projects()) {
    if (project->document().source_file == drawing) window = project;
  }
  if (window == nullptr && !drawing.empty() && QFileInfo(QString::fromStdString(drawing)).isFile()) {
    window = form_.OpenDrawing(drawing, DrawingKindOfFile(drawing));
  }
  if (window == nullptr) return;
  if (IsOpen(cut_project_) && cut_project_ != window) cut_project_->ClearCut();
  cut_project_ = window;
  ShowCut();
}

void MainFormMachine::Start() {
  if (!program_.has_link()) return;
  // The cut shown in another window is over there: this Start is the next action.
  TMDIChild* active = form_.ActiveProject();
  if (IsOpen(cut_project_) && cut_project_ != active) cut_project_->ClearCut();
  cut_project_ = active;
  program_.session().run.Start1Click();
  FollowTransmission();
}

void MainFormMachine::Stop() {
  if (program_.has_link()) program_.session().run.Wstrzymaj1Click();
}

void MainFormMachine::Continue() {
  if (!program_.has_link()) return;
  program_.session().run.Kontynuacja1Click();
  FollowTransmission();
}

void MainFormMachine::Resume() {
  if (!program_.has_link()) return;
  program_.session().run.ResumeCut();
  FollowTransmission();
}

void MainFormMachine::MoveToArms() {
  if (program_.has_link()) program_.session().run.SpeedPrzesunDoRamionClick();
}

void MainFormMachine::MoveOutAfterCut() {
  if (program_.has_link()) program_.session().run.SpeedWysunPoCieciuClick();
}

AutoRepeatButtons MainFormMachine::AutoRepeatChanged(bool on) {
  if (!program_.has_link()) return AutoRepeatWithoutRun(program_.texts());
  return program_.session().run.SpeedAutoRepeatClick(on);
}

bool MainFormMachine::CloseQuery() { return !program_.has_link() || program_.session().run.FormCloseQuery(); }

}  // namespace varnholt
