#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "nux/math1/numtext.h"

namespace nux {
namespace {

// Scans Text from Pos with Scan; returns the new position (unchanged on failure).
template <class F>
int32_t After(std::string_view Text, int32_t Pos, F Scan) {
  Scan(Text, Pos);
  return Pos;
}

TEST(NumScanDigits, PrefixesValuesAndPositions) {
  using TScan = int64_t (*)(std::string_view, int32_t&);
  const TScan H = [](std::string_view T, int32_t& P) -> int64_t { return ScanHex(T, P); };
  const TScan O = [](std::string_view T, int32_t& P) -> int64_t { return ScanOctal(T, P); };
  const TScan B = [](std::string_view T, int32_t& P) -> int64_t { return ScanBin(T, P); };
  const TScan D = [](std::string_view T, int32_t& P) -> int64_t { return ScanDecimal(T, P); };
  struct TCase {
    TScan Scan;
    std::string Text;
    int64_t Value;
    int32_t PosAfter;  // 1: failed, position untouched
  };
  // "0x" alone is the digit 0; overflow fails instead of wrapping; the sign must touch digits.
  for (const TCase& C :
       {TCase{H, "  $ff rest", 255, 6}, TCase{H, "0x", 0, 2},
        TCase{H, "0XFFFFFFFF;", 0xFFFFFFFF, 11}, TCase{H, "0000000000FF", 255, 13},
        TCase{O, "&17", 15, 4}, TCase{O, "0o19", 1, 4}, TCase{B, "%1012", 5, 5},
        TCase{D, "+12x", 12, 4}, TCase{D, "-2147483648", INT32_MIN, 12}, TCase{H, "", 0, 1},
        TCase{H, "   ", 0, 1}, TCase{H, "$", 0, 1}, TCase{H, "$g", 0, 1},
        TCase{H, "100000000", 0, 1}, TCase{D, "- 5", 0, 1}, TCase{D, "2147483648", 0, 1},
        TCase{D, "-2147483649", 0, 1}, TCase{B, "0b" + std::string(33, '1'), 0, 1}}) {
    int32_t Pos = 1;
    EXPECT_EQ(C.Scan(C.Text, Pos), C.Value) << C.Text;
    EXPECT_EQ(Pos, C.PosAfter) << C.Text;
  }
}

TEST(NumScanDigits, StartPositionsOutsideTheText) {
  const auto Hex = [](std::string_view T, int32_t& P) { return ScanHex(T, P); };
  EXPECT_EQ(After("1F", -7, Hex), 3);  // below 1 starts at the first byte
  EXPECT_EQ(After("1F", 0, Hex), 3);
  EXPECT_EQ(After("1F", 2, Hex), 3);
  EXPECT_EQ(After("1F", 3, Hex), 3);  // at the end: nothing read, unchanged
  EXPECT_EQ(After("1F", 1000, Hex), 1000);
  EXPECT_EQ(After("1F", std::numeric_limits<int32_t>::max(), Hex),
            std::numeric_limits<int32_t>::max());
  int32_t Pos = 4;
  EXPECT_TRUE(std::isnan(ScanFPNum("1.5", false, 0, Pos)));
  EXPECT_EQ(Pos, 4);
  int32_t Code = 99;
  EXPECT_TRUE(std::isnan(ScanDegrees("12°", Pos, false, Code)));
  EXPECT_EQ(Code, sdNoNumber);
  EXPECT_TRUE(std::isnan(ScanDateTime("01.01.2000", "dd.mm.yyyy", lanEnglish, Pos)));
  EXPECT_EQ(Pos, 4);
}

TEST(NumScanFloat, SyntaxAndValues) {
  struct TCase {
    const char* Text;
    double Value;
    int32_t PosAfter;
  };
  for (const TCase& C :
       {TCase{"3.25e2xyz", 325.0, 7}, TCase{"1.5e", 1.5, 4}, TCase{"1.5e+x", 1.5, 4},
        TCase{".5", 0.5, 3}, TCase{"5.", 5.0, 3}, TCase{"-0.1", -0.1, 5}, TCase{" +7E-1 ", 0.7, 7},
        TCase{"2,5", 2.0, 2}, TCase{"1e-400", 0.0, 7}, TCase{"0.000e99999999999999999", 0.0, 24}}) {
    int32_t Pos = 1;
    EXPECT_EQ(ScanFPNum(C.Text, false, 0, Pos), C.Value) << C.Text;
    EXPECT_EQ(Pos, C.PosAfter) << C.Text;
  }
  int32_t Pos = 1;
  EXPECT_EQ(ScanFPNum("2,5", true, 0, Pos), 2.5);
  Pos = 1;
  EXPECT_TRUE(std::signbit(ScanFPNum("-0", false, 0, Pos)));
  // Many digits still convert correctly rounded: 1.111... equals 10/9 to double precision.
  Pos = 1;
  EXPECT_EQ(ScanFPNum(std::string(1000, '1') + "e-999", false, 0, Pos), 10.0 / 9.0);
  for (const char* Bad : {".", "-", "e5", "1e400", "-1e309", "+.e1"}) {
    Pos = 1;
    EXPECT_TRUE(std::isnan(ScanFPNum(Bad, false, 0, Pos))) << Bad;
    EXPECT_EQ(Pos, 1) << Bad;
  }
}

TEST(NumScanFloat, FixedWidthFields) {
  const std::string Row = "  12.5  7.25-3    ";
  int32_t Pos = 1;
  EXPECT_EQ(ScanFPNum(Row, false, 6, Pos), 12.5);
  EXPECT_EQ(Pos, 7);
  EXPECT_EQ(ScanFPNum(Row, false, 6, Pos), 7.25);
  EXPECT_EQ(Pos, 13);
  EXPECT_EQ(ScanFPNum(Row, false, 100, Pos), -3.0);  // field clipped at the end
  EXPECT_EQ(Pos, 19);
  Pos = 1;
  EXPECT_TRUE(std::isnan(ScanFPNum("12.5x 3", false, 6, Pos)));
  EXPECT_TRUE(std::isnan(ScanFPNum("      3", false, 6, Pos)));
  EXPECT_EQ(Pos, 1);
}

TEST(NumScanAngles, FormsAndCodes) {
  struct TCase {
    const char* Text;
    double Value;
    int32_t Code;
  };
  for (const TCase& C :
       {TCase{"12° 30' 15\"", 12 + 30 / 60.0 + 15 / 3600.0, sdOk},
        TCase{"12°30′15″", 12 + 30 / 60.0 + 15 / 3600.0, sdOk}, TCase{"-12° 30'", -12.5, sdOk},
        TCase{"-0° 0' 30''", -30 / 3600.0, sdOk}, TCase{"12.5", 12.5, sdOk},
        TCase{"12° 30 N", 12.0, sdOk}, TCase{"abc", NAN, sdNoNumber},
        TCase{"12° 60'", NAN, sdBadMinutes}, TCase{"12.5° 30'", NAN, sdBadMinutes},
        TCase{"12° 30.5' 10\"", NAN, sdBadSeconds}, TCase{"12° 30' 60\"", NAN, sdBadSeconds}}) {
    int32_t Pos = 1;
    int32_t Code = 99;
    const double v = ScanDegrees(C.Text, Pos, false, Code);
    EXPECT_EQ(Code, C.Code) << C.Text;
    if (C.Code == sdOk)
      EXPECT_NEAR(v, C.Value, 1e-12) << C.Text;
    else
      EXPECT_TRUE(std::isnan(v) && Pos == 1) << C.Text;
  }
  int32_t Pos = 1;
  int32_t Code = 99;
  ScanDegrees("12° 30 N", Pos, false, Code);
  EXPECT_EQ(Pos, 5);  // stops after the degree sign (two bytes)
  Pos = 1;
  EXPECT_TRUE(std::isnan(ScanDegrees("12.5", Pos, true, Code)));
  EXPECT_EQ(Code, sdNoDegSign);
}

TEST(NumScanAngles, ReadsBackWhatDegreeToStrWrites) {
  for (const double Angle : {0.0, 12.5, -10.5125, 359.99, -0.25, 47.123456})
    for (const TDegreeFormat F : {dfDecDeg, dfDegDecMin, dfDegMinSec, dfPlain}) {
      const std::string Text = DegreeToStr(Angle, F, 4);
      int32_t Pos = 1;
      int32_t Code = 99;
      EXPECT_NEAR(ScanDegrees(Text, Pos, F != dfPlain, Code), Angle, 6e-5) << Text;
      EXPECT_EQ(Code, sdOk) << Text;
      EXPECT_EQ(Pos, static_cast<int32_t>(Text.size()) + 1) << Text;
    }
}

TEST(NumScanDates, DayCountsAndTimes) {
  const auto Scan = [](std::string_view Text, std::string_view Format,
                       TLanguage Language = lanEnglish) {
    int32_t Pos = 1;
    return ScanDateTime(Text, Format, Language, Pos);
  };
  EXPECT_EQ(Scan("30.12.1899", "dd.mm.yyyy"), 0.0);
  EXPECT_EQ(Scan("1 Jan 1900", "d mmm yyyy"), 2.0);
  EXPECT_EQ(Scan("01.01.2000 12:00:00", "dd.mm.yyyy hh:nn:ss"), 36526.5);
  EXPECT_EQ(Scan("2021-03-03T06:00", "yyyy-mm-ddThh:nn"), 44258.25);
  EXPECT_EQ(Scan("3. MÄRZ 2021", "d. mmmm yyyy", lanGerman), 44258.0);
  EXPECT_EQ(Scan("3 mar 2021", "d mmm yyyy", lanItalian), 44258.0);
  EXPECT_EQ(Scan("1 août 2020", "d mmmm yyyy", lanFrench), Scan("01.08.2020", "dd.mm.yyyy"));
  EXPECT_EQ(Scan("ene 2020", "mmm yyyy", lanSpanish), Scan("01.01.2020", "dd.mm.yyyy"));
  EXPECT_EQ(Scan("29.02.2024", "dd.mm.yyyy"), 45351.0);
  EXPECT_EQ(Scan("06:00", "hh:nn"), 0.25);
  EXPECT_NEAR(Scan("00:00:01.500", "hh:nn:ss.zzz"), 1.5 / 86400, 1e-15);
  EXPECT_EQ(Scan("29.12.1899 06:00", "dd.mm.yyyy hh:nn"), -0.75);
  EXPECT_EQ(Scan("1.1.49", "d.m.yy"), Scan("01.01.2049", "dd.mm.yyyy"));
  EXPECT_EQ(Scan("1.1.50", "d.m.yy"), Scan("01.01.1950", "dd.mm.yyyy"));
  // Invalid dates, times and formats.
  for (const auto& [Text, Format] :
       {std::pair{"29.02.2023", "dd.mm.yyyy"}, std::pair{"31.04.2023", "dd.mm.yyyy"},
        std::pair{"1.13.2023", "d.m.yyyy"}, std::pair{"24:00", "hh:nn"},
        std::pair{"12:60", "hh:nn"}, std::pair{"1.1.2023", "dd.mm.yyyy"},
        std::pair{"01.01", "dd.mm"}, std::pair{"Foo 2020", "mmm yyyy"},
        std::pair{"01 01 2020", "dd dd yyyy"}, std::pair{"2020", "yyy"},
        std::pair{"01.01.2020", ""}, std::pair{"0101", "dd  mm"},
        std::pair{"01.01.0000", "dd.mm.yyyy"}}) {
    EXPECT_TRUE(std::isnan(Scan(Text, Format))) << Text << " / " << Format;
  }
  int32_t Pos = 2;
  EXPECT_EQ(ScanDateTime("x 01.01.2000;", "dd.mm.yyyy", lanEnglish, Pos), 36526.0);
  EXPECT_EQ(Pos, 13);
}

TEST(NumScanValid, WholeTextChecks) {
  EXPECT_TRUE(IsValidDouble("  1,5 ", false, dpsComma));
  EXPECT_FALSE(IsValidDouble("1,5", false, dpsPoint));
  EXPECT_TRUE(IsValidFPNum("1.5", dpsBoth));
  EXPECT_TRUE(IsValidFPNum("-1,5e-3", dpsBoth));
  EXPECT_TRUE(IsValidFPNum("1.5", dpsSystem));  // the C locale's point
  for (const char* Bad : {"", "   ", "+", "1.5.2", "1,5.2", "1e999", "1 5", "0x10", "1e"})
    EXPECT_FALSE(IsValidFPNum(Bad, dpsBoth)) << Bad;
  EXPECT_FALSE(IsValidDouble("NaN", false, dpsPoint));
  for (const char* Special : {"NaN", " nan ", "Inf", "-inf", "+Infinity"})
    EXPECT_TRUE(IsValidDouble(Special, true, dpsPoint)) << Special;
  EXPECT_FALSE(IsValidDouble("-nan", true, dpsPoint));
  EXPECT_FALSE(IsValidDouble("infinit", true, dpsPoint));

  EXPECT_TRUE(IsValidHex(" $FF "));
  EXPECT_TRUE(IsValidHex("ffffffff"));
  EXPECT_FALSE(IsValidHex("FFG"));
  EXPECT_FALSE(IsValidHex("100000000"));
  EXPECT_TRUE(IsValidOct("0o777"));
  EXPECT_FALSE(IsValidOct("8"));
  EXPECT_TRUE(IsValidBin("%1010"));
  EXPECT_FALSE(IsValidBin("0b102"));
  EXPECT_TRUE(IsValidDecInt(" -2147483648 "));
  EXPECT_FALSE(IsValidDecInt("2147483648"));
  EXPECT_FALSE(IsValidDecInt("4 2"));
  EXPECT_FALSE(IsValidDecInt(""));
}

// Hostile texts: every scanner from every start position stays inside the text and either
// leaves the position alone or moves it forward to at most length + 1.
TEST(NumScanHostile, RandomTextsNeverEscapeTheText) {
  const std::string Alphabet = "0123456789abcdefxXoObB$&%+-.,eE \t'\":T\xC2\xB0\xE2\x80\xB2\xC3";
  std::mt19937 Gen(12345);
  for (int Round = 0; Round < 400; ++Round) {
    std::string Text(Gen() % 24, ' ');
    for (char& C : Text) C = Alphabet[Gen() % Alphabet.size()];
    const auto Size = static_cast<int32_t>(Text.size());
    for (int32_t Start = -2; Start <= Size + 2; ++Start) {
      const auto Check = [&](int32_t Pos) {
        EXPECT_TRUE(Pos == Start || (Pos > std::max(Start, 1) && Pos <= Size + 1))
            << Text << " from " << Start << " to " << Pos;
      };
      int32_t Code = 0;
      int32_t P = Start;
      ScanHex(Text, P), Check(P), P = Start;
      ScanOctal(Text, P), Check(P), P = Start;
      ScanBin(Text, P), Check(P), P = Start;
      ScanDecimal(Text, P), Check(P), P = Start;
      ScanFPNum(Text, Round % 2 == 0, 0, P), Check(P), P = Start;
      ScanFPNum(Text, false, 5, P), Check(P), P = Start;
      ScanDegrees(Text, P, Round % 3 == 0, Code), Check(P), P = Start;
      ScanDateTime(Text, "d.m.yy h:n", lanGerman, P), Check(P), P = Start;
      ScanDateTime(Text, "mmm", lanFrench, P), Check(P);
    }
  }
}

}  // namespace
}  // namespace nux
