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
  GuardAlloc<ENUXStatisError>(*this, msgNoMemoryOnHeap, [&] {
    FDistVec.assign(size_t(FResolution), 1.0);
    FCellCut.resize(size_t(FResolution));
    FCellAlias.resize(size_t(FResolution));
  });
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
    const auto N = static_cast<size_t>(Count);
    TDoubleArray Table(N, 1.0), Cut(N);
    TIntArray Alias(N);
    FDistVec.swap(Table);
    FCellCut.swap(Cut);
    FCellAlias.swap(Alias);
  });
  FResolution = Count;
  FSampler = smStale;
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
  FSampler = smStale;
}

void TRandGen::Normalize() {
  const auto [Lo, Hi] = std::minmax_element(FDistVec.begin(), FDistVec.end());
  const double Min = *Lo, Range = *Hi - *Lo;
  if (!(Range > 0.0)) return;
  for (double& V : FDistVec) V = (V - Min) / Range;
  FSampler = smStale;
}

void TRandGen::Standardize() {
  const double Max = *std::max_element(FDistVec.begin(), FDistVec.end());
  if (!(Max > 0.0)) return;
  for (double& V : FDistVec) V /= Max;
  FSampler = smStale;
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
  FSampler = smStale;
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

void TRandGen::UniformDistri() {
  std::fill(FDistVec.begin(), FDistVec.end(), 1.0);
  FSampler = smStale;
}

void TRandGen::PrepareSampler() {
  const int32_t R = FResolution;
  const double* F = FDistVec.data();
  if (*std::max_element(F, F + R) > 1.0) {
    FSampler = smRejection;  // acceptance is capped at 1: not the plain interpolation
    return;
  }
  // Cell masses: the mean of the entries at both edges, the last cell falling to 0.
  double Total = 0.0;
  for (int32_t A = 0; A < R; ++A) {
    FCellCut[size_t(A)] = (F[A] + (A + 1 < R ? F[A + 1] : 0.0)) / 2.0;
    Total += FCellCut[size_t(A)];
  }
  if (!(Total > 0.0)) {
    FSampler = smUniform;
    return;
  }
  // Vose's construction: slot A holds cell A up to its cut, its alias above it.
  TIntArray Under, Over;
  Under.reserve(size_t(R));
  Over.reserve(size_t(R));
  TIntArray& Alias = FCellAlias;
  for (int32_t A = 0; A < R; ++A) {
    FCellCut[size_t(A)] *= R / Total;
    Alias[size_t(A)] = A;
    (FCellCut[size_t(A)] < 1.0 ? Under : Over).push_back(A);
  }
  while (!Under.empty() && !Over.empty()) {
    const int32_t S = Under.back(), L = Over.back();
    Under.pop_back();
    Alias[size_t(S)] = L;
    FCellCut[size_t(L)] -= 1.0 - FCellCut[size_t(S)];
    if (FCellCut[size_t(L)] < 1.0) {
      Over.pop_back();
      Under.push_back(L);
    }
  }
  // What is left over is 1 but for rounding.
  for (const int32_t A : Under) FCellCut[size_t(A)] = 1.0;
  for (const int32_t A : Over) FCellCut[size_t(A)] = 1.0;
  FSampler = smDirect;
}

void TRandGen::DrawByRejection(int32_t& Cell, double& Pos) const {
  const int32_t R = FResolution;
  const double* Table = FDistVec.data();
  for (int32_t Trial = 0; Trial < RandGenMaxTrials; ++Trial) {
    // One uniform deviate gives both the cell and the position in it (53 - 12 bits remain
    // for the position at the largest resolution).
    const double U = nux::Random() * R;
    Cell = std::min(static_cast<int32_t>(U), R - 1);
    Pos = std::min(U - Cell, std::nextafter(1.0, 0.0));
    const double C = Cell + 1 < R ? Table[Cell] + (Table[Cell + 1] - Table[Cell]) * Pos
                                  : Table[Cell] * (1.0 - Pos);
    if (C >= 1.0) return;
    // An entry of 0 can never accept: no deviate is spent on it.
    if (C > 0.0 && nux::Random() < C) return;
  }
}

double TRandGen::GetRandNum() {
  if (FSampler == smStale)
    GuardAlloc<ENUXStatisError>(*this, msgNoMemory, [&] { PrepareSampler(); });
  const int32_t R = FResolution;
  int32_t Cell = 0;
  double Pos = 0.0;
  if (FSampler == smRejection) {
    DrawByRejection(Cell, Pos);
  } else {
    const double U = nux::Random() * R;
    Cell = std::min(static_cast<int32_t>(U), R - 1);
    Pos = nux::Random();
    if (FSampler == smDirect) {
      if (U - Cell >= FCellCut[size_t(Cell)]) Cell = FCellAlias[size_t(Cell)];
      // Invert the cell's linear density F0 + (F1 - F0) x on [0, 1): the root of
      // (F1 - F0) x^2 / 2 + F0 x = Pos (F0 + F1) / 2, in the form that does not cancel. A flat
      // cell keeps the uniform position.
      const double F0 = FDistVec[size_t(Cell)],
                   F1 = Cell + 1 < R ? FDistVec[size_t(Cell + 1)] : 0.0;
      if (F0 != F1) {
        const double Mass = Pos * (F0 + F1) / 2.0;
        const double Den = F0 + std::sqrt(std::max(F0 * F0 + 2.0 * (F1 - F0) * Mass, 0.0));
        Pos = Den > 0.0 ? std::min(2.0 * Mass / Den, std::nextafter(1.0, 0.0)) : 0.0;
      }
    }
  }
  return FLowBorder + (Cell + Pos) * (FHighBorder - FLowBorder) / R;
}

}  // namespace nux
