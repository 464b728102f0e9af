#include "nux/math1/geometry.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <numbers>

#include "nux/frame/rounding.h"

namespace nux {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTwoPi = 2.0 * std::numbers::pi;

bool AllFinite(std::initializer_list<double> Values) {
  for (double V : Values)
    if (!std::isfinite(V)) return false;
  return true;
}

bool AnyNaN(std::initializer_list<double> Values) {
  for (double V : Values)
    if (std::isnan(V)) return true;
  return false;
}

// Binary exponent of the largest magnitude (0 when all are zero). Scaling finite coordinates
// by 2^-e keeps them below 2, so differences and squares can neither overflow nor lose the
// geometry to underflow; the scaling itself is exact.
int ScaleExponent(std::initializer_list<double> Values) {
  double M = 0.0;
  for (double V : Values) M = std::max(M, std::fabs(V));
  return M > 0.0 ? std::ilogb(M) : 0;
}

TPointDouble Scaled(const TPointDouble& P, int E) {
  return {std::ldexp(P.X, -E), std::ldexp(P.Y, -E)};
}

double CcwDeterminant(const TPointDouble& P1, const TPointDouble& P2, const TPointDouble& P3) {
  return (P2.X - P1.X) * (P3.Y - P1.Y) - (P3.X - P1.X) * (P2.Y - P1.Y);
}

// Distance to a segment for coordinates that cannot overflow.
double SegmentDistance(const TPointDouble& P, const TPointDouble& A, const TPointDouble& B) {
  const double dx = B.X - A.X;
  const double dy = B.Y - A.Y;
  const double Len2 = dx * dx + dy * dy;
  // A length whose square underflows counts as a point: the error is below that length.
  if (Len2 == 0.0) return std::hypot(P.X - A.X, P.Y - A.Y);
  const double t = ((P.X - A.X) * dx + (P.Y - A.Y) * dy) / Len2;
  if (t < 0.0) return std::hypot(P.X - A.X, P.Y - A.Y);
  if (t > 1.0) return std::hypot(P.X - B.X, P.Y - B.Y);
  return std::hypot(P.X - (A.X + t * dx), P.Y - (A.Y + t * dy));
}

void OrderedPair(double V1, double V2, double& Lo, double& Hi) {
  Lo = std::min(V1, V2);
  Hi = std::max(V1, V2);
}

struct TEllipseResult {
  double X, Y, Dist;
};

// Nearest point of the ellipse (x/A)^2 + (y/B)^2 = 1 to (x, y) with x, y >= 0, A >= B >= 0,
// all of magnitude at most about 2.
TEllipseResult FirstQuadrantEllipse(double x, double y, double A, double B) {
  const auto Result = [x, y](double nx, double ny) {
    return TEllipseResult{nx, ny, std::hypot(nx - x, ny - y)};
  };
  if (B == 0.0) {
    // The ellipse has collapsed onto the segment [-A, A] of the x axis.
    return Result(std::min(x, A), 0.0);
  }
  if (y > 0.0) {
    if (x == 0.0) return Result(0.0, B);
    const double z0 = x / A;
    const double z1 = y / B;
    const double g = z0 * z0 + z1 * z1 - 1.0;
    if (g == 0.0) return {x, y, 0.0};
    const double rho = B / A;
    const double r0 = 1.0 / (rho * rho);
    const double n0 = r0 * z0;
    if (!std::isfinite(z1) || !std::isfinite(n0)) {
      // Aspect ratio or distance beyond double range relative to B: the ellipse is its major
      // axis to within B, so take the point of the ellipse above the nearest axis point.
      const double nx = std::min(x, A);
      const double e = nx / A;
      return Result(nx, B * std::sqrt(std::max(0.0, (1.0 - e) * (1.0 + e))));
    }
    // Bisection for the root t of G(t) = (r0 z0/(t + r0))^2 + (z1/(t + 1))^2 - 1, carried out
    // in u = t + 1: the root may lie within rounding of t = -1, where t + 1 would cancel.
    const double r0m1 = r0 * (1.0 - rho) * (1.0 + rho);  // r0 - 1 without cancellation
    double u0 = z1;
    double u1 = g < 0.0 ? 1.0 : std::hypot(n0, z1);
    double u = u0;
    double Ratio0 = z0;
    double Ratio1 = 1.0;
    for (int i = 0; i < 1075; ++i) {
      u = 0.5 * u0 + 0.5 * u1;
      if (u == u0 || u == u1) break;
      Ratio0 = n0 / (u + r0m1);
      Ratio1 = z1 / u;
      const double G = Ratio0 * Ratio0 + Ratio1 * Ratio1 - 1.0;
      if (G > 0.0) {
        u0 = u;
      } else if (G < 0.0) {
        u1 = u;
      } else {
        break;
      }
    }
    Ratio0 = n0 / (u + r0m1);
    Ratio1 = z1 / u;
    return Result(A * Ratio0, B * Ratio1);
  }
  // On the major axis: inside the evolute's cusp the nearest point leaves the axis.
  const double Denom = A * (1.0 - B / A) * (1.0 + B / A);  // (A^2 - B^2)/A
  if (x < Denom) {
    const double e = x / Denom;
    return Result(A * e, B * std::sqrt((1.0 - e) * (1.0 + e)));
  }
  return Result(A, 0.0);
}

}  // namespace

double EuclideanDistance(const TPointDouble& P1, const TPointDouble& P2) {
  return EuclideanDistance(P1.X, P1.Y, P2.X, P2.Y);
}

double EuclideanDistance(double x1, double y1, double x2, double y2) {
  // A difference that overflows means a distance beyond double range anyway.
  return std::hypot(x1 - x2, y1 - y2);
}

double AngleToXAxis(double dx, double dy) {
  if (std::isnan(dx) || std::isnan(dy)) return kNaN;
  double Angle;
  if (dx == 0.0) {
    Angle = dy > 0.0 ? std::numbers::pi / 2.0 : 3.0 * std::numbers::pi / 2.0;
  } else if (dx < 0.0) {
    Angle = std::atan(dy / dx) + std::numbers::pi;
  } else {
    Angle = std::atan(dy / dx);
  }
  if (Angle < 0.0) Angle += kTwoPi;
  if (Angle > kTwoPi) Angle -= kTwoPi;
  return Angle;
}

int32_t CcwTriangle(const TPointDouble& P1, const TPointDouble& P2, const TPointDouble& P3) {
  double D = CcwDeterminant(P1, P2, P3);
  if (!std::isfinite(D) && AllFinite({P1.X, P1.Y, P2.X, P2.Y, P3.X, P3.Y})) {
    // Products overflowed; the sign survives scaling by a power of two.
    const int E = ScaleExponent({P1.X, P1.Y, P2.X, P2.Y, P3.X, P3.Y});
    D = CcwDeterminant(Scaled(P1, E), Scaled(P2, E), Scaled(P3, E));
  }
  if (D > 0.0) return 1;
  if (D < 0.0) return -1;
  return 0;
}

bool SegmentsIntersect(const TPointDouble& P1, const TPointDouble& P2, const TPointDouble& P3,
                       const TPointDouble& P4) {
  // NaN would read as "collinear", which counts as meeting.
  if (AnyNaN({P1.X, P1.Y, P2.X, P2.Y, P3.X, P3.Y, P4.X, P4.Y})) return false;
  if (CcwTriangle(P1, P2, P3) * CcwTriangle(P1, P2, P4) > 0) return false;
  return CcwTriangle(P3, P4, P1) * CcwTriangle(P3, P4, P2) <= 0;
}

double DistanceToSegment(const TPointDouble& P, const TPointDouble& A, const TPointDouble& B) {
  if (AnyNaN({P.X, P.Y, A.X, A.Y, B.X, B.Y})) return kNaN;
  if (!AllFinite({A.X, A.Y, B.X, B.Y})) return kNaN;  // no finite segment to measure to
  if (!AllFinite({P.X, P.Y})) return kInf;
  const int E = ScaleExponent({P.X, P.Y, A.X, A.Y, B.X, B.Y});
  return std::ldexp(SegmentDistance(Scaled(P, E), Scaled(A, E), Scaled(B, E)), E);
}

bool WithinRect(const TPointDouble& P, const TRectDouble& R) {
  double XLo, XHi, YLo, YHi;
  OrderedPair(R.Left, R.Right, XLo, XHi);
  OrderedPair(R.Top, R.Bottom, YLo, YHi);
  return P.X >= XLo && P.X <= XHi && P.Y >= YLo && P.Y <= YHi;
}

bool ConfinePointToRect(TPointDouble& P, const TRectDouble& R) {
  if (AnyNaN({R.Left, R.Right, R.Top, R.Bottom})) return false;
  double XLo, XHi, YLo, YHi;
  OrderedPair(R.Left, R.Right, XLo, XHi);
  OrderedPair(R.Top, R.Bottom, YLo, YHi);
  // A NaN coordinate stays NaN and does not count as moved (NaN != NaN would say it did).
  const auto Clamp = [](double& V, double Lo, double Hi) {
    const double Old = V;
    V = std::clamp(V, Lo, Hi);
    return !std::isnan(Old) && V != Old;
  };
  const bool MovedX = Clamp(P.X, XLo, XHi);
  const bool MovedY = Clamp(P.Y, YLo, YHi);
  return MovedX || MovedY;
}

int64_t DistFromRect(const TPoint& P, const TRect& R) {
  // 64-bit differences: gaps between 32-bit coordinates may exceed the 32-bit range.
  const int64_t XLo = std::min(R.Left, R.Right);
  const int64_t XHi = std::max(R.Left, R.Right);
  const int64_t YLo = std::min(R.Top, R.Bottom);
  const int64_t YHi = std::max(R.Top, R.Bottom);
  const int64_t Dx = P.X < XLo ? XLo - P.X : (P.X > XHi ? P.X - XHi : 0);
  const int64_t Dy = P.Y < YLo ? YLo - P.Y : (P.Y > YHi ? P.Y - YHi : 0);
  if (Dx == 0) return Dy;
  if (Dy == 0) return Dx;
  // Rounding is monotone, so the nearest rounded corner distance is the rounded nearest one.
  return RoundToInt64(std::hypot(static_cast<double>(Dx), static_cast<double>(Dy)));
}

double DistFromEllipse(const TPointDouble& P, double Cx, double Cy, double A, double B,
                       TPointDouble& Nearest) {
  if (AnyNaN({P.X, P.Y, Cx, Cy, A, B}) || !AllFinite({Cx, Cy, A, B})) {
    Nearest = {kNaN, kNaN};
    return kNaN;
  }
  if (!AllFinite({P.X, P.Y})) {
    Nearest = {kNaN, kNaN};
    return kInf;
  }
  // A semi-axis is a length: its sign carries no meaning.
  A = std::fabs(A);
  B = std::fabs(B);
  const int E = ScaleExponent({P.X, P.Y, Cx, Cy, A, B});
  const double Sx = std::ldexp(Cx, -E);
  const double Sy = std::ldexp(Cy, -E);
  double x = std::ldexp(P.X, -E) - Sx;
  double y = std::ldexp(P.Y, -E) - Sy;
  double Sa = std::ldexp(A, -E);
  double Sb = std::ldexp(B, -E);
  const bool Swap = Sa < Sb;
  if (Swap) {
    std::swap(x, y);
    std::swap(Sa, Sb);
  }
  const bool NegX = x < 0.0;
  const bool NegY = y < 0.0;
  TEllipseResult R = FirstQuadrantEllipse(std::fabs(x), std::fabs(y), Sa, Sb);
  if (NegX) R.X = -R.X;
  if (NegY) R.Y = -R.Y;
  if (Swap) std::swap(R.X, R.Y);
  Nearest = {std::ldexp(R.X + Sx, E), std::ldexp(R.Y + Sy, E)};
  return std::ldexp(R.Dist, E);
}

}  // namespace nux
