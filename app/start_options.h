#pragma once
// The desktop program's command line: its own options and the words the program's services read.

#include <optional>
#include <string>
#include <vector>

namespace varnholt {

struct StartOptions {
  std::optional<std::string> home;         // --home DIR: the program folder
  std::optional<std::string> sim_model;    // --sim Qa|Qe|Qo or $VARNHOLT_SIM: the simulated controller
  std::optional<std::string> screenshots;  // --screenshots DIR: save the pictures and end
  std::optional<std::string> open_file;    // --open FILE, or a .plt/.hpgl/.dxf file named alone: opened at start
  // --cut: the drawing is cut once through the window on the simulated controller, on virtual time, and the
  // program ends (with --screenshots, after the pictures).
  bool cut = false;
  // --real-clock (with --cut): the cut runs on the real clock with the timers at their own pace, as an operator's
  // would, so its time can be held against the program's.
  bool real_clock = false;
  // Everything else, in order: "test", language words, "D:" dealer codes, "cb1separately" / "t1osobno".
  std::vector<std::string> arguments;
  std::string error;  // why the command line cannot be used; empty when it can
};

// Reads the arguments (without the program's own path); sim_environment is $VARNHOLT_SIM (nullptr when
// unset).
// --sim on the command line wins over the environment.
StartOptions ParseStartOptions(const std::vector<std::string>& arguments, const char* sim_environment);


// Test mode: the first of the remaining arguments is exactly "test".
bool TestMode(const StartOptions& options);

// "cb1separately" or "t1osobno" (in any case) drives the belt axes separately.
bool SeparateThirdAxesWanted(const StartOptions& options);

// The usage text for a command line that cannot be used.
std::string StartUsage();

}  // namespace varnholt
