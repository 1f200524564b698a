// The main window over the machine session: the close query during a real transmission, the machine buttons as the
// status step decides them, the machine's own start button, automatic repetition, and the windows of the menu.

#include <gtest/gtest.h>

#include <QAction>
#include <QDoubleSpinBox>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <fstream>
#include <iterator>

#include "app/cut_status.h"
#include "app/ui/main_form_machine.h"
#include "files/program_decoder.h"
#include "info/ui/taboutbox.h"
#include "info/ui/tinfoform.h"
#include "layout/dpl_file.h"
#include "layout/ui/tf_par_dup.h"
#include "link/sim/simulated_controller.h"
#include "project/ui/mdi_child.h"
#include "support/main_window_fixture.h"

namespace varnholt {
namespace {

std::string Sample(const std::string& name) { return std::string(VARNHOLT_SOURCE_DIR) + "/samples/" + name; }

std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

class MachineWindow : public testing::MachineWindowTest {
 protected:
  TMDIChild* OpenSample(const std::string& name) { return form_->OpenDrawing(Sample(name), 1); }
  void Press(const char* action) { form_->ActionNamed(action)->trigger(); }
  bool ProgramStarted() { return session().flags.ProgramStarted; }
  int64_t ProgramsNoticed() const { return form_->machine().programs_ended(); }
  std::string Shown() const {
    std::string shown;
    for (const auto& box : op_.boxes) shown += "[" + box.text + "] ";
    return shown;
  }
  size_t MovesOf(const std::string& program) {
    return DecodeProgram(program, session().state).summary.moves;
  }
  // Runs the next modal window with `look` as soon as it shows, then closes it.
  template <typename Window>
  void OnModal(std::function<void(Window&)> look) {
    QTimer::singleShot(0, form_.get(), [look] {
      QWidget* modal = QApplication::activeModalWidget();
      auto* window = dynamic_cast<Window*>(modal);
      ASSERT_NE(window, nullptr) << "another window is modal: "
                                 << (modal != nullptr ? modal->objectName().toStdString() : "none");
      look(*window);
    });
  }
};

TEST_F(MachineWindow, TheStatusStepRunsAtTheIntervalsItAsksForAndTheTransmissionsTimerOnlyWithATransmission) {
  ASSERT_TRUE(StartOnVirtualTime());
  MachineTimers& timers = *form_->machine_timers();
  std::vector<int64_t> steps_at;
  QObject::connect(&timers, &MachineTimers::StatusStepped, [&] { steps_at.push_back(clock_.NowMs()); });
  const int64_t started = clock_.NowMs();
  const auto step_gaps = [&steps_at](size_t last) {
    std::vector<int64_t> gaps;
    for (size_t i = steps_at.size() - last; i < steps_at.size(); ++i) gaps.push_back(steps_at[i] - steps_at[i - 1]);
    return gaps;
  };
  ASSERT_TRUE(RunUntil([&] { return steps_at.size() == 3; }));
  EXPECT_EQ(steps_at[0], started) << "the first step at once";
  EXPECT_EQ(step_gaps(2), (std::vector<int64_t>{100, 100}));
  EXPECT_FALSE(session().panel.view().refreshed) << "without a focus source the panel is not active";
  EXPECT_FALSE(timers.transmission_timer_running());

  timers.SetFocusSource([] { return PanelFocus{true, false}; });
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(session().panel.view().refreshed);
  timers.SetFocusSource([] { return PanelFocus{true, true}; });
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(session().panel.view().refreshed) << "input waits for the panel";
  timers.SetFocusSource(nullptr);

  program_->simulated()->Unplug();
  ASSERT_TRUE(RunUntil([this] { return !session().panel.view().connected; }));
  const size_t unplugged = steps_at.size();
  ASSERT_TRUE(RunUntil([&] { return steps_at.size() == unplugged + 2; }));
  EXPECT_EQ(step_gaps(2), (std::vector<int64_t>{3000, 3000})) << "the link is looked for every 3 s";
  program_->simulated()->Replug();
  ASSERT_TRUE(RunUntil([this] { return session().panel.view().connected; }));
  const size_t replugged = steps_at.size();
  ASSERT_TRUE(RunUntil([&] { return steps_at.size() == replugged + 1; }));
  EXPECT_EQ(step_gaps(1), std::vector<int64_t>{100});

  ASSERT_NE(OpenSample("disc_with_lead_in.plt"), nullptr);
  ASSERT_TRUE(NextStatusStep());
  Press("SpeedStart");
  EXPECT_TRUE(timers.transmission_timer_running()) << Shown();
  ASSERT_TRUE(RunUntil([this] { return !session().transmission.running(); }));
  EXPECT_FALSE(timers.transmission_timer_running());
  EXPECT_TRUE(session().transmission.sent_whole());
}

TEST_F(MachineWindow, ClosingIsRefusedDuringARealTransmissionAndAfterStopEndsItWithTheFilesWritten) {
  const std::string base_points = "P1 10,5 20\r\nP2 30 40\n\xC5\x82\r\n";
  folder_.Write("base.txt", base_points);
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_NE(OpenSample("frame_with_holes.plt"), nullptr);
  ASSERT_TRUE(NextStatusStep());
  Press("SpeedStart");
  ASSERT_TRUE(RunUntil([this] { return ProgramStarted(); })) << "Go was sent";
  ASSERT_TRUE(session().transmission.running()) << "the program is longer than the first burst";

  EXPECT_FALSE(form_->close());
  ASSERT_EQ(Boxes("Main_window", "wyjscieNiemozliwe"), 1u);
  EXPECT_EQ(op_.boxes.back().caption, Text("Universal", "uwaga"));
  EXPECT_TRUE(form_->isVisible());

  Press("Wstrzymaj1");
  ASSERT_TRUE(session().flags.MachineStopped);
  // The operator edits the base points while the program runs: the end of the program keeps the edit.
  const std::string edited = "P1 10,5 20\r\nP3 50 60\r\n";
  folder_.Write("base.txt", edited);
  std::filesystem::remove(folder_.PathOf("Varnholt.vhc"));
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(Boxes("Main_window", "wyjscieNiemozliwe"), 1u);
  EXPECT_FALSE(program_->has_link()) << "the session ended with the transmission and released the devices";
  EXPECT_EQ(program_->base_points().bytes(), base_points) << "read byte for byte";
  EXPECT_EQ(FileBytes(folder_.PathOf("base.txt")), edited) << "unchanged base points are not written back";
  EXPECT_TRUE(std::filesystem::exists(folder_.PathOf("Varnholt.vhc")));
}

TEST_F(MachineWindow, MachineButtonsFollowTheStatusStep) {
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(Enabled("SpeedStart")) << "no project";
  EXPECT_FALSE(Enabled("Skont"));
  EXPECT_TRUE(Enabled("SpeedPrzesunDoRamion"));
  EXPECT_TRUE(Enabled("SpeedWysunPoCieciu"));
  EXPECT_TRUE(Enabled("Kontynuacja1")) << "the menu item is never disabled";

  ASSERT_NE(OpenSample("frame_with_holes.plt"), nullptr);
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Enabled("SpeedStart"));

  Press("SpeedStart");
  ASSERT_TRUE(RunUntil([this] { return ProgramStarted(); }));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(Enabled("SpeedStart")) << "a program runs";
  EXPECT_FALSE(Enabled("SpeedPrzesunDoRamion"));
  EXPECT_FALSE(Enabled("SpeedWysunPoCieciu"));
  EXPECT_TRUE(Enabled("Start1")) << "the menu item follows the open projects only";

  Press("Wstrzymaj1");
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Enabled("Skont")) << "paused";
  EXPECT_TRUE(Enabled("SpeedStart"));

  Press("Skont");
  EXPECT_TRUE(ProgramStarted());
  ASSERT_TRUE(RunUntil([this] { return ProgramsNoticed() == 1; }));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(Enabled("Skont"));
  EXPECT_TRUE(Enabled("SpeedStart"));
  EXPECT_TRUE(Enabled("SpeedPrzesunDoRamion"));

  session().run.SpeedAutoRepeatClick(true);  // the run's own flag, without the window's toggle
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(Enabled("SpeedPrzesunDoRamion")) << "automatic repetition locks the positioning buttons";
  session().run.SpeedAutoRepeatClick(false);
}

TEST_F(MachineWindow, TheMachinesStartButtonCutsTheActiveProjectButNotOneThatIsStillPlanning) {
  ASSERT_TRUE(StartOnVirtualTime());
  int presses = 0;
  op_.on_status = [&](int panel, const std::string& text) {
    if (panel != 1 || text.rfind("Ready", 0) != 0) return;
    ++presses;
    form_->machine().StartRequested();
  };
  ASSERT_NE(Open("squares.plt", testing::SquaresPlot(12)), nullptr);
  op_.on_status = nullptr;
  ASSERT_GT(presses, 0);
  EXPECT_EQ(session().transmission.transmissions_started(), 0) << "no cut of a project being planned";
  EXPECT_FALSE(std::filesystem::exists(folder_.PathOf("out.cn")));

  program_->simulated()->PressStartButton();
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(session().transmission.transmissions_started(), 1);
  EXPECT_TRUE(form_->machine_timers()->transmission_timer_running());
  ASSERT_TRUE(RunUntil([this] { return ProgramsNoticed() == 1; }));
  EXPECT_EQ(program_->simulated()->program_moves_completed(),
            static_cast<int64_t>(MovesOf(session().transmission.program())));
}

TEST_F(MachineWindow, TheCutShowsOnItsDrawingAlongItsProgramAndItsEndStaysUntilTheNextAction) {
  ASSERT_TRUE(StartOnVirtualTime());
  TMDIChild* project = OpenSample("frame_with_holes.plt");
  ASSERT_NE(project, nullptr);
  const auto text = [this](const char* key) { return program_->texts().GetText("Cut_view", key); };
  const CutProgress& progress = session().progress;
  Press("SpeedStart");
  // Part of the way: the window shows the cut so far and where the wire is, the line its share of the program.
  ASSERT_TRUE(RunUntil([&] { return progress.elapsed_ms() > progress.total_ms() / 3; }));
  ASSERT_TRUE(NextStatusStep());
  const CutSnapshot running = project->shown_cut();
  EXPECT_EQ(running.phase, CutPhase::kRunning);
  EXPECT_GT(running.reached, 1u);
  EXPECT_LT(running.reached, running.course->stops.size());
  const std::string line = project->CutStatusText().toStdString();
  EXPECT_EQ(line.rfind(text("ciecieTrwa") + " " + std::to_string(progress.percent()) + "%", 0), 0u) << line;
  EXPECT_NE(line.find(text("pozostalo") + " " + ProgramTimeText(progress.remaining_ms())), std::string::npos)
      << line;
  EXPECT_NE(line.find("X "), std::string::npos) << "the wire's position: " << line;
  const TPlotPoint wire = CutOverlayOf(running, project->View()).wire;
  EXPECT_EQ(project->grab().toImage().pixel(wire.x, wire.y) & 0xffffffu, kWireColour);
  // Where the controller says the wire is lies on the drawing.
  const TPlotPoint on_drawing = running.placement.DrawingPoint(running.wire_x, running.wire_y);
  const ProjectDocument& drawing = project->document();
  EXPECT_GE(on_drawing.x, drawing.project_min_x - 80);
  EXPECT_LE(on_drawing.x, drawing.project_max_x + 80);
  EXPECT_GE(on_drawing.y, drawing.project_min_y - 80);
  EXPECT_LE(on_drawing.y, drawing.project_max_y + 80);
  EXPECT_LT(progress.percent(), 100);

  ASSERT_TRUE(RunUntil([this] { return ProgramsNoticed() == 1; }));
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(project->shown_cut().phase, CutPhase::kFinished) << "the end stays";
  EXPECT_EQ(project->CutStatusText().toStdString().rfind(text("ciecieZakonczone") + " 100%", 0), 0u)
      << project->CutStatusText().toStdString();

  Press("Symulacja");
  EXPECT_FALSE(project->shown_cut().shown()) << "the next action takes it away";
  EXPECT_TRUE(project->CutStatusText().isEmpty());
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(project->shown_cut().shown()) << "and the finished cut does not come back";
}

TEST_F(MachineWindow, APausedCutSaysSoTheMenuFitsTheViewAndARestoredProjectWindowKeepsAWorkableSize) {
  ASSERT_TRUE(StartOnVirtualTime());
  TMDIChild* project = OpenSample("frame_with_holes.plt");
  ASSERT_NE(project, nullptr);
  auto* window = qobject_cast<QMdiSubWindow*>(project->parentWidget());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->isMaximized());
  window->showNormal();
  EXPECT_GE(window->width(), 480);
  EXPECT_GE(window->height(), 320);
  window->showMaximized();
  project->ZoomBy(3.0);
  Press("DopasujWidok");
  EXPECT_EQ(project->view_adjust().zoom, 1.0) << "the menu's fit";

  Press("SpeedStart");
  ASSERT_TRUE(RunUntil([this] { return session().progress.elapsed_ms() > 0; }));
  Press("Wstrzymaj1");
  ASSERT_TRUE(NextStatusStep());
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(project->shown_cut().phase, CutPhase::kPaused);
  const std::string paused = program_->texts().GetText("Cut_view", "ciecieWstrzymane");
  EXPECT_EQ(project->CutStatusText().toStdString().rfind(paused, 0), 0u) << project->CutStatusText().toStdString();
  const int64_t at = session().progress.elapsed_ms();
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(session().progress.elapsed_ms(), at) << "a paused cut's time stands still";
  Press("Skont");
  ASSERT_TRUE(RunUntil([this] { return ProgramsNoticed() == 1; }));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(project->shown_cut().phase, CutPhase::kFinished);
}

TEST_F(MachineWindow, ACutWhoseLinkIsLostEndsIncompleteWhereItGotAndStaysSo) {
  ASSERT_TRUE(StartOnVirtualTime());
  TMDIChild* project = OpenSample("frame_with_holes.plt");
  ASSERT_NE(project, nullptr);
  const CutProgress& progress = session().progress;
  Press("SpeedStart");
  ASSERT_TRUE(RunUntil([&] { return progress.elapsed_ms() > progress.total_ms() / 2; }));
  program_->simulated()->Unplug();
  ASSERT_TRUE(RunUntil([&] { return !progress.active(); }, 60'000));
  EXPECT_EQ(progress.phase(), CutPhase::kIncomplete);
  EXPECT_LT(progress.percent(), 100) << "it stays where it got to";
  program_->simulated()->Replug();
  ASSERT_TRUE(RunUntil([this] { return session().panel.view().connected; }));
  ASSERT_TRUE(NextStatusStep());
  const std::string incomplete = program_->texts().GetText("Cut_view", "ciecieNiedokonczone");
  EXPECT_EQ(project->CutStatusText().toStdString().rfind(incomplete, 0), 0u) << project->CutStatusText().toStdString();
  EXPECT_EQ(project->shown_cut().phase, CutPhase::kIncomplete);
}

TEST_F(MachineWindow, AutomaticRepetitionCutsTheStartedProjectAgainWithTheCounterShown) {
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_NE(OpenSample("frame_with_holes.plt"), nullptr);
  Press("SpeedAutoRepeat");
  ASSERT_TRUE(NextStatusStep());
  Press("SpeedStart");
  EXPECT_EQ(Panel(1).text(), "1");
  const size_t first_moves = MovesOf(session().transmission.program());
  // Another drawing opened meanwhile is not what is being repeated.
  TMDIChild* other = Open("one.plt", testing::SquaresPlot(1));
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(form_->ActiveProject(), other);
  ASSERT_TRUE(RunUntil([this] { return session().transmission.transmissions_started() == 2; }));
  EXPECT_EQ(session().run.repeat_counter(), 1);
  EXPECT_EQ(Panel(1).text(), "2");
  const size_t second_moves = MovesOf(session().transmission.program());
  EXPECT_GE(second_moves + 4, first_moves) << "the same drawing, the conveyor blocks aside";
  EXPECT_LE(second_moves, first_moves + 4);
  Press("SpeedAutoRepeat");
  ASSERT_TRUE(RunUntil([this] { return ProgramsNoticed() == 2; }));
  EXPECT_EQ(program_->simulated()->programs_finished(), 2);
  EXPECT_EQ(Panel(1).text(), "");
}

TEST_F(MachineWindow, AfterTheCableIsBackTheCutIsOfferedAndGoesOnFromTheWire) {
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_NE(OpenSample("frame_with_holes.plt"), nullptr);
  ASSERT_TRUE(NextStatusStep());
  sim::SimulatedController& sim = *program_->simulated();
  Press("SpeedStart");
  ASSERT_TRUE(RunUntil([&sim] { return !sim.program_records().empty() && sim.program_records()[0].moves_completed > 3; }));
  sim.Unplug();
  ASSERT_TRUE(RunUntil([this] { return !session().panel.view().connected; }));
  // The drawing closed meanwhile is opened again to show what was cut and where the wire stands.
  Press("CloseAll");
  ASSERT_TRUE(form_->Projects().empty());
  // The offer after the reconnection, declined: nothing is sent and the wire stays cold.
  op_.answers = {kButtonNo};
  sim.Replug();
  ASSERT_TRUE(RunUntil([this] { return op_.answers.empty(); }, 30'000)) << "the resume was offered; " << Shown();
  ASSERT_EQ(form_->Projects().size(), 1);
  const CutSnapshot offered = form_->Projects().front()->shown_cut();
  EXPECT_EQ(offered.phase, CutPhase::kIncomplete);
  ASSERT_TRUE(offered.shown());
  EXPECT_GT(offered.reached, 1u);
  EXPECT_LT(offered.reached, offered.course->stops.size());
  ASSERT_TRUE(RunUntil([this] { return !session().link.gate.cooling_due(); }));
  EXPECT_EQ(sim.program_records().size(), 1u);
  EXPECT_FALSE(sim.HorizontalWireHot());
  // The menu command, confirmed.
  op_.answers = {kButtonYes};
  Press("Wznow1");
  ASSERT_TRUE(RunUntil([this] { return ProgramsNoticed() == 1; })) << Shown();
  ASSERT_EQ(sim.program_records().size(), 2u);
  const int64_t moves = static_cast<int64_t>(MovesOf(FileBytes(program_->folders().writable + "out.cn")));
  EXPECT_EQ(sim.program_records()[0].moves_completed + sim.program_records()[1].moves_completed, moves);
  EXPECT_TRUE(sim.commands_while_running().empty());
  EXPECT_FALSE(sim.HorizontalWireHot());
}

TEST_F(MachineWindow, AProjectBeingCutKeepsItsKerfUntilTheCutIsOver) {
  ASSERT_TRUE(StartOnVirtualTime());
  TMDIChild* cut = OpenSample("frame_with_holes.plt");
  ASSERT_NE(cut, nullptr);
  TMDIChild* other = Open("other.plt", testing::SquaresPlot(1));
  ASSERT_NE(other, nullptr);
  Area().setActiveSubWindow(Area().subWindowList(QMdiArea::CreationOrder).front());
  ASSERT_TRUE(NextStatusStep());
  Press("SpeedStart");
  ASSERT_EQ(session().transmission.transmissions_started(), 1);
  const std::string program = FileBytes(folder_.PathOf("out.cn"));
  const auto kerf_of_one = [](TDlgkonfig& dialog) {
    dialog.findChild<QDoubleSpinBox*>("KerfWidth")->setValue(1);
  };

  op_.boxes.clear();
  ConfigureWithOk(kerf_of_one);
  EXPECT_EQ(cut->document().applied_kerf_mm(), 0);
  ASSERT_EQ(op_.boxes.size(), 1u) << Shown();
  EXPECT_EQ(op_.boxes[0].text,
            Text("Main_window", "kerfProjektCiety") + cut->windowTitle().toStdString());
  EXPECT_EQ(other->document().applied_kerf_mm(), 1) << "a project that is not cut takes the kerf at once";

  ASSERT_TRUE(RunUntil([this] { return ProgramsNoticed() == 1; }));
  EXPECT_EQ(FileBytes(folder_.PathOf("out.cn")), program);
  EXPECT_EQ(program_->simulated()->program_moves_completed(), static_cast<int64_t>(MovesOf(program)))
      << "the program cut is the one written before the change";
  ConfigureWithOk();
  EXPECT_EQ(cut->document().applied_kerf_mm(), 1) << "the next OK after the cut compensates it";
  EXPECT_EQ(op_.boxes.size(), 1u) << Shown();
}

TEST_F(MachineWindow, AProjectClosedDuringItsCutIsNotRepeated) {
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_NE(OpenSample("disc_with_lead_in.plt"), nullptr);
  ASSERT_NE(Open("other.plt", testing::SquaresPlot(1)), nullptr);
  Area().setActiveSubWindow(Area().subWindowList(QMdiArea::CreationOrder).front());
  Press("SpeedAutoRepeat");
  ASSERT_TRUE(NextStatusStep());
  Press("SpeedStart");
  ASSERT_EQ(session().transmission.transmissions_started(), 1);
  Press("FileCloseItem");
  ASSERT_TRUE(RunUntil([this] { return ProgramsNoticed() == 1; }));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(session().transmission.transmissions_started(), 1) << "the other project is not cut in its place";
  EXPECT_EQ(Panel(1).text(), "");
}

TEST_F(MachineWindow, F4MakesAPlannedGridInANewWindowThatCannotBeDuplicatedAgain) {
  ASSERT_TRUE(StartOnVirtualTime());
  TMDIChild* pattern = Open("pattern.plt", testing::SquaresPlot(2));
  ASSERT_NE(pattern, nullptr);
  const size_t pattern_figures = pattern->document().drawing_figure_count;
  OnModal<TfParDup>([](TfParDup& dialog) {
    dialog.findChild<QLineEdit*>("feIloscElemWWierszu")->setText("3");
    dialog.findChild<QLineEdit*>("feIloscWierszy")->setText("2");
    dialog.findChild<QPushButton*>("btnZatwierdz")->click();
  });
  ASSERT_TRUE(Enabled("miDuplikujPlt"));
  Press("miDuplikujPlt");
  testing::ProcessEventsFor(50);  // the main window is active again once the dialog has gone
  ASSERT_EQ(form_->Projects().size(), 2);
  TMDIChild* grid = form_->ActiveProject();
  ASSERT_NE(grid, pattern);
  EXPECT_EQ(grid->windowTitle().toStdString(), DplPathFor(folder_.PathOf("pattern.plt")));
  EXPECT_TRUE(grid->document().planned);
  EXPECT_GE(grid->document().figures.size(), 6 * pattern_figures);
  EXPECT_TRUE(std::filesystem::exists(DplPathFor(folder_.PathOf("pattern.plt")))) << "the values are kept";
  EXPECT_FALSE(Enabled("miDuplikujPlt"));
  const int before = static_cast<int>(form_->Projects().size());
  form_->ActionNamed("miDuplikujPlt")->trigger();
  EXPECT_EQ(form_->Projects().size(), before);
}

TEST_F(MachineWindow, AGridMadeBeforeTheKerfChangedIsToldAndNotCutWithTheStaleKerf) {
  ASSERT_TRUE(StartOnVirtualTime());
  TMDIChild* pattern = Open("pattern.plt", testing::SquaresPlot(2));
  ASSERT_NE(pattern, nullptr);
  OnModal<TfParDup>([](TfParDup& dialog) { dialog.findChild<QPushButton*>("btnZatwierdz")->click(); });
  Press("miDuplikujPlt");
  testing::ProcessEventsFor(50);
  TMDIChild* grid = form_->ActiveProject();
  ASSERT_NE(grid, pattern);
  const std::vector<TPlotPoint> copy = grid->document().figures[0]->points;

  op_.boxes.clear();
  ConfigureWithOk([](TDlgkonfig& dialog) { dialog.findChild<QDoubleSpinBox*>("KerfWidth")->setValue(1); });
  EXPECT_EQ(pattern->document().applied_kerf_mm(), 1);
  EXPECT_EQ(grid->document().figures[0]->points, copy) << "the copies cannot be compensated anew";
  ASSERT_EQ(op_.boxes.size(), 1u) << Shown();
  EXPECT_EQ(op_.boxes[0].text, Text("Main_window", "kerfSiatkaNieaktualna") + grid->windowTitle().toStdString());

  ASSERT_EQ(form_->ActiveProject(), grid);
  ASSERT_TRUE(NextStatusStep());
  Press("SpeedStart");
  EXPECT_EQ(session().transmission.transmissions_started(), 0) << "a grid with the old kerf is not cut";
  ASSERT_EQ(op_.boxes.size(), 2u) << Shown();
  EXPECT_EQ(op_.boxes[1].text, Text("Main_window", "kerfNieaktualny"));

  Area().setActiveSubWindow(Area().subWindowList(QMdiArea::CreationOrder).front());
  ASSERT_EQ(form_->ActiveProject(), pattern);
  Press("SpeedStart");
  EXPECT_EQ(session().transmission.transmissions_started(), 1) << "the compensated drawing is cut";
}

TEST_F(MachineWindow, InformationOpensFromTheMenuAndTheProjectAboutFromTheMenu) {
  ASSERT_TRUE(StartOnVirtualTime());
  TMDIChild* project = Open("a.plt", testing::SquaresPlot(2));
  ASSERT_NE(project, nullptr);
  std::vector<std::string> shown;
  const auto note = [&shown](Tinfoform& info) {
    shown.push_back(info.findChild<QLabel*>("fname")->text().toStdString());
    info.reject();
  };
  OnModal<Tinfoform>(note);
  Press("info");
  OnModal<Tinfoform>(note);
  QTest::mouseClick(project, Qt::RightButton, {}, QPoint(5, 5));
  OnModal<Tinfoform>(note);
  QTest::mouseDClick(project, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(shown, std::vector<std::string>(3, folder_.PathOf("a.plt")));

  bool about = false;
  OnModal<TAboutBox>([&about](TAboutBox& box) {
    about = true;
    box.reject();
  });
  Press("About1");
  EXPECT_TRUE(about);
}

}  // namespace
}  // namespace varnholt
