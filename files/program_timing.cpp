#include "files/program_timing.h"

#include "link/byte_order.h"
#include "link/command_bytes.h"
#include "link/move_record.h"

namespace varnholt {

void ProgramTimer::Take(std::span<const uint8_t> command) {
  if (command.empty()) return;
  switch (command[0] & ~0x20u) {
    case 'P':
      pause_ms_ += ReadU8(command, 1);
      return;
    case 'V': {
      const uint8_t group = ReadU8(command, 1);
      if (group < periods_.size()) periods_[group] = ReadU16(command, 2);
      return;
    }
    case 'F': {
      const uint8_t group = ReadU8(command, 1);
      if (group < periods_.size()) active_group_ = group;
      return;
    }
    case 'A': {
      if (ReadU8(command, 1) != kMoveCountCode) return;
      const int32_t count = ReadI32(command, 2);
      if (count > 0) move_ticks_ += int64_t{count} * periods_[active_group_];
      return;
    }
    default:
      return;
  }
}

double ProgramTimer::seconds() const {
  return static_cast<double>(move_ticks_) * kSecondsPerPeriodTick + static_cast<double>(pause_ms_) / 1000.0;
}

double ProgramRunSeconds(std::string_view program) {
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(program.data()), program.size());
  ProgramTimer timer;
  size_t at = 0;
  while (at < bytes.size()) {
    const auto length = CommandLength(bytes[at]);
    if (!length || bytes.size() - at < static_cast<size_t>(*length)) break;
    timer.Take(bytes.subspan(at, static_cast<size_t>(*length)));
    at += static_cast<size_t>(*length);
  }
  return timer.seconds();
}

}  // namespace varnholt
