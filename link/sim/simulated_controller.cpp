#include "link/sim/simulated_controller.h"

#include <algorithm>
#include <utility>
#include <cmath>
#include <limits>

#include "geometry/clock.h"
#include "link/byte_order.h"

namespace varnholt::sim {
namespace {

constexpr double kTickMs = 0.8 / 1000.0;
constexpr size_t kRecordSize = 64;

bool IsArmAxis(size_t axis) { return axis == 0 || axis == 1 || axis == 4 || axis == 5; }

// The length of the command that starts with letter when it arrives in a report of its own.
size_t FramedLength(uint8_t letter) {
  if (letter == 'U') return kDirectSetStartPointLength;
  if (letter == 'N') return kDirectHomeLength;
  return static_cast<size_t>(CommandLength(letter).value_or(1));
}

uint8_t At(const CommandBytes& command, size_t at) {
  return at < command.size() ? static_cast<uint8_t>(command[at]) : 0;
}

int32_t I32At(const CommandBytes& command, size_t at) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(command.data());
  return ReadI32(std::span<const uint8_t>(bytes, command.size()), at);
}

}  // namespace

SimulatedModel ModelData(const std::string& code) {
  if (code == "Qe") return SimulatedModel{"Qe", 2.0, 2.0, 1.25, {12800, 12800, 12800, 600}, 4800, 2400};
  if (code == "Qo") return SimulatedModel{"Qo", 1.25, 1.25, 0.8, {16000, 16000, 16000, 600}, 4800, 2400};
  return SimulatedModel{"Qa", 1.6, 1.5184, 1.0, {50000, 50000, 50000, 600}, 4800, 2400};
}

SimulatedController::SimulatedController(const std::string& model_code, double start_x_mm, double start_y_mm)
    : model_(ModelData(model_code)), firmware_(kFirmwareWords, kErasedWord) {
  physical_[0] = physical_[4] = std::llround(start_x_mm * 100.0 * model_.scale_x);
  physical_[1] = physical_[5] = std::llround(start_y_mm * 100.0 * model_.scale_y);
  // Until homing the controller counts from where it was switched on.
  origin_ = physical_;
  for (size_t i = 0; i < firmware_.size(); ++i) firmware_[i] = static_cast<uint16_t>(i * 7919u);
  SetFirmwareVersion(version_[0], version_[1]);
}

void SimulatedController::SetFirmwareVersion(uint8_t major, uint8_t minor) {
  version_ = {major, minor};
  firmware_[kFirmwareMajorAddress] = major;
  firmware_[kFirmwareMinorAddress] = minor;
}

void SimulatedController::WriteFirmwareWord(uint16_t word) {
  if (firmware_pointer_ >= firmware_.size()) return;
  if (corrupt_word_ && corrupt_word_->first == firmware_pointer_) word = corrupt_word_->second;
  firmware_[firmware_pointer_++] = word;
  // A complete program runs as the firmware of its version words; words beyond a byte are no version.
  const uint16_t major = firmware_[kFirmwareMajorAddress], minor = firmware_[kFirmwareMinorAddress];
  if (firmware_pointer_ == firmware_.size() && major <= 0xFF && minor <= 0xFF) {
    version_ = {static_cast<uint8_t>(major), static_cast<uint8_t>(minor)};
  }
}

std::vector<HidDeviceInfo> SimulatedController::Enumerate() {
  std::vector<HidDeviceInfo> devices = others_before_;
  if (plugged_) {
    devices.push_back(HidDeviceInfo{kSimulatedDeviceId, 0x1209, 0x7A01, "Quellmar",
                                    model_.code + " hot-wire controller (simulated)", "SIM-" + model_.code + "-0001"});
  }
  devices.insert(devices.end(), others_after_.begin(), others_after_.end());
  return devices;
}

void SimulatedController::AddOtherDevice(const HidDeviceInfo& device, bool first) {
  (first ? others_before_ : others_after_).push_back(device);
}

int SimulatedController::Open(const std::string& id) {
  if (!IsController(id)) {
    const auto listed = [&id](const std::vector<HidDeviceInfo>& list) {
      return std::any_of(list.begin(), list.end(), [&id](const HidDeviceInfo& d) { return d.id == id; });
    };
    return listed(others_before_) || listed(others_after_) ? 0 : kHidFileNotFound;
  }
  // A handle opened before the cable was pulled stays valid; only its transfers fail.
  if (!plugged_) return open_ ? 0 : kHidFileNotFound;
  open_ = true;
  return 0;
}

void SimulatedController::Close(const std::string& id) {
  if (IsController(id)) open_ = false;
}

void SimulatedController::Unplug() {
  Advance();
  plugged_ = false;
  change_pending_ = true;
}

void SimulatedController::Replug() {
  Advance();
  plugged_ = true;
  open_ = false;
  change_pending_ = true;
}

void SimulatedController::FailNextWrites(int count, int error) {
  write_failures_left_ = count;
  write_error_ = error;
}

void SimulatedController::FailNextReads(int count, int error) {
  read_failures_left_ = count;
  read_error_ = error;
}

void SimulatedController::PollEvents() {
  if (!change_pending_) return;
  change_pending_ = false;
  if (change_handler_) change_handler_();
}

void SimulatedController::ClearLog() {
  reports_.clear();
  commands_.clear();
  record_requests_.clear();
}

int64_t SimulatedController::record_requests(int index) const {
  const auto found = record_requests_.find(index);
  return found == record_requests_.end() ? 0 : found->second;
}

int SimulatedController::WriteReport(const std::string& id, const HidReport& report) {
  if (!IsController(id)) return 0;
  if (!plugged_) return kHidDeviceNotConnected;
  if (!open_) return kHidInvalidParameter;
  if (write_failures_left_ > 0) {
    --write_failures_left_;
    return write_error_;
  }
  Advance();
  reports_.push_back(report);
  const uint8_t letter = report[1];
  const size_t length = std::min(FramedLength(letter), kReportSize - 1);
  CommandBytes command(reinterpret_cast<const char*>(report.data() + 1), length);
  commands_.push_back(command);
  if ((letter & 0x20) != 0) {
    // Lower-case letters are commands of a stored program.
    if (program_.size() >= kProgramCapacity) {
      ++lost_commands_;
    } else {
      program_.push_back(command);
      if (program_state_ == ProgramState::kEmpty) {
        program_state_ = ProgramState::kLoaded;
        program_records_.push_back(ProgramRecord{});
      }
      ++program_records_.back().commands;
    }
  } else {
    if (program_state_ == ProgramState::kRunning && letter != 'Q' && letter != 'K') {
      commands_while_running_.push_back(command);
    }
    ExecuteDirect(command);
  }
  if (after_command_) after_command_(command);
  return 0;
}

int SimulatedController::GetIndexedString(const std::string& id, int index, std::span<uint8_t> buffer,
                                          size_t available) {
  ++string_requests_;
  if (!IsController(id)) return kHidInvalidParameter;
  ++record_requests_[index];
  if (!plugged_) return kHidDeviceNotConnected;
  if (!open_) return kHidInvalidParameter;
  if (read_failures_left_ > 0) {
    --read_failures_left_;
    return read_error_;
  }
  Advance();
  std::array<uint8_t, kRecordSize> record{};
  FillRecord(index, record);
  std::copy_n(record.begin(), std::min({record.size(), buffer.size(), available}), buffer.begin());
  return 0;
}

void SimulatedController::Advance() {
  const int64_t now = CurrentClock().NowMs();
  if (!clock_started_) {
    clock_started_ = true;
    last_ms_ = now;
    return;
  }
  if (now > last_ms_) Simulate(static_cast<double>(now - last_ms_));
  last_ms_ = std::max(last_ms_, now);
}

void SimulatedController::Simulate(double ms) {
  if (program_state_ == ProgramState::kRunning) running_ms_ += ms;
  double left = ms;
  while (true) {
    if (motion_) {
      const double remaining = motion_->duration_ms - motion_->elapsed_ms;
      if (left < remaining) {
        PlaceMotionAt(*motion_, motion_->elapsed_ms + left);
        return;
      }
      left -= remaining;
      PlaceMotionAt(*motion_, motion_->duration_ms);
      for (size_t axis = 0; axis < 8; ++axis) {
        if (((static_cast<unsigned>(motion_->homing_mask) >> axis) & 1u) != 0) origin_[axis] = physical_[axis];
      }
      ++moves_completed_;
      if (motion_->from_program) {
        ++program_moves_completed_;
        if (!program_records_.empty()) ++program_records_.back().moves_completed;
      }
      motion_.reset();
      continue;
    }
    if (program_state_ != ProgramState::kRunning) return;
    if (pause_left_ms_ > 0.0) {
      if (left < pause_left_ms_) {
        pause_left_ms_ -= left;
        return;
      }
      left -= pause_left_ms_;
      pause_left_ms_ = 0.0;
      continue;
    }
    if (program_.empty()) {
      program_state_ = ProgramState::kEmpty;
      ++programs_finished_;
      EndProgramRecord(ProgramRecord::End::kFinished);
      return;
    }
    const CommandBytes command = program_.front();
    program_.pop_front();
    ExecuteStored(command);
  }
}

int64_t SimulatedController::LimitSteps(size_t axis) const {
  if (axis == 0 || axis == 4) return std::llround(model_.x_range_mm * 100.0 * model_.scale_x);
  if (axis == 1 || axis == 5) return std::llround(model_.y_range_mm * 100.0 * model_.scale_y);
  return std::numeric_limits<int32_t>::max();
}

void SimulatedController::PlaceMotionAt(Motion& motion, double elapsed_ms) {
  motion.elapsed_ms = elapsed_ms;
  const double fraction = motion.duration_ms > 0.0 ? std::min(1.0, elapsed_ms / motion.duration_ms) : 1.0;
  for (size_t axis = 0; axis < 8; ++axis) {
    int64_t position = motion.start[axis] + std::llround(static_cast<double>(motion.delta[axis]) * fraction);
    // The arms stop at their limit switches; belts and rotary axes have none.
    if (IsArmAxis(axis)) position = std::clamp<int64_t>(position, 0, LimitSteps(axis));
    physical_[axis] = position;
  }
}

double SimulatedController::PeriodTicks() const {
  const uint16_t period = periods_[active_group_ < periods_.size() ? active_group_ : 0];
  return period == 0 ? 400.0 : period;
}

void SimulatedController::StartMove(const AxisSteps& steps, int64_t count, bool from_program) {
  if (count <= 0) return;
  Motion motion;
  motion.start = physical_;
  for (size_t axis = 0; axis < 8; ++axis) motion.delta[axis] = steps[axis];
  motion.duration_ms = static_cast<double>(count) * PeriodTicks() * kTickMs;
  motion.from_program = from_program;
  motion_ = motion;
}

void SimulatedController::StartHoming(uint8_t mask) {
  Motion motion;
  motion.start = physical_;
  motion.homing_mask = mask;
  int64_t longest = 0;
  for (size_t axis = 0; axis < 8; ++axis) {
    if (((static_cast<unsigned>(mask) >> axis) & 1u) == 0) continue;
    if (IsArmAxis(axis)) {
      motion.delta[axis] = -physical_[axis];
      longest = std::max(longest, physical_[axis]);
    } else {
      origin_[axis] = physical_[axis];  // belts count from where they stand
    }
  }
  motion.duration_ms = static_cast<double>(longest) * kHomingPeriodTicks * kTickMs;
  motion_ = motion;
}

void SimulatedController::TakeMoveGroup(PendingMove& pending, const CommandBytes& group, bool from_program) {
  const uint8_t code = At(group, 1);
  const int32_t value = I32At(group, 2);
  if (code == kMoveOpenCode) {
    pending = PendingMove{true, {}};
  } else if (code < 8) {
    if (pending.open) pending.steps[code] = value;
  } else if (code == kMoveCountCode) {
    if (pending.open) StartMove(pending.steps, value, from_program);
    pending = PendingMove{};
  }
}

void SimulatedController::ExecuteSetting(uint8_t key, int32_t value) {
  settings_[key] = value;
  switch (key) {
    case kSettingStepMultiplier:
      multiplier_ = value;
      break;
    case kSettingFirmwareRead:
      firmware_pointer_ = value == kFirmwareStartAddress ? 0 : static_cast<size_t>(value & 0xFFFFFF);
      break;
    case kSettingFirmwareErase:
      if (!erase_fails_) std::fill(firmware_.begin(), firmware_.end(), kErasedWord);
      break;
    case kSettingFirmwareWrite:
      WriteFirmwareWord(static_cast<uint16_t>(value & 0xFFFF));
      break;
    case kSettingFirmwareRestart:
      Reset();
      break;
    default:
      break;
  }
}

void SimulatedController::EndProgramRecord(ProgramRecord::End end) {
  if (!program_records_.empty() && program_records_.back().end == ProgramRecord::End::kUnderWay) {
    program_records_.back().end = end;
  }
}

void SimulatedController::Reset() {
  EndProgramRecord(ProgramRecord::End::kReset);
  motion_.reset();
  suspended_.reset();
  pause_left_ms_ = 0.0;
  program_.clear();
  program_state_ = ProgramState::kEmpty;
  direct_move_ = program_move_ = PendingMove{};
  for (Heater& heater : heaters_) heater.on = false;
}

void SimulatedController::ExecuteDirect(const CommandBytes& command) {
  const uint8_t letter = At(command, 0);
  switch (letter) {
    case 'A':
      // A direct move never interrupts a stored program's move.
      if (!(motion_ && motion_->from_program)) TakeMoveGroup(direct_move_, command, false);
      break;
    case 'B':
      if (!motion_) StartHoming(At(command, 1));
      break;
    case 'C':
      EndProgramRecord(ProgramRecord::End::kCleared);
      program_.clear();
      program_move_ = PendingMove{};
      suspended_.reset();
      pause_left_ms_ = 0.0;
      if (motion_ && motion_->from_program) motion_.reset();
      program_state_ = ProgramState::kEmpty;
      break;
    case 'F':
      active_group_ = At(command, 1);
      break;
    case 'G':
      if (program_state_ == ProgramState::kLoaded) program_state_ = ProgramState::kRunning;
      break;
    case 'K':
      if (program_state_ == ProgramState::kPaused) {
        program_state_ = ProgramState::kRunning;
        if (suspended_) {
          // The interrupted move goes on from where the arms stand now to its own end.
          Motion rest = *suspended_;
          for (size_t axis = 0; axis < 8; ++axis) {
            const int64_t end = rest.start[axis] + rest.delta[axis];
            rest.delta[axis] = end - physical_[axis];
            rest.start[axis] = physical_[axis];
          }
          rest.duration_ms -= rest.elapsed_ms;
          rest.elapsed_ms = 0.0;
          motion_ = rest;
          suspended_.reset();
        }
      }
      break;
    case 'N':
      homed_ = true;
      break;
    case 'Q':
      if (std::exchange(miss_next_stop_, false)) break;
      if (program_state_ == ProgramState::kRunning) {
        program_state_ = ProgramState::kPaused;
        if (motion_ && motion_->from_program) {
          suspended_ = motion_;
          motion_.reset();
        }
      }
      break;
    case 'R':
      if (At(command, 2) < heaters_.size()) heaters_[At(command, 2)].on = At(command, 1) != 0;
      break;
    case 'S':
      ExecuteSetting(At(command, 1), I32At(command, 2));
      break;
    case 'T':
      if (At(command, 1) < heaters_.size()) {
        heater_channel_ = At(command, 1);
        heaters_[heater_channel_].power = At(command, 2);
      }
      break;
    case 'U':
      start_point_ = {I32At(command, 1), I32At(command, 5)};
      break;
    case 'V':
      if (At(command, 1) < periods_.size()) {
        periods_[At(command, 1)] = static_cast<uint16_t>(At(command, 2) | (At(command, 3) << 8));
      }
      break;
    case 'X':
      Reset();
      break;
    case 'Y':
      if (motion_ && !motion_->from_program) motion_.reset();
      direct_move_ = PendingMove{};
      break;
    default:
      break;  // framed and ignored
  }
}

void SimulatedController::ExecuteStored(const CommandBytes& command) {
  const uint8_t letter = static_cast<uint8_t>(At(command, 0) & ~0x20u);
  switch (letter) {
    case 'A':
      TakeMoveGroup(program_move_, command, true);
      break;
    case 'P':
      pause_left_ms_ = At(command, 1);
      break;
    case 'F':
    case 'R':
    case 'S':
    case 'T':
    case 'V': {
      CommandBytes direct = command;
      direct[0] = static_cast<char>(letter);
      ExecuteDirect(direct);
      break;
    }
    default:
      break;  // the controller's own commands; nothing to show here
  }
}

bool SimulatedController::Heating() const {
  return std::any_of(heaters_.begin(), heaters_.end(), [](const Heater& h) { return h.on; }) || QoVerticalWireOn();
}

bool SimulatedController::HorizontalWireHot() const { return heaters_[1].on || heaters_[2].on; }

bool SimulatedController::VerticalWiresHot() const { return heaters_[3].on || QoVerticalWireOn(); }

bool SimulatedController::QoVerticalWireOn() const {
  // A Qo feeds its vertical wires whenever the power output is switched to them.
  return model_.code == "Qo" && settings_[kSettingPowerOutput] == 5;
}

uint32_t SimulatedController::StatusWord() {
  Advance();
  uint32_t word = buttons_;
  if (motion_ || stuck_moving_) word |= 1u << 0;
  if (program_state_ == ProgramState::kRunning || program_state_ == ProgramState::kLoaded) word |= 1u << 1;
  if (Heating()) word |= 1u << 2;
  if (program_state_ == ProgramState::kPaused) word |= 1u << 6;
  if (kProgramCapacity - program_.size() < kProgramHeadroom || buffer_full_held_) word |= 1u << 9;
  if (homed_) word |= 1u << 18;
  // The controller sees the break as the current through the horizontal wire; another channel heats no such wire.
  if (wire_broken_ && HorizontalWireHot()) word |= 1u << 19;
  if (program_state_ == ProgramState::kLoaded) word |= 1u << 20;
  return word;
}

AxisSteps SimulatedController::Positions() {
  Advance();
  AxisSteps steps{};
  for (size_t axis = 0; axis < 8; ++axis) {
    steps[axis] = static_cast<int32_t>(static_cast<uint32_t>(physical_[axis] - origin_[axis]));
  }
  return steps;
}

AxisSteps SimulatedController::PhysicalPositions() {
  Advance();
  AxisSteps steps{};
  for (size_t axis = 0; axis < 8; ++axis) steps[axis] = static_cast<int32_t>(static_cast<uint32_t>(physical_[axis]));
  return steps;
}


}  // namespace varnholt::sim
