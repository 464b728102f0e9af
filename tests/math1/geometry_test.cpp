#include "nux/math1/geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>

#include "gtest/gtest.h"

using namespace nux;

namespace {

constexpr double kPi = std::numbers::pi;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Distance to an ellipse by a second method: a dense scan of the parametric angle followed by
// golden-section refinement around the best sample.
double BruteEllipseDistance(double px, double py, double cx, double cy, double a, double b) {
  const auto D = [&](double t) {
    return std::hypot(cx + a * std::cos(t) - px, cy + b * std::sin(t) - py);
  };
  const int N = 20000;
  int Best = 0;
  for (int i = 1; i < N; ++i)
    if (D(2 * kPi * i / N) < D(2 * kPi * Best / N)) Best = i;
  double Lo = 2 * kPi * (Best - 1) / N;
  double Hi = 2 * kPi * (Best + 1) / N;
  const double Gr = (std::sqrt(5.0) - 1) / 2;
  for (int i = 0; i < 200; ++i) {
    const double m1 = Hi - Gr * (Hi - Lo);
    const double m2 = Lo + Gr * (Hi - Lo);
    if (D(m1) < D(m2)) {
      Hi = m2;
    } else {
      Lo = m1;
    }
  }
  return D(0.5 * (Lo + Hi));
}

// Checks the result is self-consistent: the nearest point is on the ellipse and at the
// returned distance from P.
void ExpectOnEllipseAtDistance(const TPointDouble& P, double cx, double cy, double a, double b,
                               const TPointDouble& N, double Dist) {
  const double u = (N.X - cx) / a;
  const double v = (N.Y - cy) / b;
  EXPECT_NEAR(u * u + v * v, 1.0, 1e-12);
  EXPECT_NEAR(std::hypot(N.X - P.X, N.Y - P.Y), Dist, 1e-12 * std::max(1.0, Dist));
}

}  // namespace

TEST(Geometry, AngleToXAxis) {
  EXPECT_DOUBLE_EQ(AngleToXAxis(0, 0), 3 * kPi / 2);
  EXPECT_DOUBLE_EQ(AngleToXAxis(-1, 0), kPi);
  EXPECT_DOUBLE_EQ(AngleToXAxis(1, -1), 7 * kPi / 4);
  EXPECT_DOUBLE_EQ(AngleToXAxis(1e-300, 1e300), kPi / 2);  // quotient overflows
  EXPECT_TRUE(std::isnan(AngleToXAxis(kNaN, 1)));
  EXPECT_TRUE(std::isnan(AngleToXAxis(0, kNaN)));
  std::mt19937 Gen(11);
  std::uniform_real_distribution<double> U(-5, 5);
  for (int i = 0; i < 500; ++i) {
    const double dx = U(Gen), dy = U(Gen);
    const double Ref = std::fmod(std::atan2(dy, dx) + 2 * kPi, 2 * kPi);
    const double Got = AngleToXAxis(dx, dy);
    EXPECT_NEAR(Got, Ref, 1e-14);
    EXPECT_TRUE(Got >= 0 && Got <= 2 * kPi);
  }
}

TEST(Geometry, EuclideanDistance) {
  EXPECT_DOUBLE_EQ(EuclideanDistance({1, 2}, {4, 6}), 5.0);
  EXPECT_DOUBLE_EQ(EuclideanDistance(3e200, 0, 0, 4e200), 5e200);
  EXPECT_DOUBLE_EQ(EuclideanDistance(3e-200, 0, 0, 4e-200), 5e-200);
  EXPECT_TRUE(std::isnan(EuclideanDistance(kNaN, 0, 0, 0)));
}

TEST(Geometry, CcwTriangle) {
  EXPECT_EQ(CcwTriangle({0, 0}, {1, 0}, {0, 1}), 1);
  EXPECT_EQ(CcwTriangle({0, 0}, {0, 1}, {1, 0}), -1);
  EXPECT_EQ(CcwTriangle({0, 0}, {1, 1}, {3, 3}), 0);
  // Products of these coordinates overflow; the orientation is still plain.
  EXPECT_EQ(CcwTriangle({-1e300, -1e300}, {1e300, -1e300}, {0, 1e300}), 1);
  EXPECT_EQ(CcwTriangle({-1e300, -1e300}, {0, 1e300}, {1e300, -1e300}), -1);
  EXPECT_EQ(CcwTriangle({kNaN, 0}, {1, 0}, {0, 1}), 0);
}

TEST(Geometry, SegmentsIntersect) {
  EXPECT_TRUE(SegmentsIntersect({0, 0}, {2, 2}, {0, 2}, {2, 0}));   // crossing
  EXPECT_TRUE(SegmentsIntersect({0, 0}, {1, 0}, {1, 0}, {2, 5}));   // shared end point
  EXPECT_TRUE(SegmentsIntersect({0, 0}, {2, 0}, {1, 0}, {1, 3}));   // T junction
  EXPECT_FALSE(SegmentsIntersect({0, 0}, {1, 0}, {0, 1}, {1, 1}));  // parallel
  EXPECT_FALSE(SegmentsIntersect({0, 0}, {1, 1}, {3, 0}, {2, 1}));  // lines cross beyond ends
  // Collinear segments count as intersecting even when apart.
  EXPECT_TRUE(SegmentsIntersect({0, 0}, {1, 0}, {2, 0}, {3, 0}));
  EXPECT_FALSE(SegmentsIntersect({0, 0}, {1, 0}, {kNaN, 0}, {3, 0}));
}

TEST(Geometry, DistanceToSegment) {
  EXPECT_DOUBLE_EQ(DistanceToSegment({0, 1}, {0, 0}, {0, 0}), 1.0);   // degenerate
  EXPECT_DOUBLE_EQ(DistanceToSegment({1, 2}, {0, 0}, {3, 0}), 2.0);   // foot inside
  EXPECT_DOUBLE_EQ(DistanceToSegment({-3, 4}, {0, 0}, {3, 0}), 5.0);  // before A
  EXPECT_DOUBLE_EQ(DistanceToSegment({6, -4}, {0, 0}, {3, 0}), 5.0);  // beyond B
  // A segment so short that its squared length underflows must not give 0/0.
  const double d = DistanceToSegment({0, 1}, {0, 0}, {1e-170, 0});
  EXPECT_DOUBLE_EQ(d, 1.0);
  // Squared lengths of these overflow.
  EXPECT_DOUBLE_EQ(DistanceToSegment({0, 1}, {-1e200, 0}, {1e200, 0}), 1.0);
  EXPECT_DOUBLE_EQ(DistanceToSegment({0, 3e300}, {-1e308, 0}, {1e308, 0}), 3e300);
  EXPECT_TRUE(std::isnan(DistanceToSegment({kNaN, 0}, {0, 0}, {1, 0})));
  EXPECT_TRUE(std::isnan(DistanceToSegment({0, 0}, {0, 0}, {kInf, 0})));
  EXPECT_EQ(DistanceToSegment({kInf, 0}, {0, 0}, {1, 0}), kInf);

  // Against the minimum over a fine sampling of the segment.
  std::mt19937 Gen(5);
  std::uniform_real_distribution<double> U(-10, 10);
  for (int i = 0; i < 100; ++i) {
    const TPointDouble P{U(Gen), U(Gen)}, A{U(Gen), U(Gen)}, B{U(Gen), U(Gen)};
    double Ref = kInf;
    for (int k = 0; k <= 20000; ++k) {
      const double t = k / 20000.0;
      Ref = std::min(Ref, std::hypot(A.X + t * (B.X - A.X) - P.X, A.Y + t * (B.Y - A.Y) - P.Y));
    }
    const double Got = DistanceToSegment(P, A, B);
    EXPECT_LE(Got, Ref + 1e-12);
    EXPECT_NEAR(Got, Ref, 2e-3);
  }
}

TEST(Geometry, WithinAndConfineToRect) {
  const TRectDouble R{0, 0, 4, 2};
  const TRectDouble Swapped{4, 2, 0, 0};
  EXPECT_TRUE(WithinRect({0, 0}, R));
  EXPECT_TRUE(WithinRect({4, 1}, R));
  EXPECT_TRUE(WithinRect({2, 1}, Swapped));
  EXPECT_FALSE(WithinRect({4.000001, 1}, R));
  EXPECT_FALSE(WithinRect({1, -0.1}, Swapped));
  EXPECT_FALSE(WithinRect({kNaN, 1}, R));

  TPointDouble P{5, -1};
  EXPECT_TRUE(ConfinePointToRect(P, Swapped));
  EXPECT_EQ(P.X, 4.0);
  EXPECT_EQ(P.Y, 0.0);
  P = {4, 2};  // on the border: nothing to do
  EXPECT_FALSE(ConfinePointToRect(P, R));
  EXPECT_EQ(P.X, 4.0);
  P = {9, 9};
  EXPECT_FALSE(ConfinePointToRect(P, {kNaN, 0, 1, 1}));
  EXPECT_EQ(P.X, 9.0);
  P = {kNaN, 1};  // nothing to move: a NaN coordinate must not report a change
  EXPECT_FALSE(ConfinePointToRect(P, R));
  EXPECT_TRUE(std::isnan(P.X));
  P = {kNaN, 7};  // the other coordinate is still clamped
  EXPECT_TRUE(ConfinePointToRect(P, R));
  EXPECT_EQ(P.Y, 2.0);
}

TEST(Geometry, DistFromRect) {
  const TRect R{0, 0, 10, 5};
  EXPECT_EQ(DistFromRect({0, 3}, R), 0);  // left border
  EXPECT_EQ(DistFromRect({-7, 3}, R), 7);
  EXPECT_EQ(DistFromRect({3, -2}, R), 2);
  EXPECT_EQ(DistFromRect({3, 9}, R), 4);
  EXPECT_EQ(DistFromRect({-3, -4}, R), 5);                 // corner, exact
  EXPECT_EQ(DistFromRect({11, 6}, R), 1);                  // sqrt 2 rounds down
  EXPECT_EQ(DistFromRect({12, 7}, R), 3);                  // sqrt 8 = 2.83 rounds up
  EXPECT_EQ(DistFromRect({3, 9}, TRect{10, 5, 0, 0}), 4);  // corners in either order
  // Gaps beyond the 32-bit range.
  const int32_t Lo = std::numeric_limits<int32_t>::min();
  const int32_t Hi = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(DistFromRect({Lo, 0}, TRect{Hi, -1, Hi, 1}), int64_t{Hi} - Lo);
  EXPECT_EQ(DistFromRect({Lo, Lo}, TRect{Hi, Hi, Hi, Hi}),
            std::llround(std::sqrt(2.0) * (double(Hi) - Lo)));
}

TEST(Geometry, DistFromEllipseCirclesInClosedForm) {
  TPointDouble N;
  EXPECT_DOUBLE_EQ(DistFromEllipse({3, -1}, 3, -1, 2, 2, N), 2.0);  // centre
  EXPECT_DOUBLE_EQ(EuclideanDistance(N, {3, -1}), 2.0);

  std::mt19937 Gen(17);
  std::uniform_real_distribution<double> U(-1, 1);
  std::uniform_real_distribution<double> Rad(0.2, 5);
  for (int i = 0; i < 500; ++i) {
    const double cx = 10 * U(Gen), cy = 10 * U(Gen), r = Rad(Gen);
    // Points inside, near and outside, including on the axes through the centre.
    const double Scale = std::array<double, 4>{0.01, 0.9, 1.1, 50}[i % 4];
    double dx = Scale * r * U(Gen), dy = Scale * r * U(Gen);
    if (i % 5 == 0) dx = 0;
    if (i % 7 == 0) dy = 0;
    if (dx == 0 && dy == 0) dx = Scale * r;
    const TPointDouble P{cx + dx, cy + dy};
    const double Len = std::hypot(P.X - cx, P.Y - cy);
    const double Dist = DistFromEllipse(P, cx, cy, r, r, N);
    EXPECT_NEAR(Dist, std::fabs(Len - r), 1e-12 * (1 + Len));
    EXPECT_NEAR(N.X, cx + r * (P.X - cx) / Len, 1e-11 * (1 + r));
    EXPECT_NEAR(N.Y, cy + r * (P.Y - cy) / Len, 1e-11 * (1 + r));
  }
}

TEST(Geometry, DistFromEllipseAxesAndSpecialPoints) {
  TPointDouble N;
  // Minor axis, outside and inside.
  EXPECT_DOUBLE_EQ(DistFromEllipse({0, 3}, 0, 0, 2, 1, N), 2.0);
  EXPECT_EQ(N.X, 0.0);
  EXPECT_DOUBLE_EQ(N.Y, 1.0);
  EXPECT_DOUBLE_EQ(DistFromEllipse({0, -0.25}, 0, 0, 2, 1, N), 0.75);
  EXPECT_DOUBLE_EQ(N.Y, -1.0);
  // Major axis beyond the tip, and inside the evolute where the nearest point leaves the axis.
  EXPECT_DOUBLE_EQ(DistFromEllipse({-5, 0}, 0, 0, 2, 1, N), 3.0);
  EXPECT_DOUBLE_EQ(N.X, -2.0);
  const double Dist = DistFromEllipse({0.5, 0}, 0, 0, 2, 1, N);  // e = A x/(A^2-B^2) = 1/3
  EXPECT_DOUBLE_EQ(N.X, 2.0 / 3);
  EXPECT_DOUBLE_EQ(N.Y, std::sqrt(8.0) / 3);
  EXPECT_DOUBLE_EQ(Dist, std::hypot(0.5 - 2.0 / 3, std::sqrt(8.0) / 3));
  // Centre of an ellipse: the ends of the minor axis.
  EXPECT_DOUBLE_EQ(DistFromEllipse({1, 1}, 1, 1, 3, 0.5, N), 0.5);
  // Points on the ellipse.
  EXPECT_EQ(DistFromEllipse({2, 0}, 0, 0, 2, 1, N), 0.0);
  EXPECT_EQ(DistFromEllipse({0, 1}, 0, 0, 2, 1, N), 0.0);
  EXPECT_EQ(DistFromEllipse({1, 0}, 0, 0, 1, 4, N), 0.0);  // tall ellipse
  for (double t = 0.1; t < 2 * kPi; t += 0.37) {
    const TPointDouble P{1 + 3 * std::cos(t), -2 + 1.5 * std::sin(t)};
    EXPECT_NEAR(DistFromEllipse(P, 1, -2, 3, 1.5, N), 0.0, 1e-14);
    EXPECT_NEAR(N.X, P.X, 1e-14);
    EXPECT_NEAR(N.Y, P.Y, 1e-14);
  }
}

TEST(Geometry, DistFromEllipseAgainstSecondMethod) {
  std::mt19937 Gen(23);
  std::uniform_real_distribution<double> U(-1, 1);
  std::uniform_real_distribution<double> Axis(0.3, 4);
  for (int i = 0; i < 150; ++i) {
    const double a = Axis(Gen), b = Axis(Gen), cx = U(Gen), cy = U(Gen);
    const double Spread = (i % 3 == 0) ? 0.7 : 3.0;  // many points inside, others outside
    const TPointDouble P{cx + Spread * a * U(Gen), cy + Spread * b * U(Gen)};
    TPointDouble N;
    const double Dist = DistFromEllipse(P, cx, cy, a, b, N);
    EXPECT_NEAR(Dist, BruteEllipseDistance(P.X, P.Y, cx, cy, a, b), 1e-9);
    ExpectOnEllipseAtDistance(P, cx, cy, a, b, N, Dist);
    // Mirror symmetry about both axes through the centre.
    TPointDouble M;
    EXPECT_NEAR(DistFromEllipse({2 * cx - P.X, 2 * cy - P.Y}, cx, cy, a, b, M), Dist, 1e-12);
    EXPECT_NEAR(M.X, 2 * cx - N.X, 1e-12);
    EXPECT_NEAR(M.Y, 2 * cy - N.Y, 1e-12);
  }
}

TEST(Geometry, DistFromEllipseExtremeButValidInput) {
  TPointDouble N;
  // Near the major axis inside: the bisection root lies within rounding of t = -1.
  double Dist = DistFromEllipse({0.5, 1e-20}, 0, 0, 2, 1, N);
  EXPECT_NEAR(Dist, std::hypot(0.5 - 2.0 / 3, std::sqrt(8.0) / 3), 1e-15);
  EXPECT_NEAR(N.Y, std::sqrt(8.0) / 3, 1e-15);
  // A hair from the centre of a circle.
  Dist = DistFromEllipse({1e-20, 1e-20}, 0, 0, 1, 1, N);
  EXPECT_DOUBLE_EQ(Dist, 1.0);
  EXPECT_NEAR(std::hypot(N.X, N.Y), 1.0, 1e-15);
  // Very large and very small ellipses: exactly the scaled answers of a moderate one.
  const TPointDouble P{1.7, 0.4};
  TPointDouble N1;
  const double D1 = DistFromEllipse(P, 0.25, -0.5, 3, 2, N1);
  for (const int E : {600, -600, 1000}) {
    const double S = std::ldexp(1.0, E);
    const double D2 = DistFromEllipse({P.X * S, P.Y * S}, 0.25 * S, -0.5 * S, 3 * S, 2 * S, N);
    EXPECT_DOUBLE_EQ(D2, D1 * S) << E;
    EXPECT_DOUBLE_EQ(N.X, N1.X * S);
    EXPECT_DOUBLE_EQ(N.Y, N1.Y * S);
  }
  // Extreme aspect ratio and a point far away relative to the minor axis.
  Dist = DistFromEllipse({0.5, 1}, 0, 0, 1, 1e-200, N);
  EXPECT_DOUBLE_EQ(Dist, 1.0);
  EXPECT_DOUBLE_EQ(N.X, 0.5);
  Dist = DistFromEllipse({3, 4}, 0, 0, 1e-100, 1e-250, N);
  EXPECT_DOUBLE_EQ(Dist, 5.0);
}

TEST(Geometry, DistFromEllipseDegenerateAndBadInput) {
  TPointDouble N;
  // A zero semi-axis leaves a segment, two leave a point.
  EXPECT_DOUBLE_EQ(DistFromEllipse({1, 3}, 0, 0, 2, 0, N), 3.0);
  EXPECT_DOUBLE_EQ(N.X, 1.0);
  EXPECT_EQ(N.Y, 0.0);
  EXPECT_DOUBLE_EQ(DistFromEllipse({5, -4}, 0, 0, 2, 0, N), 5.0);
  EXPECT_DOUBLE_EQ(N.X, 2.0);
  EXPECT_DOUBLE_EQ(DistFromEllipse({3, 1}, 0, 0, 0, 2, N), 3.0);
  EXPECT_EQ(N.X, 0.0);
  EXPECT_DOUBLE_EQ(N.Y, 1.0);
  EXPECT_DOUBLE_EQ(DistFromEllipse({4, 5}, 1, 1, 0, 0, N), 5.0);
  EXPECT_EQ(N.X, 1.0);
  EXPECT_EQ(N.Y, 1.0);
  EXPECT_EQ(DistFromEllipse({0, 0}, 0, 0, 0, 0, N), 0.0);
  // Negative semi-axes are lengths.
  EXPECT_DOUBLE_EQ(DistFromEllipse({0, 3}, 0, 0, -2, -1, N), 2.0);
  // NaN and infinities.
  EXPECT_TRUE(std::isnan(DistFromEllipse({kNaN, 0}, 0, 0, 2, 1, N)));
  EXPECT_TRUE(std::isnan(N.X));
  EXPECT_TRUE(std::isnan(DistFromEllipse({1, 0}, 0, 0, kInf, 1, N)));
  EXPECT_TRUE(std::isnan(DistFromEllipse({1, 0}, 0, kNaN, 2, 1, N)));
  EXPECT_EQ(DistFromEllipse({-kInf, 0}, 0, 0, 2, 1, N), kInf);
}
