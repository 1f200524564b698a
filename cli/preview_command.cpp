#include <charconv>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/duplicate_options.h"
#include "cli/file_arguments.h"
#include "cli/lenient.h"
#include "cli/project_loading.h"
#include "config/file_write.h"
#include "geometry/run_time_error.h"
#include "project/plan_image.h"
#include "project/plan_picture.h"

namespace varnholt::cli {
namespace {

const std::string kUsage = std::string("Usage: varnholt-cli preview FILE -o PLAN.png|PLAN.svg [--size WxH]"
                                        " [--config FILE.qcc] [--kerf MM] ") + kDuplicateUsage + "\n";

// "WxH" with both sides from 16 to 16384 pixels.
std::optional<std::pair<int32_t, int32_t>> ParseSize(const std::string& text) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return std::nullopt;
  int32_t w = 0, h = 0;
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  auto [wp, we] = std::from_chars(begin, begin + x, w);
  auto [hp, he] = std::from_chars(begin + x + 1, end, h);
  if (we != std::errc() || he != std::errc() || wp != begin + x || hp != end) return std::nullopt;
  if (w < 16 || h < 16 || w > 16384 || h > 16384) return std::nullopt;
  return std::make_pair(w, h);
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int RunPreview(const Arguments& given, std::ostream& out, std::ostream& err) {
  const LenientOption lenient(given);
  const Arguments& args = lenient.words();
  const std::optional<FileArguments> parsed =
      ParseFileArguments(args, WithDuplicateOptions({"-o", "--config", "--size", "--kerf"}), {kWriteDplFlag});
  const std::optional<std::string> output = parsed ? parsed->Value("-o") : std::nullopt;
  const bool svg = output && EndsWith(*output, ".svg");
  if (!parsed || !output || (!svg && !EndsWith(*output, ".png"))) {
    err << kUsage;
    return 1;
  }
  std::pair<int32_t, int32_t> size{1024, 768};
  if (const auto size_text = parsed->Value("--size")) {
    const auto parsed_size = ParseSize(*size_text);
    if (!parsed_size) {
      err << "Bad size '" << *size_text << "' (use WxH, 16 to 16384 pixels each)\n";
      return 1;
    }
    size = *parsed_size;
  }
  std::optional<LoadedProject> loaded =
      LoadPlannedProject(parsed->file, parsed->Value("--config"), err, parsed->Value("--kerf"));
  if (!loaded) return 1;
  if (const DuplicateRequest request = DuplicateRequestOf(*parsed); request.Requested()) {
    loaded = DuplicateLoaded(std::move(*loaded), parsed->file, request, err);
    if (!loaded) return 1;
  }
  const PlanPicture picture = DrawPlan(*loaded->project, size.first, size.second);
  bool written = false;
  std::string failure;
  if (svg) {
    try {
      WriteFileReplacing(*output, PlanPictureSvg(picture));
      written = true;
    } catch (const RunTimeError& error) {
      failure = error.what();
    }
  } else {
    written = WritePlanPng(picture, *output, &failure);
  }
  if (!written) {
    err << "Cannot write " << *output << (failure.empty() ? "" : ": " + failure) << '\n';
    return 1;
  }
  size_t pending = 0;
  for (const auto& figure : loaded->project->figures) pending += figure->plan_flag_2 != 0 ? 1u : 0u;
  out << "Wrote " << *output << " (" << size.first << 'x' << size.second << ", " << loaded->project->figures.size()
      << " entries, " << pending << " pending)\n";
  return 0;
}

}  // namespace varnholt::cli
