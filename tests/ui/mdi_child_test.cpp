#include "project/ui/mdi_child.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QMetaObject>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <cstdlib>
#include <memory>

#include "config/konfig_file.h"
#include "geometry/clock.h"
#include "project/kerf_settings.h"
#include "project/ui/load_report_dialog.h"
#include "services/interfejs.h"
#include "support/window_support.h"

namespace varnholt {
namespace {

using testing::RecordingQtOperator;

class ProjectWindow : public ::testing::Test {
 protected:
  ProjectWindow() {
    testing::CopyLanguageFiles(VARNHOLT_LANGUAGE_DIR, folder_);
    texts_ = std::make_unique<tInterfejs>(InterfaceSetup{folder_.folder(), {"us"}, 1, ""});
  }

  // A shown project window that loaded the drawing text (a plot file unless kind says otherwise).
  std::unique_ptr<TMDIChild> Open(const std::string& text, bool* loaded = nullptr, int kind = 1,
                                  const std::string& name = "drawing.plt") {
    auto window = std::make_unique<TMDIChild>(*texts_);
    window->resize(600, 400);
    window->show();
    window->document().reader_kind = kind;
    const bool ok = window->Load(folder_.Write(name, text), 255);
    if (loaded != nullptr) *loaded = ok;
    return window;
  }

  std::string Text(std::string_view section, std::string_view key) const {
    return texts_->GetText(section, key);
  }

  testing::TempFolder folder_;
  RecordingQtOperator op_;
  ScopedOperator installed_{op_};
  std::unique_ptr<tInterfejs> texts_;
};

TEST_F(ProjectWindow, AClickWithinThreePixelsOfASegmentSelectsItsFigure) {
  const auto window = Open(testing::SquaresPlot(1));
  const ProjectView view = window->View();
  ASSERT_TRUE(view.drawable);
  // The square's bottom edge, seen from its middle, 2 and 4 pixels above it.
  const TPlotPoint bottom = view.Pixel({2000, 0});
  QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(bottom.x, bottom.y - 2));
  EXPECT_EQ(window->document().selected_figure, 0);
  EXPECT_EQ(window->StatusText().toStdString(), Text("Project_window", "wybranaFiguraNr") + "0");
  QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(bottom.x, bottom.y - 2));
  EXPECT_EQ(window->StatusText().toStdString(), Text("Project_window", "wybranaFiguraNr") + "0")
      << "the number stays while the figure is selected";
  const QImage shown = window->grab().toImage();
  EXPECT_EQ(shown.pixel(bottom.x, bottom.y) & 0xffffffu, kSelectedColour)
      << "the selection is painted in its own colour";

  QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(bottom.x, bottom.y - 4));
  EXPECT_EQ(window->document().selected_figure, -1);
  EXPECT_TRUE(window->StatusText().isEmpty());
  QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(bottom.x, bottom.y - 4));
  EXPECT_TRUE(op_.boxes.empty());
}

TEST_F(ProjectWindow, KeysTheWheelAndADragZoomAndMoveThePictureAndHomeFitsItAgain) {
  const auto window = Open(testing::SquaresPlot(1));
  window->setFocus();
  const ProjectView fit = window->View();
  ASSERT_TRUE(fit.drawable);
  QTest::keyClick(window.get(), Qt::Key_Plus);
  EXPECT_DOUBLE_EQ(window->View().scale, fit.scale * 1.25);
  QTest::keyClick(window.get(), Qt::Key_Minus);
  QTest::keyClick(window.get(), Qt::Key_Minus);
  EXPECT_DOUBLE_EQ(window->View().scale, fit.scale / 1.25);

  // The wheel zooms about the mouse: the drawing point under it stays.
  const TPlotPoint corner = window->View().Pixel({4000, 4000});
  QWheelEvent wheel(QPointF(corner.x, corner.y), window->mapToGlobal(QPointF(corner.x, corner.y)), QPoint(),
                    QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(window.get(), &wheel);
  EXPECT_DOUBLE_EQ(window->View().scale, fit.scale * 1.25);
  const TPlotPoint kept = window->View().Pixel({4000, 4000});
  EXPECT_LE(std::abs(kept.x - corner.x), 1);
  EXPECT_LE(std::abs(kept.y - corner.y), 1);

  // A drag moves the picture, and a click picks the figure where it is shown now.
  const TPlotPoint from = window->View().Pixel({2000, 2000});
  QTest::mousePress(window.get(), Qt::MiddleButton, {}, QPoint(from.x, from.y));
  const QPointF to(from.x + 60, from.y + 30);
  QMouseEvent move(QEvent::MouseMove, to, window->mapToGlobal(to), Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &move);
  QTest::mouseRelease(window.get(), Qt::MiddleButton, {}, QPoint(from.x + 60, from.y + 30));
  EXPECT_EQ(window->View().Pixel({2000, 2000}), (TPlotPoint{from.x + 60, from.y + 30}));
  const TPlotPoint bottom = window->View().Pixel({2000, 0});
  QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(bottom.x, bottom.y - 1));
  EXPECT_EQ(window->document().selected_figure, 0);

  QTest::keyClick(window.get(), Qt::Key_Home);
  EXPECT_DOUBLE_EQ(window->View().scale, fit.scale);
  EXPECT_EQ(window->View().Pixel({2000, 2000}), fit.Pixel({2000, 2000}));
}

TEST_F(ProjectWindow, TheWorkAreaOriginStartPointAndACutSoFarArePainted) {
  const auto window = Open(testing::SquaresPlot(2));
  window->document().working_range = {300.0, 200.0};
  QTest::keyClick(window.get(), Qt::Key_Minus);
  QTest::keyClick(window.get(), Qt::Key_Minus);
  QTest::keyClick(window.get(), Qt::Key_Minus);
  const ProjectView view = window->View();
  const SpaceMarks marks = SpaceMarksOf(window->document(), view);
  QImage shown = window->grab().toImage();
  ASSERT_TRUE(shown.rect().contains(marks.area_high.x, marks.area_low.y - 30));
  int edge = 0;  // a dashed line: some of its pixels
  for (int y = marks.area_low.y - 30; y < marks.area_low.y - 20; ++y) {
    edge += (shown.pixel(marks.area_high.x, y) & 0xffffffu) == kWorkAreaColour ? 1 : 0;
  }
  EXPECT_GE(edge, 4) << "the work area's right edge";
  EXPECT_EQ(shown.pixel(marks.start.x, marks.start.y) & 0xffffffu, kStartColour) << "the start point";

  auto course = std::make_shared<ProgramCourse>();
  course->stops = {{0, 0, 0, 0}, {400, 0, 1000, 1000}, {400, 400, 2000, 2000}};
  course->total_ms = 2000;
  CutSnapshot cut;
  cut.phase = CutPhase::kRunning;
  cut.serial = 7;
  cut.course = course;
  cut.placement = {{0, 0}, 10.0, 10.0};
  cut.reached = 2;
  cut.wire_x = 400;
  cut.wire_y = 200;
  window->ShowCut(cut, "cutting");
  const CutOverlay overlay = CutOverlayOf(cut, view);
  const TPlotPoint half{(overlay.cut[0].x + overlay.cut[1].x) / 2, overlay.cut[0].y};
  shown = window->grab().toImage();
  EXPECT_EQ(shown.pixel(half.x, half.y) & 0xffffffu, kCutColour) << "the part cut";
  EXPECT_EQ(shown.pixel(overlay.wire.x, overlay.wire.y) & 0xffffffu, kWireColour) << "the wire";
  EXPECT_EQ(window->CutStatusText(), "cutting");

  window->StartSimulation(0, [](bool) {});
  QTest::keyClick(window.get(), Qt::Key_Space);
  testing::ProcessEventsFor(20);
  ASSERT_FALSE(window->simulating());
  EXPECT_EQ(window->CutStatusText(), "cutting") << "a simulation does not hide a cut under way";

  window->ClearCut();
  window->ShowCut(cut, "cutting");
  EXPECT_FALSE(window->shown_cut().shown()) << "a cleared cut does not come back; the next one does";
  EXPECT_TRUE(window->CutStatusText().isEmpty());
  cut.serial = 8;
  window->ShowCut(cut, "next");
  EXPECT_EQ(window->CutStatusText(), "next");
}

TEST_F(ProjectWindow, TheKeyOShowsThePlannedOrderAndHidesItAgain) {
  const auto window = Open(testing::SquaresPlot(3));
  window->setFocus();
  const auto order_pixels = [&window] {
    const QImage shown = window->grab().toImage();
    int count = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) count += (shown.pixel(x, y) & 0xffffffu) == kOrderColour ? 1 : 0;
    }
    return count;
  };
  EXPECT_EQ(order_pixels(), 0);
  QTest::keyClick(window.get(), Qt::Key_O);
  EXPECT_TRUE(window->order_shown());
  EXPECT_GT(order_pixels(), 100) << "the path with its arrows and numbers";
  QTest::keyClick(window.get(), Qt::Key_O);
  EXPECT_EQ(order_pixels(), 0);
}

TEST_F(ProjectWindow, ShiftCtrlAltClickListsThePointsInMillimetres) {
  const auto window = Open("IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU;");
  const TPlotPoint left = window->View().Pixel({0, 2000});
  QTest::mouseClick(window.get(), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier,
                    QPoint(left.x + 1, left.y));
  ASSERT_EQ(op_.boxes.size(), 1u);
  const std::string caption = Text("Project_window", "wybranaFiguraNr") + "0";
  EXPECT_EQ(op_.boxes[0].caption, caption);
  const std::string point = std::string("100") + LocaleDecimalSeparator() + "00";
  EXPECT_EQ(op_.boxes[0].text.substr(0, 24), "[mm]\r\n\r\np0:(0" + std::string(1, LocaleDecimalSeparator()) +
                                                 "00 ; 0" + std::string(1, LocaleDecimalSeparator()) + "00)");
  EXPECT_NE(op_.boxes[0].text.find("\r\np2:(" + point + " ; " + point + ")"), std::string::npos);
}

TEST_F(ProjectWindow, RightClickAndDoubleClickAskForTheInformationWindow) {
  const auto window = Open(testing::SquaresPlot(1));
  int asked = 0;
  window->information_requested = [&] { ++asked; };
  QTest::mouseClick(window.get(), Qt::RightButton, {}, QPoint(100, 100));
  QTest::mouseDClick(window.get(), Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_EQ(asked, 2);
}

TEST_F(ProjectWindow, FailedLoadsSayWhyAndLeaveTheWindowToClose) {
  bool loaded = true;
  auto window = std::make_unique<TMDIChild>(*texts_);
  EXPECT_FALSE(window->Load(folder_.PathOf("missing.plt"), 255));
  ASSERT_EQ(op_.boxes.size(), 1u);
  EXPECT_EQ(op_.boxes[0].text, Text("Universal", "zbioruNieMoznaOtworzyc") + folder_.PathOf("missing.plt") +
                                  " (no such file or directory)");
  EXPECT_TRUE(op_.boxes[0].is_error);
  EXPECT_FALSE(QApplication::overrideCursor()) << "the hourglass goes with the failure";

  Open("IN;SP1;PU10,10;", &loaded);
  EXPECT_FALSE(loaded);
  ASSERT_EQ(op_.boxes.size(), 2u);
  EXPECT_EQ(op_.boxes[1].text, Text("Project_window", "zbiorPusty"));
  EXPECT_FALSE(op_.boxes[1].is_error);
}

TEST_F(ProjectWindow, AnEmptyDrawingsMessageTellsWhatTheReaderPassedOver) {
  bool loaded = true;
  Open("0\nSECTION\n2\nENTITIES\n0\nARC\n10\n0\n20\n0\n40\n0\n50\n0\n51\n90\n0\nENDSEC\n0\nEOF\n", &loaded, 2,
       "arc.dxf");
  EXPECT_FALSE(loaded);
  ASSERT_EQ(op_.boxes.size(), 1u);
  const std::string& text = op_.boxes[0].text;
  EXPECT_EQ(
      text.rfind(Text("Project_window", "zbiorPusty") + "\r\n" + Text("Project_window", "notatkaWiersz"), 0),
      0u)
      << text;
  EXPECT_NE(text.find("ARC skipped"), std::string::npos) << text;
}

TEST_F(ProjectWindow, LoadNotesOpenFromTheStatusLine) {
  // Two strokes that meet end to end, and a square drawn twice.
  const std::string square = "PU3000,0;PD4000,0,4000,1000,3000,1000,3000,0;PU;";
  const auto window = Open("IN;SP1;PU0,0;PD1000,0;PU;PU1000,0;PD1000,1000;PU;" + square + square);
  EXPECT_EQ(window->NoteCount(), 2);
  auto* notes = window->findChild<QToolButton*>("LoadNotes");
  ASSERT_NE(notes, nullptr);
  EXPECT_TRUE(notes->isVisible());
  EXPECT_EQ(notes->text().toStdString(), Text("Project_window", "uwagiWczytania") + "2");
  QMetaObject::invokeMethod(
      window.get(),
      [&] {
        auto* report = window->findChild<LoadReportDialog*>();
        ASSERT_NE(report, nullptr);
        EXPECT_EQ(report->Text().toStdString(), Text("Project_window", "polaczoneLinie") + "1\n" +
                                                    Text("Project_window", "pominieteDuplikaty") + "1");
        report->accept();
      },
      Qt::QueuedConnection);
  notes->click();

  const auto clean = Open(testing::SquaresPlot(2), nullptr, 1, "clean.plt");
  EXPECT_FALSE(clean->findChild<QToolButton*>("LoadNotes")->isVisible());
}

TEST_F(ProjectWindow, EscTheStopOfPlanningOrTheMachinesStopDuringALongPlanStopsThePlanningAndTheWindowStays) {
  for (const char* way : {"Esc", "StopPlanning", "Space"}) {
    bool pressed = false;
    op_.on_status = [&](int panel, const std::string& text) {
      // The operator stops once the drawing's figures are counted, before the plan has begun.
      if (panel != 1 || text.rfind(Text("Project_window", "iloscFigur"), 0) != 0 || pressed) return;
      pressed = true;
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = dynamic_cast<TMDIChild*>(widget);
        if (window == nullptr || !window->busy()) continue;
        if (std::string_view(way) == "StopPlanning") {
          auto& stop = testing::Child<QToolButton>(*window, way);
          EXPECT_TRUE(stop.isVisible());
          stop.click();
        } else {
          QTest::keyClick(window, std::string_view(way) == "Esc" ? Qt::Key_Escape : Qt::Key_Space);
        }
      }
    };
    bool loaded = false;
    const auto window = Open(testing::SquaresPlot(40), &loaded);
    EXPECT_TRUE(loaded) << way;
    EXPECT_TRUE(pressed) << way;
    EXPECT_TRUE(window->document().last_plan.aborted) << way;
    EXPECT_FALSE(window->document().planned) << way;
    EXPECT_FALSE(window->busy()) << way;
    EXPECT_FALSE(window->findChild<QToolButton*>("StopPlanning")->isVisible()) << way;
    EXPECT_FALSE(QApplication::overrideCursor()) << way;
  }
}

TEST_F(ProjectWindow, WhileADrawingLoadsAndPlansTheWindowsAnswerAndThePlanIsTheOneMadeWithoutThem) {
  const std::string path = folder_.Write("large.plt", testing::SquaresPlot(3000));
  auto window = std::make_unique<TMDIChild>(*texts_);
  window->resize(600, 400);
  window->show();
  // A menu the operator opens as the work begins stays open until the drawing's figures are counted: the load goes
  // on while the windows' thread runs the menu.
  bool busy = false, counted_in_menu = false;
  QTimer::singleShot(0, window.get(), [&] {
    busy = window->busy();
    QMenu menu;
    menu.addAction(QStringLiteral("-"));
    size_t told = 0;
    QTimer watch;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
      told = op_.status.size();
      watch.start(5);
    });
    QObject::connect(&watch, &QTimer::timeout, [&] {
      for (size_t i = told; i < op_.status.size(); ++i) {
        if (op_.status[i].second == Text("Project_window", "iloscFigur") + "3000") counted_in_menu = true;
      }
      if (counted_in_menu) menu.close();
    });
    // A window thread held by the work would keep the menu open for ever.
    QTimer::singleShot(60000, &menu, &QMenu::close);
    menu.exec(window->mapToGlobal(QPoint(20, 20)));
  });
  EXPECT_TRUE(window->Load(path, 255));
  EXPECT_TRUE(busy);
  EXPECT_TRUE(counted_in_menu);
  EXPECT_FALSE(window->busy());

  ProjectDocument direct([this](std::string_view section, std::string_view key) { return Text(section, key); });
  ASSERT_TRUE(direct.Load(path, 255));
  const ProjectDocument& shown = window->document();
  ASSERT_TRUE(shown.planned);
  ASSERT_EQ(shown.figures.size(), direct.figures.size());
  for (size_t i = 0; i < direct.figures.size(); ++i) {
    const tfigura &a = *shown.figures[i], &b = *direct.figures[i];
    ASSERT_TRUE(a.points == b.points && a.link_figure == b.link_figure && a.link_point == b.link_point &&
                a.link_aux == b.link_aux && a.parent == b.parent && a.depth == b.depth)
        << "entry " << i;
  }
  EXPECT_EQ(shown.start_figure, direct.start_figure);
  EXPECT_EQ(shown.total_length, direct.total_length);
}

TEST_F(ProjectWindow, ClosingTheWindowWhileItWorksCancelsTheWorkAndClosesItOnceTheWorkHasEnded) {
  const std::string path = folder_.Write("large.plt", testing::SquaresPlot(3000));
  QPointer<TMDIChild> window = new TMDIChild(*texts_);
  window->resize(600, 400);
  window->show();
  bool refused = false;
  QTimer::singleShot(0, window.data(), [&] { refused = !window->close(); });
  EXPECT_FALSE(window->Load(path, 255)) << "a load cancelled leaves the window to close";
  EXPECT_TRUE(refused);
  ASSERT_FALSE(window.isNull());
  EXPECT_FALSE(window->busy());
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull()) << "closed and gone once its work ended";
}

TEST_F(ProjectWindow, PlanningShowsItsProgressInTheProjectsStatusLine) {
  std::vector<std::string> lines;
  const auto window = Open(testing::SquaresPlot(12));
  for (const auto& [panel, text] : op_.status) {
    if (panel == 1) lines.push_back(text);
  }
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.front(), Text("Project_window", "iloscFigur") + "12");
  EXPECT_EQ(lines[lines.size() - 2], "Ready 100%");
  EXPECT_TRUE(window->StatusText().isEmpty()) << "the line is cleared at the end";
  EXPECT_TRUE(window->document().planned);
}

// A 100 mm square with a 20 mm hole, and an open stroke beside them.
const std::string kSquareWithHole =
    "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU1600,1600;PD2400,1600,2400,2400,1600,2400,1600,1600;"
    "PU5000,0;PD5000,4000;PU;";

class KerfWindow : public ProjectWindow {
 protected:
  std::unique_ptr<TMDIChild> OpenWithKerf(const std::string& text, double kerf_mm) {
    auto window = std::make_unique<TMDIChild>(*texts_);
    window->resize(600, 400);
    window->show();
    SetKerfSettings(window->document(), {kerf_mm, 100});
    EXPECT_TRUE(window->Load(folder_.Write("kerf.plt", text), 255));
    return window;
  }
  static QImage Picture(TMDIChild& window) { return window.grab().toImage(); }
  static uint32_t Rgb(const QImage& picture, const TPlotPoint& pixel) {
    return picture.pixelColor(pixel.x, pixel.y).rgb() & 0xffffffu;
  }
  static int GreyPixels(const QImage& picture) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) count += Rgb(picture, {x, y}) == kGrey ? 1 : 0;
    }
    return count;
  }
};

TEST_F(KerfWindow, TheDrawingShowsGreyUnderTheCompensatedFiguresOnlyWhenAKerfIsApplied) {
  const auto plain = OpenWithKerf(kSquareWithHole, 0);
  EXPECT_EQ(GreyPixels(Picture(*plain)), 0);

  const auto window = OpenWithKerf(kSquareWithHole, 2);
  const ProjectView view = window->View();
  const QImage picture = Picture(*window);
  // Half the kerf is 40 units, some 3 pixels at this size: the wire's outline stands apart from the drawn one.
  EXPECT_EQ(Rgb(picture, view.Pixel({0, 3000})), kGrey) << "the drawn square's left side";
  EXPECT_EQ(Rgb(picture, view.Pixel({-40, 3000})), kBlack) << "the wire's path outside it";
  EXPECT_EQ(Rgb(picture, view.Pixel({1600, 2000})), kGrey) << "the drawn hole's left side";
  EXPECT_EQ(Rgb(picture, view.Pixel({1640, 2000})), kBlack) << "the wire's path inside it";
  EXPECT_EQ(Rgb(picture, view.Pixel({5000, 3000})), kBlue) << "an open stroke keeps its place, painted over its drawing";
  EXPECT_GT(GreyPixels(picture), 200);
}

TEST_F(KerfWindow, ANewKerfCompensatesAndPlansAgainAndZeroBringsBackTheDrawingAsLoaded) {
  const auto window = OpenWithKerf(kSquareWithHole, 0);
  const QImage loaded = Picture(*window);
  std::vector<std::vector<TPlotPoint>> drawn;
  for (const auto& figure : window->document().figures) drawn.push_back(figure->points);

  window->ChangeKerf({1, 100});
  const ProjectDocument& project = window->document();
  EXPECT_TRUE(project.planned);
  EXPECT_FALSE(window->busy());
  EXPECT_EQ(project.applied_kerf_mm(), 1);
  EXPECT_EQ(project.figures[0]->width, 4040) << "101 mm";
  EXPECT_EQ(project.figures[1]->width, 760) << "19 mm";
  EXPECT_GT(GreyPixels(Picture(*window)), 0) << "the picture is made anew";

  window->ChangeKerf({0, 100});
  ASSERT_EQ(window->document().figures.size(), drawn.size());
  for (size_t i = 0; i < drawn.size(); ++i) EXPECT_EQ(window->document().figures[i]->points, drawn[i]) << i;
  EXPECT_EQ(Picture(*window), loaded);
  EXPECT_TRUE(op_.boxes.empty());
}

TEST_F(KerfWindow, AFigureTheKerfLeavesAsDrawnIsToldOnceAndListedInTheLoadNotes) {
  // A slot 0.5 mm wide in the square.
  const std::string slot = "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU1000,2000;PD3000,2000,3000,2020,1000,2020,1000,2000;PU;";
  const std::string told = Text("Project_window", "kerfFiguryBezKompensacji") + "1";
  const auto window = OpenWithKerf(slot, 1);
  ASSERT_EQ(op_.boxes.size(), 1u);
  EXPECT_EQ(op_.boxes[0].text, told);
  EXPECT_EQ(window->NoteCount(), 1);
  EXPECT_TRUE(window->findChild<QToolButton*>("LoadNotes")->isVisible());

  window->ChangeKerf({0, 100});
  EXPECT_EQ(window->NoteCount(), 0) << "every figure is as drawn without a kerf";
  EXPECT_FALSE(window->findChild<QToolButton*>("LoadNotes")->isVisible());
  window->ChangeKerf({1.2, 100});
  ASSERT_EQ(op_.boxes.size(), 2u);
  EXPECT_EQ(op_.boxes[1].text, told);
  EXPECT_EQ(window->NoteCount(), 1);
}

class Simulation : public ProjectWindow {
 protected:
  VirtualClock clock_;
  ScopedClock installed_clock_{clock_};
};

TEST_F(Simulation, AKeyStopsTheAnimationAndItsPathStaysUntilEscape) {
  const auto window = Open(testing::SquaresPlot(3));
  std::vector<bool> finished;
  window->StartSimulation(50, [&](bool stopped) { finished.push_back(stopped); });
  ASSERT_TRUE(window->simulating());
  EXPECT_TRUE(window->document().show_path);
  EXPECT_GT(window->SimulationTotalMs(), 1000);
  clock_.Advance(300);
  testing::ProcessEventsFor(40);
  EXPECT_TRUE(window->simulating());

  QTest::keyClick(window.get(), Qt::Key_Space);
  testing::ProcessEventsFor(20);
  EXPECT_FALSE(window->simulating());
  EXPECT_EQ(finished, std::vector<bool>{true});
  EXPECT_TRUE(window->document().abort_requested);
  EXPECT_TRUE(window->document().show_path) << "the path drawn so far stays";
  const int64_t reached = window->simulation_elapsed_ms();
  EXPECT_GE(reached, 300);
  QTest::keyClick(window.get(), Qt::Key_Plus);
  EXPECT_GT(window->simulation_elapsed_ms(), reached)
      << "zoomed in, the path keeps its share: more pixels, so more of the animation's time";
  EXPECT_TRUE(window->document().show_path);
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->document().show_path);
}

TEST_F(Simulation, PlusAndMinusSetItsSpeedPPausesItAndTheRightArrowStepsToTheNextStop) {
  const auto window = Open(testing::SquaresPlot(3));
  std::vector<bool> finished;
  window->StartSimulation(50, [&](bool stopped) { finished.push_back(stopped); });
  QTest::keyClick(window.get(), Qt::Key_Plus);
  QTest::keyClick(window.get(), Qt::Key_Plus);
  EXPECT_EQ(window->simulation_speed(), 5);
  EXPECT_NE(window->StatusText().toStdString().find("\xC3\x97" "5"), std::string::npos)
      << window->StatusText().toStdString();
  clock_.Advance(100);
  testing::ProcessEventsFor(40);
  EXPECT_EQ(window->simulation_elapsed_ms(), 500);
  const std::string share = std::to_string(500 * 100 / window->SimulationTotalMs()) + "%";
  EXPECT_NE(window->StatusText().toStdString().find(" " + share + " "), std::string::npos)
      << "how far along its path: " << window->StatusText().toStdString();
  for (int i = 0; i < 6; ++i) QTest::keyClick(window.get(), Qt::Key_Plus);
  EXPECT_EQ(window->simulation_speed(), 50) << "the fastest";
  for (int i = 0; i < 6; ++i) QTest::keyClick(window.get(), Qt::Key_Minus);
  EXPECT_EQ(window->simulation_speed(), 1) << "the slowest";

  QTest::keyClick(window.get(), Qt::Key_P);
  EXPECT_TRUE(window->simulation_paused());
  clock_.Advance(1000);
  testing::ProcessEventsFor(40);
  EXPECT_EQ(window->simulation_elapsed_ms(), 500) << "paused";
  QTest::keyClick(window.get(), Qt::Key_Right);
  testing::ProcessEventsFor(20);
  const int64_t stop = window->simulation_elapsed_ms();
  EXPECT_GT(stop, 500) << "a step on";
  QTest::keyClick(window.get(), Qt::Key_Right);
  testing::ProcessEventsFor(20);
  EXPECT_GT(window->simulation_elapsed_ms(), stop) << "and another";
  EXPECT_TRUE(window->simulating()) << "the keys of the simulation do not end it";
  EXPECT_TRUE(finished.empty());
  QTest::keyClick(window.get(), Qt::Key_P);
  EXPECT_FALSE(window->simulation_paused());
  clock_.Advance(window->SimulationTotalMs());
  testing::ProcessEventsFor(40);
  EXPECT_FALSE(window->simulating());
  EXPECT_EQ(finished, std::vector<bool>{false});
  EXPECT_TRUE(window->document().show_path) << "the whole path stays";
}

TEST_F(Simulation, TheAnimationEndsByItselfWhenItsTimeIsUp) {
  const auto window = Open(testing::SquaresPlot(2));
  std::vector<bool> finished;
  window->StartSimulation(50, [&](bool stopped) { finished.push_back(stopped); });
  clock_.Advance(window->SimulationTotalMs() - 1);
  testing::ProcessEventsFor(40);
  EXPECT_TRUE(window->simulating()) << "a millisecond before its end";
  clock_.Advance(1);
  testing::ProcessEventsFor(40);
  EXPECT_FALSE(window->simulating());
  EXPECT_EQ(finished, std::vector<bool>{false});
  EXPECT_FALSE(window->document().abort_requested);
}

}  // namespace
}  // namespace varnholt
