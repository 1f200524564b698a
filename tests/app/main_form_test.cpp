#include "app/ui/main_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "app/program.h"
#include "config/konfig_file.h"
#include "config/ui/dlgkonfig.h"
#include "config/ui/param_field.h"
#include "geometry/clock.h"
#include "link/command_bytes.h"
#include "link/sim/simulated_controller.h"
#include "project/ui/mdi_child.h"
#include "project/ui/text_dialog.h"
#include "services/caption_text.h"
#include "support/main_window_fixture.h"

namespace varnholt {
namespace {

using testing::ProcessEventsFor;

// The cutting run as the main window sees it, recording what it is asked.
class FakeCuttingRun final : public CuttingRunPort {
 public:
  void Start() override { calls.push_back("Start"); }
  void Stop() override { calls.push_back("Stop"); }
  void Continue() override { calls.push_back("Continue"); }
  void Resume() override { calls.push_back("Resume"); }
  void MoveToArms() override { calls.push_back("MoveToArms"); }
  void MoveOutAfterCut() override { calls.push_back("MoveOutAfterCut"); }
  AutoRepeatButtons AutoRepeatChanged(bool on) override {
    calls.push_back(on ? "AutoRepeatOn" : "AutoRepeatOff");
    const bool repeating = on && !refuse_repetition;
    return {repeating, repeating ? "repeating" : "single", !repeating};
  }
  bool CloseQuery() override {
    calls.push_back("CloseQuery");
    return may_close;
  }

  std::vector<std::string> calls;
  bool may_close = true;
  bool refuse_repetition = false;
};

using MainWindow = testing::MainWindowTest;

constexpr const char* kProjectItems[] = {"FileCloseItem", "FileSaveDrawingItem", "info",          "Symulacja",
                                         "Start1",        "WindowCascadeItem",   "WindowTileItem", "DopasujWidok"};

TEST_F(MainWindow, MenuItemsFollowTheOpenProjects) {
  ASSERT_TRUE(Start());
  QMenu* windows = form_->findChild<QMenu*>("Window1");
  for (const char* name : kProjectItems) EXPECT_FALSE(Enabled(name)) << name;
  EXPECT_FALSE(windows->menuAction()->isEnabled());
  EXPECT_FALSE(Enabled("miDuplikujPlt"));
  for (const char* name : {"Wstrzymaj1", "Kontynuacja1", "SpeedPrzesunDoRamion", "SpeedWysunPoCieciu",
                           "SpeedAutoRepeat", "FileOpenItem", "Konfiguracja"}) {
    EXPECT_TRUE(Enabled(name)) << name << " stays enabled without a project";
  }

  ASSERT_NE(Open("a.plt", testing::SquaresPlot(1)), nullptr);
  for (const char* name : kProjectItems) EXPECT_TRUE(Enabled(name)) << name;
  EXPECT_TRUE(windows->menuAction()->isEnabled());
  EXPECT_TRUE(Enabled("miDuplikujPlt"));

  ASSERT_NE(Open("rows.DPL", testing::SquaresPlot(2)), nullptr);
  EXPECT_EQ(form_->Projects().size(), 2);
  EXPECT_FALSE(Enabled("miDuplikujPlt")) << "a duplicated project is not duplicated again";
  Area().setActiveSubWindow(Area().subWindowList(QMdiArea::CreationOrder).front());
  EXPECT_TRUE(Enabled("miDuplikujPlt"));

  form_->ActionNamed("CloseAll")->trigger();
  EXPECT_TRUE(form_->Projects().isEmpty());
  for (const char* name : kProjectItems) EXPECT_FALSE(Enabled(name)) << name;
}

TEST_F(MainWindow, ManualSamplesAndCatalogueShowWhenTheirFilesExist) {
  ASSERT_TRUE(Start());
  for (const char* name : {"miInstrObslugi", "miPrzyklady", "miKatalog"}) {
    EXPECT_FALSE(form_->ActionNamed(name)->isVisible()) << name;
  }
  // A dealer other than the maker has documents of its own (the locale may have chosen one).
  const std::string& dealer = program_->dealer_code;
  const std::string own = dealer.empty() || dealer == "QUELLMAR" ? "" : "_" + dealer;
  folder_.Write("Varnholt_manual_US" + own + ".pdf", "%PDF");
  folder_.Write("Catalogue_US" + own + ".pdf", "%PDF");
  folder_.MakeFolder("Samples");
  QTest::mouseClick(Area().viewport(), Qt::LeftButton);
  EXPECT_FALSE(form_->ActionNamed("miInstrObslugi")->isVisible()) << "a click in the project area looks at no file";
  QMenu* file_menu = form_->findChild<QMenu*>("File1");
  file_menu->popup(form_->mapToGlobal(QPoint(10, 10)));
  for (const char* name : {"miInstrObslugi", "miPrzyklady", "miKatalog"}) {
    EXPECT_TRUE(form_->ActionNamed(name)->isVisible()) << name << " as the menu opens";
  }
  file_menu->hide();
}

TEST_F(MainWindow, StartUpShowsTheLinkStateTheMissingConfigurationAndTheCaptions) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Panel(0).text().toStdString(), Text("Control", "connected"));
  ASSERT_FALSE(op_.boxes.empty());
  EXPECT_EQ(op_.boxes[0].text,
            Text("Configuration", "brakKonfiga") + ":\r\n" + folder_.PathOf("Varnholt.qcc"))
      << "the first-start message belongs in the box's body, not in its title";
  EXPECT_EQ(form_->windowTitle().toStdString(), "Varnholt   " + Text("Universal", "txtWer") + " " + "0.1");
  EXPECT_EQ(form_->findChild<QMenu*>("File1")->title().toStdString(), Text("Main_window", "File1.Caption"));
  EXPECT_EQ(form_->ActionNamed("Start1")->text().toStdString(), Text("Main_window", "Start1.Caption"));
}

// The window and the desktop entry show one drawing: the installed icon, carried inside the program.
TEST_F(MainWindow, TheWindowIconIsTheInstalledDrawing) {
  ASSERT_TRUE(Start());
  QFile carried(":/icons/varnholt.svg");
  QFile installed(VARNHOLT_SOURCE_DIR "/packaging/varnholt.svg");
  ASSERT_TRUE(carried.open(QIODevice::ReadOnly));
  ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
  EXPECT_EQ(carried.readAll(), installed.readAll());

  const QImage drawn = QApplication::windowIcon().pixmap(32, 32).toImage();
  ASSERT_FALSE(drawn.isNull());
  bool painted = false;
  for (int y = 0; y < drawn.height() && !painted; ++y) {
    for (int x = 0; x < drawn.width() && !painted; ++x) painted = qAlpha(drawn.pixel(x, y)) != 0;
  }
  EXPECT_TRUE(painted) << "the window icon draws nothing";
}

TEST_F(MainWindow, StatusPanelZeroIsSevenEighthsOfTheWidthAndKeepsItsTextUnderHints) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Panel(1).width(), 50);
  form_->resize(800, 600);
  ProcessEventsFor(20);
  EXPECT_EQ(form_->width(), 800);
  EXPECT_EQ(Panel(0).width(), 700);
  const QString said = Panel(0).text();
  ASSERT_FALSE(said.isEmpty());
  // The mouse crossing the speed buttons: a hint, then none as it leaves.
  QStatusTipEvent tip("Start cutting");
  QApplication::sendEvent(form_.get(), &tip);
  EXPECT_EQ(form_->findChild<QLabel*>("HintPanel")->text(), "Start cutting");
  QStatusTipEvent gone("");
  QApplication::sendEvent(form_.get(), &gone);
  EXPECT_EQ(Panel(0).text(), said) << "a hint wiped what the program said";
}

TEST_F(MainWindow, SpeedButtonsShareTheActionsOfTheirRolesWithTheirShortcutsAndHints) {
  ASSERT_TRUE(Start());
  const struct {
    const char* button;
    const char* action;
    const char* shortcut;
    const char* hint_key;
  } roles[] = {{"OpenBtn", "FileOpenItem", "F3", "OpenBtn.hint"},
               {"SpeedSymulacja", "Symulacja", "F1", "SpeedSymulacja.Caption"},
               {"SpeedStart", "SpeedStart", "", "SpeedStart.Caption"},
               {"SpeedStop", "Wstrzymaj1", "Space", "SpeedStop.Caption"},
               {"Skont", "Skont", "", "Skont.Caption"},
               {"SpeedSterowanie", "sterowanie", "F5", "sterowanie.Caption"},
               {"SpeedKonfig", "Konfiguracja", "F6", "Konfiguracja.Caption"},
               {"SpeedExit", "FileExitItem", "Alt+X", "FileExitItem.Caption"},
               {"SpeedPrzesunDoRamion", "SpeedPrzesunDoRamion", "", "SpeedPrzesunDoRamion.hint"},
               {"SpeedWysunPoCieciu", "SpeedWysunPoCieciu", "", "SpeedWysunPoCieciu.hint"},
               {"SpeedAutoRepeat", "SpeedAutoRepeat", "", "SpeedAutoRepeat.hint"}};
  for (const auto& role : roles) {
    auto* button = form_->findChild<QToolButton*>(role.button);
    ASSERT_NE(button, nullptr) << role.button;
    QAction* action = form_->ActionNamed(role.action);
    EXPECT_EQ(button->defaultAction(), action) << role.button;
    EXPECT_EQ(action->shortcut(), QKeySequence(role.shortcut)) << role.action;
    EXPECT_FALSE(action->icon().isNull()) << role.action;
    const std::string hint = WithoutMnemonics(Text("Main_window", role.hint_key));
    EXPECT_EQ(action->statusTip(), QString::fromStdString(hint)) << role.action;
  }
  // Start and continue: the status step governs the buttons, the menu items keep the shortcuts.
  EXPECT_EQ(form_->ActionNamed("Start1")->shortcut(), QKeySequence("F2"));
  EXPECT_EQ(form_->ActionNamed("Kontynuacja1")->shortcut(), QKeySequence("Shift+F2"));
  EXPECT_EQ(form_->ActionNamed("miDuplikujPlt")->shortcut(), QKeySequence("F4"));
}

TEST_F(MainWindow, CuttingRunButtonsAndMenuItemsReachTheRun) {
  ASSERT_TRUE(Start());
  ASSERT_NE(Open("a.plt", testing::SquaresPlot(1)), nullptr);
  FakeCuttingRun run;
  form_->SetCuttingRun(nullptr);
  form_->ActionNamed("Start1")->trigger();  // nothing is wired: nothing happens
  form_->SetCuttingRun(&run);
  form_->SetMachineButtons({true, true, true, true});
  for (const char* name : {"Start1", "SpeedStart", "Wstrzymaj1", "Kontynuacja1", "Skont", "SpeedPrzesunDoRamion",
                           "SpeedWysunPoCieciu"}) {
    form_->ActionNamed(name)->trigger();
  }
  EXPECT_EQ(run.calls, (std::vector<std::string>{"Start", "Start", "Stop", "Continue", "Continue", "MoveToArms",
                                                 "MoveOutAfterCut"}));
}

TEST_F(MainWindow, TheAutomaticRepetitionToggleShowsWhatTheRunDecided) {
  ASSERT_TRUE(Start());
  FakeCuttingRun run;
  form_->SetCuttingRun(&run);
  QAction* repeat = form_->ActionNamed("SpeedAutoRepeat");
  repeat->trigger();
  EXPECT_TRUE(repeat->isChecked());
  EXPECT_EQ(repeat->statusTip().toStdString(), "repeating");
  EXPECT_EQ(repeat->toolTip().toStdString(), "repeating");
  EXPECT_FALSE(Enabled("SpeedPrzesunDoRamion"));
  EXPECT_FALSE(Enabled("SpeedWysunPoCieciu"));
  repeat->trigger();
  EXPECT_FALSE(repeat->isChecked());
  EXPECT_EQ(repeat->statusTip().toStdString(), "single");
  EXPECT_TRUE(Enabled("SpeedPrzesunDoRamion"));
  EXPECT_TRUE(Enabled("SpeedWysunPoCieciu"));
  run.refuse_repetition = true;
  repeat->trigger();
  EXPECT_FALSE(repeat->isChecked()) << "the toggle does not claim a repetition the run does not make";
  EXPECT_TRUE(Enabled("SpeedPrzesunDoRamion"));
  EXPECT_EQ(run.calls, (std::vector<std::string>{"AutoRepeatOn", "AutoRepeatOff", "AutoRepeatOn"}));
}

TEST_F(MainWindow, ARefusedCloseQueryKeepsTheProgramAndItsMachine) {
  ASSERT_TRUE(Start());
  FakeCuttingRun run;
  run.may_close = false;
  form_->SetCuttingRun(&run);
  EXPECT_FALSE(form_->close());
  EXPECT_TRUE(program_->has_link()) << "the link stays while the window stays";
  run.may_close = true;
  std::filesystem::remove(folder_.PathOf("Varnholt.vhc"));
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(run.calls, (std::vector<std::string>{"CloseQuery", "CloseQuery"}));
  EXPECT_TRUE(std::filesystem::exists(folder_.PathOf("Varnholt.vhc"))) << "the settings are written at the end";
  EXPECT_FALSE(program_->has_link()) << "the devices are released at the end";
}

TEST_F(MainWindow, OpeningADrawingRemembersItsFolderAndTheFilterIndex) {
  ASSERT_TRUE(Start());
  folder_.MakeFolder("drawings");
  const std::string plot = folder_.Write("drawings/a.plt", testing::SquaresPlot(1));
  const std::string dxf =
      folder_.Write("drawings/b.dxf",
                    "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n0\n20\n0\n11\n100\n21\n0\n0\nENDSEC\n0\nEOF\n");
  const size_t boxes_before = op_.boxes.size();

  chooser_.answers.push_back({QString::fromStdString(folder_.PathOf("drawings/missing.plt")), 1});
  form_->ActionNamed("FileOpenItem")->trigger();
  EXPECT_TRUE(form_->Projects().isEmpty());
  ASSERT_EQ(op_.boxes.size(), boxes_before + 1);
  EXPECT_EQ(op_.boxes.back().text,
            Text("Universal", "zbioruNieMoznaOtworzyc") + folder_.PathOf("drawings/missing.plt"));
  EXPECT_TRUE(op_.boxes.back().is_error);

  chooser_.answers.push_back({QString::fromStdString(plot), 1});
  form_->FileOpenItemClick();
  ASSERT_EQ(form_->Projects().size(), 1);
  EXPECT_EQ(form_->ActiveProject()->windowTitle().toStdString(), plot);
  EXPECT_EQ(chooser_.requests.back().title.toStdString(), Text("Main_window", "otworz"));
  EXPECT_EQ(chooser_.requests.back().filters.size(), 3);
  EXPECT_EQ(QString::fromStdU16String(program_->konfig().settings().LastOpenFolder).toStdString(),
            folder_.PathOf("drawings"));

  chooser_.answers.push_back({QString::fromStdString(dxf), 2});
  form_->FileOpenItemClick();
  EXPECT_EQ(chooser_.requests.back().folder.toStdString(), folder_.PathOf("drawings"));
  ASSERT_EQ(form_->Projects().size(), 2);
  EXPECT_EQ(form_->ActiveProject()->document().reader_kind, 2);
  EXPECT_EQ(program_->open_filter_index, 2) << "kept for the settings record";

  form_->FileOpenItemClick();  // cancelled
  EXPECT_EQ(form_->Projects().size(), 2);
}

// Answers the text dialog about to open, once it shows: answer gets it.
void AnswerTextDialog(QObject* context, const std::function<void(TTextDialog&)>& answer) {
  auto* poll = new QTimer(context);
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, context, [poll, answer] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* dialog = dynamic_cast<TTextDialog*>(window);
      if (dialog == nullptr || !dialog->isVisible()) continue;
      poll->deleteLater();
      poll->stop();
      answer(*dialog);
      return;
    }
  });
  poll->start();
}

// Types text into the dialog and presses Create.
void Create(TTextDialog& dialog, const QString& text) {
  testing::Child<QPlainTextEdit>(dialog, "edText").setPlainText(text);
  testing::Child<QPushButton>(dialog, "btnUtworz").click();
}

TEST_F(MainWindow, ANewTextIsPlannedAndItsDrawingSavedAsAPlotFileOpensAgainTheSame) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(form_->ActionNamed("FileNewTextItem")->shortcut(), QKeySequence("F7"));
  AnswerTextDialog(form_.get(), [](TTextDialog& dialog) { dialog.reject(); });
  form_->ActionNamed("FileNewTextItem")->trigger();
  EXPECT_TRUE(form_->Projects().isEmpty());

  AnswerTextDialog(form_.get(), [](TTextDialog& dialog) { Create(dialog, "OPEN\nnow"); });
  form_->ActionNamed("FileNewTextItem")->trigger();
  ASSERT_EQ(form_->Projects().size(), 1);
  TMDIChild& text = *form_->ActiveProject();
  EXPECT_EQ(text.windowTitle(), "OPEN");
  EXPECT_TRUE(text.document().planned);
  EXPECT_EQ(text.document().last_plan.unreachable, 0);
  // O P E N and n o w: O, P and o have their counters.
  EXPECT_EQ(text.document().drawing_figure_count, 10u);
  EXPECT_TRUE(Enabled("Start1"));
  EXPECT_TRUE(Enabled("miDuplikujPlt"));

  folder_.MakeFolder("kept");
  const std::string path = folder_.PathOf("kept/open.plt");
  chooser_.answers.push_back({QString::fromStdString(path), 1});
  form_->ActionNamed("FileSaveDrawingItem")->trigger();
  ASSERT_FALSE(chooser_.requests.empty());
  EXPECT_EQ(chooser_.requests.back().file_name, "OPEN.plt");
  EXPECT_EQ(text.windowTitle().toStdString(), path) << "the project is now the saved drawing";
  EXPECT_EQ(QString::fromStdU16String(program_->konfig().settings().LastSaveFolder).toStdString(),
            folder_.PathOf("kept"));

  TMDIChild* opened = form_->OpenDrawing(path, 1);
  ASSERT_NE(opened, nullptr);
  ASSERT_EQ(opened->document().drawing_figure_count, text.document().drawing_figure_count);
  for (size_t i = 0; i < text.document().drawing_figure_count; ++i) {
    EXPECT_EQ(opened->document().figures[i]->points, text.document().figures[i]->points) << i;
  }

  // The dialog offers the last text again.
  std::string offered;
  AnswerTextDialog(form_.get(), [&offered](TTextDialog& dialog) {
    offered = dialog.Settings().text;
    dialog.reject();
  });
  form_->FileNewTextItemClick();
  EXPECT_EQ(offered, "OPEN\nnow");
}

TEST_F(MainWindow, SamplesOpenFromTheirFolderWithoutMovingTheRememberedOne) {
  ASSERT_TRUE(Start());
  const size_t boxes_before = op_.boxes.size();
  form_->miPrzykladyClick();
  ASSERT_EQ(op_.boxes.size(), boxes_before + 1);
  EXPECT_EQ(op_.boxes.back().text, Text("Main_window", "SampleNotInstaled"));
  EXPECT_TRUE(chooser_.requests.empty());

  folder_.MakeFolder("Samples");
  const std::string sample = folder_.Write("Samples/s.plt", testing::SquaresPlot(1));
  chooser_.answers.push_back({QString::fromStdString(sample), 1});
  form_->ActionNamed("miPrzyklady")->trigger();
  EXPECT_EQ(chooser_.requests.back().folder.toStdString(), folder_.PathOf("Samples"));
  EXPECT_EQ(form_->Projects().size(), 1);
  EXPECT_TRUE(program_->konfig().settings().LastOpenFolder.empty());
}

TEST_F(MainWindow, ConfigurationCommandPlansWhatIsNotPlannedAndNothingTwice) {
  ASSERT_TRUE(Start());
  // Complete once its start marker's connector reaches it.
  TMDIChild* complete = Open("complete.plt", "IN;SP1;PU0,0;PD500,-100,1000,0,1000,800,0,800,0,0;PU;");
  ASSERT_NE(complete, nullptr);
  ASSERT_TRUE(complete->document().planned);
  const size_t entries = complete->document().figures.size();

  // Stopped by a key while it plans.
  bool pressed = false;
  op_.on_status = [&](int panel, const std::string& text) {
    if (panel != 1 || text.rfind("Ready", 0) != 0 || pressed) return;
    pressed = true;
    QMetaObject::invokeMethod(
        qApp, [this] { QTest::keyClick(form_->ActiveProject(), Qt::Key_Escape); }, Qt::QueuedConnection);
  };
  TMDIChild* stopped = Open("stopped.plt", testing::SquaresPlot(30));
  op_.on_status = nullptr;
  ASSERT_NE(stopped, nullptr);
  ASSERT_TRUE(pressed);
  ASSERT_FALSE(stopped->document().planned);

  ConfigureWithOk();
  EXPECT_TRUE(stopped->document().planned) << "planned again after the configuration change";
  EXPECT_EQ(complete->document().figures.size(), entries) << "a complete plan is not planned again";
  ConfigureWithOk();
  EXPECT_EQ(complete->document().figures.size(), entries);
}

TEST_F(MainWindow, ConfigurationOkWithANewKerfCompensatesEveryOpenProjectAndPlansItAgain) {
  ASSERT_TRUE(Start());
  // A 100 mm square with a 20 mm hole, twice.
  const std::string drawing =
      "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU1600,1600;PD2400,1600,2400,2400,1600,2400,1600,1600;PU;";
  TMDIChild* first = Open("first.plt", drawing);
  TMDIChild* second = Open("second.plt", drawing);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  const std::vector<TPlotPoint> drawn_square = first->document().figures[0]->points;
  op_.boxes.clear();
  const auto set_kerf = [](double mm) {
    return [mm](TDlgkonfig& dialog) { dialog.findChild<QDoubleSpinBox*>("KerfWidth")->setValue(mm); };
  };

  ConfigureWithOk(set_kerf(1));
  for (TMDIChild* project : {first, second}) {
    const ProjectDocument& document = project->document();
    EXPECT_EQ(document.applied_kerf_mm(), 1);
    EXPECT_EQ(document.figures[0]->width, 4040) << "a 101 mm square";
    EXPECT_EQ(document.figures[1]->width, 760) << "a 19 mm hole";
    EXPECT_TRUE(document.planned);
  }
  const tfigura* planned = first->document().figures[0].get();
  ConfigureWithOk();
  EXPECT_EQ(first->document().figures[0].get(), planned) << "an unchanged kerf compensates nothing again";

  // The scale changes the offset in drawing units: the cut part keeps the kerf's real width.
  ConfigureWithOk([](TDlgkonfig& dialog) { dialog.findChild<QDoubleSpinBox*>("skala")->setValue(50); });
  EXPECT_EQ(first->document().figures[0]->width, 4080) << "half a kerf is 1 mm of drawing at 50 %";

  // A drawing opened now takes the configured kerf and scale.
  TMDIChild* third = Open("third.plt", drawing);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->document().figures[0]->width, 4080);

  ConfigureWithOk(set_kerf(0));
  EXPECT_EQ(first->document().figures[0]->points, drawn_square);
  EXPECT_EQ(first->document().applied_kerf_mm(), 0);
  EXPECT_TRUE(op_.boxes.empty());
}

// The scale factors follow the calibration values: an identification while the dialog is open (it takes the values
// the dialog shows) and the OK after it give one calibration, not two; Cancel puts the factors back.
TEST_F(MainWindow, ACalibrationChangeCountsOnceWhenTheControllerIsIdentifiedWhileTheDialogIsOpen) {
  ASSERT_TRUE(Start());
  const double base = program_->state().StepScaleX;
  ConfigureWithOk([this](TDlgkonfig& dialog) {
    dialog.findChild<QDoubleSpinBox*>("feKalibracjaX")->setValue(3);
    Identify(program_->link());
  });
  EXPECT_DOUBLE_EQ(program_->state().StepScaleX, base + 0.03);

  QTimer::singleShot(0, form_.get(), [this] {
    form_->configuration_dialog().findChild<QDoubleSpinBox*>("feKalibracjaX")->setValue(-2);
    Identify(program_->link());
    form_->configuration_dialog().reject();
  });
  form_->KonfiguracjaClick();
  EXPECT_DOUBLE_EQ(program_->state().StepScaleX, base + 0.03);
}

TEST_F(MainWindow, ConfigurationCommandSendsThePowerOutputToAnIdleController) {
  ASSERT_TRUE(Start());
  program_->simulated()->ClearLog();
  ConfigureWithOk();
  const CommandBytes power_output = SettingCommand(kSettingPowerOutput, 0);
  const auto& sent = program_->simulated()->commands();
  EXPECT_NE(std::find(sent.begin(), sent.end(), power_output), sent.end())
      << "every configuration load marks the power output changed";
}

TEST_F(MainWindow, SimulationOfTheActiveProjectStopsOnAKeyAndTurnsWhenCuttingBothWays) {
  VirtualClock clock;
  ScopedClock installed(clock);
  ASSERT_TRUE(Start());
  TMDIChild* project = Open("a.plt", testing::SquaresPlot(3));
  ASSERT_NE(project, nullptr);
  ASSERT_EQ(program_->config().Choice(Param::CatDir), 2);
  const int8_t sign = project->document().feed_sign;
  form_->ActionNamed("Symulacja")->trigger();
  ASSERT_TRUE(project->simulating());
  QTest::keyClick(project, Qt::Key_F2);
  ProcessEventsFor(20);
  EXPECT_FALSE(project->simulating());
  EXPECT_EQ(project->document().feed_sign, -sign) << "the next simulation runs the other way";
  form_->ActionNamed("Symulacja")->trigger();
  ASSERT_TRUE(project->simulating());
  QTest::mouseClick(project, Qt::LeftButton);
  ProcessEventsFor(20);
  EXPECT_FALSE(project->simulating());
  EXPECT_EQ(project->document().feed_sign, sign) << "and the one after it the first way again";
}

// Alt and a letter reach one item: the menus of the bar, and the items of each menu, never share their access
// letter, in any of the shipped languages.
TEST_F(MainWindow, NoTwoItemsOfAMenuShareTheirAccessLetterInAnyLanguage) {
  for (const char* language : {"pl", "us", "de"}) {
    form_.reset();
    program_.reset();
    ASSERT_TRUE(Start({language}));
    const auto clashes = [language](const QList<QAction*>& actions, const QString& where) {
      std::map<QString, QString> taken;
      for (const QAction* action : actions) {
        if (action->isSeparator() || !action->isVisible()) continue;
        const QString letter = QKeySequence::mnemonic(action->text()).toString();
        if (letter.isEmpty()) continue;
        const auto [place, fresh] = taken.emplace(letter, action->text());
        EXPECT_TRUE(fresh) << language << ", " << where.toStdString() << ": " << action->text().toStdString()
                           << " and " << place->second.toStdString() << " share " << letter.toStdString();
      }
    };
    clashes(form_->menuBar()->actions(), "the menu bar");
    for (const QMenu* menu : form_->menuBar()->findChildren<QMenu*>()) clashes(menu->actions(), menu->title());
  }
}

TEST_F(MainWindow, RightToLeftLanguagesMirrorTheWindow) {
  ASSERT_TRUE(Start({"SA"}));
  ProcessEventsFor(20);
  EXPECT_EQ(form_->layoutDirection(), Qt::RightToLeft);
  const QWidget* open = form_->findChild<QToolButton*>("OpenBtn");
  const QWidget* exit = form_->findChild<QToolButton*>("SpeedExit");
  EXPECT_GT(open->mapTo(form_.get(), QPoint(0, 0)).x(), exit->mapTo(form_.get(), QPoint(0, 0)).x());
  QApplication::setLayoutDirection(Qt::LeftToRight);
}

// A value taken with OK without AutoSave is marked in the dialog's caption and asked about at exit: Cancel
// keeps the program open, Yes writes the file and closes.
TEST_F(MainWindow, ValuesThatDifferFromTheFileAreMarkedAndAskedAboutAtExit) {
  ASSERT_TRUE(Start());
  TDlgkonfig& dialog = form_->configuration_dialog();
  EXPECT_FALSE(dialog.windowTitle().endsWith(" *"));
  ConfigureWithOk([](TDlgkonfig& shown) { shown.findChild<ParamField*>("skala")->setValue(250); });
  EXPECT_TRUE(dialog.windowTitle().endsWith(" *")) << dialog.windowTitle().toStdString();

  const size_t boxes_before = op_.boxes.size();
  op_.answers.push_back(kButtonCancel);
  EXPECT_FALSE(form_->close());
  ASSERT_EQ(op_.boxes.size(), boxes_before + 1);
  EXPECT_NE(op_.boxes.back().text.find(folder_.PathOf("Varnholt.qcc")), std::string::npos);
  EXPECT_TRUE(program_->has_link()) << "the program stays";

  op_.answers.push_back(kButtonYes);
  EXPECT_TRUE(form_->close());
  Configuration saved;
  ReadKonfigFile(folder_.PathOf("Varnholt.qcc"), saved, '.');
  EXPECT_EQ(saved.Number(Param::skala), 250);
}

}  // namespace
}  // namespace varnholt
