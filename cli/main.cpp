// varnholt-cli: the headless front end over the libraries.

#include <iostream>
#include <map>
#include <string>

#include "cli/commands.h"

namespace {

using Command = int (*)(const varnholt::cli::Arguments&, std::ostream&, std::ostream&);

const std::map<std::string, Command>& CommandTable() {
  static const std::map<std::string, Command> table = {
      {"config", varnholt::cli::RunConfig},
      {"figures", varnholt::cli::RunFigures},
      {"plan", varnholt::cli::RunPlan},
      {"preview", varnholt::cli::RunPreview},
  };
  return table;
}

int Usage(std::ostream& err) {
  err << "Usage: varnholt-cli COMMAND [ARGUMENTS]\nCommands:";
  for (const auto& [name, command] : CommandTable()) err << ' ' << name;
  err << '\n';
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(std::cerr);
  const auto found = CommandTable().find(argv[1]);
  if (found == CommandTable().end()) return Usage(std::cerr);
  const varnholt::cli::Arguments args(argv + 2, argv + argc);
  return found->second(args, std::cout, std::cerr);
}
