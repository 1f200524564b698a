// The machine's lamps in the main window's status bar, on the real widgets, as the simulated controller's
// state changes under them: the controller, the heaters, a broken wire, a full buffer, a cut running and
// paused, and a homing followed to its end or to the key that interrupted it.

#include "app/ui/state_lamps.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <set>

#include "app/ui/main_form_machine.h"
#include "link/sim/simulated_controller.h"
#include "support/main_window_fixture.h"

namespace varnholt {
namespace {

class StateLampsWindow : public testing::MachineWindowTest {
 protected:
  QLabel& Lamp(const char* role) const { return *form_->findChild<QLabel*>(QString("Lamp%1").arg(role)); }
  bool Lit(const char* role) const { return Lamp(role).property("lit").toBool(); }
  // The lamp's text without its markup and its light.
  std::string Said(const char* role) const {
    QTextDocument document;
    document.setHtml(Lamp(role).text());
    return document.toPlainText().mid(2).toStdString();
  }
  std::string MainText(const char* key) const { return Text("Main_window", key); }
  sim::SimulatedController& sim() { return *program_->simulated(); }
  void Press(const char* action) { form_->ActionNamed(action)->trigger(); }
};

TEST_F(StateLampsWindow, TheLampsFollowTheControllerTheHeatersTheFaultsAndACut) {
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Lit("Controller"));
  EXPECT_NE(Said("Controller").find("Qe"), std::string::npos)
      << "the model found is shown: " << Said("Controller");
  EXPECT_FALSE(Lit("Homed"));
  EXPECT_NE(Said("Homed").find(MainText("lampNiebazowana")), std::string::npos);
  for (const char* role : {"Homing", "Program", "Wire", "VerticalWires", "WireBroken", "BufferFull"}) {
    EXPECT_FALSE(Lit(role)) << role;
  }

  // Each heater has its lamp.
  session().panel.k_zalwylClick();
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Lit("Wire"));
  EXPECT_FALSE(Lit("VerticalWires"));
  sim().SetWireBroken(true);
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Lit("WireBroken"));
  sim().SetWireBroken(false);
  session().panel.k_zalwylClick();
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(Lit("Wire")) << "the wire cooled";
  EXPECT_FALSE(Lit("WireBroken"));
  session().panel.k_zalwyl_pionoweClick();
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Lit("VerticalWires"));
  EXPECT_FALSE(Lit("Wire")) << "the vertical wires are another heater";
  session().panel.k_zalwyl_pionoweClick();
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(Lit("VerticalWires"));

  sim().HoldBufferFull(true);
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Lit("BufferFull"));
  sim().HoldBufferFull(false);
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(Lit("BufferFull"));

  // A cut: running, paused, running again, over.
  ASSERT_NE(form_->OpenDrawing(std::string(VARNHOLT_SOURCE_DIR) + "/samples/frame_with_holes.plt", 1),
            nullptr);
  ASSERT_TRUE(NextStatusStep());
  Press("SpeedStart");
  ASSERT_TRUE(RunUntil([this] { return sim().program_running(); }));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Lit("Program"));
  EXPECT_EQ(Said("Program"), MainText("lampProgram"));
  EXPECT_EQ(Lit("Wire"), sim().HorizontalWireHot()) << "the lamp says what the controller does";
  Press("Wstrzymaj1");
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Lit("Program"));
  EXPECT_EQ(Said("Program"), MainText("lampPauza"));
  EXPECT_FALSE(Lit("Wire")) << "the pause switched the heating off";
  Press("Skont");
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(Said("Program"), MainText("lampProgram"));
  ASSERT_TRUE(RunUntil([this] { return form_->machine().programs_ended() == 1; }));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_FALSE(Lit("Program"));

  sim().Unplug();
  ASSERT_TRUE(RunUntil([this] { return !Lit("Controller"); }, 20'000));
  EXPECT_EQ(Said("Controller"), MainText("lampBrakSterownika"));
}

TEST_F(StateLampsWindow, AHomingShowsThePositionsItPassesAndSaysWhenAKeyInterruptedIt) {
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_TRUE(NextStatusStep());
  // Watches the homing lamp at every turn of the loop the homing runs; after a few positions a key ends it.
  std::set<std::string> passed;
  QTimer watch;
  watch.setInterval(0);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!form_->lamps().shown().homing) return;
    passed.insert(Said("Homing"));
    if (passed.size() == 4) {
      QTest::keyClick(form_.get(), Qt::Key_A);
    }
  });
  watch.start();
  session().panel.bazujClick();
  watch.stop();
  ASSERT_GE(passed.size(), 4u) << "the positions stood still during the homing";
  EXPECT_NE(passed.begin()->find(MainText("lampBazowanie")), std::string::npos) << *passed.begin();
  EXPECT_NE(passed.begin()->find("X1 "), std::string::npos) << *passed.begin();
  EXPECT_TRUE(Lit("Homing"));
  EXPECT_EQ(Said("Homing"), Text("Control", "bazowaniePrzerwane")) << "an interrupted homing looks finished";
  EXPECT_EQ(Panel(0).text().toStdString(), Text("Control", "bazowaniePrzerwane"));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_EQ(Said("Homing"), Text("Control", "bazowaniePrzerwane"))
      << "the interruption stays until the next homing";
  EXPECT_FALSE(Lit("Homed"));

  // The next homing runs to its end: the machine is homed, and nothing says it was interrupted.
  session().panel.bazujClick();
  EXPECT_FALSE(Lit("Homing"));
  EXPECT_EQ(Said("Homing"), MainText("lampBazowanie"));
  ASSERT_TRUE(NextStatusStep());
  EXPECT_TRUE(Lit("Homed"));
  EXPECT_EQ(Said("Homed"), MainText("lampBazowana"));
}

}  // namespace
}  // namespace varnholt
