#pragma once
// Every vertex of a figure list by the cell it lies in, so that the vertices within the touch tolerance of a point
// are found by looking at a few cells: searches for touching vertices then follow the vertices that lie near each
// other, not the figures whose boxes overlap.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/point_box.h"

namespace varnholt {

class VertexCells {
 public:
  // A vertex of the index: its position and which vertex of which entry it is.
  struct Vertex {
    int32_t x, y;
    uint32_t id;  // the entry's first id plus the vertex's index
  };

  // Indexes the vertices of every entry there is now, as they stand now.
  explicit VertexCells(const FigureList& figures);

  // The entries indexed: those there were when the index was made.
  int32_t entries() const { return static_cast<int32_t>(first_.size()) - 1; }
  // The ids of entry e's vertices are [FirstId(e), FirstId(e + 1)).
  uint32_t FirstId(int32_t e) const { return first_[static_cast<size_t>(e)]; }
  // The entry a vertex id belongs to.
  int32_t EntryOf(uint32_t id) const {
    return static_cast<int32_t>(std::upper_bound(first_.begin(), first_.end(), id) - first_.begin()) - 1;
  }

  // Calls visit(vertex) for every indexed vertex within kTouchTolerance of (x, y) on both axes, and for some
  // others besides (the caller measures), until visit returns true; true when it did.
  template <class Visit>
  bool Near(int32_t x, int32_t y, Visit&& visit) const {
    if (vertices_.empty()) return false;
    const int64_t x0 = Column(int64_t{x} - kTouchTolerance), x1 = Column(int64_t{x} + kTouchTolerance);
    const int64_t y0 = Row(int64_t{y} - kTouchTolerance), y1 = Row(int64_t{y} + kTouchTolerance);
    for (int64_t cy = std::max<int64_t>(y0, 0); cy <= std::min(y1, rows_ - 1); ++cy) {
      for (int64_t cx = std::max<int64_t>(x0, 0); cx <= std::min(x1, columns_ - 1); ++cx) {
        const size_t c = Cell(cx, cy);
        for (uint32_t k = start_[c]; k < start_[c + 1]; ++k) {
          if (visit(vertices_[k])) return true;
        }
      }
    }
    return false;
  }

 private:
  // Cells lie in tiles of 8 x 8, a tile's cells one after the other and the tiles by rows: a figure's lookups,
  // one after the other and close together, meet memory they have just read.
  static constexpr int kTileBits = 3;

  int64_t Column(int64_t x) const { return (x - origin_x_) >> shift_; }
  int64_t Row(int64_t y) const { return (y - origin_y_) >> shift_; }
  size_t Cell(int64_t cx, int64_t cy) const {
    constexpr int64_t kMask = (int64_t{1} << kTileBits) - 1;
    const int64_t tile = (cy >> kTileBits) * tiles_across_ + (cx >> kTileBits);
    return static_cast<size_t>((tile << (2 * kTileBits)) + ((cy & kMask) << kTileBits) + (cx & kMask));
  }

  int64_t origin_x_ = 0, origin_y_ = 0;
  int shift_ = 5;  // cells 2^shift_ units wide: at least 32, so that a point's window spans two at most on each axis
  int64_t columns_ = 0, rows_ = 0, tiles_across_ = 0;
  std::vector<uint32_t> first_;  // by entry, and the id after the last
  std::vector<uint32_t> start_;  // by cell: its vertices are vertices_[start_[c], start_[c + 1])
  std::vector<Vertex> vertices_;
};

// Every entry's index ordered along a Z curve through its box's centre, so that a run of them lies together; the
// entries without points last, in list order.
std::vector<int32_t> EntriesByPlace(const std::vector<PointBox>& boxes);

}  // namespace varnholt
