// The shipped planner against the plain loops on generated projects: identical trees, connectors and messages.

#include <gtest/gtest.h>

#include "geometry/geometry.h"
#include "planner/cut_planner.h"
#include "planner/fast_plan_search.h"
#include "planner/literal_plan_search.h"
#include "planner/plan_geometry.h"
#include "planner/plan_threads.h"
#include "services/scripted_operator.h"
#include "support/plan_projects.h"

namespace varnholt {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kScale = 4;  // the sanitizer build runs the same cases, fewer and smaller
#else
constexpr int kScale = 1;
#endif

struct Planned {
  std::vector<std::string> plan;
  std::vector<std::string> status;
  std::vector<ScriptedOperator::Message> messages;
  PlanOutcome outcome;
};

Planned PlanWith(const ProjectDocument& source, bool literal, TouchListing listing = TouchListing::kByDrawing) {
  auto project = CopyProject(source);
  ScriptedOperator op;
  ScopedOperator scoped(op);
  const auto search = literal ? MakeLiteralPlanSearch() : MakeFastPlanSearch(listing);
  Planned planned;
  planned.outcome = PlanCut(*project, *search);
  planned.plan = DescribePlan(*project);
  planned.status = op.status_history();
  planned.messages = op.messages();
  return planned;
}

// The shipped planner with its touches found through the vertex index and found when first asked, each against
// the plain loops.
void ExpectSamePlan(const ProjectDocument& source, const std::string& label) {
  const Planned literal = PlanWith(source, true);
  for (const TouchListing listing : {TouchListing::kVertexIndex, TouchListing::kWhenAsked}) {
    const Planned fast = PlanWith(source, false, listing);
    const std::string how = label + (listing == TouchListing::kVertexIndex ? " (index)" : " (when asked)");
    ASSERT_EQ(literal.plan.size(), fast.plan.size()) << how << "\n" << literal.plan[0] << "\n" << fast.plan[0];
    for (size_t i = 0; i < literal.plan.size(); ++i) {
      ASSERT_EQ(literal.plan[i], fast.plan[i]) << how << " line " << i;
    }
    EXPECT_EQ(literal.status, fast.status) << how;
    EXPECT_EQ(literal.messages.size(), fast.messages.size()) << how;
    EXPECT_EQ(literal.outcome.unreachable, fast.outcome.unreachable) << how;
    EXPECT_EQ(literal.outcome.repair_steps, fast.outcome.repair_steps) << how;
  }
}

TEST(PlanAgreement, RandomProjectsOfOneToAFewHundredFigures) {
  const int32_t counts[] = {1, 2, 3, 4, 6, 9, 15, 20, 21, 22, 30, 45, 70, 110, 160, 240};
  uint32_t seed = 1;
  for (int32_t count : counts) {
    const int32_t scaled = std::max(1, count / kScale);
    const int repeats = count <= 30 ? 10 : 3;
    for (int r = 0; r < repeats; ++r) {
      for (bool frame : {false, true}) {
        const auto project = RandomProject(seed, scaled, frame);
        ExpectSamePlan(*project, "seed " + std::to_string(seed) + " count " + std::to_string(scaled) +
                                     (frame ? " frame" : " marker"));
        if (HasFatalFailure()) return;
        ++seed;
      }
    }
  }
}

TEST(PlanAgreement, LetterGridsCurveDrawingsAndTouchingChains) {
  // Curve drawings: finely drawn circles nested about shared centres, open arcs and curves, bulged outlines
  // and rectangles touching at a shared corner, overlapping where positions repeat. Chains reached from the
  // start marker propagate the touch square by square, in list order and shuffled, so that the scan jumps
  // back and forth; chains off the corner are joined by connectors of next to no length. Drawings with a
  // shuffle seed are planned in that list order too.
  struct Drawing {
    std::string label;
    std::unique_ptr<ProjectDocument> project;
    uint32_t shuffle;
  };
  std::vector<Drawing> drawings;
  const auto side = [](bool frame) { return std::string(frame ? " frame" : " marker"); };
  uint32_t seed = 40;
  for (int32_t count : {6, 25, 70 / kScale}) {
    for (bool frame : {false, true}) {
      drawings.push_back(
          {"curves seed " + std::to_string(seed) + " count " + std::to_string(count) + side(frame),
           CurveDrawing(seed, count, frame), seed});
      ++seed;
    }
  }
  for (bool frame : {false, true}) {
    for (int32_t count : {5, 21, 60, 200 / kScale}) {
      drawings.push_back({"grid " + std::to_string(count) + side(frame), LetterGrid(count, frame), 0});
    }
    for (int32_t length : {30, 160 / kScale}) {
      for (bool from_corner : {true, false}) {
        drawings.push_back(
            {"chains of " + std::to_string(length) + side(frame) + (from_corner ? " from the corner" : ""),
             TouchingChains(2 * length, length, frame, from_corner, static_cast<uint32_t>(length)), 7});
      }
    }
  }
  for (const Drawing& d : drawings) {
    ExpectSamePlan(*d.project, d.label);
    if (HasFatalFailure()) return;
    if (d.shuffle == 0) continue;
    ExpectSamePlan(*Reordered(*d.project, d.shuffle), "reordered " + d.label);
    if (HasFatalFailure()) return;
  }
}

TEST(PlanAgreement, PlanningAgainContinuesThePlanAlike) {
  // A second run keeps the first one's connectors, frame or marker as entries: after a full plan, and after a plan
  // stopped by a key part way.
  for (uint32_t seed = 500; seed < 512; ++seed) {
    auto project = RandomProject(seed, 25 + static_cast<int32_t>(seed % 4) * 20, seed % 2 == 0);
    ScriptedOperator op;
    if (seed % 3 != 0) op.InjectInputAfter(static_cast<int64_t>(seed % 7), PendingInput::kKeyPress);
    ScopedOperator scoped(op);
    PlanCut(*project, *MakeFastPlanSearch());
    ExpectSamePlan(*project, "replan seed " + std::to_string(seed));
    if (HasFatalFailure()) return;
  }
}

TEST(PlanAgreement, TheSamePlanWhateverTheNumberOfThreads) {
  // The touches, lead-ins and containers are found in pieces on several threads and put together in order.
  for (uint32_t seed = 900; seed < 904; ++seed) {
    const auto project = seed % 2 == 0 ? CurveDrawing(seed, 90 / kScale, seed % 4 == 0)
                                       : RandomProject(seed, 200 / kScale, seed % 4 == 1);
    std::vector<std::vector<std::string>> plans;
    for (const int threads : {1, 2, 5}) {
      SetPlanningThreads(threads);
      plans.push_back(PlanWith(*project, false).plan);
    }
    SetPlanningThreads(0);
    EXPECT_EQ(plans[1], plans[0]) << "seed " << seed;
    EXPECT_EQ(plans[2], plans[0]) << "seed " << seed;
  }
}

// Follows link_figure from every entry; each chain must end at the start figure without a loop.
void ExpectTree(const ProjectDocument& project, const std::string& label) {
  const auto& figures = project.figures;
  for (size_t i = 0; i < figures.size(); ++i) {
    if (figures[i]->plan_flag_2) continue;
    int32_t at = static_cast<int32_t>(i);
    size_t steps = 0;
    while (at != project.start_figure && steps <= figures.size()) {
      at = figures[static_cast<size_t>(at)]->link_figure;
      ASSERT_GE(at, 0) << label << " entry " << i;
      ASSERT_LT(static_cast<size_t>(at), figures.size()) << label << " entry " << i;
      ++steps;
    }
    ASSERT_EQ(at, project.start_figure) << label << " entry " << i << " hangs in a loop";
  }
}

TEST(PlanInvariants, EveryFigureReachedAndConnectorsClearOfTheirFigures) {
  int64_t connectors = 0, crossing = 0;
  for (uint32_t seed = 1000; seed < 1000 + 40 / kScale; ++seed) {
    // Without lead-ins the start lies outside every figure, so every figure can be reached.
    auto project = RandomProject(seed, 10 + static_cast<int32_t>(seed % 90), seed % 3 == 0, false);
    ScriptedOperator op;
    ScopedOperator scoped(op);
    const auto search = MakeFastPlanSearch();
    const PlanOutcome outcome = PlanCut(*project, *search);
    const std::string label = "seed " + std::to_string(seed);
    EXPECT_TRUE(project->planned) << label;
    EXPECT_EQ(outcome.unreachable, 0) << label;
    ExpectTree(*project, label);
    for (const auto& c : project->figures) {
      if (c->kind != kConnector || c->link_figure < 0 || c->points.size() != 2) continue;
      // The figure the connector reaches names it as its link.
      int32_t reached = -1;
      const int32_t index = static_cast<int32_t>(&c - project->figures.data());
      for (size_t k = 0; k < project->figures.size(); ++k) {
        if (project->figures[k]->link_figure == index && project->figures[k]->link_point == 1) {
          reached = static_cast<int32_t>(k);
        }
      }
      if (reached < 0) continue;
      const tfigura& f = *project->figures[static_cast<size_t>(reached)];
      const tfigura& g = *project->figures[static_cast<size_t>(c->link_figure)];
      EXPECT_EQ(c->points[0], g.points[static_cast<size_t>(c->link_point)]) << label;
      EXPECT_EQ(c->points[1], f.points[static_cast<size_t>(f.link_aux)]) << label;
      if (ConnectorCrossing(f, f.link_aux, g, c->link_point) != Crossing::kNone) ++crossing;
      ++connectors;
    }
  }
  EXPECT_GT(connectors, 100);
  EXPECT_EQ(crossing, 0);
}

}  // namespace
}  // namespace varnholt
