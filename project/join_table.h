#pragma once
// The best join of every pending figure under one variant, kept up to date as figures join, so that each join
// costs a pass over the pending figures instead of a search over all pairs.

#include <cstdint>
#include <optional>
#include <vector>

#include "project/join_rules.h"

namespace varnholt {

class JoinTable {
 public:
  // Builds the bests over the entries joined now. `children` lists the entries by parent (inside variants);
  // `reverse_neighbours[f]` the entries whose neighbour lists hold f (neighbour variants).
  JoinTable(const FigureList& figures, const JoinContext& context,
            const std::vector<std::vector<int32_t>>& children,
            const std::vector<std::vector<int32_t>>& reverse_neighbours);

  const JoinContext& context() const { return context_; }

  // The cheapest pair over all pending figures: (cost, F, G, f, g) smallest, as the plain search finds it.
  std::optional<JoinPair> Best() const;

  // Entry f has been joined: it leaves the pending side and, when the variant accepts it, becomes a target.
  void Joined(const FigureList& figures, int32_t f);

 private:
  struct Entry {
    bool valid = false;
    JoinPair pair;
  };

  bool FSide(const tfigura& figure) const;
  bool GSide(const FigureList& figures, int32_t g) const;
  const std::vector<int32_t>& Vertices(const FigureList& figures, int32_t index, bool as_g);
  const PointBox& Box(const FigureList& figures, int32_t index);
  // Tries G for pending F and keeps it when it beats F's best.
  void Offer(const FigureList& figures, int32_t f, int32_t g);
  void Grow(size_t size);

  JoinContext context_;
  bool neighbour_variant_ = false;
  int32_t min_mark_ = 0;
  const std::vector<std::vector<int32_t>>& reverse_neighbours_;
  std::vector<int32_t> pending_;   // F candidates, in list order (joined ones are dropped lazily)
  std::vector<int32_t> targets_;   // G candidates, in list order of joining
  std::vector<int32_t> open_targets_;
  std::vector<Entry> best_;
  std::vector<uint8_t> is_pending_;
  std::vector<std::vector<int32_t>> f_vertices_, g_vertices_;
  std::vector<uint8_t> have_f_vertices_, have_g_vertices_, have_box_;
  std::vector<PointBox> boxes_;
};

}  // namespace varnholt
