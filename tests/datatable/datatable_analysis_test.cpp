#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nux/datatable/datatable.h"
#include "nux/frame/progress.h"
#include "nux/frame/univconst.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// A table of Cols columns whose column c holds Values[c - 1] (rows beyond a list stay 0).
void Put(TDataTable& T, const std::vector<std::vector<double>>& Values) {
  size_t Rows = 1;
  for (const auto& V : Values) Rows = std::max(Rows, V.size());
  T.Resize(int32_t(Values.size()), int32_t(Rows));
  for (size_t C = 0; C < Values.size(); ++C)
    for (size_t R = 0; R < Values[C].size(); ++R)
      T.SetElem(int32_t(C + 1), int32_t(R + 1), Values[C][R]);
}

TEST(DataTableAnalysis, StatisticsRespectStatesAndScaleTypes) {
  TDataTable T;
  Put(T, {{1, 2, 3, 99}, {5, 6, 7, 8}, {2, 4, 6, 1000}, {7, 8, 9, 10}});
  T.SetCellState(1, 4, csEmpty);
  T.SetCellState(3, 4, csInvalid);
  T.SetMScaleType(2, stNominal);
  T.SetMScaleType(4, stUnknown);
  int32_t N = 0;
  double M = 0, V = 0;
  EXPECT_EQ(T.CountNumCells(0, 0, 0, 0), 6);
  EXPECT_EQ(T.CountValidCells(0, 0, 0, 0), 14);
  EXPECT_EQ(T.CountEmptyCells(0, 0, 0, 0), 1);
  EXPECT_EQ(T.SumOfNumCells(0, 0, 0, 0, N), 18.0);
  EXPECT_EQ(N, 6);
  EXPECT_EQ(T.SumOfSquaredNumCells(3, 0, 3, 0, N), 56.0);
  EXPECT_EQ(T.MeanVarOfNumCells(1, 0, 1, 0, M, V), 3);
  EXPECT_EQ(M, 2.0);
  EXPECT_EQ(V, 1.0);
  T.MeanVarOfNumCells(3, 0, 3, 0, M, V);
  EXPECT_EQ(V, 4.0);
  // Two cells 2 and 4: the library's variance rule gives 1, not the sample variance 2.
  EXPECT_EQ(T.MeanVarOfNumCells(3, 1, 3, 2, M, V), 2);
  EXPECT_EQ(M, 3.0);
  EXPECT_EQ(V, 1.0);
  EXPECT_EQ(T.MeanVarOfNumCells(3, 1, 1, 2, M, V), 4);  // reversed bounds are exchanged
  // Stable on a large offset, where the raw power sums lose every digit.
  TDataTable Big;
  Put(Big, {{1e9 + 1, 1e9 + 2, 1e9 + 3}});
  Big.MeanVarOfNumCells(0, 0, 0, 0, M, V);
  EXPECT_EQ(V, 1.0);
  double Lo = 0, Hi = 0;
  EXPECT_EQ(T.MinMaxOfNumCells(0, 0, 0, 0, Lo, Hi), 6);
  EXPECT_EQ(Lo, 1.0);
  EXPECT_EQ(Hi, 6.0);
  EXPECT_EQ(T.MinMaxOfNumCells(2, 0, 2, 0, Lo, Hi), 0);
  EXPECT_EQ(Lo, uc_MaxReal);
  EXPECT_EQ(Hi, -uc_MaxReal);
  T.SetElem(2, 1, 4.5);  // categorical: read rounded, halves to even
  EXPECT_EQ(T.MinMaxOfValidCells(2, 0, 2, 0, Lo, Hi), 4);
  EXPECT_EQ(Lo, 4.0);
  // Markings: bits 2..7 of the mask count, bits 0 and 1 are ignored.
  T.SetCellState(1, 2, csMark1);
  T.SetCellState(3, 3, csMark1 | csMark2);
  T.SetCellState(2, 2, csMark1);
  EXPECT_EQ(T.SumOfMarkedCells(0, 0, 0, 0, csMark1 | csInvalid, N), 8.0);
  EXPECT_EQ(N, 2);
  EXPECT_EQ(T.SumOfMarkedCells(0, 0, 0, 0, csInvalid | csEmpty, N), 0.0);
  EXPECT_EQ(N, 0);
  EXPECT_EQ(T.MeanVarOfMarkedCells(0, 0, 0, 0, csMark2, M, V), 1);
  EXPECT_EQ(M, 6.0);
  EXPECT_EQ(T.MinMaxOfMarkedCells(0, 0, 0, 0, csMark1, Lo, Hi), 3);  // nominal cell counts
  EXPECT_EQ(Hi, 6.0);
}

TEST(DataTableAnalysis, MeansQuartilesAndPercentiles) {
  TDataTable T;
  Put(T, {{1, 2, 3, 4, 5, 6, 7}, {2, 8}, {0, 8}});
  int32_t N = 0;
  EXPECT_EQ(T.GeometricMeanOfNumCells(2, 1, 2, 2, N), 4.0);
  EXPECT_EQ(N, 2);
  EXPECT_EQ(T.GeometricMeanOfNumCells(3, 1, 3, 2, N), 0.0);
  EXPECT_EQ(N, 1);
  EXPECT_DOUBLE_EQ(T.HarmonicMeanOfNumCells(2, 1, 2, 2, N), 3.2);
  T.SetCellState(2, 1, csEmpty);
  T.SetCellState(2, 2, csEmpty);
  EXPECT_EQ(T.GeometricMeanOfNumCells(2, 0, 2, 0, N), 0.0);  // only zeros below: none used
  EXPECT_EQ(T.HarmonicMeanOfNumCells(2, 1, 2, 2, N), 0.0);
  EXPECT_EQ(N, 0);
  EXPECT_THROW(T.HarmonicMeanOfNumCells(3, 0, 3, 0, N), ENUXMatrixError);
  T.SetElem(3, 2, -1);
  try {
    T.GeometricMeanOfNumCells(3, 0, 3, 0, N);
    FAIL();
  } catch (const ENUXMatrixError& E) {
    EXPECT_NE(std::string(E.what()).find("negative argument passed to GeometricMean"),
              std::string::npos);
  }
  double Q1 = -1, Q2 = -1, Q3 = -1;
  T.QuartilesOfNumCells(1, 0, 1, 0, Q1, Q2, Q3, N);
  EXPECT_EQ((std::vector<double>{Q1, Q2, Q3, double(N)}), (std::vector<double>{2, 4, 6, 7}));
  T.QuartilesOfNumCells(1, 1, 1, 3, Q1, Q2, Q3, N);
  EXPECT_EQ((std::vector<double>{Q1, Q2, Q3}), (std::vector<double>{1, 2, 2}));
  T.QuartilesOfNumCells(2, 1, 2, 2, Q1, Q2, Q3, N);
  EXPECT_EQ((std::vector<double>{Q1, Q2, Q3, double(N)}), (std::vector<double>{0, 0, 0, 0}));
  EXPECT_EQ(T.PercentileOfNumCells(50, 1, 1, 1, 4, N), 2.5);
  EXPECT_EQ(T.PercentileOfNumCells(150, 1, 1, 1, 4, N), 4.0);
  EXPECT_EQ(T.PercentileOfNumCells(NaN, 1, 1, 1, 4, N), 1.0);
  EXPECT_EQ(T.PercentileOfNumCells(30, 1, 1, 1, 7, N), 2.8);
  // A NaN cell is left out of the order statistics.
  T.SetElem(1, 2, NaN);
  EXPECT_EQ(T.PercentileOfNumCells(100, 1, 1, 1, 4, N), 4.0);
  EXPECT_EQ(N, 3);
  T.SetCellState(1, 5, csMark2);
  T.SetCellState(1, 7, csMark2);
  EXPECT_EQ(T.PercentileOfMarkedCells(50, 0, 0, 0, 0, csMark2, N), 6.0);
  T.QuartilesOfMarkedCells(0, 0, 0, 0, Q1, Q2, Q3, csMark2, N);
  // Two values: the position of Q3 is clamped to n - 1 = 1, so Q3 is the smaller value.
  EXPECT_EQ((std::vector<double>{Q1, Q2, Q3}), (std::vector<double>{5, 6, 5}));
}

TEST(DataTableAnalysis, WorkArraysThatCannotBeHadRaiseTheDocumentedErrors) {
  TDataTable T;
  T.Resize(1, 20000);
  T.SetName("Tab");
  double Q1 = 0, Q2 = 0, Q3 = 0;
  int32_t N = 0;
  ScopedAllocLimit Limit(4096);
  try {
    T.QuartilesOfNumCells(0, 0, 0, 0, Q1, Q2, Q3, N);
    ADD_FAILURE();
  } catch (const ENUXDataTableError& E) {
    EXPECT_STREQ(E.what(), "Component \"Tab\": not enough memory on heap");
  }
  EXPECT_THROW(T.PercentileOfNumCells(50, 0, 0, 0, 0, N), ENUXMatrixError);
}

TEST(DataTableAnalysis, StandardizingAndCentring) {
  TDataTable T;
  Put(T, {{1, 3}, {2, 4}, {5, 5}});
  TVector Means(3), Sds(3);
  int Changes = 0;
  T.OnChange = [&](TObject*) { ++Changes; };
  T.StandardizeNumCellColumns(&Means, &Sds);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(T.Elem(1, 1), -1.0);
  EXPECT_EQ(T.Elem(1, 2), 1.0);
  EXPECT_EQ(Sds.GetVal(1), 1.0);
  EXPECT_EQ(Means.GetVal(2), 3.0);
  EXPECT_EQ(T.Elem(3, 1), 0.0);  // two cells: variance 1 by rule, so only centred
  T.SetMScaleType(2, stOrdinal);
  const std::string Before = T.NumericData()->CRCofData();
  EXPECT_THROW(T.StandardizeNumCellRows(nullptr, nullptr), ENUXDataTableError);
  EXPECT_THROW(T.MeanCenterNumCellRows(nullptr), ENUXDataTableError);
  EXPECT_EQ(T.NumericData()->CRCofData(), Before);
  T.SetMScaleType(2, stUnknown);  // not categorical: its valid cells move with the row
  Put(T, {{1, 10}, {2, 20}, {6, 60}});
  T.SetMScaleType(2, stUnknown);
  T.SetCellState(3, 2, csEmpty);
  Changes = 0;
  T.MeanCenterNumCellRows(&Means);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Means.GetVal(1), 3.5);
  EXPECT_EQ(Means.GetVal(2), 10.0);
  EXPECT_EQ(T.Elem(2, 1), -1.5);
  EXPECT_EQ(T.Elem(3, 2), 60.0);  // empty cells are not touched
  T.MeanCenterNumCellColumns(&Means);
  EXPECT_EQ(Means.GetVal(1), -1.25);
}

// Covariances recomputed pair by pair in long double, two passes, over the rows where both
// cells are valid; mode 1 about the means of the columns' numeric cells (0 without any).
long double RefCov(const TDataTable& T, int32_t A, int32_t B, int32_t Mode) {
  const auto Both = [&](int32_t R) { return T.IsNumber(A, R) && T.IsNumber(B, R); };
  const auto NumMean = [&](int32_t Col) {
    long double S = 0;
    int K = 0;
    for (int32_t R = 1; R <= T.NrOfRows(); ++R)
      if (T.IsNumber(Col, R) && T.MScaleType(Col) >= stInterval) S += T.Elem(Col, R), ++K;
    return K ? S / K : 0.0L;
  };
  long double Mx = 0, My = 0;
  int C = 0;
  for (int32_t R = 1; R <= T.NrOfRows(); ++R)
    if (Both(R)) Mx += T.Elem(A, R), My += T.Elem(B, R), ++C;
  Mx /= C, My /= C;
  if (Mode == 0) Mx = My = 0;
  if (Mode == 1) Mx = NumMean(A), My = NumMean(B);
  long double Sxy = 0, Sxx = 0, Syy = 0, Sd = 0;
  for (int32_t R = 1; R <= T.NrOfRows(); ++R) {
    if (!Both(R)) continue;
    const long double X = T.Elem(A, R) - Mx, Y = T.Elem(B, R) - My;
    Sxy += X * Y, Sxx += X * X, Syy += Y * Y;
    Sd += (T.Elem(A, R) - (long double)T.Elem(B, R)) * (T.Elem(A, R) - (long double)T.Elem(B, R));
  }
  if (Mode == 0 || Mode == 1) return Sxy / (C - 1);
  if (Mode == 4) return Sd / (C - 1);
  const long double R = A == B ? 1.0L : Sxy / std::sqrt(Sxx * Syy);
  return Mode == 2 ? R : R * R;
}

TEST(DataTableAnalysis, CalcCovarStableOnLargeOffsetsOverManyRows) {
  TDataTable T;
  T.Resize(3, 5000);
  for (int32_t R = 1; R <= 5000; ++R) {
    T.SetElem(1, R, 1e8 + std::sin(R * 0.01));
    T.SetElem(2, R, 1e8 + std::sin(R * 0.01 + 0.5) + 1e-3 * (R % 13));
    T.SetElem(3, R, -3e7 + std::cos(R * 0.003));
  }
  for (const int32_t Mode : {1, 2}) {
    TMatrix M(3, 3);
    ASSERT_TRUE(T.CalcCovar(&M, 1, 3, 1, 5000, Mode));
    for (int32_t I = 1; I <= 3; ++I)
      for (int32_t J = 1; J <= 3; ++J)
        EXPECT_NEAR(M.GetVal(I, J), double(RefCov(T, I, J, Mode)), 1e-9) << Mode << I << J;
  }
}

TEST(DataTableAnalysis, CalcCovarModesAgainstPairwiseReference) {
  TDataTable T;
  T.Resize(4, 40);
  for (int32_t R = 1; R <= 40; ++R) {
    T.SetElem(1, R, std::sin(R * 0.7) * 3 + 100);
    T.SetElem(2, R, R * 0.25 + std::cos(R * 1.3));
    T.SetElem(3, R, (R % 7) - 3.0);
    T.SetElem(4, R, std::sin(R * 0.7) * -2 + 0.1 * R);
  }
  T.SetMScaleType(3, stOrdinal);  // in mode 1 taken about 0: it has no numeric cells
  for (const bool Holes : {false, true}) {
    if (Holes) {
      T.SetMScaleType(3, stInterval);
      T.SetCellState(2, 5, csEmpty);
      T.SetCellState(4, 9, csInvalid);
      T.SetCellState(4, 10, csEmpty);
    }
    for (int32_t Mode = 0; Mode <= 4; ++Mode) {
      TMatrix M(5, 5);
      ASSERT_TRUE(T.CalcCovar(&M, 1, 4, 1, 40, Mode));
      for (int32_t I = 1; I <= 4; ++I)
        for (int32_t J = 1; J <= 4; ++J) {
          const double Ref = double(RefCov(T, I, J, Mode));
          EXPECT_NEAR(M.GetVal(I, J), Ref, 1e-12 * std::max(1.0, std::fabs(Ref)))
              << Mode << " " << I << " " << J << " holes " << Holes;
        }
      EXPECT_EQ(M.GetVal(5, 5), 0.0);
    }
  }
}

TEST(DataTableAnalysis, CalcCovarRefusesAndEdgeCases) {
  TDataTable T;
  Put(T, {{1, 2, 3}, {5, 5, 5}, {1, 3, 2}});
  TMatrix M(3, 3);
  int Changes = 0;
  M.OnChange = [&](TObject*) { ++Changes; };
  EXPECT_FALSE(T.CalcCovar(nullptr, 1, 3, 1, 3, 1));
  EXPECT_FALSE(T.CalcCovar(&M, 1, 4, 1, 3, 1));
  EXPECT_FALSE(T.CalcCovar(&M, 0, 3, 1, 3, 1));
  EXPECT_FALSE(T.CalcCovar(&M, 1, 3, 3, 1, 1));
  EXPECT_FALSE(T.CalcCovar(&M, 1, 3, 1, 3, 5));
  TMatrix Small(2, 3);
  EXPECT_FALSE(T.CalcCovar(&Small, 1, 3, 1, 3, 1));
  EXPECT_EQ(Changes, 0);
  // A constant column correlates 0 with everything (no rounding noise), 1 with itself.
  ASSERT_TRUE(T.CalcCovar(&M, 1, 3, 1, 3, 2));
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(M.GetVal(1, 2), 0.0);
  EXPECT_EQ(M.GetVal(2, 2), 1.0);
  EXPECT_DOUBLE_EQ(M.GetVal(1, 3), 0.5);
  // One usable row: no divisor, so NaN for the sums and 0 for the correlations.
  ASSERT_TRUE(T.CalcCovar(&M, 1, 3, 2, 2, 1));
  EXPECT_TRUE(std::isnan(M.GetVal(1, 3)));
  T.SetCellState(3, 1, csEmpty);
  T.SetCellState(3, 2, csEmpty);
  ASSERT_TRUE(T.CalcCovar(&M, 1, 3, 1, 3, 4));
  EXPECT_TRUE(std::isnan(M.GetVal(1, 3)));
  EXPECT_EQ(M.GetVal(1, 2), 14.5);
  ASSERT_TRUE(T.CalcCovar(&M, 1, 3, 1, 3, 3));
  EXPECT_EQ(M.GetVal(1, 3), 0.0);
  // An abort stops before the next column; entries not reached keep their values.
  M.Fill(-7);
  AbortMathProc = true;  // cleared on entry
  MathFeedBackProc = [&](double) { AbortMathProc = true; };
  const bool Done = T.CalcCovar(&M, 1, 3, 1, 3, 0);
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  EXPECT_FALSE(Done);
  EXPECT_EQ(M.GetVal(1, 1), 7.0);
  EXPECT_EQ(M.GetVal(2, 2), -7.0);
}

TEST(DataTableAnalysis, ConstancyAndDichotomy) {
  TDataTable T;
  Put(T, {{1, 1, 2, 2, 1}, {2, 1, 2}, {1, 2, 3}, {4, 4, 4, 4, 4}, {1, NaN, 2}});
  double V1 = -1, V2 = -1;
  EXPECT_TRUE(T.CheckDichotomousColumn(1, V1, V2));
  EXPECT_EQ(V1, 1.0);
  EXPECT_EQ(V2, 2.0);
  // Column 2 is 2, 1, 2, 0, 0: three values.
  EXPECT_FALSE(T.IsDichotomousColumn(2));
  T.Resize(5, 3);
  EXPECT_TRUE(T.CheckDichotomousColumn(2, V1, V2));
  EXPECT_EQ(V1, 1.0);
  EXPECT_EQ(V2, 2.0);
  EXPECT_FALSE(T.IsDichotomousColumn(3));
  EXPECT_FALSE(T.IsDichotomousColumn(4));  // constant
  EXPECT_FALSE(T.IsDichotomousColumn(5));  // NaN
  EXPECT_FALSE(T.CheckDichotomousColumn(6, V1, V2));
  EXPECT_EQ(V1, 0.0);
  EXPECT_FALSE(T.CheckDichotomousColumn(0, V1, V2));
  double K = 0;
  EXPECT_TRUE(T.IsConstantColumn(4, K));
  EXPECT_EQ(K, 4.0);
  EXPECT_FALSE(T.IsConstantColumn(5));
  EXPECT_FALSE(T.IsConstantColumn(9));
  EXPECT_FALSE(T.IsConstantRow(1));
  Put(T, {{3, NaN}, {3, 1}});
  EXPECT_TRUE(T.IsConstantRow(1, K));
  EXPECT_FALSE(T.IsConstantRow(2));
  EXPECT_FALSE(T.IsConstantRow(0));
}

TEST(DataTableAnalysis, CategoricalScansAndContingencyTables) {
  TDataTable T;
  Put(T, {{1, 2, 2, 1, 0, 2, NaN}, {1, 1, 3, 3, 1, 3, 1}, {200, 1, 2}});
  T.SetMScaleType(1, stNominal);
  T.SetMScaleType(2, stOrdinal);
  EXPECT_EQ(T.ListOfCategorialVars(), (TIntArray{1, 2}));
  TIntArray Ord{42};
  EXPECT_EQ(T.ScanForCatValues(3, 0, 0, Ord), 0);
  EXPECT_EQ(Ord, TIntArray{42});
  EXPECT_EQ(T.ScanForCatValues(4, 0, 0, Ord), -1);
  T.SetMScaleType(3, stNominal);
  EXPECT_EQ(T.ScanForCatValues(3, 0, 0, Ord), 1);  // 200 is outside 0..150
  EXPECT_EQ(Ord.size(), 151u);
  EXPECT_EQ(Ord[0], 4);
  EXPECT_EQ(T.ScanForCatValues(1, 0, 0, Ord), 1);  // NaN is no ordinal
  EXPECT_EQ(Ord[2], 3);
  T.SetCellState(2, 6, csEmpty);
  TInt2DArray Tab;
  // Row 5 holds ordinal 0 and row 7 NaN: outside 1..150, reported, not counted.
  EXPECT_EQ(T.CreateContingencyTable(1, 2, 0, 0, Tab), -3);
  const TInt2DArray Want{{1, 0, 1, 2}, {1, 0, 1, 2}, {2, 0, 2, 4}};
  EXPECT_EQ(Tab, Want);
  EXPECT_EQ(T.CreateContingencyTable(1, 2, 1, 4, Tab), 0);
  EXPECT_EQ(T.CreateContingencyTable(1, 4, 1, 4, Tab), -1);
  T.SetMScaleType(2, stRatio);
  EXPECT_EQ(T.CreateContingencyTable(1, 2, 1, 4, Tab), -2);
}

TEST(DataTableAnalysis, FindingCellsAndNames) {
  TDataTable T;
  Put(T, {{1, 9, 3}, {7, 2, 8}});
  TInt2DArray L;
  EXPECT_EQ(T.FindCells(5, 0, cmLT, 0, 0, 0, 0, L), 3);
  EXPECT_EQ(L, (TInt2DArray{{1, 1, 2}, {1, 3, 2}}));  // column-major
  EXPECT_EQ(T.FindCells(2, 8, cmOutOfRange, 0, 0, 0, 0, L), 2);
  EXPECT_EQ(T.FindCells(2, 8, cmInRange, 2, 0, 2, 0, L), 3);
  EXPECT_EQ(T.FindCells(9, 0, cmEQ, 0, 0, 0, 0, L), 1);
  EXPECT_EQ(T.FindCells(0, 0, TCompareMode(8), 0, 0, 0, 0, L), -1);
  EXPECT_EQ(L.size(), 2u);
  EXPECT_TRUE(L[0].empty());
  EXPECT_STREQ(IDS_COMPAREMODE[cmOutOfRange], "cmOutOfRange");
  TDataTable Many;
  Many.Resize(1, MaxFoundCells + 1);
  EXPECT_EQ(Many.FindCells(0, 0, cmEQ, 0, 0, 0, 0, L), -2);
  EXPECT_EQ(L[1].size(), size_t(MaxFoundCells));
  EXPECT_EQ(L[1].back(), MaxFoundCells);
  Many.SetElem(1, 1, 1);
  EXPECT_EQ(Many.FindCells(0, 0, cmEQ, 0, 0, 0, 0, L), MaxFoundCells);
  T.SetColName(2, "WEIGHT");
  T.SetRowName(3, " Row x ");
  EXPECT_EQ(T.FindColIndex(" weight "), 2);
  EXPECT_EQ(T.FindRowIndex("ROW X"), 3);
  EXPECT_EQ(T.FindColIndex("weigh"), 0);
}

// Records the sort exchanges a table reports.
struct TExchanges {
  std::vector<std::string> E;
  void Attach(TDataTable& T) {
    T.OnSortExchange = [this](TObject*, uint8_t K, int32_t I, int32_t J, int32_t Lo, int32_t Hi) {
      E.push_back(std::to_string(K) + ":" + std::to_string(I) + "," + std::to_string(J) + "/" +
                  std::to_string(Lo) + "-" + std::to_string(Hi));
    };
  }
};

TEST(DataTableAnalysis, SortingByAttributesAndNamesMovesWholeLines) {
  TDataTable T;
  Put(T, {{30, 10, 20}, {3, 1, 2}});
  for (int32_t R = 1; R <= 3; ++R) {
    T.SetRowAttrib(R, int32_t(T.Elem(2, R)));
    T.SetRowName(R, "r" + std::to_string(int(T.Elem(2, R))));
    T.SetCellState(1, R, uint8_t(R * 4));
  }
  TExchanges X;
  X.Attach(T);
  std::vector<std::string> Events;
  T.OnChange = [&](TObject*) { Events.push_back("data"); };
  T.OnChangeAttrib = [&](TObject*) { Events.push_back("attrib"); };
  T.SortRowAttributes(true, 0, 0, 0, 0);
  EXPECT_EQ(Events, (std::vector<std::string>{"data", "attrib"}));
  EXPECT_EQ(X.E, (std::vector<std::string>{"2:1,2/1-2", "2:2,3/1-2"}));
  EXPECT_EQ((TStrArray{T.RowName(1), T.RowName(2), T.RowName(3)}), (TStrArray{"r1", "r2", "r3"}));
  for (int32_t R = 1; R <= 3; ++R) {
    EXPECT_EQ(T.RowAttrib(R), R);
    EXPECT_EQ(T.Elem(1, R), 10.0 * R);
  }
  EXPECT_EQ(T.CellState(1, 1), 8);
  // Spans of 22 rows and more overflowed a 32-bit gap computation; 300 names in reverse.
  TDataTable L;
  L.Resize(2, 300);
  for (int32_t R = 1; R <= 300; ++R) {
    char Name[8];
    std::snprintf(Name, sizeof Name, "%c%03d", R % 2 ? 'a' : 'A', 301 - R);
    L.SetRowName(R, Name);
    L.SetElem(2, R, 301 - R);
  }
  L.SortRowNames(true, true, 2, 1, 2, 300);
  for (int32_t R = 1; R <= 300; ++R) EXPECT_EQ(L.Elem(2, R), R) << R;
  L.SortRowNames(false, 0, 0, 0, 0);  // bytes: lower case after upper case
  EXPECT_EQ(L.RowName(1)[0], 'a');
  EXPECT_EQ(L.RowName(300)[0], 'A');
  // Columns carry their variable types along.
  TDataTable C;
  Put(C, {{1}, {2}, {3}});
  C.SetColName(1, "b");
  C.SetColName(2, "c");
  C.SetColName(3, "a");
  C.AddNominalID(3, "x");
  C.SortColNames(true, 0, 0, 0, 0);
  EXPECT_EQ(C.ColName(1), "a");
  EXPECT_EQ(C.MScaleType(1), stNominal);
  EXPECT_EQ(C.NominalID(1, 0), "x");
  EXPECT_EQ(C.Elem(1, 1), 3.0);
  C.SetColAttrib(1, 5);
  C.SortColAttributes(false, 0, 0, 0, 0);
  EXPECT_EQ(C.ColAttrib(1), 5);
  EXPECT_EQ(C.ColName(1), "a");
}

TEST(DataTableAnalysis, SortingByDataCarriesStatesAndHeaders) {
  TDataTable T;
  Put(T, {{3, 1, 2}, {30, 10, 20}});
  for (int32_t R = 1; R <= 3; ++R) {
    T.SetRowName(R, "r" + std::to_string(int(T.Elem(1, R))));
    T.SetCellState(2, R, uint8_t(int(T.Elem(1, R)) * 4));
  }
  std::vector<std::string> Events;
  T.OnChangeNames = [&](TObject*) { Events.push_back("names"); };
  T.SortRows(1, true, 0, 0, 0, 0, false);
  EXPECT_EQ(T.RowName(1), "r3");
  EXPECT_EQ(T.CellState(2, 1), 4);
  EXPECT_TRUE(Events.empty());
  T.SortRows(1, false, 0, 0, 0, 0, true);
  EXPECT_TRUE(T.SortIncludeHd());
  EXPECT_EQ(T.Elem(2, 1), 30.0);
  EXPECT_EQ(T.CellState(2, 1), 12);
  EXPECT_EQ(Events, std::vector<std::string>{"names"});
  T.SortCols(1, true, 0, 0, 0, 0, true);
  EXPECT_EQ(T.Elem(1, 1), 3.0);
  T.SetElem(1, 1, 99);
  T.SortCols(1, true, 0, 0, 0, 0, true);
  EXPECT_EQ(T.Elem(1, 1), 30.0);
  EXPECT_EQ(T.CellState(2, 1), 0);
}

TEST(DataTableAnalysis, AttributeAndScaleExtremes) {
  TDataTable T;
  T.Resize(4, 5);
  const int32_t Att[] = {7, -3, 300, 7, 2};
  for (int32_t R = 1; R <= 5; ++R) T.SetRowAttrib(R, Att[R - 1]);
  int32_t Ix = 0;
  EXPECT_EQ(T.MaxRowAttrib(0, 0, Ix), 300);
  EXPECT_EQ(Ix, 3);
  EXPECT_EQ(T.MinRowAttrib(3, 9, Ix), 2);
  EXPECT_EQ(Ix, 5);
  EXPECT_EQ(T.MaxRowAttrib(4, 1, Ix), 300);
  EXPECT_EQ(T.RowAttribLevels(), 2);  // 7 and 2; -3 and 300 lie outside the levels
  T.SetColAttrib(2, 9);
  T.SetColAttrib(4, 9);
  EXPECT_EQ(T.MaxColAttrib(0, 0, Ix), 9);
  EXPECT_EQ(Ix, 2);
  EXPECT_EQ(T.MinColAttrib(2, 4, Ix), 0);
  EXPECT_EQ(Ix, 3);
  EXPECT_EQ(T.ColAttribLevels(), 2);
  for (int32_t C = 1; C <= 4; ++C) T.SetMScaleType(C, stUnknown);
  EXPECT_EQ(T.FindHighestMLevel(0, 0), stNominal);
  EXPECT_EQ(T.FindLowestMLevel(0, 0), stUnknown);
  T.SetMScaleType(3, stRatio);
  T.SetMScaleType(4, stOrdinal);
  EXPECT_EQ(T.FindHighestMLevel(0, 0), stRatio);
  EXPECT_EQ(T.FindLowestMLevel(3, 4), stOrdinal);
}

}  // namespace
}  // namespace nux
