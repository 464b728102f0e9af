// Smoothing and hulls on bundled data: a noisy chromatogram (data/chromatogram.txt) is smoothed
// with a Savitzky-Golay polynomial, its peaks are found where the smoothed first derivative
// changes sign, and a zero-phase Chebyshev low pass shows the same peaks without delay; then the
// outline of a field is taken as the convex hull of soil sample positions (data/samples.txt).
#include <cmath>
#include <cstdio>
#include <string>

#include "nux/nux.h"

using namespace nux;

namespace {

constexpr double kStep = 0.05;  // minutes between samples

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }

int Chromatogram(const std::string& FileName) {
  TVector Signal;
  if (LoadPlainText(FileName, Signal) != ptOK) {
    std::fprintf(stderr, "filters: cannot read %s\n", FileName.c_str());
    return 1;
  }
  const int32_t N = Signal.NrOfElem();
  TVector Smooth(N), Slope(N), Low(N);
  PolynomialSmooth(&Signal, 0, 0, &Smooth, 21);
  FirstDeriv(&Smooth, 0, 0, &Slope, 11);
  double A0 = 0;
  TMatrix Coeffs;
  CalcChebFilterCoeffs(4, false, 0.05, 0.5, A0, Coeffs);
  ChebychevFilter(&Signal, 0, 0, &Low, A0, Coeffs);

  std::printf("%d samples from %s\n", N, FileName.c_str());
  std::printf("  peak at/min  height/mV (smoothed)  height/mV (Chebyshev)\n");
  for (int32_t i = 2; i <= N; ++i) {
    // A maximum: the slope turns from rising to falling, well above the baseline.
    if (Slope.GetVal(i - 1) > 0 && Slope.GetVal(i) <= 0 && Smooth.GetVal(i) > 0.8)
      std::printf("  %11s  %20s  %21s\n", F((i - 1) * kStep, 2).c_str(),
                  F(Smooth.GetVal(i), 2).c_str(), F(Low.GetVal(i), 2).c_str());
  }
  return 0;
}

int Field(const std::string& FileName) {
  TMatrix Samples;
  if (LoadPlainText(FileName, Samples) != ptOK || Samples.NrOfColumns() != 2) {
    std::fprintf(stderr, "filters: cannot read %s\n", FileName.c_str());
    return 1;
  }
  TPolygon Points;
  for (int32_t r = 1; r <= Samples.NrOfRows(); ++r)
    Points.push_back({Samples.GetVal(1, r), Samples.GetVal(2, r)});
  const TPolygon Outline = Convex2DHull(Points);
  std::printf("\n%zu sample positions from %s\n", Points.size(), FileName.c_str());
  std::printf("outline: %zu corners, area %s m2, perimeter %s m\n", Outline.size(),
              F(PolygonArea(Outline), 0).c_str(), F(PolygonLength(Outline, true), 1).c_str());
  for (const TPointDouble P : {TPointDouble{300, 200}, TPointDouble{480, 200}}) {
    std::printf("  (%s, %s): %s, %s m from the outline\n", F(P.X, 0).c_str(), F(P.Y, 0).c_str(),
                PointIsInsideConvexHull(P.X, P.Y, Outline) ? "inside" : "outside",
                F(DistanceToPolygon(P, Outline, true), 1).c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  try {
    const int R = Chromatogram(Dir + "/chromatogram.txt");
    return R != 0 ? R : Field(Dir + "/samples.txt");
  } catch (const Exception& Ex) {
    std::fprintf(stderr, "filters: %s\n", Ex.what());
    return 1;
  }
}
