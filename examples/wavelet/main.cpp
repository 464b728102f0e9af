// Wavelet transform of a measured surface profile (data/profile.txt, 512 points): the round
// trip through a full forward and inverse transform, then compression by keeping only the
// largest coefficients, for the three Daubechies orders.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "nux/nux.h"

using namespace nux;

namespace {

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }
std::string E(double X) { return strf(X, 1, -2); }

// RMS of the difference between the block of W and the samples X (element k at k + 1).
double RmsError(const TWavelet1D& W, const std::vector<double>& X) {
  double S = 0;
  for (size_t K = 0; K < X.size(); ++K) {
    const double D = W.GetDataVal(int32_t(K) + 1) - X[K];
    S += D * D;
  }
  return std::sqrt(S / double(X.size()));
}

int Run(const std::string& FileName) {
  TVector Profile;
  if (LoadPlainText(FileName, Profile) != ptOK) {
    std::fprintf(stderr, "wavelet: cannot read %s\n", FileName.c_str());
    return 1;
  }
  const std::vector<double> X = Profile.ToStdVector();
  const int32_t N = Profile.NrOfElem();
  const int32_t Levels = int32_t(std::lround(std::log2(N)));  // the inverse needs all of them
  double Mean = 0, Var = 0;
  Profile.MeanVar(0, 0, Mean, Var);
  std::printf("%d points from %s, sd %s um\n\n", N, FileName.c_str(), F(std::sqrt(Var), 3).c_str());
  std::printf("  order  round trip  kept  compression error/um  relative\n");

  bool Ok = true;
  for (int32_t Order = 1; Order <= 3; ++Order) {
    TWavelet1D W;
    W.SetOrder(Order);
    W.SetNumData(N);  // raises unless N is a power of two
    for (int32_t J = 1; J <= N; ++J) W.SetDataVal(J, X[size_t(J - 1)]);
    W.Transform(Levels);
    std::vector<double> Coeffs(static_cast<size_t>(N));
    for (int32_t J = 1; J <= N; ++J) Coeffs[size_t(J - 1)] = W.GetDataVal(J);
    W.InverseTransform(Levels);
    const double RoundTrip = RmsError(W, X);
    Ok = Ok && RoundTrip < 1e-12;

    // Keep the 6 % largest coefficients (by magnitude), zero the rest, transform back.
    const size_t Keep = size_t(N) * 6 / 100;
    std::vector<double> Mag(Coeffs.size());
    for (size_t K = 0; K < Coeffs.size(); ++K) Mag[K] = std::fabs(Coeffs[K]);
    std::nth_element(Mag.begin(), Mag.begin() + long(Mag.size() - Keep), Mag.end());
    const double Threshold = Mag[Mag.size() - Keep];
    for (int32_t J = 1; J <= N; ++J) {
      const double C = Coeffs[size_t(J - 1)];
      W.SetDataVal(J, std::fabs(C) >= Threshold ? C : 0.0);
    }
    W.InverseTransform(Levels);
    const double Err = RmsError(W, X);
    std::printf("  D%d     %10s  %4d  %20s  %7s%%\n", 2 * Order, E(RoundTrip).c_str(), int(Keep),
                F(Err, 4).c_str(), F(100 * Err / std::sqrt(Var), 2).c_str());
  }
  std::printf("\nround trips %s\n", Ok ? "exact to rounding" : "NOT EXACT");
  return Ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  try {
    return Run(Dir + "/profile.txt");
  } catch (const Exception& Ex) {
    std::fprintf(stderr, "wavelet: %s\n", Ex.what());
    return 1;
  }
}
