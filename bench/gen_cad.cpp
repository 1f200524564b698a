// Writes deterministic DXF drawings made the way drawing programs export them, for the planning benchmarks: one
// 1200 x 600 mm sheet packed with small parts in cells (squares cut with common edges, drawn as separate LINEs some
// shuffled and some reversed; rounded rectangles and slots of LINEs and ARCs; lone ARCs from a cell's corner; CIRCLE
// holes; bulged polylines; letter outlines of single-Bezier SPLINEs, clamped cubic B-splines and chains of Beziers in
// one SPLINE; ELLIPSEs; a little TEXT), with wing profiles of hundreds of vertices laid over them (one in a hundred
// entities, one in eight of them closed, the others open at the trailing edge), long enough to span much of the
// sheet, so that their boxes overlap many small figures. About 15 % of the entities carry a colour.
// The R12 flavour writes POLYLINE/VERTEX (2D with bulges, 3D, spline-fit) instead of LWPOLYLINE, SPLINE and ELLIPSE.
// With --squares, COUNT concentric squares (closed polylines 0.5 mm apart), the innermost first.
// Usage: varnholt-gen-cad OUT.dxf ENTITIES r2000|r12
//        varnholt-gen-cad OUT.dxf --squares COUNT

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kSheetWidth = 1200.0, kSheetHeight = 600.0;

// A small linear congruential generator: the same file on every machine.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33);
  }
  // A value in [low, high] in steps of a millionth of the range.
  double Range(double low, double high) { return low + (high - low) * static_cast<double>(Next() % 1000001U) / 1e6; }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  bool Chance(double p) { return Range(0.0, 1.0) < p; }

 private:
  uint64_t state_;
};

struct Point {
  double x, y;
};

// Positions on a 0.001 mm grid: the ends that several entities share are written alike by each, as a drawing
// program writes the same end of two entities.
double Snap(double v) { return std::round(v * 1000.0) / 1000.0; }
Point Snap(Point p) { return {Snap(p.x), Snap(p.y)}; }

struct Vertex {
  Point p;
  double bulge = 0.0;
};

// Writes the groups of one flavour; every entity goes through here so that handles, layers and colours are alike.
class Writer {
 public:
  Writer(std::ofstream& out, bool r12, Random& random) : out_(out), r12_(r12), random_(random) {}

  bool r12() const { return r12_; }
  long entities() const { return entities_; }

  void Group(int code, const std::string& value) {
    char code_text[8];
    std::snprintf(code_text, sizeof code_text, "%3d", code);
    out_ << code_text << '\n' << value << '\n';
  }
  void Number(int code, double value) {
    char text[40];
    // Older exports write six decimals; newer ones the shortest exact-looking form.
    std::snprintf(text, sizeof text, r12_ ? "%.6f" : "%.12g", value);
    Group(code, text);
  }
  void Integer(int code, long value) { Group(code, std::to_string(value)); }
  void At(int code, Point p) {
    Number(code, p.x);
    Number(code + 10, p.y);
    Number(code + 20, 0.0);
  }

  void Header(double max_x, double max_y) {
    Group(0, "SECTION");
    Group(2, "HEADER");
    Group(9, "$ACADVER");
    Group(1, r12_ ? "AC1009" : "AC1015");
    Group(9, "$INSBASE");
    At(10, {0.0, 0.0});
    Group(9, "$EXTMIN");
    At(10, {0.0, 0.0});
    Group(9, "$EXTMAX");
    At(10, {max_x, max_y});
    Group(9, "$LTSCALE");
    Number(40, 1.0);
    if (!r12_) {
      Group(9, "$INSUNITS");
      Integer(70, 4);
    }
    Group(0, "ENDSEC");
    Group(0, "SECTION");
    Group(2, "TABLES");
    Group(0, "TABLE");
    Group(2, "LAYER");
    Integer(70, 3);
    for (const char* layer : {"CUT", "HOLES", "TEXT"}) {
      Group(0, "LAYER");
      if (!r12_) {
        Group(5, Handle());
        Group(100, "AcDbSymbolTableRecord");
        Group(100, "AcDbLayerTableRecord");
      }
      Group(2, layer);
      Integer(70, 0);
      Integer(62, 7);
      Group(6, "CONTINUOUS");
    }
    Group(0, "ENDTAB");
    Group(0, "ENDSEC");
    Group(0, "SECTION");
    Group(2, "BLOCKS");
    Group(0, "ENDSEC");
    Group(0, "SECTION");
    Group(2, "ENTITIES");
  }

  void Footer() {
    Group(0, "ENDSEC");
    if (!r12_) {
      Group(0, "SECTION");
      Group(2, "OBJECTS");
      Group(0, "DICTIONARY");
      Group(5, "C");
      Group(100, "AcDbDictionary");
      Group(0, "ENDSEC");
    }
    Group(0, "EOF");
  }

  // The common groups of an entity: name, handle and owner (R2000), layer, sometimes a colour, subclass.
  void Entity(const char* name, const char* subclass, const char* layer = "CUT") {
    ++entities_;
    Group(0, name);
    if (!r12_) {
      Group(5, Handle());
      Group(330, "1F");
      Group(100, "AcDbEntity");
    }
    Group(8, layer);
    if (random_.Chance(0.15)) Integer(62, 1 + random_.Below(7));
    if (!r12_ && subclass != nullptr) Group(100, subclass);
  }

  void Line(Point a, Point b, const char* layer = "CUT") {
    Entity("LINE", "AcDbLine", layer);
    At(10, a);
    At(11, b);
  }
  void Circle(Point c, double r) {
    Entity("CIRCLE", "AcDbCircle", "HOLES");
    At(10, c);
    Number(40, r);
  }
  void Arc(Point c, double r, double start_degrees, double end_degrees) {
    Entity("ARC", "AcDbCircle");
    At(10, c);
    Number(40, r);
    if (!r12_) Group(100, "AcDbArc");
    Number(50, start_degrees);
    Number(51, end_degrees);
  }
  // A polyline of straight and bulged segments: LWPOLYLINE, or POLYLINE with VERTEXes in R12.
  void Polyline(const std::vector<Vertex>& vertices, bool closed) {
    if (r12_) {
      PolylineStart(closed ? 1 : 0);
      for (const Vertex& v : vertices) PolylineVertex(v.p, 0, v.bulge);
      PolylineEnd();
      return;
    }
    Entity("LWPOLYLINE", "AcDbPolyline");
    Integer(90, static_cast<long>(vertices.size()));
    Integer(70, closed ? 1 : 0);
    for (const Vertex& v : vertices) {
      Number(10, v.p.x);
      Number(20, v.p.y);
      if (v.bulge != 0.0) Number(42, v.bulge);
    }
  }
  // R12: a 3D polyline through the points.
  void Polyline3d(const std::vector<Point>& points, bool closed) {
    PolylineStart(8 | (closed ? 1 : 0));
    for (const Point& p : points) PolylineVertex(p, 32, 0.0);
    PolylineEnd();
  }
  // R12: a spline-fit polyline, its frame's control points and then the fitted points it runs through.
  void SplineFitPolyline(const std::vector<Point>& frame, const std::vector<Point>& fitted, bool closed) {
    PolylineStart(4 | (closed ? 1 : 0));
    for (const Point& p : frame) PolylineVertex(p, 16, 0.0);
    for (const Point& p : fitted) PolylineVertex(p, 8, 0.0);
    PolylineEnd();
  }
  // A SPLINE entity of the given degree, knots and control points.
  void Spline(int degree, const std::vector<double>& knots, const std::vector<Point>& controls, bool closed) {
    Entity("SPLINE", "AcDbSpline");
    Number(210, 0.0);
    Number(220, 0.0);
    Number(230, 1.0);
    Integer(70, 8 | (closed ? 1 : 0));
    Integer(71, degree);
    Integer(72, static_cast<long>(knots.size()));
    Integer(73, static_cast<long>(controls.size()));
    Integer(74, 0);
    for (const double k : knots) Number(40, k);
    for (const Point& p : controls) At(10, p);
  }
  void Ellipse(Point c, Point major, double ratio, double u0, double u1) {
    Entity("ELLIPSE", "AcDbEllipse");
    At(10, c);
    At(11, major);
    Number(40, ratio);
    Number(41, u0);
    Number(42, u1);
  }
  void Text(Point at, double height, const std::string& text) {
    Entity("TEXT", "AcDbText", "TEXT");
    At(10, at);
    Number(40, height);
    Group(1, text);
    if (!r12_) Group(100, "AcDbText");
  }

 private:
  std::string Handle() {
    char text[24];
    std::snprintf(text, sizeof text, "%lX", next_handle_++);
    return text;
  }
  void PolylineStart(int flags) {
    Entity("POLYLINE", "AcDb2dPolyline");
    Integer(66, 1);
    At(10, {0.0, 0.0});
    Integer(70, flags);
  }
  void PolylineVertex(Point p, int flags, double bulge) {
    Group(0, "VERTEX");
    Group(8, "CUT");
    At(10, p);
    if (bulge != 0.0) Number(42, bulge);
    if (flags != 0) Integer(70, flags);
  }
  void PolylineEnd() {
    Group(0, "SEQEND");
    Group(8, "CUT");
  }

  std::ofstream& out_;
  bool r12_;
  Random& random_;
  long entities_ = 0;
  unsigned long next_handle_ = 0x100;
};

// A rectangle's corners counter-clockwise from the lower left, the first repeated at the end.
std::vector<Point> Corners(Point low, Point high) {
  return {low, {high.x, low.y}, high, {low.x, high.y}, low};
}

// The four sides of a rectangle as separate LINEs: with `shuffled`, in a random order; each side sometimes reversed.
void RectangleOfLines(Writer& w, Random& random, Point low, Point high, bool shuffled) {
  const std::vector<Point> c = Corners(Snap(low), Snap(high));
  int order[4] = {0, 1, 2, 3};
  if (shuffled) {
    for (int i = 3; i > 0; --i) std::swap(order[i], order[random.Below(i + 1)]);
  }
  for (const int side : order) {
    if (random.Chance(0.3)) {
      w.Line(c[static_cast<size_t>(side) + 1], c[static_cast<size_t>(side)]);
    } else {
      w.Line(c[static_cast<size_t>(side)], c[static_cast<size_t>(side) + 1]);
    }
  }
}

// A rectangle with rounded corners: four LINEs and four ARCs, the lines' ends on the arcs' ends.
void RoundedRectangle(Writer& w, Random& random, Point low, Point high) {
  const double r = Snap(std::min(high.x - low.x, high.y - low.y) * random.Range(0.1, 0.35));
  low = Snap(low);
  high = Snap(high);
  const Point centres[4] = {{high.x - r, low.y + r}, {high.x - r, high.y - r}, {low.x + r, high.y - r}, {low.x + r, low.y + r}};
  w.Line({low.x + r, low.y}, {high.x - r, low.y});
  w.Arc(centres[0], r, 270.0, 360.0);
  w.Line({high.x, low.y + r}, {high.x, high.y - r});
  w.Arc(centres[1], r, 0.0, 90.0);
  w.Line({high.x - r, high.y}, {low.x + r, high.y});
  w.Arc(centres[2], r, 90.0, 180.0);
  w.Line({low.x, high.y - r}, {low.x, low.y + r});
  w.Arc(centres[3], r, 180.0, 270.0);
}

// A slot: two LINEs and two half-circle ARCs, lying along x or y.
void Slot(Writer& w, Random& random, Point centre, double length, double r) {
  centre = Snap(centre);
  r = Snap(r);
  const double half = Snap(length / 2.0);
  if (random.Chance(0.5)) {
    w.Line({centre.x - half, centre.y - r}, {centre.x + half, centre.y - r});
    w.Arc({centre.x + half, centre.y}, r, 270.0, 90.0);
    w.Line({centre.x + half, centre.y + r}, {centre.x - half, centre.y + r});
    w.Arc({centre.x - half, centre.y}, r, 90.0, 270.0);
  } else {
    w.Line({centre.x + r, centre.y - half}, {centre.x + r, centre.y + half});
    w.Arc({centre.x, centre.y + half}, r, 0.0, 180.0);
    w.Line({centre.x - r, centre.y + half}, {centre.x - r, centre.y - half});
    w.Arc({centre.x, centre.y - half}, r, 180.0, 360.0);
  }
}

// A closed outline of 4 to 11 vertices around a centre, one side in three bulged.
void BulgedOutline(Writer& w, Random& random, Point centre, double radius) {
  const int n = 4 + random.Below(8);
  std::vector<Vertex> vertices;
  for (int i = 0; i < n; ++i) {
    const double angle = 2.0 * kPi * i / n;
    const double r = radius * random.Range(0.7, 1.0);
    vertices.push_back({Snap(Point{centre.x + r * std::cos(angle), centre.y + r * std::sin(angle)}),
                        i % 3 == 0 ? random.Range(0.1, 0.5) : 0.0});
  }
  w.Polyline(vertices, true);
}

// The control points of a closed letter-like outline: n cubic Beziers around a centre, their ends shared.
std::vector<Point> LetterBeziers(Random& random, Point centre, double radius, int n) {
  std::vector<Point> ends;
  for (int i = 0; i < n; ++i) {
    const double angle = 2.0 * kPi * i / n;
    // Lobes pulled in and out give the outline a letter's irregular curves.
    const double r = radius * (i % 2 == 0 ? random.Range(0.75, 1.0) : random.Range(0.45, 0.8));
    ends.push_back(Snap(Point{centre.x + r * std::cos(angle), centre.y + r * std::sin(angle)}));
  }
  std::vector<Point> controls;
  for (int i = 0; i < n; ++i) {
    const Point a = ends[static_cast<size_t>(i)], b = ends[static_cast<size_t>((i + 1) % n)];
    // Control points pushed outwards from the chord's thirds.
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double push = random.Range(-0.25, 0.35);
    controls.push_back(a);
    controls.push_back(Snap(Point{a.x + dx / 3.0 + dy * push, a.y + dy / 3.0 - dx * push}));
    controls.push_back(Snap(Point{a.x + 2.0 * dx / 3.0 + dy * push, a.y + 2.0 * dy / 3.0 - dx * push}));
    controls.push_back(b);
  }
  return controls;
}

// A point of the cubic Bezier through four controls.
Point BezierAt(const Point* c, double t) {
  const double s = 1.0 - t;
  const double a = s * s * s, b = 3 * s * s * t, d = 3 * s * t * t, e = t * t * t;
  return {a * c[0].x + b * c[1].x + d * c[2].x + e * c[3].x, a * c[0].y + b * c[1].y + d * c[2].y + e * c[3].y};
}

// A letter outline. R2000: single-Bezier SPLINEs one after the other (or, with `chain`, all of them in one SPLINE);
// R12: a closed spline-fit polyline through points of the same curves.
void Letter(Writer& w, Random& random, Point centre, double radius, bool chain) {
  const int n = chain ? 3 + random.Below(4) : 4 + random.Below(5);  // a chain of two would read as a B-spline
  const std::vector<Point> controls = LetterBeziers(random, centre, radius, n);
  if (w.r12()) {
    std::vector<Point> fitted;
    for (int i = 0; i < n; ++i) {
      for (const double t : {0.0, 0.5}) fitted.push_back(Snap(BezierAt(&controls[static_cast<size_t>(4 * i)], t)));
    }
    std::vector<Point> frame;
    for (int i = 0; i < n; ++i) frame.push_back(controls[static_cast<size_t>(4 * i + 1)]);
    w.SplineFitPolyline(frame, fitted, true);
    return;
  }
  if (chain) {
    std::vector<double> knots;
    for (int i = 0; i <= n; ++i) {
      for (int k = 0; k < 4; ++k) knots.push_back(i);
    }
    w.Spline(3, knots, controls, false);
    return;
  }
  for (int i = 0; i < n; ++i) {
    const std::vector<Point> one(controls.begin() + 4 * i, controls.begin() + 4 * i + 4);
    w.Spline(3, {0.0, 0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 1.0}, one, false);
  }
}

// A closed cubic B-spline with clamped knots, its last control on its first: R2000 a SPLINE, R12 a spline-fit
// polyline through its controls.
void ClampedBSpline(Writer& w, Random& random, Point centre, double radius) {
  // 7, 9, 10 or 11 controls: never a multiple of four, which would read as a chain of Beziers.
  const int choices[4] = {7, 9, 10, 11};
  const int n = choices[random.Below(4)];
  std::vector<Point> controls;
  for (int i = 0; i + 1 < n; ++i) {
    const double angle = 2.0 * kPi * i / (n - 1);
    const double r = radius * random.Range(0.55, 1.0);
    controls.push_back(Snap(Point{centre.x + r * std::cos(angle), centre.y + r * std::sin(angle)}));
  }
  controls.push_back(controls.front());
  if (w.r12()) {
    w.SplineFitPolyline(controls, std::vector<Point>(controls.begin(), controls.end() - 1), true);
    return;
  }
  std::vector<double> knots{0.0, 0.0, 0.0, 0.0};
  for (int k = 1; k <= n - 4; ++k) knots.push_back(k);
  for (int k = 0; k < 4; ++k) knots.push_back(n - 3);
  w.Spline(3, knots, controls, true);
}

// A whole or partial ellipse: R2000 an ELLIPSE, R12 a 3D polyline through its points.
void EllipseShape(Writer& w, Random& random, Point centre, double radius) {
  centre = Snap(centre);
  const double angle = random.Range(0.0, kPi);
  const Point major = Snap(Point{radius * std::cos(angle), radius * std::sin(angle)});
  const double ratio = random.Range(0.35, 0.9);
  const bool whole = random.Chance(0.8);
  const double u0 = whole ? 0.0 : random.Range(0.0, 1.5), u1 = whole ? 2.0 * kPi : random.Range(3.0, 6.0);
  if (!w.r12()) {
    w.Ellipse(centre, major, ratio, u0, u1);
    return;
  }
  std::vector<Point> points;
  const int n = 24;
  for (int i = 0; i < (whole ? n : n + 1); ++i) {
    const double u = u0 + (u1 - u0) * i / n;
    const double mx = major.x * std::cos(u), my = major.y * std::cos(u);
    const double nx = -major.y * ratio * std::sin(u), ny = major.x * ratio * std::sin(u);
    points.push_back(Snap(Point{centre.x + mx + nx, centre.y + my + ny}));
  }
  w.Polyline3d(points, whole);
}

// A wing profile (a four-digit section with camber) of `per_side` points on each side, rotated and placed: one
// polyline of 2 * per_side vertices, closed, or open at its thick trailing edge as profiles taken from coordinate
// tables often are.
void WingProfile(Writer& w, Random& random, Point leading_edge, double chord, double angle_degrees, int per_side,
                 bool closed) {
  const double thickness = random.Range(0.08, 0.16), camber = random.Range(0.0, 0.05), peak = random.Range(0.3, 0.5);
  const double c = std::cos(angle_degrees * kPi / 180.0), s = std::sin(angle_degrees * kPi / 180.0);
  const double last = closed ? 0.1036 : 0.1015;
  const auto place = [&](double x, double y) {
    return Snap(Point{leading_edge.x + chord * (x * c - y * s), leading_edge.y + chord * (x * s + y * c)});
  };
  const auto surface = [&](double x, int side) {
    // The last term's factor closes the trailing edge (0.1036) or leaves it 0.2 % of the chord thick (0.1015).
    const double t = 5.0 * thickness *
                     (0.2969 * std::sqrt(x) - 0.126 * x - 0.3516 * x * x + 0.2843 * x * x * x - last * x * x * x * x);
    const double mean = x < peak ? camber / (peak * peak) * (2 * peak * x - x * x)
                                 : camber / ((1 - peak) * (1 - peak)) * (1 - 2 * peak + 2 * peak * x - x * x);
    return place(x, mean + side * t);
  };
  std::vector<Vertex> vertices;
  // Upper side from the trailing edge forwards, lower side back; points closer together near the leading edge.
  for (int i = 0; i < per_side; ++i) {
    const double u = static_cast<double>(i) / per_side;
    vertices.push_back({surface(0.5 * (1.0 + std::cos(u * kPi)), 1)});
  }
  for (int i = 0; i < per_side; ++i) {
    const double u = static_cast<double>(i) / per_side;
    vertices.push_back({surface(0.5 * (1.0 - std::cos(u * kPi)), -1)});
  }
  if (!closed) vertices.push_back({surface(1.0, -1)});
  // Moved onto the sheet where it sticks out.
  double low_x = kSheetWidth, low_y = kSheetHeight, high_x = 0.0, high_y = 0.0;
  for (const Vertex& v : vertices) {
    low_x = std::min(low_x, v.p.x);
    low_y = std::min(low_y, v.p.y);
    high_x = std::max(high_x, v.p.x);
    high_y = std::max(high_y, v.p.y);
  }
  const double shift_x = Snap(low_x < 0.0 ? -low_x : std::min(0.0, kSheetWidth - high_x));
  const double shift_y = Snap(low_y < 0.0 ? -low_y : std::min(0.0, kSheetHeight - high_y));
  for (Vertex& v : vertices) v.p = Snap(Point{v.p.x + shift_x, v.p.y + shift_y});
  w.Polyline(vertices, closed);
}

// One cell of the sheet. `tile`: a square filling the cell, its sides shared with the neighbouring tiles (parts cut
// with common edges), sometimes with a figure inside; otherwise a part inset in the cell.
void Cell(Writer& w, Random& random, Point low, double side, bool tile) {
  const Point high{low.x + side, low.y + side};
  const Point centre{low.x + side / 2, low.y + side / 2};
  if (tile) {
    RectangleOfLines(w, random, low, high, random.Chance(0.4));
    if (!random.Chance(0.5)) return;
    const double r = side * random.Range(0.2, 0.32);
    switch (random.Below(6)) {
      case 0:
        w.Circle(Snap(centre), Snap(r));
        break;
      case 1:
        Slot(w, random, centre, side * 0.35, side * 0.1);
        break;
      case 2:
        BulgedOutline(w, random, centre, r);
        break;
      case 3:
        Letter(w, random, centre, r, random.Chance(0.5));
        break;
      case 4:
        EllipseShape(w, random, centre, r);
        break;
      default:
        ClampedBSpline(w, random, centre, r);
        break;
    }
    return;
  }
  const double inset = side * 0.1;
  const Point in_low{low.x + inset, low.y + inset}, in_high{high.x - inset, high.y - inset};
  const double r = side * random.Range(0.3, 0.4);
  switch (random.Below(10)) {
    case 0:
      RoundedRectangle(w, random, in_low, in_high);
      if (random.Chance(0.4)) w.Circle(Snap(centre), Snap(side * 0.15));
      break;
    case 1:
      Slot(w, random, centre, side * 0.4, side * 0.2);
      break;
    case 2:
      w.Circle(Snap(centre), Snap(r));
      if (random.Chance(0.3)) w.Circle(Snap(centre), Snap(r * 0.4));
      break;
    case 3:
      BulgedOutline(w, random, centre, r);
      break;
    case 4:
      Letter(w, random, centre, r, false);
      if (random.Chance(0.5)) Letter(w, random, centre, r * 0.35, true);
      break;
    case 5:
      ClampedBSpline(w, random, centre, r);
      break;
    case 6:
      Letter(w, random, centre, r, true);
      break;
    case 7:
      EllipseShape(w, random, centre, r);
      break;
    case 8: {
      // A lone arc from the cell's corner, where the corners of neighbouring tiles lie.
      const double radius = Snap(side * random.Range(0.5, 0.9));
      const Point corner = Snap(low);
      // Counter-clockwise up to 180 degrees, which ends on the corner: the arc rises into the cell.
      w.Arc({corner.x + radius, corner.y}, radius, Snap(180.0 - random.Range(20.0, 80.0)), 180.0);
      break;
    }
    default:
      RectangleOfLines(w, random, in_low, in_high, random.Chance(0.5));
      break;
  }
}

void PackedSheet(Writer& w, long target) {
  Random random(0x5EED0000ULL + static_cast<uint64_t>(target) * 2 + (w.r12() ? 1 : 0));
  // Entities per cell on average (tiles 4 + an inner figure half the time, the other parts about 3), and one wing
  // profile per hundred entities.
  const double per_cell = w.r12() ? 3.6 : 4.1;
  const long profiles = std::max<long>(2, target / 100);
  const double cells = static_cast<double>(target - profiles) / per_cell;
  const double side = std::sqrt(kSheetWidth * kSheetHeight / cells);
  const long columns = static_cast<long>(kSheetWidth / side), rows = static_cast<long>(kSheetHeight / side);
  const long cell_count = columns * rows;
  // Where in the list the profiles come: spread over the drawing, as parts drawn at different times.
  std::vector<long> profile_after(static_cast<size_t>(profiles));
  for (long& at : profile_after) at = random.Below(static_cast<int>(cell_count));
  std::sort(profile_after.begin(), profile_after.end());
  size_t next_profile = 0;
  w.Header(kSheetWidth, kSheetHeight);
  for (long cell = 0; cell < cell_count && w.entities() < target; ++cell) {
    const long row = cell / columns, column = cell % columns;
    const double x = static_cast<double>(column) * side, y = static_cast<double>(row) * side;
    // Tiles come in patches, cut together with common edges: a patch where a coarse cell's hash says so.
    const uint64_t patch = static_cast<uint64_t>((row / 6) * 977 + (column / 9) * 131 + 7) * 0x9E3779B97F4A7C15ULL;
    const bool tile_patch = (patch >> 61) < 5;
    Cell(w, random, {x, y}, side, tile_patch ? random.Chance(0.85) : random.Chance(0.2));
    if (random.Chance(0.004)) {
      w.Text(Snap(Point{x + side * 0.1, y + side * 0.1}), Snap(side * 0.2),
             "P" + std::to_string(cell));
    }
    while (next_profile < profile_after.size() && profile_after[next_profile] <= cell && w.entities() < target) {
      ++next_profile;
      const double chord = random.Range(0.35, 0.9) * kSheetWidth;
      const Point leading_edge{random.Range(0.0, kSheetWidth - chord), random.Range(0.05, 0.9) * kSheetHeight};
      WingProfile(w, random, leading_edge, chord, random.Range(-10.0, 10.0), 100 + random.Below(200),
                  random.Below(8) == 0);
    }
  }
  w.Footer();
}

void ConcentricSquares(Writer& w, long count) {
  const double middle = 5.0 + 0.5 * static_cast<double>(count);
  w.Header(2 * middle, 2 * middle);
  for (long k = 0; k < count; ++k) {
    const double half = 2.0 + 0.5 * static_cast<double>(k);
    const std::vector<Point> c = Corners({middle - half, middle - half}, {middle + half, middle + half});
    std::vector<Vertex> vertices;
    for (size_t i = 0; i < 4; ++i) vertices.push_back({c[i]});
    w.Polyline(vertices, true);
  }
  w.Footer();
}

}  // namespace

int main(int argc, char** argv) {
  const bool squares = argc == 4 && std::string(argv[2]) == "--squares";
  const bool flavour = argc == 4 && (std::string(argv[3]) == "r2000" || std::string(argv[3]) == "r12");
  if (!squares && !flavour) {
    std::fprintf(stderr, "Usage: %s OUT.dxf ENTITIES r2000|r12\n       %s OUT.dxf --squares COUNT\n", argv[0], argv[0]);
    return 1;
  }
  const long count = std::strtol(argv[squares ? 3 : 2], nullptr, 10);
  std::ofstream out(argv[1], std::ios::binary);
  Random random(0xCADCAD);
  Writer w(out, !squares && std::string(argv[3]) == "r12", random);
  if (squares) {
    ConcentricSquares(w, count);
  } else {
    PackedSheet(w, count);
  }
  return out ? 0 : 1;
}
