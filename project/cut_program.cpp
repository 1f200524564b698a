#include "project/cut_program.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>
#include <vector>

#include "geometry/run_time_error.h"
#include "geometry/units.h"
#include "services/operator.h"

namespace varnholt {
namespace {

// Vertices turning by more than this get a corner pause when they are cut.
constexpr double kCornerAngle = std::numbers::pi / 5.0;

// The walk of the cut tree, kept on an explicit stack: a chain of thousands of nested figures must not exhaust
// the thread's stack.
class TreeWalk {
 public:
  TreeWalk(ProjectDocument& project, ProgramWriter& writer, int64_t corner_pause_ms)
      : project_(project), writer_(writer), corner_pause_ms_(corner_pause_ms), walked_(project.figures.size()) {
    // Children of every entry, in list order.
    children_.resize(project.figures.size());
    for (size_t i = 0; i < project.figures.size(); ++i) {
      const int32_t parent = project.figures[i]->link_figure;
      if (parent >= 0 && static_cast<size_t>(parent) < project.figures.size() && static_cast<size_t>(parent) != i) {
        children_[static_cast<size_t>(parent)].push_back(static_cast<int32_t>(i));
      }
    }
  }

  void Run(int32_t start) {
    Enter(start);
    while (!stack_.empty()) {
      Frame& frame = stack_.back();
      tfigura& figure = Figure(frame.figure);
      const auto n = static_cast<int32_t>(figure.points.size());
      if (frame.step >= n) {
        stack_.pop_back();
        continue;
      }
      // a. What hangs on the figure at this vertex is cut now, in list order.
      if (const int32_t child = NextChildAt(frame); child >= 0) {
        Enter(child);  // frame may move: it is not used after this
        continue;
      }
      frame.next_child = 0;
      // b. The next vertex.
      frame.vertex = frame.direction > 0 ? (frame.vertex + 1) % n : (frame.vertex == 0 ? n - 1 : frame.vertex - 1);
      // c. An open figure is cut back to where the wire entered it.
      if (!project_.single_open_figure && figure.open && frame.step == n - 1 && n > 2) {
        for (int32_t k = n - 1; k >= 0; --k) {
          MoveTo(figure.points[static_cast<size_t>(k)]);
          writer_.WritePause(corner_pause_ms_);
        }
      }
      // d. The vertex itself.
      const bool skipped = (project_.single_open_figure && frame.vertex == 0) ||
                           (frame.figure == project_.start_figure && !project_.cut_start_figure);
      if (!skipped) {
        MoveTo(figure.points[static_cast<size_t>(frame.vertex)]);
        if (TurnsSharply(figure, frame.vertex)) writer_.WritePause(corner_pause_ms_);
      }
      ++frame.step;
    }
  }

 private:
  struct Frame {
    int32_t figure = 0;
    int32_t vertex = 0;
    int32_t direction = 1;
    int32_t step = 0;
    size_t next_child = 0;  // position in the children at the current vertex
    std::unordered_map<int32_t, std::vector<int32_t>> children_at;  // by link point, in list order
  };

  tfigura& Figure(int32_t index) { return *project_.figures[static_cast<size_t>(index)]; }

  void MoveTo(const TPlotPoint& point) {
    writer_.MoveArmsTo(point.x - project_.project_min_x, point.y - project_.project_min_y);
  }

  static bool TurnsSharply(const tfigura& figure, int32_t vertex) {
    const auto at = static_cast<size_t>(vertex);
    return at < figure.vertex_angles.size() && std::fabs(figure.vertex_angles[at].angle) > kCornerAngle;
  }

  int32_t NextChildAt(Frame& frame) {
    const auto found = frame.children_at.find(frame.vertex);
    if (found == frame.children_at.end()) return -1;
    while (frame.next_child < found->second.size()) {
      const int32_t child = found->second[frame.next_child++];
      if (!walked_[static_cast<size_t>(child)]) return child;
    }
    return -1;
  }

  void Enter(int32_t index) {
    walked_[static_cast<size_t>(index)] = true;
    tfigura& figure = Figure(index);
    const auto n = static_cast<int32_t>(figure.points.size());
    Frame frame;
    frame.figure = index;
    frame.vertex = std::clamp(figure.link_aux, 0, std::max(n - 1, 0));
    // From the entry the wire climbs first.
    if (n > 2) {
      const bool at_end = frame.vertex == 0 || frame.vertex == n - 1;
      const int32_t next = at_end ? 1 : frame.vertex + 1;
      const int32_t prev = at_end ? n - 2 : frame.vertex - 1;
      if (figure.points[static_cast<size_t>(next)].y < figure.points[static_cast<size_t>(prev)].y) frame.direction = -1;
    }
    writer_.WritePause(corner_pause_ms_);
    // An open figure is always cut forward from its vertex 0: backwards from 0 the wire would jump the gap
    // between its ends.
    if (figure.open && n > 2) frame.direction = 1;
    if (figure.open && n > 2 && frame.vertex >= 1) {
      std::reverse(figure.points.begin(), figure.points.end());
      if (figure.vertex_angles.size() == figure.points.size()) {
        std::reverse(figure.vertex_angles.begin(), figure.vertex_angles.end());
      }
      figure.link_aux = 0;
      for (const int32_t child : children_[static_cast<size_t>(index)]) {
        tfigura& hanging = Figure(child);
        hanging.link_point = n - 1 - hanging.link_point;
      }
      frame.vertex = 0;
    }
    for (const int32_t child : children_[static_cast<size_t>(index)]) {
      frame.children_at[Figure(child).link_point].push_back(child);
    }
    stack_.push_back(std::move(frame));
  }

  ProjectDocument& project_;
  ProgramWriter& writer_;
  int64_t corner_pause_ms_;
  std::vector<std::vector<int32_t>> children_;
  std::vector<bool> walked_;
  std::vector<Frame> stack_;
};

}  // namespace

bool save_ciecie(ProjectDocument& project, const std::string& file_name, const Configuration& config,
                 const ControllerState& machine, const CutRunOptions& run, const TextLookup& texts) {
  Operator& op = CurrentOperator();
  const size_t start = static_cast<size_t>(project.start_figure);
  const bool pending = std::any_of(project.figures.begin(), project.figures.end(),
                                   [](const auto& figure) { return figure->plan_flag_2 != 0; });
  if (!project.planned || pending || start >= project.figures.size() || project.figures[start]->points.empty()) {
    op.ShowMessageBox(texts("Project_window", "planNiepelny"), true, "");
    return false;
  }
  const double skala = config.Number(Param::skala);
  const auto scaled_mm = [skala](int32_t units) { return UnitsToMm(units) * skala / 100.0; };
  if (scaled_mm(project.project_width) > static_cast<double>(machine.x_range) || scaled_mm(project.project_height) > static_cast<double>(machine.y_range)) {
    op.ShowMessageBox(texts("Main_window", "projektZaDuzy"), true, "");
    return false;
  }

  op.SetBusyCursor(true);
  bool written = false;
  try {
    ProgramWriter writer(machine, config);
    writer.OpenProgram(file_name);
    if (run.auto_repeat && run.repetitions_made == 0) writer.ConveyorStart();
    writer.WriteHeader();
    const tfigura& start_figure = *project.figures[start];
    const size_t entry = std::min<size_t>(static_cast<size_t>(std::max(start_figure.link_aux, 0)),
                                          start_figure.points.size() - 1);
    const TPlotPoint& p = start_figure.points[entry];
    const auto scaled = [skala](int64_t units) { return NearestInt32Saturated(skala * static_cast<double>(units) / 100.0); };
    writer.SetArmPositions(scaled(int64_t{p.x} - project.project_min_x), scaled(int64_t{p.y} - project.project_min_y),
                           0);
    TreeWalk(project, writer, static_cast<int64_t>(nearest(std::max(config.Number(Param::Pauza_w_kacie), 0.0))))
        .Run(project.start_figure);
    if (run.auto_repeat) writer.ConveyorFeed(project.project_height);
    op.SetStatusText(kMainWindowStatusPanel, "");
    writer.CloseProgram();
    written = true;
  } catch (const RunTimeError& error) {
    op.ShowMessageBox(error.what(), true, "");
  }
  op.SetBusyCursor(false);
  return written;
}

}  // namespace varnholt
