// Writes a planning drawing as a plot file: a letter grid (letters and shapes with holes and islands) of about COUNT
// figures, or with --chains about COUNT small squares touching corner to corner in chains of 50.
// Usage: varnholt-gen-plan FILE COUNT [--chains]

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/plan_projects.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 || (argc == 4 && std::string(argv[3]) != "--chains")) {
    std::fprintf(stderr, "Usage: varnholt-gen-plan FILE COUNT [--chains]\n");
    return 1;
  }
  const int32_t count = std::atoi(argv[2]);
  const auto project = argc == 4 ? varnholt::TouchingChains(count, 50, false) : varnholt::LetterGrid(count, false);
  std::ofstream out(argv[1], std::ios::binary);
  out << "IN;SP1;";
  for (const auto& figure : project->figures) {
    const auto& p = figure->points;
    out << "PU" << p[0].x << ',' << p[0].y << ";PD";
    for (size_t i = 1; i < p.size(); ++i) out << (i > 1 ? "," : "") << p[i].x << ',' << p[i].y;
    out << ";\n";
  }
  out << "PU;\n";
  return out ? 0 : 1;
}
