#pragma once
// The simulated controller as the witness of a run: it is looked at after every command it takes and at every turn of
// the event loop, and what it did is held against the machine's safety rules:
// (a) nothing but status reads, Stop and Resume reaches it while a program runs;
// (b) its heaters are off within a bounded time after a program ends, is paused or stopped, or a cut is given up,
//     while it is reachable (unless the operator heated it since);
// (c) every Stop given while a program runs pauses (or ends) it, or the operator is told;
// (d) the host takes a program for finished only when every one of its moves was executed, once.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/sim/simulated_controller.h"

namespace varnholt::testing {

class MachineWitness {
 public:
  // How long the machine may take to be made safe: the longest busy spell, a warm-up, the heater's switching off.
  static constexpr int64_t kBoundMs = 60000;

  explicit MachineWitness(sim::SimulatedController& sim) : sim_(sim) {}

  // Looks at the controller now; machine_held: an operation holds or keeps the machine (its heat is its own).
  void Look(int64_t now_ms, bool machine_held, size_t messages_shown) {
    Observe(now_ms);
    if (cool_by_ && now_ms >= *cool_by_) {
      const bool hot = sim_.HorizontalWireHot() || sim_.VerticalWiresHot();
      if (hot && sim_.plugged() && !sim_.program_running() && !machine_held && last_heated_ms_ < cool_from_) {
        violations_.push_back("(b) the wire was still hot " + std::to_string(kBoundMs) + " ms after " + cool_reason_ +
                              " at " + std::to_string(cool_from_) + " ms");
      }
      cool_by_.reset();
    }
    for (auto stop = stops_.begin(); stop != stops_.end();) {
      if (now_ms < stop->at_ms + kBoundMs) {
        ++stop;
        continue;
      }
      if (last_halt_ms_ < stop->at_ms && messages_shown <= stop->messages_before) {
        violations_.push_back("(c) the Stop at " + std::to_string(stop->at_ms) +
                              " ms neither paused the running program nor told the operator");
      }
      stop = stops_.erase(stop);
    }
  }

  // The controller took a command: what it does may have changed.
  void CommandTaken(int64_t now_ms) { Observe(now_ms); }
  // A Stop was given (by the operator or with the machine's button).
  void Stopped(int64_t now_ms, size_t messages_shown) {
    Observe(now_ms);
    if (sim_.program_running()) stops_.push_back({now_ms, messages_shown});
  }
  // The operator did something that heats the wire on purpose (a Start, a Continue, a jog, the heating key).
  void Heated(int64_t now_ms) { last_heated_ms_ = now_ms; }
  // A transmission ended without sending its whole program: the cut is given up.
  void CutGivenUp(int64_t now_ms) { MustCool(now_ms, "a cut given up"); }

  // The host noticed the end of the program it started, which sent moves moves.
  void HostSawTheEnd(int64_t moves, bool sent_whole) {
    // The program whose end the host saw is the last one the controller took; one it finished unwatched before (a
    // cut given up) is no concern here.
    const std::vector<sim::ProgramRecord>& records = sim_.program_records();
    if (records.size() <= checked_records_ || records.back().end != sim::ProgramRecord::End::kFinished) {
      violations_.push_back("(d) the host saw a program end that the controller did not finish");
      return;
    }
    checked_records_ = records.size();
    const sim::ProgramRecord& record = records.back();
    if (!sent_whole || record.moves_completed != moves) {
      violations_.push_back("(d) a program taken for finished executed " + std::to_string(record.moves_completed) +
                            " of " + std::to_string(moves) + " moves" + (sent_whole ? "" : ", not sent whole"));
    }
  }

  // What is left to check at the end of a run that has settled.
  void Finish(int64_t now_ms, bool machine_held, size_t messages_shown) {
    Look(now_ms + kBoundMs, machine_held, messages_shown);
    if (!sim_.commands_while_running().empty()) {
      std::string letters;
      for (const CommandBytes& command : sim_.commands_while_running()) letters += command.substr(0, 1);
      violations_.push_back("(a) commands reached the controller while its program ran: " + letters);
    }
  }

  const std::vector<std::string>& violations() const { return violations_; }

 private:
  struct PendingStop {
    int64_t at_ms;
    size_t messages_before;
  };

  // Notes the changes of the controller's program since the last look.
  void Observe(int64_t now_ms) {
    const bool paused = sim_.program_paused();
    const size_t records = sim_.program_records().size();
    size_t ended = 0;
    for (const sim::ProgramRecord& record : sim_.program_records()) {
      if (record.end != sim::ProgramRecord::End::kUnderWay) ++ended;
    }
    if (paused && !was_paused_) {
      last_halt_ms_ = now_ms;
      MustCool(now_ms, "a pause");
    }
    if (ended > ended_) {
      last_halt_ms_ = now_ms;
      MustCool(now_ms, "the end of a program");
    }
    was_paused_ = paused;
    ended_ = ended;
    records_ = records;
  }

  void MustCool(int64_t now_ms, const std::string& reason) {
    cool_from_ = now_ms;
    cool_by_ = now_ms + kBoundMs;
    cool_reason_ = reason;
  }

  sim::SimulatedController& sim_;
  std::vector<std::string> violations_;
  std::vector<PendingStop> stops_;
  std::optional<int64_t> cool_by_;
  int64_t cool_from_ = 0;
  std::string cool_reason_;
  int64_t last_heated_ms_ = -1;
  int64_t last_halt_ms_ = -1;
  bool was_paused_ = false;
  size_t ended_ = 0;
  size_t records_ = 0;
  size_t checked_records_ = 0;
};

}  // namespace varnholt::testing
