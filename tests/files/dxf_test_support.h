#pragma once
// Builds DXF texts from groups and reads them the way a project load drives the reader.

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "files/dxf_reader.h"

namespace varnholt::testing {

using Groups = std::vector<std::pair<int, std::string>>;

// The groups as code and value lines, the code right-aligned in three columns as drawing programs write it.
inline std::string GroupText(const Groups& groups, const std::string& line_end = "\n") {
  std::string text;
  for (const auto& [code, value] : groups) {
    std::string code_text = std::to_string(code);
    if (code_text.size() < 3) code_text.insert(0, 3 - code_text.size(), ' ');
    text += code_text + line_end + value + line_end;
  }
  return text;
}

// A drawing with an empty header and the given entities.
inline std::string Drawing(const Groups& entities, const std::string& line_end = "\n") {
  Groups all = {{0, "SECTION"}, {2, "HEADER"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}};
  all.insert(all.end(), entities.begin(), entities.end());
  all.push_back({0, "ENDSEC"});
  all.push_back({0, "EOF"});
  return GroupText(all, line_end);
}

struct DxfResult {
  std::vector<tfigura> figures;  // those with points
  std::vector<ReaderNote> notes;
  double ltscale = 0.0;
};

inline DxfResult ReadDxf(const std::string& text, DrawingUnit unit = DrawingUnit::kMillimetre,
                         double ltscale = 0.0) {
  std::istringstream stream(text);
  DxfReader reader(stream, unit, ltscale);
  DxfResult result;
  while (!reader.AtEnd()) {
    tfigura figure;
    reader.ReadNextFigure(figure);
    if (figure.has_points) result.figures.push_back(std::move(figure));
  }
  result.notes = reader.Notes();
  result.ltscale = reader.ltscale();
  return result;
}

}  // namespace varnholt::testing
