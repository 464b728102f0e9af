#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <type_traits>

#include "gtest/gtest.h"
#include "nux/sline/sline.h"

using namespace nux;

namespace {

constexpr double kPi = std::numbers::pi;

template <class F>
void ExpectLineError(F&& Call, const std::string& Message) {
  try {
    Call();
    ADD_FAILURE() << "no exception, expected: " << Message;
  } catch (const ENUXSLineError& E) {
    EXPECT_EQ(std::string(E.what()), Message);
  }
}

struct TClip {
  bool Found;
  double x1, y1, x2, y2;
};

TClip Clip(const TSLine& L, double bllx, double blly, double burx, double bury) {
  TClip C{};
  C.Found = L.ClipBox(bllx, blly, burx, bury, C.x1, C.y1, C.x2, C.y2);
  return C;
}

void ExpectClip(const TClip& C, double x1, double y1, double x2, double y2) {
  ASSERT_TRUE(C.Found);
  EXPECT_NEAR(C.x1, x1, 1e-14);
  EXPECT_NEAR(C.y1, y1, 1e-14);
  EXPECT_NEAR(C.x2, x2, 1e-14);
  EXPECT_NEAR(C.y2, y2, 1e-14);
}

}  // namespace

TEST(SLine, ExceptionClassIsOutsideTheLibraryHierarchy) {
  static_assert(std::is_base_of_v<Exception, ENUXSLineError>);
  static_assert(!std::is_base_of_v<ENUXError, ENUXSLineError>);
}

TEST(SLine, NewLineIsTheXAxis) {
  TComponent Owner;
  auto* L = new TSLine(&Owner);  // the owner deletes it
  EXPECT_EQ(L->ParA(), 0.0);
  EXPECT_EQ(L->ParB(), 1.0);
  EXPECT_EQ(L->ParC(), 0.0);
  EXPECT_FALSE(L->SubstituteInf());
  EXPECT_EQ(L->Slope(), 0.0);
  EXPECT_EQ(L->Intercept(), 0.0);
  EXPECT_EQ(L->Direction(), 0.0);
  EXPECT_EQ(Owner.ComponentCount(), 1);
}

TEST(SLine, CoefficientsAAndBNeverBothZero) {
  TSLine L;
  L.SetName("L1");
  L.SetParA(0);  // B is 1: allowed
  ExpectLineError([&] { L.SetParB(0); },
                  "Component \"L1\": parameter A and B must not both be zero");
  EXPECT_EQ(L.ParB(), 1.0);
  L.SetParA(2);
  L.SetParB(0);
  ExpectLineError([&] { L.SetParA(0); },
                  "Component \"L1\": parameter A and B must not both be zero");
  EXPECT_EQ(L.ParA(), 2.0);
}

TEST(SLine, Constructions) {
  TSLine L;
  EXPECT_FALSE(L.LineFrom2Points(1, 2, 1, 2));
  EXPECT_EQ(L.ParB(), 1.0);  // unchanged
  ASSERT_TRUE(L.LineFrom2Points(1, 3, 3, 7));
  EXPECT_DOUBLE_EQ(L.Slope(), 2.0);
  EXPECT_DOUBLE_EQ(L.Intercept(), 1.0);
  EXPECT_EQ(L.Distance(5, 11), 0.0);
  // No finite line through NaN or through points whose differences overflow.
  EXPECT_FALSE(L.LineFrom2Points(std::nan(""), 0, 1, 1));
  EXPECT_FALSE(L.LineFrom2Points(-1e308, 0, 1e308, 1));
  EXPECT_DOUBLE_EQ(L.Slope(), 2.0);

  L.LineFromSlopeIcpt(-0.5, 4);
  EXPECT_DOUBLE_EQ(L.CalcY(2), 3.0);
  EXPECT_DOUBLE_EQ(L.CalcX(3), 2.0);
  double k = 0, d = 0;
  L.CalcKDForm(k, d);
  EXPECT_DOUBLE_EQ(k, -0.5);
  EXPECT_DOUBLE_EQ(d, 4.0);

  L.LineThroughPoint(1, 2, kPi / 4);
  EXPECT_NEAR(L.Distance(1, 2), 0.0, 1e-15);
  EXPECT_NEAR(L.Slope(), 1.0, 1e-15);
  EXPECT_NEAR(L.Direction(), kPi / 4, 1e-15);

  TSLine Other;
  Other.LineFromSlopeIcpt(2, 1);
  L.ParallelLine(0, 5, Other);
  EXPECT_DOUBLE_EQ(L.Slope(), 2.0);
  EXPECT_DOUBLE_EQ(L.Intercept(), 5.0);
  L.NormalLine(1, 1, Other);
  EXPECT_DOUBLE_EQ(L.Slope(), -0.5);
  EXPECT_EQ(L.Distance(1, 1), 0.0);
}

TEST(SLine, NormalToItself) {
  TSLine L;
  L.LineFromSlopeIcpt(2, 0);
  L.NormalLine(0, 0, L);  // reading the other line after writing would give slope -1
  EXPECT_DOUBLE_EQ(L.Slope(), -0.5);
  L.ParallelLine(2, 0, L);
  EXPECT_DOUBLE_EQ(L.Slope(), -0.5);
  EXPECT_DOUBLE_EQ(L.CalcY(2), 0.0);
}

TEST(SLine, InterSection) {
  TSLine L1, L2;
  L1.LineFromSlopeIcpt(1, 0);
  L2.LineFromSlopeIcpt(-1, 0);
  double x = 9, y = 9;
  ASSERT_TRUE(L1.InterSection(L2, x, y));
  EXPECT_EQ(x, 0.0);
  EXPECT_EQ(y, 0.0);
  L1.LineFromSlopeIcpt(2, 1);
  L2.LineFromSlopeIcpt(-1, 4);
  ASSERT_TRUE(L1.InterSection(L2, x, y));
  EXPECT_DOUBLE_EQ(x, 1.0);
  EXPECT_DOUBLE_EQ(y, 3.0);
  // Parallel: false and the outputs are left alone.
  L2.ParallelLine(0, 7, L1);
  x = y = 9;
  EXPECT_FALSE(L1.InterSection(L2, x, y));
  EXPECT_EQ(x, 9.0);
  EXPECT_EQ(y, 9.0);
  // Tiny coefficients: the plain determinant underflows to 0.
  L1.SetParA(1e-200);
  L1.SetParB(-1e-200);
  L1.SetParC(0);
  L2.SetParA(1e-200);
  L2.SetParB(1e-200);
  L2.SetParC(-2e-200);
  ASSERT_TRUE(L1.InterSection(L2, x, y));
  EXPECT_DOUBLE_EQ(x, 1.0);
  EXPECT_DOUBLE_EQ(y, 1.0);
  // A crossing beyond double range is not reported.
  L1.LineFromSlopeIcpt(1, 0);
  L2.LineFromSlopeIcpt(1 + std::ldexp(1.0, -52), 1e300);
  EXPECT_FALSE(L1.InterSection(L2, x, y));
}

TEST(SLine, AnglesAndDistance) {
  TSLine L1, L2;
  L1.LineFromSlopeIcpt(1, 0);
  L2.LineFromSlopeIcpt(-1, 3);
  EXPECT_DOUBLE_EQ(L1.AngleBetweenLines(L2), kPi / 2);
  L2.LineFromSlopeIcpt(-2, 0);
  EXPECT_DOUBLE_EQ(L1.AngleBetweenLines(L2), std::atan(3.0));  // acute angle
  TSLine XAxis;
  L2.ParallelLine(5, 5, L1);
  EXPECT_EQ(L1.AngleBetweenLines(L2), 0.0);

  EXPECT_EQ(XAxis.Distance(3, 2), 2.0);
  EXPECT_EQ(XAxis.Distance(3, -2), -2.0);
  TSLine L;
  L.SetParA(3);
  L.SetParB(4);
  L.SetParC(-5);
  EXPECT_DOUBLE_EQ(L.Distance(0, 0), -1.0);
  L.SetParA(3e300);
  L.SetParB(4e300);
  L.SetParC(-5e300);
  EXPECT_DOUBLE_EQ(L.Distance(0, 0), -1.0);  // no overflow in the norm
}

TEST(SLine, Direction) {
  TSLine L;
  L.LineFrom2Points(0, 0, 1, 1);
  EXPECT_DOUBLE_EQ(L.Direction(), kPi / 4);
  L.LineFrom2Points(0, 0, 0, 1);  // up
  EXPECT_DOUBLE_EQ(L.Direction(), kPi / 2);
  L.LineFrom2Points(0, 1, 0, 0);  // down
  EXPECT_DOUBLE_EQ(L.Direction(), 3 * kPi / 2);
  // Just below the x axis to the right: stays below 2 pi.
  L.SetParA(1e-20);
  EXPECT_GE(L.Direction(), 0.0);
  EXPECT_LT(L.Direction(), 2 * kPi);
  std::mt19937 Gen(2);
  std::uniform_real_distribution<double> U(-3, 3);
  for (int i = 0; i < 300; ++i) {
    const double x1 = U(Gen), y1 = U(Gen), x2 = U(Gen), y2 = U(Gen);
    L.LineFrom2Points(x1, y1, x2, y2);
    const double Ref = std::fmod(std::atan2(y2 - y1, x2 - x1) + 2 * kPi, 2 * kPi);
    EXPECT_NEAR(L.Direction(), Ref, 1e-13);
  }
}

TEST(SLine, ZeroDivisorsRaiseOrSubstitute) {
  TSLine L;
  L.SetName("V");
  L.SetParA(1);
  L.SetParB(0);
  L.SetParC(-3);  // x = 3
  EXPECT_DOUBLE_EQ(L.CalcX(123), 3.0);
  ExpectLineError([&] { L.CalcY(1); }, "Component \"V\": cannot calculate y");
  ExpectLineError([&] { L.Slope(); }, "Component \"V\": slope is infinite");
  ExpectLineError([&] { L.Intercept(); },
                  "Component \"V\": cannot calculate intercept (line is parallel to y axis)");
  double k, d;
  ExpectLineError([&] { L.CalcKDForm(k, d); },
                  "Component \"V\": cannot convert to k-d-form if ParB is zero");
  L.SetSubstituteInf(true);
  EXPECT_GE(L.CalcY(1), 1e100);

  TSLine H;  // y = 0
  H.SetName("H");
  ExpectLineError([&] { H.CalcX(1); }, "Component \"H\": cannot calculate x");
  H.SetSubstituteInf(true);
  EXPECT_LE(H.CalcX(1), -1e99);
}

TEST(SLine, ClipBox) {
  TSLine L;
  L.LineFromSlopeIcpt(1, 0);
  ExpectClip(Clip(L, 0, 0, 1, 1), 0, 0, 1, 1);
  ExpectClip(Clip(L, 1, 1, 0, 0), 1, 1, 0, 0);  // corners given the other way round
  // Through a corner and out through another side: the corner's twin must not hide the exit.
  ExpectClip(Clip(L, 0, 0, 2, 1), 0, 0, 1, 1);
  L.LineFromSlopeIcpt(0.25, 0.5);
  ExpectClip(Clip(L, 0, 0, 2, 1), 0, 0.5, 2, 1);
  L.LineFromSlopeIcpt(-2, 3);  // crosses bottom and top
  ExpectClip(Clip(L, 0, 0, 2, 2), 1.5, 0, 0.5, 2);
  // Touching a corner only: both pairs hold that corner.
  L.LineFromSlopeIcpt(-1, 0);
  ExpectClip(Clip(L, 0, 0, 1, 1), 0, 0, 0, 0);
  // Missing the box: false and NaN outputs.
  L.LineFromSlopeIcpt(1, 5);
  const TClip Miss = Clip(L, 0, 0, 1, 1);
  EXPECT_FALSE(Miss.Found);
  EXPECT_TRUE(std::isnan(Miss.x1) && std::isnan(Miss.y1));
  EXPECT_TRUE(std::isnan(Miss.x2) && std::isnan(Miss.y2));
}

TEST(SLine, ClipBoxAxisParallelLines) {
  TSLine V;
  V.SetParA(1);
  V.SetParB(0);
  V.SetParC(-1);  // x = 1
  ExpectClip(Clip(V, 0, 0, 2, 3), 1, 0, 1, 3);
  EXPECT_FALSE(V.SubstituteInf());  // no exception and the setting is kept
  V.SetParC(0);                     // x = 0: lies on the left side, whose ends are the answer
  ExpectClip(Clip(V, 0, 0, 2, 3), 0, 0, 0, 3);
  V.SetParC(-5);
  EXPECT_FALSE(Clip(V, 0, 0, 2, 3).Found);

  TSLine H;
  H.SetParC(-3);  // y = 3: the top side
  ExpectClip(Clip(H, 0, 0, 2, 3), 0, 3, 2, 3);
  H.SetParC(-1);
  ExpectClip(Clip(H, 0, 0, 2, 3), 0, 1, 2, 1);
  EXPECT_FALSE(Clip(H, std::nan(""), 0, 2, 3).Found);
}

TEST(SLine, AssignCopiesTheLine) {
  TSLine Src, Dst;
  Src.LineFromSlopeIcpt(3, -2);
  Src.SetSubstituteInf(true);
  Dst.Assign(&Src);
  EXPECT_EQ(Dst.ParA(), 3.0);
  EXPECT_EQ(Dst.ParB(), -1.0);
  EXPECT_EQ(Dst.ParC(), -2.0);
  EXPECT_TRUE(Dst.SubstituteInf());
  TComponent NotALine;
  EXPECT_THROW(Dst.Assign(&NotALine), EConvertError);
  EXPECT_EQ(Dst.ParA(), 3.0);
}
