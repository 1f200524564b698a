#include "ui/window_texts.h"

#include <gtest/gtest.h>

#include <fstream>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

#include "services/interfejs.h"
#include "services/scripted_operator.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

class WindowTextsTest : public ::testing::Test {
 protected:
  // A language component over a file of the given section body.
  tInterfejs Texts(const std::string& section_body, int country = 1) {
    std::ofstream(folder_.folder() + "Varnholt_US.xml")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<interface name=\"Varnholt\" version=\"2.7\">\n <Panel>\n"
        << section_body << " </Panel>\n</interface>\n";
    return tInterfejs(InterfaceSetup{folder_.folder(), {}, country, "2.7"});
  }

  testing::TempFolder folder_;
  ScriptedOperator operator_;
  ScopedOperator installed_{operator_};
};

TEST_F(WindowTextsTest, CaptionsAndHintsFollowTheComponentNames) {
  const tInterfejs texts = Texts(
      "  <caption str=\"Manual control\"/>\n"
      "  <ku.Hint str=\"up\"/>\n"
      "  <ku.Caption str=\"&amp;Up\"/>\n"
      "  <gbRamiona.caption str=\"Arms\"/>\n"
      "  <wmxJm.Caption str=\"[ mm ]\"/>\n"
      "  <Start1.Caption str=\"&amp;Start\"/>\n"
      "  <Start1.hint str=\"Starts the cut\"/>\n"
      "  <File1.Caption str=\"&amp;File\"/>\n");
  QWidget window;
  auto* up = new QPushButton("before", &window);
  up->setObjectName("ku");
  auto* arms = new QGroupBox(&window);
  arms->setObjectName("gbRamiona");
  auto* unit = new QLabel(&window);
  unit->setObjectName("wmxJm");
  auto* unnamed = new QPushButton("kept", &window);
  auto* without_keys = new QPushButton("kept too", &window);
  without_keys->setObjectName("kd");
  auto* start = new QAction(&window);
  start->setObjectName("Start1");
  auto* file = new QMenu(&window);
  file->setObjectName("File1");

  ApplyTexts(window, texts, "Panel");

  EXPECT_EQ(window.windowTitle(), "Manual control");
  EXPECT_EQ(up->text(), "&Up");
  EXPECT_EQ(up->toolTip(), "up");
  EXPECT_EQ(up->statusTip(), "up");
  EXPECT_EQ(arms->title(), "Arms");
  EXPECT_EQ(unit->text(), "[ mm ]");
  EXPECT_EQ(unnamed->text(), "kept");
  EXPECT_EQ(without_keys->text(), "kept too");
  EXPECT_TRUE(without_keys->toolTip().isEmpty());
  EXPECT_EQ(start->text(), "&Start");
  EXPECT_EQ(start->statusTip(), "Starts the cut");
  EXPECT_EQ(file->title(), "&File");
}

TEST_F(WindowTextsTest, NonAsciiTextsArriveWhole) {
  const tInterfejs texts = Texts("  <k_zalwyl.Caption str=\"Grzanie  [ INSERT] – włączone\"/>\n");
  QWidget window;
  auto* heat = new QPushButton(&window);
  heat->setObjectName("k_zalwyl");
  ApplyTexts(window, texts, "Panel");
  EXPECT_EQ(heat->text(), QString::fromUtf8("Grzanie  [ INSERT] – włączone"));
}

TEST_F(WindowTextsTest, ReadingOrderFollowsTheLanguage) {
  QWidget window;
  ApplyReadingOrder(window, Texts("", 966));  // a country whose language is written right to left
  EXPECT_EQ(window.layoutDirection(), Qt::RightToLeft);
  ApplyReadingOrder(window, Texts("", 1));
  EXPECT_EQ(window.layoutDirection(), Qt::LeftToRight);
}

}  // namespace
}  // namespace varnholt
