// Numerically stable sums about the mean, shared by every mean-and-variance routine of the
// library. Raw power sums (sum of squares minus squared sum over n) lose every significant digit
// when the data sit on a large offset; these centre on the mean first and keep the same
// formulas, so ordinary data give the same results up to rounding.
#pragma once

#include <cmath>
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
template <class Get>
double StableMean(int64_t N, Get&& At) {
  if (N <= 0) return 0.0;
  double Sum = 0.0;
  for (int64_t I = 0; I < N; ++I) Sum += static_cast<double>(At(I));
  const double Count = static_cast<double>(N);
  if (std::isfinite(Sum)) return Sum / Count;
  double Scaled = 0.0;
  for (int64_t I = 0; I < N; ++I) Scaled += static_cast<double>(At(I)) / Count;
  return std::isnan(Sum) ? Sum : Scaled;
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
    const double D = X - R.Mean;
    const double D2 = D * D;
    S1 += D;
    R.S2 += D2;
    if (WithHigher) {
      R.S3 += D2 * D;
      R.S4 += D2 * D2;
    }
  }
  if (R.Constant && std::isfinite(First)) {
    R.S2 = R.S3 = R.S4 = 0.0;
    return R;
  }
  R.S2 -= S1 * S1 / static_cast<double>(N);
  if (R.S2 < 0.0) R.S2 = 0.0;
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
