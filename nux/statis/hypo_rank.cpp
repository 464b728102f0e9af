#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "nux/frame/dstruct.h"
#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/statis/accurate.h"
#include "nux/statis/distributions.h"
#include "nux/statis/hypo_impl.h"
#include "nux/statis/hypotests.h"
#include "nux/vector/vector.h"

namespace nux {

using namespace hypo_detail;

namespace {

// Binomial coefficient as a double (0 outside 0 <= k <= n), for n <= 1000.
double BinomD(int32_t n, int32_t k) {
  if (k < 0 || k > n) return 0.0;
  k = std::min(k, n - k);
  double C = 1.0;
  for (int32_t I = 1; I <= k; ++I) C = C * (n - k + I) / I;
  return C;
}

// ln of the binomial coefficient, -inf outside 0 <= k <= n.
double LnBinomD(int32_t n, int32_t k) {
  if (k < 0 || k > n) return -INFINITY;
  return std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0);
}

bool RunsOf(const std::vector<bool>& Bits, double& p) {
  const auto N = static_cast<int64_t>(Bits.size());
  int64_t N1 = 0, R = N > 0 ? 1 : 0;
  for (int64_t I = 0; I < N; ++I) {
    N1 += Bits[I] ? 1 : 0;
    if (I > 0 && Bits[I] != Bits[I - 1]) ++R;
  }
  const int64_t N2 = N - N1;
  if (N1 == 0 || N2 == 0) {  // one kind only: a single run says nothing against randomness
    p = 1.0;
    return false;
  }
  if (N1 > 25 || N2 > 25) {
    const double A = static_cast<double>(N1), B = static_cast<double>(N2), S = A + B;
    const double Sigma = std::sqrt(2.0 * A * B * (2.0 * A * B - A - B) / (S * S * (S - 1.0)));
    const double Z = (static_cast<double>(R) - 2.0 * A * B / S - 1.0) / Sigma;
    p = Z > 0.0 ? statis_detail::NormalUpper(Z) : statis_detail::NormalLower(Z);
  } else {
    p = ExactRunsTest(static_cast<int32_t>(N1), static_cast<int32_t>(N2), static_cast<int32_t>(R));
  }
  return p < 0.05;
}

}  // namespace

// ---------------------------------------------------------------- Wilcoxon signed ranks

int32_t WilcoxonSignedRankTest(const TDoubleArray& x, const TDoubleArray& y, double alpha,
                               bool oneSided, double& MedianDiff, double& WPlus, double& TLow,
                               double& THigh) {
  MedianDiff = WPlus = TLow = THigh = 0.0;
  int32_t Status = 0;
  if (x.size() < 8 || y.size() < 8) Status = -1;
  if (x.size() != y.size()) Status = -2;
  if (!(alpha > 0.0 && alpha <= 1.0)) Status = -3;
  if (Status != 0) return Status;
  if (!AllFinite(x) || !AllFinite(y)) return -5;
  std::vector<double> D;
  D.reserve(x.size());
  for (size_t I = 0; I < x.size(); ++I)
    if (x[I] != y[I]) D.push_back(x[I] - y[I]);
  const auto M = static_cast<int64_t>(D.size());
  // The rank sum of the positive differences among all |d| is the first sample's rank sum when
  // the |d| of the positive and of the negative differences are pooled.
  std::vector<double> Pos, Neg;
  for (double V : D) (V > 0.0 ? Pos : Neg).push_back(std::fabs(V));
  WPlus = MergedRankSums(SortedCopy(Pos), SortedCopy(Neg)).R1;
  const std::vector<double> SD = SortedCopy(D);
  MedianDiff = M == 0 ? 0.0 : (M == 1 ? SD[0] : QuartileOfSorted(SD.data(), M, 0.5));
  if (M < 8) return -4;
  const int32_t T = M > 1000000 ? SRNormal(M, alpha, !oneSided)
                                : WilcoxonSRQuantile(static_cast<int32_t>(M), alpha, !oneSided);
  if (T < 0) return -3;  // alpha beyond the levels the critical values exist for
  const double Md = static_cast<double>(M);
  TLow = T;
  THigh = Md * (Md + 1.0) / 2.0 - T;
  return 0;
}

// ---------------------------------------------------------------- runs

double ExactRunsTest(int32_t n1, int32_t n2, int32_t runs) {
  if (n1 > n2) std::swap(n1, n2);
  if (n1 <= 0) return 1.0;
  // At or beyond the largest possible number of runs the probability is 1 exactly.
  if (static_cast<int64_t>(runs) >= 2 * static_cast<int64_t>(n1) + (n1 < n2 ? 1 : 0)) return 1.0;
  const int64_t Top = std::min<int64_t>(runs, static_cast<int64_t>(n1) + n2);
  const bool Small = static_cast<int64_t>(n1) + n2 <= 1000;
  // Doubles while the coefficients stay in range, else logarithms: the 32-bit coefficients
  // overflow from C(34, 17) on.
  const double LnTotal = LnBinomD(n1 + n2, n1), Total = Small ? BinomD(n1 + n2, n1) : 0.0;
  auto Pair = [&](int32_t A, int32_t B) {
    if (Small) return BinomD(n1 - 1, A) * BinomD(n2 - 1, B) / Total;
    return std::exp(LnBinomD(n1 - 1, A) + LnBinomD(n2 - 1, B) - LnTotal);
  };
  double Sum = 0.0;
  for (int64_t U = 2; U <= Top; ++U) {
    if (U % 2 == 0) {
      const auto H = static_cast<int32_t>(U / 2);
      Sum += 2.0 * Pair(H - 1, H - 1);
    } else {
      const auto V = static_cast<int32_t>((U + 1) / 2);
      Sum += Pair(V - 1, V - 2) + Pair(V - 2, V - 1);
    }
  }
  return std::clamp(Sum, 0.0, 1.0);
}

bool RunsTest(const TBitFld& bits, double& p) {
  std::vector<bool> B(static_cast<size_t>(bits.Size()));
  for (int64_t I = 0; I < bits.Size(); ++I) B[I] = bits.GetBit(I);
  return RunsOf(B, p);
}

bool RunsTest(const TBoolArray& bits, double& p) { return RunsOf(bits, p); }

bool RunsTestSerial(const TDoubleArray& data, double& p) {
  p = -1.0;
  std::vector<double> X;
  X.reserve(data.size());
  for (double V : data)
    if (!std::isnan(V)) X.push_back(V);
  if (X.empty()) return false;
  // The median by the quartile rule (positions (n + 1) p), as the vector form's Quartiles.
  const std::vector<double> S = SortedCopy(X);
  const auto N = static_cast<int64_t>(S.size());
  const double Median = N == 1 ? S[0] : QuartileOfSorted(S.data(), N, 0.5);
  std::vector<bool> B(X.size());
  for (size_t I = 0; I < X.size(); ++I) B[I] = X[I] > Median;
  return RunsOf(B, p);
}

bool RunsTestSerial(const TVector& data, double& p) { return RunsTestSerial(data.Data(), p); }

// ---------------------------------------------------------------- Mann-Whitney, Siegel-Tukey

double PerformMannWhitneyUTest(const TDoubleArray& x, const TDoubleArray& y, bool oneSided,
                               double& U) {
  U = 0.0;
  if (x.empty() || y.empty()) return -1.0;
  if (!AllFinite(x) || !AllFinite(y)) return -3.0;
  const auto N1 = static_cast<int64_t>(x.size()), N2 = static_cast<int64_t>(y.size());
  const TRankSums R = MergedRankSums(SortedCopy(x), SortedCopy(y));
  const double M = static_cast<double>(N1);
  U = R.R1 - M * (M + 1.0) / 2.0;
  return UTestPValue(U, N1, N2, UVariance(N1, N2, R.TieSum), !R.Ties, oneSided);
}

double PerformMannWhitneyUTest(const TVector& x, const TVector& y, bool oneSided, double& U) {
  return PerformMannWhitneyUTest(x.Data(), y.Data(), oneSided, U);
}

double PerformSiegelTukeyTest(const TDoubleArray& data1, const TDoubleArray& data2, double& U) {
  U = 0.0;
  if (data1.empty() || data2.empty()) return -1.0;
  if (!AllFinite(data1) || !AllFinite(data2)) return -3.0;
  const std::vector<double> A = SortedCopy(data1), B = SortedCopy(data2);
  const size_t NA = A.size(), NB = B.size(), N = NA + NB;
  // Pooled order: value and whether it belongs to the first sample.
  std::vector<double> V(N);
  std::vector<uint8_t> First(N);
  for (size_t I = 0, J = 0, K = 0; K < N; ++K) {
    if (J >= NB || (I < NA && A[I] <= B[J])) {
      V[K] = A[I++];
      First[K] = 1;
    } else {
      V[K] = B[J++];
      First[K] = 0;
    }
  }
  // Siegel-Tukey scores: 1 to the smallest, 2 and 3 to the two largest, 4 and 5 to the next two
  // smallest, and so on from alternating ends.
  std::vector<double> Score(N);
  size_t Lo = 0, Hi = N;  // unscored positions Lo .. Hi - 1
  double Next = 1.0;
  bool FromLow = true;
  size_t Take = 1;
  while (Lo < Hi) {
    for (size_t T = 0; T < Take && Lo < Hi; ++T) Score[FromLow ? Lo++ : --Hi] = Next++;
    FromLow = !FromLow;
    Take = 2;
  }
  // Tied values share the mean of their scores.
  bool Ties = false;
  for (size_t I = 0; I < N;) {
    size_t J = I + 1;
    while (J < N && V[J] == V[I]) ++J;
    if (J - I > 1) {
      Ties = true;
      double S = 0.0;
      for (size_t K = I; K < J; ++K) S += Score[K];
      for (size_t K = I; K < J; ++K) Score[K] = S / static_cast<double>(J - I);
    }
    I = J;
  }
  double R1 = 0.0, Mean = 0.0, SS = 0.0;
  for (size_t K = 0; K < N; ++K) {
    if (First[K]) R1 += Score[K];
    Mean += Score[K];
  }
  Mean /= static_cast<double>(N);
  for (double S : Score) SS += (S - Mean) * (S - Mean);
  const double M = static_cast<double>(NA), Nd = static_cast<double>(N);
  U = R1 - M * (M + 1.0) / 2.0;
  // Permutation variance of the first sample's score sum (with ties the scores are not 1..N).
  const double Var = M * static_cast<double>(NB) / (Nd * (Nd - 1.0)) * SS;
  return UTestPValue(U, static_cast<int64_t>(NA), static_cast<int64_t>(NB), N > 1 ? Var : 0.0,
                     !Ties, false);
}

}  // namespace nux
