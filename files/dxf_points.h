#pragma once
// Where the points of one drawing exchange entity go: scaling to plotter units, the repeat rule and the limits.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/reader_note.h"
#include "geometry/figure.h"
#include "geometry/geometry.h"

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
      : figure_(figure), mm_per_unit_(mm_per_unit), inch_ltscale_(inch_ltscale) {}

  // Adds a point of the drawing (line scale rule, unit), unless it repeats the last one added this way.
  void AddPoint(const RealPoint& p);
  // Adds an interpolated point (unit only), always.
  void AddCurvePoint(const RealPoint& p);
  // Adds a copy of the figure's first point through AddPoint; nothing when the figure is empty.
  void CloseWithFirstPoint();

  // A drawing length in millimetres (without the line scale rule).
  double Mm(double length) const { return length * mm_per_unit_; }

 private:
  TPlotPoint Convert(const RealPoint& p, double mm_per_unit) const;
  void Append(const TPlotPoint& p);

  tfigura& figure_;
  double mm_per_unit_;
  bool inch_ltscale_;
  std::optional<TPlotPoint> last_added_;
};

}  // namespace varnholt
