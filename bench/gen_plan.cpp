// Writes a letter grid (letters and shapes with holes and islands) of about COUNT figures as a plot file.
// Usage: varnholt-gen-plan FILE COUNT

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "plan_projects.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: varnholt-gen-plan FILE COUNT\n");
    return 1;
  }
  const auto project = varnholt::LetterGrid(std::atoi(argv[2]), false);
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
