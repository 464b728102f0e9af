// Members of TVector that TIntVector does not have.
#include <algorithm>
#include <cmath>
#include <limits>

#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/kernels/histogram.h"
#include "nux/math1/scalar.h"
#include "nux/vector/vector.h"

namespace nux {

void TVector::SetVecSize(int32_t NE) {
  if (NE > 0 && NE != NrOfElem()) Resize(NE);
}

void TVector::SetVecLeng(double L) {
  const double Current = CalcVecLeng();
  if (!(Current > 0.0)) return;
  const double Factor = L / Current;
  for (double& X : FVec) X *= Factor;
  Changed();
}

void TVector::FillRandomUniform(double RangeLow, double RangeHigh) {
  for (double& X : FVec) X = RangeLow + (RangeHigh - RangeLow) * Random();
  FIsEmpty = false;
  Changed();
}

void TVector::FillRandomGauss(double Mean, double StdDev) {
  for (double& X : FVec) X = Mean + StdDev * GRandom();
  FIsEmpty = false;
  Changed();
}

void TVector::Standardize(double& Mean, double& StdDev) {
  double Variance = 0.0;
  MeanVar(0, 0, Mean, Variance);
  StdDev = std::sqrt(Variance);
  if (!(StdDev > 0.0)) return;
  for (double& X : FVec) X = (X - Mean) / StdDev;
}

double TVector::MeanCenter() {
  const double* First = FVec.data();
  const double Mean = StableMean(NrOfElem(), [First](int64_t I) { return First[I]; });
  for (double& X : FVec) X -= Mean;
  return Mean;
}

void TVector::QNormalize(double RefQuant, double& Median, double& QuantDiff) {
  Median = Percentile(50.0, 0, 0);
  QuantDiff = std::fabs(Median - Percentile(RefQuant, 0, 0));
  if (!(QuantDiff > 0.0)) return;
  for (double& X : FVec) X = (X - Median) / QuantDiff;
}

double TVector::Integrate(double BoundLow, double BoundHigh, TIntegMethod Method) const {
  if (std::isnan(BoundLow) || std::isnan(BoundHigh))
    return std::numeric_limits<double>::quiet_NaN();
  const double N = NrOfElem();
  double Lo = std::clamp(BoundLow, 1.0, N), Hi = std::clamp(BoundHigh, 1.0, N);
  if (Hi < Lo) std::swap(Lo, Hi);
  const double W = Hi - Lo;
  const auto A = static_cast<int32_t>(std::ceil(Lo));
  const auto B = static_cast<int32_t>(std::floor(Hi));
  const auto Y = [this](int32_t K) { return GetVal(K); };
  // Values at the bounds, interpolated between the neighbouring samples.
  const double YLo = (A > Lo) ? Y(A - 1) + (Y(A) - Y(A - 1)) * (Lo - (A - 1)) : Y(A);
  const double YHi = (Hi > B) ? Y(B) + (Y(B + 1) - Y(B)) * (Hi - B) : Y(B);
  const double L = (A > Lo) ? (YLo + Y(A)) / 2.0 * (A - Lo) : 0.0;
  const double R = (Hi > B) ? (Y(B) + YHi) / 2.0 * (Hi - B) : 0.0;

  if (Method == imSimple) {
    if (B < A) return (Y(A - 1) + Y(A)) / 2.0 * W;
    double S = 0.0;
    for (int32_t K = A; K <= B; ++K) S += Y(K);
    return S / (B - A + 1) * W;
  }
  const auto Trapezoidal = [&] {
    if (B < A) return (YLo + YHi) / 2.0 * W;
    double S = L + R;
    for (int32_t K = A; K < B; ++K) S += (Y(K) + Y(K + 1)) / 2.0;
    return S;
  };
  const int32_t C = B - A;
  if (Method != imSimpson || C < 2) return Trapezoidal();
  switch (C) {
    case 2:
      return L + R + (Y(A) + 4.0 * Y(A + 1) + Y(A + 2)) / 3.0;
    case 3:
      return L + R + 3.0 / 8.0 * (Y(A) + 3.0 * Y(A + 1) + 3.0 * Y(A + 2) + Y(A + 3));
    case 4:
      return L + R +
             2.0 / 45.0 *
                 (7.0 * Y(A) + 32.0 * Y(A + 1) + 12.0 * Y(A + 2) + 32.0 * Y(A + 3) +
                  7.0 * Y(A + 4));
    default: {
      double S = L + R + 3.0 / 8.0 * Y(A) + 7.0 / 6.0 * Y(A + 1) + 23.0 / 24.0 * Y(A + 2);
      for (int32_t K = A + 3; K <= B - 3; ++K) S += Y(K);
      return S + 23.0 / 24.0 * Y(B - 2) + 7.0 / 6.0 * Y(B - 1) + 3.0 / 8.0 * Y(B);
    }
  }
}

bool TVector::Histogram(int32_t FirstElem, int32_t LastElem, double FirstBin, double LastBin,
                        double BinWidth, TIntArray& Histo, int32_t& Underflow, int32_t& Overflow,
                        int32_t& MaxCnt) const {
  const kernels::TDoubleBins Bins(FirstBin, LastBin, BinWidth);
  if (Bins.Count == 0) return false;
  kernels::CountHistogram(FVec, FirstElem, LastElem, Bins.Count, Bins, Histo, Underflow, Overflow,
                          MaxCnt);
  return true;
}

bool TVector::Histogram(int32_t FirstElem, int32_t LastElem, double FirstBin, double LastBin,
                        double BinWidth, TIntVector& Histo, int32_t& Underflow, int32_t& Overflow,
                        int32_t& MaxCnt) const {
  TIntArray Counts;
  if (!Histogram(FirstElem, LastElem, FirstBin, LastBin, BinWidth, Counts, Underflow, Overflow,
                 MaxCnt))
    return false;
  Histo.Resize(static_cast<int32_t>(Counts.size()));
  Histo.CopyFrom(Counts, 0, 0, 1);
  return true;
}

}  // namespace nux
