#pragma once
// The figure model: one path of integer plotter points with its measurements and planning fields.

#include <cstdint>
#include <memory>
#include <vector>

namespace varnholt {

// One point of a path, in plotter units (1/40 mm); y grows upwards as in the source drawing.
struct TPlotPoint {
  int32_t x = 0;
  int32_t y = 0;

  friend bool operator==(const TPlotPoint&, const TPlotPoint&) = default;
};

// Turning angle and planning marks at one point of a path. A figure holds one record per point, so the record is
// packed to 12 bytes (the double sits on a 4-byte boundary): read and assign its fields, never take their address.
#pragma pack(push, 4)
struct TVertexAngle {
  double angle = 0.0;  // radians in [-pi, pi]; pi/2 at the ends of an open path and at frame corners
  int16_t mark = 0;    // join weight, 5 to 10 (6 at the corners of the outline frame), 0 before weighing
  uint8_t flag = 0;
};
#pragma pack(pop)
static_assert(sizeof(TVertexAngle) == 12, "a vertex record holds 11 bytes of data");

inline constexpr double kOpenEndAngle = 1.5707963267948966;

// Values of tfigura::kind.
enum FigureKind : uint8_t { kDrawingFigure = 0, kOutlineFrame = 1, kConnector = 3 };

// One path of a project. Points and vertex records are held by value, so a copy never shares a record. The fields
// are grouped by size (lists, the double, the int32 fields, the bytes) so that no padding lies between them: a
// drawing holds two records per figure and planning one more per connector.
struct tfigura {
  std::vector<TPlotPoint> points;
  std::vector<TVertexAngle> vertex_angles;
  double pen_value = 0.0;
  int32_t list_index = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t min_x = 0, min_y = 0;
  int32_t max_x = 0, max_y = 0;
  int32_t origin_x = 0, origin_y = 0;
  int32_t depth = 0;
  int32_t reader_tag = 0;
  int32_t parent = 0;
  int32_t link_figure = 0;
  int32_t link_point = 0;
  int32_t link_aux = 0;
  int32_t child_count = 0;
  int32_t length = 0;
  int32_t center_x = 0, center_y = 0;
  int32_t idx_min_x = 0, idx_max_x = 0, idx_min_y = 0, idx_max_y = 0;
  uint8_t is_contour = 0;
  uint8_t pen = 0;
  uint8_t cut_enabled = 0;
  uint8_t selected = 0;
  uint8_t has_points = 0;
  uint8_t open = 0;
  uint8_t kind = kDrawingFigure;
  uint8_t closed = 0;
  uint8_t plan_flag_1 = 0;
  uint8_t plan_flag_2 = 0;
};
static_assert(sizeof(tfigura) <= 2 * sizeof(std::vector<TPlotPoint>) + sizeof(double) + 23 * sizeof(int32_t) + 10 +
                                     alignof(tfigura) - 1,
              "no padding between the fields of a figure");

// The figures of a project, each owned by the list.
using FigureList = std::vector<std::unique_ptr<tfigura>>;

// A list of copies of every figure, in the same order; changing a copy leaves the original as it is.
FigureList CopyFigures(const FigureList& figures);

// Returns a new point record with the same coordinates (used whenever a point is added to a figure).
inline TPlotPoint CopyPoint(const TPlotPoint& point) { return point; }

// Returns a new vertex record with the same three fields.
inline TVertexAngle CopyVertexAngle(const TVertexAngle& entry) { return entry; }

// Measures a figure: extremes with the index of the first point reaching each, size, centre, open/closed,
// and resets the flags a freshly added figure carries. An empty figure only gets has_points = 0.
void licz_parametry(tfigura& figure);

// Sets the box fields (min, max, width, height) from the points; the figure must have points.
void MeasureBox(tfigura& figure);

}  // namespace varnholt
