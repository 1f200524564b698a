#pragma once
// Where the points of one drawing exchange entity go: scaling to plotter units, the repeat rule and the limits.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/reader_note.h"
#include "geometry/figure.h"
#include "geometry/geometry.h"
#include "geometry/units.h"

namespace varnholt {

// Thrown while an entity is read when it cannot become a figure; the reader notes the reason and goes on.
class DxfEntitySkipped : public std::runtime_error {
 public:
  // The reason is a skip kind of note; values are the note's values after the entity's name.
  explicit DxfEntitySkipped(ReaderNoteKind reason, std::vector<std::string> values = {});
  ReaderNoteKind reason() const { return reason_; }
  const std::vector<std::string>& values() const { return values_; }

 private:
  ReaderNoteKind reason_;
  std::vector<std::string> values_;
};

// A figure holds at most this many points; a longer one (about 32 MB) is skipped rather than grown further.
inline constexpr size_t kMaxDxfFigurePoints = 4'000'000;

class DxfPointSink {
 public:
  // mm_per_unit converts drawing units to millimetres; inch_ltscale applies the 25.4 factor of an inch line scale
  // to points added with AddPoint.
  DxfPointSink(tfigura& figure, double mm_per_unit, bool inch_ltscale)
      : figure_(figure), mm_per_unit_(mm_per_unit), line_scale_(inch_ltscale ? 25.4 : 1.0) {}

  // The adding is inline: a curve adds its points one by one, millions of them in a large drawing.

  // Adds a point of the drawing (line scale rule, unit), unless it repeats the last one added this way.
  void AddPoint(const RealPoint& p) {
    const TPlotPoint q = Convert({p.x * line_scale_, p.y * line_scale_});
    if (has_last_added_ && last_added_ == q) return;
    Append(q);
    last_added_ = q;
    has_last_added_ = true;
  }
  // Adds an interpolated point (unit only), always.
  void AddCurvePoint(const RealPoint& p) { Append(Convert(p)); }
  // Adds a copy of the figure's first point through AddPoint; nothing when the figure is empty.
  void CloseWithFirstPoint();
  // Makes room for `count` more points ahead of a curve whose point count is known. The room grows at least by
  // doubling, so a polyline of many bulges still copies its points a bounded number of times.
  void Expect(size_t count);

  // A drawing length in millimetres (without the line scale rule).
  double Mm(double length) const { return length * mm_per_unit_; }

 private:
  TPlotPoint Convert(const RealPoint& p) const {
    const auto x = MmToUnitsWithoutDivision(p.x * mm_per_unit_);
    const auto y = MmToUnitsWithoutDivision(p.y * mm_per_unit_);
    if (!x || !y) ThrowBeyondRange();
    return {*x, *y};
  }
  void Append(const TPlotPoint& p) {
    if (figure_.points.size() >= kMaxDxfFigurePoints) ThrowTooManyPoints();
    figure_.points.push_back(p);
  }
  [[noreturn]] static void ThrowBeyondRange();
  [[noreturn]] static void ThrowTooManyPoints();

  tfigura& figure_;
  double mm_per_unit_;
  double line_scale_;
  TPlotPoint last_added_;
  bool has_last_added_ = false;
};

}  // namespace varnholt
