// Complex numbers: value records, arithmetic, comparisons with a tolerance and polar form.
#pragma once

#include "nux/frame/errors.h"

namespace nux {

// A complex number in rectangular form.
struct TComplex {
  // Real part.
  double re;
  // Imaginary part.
  double im;
};

// A complex number in polar form.
struct TComplexPolar {
  double r;    // modulus
  double phi;  // argument in radians
};

// Zero.
inline constexpr TComplex COMPLEX_0{0.0, 0.0};
// One.
inline constexpr TComplex COMPLEX_1{1.0, 0.0};

// Tolerance of CpxIsZero and CpxIsNearEqual (process-wide, writable; starts at 1e-15).
extern double CpxNearZero;

// The complex number re + i im.
TComplex Cpx(double re, double im);
// Modulus without overflow or underflow of the squares.
double CpxAbs(const TComplex& a);
// Squared modulus re^2 + im^2 (may overflow where CpxAbs does not).
double CpxAbsSqr(const TComplex& a);
// a + b.
TComplex CpxAdd(const TComplex& a, const TComplex& b);
// a - b.
TComplex CpxSub(const TComplex& a, const TComplex& b);
// -a.
TComplex CpxNeg(const TComplex& a);
// The conjugate of a.
TComplex CpxConj(const TComplex& a);
// a * b.
TComplex CpxMult(const TComplex& a, const TComplex& b);
// a / b. Raises ENUXComplexError "CpxDiv: division by zero" when b is exactly 0 or when the
// quotient of finite operands is too large to represent; NaN and infinite operands propagate.
TComplex CpxDiv(const TComplex& a, const TComplex& b);
// Both parts exactly equal.
bool CpxIsEqual(const TComplex& a, const TComplex& b);
// Both parts differ by less than CpxNearZero.
bool CpxIsNearEqual(const TComplex& a, const TComplex& b);
// Both parts are smaller in magnitude than CpxNearZero.
bool CpxIsZero(const TComplex& a);
// Modulus and argument in -pi..pi (atan2).
TComplexPolar ConvertRectToPolar(const TComplex& a);
// r cos phi + i r sin phi.
TComplex ConvertPolarToRect(const TComplexPolar& p);

}  // namespace nux
