#include "project/fast_plan_search.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "project/box_grid.h"
#include "project/join_table.h"
#include "project/lead_in_touches.h"
#include "project/nesting.h"
#include "project/neighbour_lists.h"
#include "project/vertex_nearness.h"

namespace varnholt {
namespace {

bool Pending(const tfigura& figure) { return figure.plan_flag_2 != 0; }

// Gives a vector's storage back (assigning {} would only empty it and keep its capacity).
template <class T>
void Release(std::vector<T>& values) {
  std::vector<T>().swap(values);
}

class FastSearch final : public PlanSearch {
 public:
  int32_t Nest(FigureList& figures) override {
    // A plan begins here: what an earlier plan with this search measured may no longer hold.
    tables_.clear();  // they read the boxes below
    Release(children_);
    children_entries_ = -1;
    boxes_ = EntryBoxes{};
    return NestFigures(figures, boxes_.Settled(figures));
  }

  std::vector<std::vector<uint8_t>> OpenVertexTouches(const FigureList& figures) override {
    if (std::none_of(figures.begin(), figures.end(), [](const auto& f) { return f->open != 0; })) {
      return std::vector<std::vector<uint8_t>>(figures.size());
    }
    std::vector<PointBox> boxes(figures.size());
    for (size_t e = 0; e < figures.size(); ++e) boxes[e] = BoxOf(figures, static_cast<int32_t>(e));
    return LeadInTouches(figures, boxes);
  }

  bool TouchEntries(FigureList& figures, int32_t a, int32_t b, TouchPair& pair) override {
    if (!Nearness(figures).TouchPairOf(a, BoxOf(figures, a), b, BoxOf(figures, b), pair)) return false;
    MoveTouchingVertices(*figures[static_cast<size_t>(a)], *figures[static_cast<size_t>(b)], pair);
    return true;
  }

  void BeginTouchPropagation(const FigureList& figures) override {
    std::vector<PointBox> boxes(figures.size());
    for (size_t i = 0; i < figures.size(); ++i) {
      if (Pending(*figures[i])) boxes[i] = BoxOf(figures, static_cast<int32_t>(i));
    }
    pending_grid_ = std::make_unique<BoxGrid>(boxes, kTouchTolerance);
    touches_.clear();
    touch_lists_.assign(figures.size(), TouchList{});
  }

  int32_t FirstTouchedPending(FigureList& figures, int32_t f, TouchPair& pair) override {
    tfigura& ff = *figures[static_cast<size_t>(f)];
    VertexNearness& near = Nearness(figures);
    const PointBox box = BoxOf(figures, f);
    if (IsConnectorEntry(ff)) {
      // A connector's vertices move as it touches: it is asked afresh every time (it has two of them).
      for (const int32_t g : pending_grid_->Overlapping(box)) {
        tfigura& gg = *figures[static_cast<size_t>(g)];
        if (g == f || !Pending(gg) || !near.TouchPairOf(f, box, g, BoxOf(figures, g), pair)) continue;
        MoveTouchingVertices(ff, gg, pair);
        return g;
      }
      return -1;
    }
    // Every other entry keeps its points, and a pending entry keeps its own until it is joined: the pending
    // entries F touches, with their pairs, are found once and handed out in list order.
    TouchList& list = touch_lists_[static_cast<size_t>(f)];
    if (list.first < 0) {
      list.first = list.next = static_cast<int32_t>(touches_.size());
      for (const int32_t g : pending_grid_->Overlapping(box)) {
        TouchPair found;
        if (g != f && Pending(*figures[static_cast<size_t>(g)]) &&
            near.TouchPairOf(f, box, g, BoxOf(figures, g), found)) {
          touches_.push_back({g, found});
        }
      }
      list.end = static_cast<int32_t>(touches_.size());
    }
    while (list.next < list.end) {
      const Touching& touching = touches_[static_cast<size_t>(list.next++)];
      tfigura& gg = *figures[static_cast<size_t>(touching.g)];
      if (!Pending(gg)) continue;
      pair = touching.pair;
      MoveTouchingVertices(ff, gg, pair);
      return touching.g;
    }
    return -1;
  }

  std::unique_ptr<NeighbourLists> Neighbours(const FigureList& figures) override {
    return MakeNeighbourLists(figures);
  }

  void Reset() override {
    tables_.clear();
    pending_grid_.reset();
    Release(touch_lists_);
    Release(touches_);
    nearness_.reset();
  }

  std::optional<JoinPair> FindJoin(const FigureList& figures, const JoinContext& context) override {
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

  std::unique_ptr<BoxGrid> pending_grid_;
  std::vector<TouchList> touch_lists_;
  std::vector<Touching> touches_;
  std::unique_ptr<VertexNearness> nearness_;
  EntryBoxes boxes_;
  std::vector<std::unique_ptr<JoinTable>> tables_;
  std::vector<std::vector<int32_t>> children_;
  int64_t children_entries_ = -1;  // the entries children_ covers, -1 before it is first built
};

}  // namespace

std::unique_ptr<PlanSearch> MakeFastPlanSearch() { return std::make_unique<FastSearch>(); }

}  // namespace varnholt
