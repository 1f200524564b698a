#include "files/dxf_points.h"

#include <utility>

#include "geometry/units.h"

namespace varnholt {
namespace {

std::vector<std::string> WithEntityName(const std::vector<std::string>& values) {
  std::vector<std::string> all{"entity"};
  all.insert(all.end(), values.begin(), values.end());
  return all;
}

}  // namespace

DxfEntitySkipped::DxfEntitySkipped(ReaderNoteKind reason, std::vector<std::string> values)
    : std::runtime_error(ReaderNoteEnglish(reason, WithEntityName(values))),
      reason_(reason),
      values_(std::move(values)) {}

TPlotPoint DxfPointSink::Convert(const RealPoint& p, double mm_per_unit) const {
  const auto x = MmToUnitsChecked(p.x * mm_per_unit);
  const auto y = MmToUnitsChecked(p.y * mm_per_unit);
  if (!x || !y) throw DxfEntitySkipped(ReaderNoteKind::kEntityBeyondRange);
  return {*x, *y};
}

void DxfPointSink::Append(const TPlotPoint& p) {
  if (figure_.points.size() >= kMaxDxfFigurePoints) {
    throw DxfEntitySkipped(ReaderNoteKind::kEntityTooManyPoints, {std::to_string(kMaxDxfFigurePoints)});
  }
  figure_.points.push_back(CopyPoint(p));
}

void DxfPointSink::AddPoint(const RealPoint& p) {
  const double factor = inch_ltscale_ ? 25.4 : 1.0;
  const TPlotPoint q = Convert({p.x * factor, p.y * factor}, mm_per_unit_);
  if (last_added_ && *last_added_ == q) return;
  Append(q);
  last_added_ = q;
}

void DxfPointSink::AddCurvePoint(const RealPoint& p) { Append(Convert(p, mm_per_unit_)); }

void DxfPointSink::CloseWithFirstPoint() {
  if (figure_.points.empty()) return;
  const TPlotPoint first = figure_.points.front();
  if (last_added_ && *last_added_ == first) return;
  Append(first);
  last_added_ = first;
}

}  // namespace varnholt
