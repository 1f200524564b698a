#include "files/dxf_points.h"

#include <algorithm>
#include <utility>

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

void DxfPointSink::ThrowBeyondRange() { throw DxfEntitySkipped(ReaderNoteKind::kEntityBeyondRange); }

void DxfPointSink::ThrowTooManyPoints() {
  throw DxfEntitySkipped(ReaderNoteKind::kEntityTooManyPoints, {std::to_string(kMaxDxfFigurePoints)});
}

void DxfPointSink::Expect(size_t count) {
  std::vector<TPlotPoint>& points = figure_.points;
  const size_t wanted = std::min(points.size() + count, kMaxDxfFigurePoints);
  if (wanted <= points.capacity()) return;
  points.reserve(std::min(std::max(wanted, 2 * points.capacity()), kMaxDxfFigurePoints));
}

void DxfPointSink::CloseWithFirstPoint() {
  if (figure_.points.empty()) return;
  const TPlotPoint first = figure_.points.front();
  if (has_last_added_ && last_added_ == first) return;
  Append(first);
  last_added_ = first;
  has_last_added_ = true;
}

}  // namespace varnholt
