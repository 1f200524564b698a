#include "support/plan_projects.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

#include "geometry/geometry.h"

namespace varnholt {

std::unique_ptr<ProjectDocument> EmptyProject() {
  return std::make_unique<ProjectDocument>([](std::string_view, std::string_view) { return std::string(); });
}

void AddShape(ProjectDocument& project, std::vector<TPlotPoint> points) {
  auto figure = std::make_unique<tfigura>();
  figure->reader_tag = -1;
  figure->points = std::move(points);
  project.AddFigure(std::move(figure));
}

void FinishProject(ProjectDocument& project) {
  project.Ustaw_PPiPK();
  for (auto& f : project.figures) {
    f->origin_x = project.project_min_x;
    f->origin_y = project.project_min_y;
  }
  project.max_depth = 0;
  project.selected_figure = -1;
}

std::vector<TPlotPoint> Polygon(int32_t cx, int32_t cy, int32_t radius, int32_t sides, double turn) {
  std::vector<TPlotPoint> points;
  for (int32_t i = 0; i < sides; ++i) {
    const double a = turn + 2.0 * kPi * i / sides;
    points.push_back({cx + static_cast<int32_t>(std::lround(radius * std::cos(a))),
                      cy + static_cast<int32_t>(std::lround(radius * std::sin(a)))});
  }
  points.push_back(points.front());
  return points;
}

std::vector<TPlotPoint> Rectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

std::unique_ptr<ProjectDocument> RandomProject(uint32_t seed, int32_t count, bool add_frame, bool lead_ins) {
  std::mt19937 rng(seed);
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  auto project = EmptyProject();
  project->add_frame = add_frame;
  const int32_t area = 3000 + static_cast<int32_t>(std::sqrt(static_cast<double>(count)) * 2500);
  std::vector<std::vector<TPlotPoint>> shapes;
  const auto add = [&](std::vector<TPlotPoint> points) { shapes.push_back(std::move(points)); };
  while (static_cast<int32_t>(shapes.size()) < count) {
    const int32_t x = uniform(0, area), y = uniform(0, area);
    const int32_t size = uniform(100, 1200);
    switch (uniform(0, 10)) {
      case 0:
        add(Rectangle(x, y, x + size, y + uniform(100, 1200)));
        break;
      case 1:
        add(Polygon(x, y, size, uniform(3, 40), uniform(0, 100) / 10.0));
        break;
      case 2: {  // a letter O with a hole, sometimes an island in it
        add(Polygon(x, y, size + 400, uniform(12, 300)));
        add(Polygon(x, y, size + 200, uniform(8, 60), 0.1));
        if (uniform(0, 1)) add(Rectangle(x - size / 3, y - size / 3, x + size / 3, y + size / 3));
        break;
      }
      case 3: {  // an open line
        std::vector<TPlotPoint> line{{x, y}};
        for (int32_t k = uniform(1, 8); k > 0; --k) line.push_back({line.back().x + uniform(-600, 600), line.back().y + uniform(-600, 600)});
        add(line);
        break;
      }
      case 4:  // touching a vertex of an earlier shape
        if (!shapes.empty()) {
          const auto& other = shapes[static_cast<size_t>(uniform(0, static_cast<int32_t>(shapes.size()) - 1))];
          const TPlotPoint v = other[static_cast<size_t>(uniform(0, static_cast<int32_t>(other.size()) - 1))];
          const int32_t jx = uniform(-10, 10), jy = uniform(-10, 10);
          add(Rectangle(v.x + jx, v.y + jy, v.x + jx + size, v.y + jy + size / 2));
        }
        break;
      case 5:  // a lead-in from a vertex of an earlier shape outwards
        if (lead_ins && !shapes.empty()) {
          const auto& other = shapes[static_cast<size_t>(uniform(0, static_cast<int32_t>(shapes.size()) - 1))];
          const TPlotPoint v = other[static_cast<size_t>(uniform(0, static_cast<int32_t>(other.size()) - 1))];
          std::vector<TPlotPoint> line{v, {v.x - uniform(50, 800), v.y - uniform(50, 800)}};
          if (uniform(0, 1)) std::swap(line[0], line[1]);
          add(line);
        }
        break;
      case 6:  // a finely drawn circle
        add(Polygon(x, y, size * 2, uniform(200, 700)));
        break;
      case 7: {  // a plate holding a few holes, now and then more than twenty and some open cuts
        const bool many = uniform(0, 3) == 0;
        const int32_t w = many ? 8000 : 3000, h = many ? 6000 : 2000;
        add(Rectangle(x, y, x + w, y + h));
        for (int32_t k = many ? uniform(21, 40) : uniform(1, 4); k > 0; --k) {
          const int32_t hx = x + uniform(300, w - 700), hy = y + uniform(300, h - 500);
          if (lead_ins && uniform(0, 5) == 0) {  // an open cut may end on a hole and lead in from there
            add({{hx, hy}, {hx + uniform(50, 300), hy + uniform(-100, 100)}});
          } else {
            add(Polygon(hx, hy, uniform(50, 250), uniform(4, 24)));
          }
        }
        break;
      }
      case 8:  // a single point or a short stroke
        add(uniform(0, 1) ? std::vector<TPlotPoint>{{x, y}} : std::vector<TPlotPoint>{{x, y}, {x + uniform(-50, 50), y}});
        break;
      case 10: {  // a chain of squares, each touching the one before at a corner
        int32_t cx = x, cy = y;
        for (int32_t k = uniform(2, 6); k > 0; --k) {
          add(Rectangle(cx, cy, cx + 300, cy + 300));
          cx += 300 + uniform(-10, 10);
          cy += 300 + uniform(-10, 10);
        }
        break;
      }
      default:  // a smooth ellipse with corners only at the extremes
        add(Polygon(x, y, size, uniform(21, 120), 0.0));
        break;
    }
  }
  for (auto& s : shapes) AddShape(*project, std::move(s));
  FinishProject(*project);
  return project;
}

std::unique_ptr<ProjectDocument> LetterGrid(int32_t count, bool add_frame) {
  auto project = EmptyProject();
  project->add_frame = add_frame;
  // Each cell holds about four figures: the letters O (hole, island), D, B (two holes), a plain square and an L.
  const int32_t cells = std::max(1, count / 4);
  const int32_t columns = std::max(1, static_cast<int32_t>(std::sqrt(static_cast<double>(cells))));
  const int32_t pitch = 4000;
  int32_t made = 0;
  for (int32_t c = 0; made < count; ++c) {
    const int32_t x = (c % columns) * pitch, y = (c / columns) * pitch;
    const int32_t cx = x + pitch / 2, cy = y + pitch / 2;
    const auto add = [&](std::vector<TPlotPoint> points) {
      AddShape(*project, std::move(points));
      ++made;
    };
    switch (c % 5) {
      case 0:  // O with an island
        add(Polygon(cx, cy, 1500, 96));
        add(Polygon(cx, cy, 1100, 64, 0.05));
        add(Rectangle(cx - 300, cy - 300, cx + 300, cy + 300));
        break;
      case 1: {  // D: straight back, round belly, one hole
        std::vector<TPlotPoint> d{{x + 500, y + 300}};
        for (int32_t k = 0; k <= 40; ++k) {
          const double a = -kPi / 2 + kPi * k / 40;
          d.push_back({x + 1500 + static_cast<int32_t>(1800 * std::cos(a)), cy + static_cast<int32_t>(1700 * std::sin(a))});
        }
        d.push_back({x + 500, y + pitch - 300});
        d.push_back(d.front());
        add(d);
        add(Polygon(x + 1700, cy, 700, 30));
        break;
      }
      case 2:  // B: a block with two holes
        add(Rectangle(x + 400, y + 300, x + 3200, y + 3700));
        add(Rectangle(x + 900, y + 700, x + 2600, y + 1800));
        add(Rectangle(x + 900, y + 2200, x + 2600, y + 3300));
        break;
      case 3: {  // L and a square
        add({{x + 300, y + 300}, {x + 2500, y + 300}, {x + 2500, y + 900}, {x + 900, y + 900}, {x + 900, y + 3500},
             {x + 300, y + 3500}, {x + 300, y + 300}});
        add(Rectangle(x + 1500, y + 1500, x + 3300, y + 3300));
        break;
      }
      default:  // a ring of small holes in a disc
        add(Polygon(cx, cy, 1700, 120));
        for (int32_t k = 0; k < 3; ++k) {
          const double a = 2 * kPi * k / 3;
          add(Polygon(cx + static_cast<int32_t>(900 * std::cos(a)), cy + static_cast<int32_t>(900 * std::sin(a)), 300, 16));
        }
        break;
    }
  }
  FinishProject(*project);
  return project;
}

std::unique_ptr<ProjectDocument> TouchingChains(int32_t count, int32_t chain_length, bool add_frame,
                                                bool from_corner, uint32_t seed) {
  std::mt19937 rng(seed);
  const auto jitter = [&](int32_t reach) { return std::uniform_int_distribution<int32_t>(-reach, reach)(rng); };
  auto project = EmptyProject();
  project->add_frame = add_frame;
  constexpr int32_t kSide = 120, kRowPitch = 400;
  const int32_t length = std::max(1, chain_length);
  const int32_t chains = std::max(1, (count + length - 1) / length);
  // About as many rows as the chains are wide in row pitches, so the drawing stays roughly square.
  const int32_t chain_width = length * (kSide + 10);
  const int32_t columns =
      std::max(1, static_cast<int32_t>(std::sqrt(static_cast<double>(chains) * kRowPitch / chain_width)));
  int32_t made = 0;
  for (int32_t c = 0; c < chains && made < count; ++c) {
    int32_t x = (c % columns) * (chain_width + 600);
    const int32_t base_y = (c / columns) * kRowPitch + (from_corner ? 0 : 200);
    for (int32_t k = 0; k < length && made < count; ++k, ++made) {
      // Even squares low, odd ones high: each shares its right corner with the next one's left corner, both moved
      // by up to 5 units, so the corners stay within the touch tolerance.
      const int32_t y = base_y + (k % 2 == 0 ? 0 : kSide) + (made == 0 && from_corner ? 0 : jitter(5));
      AddShape(*project, Rectangle(x, y, x + kSide, y + kSide));
      x += kSide + jitter(10);
    }
  }
  FinishProject(*project);
  return project;
}

std::unique_ptr<ProjectDocument> CurveDrawing(uint32_t seed, int32_t count, bool add_frame) {
  std::mt19937 rng(seed);
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  const auto arc = [](int32_t cx, int32_t cy, int32_t r, double from, double to, int32_t points) {
    std::vector<TPlotPoint> line;
    for (int32_t k = 0; k <= points; ++k) {
      const double a = from + (to - from) * k / points;
      line.push_back({cx + static_cast<int32_t>(std::lround(r * std::cos(a))),
                      cy + static_cast<int32_t>(std::lround(r * std::sin(a)))});
    }
    return line;
  };
  auto project = EmptyProject();
  project->add_frame = add_frame;
  // Positions on a grid 2400 units apart; about one in three positions is used twice, as a grid that repeats.
  const int32_t positions = std::max(1, count * 2 / 3 / 2);
  const int32_t columns = std::max(1, static_cast<int32_t>(std::sqrt(static_cast<double>(positions))));
  int32_t made = 0;
  for (int32_t cell = 0; made < count; ++cell) {
    const int32_t position = cell % positions;
    const int32_t x = (position % columns) * 2400 + 1200, y = (position / columns) * 2400 + 1200;
    const auto add = [&](std::vector<TPlotPoint> points) {
      AddShape(*project, std::move(points));
      ++made;
    };
    switch (position % 5) {
      case 0:  // rectangles from one corner
        add(Rectangle(x - 1000, y - 1000, x - 1000 + uniform(200, 2000), y - 1000 + uniform(200, 2000)));
        break;
      case 1:  // circles about one centre
        add(Polygon(x, y, uniform(60, 1000), uniform(40, 260), uniform(0, 60) / 10.0));
        break;
      case 2:  // open arcs about one centre
        add(arc(x, y, uniform(200, 1000), uniform(0, 300) / 100.0, uniform(350, 620) / 100.0, uniform(8, 120)));
        break;
      case 3: {  // a closed outline with every fourth side bulged outwards
        std::vector<TPlotPoint> outline;
        const int32_t corners = uniform(4, 15);
        for (int32_t k = 0; k < corners; ++k) {
          const double a0 = 2 * kPi * k / corners, a1 = 2 * kPi * (k + 1) / corners;
          const int32_t r = uniform(600, 1000);
          if (k % 4 == 0) {
            std::vector<TPlotPoint> bulge = arc(x, y, r + 150, a0, a1, uniform(4, 16));
            bulge.pop_back();
            outline.insert(outline.end(), bulge.begin(), bulge.end());
          } else {
            outline.push_back({x + static_cast<int32_t>(std::lround(r * std::cos(a0))),
                               y + static_cast<int32_t>(std::lround(r * std::sin(a0)))});
          }
        }
        outline.push_back(outline.front());
        add(outline);
        break;
      }
      default: {  // a smooth open curve through six random heights
        std::vector<TPlotPoint> curve;
        int32_t h[6];
        for (int32_t& v : h) v = uniform(-1000, 1000);
        for (int32_t k = 0; k <= 60; ++k) {
          const double t = 5.0 * k / 60;
          const auto i = std::min(4, static_cast<int32_t>(t));
          const double u = t - i, s = u * u * (3 - 2 * u);
          curve.push_back({x - 1000 + k * 2000 / 60,
                           y + static_cast<int32_t>(std::lround(h[i] + (h[i + 1] - h[i]) * s))});
        }
        add(curve);
      }
    }
  }
  FinishProject(*project);
  return project;
}

std::unique_ptr<ProjectDocument> Reordered(const ProjectDocument& project, uint32_t seed) {
  auto copy = CopyProject(project);
  std::mt19937 rng(seed);
  std::shuffle(copy->figures.begin(), copy->figures.end(), rng);
  FinishProject(*copy);
  return copy;
}

std::unique_ptr<ProjectDocument> CopyProject(const ProjectDocument& project) {
  auto copy = EmptyProject();
  copy->figures = CopyFigures(project.figures);
  copy->project_min_x = project.project_min_x;
  copy->project_min_y = project.project_min_y;
  copy->project_max_x = project.project_max_x;
  copy->project_max_y = project.project_max_y;
  copy->project_width = project.project_width;
  copy->project_height = project.project_height;
  copy->max_depth = project.max_depth;
  copy->add_frame = project.add_frame;
  copy->planned = project.planned;
  return copy;
}

std::vector<std::string> DescribePlan(const ProjectDocument& p) {
  std::vector<std::string> lines;
  std::ostringstream head;
  head << "start " << p.start_figure << " own " << p.own_start << " frame " << p.frame_added << " single "
       << p.single_open_figure << " depth " << p.max_depth << " planned " << p.planned << " box " << p.project_min_x
       << ' ' << p.project_min_y << ' ' << p.project_max_x << ' ' << p.project_max_y << " size " << p.project_width
       << ' ' << p.project_height << " margins " << p.start_margin_left << ' ' << p.start_margin_right << ' '
       << p.start_margin_top << ' ' << p.start_margin_bottom << " length " << p.total_length << " entries "
       << p.figures.size();
  lines.push_back(head.str());
  for (size_t i = 0; i < p.figures.size(); ++i) {
    const tfigura& f = *p.figures[i];
    std::ostringstream s;
    s << i << ": kind " << int{f.kind} << " contour " << int{f.is_contour} << " closed " << int{f.closed} << " open "
      << int{f.open} << " depth " << f.depth << " parent " << f.parent << " children " << f.child_count << " link "
      << f.link_figure << ' ' << f.link_point << ' ' << f.link_aux << " pending " << int{f.plan_flag_2} << " length "
      << f.length << " box " << f.min_x << ' ' << f.min_y << ' ' << f.max_x << ' ' << f.max_y << " idx "
      << f.idx_min_x << ' ' << f.idx_max_x << ' ' << f.idx_min_y << ' ' << f.idx_max_y << " points";
    for (const TPlotPoint& q : f.points) s << ' ' << q.x << ',' << q.y;
    s << " weights";
    for (const TVertexAngle& a : f.vertex_angles) s << ' ' << a.angle << '/' << a.mark << '/' << int{a.flag};
    lines.push_back(s.str());
  }
  return lines;
}

}  // namespace varnholt
