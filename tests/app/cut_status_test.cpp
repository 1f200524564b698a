// The line that tells how a cut goes: its phase and share, the program times, and where the wire stands.

#include "app/cut_status.h"

#include <gtest/gtest.h>

#include "config/display_unit.h"
#include "services/interfejs.h"

namespace varnholt {
namespace {

const tInterfejs& Texts() {
  static const tInterfejs texts(InterfaceSetup{std::string(VARNHOLT_LANGUAGE_DIR) + "/", {}, 1, ""});
  return texts;
}

std::string Text(const char* key) { return Texts().GetText("Cut_view", key); }

TEST(CutStatus, ProgramTimesRoundToSecondsAndShowHoursOnceThereAreSome) {
  EXPECT_EQ(ProgramTimeText(0), "0:00");
  EXPECT_EQ(ProgramTimeText(-5000), "0:00");
  EXPECT_EQ(ProgramTimeText(65'000), "1:05");
  EXPECT_EQ(ProgramTimeText(59'600), "1:00");
  EXPECT_EQ(ProgramTimeText(3'723'000), "1:02:03");
}

TEST(CutStatus, TheLineNamesThePhaseShareTimesAndTheWireInTheDisplayUnit) {
  CutProgress progress;
  WirePosition wire{true, 254.0, -25.4, kUnitInch};
  EXPECT_EQ(CutStatusText(progress, wire, Texts()), "X 10.000  Y -1.000 in") << "without a cut, the position";
  ProgramCourse course;
  course.stops = {{0, 0, 0, 0}, {1000, 0, 80'000, 80'000}};
  course.total_ms = 80'000;
  progress.Begin(course, 0, 0, {}, 0);
  progress.Observe(250, 0, false, 20'000);
  wire = {true, 12.5, 3.25, kUnitMm};
  const std::string dot = " \xC2\xB7 ";
  EXPECT_EQ(CutStatusText(progress, wire, Texts()), Text("ciecieTrwa") + " 25%" + dot + "0:20 / 1:20" + dot +
                                                        Text("pozostalo") + " 1:00" + dot + "X 12.50  Y 3.25 mm");
  progress.End(CutPhase::kIncomplete);
  EXPECT_EQ(CutStatusText(progress, {}, Texts()), Text("ciecieNiedokonczone") + " 25%" + dot + "0:20 / 1:20")
      << "an ended cut has nothing left to run, and an unknown position is left out";
}

}  // namespace
}  // namespace varnholt
