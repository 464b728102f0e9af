#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "nux/frame/moments.h"
#include "nux/statis/accurate.h"
#include "nux/statis/distributions.h"
#include "nux/statis/hypo_impl.h"
#include "nux/statis/hypotests.h"
#include "nux/vector/vector.h"

namespace nux {

using namespace hypo_detail;

namespace {

TCentralSums SumsOf(std::span<const double> X, bool WithHigher = false) {
  return CentralSums(
      static_cast<int64_t>(X.size()), [&](int64_t I) { return X[I]; }, WithHigher);
}

// Sample variance with divisor n - 1 (n >= 2): the tests need the true variance, not the
// library's 1.0 for one or two values.
double VarOf(const TCentralSums& C) { return C.S2 / static_cast<double>(C.N - 1); }

// t = Diff / SE and its p-value, with the conventions for a zero standard error: t = 0 and p = 1
// when the difference is 0 too, t = +-inf and p = 0 otherwise.
void TOf(double Diff, double SE, double DF, bool oneSided, double& T, double& P) {
  if (SE > 0.0) {
    T = Diff / SE;
    P = TPValue(T, DF, oneSided);
  } else if (Diff == 0.0) {
    T = 0.0;
    P = 1.0;
  } else {
    T = std::copysign(std::numeric_limits<double>::infinity(), Diff);
    P = 0.0;
  }
}

// Two-sided (twice the smaller tail, at most 1) or one-sided (the smaller tail) p-value.
double SidedP(double Lower, double Upper, bool oneSided) {
  const double Tail = std::min(Lower, Upper);
  return oneSided ? Tail : std::min(1.0, 2.0 * Tail);
}

}  // namespace

// ---------------------------------------------------------------- t-tests

int32_t Perform1SampleTTest(const TDoubleArray& data, double mu, bool oneSided, double& T,
                            double& P, double& Mean, int32_t& DF) {
  T = P = Mean = 0.0;
  DF = 0;
  if (data.size() < 2) return -1;
  if (!AllFinite(data) || !std::isfinite(mu)) return -3;
  const TCentralSums C = SumsOf(data);
  const double N = static_cast<double>(C.N);
  Mean = C.Mean;
  DF = static_cast<int32_t>(std::min<int64_t>(C.N - 1, INT32_MAX));
  TOf(C.Mean - mu, std::sqrt(VarOf(C) / N), N - 1.0, oneSided, T, P);
  return 0;
}

int32_t Perform1SampleTTest(const TVector& data, double mu, bool oneSided, double& T, double& P,
                            double& Mean, int32_t& DF) {
  return Perform1SampleTTest(data.Data(), mu, oneSided, T, P, Mean, DF);
}

int32_t Perform2SampleTTest(const TDoubleArray& x, const TDoubleArray& y, TtTestVersion version,
                            bool oneSided, double& T, double& P, double& DF, double& Mean1,
                            double& Mean2, double& StdDev1, double& StdDev2, int32_t& NUsed) {
  T = P = DF = Mean1 = Mean2 = StdDev1 = StdDev2 = 0.0;
  NUsed = 0;
  if (x.size() < 2 || y.size() < 2) return -1;
  if (version == ttPaired && x.size() != y.size()) return -2;
  if (version < ttPaired || version > ttHeteroScedastic) return -4;
  if (!AllFinite(x) || !AllFinite(y)) return -3;
  const TCentralSums Cx = SumsOf(x), Cy = SumsOf(y);
  const double N1 = static_cast<double>(Cx.N), N2 = static_cast<double>(Cy.N);
  Mean1 = Cx.Mean;
  Mean2 = Cy.Mean;
  StdDev1 = std::sqrt(VarOf(Cx));
  StdDev2 = std::sqrt(VarOf(Cy));
  const auto Count = [](size_t N) { return static_cast<int32_t>(std::min<size_t>(N, INT32_MAX)); };
  if (version == ttPaired) {
    std::vector<double> D(x.size());
    for (size_t I = 0; I < x.size(); ++I) D[I] = x[I] - y[I];
    const TCentralSums Cd = SumsOf(D);
    DF = N1 - 1.0;
    NUsed = Count(x.size());
    TOf(Cd.Mean, std::sqrt(VarOf(Cd) / N1), DF, oneSided, T, P);
    return 0;
  }
  NUsed = Count(x.size() + y.size());
  double SE;
  if (version == ttHomoScedastic) {
    DF = N1 + N2 - 2.0;
    const double Sp2 = (Cx.S2 + Cy.S2) / DF;
    SE = std::sqrt(Sp2 * (1.0 / N1 + 1.0 / N2));
  } else {
    // Welch: the variances of the two means and Satterthwaite's degrees of freedom.
    const double V1 = VarOf(Cx) / N1, V2 = VarOf(Cy) / N2;
    SE = std::sqrt(V1 + V2);
    const double Den = V1 * V1 / (N1 - 1.0) + V2 * V2 / (N2 - 1.0);
    DF = Den > 0.0 ? (V1 + V2) * (V1 + V2) / Den : N1 + N2 - 2.0;
  }
  TOf(Mean1 - Mean2, SE, DF, oneSided, T, P);
  return 0;
}

int32_t Perform2SampleTTest(const TVector& x, const TVector& y, TtTestVersion version,
                            bool oneSided, double& T, double& P, double& DF, double& Mean1,
                            double& Mean2, double& StdDev1, double& StdDev2, int32_t& NUsed) {
  return Perform2SampleTTest(x.Data(), y.Data(), version, oneSided, T, P, DF, Mean1, Mean2, StdDev1,
                             StdDev2, NUsed);
}

double Perform2SampleTTest(const TVector& x, const TVector& y, TtTestVersion version,
                           bool oneSided) {
  double T, P, DF, M1, M2, S1, S2;
  int32_t N;
  const int32_t Status =
      Perform2SampleTTest(x.Data(), y.Data(), version, oneSided, T, P, DF, M1, M2, S1, S2, N);
  return Status != 0 ? Status : P;
}

// ---------------------------------------------------------------- variances

int32_t PerformFTest(const TDoubleArray& data1, const TDoubleArray& data2, bool oneSided, double& F,
                     double& P, double& Var1, double& Var2, double& FCrit, int32_t& DF1,
                     int32_t& DF2) {
  F = P = Var1 = Var2 = FCrit = 0.0;
  DF1 = DF2 = 0;
  if (data1.size() < 2 || data2.size() < 2) return -1;
  if (!AllFinite(data1) || !AllFinite(data2)) return -3;
  const TCentralSums C1 = SumsOf(data1), C2 = SumsOf(data2);
  Var1 = VarOf(C1);
  Var2 = VarOf(C2);
  DF1 = static_cast<int32_t>(std::min<int64_t>(C1.N - 1, INT32_MAX));
  DF2 = static_cast<int32_t>(std::min<int64_t>(C2.N - 1, INT32_MAX));
  FCrit = FDistriQuantile(oneSided ? 0.95 : 0.975, DF1, DF2);
  if (Var2 == 0.0) {
    // No spread in the second sample: equal variances only if the first has none either.
    F = Var1 == 0.0 ? 1.0 : std::numeric_limits<double>::infinity();
    P = Var1 == 0.0 ? 1.0 : 0.0;
    return 0;
  }
  F = Var1 / Var2;
  P = SidedP(FDistriIntegral(F, DF1, DF2), FDistriIntegralUpper(F, DF1, DF2), oneSided);
  return 0;
}

int32_t Perform1SampleChi2Test(const TDoubleArray& data, double sigma, bool oneSided, double& Chi2,
                               double& P, double& Variance, int32_t& DF) {
  Chi2 = P = Variance = 0.0;
  DF = 0;
  if (data.size() < 2) return -1;
  if (!(sigma > 0.0) || !std::isfinite(sigma)) return -2;
  if (!AllFinite(data)) return -3;
  const TCentralSums C = SumsOf(data);
  Variance = VarOf(C);
  DF = static_cast<int32_t>(std::min<int64_t>(C.N - 1, INT32_MAX));
  Chi2 = C.S2 / (sigma * sigma);
  P = SidedP(chi2DistriIntegral(Chi2, DF), chi2DistriIntegralUpper(Chi2, DF), oneSided);
  return 0;
}

// ---------------------------------------------------------------- skewness, kurtosis

int32_t CalcAndTestSkewness(const TDoubleArray& data, bool oneSided, double& Skewness, double& Z,
                            double& P) {
  Skewness = Z = P = 0.0;
  if (data.size() < 8) return -1;
  if (!AllFinite(data)) return -3;
  const TCentralSums C = SumsOf(data, true);
  const double N = static_cast<double>(C.N);
  const double M2 = C.S2 / N, M3 = C.S3 / N;
  if (!(M2 > 0.0)) {
    P = 1.0;
    return -4;
  }
  Skewness = M3 / (M2 * std::sqrt(M2));
  // D'Agostino's normalising transformation of the skewness.
  const double Y = Skewness * std::sqrt((N + 1.0) * (N + 3.0) / (6.0 * (N - 2.0)));
  const double Beta2 = 3.0 * (N * N + 27.0 * N - 70.0) * (N + 1.0) * (N + 3.0) /
                       ((N - 2.0) * (N + 5.0) * (N + 7.0) * (N + 9.0));
  const double W2 = -1.0 + std::sqrt(2.0 * (Beta2 - 1.0));
  const double Delta = 1.0 / std::sqrt(0.5 * std::log(W2));
  const double Alpha = std::sqrt(2.0 / (W2 - 1.0));
  Z = Delta * std::asinh(Y / Alpha);
  P = ZPValue(Z, oneSided);
  return 0;
}

int32_t CalcAndTestKurtosis(const TDoubleArray& data, bool oneSided, double& Kurtosis, double& Z,
                            double& P) {
  Kurtosis = Z = P = 0.0;
  if (data.size() < 5) return -1;
  if (!AllFinite(data)) return -3;
  const TCentralSums C = SumsOf(data, true);
  const double N = static_cast<double>(C.N);
  const double M2 = C.S2 / N, M4 = C.S4 / N;
  if (!(M2 > 0.0)) {
    P = 1.0;
    return -4;
  }
  const double B2 = M4 / (M2 * M2);
  Kurtosis = B2 - 3.0;
  // Anscombe and Glynn's transformation of b2.
  const double E = 3.0 * (N - 1.0) / (N + 1.0);
  const double VarB2 =
      24.0 * N * (N - 2.0) * (N - 3.0) / ((N + 1.0) * (N + 1.0) * (N + 3.0) * (N + 5.0));
  const double X = (B2 - E) / std::sqrt(VarB2);
  const double SqrtBeta1 = 6.0 * (N * N - 5.0 * N + 2.0) / ((N + 7.0) * (N + 9.0)) *
                           std::sqrt(6.0 * (N + 3.0) * (N + 5.0) / (N * (N - 2.0) * (N - 3.0)));
  const double A =
      6.0 + 8.0 / SqrtBeta1 * (2.0 / SqrtBeta1 + std::sqrt(1.0 + 4.0 / (SqrtBeta1 * SqrtBeta1)));
  const double Term1 = 1.0 - 2.0 / (9.0 * A);
  const double Denom = 1.0 + X * std::sqrt(2.0 / (A - 4.0));
  if (Denom == 0.0) return -5;  // the transformation has a pole there
  const double Term2 = std::copysign(std::cbrt((1.0 - 2.0 / A) / std::fabs(Denom)), Denom);
  Z = (Term1 - Term2) / std::sqrt(2.0 / (9.0 * A));
  P = ZPValue(Z, oneSided);
  return 0;
}

// ---------------------------------------------------------------- Shapiro-Wilk

int32_t ShapiroWilkTest(const TDoubleArray& data, int32_t N1, double& W, double& P) {
  W = P = 0.0;
  const auto N = static_cast<int64_t>(data.size());
  if (N < 3) return -1;
  if (N1 == 0) N1 = static_cast<int32_t>(std::min<int64_t>(N, INT32_MAX));
  if (N1 < 3 || N1 > N || static_cast<double>(N - N1) / static_cast<double>(N) > 0.8) return -2;
  if (!AllFinite(data)) return -3;
  const std::vector<double> X = SortedCopy(data);
  if (X[N1 - 1] - X[0] == 0.0 || X[N - 1] == X[0]) {
    W = 1.0;
    P = 1.0;
    return -4;
  }
  // Royston's approximation of the coefficients: expected normal order statistics m_i (upper
  // half by symmetry), the two outermost corrected by polynomials in 1/sqrt(n), the rest
  // scaled so that the coefficients have unit sum of squares.
  const int64_t Half = N / 2;
  const double Nd = static_cast<double>(N);
  std::vector<double> M(static_cast<size_t>(Half));  // M[i] = -m_(i+1), the upper half
  double Summ2 = 0.0;
  for (int64_t I = 0; I < Half; ++I) {
    M[I] = -NormalQuantileAccurate((static_cast<double>(I + 1) - 0.375) / (Nd + 0.25));
    Summ2 += M[I] * M[I];
  }
  Summ2 *= 2.0;
  const double SSumm2 = std::sqrt(Summ2), Rsn = 1.0 / std::sqrt(Nd);
  auto Poly = [](const double* C, int Nc, double V) {
    double R = C[Nc - 1];
    for (int I = Nc - 2; I >= 0; --I) R = R * V + C[I];
    return R;
  };
  static constexpr double C1[6] = {0.0, 0.221157, -0.147981, -2.071190, 4.434685, -2.706056};
  static constexpr double C2[6] = {0.0, 0.042981, -0.293762, -1.752461, 5.682633, -3.582633};
  std::vector<double> A(static_cast<size_t>(Half));  // coefficient of x_(n-i) - x_(i+1)
  if (N == 3) {
    A[0] = std::sqrt(0.5);
  } else {
    const double A1 = Poly(C1, 6, Rsn) + M[0] / SSumm2;
    int64_t First;
    double Fac;
    if (N > 5) {
      const double A2 = Poly(C2, 6, Rsn) + M[1] / SSumm2;
      Fac = std::sqrt((Summ2 - 2.0 * M[0] * M[0] - 2.0 * M[1] * M[1]) /
                      (1.0 - 2.0 * A1 * A1 - 2.0 * A2 * A2));
      A[1] = A2;
      First = 2;
    } else {
      Fac = std::sqrt((Summ2 - 2.0 * M[0] * M[0]) / (1.0 - 2.0 * A1 * A1));
      First = 1;
    }
    A[0] = A1;
    for (int64_t I = First; I < Half; ++I) A[I] = M[I] / Fac;
  }
  // W from the observed values x_(1) .. x_(n1) and their coefficients, in the form
  // 1 - (sqrt(ssa ssx) - sax)(sqrt(ssa ssx) + sax) / (ssa ssx), which keeps W near 1 accurate.
  auto Coef = [&](int64_t I) {  // full antisymmetric coefficient of x_(I+1)
    if (I < Half) return -A[I];
    if (N - 1 - I < Half) return A[N - 1 - I];
    return 0.0;
  };
  const int64_t Nobs = N1;
  double Sa = 0.0, Sx = 0.0;
  for (int64_t I = 0; I < Nobs; ++I) Sa += Coef(I), Sx += X[I];
  Sa /= static_cast<double>(Nobs);
  Sx /= static_cast<double>(Nobs);
  double Ssa = 0.0, Ssx = 0.0, Sax = 0.0;
  for (int64_t I = 0; I < Nobs; ++I) {
    const double Da = Coef(I) - Sa, Dx = X[I] - Sx;
    Ssa += Da * Da;
    Ssx += Dx * Dx;
    Sax += Da * Dx;
  }
  const double SsaSsx = std::sqrt(Ssa * Ssx);
  const double W1 = (SsaSsx - Sax) * (SsaSsx + Sax) / (Ssa * Ssx);
  W = std::clamp(1.0 - W1, 0.0, 1.0);
  P = ShapiroWilkIntegral(W, static_cast<int32_t>(std::min<int64_t>(N, INT32_MAX)),
                          N1 == N ? 0 : N1);
  return 0;
}

int32_t ShapiroWilkTest(const TVector& data, int32_t N1, double& W, double& P) {
  return ShapiroWilkTest(data.Data(), N1, W, P);
}

}  // namespace nux
