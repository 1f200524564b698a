// Random schedules of operator and machine events during cuts, without windows, on virtual time: every schedule is
// held against the machine's safety rules (MachineWitness) and must settle. The seeds that once failed are kept in
// torture_seeds.txt and replayed first.

#include <gtest/gtest.h>

#include <deque>
#include <iostream>
#include <memory>
#include <optional>
#include <random>

#include "app/event_clock.h"
#include "app/machine_session.h"
#include "app/timer_loop.h"
#include "files/program_decoder.h"
#include "link/link_test_support.h"
#include "machine_witness.h"
#include "project/project_document.h"
#include "support/temp_folder.h"
#include "torture_schedule.h"

namespace varnholt {
namespace {

using testing::TortureEvent;
using testing::TortureKind;

using testing::kDrawing;
using testing::kEventsPerSchedule;
using testing::kSettleLimitMs;
using testing::kSpanMs;

#ifdef VARNHOLT_SANITIZED_BUILD
constexpr int kFreshSchedules = 250;
#else
constexpr int kFreshSchedules = 2000;
#endif

// The operator: boxes recorded, questions answered at random (the seed's), input given during a wait queued for its
// checks.
class TortureOperator final : public Operator {
 public:
  explicit TortureOperator(uint64_t seed) : random_(seed) {}
  void ShowMessageBox(const std::string& text, bool, const std::string&) override {
    ++messages_;
    if (std::getenv("VARNHOLT_TORTURE_TRACE") != nullptr) std::cerr << CurrentClock().NowMs() << " box: " << text << '\n';
  }
  int AskQuestion(const std::string&, ButtonSet buttons, const std::string&) override {
    std::vector<int> offered;
    for (DialogButton button : {kButtonOk, kButtonCancel, kButtonRetry, kButtonYes, kButtonNo}) {
      if (Offers(buttons, button)) offered.push_back(button);
    }
    return offered[std::uniform_int_distribution<size_t>(0, offered.size() - 1)(random_)];
  }
  void SetStatusText(int, const std::string&) override {}
  void SetBusyCursor(bool) override {}
  void Repaint() override {}
  PendingInput TakePendingInput() override {
    if (input_.empty()) return PendingInput::kNone;
    const PendingInput input = input_.front();
    input_.pop_front();
    return input;
  }
  bool TakeStopInput() override {
    const auto stop = std::find(input_.begin(), input_.end(), PendingInput::kStop);
    if (stop == input_.end()) return false;
    input_.erase(stop);
    return true;
  }
  void DropPendingInput() override { input_.clear(); }

  void Give(PendingInput input) { input_.push_back(input); }
  size_t messages() const { return messages_; }

 private:
  std::mt19937_64 random_;
  std::deque<PendingInput> input_;
  size_t messages_ = 0;
};

// The main window: one project, the machine's requests passed to the run, and the ends of programs shown to the
// witness first.
class TortureMainWindow final : public MainWindowPort {
 public:
  TortureMainWindow(ProjectDocument& project, testing::MachineWitness& witness) : project_(project), witness_(witness) {}
  void Attach(MachineSession& session) { session_ = &session; }
  std::function<std::vector<sim::ProgramRecord>()> records_;

  int OpenProjectCount() const override { return 1; }
  ProjectDocument* ActiveProject() override { return &project_; }
  bool AutoRepeat() const override { return session_->run.AutoRepeat(); }
  void SetMachineButtons(const MainButtonStates&) override {}
  void StartRequested() override { session_->run.Start1Click(); }
  void StopRequested() override { session_->run.Wstrzymaj1Click(); }
  void ContinueRequested() override { session_->run.Kontynuacja1Click(); }
  void ProgramEnded() override {
    const TTransArm& transmission = session_->transmission;
    if (std::getenv("VARNHOLT_TORTURE_TRACE") != nullptr) {
      std::cerr << CurrentClock().NowMs() << " host saw the end; sent whole " << transmission.sent_whole() << " records:";
      for (const auto& r : session_->link.usb.devices().empty() ? std::vector<sim::ProgramRecord>{} : records_()) {
        std::cerr << " [" << r.commands << " " << r.moves_completed << " " << static_cast<int>(r.end) << "]";
      }
      std::cerr << '\n';
    }
    witness_.HostSawTheEnd(static_cast<int64_t>(SummarizeProgram(transmission.program(), session_->state).moves),
                           transmission.sent_whole());
    session_->run.ProgramEnded();
  }

 private:
  ProjectDocument& project_;
  testing::MachineWitness& witness_;
  MachineSession* session_ = nullptr;
};

PanelKey Key(int code) {
  PanelKey key;
  key.code = code;
  return key;
}

constexpr int kJogKeys[] = {kKeyLeft, kKeyUp, kKeyNumpad9, kKeyComma};
constexpr JogButton kJogButtons[] = {JogButton::kl, JogButton::ku, JogButton::kr, JogButton::ktl};

// One schedule from its seed to its settled end.
class TortureRun {
 public:
  TortureRun(uint64_t seed, const std::string& drawing, const std::string& model)
      : events_(testing::MakeSchedule(seed, kEventsPerSchedule, kSpanMs)), op_(seed), sim_(model), witness_(sim_) {
    project_ = std::make_unique<ProjectDocument>(
        [](std::string_view section, std::string_view key) { return UsTexts().GetText(section, key); });
    loaded_ = project_->Load(drawing, kAllPens);
    main_.emplace(*project_, witness_);
    session_.emplace(sim_, UsTexts(), config_, *main_, joystick_, SessionOptions{folder_.folder(), false, false});
    main_->Attach(*session_);
    main_->records_ = [this] { return sim_.program_records(); };
    loop_.emplace(*session_);
    loop_->WakeAtEventsOf(clock_);
  }

  // The violations of the rules, and a word on a run that did not settle.
  std::vector<std::string> Run() {
    if (!loaded_) return {"the drawing did not load"};
    const bool trace = std::getenv("VARNHOLT_TORTURE_TRACE") != nullptr;
    sim_.AfterCommand([this, trace](const CommandBytes& command) {
      witness_.CommandTaken(clock_.NowMs());
      if (trace && (command[0] & 0x20) == 0) std::cerr << clock_.NowMs() << " > " << command[0] << '\n';
    });
    for (const TortureEvent& event : events_) clock_.Schedule(event.at_ms, [this, event] { Fire(event); });
    MachineSession& session = *session_;
    const int64_t deadline = kSpanMs + kSettleLimitMs;
    const auto look = [this, &session] {
      const bool held = session.link.gate.busy() || session.link.gate.kept() != MachineOperation::kNone;
      witness_.Look(clock_.NowMs(), held, op_.messages());
      if (session.transmission.transmissions_started() != transmissions_seen_ || !session.transmission.running()) {
        if (transmitting_ && !session.transmission.running() && std::getenv("VARNHOLT_TORTURE_TRACE") != nullptr) {
          std::cerr << clock_.NowMs() << " transmission ended after " << session.transmission.commands_sent()
                    << " commands, whole " << session.transmission.sent_whole() << '\n';
        }
        if (transmitting_ && !session.transmission.running() && !session.transmission.sent_whole()) {
          witness_.CutGivenUp(clock_.NowMs());
        }
        transmissions_seen_ = session.transmission.transmissions_started();
      }
      transmitting_ = session.transmission.running();
    };
    // The schedule plays out; then the repetition is switched off and the run is left to settle.
    bool settled = loop_->RunUntil(
        [&] {
          look();
          return clock_.NowMs() >= kSpanMs && !clock_.NextEventMs() && !loop_->HasPendingActions();
        },
        deadline);
    if (session.run.AutoRepeat()) session.run.SpeedAutoRepeatClick(false);
    settled = settled && loop_->RunUntil(
                             [&] {
                               look();
                               return session.Settled() && !loop_->HasPendingActions() && !clock_.NextEventMs() &&
                                      !session.link.gate.busy();
                             },
                             deadline);
    std::vector<std::string> violations;
    if (!settled) violations.push_back("(e) the run did not settle within its time limit");
    if (session.link.gate.busy()) violations.push_back("(e) an operation still holds the machine");
    const bool kept = session.link.gate.kept() != MachineOperation::kNone;
    if (std::getenv("VARNHOLT_TORTURE_TRACE") != nullptr) {
      std::cerr << clock_.NowMs() << " end: heaters";
      for (size_t c = 0; c < 8; ++c) std::cerr << ' ' << sim_.heater_on(c);
      std::cerr << " records";
      for (const auto& r : sim_.program_records()) std::cerr << " [" << r.commands << ' ' << r.moves_completed << ' ' << static_cast<int>(r.end) << ']';
      std::cerr << " paused " << sim_.program_paused() << " running " << sim_.program_running() << '\n';
    }
    witness_.Finish(clock_.NowMs(), kept, op_.messages());
    violations.insert(violations.end(), witness_.violations().begin(), witness_.violations().end());
    return violations;
  }

  const std::vector<TortureEvent>& events() const { return events_; }

 private:
  // Carries out an event now: the machine's at once; the operator's as a window would get it.
  void Fire(const TortureEvent& event) {
    const int64_t now = clock_.NowMs();
    if (std::getenv("VARNHOLT_TORTURE_TRACE") != nullptr) {
      std::cerr << now << " " << testing::TortureKindName(event.kind) << (session_->link.gate.busy() ? " (busy)" : "")
                << " running=" << sim_.program_running() << " paused=" << sim_.program_paused()
                << " records=" << sim_.program_records().size() << '\n';
    }
    MachineSession& session = *session_;
    MachineGate& gate = session.link.gate;
    if (!testing::IsOperatorEvent(event.kind)) {
      FireMachine(event);
      return;
    }
    const bool stop = event.kind == TortureKind::kStop || event.kind == TortureKind::kKstop;
    if (stop) witness_.Stopped(now, op_.messages());
    if (event.kind == TortureKind::kStart || event.kind == TortureKind::kContinue ||
        event.kind == TortureKind::kJogKey || event.kind == TortureKind::kJogButton ||
        event.kind == TortureKind::kInsert || event.kind == TortureKind::kMoveToArms ||
        event.kind == TortureKind::kAutoRepeat) {
      witness_.Heated(now);
    }
    if (gate.busy()) {
      // An operation waits: the windows take no input but hand it to the wait; a Stop stops the operation.
      op_.Give(stop ? PendingInput::kStop : PendingInput::kLeftPress);
      ScheduleRelease(event);
      return;
    }
    loop_->Schedule(now, [this, event] { Press(event); });
    ScheduleRelease(event);
  }

  void Press(const TortureEvent& event) {
    MachineSession& session = *session_;
    Tster& panel = session.panel;
    CuttingRun& run = session.run;
    switch (event.kind) {
      case TortureKind::kStart:
        run.Start1Click();
        break;
      case TortureKind::kStop:
        run.Wstrzymaj1Click();
        break;
      case TortureKind::kContinue:
        run.Kontynuacja1Click();
        break;
      case TortureKind::kJogKey:
        panel.KeyDown(Key(kJogKeys[event.value]));
        break;
      case TortureKind::kJogButton:
        panel.JogButtonDown(kJogButtons[event.value]);
        break;
      case TortureKind::kInsert:
        panel.KeyDown(Key(kKeyInsert));
        panel.KeyUp(Key(kKeyInsert));
        break;
      case TortureKind::kHome:
        panel.KeyDown(Key(kKeyHome));
        panel.KeyUp(Key(kKeyHome));
        break;
      case TortureKind::kKstop:
        panel.kstopClick();
        break;
      case TortureKind::kPowerBar:
        panel.PScrollChange(event.value);
        break;
      case TortureKind::kMoveToArms:
        run.SpeedPrzesunDoRamionClick();
        break;
      case TortureKind::kAutoRepeat:
        run.SpeedAutoRepeatClick(!run.AutoRepeat());
        break;
      default:
        break;
    }
  }

  // The release of a held key or button comes after its hold, between two operations at the earliest.
  void ScheduleRelease(const TortureEvent& event) {
    if (event.kind != TortureKind::kJogKey && event.kind != TortureKind::kJogButton) return;
    clock_.Schedule(clock_.NowMs() + event.hold_ms, [this, event] {
      loop_->Schedule(clock_.NowMs(), [this, event] {
        Tster& panel = session_->panel;
        if (event.kind == TortureKind::kJogKey) {
          panel.KeyUp(Key(kJogKeys[event.value]));
        } else {
          panel.JogButtonUp(kJogButtons[event.value]);
        }
      });
    });
  }

  void FireMachine(const TortureEvent& event) {
    const int64_t now = clock_.NowMs();
    switch (event.kind) {
      case TortureKind::kStartButton:
        sim_.PressStartButton();
        break;
      case TortureKind::kStopButton:
        witness_.Stopped(now, op_.messages());
        sim_.PressStopButton();
        break;
      case TortureKind::kContinueButton:
        witness_.Heated(now);
        sim_.PressContinueButton();
        break;
      case TortureKind::kUnplug:
        if (!sim_.plugged()) break;
        sim_.Unplug();
        clock_.Schedule(now + event.hold_ms, [this] { sim_.Replug(); });
        break;
      case TortureKind::kBusy:
        sim_.FailNextWrites(event.value);
        break;
      case TortureKind::kReadFailures:
        sim_.FailNextReads(event.value);
        break;
      case TortureKind::kWireBroken:
        sim_.SetWireBroken(true);
        clock_.Schedule(now + event.hold_ms, [this] { sim_.SetWireBroken(false); });
        break;
      default:
        break;
    }
  }

  std::vector<TortureEvent> events_;
  EventClock clock_;
  ScopedClock installed_clock_{clock_};
  TortureOperator op_;
  ScopedOperator installed_operator_{op_};
  testing::TempFolder folder_;
  Configuration config_;
  sim::SimulatedController sim_;
  testing::MachineWitness witness_;
  std::unique_ptr<ProjectDocument> project_;
  bool loaded_ = false;
  NoJoystick joystick_;
  std::optional<TortureMainWindow> main_;
  std::optional<MachineSession> session_;
  std::optional<TimerLoop> loop_;
  int64_t transmissions_seen_ = 0;
  bool transmitting_ = false;
};

class TimingTorture : public ::testing::Test {
 protected:
  void SetUp() override { drawing_ = drawings_.Write("square.plt", kDrawing); }

  // Runs the schedule of seed on model; a failure names the seed and the schedule.
  void Try(uint64_t seed, const std::string& model) {
    TortureRun run(seed, drawing_, model);
    const std::vector<std::string> violations = run.Run();
    if (violations.empty()) return;
    std::string text;
    for (const std::string& violation : violations) text += "\n  " + violation;
    ADD_FAILURE() << "seed " << seed << " on " << model << ":" << text << "\n  schedule: "
                  << testing::Describe(run.events());
  }

  testing::TempFolder drawings_;
  std::string drawing_;
};

const char* ModelOf(uint64_t seed) {
  static const char* const kModels[] = {"Qe", "Qa", "Qo"};
  return kModels[seed % 3];
}

TEST_F(TimingTorture, TheSeedsThatOnceFailedHoldTheRules) {
  for (uint64_t seed : testing::KeptSeeds(std::string(VARNHOLT_SOURCE_DIR) + "/tests/app/torture_seeds.txt")) {
    Try(seed, ModelOf(seed));
  }
}

TEST_F(TimingTorture, FreshSchedulesHoldTheRules) {
  const uint64_t first = testing::FirstSeed();
  const int count = testing::ScheduleCount(kFreshSchedules);
  for (uint64_t seed = first; seed < first + static_cast<uint64_t>(count) && !HasFailure(); ++seed) {
    Try(seed, ModelOf(seed));
  }
}

}  // namespace
}  // namespace varnholt
