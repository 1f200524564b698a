#pragma once
// Reads a whole plot text the way a project load drives the reader.

#include <sstream>
#include <string>
#include <vector>

#include "files/hpgl_reader.h"

namespace varnholt::testing {

inline std::vector<tfigura> ReadAll(HpglReader& reader) {
  std::vector<tfigura> figures;
  while (!reader.AtEnd()) {
    tfigura figure;
    reader.ReadNextFigure(figure);
    if (figure.has_points) figures.push_back(std::move(figure));
  }
  return figures;
}

inline std::vector<tfigura> ReadPlot(const std::string& text) {
  std::istringstream stream(text);
  HpglReader reader(stream);
  return ReadAll(reader);
}

}  // namespace varnholt::testing
