#include "nux/complex/cpxarith.h"

#include <algorithm>
#include <cmath>

namespace nux {

double CpxNearZero = 1e-15;

namespace {

bool IsFinite(const TComplex& a) { return std::isfinite(a.re) && std::isfinite(a.im); }

// Smith's division: divides by the larger part of b first, so no square of b is formed.
TComplex SmithDiv(const TComplex& a, const TComplex& b) {
  if (std::fabs(b.re) >= std::fabs(b.im)) {
    const double r = b.im / b.re;
    const double den = b.re + b.im * r;
    return {(a.re + a.im * r) / den, (a.im - a.re * r) / den};
  }
  const double r = b.re / b.im;
  const double den = b.im + b.re * r;
  return {(a.re * r + a.im) / den, (a.im * r - a.re) / den};
}

// Binary exponent of the larger part (0 for zero), used to scale by an exact power of two.
int ScaleExponent(const TComplex& a) {
  const double m = std::max(std::fabs(a.re), std::fabs(a.im));
  return m > 0.0 ? std::ilogb(m) : 0;
}

}  // namespace

TComplex Cpx(double re, double im) { return {re, im}; }

double CpxAbs(const TComplex& a) { return std::hypot(a.re, a.im); }

double CpxAbsSqr(const TComplex& a) { return a.re * a.re + a.im * a.im; }

TComplex CpxAdd(const TComplex& a, const TComplex& b) { return {a.re + b.re, a.im + b.im}; }

TComplex CpxSub(const TComplex& a, const TComplex& b) { return {a.re - b.re, a.im - b.im}; }

TComplex CpxNeg(const TComplex& a) { return {-a.re, -a.im}; }

TComplex CpxConj(const TComplex& a) { return {a.re, -a.im}; }

TComplex CpxMult(const TComplex& a, const TComplex& b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

TComplex CpxDiv(const TComplex& a, const TComplex& b) {
  if (b.re == 0.0 && b.im == 0.0) throw ENUXComplexError("CpxDiv: division by zero");
  if (!IsFinite(a) || !IsFinite(b)) return SmithDiv(a, b);
  // Bring both operands near 1 by powers of two (exact), so no intermediate can overflow or
  // flush to zero; only the final rescaling may leave the range.
  const int ea = ScaleExponent(a);
  const int eb = ScaleExponent(b);
  const TComplex as{std::ldexp(a.re, -ea), std::ldexp(a.im, -ea)};
  const TComplex bs{std::ldexp(b.re, -eb), std::ldexp(b.im, -eb)};
  const TComplex qs = SmithDiv(as, bs);
  const TComplex q{std::ldexp(qs.re, ea - eb), std::ldexp(qs.im, ea - eb)};
  if (!IsFinite(q)) throw ENUXComplexError("CpxDiv: division by zero");
  return q;
}

bool CpxIsEqual(const TComplex& a, const TComplex& b) { return a.re == b.re && a.im == b.im; }

bool CpxIsNearEqual(const TComplex& a, const TComplex& b) {
  return std::fabs(a.re - b.re) < CpxNearZero && std::fabs(a.im - b.im) < CpxNearZero;
}

bool CpxIsZero(const TComplex& a) {
  const double re = std::fabs(a.re) < CpxNearZero ? 0.0 : a.re;
  const double im = std::fabs(a.im) < CpxNearZero ? 0.0 : a.im;
  return re == 0.0 && im == 0.0;
}

TComplexPolar ConvertRectToPolar(const TComplex& a) { return {CpxAbs(a), std::atan2(a.im, a.re)}; }

TComplex ConvertPolarToRect(const TComplexPolar& p) {
  return {p.r * std::cos(p.phi), p.r * std::sin(p.phi)};
}

}  // namespace nux
