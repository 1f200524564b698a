#include "cli/duplicate_options.h"

#include <algorithm>
#include <array>

#include "cli/lenient.h"
#include "cli/program_texts.h"
#include "config/display_unit.h"
#include "files/number_text.h"
#include "geometry/run_time_error.h"
#include "geometry/units.h"
#include "layout/dpl_file.h"
#include "layout/duplicate_project.h"
#include "layout/grid_check.h"
#include "services/scripted_operator.h"

namespace varnholt::cli {
namespace {

constexpr std::array<std::string_view, 6> kValueOptions = {"--columns", "--rows",  "--pitch-x",
                                                           "--pitch-y",  "--gap-v", "--gap-h"};

std::optional<std::string> ValueOf(const DuplicateRequest& request, std::string_view option) {
  const auto found = request.values.find(option);
  return found == request.values.end() ? std::nullopt : std::optional<std::string>(found->second);
}

// The drawing's ".dpl" values (or the defaults) with the options given over them. Throws RunTimeError for a value
// that is not a number.
DuplicationParameters RequestedValues(const ProjectDocument& pattern, DuplicationParameters values,
                                      const DuplicateRequest& request) {
  const int32_t width = pattern.project_width, height = pattern.project_height;
  values.columns = StrToInt(*ValueOf(request, "--columns"));
  values.rows = StrToInt(*ValueOf(request, "--rows"));
  if (const auto pitch = ValueOf(request, "--pitch-x")) {
    values.column_pitch = StrToFloat(*pitch);
    values.vertical_distance = std::max(0.0, (values.column_pitch - UnitsToMm(width)) / 2.0);
  }
  if (const auto pitch = ValueOf(request, "--pitch-y")) {
    values.row_pitch = StrToFloat(*pitch);
    values.horizontal_distance = std::max(0.0, (values.row_pitch - UnitsToMm(height)) / 2.0);
  }
  if (const auto gap = ValueOf(request, "--gap-v")) values.vertical_distance = StrToFloat(*gap);
  if (const auto gap = ValueOf(request, "--gap-h")) values.horizontal_distance = StrToFloat(*gap);
  return values;
}

}  // namespace

std::vector<std::string_view> WithDuplicateOptions(std::vector<std::string_view> options) {
  options.insert(options.end(), kValueOptions.begin(), kValueOptions.end());
  return options;
}

DuplicateRequest DuplicateRequestOf(const FileArguments& parsed) {
  DuplicateRequest request;
  for (std::string_view option : kValueOptions) {
    if (const auto value = parsed.Value(option)) request.values.emplace(option, *value);
  }
  request.write_dpl = parsed.Flag(kWriteDplFlag);
  return request;
}

bool TakeDuplicateOption(const Arguments& args, size_t& i, DuplicateRequest& request) {
  if (args[i] == kWriteDplFlag) {
    request.write_dpl = true;
    return true;
  }
  const bool valued = std::find(kValueOptions.begin(), kValueOptions.end(), args[i]) != kValueOptions.end();
  if (!valued || i + 1 >= args.size()) return false;
  request.values[args[i]] = args[i + 1];
  ++i;
  return true;
}

std::optional<LoadedProject> DuplicateLoaded(LoadedProject pattern, const std::string& drawing,
                                             const DuplicateRequest& request, std::ostream& err) {
  if (!ValueOf(request, "--columns") || !ValueOf(request, "--rows")) {
    err << "A duplication needs --columns N and --rows N\n";
    return std::nullopt;
  }
  const ProjectDocument& source = *pattern.project;
  const std::string dpl = DplPathFor(drawing);
  const DplRead remembered = ReadDplFile(dpl, source.project_width, source.project_height);
  for (const LineProblem& problem : remembered.problems) err << LineProblemText(dpl, problem) << '\n';
  if (!remembered.problems.empty() && !Lenient()) {
    err << "The duplication file " << dpl << " did not load whole (--lenient takes what loaded)\n";
    return std::nullopt;
  }
  DuplicationParameters values;
  try {
    values = RequestedValues(
        source, remembered.values.value_or(DefaultParameters(source.project_width, source.project_height)), request);
  } catch (const RunTimeError& error) {
    err << error.what() << '\n';
    return std::nullopt;
  }

  const TextLookup& texts = ProgramTexts(err);
  ScriptedOperator op;
  ScopedOperator installed(op);
  const bool passed = !CheckDuplication(values, FactsOf(source), {texts, kUnitMm, '.'});
  for (const auto& question : op.questions()) err << question.text << '\n';
  for (const auto& message : op.messages()) err << message.text << '\n';
  if (!passed) return std::nullopt;
  if (request.write_dpl) {
    try {
      WriteDplFile(dpl, values, '.');
    } catch (const RunTimeError& error) {
      err << "Cannot write " << dpl << ": " << error.what() << '\n';
      return std::nullopt;
    }
  }
  LoadedProject duplicated;
  duplicated.project = BuildDuplicate(source, values, texts);
  duplicated.messages = std::move(pattern.messages);
  duplicated.messages.insert(duplicated.messages.end(), op.messages().begin(), op.messages().end());
  return duplicated;
}

}  // namespace varnholt::cli
