// The statistics rules of the user's guide, checked against numpy's quantile methods and the
// moment definitions of scipy.stats (tests/guide/data/stat_rules.py writes the references).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "nux/nux.h"

namespace nux {
namespace {

struct TStatCase {
  std::vector<double> X;
  double Q[3];
  double PV[7];
  double PM[7];
  double Var, Skew, Kurt, SkewS, KurtS;
};

#include "guide/data/stat_rules.inc"

void ExpectNear(double Expected, double Actual, double RelTol, const char* What) {
  EXPECT_NEAR(Actual, Expected, RelTol * std::max(1.0, std::fabs(Expected))) << What;
}

TEST(GuideStatRules, QuantilesVarianceAndMomentsMatchTheStatedNumpyForms) {
  for (const TStatCase& C : kStatCases) {
    SCOPED_TRACE("n = " + std::to_string(C.X.size()) + ", first " + std::to_string(C.X[0]));
    const int32_t N = static_cast<int32_t>(C.X.size());
    const TVector V(C.X);
    const TMatrix M(TDouble2DArray{C.X});  // one column

    double Q[3], MQ[3];
    ASSERT_TRUE(V.Quartiles(0, 0, Q[0], Q[1], Q[2]));
    ASSERT_TRUE(M.Quartiles(0, 0, 0, 0, MQ[0], MQ[1], MQ[2]));
    for (int I = 0; I < 3; ++I) {
      ExpectNear(C.Q[I], Q[I], 1e-15, "vector quartile (weibull)");
      EXPECT_EQ(Q[I], MQ[I]) << "matrix quartiles follow the vector rule";
    }
    for (int I = 0; I < 7; ++I) {
      ExpectNear(C.PV[I], V.Percentile(kPercents[I], 0, 0), 1e-15, "vector percentile (linear)");
      // Selection, not interpolation: the very element.
      EXPECT_EQ(C.PM[I], M.Percentile(kPercents[I], 0, 0, 0, 0)) << kPercents[I];
      EXPECT_EQ(C.PM[I], PercentileArray(kPercents[I], C.X)) << kPercents[I];
    }

    double Mean = 0, Var = 0, MVar = 0, AVar = 0;
    V.MeanVar(0, 0, Mean, Var);
    M.MeanVar(0, 0, 0, 0, Mean, MVar);
    ASSERT_EQ(0, MeanVarArray(C.X, 0, N - 1, Mean, AVar));
    ExpectNear(C.Var, Var, 1e-12, "vector variance");
    ExpectNear(C.Var, MVar, 1e-12, "matrix variance");
    ExpectNear(C.Var, AVar, 1e-12, "array variance");

    double S = 0, K = 0;
    V.SkewKurt(0, 0, S, K);
    ExpectNear(N >= 4 ? C.Skew : 0.0, S, 1e-9, "vector skewness");
    ExpectNear(N >= 4 ? C.Kurt : 0.0, K, 1e-9, "vector kurtosis");
    M.SkewKurt(0, 0, 0, 0, S, K);
    ExpectNear(C.Skew, S, 1e-9, "matrix skewness (n >= 2)");
    ExpectNear(C.Kurt, K, 1e-9, "matrix kurtosis (n >= 2)");
    V.SkewKurtSample(0, 0, S, K);
    ExpectNear(C.SkewS, S, 1e-9, "vector sample skewness");
    ExpectNear(C.KurtS, K, 1e-9, "vector sample kurtosis");
    M.SkewKurtSample(0, 0, 0, 0, S, K);
    ExpectNear(C.SkewS, S, 1e-9, "matrix sample skewness");
    ExpectNear(C.KurtS, K, 1e-9, "matrix sample kurtosis");
  }
}

}  // namespace
}  // namespace nux
