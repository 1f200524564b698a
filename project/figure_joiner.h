#pragma once
// Joins open figures end to end while a drawing loads, and finds identical figures, through indexes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "geometry/figure.h"
#include "project/slot_multimap.h"

namespace varnholt {

// The project's figure list while it loads: figures in list order, with removed ones left as empty slots so that
// positions stay stable; Compact() closes the gaps at the end of the load.
class LoadingFigureList {
 public:
  // Joins figure with the open figures of the list that meet it end to end (within 10 units), pass after pass
  // until a pass joins nothing: in list order, the first of Z~B, Z~E, A~B, A~E that holds for each figure
  // (A, Z the figure's ends, B, E the listed figure's). Joined figures leave the list.
  void JoinOpenFigures(tfigura& figure);

  // True when a listed figure has exactly the same points in the same order.
  bool HasIdentical(const tfigura& figure) const;

  // Appends a measured figure; it becomes a join candidate when it is open and has more than one point.
  void Append(std::unique_ptr<tfigura> figure);

  // The figures in list order, without the removed slots.
  std::vector<std::unique_ptr<tfigura>> Compact();

  size_t size() const { return live_count_; }

 private:
  using CellKey = uint64_t;

  static CellKey CellOf(const TPlotPoint& point);
  static uint64_t HashOf(const std::vector<TPlotPoint>& points);
  // The first slot after `after` holding a candidate with an end within 10 units of a or z; npos when none.
  size_t NextCandidate(size_t after, const TPlotPoint& a, const TPlotPoint& z) const;
  void Remove(size_t slot);

  static constexpr size_t kNone = static_cast<size_t>(-1);

  std::vector<std::unique_ptr<tfigura>> slots_;
  std::vector<uint64_t> hashes_;  // the points' hash of each slot
  size_t live_count_ = 0;
  // End points of the join candidates, by cells of 20 x 20 units: points closer than 10 units on both axes lie in
  // the same or a neighbouring cell. Each entry holds its end point, so a search reads no figure that fails.
  SlotMultimap ends_by_cell_;
  SlotMultimap slots_by_hash_;
};

}  // namespace varnholt
