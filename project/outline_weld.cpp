#include "project/outline_weld.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <polyclipping/clipper.hpp>

namespace varnholt {
namespace {

using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;
using ClipperLib::PolyNode;
using ClipperLib::PolyTree;

Paths ToPaths(const OutlineGroup& group) {
  Paths paths;
  paths.reserve(group.size());
  for (const OutlineRing& ring : group) {
    Path path;
    path.reserve(ring.size());
    for (const TPlotPoint& p : ring) path.emplace_back(p.x, p.y);
    paths.push_back(std::move(path));
  }
  return paths;
}

// The union of the paths by the nonzero rule, with no outline touching itself. Points in a line with their
// neighbours stay: a curve's chords keep their length even where rounding puts three of them in a line.
void Merge(const Paths& paths, PolyTree& tree) {
  ClipperLib::Clipper clipper;
  clipper.StrictlySimple(true);
  clipper.PreserveCollinear(true);
  clipper.AddPaths(paths, ClipperLib::ptSubject, true);
  clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
}

std::unique_ptr<tfigura> FigureOf(const Path& path) {
  auto figure = std::make_unique<tfigura>();
  figure->points.reserve(path.size() + 1);
  for (const IntPoint& p : path)
    figure->points.push_back({static_cast<int32_t>(p.X), static_cast<int32_t>(p.Y)});
  figure->points.push_back(figure->points.front());
  licz_parametry(*figure);
  return figure;
}

bool Encloses(const Path& path) {
  return path.size() >= 3 && ClipperLib::Area(path) != 0.0;
}

// The outer outlines of the tree, every one (islands in holes too), in the tree's order.
std::vector<const PolyNode*> Outers(const PolyTree& tree) {
  std::vector<const PolyNode*> outers;
  for (const PolyNode* node = tree.GetFirst(); node != nullptr; node = node->GetNext()) {
    if (!node->IsHole() && Encloses(node->Contour)) outers.push_back(node);
  }
  return outers;
}

// Appends each outer outline and then its holes.
void AppendFigures(const std::vector<const PolyNode*>& outers, FigureList& figures) {
  for (const PolyNode* outer : outers) {
    figures.push_back(FigureOf(outer->Contour));
    for (const PolyNode* hole : outer->Childs) {
      if (Encloses(hole->Contour)) figures.push_back(FigureOf(hole->Contour));
    }
  }
}

int Depth(const PolyNode* node) {
  int depth = 0;
  for (const PolyNode* up = node->Parent; up != nullptr; up = up->Parent) ++depth;
  return depth;
}

struct Box {
  ClipperLib::cInt min_x, min_y, max_x, max_y;
  bool Holds(const IntPoint& p) const { return p.X >= min_x && p.X <= max_x && p.Y >= min_y && p.Y <= max_y; }
};

Box BoxOf(const Path& path) {
  Box box{std::numeric_limits<ClipperLib::cInt>::max(), std::numeric_limits<ClipperLib::cInt>::max(),
          std::numeric_limits<ClipperLib::cInt>::min(), std::numeric_limits<ClipperLib::cInt>::min()};
  for (const IntPoint& p : path) {
    box.min_x = std::min(box.min_x, p.X);
    box.min_y = std::min(box.min_y, p.Y);
    box.max_x = std::max(box.max_x, p.X);
    box.max_y = std::max(box.max_y, p.Y);
  }
  return box;
}

// Sorts the welded outlines by the first group that reaches each: a point of a group's outline lies in (or
// on) the innermost welded outline it went into. Outlines no group point reaches keep their order at the end.
void SortByGroups(std::vector<const PolyNode*>& outers, const std::vector<IntPoint>& group_points) {
  std::vector<Box> boxes;
  std::vector<int> depths;
  boxes.reserve(outers.size());
  depths.reserve(outers.size());
  for (const PolyNode* outer : outers) {
    boxes.push_back(BoxOf(outer->Contour));
    depths.push_back(Depth(outer));
  }
  std::vector<size_t> first_group(outers.size(), group_points.size());
  for (size_t g = 0; g < group_points.size(); ++g) {
    const IntPoint& p = group_points[g];
    size_t innermost = outers.size();
    for (size_t i = 0; i < outers.size(); ++i) {
      if (!boxes[i].Holds(p) || ClipperLib::PointInPolygon(p, outers[i]->Contour) == 0) continue;
      if (innermost == outers.size() || depths[i] > depths[innermost]) innermost = i;
    }
    if (innermost < outers.size()) first_group[innermost] = std::min(first_group[innermost], g);
  }
  std::vector<size_t> order(outers.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return first_group[a] < first_group[b]; });
  std::vector<const PolyNode*> sorted;
  sorted.reserve(outers.size());
  for (const size_t i : order) sorted.push_back(outers[i]);
  outers = std::move(sorted);
}

}  // namespace

FigureList WeldOutlines(const std::vector<OutlineGroup>& groups, bool weld) {
  FigureList figures;
  Paths all;                           // every group's merged contours, for the weld
  std::vector<IntPoint> group_points;  // one point of each group's outline, for the order of the weld
  for (const OutlineGroup& group : groups) {
    PolyTree tree;
    Merge(ToPaths(group), tree);
    const std::vector<const PolyNode*> outers = Outers(tree);
    if (!weld) {
      AppendFigures(outers, figures);
      continue;
    }
    if (outers.empty()) continue;
    group_points.push_back(outers.front()->Contour.front());
    Paths merged;
    ClipperLib::ClosedPathsFromPolyTree(tree, merged);
    all.insert(all.end(), std::make_move_iterator(merged.begin()), std::make_move_iterator(merged.end()));
  }
  if (!weld) return figures;
  PolyTree tree;
  Merge(all, tree);
  std::vector<const PolyNode*> outers = Outers(tree);
  SortByGroups(outers, group_points);
  AppendFigures(outers, figures);
  return figures;
}

}  // namespace varnholt
