#include <filesystem>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/json.h"
#include "files/file_open.h"
#include "files/thpgl.h"
#include "geometry/run_time_error.h"

namespace varnholt::cli {
namespace {

std::optional<int> KindFromWord(std::string word) {
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (word == "plt") return kPlotFile;
  if (word == "dxf") return kDxfFile;
  return std::nullopt;
}

std::optional<DrawingUnit> UnitFromWord(const std::string& word) {
  if (word == "mm") return DrawingUnit::kMillimetre;
  if (word == "inch") return DrawingUnit::kInch;
  if (word == "feet") return DrawingUnit::kFoot;
  return std::nullopt;
}

constexpr const char* kUsage = "Usage: varnholt-cli figures FILE [--kind plt|dxf] [--unit mm|inch|feet]\n";

void WriteFigure(const tfigura& figure, std::ostream& out) {
  out << "{\"pen\":" << static_cast<int>(figure.pen) << ",\"pen_value\":" << JsonNumber(figure.pen_value)
      << ",\"closed\":" << (figure.open ? "false" : "true") << ",\"points\":[";
  bool first = true;
  for (const TPlotPoint& p : figure.points) {
    if (!first) out << ',';
    first = false;
    out << '[' << p.x << ',' << p.y << ']';
  }
  out << "]}";
}

// Adds the reader's notes as "notes":[{"line":N,"text":"..."}] when there are any.
void WriteNotes(const std::vector<ReaderNote>& notes, std::ostream& out) {
  if (notes.empty()) return;
  out << ",\"notes\":[";
  for (size_t i = 0; i < notes.size(); ++i) {
    if (i > 0) out << ',';
    out << "{\"line\":" << notes[i].line << ",\"text\":" << JsonString(notes[i].text) << '}';
  }
  out << ']';
}

}  // namespace

int RunFigures(const Arguments& args, std::ostream& out, std::ostream& err) {
  std::optional<std::string> path;
  std::optional<int> kind;
  DrawingUnit unit = DrawingUnit::kMillimetre;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--kind" && i + 1 < args.size()) {
      kind = KindFromWord(args[++i]);
      if (!kind) {
        err << "Unknown drawing kind '" << args[i] << "' (use plt or dxf)\n";
        return 1;
      }
    } else if (args[i] == "--unit" && i + 1 < args.size()) {
      const auto parsed = UnitFromWord(args[++i]);
      if (!parsed) {
        err << "Unknown drawing unit '" << args[i] << "' (use mm, inch or feet)\n";
        return 1;
      }
      unit = *parsed;
    } else if (!path && !args[i].starts_with("--")) {
      path = args[i];
    } else {
      err << kUsage;
      return 1;
    }
  }
  if (!path) {
    err << "Usage: varnholt-cli figures FILE [--kind plt|dxf]\n";
    return 1;
  }
  if (!kind) {
    std::string extension = std::filesystem::path(*path).extension().string();
    if (!extension.empty()) extension.erase(0, 1);
    kind = KindFromWord(extension).value_or(kPlotFile);
  }

  Thpgl reader;
  try {
    const int code = reader.Open(*path, *kind, unit);
    if (code != kIoOk) {
      err << (code == kIoSharingViolation ? "The file is used by another process: " : "Cannot open the file: ")
          << *path << " (I/O error " << code << ")\n";
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
      WriteFigure(figure, out);
    }
    out << "]";
    WriteNotes(reader.Notes(), out);
    out << "}\n";
  } catch (const RunTimeError& error) {
    out.flush();
    err << error.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace varnholt::cli
