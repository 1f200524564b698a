// varnholt-cli: the headless front end over the libraries.

#include <iostream>
#include <map>
#include <string>

#include "cli/commands.h"
#include "cli/kept_until_exit.h"
#include "cli/program_texts.h"

namespace {

using Command = int (*)(const varnholt::cli::Arguments&, std::ostream&, std::ostream&);

const std::map<std::string, Command>& CommandTable() {
  static const std::map<std::string, Command> table = {
      {"config", varnholt::cli::RunConfig},
      {"cut", varnholt::cli::RunCut},
      {"decode", varnholt::cli::RunDecode},
      {"duplicate", varnholt::cli::RunDuplicate},
      {"figures", varnholt::cli::RunFigures},
      {"info", varnholt::cli::RunInfo},
      {"machine", varnholt::cli::RunMachine},
      {"write", varnholt::cli::RunWrite},
      {"plan", varnholt::cli::RunPlan},
      {"preview", varnholt::cli::RunPreview},
      {"text", varnholt::cli::RunText},
      {"verify", varnholt::cli::RunVerify},
  };
  return table;
}

int Usage(std::ostream& err) {
  err << "Usage: varnholt-cli [--home DIR] COMMAND [ARGUMENTS]\nCommands:";
  for (const auto& [name, command] : CommandTable()) err << ' ' << name;
  err << '\n';
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // Nothing here writes through C stdio: the standard streams may buffer on their own instead of passing every
  // piece of text on at once.
  std::ios::sync_with_stdio(false);
  // One command per process: what it loaded goes back to the system with the process, not block by block.
  varnholt::cli::SetKeepUntilExit(true);
  varnholt::cli::Arguments args(argv + 1, argv + argc);
  // --home DIR may stand anywhere: it points the program folder elsewhere for every command.
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--home") continue;
    if (i + 1 == args.size()) return Usage(std::cerr);
    varnholt::cli::SetHomeOption(args[i + 1]);
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    break;
  }
  if (args.empty()) return Usage(std::cerr);
  const auto found = CommandTable().find(args.front());
  if (found == CommandTable().end()) return Usage(std::cerr);
  args.erase(args.begin());
  return found->second(args, std::cout, std::cerr);
}
