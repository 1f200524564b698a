#include "files/wire_place.h"

#include <gtest/gtest.h>

#include <string>

#include "link/move_record.h"
#include "support/bytes.h"

namespace varnholt {
namespace {

using testing::Bytes;

// A stored move of the arms (both wire ends alike) by dx, dy steps.
std::string Move(int32_t dx, int32_t dy) { return BuildMoveRecord('a', 1, ArmMoveSteps(dx, dx, dy, dy, 0, 0)).bytes; }

AxisPosition At(int64_t x, int64_t y) { return {x, y, 0, 0, x, y, 0, 0}; }

// A square of 1000 steps from the start, with a connector out to it and back run over the same line, and a speed
// selection and pauses between (commands that are no moves).
std::string Square() {
  return Bytes({'p', 1, 'f', 1}) + Move(500, 0) + Move(0, 1000) + Bytes({'p', 50}) + Move(1000, 0) +
         Move(0, -1000) + Move(-1000, 0) + Move(-500, 0);
}

TEST(ProgramPath, ReplaysTheMovesFromTheStartWithTheirCommandsAndOffsets) {
  const AxisSteps start{100, 200, 0, 0, 100, 200, 0, 0};
  const auto path = ProgramPath::Replay(Square(), start);
  ASSERT_TRUE(path);
  ASSERT_EQ(path->moves().size(), 6u);
  EXPECT_EQ(path->From(0), At(100, 200));
  EXPECT_EQ(path->moves()[0].to, At(600, 200));
  EXPECT_EQ(path->moves()[3].to, At(1600, 200));
  EXPECT_EQ(path->moves()[5].to, At(100, 200));
  // Two commands before the first move; a move along one direction is its opening group, a group for each wire
  // end and its count: four commands.
  EXPECT_EQ(path->moves()[0].offset, 4u);
  EXPECT_EQ(path->moves()[0].last_command, 2 + 3);
  EXPECT_EQ(path->moves()[1].last_command, 2 + 3 + 4);
  EXPECT_EQ(path->moves()[2].last_command, 2 + 3 + 4 + 1 + 4);
  EXPECT_EQ(path->commands(), 2 + 6 * 4 + 1);
  EXPECT_EQ(path->MovesWithin(path->moves()[1].last_command), 1u);
  EXPECT_EQ(path->MovesWithin(path->moves()[1].last_command + 1), 2u);
}

TEST(ProgramPath, RefusesADamagedProgram) {
  const AxisSteps start{};
  const std::string move = Move(500, 0);
  EXPECT_FALSE(ProgramPath::Replay(move.substr(0, move.size() - 6), start)) << "a move left open";
  EXPECT_FALSE(ProgramPath::Replay(move.substr(6), start)) << "groups outside a move";
  EXPECT_FALSE(ProgramPath::Replay(move.substr(0, 6) + Bytes({'p', 1}) + move.substr(6), start))
      << "another command inside a move";
  EXPECT_FALSE(ProgramPath::Replay(move + "\x01", start)) << "a byte that begins no command";
  EXPECT_FALSE(ProgramPath::Replay(move + "p", start)) << "a command cut short";
  EXPECT_FALSE(ProgramPath::Replay(Bytes({'a', 0xFF, 0, 0, 0, 0, 'a', 9, 1, 0, 0, 0, 'a', 0xFE, 1, 0, 0, 0}), start))
      << "an unknown axis";
}

TEST(ProgramPath, AMoveOfNoCountIsNotMade) {
  const std::string none = Bytes({'a', 0xFF, 0, 0, 0, 0, 'a', 0, 100, 0, 0, 0, 'a', 0xFE, 0, 0, 0, 0});
  const auto path = ProgramPath::Replay(none + Move(10, 0), AxisSteps{});
  ASSERT_TRUE(path);
  ASSERT_EQ(path->moves().size(), 1u);
  EXPECT_EQ(path->moves()[0].to, At(10, 0));
}

class Places : public ::testing::Test {
 protected:
  std::vector<WirePlace> Of(const AxisPosition& position, int64_t commands = INT64_MAX, WirePlace reached = {}) {
    return PlacesOf(path_, position, PlaceBounds{reached, path_.MovesWithin(commands)});
  }
  ProgramPath path_ = *ProgramPath::Replay(Square(), AxisSteps{});
};

TEST_F(Places, TheEndOfAMoveIsTheBeginningOfTheNext) {
  EXPECT_EQ(Of(At(500, 1000)), (std::vector<WirePlace>{{2, 0.0}}));
  // The start of the program, and its end (back at the start point, where the connector began): two places.
  EXPECT_EQ(Of(At(0, 0)), (std::vector<WirePlace>{{0, 0.0}, {6, 0.0}}));
}

TEST_F(Places, InsideAMoveWithinTheSteppingsRounding) {
  const auto inside = Of(At(1100, 1000));
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0].move, 2u);
  EXPECT_NEAR(inside[0].along, 0.6, 1e-9);
  // One wire end a step behind the other: still on the move, as the controller rounds each axis.
  AxisPosition skewed = At(1100, 1000);
  skewed[4] = 1099;
  ASSERT_EQ(Of(skewed).size(), 1u);
  EXPECT_EQ(Of(skewed)[0].move, 2u);
}

TEST_F(Places, APositionOnNoMoveIsRefused) {
  EXPECT_TRUE(Of(At(1100, 998)).empty()) << "two steps beside a move";
  EXPECT_TRUE(Of(At(-1, 0)).empty()) << "beyond the end of a move";
  AxisPosition belt = At(1100, 1000);
  belt[2] = 5;
  EXPECT_TRUE(Of(belt).empty()) << "a belt that the program never moved";
  AxisPosition apart = At(1100, 1000);
  apart[4] = 1300;
  EXPECT_TRUE(Of(apart).empty()) << "the wire ends apart";
}

TEST_F(Places, TheCommandsReceivedBoundAPlaceTheProgramPassesTwice) {
  // The connector out (move 0) and back (move 5) cross the same line.
  const AxisPosition on_connector = At(200, 0);
  const auto both = Of(on_connector);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0].move, 0u);
  EXPECT_EQ(both[1].move, 5u);
  EXPECT_NEAR(both[0].along, 0.4, 1e-9);
  EXPECT_NEAR(both[1].along, 0.6, 1e-9);
  // A controller that never received the way back stands on the way out.
  EXPECT_EQ(Of(on_connector, path_.moves()[5].last_command), (std::vector<WirePlace>{both[0]}));
  EXPECT_EQ(Of(on_connector, path_.moves()[5].last_command + 1).size(), 2u);
  // One seen beyond the way out stands on the way back.
  EXPECT_EQ(Of(on_connector, INT64_MAX, WirePlace{3, 0.0}), (std::vector<WirePlace>{both[1]}));
  // Received only the first move: the wire cannot be beyond it.
  EXPECT_TRUE(Of(At(500, 500), path_.moves()[0].last_command + 1).empty());
}

}  // namespace
}  // namespace varnholt

namespace varnholt {
namespace {

TEST(WireTracker, FollowsTheWireOnAndTellsTheTwoPassesOfOnePlaceApart) {
  const ProgramPath path = *ProgramPath::Replay(Square(), AxisSteps{});
  WireTracker tracker;
  EXPECT_TRUE(tracker.Observe(path, At(200, 0), path.moves().size()));
  EXPECT_EQ(tracker.reached().move, 0u) << "the way out, first";
  EXPECT_TRUE(tracker.Observe(path, At(1100, 1000), path.moves().size()));
  EXPECT_EQ(tracker.reached().move, 2u);
  // A position off the program (the wire moved by hand) and one behind the place reached change nothing.
  EXPECT_FALSE(tracker.Observe(path, At(700, 700), path.moves().size()));
  EXPECT_FALSE(tracker.Observe(path, At(500, 500), path.moves().size()));
  EXPECT_EQ(tracker.reached().move, 2u);
  // Back on the connector: its second pass.
  EXPECT_TRUE(tracker.Observe(path, At(200, 0), path.moves().size()));
  EXPECT_EQ(tracker.reached(), (WirePlace{5, 0.6}));
}

TEST(WireTracker, GoesNoFurtherThanTheMovesReceived) {
  const ProgramPath path = *ProgramPath::Replay(Square(), AxisSteps{});
  WireTracker tracker(WirePlace{3, 0.0});
  EXPECT_FALSE(tracker.Observe(path, At(200, 0), 5)) << "the way back was not received";
  EXPECT_EQ(tracker.reached(), (WirePlace{3, 0.0}));
}

}  // namespace
}  // namespace varnholt
