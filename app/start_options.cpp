#include "app/start_options.h"

#include <algorithm>
#include <cctype>

#include "services/command_line.h"

namespace varnholt {
namespace {

bool IsModel(const std::string& model) {
  return model == "Qa" || model == "Qe" || model == "Qo";
}

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// A drawing named on its own, as the desktop passes the file an operator opened with the program.
bool IsDrawingName(const std::string& argument) {
  const std::string name = LowerCase(argument);
  return name.ends_with(".plt") || name.ends_with(".hpgl") || name.ends_with(".dxf");
}

}  // namespace

StartOptions ParseStartOptions(const std::vector<std::string>& arguments, const char* sim_environment) {
  StartOptions options;
  if (sim_environment != nullptr && *sim_environment != '\0') options.sim_model = sim_environment;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::optional<std::string>* target = nullptr;
    if (argument == "--home") target = &options.home;
    if (argument == "--sim") target = &options.sim_model;
    if (argument == "--screenshots") target = &options.screenshots;
    if (argument == "--open") target = &options.open_file;
    if (argument == "--cut") {
      options.cut = true;
      continue;
    }
    if (argument == "--real-clock") {
      options.real_clock = true;
      continue;
    }
    if (target == nullptr) {
      if (argument.rfind("--", 0) == 0) {
        options.error = "Unknown option " + argument;
        return options;
      }
      if (IsDrawingName(argument)) {
        if (options.open_file) {
          options.error = "Only one drawing can be opened at start: " + argument;
          return options;
        }
        options.open_file = argument;
        continue;
      }
      options.arguments.push_back(argument);
      continue;
    }
    if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
      options.error = argument + " needs a value";
      return options;
    }
    *target = arguments[++i];
  }
  if (options.sim_model && !IsModel(*options.sim_model)) {
    options.error = "Unknown simulated controller '" + *options.sim_model + "' (use Qa, Qe or Qo)";
  } else if (options.cut && !options.sim_model) {
    options.error = "--cut runs on the simulated controller only (give --sim)";
  } else if (options.real_clock && (!options.cut || options.screenshots)) {
    options.error = "--real-clock goes with --cut, without --screenshots";
  }
  return options;
}


bool TestMode(const StartOptions& options) {
  return !options.arguments.empty() && options.arguments[0] == "test";
}

bool SeparateThirdAxesWanted(const StartOptions& options) {
  return CommandLineSwitch(options.arguments, "cb1separately") ||
         CommandLineSwitch(options.arguments, "t1osobno");
}

std::string StartUsage() {
  return "Usage: varnholt [--home DIR] [--sim Qa|Qe|Qo] [--open DRAWING] [--screenshots DIR] [--cut [--real-clock]] [test] "
         "[LANGUAGE] [D:DEALER] [cb1separately] [DRAWING]\n";
}

}  // namespace varnholt
