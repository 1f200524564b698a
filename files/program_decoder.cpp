#include "files/program_decoder.h"

#include <cstdio>
#include <cstdlib>
#include <span>

#include "files/program_timing.h"
#include "link/byte_order.h"
#include "link/command_bytes.h"
#include "link/controller_ops.h"

namespace varnholt {
namespace {

constexpr std::array<size_t, 8> kMoveAxisOrder = {0, 4, 1, 5, 2, 6, 3, 7};

std::string Format(const char* format, auto... values) {
  char text[160];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

std::string SettingText(uint8_t key, int32_t value) {
  switch (key) {
    case 2:
      return Format("setting 2 heavy material = %d", value);
    case 4:
      return Format("setting 4 heater selection = %d (%s)", value,
                    value == 0 ? "horizontal wire" : value == 5 ? "vertical wire" : "unknown");
    case 5:
      return Format("setting 5 step multiplier = %d", value);
    case 6:
      return Format("setting 6 unit = %d", value);
    default:
      return Format("setting %u = %d", key, value);
  }
}

}  // namespace

// Decodes the program command by command; a move is gathered from its opening group to its count. A command split
// between two pieces waits in `partial_` for the rest of its bytes.
class ProgramDecoder::Decoder {
 public:
  Decoder(const ControllerState& machine, Sink sink, Words words)
      : machine_(machine), sink_(std::move(sink)), words_(words) {}

  void Feed(std::string_view piece) {
    result_.summary.bytes += piece.size();
    size_t at = 0;
    while (at < piece.size() && !result_.damage_offset) {
      if (partial_.empty()) {
        // Whole commands are decoded where they lie; only one cut by the end of the piece is copied.
        const auto letter = static_cast<uint8_t>(piece[at]);
        const size_t length = static_cast<size_t>(CommandLength(letter).value_or(0));
        if (length != 0 && piece.size() - at >= length) {
          Decode(piece.substr(at, length));
          at += length;
          continue;
        }
      }
      partial_.push_back(piece[at++]);
      const size_t length = static_cast<size_t>(CommandLength(static_cast<uint8_t>(partial_[0])).value_or(0));
      if (length == 0 || partial_.size() == length) {
        Decode(partial_);
        partial_.clear();
      }
    }
  }

  void Finish() {
    if (!partial_.empty() && !result_.damage_offset) {
      const auto letter = static_cast<uint8_t>(partial_[0]);
      const auto length = static_cast<size_t>(CommandLength(letter).value_or(0));
      Damage(offset_, Format("the command '%c' needs %zu bytes, %zu remain", letter, length, partial_.size()));
    }
    if (move_open_ && !result_.damage_offset) {
      Damage(move_offset_, "the move at the end has no step count");
    }
    ProgramSummary& summary = result_.summary;
    summary.run_seconds = timer_.seconds();
    summary.pause_ms = timer_.pause_ms();
    summary.ends_where_it_started = true;
    for (const size_t axis : {size_t{0}, size_t{1}, size_t{4}, size_t{5}}) {
      if (summary.net_steps[axis] != 0) summary.ends_where_it_started = false;
    }
  }

  DecodedProgram& result() { return result_; }

 private:
  // One command's bytes at offset_ (a byte that begins none stands alone).
  void Decode(std::string_view command) {
    bytes_ = std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(command.data()), command.size());
    const size_t at = 0;
    const uint8_t letter = ReadU8(bytes_, at);
    if (CommandLength(letter).value_or(0) == 0) {
      Damage(offset_, Format("the byte 0x%02X begins no command", letter));
      return;
    }
    // The command's time is taken first, so the sink learns when it has run; damage takes it back.
    const ProgramTimer before = timer_;
    timer_.Take(bytes_);
    if (letter == 'a' || letter == 'A') {
      MoveGroup(at, static_cast<char>(letter));
    } else if (move_open_) {
      Damage(offset_, Format("the move begun at offset %zu has no step count before the '%c'", move_offset_, letter));
    } else {
      Command(at, static_cast<char>(letter));
    }
    if (result_.damage_offset) timer_ = before;
    offset_ += command.size();
  }

 private:
  void Damage(size_t offset, std::string text) {
    result_.damage_offset = offset;
    result_.damage = std::move(text);
  }

  // Counts a command and hands it to the sink; its text is made only when there is a sink to take it.
  void Add(size_t offset, char letter, const auto& make_text, const std::array<int32_t, 8>& steps = {}) {
    ++result_.summary.commands;
    if (!sink_) return;
    DecodedCommand command;
    command.offset = offset;
    command.letter = letter;
    if (words_ == Words::kMade) command.text = make_text();
    command.steps = steps;
    command.speed_group = selected_group_;
    command.seconds = timer_.seconds();
    sink_(command);
  }

  void MoveGroup(size_t at, char letter) {
    const uint8_t code = ReadU8(bytes_, at + 1);
    const int32_t value = ReadI32(bytes_, at + 2);
    if (code == 0xFF) {
      if (move_open_) {
        Damage(offset_ + at, Format("the move begun at offset %zu has no step count before the next move", move_offset_));
        return;
      }
      move_open_ = true;
      move_offset_ = offset_ + at;
      move_steps_ = {};
      return;
    }
    if (!move_open_) {
      Damage(offset_ + at, Format("a move group (axis code 0x%02X) outside a move", code));
      return;
    }
    if (code <= 7) {
      move_steps_[code] = value;
      return;
    }
    if (code != 0xFE) {
      Damage(offset_ + at, Format("the move group's axis code 0x%02X is unknown", code));
      return;
    }
    move_open_ = false;
    for (size_t axis = 0; axis < move_steps_.size(); ++axis) {
      result_.summary.travel_steps[axis] += std::llabs(int64_t{move_steps_[axis]});
      result_.summary.net_steps[axis] += move_steps_[axis];
    }
    Add(move_offset_, letter, [this, value] {
      std::string text = "move";
      for (const size_t axis : kMoveAxisOrder) {
        if (move_steps_[axis] != 0) text += Format(" %s=%d", std::string(AxisName(axis)).c_str(), move_steps_[axis]);
      }
      return text + Format(" count=%d", value);
    }, move_steps_);
    ++result_.summary.moves;
  }

  void Command(size_t at, char letter) {
    const char upper = static_cast<char>(letter >= 'a' ? letter - 'a' + 'A' : letter);
    switch (upper) {
      case 'P': {
        Add(offset_ + at, letter, [&] { return Format("pause %u ms", ReadU8(bytes_, at + 1)); });
        return;
      }
      case 'V': {
        Add(offset_ + at, letter, [&] {
          const uint8_t group = ReadU8(bytes_, at + 1);
          const uint16_t period = ReadU16(bytes_, at + 2);
          // The record holds the period divided by the step multiplier.
          const int64_t full_period = int64_t{period} * machine_.profile.StepMultiplier;
          const uint16_t speed = full_period == 0 ? 0 : SpeedFromPeriod(machine_, full_period);
          return Format("speed group %u period %u (%u mm/min)", group, period, speed);
        });
        return;
      }
      case 'F': {
        const uint8_t group = ReadU8(bytes_, at + 1);
        selected_group_ = group;
        Add(offset_ + at, letter, [group] { return Format("select speed group %u", group); });
        return;
      }
      case 'S':
        Add(offset_ + at, letter, [&] { return SettingText(ReadU8(bytes_, at + 1), ReadI32(bytes_, at + 2)); });
        return;
      case 'T':
        Add(offset_ + at, letter,
            [&] { return Format("heater channel %u power %u", ReadU8(bytes_, at + 1), ReadU8(bytes_, at + 2)); });
        return;
      case 'R':
        Add(offset_ + at, letter, [&] {
          return Format("heater channel %u %s", ReadU8(bytes_, at + 2), ReadU8(bytes_, at + 1) ? "on" : "off");
        });
        return;
      default:
        Add(offset_ + at, letter, [&] {
          std::string text = "command";
          const auto length = static_cast<size_t>(CommandLength(static_cast<uint8_t>(letter)).value_or(1));
          for (size_t i = 1; i < length; ++i) text += Format(" %02X", ReadU8(bytes_, at + i));
          return text;
        });
    }
  }

  std::span<const uint8_t> bytes_;  // the command being decoded
  size_t offset_ = 0;               // its offset in the program
  std::string partial_;
  const ControllerState machine_;  // a copy: the decoder may outlive the caller's state
  Sink sink_;
  Words words_;
  DecodedProgram result_;
  bool move_open_ = false;
  size_t move_offset_ = 0;
  std::array<int32_t, 8> move_steps_{};
  uint8_t selected_group_ = 0;  // the group last selected, as the program gave it
  ProgramTimer timer_;
};

std::string_view AxisName(size_t code) {
  static constexpr std::array<std::string_view, 8> kNames = {"X1", "Y1", "belt2", "belt3", "X2", "Y2", "belt1",
                                                             "axis7"};
  return code < kNames.size() ? kNames[code] : "?";
}

ProgramDecoder::ProgramDecoder(const ControllerState& machine, Sink sink, Words words)
    : decoder_(std::make_unique<Decoder>(machine, std::move(sink), words)) {}
ProgramDecoder::~ProgramDecoder() = default;
void ProgramDecoder::Feed(std::string_view bytes) { decoder_->Feed(bytes); }
void ProgramDecoder::Finish() { decoder_->Finish(); }
bool ProgramDecoder::damaged() const { return decoder_->result().damage_offset.has_value(); }
DecodedProgram& ProgramDecoder::result() { return decoder_->result(); }

DecodedProgram DecodeProgram(std::string_view bytes, const ControllerState& machine) {
  std::vector<DecodedCommand> commands;
  ProgramDecoder decoder(machine, [&commands](const DecodedCommand& command) { commands.push_back(command); });
  decoder.Feed(bytes);
  decoder.Finish();
  DecodedProgram program = std::move(decoder.result());
  program.commands = std::move(commands);
  return program;
}

ProgramSummary SummarizeProgram(std::string_view bytes, const ControllerState& machine) {
  ProgramDecoder decoder(machine, nullptr);
  decoder.Feed(bytes);
  decoder.Finish();
  return decoder.result().summary;
}

}  // namespace varnholt
