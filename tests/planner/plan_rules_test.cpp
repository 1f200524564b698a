// The planning rules at their edges: starts, touching, nesting, weights, the entry threshold, abort and the mended
// endless and unbounded loops.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>

#include "geometry/geometry.h"
#include "planner/crossing_repair.h"
#include "planner/cut_planner.h"
#include "planner/fast_plan_search.h"
#include "planner/join_weights.h"
#include "services/scripted_operator.h"
#include "support/plan_projects.h"

namespace varnholt {
namespace {

using Points = std::vector<TPlotPoint>;

class Planning : public ::testing::Test {
 protected:
  PlanOutcome Plan(ProjectDocument& project) {
    FinishProject(project);
    const auto search = MakeFastPlanSearch();
    return PlanCut(project, *search);
  }
  static const tfigura& At(const ProjectDocument& p, int32_t i) { return *p.figures[static_cast<size_t>(i)]; }
  static int32_t Count(const ProjectDocument& p, uint8_t kind) {
    int32_t n = 0;
    for (const auto& f : p.figures) n += f->kind == kind ? 1 : 0;
    return n;
  }

  ScriptedOperator op_;
  ScopedOperator installed_{op_};
};

TEST_F(Planning, SingleClosedFigureOfFivePointsIsItsOwnStart) {
  auto project = EmptyProject();
  AddShape(*project, Rectangle(100, 200, 900, 700));
  Plan(*project);
  ASSERT_EQ(project->figures.size(), 1u) << "no marker, frame or connector";
  EXPECT_EQ(project->start_figure, 0);
  EXPECT_TRUE(project->own_start);
  EXPECT_FALSE(project->frame_added);
  EXPECT_EQ(At(*project, 0).plan_flag_2, 0);
  EXPECT_EQ(At(*project, 0).depth, 0) << "depths stay as they are";
  EXPECT_EQ(At(*project, 0).link_aux, 0) << "the vertex at the project corner";
  EXPECT_EQ(project->start_margin_left, 0);
  EXPECT_EQ(project->start_margin_right, 800);
  EXPECT_EQ(project->start_margin_top, 500);
  // Nothing is left pending once the start is chosen. Unmarked, every configuration change would plan it
  // again and append another marker.
  EXPECT_TRUE(project->planned);
}

TEST_F(Planning, SingleClosedFigureOfSixPointsGetsAStartMarkerAndAConnector) {
  auto project = EmptyProject();
  AddShape(*project, {{0, 0}, {500, -100}, {1000, 0}, {1000, 800}, {0, 800}, {0, 0}});
  Plan(*project);
  ASSERT_EQ(project->figures.size(), 3u);
  const tfigura& marker = At(*project, 1);
  const tfigura& connector = At(*project, 2);
  EXPECT_EQ(project->start_figure, 1);
  EXPECT_TRUE(project->own_start);
  EXPECT_FALSE(project->frame_added);
  EXPECT_EQ(marker.kind, kConnector);
  EXPECT_EQ(marker.points, (Points{{0, -100}, {0, -100}})) << "at the project corner";
  EXPECT_EQ(marker.length, 60);
  EXPECT_EQ(connector.link_figure, 1);
  EXPECT_EQ(At(*project, 0).link_figure, 2);
  EXPECT_EQ(At(*project, 0).link_point, 1);
  EXPECT_EQ(connector.points[1], At(*project, 0).points[static_cast<size_t>(At(*project, 0).link_aux)]);
  EXPECT_EQ(At(*project, 0).plan_flag_2, 0);
  EXPECT_TRUE(project->planned) << "the start marker's connector reaches the figure: nothing is left pending";
}

TEST_F(Planning, FrameSurroundsTheProjectAndTheFirstJoinLeavesItsFirstCorner) {
  auto project = EmptyProject();
  project->add_frame = true;
  AddShape(*project, Rectangle(3000, 3000, 4000, 4000));
  AddShape(*project, Rectangle(0, 0, 1000, 1000));
  Plan(*project);
  const int32_t frame = project->start_figure;
  ASSERT_EQ(frame, 2);
  EXPECT_TRUE(project->frame_added);
  EXPECT_TRUE(project->own_start);
  EXPECT_EQ(At(*project, frame).kind, kOutlineFrame);
  EXPECT_EQ(At(*project, frame).points, Rectangle(-400, -400, 4400, 4400));
  EXPECT_EQ(At(*project, frame).length, 2 * (4800 + 4800));
  EXPECT_EQ(project->project_min_x, -400);
  EXPECT_EQ(project->project_max_y, 4400);
  EXPECT_EQ(project->project_width, 4800);
  EXPECT_EQ(At(*project, 0).depth, 1);
  EXPECT_EQ(At(*project, frame).depth, 1) << "the frame is deepened with the rest";
  const tfigura& first = At(*project, 3);
  EXPECT_EQ(first.kind, kConnector);
  EXPECT_EQ(first.link_figure, frame);
  EXPECT_EQ(first.points[0], (TPlotPoint{-400, -400}));
  EXPECT_EQ(At(*project, 1).link_figure, 3) << "the figure nearest the corner is reached first";
  EXPECT_TRUE(project->planned);
}

TEST_F(Planning, LeadInIsTheStartEnteredAtItsFreeEnd) {
  for (bool reversed : {false, true}) {
    auto project = EmptyProject();
    AddShape(*project, Rectangle(0, 0, 1000, 1000));
    Points line{{-800, -800}, {5, 3}};  // its end lies 5.8 units from the square's corner
    if (reversed) std::swap(line[0], line[1]);
    AddShape(*project, line);
    Plan(*project);
    ASSERT_EQ(project->figures.size(), 2u) << "touching needs no connector";
    EXPECT_EQ(project->start_figure, 1);
    EXPECT_FALSE(project->own_start);
    const tfigura& lead_in = At(*project, 1);
    EXPECT_EQ(lead_in.points[static_cast<size_t>(lead_in.link_aux)], (TPlotPoint{-800, -800})) << reversed;
    const tfigura& square = At(*project, 0);
    EXPECT_EQ(square.link_figure, 1);
    EXPECT_EQ(square.link_point, reversed ? 0 : 1);
    EXPECT_EQ(square.link_aux, 4) << "Touch walks the vertices from the last";
    EXPECT_EQ(square.plan_flag_2, 0);
    EXPECT_EQ(square.depth, 1);
    EXPECT_EQ(project->start_margin_left, 0);
  }
}

TEST_F(Planning, FiguresSharingAVertexAreJoinedByTouching) {
  auto project = EmptyProject();
  project->add_frame = true;
  AddShape(*project, Rectangle(1000, 1000, 3000, 3000));
  AddShape(*project, Rectangle(3008, 2995, 5000, 4000));  // its first corner within 10 units of the other's
  Plan(*project);
  EXPECT_EQ(Count(*project, kConnector), 1) << "one connector from the frame reaches the pair, touching does the rest";
  const tfigura& a = At(*project, 0);
  const tfigura& b = At(*project, 1);
  EXPECT_EQ(a.plan_flag_2 + b.plan_flag_2, 0);
  const bool b_on_a = b.link_figure == 0;
  const bool a_on_b = a.link_figure == 1;
  EXPECT_TRUE(b_on_a || a_on_b);
  const tfigura& touched = b_on_a ? b : a;
  const tfigura& on = b_on_a ? a : b;
  EXPECT_LE(std::abs(on.points[static_cast<size_t>(touched.link_point)].x -
                     touched.points[static_cast<size_t>(touched.link_aux)].x), 10);
}

TEST_F(Planning, FigureInAHoleIsJoinedInsideItsParentWithoutCrossing) {
  auto project = EmptyProject();
  project->add_frame = true;
  // A C-shaped hole in a disc, and an island in the hole's left bar.
  AddShape(*project, Polygon(5000, 5000, 3000, 48));
  AddShape(*project, {{3000, 3000}, {7000, 3000}, {7000, 4000}, {4600, 4000}, {4600, 6000}, {7000, 6000},
                      {7000, 7000}, {3000, 7000}, {3000, 3000}});
  AddShape(*project, Rectangle(3300, 4300, 4300, 5700));
  AddShape(*project, Rectangle(9000, 0, 9500, 500));
  Plan(*project);
  const tfigura& hole = At(*project, 1);
  const tfigura& island = At(*project, 2);
  EXPECT_EQ(island.parent, 1);
  EXPECT_EQ(hole.parent, 0);
  ASSERT_EQ(island.link_point, 1);
  const tfigura& connector = At(*project, island.link_figure);
  EXPECT_EQ(connector.kind, kConnector);
  EXPECT_EQ(connector.parent, 1) << "joined inside its parent";
  EXPECT_EQ(connector.link_figure, 1) << "to the hole itself";
  EXPECT_EQ(ConnectorCrossing(island, island.link_aux, hole, connector.link_point), Crossing::kNone);
  EXPECT_LT(island.link_figure, hole.link_figure) << "the deeper parent is filled first";
  EXPECT_TRUE(project->planned);
}

TEST(JoinWeights, TurnOfExactlyAFifthOfPiIsACorner) {
  tfigura figure;
  figure.points = {{0, 0}, {10, 0}, {20, 0}, {30, 0}, {0, 0}};
  figure.closed = 1;
  figure.idx_min_x = figure.idx_max_x = figure.idx_min_y = figure.idx_max_y = 0;
  const double below = std::nextafter(kCornerAngle, 0.0);
  figure.vertex_angles = {{0.0, 0, 0}, {kCornerAngle, 0, 0}, {-kCornerAngle, 0, 0}, {below, 0, 0}, {0.0, 0, 0}};
  WeighVertices(figure);
  EXPECT_EQ(figure.vertex_angles[1].flag, 1);
  EXPECT_EQ(figure.vertex_angles[1].mark, 6);
  EXPECT_EQ(figure.vertex_angles[2].mark, 6);
  EXPECT_EQ(figure.vertex_angles[3].flag, 0);
  EXPECT_EQ(figure.vertex_angles[3].mark, 10);
  EXPECT_EQ(figure.vertex_angles[0].mark, 8) << "the lowest point, taken before the x extremes";
  figure.depth = 2;
  WeighVertices(figure);
  EXPECT_EQ(figure.vertex_angles[1].mark, 5) << "corners of deep figures are preferred most";
}

TEST(JoinWeights, LargeFiguresGetEveryMthVertexAndOpenOnesEveryVertex) {
  FigureList figures;
  auto smooth = std::make_unique<tfigura>();
  smooth->points = Polygon(0, 0, 10000, 23);  // 24 points, turns of 2pi/23 below pi/5
  licz_parametry(*smooth);
  BuildTurningAngles(*smooth);
  auto line = std::make_unique<tfigura>();
  line->points = {{0, 0}, {10, 0}, {20, 0}};
  licz_parametry(*line);
  BuildTurningAngles(*line);
  figures.push_back(std::move(smooth));
  figures.push_back(std::move(line));
  WeighEntries(figures);
  const auto& s = figures[0]->vertex_angles;
  ASSERT_EQ(s.size(), 24u);
  for (size_t v = 0; v < s.size(); ++v) {
    const bool extreme = static_cast<int32_t>(v) == figures[0]->idx_min_y || static_cast<int32_t>(v) == figures[0]->idx_max_y ||
                         static_cast<int32_t>(v) == figures[0]->idx_min_x || static_cast<int32_t>(v) == figures[0]->idx_max_x;
    if (extreme) continue;
    EXPECT_EQ(s[v].flag, v % 3 == 0 ? 1 : 0) << v;  // m = 24 div 12 + 1
    EXPECT_EQ(s[v].mark, 10) << v;
  }
  for (const TVertexAngle& a : figures[1]->vertex_angles) EXPECT_EQ(a.mark, 5);
}

// Counts which searches planning asks for.
class SpySearch final : public PlanSearch {
 public:
  int32_t Nest(FigureList& f) override { return inner_->Nest(f); }
  void PrepareTouches(const FigureList& f) override { inner_->PrepareTouches(f); }
  std::vector<std::vector<uint8_t>> OpenVertexTouches(const FigureList& f) override { return inner_->OpenVertexTouches(f); }
  bool TouchEntries(FigureList& f, int32_t a, int32_t b, TouchPair& p) override { return inner_->TouchEntries(f, a, b, p); }
  void BeginTouchPropagation(const FigureList& f) override { inner_->BeginTouchPropagation(f); }
  int32_t FirstTouchedPending(FigureList& f, int32_t i, TouchPair& p) override { return inner_->FirstTouchedPending(f, i, p); }
  std::unique_ptr<NeighbourLists> Neighbours(const FigureList& f) override {
    ++neighbour_builds;
    return inner_->Neighbours(f);
  }
  void Reset() override { inner_->Reset(); }
  std::optional<JoinPair> FindJoin(const FigureList& f, const JoinContext& c) override {
    variants.push_back(c.variant);
    return inner_->FindJoin(f, c);
  }
  void Joined(const FigureList& f, int32_t i) override { inner_->Joined(f, i); }

  int neighbour_builds = 0;
  std::vector<JoinVariant> variants;

 private:
  std::unique_ptr<PlanSearch> inner_ = MakeFastPlanSearch();
};

TEST_F(Planning, NeighbourListsFromTwentyOneEntriesAndOnlyWhenAClosedFigureIsLeftToJoin) {
  // The frame makes the entry count the figures + 1 before any connector. The lists decide joins between
  // closed figures only: open strokes around a frame never read them, while a single closed figure among the
  // strokes may.
  struct Case {
    int32_t squares, strokes;
    bool square_above;
    int builds;
    JoinVariant first;
  };
  for (const Case& c : {Case{19, 0, false, 0, JoinVariant::kGlobalFull},
                        Case{20, 0, false, 1, JoinVariant::kGlobalNeighbours},
                        Case{0, 30, false, 0, JoinVariant::kGlobalNeighbours},
                        Case{0, 30, true, 1, JoinVariant::kGlobalNeighbours}}) {
    auto project = EmptyProject();
    project->add_frame = true;
    for (int32_t k = 0; k < c.squares; ++k) AddShape(*project, Rectangle(k * 2000, 0, k * 2000 + 1000, 1000));
    for (int32_t k = 0; k < c.strokes; ++k) AddShape(*project, {{k * 300, 0}, {k * 300 + 100, 50}});
    if (c.square_above) AddShape(*project, Rectangle(0, 1000, 500, 1500));
    FinishProject(*project);
    SpySearch spy;
    PlanCut(*project, spy);
    const std::string label =
        std::to_string(c.squares) + " squares " + std::to_string(c.strokes) + " strokes";
    ASSERT_FALSE(spy.variants.empty()) << label;
    EXPECT_EQ(spy.neighbour_builds, c.builds) << label;
    EXPECT_EQ(spy.variants.front(), c.first) << label;
    EXPECT_TRUE(project->planned) << label;
  }
}

// The percentage at the end of a planning progress text ("Ready 40%", in whatever language); nothing for
// others.
std::optional<int> PercentShown(const std::string& text) {
  if (!text.ends_with('%')) return std::nullopt;
  const size_t blank = text.rfind(' ');
  if (blank == std::string::npos) return std::nullopt;
  return std::stoi(text.substr(blank + 1));
}

// An operator that presses a key once the progress has reached a given percentage.
class KeyAtProgress final : public Operator {
 public:
  explicit KeyAtProgress(int percent) : percent_(percent) {}
  void ShowMessageBox(const std::string& t, bool e, const std::string& c) override { inner_.ShowMessageBox(t, e, c); }
  int AskQuestion(const std::string& t, ButtonSet b, const std::string& c) override { return inner_.AskQuestion(t, b, c); }
  void SetStatusText(int panel, const std::string& text) override {
    inner_.SetStatusText(panel, text);
    if (const std::optional<int> percent = PercentShown(text)) last_percent_ = *percent;
  }
  void SetBusyCursor(bool busy) override { inner_.SetBusyCursor(busy); }
  void Repaint() override { inner_.Repaint(); }
  PendingInput TakePendingInput() override {
    if (!pressed_ && last_percent_ >= percent_) {
      pressed_ = true;
      return PendingInput::kKeyPress;
    }
    return PendingInput::kNone;
  }
  int last_percent() const { return last_percent_; }
  const ScriptedOperator& inner() const { return inner_; }

 private:
  ScriptedOperator inner_;
  int percent_;
  int last_percent_ = -1;
  bool pressed_ = false;
};

TEST(PlanningProgress, EachPercentageIsShownOnceHoweverManyJoinsItSpans) {
  // A recording operator keeps every text it is given: one per join would grow with the drawing.
  auto project = LetterGrid(200, true);
  ScriptedOperator op;
  ScopedOperator installed(op);
  const auto search = MakeFastPlanSearch();
  const PlanOutcome outcome = PlanCut(*project, *search);
  ASSERT_TRUE(project->planned);
  ASSERT_GT(outcome.connectors, 101) << "more joins than percentages, or the test shows nothing";
  std::vector<int> shown;
  for (const std::string& text : op.status_history()) {
    if (const std::optional<int> percent = PercentShown(text)) shown.push_back(*percent);
  }
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(std::adjacent_find(shown.begin(), shown.end()), shown.end()) << "a percentage shown twice in a row";
  EXPECT_EQ(shown.back(), 100);
  EXPECT_EQ(op.status(kProjectStatusPanel), "") << "the end of planning clears the panel";
}

TEST(PlanningAbort, KeyAtFortyPercentLeavesAPartPlanThatALaterRunCompletes) {
  auto project = LetterGrid(80, true);
  KeyAtProgress op(40);
  {
    ScopedOperator installed(op);
    const auto search = MakeFastPlanSearch();
    const PlanOutcome outcome = PlanCut(*project, *search);
    EXPECT_TRUE(outcome.aborted);
  }
  EXPECT_FALSE(project->planned);
  EXPECT_GE(op.last_percent(), 40);
  EXPECT_LT(op.last_percent(), 100);
  EXPECT_FALSE(op.inner().busy()) << "the cursor is restored";
  EXPECT_GE(op.inner().repaints(), 1);
  int32_t pending = 0;
  for (const auto& f : project->figures) pending += f->plan_flag_2;
  EXPECT_GT(pending, 0);
  for (const auto& f : project->figures) {
    // Every parent filled before the key keeps its own pending state rather than counting as joined.
    if (f->plan_flag_2 == 0 && f->kind == kDrawingFigure && f->link_figure >= 0) {
      EXPECT_LT(static_cast<size_t>(f->link_figure), project->figures.size());
    }
  }

  ScriptedOperator again;
  ScopedOperator installed(again);
  const auto search = MakeFastPlanSearch();
  PlanCut(*project, *search);
  EXPECT_TRUE(project->planned);
  for (const auto& f : project->figures) EXPECT_EQ(f->plan_flag_2, 0);
}

TEST(PlanningAbort, AParentFilledWhenTheKeyCameStaysPending) {
  auto project = EmptyProject();
  project->add_frame = true;
  AddShape(*project, Polygon(5000, 5000, 4000, 40));  // a ring
  AddShape(*project, Polygon(5000, 5000, 3000, 30));  // its hole
  for (int32_t k = 0; k < 3; ++k) AddShape(*project, Rectangle(3500 + k * 1000, 4800, 3900 + k * 1000, 5200));
  FinishProject(*project);
  ScriptedOperator op;
  op.InjectInputAfter(0, PendingInput::kKeyPress);  // the first abort check: after the hole's second island
  ScopedOperator installed(op);
  const PlanOutcome outcome = PlanCut(*project, *MakeFastPlanSearch());
  ASSERT_TRUE(outcome.aborted);
  EXPECT_FALSE(project->planned);
  EXPECT_EQ(project->figures[1]->plan_flag_2, 1) << "the hole is not part of the tree yet";
  EXPECT_EQ(project->figures[0]->plan_flag_2, 0) << "the ring was joined to the frame";
  int32_t islands_joined = 0;
  for (int32_t k = 2; k < 5; ++k) islands_joined += project->figures[static_cast<size_t>(k)]->plan_flag_2 == 0 ? 1 : 0;
  EXPECT_EQ(islands_joined, 2);
}

TEST_F(Planning, BeyondTenThousandEntriesTheFullJoinStillReachesAnOutlyingFigure) {
  auto project = EmptyProject();
  project->add_frame = true;
  // 5,000 small squares make more than 10,000 entries once joined; the outlier is on no square's neighbour list,
  // so only the full global join can reach it, after the neighbour joins have joined the rest.
  for (int32_t k = 0; k < 5000; ++k) AddShape(*project, Rectangle((k % 100) * 200, (k / 100) * 200, (k % 100) * 200 + 100, (k / 100) * 200 + 100));
  AddShape(*project, Rectangle(200000, 0, 200100, 100));
  const PlanOutcome outcome = Plan(*project);
  EXPECT_GT(project->figures.size(), 10000u);
  EXPECT_EQ(outcome.unreachable, 0);
  EXPECT_TRUE(project->planned);
  EXPECT_EQ(At(*project, 5000).plan_flag_2, 0);
  EXPECT_GT(At(*project, 5000).link_figure, 10000) << "joined last";
}

TEST_F(Planning, FiguresNoJoinCanReachStayPendingAndTheOperatorIsTold) {
  auto project = EmptyProject();
  AddShape(*project, Rectangle(0, 0, 10000, 10000));  // the start: a single outermost five-point figure
  // A closed connector (as the duplication tool adds them) holding a figure: no join may end on a connector.
  auto cage = std::make_unique<tfigura>();
  cage->points = Polygon(5000, 5000, 3000, 12);
  project->AddLacznik(std::move(cage), true);
  AddShape(*project, Rectangle(4500, 4500, 5500, 5500));
  const PlanOutcome outcome = Plan(*project);
  EXPECT_EQ(outcome.unreachable, 1);
  EXPECT_FALSE(outcome.aborted);
  EXPECT_FALSE(project->planned);
  EXPECT_EQ(At(*project, 2).plan_flag_2, 1) << "left pending, drawn red";
  EXPECT_EQ(At(*project, 1).plan_flag_2, 0);
  ASSERT_EQ(op_.messages().size(), 1u);
  EXPECT_NE(op_.messages()[0].text.find('1'), std::string::npos);
  EXPECT_EQ(op_.status(kProjectStatusPanel), "") << "the results are still computed";
}

tfigura ClosedFigure(Points points) {
  tfigura figure;
  figure.points = std::move(points);
  licz_parametry(figure);
  return figure;
}

TEST(CrossingRepair, StepsBackUntilClearAndGivesUpOnATangle) {
  // A pentagram drawn tip to tip: the way from any tip to its centre crosses the edge between two other tips.
  Points star;
  for (int k : {0, 2, 4, 1, 3, 0}) {
    const double a = kPi / 2 + 2 * kPi * k / 5;
    star.push_back({static_cast<int32_t>(std::lround(1000 * std::cos(a))), static_cast<int32_t>(std::lround(1000 * std::sin(a)))});
  }
  const tfigura pentagram = ClosedFigure(star);
  const tfigura centre = ClosedFigure({{-20, -20}, {20, -20}, {0, 20}, {-20, -20}});
  int32_t f = 0, g = 0;
  EXPECT_EQ(RepairCrossings(pentagram, f, centre, g), 6 * 4) << "every pair crosses: stop after nF x nG steps";
  EXPECT_GE(f, 0);
  EXPECT_LT(f, 5);
  EXPECT_GE(g, 0);
  EXPECT_LT(g, 3);

  // A ring around a square: from the ring's far side the connector crosses the ring, and steps round to clear it.
  const tfigura ring = ClosedFigure(Polygon(0, 0, 2000, 8));
  const tfigura square = ClosedFigure(Rectangle(-300, -300, 300, 300));
  int32_t rf = 0, sg = 3;  // the ring's right-hand vertex to the square's top left corner
  const int64_t steps = RepairCrossings(square, sg, ring, rf);
  EXPECT_GT(steps, 0);
  EXPECT_EQ(ConnectorCrossing(square, sg, ring, rf), Crossing::kNone);
}

// The crossing test of every edge in order, as the rule states it, to hold the shortcuts of ConnectorCrossing to.
Crossing PlainConnectorCrossing(const tfigura& f, int32_t fv, const tfigura& g, int32_t gv) {
  const Segment connector{f.points[static_cast<size_t>(fv)], g.points[static_cast<size_t>(gv)]};
  const auto crosses = [&](const tfigura& figure, int32_t v) {
    const auto& p = figure.points;
    const auto n = static_cast<int32_t>(p.size());
    for (int32_t k = 0; k + 1 < n; ++k) {
      if (k != v && k + 1 != v && SegmentsCross(connector, Segment{p[static_cast<size_t>(k)], p[static_cast<size_t>(k + 1)]})) return true;
    }
    return figure.closed && n >= 2 && SegmentsCross(connector, Segment{p[static_cast<size_t>(n - 1)], p[0]});
  };
  if (crosses(f, fv)) return Crossing::kFirst;
  if (crosses(g, gv)) return Crossing::kSecond;
  return Crossing::kNone;
}

TEST(CrossingRepair, ConnectorCrossingTestsTheSameEdgesAsThePlainLoop) {
  std::mt19937 rng(12);
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  int crossing = 0;
  for (int round = 0; round < 4000; ++round) {
    // Coarse coordinates: vertical edges, shared x and collinear pieces are common. Every other round the figures
    // are long walks of short steps, so that the connector's x span holds only some of their edges and the runs of
    // edges beside it are passed over.
    const auto figure = [&] {
      tfigura f;
      if (round % 2 == 0) {
        for (int32_t k = uniform(2, 12); k > 0; --k) f.points.push_back({uniform(0, 20) * 10, uniform(0, 20) * 10});
      } else {
        TPlotPoint at{uniform(0, 20) * 10, uniform(0, 20) * 10};
        for (int32_t k = uniform(2, 80); k > 0; --k) {
          f.points.push_back(at);
          at = {at.x + uniform(-2, 4) * 10, at.y + uniform(-3, 3) * 10};
        }
      }
      f.closed = static_cast<uint8_t>(uniform(0, 1));
      return f;
    };
    const tfigura f = figure(), g = figure();
    const int32_t fv = uniform(0, static_cast<int32_t>(f.points.size()) - 1);
    const int32_t gv = uniform(0, static_cast<int32_t>(g.points.size()) - 1);
    const Crossing expected = PlainConnectorCrossing(f, fv, g, gv);
    ASSERT_EQ(ConnectorCrossing(f, fv, g, gv), expected) << "round " << round;
    crossing += expected != Crossing::kNone ? 1 : 0;
  }
  EXPECT_GT(crossing, 1000);
}

}  // namespace
}  // namespace varnholt
