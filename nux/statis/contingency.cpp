#include "nux/statis/contingency.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "nux/datatable/datatable.h"
#include "nux/frame/univconst.h"
#include "nux/statis/distributions.h"

namespace nux {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The inner cells of a table with margins, with totals recomputed in 64 bits.
struct TMarginTable {
  size_t R = 0, C = 0;  // inner rows and columns
  std::vector<int64_t> RowTot, ColTot;
  int64_t N = 0;
};

enum TTableCheck { tcShape, tcCounts, tcOk };

// Reads a table with margins of at least MinR x MinC inner cells. tcShape: ragged or too small;
// tcCounts: a negative cell or a stored margin that differs from the sum of its cells.
TTableCheck ReadMarginTable(const TInt2DArray& T, size_t MinR, size_t MinC, TMarginTable& M) {
  if (T.size() < MinR + 1 || T[0].size() < MinC + 1 || IsRagged(T)) return tcShape;
  M.R = T.size() - 1;
  M.C = T[0].size() - 1;
  M.RowTot.assign(M.R, 0);
  M.ColTot.assign(M.C, 0);
  M.N = 0;
  bool Ok = true;
  for (size_t I = 0; I < M.R; ++I)
    for (size_t J = 0; J < M.C; ++J) {
      const int64_t V = T[I][J];
      if (V < 0) Ok = false;
      M.RowTot[I] += V;
      M.ColTot[J] += V;
      M.N += V;
    }
  for (size_t I = 0; I < M.R; ++I) Ok = Ok && T[I][M.C] == M.RowTot[I];
  for (size_t J = 0; J < M.C; ++J) Ok = Ok && T[M.R][J] == M.ColTot[J];
  Ok = Ok && T[M.R][M.C] == M.N;
  return Ok ? tcOk : tcCounts;
}

// Checks a plain 2 x 2 table: 0, or the code of Prob2x2Contingency.
int32_t Check2x2(const TInt2DArray& T) {
  if (T.size() != 2 || T[0].size() != 2 || T[1].size() != 2) return -1;
  int32_t Status = 0;
  const int64_t N = int64_t(T[0][0]) + T[0][1] + T[1][0] + T[1][1];
  if (N > Max2x2Total) Status = -2;
  if (T[0][0] < 0 || T[0][1] < 0 || T[1][0] < 0 || T[1][1] < 0) Status = -3;
  return Status;
}

// Probability of the table a, b, c, d under its margins (all cells >= 0, N <= Max2x2Total).
double HyperGeoProb(int64_t A, int64_t B, int64_t C, int64_t D) {
  const auto& F = uc_LnFactorial;
  auto L = [&](int64_t K) { return F[size_t(K)]; };
  return std::exp(L(A + C) + L(B + D) + L(A + B) + L(C + D) - L(A) - L(B) - L(C) - L(D) -
                  L(A + B + C + D));
}

double Pairs(int64_t N) { return 0.5 * static_cast<double>(N) * static_cast<double>(N - 1); }

}  // namespace

int32_t Chi2OfContTab(const TInt2DArray& Table, double& Chi2, double& P) {
  Chi2 = P = 0.0;
  TMarginTable M;
  const TTableCheck Check = ReadMarginTable(Table, 2, 2, M);
  if (Check == tcShape) return -1;
  if (Check == tcCounts) return -2;
  const int64_t Df = int64_t(M.R - 1) * int64_t(M.C - 1);
  if (Df > std::numeric_limits<int32_t>::max()) return -1;
  double Sum = 0.0;
  if (M.N > 0) {
    const double N = static_cast<double>(M.N);
    for (size_t I = 0; I < M.R; ++I)
      for (size_t J = 0; J < M.C; ++J) {
        const double E = static_cast<double>(M.RowTot[I]) / N * static_cast<double>(M.ColTot[J]);
        if (E > 0.0) {
          const double D = Table[I][J] - E;
          Sum += D * D / E;
        }
      }
  }
  Chi2 = Sum;
  P = chi2DistriIntegralUpper(Sum, static_cast<int32_t>(Df));
  return 0;
}

int32_t Chi2OfContTabYates(const TInt2DArray& Table, double& Chi2, double& P) {
  if (Table.empty()) return -1;
  Chi2 = P = 0.0;
  if (Table.size() != 3 || IsRagged(Table) || Table[0].size() != 3) return -1;
  TMarginTable M;
  if (ReadMarginTable(Table, 2, 2, M) != tcOk) return -3;
  const int64_t A = Table[0][0], B = Table[0][1], C = Table[1][0], D = Table[1][1];
  const double N = static_cast<double>(M.N);
  // The correction never carries the statistic past zero: a table that matches its expected
  // counts within one half scores 0.
  const double X = std::max(static_cast<double>(std::llabs(A * D - B * C)) - N / 2.0, 0.0);
  const double Denom = static_cast<double>(M.RowTot[0]) * static_cast<double>(M.RowTot[1]) *
                       static_cast<double>(M.ColTot[0]) * static_cast<double>(M.ColTot[1]);
  Chi2 = X * X * N;
  if (Denom == 0.0) return -2;
  Chi2 /= Denom;
  P = chi2DistriIntegralUpper(Chi2, 1);
  return 0;
}

int32_t Prob2x2Contingency(const TInt2DArray& Table, double& P) {
  P = 0.0;
  const int32_t Status = Check2x2(Table);
  if (Status != 0) return Status;
  P = HyperGeoProb(Table[0][0], Table[0][1], Table[1][0], Table[1][1]);
  return 0;
}

int32_t FisherExactTest(const TInt2DArray& Table, double& PLow, double& PHigh, double& PTwoSided) {
  PLow = PHigh = PTwoSided = 0.0;
  const int32_t Status = Check2x2(Table);
  if (Status != 0) return Status;
  const int64_t A = Table[0][0], B = Table[0][1], C = Table[1][0], D = Table[1][1];
  const int64_t Row0 = A + B, Col0 = A + C, Col1 = B + D;
  const double P0 = HyperGeoProb(A, B, C, D);
  // Tables with the same margins, by their first cell: the tails are the same whichever
  // margin is smallest.
  const double Limit = P0 * (1.0 + 1e-7);
  double Low = 0.0, High = 0.0, Two = 0.0;
  for (int64_t I = std::max<int64_t>(0, Row0 - Col1); I <= std::min(Row0, Col0); ++I) {
    const int64_t Bi = Row0 - I, Ci = Col0 - I, Di = Col1 - Bi;
    const double Pi = I == A ? P0 : HyperGeoProb(I, Bi, Ci, Di);
    if (I <= A) Low += Pi;
    if (I >= A) High += Pi;
    if (Pi <= Limit) Two += Pi;
  }
  PLow = std::min(Low, 1.0);
  PHigh = std::min(High, 1.0);
  PTwoSided = std::min(Two, 1.0);
  return 0;
}

int32_t MedianTest(const TDoubleArray& X, const TDoubleArray& Y, double& Chi2, double& P,
                   double& Chi2Yates, double& PYates, double& PFisher) {
  Chi2 = P = Chi2Yates = PYates = 0.0;
  PFisher = -1.0;
  auto Valid = [](const TDoubleArray& A) {
    return std::count_if(A.begin(), A.end(), [](double V) { return !std::isnan(V); });
  };
  const int64_t N1 = Valid(X), N2 = Valid(Y);
  if (N1 == 0 || N2 == 0) return -1;
  if (N1 + N2 > std::numeric_limits<int32_t>::max()) return -1;
  const int32_t N = static_cast<int32_t>(N1 + N2);

  // Column 1 the values, 2 the sample, 3 the side of the median (1 above, 2 not above).
  TDataTable Data;
  Data.Resize(3, N);
  int32_t Row = 0;
  for (const TDoubleArray* S : {&X, &Y})
    for (const double V : *S)
      if (!std::isnan(V)) {
        ++Row;
        Data.SetElem(1, Row, V);
        Data.SetElem(2, Row, S == &X ? 1.0 : 2.0);
      }
  double Q1 = 0.0, Median = 0.0, Q3 = 0.0;
  int32_t NumData = 0;
  Data.QuartilesOfNumCells(1, 1, 1, N, Q1, Median, Q3, NumData);
  for (int32_t R = 1; R <= N; ++R) Data.SetElem(3, R, Data.Elem(1, R) > Median ? 1.0 : 2.0);
  Data.SetMScaleType(2, stOrdinal);
  Data.SetMScaleType(3, stOrdinal);
  TInt2DArray Tab;
  Data.CreateContingencyTable(2, 3, 1, N, Tab);

  int32_t Status = 0;
  Chi2OfContTab(Tab, Chi2, P);
  if (Chi2OfContTabYates(Tab, Chi2Yates, PYates) != 0) {
    Chi2Yates = PYates = 0.0;
    Status = -2;
  }
  const TInt2DArray Inner = {{Tab[0][0], Tab[0][1]}, {Tab[1][0], Tab[1][1]}};
  double Low = 0.0, High = 0.0, Two = 0.0;
  if (FisherExactTest(Inner, Low, High, Two) == 0) PFisher = Two;
  return Status;
}

double AdjustedRandIx(const TInt2DArray& Table) {
  TMarginTable M;
  if (ReadMarginTable(Table, 1, 1, M) != tcOk) return NaN;
  // In double: pair counts of large tables exceed 32 (and their products 64) bits.
  double S = 0.0, A = 0.0, B = 0.0;
  for (size_t I = 0; I < M.R; ++I)
    for (size_t J = 0; J < M.C; ++J) S += Pairs(Table[I][J]);
  for (const int64_t T : M.ColTot) A += Pairs(T);
  for (const int64_t T : M.RowTot) B += Pairs(T);
  const double All = Pairs(M.N);
  const double Expected = All > 0.0 ? A * B / All : 0.0;
  const double Denom = (A + B) / 2.0 - Expected;
  // The denominator vanishes only when both partitions are one class or all singletons.
  if (Denom == 0.0) return 1.0;
  return (S - Expected) / Denom;
}

int32_t Lambda(const TInt2DArray& Table, double& LambdaCR, double& LambdaRC) {
  LambdaCR = LambdaRC = 0.0;
  TMarginTable M;
  if (ReadMarginTable(Table, 1, 1, M) != tcOk) return -1;
  int64_t SumRowMax = 0, SumColMax = 0;
  for (size_t I = 0; I < M.R; ++I)
    SumRowMax += *std::max_element(Table[I].begin(), Table[I].begin() + int64_t(M.C));
  for (size_t J = 0; J < M.C; ++J) {
    int64_t Max = 0;
    for (size_t I = 0; I < M.R; ++I) Max = std::max<int64_t>(Max, Table[I][J]);
    SumColMax += Max;
  }
  const int64_t MaxCol = *std::max_element(M.ColTot.begin(), M.ColTot.end());
  const int64_t MaxRow = *std::max_element(M.RowTot.begin(), M.RowTot.end());
  auto Reduction = [](int64_t Gain, int64_t Room) {
    return Room == 0 ? NaN : static_cast<double>(Gain) / static_cast<double>(Room);
  };
  LambdaCR = Reduction(SumRowMax - MaxCol, M.N - MaxCol);
  LambdaRC = Reduction(SumColMax - MaxRow, M.N - MaxRow);
  return 0;
}

}  // namespace nux
