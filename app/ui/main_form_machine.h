#pragma once
// The main window's side of the machine session: what the control panel and the cutting run ask of the main
// window, the cutting run as the window's buttons trigger it, the two timers that drive the session, and the control
// panel's window that F5 shows.

#include <QPointer>
#include <cstdint>
#include <memory>

#include "app/main_form_ports.h"
#include "app/ui/machine_timers.h"
#include "control/main_window_port.h"

namespace varnholt {

class Program;
class TMainForm;
class TMDIChild;
class TsterForm;

class MainFormMachine final : public MainWindowPort, public CuttingRunPort {
 public:
  // The form and the program must outlive this object.
  MainFormMachine(TMainForm& form, Program& program);
  ~MainFormMachine() override;
  MainFormMachine(const MainFormMachine&) = delete;
  MainFormMachine& operator=(const MainFormMachine&) = delete;

  // The program's session exists, made with this object as its main window: the control panel's window is made
  // (hidden) over the session's panel, and the timers start at pace, stepping the panel with the window's focus
  // and showing each step in it.
  void Connect(MachineTimers::Pace pace);
  // The program ends: the timers stop for good, then the panel's window goes (a move still held ends with it),
  // all before the session does.
  void Disconnect();
  // The timers while connected, else nullptr.
  MachineTimers* timers() const { return timers_.get(); }
  // Shows the control panel's window raised and active (F5, SpeedSterowanie); nothing while not connected.
  void ShowControlPanel();
  // The control panel's window while connected, else nullptr.
  TsterForm* panel_window() const { return panel_window_.get(); }
  // True while project is the one the last Start cut and its cut is under way.
  bool Cutting(const TMDIChild* project) const;
  // Ends of programs the status step noticed.
  int64_t programs_ended() const { return programs_ended_; }

  // What the control panel and the cutting run ask of the main window. A project that still loads or plans is
  // no project to cut: it is not offered as the active one.
  int OpenProjectCount() const override;
  ProjectDocument* ActiveProject() override;
  bool AutoRepeat() const override;
  void SetMachineButtons(const MainButtonStates& states) override;
  void StartRequested() override { Start(); }
  void StopRequested() override { Stop(); }
  void ContinueRequested() override { Continue(); }
  // Automatic repetition cuts the project the last Start cut again, also when another window is active by now;
  // nothing when that project was closed.
  void ProgramEnded() override;
  void ShowLamps(const MachineLamps& lamps) override;
  void ShowCutPlace(const std::string& drawing) override;

  // The cutting run as the window's menu items and buttons trigger it.
  void Start() override;
  void Stop() override;
  void Continue() override;
  void Resume() override;
  void MoveToArms() override;
  void MoveOutAfterCut() override;
  AutoRepeatButtons AutoRepeatChanged(bool on) override;
  bool CloseQuery() override;

 private:
  // The cut the session follows, on the project window it cuts and in its status line.
  void ShowCut();
  // The transmission a run operation may have started gets its timer.
  void FollowTransmission();
  // The project window is among the open ones.
  bool IsOpen(const TMDIChild* project) const;

  TMainForm& form_;
  Program& program_;
  std::unique_ptr<MachineTimers> timers_;
  std::unique_ptr<TsterForm> panel_window_;
  // The project window the last Start cut, and whether automatic repetition is starting it again now.
  QPointer<TMDIChild> cut_project_;
  bool repeating_ = false;
  int64_t programs_ended_ = 0;
};

}  // namespace varnholt
