#include "nux/statis/randgen.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "nux/frame/errors.h"
#include "nux/host/random.h"
#include "nux/math1/scalar.h"
#include "nux/statis/distributions.h"

namespace nux {

TRandGen::TRandGen(TComponent* AOwner) : TComponent(AOwner) {
  GuardAlloc<ENUXStatisError>(*this, msgNoMemoryOnHeap,
                              [&] { FDistVec.assign(size_t(FResolution), 1.0); });
}

void TRandGen::SetLowBorder(double Value) {
  if (std::isfinite(Value)) FLowBorder = Value;
}

void TRandGen::SetHighBorder(double Value) {
  if (std::isfinite(Value)) FHighBorder = Value;
}

void TRandGen::SetResolution(int32_t Count) {
  Count = std::clamp(Count, RandGenMinResolution, RandGenMaxResolution);
  GuardAlloc<ENUXStatisError>(*this, msgNoMemory, [&] {
    TDoubleArray Table(size_t(Count), 1.0);
    FDistVec.swap(Table);
  });
  FResolution = Count;
}

double TRandGen::GetLambda(int32_t Ix) const {
  if (Ix <= 0) return FLowBorder;
  if (Ix > FResolution) return FHighBorder;
  return FLowBorder + (Ix - 1) * (FHighBorder - FLowBorder) / FResolution;
}

int32_t TRandGen::IndexOfLambda(double Value) const {
  if (std::isnan(Value) || Value < FLowBorder) return 0;
  if (Value > FHighBorder) return FResolution + 1;
  // Coinciding borders (a new generator) leave no width to divide by: one point holds all.
  if (FHighBorder == FLowBorder) return 1;
  const int64_t K = IntNeg((Value - FLowBorder) * FResolution / (FHighBorder - FLowBorder)) + 1;
  // Below HighBorder the value lies in a cell, even where rounding reached the border.
  const int64_t Last = Value < FHighBorder ? FResolution : FResolution + 1;
  return static_cast<int32_t>(std::clamp<int64_t>(K, 1, Last));
}

double TRandGen::GetProbability(int32_t Idx) const {
  return Idx >= 1 && Idx <= FResolution ? FDistVec[size_t(Idx - 1)] : 0.0;
}

void TRandGen::SetProbability(int32_t Idx, double Value) {
  if (Idx < 1 || Idx > FResolution || std::isnan(Value)) return;
  FDistVec[size_t(Idx - 1)] = std::clamp(Value, 0.0, 1.0);
}

void TRandGen::Normalize() {
  const auto [Lo, Hi] = std::minmax_element(FDistVec.begin(), FDistVec.end());
  const double Min = *Lo, Range = *Hi - *Lo;
  if (!(Range > 0.0)) return;
  for (double& V : FDistVec) V = (V - Min) / Range;
}

void TRandGen::Standardize() {
  const double Max = *std::max_element(FDistVec.begin(), FDistVec.end());
  if (!(Max > 0.0)) return;
  for (double& V : FDistVec) V /= Max;
}

template <class Density, class Cdf>
void TRandGen::FillFrom(Density&& F, Cdf&& P) {
  TDoubleArray Table;
  GuardAlloc<ENUXStatisError>(*this, msgNoMemory, [&] { Table.resize(size_t(FResolution)); });
  for (int32_t I = 1; I <= FResolution; ++I) {
    const double X = GetLambda(I);
    double V = F(X);
    if (std::isinf(V)) {
      // An integrable pole at the point: its cell's mean density stands for it, so the table
      // keeps the cell's share of the probability instead of turning into inf (and then NaN).
      const double X1 = GetLambda(I + 1);
      V = X1 != X ? (P(X1) - P(X)) / (X1 - X) : 0.0;
      if (!std::isfinite(V) || V < 0.0) V = 0.0;
    }
    Table[size_t(I - 1)] = V;
  }
  FDistVec.swap(Table);
}

bool TRandGen::NormalDistri(double Mean, double StdDev) {
  if (!std::isfinite(Mean) || !std::isfinite(StdDev) || StdDev <= 0.0) return false;
  FillFrom(
      [&](double X) {
        const double Z = (X - Mean) / StdDev;
        return std::exp(-0.5 * Z * Z);
      },
      [](double) { return 0.0; });
  return true;
}

bool TRandGen::tDistri(int32_t Df) {
  if (Df < 1) return false;
  FillFrom([&](double X) { return tDistriDensity(X, Df); }, [](double) { return 0.0; });
  return true;
}

bool TRandGen::Chi2Distri(int32_t Df) {
  if (Df < 1) return false;
  FillFrom([&](double X) { return X < 0.0 ? 0.0 : Chi2DistriDensity(X, Df); },
           [&](double X) { return chi2DistriIntegral(X, Df); });
  return true;
}

bool TRandGen::FDistri(int32_t Df1, int32_t Df2) {
  if (Df1 < 1 || Df2 < 1) return false;
  FillFrom([&](double X) { return X < 0.0 ? 0.0 : FDistriDensity(X, Df1, Df2); },
           [&](double X) { return FDistriIntegral(X, Df1, Df2); });
  return true;
}

bool TRandGen::WeibullDistri(double Beta, double Eta) {
  if (!(Beta > 0.0) || !(Eta > 0.0) || std::isinf(Beta) || std::isinf(Eta)) return false;
  FillFrom([&](double X) { return WeibullDensity(X, Beta, Eta); }, [](double) { return 0.0; });
  return true;
}

void TRandGen::UniformDistri() { std::fill(FDistVec.begin(), FDistVec.end(), 1.0); }

double TRandGen::GetRandNum() {
  const int32_t R = FResolution;
  const double* Table = FDistVec.data();
  int32_t A = 0;
  double B = 0.0;
  for (int32_t Trial = 0; Trial < RandGenMaxTrials; ++Trial) {
    // One uniform deviate gives both the cell and the position in it (53 - 12 bits remain
    // for the position at the largest resolution).
    const double U = nux::Random() * R;
    A = static_cast<int32_t>(U);
    B = U - A;
    if (A >= R) {  // U rounded up to R
      A = R - 1;
      B = std::nextafter(1.0, 0.0);
    }
    const double C = A + 1 < R ? Table[A] + (Table[A + 1] - Table[A]) * B : Table[A] * (1.0 - B);
    if (C >= 1.0) break;
    // An entry of 0 can never accept: no deviate is spent on it.
    if (C > 0.0 && nux::Random() < C) break;
  }
  return FLowBorder + (A + B) * (FHighBorder - FLowBorder) / R;
}

}  // namespace nux
