#include "nux/math1/numtext.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "nux/frame/errors.h"
#include "nux/frame/rounding.h"
#include "nux/frame/stringl.h"

namespace nux {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int32_t kMaxWidth = 1000;

std::string PadLeft(std::string Text, int32_t Width) {
  if (Width > 0 && Text.size() < static_cast<size_t>(Width))
    Text.insert(0, static_cast<size_t>(Width) - Text.size(), ' ');
  return Text;
}

std::string NonFiniteText(double x) {
  if (std::isnan(x)) return "NaN";
  return x > 0 ? "Inf" : "-Inf";
}

// Digits of Value (low 32 bits), BitsPerDigit at a time from the right.
std::string DigitString(int64_t Value, int32_t Digits, int32_t MaxDigits, int BitsPerDigit) {
  Digits = std::clamp(Digits, 1, MaxDigits);
  // 64 bits wide so that shifting past the 32 value bits is defined and yields zeros.
  uint64_t V = static_cast<uint32_t>(Value);
  const uint64_t Mask = (uint64_t{1} << BitsPerDigit) - 1;
  std::string Out(static_cast<size_t>(Digits), '0');
  for (int32_t I = Digits - 1; I >= 0; --I) {
    Out[static_cast<size_t>(I)] = kHexDigits[V & Mask];
    V >>= BitsPerDigit;
  }
  return Out;
}

// Fixed notation without the decimal cap of strff; finite values only. to_chars keeps the
// point a point whatever the C locale says.
std::string FixedText(double x, int32_t Decimals) {
  // 309 integer digits, a sign, a point and the decimals.
  std::array<char, 1024> Buffer{};
  Decimals = std::clamp(Decimals, 0, 700);
  const auto R = std::to_chars(Buffer.data(), Buffer.data() + Buffer.size(), x,
                               std::chars_format::fixed, Decimals);
  return std::string(Buffer.data(), R.ptr);
}

struct TExpParts {
  std::string Mantissa;  // "d.ddd" of |x|, rounded
  int32_t Exponent = 0;
};

// |x| rounded to 1 + Decimals significant digits; finite x only.
TExpParts ExpParts(double x, int32_t Decimals) {
  std::array<char, 128> Buffer{};
  const auto R = std::to_chars(Buffer.data(), Buffer.data() + Buffer.size(), std::fabs(x),
                               std::chars_format::scientific, std::clamp(Decimals, 0, 60));
  const std::string_view Text(Buffer.data(), static_cast<size_t>(R.ptr - Buffer.data()));
  const size_t E = Text.find('e');
  TExpParts Parts;
  Parts.Mantissa = std::string(Text.substr(0, E));
  Parts.Exponent = static_cast<int32_t>(std::strtol(Text.data() + E + 1, nullptr, 10));
  return Parts;
}

// The library's exponential layout: sign position, one digit, ".", Decimals digits, "E",
// exponent sign, four exponent digits (enough for every double).
std::string ExpText(double x, int32_t Decimals) {
  const TExpParts Parts = ExpParts(x, Decimals);
  char Exp[16];
  std::snprintf(Exp, sizeof(Exp), "E%c%04d", Parts.Exponent < 0 ? '-' : '+',
                std::abs(Parts.Exponent));
  return (x < 0 ? "-" : " ") + Parts.Mantissa + Exp;
}

// Digits after the point that fit Width characters of ExpText (at least one).
int32_t ExpDecimals(int32_t Width) { return std::clamp(Width - 9, 1, 40); }

// Largest integer not above lg |x|, exact also at powers of ten: taken from the decimal
// exponent of |x| rounded to 1 + Decimals significant digits, so that a value rounding up to
// the next decade counts in that decade.
int32_t RoundedDecade(double x, int32_t Decimals) { return ExpParts(x, Decimals).Exponent; }

// Floor division by a positive divisor.
int32_t FloorDiv(int32_t a, int32_t b) { return a / b - ((a % b != 0) && (a < 0) ? 1 : 0); }

// A value within 3e-12 of a whole number counts as that number.
double Snap(double x) {
  const double R = std::round(x);
  return std::fabs(x - R) < 3e-12 ? R : x;
}

// Value rounded to Decimals places of Scale units, back in degrees; Value where the scaling
// leaves the double range.
double RoundScaled(double Value, double Scale, int32_t Decimals) {
  const double P = std::pow(10.0, Decimals);
  const double R = RoundEven(Value * Scale * P) / P / Scale;
  return std::isfinite(R) ? Snap(R) : Value;
}

// Whole degrees with their sign, "-0" for a negative angle below one degree.
std::string WholeDegrees(double v) {
  const double W = std::trunc(v);
  if (W == 0 && v < 0) return "-0";
  return FixedText(W == 0 ? 0.0 : W, 0);
}

bool IsHexChar(char C) {
  return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F');
}

int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return C - 'A' + 10;
}

// Bit pattern of NBytes bytes from hexadecimal text, or raises with Routine's message.
uint64_t HexPattern(std::string_view s, size_t NBytes, bool MSBFirst, const char* Routine) {
  const bool Valid = s.size() == 2 * NBytes && std::all_of(s.begin(), s.end(), IsHexChar);
  if (!Valid)
    throw ENUXError(
        QuotedArgMessage(std::string(Routine) + ": invalid hex string ", std::string(s)));
  uint64_t Bits = 0;
  for (size_t I = 0; I < NBytes; ++I) {
    const auto Byte = static_cast<uint64_t>(HexValue(s[2 * I]) * 16 + HexValue(s[2 * I + 1]));
    const size_t Shift = MSBFirst ? 8 * (NBytes - 1 - I) : 8 * I;
    Bits |= Byte << Shift;
  }
  return Bits;
}

}  // namespace

std::string Hex(int64_t Value, int32_t Digits) { return DigitString(Value, Digits, 16, 4); }
std::string Octal(int64_t Value, int32_t Digits) { return DigitString(Value, Digits, 11, 3); }
std::string Bin(int64_t Value, int32_t Digits) { return DigitString(Value, Digits, 32, 1); }

std::string Decimal(int64_t Value, int32_t Digits) {
  Digits = std::clamp(Digits, 1, kMaxWidth);
  // Magnitude in unsigned arithmetic: |INT64_MIN| does not fit the signed type.
  uint64_t V =
      Value < 0 ? uint64_t{0} - static_cast<uint64_t>(Value) : static_cast<uint64_t>(Value);
  std::string Out(static_cast<size_t>(Digits), '0');
  for (int32_t I = Digits - 1; I >= 0 && V != 0; --I) {
    Out[static_cast<size_t>(I)] = static_cast<char>('0' + V % 10);
    V /= 10;
  }
  return Value < 0 ? "-" + Out : Out;
}

std::string FPNumToHex(double x) {
  uint64_t Bits = 0;
  std::memcpy(&Bits, &x, sizeof(Bits));
  return Hex(static_cast<int64_t>(Bits >> 32), 8) + Hex(static_cast<int64_t>(Bits), 8);
}

std::string FPNumToHex(float x) {
  uint32_t Bits = 0;
  std::memcpy(&Bits, &x, sizeof(Bits));
  return Hex(Bits, 8);
}

double HexToDouble(std::string_view s) { return HexToDouble(s, true); }

double HexToDouble(std::string_view s, bool MSBFirst) {
  const uint64_t Bits = HexPattern(s, 8, MSBFirst, "HexToDouble");
  double x = 0;
  std::memcpy(&x, &Bits, sizeof(x));
  return x;
}

float HexToSingle(std::string_view s) { return HexToSingle(s, true); }

float HexToSingle(std::string_view s, bool MSBFirst) {
  const auto Bits = static_cast<uint32_t>(HexPattern(s, 4, MSBFirst, "HexToSingle"));
  float x = 0;
  std::memcpy(&x, &Bits, sizeof(x));
  return x;
}

std::string strf(double x, int32_t Width, int32_t Decimals) {
  Width = std::clamp(Width, 0, kMaxWidth);
  if (Decimals >= 0) return strff(x, Width, Decimals);
  if (!std::isfinite(x)) return PadLeft(NonFiniteText(x), Width);
  if (Decimals != -2) return PadLeft(ExpText(x, ExpDecimals(Width)), Width);
  // Compact form: laid out in two more characters, then the exponent loses two digits.
  std::string Text = PadLeft(ExpText(x, ExpDecimals(Width + 2)), Width + 2);
  const size_t E = Text.rfind('E');
  if (E != std::string::npos && Text.size() == E + 6) {
    const bool Fits = Text[E + 2] == '0' && Text[E + 3] == '0';
    Text.erase(E + 2, 2);
    if (!Fits) Text.assign(Text.size(), '*');
  }
  return Text;
}

std::string MakeEFormat(double x, int32_t Width, int32_t Decimals) {
  Decimals = std::clamp(Decimals, 2, 15);
  Width = std::clamp(Width, 8, 40);
  if (!std::isfinite(x)) return PadLeft(NonFiniteText(x), Width);
  const TExpParts Parts = ExpParts(x, Decimals);
  const std::string Digits = Parts.Mantissa.substr(0, 1) + Parts.Mantissa.substr(2);
  const int32_t Exponent = x != 0 ? Parts.Exponent + 1 : 0;
  char Exp[16];
  std::snprintf(Exp, sizeof(Exp), "%c%02d", Exponent < 0 ? '-' : '+', std::abs(Exponent));
  return PadLeft((x < 0 ? "-0." : " 0.") + Digits + Exp, Width);
}

std::string EEngStr(double x, int32_t Digits) {
  static constexpr std::array<const char*, 11> kPrefix = {"a", "f", "p", "n", "u", "m",
                                                          "",  "k", "M", "G", "T"};
  Digits = std::clamp(Digits, -9, 9);
  const int32_t c = Digits >= 2 ? Digits - 1 : (Digits <= -2 ? Digits + 1 : 0);
  const int32_t Sig = std::abs(c);
  if (!std::isfinite(x)) return NonFiniteText(x);
  if (x == 0) return strff(0.0, 1, Sig);
  const double v = std::fabs(x);
  const int32_t d = RoundedDecade(v, Sig);
  const int32_t e = std::clamp(FloorDiv(d, 3), -6, 4);
  const int32_t Decimals = std::max(0, Sig + 3 * e - d);
  // The power is exact for e >= 0 and correctly rounded otherwise.
  std::string Text = FixedText(v / std::pow(10.0, 3 * e), Decimals);
  if (e != 0) {
    // Prefix letters are ASCII; "u" stands for micro.
    const std::string Prefix = kPrefix[static_cast<size_t>(e + 6)];
    const size_t Point = Text.find('.');
    if (Digits < 0 && Point != std::string::npos)
      Text.replace(Point, 1, Prefix);
    else
      Text += Prefix;
  }
  return x < 0 ? "-" + Text : Text;
}

std::string DegreeToStr(double Value, TDegreeFormat Format, int32_t Decimals) {
  Decimals = std::clamp(Decimals, 0, 8);
  const bool Plain = Format != dfDecDeg && Format != dfDegDecMin && Format != dfDegMinSec;
  if (!std::isfinite(Value)) return Plain ? NonFiniteText(Value) : NonFiniteText(Value) + "°";
  if (Plain) return strff(Value, 1, Decimals);
  if (Format == dfDecDeg) return strff(Value, 1, Decimals) + "°";
  if (Format == dfDegDecMin) {
    const double v = RoundScaled(Value, 60, Decimals);
    const double Min = (std::fabs(v) - std::trunc(std::fabs(v))) * 60;
    return WholeDegrees(v) + "° " + strff(Min, Decimals + 3, Decimals) + "'";
  }
  const double v = RoundScaled(Value, 3600, Decimals);
  const double f = Snap((std::fabs(v) - std::trunc(std::fabs(v))) * 60);
  const double Sec = (f - std::trunc(f)) * 60;
  return WholeDegrees(v) + "° " + strff(std::trunc(f), 2, 0) + "' " +
         strff(Sec, Decimals + 3, Decimals) + "\"";
}

void ConvertDegrees(double& Deg, double& Min, double& Sec, TDegreeFormat FromFormat,
                    TDegreeFormat ToFormat) {
  if (!(Min >= 0 && Min <= 60)) throw ENUXMath1Error("ConvertDegrees: invalid range of minutes");
  if (!(Sec >= 0 && Sec <= 60)) throw ENUXMath1Error("ConvertDegrees: invalid range of seconds");
  // Plain numbers and unknown ordinals are decimal degrees.
  const auto Normal = [](TDegreeFormat F) {
    return F == dfDegDecMin || F == dfDegMinSec ? F : dfDecDeg;
  };
  FromFormat = Normal(FromFormat);
  ToFormat = Normal(ToFormat);
  // Minutes and seconds are magnitudes; the angle's sign sits on Deg (-0.0 for -0° 30').
  const double Sign = std::signbit(Deg) ? -1.0 : 1.0;
  if (ToFormat == dfDecDeg) {
    if (FromFormat == dfDegDecMin) Deg = std::trunc(Deg) + Sign * Min / 60;
    if (FromFormat == dfDegMinSec)
      Deg = std::trunc(Deg) + Sign * (std::trunc(Min) / 60 + Sec / 3600);
    Min = 0;
    Sec = 0;
  } else if (ToFormat == dfDegDecMin) {
    if (FromFormat == dfDecDeg) {
      Min = (std::fabs(Deg) - std::trunc(std::fabs(Deg))) * 60;
      Deg = std::trunc(Deg);
    }
    if (FromFormat == dfDegMinSec) Min = Min + Sec / 60;
    Sec = 0;
  } else {
    if (FromFormat == dfDecDeg) {
      const double m = (std::fabs(Deg) - std::trunc(std::fabs(Deg))) * 60;
      Deg = std::trunc(Deg);
      Min = std::trunc(m);
      Sec = (m - std::trunc(m)) * 60;
    }
    if (FromFormat == dfDegDecMin) {
      Sec = (std::fabs(Min) - std::trunc(std::fabs(Min))) * 60;
      Min = std::trunc(Min);
    }
  }
}

void RoundDegrees(int32_t& Deg, int32_t& Min, int32_t& Sec, bool RoundUp) {
  static constexpr std::array<int32_t, 12> kSteps = {1, 2, 3, 5, 10, 15, 20, 30, 60, 90, 180, 360};
  if (Deg < 0 || Min < 0 || Sec < 0) {
    Deg = Min = Sec = 0;
    return;
  }
  Min = std::min(Min, 59);
  Sec = std::min(Sec, 59);
  // x in the unit of the search: degrees, minutes or seconds.
  const auto Pick = [&](double x, size_t Count, int32_t Fallback) {
    if (RoundUp) {
      for (size_t I = 0; I < Count; ++I)
        if (kSteps[I] >= x) return kSteps[I];
      return Fallback;
    }
    int32_t Best = kSteps[0];
    for (size_t I = 0; I < Count; ++I)
      if (kSteps[I] <= x) Best = kSteps[I];
    return Best;
  };
  if (Deg >= 1) {
    const double x = Deg + Min / 60.0 + Sec / 3600.0;
    Deg = Pick(x, kSteps.size(), 360);
    Min = Sec = 0;
  } else if (Min >= 1) {
    const int32_t m = Pick(Min + Sec / 60.0, 9, 60);
    Sec = 0;
    if (m == 60) {
      Deg = 1;
      Min = 0;
    } else {
      Min = m;
    }
  } else if (Sec >= 1) {
    const int32_t s = Pick(Sec, 9, 60);
    if (s == 60) {
      Min = 1;
      Sec = 0;
    } else {
      Sec = s;
    }
  }
}

std::string Roman(int32_t n) {
  static constexpr std::array<std::pair<int32_t, const char*>, 13> kPairs = {{{1000, "M"},
                                                                              {900, "CM"},
                                                                              {500, "D"},
                                                                              {400, "CD"},
                                                                              {100, "C"},
                                                                              {90, "XC"},
                                                                              {50, "L"},
                                                                              {40, "XL"},
                                                                              {10, "X"},
                                                                              {9, "IX"},
                                                                              {5, "V"},
                                                                              {4, "IV"},
                                                                              {1, "I"}}};
  std::string Out;
  if (n < 1 || n > 29999) return Out;
  for (const auto& [Value, Letters] : kPairs)
    while (n >= Value) {
      Out += Letters;
      n -= Value;
    }
  return Out;
}

int32_t StrToIntDefault(std::string_view s, int32_t Default) {
  if (s.empty()) return Default;
  size_t I = 0;
  bool HexForm = false;
  if (s[0] == '$') {
    HexForm = true;
    I = 1;
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    HexForm = true;
    I = 2;
  }
  if (HexForm) {
    if (I == s.size()) return Default;
    uint64_t V = 0;
    for (; I < s.size(); ++I) {
      if (!IsHexChar(s[I])) return Default;
      V = V * 16 + static_cast<uint64_t>(HexValue(s[I]));
      if (V > 0xFFFFFFFFU) return Default;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(V));
  }
  const bool Negative = s[0] == '-';
  if (s[0] == '-' || s[0] == '+') I = 1;
  if (I == s.size()) return Default;
  // Accumulate the magnitude; the negative side reaches one further than the positive.
  const int64_t Limit = Negative ? int64_t{2147483648} : int64_t{2147483647};
  int64_t V = 0;
  for (; I < s.size(); ++I) {
    if (s[I] < '0' || s[I] > '9') return Default;
    V = V * 10 + (s[I] - '0');
    if (V > Limit) return Default;
  }
  return static_cast<int32_t>(Negative ? -V : V);
}

}  // namespace nux
