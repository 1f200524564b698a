#include "project/cut_walk.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace varnholt {
namespace {

// Vertices turning by more than this get a corner pause when they are cut.
constexpr double kCornerAngle = std::numbers::pi / 5.0;

// The walk of the cut tree, kept on an explicit stack: a chain of thousands of nested figures must not exhaust
// the thread's stack.
class TreeWalk {
 public:
  TreeWalk(std::vector<std::unique_ptr<tfigura>>& figures, const CutWalkSettings& settings, CutPathSink& sink)
      : figures_(figures), settings_(settings), sink_(sink), walked_(figures.size()) {
    // Children of every entry, in list order.
    children_.resize(figures.size());
    for (size_t i = 0; i < figures.size(); ++i) {
      const int32_t parent = figures[i]->link_figure;
      if (figures[i]->plan_flag_2 != 0 || static_cast<int32_t>(i) == settings.start_figure) continue;
      if (parent >= 0 && static_cast<size_t>(parent) < figures.size() && static_cast<size_t>(parent) != i) {
        children_[static_cast<size_t>(parent)].push_back(static_cast<int32_t>(i));
      }
    }
  }

  void Run() {
    const auto start = static_cast<size_t>(settings_.start_figure);
    if (settings_.start_figure < 0 || start >= figures_.size() || figures_[start]->points.empty()) return;
    Enter(settings_.start_figure);
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
      if (!settings_.single_open_figure && figure.open && frame.step == n - 1 && n > 2) {
        for (int32_t k = n - 1; k >= 0; --k) {
          sink_.MoveTo(figure.points[static_cast<size_t>(k)]);
          sink_.CornerPause();
        }
      }
      // d. The vertex itself.
      const bool skipped = (settings_.single_open_figure && frame.vertex == 0) ||
                           (frame.figure == settings_.start_figure && !settings_.cut_start_figure);
      if (!skipped) {
        sink_.MoveTo(figure.points[static_cast<size_t>(frame.vertex)]);
        if (TurnsSharply(figure, frame.vertex)) sink_.CornerPause();
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

  tfigura& Figure(int32_t index) { return *figures_[static_cast<size_t>(index)]; }

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
    sink_.CornerPause();
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

  std::vector<std::unique_ptr<tfigura>>& figures_;
  const CutWalkSettings& settings_;
  CutPathSink& sink_;
  std::vector<std::vector<int32_t>> children_;
  std::vector<bool> walked_;
  std::vector<Frame> stack_;
};

}  // namespace

void WalkCutTree(std::vector<std::unique_ptr<tfigura>>& figures, const CutWalkSettings& settings, CutPathSink& sink) {
  TreeWalk(figures, settings, sink).Run();
}

}  // namespace varnholt
