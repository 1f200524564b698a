#pragma once
// The line of the main window that tells how the cut goes: its phase, how far along its program it is, the elapsed
// and remaining program time, and where the wire stands.

#include <cstdint>
#include <string>

#include "project/cut_progress.h"

namespace varnholt {

class tInterfejs;

// The wire's position in millimetres and the display unit it is shown in; nothing when no controller told it.
struct WirePosition {
  bool known = false;
  double x_mm = 0.0, y_mm = 0.0;
  int unit = 0;  // the configuration's display unit
};

// A program time as minutes and seconds ("1:05"), with hours once it reaches one ("1:02:03").
std::string ProgramTimeText(int64_t ms);

// The line: for a cut shown, its phase ("Cutting", "Cut paused", "Cut finished", ...), the per cent of its program
// time, elapsed / whole and what is left, then the wire's X and Y in the display unit with its name; without a cut
// the position alone. Parts are parted by " · ".
std::string CutStatusText(const CutProgress& progress, const WirePosition& wire, const tInterfejs& texts);

}  // namespace varnholt
