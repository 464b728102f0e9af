#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "nux/host/host.h"
#include "nux/wavelet/wavelet.h"

namespace nux {
namespace {

const double kR2 = std::sqrt(2.0);

void Load(TWavelet1D& W, const std::vector<double>& X) {
  W.SetNumData(static_cast<int32_t>(X.size()));
  for (size_t I = 0; I < X.size(); ++I) W.SetDataVal(static_cast<int32_t>(I + 1), X[I]);
}

std::vector<double> Read(const TWavelet1D& W) {
  std::vector<double> X;
  for (int32_t I = 1; I <= W.Size(); ++I) X.push_back(W.Data(I));
  return X;
}

std::vector<double> RandomSignal(size_t N, unsigned Seed) {
  SetRandSeed(Seed);
  std::vector<double> X(N);
  for (double& V : X) V = RandG(0, 1);
  return X;
}

// Matrix of one step (columns are the images of the unit vectors).
std::vector<std::vector<double>> StepMatrix(TWavelet1D& W, int32_t N, bool Inverse) {
  std::vector<std::vector<double>> M;
  for (int32_t C = 0; C < N; ++C) {
    std::vector<double> E(static_cast<size_t>(N), 0.0);
    E[static_cast<size_t>(C)] = 1.0;
    Load(W, E);
    W.SingleStep(Inverse);
    M.push_back(Read(W));
  }
  return M;  // M[column][row]
}

TEST(Wavelet1D, HaarByHand) {
  TWavelet1D W;
  W.SetOrder(1);
  Load(W, {1, 1, 1, 1});
  W.SingleStep(false);
  const std::vector<double> OneStep = {kR2, kR2, 0, 0};
  for (int32_t I = 0; I < 4; ++I) EXPECT_NEAR(W.Data(I + 1), OneStep[I], 1e-15);
  Load(W, {1, 1, 1, 1});
  W.Transform(2);
  const std::vector<double> Full = {2, 0, 0, 0};
  for (int32_t I = 0; I < 4; ++I) EXPECT_NEAR(W.Data(I + 1), Full[I], 1e-15);

  // 1..8 over all levels: approximation 36/sqrt 8, then the coarse-to-fine details.
  const std::vector<double> Want = {18 / kR2, -8 / kR2, -2,       -2,
                                    -1 / kR2, -1 / kR2, -1 / kR2, -1 / kR2};
  Load(W, {1, 2, 3, 4, 5, 6, 7, 8});
  W.Transform(20);  // more levels than 8 samples allow: three steps
  for (int32_t I = 0; I < 8; ++I) EXPECT_NEAR(W.Data(I + 1), Want[I], 1e-14) << I;
  // Level 0 and negative levels make one step.
  for (int32_t Level : {0, -5, 1}) {
    Load(W, {1, 2, 3, 4, 5, 6, 7, 8});
    W.Transform(Level);
    const std::vector<double> One = {3 / kR2,  7 / kR2,  11 / kR2, 15 / kR2,
                                     -1 / kR2, -1 / kR2, -1 / kR2, -1 / kR2};
    for (int32_t I = 0; I < 8; ++I) EXPECT_NEAR(W.Data(I + 1), One[I], 1e-14) << Level;
  }
  // Two samples need no extension for order 1, in every mode.
  for (auto Mode : {wseWrap, wseZeroPad, wseSymmetric}) {
    W.SetSigExtMode(Mode);
    Load(W, {3, 1});
    W.Transform(1);
    EXPECT_NEAR(W.Data(1), 4 / kR2, 1e-15);
    EXPECT_NEAR(W.Data(2), 2 / kR2, 1e-15);
  }
}

TEST(Wavelet1D, FiltersAreOrthonormalMirrors) {
  TWavelet1D W;
  for (int32_t K = 1; K <= 3; ++K) {
    W.SetOrder(K);
    const auto& LP = W.CoeffsLP();
    const auto& HP = W.CoeffsHP();
    ASSERT_EQ(LP.size(), static_cast<size_t>(2 * K));
    double Sum = 0, Sq = 0, Dot = 0;
    for (size_t M = 0; M < LP.size(); ++M) Sum += LP[M], Sq += LP[M] * LP[M], Dot += LP[M] * HP[M];
    EXPECT_NEAR(Sum, kR2, 1e-15);
    EXPECT_NEAR(Sq, 1.0, 1e-15);
    EXPECT_NEAR(Dot, 0.0, 1e-15);
    EXPECT_EQ(HP.back(), -LP.front());
    EXPECT_EQ(HP[HP.size() - 2], LP[1]);
  }
}

TEST(Wavelet1D, WrapRoundTripOverAllLevels) {
  TWavelet1D W;
  for (int32_t K = 1; K <= 3; ++K) {
    W.SetOrder(K);
    for (int32_t Log = 1; Log <= 12; ++Log) {
      const size_t N = size_t{1} << Log;
      const auto X = RandomSignal(N, 100 + Log);
      Load(W, X);
      W.Transform(Log);
      // Orthonormal steps keep the energy.
      double E0 = 0, E1 = 0;
      for (size_t I = 0; I < N; ++I) E0 += X[I] * X[I];
      for (double V : Read(W)) E1 += V * V;
      EXPECT_NEAR(E1 / E0, 1.0, 1e-13);
      W.InverseTransform(Log + 3);  // extra levels stop at N
      const auto Y = Read(W);
      for (size_t I = 0; I < N; ++I) ASSERT_NEAR(Y[I], X[I], 1e-12) << K << " " << N << " " << I;
    }
  }
}

TEST(Wavelet1D, InverseStepIsTheTransposeOfTheForwardStep) {
  TWavelet1D W;
  for (auto Mode : {wseWrap, wseZeroPad, wseSymmetric}) {
    W.SetSigExtMode(Mode);
    for (int32_t K = 1; K <= 3; ++K) {
      W.SetOrder(K);
      for (int32_t N : {2, 4, 8, 16}) {
        const auto F = StepMatrix(W, N, false);
        const auto G = StepMatrix(W, N, true);
        double MaxRoundTrip = 0;
        for (int32_t R = 0; R < N; ++R)
          for (int32_t C = 0; C < N; ++C) {
            EXPECT_NEAR(G[C][R], F[R][C], 1e-15) << Mode << " K" << K << " N" << N;
            double P = 0;  // (G F)[R][C]
            for (int32_t J = 0; J < N; ++J) P += G[J][R] * F[C][J];
            MaxRoundTrip = std::max(MaxRoundTrip, std::abs(P - (R == C ? 1.0 : 0.0)));
          }
        // Only the periodic extension (and Haar, which never leaves the block) inverts exactly.
        if (Mode == wseWrap || K == 1) {
          EXPECT_LT(MaxRoundTrip, 1e-14) << Mode << " K" << K << " N" << N;
        } else if (N >= 8) {
          EXPECT_GT(MaxRoundTrip, 1e-3) << Mode << " K" << K << " N" << N;
        }
      }
    }
  }
}

TEST(Wavelet1D, ExtensionModesByHand) {
  // Order 2 on 4 samples, output 0 reads positions -2, -1, 0, 1.
  TWavelet1D W;
  W.SetOrder(2);
  const auto& LP = W.CoeffsLP();
  const std::vector<double> X = {1, 2, 3, 4};
  const double Wrap = LP[0] * 3 + LP[1] * 4 + LP[2] * 1 + LP[3] * 2;
  const double Zero = LP[2] * 1 + LP[3] * 2;
  const double Sym = LP[0] * 2 + LP[1] * 1 + LP[2] * 1 + LP[3] * 2;
  const double Want[] = {Wrap, Zero, Sym};
  for (auto Mode : {wseWrap, wseZeroPad, wseSymmetric}) {
    W.SetSigExtMode(Mode);
    Load(W, X);
    W.SingleStep(false);
    EXPECT_NEAR(W.Data(1), Want[Mode], 1e-15) << Mode;
    // Output 1 lies inside the block in every mode.
    EXPECT_NEAR(W.Data(2), LP[0] * 1 + LP[1] * 2 + LP[2] * 3 + LP[3] * 4, 1e-15);
  }
}

TEST(Wavelet1D, PartialInverseWorksFromTheCoarsestBlock) {
  // The inverse starts at blocks of two samples, so one level forward is not undone by one level
  // back: only the first two samples are touched.
  TWavelet1D W;
  W.SetOrder(1);
  Load(W, {1, 2, 3, 4, 5, 6, 7, 8});
  W.Transform(1);
  const auto After = Read(W);
  W.InverseTransform(1);
  const auto Back = Read(W);
  EXPECT_NEAR(Back[0], (After[0] + After[1]) / kR2, 1e-14);
  EXPECT_NEAR(Back[1], (After[0] - After[1]) / kR2, 1e-14);
  for (size_t I = 2; I < 8; ++I) EXPECT_EQ(Back[I], After[I]);
}

TEST(Wavelet1D, BadInput) {
  TWavelet1D W;
  W.SetName("WL");
  EXPECT_EQ(W.Size(), 256);
  EXPECT_EQ(W.Order(), 2);
  EXPECT_EQ(W.SignalExtMode(), wseWrap);
  EXPECT_EQ(W.WaveletFamily(), wlfDaubechies);
  Load(W, {1, 2, 3, 4});
  for (int32_t Bad : {100, 0, -8, std::numeric_limits<int32_t>::min(), (1 << 24) + 4,
                      MaxWaveletLength + 1, MaxWaveletLength * 2}) {
    try {
      W.SetNumData(Bad);
      ADD_FAILURE() << Bad << " accepted";
    } catch (const ENUXWaveletError& E) {
      EXPECT_STREQ(E.what(), "Component \"WL\": data length must be power of 2");
    }
  }
  EXPECT_EQ(Read(W), (std::vector<double>{1, 2, 3, 4}));

  const auto LP = W.CoeffsLP();
  for (int32_t Bad : {4, 0, -1}) {
    try {
      W.SetOrder(Bad);
      ADD_FAILURE() << Bad << " accepted";
    } catch (const ENUXWaveletError& E) {
      EXPECT_STREQ(E.what(), "Component \"WL\": invalid order of Daubechies wavelet family");
    }
  }
  EXPECT_EQ(W.Order(), 2);
  EXPECT_EQ(W.CoeffsLP(), LP);

  EXPECT_EQ(W.Data(0), 0.0);
  EXPECT_EQ(W.Data(5), 0.0);
  W.SetDataVal(5, 9.0);  // ignored
  W.SetNumData(4);       // same length still clears
  EXPECT_EQ(Read(W), (std::vector<double>(4, 0.0)));

  // One sample: nothing to transform; six taps on two samples wrap more than once.
  W.SetNumData(1);
  W.SetDataVal(1, 5.0);
  W.Transform(3);
  W.InverseTransform(3);
  W.SingleStep(false);
  EXPECT_EQ(W.Data(1), 5.0);
  W.SetOrder(3);
  for (auto Mode : {wseWrap, wseZeroPad, wseSymmetric}) {
    W.SetSigExtMode(Mode);
    Load(W, {1.0, -2.0});
    W.Transform(1);
    W.InverseTransform(1);
    if (Mode == wseWrap) {
      EXPECT_NEAR(W.Data(1), 1.0, 1e-14);
      EXPECT_NEAR(W.Data(2), -2.0, 1e-14);
    }
    EXPECT_TRUE(std::isfinite(W.Data(1)) && std::isfinite(W.Data(2)));
  }

  // A NaN sample spoils only the coefficients whose filters reach it.
  W.SetOrder(1);
  W.SetSigExtMode(wseWrap);
  Load(W, {1, 2, std::nan(""), 4, 5, 6, 7, 8});
  W.Transform(1);
  const auto Y = Read(W);
  for (size_t I = 0; I < 8; ++I) EXPECT_EQ(std::isnan(Y[I]), I == 1 || I == 5) << I;
}

}  // namespace
}  // namespace nux
