#include "nux/statis/hypotests.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "nux/frame/errors.h"
#include "nux/frame/univconst.h"
#include "nux/matrix/matrix.h"
#include "nux/statis/distributions.h"
#include "nux/statis/kstest.h"
#include "nux/vector/vector.h"

namespace nux {
namespace {

#include "data/hypotests_reference.inc"

const std::vector<double> X = NUX_HT_X, Y = NUX_HT_Y, XP = NUX_HT_XP, T1 = NUX_HT_T1,
                          T2 = NUX_HT_T2, Far = NUX_HT_FAR, Sk = NUX_HT_SK, Big1 = NUX_HT_BIG1,
                          Big2 = NUX_HT_BIG2;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

void ExpectRel(double Got, double Want, double Tol) {
  EXPECT_NEAR(Got, Want, Tol * std::fabs(Want)) << "want " << Want;
}

TIntVector Labels(const std::vector<size_t>& Sizes) {
  std::vector<int32_t> L;
  for (size_t G = 0; G < Sizes.size(); ++G)
    L.insert(L.end(), Sizes[G], static_cast<int32_t>(7 * G));
  return TIntVector(L);
}

// ---------------------------------------------------------------- agreement with scipy

TEST(HypoTests, TTestsAgreeWithReference) {
  const std::vector<std::array<double, 5>> Ref = {NUX_HT_TTESTS};
  for (const auto& R : Ref) {
    SCOPED_TRACE(R[0]);
    const int Case = static_cast<int>(R[0]);
    for (bool One : {false, true}) {
      double T = 0, P = 0, DF = 0, M1, M2, S1, S2;
      int32_t N = 0, IDF = 0;
      int32_t St;
      if (Case <= 1) {
        St = Perform1SampleTTest(Case == 0 ? X : Far, Case == 0 ? 10.0 : 0.0, One, T, P, M1, IDF);
        DF = IDF;
      } else {
        const auto& A = Case == 5 ? T1 : X;
        const auto& B = Case == 5 ? T2 : (Case == 4 ? XP : Y);
        const TtTestVersion V =
            Case == 2 ? ttHomoScedastic : (Case == 4 ? ttPaired : ttHeteroScedastic);
        St = Perform2SampleTTest(A, B, V, One, T, P, DF, M1, M2, S1, S2, N);
        EXPECT_EQ(N, static_cast<int32_t>(Case == 4 ? A.size() : A.size() + B.size()));
        if (!One) ExpectRel(Perform2SampleTTest(TVector(A), TVector(B), V, false), R[2], 1e-10);
      }
      EXPECT_EQ(St, 0);
      ExpectRel(T, R[1], 1e-12);
      ExpectRel(P, One ? R[3] : R[2], 1e-10);
      ExpectRel(DF, R[4], 1e-12);
    }
  }
}

TEST(HypoTests, VarianceAndRankTestsAgreeWithReference) {
  const std::vector<std::array<double, 7>> V = {NUX_HT_VARTESTS};
  double F, P, V1, V2, FCrit, Chi2, Var;
  int32_t D1, D2, DF;
  ASSERT_EQ(PerformFTest(X, Y, false, F, P, V1, V2, FCrit, D1, D2), 0);
  ExpectRel(F, V[0][0], 1e-12);
  ExpectRel(P, V[0][1], 1e-10);
  ExpectRel(FCrit, V[0][3], 1e-10);
  EXPECT_EQ(D1, 24);
  EXPECT_EQ(D2, 30);
  PerformFTest(X, Y, true, F, P, V1, V2, FCrit, D1, D2);
  ExpectRel(P, V[0][2], 1e-10);
  ASSERT_EQ(Perform1SampleChi2Test(X, 1.5, false, Chi2, P, Var, DF), 0);
  ExpectRel(Chi2, V[0][4], 1e-12);
  ExpectRel(P, V[0][5], 1e-10);
  Perform1SampleChi2Test(X, 1.5, true, Chi2, P, Var, DF);
  ExpectRel(P, V[0][6], 1e-10);

  const std::vector<std::array<double, 3>> MW = {NUX_HT_MANNWHITNEY};
  const std::array<std::pair<const std::vector<double>*, const std::vector<double>*>, 3> Pairs = {
      {{&X, &Y}, {&T1, &T2}, {&Big1, &Big2}}};
  for (size_t I = 0; I < MW.size(); ++I) {
    SCOPED_TRACE(I);
    double U = 0;
    ExpectRel(PerformMannWhitneyUTest(*Pairs[I].first, *Pairs[I].second, false, U), MW[I][1],
              1e-10);
    EXPECT_EQ(U, MW[I][0]);
    ExpectRel(PerformMannWhitneyUTest(TVector(*Pairs[I].first), TVector(*Pairs[I].second), true, U),
              MW[I][2], 1e-10);
  }
  const std::vector<std::array<double, 2>> ST = {NUX_HT_SIEGELTUKEY};
  double U = 0;
  ExpectRel(PerformSiegelTukeyTest(X, Y, U), ST[0][1], 1e-10);
  EXPECT_EQ(U, ST[0][0]);
}

TEST(HypoTests, NormalityTestsAgreeWithReference) {
  const std::vector<std::array<double, 5>> SW = {NUX_HT_SHAPIRO};
  const std::vector<std::array<double, 6>> SK = {NUX_HT_SKEWKURT};
  const std::array<const std::vector<double>*, 4> Data = {&X, &Sk, &T1, &Big1};
  for (size_t I = 0; I < Data.size(); ++I) {
    SCOPED_TRACE(I);
    double W, P, S, Z;
    ASSERT_EQ(ShapiroWilkTest(TVector(*Data[I]), 0, W, P), 0);
    ExpectRel(W, SW[I][3], 1e-13);
    ExpectRel(P, SW[I][4], 1e-10);
    // scipy works in single precision.
    EXPECT_NEAR(W, SW[I][1], 1e-6);
    ExpectRel(P, SW[I][2], 1e-3);
    ASSERT_EQ(CalcAndTestSkewness(*Data[I], false, S, Z, P), 0);
    ExpectRel(S, SK[I][0], 1e-12);
    ExpectRel(Z, SK[I][1], 1e-12);
    ExpectRel(P, SK[I][2], 1e-10);
    ASSERT_EQ(CalcAndTestKurtosis(*Data[I], false, S, Z, P), 0);
    ExpectRel(S, SK[I][3], 1e-12);
    ExpectRel(Z, SK[I][4], 1e-12);
    ExpectRel(P, SK[I][5], 1e-10);
    CalcAndTestKurtosis(*Data[I], true, S, Z, P);
    ExpectRel(P, SK[I][5] / 2, 1e-10);
  }
}

TEST(HypoTests, GroupTestsAgreeWithReference) {
  const std::vector<std::array<double, 6>> G = {NUX_HT_GROUPS};
  double Chi2 = 0, F = 0;
  ExpectRel(BartlettTest({X, Y, Sk}, {25, 31, 60}, Chi2), G[0][1], 1e-10);
  ExpectRel(Chi2, G[0][0], 1e-12);
  std::vector<double> All(X);
  All.insert(All.end(), Y.begin(), Y.end());
  All.insert(All.end(), Sk.begin(), Sk.end());
  const TVector Values(All);
  const TIntVector L = Labels({25, 31, 60});
  ExpectRel(LeveneTest(Values, L, F), G[0][3], 1e-10);
  ExpectRel(F, G[0][2], 1e-12);
  double SSB, SSW, SST;
  int32_t DB, DW, DT;
  ExpectRel(Anova1F(Values, L, SSB, SSW, SST, DB, DW, DT, F), G[0][5], 1e-10);
  ExpectRel(F, G[0][4], 1e-12);
  EXPECT_EQ(DB, 2);
  EXPECT_EQ(DW, 113);
  EXPECT_EQ(DT, 115);
  ExpectRel(SSB + SSW, SST, 1e-12);

  // A p far below what 1 - cdf could show.
  const std::vector<std::array<double, 2>> BF = {NUX_HT_BARTLETT_FAR};
  std::vector<double> Small(Sk);
  for (double& V : Small) V /= 40.0;
  const double PFar = BartlettTest({Sk, Small, X}, {60, 60, 25}, Chi2);
  EXPECT_LT(PFar, 1e-30);
  ExpectRel(PFar, BF[0][1], 1e-9);

  const std::vector<double> FD = NUX_HT_FRIEDMAN_DATA;
  TMatrix M(4, 12);
  for (int32_t C = 1; C <= 4; ++C)
    for (int32_t R = 1; R <= 12; ++R) M.SetVal(C, R, FD[static_cast<size_t>((C - 1) * 12 + R - 1)]);
  const std::vector<std::array<double, 2>> FR = {NUX_HT_FRIEDMAN};
  ExpectRel(FriedmanTest(M, Chi2), FR[0][1], 1e-10);
  ExpectRel(Chi2, FR[0][0], 1e-12);
}

TEST(HypoTests, SignedRanksCorrelationAndRunsAgreeWithReference) {
  double Med, WPlus, TLow, THigh;
  ASSERT_EQ(WilcoxonSignedRankTest(X, XP, 0.05, false, Med, WPlus, TLow, THigh), 0);
  const std::vector<std::array<double, 1>> W = {NUX_HT_WILCOXON};
  EXPECT_EQ(WPlus, W[0][0]);
  EXPECT_EQ(TLow, 89);  // exact two-sided 5 % critical value for n = 25
  EXPECT_EQ(THigh, 25 * 26 / 2 - 89);

  // Every cell of the signed-rank table is the exact critical value (the interpolating parabola
  // missed 185 of them).
  const std::vector<std::array<int32_t, 5>> Crit = {NUX_HT_SRCRIT};
  const std::array<double, 5> Levels = {0.1, 0.05, 0.02, 0.01, 0.001};
  for (int32_t N = 8; N <= 100; ++N)
    for (size_t J = 0; J < Levels.size(); ++J) {
      EXPECT_EQ(WilcoxonSRQuantile(N, Levels[J], true), Crit[N - 8][J]) << N << " " << Levels[J];
      if (J < 4) {
        EXPECT_EQ(WilcoxonSRQuantile(N, Levels[J] / 2, false), Crit[N - 8][J]);
      }
    }

  const std::vector<std::array<double, 3>> C = {NUX_HT_CORR};
  std::vector<double> Idx(25);
  for (size_t I = 0; I < Idx.size(); ++I) Idx[I] = static_cast<double>(I);
  double Slope, Ic, SL, SH, IL, IH, R, P;
  ASSERT_EQ(TheilSenEstimator(Idx, XP, Slope, Ic, SL, SH, IL, IH), 0);
  ExpectRel(Slope, C[0][0], 1e-14);
  EXPECT_LE(SL, Slope);
  EXPECT_GE(SH, Slope);
  ASSERT_EQ(CorrTest(X, XP, 0.0, R, P), 0);
  ExpectRel(R, C[0][1], 1e-13);
  ExpectRel(P, C[0][2], 1e-10);

  // Exact runs probabilities, also where the 32-bit coefficients overflowed.
  const std::vector<std::array<double, 4>> Runs = {NUX_HT_RUNS};
  for (const auto& Row : Runs) {
    const double Got = ExactRunsTest(static_cast<int32_t>(Row[1]), static_cast<int32_t>(Row[0]),
                                     static_cast<int32_t>(Row[2]));
    ExpectRel(Got, Row[3], 1e-12);
  }

  const std::vector<std::array<double, 4>> S = {NUX_HT_SIGNTEST};
  TBoolArray Signs(400, false);
  for (int I = 0; I < 330; ++I) Signs[static_cast<size_t>(I * 400 / 330)] = true;
  ExpectRel(BinomSignTest(Signs, 0.1), S[0][3], 1e-12);
}

// ---------------------------------------------------------------- fixed recipes

TEST(HypoTests, OutliersAndDurbinWatson) {
  double Q = 0, G = 0;
  int32_t Ix = 5;
  EXPECT_EQ(DeanDixonTest(TDoubleArray{100, 1, 2, 3}, Dot050, Q), 0);
  EXPECT_DOUBLE_EQ(Q, 97.0 / 99.0);
  EXPECT_EQ(DeanDixonTest(TVector(std::vector<double>{1, 2, 3, 100}), Dot050, Q), 4);
  EXPECT_EQ(DeanDixonTest(TDoubleArray{4, 4, 4, 4}, Dot050, Q), -1);
  EXPECT_EQ(Q, 0.0);
  EXPECT_EQ(DeanDixonTest(TDoubleArray{1, NaN, 3}, Dot050, Q), -2);
  EXPECT_THROW(DeanDixonTest(TDoubleArray{1, 2}, Dot050, Q), ENUXStatisError);
  EXPECT_THROW(DeanDixonTest(TDoubleArray(101, 1.0), Dot050, Q), ENUXStatisError);
  EXPECT_EQ(DeanDixonCriticalValues(100, Dot001), 0.387);
  EXPECT_EQ(DeanDixonCriticalValues(101, Dot001), -1.0);

  EXPECT_EQ(GrubbsTest(TDoubleArray{1, 2, 3}, 0.05, G, Ix), -2);
  EXPECT_EQ(GrubbsTest(TDoubleArray{1, 2, 3}, 1.5, G, Ix), -2);  // the size check wins
  EXPECT_EQ(GrubbsTest(TDoubleArray{5, 5, 5, 5, 5}, 0.05, G, Ix), 0);
  EXPECT_EQ(Ix, -1);
  EXPECT_EQ(GrubbsTest(TDoubleArray{5, 5, NaN, 5, 5}, 0.05, G, Ix), -3);
  TDoubleArray Out = {10.1, 9.9, 10.0, 10.2, 9.8, 10.05, 14.0, 9.95};
  EXPECT_EQ(GrubbsTest(Out, 0.05, G, Ix), 0);
  EXPECT_EQ(Ix, 6);
  EXPECT_EQ(GrubbsTest(TVector(Out), 0.05, G, Ix), 0);
  EXPECT_EQ(Ix, 7);
  // G = (n-1)/sqrt(n) sqrt(t^2 / (n - 2 + t^2)), t the upper alpha/(2n) point with n-2 df.
  const double T = tDistriQuantile(1 - 0.05 / 16, 6);
  EXPECT_NEAR(GrubbsCriticalValues(8, 0.05, true),
              7 / std::sqrt(8.0) * std::sqrt(T * T / (6 + T * T)), 1e-9);

  EXPECT_EQ(DurbinWatson({1, -1, 1, -1}), 3.0);
  EXPECT_EQ(DurbinWatson({1, -1}), 2.0);
  EXPECT_EQ(DurbinWatson({0, 0, 0}), 0.0);
  double DL = -7, DU = -7;
  EXPECT_FALSE(DurbinWatsonCrit5pct(6, 2, DL, DU));
  EXPECT_FALSE(DurbinWatsonCrit5pct(2001, 1, DL, DU));
  EXPECT_EQ(DL, -7);
  struct TRow {
    int32_t N, K;
    double L, U;
  };
  for (const TRow& R :
       {TRow{6, 1, 0.61018, 1.40015}, TRow{10, 1, 0.87913, 1.31971}, TRow{10, 5, 0.24269, 2.82165},
        TRow{20, 1, 1.20149, 1.41073}, TRow{20, 5, 0.79179, 1.99079}, TRow{50, 1, 1.50345, 1.58486},
        TRow{50, 5, 1.33457, 1.77077}, TRow{100, 1, 1.65404, 1.69439},
        TRow{100, 5, 1.571, 1.78039}}) {
    ASSERT_TRUE(DurbinWatsonCrit5pct(R.N, R.K, DL, DU));
    EXPECT_EQ(DL, R.L) << R.N << " " << R.K;
    EXPECT_EQ(DU, R.U) << R.N << " " << R.K;
  }
  // The fitted large-sample bounds continue the table: no jumps where the forms change, and
  // the bounds close in on 2 as n grows.
  for (int32_t K = 1; K <= 20; ++K) {
    double Lm, Um, L0, U0, L1, U1;
    for (int32_t N : {100, 200, 500}) {
      // The step across the change of form matches the step before it.
      ASSERT_TRUE(DurbinWatsonCrit5pct(N - 1, K, Lm, Um));
      ASSERT_TRUE(DurbinWatsonCrit5pct(N, K, L0, U0));
      ASSERT_TRUE(DurbinWatsonCrit5pct(N + 1, K, L1, U1));
      EXPECT_NEAR(L1 - L0, L0 - Lm, 2e-4) << N << " " << K;
      EXPECT_NEAR(U1 - U0, U0 - Um, 2e-4) << N << " " << K;
    }
    double Prev = 0;
    for (int32_t N = 101; N <= 2000; N += 37) {
      ASSERT_TRUE(DurbinWatsonCrit5pct(N, K, L1, U1));
      EXPECT_LT(L1, U1);
      EXPECT_GT(L1, Prev) << N << " " << K;
      Prev = L1;
    }
    EXPECT_NEAR(L1, 1.93, 0.03);
  }
  EXPECT_NEAR(AkaikeInfCrit(10, 2, 5.0), 10 * std::log(0.5) + 4, 1e-14);
}

TEST(HypoTests, LinesRanksPercentilesAndGini) {
  double S, I, SL, SH, IL, IH;
  const TDoubleArray Xs = {1, 2, 3, 4, 5}, Ys = {3, 5, 7, 9, 11};
  EXPECT_EQ(TheilSenEstimator(Xs, Ys, S, I, SL, SH, IL, IH), -4);
  EXPECT_EQ(S, 2.0);
  EXPECT_EQ(I, 1.0);
  double Untouched = 42;
  EXPECT_EQ(TheilSenEstimator({3, 1, 2, 5}, {1, 2, 3, 4}, Untouched, I, SL, SH, IL, IH), -3);
  EXPECT_EQ(TheilSenEstimator({1, 2}, {1, 2}, Untouched, I, SL, SH, IL, IH), -1);
  EXPECT_EQ(TheilSenEstimator({1, 2, 3}, {1, NaN, 2}, Untouched, I, SL, SH, IL, IH), -6);
  EXPECT_EQ(Untouched, 42);
  const TDoubleArray Many(TheilSenMaxPoints + 1, 1.0);
  EXPECT_EQ(TheilSenEstimator(Many, Many, Untouched, I, SL, SH, IL, IH), -5);

  TVector Ranks;
  EXPECT_EQ(CalcRanks(TVector(std::vector<double>{3, 1, 3}), Ranks), 6.0);
  EXPECT_EQ(Ranks.ToStdVector(), (std::vector<double>{2.5, 1, 2.5}));
  EXPECT_EQ(CalcRanks(TVector(std::vector<double>{NaN, 2, 1, NaN}), Ranks), 6.0);
  EXPECT_EQ(Ranks.ToStdVector(), (std::vector<double>{3.5, 2, 1, 3.5}));

  double V = 9;
  const TDoubleArray D = {5, 1, 4, 2, 3};
  EXPECT_EQ(PercentileOfArray(D, 100, 0, 4, V), 0);
  EXPECT_EQ(V, 5.0);
  EXPECT_EQ(PercentileOfArray(D, 30, 2, 2, V), 0);
  EXPECT_EQ(V, 4.0);
  EXPECT_EQ(PercentileOfArray(D, 50, 0, 4, V), 0);
  EXPECT_EQ(V, 3.0);
  EXPECT_EQ(PercentileOfArray(D, 150, 4, 1, V), -2);  // later checks win
  EXPECT_EQ(V, 0.0);
  EXPECT_EQ(PercentileOfArray(D, 50, 4, 1, V), -3);
  EXPECT_EQ(PercentileOfArray(D, 50, 0, 5, V), -1);
  EXPECT_EQ(PercentileOfArray({NaN, NaN}, 50, 0, 1, V), -4);

  // sum |x_i - x_j| = 20 over all ordered pairs of 1..4.
  EXPECT_DOUBLE_EQ(GiniCoeff({1, 2, 3, 4}), 20.0 / 10 / 2 / 4);
  EXPECT_EQ(GiniCoeff({}), 0.0);
  EXPECT_EQ(GiniCoeff({-1, 1}), 0.0);
  EXPECT_EQ(GiniCoeff({0, 0, 0}), 0.0);

  double R = 5, P = 5;
  EXPECT_EQ(PearsonCorrCoeff({1, 2}, {1, 2}, R), -1);
  EXPECT_EQ(PearsonCorrCoeff({1, 2, 3}, {1, 2}, R), -2);
  EXPECT_EQ(PearsonCorrCoeff({1, NaN, 3}, {1, 2, 3}, R), -4);
  // Centred sums: an offset of 1e9 costs no digits.
  EXPECT_EQ(PearsonCorrCoeff({1e9 + 1, 1e9 + 2, 1e9 + 3}, {3, 2, 1}, R), 0);
  EXPECT_DOUBLE_EQ(R, -1.0);
  EXPECT_EQ(CorrTest({1, 2, 3, 4}, {2, 4, 6, 8}, 0.2, R, P), 0);
  EXPECT_EQ(R, 1.0);
  EXPECT_EQ(P, 0.0);
  EXPECT_EQ(CorrTest({1, 2, 3, 4}, {2, 4, 6, 8}, 1.0, R, P), 0);
  EXPECT_EQ(P, 0.5);  // r = rho0: t = 0
  EXPECT_EQ(CorrTest({1, 2, 3, 4}, {2, 4, 6, 7}, 1.0, R, P), 0);
  EXPECT_EQ(P, 0.0);  // rho0 = 1 but r below it
  EXPECT_EQ(CorrTest({1, 2, 3, 4}, {2, 4, 6, 8}, 1.5, R, P), -3);
}

TEST(HypoTests, GroupedRejectionsAndDegenerateData) {
  double Chi2 = 7, F = 7;
  const TDoubleArray Six = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(BartlettTest({Six, Six}, {6}, Chi2), -1.0);
  EXPECT_EQ(BartlettTest({Six, Six}, {6, 5}, Chi2), -2.0);
  EXPECT_EQ(BartlettTest({Six, Six}, {6, 7}, Chi2), -3.0);  // would read past the group
  EXPECT_EQ(BartlettTest({Six}, {6}, Chi2), -4.0);          // k - 1 = 0
  EXPECT_EQ(BartlettTest({}, {}, Chi2), -4.0);
  EXPECT_EQ(BartlettTest({Six, {1, 2, 3, 4, 5, NaN}}, {6, 6}, Chi2), -5.0);
  EXPECT_EQ(Chi2, 0.0);
  EXPECT_EQ(BartlettTest({TDoubleArray(6, 2.0), TDoubleArray(6, 3.0)}, {6, 6}, Chi2), 1.0);

  const TVector V3(std::vector<double>{1, 2, 3});
  EXPECT_EQ(LeveneTest(V3, TIntVector(std::vector<int32_t>{1, 1}), F), -4.0);
  EXPECT_EQ(LeveneTest(V3, TIntVector(std::vector<int32_t>{1, 1, 1}), F), -1.0);
  EXPECT_EQ(LeveneTest(V3, TIntVector(std::vector<int32_t>{1, 2, 3}), F), -2.0);
  EXPECT_EQ(LeveneTest(TVector(std::vector<double>{1, NaN, 3}),
                       TIntVector(std::vector<int32_t>{1, 2, 2}), F),
            -5.0);
  double SSB, SSW, SST;
  int32_t DB, DW, DT;
  const TIntVector L22 = TIntVector(std::vector<int32_t>{4, 4, 9, 9});
  EXPECT_EQ(Anova1F(TVector(std::vector<double>{2, 2, 2, 2}), L22, SSB, SSW, SST, DB, DW, DT, F),
            -3.0);
  EXPECT_EQ(Anova1F(TVector(std::vector<double>{1, 1, 2, 2}), L22, SSB, SSW, SST, DB, DW, DT, F),
            0.0);
  EXPECT_EQ(F, uc_MaxReal);
  // A group of one value is allowed.
  EXPECT_GT(Anova1F(TVector(std::vector<double>{1, 1.5, 2, 7}),
                    TIntVector(std::vector<int32_t>{1, 1, 1, 2}), SSB, SSW, SST, DB, DW, DT, F),
            0.0);

  TMatrix Two(2, 5), Tied(3, 4);
  EXPECT_EQ(FriedmanTest(Two, Chi2), -1.0);
  EXPECT_EQ(FriedmanTest(Tied, Chi2), 1.0);  // every row tied: no evidence
  EXPECT_EQ(Chi2, 0.0);
  Tied.SetVal(2, 3, NaN);
  EXPECT_EQ(FriedmanTest(Tied, Chi2), -3.0);

  EXPECT_EQ(BinomSignTest({true, false}, 0.5), -1.0);
  EXPECT_EQ(BinomSignTest({true, false, true}, 1.5), -2.0);
  EXPECT_EQ(BinomSignTest({true, true, true}, 1.0), 1.0);
  EXPECT_EQ(BinomSignTest({true, true, false}, 0.0), 0.0);

  double P;
  int32_t Df, N1, N2;
  EXPECT_EQ(PerformChi2DistComp({1, 2}, {1}, Chi2, P, Df, N1, N2), -1);
  EXPECT_EQ(PerformChi2DistComp({}, {}, Chi2, P, Df, N1, N2), -3);
  EXPECT_EQ(PerformChi2DistComp({1, 2}, {0, 0}, Chi2, P, Df, N1, N2), -3);
  EXPECT_EQ(PerformChi2DistComp({1, -2}, {3, 3}, Chi2, P, Df, N1, N2), -4);
  // Identical histograms: chi2 = 0, p = 1; a single merged bin has no degree of freedom.
  EXPECT_EQ(PerformChi2DistComp({10, 12, 9, 8}, {10, 12, 9, 8}, Chi2, P, Df, N1, N2), 0);
  EXPECT_EQ(Chi2, 0.0);
  EXPECT_EQ(Df, 3);
  EXPECT_EQ(P, 1.0);
  EXPECT_EQ(PerformChi2DistComp({3, 2}, {1, 2}, Chi2, P, Df, N1, N2), 0);
  EXPECT_EQ(Df, 0);
  EXPECT_EQ(P, 1.0);
  // A trailing bin without counts in bins2 joins the last merged bin: (7 + 4) against 10.
  EXPECT_EQ(PerformChi2DistComp({5, 7, 4}, {8, 10, 0}, Chi2, P, Df, N1, N2), 0);
  const double F1 = std::sqrt(18.0 / 16), F2 = std::sqrt(16.0 / 18);
  EXPECT_NEAR(
      Chi2,
      (F1 * 5 - F2 * 8) * (F1 * 5 - F2 * 8) / 8 + (F1 * 11 - F2 * 10) * (F1 * 11 - F2 * 10) / 10,
      1e-14);
  EXPECT_EQ(Df, 1);
  EXPECT_EQ(N1, 16);
  EXPECT_EQ(N2, 18);
}

TEST(HypoTests, NormalityDistances) {
  TDoubleArray A = {0.3, -1.2, 0.8, 1.9, -0.4, 0.0};
  const TDoubleArray Orig = A;
  const double D = PerformKSNormalityTest(A, false);
  EXPECT_TRUE(std::is_sorted(A.begin(), A.end()));
  // By hand at the sorted values.
  double Want = 0;
  for (size_t I = 0; I < A.size(); ++I)
    Want = std::max({Want, std::fabs((I + 1) / 6.0 - nDistriIntegral(A[I])),
                     std::fabs(I / 6.0 - nDistriIntegral(A[I]))});
  EXPECT_EQ(D, Want);
  TVector V(Orig);
  EXPECT_EQ(PerformKSNormalityTest(V, false), D);
  TDoubleArray Bad = {1, NaN};
  EXPECT_EQ(PerformKSNormalityTest(Bad, false), -1.0);
  EXPECT_EQ(Bad[0], 1.0);  // rejected before sorting
  // Constant data: both forms centre on the mean (standard deviation 0 taken as 1).
  TDoubleArray C(8, 5.0);
  TVector CV(C);
  const double DC = PerformLillieforsTest(C, false);
  EXPECT_EQ(PerformLillieforsTest(CV, false), DC);
  EXPECT_EQ(DC, 0.5);
  TDoubleArray L = Orig;
  TVector LV(Orig);
  EXPECT_DOUBLE_EQ(PerformLillieforsTest(L, false), PerformLillieforsTest(LV, false));

  double W, P, S, Z;
  EXPECT_EQ(ShapiroWilkTest(TDoubleArray{1, 2}, 0, W, P), -1);
  EXPECT_EQ(ShapiroWilkTest(TDoubleArray(10, 3.0), 0, W, P), -4);
  EXPECT_EQ(W, 1.0);
  EXPECT_EQ(P, 1.0);
  EXPECT_EQ(ShapiroWilkTest(TDoubleArray{1, 2, 3, NaN}, 0, W, P), -3);
  EXPECT_EQ(ShapiroWilkTest(X, 2, W, P), -2);
  // n = 3: W = 3/4 at the most unequal spacing has p = 0; equal spacing gives W = 1.
  EXPECT_EQ(ShapiroWilkTest(TDoubleArray{1, 2, 3}, 0, W, P), 0);
  EXPECT_NEAR(W, 1.0, 1e-15);
  // Censoring: the smallest 20 of the 25 values observed.
  EXPECT_EQ(ShapiroWilkTest(X, 20, W, P), 0);
  EXPECT_GT(P, 0.0);
  EXPECT_LE(P, 1.0);
  EXPECT_EQ(CalcAndTestSkewness(TDoubleArray(7, 1.0), false, S, Z, P), -1);
  EXPECT_EQ(CalcAndTestSkewness(TDoubleArray(9, 1.0), false, S, Z, P), -4);
  EXPECT_EQ(P, 1.0);
  EXPECT_EQ(CalcAndTestKurtosis(TDoubleArray{1, 2, 3, 4}, false, S, Z, P), -1);
  // Exactly symmetric data: skewness 0 gives Z = 0 and p = 1.
  EXPECT_EQ(CalcAndTestSkewness({1, 2, 3, 4, 5, 6, 7, 8, 9}, false, S, Z, P), 0);
  EXPECT_EQ(Z, 0.0);
  EXPECT_EQ(P, 1.0);
}

TEST(HypoTests, RunsTests) {
  double P = 7;
  TBoolArray Alt(10);
  for (size_t I = 0; I < Alt.size(); ++I) Alt[I] = I % 2 == 0;
  EXPECT_FALSE(RunsTest(Alt, P));
  EXPECT_EQ(P, ExactRunsTest(5, 5, 10));
  EXPECT_EQ(P, 1.0);
  TBitFld Bits(10);
  for (int I = 0; I < 5; ++I) Bits.SetBit(I, true);  // two runs
  EXPECT_TRUE(RunsTest(Bits, P));
  EXPECT_NEAR(P, 2.0 / 252, 1e-15);
  // One kind only, or nothing: no evidence against randomness.
  EXPECT_FALSE(RunsTest(TBoolArray(60, true), P));
  EXPECT_EQ(P, 1.0);
  EXPECT_FALSE(RunsTest(TBoolArray(), P));
  EXPECT_EQ(P, 1.0);
  EXPECT_EQ(ExactRunsTest(0, 5, 1), 1.0);
  // Normal branch: 30 + 30 alternating in blocks of 3 (20 runs, expected 31).
  TBoolArray Blocks(60);
  for (size_t I = 0; I < Blocks.size(); ++I) Blocks[I] = (I / 3) % 2 == 0;
  EXPECT_TRUE(RunsTest(Blocks, P));
  const double Sigma = std::sqrt(2.0 * 900 * (1800 - 60) / (3600.0 * 59));
  EXPECT_NEAR(P, nDistriIntegral((20 - 31) / Sigma), 1e-8);

  EXPECT_FALSE(RunsTestSerial(TDoubleArray(12, 4.0), P));
  EXPECT_EQ(P, 1.0);
  EXPECT_FALSE(RunsTestSerial(TDoubleArray{NaN}, P));
  EXPECT_EQ(P, -1.0);
  // Even n with the middle values apart: the median is interpolated in both forms.
  const TDoubleArray S = {1, 9, 2, 8, 3, 7, 4, 6, 5, 10, 0, 11};
  double PA, PV;
  RunsTestSerial(S, PA);
  RunsTestSerial(TVector(S), PV);
  EXPECT_EQ(PA, PV);
  EXPECT_EQ(PA, ExactRunsTest(6, 6, 12));

  double Med, WPlus, TLow, THigh;
  const TDoubleArray Z8(8, 0.0), W8 = {1, 2, 3, 4, 5, 6, 7, 8}, V8 = {1, 2, 3, 4, 5, 6, 7, 9};
  EXPECT_EQ(WilcoxonSignedRankTest(W8, V8, 0.05, false, Med, WPlus, TLow, THigh), -4);
  EXPECT_EQ(WPlus, 0.0);
  EXPECT_EQ(Med, -1.0);
  EXPECT_EQ(WilcoxonSignedRankTest(W8, Z8, 0.3, false, Med, WPlus, TLow, THigh), -3);
  EXPECT_EQ(WilcoxonSignedRankTest(W8, TDoubleArray(7, 0.0), 0.05, false, Med, WPlus, TLow, THigh),
            -2);
  EXPECT_EQ(WilcoxonSignedRankTest(W8, Z8, 0.05, false, Med, WPlus, TLow, THigh), 0);
  EXPECT_EQ(WPlus, 36.0);
  EXPECT_EQ(Med, 4.5);
  EXPECT_EQ(TLow, 3.0);
  EXPECT_EQ(THigh, 33.0);
  EXPECT_EQ(WilcoxonSRQuantile(8, 0.05, true), 3);
  EXPECT_EQ(WilcoxonSRQuantile(7, 0.05, true), -1);
  EXPECT_EQ(WilcoxonSRQuantile(1000001, 0.05, true), -1);
  // Between the tabulated levels the parabola through the row: n = 8 has 5, 3, 1 at 0.1, 0.05,
  // 0.02, so at 0.07 it lies between 3 and 5.
  const int32_t Mid = WilcoxonSRQuantile(8, 0.07, true);
  EXPECT_GE(Mid, 3);
  EXPECT_LE(Mid, 5);
  EXPECT_EQ(WilcoxonSRQuantile(200, 0.05, true),
            static_cast<int32_t>(std::nearbyint(
                200 * 201 / 4.0 + nDistriQuantile(0.025) * std::sqrt(200 * 201 * 401 / 24.0))));
}

TEST(HypoTests, LocationAndScaleDegenerateInput) {
  double T, P, M, DF, M1, M2, S1, S2, F, V1, V2, FC, Chi2, Var, U;
  int32_t IDF, N, D1, D2;
  EXPECT_EQ(Perform1SampleTTest(TDoubleArray{1}, 0, false, T, P, M, IDF), -1);
  EXPECT_EQ(Perform1SampleTTest(TDoubleArray{1, NaN}, 0, false, T, P, M, IDF), -3);
  EXPECT_EQ(Perform1SampleTTest(TDoubleArray(5, 2.0), 2.0, false, T, P, M, IDF), 0);
  EXPECT_EQ(T, 0.0);
  EXPECT_EQ(P, 1.0);
  EXPECT_EQ(Perform1SampleTTest(TVector(TDoubleArray(5, 2.0)), 1.0, false, T, P, M, IDF), 0);
  EXPECT_EQ(T, std::numeric_limits<double>::infinity());
  EXPECT_EQ(P, 0.0);
  EXPECT_EQ(Perform2SampleTTest(X, {1}, ttHeteroScedastic, false, T, P, DF, M1, M2, S1, S2, N), -1);
  EXPECT_EQ(Perform2SampleTTest(X, Y, ttPaired, false, T, P, DF, M1, M2, S1, S2, N), -2);
  EXPECT_EQ(Perform2SampleTTest(TVector(X), TVector(std::vector<double>{1}), ttPaired, false),
            -1.0);
  // Both samples constant and apart: Welch has no variance left.
  EXPECT_EQ(
      Perform2SampleTTest({1, 1, 1}, {2, 2}, ttHeteroScedastic, false, T, P, DF, M1, M2, S1, S2, N),
      0);
  EXPECT_EQ(P, 0.0);
  EXPECT_EQ(DF, 3.0);
  EXPECT_EQ(PerformFTest({1, 1, 1}, {2, 2}, false, F, P, V1, V2, FC, D1, D2), 0);
  EXPECT_EQ(F, 1.0);
  EXPECT_EQ(P, 1.0);
  EXPECT_EQ(PerformFTest({1, 2, 4}, {2, 2}, false, F, P, V1, V2, FC, D1, D2), 0);
  EXPECT_EQ(P, 0.0);
  EXPECT_EQ(PerformFTest({1}, {2, 2}, false, F, P, V1, V2, FC, D1, D2), -1);
  EXPECT_EQ(Perform1SampleChi2Test({1, 2, 3}, 0.0, false, Chi2, P, Var, IDF), -2);
  EXPECT_EQ(Perform1SampleChi2Test({1, 2, NaN}, 1.0, false, Chi2, P, Var, IDF), -3);

  EXPECT_EQ(PerformMannWhitneyUTest(TDoubleArray{}, X, false, U), -1.0);
  EXPECT_EQ(PerformMannWhitneyUTest(TDoubleArray{NaN}, X, false, U), -3.0);
  EXPECT_EQ(PerformMannWhitneyUTest(TDoubleArray{1}, TDoubleArray{2}, false, U), 1.0);
  EXPECT_EQ(PerformMannWhitneyUTest(TDoubleArray(50, 3.0), TDoubleArray(40, 3.0), false, U), 1.0);
  EXPECT_EQ(U, 1000.0);
  EXPECT_EQ(PerformSiegelTukeyTest(TDoubleArray(5, 3.0), TDoubleArray(4, 3.0), U), 1.0);
  EXPECT_EQ(PerformSiegelTukeyTest(TDoubleArray{}, TDoubleArray{1}, U), -1.0);
  // A wider spread in the first sample gets the low scores: small U.
  EXPECT_LT(PerformSiegelTukeyTest({-9, -8, 8, 9, -7, 7}, {-1, 0, 1, 0.5, -0.5}, U), 0.05);
  EXPECT_EQ(U, 0.0);
}

TEST(HypoTests, KernelDensity) {
  TVector Data(std::vector<double>{3, 1, 2, 2.5, 8});
  TVector Dens;
  int32_t MinIx = 0, MaxIx = 0;
  std::vector<int32_t> Seen;
  const TOnPercentDoneEvent Progress = [&](TObject*, int32_t Pct) { Seen.push_back(Pct); };
  EXPECT_EQ(EstimateProbDensity(Data, Dens, 0, 10, 1.0, 1.5, 9, MinIx, MaxIx, nullptr), -1);
  EXPECT_EQ(EstimateProbDensity(Data, Dens, 0, 10, 0.0, 1.5, 9, MinIx, MaxIx, nullptr), -2);
  EXPECT_EQ(EstimateProbDensity(Data, Dens, 0, NaN, 1.0, 1.5, 100, MinIx, MaxIx, nullptr), -3);
  EXPECT_EQ(EstimateProbDensity(Data, Dens, 0, 10, 1.0, -1, 100, MinIx, MaxIx, nullptr), -4);
  ASSERT_EQ(EstimateProbDensity(Data, Dens, 0, 10, 0.5, 1.5, 100, MinIx, MaxIx, Progress), 0);
  EXPECT_EQ(Data.ToStdVector(), (std::vector<double>{1, 2, 2.5, 3, 8}));
  ASSERT_EQ(Dens.NrOfElem(), 101);
  ASSERT_FALSE(Seen.empty());
  EXPECT_EQ(Seen.back(), 100);
  EXPECT_TRUE(std::is_sorted(Seen.begin(), Seen.end()));
  // Widths by hand: point 1 (x = 1) sees 2 above it (gap 1); 2 sees 2.5 above (0.5) and 1 is
  // x_0 (no gap below); 2.5 sees 3 (0.5) and 2 (gap 1); 3 sees 2.5 (0.5), 2 (1); 8 none.
  const std::array<double, 5> H = {0.5 * 1, 0.5 * 0.5, 0.5 * 0.75, 0.5 * 0.75, 0.5 * 1.5};
  const std::array<double, 5> Xs = {1, 2, 2.5, 3, 8};
  for (int32_t S : {0, 20, 25, 50, 80, 100}) {
    const double At = S * 10.0 / 100;
    double Want = 0;
    for (size_t I = 0; I < 5; ++I) {
      const double Z = (At - Xs[I]) / H[I];
      Want += std::exp(-Z * Z / 2) / H[I];
    }
    Want *= 0.3989422804014327 / 5;
    EXPECT_NEAR(Dens(S + 1), Want, 1e-15 + 1e-13 * Want) << S;
  }
  const std::vector<double> DV = Dens.ToStdVector();
  EXPECT_EQ(MaxIx, std::max_element(DV.begin(), DV.end()) - DV.begin() + 1);
  EXPECT_EQ(MinIx, std::min_element(DV.begin(), DV.end()) - DV.begin() + 1);
  // Coinciding values: width window / count (n - 2 neighbours with a gap, n - 1 for the first
  // value), without a quadratic walk.
  TVector Same(TDoubleArray(200000, 1.0));
  ASSERT_EQ(EstimateProbDensity(Same, Dens, 0, 2, 1.0, 0.5, 20, MinIx, MaxIx, nullptr), 0);
  EXPECT_EQ(MaxIx, 11);
  EXPECT_NEAR(Dens(11), 0.3989422804014327 * 199998 / 0.5, 1e-5 * Dens(11));
}

TEST(HypoTests, LargeSamples) {
  // A million values: n log n throughout, no quadratic step (ten million: see the notes).
  TDoubleArray A(1000000), B(1000000);
  for (size_t I = 0; I < A.size(); ++I) {
    A[I] = std::sin(static_cast<double>(I) * 0.7);
    B[I] = std::sin(static_cast<double>(I) * 0.7 + 0.3);
  }
  double U, W, P, V;
  const double PU = PerformMannWhitneyUTest(A, B, false, U);
  EXPECT_GE(PU, 0.0);
  EXPECT_LE(PU, 1.0);
  EXPECT_EQ(ShapiroWilkTest(A, 0, W, P), 0);
  EXPECT_LT(W, 0.99);  // an arcsine distribution, far from normal
  EXPECT_LT(P, 1e-30);
  EXPECT_GT(GiniCoeff(A), -1e9);
  EXPECT_EQ(PercentileOfArray(A, 50, 0, 999999, V), 0);
  EXPECT_NEAR(V, 0.0, 1e-3);
}

}  // namespace
}  // namespace nux
