#include "project/neighbour_lists.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <queue>
#include <utility>
#include <vector>

#include "project/plan_search.h"

namespace varnholt {
namespace {

class NeighbourGrid final : public NeighbourLists {
 public:
  explicit NeighbourGrid(const FigureList& figures);
  std::span<const int32_t> Of(int32_t g) override;

 private:
  int64_t CellX(int64_t x) const { return (x - min_x_) / side_; }
  int64_t CellY(int64_t y) const { return (y - min_y_) / side_; }
  void Work(int32_t g);

  // What a key reads of an entry, kept together so that a search does not visit the figures themselves.
  struct Entry {
    TPlotPoint centre;
    int32_t depth;
    int32_t parent;
  };
  int64_t Key(int32_t i, int32_t j) const;

  std::vector<Entry> entries_;
  const int32_t count_;  // the entries the lists are made of
  int64_t min_x_ = 0, min_y_ = 0, side_ = 1, columns_ = 1, rows_ = 1;
  std::vector<int32_t> cell_start_;  // entries of cell c: in_cells_[cell_start_[c], cell_start_[c + 1])
  std::vector<int32_t> in_cells_;
  std::vector<int32_t> list_start_;  // -1 until worked out; each list holds up to kNeighbourCount entries
  std::vector<uint8_t> list_size_;
  std::vector<int32_t> lists_;
};

NeighbourGrid::NeighbourGrid(const FigureList& figures)
    : count_(static_cast<int32_t>(figures.size())), list_start_(figures.size(), -1), list_size_(figures.size(), 0) {
  if (count_ == 0) return;
  entries_.reserve(figures.size());
  for (const auto& f : figures) entries_.push_back({{f->center_x, f->center_y}, f->depth, f->parent});
  int64_t max_x = INT64_MIN, max_y = INT64_MIN;
  min_x_ = min_y_ = INT64_MAX;
  for (const auto& f : figures) {
    min_x_ = std::min<int64_t>(min_x_, f->center_x);
    min_y_ = std::min<int64_t>(min_y_, f->center_y);
    max_x = std::max<int64_t>(max_x, f->center_x);
    max_y = std::max<int64_t>(max_y, f->center_y);
  }
  const double w = static_cast<double>(max_x - min_x_ + 1), h = static_cast<double>(max_y - min_y_ + 1);
  // About one centre a cell; a drawing all on one line would make one axis long, so the cells grow until the
  // grid holds at most a few cells per entry.
  side_ = std::max<int64_t>(1, static_cast<int64_t>(std::sqrt(w * h / count_)));
  const auto fit = [&] {
    columns_ = (max_x - min_x_) / side_ + 1;
    rows_ = (max_y - min_y_) / side_ + 1;
  };
  fit();
  while (columns_ * rows_ > 4 * int64_t{count_} + 64) {
    side_ *= 2;
    fit();
  }
  cell_start_.assign(static_cast<size_t>(columns_ * rows_) + 1, 0);
  std::vector<int32_t> cell_of(figures.size());
  for (size_t i = 0; i < figures.size(); ++i) {
    const int64_t c = CellY(figures[i]->center_y) * columns_ + CellX(figures[i]->center_x);
    cell_of[i] = static_cast<int32_t>(c);
    ++cell_start_[static_cast<size_t>(c) + 1];
  }
  for (size_t c = 1; c < cell_start_.size(); ++c) cell_start_[c] += cell_start_[c - 1];
  in_cells_.resize(figures.size());
  std::vector<int32_t> fill(cell_start_.begin(), cell_start_.end() - 1);
  for (size_t i = 0; i < figures.size(); ++i) in_cells_[static_cast<size_t>(fill[static_cast<size_t>(cell_of[i])]++)] = static_cast<int32_t>(i);
}

std::span<const int32_t> NeighbourGrid::Of(int32_t g) {
  if (g < 0 || g >= count_) return {};
  if (list_start_[static_cast<size_t>(g)] < 0) Work(g);
  return {lists_.data() + list_start_[static_cast<size_t>(g)], list_size_[static_cast<size_t>(g)]};
}

int64_t NeighbourGrid::Key(int32_t i, int32_t j) const {
  const Entry& ei = entries_[static_cast<size_t>(i)];
  const Entry& ej = entries_[static_cast<size_t>(j)];
  return NeighbourKeyOf(ei.centre, ei.depth, i, ej.centre, ej.depth, ej.parent);
}

void NeighbourGrid::Work(int32_t g) {
  const Entry& eg = entries_[static_cast<size_t>(g)];
  using Keyed = std::pair<int64_t, int32_t>;
  std::priority_queue<Keyed> kept;  // the largest kept (key, entry) on top
  const auto offer = [&](int32_t j) {
    const Entry& ej = entries_[static_cast<size_t>(j)];
    if (kept.size() == kNeighbourCount) {
      int64_t penalty = 0;
      if (ej.depth < eg.depth) penalty += kNeighbourPenalty;
      if (ej.parent == g) penalty += kNeighbourPenalty;
      // The key is the rounded distance plus the penalty: beyond the largest kept key by a whole unit of distance
      // it cannot enter, whatever the rounding; closer ones are keyed exactly (equal keys go by list order).
      const int64_t room = kept.top().first - penalty;
      if (room < 0) return;
      const int64_t dx = std::llabs(int64_t{eg.centre.x} - ej.centre.x);
      const int64_t dy = std::llabs(int64_t{eg.centre.y} - ej.centre.y);
      if (dx > room + 1 || dy > room + 1) return;
      if (room < (int64_t{1} << 31) && dx * dx + dy * dy > (room + 1) * (room + 1)) return;
    }
    const Keyed keyed{Key(g, j), j};
    if (kept.size() < kNeighbourCount) {
      kept.push(keyed);
    } else if (keyed < kept.top()) {
      kept.pop();
      kept.push(keyed);
    }
  };
  const int64_t gx = CellX(eg.centre.x), gy = CellY(eg.centre.y);
  const auto visit = [&](int64_t x, int64_t y) {
    if (x < 0 || y < 0 || x >= columns_ || y >= rows_) return;
    const auto c = static_cast<size_t>(y * columns_ + x);
    for (int32_t k = cell_start_[c]; k < cell_start_[c + 1]; ++k) offer(in_cells_[static_cast<size_t>(k)]);
  };
  const int64_t last_ring = std::max(std::max(gx, columns_ - 1 - gx), std::max(gy, rows_ - 1 - gy));
  // How far the centre lies from the edges of the square of rings met so far, on the sides where cells remain.
  const int64_t x = eg.centre.x, y = eg.centre.y;
  const auto reach = [&](int64_t ring) {
    int64_t least = INT64_MAX;
    if (gx - ring >= 0) least = std::min(least, x - (min_x_ + (gx - ring + 1) * side_));
    if (gx + ring < columns_) least = std::min(least, min_x_ + (gx + ring) * side_ - x);
    if (gy - ring >= 0) least = std::min(least, y - (min_y_ + (gy - ring + 1) * side_));
    if (gy + ring < rows_) least = std::min(least, min_y_ + (gy + ring) * side_ - y);
    return least;
  };
  for (int64_t ring = 0; ring <= last_ring; ++ring) {
    // Every centre from ring r on lies at least reach(r) away (a whole number), so its key is at least that.
    if (kept.size() == kNeighbourCount && ring >= 1 && reach(ring) > kept.top().first) break;
    if (ring == 0) {
      visit(gx, gy);
      continue;
    }
    for (int64_t i = gx - ring; i <= gx + ring; ++i) {
      visit(i, gy - ring);
      visit(i, gy + ring);
    }
    for (int64_t j = gy - ring + 1; j <= gy + ring - 1; ++j) {
      visit(gx - ring, j);
      visit(gx + ring, j);
    }
  }
  std::vector<Keyed> sorted;
  while (!kept.empty()) {
    sorted.push_back(kept.top());
    kept.pop();
  }
  std::sort(sorted.begin(), sorted.end());
  list_start_[static_cast<size_t>(g)] = static_cast<int32_t>(lists_.size());
  list_size_[static_cast<size_t>(g)] = static_cast<uint8_t>(sorted.size());
  for (const Keyed& k : sorted) lists_.push_back(k.second);
}

}  // namespace

std::unique_ptr<NeighbourLists> MakeNeighbourGrid(const FigureList& figures) {
  return std::make_unique<NeighbourGrid>(figures);
}

}  // namespace varnholt
