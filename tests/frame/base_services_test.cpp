// Stream values, colours, rounding, constants and the progress hooks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "nux/frame/colors.h"
#include "nux/frame/progress.h"
#include "nux/frame/rounding.h"
#include "nux/frame/streamio.h"
#include "nux/frame/univconst.h"

namespace nux {
namespace {

TEST(StreamValues, LittleEndianRoundTripAndShortReads) {
  TMemoryStream S;
  WriteLongintToStream(S, -2);
  WriteExtendedToStream(S, 1.0);
  ASSERT_EQ(S.Size(), 12);
  const uint8_t Expected[12] = {0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
  for (int I = 0; I < 12; ++I) EXPECT_EQ(S.Memory()[I], Expected[I]) << I;

  S.SetPosition(0);
  bool Ok = false;
  EXPECT_EQ(ReadLongintFromStream(S, Ok), -2);
  EXPECT_TRUE(Ok);
  EXPECT_EQ(ReadExtendedFromStream(S, Ok), 1.0);
  EXPECT_TRUE(Ok);
  EXPECT_EQ(ReadLongintFromStream(S, Ok), 0);
  EXPECT_FALSE(Ok);

  // A truncated value reports failure and leaves the position where it was.
  S.SetPosition(8);
  EXPECT_EQ(ReadExtendedFromStream(S, Ok), 0.0);
  EXPECT_FALSE(Ok);
  EXPECT_EQ(S.Position(), 8);
}

TEST(StreamValues, SpecialDoublesSurviveBitForBit) {
  TMemoryStream S;
  const double Values[] = {-0.0, std::numeric_limits<double>::denorm_min(), INFINITY,
                           std::numeric_limits<double>::quiet_NaN(), 1.7976931348623157e308};
  for (const double V : Values) WriteExtendedToStream(S, V);
  S.SetPosition(0);
  for (const double V : Values) {
    bool Ok = false;
    const double R = ReadExtendedFromStream(S, Ok);
    ASSERT_TRUE(Ok);
    EXPECT_EQ(std::memcmp(&R, &V, sizeof V), 0);
  }
}

TEST(Colors, HsiAndGrayOfKnownColours) {
  double H = -1, S = -1, I = -1;
  RGBtoHSI(RGBColor(255, 0, 0), H, S, I);
  EXPECT_NEAR(H, 0.0, 1e-12);
  EXPECT_NEAR(S, 1.0, 1e-12);
  EXPECT_NEAR(I, 85.0, 1e-12);
  RGBtoHSI(RGBColor(0, 255, 0), H, S, I);
  EXPECT_NEAR(H, 120.0, 1e-9);
  RGBtoHSI(RGBColor(0, 0, 255), H, S, I);
  EXPECT_NEAR(H, 240.0, 1e-9);
  RGBtoHSI(RGBColor(128, 128, 128), H, S, I);
  EXPECT_EQ(H, 0.0);
  EXPECT_EQ(S, 0.0);
  EXPECT_EQ(I, 128.0);
  RGBtoHSI(0, H, S, I);  // black: no division by zero
  EXPECT_EQ(S, 0.0);
  EXPECT_EQ(RGBtoGray(RGBColor(255, 255, 255)), 255);
  EXPECT_EQ(RGBtoGray(RGBColor(0, 0, 255)), 29);  // 0.114 * 255 = 29.07
  EXPECT_EQ(RedOf(0x00336699), 0x99);
  EXPECT_EQ(BlueOf(0x00336699), 0x33);
}

TEST(Rounding, HalvesGoToEvenAndConversionsSaturate) {
  EXPECT_EQ(RoundEven(2.5), 2.0);
  EXPECT_EQ(RoundEven(3.5), 4.0);
  EXPECT_EQ(RoundEven(-2.5), -2.0);
  EXPECT_EQ(RoundToInt32(0.5), 0);
  EXPECT_EQ(RoundToInt32(1.5), 2);
  EXPECT_EQ(RoundToInt32(1e20), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundToInt32(-1e20), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundToInt32(std::nan("")), 0);
  EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(RoundToInt64(9.3e18), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(RoundToInt64(-9223372036854775808.0), std::numeric_limits<int64_t>::min());
}

TEST(Constants, LnFactorialTableAgainstDirectProducts) {
  EXPECT_EQ(uc_LnFactorial[0], 0.0);
  EXPECT_EQ(uc_LnFactorial[1], 0.0);
  double Product = 1.0;
  for (int K = 2; K <= 20; ++K) {
    Product *= K;  // exact up to 20! in doubles? 20! < 2^63 but needs 62 bits; close enough
    EXPECT_NEAR(uc_LnFactorial[size_t(K)], std::log(Product), 1e-13 * std::log(Product)) << K;
  }
  // Stirling with three correction terms is good to 1e-16 relative at n = 1000.
  const double N = 1000;
  const double Stirling =
      N * std::log(N) - N + 0.5 * std::log(2 * M_PI * N) + 1 / (12 * N) - 1 / (360 * N * N * N);
  EXPECT_NEAR(uc_LnFactorial[1000], Stirling, 1e-12);
  EXPECT_NEAR(uc_sqrt2pitom1, 1.0 / std::sqrt(2.0 * M_PI), 1e-17);
  EXPECT_EQ(uc_sqrt2 * uc_sqrt2, 2.0000000000000004);
  EXPECT_GT(uc_MaxDouble, uc_MaxReal);
}

TEST(Progress, FeedBackCountsCallsHookAndReportsAbort) {
  ProcStat = 0;
  std::vector<double> Seen;
  MathFeedBackProc = [&](double P) {
    Seen.push_back(P);
    if (P >= 2) AbortMathProc = true;
  };
  BeginAbortable();
  EXPECT_FALSE(MathFeedBack());
  EXPECT_TRUE(MathFeedBack());
  EXPECT_EQ(Seen, (std::vector<double>{1, 2}));
  MathFeedBackProc = nullptr;
  EXPECT_TRUE(MathFeedBack(0.5));  // no hook: still counts, abort flag unchanged
  EXPECT_EQ(ProcStat, 2.5);
  BeginAbortable();
  EXPECT_FALSE(AbortMathProc);
}

}  // namespace
}  // namespace nux
