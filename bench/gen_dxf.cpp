// Writes a deterministic DXF drawing: closed outlines of lines, arcs, circles, bulged polylines and splines; with
// --lines, only rectangles of separate LINE entities, the sides of a row of 100 rectangles interleaved (all first
// sides, then all second sides, ...), as drawing programs export them.
// Usage: varnholt-gen-dxf OUT.dxf [ENTITIES] [--lines]

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// A small linear congruential generator: the same file on every machine.
struct Lcg {
  uint64_t state = 0x9E3779B97F4A7C15ULL;
  uint32_t Next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state >> 33);
  }
  // A value in [low, high] in steps of 0.001.
  double Range(double low, double high) {
    return low + (high - low) * static_cast<double>(Next() % 1000001U) / 1000000.0;
  }
};

class Writer {
 public:
  explicit Writer(std::ofstream& out) : out_(out) {}
  void Group(int code, const std::string& value) {
    char code_text[8];
    std::snprintf(code_text, sizeof code_text, "%3d", code);
    out_ << code_text << '\n' << value << '\n';
  }
  void Number(int code, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    Group(code, text);
  }
  void Entity(const char* name, int colour) {
    Group(0, name);
    Group(8, "CUT");
    Group(62, std::to_string(colour));
  }

 private:
  std::ofstream& out_;
};

// A rectangle of four LINE entities; returns how many entities it wrote.
int Rectangle(Writer& w, double x, double y, double width, double height) {
  const double xs[5] = {x, x + width, x + width, x, x};
  const double ys[5] = {y, y, y + height, y + height, y};
  for (int i = 0; i < 4; ++i) {
    w.Entity("LINE", 1);
    w.Number(10, xs[i]);
    w.Number(20, ys[i]);
    w.Number(11, xs[i + 1]);
    w.Number(21, ys[i + 1]);
  }
  return 4;
}

// Rows of 100 rectangles, each row written side by side: the first sides of all, then the second sides, and so on.
void InterleavedRectangles(Writer& w, Lcg& random, long target) {
  for (long row = 0, written = 0; written < target; ++row) {
    double xs[100][5], ys[100][5];
    for (int i = 0; i < 100; ++i) {
      const double x = i * 60.0, y = static_cast<double>(row % 1000) * 60.0;
      const double width = random.Range(10, 50), height = random.Range(10, 50);
      const double corner_x[5] = {x, x + width, x + width, x, x};
      const double corner_y[5] = {y, y, y + height, y + height, y};
      std::copy(corner_x, corner_x + 5, xs[i]);
      std::copy(corner_y, corner_y + 5, ys[i]);
    }
    for (int side = 0; side < 4; ++side) {
      for (int i = 0; i < 100 && written < target; ++i, ++written) {
        w.Entity("LINE", 1);
        w.Number(10, xs[i][side]);
        w.Number(20, ys[i][side]);
        w.Number(11, xs[i][side + 1]);
        w.Number(21, ys[i][side + 1]);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: %s OUT.dxf [ENTITIES]\n", argv[0]);
    return 1;
  }
  const long target = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 20000;
  const bool lines_only = argc > 3 && std::string(argv[3]) == "--lines";
  std::ofstream out(argv[1], std::ios::binary);
  Writer w(out);
  Lcg random;
  w.Group(0, "SECTION");
  w.Group(2, "HEADER");
  w.Group(9, "$LTSCALE");
  w.Number(40, 1.0);
  w.Group(0, "ENDSEC");
  w.Group(0, "SECTION");
  w.Group(2, "ENTITIES");
  long written = lines_only ? target : 0;
  if (lines_only) InterleavedRectangles(w, random, target);
  for (long cell = 0; written < target; ++cell) {
    const double x = static_cast<double>(cell % 100) * 60.0;
    const double y = static_cast<double>(cell / 100 % 100) * 60.0;
    switch (cell % 5) {
      case 0:
        written += Rectangle(w, x, y, random.Range(10, 50), random.Range(10, 50));
        break;
      case 1:
        w.Entity("CIRCLE", 3);
        w.Number(10, x + 25);
        w.Number(20, y + 25);
        w.Number(40, random.Range(1, 25));
        ++written;
        break;
      case 2:
        w.Entity("ARC", 1);
        w.Number(10, x + 25);
        w.Number(20, y + 25);
        w.Number(40, random.Range(5, 25));
        w.Number(50, random.Range(0, 180));
        w.Number(51, random.Range(180, 360));
        ++written;
        break;
      case 3: {
        // A closed outline with one bulged side in four.
        const int vertices = 4 + static_cast<int>(random.Next() % 12);
        w.Entity("LWPOLYLINE", 1);
        w.Group(90, std::to_string(vertices));
        w.Group(70, "1");
        for (int i = 0; i < vertices; ++i) {
          const double angle = 2.0 * 3.141592653589793 * i / vertices;
          const double r = random.Range(15, 25);
          w.Number(10, x + 25 + r * std::cos(angle));
          w.Number(20, y + 25 + r * std::sin(angle));
          if (i % 4 == 0) w.Number(42, random.Range(0.1, 0.6));
        }
        ++written;
        break;
      }
      default: {
        // A clamped cubic spline over six control points.
        w.Entity("SPLINE", 3);
        w.Group(70, "8");
        w.Group(71, "3");
        w.Group(72, "10");
        w.Group(73, "6");
        for (const double knot : {0.0, 0.0, 0.0, 0.0, 1.0, 2.0, 3.0, 3.0, 3.0, 3.0}) w.Number(40, knot);
        for (int i = 0; i < 6; ++i) {
          w.Number(10, x + 10.0 * i);
          w.Number(20, y + random.Range(0, 50));
          w.Number(30, 0.0);
        }
        ++written;
      }
    }
  }
  w.Group(0, "ENDSEC");
  w.Group(0, "EOF");
  return out ? 0 : 1;
}
