#include "nux/math1/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "nux/frame/errors.h"

namespace nux {
namespace {

TEST(NumTextDigits, FixedWidthStrings) {
  EXPECT_EQ(Hex(255, 4), "00FF");
  EXPECT_EQ(Hex(-1, 8), "FFFFFFFF");
  EXPECT_EQ(Hex(4660, 2), "34");
  EXPECT_EQ(Hex(4660, 0), "4");
  // Only 32 value bits: the high half of a 16-digit field is zeros.
  EXPECT_EQ(Hex(-1, 99), "00000000FFFFFFFF");
  EXPECT_EQ(Hex(0x1234567890LL, 10), "0034567890");
  EXPECT_EQ(Bin(5, 0), "1");
  EXPECT_EQ(Bin(-1, 40), std::string(32, '1'));
  EXPECT_EQ(Octal(8, 3), "010");
  EXPECT_EQ(Octal(-1, 11), "37777777777");
  EXPECT_EQ(Decimal(-42, 4), "-0042");
  EXPECT_EQ(Decimal(123456, 3), "456");
  EXPECT_EQ(Decimal(7, -5), "7");
  EXPECT_EQ(Decimal(std::numeric_limits<int64_t>::min(), 19), "-9223372036854775808");
}

TEST(NumTextBits, HexPatternsRoundTrip) {
  EXPECT_EQ(FPNumToHex(1.0), "3FF0000000000000");
  EXPECT_EQ(FPNumToHex(-2.0f), "C0000000");
  EXPECT_EQ(HexToDouble("3FF0000000000000"), 1.0);
  EXPECT_EQ(HexToDouble("3ff0000000000000"), 1.0);
  EXPECT_EQ(HexToDouble("000000000000F03F", false), 1.0);
  EXPECT_EQ(HexToSingle("0000803F", false), 1.0f);
  for (const double x : {-0.0, 5e-324, 1.7976931348623157e308, -3.25, 0.1}) {
    const double y = HexToDouble(FPNumToHex(x));
    EXPECT_EQ(FPNumToHex(y), FPNumToHex(x));
  }
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(std::isnan(HexToDouble(FPNumToHex(NaN))));
  EXPECT_EQ(HexToSingle(FPNumToHex(0.1f)), 0.1f);
}

TEST(NumTextBits, BadHexTextsRaiseWithTheText) {
  const auto Message = [](auto Call) {
    try {
      Call();
    } catch (const ENUXError& E) {
      return std::string(E.what());
    }
    return std::string("no exception");
  };
  EXPECT_EQ(Message([] { HexToDouble("3FF000000000000"); }),
            "HexToDouble: invalid hex string \"3FF000000000000\"");
  EXPECT_EQ(Message([] { HexToDouble("3FF000000000000G", false); }),
            "HexToDouble: invalid hex string \"3FF000000000000G\"");
  EXPECT_EQ(Message([] { HexToSingle("3F8000000"); }),
            "HexToSingle: invalid hex string \"3F8000000\"");
}

TEST(NumTextLayout, StrfFixedAndExponential) {
  EXPECT_EQ(strf(3.14159, 8, 2), "    3.14");
  EXPECT_EQ(strf(-2.5, 1, 3), "-2.500");
  // Full layout: sign position, digit, point, digits, E, sign, four exponent digits.
  EXPECT_EQ(strf(1234.56, 12, -1), " 1.235E+0003");
  EXPECT_EQ(strf(-1234.56, 14, -7), "-1.23456E+0003");
  EXPECT_EQ(strf(1234.56, 3, -1), " 1.2E+0003");  // never fewer than one decimal
  // Compact form keeps the width and drops the two leading exponent digits.
  EXPECT_EQ(strf(1234.56, 10, -2), " 1.235E+03");
  EXPECT_EQ(strf(-1e-5, 9, -2), "-1.00E-05");
  EXPECT_EQ(strf(0.0, 10, -2), " 0.000E+00");
  EXPECT_EQ(strf(1e150, 10, -2), "**********");
  EXPECT_EQ(strf(-2e-200, 9, -2), "*********");
  for (const int32_t Decimals : {-2, -1, 3}) {
    EXPECT_EQ(strf(std::nan(""), 6, Decimals), "   NaN");
    EXPECT_EQ(strf(-HUGE_VAL, 5, Decimals), " -Inf");
  }
}

TEST(NumTextLayout, MakeEFormatMantissaBelowOne) {
  EXPECT_EQ(MakeEFormat(1234.56, 10, 3), " 0.1235+04");
  EXPECT_EQ(MakeEFormat(-0.000123456, 12, 4), " -0.12346-03");
  EXPECT_EQ(MakeEFormat(9.9996, 8, 3), " 0.1000+02");  // rounding carries into the exponent
  EXPECT_EQ(MakeEFormat(0.5, 0, 0), " 0.500+00");      // Width 8, Decimals 2
  EXPECT_EQ(MakeEFormat(0.0, 12, 2), "    0.000+00");
  EXPECT_EQ(MakeEFormat(1e-200, 8, 2), " 0.100-199");
  EXPECT_EQ(MakeEFormat(1.0 / 3.0, 99, 99).size(), 40u);
  EXPECT_EQ(MakeEFormat(std::nan(""), 8, 2), "     NaN");
}

TEST(NumTextEng, ExamplesAndDigitForms) {
  EXPECT_EQ(EEngStr(4700, 2), "4.7k");
  EXPECT_EQ(EEngStr(4700, -2), "4k7");
  EXPECT_EQ(EEngStr(0.0012, 3), "1.20m");
  EXPECT_EQ(EEngStr(-0.0012, 3), "-1.20m");
  EXPECT_EQ(EEngStr(1000, -3), "1k00");
  EXPECT_EQ(EEngStr(47, -2), "47");
  EXPECT_EQ(EEngStr(4700, 1), "5k");
  EXPECT_EQ(EEngStr(9700, 1), "10k");
  EXPECT_EQ(EEngStr(0, 3), "0.00");
  EXPECT_EQ(EEngStr(2.2e-6, 2), "2.2u");
  // Beyond the prefixes the scale stays at tera or atto.
  EXPECT_EQ(EEngStr(1e15, 3), "1000T");
  EXPECT_EQ(EEngStr(1e-21, 3), "0.00100a");
  EXPECT_EQ(EEngStr(std::nan(""), 3), "NaN");
  EXPECT_EQ(EEngStr(-HUGE_VAL, 3), "-Inf");
  EXPECT_FALSE(EEngStr(5e-324, 3).empty());
}

// Exact decades must land in their own decade (lg 1000 is not 2.9999...).
TEST(NumTextEng, ExactDecadesAndPrefixBoundaries) {
  const char* Prefix[] = {"a", "f", "p", "n", "u", "m", "", "k", "M", "G", "T"};
  const char* Mantissa[] = {"1.00", "10.0", "100"};
  for (int k = -18; k <= 14; ++k) {
    const double v = std::strtod(("1e" + std::to_string(k)).c_str(), nullptr);
    const int e = (k >= 0 ? k : k - 2) / 3;
    const std::string Expected = std::string(Mantissa[k - 3 * e]) + Prefix[e + 6];
    EXPECT_EQ(EEngStr(v, 3), Expected) << "1e" << k;
    EXPECT_EQ(EEngStr(-v, 3), "-" + Expected) << "-1e" << k;
    // Just below a decade the value rounds up into it; clearly below it stays beneath.
    EXPECT_EQ(EEngStr(v * (1 - 1e-9), 3), Expected) << "1e" << k << " minus";
    if (k % 3 == 0 && k > -18) {
      EXPECT_EQ(EEngStr(v * 0.999, 3), std::string("999") + Prefix[e + 5]) << "0.999e" << k;
    }
  }
  EXPECT_EQ(EEngStr(999.6, 3), "1.00k");
  EXPECT_EQ(EEngStr(999.4, 3), "999");
}

TEST(NumTextAngles, DegreeTexts) {
  EXPECT_EQ(DegreeToStr(12.25, dfDecDeg, 2), "12.25°");
  EXPECT_EQ(DegreeToStr(7.5, dfPlain, 1), "7.5");
  EXPECT_EQ(DegreeToStr(12.5, dfDegDecMin, 2), "12° 30.00'");
  EXPECT_EQ(DegreeToStr(-0.5, dfDegDecMin, 1), "-0° 30.0'");
  EXPECT_EQ(DegreeToStr(10.5125, dfDegMinSec, 1), "10° 30' 45.0\"");
  EXPECT_EQ(DegreeToStr(-10.5125, dfDegMinSec, 0), "-10° 30'  45\"");
  // Rounding that reaches a whole minute or degree carries instead of showing 60.
  EXPECT_EQ(DegreeToStr(10.99999, dfDegDecMin, 0), "11°   0'");
  EXPECT_EQ(DegreeToStr(1.9999999, dfDegMinSec, 1), "2°  0'  0.0\"");
  EXPECT_EQ(DegreeToStr(std::nan(""), dfDegMinSec, 1), "NaN°");
  EXPECT_EQ(DegreeToStr(1e300, dfDegMinSec, 1).substr(0, 4), "1000");
}

TEST(NumTextAngles, ConvertDegreesBothWays) {
  double d = 10, m = 30.5, s = 0;
  ConvertDegrees(d, m, s, dfDegDecMin, dfDegMinSec);
  EXPECT_DOUBLE_EQ(d, 10);
  EXPECT_DOUBLE_EQ(m, 30);
  EXPECT_NEAR(s, 30, 1e-12);
  ConvertDegrees(d, m, s, dfDegMinSec, dfDecDeg);
  EXPECT_NEAR(d, 10.5083333333333, 1e-12);
  EXPECT_EQ(m, 0);
  // Negative angles keep their sign through a round trip, also below one degree.
  for (const double Angle : {-10.5125, -0.25}) {
    d = Angle, m = 0, s = 0;
    ConvertDegrees(d, m, s, dfDecDeg, dfDegMinSec);
    EXPECT_TRUE(std::signbit(d));
    EXPECT_GE(m, 0);
    ConvertDegrees(d, m, s, dfDegMinSec, dfDecDeg);
    EXPECT_NEAR(d, Angle, 1e-12);
    ConvertDegrees(d, m, s, dfDecDeg, dfDegDecMin);
    ConvertDegrees(d, m, s, dfDegDecMin, dfDecDeg);
    EXPECT_NEAR(d, Angle, 1e-12);
  }
}

TEST(NumTextAngles, ConvertDegreesRejectsRanges) {
  double d = 1, m = 61, s = 0;
  EXPECT_THROW(ConvertDegrees(d, m, s, dfDegDecMin, dfDecDeg), ENUXMath1Error);
  m = std::nan("");
  EXPECT_THROW(ConvertDegrees(d, m, s, dfDegDecMin, dfDecDeg), ENUXMath1Error);
  m = 1, s = -0.5;
  try {
    ConvertDegrees(d, m, s, dfDegMinSec, dfDecDeg);
    ADD_FAILURE();
  } catch (const ENUXMath1Error& E) {
    EXPECT_STREQ(E.what(), "ConvertDegrees: invalid range of seconds");
  }
  EXPECT_EQ(d, 1);
}

TEST(NumTextAngles, RoundDegreesSteps) {
  const auto R = [](int32_t d, int32_t m, int32_t s, bool Up) {
    RoundDegrees(d, m, s, Up);
    return std::to_string(d) + "/" + std::to_string(m) + "/" + std::to_string(s);
  };
  EXPECT_EQ(R(7, 0, 0, true), "10/0/0");
  EXPECT_EQ(R(7, 0, 0, false), "5/0/0");
  EXPECT_EQ(R(400, 0, 0, true), "360/0/0");
  EXPECT_EQ(R(400, 0, 0, false), "360/0/0");
  EXPECT_EQ(R(0, 7, 30, true), "0/10/0");
  EXPECT_EQ(R(0, 45, 0, true), "1/0/0");
  EXPECT_EQ(R(0, 45, 0, false), "0/30/0");
  EXPECT_EQ(R(0, 0, 75, true), "0/1/0");
  EXPECT_EQ(R(0, 0, 4, false), "0/0/3");
  EXPECT_EQ(R(-1, 5, 5, true), "0/0/0");
}

TEST(NumTextMisc, RomanNumerals) {
  EXPECT_EQ(Roman(1994), "MCMXCIV");
  EXPECT_EQ(Roman(3888), "MMMDCCCLXXXVIII");
  EXPECT_EQ(Roman(29999), std::string(29, 'M') + "CMXCIX");
  EXPECT_EQ(Roman(0), "");
  EXPECT_EQ(Roman(30000), "");
}

TEST(NumTextMisc, StrToIntDefaultIsStrict) {
  EXPECT_EQ(StrToIntDefault("12a", 7), 7);
  EXPECT_EQ(StrToIntDefault("", 7), 7);
  EXPECT_EQ(StrToIntDefault(" 12", 7), 7);
  EXPECT_EQ(StrToIntDefault("+12", 7), 12);
  EXPECT_EQ(StrToIntDefault("-2147483648", 7), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(StrToIntDefault("2147483647", 7), 2147483647);
  EXPECT_EQ(StrToIntDefault("2147483648", 7), 7);
  EXPECT_EQ(StrToIntDefault("$ff", 7), 255);
  EXPECT_EQ(StrToIntDefault("0xFFFFFFFF", 7), -1);
  EXPECT_EQ(StrToIntDefault("$100000000", 7), 7);
  EXPECT_EQ(StrToIntDefault("-$10", 7), 7);
}

}  // namespace
}  // namespace nux
