#include "planner/join_table.h"

#include <algorithm>
#include <cmath>

namespace varnholt {
namespace {

bool Pending(const tfigura& figure) { return figure.plan_flag_2 != 0; }

bool Better(const JoinPair& a, const JoinPair& b) {
  if (a.cost != b.cost) return a.cost < b.cost;
  return a.g_figure < b.g_figure;
}

bool IsInside(JoinVariant v) { return v == JoinVariant::kInsideFull || v == JoinVariant::kInsideNeighbours; }
bool IsNeighbourVariant(JoinVariant v) {
  return v == JoinVariant::kInsideNeighbours || v == JoinVariant::kGlobalNeighbours;
}

JoinContext FilterContext(const JoinContext& context) {
  JoinContext filter = context;
  if (context.variant == JoinVariant::kInsideNeighbours) filter.variant = JoinVariant::kInsideFull;
  if (context.variant == JoinVariant::kGlobalNeighbours) filter.variant = JoinVariant::kGlobalFull;
  return filter;
}

// The widest radius a search ever needs: beyond it every squared gap saturates.
constexpr int64_t kWidestRadius = int64_t{1} << 33;
// The widest first ring of a search that the searches before it may ask for, in typical sides.
constexpr int64_t kHintSides = 8;

// Pairs of figures with at most this many points to each other's are measured rather than put off.
constexpr size_t kSmallPairPoints = 64;

}  // namespace

JoinTable::JoinTable(const FigureList& figures, const JoinContext& context,
                     const std::vector<std::vector<int32_t>>& children, EntryBoxes* boxes,
                     const std::vector<PointBox>* entry_boxes)
    : context_(context),
      filter_context_(FilterContext(context)),
      inside_(IsInside(context.variant)),
      neighbour_variant_(IsNeighbourVariant(context.variant)),
      slack_(BoundSlack(context.variant)) {
  if (inside_) {
    if (context_.parent >= 0 && static_cast<size_t>(context_.parent) < children.size()) {
      members_ = children[static_cast<size_t>(context_.parent)];
    }
    if (context_.parent >= 0) members_.push_back(context_.parent);
    std::sort(members_.begin(), members_.end());
    members_.erase(std::unique(members_.begin(), members_.end()), members_.end());
  } else {
    members_.resize(figures.size());
    for (size_t i = 0; i < figures.size(); ++i) members_[i] = static_cast<int32_t>(i);
    members_are_entries_ = true;
  }
  const size_t count = members_.size();
  const bool shared = members_are_entries_ && entry_boxes != nullptr && entry_boxes->size() >= count;
  if (shared) {
    boxes_ = entry_boxes;
  } else {
    own_boxes_.resize(count);
  }
  item_of_.assign(count, -1);
  is_target_.assign(count, 0);
  // The items first: the pending members, the only ones with a best pair or a vertex list of F's side (a global
  // table's members include every entry joined so far). Exact sizes: these vectors are alive at the planning's
  // peak.
  size_t item_count = 0;
  for (size_t m = 0; m < count; ++m) {
    const int32_t entry = members_[m];
    if (!shared) {
      own_boxes_[m] = boxes != nullptr ? boxes->Of(figures, entry)
                                       : BoxOfPoints(figures[static_cast<size_t>(entry)]->points);
    }
    if (FSide(*figures[static_cast<size_t>(entry)]) && !Box(static_cast<int32_t>(m)).empty) {
      item_of_[m] = static_cast<int32_t>(item_count++);
    }
  }
  best_.resize(item_count);
  vertex_start_[0].assign(neighbour_variant_ ? item_count : 0, nullptr);
  vertex_count_[0].assign(neighbour_variant_ ? item_count : 0, -1);
  vertex_start_[1].assign(neighbour_variant_ ? count : 0, nullptr);
  vertex_count_[1].assign(neighbour_variant_ ? count : 0, -1);
  least_mark_.resize(count);
  member_of_item_.reserve(item_count);
  std::vector<PendingTree::Item> items;
  items.reserve(item_count);
  for (size_t m = 0; m < count; ++m) {
    const tfigura& figure = *figures[static_cast<size_t>(members_[m])];
    int32_t least = 10;
    for (const TVertexAngle& a : figure.vertex_angles) least = std::min<int32_t>(least, a.mark);
    least_mark_[m] = static_cast<uint8_t>(std::max(least, 0));
    if (item_of_[m] >= 0) {
      min_item_mark_ = std::min(min_item_mark_, least);
      member_of_item_.push_back(static_cast<int32_t>(m));
      items.push_back({Box(static_cast<int32_t>(m)), figure.open != 0, figure.depth});
    }
  }
  pending_.emplace(std::move(items));
  for (size_t m = 0; m < count; ++m) {
    if (item_of_[m] < 0 && GSide(figures, members_[m])) AddTarget(figures, static_cast<int32_t>(m));
  }
}

bool JoinTable::SmallPair(const FigureList& figures, int32_t f, int32_t g) const {
  return figures[static_cast<size_t>(members_[static_cast<size_t>(f)])]->points.size() *
             figures[static_cast<size_t>(members_[static_cast<size_t>(g)])]->points.size() <=
         kSmallPairPoints;
}

int32_t JoinTable::MemberByLookup(int32_t entry) const {
  const auto found = std::lower_bound(members_.begin(), members_.end(), entry);
  return found != members_.end() && *found == entry ? static_cast<int32_t>(found - members_.begin()) : -1;
}

bool JoinTable::FSide(const tfigura& figure) const {
  if (!Pending(figure)) return false;
  return !inside_ || figure.parent == context_.parent;
}

bool JoinTable::GSide(const FigureList& figures, int32_t g) const {
  const tfigura& figure = *figures[static_cast<size_t>(g)];
  if (!figure.is_contour || Pending(figure)) return false;
  return !inside_ || figure.parent == context_.parent || g == context_.parent;
}

void JoinTable::AddTarget(const FigureList& figures, int32_t member) {
  const auto m = static_cast<size_t>(member);
  if (is_target_[m] || Box(member).empty) return;
  is_target_[m] = 1;
  const int32_t entry = members_[m];
  const tfigura& target = *figures[static_cast<size_t>(entry)];
  // The global joins never end on a closed start figure.
  if (!inside_ && entry == context_.start_figure && target.closed) return;
  // Nor from a figure to a deeper one: a target deeper than every pending figure serves none of them, and its
  // neighbour list is not worth asking for.
  if (!inside_ && target.depth > pending_->MaxDepth()) return;
  const bool closed_neighbour_target = neighbour_variant_ && !target.open;
  if (closed_neighbour_target && context_.neighbours != nullptr) {
    // A closed target meets the closed figures of its neighbour list directly; the open ones come by the search.
    const std::span<const int32_t> listed = context_.neighbours->Of(entry);
    listed_.assign(listed.begin(), listed.end());  // offers look lists up too, which may move this one
    for (const int32_t f : listed_) {
      const int32_t fm = MemberOf(f);
      if (fm < 0) continue;
      const int32_t item = item_of_[static_cast<size_t>(fm)];
      if (item >= 0 && pending_->Waiting(item) && !figures[static_cast<size_t>(f)]->open) Propose(figures, fm, member);
    }
  }
  if (pending_->AnyWaiting(closed_neighbour_target)) Push({0, -1, member, -1});
}

void JoinTable::Widen(const FigureList& figures, const Step& search) {
  const auto g = static_cast<size_t>(search.g);
  const tfigura& target = *figures[static_cast<size_t>(members_[g])];
  // A closed target of a neighbour variant met its closed figures through its list; its rings find open ones only
  // (which Propose's filter relies on).
  const bool open_only = neighbour_variant_ && !target.open;
  // A global join never goes from a figure to a deeper one.
  const int32_t min_depth = inside_ ? INT32_MIN : target.depth;
  int64_t radius = 0;
  if (search.radius < 0) {
    // A first ring as wide as the searches of this table have had to go: as the cheapest cost rises, every target
    // widens to about the same reach, one walk of the tree per ring. The hint is at most a few typical sides, so a
    // first ring holds a bounded share of the figures around the target even after one search went far.
    radius = std::max(pending_->TypicalSide(), reach_hint_);
  } else {
    radius = std::min(kWidestRadius, 2 * search.radius);
    reach_hint_ = std::max(reach_hint_, std::min(radius, kHintSides * pending_->TypicalSide()));
  }
  const int64_t high2 = CostTimes(radius, radius);
  const int64_t beyond2 = pending_->VisitRing(
      Box(search.g), slack_, search.Covered2(), high2, open_only, min_depth,
      [&](int32_t item) { Propose(figures, member_of_item_[static_cast<size_t>(item)], search.g); }, item_of_[g]);
  // Nothing the target may serve waits beyond the ring, now or later (figures only ever stop waiting).
  if (beyond2 == PendingTree::kNoneBeyond || high2 >= kCostCeiling || radius >= kWidestRadius) return;
  // The next ring waits until a pair could cost as little as the nearest figure beyond this one. When the figures
  // near the target have all joined, its next ring is due only once the cheapest cost reaches one still waiting,
  // not at each doubling of its radius. The rings still double from where they are: jumping to that gap planned
  // the large DXF drawings slower.
  const int32_t mark = std::min<int32_t>(least_mark_[g], min_item_mark_);
  Push({CostBoundOfGapSquared(beyond2, context_.variant, mark), -1, search.g, radius});
}

void JoinTable::Push(const Step& step) {
  if (step.f < 0) {
    rings_.push_back(step);
    std::push_heap(rings_.begin(), rings_.end(), std::greater<>{});
    return;
  }
  if (steps_.size() == steps_.capacity() && steps_.size() >= 1024) {
    // Full: the spent steps make room before the heap doubles (old and new storage at once). Growing still when
    // they free less than half keeps this to once per half of the storage filled: each drop reads every step.
    DropSpentSteps();
    if (steps_.size() > steps_.capacity() / 2) steps_.reserve(2 * steps_.capacity());
  }
  steps_.push_back(step);
  std::push_heap(steps_.begin(), steps_.end(), std::greater<>{});
}

bool JoinTable::CouldBeat(int32_t f, int32_t g, int64_t bound) const {
  const JoinPair& best = BestOf(f);
  if (!Found(best)) return true;
  return bound < best.cost || (bound == best.cost && members_[static_cast<size_t>(g)] < best.g_figure);
}

void JoinTable::Propose(const FigureList& figures, int32_t f, int32_t g) {
  int64_t bound = PairCostBound(Box(f), Box(g), context_.variant, PairMark(f, g));
  if (!CouldBeat(f, g, bound)) return;
  if (!PassesFilter(figures, filter_context_, members_[static_cast<size_t>(f)], members_[static_cast<size_t>(g)])) {
    return;
  }
  if (bound == 0) bound = RingBound(figures, f, g);
  if (!CouldBeat(f, g, bound)) return;
  // A pair the cheapest cost found so far has already reached would most likely be measured before the search
  // ends. A small one is measured now, for less than putting it off costs; a large one is still put off, as F may
  // find a cheaper pair first and spare the measurement.
  if (!kept_.empty() && bound <= kept_.top().cost && SmallPair(figures, f, g)) {
    Measure(figures, f, g);
  } else {
    Push({bound, f, g, 0});
  }
}

int64_t JoinTable::RingBound(const FigureList& figures, int32_t f, int32_t g) {
  if (spread_of_.empty()) spread_of_.assign(members_.size(), -1);
  int32_t& slot = spread_of_[static_cast<size_t>(g)];
  if (slot < 0) {
    slot = static_cast<int32_t>(spreads_.size());
    spreads_.push_back({});
  }
  Spread& spread = spreads_[static_cast<size_t>(slot)];
  const auto distance = [](const TPlotPoint& p, double x, double y) {
    const double dx = p.x - x, dy = p.y - y;
    return std::sqrt(dx * dx + dy * dy);
  };
  const PointBox& box = Box(g);
  const double centre_x = (static_cast<double>(box.min_x) + box.max_x) / 2;
  const double centre_y = (static_cast<double>(box.min_y) + box.max_y) / 2;
  if (spread.most < 0.0) {
    spread = {1e300, 0.0};
    const tfigura& gg = *figures[static_cast<size_t>(members_[static_cast<size_t>(g)])];
    for (const int32_t v : Vertices(figures, g, true)) {
      const double d = distance(gg.points[static_cast<size_t>(v)], centre_x, centre_y);
      spread.least = std::min(spread.least, d);
      spread.most = std::max(spread.most, d);
    }
  }
  if (spread.least > spread.most) return 0;  // no listed vertex
  const tfigura& ff = *figures[static_cast<size_t>(members_[static_cast<size_t>(f)])];
  double least = 1e300, most = 0.0;
  for (const int32_t v : Vertices(figures, f, false)) {
    const double d = distance(ff.points[static_cast<size_t>(v)], centre_x, centre_y);
    least = std::min(least, d);
    most = std::max(most, d);
  }
  if (least > most) return 0;
  // A unit off for the rounding of square roots, and the shifts of the inside-parent full join (at most 3 on each
  // axis, under 4.25 apart).
  const double apart = std::max(least - spread.most, spread.least - most) - 1.0 - (slack_ > 0 ? 4.25 : 0.0);
  if (apart <= 0.0) return 0;
  const auto whole = static_cast<int64_t>(std::min(apart, 4.0e9));
  return CostBoundOfGapSquared(GapsSquared(whole, 0), context_.variant, PairMark(f, g));
}

void JoinTable::DropSpentSteps() {
  // A put-off measurement is spent once F has joined or found a pair its bound cannot beat.
  std::erase_if(steps_, [this](const Step& step) {
    return step.f >= 0 && (!pending_->Waiting(item_of_[static_cast<size_t>(step.f)]) || !CouldBeat(step.f, step.g, step.bound));
  });
  std::make_heap(steps_.begin(), steps_.end(), std::greater<>{});
}

void JoinTable::CacheFlagged(const FigureList& figures, int32_t member, bool as_g) {
  const int side = as_g ? 1 : 0;
  const size_t slot = ListSlot(member, as_g);
  if (vertex_count_[side][slot] >= 0) return;
  std::vector<int32_t>& list = scratch_[side];
  list.clear();
  AppendVariantVertices(*figures[static_cast<size_t>(members_[static_cast<size_t>(member)])], context_, as_g, list);
  if (list.size() > block_room_) {
    constexpr size_t kBlockEntries = size_t{1} << 16;
    block_room_ = std::max(kBlockEntries, list.size());
    vertex_blocks_.push_back(std::make_unique_for_overwrite<int32_t[]>(block_room_));
    block_free_ = vertex_blocks_.back().get();
  }
  std::copy(list.begin(), list.end(), block_free_);
  vertex_start_[side][slot] = block_free_;
  vertex_count_[side][slot] = static_cast<int32_t>(list.size());
  block_free_ += list.size();
  block_room_ -= list.size();
}

std::span<const int32_t> JoinTable::Vertices(const FigureList& figures, int32_t member, bool as_g) {
  const auto m = static_cast<size_t>(member);
  if (neighbour_variant_) {
    const int side = as_g ? 1 : 0;
    CacheFlagged(figures, member, as_g);
    const size_t slot = ListSlot(member, as_g);
    return {vertex_start_[side][slot], static_cast<size_t>(vertex_count_[side][slot])};
  }
  // The full variants sample every k-th vertex: cheap to list again, so only the neighbour variants keep lists.
  std::vector<int32_t>& list = scratch_[as_g ? 1 : 0];
  list.clear();
  AppendVariantVertices(*figures[static_cast<size_t>(members_[m])], context_, as_g, list);
  return list;
}

void JoinTable::Measure(const FigureList& figures, int32_t f, int32_t g) {
  JoinPair& best = BestOf(f);
  const int32_t f_entry = members_[static_cast<size_t>(f)];
  const int32_t g_entry = members_[static_cast<size_t>(g)];
  // Only a pair Better than F's best is kept: below its cost, or at it with an earlier G.
  const int64_t limit = !Found(best) ? kBestCostStart : best.cost + (g_entry < best.g_figure ? 1 : 0);
  const std::optional<JoinPair> pair =
      CheapestVertexPair(figures, context_, f_entry, g_entry, Vertices(figures, f, false), Vertices(figures, g, true),
                         &Box(g), limit);
  if (!pair) return;
  if (!Found(best) || Better(*pair, best)) {
    best = *pair;
    kept_.push({pair->cost, f});
  }
}

std::optional<JoinPair> JoinTable::Best(const FigureList& figures) {
  if (!pending_->AnyWaiting(false)) {
    // Every pair needs a waiting F: what is put off can find nothing, however many targets still have rings due.
    steps_.clear();
    rings_.clear();
    kept_ = {};
    return std::nullopt;
  }
  for (;;) {
    while (!kept_.empty()) {
      const Kept& top = kept_.top();
      const auto m = static_cast<size_t>(top.f);
      const bool current = pending_->Waiting(item_of_[m]) && Found(BestOf(top.f)) && BestOf(top.f).cost == top.cost;
      if (current) break;
      kept_.pop();
    }
    // Work put off until a bound the best cost has reached may still find a cheaper pair (or one of the same cost
    // with an earlier figure): do it first.
    const auto due = [this](const std::vector<Step>& heap) {
      return !heap.empty() && (kept_.empty() || heap.front().bound <= kept_.top().cost);
    };
    const bool pair_due = due(steps_), ring_due = due(rings_);
    if (!pair_due && !ring_due) break;
    // The least of both heaps' first steps: the order one heap of both would keep.
    std::vector<Step>& heap = pair_due && (!ring_due || rings_.front() > steps_.front()) ? steps_ : rings_;
    std::pop_heap(heap.begin(), heap.end(), std::greater<>{});
    const Step step = heap.back();
    heap.pop_back();
    if (step.f < 0) {
      Widen(figures, step);
    } else if (pending_->Waiting(item_of_[static_cast<size_t>(step.f)]) && CouldBeat(step.f, step.g, step.bound)) {
      // What the filter passed when the pair was proposed still holds: F still waits, G stays joined, and
      // nothing else it reads changes while the table lives.
      Measure(figures, step.f, step.g);
    }
  }
  if (kept_.empty()) return std::nullopt;
  return BestOf(kept_.top().f);
}

void JoinTable::Joined(const FigureList& figures, int32_t f) {
  const int32_t m = MemberOf(f);
  if (m < 0) return;
  const int32_t item = item_of_[static_cast<size_t>(m)];
  if (item >= 0) pending_->Remove(item);
  if (GSide(figures, f)) AddTarget(figures, m);
}

}  // namespace varnholt
