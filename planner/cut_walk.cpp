#include "planner/cut_walk.h"

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
      // What hangs on the figure where the wire stands is cut before the wire moves on, in list order.
      if (const int32_t child = NextChildAt(frame); child >= 0) {
        Enter(child);  // frame may move: it is not used after this
        continue;
      }
      if (frame.next >= frame.route.size()) {
        stack_.pop_back();
        continue;
      }
      frame.next_child = 0;
      const Visit visit = frame.route[frame.next++];
      frame.vertex = visit.vertex;
      if (!visit.write) continue;
      const tfigura& figure = Figure(frame.figure);
      sink_.MoveTo(figure.points[static_cast<size_t>(visit.vertex)]);
      if (visit.pause == Pause::kAlways || (visit.pause == Pause::kAtTurn && TurnsSharply(figure, visit.vertex))) {
        sink_.CornerPause();
      }
    }
  }

 private:
  enum class Pause : uint8_t { kAtTurn, kAlways };

  // One vertex the wire goes to after entering a figure.
  struct Visit {
    int32_t vertex = 0;
    Pause pause = Pause::kAtTurn;
    bool write = true;  // false where the figure is not cut (the start figure when asked so)
  };

  struct Frame {
    int32_t figure = 0;
    int32_t vertex = 0;  // where the wire stands
    std::vector<Visit> route;
    size_t next = 0;        // the next visit of the route
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

  // Round the figure from the entry v in the direction, n steps, back to v; an open figure (unless it is the
  // project's single open figure, cut once through) entered at its vertex 0 comes back along itself from its end.
  std::vector<Visit> RouteRound(const tfigura& figure, int32_t v, int32_t direction, bool write) const {
    const auto n = static_cast<int32_t>(figure.points.size());
    std::vector<Visit> route;
    for (int32_t i = 0; i < n; ++i) {
      v = direction > 0 ? (v + 1) % n : (v == 0 ? n - 1 : v - 1);
      if (!settings_.single_open_figure && figure.open && i == n - 1 && n > 2) {
        for (int32_t k = n - 1; k >= 0; --k) route.push_back({k, Pause::kAlways, write});
      }
      const bool skipped = settings_.single_open_figure && v == 0;
      route.push_back({v, Pause::kAtTurn, write && !skipped});
    }
    return route;
  }

  // An open figure entered at an inner vertex k: from k to the end the direction points at, back over the whole
  // figure to the other end, and back to k, so every segment is cut twice and the wire leaves where it entered.
  static std::vector<Visit> RouteFromInside(const tfigura& figure, int32_t k, int32_t direction, bool write) {
    const auto n = static_cast<int32_t>(figure.points.size());
    const int32_t far_end = direction > 0 ? n - 1 : 0;
    const int32_t near_end = direction > 0 ? 0 : n - 1;
    std::vector<Visit> route;
    const auto leg = [&](int32_t from, int32_t to, int32_t step) {
      for (int32_t v = from + step; v != to + step; v += step) {
        // The wire turns back at either end.
        route.push_back({v, v == far_end || v == near_end ? Pause::kAlways : Pause::kAtTurn, write});
      }
    };
    leg(k, far_end, direction);
    leg(far_end, near_end, -direction);
    leg(near_end, k, direction);
    return route;
  }

  void Enter(int32_t index) {
    walked_[static_cast<size_t>(index)] = true;
    tfigura& figure = Figure(index);
    const auto n = static_cast<int32_t>(figure.points.size());
    Frame frame;
    frame.figure = index;
    frame.vertex = std::clamp(figure.link_aux, 0, std::max(n - 1, 0));
    // From the entry the wire climbs first.
    int32_t direction = 1;
    if (n > 2) {
      const bool at_end = frame.vertex == 0 || frame.vertex == n - 1;
      const int32_t next = at_end ? 1 : frame.vertex + 1;
      const int32_t prev = at_end ? n - 2 : frame.vertex - 1;
      if (figure.points[static_cast<size_t>(next)].y < figure.points[static_cast<size_t>(prev)].y) direction = -1;
    }
    sink_.CornerPause();
    const bool write = index != settings_.start_figure || settings_.cut_start_figure;
    if (figure.open && n > 2 && frame.vertex > 0 && frame.vertex < n - 1) {
      frame.route = RouteFromInside(figure, frame.vertex, direction, write);
    } else {
      // An open figure entered at an end is cut forward from its vertex 0: backwards from 0 the wire would jump
      // the gap between its ends. Entered at its last vertex it is turned round in place first.
      if (figure.open && n > 2) {
        direction = 1;
        if (frame.vertex == n - 1) TurnRound(index);
        frame.vertex = 0;
      }
      frame.route = RouteRound(figure, frame.vertex, direction, write);
    }
    for (const int32_t child : children_[static_cast<size_t>(index)]) {
      frame.children_at[Figure(child).link_point].push_back(child);
    }
    stack_.push_back(std::move(frame));
  }

  // Reverses an open figure's points in place; its entry becomes vertex 0 and its children's link points follow.
  void TurnRound(int32_t index) {
    tfigura& figure = Figure(index);
    const auto n = static_cast<int32_t>(figure.points.size());
    std::reverse(figure.points.begin(), figure.points.end());
    if (figure.vertex_angles.size() == figure.points.size()) {
      std::reverse(figure.vertex_angles.begin(), figure.vertex_angles.end());
    }
    figure.link_aux = 0;
    for (const int32_t child : children_[static_cast<size_t>(index)]) {
      tfigura& hanging = Figure(child);
      hanging.link_point = n - 1 - hanging.link_point;
    }
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

const TPlotPoint& EntryVertex(const tfigura& start_figure) {
  const size_t entry = std::min<size_t>(static_cast<size_t>(std::max(start_figure.link_aux, 0)),
                                        start_figure.points.size() - 1);
  return start_figure.points[entry];
}

TPlotPoint CutEntryPoint(const PlannedDrawing& drawing) {
  const auto start = static_cast<size_t>(drawing.start_figure);
  if (drawing.start_figure < 0 || start >= drawing.figures.size() || drawing.figures[start]->points.empty()) {
    return {drawing.project_min_x, drawing.project_min_y};
  }
  return EntryVertex(*drawing.figures[start]);
}

}  // namespace varnholt
