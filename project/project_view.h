#pragma once
// How the project window shows a project: the drawing area, the scale, the pixel of each drawing point, the
// colour of each figure, and which figure a click picks.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/figure.h"
#include "project/cut_progress.h"
#include "project/plan_picture.h"

namespace varnholt {

class ProjectDocument;

// Distances of the drawing from the window's edges, in pixels.
inline constexpr int32_t kViewLeft = 7;
// A click this close to a segment (in pixels) picks its figure.
inline constexpr double kPickDistance = 3.0;

// The selected figure's colour (drawn wide); the others are the plan picture's. It is none of theirs, nor the
// cut's, the wire's or the background's, so the selection stands out whatever state a figure is in.
inline constexpr uint32_t kSelectedColour = 0xff00ff;
// The part of a cut already cut, and the mark of the wire.
inline constexpr uint32_t kCutColour = 0x00a040;
inline constexpr uint32_t kWireColour = 0xff8000;
// The machine's work area, its origin and the cut's start point.
inline constexpr uint32_t kWorkAreaColour = 0x5f8fbf;
inline constexpr uint32_t kStartColour = 0x00a040;
// The planned order's arrows and numbers.
inline constexpr uint32_t kOrderColour = 0xb03060;

// The painting's mapping of drawing units to pixels for one window size.
struct ProjectView {
  bool drawable = false;  // false while the project is less than one unit wide or high
  double scale = 0.0;     // pixels per unit
  int32_t baseline = 0;   // pixel row of the project's lowest y
  int32_t min_x = 0, min_y = 0;
  int32_t shift_x = 0, shift_y = 0;  // pixels the operator moved the picture by

  // The pixel of a drawing point (y grows downwards).
  TPlotPoint Pixel(const TPlotPoint& point) const;
  // The drawing point at a pixel (the nearest unit).
  TPlotPoint DrawingPoint(double pixel_x, double pixel_y) const;
};

// How the operator zoomed and moved the picture: a factor on the fitted scale and a shift in pixels. The default is
// the fitted picture.
struct ViewAdjust {
  double zoom = 1.0;
  double shift_x = 0.0, shift_y = 0.0;
};

// The bounds of the zoom factor.
inline constexpr double kMinZoom = 0.01;
inline constexpr double kMaxZoom = 5000.0;

// The fitted mapping zoomed and moved as adjust says.
ProjectView Adjusted(ProjectView fit, const ViewAdjust& adjust);

// Zooms by factor about the pixel (x, y) of the adjusted view: the drawing point under it stays where it is. The
// zoom stays within kMinZoom and kMaxZoom.
void ZoomAbout(ViewAdjust& adjust, const ProjectView& fit, double factor, double x, double y);

// The mapping for a window whose client area is client_width x client_height with a status line status_height
// high at its bottom: baseline client height - status height - 7, usable width client width - 20, usable
// height client height - 2 x status height - 10, and the scale that fits the project into both.
ProjectView ViewOf(const ProjectDocument& project, int32_t client_width, int32_t client_height,
                   int32_t status_height);

// The pen colour of figure index: kSelectedColour when selected, red while planning leaves it pending, black when
// closed, blue when open (connectors included).
uint32_t FigureColour(const ProjectDocument& project, size_t index);

// What the project window draws of a cut over its drawing, in pixels: the way cut so far (the course's stops
// reached, then the wire) and the wire's place. Empty (shown false) for a snapshot that shows nothing. A cut
// taken up again later draws the same from a snapshot of where it stood.
struct CutOverlay {
  bool shown = false;
  std::vector<TPlotPoint> cut;
  TPlotPoint wire;
};
CutOverlay CutOverlayOf(const CutSnapshot& cut, const ProjectView& view);

// Where the project lies on the machine, in pixels: its work area (the working range at the project's scale from
// the machine's origin, which is the drawing's lower left corner), the origin, the start point (the start figure's
// entry vertex) and the point the wire first heads for from it (the start point itself when the path goes
// nowhere). An unplanned project has neither, nor one whose plan is not to be walked now (walk_plan false, while
// it is being planned): both are its origin then.
struct SpaceMarks {
  bool planned = false;
  TPlotPoint area_low, area_high;  // the work area's lower left and upper right corners
  TPlotPoint origin;
  TPlotPoint start;
  TPlotPoint entry;
};
SpaceMarks SpaceMarksOf(const ProjectDocument& project, const ProjectView& view, bool walk_plan = true);

// The planned order: the entry vertices of the drawing figures (connectors and frames left out) numbered from 1 in
// the order the wire reaches them along the planned path; figures sharing an entry share its number, and one the
// path never reaches has none. Nothing for an unplanned project.
struct OrderMark {
  TPlotPoint at;
  int32_t number = 0;
};
std::vector<OrderMark> PlannedOrder(const ProjectDocument& project);

// A scale bar: a round length (1, 2 or 5 times a power of ten millimetres) whose pixels come nearest to, without
// passing, most_pixels; none (millimetres 0) when not even 1 um fits.
struct ScaleBar {
  double millimetres = 0.0;
  int32_t pixels = 0;
};
ScaleBar ScaleBarOf(const ProjectView& view, int32_t most_pixels);

// "<width> x <height> mm" of the project's extent, with the decimal separator.
std::string ProjectSizeText(const ProjectDocument& project, char decimal_separator);

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
