// varnholt-cli text: a text in one of the computer's fonts written as a plot file.

#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/file_arguments.h"
#include "cli/json.h"
#include "cli/number_arguments.h"
#include "files/plot_file_writer.h"
#include "geometry/run_time_error.h"
#include "project/font_access.h"
#include "project/project_document.h"
#include "project/text_drawing.h"

namespace varnholt::cli {
namespace {

constexpr const char* kUsage =
    "Usage: varnholt-cli text TEXT --font FAMILY [--style STYLE] --height MM [--spacing MM] [--line-spacing "
    "MM]"
    " [--align left|centre|right] [--weld|--no-weld] [--fallback] -o FILE.plt\n";

std::optional<TextAlignment> AlignmentFromWord(const std::string& word) {
  if (word == "left") return TextAlignment::kLeft;
  if (word == "centre" || word == "center") return TextAlignment::kCentre;
  if (word == "right") return TextAlignment::kRight;
  return std::nullopt;
}

// A millimetre value of an option; nothing (the reason in err) for anything else.
std::optional<double> Millimetres(const FileArguments& parsed, const char* option, std::ostream& err) {
  const std::string text = *parsed.Value(option);
  const std::optional<double> value = ParseNumber(text);
  if (!value) err << option << " takes a length in millimetres (not '" << text << "')\n";
  return value;
}

std::optional<TextSettings> ParseOptions(const Arguments& args, std::string& output, std::ostream& err) {
  const std::optional<FileArguments> parsed = ParseFileArguments(
      args, {"--font", "--style", "--height", "--spacing", "--line-spacing", "--align", "-o"},
      {"--weld", "--no-weld", "--fallback"});
  if (!parsed || !parsed->Value("--font") || !parsed->Value("--height") || !parsed->Value("-o") ||
      (parsed->Flag("--weld") && parsed->Flag("--no-weld"))) {
    err << kUsage;
    return std::nullopt;
  }
  TextSettings settings;
  settings.text = parsed->file;
  settings.family = *parsed->Value("--font");
  settings.style = parsed->Value("--style").value_or("");
  settings.weld = !parsed->Flag("--no-weld");
  settings.allow_fallback = parsed->Flag("--fallback");
  output = *parsed->Value("-o");
  const std::optional<double> height = Millimetres(*parsed, "--height", err);
  if (!height) return std::nullopt;
  settings.letter_height_mm = *height;
  if (parsed->Value("--spacing")) {
    const std::optional<double> spacing = Millimetres(*parsed, "--spacing", err);
    if (!spacing) return std::nullopt;
    settings.letter_spacing_mm = *spacing;
  }
  if (parsed->Value("--line-spacing")) {
    const std::optional<double> line_spacing = Millimetres(*parsed, "--line-spacing", err);
    if (!line_spacing) return std::nullopt;
    if (!(*line_spacing > 0.0)) {
      err << "--line-spacing takes the distance from baseline to baseline in millimetres, above 0\n";
      return std::nullopt;
    }
    settings.line_spacing_mm = *line_spacing;
  }
  if (const std::optional<std::string> word = parsed->Value("--align")) {
    const std::optional<TextAlignment> alignment = AlignmentFromWord(*word);
    if (!alignment) {
      err << "Unknown alignment '" << *word << "' (use left, centre or right)\n";
      return std::nullopt;
    }
    settings.alignment = *alignment;
  }
  return settings;
}

void ReportProblem(const TextProblem& problem, const TextSettings& settings, double max_height_mm,
                   std::ostream& err) {
  switch (problem.kind) {
    case TextProblemKind::kNoFontAccess:
      err << "The fonts cannot be read in this process\n";
      break;
    case TextProblemKind::kEmptyText:
      err << "The text is empty: nothing in it draws a letter\n";
      break;
    case TextProblemKind::kTextTooLong:
      err << "The text is longer than " << kMaxTextLength << " characters\n";
      break;
    case TextProblemKind::kUnknownFont:
      err << "The font '" << settings.family << "' is not installed; the system would use '" << problem.detail
          << "' instead (give --fallback to take it)\n";
      break;
    case TextProblemKind::kUnknownStyle:
      err << "The font '" << settings.family << "' has no style '" << settings.style << "'; its styles are "
          << problem.detail << '\n';
      break;
    case TextProblemKind::kHeightOutOfRange:
      err << "--height takes the height of a capital in millimetres, " << kMinLetterHeightMm << " to "
          << max_height_mm << " (the machine's Y range), not " << settings.letter_height_mm << '\n';
      break;
    case TextProblemKind::kMissingCharacters:
      err << "The font '" << settings.family << "' has no letter for: " << problem.detail << '\n';
      break;
    case TextProblemKind::kTooLarge:
      err << "The text's outlines would be too large to draw\n";
      break;
  }
}

}  // namespace

int RunText(const Arguments& args, std::ostream& out, std::ostream& err) {
  // One application for the fonts while the command runs, made offscreen: the command needs no display.
  const FontAccess fonts;
  std::string output;
  const std::optional<TextSettings> settings = ParseOptions(args, output, err);
  if (!settings) return 1;
  // Without a controller the machine's range is the one it starts with.
  const WorkingRange range;
  const TextOutcome outcome = MakeTextDrawing(*settings, range.y_mm);
  if (outcome.problem) {
    ReportProblem(*outcome.problem, *settings, range.y_mm, err);
    return 1;
  }
  const TextDrawing& drawing = outcome.drawing;
  std::vector<const tfigura*> figures;
  for (const auto& figure : drawing.figures) figures.push_back(figure.get());
  try {
    WritePlotFile(output, figures);
  } catch (const RunTimeError& error) {
    err << error.what() << '\n';
    return 1;
  }
  if (drawing.width_mm > range.x_mm || drawing.height_mm > range.y_mm) {
    err << "The text is larger than the machine's working range (" << range.x_mm << " x " << range.y_mm
        << " mm)\n";
  }
  out << "{\"file\":" << JsonString(output) << ",\"font\":" << JsonString(drawing.family)
      << ",\"style\":" << JsonString(drawing.style) << ",\"figures\":" << drawing.figures.size()
      << ",\"width_mm\":" << JsonNumber(drawing.width_mm)
      << ",\"height_mm\":" << JsonNumber(drawing.height_mm) << "}\n";
  return 0;
}

}  // namespace varnholt::cli
