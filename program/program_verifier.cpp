#include "program/program_verifier.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "files/program_decoder.h"
#include "geometry/units.h"
#include "program/segment_cover.h"

namespace varnholt {
namespace {

constexpr uint8_t kCuttingSpeedGroup = 1;
// Distances are compared with this much room for the rounding of the arithmetic.
constexpr double kRoundingRoom = 1e-9;

// The figures as the program writer places them: relative to the project corner, scaled by skala in whole plotter
// units, in millimetres; vertices the plan joins by touching grouped as one point.
class Drawing {
 public:
  Drawing(const ProjectDocument& project, double skala) : project_(project) {
    const auto mm = [&](int32_t value, int32_t corner) {
      return UnitsToMm(NearestInt32Saturated(skala * static_cast<double>(int64_t{value} - corner) / 100.0));
    };
    for (const auto& figure : project.figures) {
      base_.push_back(points_.size());
      for (const TPlotPoint& p : figure->points) {
        points_.push_back({mm(p.x, project.project_min_x), mm(p.y, project.project_min_y)});
      }
    }
    base_.push_back(points_.size());
    JoinTouchingVertices();
  }

  size_t Count(size_t figure) const { return base_[figure + 1] - base_[figure]; }
  const RealPoint& Point(size_t figure, size_t vertex) const { return points_[base_[figure] + vertex]; }

  // The segments of a figure as vertex pairs: each to the next, and a closed figure's last back to its first.
  std::vector<std::pair<size_t, size_t>> Segments(size_t figure) const {
    std::vector<std::pair<size_t, size_t>> segments;
    const size_t n = Count(figure);
    for (size_t j = 0; j + 1 < n; ++j) segments.emplace_back(j, j + 1);
    if (!project_.figures[figure]->open && n > 2) segments.emplace_back(n - 1, 0);
    return segments;
  }

  // The distinct places of each group of joined vertices.
  const std::unordered_map<size_t, std::vector<RealPoint>>& Groups() const { return groups_; }

  // The places the wire may stand for this vertex: the vertex and every vertex joined to it by touching.
  std::vector<RealPoint> Places(size_t figure, size_t vertex) const {
    const auto group = groups_.find(parent_[base_[figure] + vertex]);
    if (group == groups_.end()) return {Point(figure, vertex)};
    return group->second;
  }

 private:
  size_t Root(size_t key) {
    while (parent_[key] != key) {
      parent_[key] = parent_[parent_[key]];
      key = parent_[key];
    }
    return key;
  }

  void Join(size_t a, size_t b) {
    a = Root(a);
    b = Root(b);
    if (a != b) parent_[std::max(a, b)] = std::min(a, b);
  }

  // A figure hanging on another is entered where the wire stands on that one: its link point, up to ten units
  // away when the two touch there. A closed figure's last vertex is its first.
  void JoinTouchingVertices() {
    parent_.resize(points_.size());
    std::iota(parent_.begin(), parent_.end(), size_t{0});
    const auto& figures = project_.figures;
    for (size_t i = 0; i < figures.size(); ++i) {
      const tfigura& figure = *figures[i];
      const size_t n = Count(i);
      if (!figure.open && n > 2) Join(base_[i], base_[i] + n - 1);
      const int32_t on = figure.link_figure;
      if (figure.plan_flag_2 != 0 || static_cast<int32_t>(i) == project_.start_figure || on < 0 ||
          static_cast<size_t>(on) >= figures.size() || static_cast<size_t>(on) == i) {
        continue;
      }
      const auto at = static_cast<size_t>(figure.link_point), entry = static_cast<size_t>(figure.link_aux);
      if (figure.link_point < 0 || at >= Count(static_cast<size_t>(on)) || figure.link_aux < 0 || entry >= n) continue;
      Join(base_[static_cast<size_t>(on)] + at, base_[i] + entry);
    }
    // From here on every vertex's parent is its group's root.
    std::vector<size_t> members(points_.size(), 0);
    for (size_t key = 0; key < points_.size(); ++key) {
      parent_[key] = Root(key);
      ++members[parent_[key]];
    }
    for (size_t key = 0; key < points_.size(); ++key) {
      const size_t root = parent_[key];
      if (members[root] < 2) continue;
      std::vector<RealPoint>& group = groups_[root];
      const RealPoint& p = points_[key];
      if (std::none_of(group.begin(), group.end(), [&](const RealPoint& q) { return q.x == p.x && q.y == p.y; })) {
        group.push_back(p);
      }
    }
  }

  const ProjectDocument& project_;
  std::vector<RealPoint> points_;
  std::vector<size_t> base_;  // first point of each figure, and the total at the end
  std::vector<size_t> parent_;
  std::unordered_map<size_t, std::vector<RealPoint>> groups_;  // of joined vertices, by root
};

struct WireMove {
  size_t offset = 0;
  int side = 1;
  RealPoint from, to;
};

// The cutting moves of both sides, replayed from the start point in steps; fills the counts and the end test.
std::vector<WireMove> ReplayCut(const DecodedProgram& decoded, const std::array<int64_t, 4>& start,
                                const ControllerState& machine, ProgramCheck& check) {
  std::vector<WireMove> moves;
  std::array<int64_t, 4> at = start;  // X1, Y1, X2, Y2
  const auto mm = [&](int64_t steps, double scale) { return static_cast<double>(steps) / (100.0 * scale); };
  bool begun = false;
  for (const DecodedCommand& command : decoded.commands) {
    const bool move = command.letter == 'a' || command.letter == 'A';
    if (!begun) {
      begun = (command.letter == 'f' || command.letter == 'F') && command.speed_group == kCuttingSpeedGroup;
      if (move) ++check.other_moves;
      continue;
    }
    if (!move) continue;
    const std::array<int64_t, 4> to = {at[0] + command.steps[0], at[1] + command.steps[1], at[2] + command.steps[4],
                                       at[3] + command.steps[5]};
    if (command.speed_group != kCuttingSpeedGroup) {
      ++check.other_moves;
    } else {
      ++check.cutting_moves;
      for (const int side : {1, 2}) {
        const size_t x = side == 1 ? 0 : 2, y = x + 1;
        if (to[x] == at[x] && to[y] == at[y]) continue;
        moves.push_back({command.offset, side, {mm(at[x], machine.StepScaleX), mm(at[y], machine.StepScaleY)},
                         {mm(to[x], machine.StepScaleX), mm(to[y], machine.StepScaleY)}});
      }
    }
    at = to;
  }
  check.ends_where_it_began = at == start;
  return moves;
}

// The figures and connectors, with every segment also between the places its ends may stand, and the steps
// between places of one point.
SegmentSet AllowedPaths(const ProjectDocument& project, const Drawing& drawing) {
  SegmentSet allowed;
  for (const auto& [root, places] : drawing.Groups()) {
    for (size_t a = 0; a < places.size(); ++a) {
      for (size_t b = a + 1; b < places.size(); ++b) allowed.Add(places[a], places[b]);
    }
  }
  for (size_t i = 0; i < project.figures.size(); ++i) {
    for (const auto& [u, v] : drawing.Segments(i)) {
      for (const RealPoint& a : drawing.Places(i, u)) {
        for (const RealPoint& b : drawing.Places(i, v)) allowed.Add(a, b);
      }
    }
  }
  return allowed;
}

bool MustBeCut(const ProjectDocument& project, size_t figure) {
  constexpr uint8_t kConnectorKind = 3;
  if (project.figures[figure]->kind == kConnectorKind) return false;
  return static_cast<int32_t>(figure) != project.start_figure || project.cut_start_figure;
}

}  // namespace

ProgramCheck VerifyProgram(std::string_view program, const ProjectDocument& project, const Configuration& config,
                           const ControllerState& machine) {
  ProgramCheck check;
  const double sx = machine.StepScaleX, sy = machine.StepScaleY;
  if (!(sx > 0.0 && sy > 0.0 && std::isfinite(sx) && std::isfinite(sy))) {
    check.error = "the calibration's step scales of X and Y must be above 0";
    return check;
  }
  const auto start_index = static_cast<size_t>(project.start_figure);
  if (project.start_figure < 0 || start_index >= project.figures.size() ||
      project.figures[start_index]->points.empty()) {
    check.error = "the project has no start figure to begin at";
    return check;
  }
  const DecodedProgram decoded = DecodeProgram(program, machine);
  if (decoded.damage_offset) {
    check.error = "the program is damaged at offset " + std::to_string(*decoded.damage_offset) + ": " + decoded.damage;
    return check;
  }

  const Drawing drawing(project, config.Number(Param::skala));
  const tfigura& start_figure = *project.figures[start_index];
  const auto entry = static_cast<size_t>(
      std::clamp<int32_t>(start_figure.link_aux, 0, static_cast<int32_t>(start_figure.points.size()) - 1));
  const RealPoint start_mm = drawing.Point(start_index, entry);
  const auto steps = [](double mm, double scale) { return NearestInt32(mm * 100.0 * scale); };
  const auto start_x = steps(start_mm.x, sx), start_y = steps(start_mm.y, sy);
  if (!start_x || !start_y) {
    check.error = "the start point lies beyond the machine's step range";
    return check;
  }
  const std::vector<WireMove> moves = ReplayCut(decoded, {*start_x, *start_y, *start_x, *start_y}, machine, check);

  check.tolerance_mm = 1.0 / (100.0 * std::min(sx, sy));
  const double reach = check.tolerance_mm * (1.0 + kRoundingRoom);
  SegmentSet allowed = AllowedPaths(project, drawing);
  allowed.Index(reach);
  for (const WireMove& move : moves) {
    const double deviation = allowed.Deviation(move.from, move.to);
    check.largest_deviation_mm = std::max(check.largest_deviation_mm, deviation);
    if (deviation > reach) check.stray_cuts.push_back({move.offset, move.side, move.from, move.to, deviation});
  }

  for (const int side : {1, 2}) {
    SegmentSet cut;
    for (const WireMove& move : moves) {
      if (move.side == side) cut.Add(move.from, move.to);
    }
    cut.Index(reach);
    for (size_t i = 0; i < project.figures.size(); ++i) {
      if (!MustBeCut(project, i)) continue;
      for (const auto& [u, v] : drawing.Segments(i)) {
        const RealPoint& a = drawing.Point(i, u);
        const RealPoint& b = drawing.Point(i, v);
        if (a.x == b.x && a.y == b.y) continue;
        bool covered = false;
        for (const RealPoint& from : drawing.Places(i, u)) {
          for (const RealPoint& to : drawing.Places(i, v)) covered = covered || cut.Covers(from, to);
        }
        if (!covered) check.uncut.push_back({static_cast<int32_t>(i), static_cast<int32_t>(u), side, a, b});
      }
    }
  }
  return check;
}

}  // namespace varnholt
