#pragma once
// How the project window shows a project: the drawing area, the scale, the pixel of each drawing point, the
// colour of each figure, and which figure a click picks.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/figure.h"
#include "project/plan_picture.h"

namespace varnholt {

class ProjectDocument;

// Distances of the drawing from the window's edges, in pixels.
inline constexpr int32_t kViewLeft = 7;
// A click this close to a segment (in pixels) picks its figure.
inline constexpr double kPickDistance = 3.0;

// The selected figure's colour; the others are the plan picture's.
inline constexpr uint32_t kWhite = 0xffffff;

// The painting's mapping of drawing units to pixels for one window size.
struct ProjectView {
  bool drawable = false;  // false while the project is less than one unit wide or high
  double scale = 0.0;     // pixels per unit
  int32_t baseline = 0;   // pixel row of the project's lowest y
  int32_t min_x = 0, min_y = 0;

  // The pixel of a drawing point (y grows downwards).
  TPlotPoint Pixel(const TPlotPoint& point) const;
};

// The mapping for a window whose client area is client_width x client_height with a status line status_height
// high at its bottom: baseline client height - status height - 7, usable width client width - 20, usable
// height client height - 2 x status height - 10, and the scale that fits the project into both.
ProjectView ViewOf(const ProjectDocument& project, int32_t client_width, int32_t client_height,
                   int32_t status_height);

// The pen colour of figure index: white when selected, red while planning leaves it pending, black when
// closed, blue when open (connectors included).
uint32_t FigureColour(const ProjectDocument& project, size_t index);

// The pixels of a figure's points in order, repeats of the same pixel dropped.
std::vector<TPlotPoint> PixelPolyline(const tfigura& figure, const ProjectView& view);

// The figure a left click at pixel `click` selects: the last in list order with a segment within
// kPickDistance pixels of it; -1 for none.
int32_t FigureAt(const ProjectDocument& project, const ProjectView& view, const TPlotPoint& click);

// Distance in pixels from p to the segment a-b.
double PixelDistanceToSegment(const TPlotPoint& p, const TPlotPoint& a, const TPlotPoint& b);

// Points a point list shows at most; the rest is counted.
inline constexpr size_t kPointListLimit = 500;

// The point list of a figure: "[mm]", then for each point a line break and "p<i>:(<x> ; <y>)" in millimetres
// with two decimals and the given separator. Past kPointListLimit points a line of more_text and the count of
// the points left out ends the list.
std::string PointListText(const tfigura& figure, char decimal_separator, const std::string& more_text);

}  // namespace varnholt
