// The control panel window driven like a person would, offscreen, against the simulated controller on virtual time.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "control/ui/move_wire_dialog.h"
#include "control/ui/tster_form.h"
#include "control/ui/upgrade_program_form.h"
#include "panel_test_support.h"
#include "services/language_file.h"
#include "support/window_support.h"

namespace varnholt {
namespace {

using testing::Child;

// Runs work from the event queue, as input that arrives while the panel waits for the machine.
void Queue(std::function<void()> work) { QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection); }

// The Qt operator that, at its nth look at the waiting input, finds a key press there.
class KeyPressAtPoll final : public QtOperator {
 public:
  KeyPressAtPoll(QWidget& target, int poll) : target_(target), poll_(poll) {}
  void ShowMessageBox(const std::string& text, bool, const std::string&) override { boxes.push_back(text); }
  PendingInput TakePendingInput() override {
    if (++polls_ == poll_) Queue([this] { QTest::keyClick(&target_, Qt::Key_Space); });
    return QtOperator::TakePendingInput();
  }
  std::vector<std::string> boxes;

 private:
  QWidget& target_;
  int poll_;
  int polls_ = 0;
};

class PanelWindowTest : public PanelTest {
 protected:
  explicit PanelWindowTest(const std::string& model) : PanelTest(model) {}

  void SetUp() override {
    PanelTest::SetUp();
    form_ = std::make_unique<TsterForm>(panel(), link(), OneProgramFolder(folder_.folder()));
    form_->ShowPanel();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    sim_.ClearLog();
  }
  void TearDown() override { form_.reset(); }

  TsterForm& form() { return *form_; }
  template <typename Widget>
  Widget& Control(const char* name) {
    return Child<Widget>(*form_, name);
  }
  QString Text(const char* name) { return Control<QLabel>(name).text(); }
  // One status step as the program's timer makes it: the logic stepped with the window's focus, then shown.
  void TimerStep() {
    panel().tick(form_->Focus());
    form_->ShowPanelView();
    panel().RunRequests();
  }
  // A key event as the platform delivers it, to the widget with the focus; timestamp 0 is a platform's that gives
  // none.
  void SendKey(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               bool auto_repeat = false, quint32 scan_code = 0, quint64 timestamp = 0) {
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : form_.get();
    QKeyEvent event(type, key, modifiers, scan_code, 0, 0, QString(), auto_repeat);
    event.setTimestamp(timestamp);
    // Sent as QTest sends its events: marked as the platform's own, which a sendEvent would undo.
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(target, &event);
  }
  bool Moving() {
    ReadStatus(link());
    return state_.Has(kStatusMoving);
  }
  // Another window takes the activation from the panel; callers wrap it in ASSERT_NO_FATAL_FAILURE.
  void ActivateOtherWindow(QWidget& other) {
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  }

  testing::TempFolder folder_;
  testing::RecordingQtOperator qt_op_;
  ScopedOperator installed_qt_{qt_op_};
  std::unique_ptr<TsterForm> form_;
};

class PanelWindow : public PanelWindowTest {
 protected:
  PanelWindow() : PanelWindowTest("Qe") {}
};

class QoPanelWindow : public PanelWindowTest {
 protected:
  QoPanelWindow() : PanelWindowTest("Qo") {}
};

TEST_F(PanelWindow, ShowsItsControlsWithTheirTextsAndThePositions) {
  EXPECT_EQ(form().windowTitle(), "Manual control");
  EXPECT_EQ(Control<QGroupBox>("gbRamiona").title(), "Arms");
  EXPECT_EQ(Control<QGroupBox>("gbTasmociag").title(), "Conveyor");
  EXPECT_EQ(Control<QToolButton>("ku").toolTip(), "up");
  EXPECT_EQ(Control<QToolButton>("ktl").toolTip(), "conveyor left");
  EXPECT_EQ(Control<QPushButton>("k_zalwyl").text(), "Heating  [ INSERT]");
  EXPECT_EQ(Control<QPushButton>("Bazuj").text(), "Homing  [ HOME]");
  EXPECT_EQ(Control<QPushButton>("Zamknij").text(), "Close");
  EXPECT_EQ(Control<QPushButton>("btnPrzesunDoRamion").toolTip(), "Move the conveyor back to the arms");
  for (const char* hidden : {"btnUpgrade", "pTestowy", "pSerwis", "rgTasma", "ktr"}) {
    EXPECT_FALSE(Control<QWidget>(hidden).isVisible()) << hidden;
  }

  TimerStep();
  EXPECT_EQ(Text("wmx"), "0.00") << "the controller counts from where it was switched on";
  EXPECT_EQ(Text("wmy"), "0.00");
  EXPECT_EQ(Text("wmxJm"), "[ mm ]");
  // Positions line up digit under digit: every character of the font as wide as any other.
  const QFont position_font = Control<QLabel>("wmx").font();
  const QFontMetrics position_metrics(position_font);
  EXPECT_EQ(position_metrics.horizontalAdvance(QStringLiteral("iiii")),
            position_metrics.horizontalAdvance(QStringLiteral("MMMM")));
  EXPECT_GE(QFontInfo(position_font).pointSize(), 20);
  EXPECT_EQ(Text("SpeedCaption"), "Positioning speed [ mm/min ]");
  EXPECT_EQ(Text("speedTasmaCaption"), "Conveyor speed [ mm/min ]");

  // Moved by the controller, the positions follow at the next step.
  ASSERT_TRUE(panel().gotopoint(true, 2, 123.45, 123.45, 32.1, 32.1, 0, 0, 0, 0));
  TimerStep();
  EXPECT_EQ(Text("wmx"), "123.45");
  EXPECT_EQ(Text("wmy"), "32.10");
  EXPECT_EQ(Text("SpeedCaption"), "Speed [ mm/min ]") << "the manual speed group now";

  EXPECT_EQ(Text("stan_drutu"), "");
  sim_.SetWireBroken(true);
  QTest::mouseClick(&Control<QPushButton>("k_zalwyl"), Qt::LeftButton);  // a broken wire shows when heated
  TimerStep();
  EXPECT_EQ(Text("stan_drutu"), "Broken wire!");
}

TEST_F(PanelWindow, EveryLanguageGivesEveryControlItsTexts) {
  for (int country : {48, 1, 49}) {
    const tInterfejs texts(InterfaceSetup{std::string(VARNHOLT_LANGUAGE_DIR) + "/", {}, country, ""});
    MachineLink language_link{*usb_, state_, config_, texts};
    TsterForm window(panel(), language_link, OneProgramFolder(folder_.folder()));
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
      const QString text = button->text().isEmpty() ? button->toolTip() : button->text();
      EXPECT_FALSE(text.isEmpty()) << country << ": " << button->objectName().toStdString();
      EXPECT_NE(text.toStdString(), kMissingText) << country << ": " << button->objectName().toStdString();
    }
    for (const QGroupBox* group : window.findChildren<QGroupBox*>()) {
      EXPECT_FALSE(group->title().isEmpty()) << country << ": " << group->objectName().toStdString();
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
      EXPECT_NE(label->text().toStdString(), kMissingText) << country << ": " << label->objectName().toStdString();
    }
  }
}

TEST_F(PanelWindow, WithBothHiddenPanelsOpenItFitsAScreenOf1024By768) {
  SendKey(QEvent::KeyPress, Qt::Key_E, Qt::AltModifier);
  SendKey(QEvent::KeyPress, Qt::Key_F1, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  SendKey(QEvent::KeyPress, Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  for (const char* shown : {"btnUpgrade", "pTestowy", "pSerwis"}) EXPECT_TRUE(Control<QWidget>(shown).isVisible());
  TimerStep();
  QApplication::processEvents();
  EXPECT_LE(form().frameGeometry().width(), 1024);
  EXPECT_LE(form().frameGeometry().height(), 768 - 40);  // a task bar
  EXPECT_TRUE(Control<QCheckBox>("cbSbPower").text() == "Heating");
  EXPECT_EQ(Text("lSelSpeed").toStdString().rfind("speed", 0), std::string::npos)
      << "a caption, not an identifier";
  EXPECT_FALSE(Text("lSelSpeed").isEmpty());
  // The same keys hide them again.
  SendKey(QEvent::KeyPress, Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  SendKey(QEvent::KeyPress, Qt::Key_E, Qt::AltModifier);
  EXPECT_FALSE(Control<QWidget>("pSerwis").isVisible());
  EXPECT_FALSE(Control<QWidget>("btnUpgrade").isVisible());
  EXPECT_TRUE(Control<QWidget>("pTestowy").isVisible());
}

TEST_F(PanelWindow, AHeldArrowKeySendsOneJogAndOneStop) {
  SendKey(QEvent::KeyPress, Qt::Key_Right);
  for (int i = 0; i < 10; ++i) {
    SendKey(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, true);
    SendKey(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, true);
  }
  EXPECT_EQ(MovesSent(), 1u);
  EXPECT_EQ(CountOf('Y'), 0u);
  EXPECT_TRUE(Moving());
  clock_.Advance(400);
  SendKey(QEvent::KeyRelease, Qt::Key_Right);
  EXPECT_EQ(MovesSent(), 1u);
  EXPECT_EQ(CountOf('Y'), 1u);
  EXPECT_FALSE(Moving());
  EXPECT_FALSE(panel().jog_in_progress());
  TimerStep();
  EXPECT_GT(Text("wmx").toDouble(), 0.0);
}

TEST_F(PanelWindow, ARepeatPairThatCameWithoutQtsFlagNeitherEndsAJogNorTogglesTheHeatingAgain) {
  // On X11 both halves of a repeat pair can come unflagged; they share their timestamp.
  const auto unflagged_pair = [this](int key, quint64 timestamp) {
    SendKey(QEvent::KeyRelease, key, Qt::NoModifier, false, 0, timestamp);
    SendKey(QEvent::KeyPress, key, Qt::NoModifier, false, 0, timestamp);
  };
  SendKey(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, false, 0, 1000);
  clock_.Advance(300);
  unflagged_pair(Qt::Key_Right, 1660);
  unflagged_pair(Qt::Key_Right, 1700);
  testing::ProcessEventsFor(60);
  EXPECT_EQ(MovesSent(), 1u);
  EXPECT_EQ(CountOf('Y'), 0u);
  EXPECT_TRUE(Moving()) << "the key is still held";

  SendKey(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, false, 0, 1720);
  testing::ProcessEventsFor(60);
  EXPECT_EQ(CountOf('Y'), 1u) << "the real release ends the jog";
  EXPECT_FALSE(Moving());
  EXPECT_FALSE(panel().jog_in_progress());

  // A release followed at once by another key's press: the jog ends before the new one starts.
  SendKey(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, false, 0, 2000);
  SendKey(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, false, 0, 2400);
  SendKey(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, false, 0, 2401);
  EXPECT_EQ(CountOf('Y'), 2u);
  EXPECT_EQ(MovesSent(), 3u);
  EXPECT_TRUE(panel().jog_in_progress());
  SendKey(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, false, 0, 2800);
  testing::ProcessEventsFor(60);
  EXPECT_FALSE(Moving());

  ReadStatus(link());
  const bool heating = state_.Has(kStatusHeating);
  SendKey(QEvent::KeyPress, Qt::Key_Insert, Qt::NoModifier, false, 0, 3000);
  unflagged_pair(Qt::Key_Insert, 3660);
  SendKey(QEvent::KeyRelease, Qt::Key_Insert, Qt::NoModifier, false, 0, 3700);
  ReadStatus(link());
  EXPECT_NE(state_.Has(kStatusHeating), heating) << "toggled once";
}

TEST_F(PanelWindow, TheKeyThatStartedAJogEndsItWhateverShiftMakesOfIt) {
  // "." pressed, Shift pressed meanwhile: the release of the same key comes as ">".
  constexpr quint32 kPeriodScanCode = 60;
  SendKey(QEvent::KeyPress, Qt::Key_Period, Qt::NoModifier, false, kPeriodScanCode);
  ASSERT_TRUE(panel().jog_in_progress());
  SendKey(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, false, 50);
  SendKey(QEvent::KeyRelease, Qt::Key_Greater, Qt::ShiftModifier, false, kPeriodScanCode);
  EXPECT_FALSE(panel().jog_in_progress());
  EXPECT_EQ(CountOf('Y'), 1u);
}

TEST_F(PanelWindow, AJogEndsWhenTheWindowLosesTheActivationOrIsHidden) {
  QWidget other;
  SendKey(QEvent::KeyPress, Qt::Key_Up);
  ASSERT_TRUE(Moving());
  ASSERT_NO_FATAL_FAILURE(ActivateOtherWindow(other));  // the release goes to the other window
  EXPECT_FALSE(Moving());
  EXPECT_FALSE(panel().jog_in_progress());
  const size_t stops = CountOf('Y');
  EXPECT_EQ(stops, 1u);

  form().ShowPanel();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  QTest::mousePress(&Control<QToolButton>("kd"), Qt::LeftButton);
  ASSERT_TRUE(Moving());
  form().hide();
  EXPECT_FALSE(Moving());
  EXPECT_EQ(CountOf('Y'), stops + 1);
  QTest::mouseRelease(&Control<QToolButton>("kd"), Qt::LeftButton);
  EXPECT_EQ(CountOf('Y'), stops + 1) << "the release of a jog already ended sends nothing";
}

TEST_F(PanelWindow, CtrlHeldGoesSlowAndTheSpeedComesBackWhenThePanelIsLeft) {
  Control<QSlider>("VScroll").setValue(1000);
  SendKey(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
  EXPECT_EQ(state_.group_periods[state_.active_group], PeriodFromSpeed(state_, 100) / 4 * 4);
  QWidget other;
  ASSERT_NO_FATAL_FAILURE(ActivateOtherWindow(other));
  EXPECT_EQ(state_.group_periods[state_.active_group], PeriodFromSpeed(state_, 1000) / 4 * 4);
}

TEST_F(PanelWindow, AReleaseTakenWhileTheJogWaitsForTheMachineStillEndsIt) {
  // The arms still move when the key goes down: the jog waits, and the key is let go meanwhile.
  ASSERT_TRUE(panel().gotopoint(false, 2, 20.0, 20.0, 0.0, 0.0, 0, 0, 0, 0));
  ASSERT_TRUE(Moving());
  Queue([this] { SendKey(QEvent::KeyRelease, Qt::Key_Left); });
  SendKey(QEvent::KeyPress, Qt::Key_Left);
  EXPECT_EQ(MovesSent(), 2u) << "the go-to-point move and the jog";
  EXPECT_FALSE(panel().jog_in_progress());
  EXPECT_FALSE(Moving());

  // The same for a jog button let go while its jog waits.
  ASSERT_TRUE(panel().gotopoint(false, 2, 40.0, 40.0, 0.0, 0.0, 0, 0, 0, 0));
  QToolButton& kr = Control<QToolButton>("kr");
  Queue([&kr] { QTest::mouseRelease(&kr, Qt::LeftButton); });
  QTest::mousePress(&kr, Qt::LeftButton);
  EXPECT_EQ(MovesSent(), 4u);
  EXPECT_FALSE(Moving());
  EXPECT_FALSE(kr.isDown());
}

TEST_F(PanelWindow, JogButtonsJogWhileHeldWithTheLeftButtonAlone) {
  QToolButton& ku = Control<QToolButton>("ku");
  QTest::mousePress(&ku, Qt::LeftButton);
  EXPECT_EQ(MovesSent(), 1u);
  clock_.Advance(300);
  QTest::mouseRelease(&ku, Qt::LeftButton);
  EXPECT_EQ(CountOf('Y'), 1u);
  EXPECT_FALSE(Moving());

  sim_.ClearLog();
  QTest::mousePress(&ku, Qt::RightButton);
  QTest::mousePress(&ku, Qt::LeftButton);  // with the right button still held
  QTest::mouseRelease(&ku, Qt::LeftButton);
  QTest::mouseRelease(&ku, Qt::RightButton);
  EXPECT_EQ(MovesSent(), 0u);

  QTest::mouseClick(&Control<QToolButton>("kstop"), Qt::LeftButton);
  EXPECT_EQ(CountOf('Y'), 1u);
}

TEST_F(PanelWindow, OneManualMoveAtATime) {
  // A jog key would wait for the machine to stand, which the held button keeps moving.
  QToolButton& kl = Control<QToolButton>("kl");
  QTest::mousePress(&kl, Qt::LeftButton);
  SendKey(QEvent::KeyPress, Qt::Key_Up);
  SendKey(QEvent::KeyRelease, Qt::Key_Up);
  EXPECT_EQ(MovesSent(), 1u);
  QTest::mouseRelease(&kl, Qt::LeftButton);
  EXPECT_FALSE(Moving());
  // And a button is not for a key's jog.
  SendKey(QEvent::KeyPress, Qt::Key_Down);
  QTest::mouseClick(&kl, Qt::LeftButton);
  EXPECT_EQ(MovesSent(), 2u);
  SendKey(QEvent::KeyRelease, Qt::Key_Down);
  EXPECT_FALSE(Moving());
}

TEST_F(PanelWindow, NumpadPlusAndMinusStepTheSpeedBar) {
  QSlider& bar = Control<QSlider>("VScroll");
  const auto after = [&](int start, Qt::Key key) {
    bar.setValue(start);
    SendKey(QEvent::KeyPress, key, Qt::KeypadModifier);
    SendKey(QEvent::KeyRelease, key, Qt::KeypadModifier);
    EXPECT_EQ(Text("SpeedLabel").toInt(), bar.value());
    return bar.value();
  };
  EXPECT_EQ(after(1000, Qt::Key_Plus), 1100);
  EXPECT_EQ(after(1000, Qt::Key_Minus), 900);
  EXPECT_EQ(after(95, Qt::Key_Plus), 96);
  EXPECT_EQ(after(95, Qt::Key_Minus), 94);
  EXPECT_EQ(after(10, Qt::Key_Minus), 10);
  EXPECT_EQ(state_.group_periods[state_.active_group], PeriodFromSpeed(state_, 10) / 4 * 4);
  // The main keyboard's plus is not the keypad's.
  bar.setValue(1000);
  SendKey(QEvent::KeyPress, Qt::Key_Plus);
  EXPECT_EQ(bar.value(), 1000);
}

TEST_F(PanelWindow, TheEnablingRulesFollowARunningAndAPausedProgram) {
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  TimerStep();
  for (const char* off : {"ku", "kd", "kl", "kr", "k_zalwyl", "ktl", "Bazuj", "keyprzesun", "btnPrzesunDoRamion"}) {
    EXPECT_FALSE(Control<QWidget>(off).isEnabled()) << off;
  }
  for (const char* off : {"VScroll", "PScroll", "VScrollTasma"}) EXPECT_FALSE(Control<QWidget>(off).isEnabled()) << off;
  EXPECT_TRUE(Control<QWidget>("kstop").isEnabled());
  EXPECT_FALSE(main_.buttons.SpeedStart);

  // kstop is the program's Stop, as the main window carries it out: the paused machine stands and may be jogged.
  QTest::mouseClick(&Control<QToolButton>("kstop"), Qt::LeftButton);
  EXPECT_EQ(main_.stops, 1);
  ASSERT_TRUE(panel().wstrzymaj());
  TimerStep();
  ReadStatus(link());
  ASSERT_TRUE(state_.Has(kStatusPaused));
  for (const char* on : {"ku", "kd", "kl", "kr", "ktl", "Bazuj", "keyprzesun", "VScroll", "PScroll"}) {
    EXPECT_TRUE(Control<QWidget>(on).isEnabled()) << on;
  }
  EXPECT_TRUE(main_.buttons.Skont);
}

TEST_F(PanelWindow, SpaceIsTheStopOfTheProgramAndNoPushButtonTakesIt) {
  Control<QPushButton>("k_zalwyl").setFocus();
  for (int press = 1; press <= 2; ++press) {
    SendKey(QEvent::KeyPress, Qt::Key_Space);
    SendKey(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(main_.stops, press) << "each press is a Stop";
  }
  EXPECT_FALSE(sim_.heater_on(kManualWireChannel)) << "the focused heating button was not clicked";
  EXPECT_EQ(CountOf('R'), 0u);
  EXPECT_EQ(CountOf('B'), 0u);
}

TEST_F(PanelWindow, HomingEndsAtAKeyPress) {
  KeyPressAtPoll keys(form(), 2);
  ScopedOperator installed(keys);
  QTest::mouseClick(&Control<QPushButton>("Bazuj"), Qt::LeftButton);
  EXPECT_EQ(CountOf('B'), 1u) << "the first homing step only";
  EXPECT_EQ(CountOf('N'), 0u);
  EXPECT_FALSE(Moving());
  EXPECT_TRUE(keys.boxes.empty());
  // The status step runs again.
  EXPECT_TRUE(panel().timer_enabled());
}

TEST_F(PanelWindow, TheTwoDialogsOpenFromThePanel) {
  form().move_wire_dialog().SetSides(false, false);
  QWidget* opened = nullptr;
  bool both_sides = false;
  // Looks, as often as the event loop turns, for the modal dialog the click opened, notes and closes it.
  QTimer closer;
  closer.setInterval(0);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    opened = dialog;
    if (auto* move_wire = dynamic_cast<Tprzesun*>(dialog)) {
      both_sides = move_wire->Values().side_a && move_wire->Values().side_b;
    }
    closer.stop();
    dialog->reject();
  });
  closer.start();
  QTest::mouseClick(&Control<QPushButton>("keyprzesun"), Qt::LeftButton);
  EXPECT_EQ(opened, &form().move_wire_dialog());
  EXPECT_TRUE(both_sides);

  SendKey(QEvent::KeyPress, Qt::Key_E, Qt::AltModifier);
  opened = nullptr;
  closer.start();
  QTest::mouseClick(&Control<QPushButton>("btnUpgrade"), Qt::LeftButton);
  EXPECT_EQ(opened, &form().upgrade_dialog());
}

TEST_F(PanelWindow, TheJoystickHalfRightJogsAtHalfTheRapidSpeedAndTheCentreStops) {
  joystick_.Hold({49152, 32768, 0});
  TimerStep();
  EXPECT_EQ(MovesSent(), 1u);
  EXPECT_EQ(Control<QSlider>("VScroll").value(), 1000) << "half the Qe max rapid speed";
  EXPECT_EQ(Text("SpeedLabel"), "1000");
  joystick_.Hold({32768, 32768, 0});
  TimerStep();
  EXPECT_EQ(CountOf('Y'), 1u);
  EXPECT_FALSE(Moving());
}

TEST_F(PanelWindow, APanelHeldOrBusyLetsTheStatusStepWait) {
  EXPECT_TRUE(form().Focus().active);
  EXPECT_FALSE(form().Focus().input_waiting);
  QSlider& bar = Control<QSlider>("VScroll");
  bar.setSliderDown(true);
  EXPECT_TRUE(form().Focus().input_waiting) << "the display would move the bar under the operator's hand";
  bar.setSliderDown(false);
  QWidget other;
  ASSERT_NO_FATAL_FAILURE(ActivateOtherWindow(other));
  EXPECT_FALSE(form().Focus().active);
}

TEST_F(PanelWindow, TheActivePanelClosesWhenTheControllerGoesAway) {
  SendKey(QEvent::KeyPress, Qt::Key_Right);  // held as the cable is pulled
  sim_.Unplug();
  TimerStep();
  EXPECT_FALSE(form().isVisible());
  EXPECT_TRUE(qt_op_.boxes.empty()) << "the status step and the closing show no box";
  usb_->PollDeviceEvents();
  sim_.Replug();
  usb_->PollDeviceEvents();
  form().ShowPanel();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  EXPECT_FALSE(panel().jog_in_progress()) << "the jog of the lost controller is forgotten";
  sim_.ClearLog();
  SendKey(QEvent::KeyPress, Qt::Key_Left);
  EXPECT_EQ(MovesSent(), 1u);
  SendKey(QEvent::KeyRelease, Qt::Key_Left);
  EXPECT_FALSE(Moving());
}

TEST_F(PanelWindow, HeatingAndTheBarsReachTheController) {
  QTest::mouseClick(&Control<QPushButton>("k_zalwyl"), Qt::LeftButton);
  EXPECT_TRUE(sim_.heater_on(2));
  EXPECT_TRUE(Control<QPushButton>("k_zalwyl").isChecked());
  SendKey(QEvent::KeyPress, Qt::Key_Insert);
  SendKey(QEvent::KeyRelease, Qt::Key_Insert);
  EXPECT_FALSE(sim_.heater_on(2));
  EXPECT_FALSE(Control<QPushButton>("k_zalwyl").isChecked());

  Control<QSlider>("PScroll").setValue(40);
  EXPECT_EQ(Text("PowerLabel"), "40");
  EXPECT_EQ(sim_.heater_power(2), 102);
  // The operator's move of the speed bar selects the manual speed group, then sets its speed.
  QSlider& bar = Control<QSlider>("VScroll");
  bar.setValue(500);
  bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_TRUE(Sent(CommandBytes("F\x02", 2)));
  EXPECT_EQ(bar.value(), 600);
  EXPECT_EQ(state_.group_periods[2], PeriodFromSpeed(state_, 600) / 4 * 4);
}

TEST_F(PanelWindow, TheActiveBeltsAreChosenOnlyWhenTheBeltsAreSeparate) {
  link().separate_third_axes = true;
  panel().FormCreate();
  form().ShowPanelView();
  QGroupBox& choice = Control<QGroupBox>("rgTasma");
  ASSERT_TRUE(choice.isVisible());
  const QList<QRadioButton*> items = choice.findChildren<QRadioButton*>();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(choice.title(), "Active belts");
  EXPECT_EQ(items[1]->text(), "Belt 1 only");
  EXPECT_TRUE(items[0]->isChecked());
  // A radio button takes clicks on its circle and text only.
  const QPoint on_circle(8, items[0]->height() / 2);
  QTest::mouseClick(items[2], Qt::LeftButton, Qt::NoModifier, on_circle);
  EXPECT_EQ(link().panel.active_belts, 2);
  QTest::mouseClick(items[1], Qt::LeftButton, Qt::NoModifier, on_circle);
  EXPECT_EQ(link().panel.active_belts, 1);
}

TEST_F(QoPanelWindow, TheSecondConveyorButtonIsAQoOnesAndItsVerticalWireIsNot) {
  TimerStep();
  QToolButton& ktr = Control<QToolButton>("ktr");
  EXPECT_TRUE(ktr.isVisible());
  EXPECT_FALSE(Control<QPushButton>("k_zalwyl_pionowe").isEnabled());
  EXPECT_FALSE(Control<QSlider>("PScrollPionowe").isEnabled());
  EXPECT_FALSE(Control<QLabel>("powerPionoweLabel").isEnabled());
  EXPECT_TRUE(Control<QSlider>("VScrollTasma").isEnabled());
  QTest::mousePress(&ktr, Qt::LeftButton);
  clock_.Advance(200);
  QTest::mouseRelease(&ktr, Qt::LeftButton);
  ReadPositions(link());
  EXPECT_GT(state_.belt3, 0) << "the belt went forward";
}

}  // namespace
}  // namespace varnholt
