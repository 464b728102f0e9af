#include "nux/math2/polygons.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "nux/frame/univconst.h"
#include "nux/math1/geometry.h"

namespace nux {
namespace {

#include "data/filters_reference.inc"

// The generator of make_filters_reference.py: shape 0 square, 1 disc, 2 sums.
TPolygon HullPoints(int N, uint64_t Seed, int Shape) {
  uint64_t S = Seed;
  const auto U = [&] {
    S = S * 6364136223846793005ULL + 1442695040888963407ULL;
    return double(S >> 11) * 0x1p-53;
  };
  TPolygon P;
  for (int i = 0; i < N; ++i) {
    if (Shape == 0) {
      const double x = U();
      P.push_back({x, U()});
    } else if (Shape == 1) {
      const double r = std::sqrt(U()), a = 2 * std::numbers::pi * U();
      P.push_back({r * std::cos(a), r * std::sin(a)});
    } else {
      const double a = U(), b = U(), c = U(), y = U();
      P.push_back({a + b + c, y - U()});
    }
  }
  return P;
}

bool SamePoint(const TPointDouble& A, const TPointDouble& B) { return A.X == B.X && A.Y == B.Y; }

double StartAngle(const TPointDouble& P, double Cx, double Cy) {
  double a = AngleToXAxis(P.X - Cx, P.Y - Cy) + std::numbers::pi / 2;
  return a > 2 * std::numbers::pi ? a - 2 * std::numbers::pi : a;
}

TEST(ConvexHullTest, MatchesScipyOnRandomSetsInAngularOrder) {
  struct TCase {
    int N;
    uint64_t Seed;
    int Shape;
    const int* Want;
    size_t NWant;
    double Area;
  };
  const TCase Cases[] = {{500, 11, 0, kHullSquare, std::size(kHullSquare), kHullSquareArea[0]},
                         {2000, 12, 1, kHullDisc, std::size(kHullDisc), kHullDiscArea[0]},
                         {1000, 13, 2, kHullSums, std::size(kHullSums), kHullSumsArea[0]}};
  for (const TCase& C : Cases) {
    TPolygon P = HullPoints(C.N, C.Seed, C.Shape);
    const TPolygon H = Convex2DHull(P);
    ASSERT_EQ(H.size(), C.NWant);
    // The same cycle as scipy's counter-clockwise vertices, rotated to the smallest angle.
    size_t Off = 0;
    while (Off < C.NWant && !SamePoint(H[0], P[size_t(C.Want[Off])])) ++Off;
    ASSERT_LT(Off, C.NWant);
    for (size_t i = 0; i < C.NWant; ++i)
      EXPECT_TRUE(SamePoint(H[i], P[size_t(C.Want[(Off + i) % C.NWant])])) << i;
    EXPECT_NEAR(PolygonArea(H), C.Area, 1e-12);
    double Cx = 0, Cy = 0;
    for (const auto& Q : P) Cx += Q.X / C.N, Cy += Q.Y / C.N;
    for (size_t i = 1; i < H.size(); ++i)
      EXPECT_LT(StartAngle(H[i - 1], Cx, Cy), StartAngle(H[i], Cx, Cy));

    // Repeated points, NaN and infinite points, and a scale near the top of the range change
    // nothing but the scale.
    TPolygon Noisy = P;
    Noisy.insert(Noisy.end(), P.begin(), P.end());
    Noisy.push_back({std::nan(""), 0.5});
    Noisy.push_back({0.5, std::numeric_limits<double>::infinity()});
    const TPolygon H2 = Convex2DHull(Noisy);
    ASSERT_EQ(H2.size(), H.size());
    for (auto& Q : P) Q = {Q.X * 0x1p1000, Q.Y * 0x1p1000};
    const TPolygon H3 = Convex2DHull(P);
    ASSERT_EQ(H3.size(), H.size());
    for (size_t i = 0; i < H.size(); ++i) {
      EXPECT_TRUE(SamePoint(H2[i], H[i]));
      EXPECT_TRUE(SamePoint(H3[i], {H[i].X * 0x1p1000, H[i].Y * 0x1p1000}));
    }
  }
}

TEST(ConvexHullTest, SmallAndDegenerateSetsAndAMillionPoints) {
  // A square with its centre and a point on an edge: the four corners.
  const TPolygon Sq{{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 1}, {1, 0}};
  const TPolygon H = Convex2DHull(Sq);
  ASSERT_EQ(H.size(), 4u);
  EXPECT_DOUBLE_EQ(PolygonArea(H), 4.0);
  EXPECT_TRUE(SamePoint(H[0], {2, 0}));  // just right of straight down from the centre
  // Three points come back as given when counter-clockwise, reversed when clockwise.
  const TPolygon Ccw{{0, 0}, {1, 0}, {0, 1}}, Cw{{0, 0}, {0, 1}, {1, 0}};
  const TPolygon H1 = Convex2DHull(Ccw), H2 = Convex2DHull(Cw);
  for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(SamePoint(H1[i], Ccw[i]));
  EXPECT_GT(PolygonArea(H2), 0.0);
  EXPECT_TRUE(PointIsInsideConvexHull(0.2, 0.2, H2));
  // Collinear and coincident sets.
  EXPECT_EQ(Convex2DHull({{0, 0}, {1, 1}, {3, 3}, {2, 2}}).size(), 2u);
  EXPECT_EQ(Convex2DHull({{5, 5}, {5, 5}, {5, 5}, {5, 5}}).size(), 1u);
  EXPECT_TRUE(Convex2DHull({}).empty());

  TPolygon P = HullPoints(1000000, 99, 1);
  const TPolygon Big = Convex2DHull(P);
  ASSERT_GT(Big.size(), 100u);
  for (size_t i = 0; i < Big.size(); ++i)  // strictly convex
    ASSERT_EQ(CcwTriangle(Big[i], Big[(i + 1) % Big.size()], Big[(i + 2) % Big.size()]), 1);
  for (size_t i = 0; i < P.size(); i += 997) {  // nothing outside
    for (size_t e = 0; e < Big.size(); ++e)
      ASSERT_GE(CcwTriangle(Big[e], Big[(e + 1) % Big.size()], P[i]), 0);
  }
}

TEST(PolygonTest, AreaLengthCrossingsAndInsideTests) {
  const TPolygon Sq{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  int32_t NI = -1;
  EXPECT_EQ(PolygonArea(Sq, NI), 1.0);
  EXPECT_EQ(NI, 0);
  EXPECT_EQ(PolygonArea(TPolygon(Sq.rbegin(), Sq.rend())), -1.0);
  EXPECT_EQ(PolygonLength(Sq, false), 3.0);
  EXPECT_EQ(PolygonLength(Sq, true), 4.0);
  PolygonArea({{0, 0}, {1, 1}, {1, 0}, {0, 1}}, NI);  // figure eight
  EXPECT_EQ(NI, 1);
  // A U shape: its two top edges lie on one line without meeting, which is no crossing.
  const TPolygon U{{0, 0}, {3, 0}, {3, 2}, {2, 2}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
  EXPECT_EQ(PolygonArea(U, NI), 5.0);
  EXPECT_EQ(NI, 0);
  // A pentagram crosses itself five times; a repeated vertex and a NaN vertex add nothing.
  TPolygon Star;
  for (int k = 0; k < 5; ++k) {
    const double a = 2 * std::numbers::pi * (2 * k) / 5;
    Star.push_back({std::cos(a), std::sin(a)});
  }
  PolygonArea(Star, NI);
  EXPECT_EQ(NI, 5);
  Star.insert(Star.begin() + 2, Star[2]);
  PolygonArea(Star, NI);
  EXPECT_EQ(NI, 5);
  EXPECT_EQ(PolygonArea({}, NI), 0.0);
  EXPECT_EQ(NI, 0);

  EXPECT_TRUE(PointIsInsidePolygon(1.5, 0.5, U));
  EXPECT_FALSE(PointIsInsidePolygon(1.5, 1.5, U));   // in the notch
  EXPECT_FALSE(PointIsInsidePolygon(1.0, 0.0, Sq));  // on an edge
  EXPECT_FALSE(PointIsInsidePolygon(1.0, 1.0, Sq));  // a vertex
  EXPECT_FALSE(PointIsInsidePolygon(0.5, 0.5, {}));
  EXPECT_FALSE(PointIsInsidePolygon(std::nan(""), 0.5, Sq));
  EXPECT_TRUE(PointIsInsideConvexHull(0.5, 0.5, Sq));
  EXPECT_FALSE(PointIsInsideConvexHull(1.0, 0.5, Sq));
  EXPECT_FALSE(PointIsInsideConvexHull(0.5, 0.5, {}));

  double x0, y0, x1, y1;
  OuterRectOfPolygon({{3, std::nan("")}, {-1, 2}, {2, -5}}, x0, y0, x1, y1);
  EXPECT_EQ(x0, -1);
  EXPECT_EQ(x1, 3);
  EXPECT_EQ(y0, -5);
  EXPECT_EQ(y1, 2);
  OuterRectOfPolygon({}, x0, y0, x1, y1);
  EXPECT_TRUE(std::isnan(x0) && std::isnan(y0) && std::isnan(x1) && std::isnan(y1));

  EXPECT_DOUBLE_EQ(DistanceToPolygon({2, 3}, Sq, false), std::sqrt(5.0));
  EXPECT_DOUBLE_EQ(DistanceToPolygon({-1, 0.5}, Sq, true), 1.0);
  EXPECT_DOUBLE_EQ(DistanceToPolygon({-1, 0.5}, Sq, false), std::sqrt(1.25));
  EXPECT_EQ(DistanceToPolygon({0, 0}, {{1, 1}}, false), uc_MaxDouble);
  EXPECT_TRUE(std::isnan(DistanceToPolygon({std::nan(""), 0}, Sq, true)));
}

TEST(PolygonTest, ReductionAndDifferenceForms) {
  TPolygon P{{0, 0}, {1, 1}, {1, 1}, {2, 2}, {2, 0}};
  EXPECT_EQ(ReducePolygon(P), 3);
  EXPECT_TRUE(SamePoint(P[1], {2, 2}) && SamePoint(P[2], {2, 0}));
  TIntPolygon I{{0, 0}, {0, 5}, {0, 9}, {4, 9}, {4, 9}, {7, 9}, {2147483647, -2147483647 - 1}};
  EXPECT_EQ(ReducePolygon(I), 4);
  EXPECT_EQ(I[1].Y, 9);
  EXPECT_EQ(I[2].X, 7);

  // Mode 2 merges runs of one direction but keeps a step back as a turning point.
  const TPolygon Path{{0, 0}, {1, 0}, {2, 0}, {2, 0}, {2, 1}, {2, 3}, {2, 2}, {0, 2}, {-1, 2}};
  TPolygon D, Back;
  EXPECT_EQ(ConvertToDiffPolygon(Path, D, 0), 8);
  EXPECT_EQ(ConvertToDiffPolygon(Path, D, 1), 7);
  ASSERT_EQ(ConvertToDiffPolygon(Path, D, 2), 4);
  const TPolygon Want{{2, 0}, {0, 3}, {0, -1}, {-3, 0}};
  for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(SamePoint(D[i], Want[i])) << i;
  ASSERT_EQ(ConvertFromDiffPolygon({0, 0}, D, Back), 5);
  const TPolygon Corners{{0, 0}, {2, 0}, {2, 3}, {2, 2}, {-1, 2}};
  for (size_t i = 0; i < 5; ++i) EXPECT_TRUE(SamePoint(Back[i], Corners[i])) << i;
  EXPECT_EQ(ConvertToDiffPolygon({}, D, 2), 0);
  EXPECT_EQ(ConvertFromDiffPolygon({1, 2}, {}, Back), 1);
}

TEST(GreatCircleTest, HaversineIsAccurateNearAndFar) {
  EXPECT_DOUBLE_EQ(SphereGreatCircleDist(3.0, 0, 0, 0, 90), 1.5 * std::numbers::pi);
  EXPECT_NEAR(SphereGreatCircleDist(2.0, 10, 20, -10, 200), 2.0 * std::numbers::pi, 1e-7);
  // One metre on the earth: the arc-cosine form loses about half the digits here.
  const double R = 6371000.0, dLat = 1.0 / R * 180.0 / std::numbers::pi;
  EXPECT_NEAR(SphereGreatCircleDist(R, 45.0, 7.0, 45.0 + dLat, 7.0), 1.0, 1e-9);
  EXPECT_TRUE(std::isnan(SphereGreatCircleDist(R, std::nan(""), 0, 0, 0)));
}

}  // namespace
}  // namespace nux
