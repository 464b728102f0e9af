#include "nux/math2/polygons.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "nux/frame/univconst.h"
#include "nux/math1/geometry.h"

namespace nux {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool Same(const TPointDouble& A, const TPointDouble& B) { return A.X == B.X && A.Y == B.Y; }
bool Same(const TPoint& A, const TPoint& B) { return A.X == B.X && A.Y == B.Y; }

// Coordinates as doubles for the slope test; integer differences are formed in 64 bits.
double Dx(const TPointDouble& A, const TPointDouble& B) { return A.X - B.X; }
double Dy(const TPointDouble& A, const TPointDouble& B) { return A.Y - B.Y; }
double Dx(const TPoint& A, const TPoint& B) { return static_cast<double>(int64_t{A.X} - B.X); }
double Dy(const TPoint& A, const TPoint& B) { return static_cast<double>(int64_t{A.Y} - B.Y); }

template <class P>
int32_t Reduce(std::vector<P>& Poly) {
  std::vector<P> Out;
  Out.reserve(Poly.size());
  for (const P& Pt : Poly)
    if (Out.empty() || !Same(Pt, Out.back())) Out.push_back(Pt);
  const size_t n = Out.size();
  std::vector<bool> Marked(n, false);
  for (size_t m = 1; m + 1 < n; ++m) {
    const P &A = Out[m - 1], &B = Out[m], &C = Out[m + 1];
    if (A.X == B.X)
      Marked[m] = B.X == C.X;
    else if (B.X == C.X)
      Marked[m] = B.Y == C.Y;
    else
      Marked[m] = std::abs(Dy(A, B) / Dx(A, B) - Dy(B, C) / Dx(B, C)) < 1e-10;
  }
  size_t k = 0;
  for (size_t i = 0; i < n; ++i)
    if (!Marked[i]) Out[k++] = Out[i];
  Out.resize(k);
  Poly = std::move(Out);
  return static_cast<int32_t>(Poly.size());
}

// The crossing test of the ray-casting rule: 0 on the boundary, -1 for a crossing, 1 otherwise.
int Crossing(double x, double y, TPointDouble B, TPointDouble C) {
  if (y == B.Y && y == C.Y) return ((B.X <= x && x <= C.X) || (C.X <= x && x <= B.X)) ? 0 : 1;
  if (B.Y > C.Y) std::swap(B, C);
  if (x == B.X && y == B.Y) return 0;
  if (y <= B.Y || y > C.Y) return 1;
  const double d = (B.X - x) * (C.Y - y) - (B.Y - y) * (C.X - x);
  return d > 0 ? -1 : (d < 0 ? 1 : 0);
}

// Segments crossing at one point inside both (endpoints strictly on opposite sides each way).
bool ProperlyCross(const TPointDouble& P1, const TPointDouble& P2, const TPointDouble& P3,
                   const TPointDouble& P4) {
  return CcwTriangle(P1, P2, P3) * CcwTriangle(P1, P2, P4) < 0 &&
         CcwTriangle(P3, P4, P1) * CcwTriangle(P3, P4, P2) < 0;
}

}  // namespace

int32_t ReducePolygon(TPolygon& Poly) { return Reduce(Poly); }
int32_t ReducePolygon(TIntPolygon& Poly) { return Reduce(Poly); }

bool PointIsInsidePolygon(double x, double y, const TPolygon& Poly) {
  const size_t n = Poly.size();
  if (n == 0) return false;
  int Product = -Crossing(x, y, Poly[n - 1], Poly[0]);
  for (size_t i = 1; i < n && Product != 0; ++i) Product *= Crossing(x, y, Poly[i - 1], Poly[i]);
  return Product == 1;
}

double PolygonArea(const TPolygon& Poly) {
  const size_t n = Poly.size();
  if (n == 0) return 0.0;
  double S = (Poly[n - 1].X - Poly[0].X) * (Poly[n - 1].Y + Poly[0].Y);
  for (size_t i = 0; i + 1 < n; ++i) S += (Poly[i].X - Poly[i + 1].X) * (Poly[i].Y + Poly[i + 1].Y);
  return 0.5 * S;
}

double PolygonArea(const TPolygon& Poly, int32_t& NumIntersect) {
  const size_t n = Poly.size();
  // Edge e_i runs from p_i to p_{(i+1) mod n}; neighbours share a vertex and never cross
  // properly, so every pair can be tested.
  struct TBox {
    double x0, x1, y0, y1;
  };
  std::vector<TBox> Box(n);
  for (size_t i = 0; i < n; ++i) {
    const TPointDouble &A = Poly[i], &B = Poly[(i + 1) % n];
    Box[i] = {std::min(A.X, B.X), std::max(A.X, B.X), std::min(A.Y, B.Y), std::max(A.Y, B.Y)};
  }
  int64_t Count = 0;
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 1; j < n; ++j) {
      // Disjoint boxes cannot cross (NaN boxes fall through to the exact test, which says no).
      if (Box[j].x0 > Box[i].x1 || Box[j].x1 < Box[i].x0 || Box[j].y0 > Box[i].y1 ||
          Box[j].y1 < Box[i].y0)
        continue;
      if (ProperlyCross(Poly[i], Poly[(i + 1) % n], Poly[j], Poly[(j + 1) % n])) ++Count;
    }
  NumIntersect = static_cast<int32_t>(std::min<int64_t>(Count, INT32_MAX));
  return PolygonArea(Poly);
}

double PolygonLength(const TPolygon& Poly, bool Closed) {
  const size_t n = Poly.size();
  double L = 0.0;
  for (size_t i = 0; i + 1 < n; ++i) L += EuclideanDistance(Poly[i], Poly[i + 1]);
  if (Closed && n > 0) L += EuclideanDistance(Poly[0], Poly[n - 1]);
  return L;
}

void OuterRectOfPolygon(const TPolygon& Poly, double& XLow, double& YLow, double& XHigh,
                        double& YHigh) {
  XLow = YLow = XHigh = YHigh = kNaN;
  for (const TPointDouble& P : Poly) {
    if (!std::isnan(P.X)) {
      if (!(XLow <= P.X)) XLow = P.X;  // also replaces the initial NaN
      if (!(XHigh >= P.X)) XHigh = P.X;
    }
    if (!std::isnan(P.Y)) {
      if (!(YLow <= P.Y)) YLow = P.Y;
      if (!(YHigh >= P.Y)) YHigh = P.Y;
    }
  }
}

int32_t ConvertToDiffPolygon(const TPolygon& Poly, TPolygon& Diff, int32_t Mode) {
  TPolygon Out;
  Out.reserve(Poly.size());
  TPointDouble Last{};  // the previous step as given, before merging
  for (size_t i = 1; i < Poly.size(); ++i) {
    const TPointDouble d{Poly[i].X - Poly[i - 1].X, Poly[i].Y - Poly[i - 1].Y};
    if (Mode > 0 && d.X == 0.0 && d.Y == 0.0) continue;
    if (Mode == 2 && !Out.empty()) {
      // Same slope (exactly) and same sense: a step back the way it came is a turning point.
      const bool SameDir = (d.X == 0.0 && Last.X == 0.0) ? (d.Y > 0) == (Last.Y > 0)
                           : (d.X != 0.0 && Last.X != 0.0)
                               ? d.Y / d.X == Last.Y / Last.X && (d.X > 0) == (Last.X > 0)
                               : false;
      if (SameDir) {
        Out.back().X += d.X;
        Out.back().Y += d.Y;
        Last = d;
        continue;
      }
    }
    Out.push_back(d);
    Last = d;
  }
  Diff = std::move(Out);
  return static_cast<int32_t>(Diff.size());
}

int32_t ConvertFromDiffPolygon(const TPointDouble& Start, const TPolygon& Diff, TPolygon& Poly) {
  TPolygon Out(Diff.size() + 1);
  Out[0] = Start;
  for (size_t i = 1; i < Out.size(); ++i)
    Out[i] = {Out[i - 1].X + Diff[i - 1].X, Out[i - 1].Y + Diff[i - 1].Y};
  Poly = std::move(Out);
  return static_cast<int32_t>(Poly.size());
}

double DistanceToPolygon(const TPointDouble& P, const TPolygon& Poly, bool Closed) {
  const size_t n = Poly.size();
  double Best = uc_MaxDouble;
  const auto Take = [&](const TPointDouble& A, const TPointDouble& B) {
    const double d = DistanceToSegment(P, A, B);
    if (std::isnan(d))
      Best = kNaN;  // and stays NaN
    else if (d < Best)
      Best = d;
  };
  for (size_t i = 0; i + 1 < n; ++i) Take(Poly[i], Poly[i + 1]);
  if (Closed && n > 0) Take(Poly[n - 1], Poly[0]);
  return Best;
}

bool PointIsInsideConvexHull(double x, double y, const TPolygon& Hull) {
  if (Hull.empty()) return false;
  TPointDouble A = Hull.back();
  for (const TPointDouble& B : Hull) {
    if (!((x - A.X) * (A.Y - B.Y) + (y - A.Y) * (B.X - A.X) > 0)) return false;
    A = B;
  }
  return true;
}

TPolygon Convex2DHull(const TPolygon& Points) {
  struct TIx {
    double X, Y;  // scaled coordinates
    size_t I;     // position in Points
  };
  std::vector<TIx> P;
  P.reserve(Points.size());
  double Big = 0.0, Cx = 0.0, Cy = 0.0;
  for (size_t i = 0; i < Points.size(); ++i) {
    const TPointDouble& Q = Points[i];
    if (!std::isfinite(Q.X) || !std::isfinite(Q.Y)) continue;
    P.push_back({Q.X, Q.Y, i});
    Big = std::max({Big, std::abs(Q.X), std::abs(Q.Y)});
    // Running mean of all points (the centre for the start vertex): no overflow.
    const auto N = static_cast<double>(P.size());
    Cx += (Q.X - Cx) / N;
    Cy += (Q.Y - Cy) / N;
  }
  if (P.size() < 4) {
    TPolygon Out;
    for (const TIx& Q : P) Out.push_back(Points[Q.I]);
    if (Out.size() == 3 && CcwTriangle(Out[0], Out[1], Out[2]) < 0) std::swap(Out[1], Out[2]);
    return Out;
  }
  // Scale by a power of two (exact) so that the cross products neither overflow nor underflow.
  if (Big > 0.0) {
    const int e = std::ilogb(Big);
    for (TIx& Q : P) {
      Q.X = std::ldexp(Q.X, -e);
      Q.Y = std::ldexp(Q.Y, -e);
    }
  }
  // Points well inside the polygon of the extreme points in eight directions are no hull
  // vertices (Akl-Toussaint); dropping them first leaves little to sort for most sets. The margin
  // covers the rounding of the cross products of coordinates below 2 in magnitude.
  if (P.size() > 64) {
    const auto Dot = [](const TIx& Q, int d) {
      constexpr double Dir[8][2] = {{0, -1}, {1, -1}, {1, 0},  {1, 1},
                                    {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}};
      return Dir[d][0] * Q.X + Dir[d][1] * Q.Y;
    };
    size_t Ext[8] = {};
    for (size_t i = 1; i < P.size(); ++i)
      for (int d = 0; d < 8; ++d)
        if (Dot(P[i], d) > Dot(P[Ext[d]], d)) Ext[d] = i;
    std::vector<TIx> Q;
    for (int d = 0; d < 8; ++d) {
      const TIx& E = P[Ext[d]];
      if (Q.empty() || E.X != Q.back().X || E.Y != Q.back().Y) Q.push_back(E);
    }
    while (Q.size() > 1 && Q.back().X == Q[0].X && Q.back().Y == Q[0].Y) Q.pop_back();
    if (Q.size() >= 3) {
      constexpr double Margin = 1e-12;
      const auto Inside = [&](const TIx& R) {
        for (size_t e = 0; e < Q.size(); ++e) {
          const TIx &A = Q[e], &B = Q[(e + 1) % Q.size()];
          if (!((B.X - A.X) * (R.Y - A.Y) - (B.Y - A.Y) * (R.X - A.X) > Margin)) return false;
        }
        return true;
      };
      std::erase_if(P, Inside);
    }
  }
  std::sort(P.begin(), P.end(),
            [](const TIx& A, const TIx& B) { return A.X < B.X || (A.X == B.X && A.Y < B.Y); });
  const auto Cross = [](const TIx& O, const TIx& A, const TIx& B) {
    return (A.X - O.X) * (B.Y - O.Y) - (A.Y - O.Y) * (B.X - O.X);
  };
  // Andrew's monotone chain: lower hull left to right, then upper hull right to left; collinear
  // and repeated points are dropped (Cross <= 0).
  std::vector<size_t> H(2 * P.size());
  size_t k = 0;
  for (size_t i = 0; i < P.size(); ++i) {
    while (k >= 2 && Cross(P[H[k - 2]], P[H[k - 1]], P[i]) <= 0) --k;
    H[k++] = i;
  }
  for (size_t i = P.size() - 1, t = k + 1; i-- > 0;) {
    while (k >= t && Cross(P[H[k - 2]], P[H[k - 1]], P[i]) <= 0) --k;
    H[k++] = i;
  }
  size_t NH = k > 1 ? k - 1 : k;  // the last point repeats the first
  if (NH == 2 && P[H[0]].X == P[H[1]].X && P[H[0]].Y == P[H[1]].Y) NH = 1;
  // Start at the vertex of smallest angle about the mean of the points.
  size_t Start = 0;
  double Smallest = std::numeric_limits<double>::infinity();
  for (size_t h = 0; h < NH; ++h) {
    const TPointDouble& Q = Points[P[H[h]].I];
    double a = AngleToXAxis(Q.X - Cx, Q.Y - Cy) + std::numbers::pi / 2;
    if (a > 2 * std::numbers::pi) a -= 2 * std::numbers::pi;
    if (a < Smallest) {
      Smallest = a;
      Start = h;
    }
  }
  TPolygon Out(NH);
  for (size_t h = 0; h < NH; ++h) Out[h] = Points[P[H[(Start + h) % NH]].I];
  return Out;
}

double SphereGreatCircleDist(double Radius, double Lat1, double Lon1, double Lat2, double Lon2) {
  constexpr double Rad = std::numbers::pi / 180.0;
  const double sLat = std::sin((Lat2 - Lat1) * Rad / 2);
  const double sLon = std::sin((Lon2 - Lon1) * Rad / 2);
  double a = sLat * sLat + std::cos(Lat1 * Rad) * std::cos(Lat2 * Rad) * sLon * sLon;
  a = std::clamp(a, 0.0, 1.0);
  return 2.0 * Radius * std::atan2(std::sqrt(a), std::sqrt(1.0 - a));
}

}  // namespace nux
