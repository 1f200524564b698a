// The reply records of the simulated controller, at the offsets the program reads them from.

#include <cmath>

#include "link/byte_order.h"
#include "link/sim/simulated_controller.h"

namespace varnholt::sim {
namespace {

// Fixed point of the calibration record: 24 fraction bits.
constexpr double kCalibrationOne = 16777216.0;

}  // namespace

void SimulatedController::FillRecord(int index, std::span<uint8_t> record) {
  record[0] = static_cast<uint8_t>(index);
  switch (index) {
    case 10: {
      record[1] = static_cast<uint8_t>(std::min<size_t>(program_.size(), 255));
      PutLittleEndian(record, 2, StatusWord(), 4);
      buttons_ = 0;  // a button press is reported once
      const AxisSteps steps = Positions();
      for (size_t axis = 0; axis < 8; ++axis) PutLittleEndian(record, 6 + 4 * axis, static_cast<uint32_t>(steps[axis]), 4);
      break;
    }
    case 12: {
      record[0] = active_group_;
      for (size_t group = 0; group < periods_.size(); ++group) PutLittleEndian(record, 2 + 2 * group, periods_[group], 2);
      const double instantaneous = motion_ ? (motion_->homing_mask != 0 ? kHomingPeriodTicks : PeriodTicks()) : 0.0;
      PutLittleEndian(record, 10, static_cast<uint16_t>(instantaneous), 2);
      break;
    }
    case 13: {
      record[0] = heater_channel_;
      record[1] = static_cast<uint8_t>(settings_[kSettingPowerOutput]);
      for (size_t channel = 0; channel < heaters_.size(); ++channel) {
        const bool on = heaters_[channel].on || (channel == 3 && QoVerticalWireOn());
        const uint32_t entry = heaters_[channel].power | (on ? 1u << 16 : 0u);
        PutLittleEndian(record, 2 + 4 * channel, entry, 4);
      }
      break;
    }
    case 14:
      PutLittleEndian(record, 2, static_cast<uint32_t>(model_.x_range_mm), 4);
      PutLittleEndian(record, 6, static_cast<uint32_t>(model_.y_range_mm), 4);
      PutLittleEndian(record, 10, static_cast<uint32_t>(model_.x_range_mm), 4);
      PutLittleEndian(record, 14, static_cast<uint32_t>(base_minutes_ + static_cast<int32_t>(running_ms_ / 60000.0)), 4);
      PutLittleEndian(record, 18, static_cast<uint32_t>(1204 + programs_finished_), 4);
      break;
    case 15: {
      const double scales[] = {model_.scale_x, model_.scale_y, model_.scale_z};
      for (size_t i = 0; i < 3; ++i) {
        PutLittleEndian(record, 6 + 8 * i, static_cast<uint64_t>(std::llround(scales[i] * kCalibrationOne)), 8);
      }
      for (size_t i = 0; i < 4; ++i) {
        PutLittleEndian(record, 30 + 8 * i, static_cast<uint32_t>(model_.calibration_words[i]), 4);
      }
      break;
    }
    case 16:
      PutLittleEndian(record, 2, Heating() && !wire_broken_ ? 32u : 0u, 4);
      PutLittleEndian(record, 6, 486u, 4);
      break;
    case 17:
      record[0] = version_[0];
      record[1] = version_[1];
      PutLittleEndian(record, 6, firmware_pointer_ < firmware_.size() ? firmware_[firmware_pointer_] : kErasedWord, 2);
      if (firmware_pointer_ < firmware_.size()) ++firmware_pointer_;
      break;
    default:
      break;
  }
}

}  // namespace varnholt::sim
