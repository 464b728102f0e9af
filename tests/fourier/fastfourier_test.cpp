#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <vector>

#include "nux/fourier/fourier.h"
#include "nux/host/host.h"
#include "nux/kernels/dispatch.h"

namespace nux {
namespace {

using Cpx = std::complex<long double>;
constexpr double kPi = 3.14159265358979323846;

std::vector<Cpx> RandomBlock(TFastFourier& F, int32_t N, unsigned Seed) {
  F.SetNumData(N);
  SetRandSeed(Seed);
  std::vector<Cpx> X;
  for (int32_t I = 1; I <= N; ++I) {
    X.emplace_back(Random() * 2 - 1, Random() * 2 - 1);
    F.SetRealVal(I, static_cast<double>(X.back().real()));
    F.SetImagVal(I, static_cast<double>(X.back().imag()));
  }
  return X;
}

// Line K by a direct sum with exponent Sign; the index jk is reduced modulo N exactly.
Cpx DirectLine(const std::vector<Cpx>& X, size_t K, int Sign) {
  Cpx Sum = 0;
  for (size_t J = 0; J < X.size(); ++J) {
    const long double A = Sign * 2.0L * 3.14159265358979323846264338327950288L *
                          static_cast<long double>((J * K) % X.size()) / X.size();
    Sum += X[J] * Cpx(std::cos(A), std::sin(A));
  }
  return Sum;
}

TEST(FastFourier, MatchesDirectSums) {
  // Every line of small blocks, and sampled lines of blocks finished in cache-sized pieces.
  for (int32_t N :
       {1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 1 << 12, 1 << 13, 1 << 15, 1 << 16}) {
    TFastFourier F;
    const auto X = RandomBlock(F, N, 11 + N);
    F.Transform();
    std::vector<int32_t> Lines;
    if (N <= 1024)
      for (int32_t K = 0; K < N; ++K) Lines.push_back(K);
    else
      Lines = {0, 1, 3, 77, N / 4 - 1, N / 4, N / 2, N / 2 + 9, N - 1};
    const double Tol = N <= 1024 ? 1e-12 : 1e-11;
    for (int32_t K : Lines) {
      const Cpx Want = DirectLine(X, static_cast<size_t>(K), +1);
      EXPECT_NEAR(F.GetRealVal(K + 1), static_cast<double>(Want.real()), Tol) << N << " " << K;
      EXPECT_NEAR(F.GetImagVal(K + 1), static_cast<double>(Want.imag()), Tol) << N << " " << K;
    }
  }
  // The inverse, on odd and even powers (a last radix-2 or radix-4 stage).
  for (int32_t N : {1, 2, 8, 64, 512}) {
    TFastFourier F;
    const auto X = RandomBlock(F, N, 5);
    F.InverseTransform();
    for (size_t K = 0; K < static_cast<size_t>(N); ++K) {
      const Cpx Want = DirectLine(X, K, -1) / static_cast<long double>(N);
      EXPECT_NEAR(F.GetRealVal(K + 1), static_cast<double>(Want.real()), 1e-14) << N;
      EXPECT_NEAR(F.GetImagVal(K + 1), static_cast<double>(Want.imag()), 1e-14) << N;
    }
  }
}

TEST(FastFourier, RoundTripOfAMillionPointsAndParseval) {
  const int32_t N = 1 << 20;
  TFastFourier F;
  const auto X = RandomBlock(F, N, 3);
  long double Energy = 0, SpecEnergy = 0;
  for (const auto& V : X) Energy += std::norm(V);
  F.Transform();
  for (int32_t K = 1; K <= N; ++K) SpecEnergy += std::norm(Cpx(F.GetRealVal(K), F.GetImagVal(K)));
  EXPECT_NEAR(static_cast<double>(SpecEnergy / N / Energy), 1.0, 1e-12);
  F.InverseTransform();
  double MaxErr = 0;
  for (int32_t I = 1; I <= N; ++I)
    MaxErr = std::max(
        MaxErr, static_cast<double>(std::abs(Cpx(F.GetRealVal(I), F.GetImagVal(I)) - X[I - 1])));
  EXPECT_LE(MaxErr, 1e-12);  // the samples are of order 1
}

TEST(FastFourier, EveryInstructionSetGivesTheSameBits) {
  if (!kernels::SeveralPaths()) GTEST_SKIP() << "the processor runs only the generic path";
  for (int32_t N : {2, 8, 32, 1 << 10, 1 << 12, 1 << 13, 1 << 15, 1 << 16}) {
    std::vector<std::vector<double>> Results;
    for (auto Path : {kernels::kpGeneric, kernels::kpAVX2, kernels::kpAVX512}) {
      const kernels::TScopedKernelPath Force(Path);
      if (Force.Used() != Path) continue;
      TFastFourier F;
      RandomBlock(F, N, 9);
      F.Transform();
      std::vector<double> R;
      for (int32_t I = 1; I <= N; ++I) R.push_back(F.GetRealVal(I)), R.push_back(F.GetImagVal(I));
      Results.push_back(R);
    }
    for (size_t P = 1; P < Results.size(); ++P)
      EXPECT_EQ(0, std::memcmp(Results[0].data(), Results[P].data(), Results[0].size() * 8)) << N;
  }
}

TEST(FastFourier, RealFourierSeries) {
  TFastFourier F;
  F.SetNumData(8);
  for (int32_t I = 1; I <= 8; ++I) F.SetRealVal(I, 1.0);
  F.Transform();
  EXPECT_DOUBLE_EQ(F.RealSpec(1), 8.0);
  EXPECT_DOUBLE_EQ(F.PowerSpec(0), 8.0);
  EXPECT_DOUBLE_EQ(F.FourSerCosCoeff(0), 1.0);
  EXPECT_DOUBLE_EQ(F.Magnitude(0), 1.0);

  // 0.5 + cos(2 pi j/8) + 2 sin(2 pi 3j/8) - 0.75 cos(pi j): every amplitude comes back, the
  // Nyquist line included, and the power sums to the mean square (Parseval).
  F.SetNumData(8);
  for (int32_t J = 0; J < 8; ++J)
    F.SetRealVal(J + 1, 0.5 + std::cos(2 * kPi * J / 8) + 2 * std::sin(2 * kPi * 3 * J / 8) -
                            0.75 * std::cos(kPi * J));
  F.Transform();
  const double Cos[] = {0.5, 1, 0, 0, -0.75}, Sin[] = {0, 0, 0, 2, 0};
  const double MeanSquare = 0.25 + 0.5 + 2 + 0.5625;
  double PowerSum = 0;
  for (int32_t K = 0; K <= 4; ++K) {
    EXPECT_NEAR(F.FourSerCosCoeff(K), Cos[K], 1e-15) << K;
    EXPECT_NEAR(F.FourSerSinCoeff(K), Sin[K], 1e-15) << K;
    EXPECT_NEAR(F.Magnitude(K), std::hypot(Cos[K], Sin[K]), 1e-15) << K;
    PowerSum += F.PowerSpec(K);
  }
  EXPECT_NEAR(PowerSum / 8, MeanSquare, 1e-14);
  EXPECT_NEAR(F.RMS(0, 4), std::sqrt(MeanSquare), 1e-15);
  EXPECT_NEAR(F.RMS(99, -3), F.RMS(0, 4), 1e-15);  // clipped and put in order
  EXPECT_NEAR(F.RMS(3, 3), std::sqrt(2.0), 1e-15);
  for (double V : {F.PowerSpec(5), F.Magnitude(-1), F.FourSerSinCoeff(0), F.Phase(0), F.RealSpec(0),
                   F.ImagSpec(9)})
    EXPECT_EQ(V, 0.0);

  F.SetNumData(4);
  F.SetImagVal(2, -2.0);
  EXPECT_DOUBLE_EQ(F.Phase(1), -kPi / 2);
  F.SetRealVal(2, -1.0);
  F.SetImagVal(2, 1.0);
  EXPECT_DOUBLE_EQ(F.Phase(1), -kPi / 4);  // principal value, no quadrant
}

TEST(FastFourier, LengthMustBeAPowerOfTwo) {
  TFastFourier F;
  F.SetName("FFT1");
  F.SetNumData(16);
  F.SetRealVal(3, 4.5);
  for (int32_t Bad : {12, 0, -16, std::numeric_limits<int32_t>::min(), (1 << 24) + (1 << 3),
                      MaxFFTLength * 2, MaxFFTLength + 1}) {
    try {
      F.SetNumData(Bad);
      ADD_FAILURE() << Bad << " accepted";
    } catch (const ENUXFourierError& E) {
      EXPECT_STREQ(E.what(), "Component \"FFT1\": data length must be power of 2");
    }
    EXPECT_EQ(F.SpectrumSize(), 16);
    EXPECT_EQ(F.RealSpec(3), 4.5);
  }
  F.SetNumData(1);
  F.SetRealVal(1, 3.0);
  F.SetImagVal(1, -2.0);
  F.Transform();
  F.InverseTransform();
  EXPECT_EQ(F.RealSpec(1), 3.0);
  EXPECT_EQ(F.PowerSpec(0), 13.0);
}

TEST(FastFourier, SetupAndResize) {
  TComponent Owner;
  auto* F = new TFastFourier(&Owner);  // the owner deletes it
  EXPECT_EQ(F->SpectrumSize(), 256);
  EXPECT_EQ(F->WgtFunction(256), 1.0);
  EXPECT_EQ(F->WgtFunction(257), 0.0);
  F->SetTukAlpha(1.5);
  EXPECT_EQ(F->TukeyAlpha(), 1.0);
  F->SetTukAlpha(std::nan(""));
  EXPECT_EQ(F->TukeyAlpha(), 0.0);
  // Resizing to the same length still clears, and leaves user weights of 0.
  F->SetRealVal(5, 7.0);
  F->SetNumData(256);
  EXPECT_EQ(F->RealSpec(5), 0.0);
  for (int32_t I = 1; I <= 256; ++I) F->SetRealVal(I, I), F->SetImagVal(I, -I);
  F->SetWgtWin(fwUserDef);
  F->Transform();
  for (int32_t I = 1; I <= 256; ++I) EXPECT_EQ(std::hypot(F->RealSpec(I), F->ImagSpec(I)), 0.0);
}

// The window's weights, seen by transforming a block of ones (real and imaginary) forth and back.
std::vector<double> WindowOf(TFastFourierWgtWin W, int32_t N, double Alpha = 0) {
  TFastFourier F;
  F.SetNumData(N);
  for (int32_t I = 1; I <= N; ++I) F.SetRealVal(I, 1.0), F.SetImagVal(I, 1.0), F.SetWgtVal(I, I);
  F.SetWgtWin(W);
  F.SetTukAlpha(Alpha);
  F.Transform();
  F.InverseTransform();
  std::vector<double> Out;
  for (int32_t I = 1; I <= N; ++I) {
    EXPECT_NEAR(F.RealSpec(I), F.ImagSpec(I), 1e-14);
    Out.push_back(F.RealSpec(I));
  }
  return Out;
}

TEST(FastFourier, WeightingWindows) {
  auto Expect = [](TFastFourierWgtWin W, auto Formula, double Alpha = 0) {
    const auto Got = WindowOf(W, 16, Alpha);
    for (int32_t I = 1; I <= 16; ++I) EXPECT_NEAR(Got[I - 1], Formula(I), 1e-14) << W << " " << I;
  };
  Expect(fwTriangle, [](int32_t I) { return (I <= 8 ? I : 17 - I) / 8.0; });
  Expect(fwCos2, [](int32_t I) { return std::pow(std::cos(kPi * (I - 8) / 16), 2); });
  Expect(fwUserDef, [](int32_t I) { return I; });
  // alpha = 0.5: the raised cosine in i over i < 4 and i > 12.
  Expect(
      fwTukey, [](int32_t I) { return (I < 4 || I > 12) ? (1 - std::cos(kPi * I / 4)) / 2 : 1.0; },
      0.5);
  // Any alpha: symmetric about N/2 and rising over the taper.
  const auto T = WindowOf(fwTukey, 64, 0.3);
  for (int32_t I = 1; I < 64; ++I) EXPECT_NEAR(T[I - 1], T[64 - I - 1], 1e-14) << I;
  for (int32_t I = 1; I < 10; ++I) EXPECT_LT(T[I - 1], T[I]) << I;
}

TEST(FastFourier, ExtremesAreCachedUntilTheDataChange) {
  TFastFourier F;
  F.SetNumData(8);
  F.SetRealVal(2, 5.0);
  F.SetRealVal(6, -3.0);
  F.SetImagVal(4, 2.0);
  F.SetImagVal(7, std::nan(""));  // skipped
  EXPECT_EQ(F.RealMax(), 5.0);
  EXPECT_EQ(F.RealMin(), -3.0);
  EXPECT_EQ(F.ImagMax(), 2.0);
  EXPECT_EQ(F.ImagMin(), 0.0);
  F.ClearReal();
  EXPECT_EQ(F.RealMax(), 0.0);
  // Lines 0 and N/2 stay out of the power maximum; the magnitude maximum includes N/2.
  F.Clear();
  F.SetRealVal(1, 100.0);  // line 0
  F.SetRealVal(5, 10.0);   // line 4 = N/2
  F.SetRealVal(3, 2.0);    // line 2 and its mirror, line 6
  F.SetRealVal(7, 1.0);
  EXPECT_DOUBLE_EQ(F.PowerMax(), 5.0 / 8);
  EXPECT_DOUBLE_EQ(F.MagniMax(), 10.0 / 8);
  F.Transform();
  EXPECT_DOUBLE_EQ(F.RealMax(), 113.0);
}

TEST(FastFourier, FrequencyOfLinesAndBadSamples) {
  TFastFourier F;
  F.SetNumData(1024);
  const double Dt = 0.001, Df = 1000.0 / 1024;
  EXPECT_EQ(F.FreqOfLine(0, Dt), 0.0);
  EXPECT_EQ(F.FreqOfLine(513, Dt), 0.0);
  EXPECT_NEAR(F.FreqOfLine(512, Dt), 500.0, 1e-12);
  EXPECT_EQ(F.LineOfFreq(Df * 100, Dt), 100);
  EXPECT_EQ(F.LineOfFreq(Df * 2.5, Dt), 2);  // halves to even
  EXPECT_EQ(F.LineOfFreq(Df * 3.5, Dt), 4);
  for (double Freq : {600.0, 0.1, -5.0, std::nan(""), 1e300})
    EXPECT_EQ(F.LineOfFreq(Freq, Freq == 1e300 ? 1e300 : Dt), 0) << Freq;

  F.SetNumData(16);
  F.SetRealVal(3, std::nan(""));
  F.Transform();
  for (int32_t I = 1; I <= 16; ++I) EXPECT_TRUE(std::isnan(F.RealSpec(I)));
  F.SetNumData(4);
  F.SetRealVal(1, std::numeric_limits<double>::infinity());
  F.Transform();  // unit twiddles of the last stage do not turn infinity into NaN
  for (int32_t I = 1; I <= 4; ++I)
    EXPECT_EQ(F.RealSpec(I), std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace nux
