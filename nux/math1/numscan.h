// Scanners and validators for numeric text.
//
// Positions are 1-based like the text positions of the rest of the library: Pos = 1 is the
// first byte. A scanner starts at Pos (below 1 counts as 1), skips blanks (space, tab), reads
// what it can and on success sets Pos to the first byte after what it read (at most
// length + 1). On failure Pos is left exactly as it was and the result is 0 for the integer
// scanners and NaN for the floating-point ones. Nothing is read outside the text.
#pragma once

#include <cstdint>
#include <string_view>

#include "nux/frame/types.h"

namespace nux {

// Unsigned digit strings: an optional prefix ("$" or "0x" for hexadecimal, "&" or "0o" for
// octal, "%" or "0b" for binary; letter case free) and at least one digit. The value must fit
// in 32 bits (leading zeros are free), otherwise the scan fails.
uint32_t ScanHex(std::string_view Text, int32_t& Pos);
// Octal digits with an optional "&" or "0o" prefix; the value must fit in 32 bits.
uint32_t ScanOctal(std::string_view Text, int32_t& Pos);
// Binary digits with an optional "%" or "0b" prefix; the value must fit in 32 bits.
uint32_t ScanBin(std::string_view Text, int32_t& Pos);
// Optional sign and decimal digits, within the 32-bit signed range.
int32_t ScanDecimal(std::string_view Text, int32_t& Pos);

// Fixed or exponential number: [sign] digits [sep [digits]] | [sign] sep digits, then an
// optional exponent "e"/"E" [sign] digits (read only when a digit follows). The separator is
// "." or, with DecPComma, ",". With Width > 0 the scanner reads the field of Width bytes from
// Pos, which must hold one number and blanks only, and Pos moves past the field. A value
// beyond the double range fails; one below it reads as 0 or a subnormal.
double ScanFPNum(std::string_view Text, bool DecPComma, int32_t Width, int32_t& Pos);

// Result codes of ScanDegrees.
constexpr int32_t sdOk = 0;
// No number where the angle should start.
constexpr int32_t sdNoNumber = -1;
// The degree sign is missing although NeedDegSign is true.
constexpr int32_t sdNoDegSign = -2;
// Minutes of 60 or more, or following fractional degrees.
constexpr int32_t sdBadMinutes = -3;
// Seconds of 60 or more, or following fractional minutes.
constexpr int32_t sdBadSeconds = -4;

// Angle in decimal degrees from [sign] deg ["°" [min "'" [sec "\""]]] (also the marks U+2032
// and U+2033, or "''" for seconds); blanks may separate the parts. Minutes and seconds lie in
// [0, 60), and only a whole previous part may be followed by a finer one. A bare number is
// read as degrees unless NeedDegSign is true. ResultCode is sdOk or one of the codes above.
double ScanDegrees(std::string_view Text, int32_t& Pos, bool NeedDegSign, int32_t& ResultCode);

// Date and time after Format (letters d m y h n s z, see docs/number-text.md), month names in
// Language. Result: days since 1899-12-30 plus the time of day as a fraction (linear, also
// before that day); NaN on failure.
double ScanDateTime(std::string_view Text, std::string_view Format, TLanguage Language,
                    int32_t& Pos);

// Whole-text checks; leading and trailing blanks are allowed. A number is valid when
// ScanFPNum's syntax matches the whole text with the separator DecPSep chooses (dpsBoth: point
// or comma, dpsSystem: the C locale's decimal point) and the value is finite. IsValidDouble
// with AllowSpecial also accepts "NaN", "Inf" and "Infinity" (signed, any case).
bool IsValidDouble(std::string_view Text, bool AllowSpecial, TDecPSep DecPSep);
// As IsValidDouble without the special values.
bool IsValidFPNum(std::string_view Text, TDecPSep DecPSep);
// The whole text (blanks aside) is what the matching scanner reads.
bool IsValidHex(std::string_view Text);
// The whole text (blanks aside) is what ScanOctal reads.
bool IsValidOct(std::string_view Text);
// The whole text (blanks aside) is what ScanBin reads.
bool IsValidBin(std::string_view Text);
// The whole text (blanks aside) is what ScanDecimal reads.
bool IsValidDecInt(std::string_view Text);

}  // namespace nux
