#include "planner/fast_plan_search.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "geometry/vertex_cells.h"
#include "planner/box_grid.h"
#include "planner/join_table.h"
#include "planner/lead_in_touches.h"
#include "planner/neighbour_lists.h"
#include "planner/nesting.h"
#include "planner/plan_threads.h"
#include "planner/vertex_nearness.h"

namespace varnholt {
namespace {

bool Pending(const tfigura& figure) { return figure.plan_flag_2 != 0; }

// Gives a vector's storage back (assigning {} would only empty it and keep its capacity).
template <class T>
void Release(std::vector<T>& values) {
  std::vector<T>().swap(values);
}

// Whether the entries' boxes come within the touch tolerance of few others: every eighth entry is asked, its own
// box counted, and the count stops once it is more than 24 per entry asked. Drawings of separate figures, letters
// with holes and chains of touching squares find 1.5 to 12; outlines of common edges under long profiles 50 and
// more, concentric outlines thousands.
bool FewBoxesNear(const std::vector<PointBox>& boxes) {
  constexpr size_t kStep = 8, kNearPerEntry = 24;
  size_t asked = 0;
  for (size_t e = 0; e < boxes.size(); e += kStep) asked += boxes[e].empty ? 0u : 1u;
  if (asked == 0) return true;
  const size_t limit = kNearPerEntry * asked;
  BoxGrid grid(boxes, kTouchTolerance);
  size_t near = 0;
  for (size_t e = 0; e < boxes.size() && near <= limit; e += kStep) {
    if (e % 4096 == 0) PlanningTick();
    grid.ForEachOverlapping(boxes[e], [&](int32_t) { ++near; });
  }
  return near <= limit;
}

class FastSearch final : public PlanSearch {
 public:
  explicit FastSearch(TouchListing listing) : listing_(listing) {}

  int32_t Nest(FigureList& figures) override {
    // A plan begins here: what an earlier plan with this search measured may no longer hold.
    tables_.clear();  // they read the boxes below
    Release(children_);
    children_entries_ = -1;
    boxes_ = EntryBoxes{};
    ReleaseTouches();
    return NestFigures(figures, boxes_.Settled(figures));
  }

  void PrepareTouches(const FigureList& figures) override {
    ReleaseTouches();
    // Where the boxes come near few others, touching reaches few entries and the lists are cheap to find from the
    // boxes when an entry is first asked (as for an entry appended later): the index of every vertex would cost
    // more than it saves.
    if (listing_ == TouchListing::kWhenAsked ||
        (listing_ == TouchListing::kByDrawing && FewBoxesNear(boxes_.Settled(figures)))) {
      // The lead-in marks still come now, before the turning angles take their room, through an index of the open
      // figures' vertices alone.
      if (std::any_of(figures.begin(), figures.end(), [](const auto& f) { return f->open != 0; })) {
        lead_ins_ = LeadInTouches(figures, boxes_.Settled(figures));
        lead_ins_ready_ = true;
        lead_ins_entries_ = static_cast<int32_t>(figures.size());
      }
      return;
    }
    std::vector<uint8_t> connector(figures.size());
    for (size_t e = 0; e < figures.size(); ++e) connector[e] = IsConnectorEntry(*figures[e]) ? 1 : 0;
    // Each piece of entries finds their touches into its own list, the pieces on several threads; the lists are
    // put together in the pieces' order.
    struct Piece {
      std::vector<Touching> touches;
    };
    const size_t count = figures.size();
    std::vector<Piece> parts(std::min<size_t>(4 * static_cast<size_t>(PlanningThreads()), std::max<size_t>(count, 1)));
    touch_lists_.assign(count, TouchList{});
    // The entries in order of place, so that one entry's lookups meet the cells the one before it read.
    const std::vector<int32_t> order = EntriesByPlace(boxes_.Settled(figures));
    {
      // Every vertex by cells, for as long as it takes to find the lead-in marks and every entry's touches: the
      // searches that follow read what was found here.
      const VertexCells cells(figures);
      prepared_ = lead_ins_entries_ = cells.entries();
      // The lead-in marks come from the same lookups as the touches (an open entry's row, every other an empty
      // one).
      lead_ins_ready_ = std::any_of(figures.begin(), figures.end(), [](const auto& f) { return f->open != 0; });
      if (lead_ins_ready_) lead_ins_.assign(count, {});
      ForEachPiece(count, parts.size(), [&](size_t p, size_t begin, size_t end) {
        std::vector<Touching>& touches = parts[p].touches;
        std::vector<Touching> found;
        for (size_t k = begin; k < end; ++k) {
          const auto f = static_cast<size_t>(order[k]);
          std::vector<uint8_t>* marks = lead_ins_ready_ && figures[f]->open ? &lead_ins_[f] : nullptr;
          // A connector's vertices move as it touches: it has no list, and is in none.
          if (connector[f]) {
            if (marks != nullptr) MarkLeadIns(figures, cells, f, *marks);
            continue;
          }
          TouchList& list = touch_lists_[f];
          list.first = list.next = static_cast<int32_t>(touches.size());
          TouchesOf(figures, cells, static_cast<int32_t>(f), connector, found, touches, marks);
          list.end = static_cast<int32_t>(touches.size());
        }
      });
    }
    // The pieces' lists one after the other, once the index is gone, whose room they take.
    size_t total = 0;
    for (const Piece& part : parts) total += part.touches.size();
    touches_.reserve(total);
    for (size_t p = 0, k = 0; p < parts.size(); ++p) {
      const auto offset = static_cast<int32_t>(touches_.size());
      for (const size_t end = count * (p + 1) / parts.size(); k < end; ++k) {
        TouchList& list = touch_lists_[static_cast<size_t>(order[k])];
        if (list.first < 0) continue;
        list.first += offset;
        list.next += offset;
        list.end += offset;
      }
      touches_.insert(touches_.end(), parts[p].touches.begin(), parts[p].touches.end());
      Release(parts[p].touches);
    }
  }

  std::vector<std::vector<uint8_t>> OpenVertexTouches(const FigureList& figures) override {
    if (std::none_of(figures.begin(), figures.end(), [](const auto& f) { return f->open != 0; })) {
      return std::vector<std::vector<uint8_t>>(figures.size());
    }
    if (lead_ins_ready_ && lead_ins_entries_ == static_cast<int32_t>(figures.size())) {
      lead_ins_ready_ = false;
      return std::move(lead_ins_);
    }
    return LeadInTouches(figures, VertexCells(figures));
  }

  bool TouchEntries(FigureList& figures, int32_t a, int32_t b, TouchPair& pair) override {
    if (Listed(figures, a) && Listed(figures, b)) {
      // Asked for one A against every B in turn: A's list has them all.
      const TouchList& list = touch_lists_[static_cast<size_t>(a)];
      const auto first = touches_.begin() + list.first, end = touches_.begin() + list.end;
      const auto found = std::lower_bound(first, end, b, [](const Touching& t, int32_t g) { return t.g < g; });
      if (found == end || found->g != b) return false;
      pair = found->pair;
    } else {
      // A connector's vertices move as it touches, and entries appended since the lists were made have none:
      // those pairs are compared as they stand.
      if (!Nearness(figures).TouchPairOf(a, BoxOf(figures, a), b, BoxOf(figures, b), pair)) return false;
    }
    MoveTouchingVertices(*figures[static_cast<size_t>(a)], *figures[static_cast<size_t>(b)], pair);
    return true;
  }

  void BeginTouchPropagation(const FigureList& figures) override {
    // A list holds every entry its entry touches, pending or not, and stays right while neither moves: a list made
    // before serves every propagation, only its place to hand out from begins anew. What is found for entries
    // without a list reads the pending entries of this propagation.
    if (touch_lists_.size() < figures.size()) touch_lists_.resize(figures.size());
    for (int32_t e = 0; e < static_cast<int32_t>(touch_lists_.size()); ++e) {
      TouchList& list = touch_lists_[static_cast<size_t>(e)];
      if (e < prepared_) {
        list.next = list.first;
      } else {
        list = TouchList{};
      }
    }
    pending_grid_.reset();
    // Connectors are in no list: those pending now (a duplicated grid's) are asked about as they stand, once per
    // propagation for each entry, when the entry is first asked.
    pending_connectors_.clear();
    for (size_t e = 0; e < figures.size(); ++e) {
      if (IsConnectorEntry(*figures[e]) && Pending(*figures[e])) pending_connectors_.push_back(static_cast<int32_t>(e));
    }
    Release(connector_touches_);
    connector_lists_.assign(pending_connectors_.empty() ? 0 : figures.size(), TouchList{});
  }

  int32_t FirstTouchedPending(FigureList& figures, int32_t f, TouchPair& pair) override {
    tfigura& ff = *figures[static_cast<size_t>(f)];
    if (IsConnectorEntry(ff)) {
      // A connector's vertices move as it touches: it is asked afresh every time (it has two of them).
      const PointBox box = BoxOf(figures, f);
      VertexNearness& near = Nearness(figures);
      for (const int32_t g : PendingGrid(figures).Overlapping(box)) {
        tfigura& gg = *figures[static_cast<size_t>(g)];
        if (g == f || !Pending(gg) || !near.TouchPairOf(f, box, g, BoxOf(figures, g), pair)) continue;
        MoveTouchingVertices(ff, gg, pair);
        return g;
      }
      return -1;
    }
    // Every other entry keeps its points, and no entry becomes pending while touches propagate: the entries F
    // touches, with their pairs, are handed out in list order while they are pending.
    TouchList& list = touch_lists_[static_cast<size_t>(f)];
    if (list.first < 0) {
      // An entry appended since the lists were made (a frame): its pending touches, found by their boxes.
      const PointBox box = BoxOf(figures, f);
      VertexNearness& near = Nearness(figures);
      list.first = list.next = static_cast<int32_t>(touches_.size());
      for (const int32_t g : PendingGrid(figures).Overlapping(box)) {
        TouchPair found;
        if (g != f && Pending(*figures[static_cast<size_t>(g)]) &&
            near.TouchPairOf(f, box, g, BoxOf(figures, g), found)) {
          touches_.push_back({g, found});
        }
      }
      list.end = static_cast<int32_t>(touches_.size());
    }
    TouchList* extra = nullptr;
    if (!connector_lists_.empty() && f < prepared_) {
      extra = &connector_lists_[static_cast<size_t>(f)];
      if (extra->first < 0) {
        const PointBox box = BoxOf(figures, f);
        VertexNearness& near = Nearness(figures);
        extra->first = extra->next = static_cast<int32_t>(connector_touches_.size());
        for (const int32_t c : pending_connectors_) {
          TouchPair found;
          if (c != f && Pending(*figures[static_cast<size_t>(c)]) &&
              near.TouchPairOf(f, box, c, BoxOf(figures, c), found)) {
            connector_touches_.push_back({c, found});
          }
        }
        extra->end = static_cast<int32_t>(connector_touches_.size());
      }
    }
    // The next pending entry of the list and of the connectors F touches, the first of the two in list order.
    const auto pending_at = [&](const std::vector<Touching>& touches, TouchList& at) -> const Touching* {
      while (at.next < at.end && !Pending(*figures[static_cast<size_t>(touches[static_cast<size_t>(at.next)].g)])) {
        ++at.next;
      }
      return at.next < at.end ? &touches[static_cast<size_t>(at.next)] : nullptr;
    };
    const Touching* listed = pending_at(touches_, list);
    const Touching* connector = extra != nullptr ? pending_at(connector_touches_, *extra) : nullptr;
    if (listed == nullptr && connector == nullptr) return -1;
    const Touching* touching = listed;
    if (connector != nullptr && (listed == nullptr || connector->g < listed->g)) {
      touching = connector;
      ++extra->next;
    } else {
      ++list.next;
    }
    pair = touching->pair;
    MoveTouchingVertices(ff, *figures[static_cast<size_t>(touching->g)], pair);
    return touching->g;
  }

  std::unique_ptr<NeighbourLists> Neighbours(const FigureList& figures) override {
    return MakeNeighbourLists(figures);
  }

  void Reset() override {
    tables_.clear();
    nearness_.reset();
  }

  std::optional<JoinPair> FindJoin(const FigureList& figures, const JoinContext& context) override {
    // The joins come after every touch search.
    ReleaseTouches();
    for (auto& table : tables_) {
      if (table->context().variant == context.variant && table->context().parent == context.parent) {
        return table->Best(figures);
      }
    }
    const bool global = context.variant == JoinVariant::kGlobalNeighbours || context.variant == JoinVariant::kGlobalFull;
    if (global) {
      // Entries change their points only by touching, which never happens while join tables live: the two global
      // tables read the boxes of one store.
      const std::vector<PointBox>& boxes = boxes_.Settled(figures);
      // The parents are filled before the global joins: their lists are no longer needed.
      Release(children_);
      tables_.push_back(std::make_unique<JoinTable>(figures, context, children_, &boxes_, &boxes));
    } else {
      tables_.push_back(std::make_unique<JoinTable>(figures, context, Children(figures), &boxes_));
    }
    return tables_.back()->Best(figures);
  }

  void Joined(const FigureList& figures, int32_t f) override {
    for (auto& table : tables_) table->Joined(figures, f);
  }

 private:
  struct Touching {
    int32_t g;
    TouchPair pair;
  };
  // An entry's pending touched entries: touches_[first, end), handed out from next; first < 0 until found.
  struct TouchList {
    int32_t first = -1, next = -1, end = -1;
  };

  PointBox BoxOf(const FigureList& figures, int32_t e) { return boxes_.Of(figures, e); }

  // Drops what the touch searches found.
  void ReleaseTouches() {
    prepared_ = lead_ins_entries_ = 0;
    lead_ins_ready_ = false;
    Release(lead_ins_);
    Release(touch_lists_);
    Release(touches_);
    pending_grid_.reset();
    Release(pending_connectors_);
    Release(connector_lists_);
    Release(connector_touches_);
  }

  // Whether entry e has a list of the entries it touches.
  bool Listed(const FigureList& figures, int32_t e) const {
    return e < prepared_ && !IsConnectorEntry(*figures[static_cast<size_t>(e)]);
  }

  // The grid of the pending entries' boxes, for the entries without a list; made when first needed in a
  // propagation.
  BoxGrid& PendingGrid(const FigureList& figures) {
    if (!pending_grid_) {
      std::vector<PointBox> boxes(figures.size());
      for (size_t i = 0; i < figures.size(); ++i) {
        if (Pending(*figures[i])) boxes[i] = BoxOf(figures, static_cast<int32_t>(i));
      }
      pending_grid_ = std::make_unique<BoxGrid>(boxes, kTouchTolerance);
    }
    return *pending_grid_;
  }

  // Appends to out, g ascending, every entry g of the index, other than f, that is no connector and one of whose
  // vertices lies within the touch tolerance of one of f's, with Touch(f, g)'s pair: f's last vertex that touches,
  // and g's last vertex near it. `found` is scratch for the vertex pairs met. With marks, also f's lead-in marks
  // (f is open): 1 for each vertex within the lead-in tolerance of a vertex of any other entry.
  static void TouchesOf(const FigureList& figures, const VertexCells& cells, int32_t f,
                        const std::vector<uint8_t>& connector, std::vector<Touching>& found,
                        std::vector<Touching>& out, std::vector<uint8_t>* marks) {
    found.clear();
    const uint32_t own_first = cells.FirstId(f), own_end = cells.FirstId(f + 1);
    const std::vector<TPlotPoint>& points = figures[static_cast<size_t>(f)]->points;
    if (marks != nullptr && !points.empty()) marks->assign(points.size(), 0);
    for (size_t v = 0; v < points.size(); ++v) {
      const TPlotPoint p = points[v];
      cells.Near(p.x, p.y, [&](const VertexCells::Vertex& q) {
        if (q.id >= own_first && q.id < own_end) return false;
        const int64_t dx = int64_t{q.x} - p.x, dy = int64_t{q.y} - p.y;
        if (marks != nullptr && dx * dx + dy * dy <= kLeadInToleranceSquared) (*marks)[v] = 1;
        if (std::llabs(dx) > kTouchTolerance || std::llabs(dy) > kTouchTolerance) return false;
        const int32_t g = cells.EntryOf(q.id);
        if (!connector[static_cast<size_t>(g)]) {
          found.push_back({g, {static_cast<int32_t>(v), static_cast<int32_t>(q.id - cells.FirstId(g))}});
        }
        return false;
      });
    }
    // By entry, and within an entry the pair to keep last: the largest vertex of f, then of g.
    std::sort(found.begin(), found.end(), [](const Touching& t, const Touching& u) {
      return t.g != u.g ? t.g < u.g : (t.pair.a != u.pair.a ? t.pair.a < u.pair.a : t.pair.b < u.pair.b);
    });
    for (size_t k = 0; k < found.size(); ++k) {
      if (k + 1 == found.size() || found[k + 1].g != found[k].g) out.push_back(found[k]);
    }
  }

  // The entries by parent, as nesting left them: built when an inside join first asks, over the entries there
  // were then (the connectors the joins make later never count), and built the same way again if asked after
  // the global joins released them.
  const std::vector<std::vector<int32_t>>& Children(const FigureList& figures) {
    if (!children_.empty()) return children_;
    if (children_entries_ < 0) children_entries_ = static_cast<int64_t>(figures.size());
    const auto count = static_cast<size_t>(children_entries_);
    children_.resize(count);
    for (size_t i = 0; i < count; ++i) {
      const int32_t p = figures[i]->parent;
      if (p >= 0 && static_cast<size_t>(p) < count) children_[static_cast<size_t>(p)].push_back(static_cast<int32_t>(i));
    }
    return children_;
  }

  VertexNearness& Nearness(const FigureList& figures) {
    if (!nearness_) nearness_ = std::make_unique<VertexNearness>(figures);
    return *nearness_;
  }

  TouchListing listing_;
  // The entries [0, prepared_) have their touch lists found; 0 before. The lead-in marks, when ready, are those of
  // the first lead_ins_entries_ entries.
  int32_t prepared_ = 0;
  int32_t lead_ins_entries_ = 0;
  bool lead_ins_ready_ = false;
  std::vector<std::vector<uint8_t>> lead_ins_;
  std::unique_ptr<BoxGrid> pending_grid_;
  // The connectors pending when this propagation began, and by entry the ones it touches (made when the entry is
  // first asked in the propagation).
  std::vector<int32_t> pending_connectors_;
  std::vector<TouchList> connector_lists_;
  std::vector<Touching> connector_touches_;
  std::vector<TouchList> touch_lists_;
  std::vector<Touching> touches_;
  std::unique_ptr<VertexNearness> nearness_;
  EntryBoxes boxes_;
  std::vector<std::unique_ptr<JoinTable>> tables_;
  std::vector<std::vector<int32_t>> children_;
  int64_t children_entries_ = -1;  // the entries children_ covers, -1 before it is first built
};

}  // namespace

std::unique_ptr<PlanSearch> MakeFastPlanSearch(TouchListing listing) { return std::make_unique<FastSearch>(listing); }

}  // namespace varnholt
