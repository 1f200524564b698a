#include "planner/cut_planner.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "geometry/geometry.h"
#include "geometry/units.h"
#include "geometry/vector_state.h"
#include "planner/crossing_repair.h"
#include "planner/fast_plan_search.h"
#include "planner/join_weights.h"
#include "planner/neighbour_lists.h"
#include "planner/plan_geometry.h"
#include "planner/plan_search.h"
#include "planner/plan_threads.h"
#include "services/operator.h"

namespace varnholt {
namespace {

int32_t Clamped(int64_t value) { return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

bool Pending(const tfigura& figure) { return figure.plan_flag_2 != 0; }

// How often the long steps before the joins show progress and let the windows repaint.
constexpr std::chrono::milliseconds kAnswerInterval{100};

class PlanRun {
 public:
  PlanRun(PlannedDrawing& document, PlanSearch& search)
      : doc_(document), figures_(document.figures), search_(search), op_(CurrentOperator()) {}

  PlanOutcome Run();

 private:
  tfigura& At(int32_t index) { return *figures_[static_cast<size_t>(index)]; }
  int32_t Size() const { return static_cast<int32_t>(figures_.size()); }

  void ChooseStart();
  int32_t AppendFrame();
  int32_t AppendMarker();
  void HangOn(int32_t figure, int32_t on, const TouchPair& pair);
  void TouchStart();
  void PropagateTouch();
  void Weigh();
  bool Join(JoinVariant variant, int32_t parent);
  bool StartJoin();
  int32_t AppendConnector(int32_t f, int32_t fv, int32_t g, int32_t gv, int32_t parent);
  // Changes an entry's pending flag, keeping the count of pending entries.
  void SetPending(tfigura& figure, uint8_t pending);
  bool AnyPending() const { return pending_count_ > 0; }
  void ShowProgress();
  // Every so often during the long steps before the joins: the windows are let repaint (input stays queued for
  // the abort checks of the joins).
  void KeepAnswering();
  bool AbortRequested();
  bool FillParents();
  bool JoinGlobally(bool many_entries);
  void ChooseOpenStartEntry();
  void Results();
  void RecomputeSize();

  PlannedDrawing& doc_;
  FigureList& figures_;
  PlanSearch& search_;
  Operator& op_;
  std::unique_ptr<NeighbourLists> neighbours_;
  // What the run's vertex-pair searches keep between searches; it goes when the run ends.
  VertexPairScratch pair_scratch_;
  PlanOutcome outcome_;
  // The entries with plan_flag_2 set, kept as they change so that progress and the loops' tests cost nothing.
  int64_t pending_count_ = 0;
  // The percentage the status panel shows, -1 before the first; the text is set only when it changes, as a
  // recording operator would otherwise keep one text per join.
  int64_t shown_percent_ = -1;
  std::chrono::steady_clock::time_point next_answer_ = std::chrono::steady_clock::now() + kAnswerInterval;
};

void PlanRun::RecomputeSize() {
  doc_.project_width = Clamped(int64_t{doc_.project_max_x} - doc_.project_min_x);
  doc_.project_height = Clamped(int64_t{doc_.project_max_y} - doc_.project_min_y);
}

int32_t PlanRun::AppendFrame() {
  const int32_t x0 = Clamped(int64_t{doc_.project_min_x} - kFrameMargin);
  const int32_t y0 = Clamped(int64_t{doc_.project_min_y} - kFrameMargin);
  const int32_t x1 = Clamped(int64_t{doc_.project_max_x} + kFrameMargin);
  const int32_t y1 = Clamped(int64_t{doc_.project_max_y} + kFrameMargin);
  auto frame = std::make_unique<tfigura>();
  frame->points = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
  const int32_t index = doc_.AddFigure(std::move(frame));
  tfigura& f = At(index);
  f.kind = kOutlineFrame;
  f.closed = 1;
  f.open = 0;
  f.plan_flag_2 = 0;
  f.depth = 0;
  f.parent = f.link_figure = f.link_point = f.link_aux = -1;
  f.child_count = 0;
  f.length = Clamped(2 * ((int64_t{x1} - x0) + (int64_t{y1} - y0)));
  f.idx_min_x = f.idx_min_y = 0;
  f.idx_max_x = f.idx_max_y = 2;
  f.list_index = index;
  f.origin_x = figures_.front()->origin_x;
  f.origin_y = figures_.front()->origin_y;
  f.vertex_angles.assign(5, TVertexAngle{kOpenEndAngle, 6, 0});
  doc_.project_min_x = x0;
  doc_.project_min_y = y0;
  doc_.project_max_x = x1;
  doc_.project_max_y = y1;
  return index;
}

int32_t PlanRun::AppendMarker() {
  auto marker = std::make_unique<tfigura>();
  marker->points = {{doc_.project_min_x, doc_.project_min_y}, {doc_.project_min_x, doc_.project_min_y}};
  const int32_t index = doc_.AddLacznik(std::move(marker), false);
  tfigura& m = At(index);
  m.kind = kConnector;
  m.plan_flag_2 = 0;
  m.depth = 0;
  m.parent = m.link_figure = m.link_point = m.link_aux = -1;
  m.child_count = 0;
  m.length = 60;
  m.center_x = Clamped((int64_t{doc_.project_min_x} + doc_.project_max_x) / 2);
  m.center_y = Clamped((int64_t{doc_.project_min_y} + doc_.project_max_y) / 2);
  m.idx_min_x = m.idx_min_y = 0;
  m.idx_max_x = m.idx_max_y = 1;
  m.list_index = index;
  m.origin_x = figures_.front()->origin_x;
  m.origin_y = figures_.front()->origin_y;
  m.vertex_angles.assign(2, TVertexAngle{kOpenEndAngle, 6, 1});
  return index;
}

void PlanRun::ChooseStart() {
  doc_.single_open_figure = Size() == 1 && figures_.front()->open;
  doc_.own_start = false;
  int32_t outermost = 0;
  for (int32_t i = 0; i < Size(); ++i) {
    if (At(i).depth == 0) {
      ++outermost;
      doc_.start_figure = i;
    }
  }
  if (outermost == 1 && At(doc_.start_figure).points.size() == 5) {
    doc_.own_start = true;
    return;
  }
  const std::vector<std::vector<uint8_t>> touches = search_.OpenVertexTouches(figures_);
  const TPlotPoint corner{doc_.project_min_x, doc_.project_min_y};
  double best = 1e21;
  bool lead_in = false;
  for (int32_t e = 0; e < Size(); ++e) {
    tfigura& f = At(e);
    if (!f.open || f.points.empty()) continue;
    const auto& t = touches[static_cast<size_t>(e)];
    const size_t n = t.size();
    const bool touch_after_first = std::find(t.begin() + 1, t.end(), uint8_t{1}) != t.end();
    const bool touch_before_last = std::find(t.begin(), t.end() - 1, uint8_t{1}) != t.end() - 1;
    bool is_lead_in = false;
    if (!t[0] && touch_after_first) {
      f.link_aux = 0;
      is_lead_in = true;
    } else if (!t[n - 1] && touch_before_last) {
      f.link_aux = static_cast<int32_t>(n - 1);
      is_lead_in = true;
    }
    if (!is_lead_in) continue;
    lead_in = true;
    const double d = Distance(TPlotPoint{f.min_x, f.min_y}, corner);
    if (d < best) {
      best = d;
      doc_.start_figure = e;
    }
  }
  const auto deepen = [&] {
    for (auto& f : figures_) ++f->depth;
  };
  if (lead_in || doc_.single_open_figure) {
    deepen();
  } else if (doc_.add_frame) {
    doc_.start_figure = AppendFrame();
    doc_.own_start = true;
    doc_.frame_added = true;
    RecomputeSize();
    deepen();
  } else {
    doc_.start_figure = AppendMarker();
    doc_.own_start = true;
    doc_.frame_added = false;
    RecomputeSize();
    deepen();
    StartJoin();
  }
}

void PlanRun::HangOn(int32_t figure, int32_t on, const TouchPair& pair) {
  tfigura& e = At(figure);
  e.link_figure = on;
  e.link_point = pair.a;
  e.link_aux = pair.b;
  SetPending(e, 0);
}

void PlanRun::TouchStart() {
  const int32_t start = doc_.start_figure;
  for (int32_t e = 0; e < Size(); ++e) {
    if (e % 4096 == 0) PlanningTick();
    if (e == start) continue;
    TouchPair pair;
    if (search_.TouchEntries(figures_, start, e, pair)) HangOn(e, start, pair);
  }
}

void PlanRun::PropagateTouch() {
  search_.BeginTouchPropagation(figures_);
  // The entries a pass still scans: joined and still active (an entry that touches no pending one is inactive from
  // then on). No entry becomes pending while touches propagate, and every entry hung on another is joined: a pass
  // goes from one set bit to the next instead of reading every entry, pass after pass.
  const auto count = static_cast<size_t>(Size());
  std::vector<uint64_t> scanned((count + 63) / 64, 0);
  const auto set = [&](int32_t e) { scanned[static_cast<size_t>(e) / 64] |= uint64_t{1} << (e % 64); };
  for (int32_t e = 0; e < Size(); ++e) {
    if (!Pending(At(e))) set(e);
  }
  // The first entry scanned at or after e; Size() when none.
  const auto next = [&](int32_t e) {
    for (size_t word = static_cast<size_t>(e) / 64; word < scanned.size(); ++word) {
      uint64_t bits = scanned[word];
      if (word == static_cast<size_t>(e) / 64) bits &= ~uint64_t{0} << (e % 64);
      if (bits != 0) return static_cast<int32_t>(word * 64 + static_cast<size_t>(__builtin_ctzll(bits)));
    }
    return Size();
  };
  bool joined = true;
  while (joined) {
    joined = false;
    for (int32_t i = next(0); i < Size(); i = next(i)) {
      PlanningTick();
      TouchPair pair;
      const int32_t g = search_.FirstTouchedPending(figures_, i, pair);
      if (g < 0) {
        scanned[static_cast<size_t>(i) / 64] &= ~(uint64_t{1} << (i % 64));
        continue;
      }
      HangOn(g, i, pair);
      set(g);
      joined = true;
      if (g <= 1) break;
      i = g;
    }
  }
  search_.Reset();
}

void PlanRun::Weigh() { WeighEntries(figures_); }

int32_t PlanRun::AppendConnector(int32_t f, int32_t fv, int32_t g, int32_t gv, int32_t parent) {
  auto connector = std::make_unique<tfigura>();
  connector->points = {At(g).points[static_cast<size_t>(gv)], At(f).points[static_cast<size_t>(fv)]};
  const int32_t depth = std::max(At(f).depth, At(g).depth);
  const int32_t origin_x = figures_.front()->origin_x, origin_y = figures_.front()->origin_y;
  const int32_t index = doc_.AddLacznik(std::move(connector), false);
  tfigura& c = At(index);
  c.kind = kConnector;
  c.plan_flag_2 = 0;
  c.link_figure = g;
  c.link_point = gv;
  c.link_aux = 0;
  c.child_count = 0;
  c.depth = depth;
  c.parent = parent;
  c.length = NearestInt32Saturated(Distance(c.points[0], c.points[1]));
  c.list_index = index;
  c.origin_x = origin_x;
  c.origin_y = origin_y;
  c.vertex_angles.assign(2, TVertexAngle{kOpenEndAngle, 5, 1});
  return index;
}

bool PlanRun::Join(JoinVariant variant, int32_t parent) {
  JoinContext context;
  context.variant = variant;
  context.parent = parent;
  context.start_figure = doc_.start_figure;
  context.neighbours = neighbours_.get();
  context.pair_scratch = &pair_scratch_;
  const std::optional<JoinPair> best = search_.FindJoin(figures_, context);
  if (!best) return false;
  int32_t f = best->f_vertex, g = best->g_vertex;
  outcome_.repair_steps += RepairCrossings(At(best->f_figure), f, At(best->g_figure), g);
  const bool inside = variant == JoinVariant::kInsideFull || variant == JoinVariant::kInsideNeighbours;
  const int32_t c = AppendConnector(best->f_figure, f, best->g_figure, g, inside ? parent : -1);
  tfigura& joined = At(best->f_figure);
  joined.link_aux = f;
  joined.link_figure = c;
  joined.link_point = 1;
  SetPending(joined, 0);
  ++outcome_.connectors;
  search_.Joined(figures_, best->f_figure);
  return true;
}

bool PlanRun::StartJoin() {
  JoinContext context;
  context.variant = JoinVariant::kStart;
  context.start_figure = doc_.start_figure;
  context.start_vertex = NearestVertex(At(doc_.start_figure), doc_.project_min_x, doc_.project_min_y);
  context.pair_scratch = &pair_scratch_;
  const std::optional<JoinPair> best = FindStartJoin(figures_, context);
  if (!best) return false;
  int32_t f = best->f_vertex, g = best->g_vertex;
  outcome_.repair_steps += RepairCrossings(At(best->f_figure), f, At(best->g_figure), g);
  const int32_t c = AppendConnector(best->f_figure, f, best->g_figure, g, -1);
  tfigura& joined = At(best->f_figure);
  joined.link_aux = f;
  joined.link_figure = c;
  joined.link_point = 1;
  SetPending(joined, 0);
  ++outcome_.connectors;
  search_.Reset();
  return true;
}

void PlanRun::SetPending(tfigura& figure, uint8_t pending) {
  const bool was = Pending(figure);
  figure.plan_flag_2 = pending;
  pending_count_ += (Pending(figure) ? 1 : 0) - (was ? 1 : 0);
}

void PlanRun::ShowProgress() {
  const double all = static_cast<double>(figures_.size());
  const double joined = all - static_cast<double>(pending_count_);
  const auto percent = static_cast<int64_t>(nearest(100.0 * joined / all));
  if (percent == shown_percent_) return;
  shown_percent_ = percent;
  op_.SetStatusText(kProjectStatusPanel,
                    doc_.Text("Project_window", "planowanie") + " " + std::to_string(percent) + "%");
}

void PlanRun::KeepAnswering() {
  const auto now = std::chrono::steady_clock::now();
  if (now < next_answer_) return;
  next_answer_ = now + kAnswerInterval;
  op_.Repaint();
  // The windows' code may have left the wide registers marked in use, which slows the arc tangents tenfold.
  ReleaseUpperVectorHalves();
}

bool PlanRun::AbortRequested() {
  if (!IsAbortingPress(op_.TakePendingInput())) return false;
  op_.Repaint();
  outcome_.aborted = true;
  return true;
}

bool PlanRun::FillParents() {
  // The parents by depth, in list order within a depth; entries appended while filling are connectors, never
  // parents.
  std::vector<std::vector<int32_t>> parents(static_cast<size_t>(std::max(doc_.max_depth, 0)) + 1);
  for (int32_t p = 0; p < Size(); ++p) {
    const tfigura& parent = At(p);
    if (parent.child_count >= 1 && parent.depth >= 0 && parent.depth <= doc_.max_depth) {
      parents[static_cast<size_t>(parent.depth)].push_back(p);
    }
  }
  for (size_t d = parents.size(); d-- > 0;) {
    for (const int32_t p : parents[d]) {
      const uint8_t saved = At(p).plan_flag_2;
      SetPending(At(p), 0);
      search_.Reset();
      bool found = Join(JoinVariant::kInsideFull, p);
      ShowProgress();
      while (found) {
        const JoinVariant variant =
            At(p).child_count >= static_cast<int32_t>(kManyEntries) ? JoinVariant::kInsideNeighbours
                                                                     : JoinVariant::kInsideFull;
        found = Join(variant, p);
        SetPending(At(p), 0);
        ShowProgress();
        if (AbortRequested()) {
          // The parent is not part of the tree through this fill: it keeps its own pending state.
          SetPending(At(p), saved);
          return false;
        }
      }
      SetPending(At(p), saved);
      search_.Reset();
    }
  }
  return true;
}

bool PlanRun::JoinGlobally(bool many_entries) {
  const JoinVariant first = many_entries ? JoinVariant::kGlobalNeighbours : JoinVariant::kGlobalFull;
  search_.Reset();
  for (;;) {
    bool joined_in_round = false;
    bool found = true;
    while (found) {
      found = Join(first, -1);
      joined_in_round = joined_in_round || found;
      ShowProgress();
      if (AbortRequested()) return false;
    }
    if (AnyPending()) {
      joined_in_round = Join(JoinVariant::kGlobalFull, -1) || joined_in_round;
      ShowProgress();
    }
    if (IsAbortingPress(op_.TakePendingInput())) {
      op_.Repaint();
      outcome_.aborted = true;
      return false;
    }
    if (!AnyPending()) return true;
    if (!joined_in_round) {
      // No variant reaches the rest: they stay pending rather than keep this loop going for ever.
      outcome_.unreachable = static_cast<int32_t>(pending_count_);
      op_.ShowMessageBox(doc_.Text("Project_window", "figuryNieosiagalne") + std::to_string(outcome_.unreachable),
                         false, "");
      return false;
    }
  }
}

void PlanRun::ChooseOpenStartEntry() {
  tfigura& start = At(doc_.start_figure);
  if (!start.open || start.points.empty()) return;
  const int32_t last = static_cast<int32_t>(start.points.size()) - 1;
  bool at_first = false, at_last = false;
  for (int32_t e = 0; e < Size(); ++e) {
    if (e == doc_.start_figure || At(e).link_figure != doc_.start_figure) continue;
    at_first = at_first || At(e).link_point == 0;
    at_last = at_last || At(e).link_point == last;
  }
  if (!at_first) {
    start.link_aux = 0;
  } else if (at_last) {
    start.link_aux = NearestVertex(start, doc_.project_min_x, doc_.project_min_y);
  } else {
    start.link_aux = last;
  }
}

void PlanRun::Results() {
  const tfigura& start = At(doc_.start_figure);
  if (!start.points.empty()) {
    const int32_t entry = std::clamp<int32_t>(start.link_aux, 0, static_cast<int32_t>(start.points.size()) - 1);
    const TPlotPoint& p = start.points[static_cast<size_t>(entry)];
    doc_.start_margin_left = Clamped(int64_t{p.x} - doc_.project_min_x);
    doc_.start_margin_right = Clamped(int64_t{doc_.project_max_x} - p.x);
    doc_.start_margin_bottom = Clamped(int64_t{p.y} - doc_.project_min_y);
    doc_.start_margin_top = Clamped(int64_t{doc_.project_max_y} - p.y);
  }
  double total = 0.0;
  for (const auto& f : figures_) {
    for (size_t i = 1; i < f->points.size(); ++i) total += Distance(f->points[i - 1], f->points[i]);
  }
  doc_.total_length = total;
  op_.SetStatusText(kProjectStatusPanel, "");
  op_.Repaint();
}

PlanOutcome PlanRun::Run() {
  BusyCursor busy(op_);
  const ScopedPlanningTick tick([this] { KeepAnswering(); });
  doc_.frame_added = false;
  if (figures_.empty()) return outcome_;
  // The window's code, the busy cursor's included, may have left the wide registers marked in use, which slows the
  // turning angles' arc tangents tenfold.
  ReleaseUpperVectorHalves();
  for (const auto& f : figures_) pending_count_ += Pending(*f) ? 1 : 0;
  // The status line says planning has begun: the steps before the first join take a while on a large drawing.
  ShowProgress();
  // Each join appends one connector and leaves one pending entry joined; a frame or start marker and the connector
  // of its start join may come on top. Room for them all at once spares the list a doubling near its end.
  figures_.reserve(figures_.size() + static_cast<size_t>(pending_count_) + 2);
  doc_.max_depth = search_.Nest(figures_);
  search_.Reset();
  search_.PrepareTouches(figures_);
  // The angles after the nesting and the touch searches' preparation, which read only points: what those held
  // while they worked is gone by then.
  for (size_t e = 0; e < figures_.size(); ++e) {
    if (e % 4096 == 0) PlanningTick();
    BuildTurningAngles(*figures_[e]);
  }
  ChooseStart();

  tfigura& start = At(doc_.start_figure);
  SetPending(start, 0);
  start.link_aux = NearestVertex(start, doc_.project_min_x, doc_.project_min_y);
  start.parent = start.link_figure = start.link_point = -1;

  TouchStart();
  PropagateTouch();
  Weigh();

  if (AnyPending()) {
    neighbours_.reset();
    const bool many_entries = figures_.size() >= kManyEntries;
    // The lists only ever decide joins between two closed figures, and the pending figures only get fewer from
    // here: a drawing whose pending figures are all open (strokes, say) never reads them.
    const bool closed_pending = std::any_of(figures_.begin(), figures_.end(),
                                            [](const auto& f) { return Pending(*f) && f->open == 0; });
    if (many_entries && closed_pending) neighbours_ = search_.Neighbours(figures_);
    const bool start_closed = At(doc_.start_figure).closed != 0;
    bool hangs = false;
    for (int32_t e = 0; e < Size() && !hangs; ++e) {
      hangs = e != doc_.start_figure && At(e).link_figure == doc_.start_figure;
    }
    if (start_closed && !hangs) StartJoin();
    PropagateTouch();
    if (!FillParents()) return outcome_;
    JoinGlobally(many_entries);
    if (outcome_.aborted) return outcome_;
  }
  // Whatever reached the figures (touching alone or connectors), a plan that leaves none pending is complete; a
  // project marked otherwise would be planned again, one more start marker each time.
  if (!AnyPending()) doc_.planned = true;
  ChooseOpenStartEntry();
  Results();
  return outcome_;
}

}  // namespace

int32_t PlannedDrawing::AddFigure(std::unique_ptr<tfigura> figure) {
  licz_parametry(*figure);
  figure->is_contour = 1;
  figures.push_back(std::move(figure));
  return static_cast<int32_t>(figures.size() - 1);
}

int32_t PlannedDrawing::AddLacznik(std::unique_ptr<tfigura> figure, bool closed) {
  licz_parametry(*figure);
  figure->closed = closed ? 1 : 0;
  figure->is_contour = 0;
  figures.push_back(std::move(figure));
  return static_cast<int32_t>(figures.size() - 1);
}

PlanOutcome PlanCut(PlannedDrawing& drawing, PlanSearch& search) { return PlanRun(drawing, search).Run(); }

PlanOutcome PlanCut(PlannedDrawing& drawing) { return PlanCut(drawing, *MakeFastPlanSearch()); }

void NestProject(PlannedDrawing& drawing) { drawing.max_depth = MakeFastPlanSearch()->Nest(drawing.figures); }

std::optional<JoinPair> FindStartJoin(const FigureList& figures, const JoinContext& context) {
  std::optional<JoinPair> best;
  int64_t best_cost = kBestCostStart;
  const int32_t g = context.start_figure;
  const std::vector<int32_t> g_vertices{context.start_vertex};
  const PointBox g_box = BoxOfPoints(figures[static_cast<size_t>(g)]->points);
  std::vector<int32_t> f_vertices;  // one list reused for every figure
  for (int32_t f = 0; f < static_cast<int32_t>(figures.size()); ++f) {
    if (!PassesFilter(figures, context, f, g)) continue;
    f_vertices.clear();
    AppendVariantVertices(*figures[static_cast<size_t>(f)], context, false, f_vertices);
    const std::optional<JoinPair> pair =
        CheapestVertexPair(figures, context, f, g, f_vertices, g_vertices, &g_box, best_cost);
    if (pair && pair->cost < best_cost) {
      best_cost = pair->cost;
      best = pair;
    }
  }
  return best;
}

int64_t NeighbourKey(const tfigura& i_figure, int32_t i, const tfigura& j_figure) {
  const double dx = static_cast<double>(j_figure.center_x) - static_cast<double>(i_figure.center_x);
  const double dy = static_cast<double>(j_figure.center_y) - static_cast<double>(i_figure.center_y);
  return NeighbourKeyOfSquared(dx * dx + dy * dy, j_figure.depth < i_figure.depth, j_figure.parent == i);
}

}  // namespace varnholt
