// Writes a large deterministic plot file: rows of closed polygons and open polylines, several pairs per command;
// with --strokes, COUNT separate short strokes of two points; with --dialect, COUNT strokes in the many ways plotter
// drivers write them (one PD per point, blanks, lower case, relative PR runs, PA with the pen down).
// Usage: varnholt-gen-plot OUT.plt [MEGABYTES] | OUT.plt --strokes COUNT | OUT.plt --dialect COUNT

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

// COUNT strokes of two points, each in its own cell of a grid 100 units apart, so that no two of them meet.
void SeparateStrokes(std::ofstream& out, Lcg& random, long count) {
  out << "IN;SP1;\n";
  for (long i = 0; i < count; ++i) {
    const int32_t x = static_cast<int32_t>(i % 1000) * 100 + random.Range(0, 30);
    const int32_t y = static_cast<int32_t>(i / 1000) * 100 + random.Range(0, 30);
    out << "PU" << x << ',' << y << ";PD" << x + random.Range(20, 55) << ',' << y + random.Range(0, 55) << ";\n";
  }
  out << "PU;SP0;\n";
}

// COUNT strokes of 4 to 12 points in four dialects, taking turns.
void DialectStrokes(std::ofstream& out, Lcg& random, long count) {
  out << "in; sp1; pw 0.35,1;\n";
  for (long i = 0; i < count; ++i) {
    int32_t x = static_cast<int32_t>(i % 400) * 500;
    int32_t y = static_cast<int32_t>(i / 400 % 400) * 500;
    const int32_t points = random.Range(4, 12);
    const auto step = [&] { return random.Range(-40, 40); };
    switch (i % 4) {
      case 0:  // lower case, one pd per point, blanks after commas
        out << "pu " << x << ", " << y << ";\n";
        for (int32_t k = 1; k < points; ++k) {
          x += 10 + random.Range(0, 30);
          y += step();
          out << "pd " << x << ", " << y << ";\n";
        }
        out << "pu;\n";
        break;
      case 1: {  // a relative run from a PA position: PR, then offsets, back to absolute after the pen-up
        out << "PA" << x << ',' << y << ";PR;";
        for (int32_t k = 1; k < points; ++k) out << "PD" << 10 + random.Range(0, 30) << ',' << step() << ';';
        out << "PU;PA;\n";
        break;
      }
      case 2:  // blanks between the numbers, several pairs per command
        out << "PU " << x << ' ' << y << " ;PD";
        for (int32_t k = 1; k < points; ++k) {
          x += 10 + random.Range(0, 30);
          y += step();
          out << ' ' << x << ' ' << y;
        }
        out << " ;PU;\n";
        break;
      default:  // absolute PA pairs while the pen is down
        out << "PA" << x << ',' << y << ";PD;PA";
        for (int32_t k = 1; k < points; ++k) {
          x += 10 + random.Range(0, 30);
          y += step();
          out << (k > 1 ? "," : "") << x << ',' << y;
        }
        out << ";PU;\n";
    }
  }
  out << "pu;sp0;\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: %s OUT.plt [MEGABYTES] | OUT.plt --strokes COUNT | OUT.plt --dialect COUNT\n",
                 argv[0]);
    return 1;
  }
  if (argc == 4 && (std::string(argv[2]) == "--strokes" || std::string(argv[2]) == "--dialect")) {
    std::ofstream out(argv[1], std::ios::binary);
    Lcg random;
    const long count = std::strtol(argv[3], nullptr, 10);
    if (std::string(argv[2]) == "--strokes") {
      SeparateStrokes(out, random, count);
    } else {
      DialectStrokes(out, random, count);
    }
    return out ? 0 : 1;
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
