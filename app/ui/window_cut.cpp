#include "app/ui/window_cut.h"

#include <QAction>
#include <cmath>
#include <optional>

#include "app/program.h"
#include "app/ui/machine_timers.h"
#include "app/ui/main_form.h"
#include "app/ui/main_form_machine.h"
#include "files/program_decoder.h"
#include "geometry/clock.h"
#include "link/sim/simulated_controller.h"

namespace varnholt {

WindowCutReport CutThroughWindow(TMainForm& form, Program& program, int programs, int64_t limit_ms) {
  WindowCutReport report;
  MachineTimers* timers = form.machine_timers();
  if (timers == nullptr || !program.has_link()) return report;
  MachineSession& session = program.session();
  const MainFormMachine& machine = form.machine();
  const int64_t noticed_before = machine.programs_ended();
  const int64_t started_before = session.transmission.transmissions_started();
  const int64_t start_ms = CurrentClock().NowMs();
  QAction* repeat = form.ActionNamed("SpeedAutoRepeat");
  if (programs > 1 && !session.run.AutoRepeat()) repeat->trigger();

  int64_t seen = started_before;
  std::optional<int64_t> go_ms;
  const auto done = [&] {
    // Each program sent is counted once, when its transmission has started.
    if (session.transmission.transmissions_started() != seen) {
      const ProgramSummary summary = SummarizeProgram(session.transmission.program(), session.state);
      if (seen == started_before) report.program_ms = std::llround(summary.run_seconds * 1000.0);
      seen = session.transmission.transmissions_started();
      report.program_moves += static_cast<int64_t>(summary.moves);
    }
    if (!go_ms && session.transmission.go_sent_after()) go_ms = CurrentClock().NowMs();
    report.transmissions = seen - started_before;
    // The last program asked for has started: its end starts nothing more.
    if (report.transmissions >= programs && session.run.AutoRepeat()) repeat->trigger();
    report.programs_noticed = machine.programs_ended() - noticed_before;
    if (report.programs_noticed >= 1 && go_ms && report.go_to_end_ms < 0) {
      report.go_to_end_ms = CurrentClock().NowMs() - *go_ms;
    }
    return report.programs_noticed >= programs || (report.transmissions > 0 && session.Settled());
  };
  // The status step decides whether the button may be pressed, as it does for the operator.
  RunToNextStatusStep(*timers, limit_ms);
  form.ActionNamed("SpeedStart")->trigger();
  // Start sends the program before it returns, or refuses (the reason has been shown).
  if (session.transmission.transmissions_started() != started_before) RunOnProgramClock(*timers, done, limit_ms);
  done();
  report.noticed = report.programs_noticed >= programs;
  report.machine_ms = CurrentClock().NowMs() - start_ms;
  report.dry_spells = session.transmission.dry_spells();
  if (const sim::SimulatedController* controller = program.simulated()) {
    report.executed_moves = controller->program_moves_completed();
    report.programs_finished = controller->programs_finished();
  }
  return report;
}

std::string ReportJson(const WindowCutReport& r) {
  return std::string("{\"result\":\"") + (r.noticed ? "finished" : "not finished") +
         "\",\"transmissions\":" + std::to_string(r.transmissions) +
         ",\"program_moves\":" + std::to_string(r.program_moves) +
         ",\"executed_moves\":" + std::to_string(r.executed_moves) +
         ",\"programs_finished\":" + std::to_string(r.programs_finished) +
         ",\"programs_noticed\":" + std::to_string(r.programs_noticed) +
         ",\"machine_s\":" + std::to_string(r.machine_ms / 1000) + ",\"program_ms\":" + std::to_string(r.program_ms) +
         ",\"go_to_end_ms\":" + std::to_string(r.go_to_end_ms) + ",\"dry_spells\":" + std::to_string(r.dry_spells) +
         "}";
}

}  // namespace varnholt
