#pragma once
// A cut made through the main window as the operator makes it, with the machine's timers on the program clock:
// for the offscreen run and the end-to-end tests.

#include <cstdint>
#include <string>

namespace varnholt {

class Program;
class TMainForm;

// What the cut did.
struct WindowCutReport {
  bool noticed = false;           // the status step noticed the end of every program asked for
  int64_t transmissions = 0;      // transmissions started
  int64_t program_moves = 0;      // moves in the programs sent
  int64_t executed_moves = 0;     // program moves the simulated controller completed (0 without one)
  int64_t programs_finished = 0;  // programs the simulated controller ran to their end (0 without one)
  int64_t programs_noticed = 0;   // program ends the status step noticed
  int64_t machine_ms = 0;         // program-clock time from Start to the end
  int64_t program_ms = 0;         // the first program's run time as the controller runs it
  int64_t go_to_end_ms = -1;      // from its Go to its noticed end (-1 when either was not seen)
  int64_t dry_spells = 0;         // times the controller ran out of program before the rest was sent
};

// Presses Start (the button, once the status step has looked at the machine) on the active project, with automatic repetition on when programs > 1, and turns the
// event loop with the program clock moved on to each next timer step until the status step has noticed the end of
// `programs` programs (the toggle goes up once the last one has started), or the run has settled otherwise, or
// limit_ms passed. The form's machine must be connected at the program clock's pace.
WindowCutReport CutThroughWindow(TMainForm& form, Program& program, int programs, int64_t limit_ms);

// The report as one line of JSON.
std::string ReportJson(const WindowCutReport& report);

}  // namespace varnholt
