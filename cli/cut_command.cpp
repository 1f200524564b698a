// varnholt-cli cut: the whole cutting run without windows, on the simulated controller or the USB controller.

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/event_clock.h"
#include "app/headless_main_window.h"
#include "app/last_cut.h"
#include "app/machine_session.h"
#include "app/timer_loop.h"
#include "cli/commands.h"
#include "cli/cut_operator.h"
#include "cli/json.h"
#include "cli/lenient.h"
#include "cli/message_keys.h"
#include "cli/program_texts.h"
#include "cli/project_loading.h"
#include "config/file_read.h"
#include "files/program_decoder.h"
#include "files/wire_place.h"
#include "link/move_record.h"
#include "link/sim/simulated_controller.h"
#include "link/usb_hid_backend.h"
#include "program/program_verifier.h"

namespace varnholt::cli {
namespace {

constexpr const char* kUsage =
    "Usage: varnholt-cli cut FILE [--sim Qa|Qe|Qo] [--config FILE.qcc] [--auto-repeat N] [--answer KEY=BUTTON]..."
    " [--at MS=EVENT]... [--resume] [--slip MS] [--real-clock] [--test]\n"
    "Events: unplug replug stop-button continue-button start-button wire-broken wire-ok busy=N read-fail=N stop"
    " continue start\n";

// The longest run the command waits for, on the program clock.
constexpr int64_t kRunLimitMs = int64_t{24} * 3600 * 1000;

struct CutOptions {
  std::string drawing;
  std::optional<std::string> sim_model;
  std::optional<std::string> config;
  int32_t auto_repeat = 0;
  std::map<std::string, std::deque<int>> answers;
  std::vector<std::pair<int64_t, std::string>> events;
  bool test_mode = false;
  bool resume = false;  // a cut that did not end is resumed from where the wire stands (the simulator only)
  int64_t slip_ms = 0;  // each transmission step comes this much later than asked, as on a loaded computer
  bool real_clock = false;  // the simulated controller on the real clock, as the desktop program runs it
};

std::optional<int64_t> WholeNumber(const std::string& text, int64_t largest) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > largest) return std::nullopt;
  return value;
}

// The count of an event word "busy=N" or "read-fail=N".
std::optional<int> EventCount(const std::string& event, const std::string& name) {
  if (!event.starts_with(name + "=")) return std::nullopt;
  const auto count = WholeNumber(event.substr(name.size() + 1), 1'000'000);
  return count ? std::optional<int>(static_cast<int>(*count)) : std::nullopt;
}

bool IsHardwareEvent(const std::string& event) {
  static const char* const kNames[] = {"unplug",      "replug",  "stop-button", "continue-button",
                                       "start-button", "wire-broken", "wire-ok"};
  for (const char* name : kNames) {
    if (event == name) return true;
  }
  return EventCount(event, "busy") || EventCount(event, "read-fail");
}

bool IsOperatorEvent(const std::string& event) { return event == "stop" || event == "continue" || event == "start"; }

std::optional<CutOptions> ParseOptions(const Arguments& args, std::ostream& err) {
  CutOptions options;
  const auto fail = [&err](const std::string& message) {
    err << message << '\n' << kUsage;
    return std::nullopt;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    const std::string& word = args[i];
    if (word == "--sim" && has_value) {
      options.sim_model = args[++i];
      if (*options.sim_model != "Qa" && *options.sim_model != "Qe" && *options.sim_model != "Qo") {
        return fail("--sim takes Qa, Qe or Qo");
      }
    } else if (word == "--config" && has_value) {
      options.config = args[++i];
    } else if (word == "--auto-repeat" && has_value) {
      const auto count = WholeNumber(args[++i], 10000);
      if (!count) return fail("--auto-repeat takes the number of repetitions (0 to 10000)");
      options.auto_repeat = static_cast<int32_t>(*count);
    } else if (word == "--answer" && has_value) {
      const std::string& answer = args[++i];
      const size_t equals = answer.find('=');
      const std::optional<int> button =
          equals == std::string::npos ? std::nullopt : ButtonOfName(answer.substr(equals + 1));
      if (!button || equals == 0) return fail("--answer takes KEY=BUTTON (OK, Cancel, Retry, Yes or No): " + answer);
      std::string key = answer.substr(0, equals);
      if (const size_t slash = key.find('/'); slash != std::string::npos) key = key.substr(slash + 1);
      options.answers[key].push_back(*button);
    } else if (word == "--at" && has_value) {
      const std::string& at = args[++i];
      const size_t equals = at.find('=');
      const auto ms = equals == std::string::npos ? std::nullopt : WholeNumber(at.substr(0, equals), kRunLimitMs);
      const std::string event = equals == std::string::npos ? "" : at.substr(equals + 1);
      if (!ms || !(IsHardwareEvent(event) || IsOperatorEvent(event))) return fail("--at takes MS=EVENT: " + at);
      options.events.emplace_back(*ms, event);
    } else if (word == "--test") {
      options.test_mode = true;
    } else if (word == "--resume") {
      options.resume = true;
    } else if (word == "--real-clock") {
      options.real_clock = true;
    } else if (word == "--slip" && has_value) {
      const auto slip = WholeNumber(args[++i], 60'000);
      if (!slip) return fail("--slip takes the milliseconds each transmission step comes late (0 to 60000)");
      options.slip_ms = *slip;
    } else if (options.drawing.empty() && !word.starts_with("-")) {
      options.drawing = word;
    } else {
      return fail("Unknown or incomplete option: " + word);
    }
  }
  if (options.drawing.empty()) return fail("No drawing given");
  if (options.resume && !options.sim_model) return fail("--resume needs the simulated controller (--sim)");
  if (options.real_clock && (!options.sim_model || options.resume || !options.events.empty())) {
    return fail("--real-clock takes the simulated controller (--sim), without --at or --resume");
  }
  // Asking for the resume is confirming it, unless an answer is given.
  if (options.resume && options.answers.count("wznowienieZapytanie") == 0) {
    options.answers["wznowienieZapytanie"].push_back(kButtonYes);
  }
  if (!options.sim_model) {
    for (const auto& [ms, event] : options.events) {
      if (IsHardwareEvent(event)) return fail("The event " + event + " needs the simulated controller (--sim)");
    }
  }
  return options;
}

// What the machine does at a hardware event.
void Fire(sim::SimulatedController& sim, const std::string& event) {
  if (event == "unplug") sim.Unplug();
  if (event == "replug") sim.Replug();
  if (event == "stop-button") sim.PressStopButton();
  if (event == "continue-button") sim.PressContinueButton();
  if (event == "start-button") sim.PressStartButton();
  if (event == "wire-broken") sim.SetWireBroken(true);
  if (event == "wire-ok") sim.SetWireBroken(false);
  if (const auto count = EventCount(event, "busy")) sim.FailNextWrites(*count);
  if (const auto count = EventCount(event, "read-fail")) sim.FailNextReads(*count);
}

// Sums over the transmissions of the run: commands sent and the moves of each program sent.
class TransmissionTally {
 public:
  void Look(const TTransArm& transmission, const ControllerState& machine) {
    if (transmission.transmissions_started() != seen_) {
      seen_ = transmission.transmissions_started();
      commands_ += last_commands_;
      all_whole_ = all_whole_ && last_whole_;
      if (!moves_.empty() && last_commands_ == 0) moves_.pop_back();
      const ProgramSummary summary = SummarizeProgram(transmission.program(), machine);
      moves_.push_back(static_cast<int64_t>(summary.moves));
      program_moves_ += moves_.back();
      if (!first_program_ms_) first_program_ms_ = std::llround(summary.run_seconds * 1000.0);
    }
    last_commands_ = transmission.commands_sent();
    last_whole_ = transmission.running() || transmission.sent_whole();
    if (!go_sent_after_) {
      go_sent_after_ = transmission.go_sent_after();
      if (go_sent_after_) go_ms_ = CurrentClock().NowMs();
    }
  }
  // When Go went out first, and the run time of the first program as the controller runs it.
  std::optional<int64_t> go_ms() const { return go_ms_; }
  std::optional<int64_t> first_program_ms() const { return first_program_ms_; }
  // Every transmission that ended sent its whole program.
  bool all_whole() const { return all_whole_ && last_whole_; }
  int64_t commands() const { return commands_ + last_commands_; }
  int64_t program_moves() const { return program_moves_; }
  std::optional<int64_t> go_sent_after() const { return go_sent_after_; }
  // The moves of each program that reached the controller (a transmission that sent nothing is left out).
  std::vector<int64_t> programs_sent() const {
    std::vector<int64_t> moves = moves_;
    if (!moves.empty() && last_commands_ == 0) moves.pop_back();
    return moves;
  }

 private:
  std::vector<int64_t> moves_;
  std::optional<int64_t> go_ms_;
  std::optional<int64_t> first_program_ms_;
  int64_t seen_ = 0;
  int64_t commands_ = 0;
  int64_t last_commands_ = 0;
  bool all_whole_ = true;
  bool last_whole_ = true;
  int64_t program_moves_ = 0;
  std::optional<int64_t> go_sent_after_;
};

// The resume of a cut that did not end: where it went on, and whether the interrupted run and the resumed one
// together made every move of out.cn once along the program's path.
struct ResumeCheck {
  size_t place_move = 0;
  double along = 0.0;
  size_t candidates = 0;
  int64_t program_moves = 0;
  int64_t moves_before = 0;   // executed by the controller before the resume
  int64_t moves_resumed = 0;  // executed by the resumed program
  bool resumed_finished = false;
  std::optional<ProgramCheck> path;
  bool every_move_once() const {
    return resumed_finished && moves_before + moves_resumed == program_moves;
  }
};

// The wire's path in sum: out.cn up to the last move the interrupted run finished, the part of the next one it made
// up to where the resume found the wire, and the resumed program.
std::string UnionOfRuns(const std::string& program, const ProgramPath& path, int64_t moves_before,
                        const AxisPosition& position, const std::string& resumed, int32_t multiplier) {
  const auto before = static_cast<size_t>(moves_before);
  if (before > path.moves().size()) return {};
  size_t end = before == 0 ? (path.moves().empty() ? program.size() : path.moves()[0].offset)
                           : path.moves()[before - 1].end_offset;
  std::string joined = program.substr(0, end);
  AxisSteps part{};
  const AxisPosition& from = path.From(before);
  for (size_t axis = 0; axis < part.size(); ++axis) part[axis] = static_cast<int32_t>(position[axis] - from[axis]);
  joined += BuildMoveRecord('a', multiplier, part).bytes;
  return joined + resumed;
}

void PrintResume(const ResumeCheck& check, std::ostream& out) {
  out << ",\"resume\":{\"move\":" << check.place_move << ",\"along\":" << JsonNumber(check.along)
      << ",\"candidates\":" << check.candidates << ",\"program_moves\":" << check.program_moves
      << ",\"moves_before\":" << check.moves_before << ",\"moves_resumed\":" << check.moves_resumed
      << ",\"resumed_finished\":" << (check.resumed_finished ? "true" : "false")
      << ",\"every_move_once\":" << (check.every_move_once() ? "true" : "false") << ",\"path_check\":";
  if (!check.path) {
    out << "null}";
    return;
  }
  out << "{\"passed\":" << (check.path->passed() ? "true" : "false")
      << ",\"stray_cuts\":" << check.path->stray_cuts.size() << ",\"uncut\":" << check.path->uncut.size() << "}}";
}

std::string KeyJson(const std::optional<MessageKey>& key) {
  if (!key) return "\"section\":null,\"key\":null";
  return "\"section\":" + JsonString(key->section) + ",\"key\":" + JsonString(key->key);
}

std::string OptionalNumber(const std::optional<int64_t>& value) {
  return value ? std::to_string(*value) : std::string("null");
}

struct RunOutcome {
  std::string result;
  std::string reason;
};

// Every program sent ran to its end on the controller with each of its moves executed exactly once.
bool EveryMoveExecutedOnce(const TransmissionTally& tally, const sim::SimulatedController& sim) {
  const std::vector<int64_t> sent = tally.programs_sent();
  const std::vector<sim::ProgramRecord>& ran = sim.program_records();
  if (sent.size() != ran.size() || sim.lost_commands() != 0) return false;
  for (size_t i = 0; i < sent.size(); ++i) {
    if (ran[i].end != sim::ProgramRecord::End::kFinished || ran[i].moves_completed != sent[i]) return false;
  }
  return true;
}

const char* EndName(sim::ProgramRecord::End end) {
  switch (end) {
    case sim::ProgramRecord::End::kFinished:
      return "finished";
    case sim::ProgramRecord::End::kCleared:
      return "cleared";
    case sim::ProgramRecord::End::kReset:
      return "reset";
    case sim::ProgramRecord::End::kUnderWay:
      break;
  }
  return "under way";
}

// The machine as the simulated controller ends the run: its heaters, the commands that reached it while a program
// ran, and each program it took.
void PrintMachine(const sim::SimulatedController& sim, std::ostream& out) {
  out << ",\"heaters\":[";
  for (size_t channel = 0; channel < 8; ++channel) out << (channel == 0 ? "" : ",") << (sim.heater_on(channel) ? "true" : "false");
  out << "],\"commands_while_running\":[";
  const std::vector<CommandBytes>& interfering = sim.commands_while_running();
  for (size_t i = 0; i < interfering.size(); ++i) out << (i == 0 ? "" : ",") << JsonString(interfering[i].substr(0, 1));
  out << "],\"programs\":[";
  const std::vector<sim::ProgramRecord>& ran = sim.program_records();
  for (size_t i = 0; i < ran.size(); ++i) {
    out << (i == 0 ? "" : ",") << "{\"commands\":" << ran[i].commands << ",\"moves_executed\":" << ran[i].moves_completed
        << ",\"end\":" << JsonString(EndName(ran[i].end)) << '}';
  }
  out << ']';
}

RunOutcome Outcome(bool finished, bool time_out, const CutOperator& op, const MachineSession& session) {
  // A device change during the run is the cable pulled (and maybe put back): what the controller held is gone.
  bool link_lost = !session.usb.present() || session.usb.device_changes() > 0;
  bool unkeyed = false;
  for (const auto& message : op.messages()) {
    link_lost = link_lost || (message.key && message.key->key == "ploterBrakLacznosci");
    unkeyed = unkeyed || !message.key;
  }
  bool cancelled = false;
  for (const auto& message : op.messages()) cancelled = cancelled || (message.key && message.key->key == "ciecieAnulowane");
  if (cancelled && !link_lost) return {"failed", "cancelled"};
  if (session.transmission.transmissions_started() == 0 && !link_lost && !unkeyed) return {"refused", "start refused"};
  if (finished && !link_lost && !unkeyed) return {"finished", ""};
  if (link_lost) return {"failed", "link lost"};
  if (unkeyed) return {"failed", "error"};
  if (time_out) return {"failed", "time limit"};
  if (session.flags.MachineStopped) return {"failed", "stopped"};
  return {"failed", "program not finished"};
}

void PrintJson(const RunOutcome& outcome, const CutOperator& op, const TransmissionTally& tally,
               const MachineSession& session, const HeadlessMainWindow& main, const sim::SimulatedController* sim,
               int64_t run_ms, std::optional<int64_t> go_to_end_ms, const std::optional<ResumeCheck>& resume,
               std::ostream& out) {
  out << "{\"result\":" << JsonString(outcome.result);
  if (!outcome.reason.empty()) out << ",\"reason\":" << JsonString(outcome.reason);
  out << ",\"messages\":[";
  for (size_t i = 0; i < op.messages().size(); ++i) {
    const auto& message = op.messages()[i];
    out << (i == 0 ? "" : ",") << '{' << KeyJson(message.key) << ",\"text\":" << JsonString(message.text);
    if (!message.caption.empty()) out << ",\"caption\":" << JsonString(message.caption);
    out << '}';
  }
  out << "],\"questions\":[";
  for (size_t i = 0; i < op.questions().size(); ++i) {
    const auto& question = op.questions()[i];
    out << (i == 0 ? "" : ",") << '{' << KeyJson(question.key)
        << ",\"answer\":" << JsonString(ButtonName(question.answer)) << '}';
  }
  out << "],\"commands_sent\":" << tally.commands() << ",\"go_sent_after\":" << OptionalNumber(tally.go_sent_after())
      << ",\"dry_spells\":" << session.transmission.dry_spells() << ",\"progress\":[";
  for (size_t i = 0; i < op.progress().size(); ++i) out << (i == 0 ? "" : ",") << JsonString(op.progress()[i]);
  const ControllerState& s = session.state;
  out << "],\"program_moves\":" << tally.program_moves() << ",\"executed_moves\":"
      << (sim != nullptr ? std::to_string(sim->program_moves_completed()) : "null")
      << ",\"programs_finished\":" << main.programs_ended() << ",\"repetitions\":" << session.run.repeat_counter()
      << ",\"final_position_mm\":{\"X1\":" << JsonNumber(s.X1 / 100.0) << ",\"Y1\":" << JsonNumber(s.Y1 / 100.0)
      << ",\"X2\":" << JsonNumber(s.X2 / 100.0) << ",\"Y2\":" << JsonNumber(s.Y2 / 100.0)
      << "},\"connected\":" << (session.usb.present() ? "true" : "false") << ",\"run_ms\":" << run_ms
      << ",\"program_ms\":" << OptionalNumber(tally.first_program_ms())
      << ",\"go_to_end_ms\":" << OptionalNumber(go_to_end_ms);
  if (sim != nullptr) PrintMachine(*sim, out);
  if (resume) PrintResume(*resume, out);
  out << "}\n";
}

}  // namespace

int RunCut(const Arguments& given, std::ostream& out, std::ostream& err) {
  const LenientOption lenient(given);
  const Arguments& args = lenient.words();
  const std::optional<CutOptions> options = ParseOptions(args, err);
  if (!options) return 1;
  std::optional<Configuration> configuration = ReadConfiguration(options->config, err);
  if (!configuration) return 1;
  Configuration& config = *configuration;
  config.TakeCurrentUnitFromRadiounit();
  const tInterfejs& texts = ProgramLanguage(err);
  std::optional<LoadedProject> loaded = LoadPlannedProject(options->drawing, config, WorkingRange{}, err);
  if (!loaded) return 1;
  const std::optional<std::string> writable = CliWritableFolder(err);
  if (!writable) return 1;

  // The simulated controller runs on virtual time with the events on it; the USB controller in real time.
  EventClock virtual_clock;
  std::optional<ScopedClock> installed_clock;
  std::unique_ptr<sim::SimulatedController> sim;
  std::unique_ptr<UsbHidBackend> usb;
  HidBackend* backend = nullptr;
  if (options->sim_model) {
    if (!options->real_clock) installed_clock.emplace(virtual_clock);
    sim = std::make_unique<sim::SimulatedController>(*options->sim_model);
    backend = sim.get();
  } else {
    usb = std::make_unique<UsbHidBackend>();
    if (!usb->available()) {
      err << "The USB library could not be initialised\n";
      return 1;
    }
    backend = usb.get();
  }
  Clock& clock = CurrentClock();
  const int64_t start_ms = clock.NowMs();
  const int64_t limit_ms = start_ms + kRunLimitMs;

  const MessageKeys keys(texts);
  CutOperator op(keys, options->answers, limit_ms);
  op.SetProgressPrefix(texts.GetText("Transmission", "przeslano") + " ");
  for (const auto& message : loaded->messages) op.ShowMessageBox(message.text, message.is_error, message.caption);
  ScopedOperator installed_operator(op);
  HeadlessMainWindow main(loaded->project.get());
  NoJoystick joystick;
  MachineSession session(*backend, texts, config, main, joystick,
                         SessionOptions{*writable, options->test_mode, false});
  main.Attach(session.run);
  if (options->auto_repeat > 0) session.run.SpeedAutoRepeatClick(true);

  TimerLoop loop(session);
  if (sim && !options->real_clock) loop.WakeAtEventsOf(virtual_clock);
  loop.SlipTransmission(options->slip_ms);
  CuttingRun& run = session.run;
  loop.Schedule(start_ms, [&run] { run.Start1Click(); });
  for (const auto& [ms, event] : options->events) {
    if (IsOperatorEvent(event)) {
      // The operator acts at any moment, also while an operation waits for the machine: a Stop is then taken by
      // that wait; a click on Start or Continue meets windows that take no input and is lost.
      const auto press = [&session, &loop, &run, pressed = event] {
        if (pressed == "stop") {
          session.link.gate.RequestStop();
        } else if (!session.link.gate.busy()) {
          loop.Schedule(CurrentClock().NowMs(), [&run, pressed] {
            if (pressed == "start") {
              run.Start1Click();
            } else {
              run.Kontynuacja1Click();
            }
          });
        }
      };
      if (sim) {
        virtual_clock.Schedule(start_ms + ms, press);
      } else {
        loop.Schedule(start_ms + ms, press);
      }
    } else {
      sim::SimulatedController& controller = *sim;
      virtual_clock.Schedule(start_ms + ms, [&controller, fired = event] { Fire(controller, fired); });
    }
  }

  TransmissionTally tally;
  bool finished = false;
  std::optional<int64_t> first_end_ms;  // when the end of the first program was noticed
  int64_t last_event_ms = start_ms;
  for (const auto& [ms, event] : options->events) last_event_ms = std::max(last_event_ms, start_ms + ms);
  const auto done = [&] {
    tally.Look(session.transmission, session.state);
    // The last repetition asked for is written with the conveyor blocks like the others; after it the toggle goes
    // up, so its end starts nothing more.
    if (session.run.AutoRepeat() && session.run.repeat_counter() >= options->auto_repeat) {
      session.run.SpeedAutoRepeatClick(false);
    }
    finished = main.programs_ended() >= 1 + options->auto_repeat;
    if (main.programs_ended() >= 1 && !first_end_ms) first_end_ms = clock.NowMs();
    // Nothing more happens when the run has settled and no event is to come, and the status step has looked at the
    // machine since the last one (a press of its buttons is seen there).
    const bool idle = session.Settled() && !loop.HasPendingActions() && (!sim || !virtual_clock.NextEventMs()) &&
                      clock.NowMs() >= last_event_ms + 2 * Tster::kConnectedIntervalMs;
    return finished || idle;
  };
  // Hardware events at the start happen before the operator presses Start.
  virtual_clock.FireDue();
  bool ended = loop.RunUntil(done, limit_ms);
  std::optional<ResumeCheck> resume_check;
  bool resumed_whole = false;
  if (options->resume && !finished && ended) {
    // The interrupted run has settled: the operator asks to resume it (and answers its question yes).
    const size_t records_before = sim->program_records().size();
    int64_t moves_before = 0;
    for (const sim::ProgramRecord& record : sim->program_records()) moves_before += record.moves_completed;
    run.ResumeCut();
    if (const auto& resumed = run.last_resume()) {
      ended = loop.RunUntil(done, limit_ms);
      ResumeCheck check;
      check.place_move = resumed->place.move;
      check.along = resumed->place.along;
      check.candidates = resumed->candidates;
      check.program_moves = static_cast<int64_t>(resumed->program_moves);
      check.moves_before = moves_before;
      const std::vector<sim::ProgramRecord>& records = sim->program_records();
      for (size_t i = records_before; i < records.size(); ++i) check.moves_resumed += records[i].moves_completed;
      check.resumed_finished = records.size() == records_before + 1 &&
                               records.back().end == sim::ProgramRecord::End::kFinished;
      const std::string program = ReadFileBytes(*writable + TTransArm::kProgramFileName, INT32_MAX).value_or("");
      const std::optional<LastCut> cut = ReadLastCut(*writable);
      const std::optional<ProgramPath> path =
          cut ? ProgramPath::Replay(program, cut->start) : std::optional<ProgramPath>();
      if (path && records_before > 0) {
        const std::string joined =
            UnionOfRuns(program, *path, records[records_before - 1].moves_completed, resumed->position,
                        resumed->program.bytes, session.state.profile.StepMultiplier);
        check.path = VerifyProgram(joined, *loaded->project, config, session.state);
      }
      resume_check = check;
      resumed_whole = check.every_move_once() && check.path && check.path->passed();
    }
  }
  if (session.usb.present()) ReadPositions(session.link);
  const bool whole = resume_check ? resumed_whole && main.programs_ended() >= 1
                                  : finished && tally.all_whole() && (!sim || EveryMoveExecutedOnce(tally, *sim));
  const RunOutcome outcome = !resume_check ? Outcome(whole, !ended, op, session)
                             : whole    ? RunOutcome{"finished", "resumed"}
                                        : RunOutcome{"failed", "resume incomplete"};
  // From the first Go to the noticed end of the first program: the cut's own time, to hold against program_ms.
  std::optional<int64_t> go_to_end_ms;
  if (tally.go_ms() && first_end_ms) go_to_end_ms = *first_end_ms - *tally.go_ms();
  PrintJson(outcome, op, tally, session, main, sim.get(), clock.NowMs() - start_ms, go_to_end_ms, resume_check, out);
  return 0;
}

}  // namespace varnholt::cli
