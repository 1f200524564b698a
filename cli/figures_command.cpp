#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "cli/commands.h"
#include "cli/file_arguments.h"
#include "cli/json.h"
#include "cli/kept_until_exit.h"
#include "cli/plan_json.h"
#include "cli/program_texts.h"
#include "cli/text_out.h"
#include "cli/project_loading.h"
#include "files/file_open.h"
#include "files/thpgl.h"
#include "geometry/run_time_error.h"
#include "project/project_document.h"
#include "services/scripted_operator.h"

namespace varnholt::cli {
namespace {

constexpr const char* kUsage =
    "Usage: varnholt-cli figures FILE [--kind plt|dxf] [--unit mm|inch|feet] [--pen N] [--kerf MM] [--raw]\n";

struct FiguresOptions {
  std::string path;
  int kind = kPlotFile;
  DrawingUnit unit = DrawingUnit::kMillimetre;
  int pen_filter = kAllPens;
  double kerf_mm = 0.0;
  bool kerf_given = false;
  bool raw = false;
};

std::optional<int> KindFromWord(std::string word) {
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (word == "plt") return kPlotFile;
  if (word == "dxf") return kDxfFile;
  return std::nullopt;
}

// A pen number 0..255 written in plain decimal digits.
std::optional<int> PenFromWord(const std::string& word) {
  if (word.empty() || word.size() > 3) return std::nullopt;
  int pen = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return std::nullopt;
    pen = pen * 10 + (c - '0');
  }
  if (pen > 255) return std::nullopt;
  return pen;
}

// Reads the arguments into options; on a mistake writes it to err and returns nothing.
std::optional<FiguresOptions> ParseOptions(const Arguments& args, std::ostream& err) {
  FiguresOptions options;
  std::optional<std::string> path;
  std::optional<int> kind;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--kind" && has_value) {
      kind = KindFromWord(args[++i]);
      if (!kind) {
        err << "Unknown drawing kind '" << args[i] << "' (use plt or dxf)\n";
        return std::nullopt;
      }
    } else if (args[i] == "--unit" && has_value) {
      const auto unit = UnitFromWord(args[++i]);
      if (!unit) {
        err << "Unknown drawing unit '" << args[i] << "' (use mm, inch or feet)\n";
        return std::nullopt;
      }
      options.unit = *unit;
    } else if (args[i] == "--pen" && has_value) {
      const auto pen = PenFromWord(args[++i]);
      if (!pen) {
        err << "The pen filter '" << args[i] << "' is not a pen number 0..255 (255 keeps every pen)\n";
        return std::nullopt;
      }
      options.pen_filter = *pen;
    } else if (args[i] == "--kerf" && has_value) {
      const auto kerf = ParseKerfOption(args[++i], err);
      if (!kerf) return std::nullopt;
      options.kerf_mm = *kerf;
      options.kerf_given = true;
    } else if (args[i] == "--raw") {
      options.raw = true;
    } else if (!path && !args[i].starts_with("--")) {
      path = args[i];
    } else {
      err << kUsage;
      return std::nullopt;
    }
  }
  // The reader's own figures are what no load has compensated yet.
  if (!path || (options.raw && options.kerf_given)) {
    err << kUsage;
    return std::nullopt;
  }
  options.path = *path;
  options.kind = kind.value_or(DrawingKindOfFile(*path));
  return options;
}

void WriteFigure(const tfigura& figure, bool closed, TextOut& out) {
  out << "{\"pen\":" << static_cast<int>(figure.pen) << ",\"pen_value\":" << JsonNumber(figure.pen_value)
      << ",\"closed\":" << (closed ? "true" : "false") << ",\"points\":";
  WritePoints(figure.points, out);
  out << '}';
}

// Adds the reader's notes as "notes":[{"line":N,"text":"..."}] when there are any.
void WriteNotes(const std::vector<ReaderNote>& notes, TextOut& out) {
  if (notes.empty()) return;
  out << ",\"notes\":[";
  for (size_t i = 0; i < notes.size(); ++i) {
    if (i > 0) out << ',';
    out << "{\"line\":" << notes[i].line << ",\"text\":" << JsonString(notes[i].text()) << '}';
  }
  out << ']';
}

// The figures exactly as the reader hands them out, before any joining or filtering.
int WriteReaderFigures(const FiguresOptions& options, std::ostream& stream, std::ostream& err) {
  TextOut out(stream);
  Thpgl reader;
  try {
    const int code = reader.Open(options.path, options.kind, options.unit);
    if (code != kIoOk) {
      err << (code == kIoSharingViolation ? "The file is used by another process: " : "Cannot open the file: ")
          << options.path << " (" << IoCodeReason(code) << ")\n";
      return 1;
    }
    out << "{\"figures\":[";
    bool first = true;
    while (!reader.AtEof()) {
      tfigura figure;
      figure.reader_tag = -1;
      reader.ReadNextFigure(figure);
      if (!figure.has_points) continue;
      if (!first) out << ',';
      first = false;
      WriteFigure(figure, !figure.open, out);
    }
    out << "]";
    WriteNotes(reader.Notes(), out);
    out << "}\n";
  } catch (const RunTimeError& error) {
    out.Flush();
    stream.flush();
    err << error.what() << '\n';
    return 1;
  }
  return 0;
}

// The figures of the project a load makes of the drawing, with its box and the messages it showed.
int WriteProjectFigures(const FiguresOptions& options, std::ostream& stream, std::ostream& err) {
  const TextLookup& texts = ProgramTexts(err);
  ScriptedOperator recorder;
  ScopedOperator scoped(recorder);
  auto loaded = std::make_unique<ProjectDocument>(texts);
  ProjectDocument& project = *loaded;
  project.reader_kind = options.kind;
  project.drawing_unit = static_cast<int32_t>(options.unit);
  project.SetKerf(options.kerf_mm, 100.0);  // the figures at the drawing's own size
  project.plan_after_load = false;  // the figures are what the load made of the drawing; planning only appends
  // The figures are written once, never planned nor compensated again: no copy of the drawn ones.
  if (!project.Load(options.path, options.pen_filter, LoadOptions{.keep_drawn_figures = false})) {
    // A text that ends in ": " expects the file's name after it.
    for (const auto& message : recorder.messages()) {
      err << message.text << (message.text.ends_with(": ") ? options.path : "") << '\n';
    }
    if (recorder.messages().empty()) err << "The drawing could not be loaded: " << options.path << '\n';
    return 1;
  }
  TextOut out(stream);
  out << "{\"figures\":[";
  for (size_t i = 0; i < project.drawing_figure_count; ++i) {
    if (i > 0) out << ',';
    const tfigura& figure = *project.figures[i];
    WriteFigure(figure, figure.closed != 0, out);
  }
  out << "],\"box\":[" << project.project_min_x << ',' << project.project_min_y << ',' << project.project_max_x
      << ',' << project.project_max_y << "],\"messages\":[";
  for (size_t i = 0; i < recorder.messages().size(); ++i) {
    if (i > 0) out << ',';
    out << JsonString(recorder.messages()[i].text);
  }
  out << ']';
  WriteNotes(project.reader_notes, out);
  out << "}\n";
  out.Flush();
  DisposeOrKeep(std::move(loaded));
  return 0;
}

}  // namespace

int RunFigures(const Arguments& args, std::ostream& out, std::ostream& err) {
  const auto options = ParseOptions(args, err);
  if (!options) return 1;
  return options->raw ? WriteReaderFigures(*options, out, err) : WriteProjectFigures(*options, out, err);
}

}  // namespace varnholt::cli
