#include "nux/sline/straightline.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace nux {

namespace {

constexpr double kSubstDivisor = 1e-100;

struct TCoeffs {
  double A, B, C;
};

// The same line with A and B brought near 1 by a power of two (exact), so that products of
// coefficients neither overflow nor underflow for very large or very small coefficients.
TCoeffs Normalized(double A, double B, double C) {
  const double M = std::max(std::fabs(A), std::fabs(B));
  if (!(M > 0.0) || !std::isfinite(M)) return {A, B, C};
  const int E = std::ilogb(M);
  return {std::ldexp(A, -E), std::ldexp(B, -E), std::ldexp(C, -E)};
}

}  // namespace

TSLine::TSLine(TComponent* AOwner) : TComponent(AOwner) {}

void TSLine::Assign(const TPersistent* Source) {
  if (const auto* Line = dynamic_cast<const TSLine*>(Source)) {
    FParA = Line->FParA;
    FParB = Line->FParB;
    FParC = Line->FParC;
    FSubstInf = Line->FSubstInf;
    return;
  }
  TComponent::Assign(Source);
}

void TSLine::SetParA(double x) {
  if (x == 0.0 && FParB == 0.0)
    RaiseComponentError<ENUXSLineError>(*this, "parameter A and B must not both be zero");
  FParA = x;
}

void TSLine::SetParB(double x) {
  if (x == 0.0 && FParA == 0.0)
    RaiseComponentError<ENUXSLineError>(*this, "parameter A and B must not both be zero");
  FParB = x;
}

void TSLine::SetParC(double x) { FParC = x; }

double TSLine::GetDirect() const {
  double a;
  if (FParB != 0.0) {
    a = std::atan(-FParA / FParB);
  } else {
    a = FParA > 0.0 ? std::numbers::pi / 2.0 : -std::numbers::pi / 2.0;
  }
  if (FParB <= 0.0) {
    a += std::numbers::pi;
  } else if (FParA > 0.0) {
    a += 2.0 * std::numbers::pi;
  }
  // A direction a hair below 2*pi rounds up to it; the interval is half open.
  if (a >= 2.0 * std::numbers::pi) a -= 2.0 * std::numbers::pi;
  return a == 0.0 ? 0.0 : a;  // no negative zero
}

double TSLine::GetSlope() const {
  if (FParB == 0.0) RaiseComponentError<ENUXSLineError>(*this, "slope is infinite");
  return -FParA / FParB;
}

double TSLine::GetIntercept() const {
  if (FParB == 0.0)
    RaiseComponentError<ENUXSLineError>(*this,
                                        "cannot calculate intercept (line is parallel to y axis)");
  return -FParC / FParB;
}

bool TSLine::LineFrom2Points(double x1, double y1, double x2, double y2) {
  if (x1 == x2 && y1 == y2) return false;
  const double A = y1 - y2;
  const double B = x2 - x1;
  const double C = x1 * y2 - y1 * x2;
  if (!std::isfinite(A) || !std::isfinite(B) || !std::isfinite(C)) return false;
  FParA = A;
  FParB = B;
  FParC = C;
  return true;
}

void TSLine::LineFromSlopeIcpt(double k, double d) {
  FParA = k;
  FParB = -1.0;
  FParC = d;
}

void TSLine::LineThroughPoint(double px, double py, double angle) {
  FParA = -std::sin(angle);
  FParB = std::cos(angle);
  FParC = -FParA * px - FParB * py;
}

void TSLine::NormalLine(double px, double py, const TSLine& OtherLine) {
  // Read first: OtherLine may be this line.
  const double A2 = OtherLine.FParA;
  const double B2 = OtherLine.FParB;
  FParA = -B2;
  FParB = A2;
  FParC = B2 * px - A2 * py;
}

void TSLine::ParallelLine(double px, double py, const TSLine& OtherLine) {
  const double A2 = OtherLine.FParA;
  const double B2 = OtherLine.FParB;
  FParA = A2;
  FParB = B2;
  FParC = -A2 * px - B2 * py;
}

bool TSLine::InterSection(const TSLine& OtherLine, double& x, double& y) const {
  const TCoeffs L1 = Normalized(FParA, FParB, FParC);
  const TCoeffs L2 = Normalized(OtherLine.FParA, OtherLine.FParB, OtherLine.FParC);
  const double Det = L1.A * L2.B - L2.A * L1.B;
  if (Det == 0.0 || !std::isfinite(Det)) return false;
  const double Sx = (L1.B * L2.C - L2.B * L1.C) / Det;
  const double Sy = (L1.C * L2.A - L2.C * L1.A) / Det;
  if (!std::isfinite(Sx) || !std::isfinite(Sy)) return false;
  x = Sx;
  y = Sy;
  return true;
}

double TSLine::AngleBetweenLines(const TSLine& OtherLine) const {
  const TCoeffs L1 = Normalized(FParA, FParB, FParC);
  const TCoeffs L2 = Normalized(OtherLine.FParA, OtherLine.FParB, OtherLine.FParC);
  const double Dot = L1.A * L2.A + L1.B * L2.B;
  const double Cross = L1.A * L2.B - L1.B * L2.A;
  // |atan(Cross/Dot)|, and pi/2 for Dot = 0, without forming the quotient.
  return std::atan2(std::fabs(Cross), std::fabs(Dot));
}

double TSLine::Distance(double px, double py) const {
  const TCoeffs L = Normalized(FParA, FParB, FParC);
  return (L.A * px + L.B * py + L.C) / std::hypot(L.A, L.B);
}

double TSLine::CalcX(double y) const {
  double Divisor = FParA;
  if (Divisor == 0.0) {
    if (!FSubstInf) RaiseComponentError<ENUXSLineError>(*this, "cannot calculate x");
    Divisor = kSubstDivisor;
  }
  return (-y * FParB - FParC) / Divisor;
}

double TSLine::CalcY(double x) const {
  double Divisor = FParB;
  if (Divisor == 0.0) {
    if (!FSubstInf) RaiseComponentError<ENUXSLineError>(*this, "cannot calculate y");
    Divisor = kSubstDivisor;
  }
  return (-x * FParA - FParC) / Divisor;
}

void TSLine::CalcKDForm(double& k, double& d) const {
  if (FParB == 0.0)
    RaiseComponentError<ENUXSLineError>(*this, "cannot convert to k-d-form if ParB is zero");
  k = -FParA / FParB;
  d = -FParC / FParB;
}

bool TSLine::ClipBox(double bllx, double blly, double burx, double bury, double& x1, double& y1,
                     double& x2, double& y2) const {
  if (std::isnan(bllx) || std::isnan(blly) || std::isnan(burx) || std::isnan(bury)) {
    x1 = y1 = x2 = y2 = std::numeric_limits<double>::quiet_NaN();
    return false;
  }
  const double XLo = std::min(bllx, burx);
  const double XHi = std::max(bllx, burx);
  const double YLo = std::min(blly, bury);
  const double YHi = std::max(blly, bury);
  double Xs[4];
  double Ys[4];
  int N = 0;
  // A line parallel to a side meets it only by lying on it; that case is found at the two
  // perpendicular sides, so parallel sides are skipped rather than divided by a stand-in.
  if (FParB != 0.0) {
    for (const double Sx : {bllx, burx}) {
      const double Cy = (-Sx * FParA - FParC) / FParB;
      if (Cy >= YLo && Cy <= YHi) {
        Xs[N] = Sx;
        Ys[N] = Cy;
        ++N;
      }
    }
  }
  if (FParA != 0.0) {
    for (const double Sy : {blly, bury}) {
      const double Cx = (-Sy * FParB - FParC) / FParA;
      if (Cx >= XLo && Cx <= XHi) {
        Xs[N] = Cx;
        Ys[N] = Sy;
        ++N;
      }
    }
  }
  if (N == 0) {
    x1 = y1 = x2 = y2 = std::numeric_limits<double>::quiet_NaN();
    return false;
  }
  // A line through a corner is found on both sides meeting there; the farthest pair is the
  // chord, so the corner's twin does not hide the second crossing.
  int Best1 = 0;
  int Best2 = 0;
  double BestDist = -1.0;
  for (int i = 0; i < N; ++i) {
    for (int j = i + 1; j < N; ++j) {
      const double D = std::hypot(Xs[i] - Xs[j], Ys[i] - Ys[j]);
      if (D > BestDist) {
        BestDist = D;
        Best1 = i;
        Best2 = j;
      }
    }
  }
  x1 = Xs[Best1];
  y1 = Ys[Best1];
  x2 = Xs[Best2];
  y2 = Ys[Best2];
  return true;
}

}  // namespace nux
