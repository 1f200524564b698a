#include "files/wire_place.h"

#include <algorithm>
#include <span>

#include "link/byte_order.h"
#include "link/command_bytes.h"

namespace varnholt {
namespace {

// An inside place never reads as a move's end or beginning, whatever the rounding of `along`.
constexpr double kInside = 1e-9;

// Calls found(place) for each place of moves [first, last) at position, in program order, until it returns true.
template <typename Found>
void ScanPlaces(const ProgramPath& path, const AxisPosition& position, size_t first, size_t last, Found found) {
  for (size_t i = first; i < last; ++i) {
    const std::optional<double> along = AlongMove(path, i, position);
    if (!along) continue;
    WirePlace place{i, std::clamp(*along, kInside, 1.0 - kInside)};
    if (position == path.moves()[i].to) {
      place = {i + 1, 0.0};
    } else if (position == path.From(i)) {
      place = {i, 0.0};
    }
    if (found(place)) return;
  }
}

}  // namespace

AxisPosition PositionOf(const AxisSteps& steps) {
  AxisPosition position{};
  for (size_t axis = 0; axis < position.size(); ++axis) position[axis] = steps[axis];
  return position;
}

std::optional<ProgramPath> ProgramPath::Replay(std::string_view program, const AxisSteps& start) {
  ProgramPath path;
  path.start_ = PositionOf(start);
  AxisPosition at = path.start_;
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(program.data()), program.size());
  bool open = false;
  size_t open_offset = 0;
  AxisSteps steps{};
  size_t offset = 0;
  int64_t command = 0;
  for (; offset < bytes.size(); ++command) {
    const auto letter = static_cast<uint8_t>(bytes[offset] & ~0x20u);
    const std::optional<int> length = CommandLength(letter);
    if (!length || bytes.size() - offset < static_cast<size_t>(*length)) return std::nullopt;
    if (letter == 'A') {
      const uint8_t code = ReadU8(bytes, offset + 1);
      const int32_t value = ReadI32(bytes, offset + 2);
      if (code == kMoveOpenCode) {
        if (open) return std::nullopt;
        open = true;
        open_offset = offset;
        steps = {};
      } else if (code < steps.size() && open) {
        steps[code] = value;
      } else if (code == kMoveCountCode && open) {
        open = false;
        // The controller runs no move of no count: its steps are not made.
        if (value > 0) {
          for (size_t axis = 0; axis < at.size(); ++axis) at[axis] += steps[axis];
          path.moves_.push_back({open_offset, offset + static_cast<size_t>(*length), command, at});
        }
      } else {
        return std::nullopt;
      }
    } else if (open) {
      return std::nullopt;
    }
    offset += static_cast<size_t>(*length);
  }
  if (open) return std::nullopt;
  path.commands_ = command;
  return path;
}

size_t ProgramPath::MovesWithin(int64_t commands) const {
  const auto end = std::partition_point(moves_.begin(), moves_.end(),
                                        [commands](const PathMove& move) { return move.last_command < commands; });
  return static_cast<size_t>(end - moves_.begin());
}

std::optional<double> AlongMove(const ProgramPath& path, size_t move, const AxisPosition& position) {
  if (move >= path.moves().size()) return std::nullopt;
  const AxisPosition& from = path.From(move);
  const AxisPosition& to = path.moves()[move].to;
  double length2 = 0.0, projection = 0.0;
  int moving = 0;
  for (size_t axis = 0; axis < position.size(); ++axis) {
    if (position[axis] < std::min(from[axis], to[axis]) || position[axis] > std::max(from[axis], to[axis])) {
      return std::nullopt;
    }
    const auto d = static_cast<double>(to[axis] - from[axis]);
    if (d == 0.0) continue;
    ++moving;
    length2 += d * d;
    projection += static_cast<double>(position[axis] - from[axis]) * d;
  }
  if (moving == 0) return std::nullopt;
  const double along = std::clamp(projection / length2, 0.0, 1.0);
  // Each moving axis is less than a step off the line, so the whole position less than the root of their count.
  double off2 = 0.0;
  for (size_t axis = 0; axis < position.size(); ++axis) {
    const double off = static_cast<double>(position[axis] - from[axis]) - along * static_cast<double>(to[axis] - from[axis]);
    off2 += off * off;
  }
  if (off2 > static_cast<double>(moving) + 1e-9) return std::nullopt;
  return along;
}

std::vector<WirePlace> PlacesOf(const ProgramPath& path, const AxisPosition& position, const PlaceBounds& bounds) {
  std::vector<WirePlace> places;
  const size_t last = std::min(bounds.reachable_moves, path.moves().size());
  // The move before the one reached ends where that one begins.
  const size_t first = std::max<size_t>(bounds.reached.move, 1) - 1;
  ScanPlaces(path, position, first, last, [&](const WirePlace& place) {
    if (bounds.reached <= place && (places.empty() || !(places.back() == place))) places.push_back(place);
    return false;
  });
  return places;
}

bool WireTracker::Observe(const ProgramPath& path, const AxisPosition& position, size_t reachable_moves) {
  const size_t first = std::max<size_t>(reached_.move, 1) - 1;
  const size_t last = std::min({reachable_moves, path.moves().size(), reached_.move + kLookAhead});
  bool moved = false;
  ScanPlaces(path, position, first, last, [&](const WirePlace& place) {
    // A position still on the move reached (or back on it) says nothing new; the program passing the same place
    // later is no reason to jump there.
    if (reached_ < place) {
      reached_ = place;
      moved = true;
    }
    return true;
  });
  return moved;
}

}  // namespace varnholt
