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

void ExpectNear(const std::vector<double>& Got, const std::vector<double>& Want, double Tol) {
  ASSERT_EQ(Got.size(), Want.size());
  for (size_t I = 0; I < Got.size(); ++I) EXPECT_NEAR(Got[I], Want[I], Tol) << I;
}

TEST(Wavelet1D, HaarByHand) {
  TWavelet1D W;
  W.SetOrder(1);
  Load(W, {1, 1, 1, 1});
  W.SingleStep(false);
  ExpectNear(Read(W), {kR2, kR2, 0, 0}, 1e-15);
  Load(W, {1, 1, 1, 1});
  W.Transform(2);
  ExpectNear(Read(W), {2, 0, 0, 0}, 1e-15);
  // 1..8: more levels than the length allows stop after three; level <= 0 makes one step.
  const double H = 1 / kR2;
  Load(W, {1, 2, 3, 4, 5, 6, 7, 8});
  W.Transform(20);
  ExpectNear(Read(W), {18 * H, -8 * H, -2, -2, -H, -H, -H, -H}, 1e-14);
  for (int32_t Level : {0, -5}) {
    Load(W, {1, 2, 3, 4, 5, 6, 7, 8});
    W.Transform(Level);
    ExpectNear(Read(W), {3 * H, 7 * H, 11 * H, 15 * H, -H, -H, -H, -H}, 1e-14);
  }
}

TEST(Wavelet1D, WrapRoundTripOverAllLevels) {
  TWavelet1D W;
  for (int32_t K = 1; K <= 3; ++K) {
    W.SetOrder(K);
    for (int32_t Log = 1; Log <= 12; ++Log) {
      SetRandSeed(100 + Log);
      std::vector<double> X(size_t{1} << Log);
      double E0 = 0, E1 = 0;
      for (double& V : X) V = RandG(0, 1), E0 += V * V;
      Load(W, X);
      W.Transform(Log);
      for (double V : Read(W)) E1 += V * V;
      EXPECT_NEAR(E1 / E0, 1.0, 1e-13);  // orthonormal steps keep the energy
      W.InverseTransform(Log + 3);       // surplus levels stop at N
      ExpectNear(Read(W), X, 1e-12);
    }
  }
}

TEST(Wavelet1D, InverseStepIsTheTransposeOfTheForwardStep) {
  // Step matrices from the images of the unit vectors: M[column][row].
  auto StepMatrix = [](TWavelet1D& W, int32_t N, bool Inverse) {
    std::vector<std::vector<double>> M;
    for (int32_t C = 0; C < N; ++C) {
      std::vector<double> E(static_cast<size_t>(N), 0.0);
      E[static_cast<size_t>(C)] = 1.0;
      Load(W, E);
      W.SingleStep(Inverse);
      M.push_back(Read(W));
    }
    return M;
  };
  TWavelet1D W;
  for (auto Mode : {wseWrap, wseZeroPad, wseSymmetric})
    for (int32_t K = 1; K <= 3; ++K)
      for (int32_t N : {2, 4, 8, 16}) {
        W.SetSigExtMode(Mode);
        W.SetOrder(K);
        const auto F = StepMatrix(W, N, false);
        const auto G = StepMatrix(W, N, true);
        double MaxRoundTrip = 0;  // largest entry of G F - I
        for (int32_t R = 0; R < N; ++R)
          for (int32_t C = 0; C < N; ++C) {
            EXPECT_NEAR(G[C][R], F[R][C], 1e-15) << Mode << " K" << K << " N" << N;
            double P = R == C ? -1.0 : 0.0;
            for (int32_t J = 0; J < N; ++J) P += G[J][R] * F[C][J];
            MaxRoundTrip = std::max(MaxRoundTrip, std::abs(P));
          }
        // Only the periodic extension inverts exactly, and Haar, which never leaves the block.
        if (Mode == wseWrap || K == 1) {
          EXPECT_LT(MaxRoundTrip, 1e-14) << Mode << " K" << K << " N" << N;
        } else if (N >= 8) {
          EXPECT_GT(MaxRoundTrip, 1e-3) << Mode << " K" << K << " N" << N;
        }
      }
}

TEST(Wavelet1D, PartialInverse) {
  TWavelet1D W;
  // The inverse starts at blocks of two: one level back after one level forward touches only
  // the first two samples.
  W.SetOrder(1);
  Load(W, {1, 2, 3, 4, 5, 6, 7, 8});
  W.Transform(1);
  auto Want2 = Read(W);
  Want2 = {(Want2[0] + Want2[1]) / kR2,
           (Want2[0] - Want2[1]) / kR2,
           Want2[2],
           Want2[3],
           Want2[4],
           Want2[5],
           Want2[6],
           Want2[7]};
  W.InverseTransform(1);
  ExpectNear(Read(W), Want2, 1e-14);
}

TEST(Wavelet1D, BadInput) {
  TWavelet1D W;
  W.SetName("WL");
  EXPECT_EQ(W.Size(), 256);
  EXPECT_EQ(W.Order(), 2);
  Load(W, {1, 2, 3, 4});
  for (int32_t Bad :
       {100, 0, -8, std::numeric_limits<int32_t>::min(), (1 << 24) + 4, MaxWaveletLength * 2}) {
    try {
      W.SetNumData(Bad);
      ADD_FAILURE() << Bad << " accepted";
    } catch (const ENUXWaveletError& E) {
      EXPECT_STREQ(E.what(), "Component \"WL\": data length must be power of 2");
    }
  }
  EXPECT_EQ(Read(W), (std::vector<double>{1, 2, 3, 4}));
  const auto LP = W.CoeffsLP();
  for (int32_t Bad : {4, 0}) {
    try {
      W.SetOrder(Bad);
      ADD_FAILURE() << Bad << " accepted";
    } catch (const ENUXWaveletError& E) {
      EXPECT_STREQ(E.what(), "Component \"WL\": invalid order of Daubechies wavelet family");
    }
  }
  EXPECT_EQ(W.Order(), 2);
  EXPECT_EQ(W.CoeffsLP(), LP);
  W.SetNumData(4);  // the same length still clears
  EXPECT_EQ(Read(W), (std::vector<double>(4, 0.0)));

  // One sample is left alone; six taps on two samples reach beyond one period.
  Load(W, {5.0});
  W.Transform(3);
  W.InverseTransform(3);
  W.SingleStep(false);
  EXPECT_EQ(W.Data(1), 5.0);
  W.SetOrder(3);
  Load(W, {1.0, -2.0});
  W.Transform(1);
  W.InverseTransform(1);
  ExpectNear(Read(W), {1.0, -2.0}, 1e-14);

  // A NaN sample spoils only the coefficients whose filters reach it.
  W.SetOrder(1);
  Load(W, {1, 2, std::nan(""), 4, 5, 6, 7, 8});
  W.Transform(1);
  const auto Y = Read(W);
  for (size_t I = 0; I < 8; ++I) EXPECT_EQ(std::isnan(Y[I]), I == 1 || I == 5) << I;
}

}  // namespace
}  // namespace nux
