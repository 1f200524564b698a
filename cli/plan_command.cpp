#include <optional>
#include <sstream>
#include <string>

#include "cli/commands.h"
#include "cli/file_arguments.h"
#include "cli/json.h"
#include "cli/lenient.h"
#include "cli/plan_json.h"
#include "cli/project_loading.h"
#include "cli/text_out.h"

namespace varnholt::cli {
namespace {

constexpr const char* kUsage = "Usage: varnholt-cli plan FILE [--config FILE.qcc] [--kerf MM]\n";

const char* Bool(bool value) { return value ? "true" : "false"; }

void WriteEntry(const tfigura& figure, size_t index, bool compensated, TextOut& out) {
  out << "{\"index\":" << index << ",\"kind\":" << static_cast<int>(figure.kind) << ",\"depth\":" << figure.depth
      << ",\"parent\":" << figure.parent << ",\"child_count\":" << figure.child_count
      << ",\"link_figure\":" << figure.link_figure << ",\"link_point\":" << figure.link_point
      << ",\"link_aux\":" << figure.link_aux << ",\"pending\":" << Bool(figure.plan_flag_2 != 0)
      << ",\"closed\":" << Bool(figure.closed != 0) << ",\"point_count\":" << figure.points.size();
  // Drawing figures are as the drawing has them unless the kerf moved them; what planning made is printed whole.
  if (figure.kind != kDrawingFigure || compensated) {
    out << ",\"points\":";
    WritePoints(figure.points, out);
  }
  out << '}';
}

}  // namespace

void WritePoints(const std::vector<TPlotPoint>& points, TextOut& out) {
  out << '[';
  for (size_t i = 0; i < points.size(); ++i) out.Pair(points[i].x, points[i].y, i > 0);
  out << ']';
}

std::string PointsJson(const std::vector<TPlotPoint>& points) {
  std::ostringstream text;
  {
    TextOut out(text);
    WritePoints(points, out);
  }
  return text.str();
}

void WritePlanJson(const LoadedProject& loaded, std::ostream& stream, std::string_view more_members) {
  const ProjectDocument& p = *loaded.project;
  TextOut out(stream);
  const bool compensated = p.applied_kerf_mm() > 0.0;
  out << "{\"start_figure\":" << p.start_figure << ",\"own_start\":" << Bool(p.own_start)
      << ",\"frame_added\":" << Bool(p.frame_added) << ",\"single_open_figure\":" << Bool(p.single_open_figure)
      << ",\"max_depth\":" << p.max_depth << ",\"planned\":" << Bool(p.planned)
      << ",\"start_margin_left\":" << p.start_margin_left << ",\"start_margin_right\":" << p.start_margin_right
      << ",\"start_margin_top\":" << p.start_margin_top << ",\"start_margin_bottom\":" << p.start_margin_bottom
      << ",\"total_length\":" << JsonNumber(p.total_length) << ",\"unreachable\":" << p.last_plan.unreachable;
  if (compensated) {
    out << ",\"kerf_width\":" << JsonNumber(p.applied_kerf_mm()) << ",\"kept_as_drawn\":[";
    for (size_t i = 0; i < p.kerf_kept_as_drawn.size(); ++i) out << (i > 0 ? "," : "") << p.kerf_kept_as_drawn[i];
    out << ']';
  }
  out << ",\"entries\":[";
  for (size_t i = 0; i < p.figures.size(); ++i) {
    if (i > 0) out << ',';
    WriteEntry(*p.figures[i], i, compensated && i < p.drawn_figures.size(), out);
  }
  out << "],\"messages\":[";
  for (size_t i = 0; i < loaded.messages.size(); ++i) {
    if (i > 0) out << ',';
    out << JsonString(loaded.messages[i].text);
  }
  out << ']' << more_members << "}\n";
}

int RunPlan(const Arguments& given, std::ostream& out, std::ostream& err) {
  const LenientOption lenient(given);
  const Arguments& args = lenient.words();
  const std::optional<FileArguments> parsed = ParseFileArguments(args, {"--config", "--kerf"});
  if (!parsed) {
    err << kUsage;
    return 1;
  }
  const std::optional<LoadedProject> loaded =
      LoadPlannedProject(parsed->file, parsed->Value("--config"), err, parsed->Value("--kerf"));
  if (!loaded) return 1;
  WritePlanJson(*loaded, out, "");
  return 0;
}

}  // namespace varnholt::cli
