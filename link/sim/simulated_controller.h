#pragma once
// An emulation of the controller's firmware behind the HID backend port: it executes direct commands and stored
// programs in the time of the program clock, answers every reply record and lets tests inject faults.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/command_bytes.h"
#include "link/hid_backend.h"
#include "link/move_record.h"

namespace varnholt::sim {

// The handle under which the simulated controller enumerates.
inline constexpr const char* kSimulatedDeviceId = "sim:controller";

// Commands the stored-program buffer holds at most; the buffer-full bit is raised while fewer than
// kProgramHeadroom places are left, so a burst of the transmission always fits.
inline constexpr size_t kProgramCapacity = 1024;
inline constexpr size_t kProgramHeadroom = 128;
// Words of the firmware program memory.
inline constexpr size_t kFirmwareWords = 65537;
// The simulated firmware carries its own version in its last two words (major, then minor); once a write fills the
// last word, string 17 reports the version the new program carries.
inline constexpr size_t kFirmwareMajorAddress = kFirmwareWords - 2;
inline constexpr size_t kFirmwareMinorAddress = kFirmwareWords - 1;

// One stored program as the controller took it and ran it: from its first command after an empty buffer to its end.
struct ProgramRecord {
  enum class End { kUnderWay, kFinished, kCleared, kReset };
  int64_t commands = 0;         // stored commands taken into the buffer
  int64_t moves_completed = 0;  // its moves executed to their end
  End end = End::kUnderWay;
};

// What a model is built with.
struct SimulatedModel {
  std::string code;            // "Qa", "Qe" or "Qo"
  double scale_x = 1.6, scale_y = 1.5184, scale_z = 1.0;  // steps per hundredth of a millimetre
  std::array<int32_t, 4> calibration_words{50000, 50000, 50000, 600};  // steps per turn of axes 6, 2, 7; fourth
  int32_t x_range_mm = 4800, y_range_mm = 2400;
};

// The model data of one of the three codes (the Qa data for any other).
SimulatedModel ModelData(const std::string& code);

class SimulatedController final : public HidBackend {
 public:
  // A controller of the model code, plugged in, not homed, its arms standing at (x, y) millimetres.
  explicit SimulatedController(const std::string& model_code, double start_x_mm = 1000.0, double start_y_mm = 500.0);

  // The port.
  std::vector<HidDeviceInfo> Enumerate() override;
  int Open(const std::string& id) override;
  void Close(const std::string& id) override;
  int WriteReport(const std::string& id, const HidReport& report) override;
  int GetIndexedString(const std::string& id, int index, std::span<uint8_t> buffer, size_t available) override;
  void SetDeviceChangeHandler(std::function<void()> handler) override { change_handler_ = std::move(handler); }
  void PollEvents() override;

  // Faults and the machine's own buttons.
  void Unplug();
  void Replug();
  // The next `count` report writes fail with `error` (the device not functioning, by default) and are lost.
  void FailNextWrites(int count, int error = kHidDeviceNotFunctioning);
  // The next `count` indexed-string requests fail with `error`.
  void FailNextReads(int count, int error = kHidIoDevice);
  void SetWireBroken(bool broken) { wire_broken_ = broken; }
  void PressStartButton() { buttons_ |= 1u << 11; }
  void PressStopButton() { buttons_ |= 1u << 12; }
  void PressContinueButton() { buttons_ |= 1u << 13; }
  // Makes every later write of the firmware word at address store `value` instead (a verification fault).
  void CorruptFirmwareWord(size_t address, uint16_t value) { corrupt_word_ = {address, value}; }
  // Makes every later erase leave the firmware memory as it was (a worn-out flash).
  void FailErases() { erase_fails_ = true; }
  // Keeps the moving bit set whatever the axes do.
  void SetStuckMoving(bool stuck) { stuck_moving_ = stuck; }
  // Reports the input buffer full whatever it holds.
  void HoldBufferFull(bool held) { buffer_full_held_ = held; }
  // The next stop command comes too late: the program goes on as if it had not been sent (it has just ended, or the
  // stop crossed the program's last move).
  void MissNextStop() { miss_next_stop_ = true; }
  // Runs hook after every command the controller took (empty: none), so a test can pull the cable at an exact point
  // of an exchange.
  void AfterCommand(std::function<void(const CommandBytes&)> hook) { after_command_ = std::move(hook); }
  // Another HID interface, listed after (or, with first, before) the controller.
  void AddOtherDevice(const HidDeviceInfo& device, bool first = false);
  // The version the running firmware reports, also stored in the program's version words.
  void SetFirmwareVersion(uint8_t major, uint8_t minor);

  // What the controller saw and holds.
  // Every report written to it that arrived, in order.
  const std::vector<HidReport>& reports() const { return reports_; }
  // The command of each arrived report, cut to its length (move groups are 6 bytes each).
  const std::vector<CommandBytes>& commands() const { return commands_; }
  void ClearLog();
  int64_t indexed_string_requests() const { return string_requests_; }
  // Requests of one reply record since the last ClearLog, failed ones too.
  int64_t record_requests(int index) const;
  // The status word as the next status read will report it (buttons included, not consumed).
  uint32_t StatusWord();
  // Positions of axes 0..7 in steps as the controller reports them.
  AxisSteps Positions();
  // Positions from the lower limit switches, in steps.
  AxisSteps PhysicalPositions();
  const SimulatedModel& model() const { return model_; }
  bool plugged() const { return plugged_; }
  size_t program_size() const { return program_.size(); }
  size_t lost_commands() const { return lost_commands_; }
  int32_t step_multiplier() const { return multiplier_; }
  uint8_t active_group() const { return active_group_; }
  uint16_t group_period(size_t group) const { return periods_.at(group); }
  bool heater_on(size_t channel) const { return heaters_.at(channel).on; }
  uint8_t heater_power(size_t channel) const { return heaters_.at(channel).power; }
  int32_t setting(uint8_t key) const { return settings_.at(key); }
  uint16_t firmware_word(size_t address) const { return firmware_.at(address); }
  std::array<int32_t, 2> start_point() const { return start_point_; }
  int32_t programs_finished() const { return programs_finished_; }
  // Moves executed to their end (direct and stored), for tests of whole programs.
  int64_t moves_completed() const { return moves_completed_; }
  // Moves of stored programs executed to their end.
  int64_t program_moves_completed() const { return program_moves_completed_; }
  // Every stored program since creation, in order.
  const std::vector<ProgramRecord>& program_records() const { return program_records_; }
  // The direct commands that arrived while a stored program was running, other than Stop and Resume: a running
  // program belongs to itself, and anything else sent to the machine meanwhile interferes with the cut.
  const std::vector<CommandBytes>& commands_while_running() const { return commands_while_running_; }
  // The horizontal wire (channels 1 and 2 feed it) and the vertical wires (channel 3, or a Qo's power output set to
  // them) are hot.
  bool HorizontalWireHot() const;
  bool VerticalWiresHot() const;
  // A stored program runs (loaded programs waiting for Go and paused ones do not).
  bool program_running() const { return program_state_ == ProgramState::kRunning; }
  bool program_paused() const { return program_state_ == ProgramState::kPaused; }

 private:
  // Step period of homing runs, in ticks: about 2000 mm/min on every model.
  static constexpr double kHomingPeriodTicks = 200.0;
  static constexpr uint16_t kErasedWord = 0xFFFF;

  struct Heater {
    bool on = false;
    uint8_t power = 0;
  };
  struct Motion {
    std::array<int64_t, 8> start{};  // physical steps at the start
    std::array<int64_t, 8> delta{};
    double duration_ms = 0.0;
    double elapsed_ms = 0.0;
    bool from_program = false;
    uint8_t homing_mask = 0;  // axes whose switch is reached at the end
  };
  struct PendingMove {
    bool open = false;
    AxisSteps steps{};
  };
  enum class ProgramState { kEmpty, kLoaded, kRunning, kPaused };

  void Advance();
  void Simulate(double ms);
  void ExecuteDirect(const CommandBytes& command);
  void ExecuteStored(const CommandBytes& command);
  void ExecuteSetting(uint8_t key, int32_t value);
  // Takes one 6-byte move group; starts the move when the group closes it.
  void TakeMoveGroup(PendingMove& pending, const CommandBytes& group, bool from_program);
  void StartMove(const AxisSteps& steps, int64_t count, bool from_program);
  void StartHoming(uint8_t mask);
  void PlaceMotionAt(Motion& motion, double elapsed_ms);
  void WriteFirmwareWord(uint16_t word);
  double PeriodTicks() const;
  bool Heating() const;
  bool QoVerticalWireOn() const;
  void Reset();
  // Fills reply record `index` (reply_records.cpp).
  void FillRecord(int index, std::span<uint8_t> record);
  bool IsController(const std::string& id) const { return id == kSimulatedDeviceId; }
  int64_t LimitSteps(size_t axis) const;

  SimulatedModel model_;
  bool plugged_ = true;
  bool open_ = false;
  bool change_pending_ = false;
  std::function<void()> change_handler_;
  std::function<void(const CommandBytes&)> after_command_;
  std::vector<HidDeviceInfo> others_before_, others_after_;

  int write_failures_left_ = 0, write_error_ = 0;
  int read_failures_left_ = 0, read_error_ = 0;
  bool wire_broken_ = false;
  bool stuck_moving_ = false;
  bool buffer_full_held_ = false;
  bool miss_next_stop_ = false;
  uint32_t buttons_ = 0;
  std::optional<std::pair<size_t, uint16_t>> corrupt_word_;
  bool erase_fails_ = false;

  int64_t last_ms_ = 0;
  bool clock_started_ = false;
  std::array<int64_t, 8> physical_{};
  std::array<int64_t, 8> origin_{};
  bool homed_ = false;
  std::optional<Motion> motion_;
  std::optional<Motion> suspended_;
  double pause_left_ms_ = 0.0;
  PendingMove direct_move_, program_move_;
  std::deque<CommandBytes> program_;
  ProgramState program_state_ = ProgramState::kEmpty;
  size_t lost_commands_ = 0;
  std::array<uint16_t, 4> periods_{400, 400, 400, 400};
  uint8_t active_group_ = 0;
  int32_t multiplier_ = 1;
  std::array<Heater, 8> heaters_{};
  uint8_t heater_channel_ = 1;
  std::array<int32_t, 256> settings_{};
  std::array<int32_t, 2> start_point_{};
  std::vector<uint16_t> firmware_;
  size_t firmware_pointer_ = 0;
  std::array<uint8_t, 2> version_{1, 12};
  double running_ms_ = 0.0;
  int32_t base_minutes_ = 7385;
  int32_t programs_finished_ = 0;
  int64_t moves_completed_ = 0;
  int64_t program_moves_completed_ = 0;
  std::vector<ProgramRecord> program_records_;
  std::vector<CommandBytes> commands_while_running_;

  // Ends the record of the program in the buffer with end (when one is under way).
  void EndProgramRecord(ProgramRecord::End end);

  std::vector<HidReport> reports_;
  std::vector<CommandBytes> commands_;
  int64_t string_requests_ = 0;
  std::map<int, int64_t> record_requests_;
};

}  // namespace varnholt::sim
