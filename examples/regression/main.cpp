// Regression: compressive strength of 30 concrete mixes (data/concrete.txt: cement, water and
// fly ash in kg/m3, age in days, strength in MPa). Principal components of the mix variables,
// then a multiple linear regression of the strength on them with the age through its logarithm:
// coefficients with standard errors, t and p values, R2 and variance inflation. The program
// checks the fit by its own residual and exits non-zero when a check fails.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "nux/nux.h"

using namespace nux;

namespace {

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }
std::string E(double X) { return StripLTBlanks(strf(X, 1, -2)); }

constexpr int32_t NVar = 4;
const char* const VarNames[NVar] = {"cement", "water", "fly ash", "ln(age)"};

int Run(const std::string& FileName) {
  TMatrix Raw;
  int64_t Line = 0;
  if (const int32_t Code = LoadPlainText(FileName, Raw, &Line); Code != ptOK) {
    std::fprintf(stderr, "regression: cannot read %s (code %d, line %lld)\n", FileName.c_str(),
                 Code, static_cast<long long>(Line));
    return 1;
  }
  const int32_t N = Raw.NrOfRows();
  if (Raw.NrOfColumns() != NVar + 1 || N < NVar + 3) {
    std::fprintf(stderr, "regression: %s needs 5 columns and at least %d mixes\n", FileName.c_str(),
                 NVar + 3);
    return 1;
  }
  // Columns 1..4 the regressors, 5 the strength; the age enters through its logarithm.
  TMatrix D;
  D.Assign(&Raw);
  for (int32_t R = 1; R <= N; ++R) {
    if (!(Raw(4, R) > 0)) {
      std::fprintf(stderr, "regression: mix %d has an age that is not positive\n", R);
      return 1;
    }
    D(4, R) = std::log(Raw(4, R));
  }
  std::printf("%d concrete mixes read from %s\n", N, FileName.c_str());

  // Principal components of the standardised mix variables.
  if (!CalcPrincComp(D, 1, NVar, 1, N, cvCorrelations)) {
    std::fprintf(stderr, "regression: principal components failed\n");
    return 1;
  }
  std::printf("\nprincipal components of the correlation matrix\n  %-9s", "");
  for (int32_t K = 1; K <= NVar; ++K) std::printf(" %9s", ("PC" + std::to_string(K)).c_str());
  std::printf("\n  %-9s", "explained");
  for (int32_t K = 1; K <= NVar; ++K)
    std::printf(" %8s%%", F(100 * GetEigenResult(K, 0), 1).c_str());
  for (int32_t I = 1; I <= NVar; ++I) {
    std::printf("\n  %-9s", VarNames[I - 1]);
    for (int32_t K = 1; K <= NVar; ++K) {
      // Signs are arbitrary: the largest loading of each component is made positive.
      double Big = 0;
      for (int32_t J = 1; J <= NVar; ++J)
        if (std::fabs(GetEigenResult(K, J)) > std::fabs(Big)) Big = GetEigenResult(K, J);
      std::printf(" %9s", F((Big < 0 ? -1 : 1) * GetEigenResult(K, I), 3).c_str());
    }
  }
  std::printf("\n");

  double Const = 0, ConstSE = 0, R2 = 0;
  TVector B, SE;
  bool NearSingular = false;
  const TIntArray Sel{1, 2, 3, 4};
  if (!MultiLinReg(D, Sel, NVar + 1, true, Const, ConstSE, R2, B, SE, NearSingular)) {
    std::fprintf(stderr, "regression: the fit failed\n");
    return 1;
  }
  const int32_t Df = N - NVar - 1;
  std::printf("\nstrength / MPa on %d regressors and a constant, %d residual degrees of freedom\n",
              NVar, Df);
  std::printf("  %-9s %10s %10s %8s %10s\n", "", "estimate", "std.err.", "t", "p");
  auto Row = [&](const char* Name, double Est, double Err) {
    const double T = Est / Err;
    std::printf("  %-9s %10s %10s %8s %10s\n", Name, F(Est, 4).c_str(), F(Err, 4).c_str(),
                F(T, 2).c_str(), E(2 * tDistriIntegralUpper(std::fabs(T), Df)).c_str());
  };
  Row("constant", Const, ConstSE);
  for (int32_t K = 1; K <= NVar; ++K) Row(VarNames[K - 1], B(K), SE(K));

  // The residual, computed here from the data and the coefficients.
  TVector Res(N);
  double Rss = 0, YMean = 0, Tss = 0, MaxNorm = 0, MaxRes = 0;
  for (int32_t R = 1; R <= N; ++R) YMean += D(NVar + 1, R) / N;
  for (int32_t R = 1; R <= N; ++R) {
    double Fit = Const;
    for (int32_t K = 1; K <= NVar; ++K) Fit += B(K) * D(K, R);
    Res(R) = D(NVar + 1, R) - Fit;
    Rss += Res(R) * Res(R);
    MaxRes = std::max(MaxRes, std::fabs(Res(R)));
    Tss += (D(NVar + 1, R) - YMean) * (D(NVar + 1, R) - YMean);
  }
  // Least squares leaves a residual orthogonal to every column (and to the constant).
  for (int32_t K = 0; K <= NVar; ++K) {
    double Dot = 0, Col = 0;
    for (int32_t R = 1; R <= N; ++R) {
      const double X = K == 0 ? 1.0 : D(K, R);
      Dot += X * Res(R);
      Col += X * X;
    }
    MaxNorm = std::max(MaxNorm, std::fabs(Dot) / std::sqrt(Col * Rss));
  }
  const double S = std::sqrt(Rss / Df);
  std::printf("  R2 %s, residual sd %s MPa, largest residual %s MPa\n", F(R2, 4).c_str(),
              F(S, 3).c_str(), F(MaxRes, 2).c_str());

  TDoubleArray Vif;
  if (!VarInflatFactor(D, Sel, Vif, nullptr)) {
    std::fprintf(stderr, "regression: variance inflation failed\n");
    return 1;
  }
  std::printf("  variance inflation:");
  for (int32_t K = 0; K < NVar; ++K)
    std::printf(" %s %s", VarNames[K], F(Vif[size_t(K)], 2).c_str());
  std::printf("\n");

  // The same fit through the design form (a column of ones in front).
  TMatrix X(NVar + 1, N);
  TVector Y(N), C2;
  for (int32_t R = 1; R <= N; ++R) {
    X(1, R) = 1.0;
    for (int32_t K = 1; K <= NVar; ++K) X(K + 1, R) = D(K, R);
    Y(R) = D(NVar + 1, R);
  }
  bool NearSingular2 = false;
  double MaxDiff = NAN;
  if (MultiLinReg(X, Y, C2, nullptr, NearSingular2)) {
    MaxDiff = std::fabs(C2(1) - Const) / (std::fabs(Const) + 1);
    for (int32_t K = 1; K <= NVar; ++K)
      MaxDiff = std::max(MaxDiff, std::fabs(C2(K + 1) - B(K)) / (std::fabs(B(K)) + 1e-300));
  }

  const double R2Diff = std::fabs(R2 - (1 - Rss / Tss));
  std::printf(
      "\nchecks: residual orthogonality %s, R2 from the residual %s, two forms agree to %s\n",
      E(MaxNorm).c_str(), E(R2Diff).c_str(), E(MaxDiff).c_str());
  if (NearSingular || !(MaxNorm < 1e-10) || !(R2Diff < 1e-12) || !(MaxDiff < 1e-9)) {
    std::fprintf(stderr, "regression: a check failed%s\n", NearSingular ? " (near singular)" : "");
    return 1;
  }
  std::printf("all checks passed\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  try {
    return Run(Dir + "/concrete.txt");
  } catch (const Exception& E) {
    std::fprintf(stderr, "regression: %s\n", E.what());
    return 1;
  }
}
