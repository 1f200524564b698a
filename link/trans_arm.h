#pragma once
// The transmission of the machine program: streams out.cn of the program folder to the controller in bursts paced
// by a timer step, starts the program with Go after the 17th command and holds back while the controller reports
// its input buffer full.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "link/controller_ops.h"
#include "link/run_flags.h"

namespace varnholt {

class TTransArm {
 public:
  // Intervals the timer step asks for: between bursts, while the buffer is full, and while a burst runs.
  static constexpr int kBurstIntervalMs = 1;
  static constexpr int kBufferFullIntervalMs = 50;
  static constexpr int kBurstRunningIntervalMs = 1000;
  // Commands of one burst, and the command after which Go starts the program.
  static constexpr int kBurstSize = 100;
  // A step that came more than kLateMs after it was due (a computer too busy to keep its timers) goes on with
  // further bursts while the controller has room for them, up to kBurstsPerStep and as long as the step has taken
  // less than its budget: it fills the buffer again instead of adding one burst, so the controller does not run out
  // of commands in the middle of the cut.
  static constexpr int64_t kLateMs = 20;
  static constexpr int kBurstsPerStep = 10;
  static constexpr int64_t kStepBudgetMs = 200;
  static constexpr int64_t kCommandsBeforeGo = 17;

  // program_folder ends with a separator; the link and the flags must outlive the transmission.
  TTransArm(MachineLink& link, RunFlags& flags, std::string program_folder);

  // Reads out.cn of the program folder and starts the timer (interval 1 ms); the machine counts as transmitting
  // until the transmission ends. Throws RunTimeError naming the file when it cannot be read. A damaged program (a byte that begins no command, a command cut short by the end of
  // the file) is not sent at all: the message names the offset of the damage and the result is false.
  bool start() { return start(kProgramFileName); }
  // The same for another program file of the program folder.
  bool start(const std::string& file_name);
  // Ends a running transmission: "transmisjaZakonczona" in status panel 0, the timer stopped. Nothing otherwise.
  void stop();
  bool running() const { return running_; }
  // One timer step; returns the interval until the next step, 0 when the transmission no longer runs.
  int tick();
  // The interval of the timer as the last step left it.
  int interval() const { return interval_; }

  // What the present (or last) transmission did, for the windows and the command line.
  int64_t commands_sent() const { return commands_sent_; }
  // The commands sent when Go went out; nothing while (or when) the program was too short for it.
  std::optional<int64_t> go_sent_after() const { return go_sent_after_; }
  const std::string& progress_text() const { return progress_text_; }
  // The program as it was read at start, and how far it has been sent.
  const std::string& program() const { return program_; }
  size_t position() const { return position_; }
  // Every byte of the program went out (an ended transmission that is not whole lost its link).
  bool sent_whole() const { return position_ >= program_.size(); }
  // Transmissions started since creation.
  int64_t transmissions_started() const { return transmissions_started_; }
  // Times the controller ran out of commands before the rest of its program could be sent (each ended that cut).
  int64_t dry_spells() const { return dry_spells_; }

  // The file name of the program in the program folder.
  static constexpr const char* kProgramFileName = "out.cn";
  // The largest program the transmission takes (its file size is a 32-bit count).
  static constexpr size_t kLargestProgram = INT32_MAX;

  // Told the commands sent after every step that sent some, and once more when the transmission ends (running
  // false), so that what the controller can hold is known after the link is lost or the program closed.
  using SentListener = std::function<void(int64_t commands_sent, bool running)>;
  void SetSentListener(SentListener listener) { sent_listener_ = std::move(listener); }
  // The offset of the first byte of a program that begins no command or begins a command the end cuts short;
  // nothing for a sound program.
  static std::optional<size_t> DamageOffset(const std::string& program);

 private:
  // Ends the transmission after the link failed (and with it the started program's run), with the step's one
  // lost-link box; the controller is stopped and cooled once it answers again.
  void EndForLostLink();
  // Ends the transmission after the controller did not take a command (error): reachable, it is stopped and cooled
  // at once and the operator told that the cut is incomplete; else the link was lost.
  void EndAfterFailedWrite(int error);
  // Ends the transmission whose program stopped running before the rest of it was sent: the controller ran out of
  // commands with the wire standing in the material. It is cleared and cooled and the operator told.
  void EndForDrySpell();
  // Sends the next burst; false when a write failed (the transmission has ended then).
  bool SendBurst();
  void ShowProgress(bool with_spinner);
  // The progress in per cent of the file, rounded.
  int64_t Percent() const;

  MachineLink& link_;
  RunFlags& flags_;
  std::string program_folder_;
  std::string program_;
  size_t position_ = 0;
  bool running_ = false;
  int interval_ = kBurstIntervalMs;
  int64_t commands_sent_ = 0;
  std::optional<int64_t> go_sent_after_;
  uint8_t spinner_ = 0;  // kept between transmissions
  std::string progress_text_;
  uint32_t device_changes_at_start_ = 0;
  int64_t transmissions_started_ = 0;
  int64_t dry_spells_ = 0;
  int64_t next_step_due_ms_ = 0;  // when the step after the last one was due
  SentListener sent_listener_;
};

}  // namespace varnholt
