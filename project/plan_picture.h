#pragma once
// The picture of a planned project as the project window paints it: closed figures black, open ones blue, pending
// ones red, and the planned path in red over them; under a kerf-compensated project the drawing's own figures thin
// and grey. With an SVG writer (the PNG one is in plan_image.h).

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/figure.h"

namespace varnholt {

class ProjectDocument;

inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kBlue = 0x0000ff;
inline constexpr uint32_t kRed = 0xff0000;
inline constexpr uint32_t kGrey = 0x909090;

// One polyline of the picture, in pixels (y downwards).
struct PictureLine {
  std::vector<TPlotPoint> points;
  uint32_t rgb = kBlack;
  bool path = false;     // part of the planned path (drawn over the figures)
  bool drawing = false;  // the drawing's own outline under a kerf-compensated figure
};

// True when the project is kerf-compensated: its drawing's own figures are painted thin and grey under it.
bool ShowsDrawnFigures(const ProjectDocument& project);

// The pen width of a line in pixels: thin for the path and the drawing under compensated figures.
inline double StrokeWidth(const PictureLine& line) { return line.path || line.drawing ? 1.0 : 3.0; }

struct PlanPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<PictureLine> lines;
};

// The positions the wire takes along the plan, from the start figure's entry vertex, walking the cut tree as the
// program writer does (direction from the entry, open figures along themselves and back to their entry, children
// where they hang, in list order). The start figure's own vertices are included; the plan is not changed.
std::vector<TPlotPoint> PlannedPath(const ProjectDocument& project);

// The project fitted into width x height pixels with a 7-pixel margin: the drawing's own figures when the project is
// kerf-compensated, the figures in list order, then the path.
PlanPicture DrawPlan(const ProjectDocument& project, int32_t width, int32_t height);

// The picture as an SVG document.
std::string PlanPictureSvg(const PlanPicture& picture);

}  // namespace varnholt
