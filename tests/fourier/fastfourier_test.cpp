#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <vector>

#include "nux/fourier/fourier.h"
#include "nux/host/host.h"

namespace nux {
namespace {

using Cpx = std::complex<long double>;
constexpr double kPi = 3.14159265358979323846;

std::vector<Cpx> RandomBlock(TFastFourier& F, int32_t N, unsigned Seed) {
  F.SetNumData(N);
  SetRandSeed(Seed);
  std::vector<Cpx> X(static_cast<size_t>(N));
  for (int32_t I = 1; I <= N; ++I) {
    const double Re = Random() * 2 - 1, Im = Random() * 2 - 1;
    F.SetRealVal(I, Re);
    F.SetImagVal(I, Im);
    X[static_cast<size_t>(I - 1)] = {Re, Im};
  }
  return X;
}

// Direct sum with the positive exponent; the angle index jk is reduced modulo N exactly.
std::vector<Cpx> DirectDFT(const std::vector<Cpx>& X) {
  const size_t N = X.size();
  std::vector<Cpx> Out(N);
  for (size_t K = 0; K < N; ++K) {
    Cpx Sum = 0;
    for (size_t J = 0; J < N; ++J) {
      const long double A = 2.0L * 3.14159265358979323846264338327950288L *
                            static_cast<long double>((J * K) % N) / static_cast<long double>(N);
      Sum += X[J] * Cpx(std::cos(A), std::sin(A));
    }
    Out[K] = Sum;
  }
  return Out;
}

TEST(FastFourier, ForwardMatchesDirectDFT) {
  for (int32_t N : {1, 2, 4, 8, 16, 32, 64, 128, 256, 1024}) {
    TFastFourier F;
    const auto X = RandomBlock(F, N, 11 + N);
    const auto Ref = DirectDFT(X);
    F.Transform();
    double MaxErr = 0;
    for (int32_t K = 0; K < N; ++K) {
      const Cpx Got(F.GetRealVal(K + 1), F.GetImagVal(K + 1));
      MaxErr = std::max(MaxErr, static_cast<double>(std::abs(Got - Ref[static_cast<size_t>(K)])));
    }
    EXPECT_LE(MaxErr, 1e-12) << "N = " << N;
  }
}

TEST(FastFourier, LargeBlocksMatchDirectSumsAtSampledLines) {
  // Lengths whose stages are finished block by block; a few lines checked by direct sums.
  for (int32_t N : {1 << 15, 1 << 16}) {
    TFastFourier F;
    const auto X = RandomBlock(F, N, 21);
    F.Transform();
    for (int32_t K : {0, 1, 2, 3, 5, 77, N / 4 - 1, N / 4, N / 2 - 1, N / 2, N / 2 + 9, N - 1}) {
      Cpx Sum = 0;
      for (size_t J = 0; J < X.size(); ++J) {
        const long double A = 2.0L * 3.14159265358979323846264338327950288L *
                              static_cast<long double>((J * static_cast<size_t>(K)) % X.size()) /
                              static_cast<long double>(N);
        Sum += X[J] * Cpx(std::cos(A), std::sin(A));
      }
      EXPECT_NEAR(F.GetRealVal(K + 1), static_cast<double>(Sum.real()), 1e-11) << N << " " << K;
      EXPECT_NEAR(F.GetImagVal(K + 1), static_cast<double>(Sum.imag()), 1e-11) << N << " " << K;
    }
  }
}

TEST(FastFourier, InverseMatchesDirectDFTWithNegativeExponent) {
  const int32_t N = 64;
  TFastFourier F;
  auto X = RandomBlock(F, N, 5);
  F.InverseTransform();
  // conj(DFT+(conj x)) / N is the sum with the negative exponent.
  for (auto& V : X) V = std::conj(V);
  const auto Ref = DirectDFT(X);
  for (int32_t K = 0; K < N; ++K) {
    const Cpx Want = std::conj(Ref[static_cast<size_t>(K)]) / static_cast<long double>(N);
    EXPECT_NEAR(F.GetRealVal(K + 1), static_cast<double>(Want.real()), 1e-14);
    EXPECT_NEAR(F.GetImagVal(K + 1), static_cast<double>(Want.imag()), 1e-14);
  }
}

TEST(FastFourier, RoundTripOfAMillionPointsAndParseval) {
  const int32_t N = 1 << 20;
  TFastFourier F;
  const auto X = RandomBlock(F, N, 3);
  long double Energy = 0;
  for (const auto& V : X) Energy += std::norm(V);
  F.Transform();
  long double SpecEnergy = 0;
  for (int32_t K = 1; K <= N; ++K)
    SpecEnergy += static_cast<long double>(F.GetRealVal(K)) * F.GetRealVal(K) +
                  static_cast<long double>(F.GetImagVal(K)) * F.GetImagVal(K);
  EXPECT_NEAR(static_cast<double>(SpecEnergy / N / Energy), 1.0, 1e-12);
  F.InverseTransform();
  double MaxErr = 0, MaxAbs = 0;
  for (int32_t I = 1; I <= N; ++I) {
    const Cpx Want = X[static_cast<size_t>(I - 1)];
    MaxErr = std::max(MaxErr, std::abs(F.GetRealVal(I) - static_cast<double>(Want.real())));
    MaxErr = std::max(MaxErr, std::abs(F.GetImagVal(I) - static_cast<double>(Want.imag())));
    MaxAbs = std::max(MaxAbs, static_cast<double>(std::abs(Want)));
  }
  EXPECT_LE(MaxErr / MaxAbs, 1e-12);
}

TEST(FastFourier, EveryInstructionSetGivesTheSameBits) {
  for (int32_t N : {2, 8, 32, 1 << 10, 1 << 15, 1 << 16}) {
    std::vector<std::vector<double>> Results;
    for (auto Path : {fourier::fpGeneric, fourier::fpAVX2, fourier::fpAVX512}) {
      if (fourier::SetFFTPath(Path) != Path) continue;
      TFastFourier F;
      RandomBlock(F, N, 9);
      F.Transform();
      std::vector<double> R;
      for (int32_t I = 1; I <= N; ++I) R.push_back(F.GetRealVal(I)), R.push_back(F.GetImagVal(I));
      Results.push_back(R);
    }
    fourier::SetFFTPath(fourier::fpAuto);
    for (size_t P = 1; P < Results.size(); ++P)
      EXPECT_EQ(
          0, std::memcmp(Results[0].data(), Results[P].data(), Results[0].size() * sizeof(double)))
          << "N = " << N << ", path " << P;
  }
}

TEST(FastFourier, ConstantBlockAndRealFourierSeries) {
  TFastFourier F;
  F.SetNumData(8);
  for (int32_t I = 1; I <= 8; ++I) F.SetRealVal(I, 1.0);
  F.Transform();
  EXPECT_DOUBLE_EQ(F.RealSpec(1), 8.0);
  for (int32_t I = 2; I <= 8; ++I) EXPECT_NEAR(std::hypot(F.RealSpec(I), F.ImagSpec(I)), 0, 1e-15);
  EXPECT_DOUBLE_EQ(F.PowerSpec(0), 8.0);
  EXPECT_DOUBLE_EQ(F.FourSerCosCoeff(0), 1.0);
  EXPECT_DOUBLE_EQ(F.Magnitude(0), 1.0);

  // x_j = 0.5 + cos(2 pi j/8) + 2 sin(2 pi 3j/8) - 0.75 cos(pi j): the real series gives back
  // every amplitude, the Nyquist line included.
  F.SetNumData(8);
  for (int32_t J = 0; J < 8; ++J)
    F.SetRealVal(J + 1, 0.5 + std::cos(2 * kPi * J / 8) + 2 * std::sin(2 * kPi * 3 * J / 8) -
                            0.75 * std::cos(kPi * J));
  F.Transform();
  const double Cos[] = {0.5, 1, 0, 0, -0.75}, Sin[] = {0, 0, 0, 2, 0};
  for (int32_t K = 0; K <= 4; ++K) {
    EXPECT_NEAR(F.FourSerCosCoeff(K), Cos[K], 1e-15) << K;
    EXPECT_NEAR(F.FourSerSinCoeff(K), Sin[K], 1e-15) << K;
    EXPECT_NEAR(F.Magnitude(K), std::hypot(Cos[K], Sin[K]), 1e-15) << K;
  }
  // Mean square 0.25 + 1/2 + 4/2 + 0.5625; RMS over all lines is its root.
  EXPECT_NEAR(F.RMS(0, 4), std::sqrt(0.25 + 0.5 + 2 + 0.5625), 1e-15);
  EXPECT_NEAR(F.RMS(99, -3), F.RMS(0, 4), 1e-15);
  double PowerSum = 0;
  for (int32_t K = 0; K <= 4; ++K) PowerSum += F.PowerSpec(K);
  EXPECT_NEAR(PowerSum / 8, 0.25 + 0.5 + 2 + 0.5625, 1e-14);
  EXPECT_NEAR(F.RMS(3, 3), std::sqrt(2.0), 1e-15);
  // Outside the valid ranges.
  EXPECT_EQ(F.PowerSpec(5), 0.0);
  EXPECT_EQ(F.Magnitude(-1), 0.0);
  EXPECT_EQ(F.FourSerSinCoeff(0), 0.0);
  EXPECT_EQ(F.Phase(0), 0.0);
  EXPECT_EQ(F.RealSpec(0), 0.0);
  EXPECT_EQ(F.ImagSpec(9), 0.0);
}

TEST(FastFourier, PhaseUsesThePrincipalArcTangent) {
  TFastFourier F;
  F.SetNumData(4);
  F.SetRealVal(2, 0.0);
  F.SetImagVal(2, -2.0);
  EXPECT_DOUBLE_EQ(F.Phase(1), -kPi / 2);
  F.SetImagVal(2, 3.0);
  EXPECT_DOUBLE_EQ(F.Phase(1), kPi / 2);
  F.SetRealVal(2, -1.0);
  F.SetImagVal(2, 1.0);
  EXPECT_DOUBLE_EQ(F.Phase(1), -kPi / 4);
}

TEST(FastFourier, LengthMustBeAPowerOfTwo) {
  TFastFourier F;
  F.SetName("FFT1");
  F.SetNumData(16);
  F.SetRealVal(3, 4.5);
  for (int32_t Bad : {12, 0, -1, -16, std::numeric_limits<int32_t>::min(), (1 << 24) + (1 << 3),
                      (1 << 24) + 1, MaxFFTLength * 2, MaxFFTLength + 1}) {
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
  EXPECT_EQ(F.RealSpec(1), 3.0);
  EXPECT_EQ(F.ImagSpec(1), -2.0);
  EXPECT_EQ(F.PowerSpec(0), 13.0);
  F.InverseTransform();
  EXPECT_EQ(F.RealSpec(1), 3.0);
}

TEST(FastFourier, SetupDefaultsAndResize) {
  TComponent Owner;
  auto* F = new TFastFourier(&Owner);  // the owner deletes it
  EXPECT_EQ(F->SpectrumSize(), 256);
  EXPECT_EQ(F->WeightingWindow(), fwRectangle);
  EXPECT_EQ(F->TukeyAlpha(), 0.0);
  EXPECT_EQ(F->WgtFunction(1), 1.0);
  EXPECT_EQ(F->WgtFunction(256), 1.0);
  EXPECT_EQ(F->WgtFunction(257), 0.0);
  F->SetTukAlpha(1.5);
  EXPECT_EQ(F->TukeyAlpha(), 1.0);
  F->SetTukAlpha(-0.5);
  EXPECT_EQ(F->TukeyAlpha(), 0.0);
  F->SetTukAlpha(std::nan(""));
  EXPECT_EQ(F->TukeyAlpha(), 0.0);

  // Resizing to the same length still clears; the user weights become 0, so a user window
  // wipes the block.
  F->SetRealVal(5, 7.0);
  F->SetNumData(256);
  EXPECT_EQ(F->RealSpec(5), 0.0);
  EXPECT_EQ(F->WgtFunction(1), 0.0);
  for (int32_t I = 1; I <= 256; ++I) F->SetRealVal(I, I), F->SetImagVal(I, -I);
  F->SetWgtWin(fwUserDef);
  F->Transform();
  for (int32_t I = 1; I <= 256; ++I) {
    EXPECT_EQ(F->RealSpec(I), 0.0);
    EXPECT_EQ(F->ImagSpec(I), 0.0);
  }

  F->SetRealVal(2, 1.0);
  F->SetImagVal(2, 2.0);
  F->ClearReal();
  EXPECT_EQ(F->RealSpec(2), 0.0);
  EXPECT_EQ(F->ImagSpec(2), 2.0);
  F->SetRealVal(2, 1.0);
  F->ClearImag();
  EXPECT_EQ(F->RealSpec(2), 1.0);
  EXPECT_EQ(F->ImagSpec(2), 0.0);
  F->Clear();
  EXPECT_EQ(F->RealSpec(2), 0.0);
}

// Weights of the windows, seen by transforming a block of ones forward and back.
std::vector<double> WindowOf(TFastFourierWgtWin W, int32_t N, double Alpha = 0) {
  TFastFourier F;
  F.SetNumData(N);
  for (int32_t I = 1; I <= N; ++I) F.SetRealVal(I, 1.0), F.SetImagVal(I, 1.0);
  F.SetWgtWin(W);
  F.SetTukAlpha(Alpha);
  F.Transform();
  F.InverseTransform();
  std::vector<double> Out;
  for (int32_t I = 1; I <= N; ++I) {
    EXPECT_NEAR(F.RealSpec(I), F.ImagSpec(I), 1e-14);  // real and imaginary parts alike
    Out.push_back(F.RealSpec(I));
  }
  return Out;
}

TEST(FastFourier, WeightingWindows) {
  const int32_t N = 16;
  auto Expect = [&](TFastFourierWgtWin W, auto Formula, double Alpha = 0) {
    const auto Got = WindowOf(W, N, Alpha);
    for (int32_t I = 1; I <= N; ++I) EXPECT_NEAR(Got[I - 1], Formula(I), 1e-14) << W << " " << I;
  };
  Expect(fwRectangle, [](int32_t) { return 1.0; });
  Expect(fwTriangle, [&](int32_t I) { return (I <= N / 2 ? I : N + 1 - I) * 2.0 / N; });
  Expect(fwCos2, [&](int32_t I) { return std::pow(std::cos(kPi * (I - 8) / 16), 2); });
  Expect(fwGauss, [&](int32_t I) { return std::exp(-0.5 * std::pow(6.0 * (I - 8) / 16, 2)); });
  Expect(fwHamming,
         [&](int32_t I) { return 0.543478261 + 0.456521739 * std::cos(2 * kPi * (I - 8) / 16); });
  Expect(fwBlackman, [&](int32_t I) {
    const double T = kPi * (I - 8) / 16;
    return 0.42659 + 0.49656 * std::cos(2 * T) + 0.076848 * std::cos(4 * T);
  });
  Expect(fwBlkmHarris, [&](int32_t I) {
    const double T = kPi * (I - 8) / 16;
    return 0.35875 + 0.48829 * std::cos(2 * T) + 0.14128 * std::cos(4 * T) +
           0.01168 * std::cos(6 * T);
  });
  Expect(fwBlkmNuttall, [&](int32_t I) {
    const double T = kPi * (I - 8) / 16;
    return 0.3635819 + 0.4891775 * std::cos(2 * T) + 0.1365995 * std::cos(4 * T) +
           0.0106411 * std::cos(6 * T);
  });
  // alpha = 0.5: tapers over i < 4 and i > 12, the same raised cosine in i on both sides.
  Expect(
      fwTukey,
      [&](int32_t I) { return (I < 4 || I > 12) ? (1 - std::cos(2 * kPi * I / 8)) / 2 : 1.0; },
      0.5);
  Expect(
      fwTukey, [](int32_t) { return 1.0; }, 0.0);
  // For any alpha the window is symmetric about N/2 and rises monotonically over the taper.
  const auto T = WindowOf(fwTukey, 64, 0.3);
  for (int32_t I = 1; I < 64; ++I) EXPECT_NEAR(T[I - 1], T[64 - I - 1], 1e-14) << I;
  for (int32_t I = 1; I < 10; ++I) EXPECT_LT(T[I - 1], T[I]) << I;
  EXPECT_EQ(T[31], 1.0);

  TFastFourier U;
  U.SetNumData(4);
  for (int32_t I = 1; I <= 4; ++I) U.SetRealVal(I, 1.0), U.SetWgtVal(I, 0.5 * I);
  U.SetWgtWin(fwUserDef);
  U.Transform();
  U.InverseTransform();
  for (int32_t I = 1; I <= 4; ++I) EXPECT_NEAR(U.RealSpec(I), 0.5 * I, 1e-15);
  // The weighting changes the stored samples, so the next Transform weights them again.
  U.Transform();
  U.InverseTransform();
  for (int32_t I = 1; I <= 4; ++I) EXPECT_NEAR(U.RealSpec(I), 0.25 * I * I, 1e-15);
}

TEST(FastFourier, ExtremesAreCachedUntilTheDataChange) {
  TFastFourier F;
  F.SetNumData(8);
  EXPECT_EQ(F.RealMax(), 0.0);
  EXPECT_EQ(F.PowerMax(), 0.0);
  F.SetRealVal(2, 5.0);
  F.SetRealVal(6, -3.0);
  F.SetImagVal(4, 2.0);
  F.SetImagVal(7, std::nan(""));  // ignored by the extremes
  EXPECT_EQ(F.RealMax(), 5.0);
  EXPECT_EQ(F.RealMin(), -3.0);
  EXPECT_EQ(F.ImagMax(), 2.0);
  EXPECT_EQ(F.ImagMin(), 0.0);
  F.SetImagVal(7, 0.0);
  F.ClearReal();
  EXPECT_EQ(F.RealMax(), 0.0);

  // Lines 0 and N/2 are left out of the power maximum; the magnitude maximum includes N/2.
  F.Clear();
  F.SetRealVal(1, 100.0);  // line 0
  F.SetRealVal(5, 10.0);   // line 4 = N/2
  F.SetRealVal(3, 2.0);    // line 2
  F.SetRealVal(7, 1.0);    // its mirror, line 6
  EXPECT_DOUBLE_EQ(F.PowerMax(), 5.0 / 8);
  EXPECT_DOUBLE_EQ(F.MagniMax(), 10.0 / 8);
  EXPECT_DOUBLE_EQ(F.GetPowerSpec(2), 5.0 / 8);
  F.Transform();
  EXPECT_DOUBLE_EQ(F.RealMax(), 113.0);  // line 0 holds the sum
}

TEST(FastFourier, FrequencyOfLines) {
  TFastFourier F;
  F.SetNumData(1024);
  const double Dt = 0.001;  // 1 kHz sampling
  EXPECT_EQ(F.FreqOfLine(0, Dt), 0.0);
  EXPECT_EQ(F.FreqOfLine(513, Dt), 0.0);
  EXPECT_NEAR(F.FreqOfLine(512, Dt), 500.0, 1e-12);
  EXPECT_NEAR(F.FreqOfLine(1, Dt), 1000.0 / 1024, 1e-12);
  EXPECT_EQ(F.LineOfFreq(1000.0 / 1024 * 100, Dt), 100);
  EXPECT_EQ(F.LineOfFreq(600.0, Dt), 0);
  EXPECT_EQ(F.LineOfFreq(0.1, Dt), 0);
  EXPECT_EQ(F.LineOfFreq(1000.0 / 1024 * 2.5, Dt), 2);  // halves to even
  EXPECT_EQ(F.LineOfFreq(1000.0 / 1024 * 3.5, Dt), 4);
  EXPECT_EQ(F.LineOfFreq(std::nan(""), Dt), 0);
  EXPECT_EQ(F.LineOfFreq(1e300, 1e300), 0);
  EXPECT_EQ(F.LineOfFreq(-5.0, Dt), 0);
}

TEST(FastFourier, NonFiniteSamplesStayInTheBlock) {
  TFastFourier F;
  F.SetNumData(16);
  F.SetRealVal(3, std::nan(""));
  F.Transform();
  for (int32_t I = 1; I <= 16; ++I) EXPECT_TRUE(std::isnan(F.RealSpec(I)));
  EXPECT_EQ(F.SpectrumSize(), 16);
  F.Clear();
  F.SetRealVal(1, std::numeric_limits<double>::infinity());
  F.SetNumData(4);
  F.SetRealVal(1, std::numeric_limits<double>::infinity());
  F.Transform();
  // An infinite sample at position 0 spreads as +inf to every real part.
  for (int32_t I = 1; I <= 4; ++I)
    EXPECT_EQ(F.RealSpec(I), std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace nux
