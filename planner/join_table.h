#pragma once
// The best join of every pending figure under one variant, kept up to date as figures join. Each joined figure
// searches outwards for the pending figures it may serve, ring by ring, only as far as a cheaper pair can still lie:
// the work of a join follows the figures near it, not the size of the drawing.

#include <cstdint>
#include <memory>
#include <optional>
#include <queue>
#include <span>
#include <vector>

#include "planner/join_rules.h"
#include "planner/pending_tree.h"

namespace varnholt {

class JoinTable {
 public:
  // Builds the table over the entries that can take part: a parent's children and the parent (`children` lists
  // the entries by parent) for the inside variants, every entry for the global ones.
  // `boxes`, when given, supplies the members' boxes (a search that keeps them saves measuring them per table).
  // `entry_boxes`, when given, is read for a global variant's boxes instead of a copy of its own: the boxes of the
  // entries by entry, covering every entry there is now, unchanged while the table lives (the two global tables
  // live at once and share one).
  JoinTable(const FigureList& figures, const JoinContext& context,
            const std::vector<std::vector<int32_t>>& children, EntryBoxes* boxes = nullptr,
            const std::vector<PointBox>* entry_boxes = nullptr);
  JoinTable(const JoinTable&) = delete;
  JoinTable& operator=(const JoinTable&) = delete;

  const JoinContext& context() const { return context_; }

  // The cheapest pair over all pending figures: (cost, F, G, f, g) smallest, as the plain search finds it.
  std::optional<JoinPair> Best(const FigureList& figures);

  // Entry f has been joined: it leaves the pending side and, when the variant accepts it, becomes a target.
  void Joined(const FigureList& figures, int32_t f);

 private:
  // Work put off until a pair could cost as little as `bound`: either measuring pending F (member) against target
  // g, or, with f < 0, widening g's search beyond the gap `radius` it has reached (every pending figure within it
  // has been met). Put off work costs nothing when the figures involved join some cheaper way first. The heap holds
  // many of these: the squared gap is worked out from the radius rather than kept beside it.
  struct Step {
    int64_t bound;
    int32_t f;
    int32_t g;
    int64_t radius;  // -1 before the first ring
    int64_t Covered2() const { return radius < 0 ? -1 : CostTimes(radius, radius); }
    bool operator>(const Step& other) const {
      if (bound != other.bound) return bound > other.bound;
      return f != other.f ? f > other.f : g > other.g;
    }
  };
  struct Kept {
    int64_t cost;
    int32_t f;  // entry
    bool operator>(const Kept& other) const { return cost != other.cost ? cost > other.cost : f > other.f; }
  };

  // The member of an entry, -1 for none. Inline: a target looks up every entry of its neighbour list.
  int32_t MemberOf(int32_t entry) const {
    if (members_are_entries_) return entry >= 0 && static_cast<size_t>(entry) < members_.size() ? entry : -1;
    return MemberByLookup(entry);
  }
  int32_t MemberByLookup(int32_t entry) const;
  bool FSide(const tfigura& figure) const;
  bool GSide(const FigureList& figures, int32_t g) const;
  // A member has become a target: it offers itself to the pending figures it may join.
  void AddTarget(const FigureList& figures, int32_t member);
  // Widens a target's search by one ring and queues the next ring.
  void Widen(const FigureList& figures, const Step& search);
  // Puts off measuring pending F (member) against target g until its bound is reached, unless it cannot beat F's
  // best or pass the variant's filter; measures it at once when the cheapest cost found has reached the bound.
  void Propose(const FigureList& figures, int32_t f, int32_t g);
  // Measures target g (member) for pending F (member), a pair that passes the filter, and keeps the pair when it
  // beats F's best.
  void Measure(const FigureList& figures, int32_t f, int32_t g);
  // Whether the points of F and G (members) are few enough to measure the pair rather than put it off.
  bool SmallPair(const FigureList& figures, int32_t f, int32_t g) const;
  // Whether a pair with this bound can still beat F's best.
  bool CouldBeat(int32_t f, int32_t g, int64_t bound) const;
  // A lower bound of the pair's cost from how far F's listed vertices and G's lie from G's centre: a vertex pair
  // is at least as far apart as their distances from any one point differ. Tight where the box bound is not, as
  // for figures drawn about one centre.
  int64_t RingBound(const FigureList& figures, int32_t f, int32_t g);
  void Push(const Step& step);
  // Drops the steps that can no longer matter once they outnumber the figures in play.
  void DropSpentSteps();
  // The vertices the variant looks at on one side of a member: the neighbour variants' lists stay where they are
  // (listed at the first call), the full variants' lie in storage the next call for the same side reuses.
  std::span<const int32_t> Vertices(const FigureList& figures, int32_t member, bool as_g);
  // Lists a member's vertices for one side once, into the blocks (the neighbour variants).
  void CacheFlagged(const FigureList& figures, int32_t member, bool as_g);

  JoinContext context_;
  // What Propose filters with: the context of the full variant for a neighbour variant. Every pair a neighbour
  // table proposes meets that variant's neighbour condition by how it was found (a closed F from the closed
  // target's list, any other with an open figure), so only the rest of its filter, the full variant's, is tested.
  JoinContext filter_context_;
  bool inside_ = false;
  bool neighbour_variant_ = false;
  // By member: the least of 10 and the marks of its vertices (none below 0). A pair's cost weighs each vertex by
  // at least its figure's least mark, which on most pairs lies well above the least of the whole table.
  std::vector<uint8_t> least_mark_;
  int32_t min_item_mark_ = 10;  // the least of the items' (the figures pending at the start)
  int32_t PairMark(int32_t f, int32_t g) const {
    return std::min(least_mark_[static_cast<size_t>(f)], least_mark_[static_cast<size_t>(g)]);
  }
  int64_t slack_ = 0;
  std::vector<int32_t> members_;  // entries, ascending
  bool members_are_entries_ = false;
  // The members' boxes by member: own_boxes_, or the entries' boxes shared by the global tables.
  const PointBox& Box(int32_t member) const { return (*boxes_)[static_cast<size_t>(member)]; }
  std::vector<PointBox> own_boxes_;
  const std::vector<PointBox>* boxes_ = &own_boxes_;
  std::vector<int32_t> item_of_;  // member -> item of the pending tree, -1 when not pending at the start
  std::vector<int32_t> member_of_item_;
  std::optional<PendingTree> pending_;
  std::vector<uint8_t> is_target_;
  // Each item's best pair so far, by item (only members pending at the start ever have one); none yet while its
  // f_figure is below 0 (a found pair names F's entry).
  std::vector<JoinPair> best_;
  JoinPair& BestOf(int32_t member) { return best_[static_cast<size_t>(item_of_[static_cast<size_t>(member)])]; }
  const JoinPair& BestOf(int32_t member) const {
    return best_[static_cast<size_t>(item_of_[static_cast<size_t>(member)])];
  }
  static bool Found(const JoinPair& pair) { return pair.f_figure >= 0; }
  std::priority_queue<Kept, std::vector<Kept>, std::greater<>> kept_;
  // Heaps, least bound first: the put-off pairs, and apart from them the put-off rings. Most targets keep a ring
  // waiting for most of the planning, while pairs come and go: the pairs' heap stays small.
  std::vector<Step> steps_;
  std::vector<Step> rings_;
  // Flagged vertex lists of the neighbour variants, computed once per member and side. They lie in blocks that
  // never move: one growing block would hold its old and new copy at once when it grows, at the planning's peak.
  std::vector<std::unique_ptr<int32_t[]>> vertex_blocks_;
  int32_t* block_free_ = nullptr;  // the unused end of the last block
  size_t block_room_ = 0;          // and how many entries it holds
  // By item on F's side (only pending members are measured as F), by member on G's.
  std::vector<const int32_t*> vertex_start_[2];
  std::vector<int32_t> vertex_count_[2];  // -1: not listed yet (an empty list has none to point at)
  size_t ListSlot(int32_t member, bool as_g) const {
    return static_cast<size_t>(as_g ? member : item_of_[static_cast<size_t>(member)]);
  }
  std::vector<int32_t> scratch_[2];
  // Per member as a target: the least and largest distance of its listed vertices from its box centre (worked
  // out from the box when needed rather than kept for every member). Few targets ever need one: they are kept in
  // the order they were first asked for, spread_of_ leading from a member to its own (-1 for none yet).
  struct Spread {
    double least = 0.0, most = -1.0;  // most < 0: not measured yet
  };
  std::vector<int32_t> spread_of_;
  std::vector<Spread> spreads_;
  std::vector<int32_t> listed_;  // a target's neighbour list while it offers itself
  int64_t reach_hint_ = 0;       // the widest ring beyond a first one widened so far, capped
};

}  // namespace varnholt
