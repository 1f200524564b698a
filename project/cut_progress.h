#pragma once
// How far a cut has got: the course of its program on the controller's own clock, matched against the
// positions the controller reports, with the elapsed and remaining program time and where the cut lies on the
// drawing. Plain values for the windows and the status line; nothing here talks to the machine.

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "geometry/figure.h"
#include "link/controller_state.h"

namespace varnholt {

// A place the arms stand at on the program's course, in X1 and Y1 steps from where the program began, with
// when they arrive and when the next move that changes X1 or Y1 takes them on (the program's end for the
// last).
struct CourseStop {
  int32_t x = 0, y = 0;
  int64_t arrive_ms = 0;
  int64_t leave_ms = 0;
};

struct ProgramCourse {
  std::vector<CourseStop> stops;  // the first is where the program begins, at 0 ms
  int64_t total_ms = 0;           // the program's run time
};

// The course of a program as the controller runs it: every move that changes X1 or Y1 ends at a stop of its
// own; pauses, heaters and moves of the other axes only keep the arms where they stand. Decoded up to its
// first damage.
ProgramCourse CourseOfProgram(std::string_view program, const ControllerState& machine);

// Where a program's course lies on its drawing: the drawing point the program began at and the drawing units
// of one step of X and of Y.
struct CutPlacement {
  TPlotPoint start;
  double units_per_step_x = 0.0;
  double units_per_step_y = 0.0;

  // The drawing point of a position in steps from the program's start.
  TPlotPoint DrawingPoint(int32_t x_steps, int32_t y_steps) const;
};

// The placement of a program written from the drawing point entry at skala per cent with the machine's
// calibration.
CutPlacement PlacementOf(const TPlotPoint& entry, double skala_percent, const ControllerState& machine);

// Where a cut stands: running, paused by the operator, or ended (finished, stopped by the operator, or
// incomplete: the link or a command failed, or the cut was given up).
enum class CutPhase { kNone, kRunning, kPaused, kFinished, kStopped, kIncomplete };

// What a window draws of a cut: its course, placement, the stops reached and where the wire is.
struct CutSnapshot {
  CutPhase phase = CutPhase::kNone;
  uint64_t serial = 0;  // which cut: each Begin counts one more
  std::shared_ptr<const ProgramCourse> course;
  CutPlacement placement;
  size_t reached = 0;              // stops reached, the one the wire stands at or last passed included
  int32_t wire_x = 0, wire_y = 0;  // steps from the program's start

  bool shown() const { return phase != CutPhase::kNone && course != nullptr && !course->stops.empty(); }
};

class CutProgress {
 public:
  // Steps the reported positions may lie off the course and still count as on it.
  static constexpr int32_t kToleranceSteps = 3;

  // A cut begins: its program's course, the arms' positions in steps when the program was sent, and its
  // placement.
  void Begin(ProgramCourse course, int32_t start_x, int32_t start_y, const CutPlacement& placement,
             int64_t now_ms);
  // The controller reported X1 and Y1 (steps) and whether the program stands paused. The cut moves on along
  // the course to the first place at or after where it was that the positions lie on; while the arms stand at
  // a stop, the stop's pauses run on the clock. Nothing after the cut has ended.
  void Observe(int32_t x1, int32_t y1, bool paused, int64_t now_ms);
  // The wire passed these X1 and Y1 positions in this order (a cut taken up again where an earlier run of its
  // program left it): the cut follows them with no bound from the clock, and stands at the last one now.
  void Retrace(const std::vector<std::pair<int32_t, int32_t>>& passed, int64_t now_ms);
  // The cut ended as phase says; finished takes it to the course's end, the others leave it where it got to.
  void End(CutPhase phase);
  // Nothing is shown any more.
  void Clear();

  CutPhase phase() const { return phase_; }
  // Running or paused.
  bool active() const { return phase_ == CutPhase::kRunning || phase_ == CutPhase::kPaused; }
  uint64_t serial() const { return serial_; }
  // Program time: reached so far, of the whole program, still to run.
  int64_t elapsed_ms() const { return elapsed_ms_; }
  int64_t total_ms() const { return course_ ? course_->total_ms : 0; }
  int64_t remaining_ms() const { return total_ms() - elapsed_ms_; }
  // The elapsed share of the program time in whole per cent (100 for a program of no time once finished).
  int percent() const;
  CutSnapshot Snapshot() const;

 private:
  // The course's program time at stop k while the arms stand there.
  int64_t DwellTime(size_t k, bool paused, int64_t now_ms) const;

  CutPhase phase_ = CutPhase::kNone;
  uint64_t serial_ = 0;
  std::shared_ptr<const ProgramCourse> course_;
  CutPlacement placement_;
  int32_t start_x_ = 0, start_y_ = 0;
  size_t stop_ = 0;  // the stop the wire stands at or last passed
  int64_t elapsed_ms_ = 0;
  int64_t observed_ms_ = 0;  // the clock at the last observation
  int32_t wire_x_ = 0, wire_y_ = 0;
};

}  // namespace varnholt
