// The manual control panel in the program: F5 and the speed button show its window over the program's own session,
// the machine's timers step it, a person jogs, homes, heats and changes speeds through it, it follows a cut started in
// the main window, its pictures, and the program's end with it open.

#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <stdexcept>

#include "app/ui/main_form_machine.h"
#include "app/ui/screenshots.h"
#include "control/firmware_upgrade.h"
#include "control/ui/tster_form.h"
#include "control/ui/upgrade_program_form.h"
#include "files/program_decoder.h"
#include "link/move_record.h"
#include "link/sim/simulated_controller.h"
#include "support/main_window_fixture.h"

namespace varnholt {
namespace {

using testing::Child;

class PanelInTheProgram : public testing::MachineWindowTest {
 protected:
  // Shows the panel with F5 pressed in the active main window; the panel is then the active window.
  TsterForm& OpenWithF5() {
    form_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    QTest::keyClick(form_.get(), Qt::Key_F5);
    TsterForm* panel = form_->machine().panel_window();
    if (panel == nullptr) throw std::runtime_error("no control panel window");
    EXPECT_TRUE(QTest::qWaitForWindowActive(panel));
    return *panel;
  }
  sim::SimulatedController& machine() { return *program_->simulated(); }
  bool MachineHas(uint32_t bit) { return (machine().StatusWord() & bit) != 0; }
  // Direct commands that begin with letter since the log was cleared, and the moves among them (opened by "A" 0xFF).
  size_t Sent(char letter) {
    const std::vector<CommandBytes>& commands = machine().commands();
    return static_cast<size_t>(
        std::count_if(commands.begin(), commands.end(), [letter](const CommandBytes& c) { return c.at(0) == letter; }));
  }
  size_t MovesSent() {
    const std::vector<CommandBytes>& commands = machine().commands();
    return static_cast<size_t>(std::count_if(commands.begin(), commands.end(), [](const CommandBytes& c) {
      return c.size() >= 2 && c[0] == 'A' && static_cast<uint8_t>(c[1]) == kMoveOpenCode;
    }));
  }
  // A key as the keyboard delivers it to the panel: pressed, released, or repeated while held.
  static void Key(TsterForm& panel, bool press, Qt::Key key, bool auto_repeat = false) {
    QWidget* target = panel.focusWidget() != nullptr ? panel.focusWidget() : &panel;
    QTest::simulateEvent(target, press, key, Qt::NoModifier, QString(), auto_repeat);
  }
  static QString Shown(TsterForm& panel, const char* label) { return Child<QLabel>(panel, label).text(); }
  // The controller's X1 as the panel shows millimetres, read from the controller now.
  QString MachineX1() {
    ReadPositions(program_->link());
    return QString::number(program_->state().X1 / 100.0, 'f', 2);
  }
};

TEST_F(PanelInTheProgram, F5AndTheSpeedButtonShowTheOnePanelWindowThatTheStatusStepFills) {
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(session().panel.view().refreshed) << "a hidden panel is not the active window";

  TsterForm& panel = OpenWithF5();
  EXPECT_EQ(panel.windowTitle(), "Manual control");
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(session().panel.view().refreshed) << "the step asks the window whether it is active";
  ASSERT_TRUE(session().panel.gotopoint(true, 2, 250.5, 250.5, 40.0, 40.0, 0, 0, 0, 0));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(Shown(panel, "wmx"), "250.50") << "each step is shown in the window";
  EXPECT_EQ(Shown(panel, "wmy"), "40.00");

  Child<QPushButton>(panel, "Zamknij").click();
  EXPECT_FALSE(panel.isVisible());
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(session().panel.view().refreshed);

  form_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  QTest::mouseClick(&Child<QToolButton>(*form_, "SpeedSterowanie"), Qt::LeftButton);
  EXPECT_EQ(form_->machine().panel_window(), &panel) << "made once";
  EXPECT_TRUE(QTest::qWaitForWindowActive(&panel));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(session().panel.view().refreshed);
}

TEST_F(PanelInTheProgram, AHeldArrowKeyJogsOnceUntilItsReleaseWhileThePositionsFollow) {
  ASSERT_TRUE(StartOnVirtualTime());
  TsterForm& panel = OpenWithF5();
  ASSERT_TRUE(NextStatusStep());
  machine().ClearLog();

  Key(panel, true, Qt::Key_Right);
  QStringList shown;
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(NextStatusStep());
    shown << Shown(panel, "wmx");
    Key(panel, false, Qt::Key_Right, true);
    Key(panel, true, Qt::Key_Right, true);
  }
  EXPECT_EQ(MovesSent(), 1u) << "one jog for the held key";
  EXPECT_EQ(Sent('Y'), 0u);
  EXPECT_LT(shown.front().toDouble(), shown.back().toDouble())
      << "the position moves while the key is held: " << shown.join(' ').toStdString();

  Key(panel, false, Qt::Key_Right);
  EXPECT_EQ(Sent('Y'), 1u) << "one stop at the release";
  EXPECT_EQ(MovesSent(), 1u);
  EXPECT_FALSE(MachineHas(kStatusMoving));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(Shown(panel, "wmx"), MachineX1());
}

TEST_F(PanelInTheProgram, APersonChangesTheSpeedHeatsAndHomesWithThePanelsKeys) {
  ASSERT_TRUE(StartOnVirtualTime());
  TsterForm& panel = OpenWithF5();
  ASSERT_TRUE(NextStatusStep());

  const size_t boxes = op_.boxes.size();
  const QSlider& speed = Child<QSlider>(panel, "VScroll");
  const int speed_before = speed.value();
  const uint16_t period_before = machine().group_period(machine().active_group());
  QTest::keyClick(&panel, Qt::Key_Plus, Qt::KeypadModifier);
  ASSERT_TRUE(NextStatusStep());
  EXPECT_GT(speed.value(), speed_before);
  EXPECT_LT(machine().group_period(machine().active_group()), period_before) << "faster on the controller too";

  QTest::keyClick(&panel, Qt::Key_Insert);
  EXPECT_TRUE(MachineHas(kStatusHeating));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Child<QPushButton>(panel, "k_zalwyl").isChecked()) << "shown pressed while heating";
  QTest::keyClick(&panel, Qt::Key_Insert);
  EXPECT_FALSE(MachineHas(kStatusHeating));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(Child<QPushButton>(panel, "k_zalwyl").isChecked());

  ASSERT_TRUE(session().panel.gotopoint(true, 2, 80.0, 80.0, 30.0, 30.0, 0, 0, 0, 0));
  ASSERT_TRUE(NextStatusStep());
  ASSERT_EQ(Shown(panel, "wmx"), "80.00");
  QTest::keyClick(&panel, Qt::Key_Home);
  EXPECT_TRUE(MachineHas(kStatusHomed));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(Shown(panel, "wmx"), "0.00");
  EXPECT_EQ(Shown(panel, "wmy"), "0.00");
  EXPECT_EQ(op_.boxes.size(), boxes) << op_.boxes.back().text;
}

TEST_F(PanelInTheProgram, ACutStartedInTheMainWindowLocksThePanelsMovesUntilItsKstopPausesIt) {
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_NE(form_->OpenDrawing(std::string(VARNHOLT_SOURCE_DIR) + "/samples/frame_with_holes.plt", 1), nullptr);
  TsterForm& panel = OpenWithF5();
  ASSERT_TRUE(NextStatusStep());
  const char* const moves[] = {"ku", "kd", "kl", "kr", "ktl", "k_zalwyl", "Bazuj", "keyprzesun", "btnPrzesunDoRamion"};
  for (const char* name : moves) ASSERT_TRUE(Child<QWidget>(panel, name).isEnabled()) << name;

  form_->ActionNamed("SpeedStart")->trigger();
  ASSERT_TRUE(RunUntil([this] { return session().flags.ProgramStarted; }));
  ASSERT_TRUE(NextStatusStep());
  ASSERT_TRUE(panel.isActiveWindow());
  for (const char* name : moves) EXPECT_FALSE(Child<QWidget>(panel, name).isEnabled()) << name;
  for (const char* name : {"VScroll", "PScroll", "VScrollTasma"}) {
    EXPECT_FALSE(Child<QSlider>(panel, name).isEnabled()) << name << ": the program's speeds and powers are its own";
  }
  const QString x_at_start = MachineX1();
  ASSERT_TRUE(RunUntil([&] { return MachineX1() != x_at_start; }));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(Shown(panel, "wmx"), MachineX1()) << "the positions follow the cut";

  QTest::mouseClick(&Child<QToolButton>(panel, "kstop"), Qt::LeftButton);
  EXPECT_TRUE(MachineHas(kStatusPaused));
  EXPECT_TRUE(session().flags.MachineStopped);
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(form_->ActionNamed("Skont")->isEnabled()) << "the main window may continue";
  EXPECT_TRUE(Child<QToolButton>(panel, "kl").isEnabled()) << "the paused machine stands";

  form_->ActionNamed("Skont")->trigger();
  ASSERT_TRUE(RunUntil([this] { return machine().programs_finished() == 1; }));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(machine().program_moves_completed(),
            static_cast<int64_t>(DecodeProgram(session().transmission.program(), session().state).summary.moves))
      << "the paused cut went on to its end";
  // The wire is still heated: the arms may move, the conveyor waits until the heating is off.
  for (const char* name : {"ku", "kd", "kl", "kr", "k_zalwyl"}) {
    EXPECT_TRUE(Child<QWidget>(panel, name).isEnabled()) << name;
  }
}

TEST_F(PanelInTheProgram, APanelBehindTheMainWindowIsLockedByACutAndTheFirmwareWaitsForItsEnd) {
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_NE(form_->OpenDrawing(std::string(VARNHOLT_SOURCE_DIR) + "/samples/frame_with_holes.plt", 1), nullptr);
  TsterForm& panel = OpenWithF5();
  form_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  form_->ActionNamed("SpeedStart")->trigger();
  ASSERT_TRUE(RunUntil([this] { return machine().program_running(); }));
  ASSERT_TRUE(NextStatusStep());
  ASSERT_FALSE(panel.isActiveWindow());
  for (const char* name : {"ku", "kl", "ktl", "k_zalwyl", "Bazuj", "keyprzesun", "PScroll", "VScroll"}) {
    EXPECT_FALSE(Child<QWidget>(panel, name).isEnabled()) << name << " while the panel is not the active window";
  }
  // The firmware window does not open on a cut.
  const size_t boxes = op_.boxes.size();
  EXPECT_FALSE(panel.upgrade_dialog().upgrade().Open());
  ASSERT_EQ(op_.boxes.size(), boxes + 1);
  EXPECT_NE(op_.boxes.back().text.find(Text("Control", "opFirmware")), std::string::npos) << op_.boxes.back().text;
  EXPECT_TRUE(machine().commands_while_running().empty());
  // Once the cut has ended the window keeps the machine: a press of the machine's start button during one of its
  // steps starts no cut.
  ASSERT_TRUE(RunUntil([this] { return !session().Cutting(); }));
  FirmwareUpgrade& upgrade = panel.upgrade_dialog().upgrade();
  ASSERT_TRUE(upgrade.Open());
  machine().AfterCommand([this](const CommandBytes& command) {
    if (command[0] == 'S' && static_cast<uint8_t>(command[1]) == kSettingFirmwareErase) machine().PressStartButton();
  });
  const int64_t transmissions = session().transmission.transmissions_started();
  upgrade.Erase();
  machine().AfterCommand({});
  ASSERT_TRUE(NextStatusStep());
  ASSERT_TRUE(NextStatusStep());
  upgrade.Close();
  EXPECT_EQ(session().transmission.transmissions_started(), transmissions);
  EXPECT_FALSE(machine().program_running());
  EXPECT_NE(op_.boxes.back().text.find(Text("Control", "opFirmware")), std::string::npos) << op_.boxes.back().text;
}

TEST_F(PanelInTheProgram, ThePicturesShowThePanelOfF5FilledAndLeaveTheWireWhereItStood) {
  ASSERT_TRUE(StartOnVirtualTime());
  const size_t boxes = op_.boxes.size();
  ASSERT_TRUE(session().panel.gotopoint(true, 2, 20.0, 20.0, 10.0, 10.0, 0, 0, 0, 0));
  std::vector<std::string> names;
  SaveControlPanelPictures(*form_, *program_, [&](QWidget& window, const std::string& name) {
    names.push_back(name);
    EXPECT_EQ(&window, form_->machine().panel_window()) << name;
    EXPECT_TRUE(window.isActiveWindow()) << name;
    EXPECT_EQ(Child<QLabel>(window, "wmx").text(), "1200.00") << name;
    EXPECT_EQ(Child<QLabel>(window, "wmy").text(), "350.00") << name;
    EXPECT_EQ(Child<QLabel>(window, "SpeedLabel").text(), "1500") << name;
    EXPECT_EQ(Child<QLabel>(window, "PowerLabel").text(), "40") << name;
    const bool service = name == "control_panel_service";
    EXPECT_EQ(Child<QGroupBox>(window, "pTestowy").isVisible(), service) << name;
    EXPECT_EQ(Child<QGroupBox>(window, "pSerwis").isVisible(), service) << name;
  });
  EXPECT_EQ(names, (std::vector<std::string>{"control_panel", "control_panel_service"}));
  EXPECT_FALSE(form_->machine().panel_window()->isVisible());
  ReadPositions(program_->link());
  EXPECT_EQ(program_->state().X1, 2000);
  EXPECT_EQ(program_->state().Y2, 1000);
  EXPECT_EQ(op_.boxes.size(), boxes) << op_.boxes.back().text;
}

TEST_F(PanelInTheProgram, TheProgramEndsCleanlyWithThePanelOpenAndAJogKeyHeld) {
  ASSERT_TRUE(StartOnVirtualTime());
  TsterForm& panel = OpenWithF5();
  ASSERT_TRUE(NextStatusStep());
  machine().ClearLog();
  Key(panel, true, Qt::Key_Left);
  ASSERT_TRUE(MachineHas(kStatusMoving));

  // The window goes before the session: what it sends last still reaches the controller.
  size_t stops = 0;
  bool moving = true;
  QObject::connect(&panel, &QObject::destroyed, [&] {
    stops = Sent('Y');
    moving = MachineHas(kStatusMoving);
  });
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(stops, 1u) << "the held jog ended with the window";
  EXPECT_FALSE(moving);
  EXPECT_EQ(form_->machine().panel_window(), nullptr);
  EXPECT_EQ(form_->machine_timers(), nullptr);
  EXPECT_FALSE(program_->has_link());
  testing::ProcessEventsFor(20);  // nothing queued reaches a window or timer that went
}

}  // namespace
}  // namespace varnholt
