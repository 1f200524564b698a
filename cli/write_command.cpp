#include <filesystem>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/duplicate_options.h"
#include "cli/lenient.h"
#include "cli/program_texts.h"
#include "cli/project_loading.h"
#include "cli/simulated_machine.h"
#include "files/thpgl.h"
#include "geometry/run_time_error.h"
#include "program/cut_program.h"
#include "project/project_document.h"
#include "services/scripted_operator.h"

namespace varnholt::cli {
namespace {

const std::string kUsage =
    std::string("Usage: varnholt-cli write FILE -o OUT.cn [--config FILE.qcc] [--kerf MM] [--model Qa|Qe|Qo]"
                " [--auto-repeat [--repeats N]] [--cut-start-figure] ") +
    kDuplicateUsage + "\n";

struct WriteOptions {
  std::string drawing;
  std::string output;
  std::optional<std::string> config;
  std::optional<std::string> kerf;
  std::optional<std::string> model;
  bool auto_repeat = false;
  int32_t repetitions_made = 0;
  bool cut_start_figure = false;
  DuplicateRequest duplicate;
};

std::optional<int32_t> CountFromWord(const std::string& word) {
  if (word.empty() || word.size() > 6) return std::nullopt;
  int32_t count = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return std::nullopt;
    count = count * 10 + (c - '0');
  }
  return count;
}

std::optional<WriteOptions> ParseOptions(const Arguments& args, std::ostream& err) {
  WriteOptions options;
  bool repeats_given = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "-o" && has_value) {
      options.output = args[++i];
    } else if (args[i] == "--config" && has_value) {
      options.config = args[++i];
    } else if (args[i] == "--kerf" && has_value) {
      options.kerf = args[++i];
    } else if (args[i] == "--model" && has_value) {
      options.model = args[++i];
    } else if (args[i] == "--repeats" && has_value) {
      const auto count = CountFromWord(args[++i]);
      if (!count) {
        err << "--repeats takes the number of repetitions already made (0 to 999999)\n";
        return std::nullopt;
      }
      options.repetitions_made = *count;
      repeats_given = true;
    } else if (args[i] == "--auto-repeat") {
      options.auto_repeat = true;
    } else if (args[i] == "--cut-start-figure") {
      options.cut_start_figure = true;
    } else if (TakeDuplicateOption(args, i, options.duplicate)) {
      continue;
    } else if (options.drawing.empty() && !args[i].starts_with("-")) {
      options.drawing = args[i];
    } else {
      err << kUsage;
      return std::nullopt;
    }
  }
  if (options.drawing.empty() || options.output.empty() || (repeats_given && !options.auto_repeat)) {
    err << kUsage;
    return std::nullopt;
  }
  return options;
}

}  // namespace

int RunWrite(const Arguments& given, std::ostream& out, std::ostream& err) {
  const LenientOption lenient(given);
  const Arguments& args = lenient.words();
  const auto options = ParseOptions(args, err);
  if (!options) return 1;

  std::optional<Configuration> configuration = ReadConfiguration(options->config, err);
  if (!configuration || !ApplyKerfOption(options->kerf, *configuration, err)) return 1;
  const Configuration& config = *configuration;
  ControllerState machine;
  if (options->model) {
    auto identified = IdentifySimulatedMachine(*options->model, config, err);
    if (!identified) return 1;
    machine = *identified;
  }

  const WorkingRange range{static_cast<double>(machine.x_range), static_cast<double>(machine.y_range)};
  std::optional<LoadedProject> loaded = LoadPlannedProject(options->drawing, config, range, err);
  if (!loaded) return 1;
  if (options->duplicate.Requested()) {
    loaded = DuplicateLoaded(std::move(*loaded), options->drawing, options->duplicate, err);
    if (!loaded) return 1;
  }
  for (const auto& message : loaded->messages) err << message.text << '\n';
  ScriptedOperator recorder;
  ScopedOperator scoped(recorder);
  const auto report = [&] {
    for (const auto& message : recorder.messages()) err << message.text << '\n';
  };
  ProjectDocument& project = *loaded->project;
  // As the cutting run decides it: the start figure is cut unless planning gave the project a frame of its own,
  // whose outline is cut only when asked for.
  project.cut_start_figure = options->cut_start_figure || !project.has_own_frame();
  const CutRunOptions run{options->auto_repeat, options->repetitions_made};
  const bool written = save_ciecie(project, options->output, config, machine, run, ProgramTexts(err));
  report();
  if (!written) return 1;
  std::error_code error;
  const auto size = std::filesystem::file_size(options->output, error);
  out << "Wrote " << (error ? 0 : size) << " bytes to " << options->output << '\n';
  return 0;
}

}  // namespace varnholt::cli
