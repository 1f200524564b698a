#include "project/load_report.h"

#include <utility>

#include "project/project_document.h"
#include "project/reader_note_text.h"

namespace varnholt {

std::vector<std::string> LoadReportLines(const ProjectDocument& project) {
  std::vector<std::string> lines;
  const TextLookup texts = [&project](std::string_view section, std::string_view key) {
    return project.Text(section, key);
  };
  for (const ReaderNote& note : project.reader_notes) {
    std::string text = ReaderNoteText(note, texts);
    lines.push_back(note.line > 0 ? project.Text("Project_window", "notatkaWiersz") + std::to_string(note.line) +
                                        ": " + text
                                  : std::move(text));
  }
  if (project.joins_made > 0) {
    lines.push_back(project.Text("Project_window", "polaczoneLinie") + std::to_string(project.joins_made));
  }
  if (project.duplicates_dropped > 0) {
    lines.push_back(project.Text("Project_window", "pominieteDuplikaty") +
                    std::to_string(project.duplicates_dropped));
  }
  if (std::string kerf = KerfKeptAsDrawnText(project); !kerf.empty()) lines.push_back(std::move(kerf));
  return lines;
}

std::string KerfKeptAsDrawnText(const ProjectDocument& project) {
  if (project.kerf_kept_as_drawn.empty()) return {};
  std::string numbers;
  for (const int32_t index : project.kerf_kept_as_drawn) {
    if (!numbers.empty()) numbers += ", ";
    numbers += std::to_string(index);
  }
  return project.Text("Project_window", "kerfFiguryBezKompensacji") + numbers;
}

}  // namespace varnholt
