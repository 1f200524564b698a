#include "geometry/curves.h"

#include <cmath>
#include <type_traits>

#include "geometry/scalar.h"
#include "geometry/units.h"

namespace varnholt {
namespace {

// Determinant of a 3x3 matrix by the rule of Sarrus.
double Sarrus(const double m[3][3]) {
  return m[0][0] * m[1][1] * m[2][2] + m[0][1] * m[1][2] * m[2][0] + m[0][2] * m[1][0] * m[2][1] -
         m[0][2] * m[1][1] * m[2][0] - m[0][0] * m[1][2] * m[2][1] - m[0][1] * m[1][0] * m[2][2];
}

// Solves rows (t^3, t^2, t) . (a, b, c) = rhs by Cramer's rule; a zero determinant gives zeros.
void SolveCubic(const double t[3], const double rhs[3], double out[3]) {
  double m[3][3];
  for (int r = 0; r < 3; ++r) {
    m[r][0] = t[r] * t[r] * t[r];
    m[r][1] = t[r] * t[r];
    m[r][2] = t[r];
  }
  const double det = Sarrus(m);
  if (det == 0.0 || !std::isfinite(det)) {
    out[0] = out[1] = out[2] = 0.0;
    return;
  }
  for (int col = 0; col < 3; ++col) {
    double replaced[3][3];
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) replaced[r][c] = c == col ? rhs[r] : m[r][c];
    }
    out[col] = Sarrus(replaced) / det;
  }
}

double EvalCubic(const double k[3], double origin, double t) {
  return k[0] * t * t * t + k[1] * t * t + k[2] * t + origin;
}

}  // namespace

void CurveState::CubicThrough4Init(const RealPoint& a, const RealPoint& b, const RealPoint& c, const RealPoint& d,
                                   int32_t start_index, double step) {
  const double d1 = DistanceReal(a, b);
  const double d2 = DistanceReal(b, c);
  const double d3 = DistanceReal(c, d);
  const double total = d1 + d2 + d3;
  cubic_origin_ = a;
  step_ = step;
  if (!(total > 0.0) || !std::isfinite(total)) {
    // Four coincident points: a constant curve, with evenly spread parameters so stepping still ends.
    cubic_params_[1] = 1.0 / 3.0;
    cubic_params_[2] = 2.0 / 3.0;
    for (int i = 0; i < 3; ++i) cubic_x_[i] = cubic_y_[i] = 0.0;
  } else {
    cubic_params_[1] = d1 / total;
    cubic_params_[2] = (d1 + d2) / total;
    const double t[3] = {cubic_params_[1], cubic_params_[2], 1.0};
    const double rhs_x[3] = {b.x - a.x, c.x - a.x, d.x - a.x};
    const double rhs_y[3] = {b.y - a.y, c.y - a.y, d.y - a.y};
    SolveCubic(t, rhs_x, cubic_x_);
    SolveCubic(t, rhs_y, cubic_y_);
  }
  cubic_params_[0] = 0.0;
  cubic_params_[3] = 1.0;
  t_ = cubic_params_[start_index < 0 ? 0 : (start_index > 3 ? 3 : start_index)];
}

bool CurveState::CubicThrough4Next(RealPoint& out, int32_t end_index) {
  t_ += step_;
  const double end_t = cubic_params_[end_index < 0 ? 0 : (end_index > 3 ? 3 : end_index)];
  if (!(t_ <= end_t) || !(step_ > 0.0)) return false;
  out = {EvalCubic(cubic_x_, cubic_origin_.x, t_), EvalCubic(cubic_y_, cubic_origin_.y, t_)};
  return true;
}

void CurveState::BezierInit(int32_t degree, double step) {
  degree_ = degree;
  step_ = step;
  t_ = 0.0;
}

bool CurveState::BezierNext(RealPoint& out, const std::vector<RealPoint>& controls, size_t first) {
  t_ += step_;
  if (!(t_ <= 1.0) || !(step_ > 0.0) || degree_ < 0) return false;
  if (first > controls.size() || controls.size() - first <= static_cast<size_t>(degree_)) return false;
  RealPoint sum;
  for (int32_t i = 0; i <= degree_; ++i) {
    const double weight = Binomial(degree_, i) * Power(i, t_) * Power(degree_ - i, 1.0 - t_);
    const RealPoint& p = controls[first + static_cast<size_t>(i)];
    sum.x += weight * p.x;
    sum.y += weight * p.y;
  }
  out = sum;
  return true;
}

bool CurveState::BSplineInit(int32_t degree, int32_t last_control, const std::vector<double>& knots,
                             double step_fraction) {
  bspline_valid_ = false;
  if (degree < 0 || last_control < 0) return false;
  const size_t knot_count = static_cast<size_t>(last_control) + static_cast<size_t>(degree) + 2;
  if (knots.size() < knot_count) return false;
  knots_.assign(knots.begin(), knots.begin() + static_cast<std::ptrdiff_t>(knot_count));
  // Falling knots would divide by zero-length spans; they describe no B-spline.
  for (size_t i = 0; i < knot_count; ++i) {
    if (!std::isfinite(knots_[i]) || (i > 0 && knots_[i] < knots_[i - 1])) return false;
  }
  degree_ = degree;
  last_control_ = last_control;
  const double intervals = nearest(1.0 / step_fraction);
  if (!(intervals >= 1.0) || intervals > 1e7) return false;
  const double start = knots_[static_cast<size_t>(degree)];
  const double end = knots_[static_cast<size_t>(last_control) + 1];
  t_ = start;
  step_ = (end - start) / intervals;
  if (!std::isfinite(step_)) return false;
  // The loop ends on the knot test; the count only guards against steps lost in rounding.
  steps_left_ = static_cast<int64_t>(intervals) + 2;
  span_ = static_cast<size_t>(degree);
  basis_.assign(static_cast<size_t>(degree) + 2, 0.0);
  bspline_valid_ = true;
  return true;
}

namespace {

// Two doubles that divide lane by lane in one instruction: each lane's quotient is the scalar quotient, rounded
// alike.
using DoublePair = double __attribute__((vector_size(16)));

// The point of a B-spline at t from the span that holds it: basis[j] = N(span - order + 1 + j, order)(t), built up
// order by order with Cox-de Boor, a term whose factor or lower-order basis is 0 counting as 0. Order is a constant
// for the common degrees, so that the loops unroll and the values stay in registers; the arithmetic is the same
// for every order. The right term of N(i, k) and the left term of N(i + 1, k) divide by the same knot interval
// (knot[i + k] - knot[i + 1]): their two quotients come from one paired division.
template <typename Order>
RealPoint SpanPoint(Order order, const double* knots, size_t span, double t, double* basis,
                    const RealPoint* controls) {
  basis[0] = (knots[span] <= t && t < knots[span + 1]) ? 1.0 : 0.0;
  for (size_t k = 2; k <= order; ++k) {
    const size_t first = span + 1 - k;  // first index of order k; span >= degree >= k - 1
    double carried = 0.0;               // N(first + j, k - 1) of the previous j, read before it is replaced
    double left_factor = 0.0;           // t - knot[i] and its quotient, from the previous j's paired division
    double left_quotient = 0.0;
    for (size_t j = 0; j < k; ++j) {
      const size_t i = first + j;
      const double lower_left = carried;  // N(i, k - 1), 0 for j = 0
      double value = 0.0;
      if (lower_left != 0.0 && left_factor != 0.0) value += left_quotient * lower_left;
      if (j + 1 < k) {
        const double lower_right = basis[j];  // N(i + 1, k - 1)
        const double right_factor = knots[i + k] - t;
        const double next_left_factor = t - knots[i + 1];
        const double interval = knots[i + k] - knots[i + 1];
        // Quotients of an empty interval are never used: its lower basis is 0.
        const DoublePair quotients = DoublePair{right_factor, next_left_factor} / DoublePair{interval, interval};
        if (lower_right != 0.0 && right_factor != 0.0) value += quotients[0] * lower_right;
        left_factor = next_left_factor;
        left_quotient = quotients[1];
        carried = lower_right;
      }
      basis[j] = value;
    }
  }
  RealPoint sum;
  const RealPoint* const first = controls + (span + 1 - order);
  for (size_t j = 0; j < order; ++j) {
    sum.x += basis[j] * first[j].x;
    sum.y += basis[j] * first[j].y;
  }
  return sum;
}

template <size_t kOrder>
using OrderConstant = std::integral_constant<size_t, kOrder>;

}  // namespace

bool CurveState::BSplineNext(RealPoint& out, const std::vector<RealPoint>& controls) {
  if (!bspline_valid_) return false;
  const size_t last = static_cast<size_t>(last_control_);
  if (t_ >= knots_[last + 1] || steps_left_-- <= 0 || controls.size() <= last) return false;

  // Only N(span - k + 1 .. span, k) can be non-zero, span being the knot interval that holds t; t only grows.
  while (span_ < last && t_ >= knots_[span_ + 1]) ++span_;
  const double* const knots = knots_.data();
  double basis[4];  // the common degrees' basis, local so that no store into it can touch the knots
  switch (degree_) {
    case 1:
      out = SpanPoint(OrderConstant<2>{}, knots, span_, t_, basis, controls.data());
      break;
    case 2:
      out = SpanPoint(OrderConstant<3>{}, knots, span_, t_, basis, controls.data());
      break;
    case 3:
      out = SpanPoint(OrderConstant<4>{}, knots, span_, t_, basis, controls.data());
      break;
    default:
      out = SpanPoint(static_cast<size_t>(degree_) + 1, knots, span_, t_, basis_.data(), controls.data());
  }
  t_ += step_;
  return true;
}

}  // namespace varnholt
