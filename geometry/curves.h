#pragma once
// Curve evaluators for the DXF reader: a cubic through four points, Bezier chains and B-splines.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/geometry.h"

namespace varnholt {

// Keeps one curve at a time; Init sets it up and Next yields its points one by one.
class CurveState {
 public:
  // Cubic through a, b, c, d with chord-length parameters 0, t1, t2, 1; t starts at the parameter of point
  // start_index (0..3) and advances by step.
  void CubicThrough4Init(const RealPoint& a, const RealPoint& b, const RealPoint& c, const RealPoint& d,
                         int32_t start_index, double step);
  // Advances t and yields the point; false once t passes the parameter of point end_index.
  bool CubicThrough4Next(RealPoint& out, int32_t end_index);

  void BezierInit(int32_t degree, double step);
  // Advances t and yields the Bezier point of controls[first .. first + degree]; false once t > 1 or when the
  // control points run short.
  bool BezierNext(RealPoint& out, const std::vector<RealPoint>& controls, size_t first);

  // Sets up a B-spline of the given degree over controls 0..last_control with the knot vector (which must hold
  // last_control + degree + 2 knots); false when the data cannot describe one.
  bool BSplineInit(int32_t degree, int32_t last_control, const std::vector<double>& knots, double step_fraction);
  // Yields the point at the current t and then advances; false once t reaches knot[last_control + 1].
  bool BSplineNext(RealPoint& out, const std::vector<RealPoint>& controls);

 private:
  double t_ = 0.0;
  double step_ = 0.0;

  // Cubic: per axis f(t) = a t^3 + b t^2 + c t + origin.
  double cubic_x_[3] = {0, 0, 0};
  double cubic_y_[3] = {0, 0, 0};
  RealPoint cubic_origin_;
  double cubic_params_[4] = {0, 0, 0, 1};

  int32_t degree_ = 0;
  int32_t last_control_ = 0;
  std::vector<double> knots_;
  std::vector<double> basis_;  // the basis values of degrees above 3 and of degree 0
  int64_t steps_left_ = 0;
  size_t span_ = 0;  // knot interval of t in the B-spline
  bool bspline_valid_ = false;
};

}  // namespace varnholt
