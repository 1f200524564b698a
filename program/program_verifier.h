#pragma once
// Checks a machine program against the planned project it was written from: the wire's path is replayed for both
// sides, in millimetres at the configured scale, and compared with the figures and connectors. The check before a
// cut starts, and the measure the tests hold every written program to.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/parameters.h"
#include "geometry/geometry.h"
#include "link/controller_state.h"
#include "project/project_document.h"

namespace varnholt {

// A cutting move that leaves the drawing.
struct StrayCut {
  size_t offset = 0;  // of the move in the program
  int side = 1;       // 1 or 2: the arm pair whose wire end strays
  RealPoint from, to;  // mm, relative to the project corner
  double deviation_mm = 0.0;  // the largest distance of the move from the figures and connectors
};

// A segment of a figure that must be cut and that no cutting move covers.
struct UncutSegment {
  int32_t figure = 0;
  int32_t segment = 0;  // from vertex `segment` to the next one (the last segment of a closed figure ends at 0)
  int side = 1;
  RealPoint from, to;  // mm, relative to the project corner
};

struct ProgramCheck {
  std::optional<std::string> error;  // the check could not be made: a damaged program, an unusable calibration
  double tolerance_mm = 0.0;          // one motor step
  size_t cutting_moves = 0;           // moves at the cutting speed, which are checked
  size_t other_moves = 0;             // travel and conveyor moves, replayed but not checked
  double largest_deviation_mm = 0.0;  // of any cutting move from the figures and connectors
  bool ends_where_it_began = false;   // both arm pairs are back at the start point
  std::vector<StrayCut> stray_cuts;
  std::vector<UncutSegment> uncut;

  bool passed() const { return !error && stray_cuts.empty() && uncut.empty(); }
};

// Replays the program from the start figure's entry point (where the cutting run puts the wire) and compares it
// with the planned project: every move at the cutting speed must lie within one step of the figures and
// connectors, and every segment of a figure to be cut (each drawing figure, and the start figure when
// cut_start_figure is set) must be covered by such moves on both sides. Vertices the plan joins by touching count
// as one point, as the walk treats them. What comes before the program first selects the cutting speed (the
// conveyor start block) is not replayed. The project's figures are what is checked against, so figures changed
// after planning (a compensated outline) can be passed in their place.
ProgramCheck VerifyProgram(std::string_view program, const ProjectDocument& project, const Configuration& config,
                           const ControllerState& machine);

}  // namespace varnholt
