#include "app/cutting_run.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "config/display_unit.h"
#include "config/file_read.h"
#include "config/file_write.h"
#include "config/konfig_file.h"
#include "geometry/clock.h"
#include "geometry/run_time_error.h"
#include "geometry/units.h"
#include "link/machine_hold.h"
#include "planner/cut_walk.h"
#include "program/cut_program.h"
#include "project/kerf_settings.h"
#include "project/project_document.h"
#include "services/interfejs.h"
#include "services/operator.h"
#include "services/placeholder_text.h"

namespace varnholt {
namespace {

// Status panel of the main window that shows the repetition counter.
constexpr int kRepetitionPanel = 1;

// How often the last cut's record is written while the cut goes on (the commands sent, the place the wire
// reached); the ends of a transmission and a resume write it at once. A record behind by this much after a crash of
// the computer can leave a place the program passes twice undecided, and the earlier is then taken.
constexpr int64_t kRecordIntervalMs = 10'000;

// out.cn of the program folder as it is now; nothing when it cannot be read whole.
std::optional<std::string> ProgramNow(const std::string& program_folder) {
  return ReadFileBytes(program_folder + TTransArm::kProgramFileName, TTransArm::kLargestProgram);
}

std::string ConfigurationDigest(const Configuration& config) { return DigestOf(KonfigText(config, '.')); }

// Opens the file once to see that it can be read; the file error's message otherwise.
std::optional<std::string> ReadabilityError(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FileErrorMessage(errno, path);
  ::close(fd);
  return std::nullopt;
}

}  // namespace

CuttingRun::CuttingRun(MachineLink& link, RunFlags& flags, TTransArm& transmission, Tster& panel,
                       CutProgress& progress, MainWindowPort& main_window, CutRunSetup setup)
    : link_(link),
      flags_(flags),
      transmission_(transmission),
      panel_(panel),
      progress_(progress),
      main_window_(main_window),
      setup_(std::move(setup)) {
  transmission_.SetSentListener([this](int64_t commands_sent, bool running) { RecordSent(commands_sent, running); });
  panel_.SetStatusListener([this] {
    if (link_.usb.device_changes() != device_changes_seen_) {
      device_changes_seen_ = link_.usb.device_changes();
      offer_due_ = true;
    }
    TrackWire();
  });
}

CuttingRun::~CuttingRun() {
  transmission_.SetSentListener(nullptr);
  panel_.SetStatusListener(nullptr);
}

void CuttingRun::Start1Click() {
  // One cut at a time: under a running, paused or starting program Start is refused and nothing is sent.
  const MachineHold hold(link_, MachineOperation::kCut);
  if (!hold) return;
  repeat_counter_ = 0;
  // Figures compensated for another kerf than the configured one would be cut to the wrong size. A repetition keeps
  // the figures of the run it repeats, so only a new start checks.
  const ProjectDocument* project = main_window_.ActiveProject();
  if (project != nullptr && KerfSettingsChanged(*project, KerfSettingsOf(link_.config))) {
    CurrentOperator().ShowMessageBox(link_.texts.GetText("Main_window", "kerfNieaktualny"), true, "");
    return;
  }
  StartWycinaniaNieautomatycznego();
}

void CuttingRun::StartWycinaniaNieautomatycznego() {
  const MachineHold hold(link_, MachineOperation::kCut);
  if (!hold) return;
  flags_.MachineStopped = false;
  if (auto_repeat_) CurrentOperator().SetStatusText(kRepetitionPanel, std::to_string(repeat_counter_ + 1));
  ProjectDocument* project = main_window_.ActiveProject();
  if (project == nullptr) return;
  tnij(*project);
  TurnForNextPass(project->feed_sign_start, link_.config.Choice(Param::CatDir));
}

bool CuttingRun::HeatAndCheckWire() {
  EndAtLostLink scope(link_);
  ControllerState& s = link_.state;
  do {
    ReadStatus(link_);
    // The wire the program cuts with is the one checked: the horizontal wire on its working channel and power.
    SetPowerOutput(link_, kHorizontalWireOutput);
    s.heater_channel = kHorizontalWireChannel;
    s.heater_power = static_cast<uint16_t>(
        std::clamp(nearest(link_.config.Number(Param::work_power) * 255.0 / 100.0), 0.0, 255.0));
    SendHeaterPower(link_);
    const bool warmed = HeaterOn(link_);
    ReadStatus(link_);
    HeatingOff(link_);
    // A lost link ends the run with the one box its first failed command showed; a Stop ends it too.
    if (scope.lost() || !warmed || link_.gate.stop_requested()) return false;
    if (s.Has(kStatusWireBroken) &&
        CurrentOperator().AskQuestion(link_.texts.GetText("Control", "zerwanyDrut"),
                                      Buttons({kButtonRetry, kButtonCancel}), "") != kButtonRetry) {
      return false;
    }
  } while (s.Has(kStatusWireBroken));
  return true;
}

bool CuttingRun::FitsWorkingRange(const ProjectDocument& project) {
  const double skala = link_.config.Number(Param::skala);
  const double width_mm = UnitsToMm(project.project_width) * skala / 100.0;
  const double height_mm = UnitsToMm(project.project_height) * skala / 100.0;
  if (width_mm <= link_.state.x_range && height_mm <= link_.state.y_range) return true;
  CurrentOperator().ShowMessageBox(link_.texts.GetText("Main_window", "projektZaDuzy"), true, "");
  return false;
}

void CuttingRun::PlaceSingleOpenFigureStart(ProjectDocument& project) {
  project.single_open_figure = project.figures.size() == 1 && project.figures[0]->points.size() >= 2 &&
                               project.figures[0]->points.front() != project.figures[0]->points.back();
  if (!project.single_open_figure) return;
  tfigura& start = *project.figures[0];
  const bool rising = start.points.front().x < start.points.back().x;
  const auto last = static_cast<int32_t>(start.points.size()) - 1;
  start.link_aux = (project.feed_sign_start < 0) == rising ? last : 0;
  const TPlotPoint& p = start.points[static_cast<size_t>(start.link_aux)];
  project.start_margin_left = p.x - project.project_min_x;
  project.start_margin_right = project.project_max_x - p.x;
  project.start_margin_bottom = p.y - project.project_min_y;
  project.start_margin_top = project.project_max_y - p.y;
}

bool CuttingRun::PrepareCut(ProjectDocument& project) {
  ControllerState& s = link_.state;
  ReadStatus(link_);
  if (link_.usb.QuellmarQvExist()) Identify(link_);
  const int32_t multiplier = s.profile.StepMultiplier;
  const auto period = [&s, multiplier](double speed) { return PeriodFromSpeed(s, nearest(speed * multiplier)); };
  SendCommand(link_, SetSpeedCommand(0, period(link_.config.Number(Param::PrzeSpeed))));
  SendCommand(link_, SetSpeedCommand(1, period(link_.config.Number(Param::szybkoscObrobki))));
  if (!setup_.test_mode) {
    if (!link_.usb.QuellmarQvExist()) return false;
    if (s.Has(kStatusProgramRunning | kStatusWaitsForGo)) {
      // The program started so is a started one: its end is to be noticed.
      if (SendCommand(link_, GoCommand())) flags_.ProgramStarted = true;
      return false;
    }
  }
  transmission_.stop();
  if (!FitsWorkingRange(project)) return false;
  if (!setup_.test_mode) ReadPositions(link_);
  PlaceSingleOpenFigureStart(project);
  if (setup_.test_mode || link_.config.Number(Param::work_power) == 0) return true;
  return HeatAndCheckWire();
}

void CuttingRun::tnij(ProjectDocument& project) {
  const bool prepared = PrepareCut(project);
  if (CancelledByStop() || !prepared) return;
  BusyCursor busy;
  if (project.has_own_frame()) {
    const int answer = CurrentOperator().AskQuestion(link_.texts.GetText("Main_window", "czyRysowacObrys"),
                                                     Buttons({kButtonYes, kButtonNo, kButtonCancel}), "");
    if (answer == kButtonCancel) return;
    project.cut_start_figure = answer == kButtonYes;
  } else {
    project.cut_start_figure = true;
  }
  // Where the program begins on the drawing, before writing it may turn the start figure round.
  const TPlotPoint entry = CutEntryPoint(project);
  const std::string path = setup_.program_folder + TTransArm::kProgramFileName;
  // The last cut's program is about to be replaced: from now on there is no cut of it to resume.
  last_cut_.reset();
  tracked_path_.reset();
  std::error_code ignored;
  std::filesystem::remove(LastCutFile(setup_.program_folder), ignored);
  const tInterfejs& texts = link_.texts;
  const TextLookup lookup = [&texts](std::string_view section, std::string_view key) {
    return texts.GetText(section, key);
  };
  if (!save_ciecie(project, path, link_.config, link_.state, CutRunOptions{auto_repeat_, repeat_counter_}, lookup)) {
    return;
  }
  if (const std::optional<std::string> error = ReadabilityError(path)) {
    CurrentOperator().ShowMessageBox(*error, true, "");
    return;
  }
  if (CancelledByStop()) return;
  if (PrepareControllerAndTransmit(TTransArm::kProgramFileName, std::nullopt, entry)) RecordCutStarted(project, entry);
}

bool CuttingRun::PrepareControllerAndTransmit(const std::string& file_name,
                                              std::optional<std::pair<int32_t, int32_t>> start_point,
                                              std::optional<TPlotPoint> entry) {
  EndAtLostLink scope(link_);
  if (!setup_.test_mode) {
    SendCommand(link_, StopCommand());
    SleepMs(10);
    WaitIdle(link_);
    SendCommand(link_, ClearProgramCommand());
    SleepMs(10);
    if (scope.lost()) return false;
    // The controller has been stopped and cleared: a cut given up before is no longer to be stopped, and the end
    // of a program started before (unnoticed yet) is no end of this cut.
    link_.gate.CoolingDone();
    flags_.ProgramStarted = false;
    const bool checked = link_.config.Number(Param::work_power) == 0 || HeatAndCheckWire();
    if (CancelledByStop() || !checked) return false;
  }
  ReadStatus(link_);
  if (!link_.usb.QuellmarQvExist()) {
    ShowLinkLost(link_);
    return false;
  }
  ReadPositions(link_);
  link_.state.start_x = start_point ? start_point->first : link_.state.X1;
  link_.state.start_y = start_point ? start_point->second : link_.state.Y1;
  SetStartPoint(link_);
  if (scope.lost() || CancelledByStop()) return false;
  try {
    if (!transmission_.start(file_name)) return false;
    // The cut's progress follows a program written from a drawing; a resumed program begins where the wire stood.
    if (entry) {
      progress_.Begin(CourseOfProgram(transmission_.program(), link_.state), link_.state.axis_steps[0],
                      link_.state.axis_steps[1], PlacementOf(*entry, link_.config.Number(Param::skala), link_.state),
                      CurrentClock().NowMs());
    }
    return true;
  } catch (const RunTimeError& error) {
    CurrentOperator().ShowMessageBox(error.what(), true, "");
  }
  return false;
}

bool CuttingRun::CancelledByStop() {
  NoteStop(link_);
  if (!link_.gate.TakeStopRequest()) return false;
  // Nothing was started: the controller is left with an empty program memory and every heater off.
  if (!setup_.test_mode && link_.usb.QuellmarQvExist()) {
    const EndAtLostLink scope(link_);
    SendCommandAlways(link_, ClearProgramCommand());
    AllHeatersOff(link_);
  }
  CurrentOperator().ShowMessageBox(link_.texts.GetText("Control", "ciecieAnulowane"), false, "");
  return true;
}

void CuttingRun::Wstrzymaj1Click() {
  // While an operation holds the machine its waits take the Stop: it ends on it, and what is left of the Stop is
  // carried out once the machine is free.
  if (link_.gate.busy()) {
    link_.gate.RequestStop();
    return;
  }
  const MachineHold hold(link_, MachineOperation::kStop);
  link_.gate.TakeStopRequest();
  BusyCursor busy;
  ControllerState& s = link_.state;
  const EndAtLostLink scope(link_);
  // Only a status the controller reported tells what to stop; without one it counts as unreachable, and a cut it
  // may be running is stopped as soon as it answers.
  if (!ReadStatus(link_) || !link_.usb.QuellmarQvExist()) {
    if (flags_.ProgramStarted || transmission_.running()) link_.gate.GiveUpCut();
    // Said at once: the machine cut on is the operator's to stop at the machine.
    CurrentOperator().ShowMessageBox(link_.texts.GetText("Control", "stopBezLacznosci"), true, "");
    return;
  }
  const bool runs = s.Has(kStatusProgramRunning);
  const bool waits_for_go = runs && s.Has(kStatusWaitsForGo);
  if ((transmission_.running() && !runs && !s.Has(kStatusPaused)) || waits_for_go) {
    CancelStartingProgram();
  } else if (runs) {
    const Tster::PauseOutcome outcome = panel_.Pause();
    if (outcome == Tster::PauseOutcome::kPaused) flags_.MachineStopped = true;
    panel_.ReportFailedPause(outcome);
  } else if (s.Has(kStatusPaused)) {
    DiscardPausedProgram();
  } else {
    // No program: a manual move is stopped.
    SendCommandAlways(link_, StopMoveCommand());
  }
}

void CuttingRun::CancelStartingProgram() {
  // The program has not started yet: it never will. The transmission ends, the controller forgets what it got.
  transmission_.stop();
  flags_.ProgramStarted = false;
  progress_.End(CutPhase::kStopped);
  const bool cleared = SendCommandAlways(link_, ClearProgramCommand());
  const bool cooled = AllHeatersOff(link_);
  if (!cleared || !cooled) link_.gate.GiveUpCut();
  CurrentOperator().ShowMessageBox(link_.texts.GetText("Control", "ciecieAnulowane"), false, "");
}

void CuttingRun::DiscardPausedProgram() {
  const int answer = CurrentOperator().AskQuestion(link_.texts.GetText("Control", "odrzucicPauze"),
                                                   Buttons({kButtonYes, kButtonNo}), "");
  if (answer != kButtonYes) return;
  transmission_.stop();
  flags_.ProgramStarted = false;
  flags_.MachineStopped = false;
  progress_.End(CutPhase::kStopped);
  SendCommandAlways(link_, ClearProgramCommand());
  AllHeatersOff(link_);
}

void CuttingRun::Kontynuacja1Click() {
  BusyCursor busy;
  if (panel_.kontynuuj()) flags_.MachineStopped = false;
}

AutoRepeatButtons CuttingRun::SpeedAutoRepeatClick(bool down) {
  auto_repeat_ = down;
  return AutoRepeatButtonsFor(auto_repeat_, link_.state.Has(kStatusProgramRunning), link_.texts);
}

AutoRepeatButtons AutoRepeatButtonsFor(bool on, bool program_runs, const tInterfejs& texts) {
  return {on, texts.GetText("Main_window", on ? "SpeedAutoRepeatOn.hint" : "SpeedAutoRepeat.hint"),
          PositioningButtonsEnabled(program_runs, on)};
}

AutoRepeatButtons AutoRepeatWithoutRun(const tInterfejs& texts) { return AutoRepeatButtonsFor(false, false, texts); }

void CuttingRun::ProgramEnded() {
  {
    // The program switches its wire off as it ends; one left hot (a program that ended otherwise) is switched off.
    const MachineHold hold(link_, MachineOperation::kProgramEnd);
    const EndAtLostLink scope(link_);
    ReadStatus(link_);
    if (link_.usb.present() && !link_.state.Has(kStatusProgramRunning) && link_.state.Has(kStatusHeating)) {
      AllHeatersOff(link_);
    }
  }
  if (last_cut_ && !transmission_.running()) {
    last_cut_->finished = true;
    SaveLastCut();
  }
  if (!auto_repeat_) return;
  ++repeat_counter_;
  StartWycinaniaNieautomatycznego();
}

void CuttingRun::SpeedPrzesunDoRamionClick() { panel_.btnPrzesunDoRamionClick(); }

void CuttingRun::SpeedWysunPoCieciuClick() {
  const MachineHold hold(link_, MachineOperation::kMoveOutAfterCut);
  if (!hold) return;
  ControllerState& s = link_.state;
  EndAtLostLink scope(link_);
  SelectSpeedGroup(link_, 2, kFromConfiguration);
  ReadPositions(link_);
  // The wire rises to the material's height, at most to the top of the range.
  const double rise_mm = std::min<double>(s.y_range, link_.config.Number(Param::feuWysokoscMat)) - s.Y1 / 100.0;
  MoveBy(link_, true, true, 0.0, FromMillimetres(rise_mm, link_.config.CurrentUnit()), 0.0);
  if (scope.lost()) return;
  WaitIdle(link_);
  if (link_.gate.TakeStopRequest()) return;
  SelectSpeedGroup(link_, 3, kFromConfiguration);
  MoveBy(link_, true, true, -link_.config.Number(Param::TasmaPrzesuwKon), 0.0, 0.0);
  // The wires that moved hot go off once the conveyor stands.
  if (!scope.lost()) WaitIdle(link_);
  link_.gate.TakeStopRequest();
}

bool CuttingRun::FormCloseQuery() {
  ControllerState& s = link_.state;
  if (!link_.gate.busy()) ReadStatus(link_);
  const bool present = link_.usb.present();
  const bool runs = present && s.Has(kStatusProgramRunning);
  const bool starting = transmission_.running() && !(present && s.Has(kStatusPaused));
  if (link_.gate.busy() || runs || starting) {
    CurrentOperator().ShowMessageBox(link_.texts.GetText("Main_window", "wyjscieNiemozliwe"), false,
                                     link_.texts.GetText("Universal", "uwaga"));
    return false;
  }
  transmission_.stop();
  // Nobody is left to switch the wire off after the program ends.
  if (present) {
    const MachineHold hold(link_, MachineOperation::kStopAndCool);
    const EndAtLostLink scope(link_);
    AllHeatersOff(link_);
  }
  return true;
}

void CuttingRun::SaveLastCut() {
  if (!last_cut_) return;
  last_record_ms_ = CurrentClock().NowMs();
  try {
    WriteLastCut(setup_.program_folder, *last_cut_);
  } catch (const RunTimeError&) {
    // The cut goes on without it: only a later resume of this cut cannot be offered.
  }
}

void CuttingRun::RecordCutStarted(const ProjectDocument& project, const TPlotPoint& entry) {
  LastCut cut;
  cut.drawing = project.source_file;
  cut.entry = entry;
  cut.configuration_digest = ConfigurationDigest(link_.config);
  cut.program_digest = DigestOf(transmission_.program());
  cut.start = link_.state.axis_steps;
  cut.start_x = link_.state.start_x;
  cut.start_y = link_.state.start_y;
  last_cut_ = cut;
  prefix_commands_ = copied_from_command_ = 0;
  tracked_path_ = ProgramPath::Replay(transmission_.program(), cut.start);
  tracker_ = WireTracker();
  SaveLastCut();
}

void CuttingRun::FollowCutTo(const LastCut& cut, const std::string& program, const ProgramPath& path,
                             const WirePlace& place, const AxisPosition& position) {
  if (!cut.entry) return;
  const int64_t now = CurrentClock().NowMs();
  progress_.Begin(CourseOfProgram(program, link_.state), cut.start[0], cut.start[1],
                  PlacementOf(*cut.entry, link_.config.Number(Param::skala), link_.state), now);
  // Led along the program move by move, the progress cannot take a place the program passes twice for the other.
  std::vector<std::pair<int32_t, int32_t>> passed;
  const auto pass = [&passed](const AxisPosition& at) {
    passed.emplace_back(static_cast<int32_t>(at[0]), static_cast<int32_t>(at[1]));
  };
  for (size_t move = 0; move < place.move && move < path.moves().size(); ++move) pass(path.moves()[move].to);
  pass(position);
  progress_.Retrace(passed, now);
}

void CuttingRun::TrackWire() {
  if (!last_cut_ || last_cut_->finished || !tracked_path_) return;
  if (!tracker_.Observe(*tracked_path_, PositionOf(panel_.read_positions()),
                        tracked_path_->MovesWithin(last_cut_->commands_received))) {
    return;
  }
  last_cut_->reached = tracker_.reached();
  if (CurrentClock().NowMs() - last_record_ms_ >= kRecordIntervalMs) SaveLastCut();
}

void CuttingRun::RecordSent(int64_t commands_sent, bool running) {
  if (!last_cut_) return;
  last_cut_->commands_received = copied_from_command_ + std::max<int64_t>(commands_sent - prefix_commands_, 0);
  if (!running || CurrentClock().NowMs() - last_record_ms_ >= kRecordIntervalMs) SaveLastCut();
}

bool CuttingRun::TakeResumeOffer() {
  if (!offer_due_ || link_.gate.busy() || link_.gate.cooling_due() || link_.gate.heaters_off_due()) return false;
  offer_due_ = false;
  if (transmission_.running() || flags_.ProgramStarted || !link_.usb.QuellmarQvExist() ||
      link_.state.Has(kStatusProgramRunning | kStatusPaused | kStatusWaitsForGo)) {
    return false;
  }
  const std::optional<LastCut> cut = ReadLastCut(setup_.program_folder);
  if (!cut || cut->finished) return false;
  const std::optional<std::string> program = ProgramNow(setup_.program_folder);
  return program && DigestOf(*program) == cut->program_digest;
}

void CuttingRun::ResumeCut() {
  const MachineHold hold(link_, MachineOperation::kCut);
  if (!hold) return;
  last_resume_.reset();
  const tInterfejs& texts = link_.texts;
  const auto refuse = [&texts](const char* key) {
    CurrentOperator().ShowMessageBox(texts.GetText("Main_window", key), true, "");
  };
  // The record this run kept is the newest; after a restart of the program the one it left is read.
  SaveLastCut();
  const std::optional<LastCut> cut = ReadLastCut(setup_.program_folder);
  if (!cut) return refuse("wznowienieBrak");
  if (cut->finished) return refuse("wznowienieKoniec");
  const std::optional<std::string> program = ProgramNow(setup_.program_folder);
  if (!program || DigestOf(*program) != cut->program_digest) return refuse("wznowienieProgramZmieniony");
  if (ConfigurationDigest(link_.config) != cut->configuration_digest) return refuse("wznowienieKonfiguracjaZmieniona");
  const std::optional<ProgramPath> path = ProgramPath::Replay(*program, cut->start);
  if (!path) return refuse("wznowienieProgramZmieniony");
  {
    EndAtLostLink scope(link_);
    ReadStatus(link_);
    if (!link_.usb.QuellmarQvExist()) {
      ShowLinkLost(link_);
      return;
    }
    Identify(link_);
    ReadPositions(link_);
    if (scope.lost()) return;
  }
  const AxisPosition position = PositionOf(link_.state.axis_steps);
  const std::vector<WirePlace> places =
      PlacesOf(*path, position, PlaceBounds{cut->reached, path->MovesWithin(cut->commands_received)});
  if (places.empty()) return refuse("wznowienieMiejsceNieznane");
  // Where the wire can stand at two places still, it goes on from the earlier: what lies between is cut again
  // through its own kerf, where the later one would leave it uncut.
  const WirePlace place = places.front();
  std::optional<ResumeProgram> resume =
      BuildResumeProgram(*program, *path, place, position, link_.state, link_.config);
  if (!resume) return refuse("wznowienieKoniec");
  // The operator sees on the drawing what was cut and where the wire stands before anything moves.
  FollowCutTo(*cut, *program, *path, place, position);
  progress_.End(CutPhase::kIncomplete);
  main_window_.ShowCutPlace(cut->drawing);
  const std::string question =
      FillPlaceholders(texts.GetText("Main_window", "wznowienieZapytanie"),
                       {std::to_string(place.move + 1), std::to_string(path->moves().size())});
  if (CurrentOperator().AskQuestion(question, Buttons({kButtonYes, kButtonNo}), "") != kButtonYes) return;
  try {
    WriteFileReplacing(setup_.program_folder + kResumeFileName, resume->bytes);
  } catch (const RunTimeError& error) {
    CurrentOperator().ShowMessageBox(error.what(), true, "");
    return;
  }
  flags_.MachineStopped = false;
  last_cut_.reset();
  tracked_path_.reset();
  if (!PrepareControllerAndTransmit(kResumeFileName, std::make_pair(cut->start_x, cut->start_y))) return;
  // The resumed program's progress is that of the program it goes on with, from the place the wire stands.
  FollowCutTo(*cut, *program, *path, place, position);
  last_cut_ = *cut;
  last_cut_->reached = place;
  tracked_path_ = path;
  tracker_ = WireTracker(place);
  prefix_commands_ = resume->prefix_commands;
  copied_from_command_ = resume->copied_from_command;
  last_cut_->commands_received = resume->ProgramCommands(0);
  SaveLastCut();
  last_resume_ = Resumed{place, position, places.size(), path->moves().size(), std::move(*resume)};
}

}  // namespace varnholt
