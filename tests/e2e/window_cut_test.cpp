// The whole program cutting a sample: the real main window offscreen, the drawing opened through the open command,
// Start pressed, the simulated controller executing the program on virtual time and the status step noticing its
// end; with automatic repetition the cut follows again.

#include <gtest/gtest.h>

#include <QAction>
#include <fstream>
#include <iterator>

#include "app/ui/window_cut.h"
#include "files/program_decoder.h"
#include "link/sim/simulated_controller.h"
#include "support/main_window_fixture.h"

namespace varnholt {
namespace {

// A day of machine time: beyond any sample's cut.
constexpr int64_t kLimitMs = int64_t{24} * 3600 * 1000;

class WindowCut : public testing::MachineWindowTest {
 protected:
  // Opens the sample through File, Open (the dialog answered with its path).
  TMDIChild* OpenThroughTheOpenCommand(const std::string& sample) {
    const std::string path = std::string(VARNHOLT_SOURCE_DIR) + "/samples/" + sample;
    chooser_.answers.push_back({QString::fromStdString(path), 1});
    form_->ActionNamed("FileOpenItem")->trigger();
    return form_->ActiveProject();
  }
  size_t MovesInOutCn() {
    std::ifstream file(folder_.PathOf("out.cn"), std::ios::binary);
    const std::string program(std::istreambuf_iterator<char>(file), {});
    return DecodeProgram(program, program_->state()).summary.moves;
  }
  std::string Shown() const {
    std::string shown;
    for (const auto& box : op_.boxes) shown += "[" + box.text + "] ";
    return shown;
  }
};

TEST_F(WindowCut, TheControllerExecutesTheWholeProgramOfOutCnAndTheStatusStepNoticesTheEnd) {
  ASSERT_TRUE(StartOnVirtualTime());
  TMDIChild* project = OpenThroughTheOpenCommand("frame_with_holes.plt");
  ASSERT_NE(project, nullptr);
  ASSERT_TRUE(project->document().planned);
  const size_t boxes = op_.boxes.size();

  const WindowCutReport report = CutThroughWindow(*form_, *program_, 1, kLimitMs);
  EXPECT_TRUE(report.noticed);
  EXPECT_EQ(report.transmissions, 1);
  EXPECT_EQ(report.programs_finished, 1);
  EXPECT_GT(report.program_moves, 0);
  EXPECT_EQ(report.executed_moves, static_cast<int64_t>(MovesInOutCn())) << "every move of out.cn was executed";
  EXPECT_EQ(report.executed_moves, report.program_moves);
  EXPECT_EQ(op_.boxes.size(), boxes) << "no message on the way: " << Shown();
  EXPECT_FALSE(session().transmission.running());
  EXPECT_FALSE(session().flags.ProgramStarted);
  EXPECT_TRUE(session().transmission.sent_whole());
  EXPECT_TRUE(Enabled("SpeedStart")) << "the status step let the next cut start";
}

TEST_F(WindowCut, WithAutomaticRepetitionASecondCutFollows) {
  ASSERT_TRUE(StartOnVirtualTime());
  ASSERT_NE(OpenThroughTheOpenCommand("disc_with_lead_in.plt"), nullptr);
  const size_t boxes = op_.boxes.size();

  const WindowCutReport report = CutThroughWindow(*form_, *program_, 2, kLimitMs);
  EXPECT_TRUE(report.noticed) << "two program ends noticed";
  EXPECT_EQ(report.transmissions, 2);
  EXPECT_EQ(report.programs_finished, 2);
  EXPECT_EQ(report.executed_moves, report.program_moves) << "both programs executed whole";
  EXPECT_EQ(session().run.repeat_counter(), 1);
  EXPECT_FALSE(form_->ActionNamed("SpeedAutoRepeat")->isChecked()) << "the toggle went up for the last cut";
  EXPECT_EQ(op_.boxes.size(), boxes) << "no message on the way: " << Shown();
}

}  // namespace
}  // namespace varnholt
