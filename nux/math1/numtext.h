// Numbers as text: digit strings, bit patterns, table layouts, engineering notation, angles,
// Roman numerals, and (numscan.h) the scanners that read numeric text back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "nux/frame/types.h"
#include "nux/math1/numscan.h"

namespace nux {

// Digit strings of exactly Digits characters. Value is taken as unsigned 32-bit (the low 32
// bits of the argument); high digits beyond Digits are cut off, missing ones are leading zeros.
std::string Hex(int64_t Value, int32_t Digits);    // Digits clipped to 1..16, upper case
std::string Octal(int64_t Value, int32_t Digits);  // Digits clipped to 1..11
std::string Bin(int64_t Value, int32_t Digits);    // Digits clipped to 1..32
// max(Digits, 1) decimal digits of |Value| (at most 1000), preceded by "-" when Value < 0.
std::string Decimal(int64_t Value, int32_t Digits);

// IEEE-754 bit pattern as upper-case hexadecimal, most significant byte first.
std::string FPNumToHex(double x);
std::string FPNumToHex(float x);
// Inverse of FPNumToHex. With MSBFirst false the first two digits are the least significant
// byte. The text must be exactly 16 (8) hexadecimal digits of either case, else ENUXError.
double HexToDouble(std::string_view s);
double HexToDouble(std::string_view s, bool MSBFirst);
// Single-precision inverse of FPNumToHex, MSBFirst as above; exactly 8 hexadecimal digits.
float HexToSingle(std::string_view s);
float HexToSingle(std::string_view s, bool MSBFirst);

// x right-aligned in Width characters: fixed with Decimals >= 0; Decimals = -2 gives the
// compact exponential form (two exponent digits, "*" when the exponent needs more); any other
// negative Decimals gives the full exponential form (see docs/number-text.md).
std::string strf(double x, int32_t Width, int32_t Decimals);
// x as sign position, "0.", Decimals + 1 mantissa digits, exponent sign and a two-digit
// exponent (more digits when needed), left-padded to Width. Decimals 2..15, Width 8..40.
std::string MakeEFormat(double x, int32_t Width, int32_t Decimals);
// Engineering notation with a unit prefix ("4.7k"); negative Digits put the prefix in place of
// the decimal point ("4k7"). Digits clipped to -9..9.
std::string EEngStr(double x, int32_t Digits);

// Angles. Formats: dfDecDeg, dfDegDecMin, dfDegMinSec, dfPlain. Decimals clipped to 0..8.
std::string DegreeToStr(double Value, TDegreeFormat Format, int32_t Decimals);
// Converts between the first three formats in place; Min or Sec outside 0..60 raise
// ENUXMath1Error. The sign of an angle is carried by Deg (also as -0.0).
void ConvertDegrees(double& Deg, double& Min, double& Sec, TDegreeFormat FromFormat,
                    TDegreeFormat ToFormat);
// Rounds an angle to a round scale step (1, 2, 3, 5, 10, 15, 20, 30, 60, 90, 180, 360 degrees,
// or the first nine as minutes or seconds for angles below one degree or minute).
void RoundDegrees(int32_t& Deg, int32_t& Min, int32_t& Sec, bool RoundUp);

// Roman numeral for 1..29999, the empty string otherwise.
std::string Roman(int32_t n);

// Strict integer conversion: optional sign and decimal digits, or "$" / "0x" and up to eight
// hexadecimal digits (the 32-bit pattern). Nothing else, no blanks; Default when it fails or
// the value leaves the 32-bit range.
int32_t StrToIntDefault(std::string_view s, int32_t Default);

}  // namespace nux
