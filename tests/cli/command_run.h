#pragma once
// Runs a varnholt-cli command in the test process and keeps what it printed.

#include <sstream>
#include <string>

#include "cli/commands.h"

namespace varnholt::testing {

struct CommandRun {
  int code = 0;
  std::string out;
  std::string err;
};

inline CommandRun Command(int (*command)(const cli::Arguments&, std::ostream&, std::ostream&),
                          const cli::Arguments& args) {
  std::ostringstream out, err;
  const int code = command(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace varnholt::testing
