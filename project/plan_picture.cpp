#include "project/plan_picture.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

#include "geometry/geometry.h"
#include "geometry/units.h"
#include "project/project_document.h"

namespace varnholt {
namespace {

// Walks the cut tree without changing it: an open figure entered past vertex 0 is read back to front instead of
// being reversed in place.
class PathWalk {
 public:
  explicit PathWalk(const ProjectDocument& project) : project_(project), visited_(project.figures.size(), 0) {
    const auto& figures = project.figures;
    for (size_t e = 0; e < figures.size(); ++e) {
      const int32_t on = figures[e]->link_figure;
      if (static_cast<int32_t>(e) == project.start_figure || figures[e]->plan_flag_2) continue;
      if (on >= 0 && static_cast<size_t>(on) < figures.size()) {
        hanging_[on].push_back({figures[e]->link_point, static_cast<int32_t>(e)});
      }
    }
  }

  std::vector<TPlotPoint> Run() {
    const auto& figures = project_.figures;
    if (project_.start_figure < 0 || static_cast<size_t>(project_.start_figure) >= figures.size()) return path_;
    const tfigura& start = *figures[static_cast<size_t>(project_.start_figure)];
    if (start.points.empty()) return path_;
    int32_t entry = start.link_aux;
    if (project_.single_open_figure && start.points.size() >= 2) {
      // The painting enters a lone open line from the side the feed direction gives.
      const bool rising = start.points.front().x < start.points.back().x;
      const int32_t last = static_cast<int32_t>(start.points.size()) - 1;
      entry = (project_.feed_sign >= 0) == rising ? 0 : last;
    }
    Walk(project_.start_figure, entry);
    return path_;
  }

 private:
  void Walk(int32_t index, int32_t entry) {
    const tfigura& x = *project_.figures[static_cast<size_t>(index)];
    if (visited_[static_cast<size_t>(index)]) return;
    visited_[static_cast<size_t>(index)] = 1;
    const int32_t n = static_cast<int32_t>(x.points.size());
    if (n == 0) return;
    int32_t v = std::clamp(entry, 0, n - 1);
    if (path_.empty()) path_.push_back(x.points[static_cast<size_t>(v)]);
    int32_t direction = 1;
    if (n > 2) {
      const int32_t next = (v == 0 || v == n - 1) ? 1 : v + 1;
      const int32_t prev = (v == 0 || v == n - 1) ? n - 2 : v - 1;
      if (x.points[static_cast<size_t>(next)].y < x.points[static_cast<size_t>(prev)].y) direction = -1;
    }
    bool reversed = false;
    if (x.open && n > 2) {
      reversed = v >= 1;
      v = 0;
      direction = 1;
    }
    const auto point = [&](int32_t k) { return x.points[static_cast<size_t>(reversed ? n - 1 - k : k)]; };
    const auto found = hanging_.find(index);
    for (int32_t i = 0; i < n; ++i) {
      if (found != hanging_.end()) {
        const int32_t at = reversed ? n - 1 - v : v;
        for (const auto& [link_point, child] : found->second) {
          if (link_point != at) continue;
          const tfigura& c = *project_.figures[static_cast<size_t>(child)];
          Walk(child, c.link_aux);
        }
      }
      v = direction > 0 ? (v + 1) % n : (v - 1 < 0 ? n - 1 : v - 1);
      if (!project_.single_open_figure && x.open && i == n - 1 && n > 2) {
        for (int32_t k = n - 1; k >= 0; --k) path_.push_back(point(k));
      }
      if (!(project_.single_open_figure && v == 0)) path_.push_back(point(v));
    }
  }

  const ProjectDocument& project_;
  std::map<int32_t, std::vector<std::pair<int32_t, int32_t>>> hanging_;
  std::vector<uint8_t> visited_;
  std::vector<TPlotPoint> path_;
};

}  // namespace

std::vector<TPlotPoint> PlannedPath(const ProjectDocument& project) { return PathWalk(project).Run(); }

PlanPicture DrawPlan(const ProjectDocument& project, int32_t width, int32_t height) {
  PlanPicture picture;
  picture.width = width;
  picture.height = height;
  if (project.project_width < 1 || project.project_height < 1 || width < 16 || height < 16) return picture;
  constexpr int32_t kMargin = 7;
  const double usable_w = width - 2 * kMargin, usable_h = height - 2 * kMargin;
  const double by_h = usable_h / (double{1} * project.project_height + 1);
  const double by_w = usable_w / (double{1} * project.project_width + 1);
  const double scale = by_h < by_w ? by_h : by_w;
  const int32_t baseline = height - kMargin;
  const auto pixel = [&](const TPlotPoint& p) {
    return TPlotPoint{NearestInt32Saturated((double{1} * p.x - project.project_min_x) * scale) + kMargin,
                      baseline - NearestInt32Saturated((double{1} * p.y - project.project_min_y) * scale)};
  };
  for (const auto& f : project.figures) {
    PictureLine line;
    line.rgb = f->plan_flag_2 ? kRed : (f->closed ? kBlack : kBlue);
    for (const TPlotPoint& p : f->points) line.points.push_back(pixel(p));
    picture.lines.push_back(std::move(line));
  }
  PictureLine path;
  path.rgb = kRed;
  path.path = true;
  for (const TPlotPoint& p : PlannedPath(project)) path.points.push_back(pixel(p));
  if (!path.points.empty()) picture.lines.push_back(std::move(path));
  return picture;
}

std::string PlanPictureSvg(const PlanPicture& picture) {
  std::ostringstream svg;
  svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\""
      << picture.width << "\" height=\"" << picture.height << "\" viewBox=\"0 0 " << picture.width << ' '
      << picture.height << "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  for (const PictureLine& line : picture.lines) {
    if (line.points.empty()) continue;
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%06x", static_cast<unsigned>(line.rgb & 0xffffff));
    svg << "<polyline fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"" << (line.path ? "1" : "3") << "\" points=\"";
    for (size_t i = 0; i < line.points.size(); ++i) {
      if (i > 0) svg << ' ';
      svg << line.points[i].x << ',' << line.points[i].y;
    }
    // A single point shows as a dot.
    if (line.points.size() == 1) svg << ' ' << line.points[0].x << ',' << line.points[0].y;
    svg << "\"/>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

}  // namespace varnholt
