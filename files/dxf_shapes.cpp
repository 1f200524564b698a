#include "files/dxf_shapes.h"

#include <cmath>
#include <string>
#include <utility>

#include "geometry/curves.h"
#include "geometry/units.h"

namespace varnholt {
namespace {

constexpr double kTwoPi = 2.0 * kPi;
// A bulge arc that leaves its chord by less than half a plotter unit is drawn as the chord.
constexpr double kFlattestBulgeMm = 0.0125;

double Limit(double value, double low, double high) {
  if (!(value >= low)) return low;  // also NaN
  return value > high ? high : value;
}

// A segment count rounded and kept within 16 .. kMaxCurveSegments (NaN gives 16).
int64_t SegmentCount(double count) {
  const double n = std::fabs(nearest(count));
  if (!(n >= 16.0)) return 16;
  if (n > static_cast<double>(kMaxCurveSegments)) return kMaxCurveSegments;
  return static_cast<int64_t>(n);
}

RealPoint OnCircle(const RealPoint& centre, double r, double angle) {
  return {centre.x + r * std::cos(angle), centre.y + r * std::sin(angle)};
}

// One cubic through a, b, c, d from the parameter of point `from` to that of point `to`; nothing for a piece whose
// chords sum to 0.5 mm or less.
void AddCubicPiece(DxfPointSink& sink, CurveState& curve, const RealPoint& a, const RealPoint& b,
                   const RealPoint& c, const RealPoint& d, int32_t from, int32_t to) {
  const double chords = sink.Mm(DistanceReal(a, b) + DistanceReal(b, c) + DistanceReal(c, d));
  if (!(chords > 0.5)) return;
  const double s = Limit(4.0 * (chords / 96.0), 0.5, 2.0);
  double step = s / chords;
  if (step > 1.0) step = 0.25;
  if (!(step >= 1.0 / static_cast<double>(kMaxCurveSegments))) step = 1.0 / static_cast<double>(kMaxCurveSegments);
  curve.CubicThrough4Init(a, b, c, d, from, step);
  RealPoint p;
  while (curve.CubicThrough4Next(p, to)) sink.AddCurvePoint(p);
}

}  // namespace

double ChordLength(double length_mm) { return Limit(length_mm / 96.0, 0.5, 2.0); }

int64_t ChordSegments(double length_mm) { return SegmentCount(length_mm / ChordLength(length_mm) + 0.5); }

const std::vector<RealPoint>* UnitCircleTables::For(int64_t n) {
  if (n < 1 || n > kMaxSegments) return nullptr;
  const auto found = tables_.find(n);
  if (found != tables_.end()) return &found->second;
  const auto count = static_cast<size_t>(n) + 1;
  if (points_ + count > kMaxPoints) return nullptr;
  std::vector<RealPoint> points(count);
  for (int64_t i = 0; i <= n; ++i) {
    // The angle exactly as a circle drawn without the tables works it out.
    const double angle = kTwoPi * static_cast<double>(i) / static_cast<double>(n);
    points[static_cast<size_t>(i)] = {std::cos(angle), std::sin(angle)};
  }
  points_ += count;
  return &tables_.emplace(n, std::move(points)).first->second;
}

void AddCircle(DxfPointSink& sink, const RealPoint& centre, double r, UnitCircleTables* tables) {
  if (!(r > 0.0)) throw DxfEntitySkipped(ReaderNoteKind::kEntityRadiusNotAbove0);
  const int64_t n = ChordSegments(sink.Mm(kTwoPi * r));
  sink.Expect(static_cast<size_t>(n) + 1);
  if (const std::vector<RealPoint>* unit = tables != nullptr ? tables->For(n) : nullptr) {
    for (const RealPoint& u : *unit) sink.AddPoint({centre.x + r * u.x, centre.y + r * u.y});
    return;
  }
  for (int64_t i = 0; i <= n; ++i) {
    sink.AddPoint(OnCircle(centre, r, kTwoPi * static_cast<double>(i) / static_cast<double>(n)));
  }
}

void AddArcPoints(DxfPointSink& sink, const RealPoint& centre, double r, double a0, double a1, double sweep) {
  const double length = sink.Mm(kTwoPi * r);
  const int64_t n = SegmentCount(sweep / kTwoPi * length / ChordLength(length) + 0.5);
  sink.Expect(static_cast<size_t>(n) + 1);
  sink.AddCurvePoint(OnCircle(centre, r, a0));
  for (int64_t i = 1; i < n; ++i) {
    sink.AddCurvePoint(OnCircle(centre, r, a0 + static_cast<double>(i) * sweep / static_cast<double>(n)));
  }
  sink.AddCurvePoint(OnCircle(centre, r, a1));
}

void AddBulgeArc(DxfPointSink& sink, const RealPoint& p1, const RealPoint& p2, double bulge) {
  const double h = DistanceReal(p1, p2) / 2.0;
  const double theta = 4.0 * std::atan(bulge);
  const double q = theta > 0.0 ? (kPi - theta) / 2.0 : -(theta + kPi) / 2.0;
  const double t = std::tan(q) * h;
  const double r = std::sqrt(t * t + h * h);
  // Near 0 the centre runs off to infinity and its cancellation error would exceed the arc's own height.
  if (!(std::fabs(bulge) * sink.Mm(h) >= kFlattestBulgeMm) || !std::isfinite(r)) {
    sink.AddPoint(p1);
    return;
  }
  const double d = DirectionAngleReal(p1, p2);
  const RealPoint centre{p1.x + r * std::cos(d + q), p1.y + r * std::sin(d + q)};
  const double start = d + q - kPi;
  AddArcPoints(sink, centre, r, start, start + theta, theta);
}

void AddEllipse(DxfPointSink& sink, const RealPoint& centre, const RealPoint& major, double ratio, double u0,
                double u1) {
  const double a = std::sqrt(major.x * major.x + major.y * major.y);
  if (!(a > 0.0)) throw DxfEntitySkipped(ReaderNoteKind::kEntityNoMajorAxis);
  if (!(ratio > 0.0)) throw DxfEntitySkipped(ReaderNoteKind::kEntityAxisRatio);
  // The parameter runs counter-clockwise; an end below the start goes on through 2 pi.
  if (u1 < u0) u1 += kTwoPi;
  if (!(u1 > u0)) throw DxfEntitySkipped(ReaderNoteKind::kEntityEmptyParameters);
  const double b = ratio * a;
  const double rho = DirectionAngleReal(centre, {centre.x + major.x, centre.y + major.y});
  const double cos_rho = std::cos(rho), sin_rho = std::sin(rho);
  const int64_t n = ChordSegments(sink.Mm(a * std::fabs(u1 - u0)));
  sink.Expect(static_cast<size_t>(n) + 1);
  for (int64_t i = 0; i <= n; ++i) {
    const double u = u0 + (u1 - u0) * static_cast<double>(i) / static_cast<double>(n);
    const double p = a * std::cos(u), q = b * std::sin(u);
    sink.AddPoint({centre.x + cos_rho * p - sin_rho * q, centre.y + sin_rho * p + cos_rho * q});
  }
}

void AddSpline(DxfPointSink& sink, int32_t degree, const std::vector<double>& knots,
               const std::vector<RealPoint>& controls) {
  if (controls.empty()) throw DxfEntitySkipped(ReaderNoteKind::kEntityNoControlPoints);
  if (degree < 1 || degree > kMaxCurveDegree) {
    throw DxfEntitySkipped(ReaderNoteKind::kEntityDegree, {std::to_string(degree), std::to_string(kMaxCurveDegree)});
  }
  const size_t count = controls.size();
  double length = 0.0;
  for (size_t i = 1; i < count; ++i) length += DistanceReal(controls[i - 1], controls[i]);
  length = sink.Mm(length);
  const double s = Limit(length / (96.0 * static_cast<double>(count)), 0.5, 2.0);
  double segments = nearest(length / s);
  if (!(segments >= 4.0)) segments = 4.0;
  if (segments > static_cast<double>(kMaxCurveSegments)) segments = static_cast<double>(kMaxCurveSegments);
  double h = 1.0 / segments;
  sink.Expect(static_cast<size_t>(segments) + 2);

  CurveState curve;
  RealPoint p;
  const size_t knot_count = knots.size();
  const bool bezier_chain = knot_count % 4 == 0 && count % 4 == 0 && knot_count == count + 4 && knot_count != 12;
  if (bezier_chain) {
    if (count > 3) h *= static_cast<double>(count);
    sink.AddPoint(controls.front());
    for (size_t first = 0; first + 4 <= count; first += 4) {
      curve.BezierInit(3, h);
      while (curve.BezierNext(p, controls, first)) sink.AddPoint(p);
    }
    sink.AddPoint(controls.back());
    return;
  }
  const auto last = static_cast<int32_t>(count - 1);
  if (count > static_cast<size_t>(INT32_MAX - kMaxCurveDegree - 2) || !curve.BSplineInit(degree, last, knots, h)) {
    throw DxfEntitySkipped(ReaderNoteKind::kEntityKnotsDoNotFit,
                           {std::to_string(knot_count), std::to_string(count), std::to_string(degree)});
  }
  sink.AddPoint(controls.front());
  while (curve.BSplineNext(p, controls)) sink.AddPoint(p);
  sink.AddPoint(controls.back());
}

void AddFitChain(DxfPointSink& sink, const std::vector<RealPoint>& v, bool closed) {
  const size_t count = v.size();
  if (count <= 3) {
    for (const RealPoint& p : v) sink.AddPoint(p);
    return;
  }
  const size_t m = count - 1;
  CurveState curve;
  sink.AddPoint(v[0]);
  if (count == 4 && !closed) {
    AddCubicPiece(sink, curve, v[0], v[1], v[2], v[3], 0, 3);
    sink.AddPoint(v[m]);
    sink.AddPoint(v[m]);
    return;
  }
  // Each piece curves the interval between its middle vertices; the first one also the interval before them and
  // the last one the interval after them: round to V0 when closed, else up to the open end Vm. An open chain thus
  // has one piece fewer in between, and its last interval curves like the others instead of ending in a chord.
  AddCubicPiece(sink, curve, v[0], v[1], v[2], v[3], 0, 2);
  const size_t inner_end = closed ? m : m - 1;
  for (size_t u = 1; u + 3 <= inner_end; ++u) {
    AddCubicPiece(sink, curve, v[u], v[u + 1], v[u + 2], v[u + 3], 1, 2);
    sink.AddPoint(v[u + 2]);
  }
  if (closed) {
    AddCubicPiece(sink, curve, v[m - 2], v[m - 1], v[m], v[0], 1, 3);
    sink.AddPoint(v[0]);
  } else {
    AddCubicPiece(sink, curve, v[m - 3], v[m - 2], v[m - 1], v[m], 1, 3);
    sink.AddPoint(v[m]);
    sink.AddPoint(v[m]);
  }
}

}  // namespace varnholt
