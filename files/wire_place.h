#pragma once
// Where the wire stands in a machine program: the program's moves replayed from the axis positions it began at, and
// the places on them that a position the controller reports can be.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/move_record.h"

namespace varnholt {

// Axis positions in steps, wide enough for any sum of a program's moves.
using AxisPosition = std::array<int64_t, 8>;

AxisPosition PositionOf(const AxisSteps& steps);

// One move of a program as the controller runs it.
struct PathMove {
  size_t offset = 0;          // of its opening group
  size_t end_offset = 0;      // just after its count group
  int64_t last_command = 0;   // index of its count group among the program's commands
  AxisPosition to{};          // where it ends (it begins where the one before ends, the first at the start)
};

// A place in a program: the wire has finished every move before `move` and stands `along` of the way through that
// one (0 at its beginning, below 1). Every move finished is move = the count of moves, along = 0. Places are ordered
// as the program passes them.
struct WirePlace {
  size_t move = 0;
  double along = 0.0;

  friend bool operator==(const WirePlace&, const WirePlace&) = default;
  friend bool operator<(const WirePlace& a, const WirePlace& b) {
    return a.move != b.move ? a.move < b.move : a.along < b.along;
  }
  friend bool operator<=(const WirePlace& a, const WirePlace& b) { return !(b < a); }
};

// The moves of a program replayed from the positions it starts at.
class ProgramPath {
 public:
  // Frames the program as the transmission does and replays its moves; nothing when it is damaged (a byte that
  // begins no command, a command or a move cut short, a move group with an unknown code or outside a move).
  static std::optional<ProgramPath> Replay(std::string_view program, const AxisSteps& start);

  const AxisPosition& start() const { return start_; }
  const std::vector<PathMove>& moves() const { return moves_; }
  int64_t commands() const { return commands_; }
  // Where move i begins.
  const AxisPosition& From(size_t move) const { return move == 0 ? start_ : moves_[move - 1].to; }
  // The moves whose every group lies among the first `commands` commands: those a controller that received that
  // many can have run.
  size_t MovesWithin(int64_t commands) const;

 private:
  AxisPosition start_{};
  std::vector<PathMove> moves_;
  int64_t commands_ = 0;
};

// How far along move i of path the position lies, when the controller can stand there while running the move: each
// axis between the move's ends (an axis steps toward its target only) and the position within the stepping's
// rounding of the straight line (less than one step an axis). Nothing otherwise.
std::optional<double> AlongMove(const ProgramPath& path, size_t move, const AxisPosition& position);

// What bounds the places: the place the wire was last seen at or beyond, and the moves the controller can have
// received.
struct PlaceBounds {
  WirePlace reached;
  size_t reachable_moves = 0;
};

// Every place of the path within the bounds where the controller can stand at position, in program order; the end
// of one move and the beginning of the next are one place.
std::vector<WirePlace> PlacesOf(const ProgramPath& path, const AxisPosition& position, const PlaceBounds& bounds);

// Follows the wire through a program as its positions come in: the place reached only moves on, to the first place
// at or after it where the position can be, among the next moves (a position the program does not pass near there,
// as while the operator moves the wire by hand, leaves it as it is). Positions read often enough keep it on the
// move the wire runs, also where the program passes one place twice.
class WireTracker {
 public:
  // Moves looked at ahead of the place reached, for one position.
  static constexpr size_t kLookAhead = 256;

  explicit WireTracker(WirePlace reached = {}) : reached_(reached) {}
  // Takes one position; true when the place reached moved on.
  bool Observe(const ProgramPath& path, const AxisPosition& position, size_t reachable_moves);
  const WirePlace& reached() const { return reached_; }

 private:
  WirePlace reached_;
};

}  // namespace varnholt
