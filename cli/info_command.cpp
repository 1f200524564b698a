#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/file_arguments.h"
#include "cli/json.h"
#include "cli/lenient.h"
#include "cli/program_texts.h"
#include "cli/project_loading.h"
#include "cli/simulated_machine.h"
#include "geometry/units.h"
#include "info/program_time.h"
#include "info/project_info.h"

namespace varnholt::cli {
namespace {

constexpr const char* kUsage =
    "Usage: varnholt-cli info FILE [--config FILE.qcc] [--kerf MM] [--model Qa|Qe|Qo] [--unit mm|inch|feet]\n";

}  // namespace

int RunInfo(const Arguments& given, std::ostream& out, std::ostream& err) {
  const LenientOption lenient(given);
  const Arguments& args = lenient.words();
  const std::optional<FileArguments> parsed = ParseFileArguments(args, {"--config", "--kerf", "--model", "--unit"});
  if (!parsed) {
    err << kUsage;
    return 1;
  }
  std::optional<Configuration> configuration = ReadConfiguration(parsed->Value("--config"), err);
  if (!configuration || !ApplyKerfOption(parsed->Value("--kerf"), *configuration, err)) return 1;
  Configuration& config = *configuration;
  // The display unit is the configuration's unless --unit names another.
  config.TakeCurrentUnitFromRadiounit();
  if (const auto word = parsed->Value("--unit")) {
    const auto unit = UnitFromWord(*word);
    if (!unit) {
      err << "Unknown display unit '" << *word << "' (use mm, inch or feet)\n";
      return 1;
    }
    config.SetCurrentUnit(static_cast<int>(*unit));
  }
  ControllerState machine;
  if (const auto model = parsed->Value("--model")) {
    auto identified = IdentifySimulatedMachine(*model, config, err);
    if (!identified) return 1;
    machine = *identified;
  }

  const WorkingRange range{static_cast<double>(machine.x_range), static_cast<double>(machine.y_range)};
  const std::optional<LoadedProject> loaded = LoadPlannedProject(parsed->file, config, range, err);
  if (!loaded) return 1;
  for (const auto& message : loaded->messages) err << message.text << '\n';
  const ProjectDocument& project = *loaded->project;

  const ProjectInfo info = ComputeProjectInfo(MeasuresOf(project), config);
  const std::optional<double> seconds = ProgramCuttingSeconds(project, config, machine);
  if (!seconds) {
    const auto refusal = CutProgramRefusal(project, config, machine);
    err << (refusal ? ProgramTexts(err)(refusal->section, refusal->key)
                    : std::string("A coordinate lies beyond the machine's step range"))
        << ": the program's time is unknown\n";
  }
  out << "{\"width\":" << JsonString(info.szerokosc) << ",\"height\":" << JsonString(info.wysokosc)
      << ",\"length\":" << JsonString(info.totlen) << ",\"time\":" << JsonString(info.total_time)
      << ",\"program_time_s\":" << (seconds ? JsonNumber(nearest(*seconds * 10.0) / 10.0) : "null")
      << ",\"program_time\":" << (seconds ? JsonString(MinutesSecondsText(*seconds)) : "null")
      << ",\"entries\":" << project.figures.size() << ",\"skala\":" << JsonString(info.skala) << "}\n";
  return 0;
}

}  // namespace varnholt::cli
