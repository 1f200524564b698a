#pragma once
// The last cut's identity, kept in the account's data folder beside out.cn: what was cut (the drawing, the
// configuration and the program, by digest), where the program began and how much of it the controller can hold.
// A restart of the program reads it to offer resuming an interrupted cut.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "files/wire_place.h"
#include "geometry/figure.h"
#include "link/move_record.h"

namespace varnholt {

struct LastCut {
  std::string drawing;
  std::string configuration_digest;
  std::string program_digest;  // of out.cn
  AxisSteps start{};           // the axis positions the program began at
  int32_t start_x = 0, start_y = 0;  // the start point sent with it
  // The drawing point the program began at, in drawing units (a record without one shows no drawing).
  std::optional<TPlotPoint> entry;
  // The commands of out.cn the controller can have received (a resumed program's counted as the out.cn commands
  // they are), and the place of the program the wire was at or beyond when they were counted.
  int64_t commands_received = 0;
  WirePlace reached;
  bool finished = false;  // the program ran to its end

  friend bool operator==(const LastCut&, const LastCut&) = default;
};

// The file of the record in the program folder (with its trailing separator).
std::string LastCutFile(const std::string& program_folder);
// The record as the file holds it; nothing when there is none or it cannot be read as a whole.
std::optional<LastCut> ReadLastCut(const std::string& program_folder);
// Replaces the record; throws RunTimeError when it cannot be written.
void WriteLastCut(const std::string& program_folder, const LastCut& cut);

// A digest of bytes (hexadecimal), for telling whether a program or a configuration changed.
std::string DigestOf(std::string_view bytes);

}  // namespace varnholt
