// Opening drawings from the main window: the filter of all drawings, the reader chosen by the file, the
// recent files and the keys of the file commands.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <chrono>
#include <filesystem>
#include <future>

#include "app/instance_beacon.h"
#include "app/instance_lock.h"
#include "app/recent_files.h"
#include "support/main_window_fixture.h"

namespace varnholt {
namespace {

constexpr const char* kLineDxf =
    "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n0\n 20\n0\n 11\n100\n 21\n0\n  0\nENDSEC\n  0\nEOF\n";

using MainWindowFiles = testing::MainWindowTest;

TEST_F(MainWindowFiles, TheFileNotTheFilterChoosesTheReader) {
  ASSERT_TRUE(Start());
  const std::string named_as_plot = folder_.Write("outline.plt", kLineDxf);
  const std::string typed_dxf = folder_.Write("typed.dxf", kLineDxf);
  const std::string plot = folder_.Write("squares.dxf.plt", testing::SquaresPlot(1));
  const size_t boxes_before = op_.boxes.size();

  // The operator typed each name under the plot filter (2).
  for (const std::string& path : {named_as_plot, typed_dxf, plot}) {
    chooser_.answers.push_back({QString::fromStdString(path), 2});
    form_->FileOpenItemClick();
  }
  EXPECT_EQ(op_.boxes.size(), boxes_before) << "a drawing failed to open: " << op_.boxes.back().text;
  const QList<TMDIChild*> projects = form_->Projects();
  ASSERT_EQ(projects.size(), 3);
  EXPECT_EQ(projects[0]->document().reader_kind, 2) << "a DXF drawing is one whatever its name";
  EXPECT_EQ(projects[1]->document().reader_kind, 2) << "a .dxf typed under the plot filter";
  EXPECT_EQ(projects[2]->document().reader_kind, 1);
  for (TMDIChild* project : projects) EXPECT_FALSE(project->document().figures.empty());

  // One filter of all drawings comes first and is the one offered.
  const FileDialogRequest& request = chooser_.requests.front();
  ASSERT_EQ(request.filters.size(), 3);
  EXPECT_TRUE(request.filters[0].startsWith(QString::fromStdString(Text("Main_window", "filtrRysunki"))));
  for (const char* pattern : {"*.plt", "*.hpgl", "*.dxf"}) EXPECT_TRUE(request.filters[0].contains(pattern));
  EXPECT_TRUE(request.filters[1].contains("*.hpgl")) << "the plot filter also shows .hpgl files";
  EXPECT_EQ(request.filter_index, 1);
}

TEST_F(MainWindowFiles, RecentFilesAreKeptOpenedAgainAndForgottenWhenGone) {
  ASSERT_TRUE(Start());
  const std::string first = folder_.Write("first.plt", testing::SquaresPlot(1));
  const std::string second = folder_.Write("second.plt", testing::SquaresPlot(2));
  for (const std::string& path : {first, second, first}) {
    chooser_.answers.push_back({QString::fromStdString(path), 1});
    form_->FileOpenItemClick();
  }
  EXPECT_EQ(form_->recent_files().paths(), (std::vector<std::string>{first, second})) << "newest first, once";
  EXPECT_EQ(RecentFiles(folder_.PathOf("Varnholt_recent.ini")).paths(), form_->recent_files().paths())
      << "the next start finds them";

  auto* menu = form_->findChild<QMenu*>("miOstatnie");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->title().toStdString(), Text("Main_window", "miOstatnie.Caption"));
  ASSERT_EQ(menu->actions().size(), 2);
  form_->CloseAllClick();
  menu->actions()[1]->trigger();
  ASSERT_EQ(form_->Projects().size(), 1);
  EXPECT_EQ(form_->ActiveProject()->windowTitle().toStdString(), second);
  EXPECT_EQ(form_->recent_files().paths().front(), second);

  std::filesystem::remove(first);
  const size_t boxes_before = op_.boxes.size();
  form_->OpenRecent(first);
  ASSERT_EQ(op_.boxes.size(), boxes_before + 1);
  EXPECT_EQ(op_.boxes.back().text, Text("Universal", "zbioruNieMoznaOtworzyc") + first);
  EXPECT_EQ(form_->recent_files().paths(), std::vector<std::string>{second});
  EXPECT_EQ(menu->actions().size(), 1);
}

TEST_F(MainWindowFiles, OpenAndExitHaveTheUsualKeysTooAndTheirTooltipsSayTheKeys) {
  ASSERT_TRUE(Start());
  QAction* open = form_->ActionNamed("FileOpenItem");
  QAction* exit = form_->ActionNamed("FileExitItem");
  EXPECT_TRUE(open->shortcuts().contains(QKeySequence("Ctrl+O")));
  EXPECT_TRUE(open->shortcuts().contains(QKeySequence("F3")));
  EXPECT_TRUE(exit->shortcuts().contains(QKeySequence("Ctrl+Q")));
  EXPECT_TRUE(exit->shortcuts().contains(QKeySequence("Alt+X")));
  for (QAction* action : {open, exit, form_->ActionNamed("sterowanie")}) {
    for (const QKeySequence& keys : action->shortcuts()) {
      EXPECT_TRUE(action->toolTip().contains(keys.toString(QKeySequence::NativeText)))
          << action->objectName().toStdString() << ": " << action->toolTip().toStdString();
    }
  }
}

// A second copy on the same program folder rings the running copy, which brings its window forward; a copy on
// a folder of its own rings nobody.
TEST(SecondCopy, RingsTheRunningCopyOfItsFolderOnly) {
  testing::TempFolder locks, home, other;
  InstanceLock first(home.folder(), locks.folder());
  ASSERT_TRUE(first.acquired());
  int rings = 0;
  InstanceBeacon beacon(first.beacon_name(), [&rings] { ++rings; });
  ASSERT_TRUE(beacon.listening());

  InstanceLock second(home.folder(), locks.folder());
  ASSERT_FALSE(second.acquired());
  // The second copy waits for the answer; the running copy answers from its event loop.
  std::future<bool> rung = std::async(std::launch::async, [&second] { return RingRunningCopy(second.beacon_name(), 5000); });
  while (rung.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_TRUE(rung.get());
  EXPECT_EQ(rings, 1);

  const InstanceLock elsewhere(other.folder(), locks.folder());
  EXPECT_TRUE(elsewhere.acquired());
  EXPECT_FALSE(RingRunningCopy(elsewhere.beacon_name(), 200));
  EXPECT_EQ(rings, 1);
}

}  // namespace
}  // namespace varnholt
