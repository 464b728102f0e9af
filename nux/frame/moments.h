// Numerically stable sums about the mean, shared by every mean-and-variance routine of the
// library. Raw power sums (sum of squares minus squared sum over n) lose every significant digit
// when the data sit on a large offset; these centre on the mean first and keep the same
// formulas, so ordinary data give the same results up to rounding.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace nux {

struct TCentralSums {
  int64_t N = 0;
  double Mean = 0.0;
  double S2 = 0.0;  // sum of squared deviations from the mean
  double S3 = 0.0;
  double S4 = 0.0;
  bool Constant = true;  // every value equal (deviations are then exactly 0)
};

// Mean of the values At(0..N-1). The plain sum divided by N, unless that overflows while the
// values are finite; then the sum of Value/N.
// The mean from the plain sum Sum of N > 0 values taken in order: Sum / N, or, when the sum
// overflowed, the sum of Value/N over the same values (At(0..N-1)); NaN stays NaN.
template <class Get>
double MeanOfSum(double Sum, int64_t N, Get&& At) {
  const double Count = static_cast<double>(N);
  if (std::isfinite(Sum)) return Sum / Count;
  if (std::isnan(Sum)) return Sum;
  double Scaled = 0.0;
  for (int64_t I = 0; I < N; ++I) Scaled += static_cast<double>(At(I)) / Count;
  return Scaled;
}

template <class Get>
double StableMean(int64_t N, Get&& At) {
  if (N <= 0) return 0.0;
  double Sum = 0.0;
  for (int64_t I = 0; I < N; ++I) Sum += static_cast<double>(At(I));
  return MeanOfSum(Sum, N, At);
}

// One value's step of the second pass: its deviation D from the mean, D added to S1 and D^2 to
// S2. Returns D.
inline double CentralStep(double X, double Mean, double& S1, double& S2) {
  const double D = X - Mean;
  S1 += D;
  S2 += D * D;
  return D;
}

// S2 of the second pass' raw sums: exactly 0 for a constant finite series (First its first
// value), else sum d^2 - (sum d)^2 / n clamped at 0.
inline double CentralS2(double S1, double S2, int64_t N, bool Constant, double First) {
  if (Constant && std::isfinite(First)) return 0.0;
  S2 -= S1 * S1 / static_cast<double>(N);
  return S2 < 0.0 ? 0.0 : S2;
}

// The second pass of CentralSums for W series of equal length side by side, given the next
// value of each (X[j] for series j): a caller that streams many series at once keeps each
// series' own order and so the bits CentralSums gives it. Mean[j] is the series' StableMean
// and First[j] its first value; Differ[j] counts the values unequal to it. Finish each series
// with CentralS2(S1[j], S2[j], n, Differ[j] == 0.0, First[j]).
[[gnu::always_inline]] inline void CentralStepMany(size_t W, const double* __restrict X,
                                                   const double* __restrict Mean,
                                                   const double* __restrict First,
                                                   double* __restrict S1, double* __restrict S2,
                                                   double* __restrict Differ) {
  // A select rather than a branch, so that the loop vectorises.
  for (size_t J = 0; J < W; ++J) {
    Differ[J] += X[J] != First[J] ? 1.0 : 0.0;
    CentralStep(X[J], Mean[J], S1[J], S2[J]);
  }
}

// Sums of powers of the deviations from the mean. S2 carries the two-pass correction
// (sum d^2 - (sum d)^2 / n), which removes the rounding error of the mean to first order.
// Higher powers are only formed when WithHigher is true.
template <class Get>
TCentralSums CentralSums(int64_t N, Get&& At, bool WithHigher = false) {
  TCentralSums R;
  R.N = N;
  if (N <= 0) return R;
  R.Mean = StableMean(N, At);
  const double First = static_cast<double>(At(0));
  double S1 = 0.0;
  for (int64_t I = 0; I < N; ++I) {
    const double X = static_cast<double>(At(I));
    if (!(X == First)) R.Constant = false;
    const double D = CentralStep(X, R.Mean, S1, R.S2);
    if (WithHigher) {
      const double D2 = D * D;
      R.S3 += D2 * D;
      R.S4 += D2 * D2;
    }
  }
  R.S2 = CentralS2(S1, R.S2, N, R.Constant, First);
  if (R.Constant && std::isfinite(First)) R.S3 = R.S4 = 0.0;
  return R;
}

// The library's sample variance: S2 / (n - 1), and exactly 1.0 for fewer than 3 values.
inline double SampleVariance(const TCentralSums& C) {
  if (C.N < 3) return 1.0;
  return C.S2 / static_cast<double>(C.N - 1);
}

// Mean and sample variance of At(0..N-1) under the library's rule (variance 1.0 for n < 3).
template <class Get>
void StableMeanVar(int64_t N, Get&& At, double& Mean, double& Variance) {
  const TCentralSums C = CentralSums(N, At);
  Mean = C.Mean;
  Variance = SampleVariance(C);
}

// Sum of products of deviations of two equally long series: sum (x - mx)(y - my), with the same
// first-order correction as CentralSums.
template <class GetX, class GetY>
double CentralCoSum(int64_t N, GetX&& X, GetY&& Y, double MeanX, double MeanY) {
  double Sxy = 0.0, Sx = 0.0, Sy = 0.0;
  for (int64_t I = 0; I < N; ++I) {
    const double Dx = static_cast<double>(X(I)) - MeanX;
    const double Dy = static_cast<double>(Y(I)) - MeanY;
    Sxy += Dx * Dy;
    Sx += Dx;
    Sy += Dy;
  }
  return N > 0 ? Sxy - Sx * Sy / static_cast<double>(N) : 0.0;
}

// The library's quartile rule on ascending sorted values A (n >= 2): position (n + 1) p, the
// integer part k clamped to 1..n-1 (the fraction dropped when clamped), interpolated between the
// k-th and (k+1)-th smallest values. Equal neighbours (infinities too) need no interpolation.
// A is a pointer or anything indexed by int64_t that reads as sorted values.
template <class Sorted>
double QuartileOfSorted(const Sorted& A, int64_t N, double P) {
  const double Pos = static_cast<double>(N + 1) * P;
  auto K = static_cast<int64_t>(std::trunc(Pos));
  double F = Pos - static_cast<double>(K);
  if (K == 0) {
    K = 1;
    F = 0.0;
  }
  if (K > N - 1) {
    K = N - 1;
    F = 0.0;
  }
  const double Lo = static_cast<double>(A[K - 1]), Hi = static_cast<double>(A[K]);
  return (F == 0.0 || Lo == Hi) ? Lo : Lo + (Hi - Lo) * F;
}

}  // namespace nux
