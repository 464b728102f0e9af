// Polynomials and interpolation in tables.
#include <algorithm>
#include <cmath>

#include "nux/math1/scalar.h"

namespace nux {

namespace {

double PowerSum(std::span<const double> Coeffs, int32_t Order, double x, const char* Msg) {
  if (Order < 0 || static_cast<size_t>(Order) >= Coeffs.size()) throw ENUXMath1Error(Msg);
  double Sum = 0.0;
  double Power = 1.0;
  for (int32_t k = 0; k <= Order; ++k) {
    Sum += Coeffs[static_cast<size_t>(k)] * Power;
    Power *= x;
  }
  return Sum;
}

// a + f * (b - a), with a flat segment staying flat even for an infinite f.
double Lerp(double a, double b, double f) {
  const double D = b - a;
  return D == 0.0 ? a : a + f * D;
}

template <class T>
double InterpolEquidistant(double x, double XLow, double XHigh, std::span<const T> Table) {
  const size_t N = Table.size();
  if (N < 2) throw ENUXMath1Error("InterpolTable: pivot array must contain at least 2 values");
  if (XLow == XHigh) throw ENUXMath1Error("InterpolTable: specified range of pivot array is zero");
  if (x == XLow) return static_cast<double>(Table[0]);
  if (x == XHigh) return static_cast<double>(Table[N - 1]);
  // Position in units of table steps; NaN stays NaN.
  const double Pos = (x - XLow) / (XHigh - XLow) * static_cast<double>(N - 1);
  if (std::isnan(Pos)) return Pos;
  // Segment index clamped before conversion, so outside values extend the end segments.
  const double Fl = std::floor(Pos);
  size_t Ix = 0;
  if (Fl >= static_cast<double>(N - 2))
    Ix = N - 2;
  else if (Fl > 0.0)
    Ix = static_cast<size_t>(Fl);
  return Lerp(static_cast<double>(Table[Ix]), static_cast<double>(Table[Ix + 1]),
              Pos - static_cast<double>(Ix));
}

}  // namespace

double Polynomial(std::span<const double> Coeffs, int32_t Order, double x) {
  return PowerSum(Coeffs, Order, x, "Polynomial: invalid order of polynomial");
}

double CenteredPolynomial(std::span<const double> Coeffs, int32_t Order, double x, double Center) {
  return PowerSum(Coeffs, Order, x - Center, "Polynomial: invalid order of polynomial");
}

double InterpolTable(double x, double XLow, double XHigh, std::span<const double> Table) {
  return InterpolEquidistant(x, XLow, XHigh, Table);
}

double InterpolTable(double x, double XLow, double XHigh, std::span<const int32_t> Table) {
  return InterpolEquidistant(x, XLow, XHigh, Table);
}

double InterpolXYTable(double x, const TDouble2DArray& Table, bool Extrapolate) {
  if (Table.size() != 2)
    throw ENUXMath1Error("InterpolXYTable: pivot array must contain 2 columns");
  const TDoubleArray& X = Table[0];
  const TDoubleArray& Y = Table[1];
  // A ragged table is read as far as both columns reach.
  const size_t N = std::min(X.size(), Y.size());
  if (N < 2) throw ENUXMath1Error("InterpolXYTable: pivot array must contain at least 2 rows");
  if (std::isnan(x)) return x;
  auto Segment = [&](size_t i) {
    if (x == X[i]) return Y[i];
    if (x == X[i + 1]) return Y[i + 1];
    const double Dx = X[i + 1] - X[i];
    // Two rows with the same x: no slope, take the first.
    if (Dx == 0.0) return Y[i];
    return Lerp(Y[i], Y[i + 1], (x - X[i]) / Dx);
  };
  const bool Ascending = X[N - 1] >= X[0];
  auto Before = [&](double a, double b) { return Ascending ? a < b : a > b; };
  if (Before(x, X[0])) return Extrapolate ? Segment(0) : 0.0;
  if (Before(X[N - 1], x)) return Extrapolate ? Segment(N - 2) : 0.0;
  // Binary search for the last row not beyond x: X[Lo] <= x <= X[Hi] in the table's order.
  size_t Lo = 0;
  size_t Hi = N - 1;
  while (Hi - Lo > 1) {
    const size_t Mid = Lo + (Hi - Lo) / 2;
    if (Before(x, X[Mid]))
      Hi = Mid;
    else
      Lo = Mid;
  }
  return Segment(Lo);
}

double InterpolZofXYRect(double z1, double z2, double z3, double z4, double fx, double fy) {
  const double A = z1 + fx * (z3 - z1);
  const double B = z2 + fx * (z4 - z2);
  return A + fy * (B - A);
}

}  // namespace nux
