// The walk of open figures through the cut tree: where the wire goes and where it pauses.

#include "planner/cut_walk.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

#include "support/planned_figure.h"

namespace varnholt {
namespace {

using testing::PlannedFigure;

using Points = std::vector<TPlotPoint>;
using Figures = std::vector<std::unique_ptr<tfigura>>;

// Records the walk as "x,y" per move and "|" per corner pause.
class Recorder final : public CutPathSink {
 public:
  void MoveTo(const TPlotPoint& point) override { steps.push_back(std::to_string(point.x) + "," + std::to_string(point.y)); }
  void CornerPause() override { steps.push_back("|"); }
  std::vector<std::string> steps;
};

std::vector<std::string> Walk(Figures& figures, int32_t start = 0) {
  Recorder recorder;
  WalkCutTree(figures, {start, false, true}, recorder);
  return recorder.steps;
}

using Steps = std::vector<std::string>;

// A marker at the origin with a connector up to vertex `entry` of an open zig-zag of five points whose y falls
// from vertex 0 to vertex 2 and rises again: a connector runs from the origin to the entry vertex.
Figures ZigZagEnteredAt(int32_t entry) {
  const Points zigzag = {{0, 800}, {0, 600}, {100, 200}, {200, 600}, {200, 800}};
  Figures figures;
  figures.push_back(PlannedFigure({{0, 0}, {0, 0}}, -1, -1, 0));
  figures.push_back(PlannedFigure({{0, 0}, zigzag[static_cast<size_t>(entry)]}, 0, 0, 0));
  figures.push_back(PlannedFigure(zigzag, 1, 1, entry));
  return figures;
}

TEST(CutWalk, AnOpenFigureEnteredInsideIsCutToOneEndOverAllToTheOtherAndBack) {
  Figures figures = ZigZagEnteredAt(1);
  // From vertex 1 the wire climbs first, to vertex 0; it turns back at both ends and pauses there.
  EXPECT_EQ(Walk(figures), (Steps{"|", "|", "0,600",                                // marker, connector out
                                  "|", "0,800", "|",                              // up to the near end
                                  "0,600", "100,200", "200,600", "200,800", "|",  // over all to the far end
                                  "200,600", "100,200", "0,600",                  // back to the entry
                                  "0,0",                                          // back along the connector
                                  "0,0", "0,0"}));                                // the marker's own vertices
  EXPECT_EQ(figures[2]->points.front(), (TPlotPoint{0, 800})) << "nothing is turned round";
  EXPECT_EQ(figures[2]->link_aux, 1);

  // Entered at vertex 3 it climbs towards vertex 4 first.
  Figures other = ZigZagEnteredAt(3);
  const Steps walked = Walk(other);
  const Steps expected_zigzag = {"200,800", "|", "200,600", "100,200", "0,600", "0,800", "|", "0,600", "100,200",
                                 "200,600"};
  EXPECT_EQ(Steps(walked.begin() + 4, walked.begin() + 4 + static_cast<std::ptrdiff_t>(expected_zigzag.size())),
            expected_zigzag);
}

TEST(CutWalk, ChildrenOfAnOpenFigureEnteredInsideAreCutWhereTheWireFirstArrives) {
  Figures figures = ZigZagEnteredAt(2);
  // One connector each at vertex 3, 2 (the entry), 0 and 4, in this list order.
  for (const int32_t at : {3, 2, 0, 4}) {
    const TPlotPoint p = figures[2]->points[static_cast<size_t>(at)];
    figures.push_back(PlannedFigure({p, {p.x + 7, p.y}}, 2, at, 0));
  }
  Steps moves;
  for (const std::string& step : Walk(figures)) {
    if (step != "|") moves.push_back(step);
  }
  // At vertex 2 both neighbours lie at y 600: forward first.
  EXPECT_EQ(moves, (Steps{"100,200",                          // connector out to the entry
                          "107,200", "100,200",               // the child at the entry
                          "200,600", "207,600", "200,600",    // vertex 3 and its child
                          "200,800", "207,800", "200,800",    // the far end and its child
                          "200,600", "100,200", "0,600",
                          "0,800", "7,800", "0,800",          // the other end and its child
                          "0,600", "100,200",                 // back to the entry: nothing is entered twice
                          "0,0", "0,0", "0,0"}));
}

TEST(CutWalk, AnOpenFigureEnteredAtAnEndComesBackAlongItself) {
  Figures figures = ZigZagEnteredAt(0);
  EXPECT_EQ(Walk(figures), (Steps{"|", "|", "0,800", "|",                      // out to vertex 0
                                  "0,600", "100,200", "200,600", "200,800",   // forward to the end
                                  "200,800", "|", "200,600", "|", "100,200", "|", "0,600", "|", "0,800", "|",
                                  "0,800", "0,0", "0,0", "0,0"}));            // vertex 0 once more, back

  // Entered at its last vertex it is turned round in place, with what hangs on it, and then walked the same way.
  Figures turned = ZigZagEnteredAt(4);
  turned.push_back(PlannedFigure({{0, 600}, {-50, 600}}, 2, 1, 0));
  const Steps first = Walk(turned);
  EXPECT_EQ(turned[2]->points.front(), (TPlotPoint{200, 800}));
  EXPECT_EQ(turned[2]->link_aux, 0);
  EXPECT_EQ(turned[3]->link_point, 3);
  EXPECT_EQ(Steps(first.begin() + 4, first.begin() + 10),
            (Steps{"200,600", "100,200", "0,600", "|", "-50,600", "0,600"}));
  EXPECT_EQ(Walk(turned), first) << "a second walk of the same plan turns nothing round again";
}

TEST(CutWalk, TurningAnOpenFigureRoundTakesItsCornersAlong) {
  // Only the zig-zag's vertex 1 turns sharply; turned round it is vertex 3, and (0,600) stays the one that pauses.
  Figures figures = ZigZagEnteredAt(4);
  for (TVertexAngle& angle : figures[2]->vertex_angles) angle.angle = 0.1;
  figures[2]->vertex_angles[1].angle = -std::numbers::pi / 2;
  const Steps steps = Walk(figures);
  EXPECT_EQ(Steps(steps.begin() + 4, steps.begin() + 9), (Steps{"200,600", "100,200", "0,600", "|", "0,800"}));
}

TEST(CutWalk, AClosedFigureIsWalkedRoundFromItsEntry) {
  // Entered at its vertex 1, (400,0): from there the wire climbs first, to (400,400).
  Figures figures;
  figures.push_back(PlannedFigure({{0, 0}, {400, 0}, {400, 400}, {0, 400}, {0, 0}}, -1, -1, 1));
  figures[0]->vertex_angles[3].angle = std::numbers::pi / 2;
  EXPECT_EQ(Walk(figures), (Steps{"|", "400,400", "0,400", "|", "0,0", "0,0", "400,0"}));
}

}  // namespace
}  // namespace varnholt
