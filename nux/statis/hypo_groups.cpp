#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <span>
#include <unordered_map>
#include <vector>

#include "nux/frame/combsort.h"
#include "nux/frame/moments.h"
#include "nux/frame/univconst.h"
#include "nux/math1/sorting.h"
#include "nux/matrix/matrix.h"
#include "nux/openarrays/arraymath.h"
#include "nux/statis/distributions.h"
#include "nux/statis/hypo_impl.h"
#include "nux/statis/hypotests.h"
#include "nux/statis/kstest.h"
#include "nux/vector/vector.h"

namespace nux {

using namespace hypo_detail;

namespace {

// Ranks 1..n of V in input order, ties at their mean rank, NaN after every number (NaNs tie
// with each other); returns the tie sum sum (t^3 - t).
double RankValues(std::span<const double> V, std::vector<double>& Ranks) {
  const auto N = static_cast<int64_t>(V.size());
  Ranks.assign(V.size(), 0.0);
  if (N == 0) return 0.0;
  std::vector<int64_t> Ix(V.size());
  std::iota(Ix.begin(), Ix.end(), int64_t{0});
  auto Less = [](double A, double B) { return !std::isnan(A) && (std::isnan(B) || A < B); };
  auto Same = [](double A, double B) { return A == B || (std::isnan(A) && std::isnan(B)); };
  CombSort(
      0, N - 1, [&](int64_t I, int64_t J) { return Less(V[Ix[J]], V[Ix[I]]); },
      [&](int64_t I, int64_t J) { std::swap(Ix[I], Ix[J]); });
  double TieSum = 0.0;
  for (int64_t I = 0; I < N;) {
    int64_t J = I + 1;
    while (J < N && Same(V[Ix[J]], V[Ix[I]])) ++J;
    const double T = static_cast<double>(J - I);
    const double Mid = static_cast<double>(I + J + 1) / 2.0;  // mean of ranks I+1 .. J
    for (int64_t K = I; K < J; ++K) Ranks[Ix[K]] = Mid;
    if (T > 1.0) TieSum += T * T * T - T;
    I = J;
  }
  return TieSum;
}

// One-way layout: group index of every value (groups in order of first appearance).
struct TGroups {
  std::vector<int32_t> Of;
  int32_t K = 0;
};

TGroups GroupLabels(const TIntVector& labels) {
  TGroups G;
  std::unordered_map<int32_t, int32_t> Seen;
  G.Of.reserve(static_cast<size_t>(labels.NrOfElem()));
  for (int32_t L : labels.Data()) {
    auto [It, New] = Seen.try_emplace(L, G.K);
    if (New) ++G.K;
    G.Of.push_back(It->second);
  }
  return G;
}

// Sums of squares of a one-way layout, about the group means and the grand mean (no raw power
// sums, which cancel on data with a large offset).
void OneWaySS(std::span<const double> X, const TGroups& G, double& SSB, double& SSW, double& SST) {
  const size_t N = X.size();
  std::vector<double> Sum(static_cast<size_t>(G.K), 0.0), Cnt(static_cast<size_t>(G.K), 0.0);
  for (size_t I = 0; I < N; ++I) {
    Sum[G.Of[I]] += X[I];
    Cnt[G.Of[I]] += 1.0;
  }
  const double Grand = StableMean(static_cast<int64_t>(N), [&](int64_t I) { return X[I]; });
  std::vector<double> Mean(Sum.size());
  for (size_t J = 0; J < Sum.size(); ++J) Mean[J] = Sum[J] / Cnt[J];
  SSB = SSW = SST = 0.0;
  for (size_t I = 0; I < N; ++I) {
    const double Dw = X[I] - Mean[G.Of[I]], Dt = X[I] - Grand;
    SSW += Dw * Dw;
    SST += Dt * Dt;
  }
  for (size_t J = 0; J < Sum.size(); ++J) SSB += Cnt[J] * (Mean[J] - Grand) * (Mean[J] - Grand);
}

// Shared checks of LeveneTest and Anova1F; 0 or the code.
int32_t OneWayChecks(const TVector& values, const TIntVector& labels, TGroups& G) {
  if (values.NrOfElem() != labels.NrOfElem()) return -4;
  G = GroupLabels(labels);
  if (G.K < 2) return -1;
  if (G.K >= values.NrOfElem()) return -2;
  if (!AllFinite(values.Data())) return -5;
  return 0;
}

// The F ratio and its p-value, with the conventions for a zero denominator.
double FOf(double SSB, double SSW, int32_t K, int32_t N, double& F) {
  const double MSB = SSB / (K - 1), MSW = SSW / (N - K);
  if (MSW == 0.0) {
    if (MSB == 0.0) {
      F = 0.0;
      return -3.0;
    }
    F = uc_MaxReal;
    return 0.0;
  }
  F = MSB / MSW;
  return FDistriIntegralUpper(F, K - 1, N - K);
}

}  // namespace

// ---------------------------------------------------------------- Bartlett

double BartlettTest(const TDouble2DArray& groups, const TIntArray& sizes, double& chi2) {
  chi2 = 0.0;
  if (groups.size() != sizes.size()) return -1.0;
  for (int32_t S : sizes)
    if (S < 6) return -2.0;
  for (size_t I = 0; I < groups.size(); ++I)
    if (static_cast<size_t>(sizes[I]) > groups[I].size()) return -3.0;
  if (groups.size() < 2) return -4.0;
  for (size_t I = 0; I < groups.size(); ++I)
    if (!AllFinite(std::span<const double>(groups[I].data(), static_cast<size_t>(sizes[I]))))
      return -5.0;
  constexpr double LnZero = -9999999.0;  // stands in for ln 0
  const auto K = static_cast<double>(groups.size());
  double N = 0.0, A = 0.0, B = 0.0, InvSum = 0.0;
  for (size_t I = 0; I < groups.size(); ++I) {
    const double Ni = sizes[I];
    double Mean, Var;
    MeanVarArray(groups[I], 0, sizes[I] - 1, Mean, Var);
    N += Ni;
    A += (Ni - 1.0) * Var;
    B += (Ni - 1.0) * (Var > 0.0 ? std::log(Var) : LnZero);
    InvSum += 1.0 / (Ni - 1.0);
  }
  const double Sp2 = A / (N - K);
  double C = (N - K) * (Sp2 > 0.0 ? std::log(Sp2) : LnZero) - B;
  C /= 1.0 + (InvSum - 1.0 / (N - K)) / 3.0 / (K - 1.0);
  chi2 = C;
  return chi2DistriIntegralUpper(C, static_cast<int32_t>(K) - 1);
}

// ---------------------------------------------------------------- Levene, ANOVA

double LeveneTest(const TVector& values, const TIntVector& labels, double& F) {
  F = 0.0;
  TGroups G;
  if (const int32_t Code = OneWayChecks(values, labels, G); Code != 0) return Code;
  const std::span<const double> X = values.Span();
  std::vector<double> Sum(static_cast<size_t>(G.K), 0.0), Cnt(static_cast<size_t>(G.K), 0.0);
  for (size_t I = 0; I < X.size(); ++I) {
    Sum[G.Of[I]] += X[I];
    Cnt[G.Of[I]] += 1.0;
  }
  std::vector<double> Z(X.size());
  for (size_t I = 0; I < X.size(); ++I) Z[I] = std::fabs(X[I] - Sum[G.Of[I]] / Cnt[G.Of[I]]);
  double SSB, SSW, SST;
  OneWaySS(Z, G, SSB, SSW, SST);
  return FOf(SSB, SSW, G.K, values.NrOfElem(), F);
}

double Anova1F(const TVector& values, const TIntVector& labels, double& SSBetween, double& SSWithin,
               double& SSTotal, int32_t& DFBetween, int32_t& DFWithin, int32_t& DFTotal,
               double& F) {
  SSBetween = SSWithin = SSTotal = F = 0.0;
  DFBetween = DFWithin = DFTotal = 0;
  TGroups G;
  if (const int32_t Code = OneWayChecks(values, labels, G); Code != 0) return Code;
  const int32_t N = values.NrOfElem();
  OneWaySS(values.Span(), G, SSBetween, SSWithin, SSTotal);
  DFBetween = G.K - 1;
  DFWithin = N - G.K;
  DFTotal = N - 1;
  return FOf(SSBetween, SSWithin, G.K, N, F);
}

// ---------------------------------------------------------------- Friedman, ranks

double FriedmanTest(const TMatrix& data, double& chi2) {
  chi2 = 0.0;
  const int32_t K = data.NrOfColumns(), N = data.NrOfRows();
  if (K < 3) return -1.0;
  if (N < 1) return -2.0;
  std::vector<double> Row(static_cast<size_t>(K)), Ranks, R(static_cast<size_t>(K), 0.0);
  double T = 0.0;
  for (int32_t I = 1; I <= N; ++I) {
    for (int32_t J = 1; J <= K; ++J) Row[J - 1] = data.GetVal(J, I);
    if (!AllFinite(Row)) return -3.0;
    T += RankValues(Row, Ranks);
    for (int32_t J = 0; J < K; ++J) R[J] += Ranks[J];
  }
  const double Kd = K, Nd = N;
  // Sum of (R_j - n (k + 1) / 2)^2: the same value as 12 sum R_j^2 / (n k (k + 1)) - 3 n (k + 1)
  // after scaling, without the cancellation of two large terms.
  double Dev = 0.0;
  for (double Rj : R) Dev += (Rj - Nd * (Kd + 1.0) / 2.0) * (Rj - Nd * (Kd + 1.0) / 2.0);
  double C = 12.0 * Dev / (Nd * Kd * (Kd + 1.0));
  if (T > 0.0) {
    const double Den = Nd - T / (Kd * (Kd * Kd - 1.0));
    // Every row tied throughout: no ranking information, no evidence of a difference.
    if (!(Den > 0.0)) return 1.0;
    C = C * Nd / Den;
  }
  chi2 = C;
  return chi2DistriIntegralUpper(C, K - 1);
}

double CalcRanks(const TVector& data, TVector& ranks) {
  std::vector<double> R;
  const double TieSum = RankValues(data.Span(), R);
  if (!R.empty()) ranks.SetValues(R);
  return TieSum;
}

// ---------------------------------------------------------------- sign test, binned data

double BinomSignTest(const TBoolArray& signs, double p) {
  if (signs.size() < 3) return -1.0;
  if (!(p >= 0.0 && p <= 1.0)) return -2.0;
  const auto N = static_cast<int32_t>(std::min<size_t>(signs.size(), INT32_MAX));
  const auto K = static_cast<int32_t>(std::count(signs.begin(), signs.begin() + N, true));
  // The binomial term in logarithms: p^k and (1 - p)^(n - k) underflow long before their
  // product with the coefficient does.
  if (p == 0.0) return K == 0 ? 1.0 : 0.0;
  if (p == 1.0) return K == N ? 1.0 : 0.0;
  return BinomDistriDensity(N, p, K);
}

int32_t PerformChi2DistComp(const TIntArray& bins1, const TIntArray& bins2, double& chi2, double& p,
                            int32_t& df, int32_t& n1, int32_t& n2) {
  chi2 = 0.0;
  p = 0.0;
  df = 0;
  int64_t T1 = 0, T2 = 0;
  bool Negative = false;
  for (int32_t V : bins1) T1 += V, Negative |= V < 0;
  for (int32_t V : bins2) T2 += V, Negative |= V < 0;
  n1 = static_cast<int32_t>(std::clamp<int64_t>(T1, INT32_MIN, INT32_MAX));
  n2 = static_cast<int32_t>(std::clamp<int64_t>(T2, INT32_MIN, INT32_MAX));
  int32_t Status = 0;
  if (bins1.size() != bins2.size()) Status = -1;
  if (bins1.empty() || bins2.empty()) Status = -2;
  if (T1 == 0 || T2 == 0) Status = -3;
  if (Status == 0 && Negative) Status = -4;
  if (Status != 0) return Status;
  const double F1 = std::sqrt(static_cast<double>(T2) / T1),
               F2 = std::sqrt(static_cast<double>(T1) / T2);
  auto Term = [&](double A, double B) { return (F1 * A - F2 * B) * (F1 * A - F2 * B) / B; };
  double C = 0.0, A = 0.0, B = 0.0, LastA = 0.0, LastB = 0.0;
  int32_t D = -1;
  bool Closed = false;
  const size_t L = bins1.size();
  for (size_t I = 0; I < L; ++I) {
    A += bins1[I];
    B += bins2[I];
    if (B > 5.0 && I + 1 < L && bins2[I + 1] != 0) {
      C += Term(A, B);
      ++D;
      LastA = A, LastB = B, Closed = true;
      A = B = 0.0;
    }
  }
  if (A + B > 0.0) {
    if (B > 0.0) {
      C += Term(A, B);
      ++D;
    } else if (Closed) {
      // A remainder without counts in bins2 joins the last merged bin.
      C += Term(LastA + A, LastB) - Term(LastA, LastB);
    }
  }
  chi2 = C;
  df = D;
  p = D >= 1 ? chi2DistriIntegralUpper(C, D) : 1.0;
  return 0;
}

// ---------------------------------------------------------------- KS and Lilliefors

namespace {

double KSDistance(std::span<const double> S) {
  const double N = static_cast<double>(S.size());
  double D = 0.0;
  for (size_t I = 0; I < S.size(); ++I) {
    const double Phi = nDistriIntegral(S[I]);
    const double Ii = static_cast<double>(I + 1);
    D = std::max({D, std::fabs(Ii / N - Phi), std::fabs((Ii - 1.0) / N - Phi)});
  }
  return D;
}

// Standardises sorted data in place with the mean and standard deviation (1 where it is 0).
void StandardizeForLilliefors(std::span<double> X) {
  double Mean, Var;
  StableMeanVar(
      static_cast<int64_t>(X.size()), [&](int64_t I) { return X[I]; }, Mean, Var);
  double Sd = std::sqrt(Var);
  if (!(Sd > 0.0)) Sd = 1.0;
  for (double& V : X) V = (V - Mean) / Sd;
}

}  // namespace

double PerformKSNormalityTest(TDoubleArray& data, bool presorted) {
  if (data.empty() || !AllFinite(data)) return -1.0;
  if (!presorted) SortArray(std::span<double>(data), true);
  return KSDistance(data);
}

double PerformKSNormalityTest(TVector& data, bool presorted) {
  if (!AllFinite(data.Data())) return -1.0;
  if (!presorted) data.SortElems(true, 0, 0);
  return KSDistance(data.Span());
}

double PerformLillieforsTest(TDoubleArray& data, bool presorted) {
  if (data.empty() || !AllFinite(data)) return -1.0;
  if (!presorted) SortArray(std::span<double>(data), true);
  StandardizeForLilliefors(data);
  return KSDistance(data);
}

double PerformLillieforsTest(TVector& data, bool presorted) {
  if (!AllFinite(data.Data())) return -1.0;
  if (!presorted) data.SortElems(true, 0, 0);
  // The array form's standardisation (TVector::Standardize leaves constant data uncentred,
  // which would make the two forms disagree).
  std::vector<double> X = data.ToStdVector();
  StandardizeForLilliefors(X);
  data.SetValues(X);
  return KSDistance(data.Span());
}

}  // namespace nux
