#pragma once
// Turns the curves of drawing exchange entities into points: the chord rule, arcs, bulges, splines, fit chains.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "files/dxf_points.h"
#include "geometry/geometry.h"

namespace varnholt {

// One curve is divided into at most this many segments (at 2 mm chords, curves of 200 m and longer get coarser).
inline constexpr int64_t kMaxCurveSegments = 100'000;
// Curves of degree above this are not supported: the Bezier weights leave 32-bit factorials.
inline constexpr int32_t kMaxCurveDegree = 12;

// The chord of a curve of length_mm: a 96th of it, limited to 0.5 .. 2 mm.
double ChordLength(double length_mm);
// round(length_mm / chord + 0.5), at least 16 and at most kMaxCurveSegments.
int64_t ChordSegments(double length_mm);

// The unit circle's points at the angles 2 pi i / n (i = 0 .. n) for the segment counts met so far: circles of one
// size, as rows of holes are, work out their sines and cosines once. The values are those of the direct computation
// bit for bit. Counts above kMaxSegments, and tables beyond kMaxPoints in all, are not kept.
class UnitCircleTables {
 public:
  static constexpr int64_t kMaxSegments = 4096;
  static constexpr size_t kMaxPoints = size_t{1} << 16;

  // The n + 1 points of n segments; nullptr when they are not kept.
  const std::vector<RealPoint>* For(int64_t n);

 private:
  std::unordered_map<int64_t, std::vector<RealPoint>> tables_;
  size_t points_ = 0;
};

// Circle of radius r (drawing units) from angle 0 round to 2 pi, n + 1 points through AddPoint; the tables, when
// given, hold the sines and cosines of earlier circles of the same count.
void AddCircle(DxfPointSink& sink, const RealPoint& centre, double r, UnitCircleTables* tables = nullptr);
// Arc from a0 to a1 (radians) by sweep, as interpolated points; the count follows the chord rule.
void AddArcPoints(DxfPointSink& sink, const RealPoint& centre, double r, double a0, double a1, double sweep);
// Arc of a polyline segment from p1 to p2 with the bulge (tangent of a quarter of the included angle). A bulge
// too flat to leave the chord by half a plotter unit is the straight segment: p1 is added with AddPoint.
void AddBulgeArc(DxfPointSink& sink, const RealPoint& p1, const RealPoint& p2, double bulge);
// Ellipse around centre with the major axis end (relative), axis ratio and parameter range u0 .. u1.
void AddEllipse(DxfPointSink& sink, const RealPoint& centre, const RealPoint& major, double ratio, double u0,
                double u1);
// Spline from its degree, knots and control points: a chain of cubic Bezier pieces or a general B-spline.
void AddSpline(DxfPointSink& sink, int32_t degree, const std::vector<double>& knots,
               const std::vector<RealPoint>& controls);
// Chain of cubics through four vertices at a time (spline-fit and 3D polylines).
void AddFitChain(DxfPointSink& sink, const std::vector<RealPoint>& vertices, bool closed);

}  // namespace varnholt
