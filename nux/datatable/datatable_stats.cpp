// TDataTable: statistics over blocks of cells, normalising, constancy and dichotomy tests,
// categorical scans and contingency tables, attribute and scale-level extremes.
#include <algorithm>
#include <cmath>
#include <limits>

#include "nux/datatable/datatable_impl.h"
#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/frame/univconst.h"
#include "nux/math1/sorting.h"

namespace nux {

using datatable_detail::Guarded;
using datatable_detail::MarkedState;
using datatable_detail::ValidState;

namespace {

int32_t Saturated(int64_t N) {
  return static_cast<int32_t>(std::min<int64_t>(N, std::numeric_limits<int32_t>::max()));
}

// Percentile of ascending-selectable values (no NaN) at (n - 1) Prob / 100, interpolated.
double InterpolatedPercentile(TDoubleArray& X, double Prob) {
  const auto N = static_cast<int64_t>(X.size());
  if (N == 0) return 0.0;
  if (N == 1) return X[0];
  if (std::isnan(Prob)) Prob = 0.0;
  Prob = std::clamp(Prob, 0.0, 100.0);
  const auto Select = [&](int64_t K) {
    if (N <= std::numeric_limits<int32_t>::max())
      return QuickSelect(std::span<double>(X), static_cast<int32_t>(K), 0,
                         static_cast<int32_t>(N - 1));
    std::nth_element(X.begin(), X.begin() + K, X.end());
    return X[size_t(K)];
  };
  if (Prob == 100.0) return Select(N - 1);
  const double Pos = static_cast<double>(N - 1) * Prob / 100.0;
  const auto K = static_cast<int64_t>(std::trunc(Pos));
  const double F = Pos - static_cast<double>(K);
  const double Lo = Select(K);
  if (F == 0.0 || K + 1 >= N) return Lo;
  const double Hi = Select(K + 1);
  return Lo == Hi ? Lo : Lo + (Hi - Lo) * F;
}

}  // namespace

// ---- Counting and sums ----

int32_t TDataTable::CountNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                  int32_t HighRow) const {
  int64_t N = 0;
  VisitCells(
      LowCol, LowRow, HighCol, HighRow,
      [&](int32_t C, uint8_t S) { return ValidState(S) && IsMetricCol(C); }, [&](double) { ++N; });
  return Saturated(N);
}

int32_t TDataTable::CountValidCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                    int32_t HighRow) const {
  int64_t N = 0;
  VisitCells(
      LowCol, LowRow, HighCol, HighRow, [](int32_t, uint8_t S) { return ValidState(S); },
      [&](double) { ++N; });
  return Saturated(N);
}

int32_t TDataTable::CountEmptyCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                    int32_t HighRow) const {
  int64_t N = 0;
  VisitCells(
      LowCol, LowRow, HighCol, HighRow, [](int32_t, uint8_t S) { return (S & csEmpty) != 0; },
      [&](double) { ++N; });
  return Saturated(N);
}

int32_t TDataTable::CountImputedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                      int32_t HighRow) const {
  int64_t N = 0;
  VisitCells(
      LowCol, LowRow, HighCol, HighRow, [](int32_t, uint8_t S) { return (S & csImputed) != 0; },
      [&](double) { ++N; });
  return Saturated(N);
}

namespace {

// The cell class of the numeric (Marked false) or marked statistics.
struct TNumClass {
  const TDataTable* T;
  uint8_t Mask;
  bool Marked;
  bool operator()(int32_t C, uint8_t S) const {
    return ValidState(S) && T->MScaleType(C) >= stInterval && (!Marked || MarkedState(S, Mask));
  }
};

}  // namespace

double TDataTable::SumOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                 int32_t& NumData) const {
  double Sum = 0.0;
  int64_t N = 0;
  VisitCells(LowCol, LowRow, HighCol, HighRow, TNumClass{this, 0, false}, [&](double X) {
    Sum += X;
    ++N;
  });
  NumData = Saturated(N);
  return Sum;
}

double TDataTable::SumOfSquaredNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                        int32_t HighRow, int32_t& NumData) const {
  double Sum = 0.0;
  int64_t N = 0;
  VisitCells(LowCol, LowRow, HighCol, HighRow, TNumClass{this, 0, false}, [&](double X) {
    Sum += X * X;
    ++N;
  });
  NumData = Saturated(N);
  return Sum;
}

double TDataTable::SumOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                    int32_t HighRow, uint8_t Mask, int32_t& NumData) const {
  double Sum = 0.0;
  int64_t N = 0;
  VisitCells(LowCol, LowRow, HighCol, HighRow, TNumClass{this, Mask, true}, [&](double X) {
    Sum += X;
    ++N;
  });
  NumData = Saturated(N);
  return Sum;
}

double TDataTable::SumOfSquaredMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                           int32_t HighRow, uint8_t Mask, int32_t& NumData) const {
  double Sum = 0.0;
  int64_t N = 0;
  VisitCells(LowCol, LowRow, HighCol, HighRow, TNumClass{this, Mask, true}, [&](double X) {
    Sum += X * X;
    ++N;
  });
  NumData = Saturated(N);
  return Sum;
}

// ---- Extremes ----

namespace {

// Extremes of the values fed; NaN is left out. Without a value: uc_MaxReal and -uc_MaxReal.
struct TExtremes {
  double Min = uc_MaxReal, Max = -uc_MaxReal;
  int64_t N = 0;
  bool Any = false;
  void operator()(double X) {
    if (std::isnan(X)) return;
    if (!Any || X < Min) Min = X;
    if (!Any || X > Max) Max = X;
    Any = true;
    ++N;
  }
};

}  // namespace

int32_t TDataTable::MinMaxOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                     int32_t HighRow, double& Minimum, double& Maximum) const {
  TExtremes E;
  VisitCells(LowCol, LowRow, HighCol, HighRow, TNumClass{this, 0, false}, [&](double X) { E(X); });
  Minimum = E.Min;
  Maximum = E.Max;
  return Saturated(E.N);
}

int32_t TDataTable::MinMaxOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                        int32_t HighRow, uint8_t Mask, double& Minimum,
                                        double& Maximum) const {
  TExtremes E;
  VisitCells(
      LowCol, LowRow, HighCol, HighRow,
      [Mask](int32_t, uint8_t S) { return ValidState(S) && MarkedState(S, Mask); },
      [&](double X) { E(X); });
  Minimum = E.Min;
  Maximum = E.Max;
  return Saturated(E.N);
}

int32_t TDataTable::MinMaxOfValidCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                       int32_t HighRow, double& Minimum, double& Maximum) const {
  TExtremes E;
  MakeValidColRange(LowCol, HighCol);
  for (int32_t C = LowCol; C <= HighCol; ++C) {
    const bool Round = IsCategorical(MScaleType(C));
    VisitCells(
        C, LowRow, C, HighRow, [](int32_t, uint8_t S) { return ValidState(S); },
        [&](double X) { E(Round ? RoundEven(X) : X); });
  }
  Minimum = E.Min;
  Maximum = E.Max;
  return Saturated(E.N);
}

// ---- Moments ----

TDoubleArray TDataTable::NumValues(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                   uint8_t Mask, bool Marked) const {
  TDoubleArray V;
  VisitCells(LowCol, LowRow, HighCol, HighRow, TNumClass{this, Mask, Marked},
             [&](double X) { V.push_back(X); });
  return V;
}

int32_t TDataTable::MeanVarOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                      int32_t HighRow, double& Mean, double& Variance) const {
  const TDoubleArray V =
      Guarded(*this, [&] { return NumValues(LowCol, LowRow, HighCol, HighRow, 0, false); });
  StableMeanVar(
      static_cast<int64_t>(V.size()), [&](int64_t I) { return V[size_t(I)]; }, Mean, Variance);
  return Saturated(static_cast<int64_t>(V.size()));
}

int32_t TDataTable::MeanVarOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                         int32_t HighRow, uint8_t Mask, double& Mean,
                                         double& Variance) const {
  const TDoubleArray V =
      Guarded(*this, [&] { return NumValues(LowCol, LowRow, HighCol, HighRow, Mask, true); });
  StableMeanVar(
      static_cast<int64_t>(V.size()), [&](int64_t I) { return V[size_t(I)]; }, Mean, Variance);
  return Saturated(static_cast<int64_t>(V.size()));
}

double TDataTable::GeometricMeanOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                           int32_t HighRow, int32_t& NumData) const {
  double LogSum = 0.0;
  int64_t N = 0;
  bool AnyZero = false;
  VisitCells(LowCol, LowRow, HighCol, HighRow, TNumClass{this, 0, false}, [&](double X) {
    if (X < 0.0)
      RaiseComponentError<ENUXMatrixError>(*this, "negative argument passed to GeometricMean");
    if (X == 0.0) {
      AnyZero = true;
    } else {
      LogSum += std::log(X);
      ++N;
    }
  });
  NumData = Saturated(N);
  if (AnyZero || N == 0) return 0.0;
  return std::exp(LogSum / static_cast<double>(N));
}

double TDataTable::HarmonicMeanOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                          int32_t HighRow, int32_t& NumData) const {
  double RecSum = 0.0;
  int64_t N = 0;
  VisitCells(LowCol, LowRow, HighCol, HighRow, TNumClass{this, 0, false}, [&](double X) {
    if (X <= 0.0)
      RaiseComponentError<ENUXMatrixError>(*this,
                                           "negative or zero argument passed to HarmonicMean");
    RecSum += 1.0 / X;
    ++N;
  });
  NumData = Saturated(N);
  return N == 0 ? 0.0 : static_cast<double>(N) / RecSum;
}

// ---- Order statistics (NaN values are left out) ----

namespace {

void QuartilesOf(TDoubleArray& X, double& Q1, double& Q2, double& Q3) {
  Q1 = Q2 = Q3 = 0.0;
  const auto N = static_cast<int64_t>(X.size());
  if (N == 0) return;
  if (N == 1) {
    Q1 = Q2 = Q3 = X[0];
    return;
  }
  std::sort(X.begin(), X.end());
  Q1 = QuartileOfSorted(X.data(), N, 0.25);
  Q2 = QuartileOfSorted(X.data(), N, 0.5);
  Q3 = QuartileOfSorted(X.data(), N, 0.75);
}

void DropNaN(TDoubleArray& X) {
  X.erase(std::remove_if(X.begin(), X.end(), [](double V) { return std::isnan(V); }), X.end());
}

}  // namespace

bool TDataTable::QuartilesOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                     int32_t HighRow, double& Q1, double& Q2, double& Q3,
                                     int32_t& NumData) const {
  TDoubleArray V =
      Guarded(*this, [&] { return NumValues(LowCol, LowRow, HighCol, HighRow, 0, false); });
  DropNaN(V);
  NumData = Saturated(static_cast<int64_t>(V.size()));
  QuartilesOf(V, Q1, Q2, Q3);
  return true;
}

bool TDataTable::QuartilesOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                        int32_t HighRow, double& Q1, double& Q2, double& Q3,
                                        uint8_t Mask, int32_t& NumData) const {
  TDoubleArray V =
      Guarded(*this, [&] { return NumValues(LowCol, LowRow, HighCol, HighRow, Mask, true); });
  DropNaN(V);
  NumData = Saturated(static_cast<int64_t>(V.size()));
  QuartilesOf(V, Q1, Q2, Q3);
  return true;
}

double TDataTable::PercentileOfNumCells(double Prob, int32_t LowCol, int32_t LowRow,
                                        int32_t HighCol, int32_t HighRow, int32_t& NumData) const {
  TDoubleArray V = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    return NumValues(LowCol, LowRow, HighCol, HighRow, 0, false);
  });
  DropNaN(V);
  NumData = Saturated(static_cast<int64_t>(V.size()));
  return InterpolatedPercentile(V, Prob);
}

double TDataTable::PercentileOfMarkedCells(double Prob, int32_t LowCol, int32_t LowRow,
                                           int32_t HighCol, int32_t HighRow, uint8_t Mask,
                                           int32_t& NumData) const {
  TDoubleArray V = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    return NumValues(LowCol, LowRow, HighCol, HighRow, Mask, true);
  });
  DropNaN(V);
  NumData = Saturated(static_cast<int64_t>(V.size()));
  return InterpolatedPercentile(V, Prob);
}

// ---- Normalising ----

void TDataTable::StandardizeNumCellColumns(TVector* Means, TVector* StdDevs) {
  bool Any = false;
  {
    TMatrixMute Mute(*FMat);
    for (int32_t C = 1; C <= FNrOfCols; ++C) {
      if (!IsMetricCol(C)) continue;
      double M = 0.0, V = 0.0;
      MeanVarOfNumCells(C, 1, C, FNrOfRows, M, V);
      const double Sd = std::sqrt(V);
      if (V > 0.0) {
        for (int32_t R = 1; R <= FNrOfRows; ++R)
          if (ValidState(FCState[StateIx(C, R)])) FMat->SetVal(C, R, (RawVal(C, R) - M) / Sd);
        Any = true;
      }
      if (Means) Means->SetVal(C, M);
      if (StdDevs) StdDevs->SetVal(C, Sd);
    }
  }
  if (Any) ChangedData();
}

void TDataTable::StandardizeNumCellRows(TVector* Means, TVector* StdDevs) {
  for (int32_t C = 1; C <= FNrOfCols; ++C)
    if (IsCategorical(MScaleType(C)))
      throw ENUXDataTableError(
          "standardization of rows is not possible with nominal or ordinal variables");
  {
    TMatrixMute Mute(*FMat);
    for (int32_t R = 1; R <= FNrOfRows; ++R) {
      double M = 0.0, V = 0.0;
      MeanVarOfNumCells(1, R, FNrOfCols, R, M, V);
      const double Sd = std::sqrt(V);
      if (V > 0.0)
        for (int32_t C = 1; C <= FNrOfCols; ++C)
          if (ValidState(FCState[StateIx(C, R)])) FMat->SetVal(C, R, (RawVal(C, R) - M) / Sd);
      if (Means) Means->SetVal(R, M);
      if (StdDevs) StdDevs->SetVal(R, Sd);
    }
  }
  ChangedData();
}

void TDataTable::MeanCenterNumCellColumns(TVector* Means) {
  {
    TMatrixMute Mute(*FMat);
    for (int32_t C = 1; C <= FNrOfCols; ++C) {
      if (!IsMetricCol(C)) continue;
      double M = 0.0, V = 0.0;
      MeanVarOfNumCells(C, 1, C, FNrOfRows, M, V);
      for (int32_t R = 1; R <= FNrOfRows; ++R)
        if (ValidState(FCState[StateIx(C, R)])) FMat->SetVal(C, R, RawVal(C, R) - M);
      if (Means) Means->SetVal(C, M);
    }
  }
  ChangedData();
}

void TDataTable::MeanCenterNumCellRows(TVector* Means) {
  for (int32_t C = 1; C <= FNrOfCols; ++C)
    if (IsCategorical(MScaleType(C)))
      throw ENUXDataTableError(
          "mean centering of rows is not possible with nominal or ordinal variables");
  {
    TMatrixMute Mute(*FMat);
    for (int32_t R = 1; R <= FNrOfRows; ++R) {
      double M = 0.0, V = 0.0;
      MeanVarOfNumCells(1, R, FNrOfCols, R, M, V);
      for (int32_t C = 1; C <= FNrOfCols; ++C)
        if (ValidState(FCState[StateIx(C, R)])) FMat->SetVal(C, R, RawVal(C, R) - M);
      if (Means) Means->SetVal(R, M);
    }
  }
  ChangedData();
}

// ---- Tests ----

bool TDataTable::IsConstantColumn(int32_t ColIx, double& ConstVal) const {
  if (ColIx < 1 || ColIx > FNrOfCols) return false;
  ConstVal = RawVal(ColIx, 1);
  for (int32_t R = 1; R <= FNrOfRows; ++R)
    if (!(RawVal(ColIx, R) == ConstVal)) return false;
  return true;
}

bool TDataTable::IsConstantColumn(int32_t ColIx) const {
  double V = 0.0;
  return IsConstantColumn(ColIx, V);
}

bool TDataTable::IsConstantRow(int32_t RowIx, double& ConstVal) const {
  if (RowIx < 1 || RowIx > FNrOfRows) return false;
  ConstVal = RawVal(1, RowIx);
  for (int32_t C = 1; C <= FNrOfCols; ++C)
    if (!(RawVal(C, RowIx) == ConstVal)) return false;
  return true;
}

bool TDataTable::IsConstantRow(int32_t RowIx) const {
  double V = 0.0;
  return IsConstantRow(RowIx, V);
}

bool TDataTable::CheckDichotomousColumn(int32_t Col, double& V1, double& V2) const {
  V1 = V2 = 0.0;
  if (Col < 1 || Col > FNrOfCols || FNrOfRows <= 1) return false;
  V1 = V2 = RawVal(Col, 1);
  bool Two = true;
  for (int32_t R = 1; R <= FNrOfRows; ++R) {
    const double X = RawVal(Col, R);
    if (std::isnan(X)) return false;
    if (X == V1 || X == V2) continue;
    if (V1 == V2) {
      V2 = X;
    } else {
      Two = false;
      break;
    }
  }
  if (V1 == V2) return false;
  if (V2 < V1) std::swap(V1, V2);
  return Two;
}

bool TDataTable::IsDichotomousColumn(int32_t ColIx) const {
  double V1 = 0.0, V2 = 0.0;
  return CheckDichotomousColumn(ColIx, V1, V2);
}

// ---- Categorical helpers ----

TIntArray TDataTable::ListOfCategorialVars() const {
  TIntArray L;
  for (int32_t C = 1; C <= FNrOfCols; ++C)
    if (IsCategorical(MScaleType(C))) L.push_back(C);
  return L;
}

int32_t TDataTable::ScanForCatValues(int32_t ACol, int32_t LowRow, int32_t HighRow,
                                     TIntArray& OrdList) const {
  if (ACol < 1 || ACol > FNrOfCols) return -1;
  if (!IsCategorical(MScaleType(ACol))) return 0;
  TIntArray Counts(size_t(MaxNominalIDs), 0);
  MakeValidRowRange(LowRow, HighRow);
  int32_t Outside = 0;
  for (int32_t R = LowRow; R <= HighRow; ++R) {
    const int32_t Ord = CategoricalOrdinal(RawVal(ACol, R));
    if (Ord < 0 || Ord >= MaxNominalIDs)
      ++Outside;
    else
      ++Counts[size_t(Ord)];
  }
  OrdList.swap(Counts);
  return Outside;
}

int32_t TDataTable::CreateContingencyTable(int32_t Col1, int32_t Col2, int32_t LowRow,
                                           int32_t HighRow, TInt2DArray& ContTab) const {
  if (Col1 < 1 || Col1 > FNrOfCols || Col2 < 1 || Col2 > FNrOfCols) return -1;
  if (!IsCategorical(MScaleType(Col1)) || !IsCategorical(MScaleType(Col2))) return -2;
  MakeValidRowRange(LowRow, HighRow);
  constexpr auto Last = MaxNominalIDs - 1;
  TInt2DArray Tab(size_t(Last), TIntArray(size_t(Last), 0));
  int32_t A = 0, B = 0;
  bool Outside = false;
  for (int32_t R = LowRow; R <= HighRow; ++R) {
    // Ordinal 0 has no place in the table (rows and columns stand for ordinals 1..150, the
    // margins follow them), so it counts as out of range.
    const int32_t Oa = CategoricalOrdinal(RawVal(Col1, R));
    const int32_t Ob = CategoricalOrdinal(RawVal(Col2, R));
    if (Oa < 1 || Oa > Last || Ob < 1 || Ob > Last) {
      Outside = true;
      continue;
    }
    if (!ValidState(FCState[StateIx(Col1, R)]) || !ValidState(FCState[StateIx(Col2, R)])) continue;
    ++Tab[size_t(Oa - 1)][size_t(Ob - 1)];
    A = std::max(A, Oa);
    B = std::max(B, Ob);
  }
  TInt2DArray Out(size_t(A) + 1, TIntArray(size_t(B) + 1, 0));
  for (int32_t I = 0; I < A; ++I)
    for (int32_t J = 0; J < B; ++J) {
      const int32_t N = Tab[size_t(I)][size_t(J)];
      Out[size_t(I)][size_t(J)] = N;
      Out[size_t(I)][size_t(B)] += N;
      Out[size_t(A)][size_t(J)] += N;
      Out[size_t(A)][size_t(B)] += N;
    }
  ContTab.swap(Out);
  return Outside ? -3 : 0;
}

// ---- Attribute and scale-level extremes ----

namespace {

// The extreme of Att[Lo-1..Hi-1] (Larger: maximum) and the first index holding it.
int32_t AttribExtreme(const TIntArray& Att, int32_t Lo, int32_t Hi, bool Larger, int32_t& Ix) {
  Ix = Lo;
  int32_t Best = Att[size_t(Lo - 1)];
  for (int32_t K = Lo + 1; K <= Hi; ++K) {
    const int32_t V = Att[size_t(K - 1)];
    if (Larger ? V > Best : V < Best) {
      Best = V;
      Ix = K;
    }
  }
  return Best;
}

int32_t Levels(const TIntArray& Att) {
  std::array<bool, 256> Seen{};
  int32_t N = 0;
  for (const int32_t A : Att)
    if (A >= 0 && A <= 255 && !Seen[size_t(A)]) {
      Seen[size_t(A)] = true;
      ++N;
    }
  return N;
}

}  // namespace

int32_t TDataTable::MaxRowAttrib(int32_t FirstRow, int32_t LastRow, int32_t& Row) const {
  MakeValidRowRange(FirstRow, LastRow);
  return AttribExtreme(FRowAtt, FirstRow, LastRow, true, Row);
}

int32_t TDataTable::MinRowAttrib(int32_t FirstRow, int32_t LastRow, int32_t& Row) const {
  MakeValidRowRange(FirstRow, LastRow);
  return AttribExtreme(FRowAtt, FirstRow, LastRow, false, Row);
}

int32_t TDataTable::MaxColAttrib(int32_t FirstCol, int32_t LastCol, int32_t& Col) const {
  MakeValidColRange(FirstCol, LastCol);
  return AttribExtreme(FColAtt, FirstCol, LastCol, true, Col);
}

int32_t TDataTable::MinColAttrib(int32_t FirstCol, int32_t LastCol, int32_t& Col) const {
  MakeValidColRange(FirstCol, LastCol);
  return AttribExtreme(FColAtt, FirstCol, LastCol, false, Col);
}

int32_t TDataTable::RowAttribLevels() const { return Levels(FRowAtt); }
int32_t TDataTable::ColAttribLevels() const { return Levels(FColAtt); }

TMScaleType TDataTable::FindHighestMLevel(int32_t FirstCol, int32_t LastCol) const {
  MakeValidColRange(FirstCol, LastCol);
  TMScaleType S = stNominal;
  for (int32_t C = FirstCol; C <= LastCol; ++C) S = std::max(S, MScaleType(C));
  return S;
}

TMScaleType TDataTable::FindLowestMLevel(int32_t FirstCol, int32_t LastCol) const {
  MakeValidColRange(FirstCol, LastCol);
  TMScaleType S = stRatio;
  for (int32_t C = FirstCol; C <= LastCol; ++C) S = std::min(S, MScaleType(C));
  return S;
}

}  // namespace nux
