// Writes a large deterministic plot file: rows of closed polygons and open polylines, several pairs per command.
// Usage: varnholt-gen-plot OUT.plt [MEGABYTES]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// A small linear congruential generator: the same file on every machine.
struct Lcg {
  uint64_t state = 0x2545F4914F6CDD1DULL;
  uint32_t Next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state >> 33);
  }
  int32_t Range(int32_t low, int32_t high) {
    return low + static_cast<int32_t>(Next() % static_cast<uint32_t>(high - low + 1));
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: %s OUT.plt [MEGABYTES]\n", argv[0]);
    return 1;
  }
  const long megabytes = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 50;
  const auto target = static_cast<size_t>(megabytes) * 1024 * 1024;
  std::ofstream out(argv[1], std::ios::binary);
  Lcg random;
  std::string line;
  size_t written = 0;
  out << "IN;SP1;PW0.3,1;\n";
  for (int32_t figure = 0; written < target; ++figure) {
    const int32_t x0 = (figure % 200) * 1000;
    const int32_t y0 = (figure / 200 % 200) * 1000;
    const int32_t points = random.Range(3, 40);
    // Appended piece by piece: "literal" + std::string at -O3 trips a false -Wrestrict in GCC 12.
    line = figure % 7 == 0 ? "SP2;PU" : "PU";
    line += std::to_string(x0);
    line += ',';
    line += std::to_string(y0);
    line += ";PD";
    for (int32_t i = 0; i < points; ++i) {
      if (i > 0) line += ',';
      line += std::to_string(x0 + random.Range(0, 900)) + "," + std::to_string(y0 + random.Range(0, 900));
    }
    if (figure % 3 != 0) line += "," + std::to_string(x0) + "," + std::to_string(y0);  // closed
    line += ";\n";
    out << line;
    written += line.size();
  }
  out << "PU;SP0;\n";
  return out ? 0 : 1;
}
