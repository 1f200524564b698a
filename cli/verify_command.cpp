#include <cstdint>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/duplicate_options.h"
#include "cli/json.h"
#include "cli/lenient.h"
#include "cli/project_loading.h"
#include "cli/simulated_machine.h"
#include "config/file_read.h"
#include "geometry/run_time_error.h"
#include "program/program_verifier.h"

namespace varnholt::cli {
namespace {

const std::string kUsage =
    std::string("Usage: varnholt-cli verify FILE PROGRAM.cn [--config FILE.qcc] [--kerf MM] [--model Qa|Qe|Qo]"
                " [--cut-start-figure] ") +
    kDuplicateUsage + "\n";

// Exit code of a program that was checked and failed the check.
constexpr int kCheckFailed = 2;

// The longest program the transmission sends (its size is a 32-bit count).
constexpr size_t kLargestProgramBytes = INT32_MAX;

struct VerifyOptions {
  std::string drawing;
  std::string program;
  std::optional<std::string> config;
  std::optional<std::string> kerf;
  std::optional<std::string> model;
  bool cut_start_figure = false;
  DuplicateRequest duplicate;
};

std::optional<VerifyOptions> ParseOptions(const Arguments& args) {
  VerifyOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--config" && has_value) {
      options.config = args[++i];
    } else if (args[i] == "--kerf" && has_value) {
      options.kerf = args[++i];
    } else if (args[i] == "--model" && has_value) {
      options.model = args[++i];
    } else if (args[i] == "--cut-start-figure") {
      options.cut_start_figure = true;
    } else if (TakeDuplicateOption(args, i, options.duplicate)) {
      continue;
    } else if (args[i].starts_with("-")) {
      return std::nullopt;
    } else if (options.drawing.empty()) {
      options.drawing = args[i];
    } else if (options.program.empty()) {
      options.program = args[i];
    } else {
      return std::nullopt;
    }
  }
  if (options.drawing.empty() || options.program.empty()) return std::nullopt;
  return options;
}

std::string JsonPoint(const RealPoint& p) { return "[" + JsonNumber(p.x) + "," + JsonNumber(p.y) + "]"; }

void WriteCheck(const ProgramCheck& check, std::ostream& out) {
  out << "{\"passed\":" << (check.passed() ? "true" : "false") << ",\"tolerance_mm\":" << JsonNumber(check.tolerance_mm)
      << ",\"cutting_moves\":" << check.cutting_moves << ",\"other_moves\":" << check.other_moves
      << ",\"largest_deviation_mm\":" << JsonNumber(check.largest_deviation_mm)
      << ",\"ends_where_it_began\":" << (check.ends_where_it_began ? "true" : "false") << ",\"stray_cuts\":[";
  for (size_t i = 0; i < check.stray_cuts.size(); ++i) {
    const StrayCut& stray = check.stray_cuts[i];
    out << (i > 0 ? "," : "") << "{\"offset\":" << stray.offset << ",\"side\":" << stray.side
        << ",\"from\":" << JsonPoint(stray.from) << ",\"to\":" << JsonPoint(stray.to)
        << ",\"deviation_mm\":" << JsonNumber(stray.deviation_mm) << '}';
  }
  out << "],\"uncut\":[";
  for (size_t i = 0; i < check.uncut.size(); ++i) {
    const UncutSegment& uncut = check.uncut[i];
    out << (i > 0 ? "," : "") << "{\"figure\":" << uncut.figure << ",\"segment\":" << uncut.segment
        << ",\"side\":" << uncut.side << ",\"from\":" << JsonPoint(uncut.from) << ",\"to\":" << JsonPoint(uncut.to)
        << '}';
  }
  out << "]}\n";
}

}  // namespace

int RunVerify(const Arguments& given, std::ostream& out, std::ostream& err) {
  const LenientOption lenient(given);
  const Arguments& args = lenient.words();
  const auto options = ParseOptions(args);
  if (!options) {
    err << kUsage;
    return 1;
  }
  std::optional<Configuration> config = ReadConfiguration(options->config, err);
  if (!config || !ApplyKerfOption(options->kerf, *config, err)) return 1;
  ControllerState machine;
  if (options->model) {
    auto identified = IdentifySimulatedMachine(*options->model, *config, err);
    if (!identified) return 1;
    machine = *identified;
  }
  // A program no transmission can send is no program; a pipe or a device is refused before it is read.
  std::optional<std::string> contents;
  try {
    contents = ReadWholeFile(options->program, kLargestProgramBytes);
  } catch (const RunTimeError& error) {
    err << error.what() << '\n';
    return 1;
  }
  if (!contents) {
    err << "Cannot open the file: " << options->program << '\n';
    return 1;
  }

  const WorkingRange range{static_cast<double>(machine.x_range), static_cast<double>(machine.y_range)};
  std::optional<LoadedProject> loaded = LoadPlannedProject(options->drawing, *config, range, err);
  if (!loaded) return 1;
  if (options->duplicate.Requested()) {
    loaded = DuplicateLoaded(std::move(*loaded), options->drawing, options->duplicate, err);
    if (!loaded) return 1;
  }
  ProjectDocument& project = *loaded->project;
  // As write decides it: the start figure must be cut unless it is a frame of the plan's own.
  project.cut_start_figure = options->cut_start_figure || !project.has_own_frame();
  const ProgramCheck check = VerifyProgram(*contents, project, *config, machine);
  if (check.error) {
    err << "The program cannot be checked: " << *check.error << '\n';
    return 1;
  }
  WriteCheck(check, out);
  return check.passed() ? 0 : kCheckFailed;
}

}  // namespace varnholt::cli
