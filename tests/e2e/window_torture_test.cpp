// Random schedules of operator and machine events during cuts through the real windows: the main window and the
// control panel offscreen, the operator's keys and clicks sent to them as the platform would, on virtual time with
// the events also falling inside the machine's waits. Every schedule is held against the machine's safety rules.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <iostream>

#include "app/event_clock.h"
#include "app/ui/main_form_machine.h"
#include "app/ui/machine_timers.h"
#include "control/ui/tster_form.h"
#include "files/program_decoder.h"
#include "link/sim/simulated_controller.h"
#include "support/main_window_fixture.h"
#include "../app/machine_witness.h"
#include "../app/torture_schedule.h"

namespace varnholt {
namespace {

using testing::TortureEvent;
using testing::TortureKind;

using testing::kDrawing;
using testing::kEventsPerSchedule;
using testing::kSettleLimitMs;
using testing::kSpanMs;

#ifdef VARNHOLT_SANITIZED_BUILD
constexpr int kFreshSchedules = 25;
#else
constexpr int kFreshSchedules = 150;
#endif

constexpr Qt::Key kJogKeys[] = {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Comma};
constexpr const char* kJogButtons[] = {"kl", "ku", "kr", "ktl"};

// Runs work at the next turn of the event loop, wherever that turns: inside a machine's wait or at the top.
void Queue(std::function<void()> work) { QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection); }

class WindowTorture : public testing::MainWindowTest {
 protected:
  // The program started on the event clock, the drawing open and the control panel shown.
  [[nodiscard]] ::testing::AssertionResult Prepare() {
    const ::testing::AssertionResult started = Start({"us"}, MachineTimers::Pace::kProgramClock);
    if (!started) return started;
    if (form_->OpenDrawing(folder_.Write("square.plt", kDrawing), 1) == nullptr) {
      return ::testing::AssertionFailure() << "the drawing did not open";
    }
    form_->ActionNamed("sterowanie")->trigger();
    panel_ = form_->machine().panel_window();
    if (panel_ == nullptr) return ::testing::AssertionFailure() << "no control panel";
    sim_ = program_->simulated();
    return ::testing::AssertionSuccess();
  }

  // The violations of one seed's schedule.
  std::vector<std::string> Run(uint64_t seed) {
    testing::MachineWitness witness(*sim_);
    witness_ = &witness;
    sim_->AfterCommand([this, &witness](const CommandBytes& command) {
      witness.CommandTaken(clock_.NowMs());
      if (program_->session().transmission.transmissions_started() != transmissions_) {
        transmissions_ = program_->session().transmission.transmissions_started();
        moves_.push_back(static_cast<int64_t>(
            SummarizeProgram(program_->session().transmission.program(), program_->state()).moves));
      }
      if (std::getenv("VARNHOLT_TORTURE_TRACE") != nullptr && (command[0] & 0x20) == 0) {
        std::cerr << clock_.NowMs() << " > " << command[0] << (sim_->program_running() ? " (running)" : "") << '\n';
      }
    });
    events_ = testing::MakeSchedule(seed, kEventsPerSchedule, kSpanMs);
    // Half the schedules are played with the main window active, half with the control panel.
    QWidget* active = seed % 2 == 0 ? static_cast<QWidget*>(form_.get()) : panel_;
    active->activateWindow();
    if (!QTest::qWaitForWindowActive(active)) return {"the window to work in did not become active"};
    for (const TortureEvent& event : events_) clock_.Schedule(event.at_ms, [this, event] { Fire(event); });
    MachineSession& session = program_->session();
    const auto held = [&session] {
      return session.link.gate.busy() || session.link.gate.kept() != MachineOperation::kNone;
    };
    bool settled = Turn([&] { return clock_.NowMs() >= kSpanMs && !clock_.NextEventMs(); }, witness);
    if (session.run.AutoRepeat()) form_->ActionNamed("SpeedAutoRepeat")->trigger();
    settled = settled && Turn([&] { return session.Settled() && !clock_.NextEventMs() && !held(); }, witness);
    std::vector<std::string> violations;
    if (std::getenv("VARNHOLT_TORTURE_TRACE") != nullptr) {
      const MachineGate& gate = session.link.gate;
      std::cerr << clock_.NowMs() << " end: busy " << gate.busy() << " kept " << static_cast<int>(gate.kept())
                << " cooling " << gate.cooling_due() << " heaters due " << gate.heaters_off_due() << " transmitting "
                << session.transmission.running() << " started " << session.flags.ProgramStarted << " present "
                << session.usb.present() << '\n';
    }
    if (!settled) violations.push_back("(e) the run did not settle within its time limit");
    witness.Finish(clock_.NowMs(), held(), op_.boxes.size());
    violations.insert(violations.end(), witness.violations().begin(), witness.violations().end());
    // The ends the window noticed are ends of programs executed whole.
    int64_t whole = 0;
    const std::vector<sim::ProgramRecord>& records = sim_->program_records();
    for (size_t i = 0; i < records.size() && i < moves_.size(); ++i) {
      if (records[i].end == sim::ProgramRecord::End::kFinished && records[i].moves_completed == moves_[i]) ++whole;
    }
    if (form_->machine().programs_ended() > whole) {
      violations.push_back("(d) the window took " + std::to_string(form_->machine().programs_ended()) +
                           " programs for finished; " + std::to_string(whole) + " were executed whole");
    }
    sim_->AfterCommand({});
    witness_ = nullptr;
    return violations;
  }

  // Turns the event loop on the event clock until done() holds or the limit passes; the witness looks at every turn.
  bool Turn(const std::function<bool()>& done, testing::MachineWitness& witness) {
    const int64_t deadline = kSpanMs + kSettleLimitMs;
    MachineSession& session = program_->session();
    while (true) {
      QApplication::processEvents(QEventLoop::AllEvents);
      clock_.FireDue();
      const bool held = session.link.gate.busy() || session.link.gate.kept() != MachineOperation::kNone;
      witness.Look(clock_.NowMs(), held, op_.boxes.size());
      if (done()) return true;
      const int64_t now = clock_.NowMs();
      if (now >= deadline) return false;
      int64_t next = form_->machine_timers()->NextDueMs().value_or(deadline);
      if (clock_.NextEventMs()) next = std::min(next, *clock_.NextEventMs());
      clock_.Sleep(std::clamp<int64_t>(next - now, 1, deadline - now));
    }
  }

  // An event now: the machine's at once; the operator's as input the windows get at their next turn, which is inside
  // the wait of an operation when one holds the machine.
  void Fire(const TortureEvent& event) {
    const int64_t now = clock_.NowMs();
    if (std::getenv("VARNHOLT_TORTURE_TRACE") != nullptr) {
      std::cerr << now << " " << testing::TortureKindName(event.kind)
                << (program_->session().link.gate.busy() ? " (busy)" : "") << " running=" << sim_->program_running()
                << '\n';
    }
    if (!testing::IsOperatorEvent(event.kind)) {
      FireMachine(event);
      return;
    }
    if (event.kind == TortureKind::kStop || event.kind == TortureKind::kKstop) witness_->Stopped(now, op_.boxes.size());
    if (event.kind != TortureKind::kStop && event.kind != TortureKind::kKstop && event.kind != TortureKind::kHome &&
        event.kind != TortureKind::kPowerBar) {
      witness_->Heated(now);
    }
    Queue([this, event] { Press(event); });
    if (event.kind == TortureKind::kJogKey || event.kind == TortureKind::kJogButton) {
      clock_.Schedule(now + event.hold_ms, [this, event] { Queue([this, event] { Release(event); }); });
    }
  }

  // A menu command: its shortcut pressed while an operation waits (the windows take the key from the queue), else
  // the command itself.
  void Trigger(const char* action) {
    QAction* found = form_->ActionNamed(action);
    if (program_->session().link.gate.busy()) {
      QTest::keySequence(form_.get(), found->shortcut().isEmpty() ? QKeySequence(Qt::Key_F2) : found->shortcut());
      return;
    }
    if (found->isEnabled()) found->trigger();
  }

  // What the operator does, through the windows.
  void Press(const TortureEvent& event) {
    TsterForm& panel = *panel_;
    switch (event.kind) {
      case TortureKind::kStart:
        Trigger("Start1");
        break;
      case TortureKind::kStop: {
        // Space, in the window the operator works in; with none active (the panel closed itself when the
        // controller went away) the Stop button.
        if (QWidget* active = QApplication::activeWindow()) {
          QTest::keyClick(active, Qt::Key_Space);
        } else {
          QTest::mouseClick(form_->findChild<QWidget*>("SpeedStop"), Qt::LeftButton);
        }
        break;
      }
      case TortureKind::kContinue:
        Trigger("Kontynuacja1");
        break;
      case TortureKind::kJogKey:
        QTest::keyPress(&panel, kJogKeys[event.value]);
        break;
      case TortureKind::kJogButton:
        QTest::mousePress(&testing::Child<QToolButton>(panel, kJogButtons[event.value]), Qt::LeftButton);
        break;
      case TortureKind::kInsert:
        QTest::keyClick(&panel, Qt::Key_Insert);
        break;
      case TortureKind::kHome:
        QTest::keyClick(&panel, Qt::Key_Home);
        break;
      case TortureKind::kKstop:
        QTest::mouseClick(&testing::Child<QToolButton>(panel, "kstop"), Qt::LeftButton);
        break;
      case TortureKind::kPowerBar: {
        auto& bar = testing::Child<QSlider>(panel, "PScroll");
        if (bar.isEnabled()) bar.triggerAction(event.value % 2 == 0 ? QSlider::SliderPageStepAdd : QSlider::SliderPageStepSub);
        break;
      }
      case TortureKind::kMoveToArms:
        Trigger("SpeedPrzesunDoRamion");
        break;
      case TortureKind::kAutoRepeat:
        Trigger("SpeedAutoRepeat");
        break;
      default:
        break;
    }
  }

  void Release(const TortureEvent& event) {
    TsterForm& panel = *panel_;
    if (event.kind == TortureKind::kJogKey) {
      QTest::keyRelease(&panel, kJogKeys[event.value]);
    } else {
      QTest::mouseRelease(&testing::Child<QToolButton>(panel, kJogButtons[event.value]), Qt::LeftButton);
    }
  }

  void FireMachine(const TortureEvent& event) {
    const int64_t now = clock_.NowMs();
    switch (event.kind) {
      case TortureKind::kStartButton:
        sim_->PressStartButton();
        break;
      case TortureKind::kStopButton:
        witness_->Stopped(now, op_.boxes.size());
        sim_->PressStopButton();
        break;
      case TortureKind::kContinueButton:
        witness_->Heated(now);
        sim_->PressContinueButton();
        break;
      case TortureKind::kUnplug:
        if (!sim_->plugged()) break;
        sim_->Unplug();
        clock_.Schedule(now + event.hold_ms, [this] { sim_->Replug(); });
        break;
      case TortureKind::kBusy:
        sim_->FailNextWrites(event.value);
        break;
      case TortureKind::kReadFailures:
        sim_->FailNextReads(event.value);
        break;
      case TortureKind::kWireBroken:
        sim_->SetWireBroken(true);
        clock_.Schedule(now + event.hold_ms, [this] { sim_->SetWireBroken(false); });
        break;
      default:
        break;
    }
  }

  EventClock clock_;
  ScopedClock installed_clock_{clock_};
  TsterForm* panel_ = nullptr;
  sim::SimulatedController* sim_ = nullptr;
  testing::MachineWitness* witness_ = nullptr;
  std::vector<TortureEvent> events_;
  int64_t transmissions_ = 0;
  std::vector<int64_t> moves_;
};

// One schedule a program: each seed starts the program afresh, so nothing of one schedule reaches the next.
class WindowTortureSeeds : public ::testing::Test {
 protected:
  static void Try(uint64_t seed) {
    class One final : public WindowTorture {
     public:
      void TestBody() override {}
      using WindowTorture::Prepare;
      using WindowTorture::Run;
      using WindowTorture::TearDown;
      using WindowTorture::events_;
    };
    One run;
    ASSERT_TRUE(run.Prepare());
    const std::vector<std::string> violations = run.Run(seed);
    run.TearDown();
    if (violations.empty()) return;
    std::string text;
    for (const std::string& violation : violations) text += "\n  " + violation;
    ADD_FAILURE() << "seed " << seed << " through the windows:" << text << "\n  schedule: "
                  << testing::Describe(run.events_);
  }
};

TEST_F(WindowTortureSeeds, TheSeedsThatOnceFailedHoldTheRules) {
  for (uint64_t seed : testing::KeptSeeds(std::string(VARNHOLT_SOURCE_DIR) + "/tests/app/torture_seeds.txt")) {
    Try(seed);
  }
}

TEST_F(WindowTortureSeeds, FreshSchedulesHoldTheRules) {
  const uint64_t first = testing::FirstSeed();
  const int count = testing::ScheduleCount(kFreshSchedules);
  for (uint64_t seed = first; seed < first + static_cast<uint64_t>(count) && !HasFailure(); ++seed) Try(seed);
}

}  // namespace
}  // namespace varnholt
