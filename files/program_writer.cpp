#include "files/program_writer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "config/file_write.h"
#include "geometry/decimal_text.h"
#include "geometry/run_time_error.h"
#include "geometry/units.h"
#include "link/byte_order.h"
#include "link/controller_ops.h"

namespace varnholt {
namespace {

constexpr int64_t kLongestPauseRecord = 250;
// The smaller of the arms' cosines at or below this makes a corner: a turn of about 29.5 degrees or more.
constexpr double kCornerCosine = 0.87;
constexpr uint8_t kLowerPower = 26;

uint8_t PowerByte(double power) {
  if (!(power > 0.0)) return 0;
  return static_cast<uint8_t>(std::min(nearest(power), 255.0));
}

int64_t RoundedMs(double ms) {
  if (!(ms > 0.0)) return 0;
  return static_cast<int64_t>(std::min(nearest(ms), 1e12));
}

// A target past the step range in the refusal: two decimals, or "inf" / "nan" for a value that is no number.
std::string MmText(double mm) { return std::isfinite(mm) ? DecimalText(mm, 2) : std::to_string(mm); }

}  // namespace

ProgramWriter::ProgramWriter(const ControllerState& machine, const Configuration& config)
    : machine_(machine), config_(config) {}

void ProgramWriter::Put(std::initializer_list<uint8_t> bytes) {
  for (const uint8_t b : bytes) program_.push_back(static_cast<char>(b));
}

void ProgramWriter::OpenProgram(const std::string& file_name) {
  file_name_ = file_name;
  program_.clear();
  pos_ = machine_.axis_steps;
}

void ProgramWriter::WritePause(int64_t ms) {
  ms = std::max<int64_t>(ms, 0);
  while (ms > kLongestPauseRecord) {
    Put({'p', static_cast<uint8_t>(kLongestPauseRecord)});
    ms -= kLongestPauseRecord;
  }
  Put({'p', static_cast<uint8_t>(ms)});
}

void ProgramWriter::WriteCornerPause(int64_t ms) {
  // The rest first, then the full quarter seconds.
  ms = std::max<int64_t>(ms, 0);
  const int64_t full = ms > kLongestPauseRecord ? (ms - 1) / kLongestPauseRecord : 0;
  Put({'p', static_cast<uint8_t>(ms - full * kLongestPauseRecord)});
  for (int64_t i = 0; i < full; ++i) Put({'p', static_cast<uint8_t>(kLongestPauseRecord)});
}

void ProgramWriter::SelectHeater(int32_t value) {
  Put({'s', 0x04});
  AppendI32(program_, value);
  ShortPause();
}

void ProgramWriter::WriteHeaterOff() {
  if (!(machine_.IsModelQo() && heater_channel_ == kVerticalWireChannel)) {
    ShortPause();
    Put({'t', heater_channel_, kLowerPower});
  }
  ShortPause();
  WritePause(1000);
  Put({'r', 0x00, heater_channel_});
  WritePause(1000);
}

void ProgramWriter::WriteHeaterOn(int32_t selection, uint8_t channel, double power) {
  WriteHeaterOff();
  heater_channel_ = channel;
  SelectHeater(selection);
  const bool qo_vertical = machine_.IsModelQo() && channel == kVerticalWireChannel;
  const uint8_t written =
      qo_vertical ? 0 : PowerByte(PowerFactor(machine_, selection) * power);
  Put({'t', channel, written});
  if (!qo_vertical) Put({'r', 0x01, channel});
}

void ProgramWriter::WriteSpeed(uint8_t group, double speed) {
  // The record holds the period as the speed command sends it.
  Put({'v', group});
  AppendLittleEndian(program_, GroupPeriodValue(machine_, PeriodFromSpeed(machine_, speed)), 2);
}

void ProgramWriter::WriteWorkSpeeds() {
  WriteSpeed(0, config_.Number(Param::PrzeSpeed));
  WriteSpeed(1, config_.Number(Param::szybkoscObrobki));
}

void ProgramWriter::WriteWarmUp() { WritePause(RoundedMs(config_.Number(Param::CzasRozgrzewania))); }

void ProgramWriter::WriteHeader() {
  pos_ = machine_.axis_steps;
  history_ = {pos_, pos_, pos_};
  heater_channel_ = 0;
  SelectHeater(std::max(config_.Choice(Param::PowerOutput), 0));
  heater_channel_ = kHorizontalWireChannel;
  WriteHorizontalWire(1);
  WriteWarmUp();
}

void ProgramWriter::WriteHorizontalWire(uint8_t speed_group) {
  ShortPause();
  WriteWorkSpeeds();
  WriteHeaterOn(kHorizontalWireOutput, kHorizontalWireChannel, config_.Number(Param::work_power) * 255.0 / 100.0);
  ShortPause();
  Put({'f', speed_group});
}

int32_t ProgramWriter::StepsOf(double mm, double scale, const char* axis) const {
  const auto steps = NearestInt32(mm * 100.0 * scale);
  if (!steps) {
    throw RunTimeError(std::string("The target ") + axis + " = " + MmText(mm) +
                       " mm lies beyond the machine's step range; the program was not written");
  }
  return *steps;
}

double ProgramWriter::PositionMm(size_t axis, double scale) const {
  return static_cast<double>(pos_[axis]) / (100.0 * scale);
}

double ProgramWriter::CornerCosine() const {
  const auto cosine = [this](size_t x, size_t y, size_t z) {
    const auto point = [&](const AxisSteps& s) {
      return std::array<double, 3>{static_cast<double>(s[x]), static_cast<double>(s[y]), static_cast<double>(s[z])};
    };
    const auto p = point(history_[0]), q = point(history_[1]), r = point(history_[2]);
    const auto squared = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
      return (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]);
    };
    const double g2 = squared(p, q), b2 = squared(q, r), a2 = squared(p, r);
    if (g2 == 0.0 || b2 == 0.0) return 1.0;
    return -(g2 + b2 - a2) / (2.0 * std::sqrt(g2) * std::sqrt(b2));
  };
  return std::min(cosine(0, 1, 3), cosine(4, 5, 7));
}

std::string ProgramWriter::MoveTo(double x1, double x2, double y1, double y2, double z) {
  const auto delta = [](int32_t target, int32_t from, const char* axis) {
    const int64_t d = int64_t{target} - from;
    if (d < std::numeric_limits<int32_t>::min() || d > std::numeric_limits<int32_t>::max()) {
      throw RunTimeError(std::string("The move of ") + axis +
                         " is longer than the machine's step range; the program was not written");
    }
    return static_cast<int32_t>(d);
  };
  const int32_t target_x1 = StepsOf(x1, machine_.StepScaleX, "X1");
  const int32_t target_x2 = StepsOf(x2, machine_.StepScaleX, "X2");
  const int32_t target_y1 = StepsOf(y1, machine_.StepScaleY, "Y1");
  const int32_t target_y2 = StepsOf(y2, machine_.StepScaleY, "Y2");
  const int32_t target_z = StepsOf(z, machine_.StepScaleZ, "Z");
  const int32_t dz = delta(target_z, pos_[2], "Z");
  const AxisSteps steps = ArmMoveSteps(delta(target_x1, pos_[0], "X1"), delta(target_x2, pos_[4], "X2"),
                                       delta(target_y1, pos_[1], "Y1"), delta(target_y2, pos_[5], "Y2"), dz, 0);
  if (!InterpolationCount(steps, machine_.profile.StepMultiplier)) {
    throw RunTimeError("A move is longer than the controller can interpolate; the program was not written");
  }
  MoveRecord record = BuildMoveRecord('a', machine_.profile.StepMultiplier, steps);
  if (record.bytes.empty()) return {};
  pos_[0] = target_x1;
  pos_[4] = target_x2;
  pos_[1] = target_y1;
  pos_[5] = target_y2;
  pos_[2] = target_z;
  // The belt axes Z2 and Z3 are counted from Z plus the travel once more.
  pos_[3] = pos_[7] = static_cast<int32_t>(std::clamp<int64_t>(int64_t{target_z} + dz, INT32_MIN, INT32_MAX));
  history_[0] = history_[1];
  history_[1] = history_[2];
  history_[2] = pos_;
  if (CornerCosine() <= kCornerCosine) {
    const std::string body = std::move(record.bytes);
    const size_t start = program_.size();
    WriteCornerPause(RoundedMs(config_.Number(Param::Pauza_w_kacie)));
    std::string pause = program_.substr(start);
    program_.resize(start);
    return pause + body;
  }
  return std::move(record.bytes);
}

void ProgramWriter::MoveArmsTo(int32_t x, int32_t y) {
  const double skala = config_.Number(Param::skala);
  const auto scaled_mm = [skala](int32_t value) {
    return UnitsToMm(NearestInt32Saturated(skala * static_cast<double>(value) / 100.0));
  };
  const double x_mm = scaled_mm(x), y_mm = scaled_mm(y);
  program_ += MoveTo(x_mm, x_mm, y_mm, y_mm, 0.0);
}

void ProgramWriter::SetArmPositions(int32_t x, int32_t y, int32_t value) {
  pos_[0] = pos_[4] = StepsOf(UnitsToMm(x), machine_.StepScaleX, "X");
  pos_[1] = pos_[5] = StepsOf(UnitsToMm(y), machine_.StepScaleY, "Y");
  pos_[3] = pos_[7] = value;
  pos_[6] = 0;
  pos_[2] = 0;
}

void ProgramWriter::ConveyorStart() {
  WriteSpeed(3, config_.Number(Param::Tasma_SzybkoscPrzes) * machine_.profile.conveyor_factor);
  WriteHeaterOn(kVerticalWireOutput, kVerticalWireChannel, config_.Number(Param::VerticalWire_power) * 255.0 / 100.0);
  ShortPause();
  Put({'f', 0x03});
  WriteWarmUp();
  if (config_.Checked(Param::Heavy)) {
    ShortPause();
    Put({'s', 0x02});
    AppendI32(program_, 1);
  }
  const double z = PositionMm(2, machine_.StepScaleZ) - config_.Number(Param::TasmaPrzesuwPocz);
  program_ += MoveTo(0.0, 0.0, 0.0, 0.0, z);
  WriteHeaterOff();
  WritePause(RoundedMs(config_.Number(Param::fePauzaTechn) * 1000.0));
}

void ProgramWriter::ConveyorFeed(int32_t project_height) {
  WriteHorizontalWire(0);
  WriteWarmUp();

  const double x1 = PositionMm(0, machine_.StepScaleX), x2 = PositionMm(4, machine_.StepScaleX);
  const double y1 = PositionMm(1, machine_.StepScaleY), y2 = PositionMm(5, machine_.StepScaleY);
  const double z = PositionMm(2, machine_.StepScaleZ);
  const double height_mm =
      UnitsToMm(NearestInt32Saturated(config_.Number(Param::skala) * static_cast<double>(project_height) / 100.0));
  const double up = std::min(std::max(height_mm, config_.Number(Param::feuWysokoscMat)), static_cast<double>(machine_.y_range));
  program_ += MoveTo(x1, x2, up, up, z);
  ShortPause();
  WriteSpeed(3, config_.Number(Param::Tasma_SzybkoscPrzes) * machine_.profile.conveyor_factor);
  WriteHeaterOn(kVerticalWireOutput, kVerticalWireChannel, config_.Number(Param::VerticalWire_power) * 255.0 / 100.0);
  ShortPause();
  Put({'f', 0x03});
  if (config_.Checked(Param::Heavy)) {
    ShortPause();
    Put({'s', 0x02});
    AppendI32(program_, 1);
  }
  program_ += MoveTo(x1, x2, up, up, z - config_.Number(Param::TasmaPrzesuwPocz));
  ShortPause();
  WritePause(RoundedMs(config_.Number(Param::fePauzaTechn) * 1000.0));
  WriteHorizontalWire(0);
  program_ += MoveTo(x1, x2, y1, y2, PositionMm(2, machine_.StepScaleZ));
  ShortPause();
}

void ProgramWriter::FinishProgram() { WriteHeaterOff(); }

void ProgramWriter::CloseProgram() {
  FinishProgram();
  WriteFileReplacing(file_name_, program_);
}

}  // namespace varnholt
