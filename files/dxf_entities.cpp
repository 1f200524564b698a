#include "files/dxf_entities.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "files/dxf_shapes.h"
#include "geometry/geometry.h"

namespace varnholt {
namespace {

constexpr double kRadiansPerDegree = kPi / 180.0;

// Polyline flag bits.
constexpr int32_t kClosedFlag = 1;
constexpr int32_t kSplineFitFlag = 4;
constexpr int32_t kPolyline3dFlag = 8;
// Vertex flags of the vertices a spline-fit or 3D polyline runs through.
constexpr int32_t kSplineVertex = 8;
constexpr int32_t kVertex3d = 32;

// The first value of each group code an entity takes; later repeats are ignored.
class Values {
 public:
  void Take(const DxfEntityInput& in) {
    const int32_t code = in.code();
    if (code < 0 || code >= kCodes || values_[code]) return;
    values_[code] = in.Real();
  }
  double Get(const DxfEntityInput& in, int32_t code) const {
    if (!values_[code]) {
      if (in.truncated()) throw DxfEntitySkipped(ReaderNoteKind::kEntityFileEnds);
      throw DxfEntitySkipped(ReaderNoteKind::kEntityLacksGroup, {std::to_string(code)});
    }
    return *values_[code];
  }
  double GetOr(int32_t code, double otherwise) const { return values_[code].value_or(otherwise); }

 private:
  static constexpr int32_t kCodes = 60;
  std::optional<double> values_[kCodes];
};

// Reads the entity's groups of the given codes as reals.
Values ReadValues(DxfEntityInput& in, std::initializer_list<int32_t> codes) {
  Values values;
  while (in.NextGroup()) {
    for (const int32_t code : codes) {
      if (in.code() == code) values.Take(in);
    }
  }
  return values;
}

RealPoint PointOf(const DxfEntityInput& in, const Values& v, int32_t x_code) {
  return {v.Get(in, x_code), v.Get(in, x_code + 10)};
}

void ReadLineEntity(DxfEntityInput& in, DxfPointSink& sink) {
  const Values v = ReadValues(in, {10, 20, 11, 21});
  const RealPoint start = PointOf(in, v, 10), end = PointOf(in, v, 11);
  sink.Expect(2);
  sink.AddPoint(start);
  sink.AddPoint(end);
}

void ReadCircle(DxfEntityInput& in, DxfPointSink& sink, UnitCircleTables& circles) {
  const Values v = ReadValues(in, {10, 20, 40});
  AddCircle(sink, PointOf(in, v, 10), v.Get(in, 40), &circles);
}

void ReadArc(DxfEntityInput& in, DxfPointSink& sink) {
  const Values v = ReadValues(in, {10, 20, 40, 50, 51});
  const RealPoint centre = PointOf(in, v, 10);
  const double r = v.Get(in, 40);
  const double start = v.Get(in, 50) * kRadiansPerDegree;
  const double end = v.Get(in, 51) * kRadiansPerDegree;
  if (!(r > 0.0)) throw DxfEntitySkipped(ReaderNoteKind::kEntityRadiusNotAbove0);
  double sweep = end - start;
  if (sweep < 0.0) sweep += 2.0 * kPi;
  if (!(sweep != 0.0)) throw DxfEntitySkipped(ReaderNoteKind::kEntitySameAngles);
  AddArcPoints(sink, centre, r, start, end, sweep);
}

void ReadEllipse(DxfEntityInput& in, DxfPointSink& sink) {
  const Values v = ReadValues(in, {10, 20, 11, 21, 40, 41, 42});
  AddEllipse(sink, PointOf(in, v, 10), PointOf(in, v, 11), v.Get(in, 40), v.GetOr(41, 0.0), v.GetOr(42, 2.0 * kPi));
}

void ReadSpline(DxfEntityInput& in, DxfPointSink& sink) {
  int32_t degree = 0;
  std::vector<double> knots;
  std::vector<RealPoint> controls;
  double control_x = 0.0;
  bool has_control_x = false;
  // The counts of groups 72 and 73 are read like the other values but never trusted for sizes: the groups
  // themselves are counted.
  while (in.NextGroup()) {
    switch (in.code()) {
      case 71:
        degree = in.Integer();
        break;
      case 72:
      case 73:
        in.Integer();
        break;
      case 40:
        knots.push_back(in.Real());
        break;
      case 10:
        control_x = in.Real();
        has_control_x = true;
        break;
      case 20:
        if (has_control_x) controls.push_back({control_x, in.Real()});
        has_control_x = false;
        break;
      case 41:  // weights: read, not applied
      case 11:  // fit points: read, not used
      case 21:
        in.Real();
        break;
      default:
        break;
    }
  }
  AddSpline(sink, degree, knots, controls);
}

struct Vertex {
  RealPoint point;
  double bulge = 0.0;
  int32_t flags = 0;
};

// Straight and bulged segments; a closed polyline's last bulge arcs back to the first vertex.
void AddBulgePath(DxfPointSink& sink, const std::vector<Vertex>& vertices, bool closed) {
  sink.Expect(vertices.size() + 1);
  const Vertex* pending = nullptr;
  for (const Vertex& vertex : vertices) {
    if (pending != nullptr) AddBulgeArc(sink, pending->point, vertex.point, pending->bulge);
    pending = nullptr;
    if (vertex.bulge != 0.0) {
      pending = &vertex;
    } else {
      sink.AddPoint(vertex.point);
    }
  }
  if (pending != nullptr) {
    if (closed) {
      AddBulgeArc(sink, pending->point, vertices.front().point, pending->bulge);
    } else {
      sink.AddPoint(pending->point);
    }
  }
  if (closed) sink.CloseWithFirstPoint();
}

void AddPolylinePoints(DxfPointSink& sink, const std::vector<Vertex>& vertices, int32_t flags) {
  const bool closed = (flags & kClosedFlag) != 0;
  if ((flags & (kSplineFitFlag | kPolyline3dFlag)) != 0) {
    std::vector<RealPoint> through;
    for (const Vertex& vertex : vertices) {
      if (vertex.flags == kSplineVertex || vertex.flags == kVertex3d) through.push_back(vertex.point);
    }
    AddFitChain(sink, through, closed);
  } else {
    AddBulgePath(sink, vertices, closed);
  }
}

// One VERTEX sub-entity; false when it carries no point.
bool ReadVertex(DxfEntityInput& in, Vertex& vertex) {
  std::optional<double> x, y;
  while (in.NextGroup()) {
    switch (in.code()) {
      case 10:
        if (!x) x = in.Real();
        break;
      case 20:
        if (!y) y = in.Real();
        break;
      case 42:
        vertex.bulge = in.Real();
        break;
      case 70:
        vertex.flags = in.Integer();
        break;
      default:
        break;
    }
  }
  if (!x || !y) return false;
  vertex.point = {*x, *y};
  return true;
}

void ReadPolyline(DxfEntityInput& in, DxfPointSink& sink) {
  int32_t flags = 0;
  bool flags_read = false;
  while (in.NextGroup()) {
    if (in.code() == 70 && !flags_read) {
      flags = in.Integer();
      flags_read = true;
    }
  }
  std::vector<Vertex> vertices;
  while (in.TakeSubEntity("VERTEX")) {
    Vertex vertex;
    if (ReadVertex(in, vertex)) vertices.push_back(vertex);
  }
  if (in.TakeSubEntity("SEQEND")) in.SkipRest();
  AddPolylinePoints(sink, vertices, flags);
}

void ReadLwPolyline(DxfEntityInput& in, DxfPointSink& sink) {
  int32_t flags = 0;
  bool flags_read = false;
  std::vector<Vertex> vertices;
  double x = 0.0;
  bool has_x = false;
  while (in.NextGroup()) {
    switch (in.code()) {
      case 70:
        if (!flags_read) flags = in.Integer();
        flags_read = true;
        break;
      case 10:
        x = in.Real();
        has_x = true;
        break;
      case 20:
        if (has_x) vertices.push_back({{x, in.Real()}, 0.0, 0});
        has_x = false;
        break;
      case 42:
        if (!vertices.empty()) vertices.back().bulge = in.Real();
        break;
      default:
        break;
    }
  }
  AddPolylinePoints(sink, vertices, flags);
}

}  // namespace

bool ReadDxfEntity(std::string_view name, DxfEntityInput& in, DxfPointSink& sink, UnitCircleTables& circles) {
  if (name == "LINE") {
    ReadLineEntity(in, sink);
  } else if (name == "CIRCLE") {
    ReadCircle(in, sink, circles);
  } else if (name == "ARC") {
    ReadArc(in, sink);
  } else if (name == "ELLIPSE") {
    ReadEllipse(in, sink);
  } else if (name == "SPLINE") {
    ReadSpline(in, sink);
  } else if (name == "POLYLINE") {
    ReadPolyline(in, sink);
  } else if (name == "LWPOLYLINE") {
    ReadLwPolyline(in, sink);
  } else {
    return false;
  }
  return true;
}

}  // namespace varnholt
