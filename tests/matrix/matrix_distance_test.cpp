#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

// A matrix given row by row: objects in rows, variables in columns.
struct Rows : TMatrix {
  Rows(std::initializer_list<std::initializer_list<double>> RowList) {
    Resize(static_cast<int32_t>(RowList.begin()->size()), static_cast<int32_t>(RowList.size()));
    int32_t R = 1;
    for (const auto& Row : RowList) {
      int32_t C = 1;
      for (const double X : Row) Mat[size_t(C++ - 1)][size_t(R - 1)] = X;
      ++R;
    }
  }
};

TEST(MatrixDistance, EveryModeOnTwoRows) {
  // x = (1, 2, 3), y = (2, 0, 1): sum xy = 5, sum x^2 = 14, sum y^2 = 5.
  const Rows M{{1, 2, 3}, {2, 0, 1}, {0, 0, 0}, {0, 0, 0}};
  EXPECT_DOUBLE_EQ(M.DistanceOfObjects(dmTanimoto, 1, 2), 5.0 / 14.0);
  EXPECT_EQ(M.DistanceOfObjects(dmCityBlock, 1, 2), 5.0);
  EXPECT_EQ(M.DistanceOfObjects(dmEuclid, 1, 2), 3.0);
  EXPECT_EQ(M.DistanceOfObjects(dmEuclidSqr, 2, 1), 9.0);
  EXPECT_DOUBLE_EQ(M.DistanceOfObjects(dmDice, 1, 2), 10.0 / 19.0);
  EXPECT_EQ(M.DistanceOfObjects(TDistMode(17), 1, 2), 0.0);
  EXPECT_EQ(M.DistanceOfObjects(dmUser, 1, 2), 0.0);  // no handler
  // A row outside the matrix reads as zeros.
  EXPECT_DOUBLE_EQ(M.DistanceOfObjects(dmEuclidSqr, 1, 99), 14.0);
  EXPECT_EQ(M.DistanceOfObjects(dmCityBlock, 0, 2), 3.0);
  // Two rows of zeros are identical: similarity 1, not 0/0; a zero row against another is 0.
  EXPECT_EQ(M.DistanceOfObjects(dmTanimoto, 3, 4), 1.0);
  EXPECT_EQ(M.DistanceOfObjects(dmDice, 3, 4), 1.0);
  EXPECT_EQ(M.DistanceOfObjects(dmDice, 1, 3), 0.0);
  EXPECT_EQ(M.DistanceOfObjects(dmTanimoto, 1, 1), 1.0);
}

TEST(MatrixDistance, UserDistanceEvent) {
  Rows M{{1, 2}, {3, 4}, {5, 6}};
  std::vector<std::string> Calls;
  M.OnCalcDistance = [&](TObject* Sender, int32_t R1, int32_t R2, double& D) {
    EXPECT_EQ(Sender, &M);
    EXPECT_EQ(D, 0.0);
    Calls.push_back(std::to_string(R1) + "," + std::to_string(R2));
    D = 10.0 * R1 + R2;
  };
  EXPECT_EQ(M.DistanceOfObjects(dmUser, 3, 1), 31.0);

  Calls.clear();
  TMatrix D;
  D.Resize(3, 3);
  EXPECT_EQ(M.CalcDistMat(dmUser, &D), 0);
  EXPECT_EQ(Calls, (std::vector<std::string>{"1,2", "1,3", "2,3"}));
  EXPECT_EQ(D.Data(), (Rows{{0, 12, 13}, {12, 0, 23}, {13, 23, 0}}).Data());
}

TEST(MatrixDistance, DistanceMatrix) {
  Rows M{{0, 0}, {3, 4}, {6, 8}};
  TMatrix D;
  D.Resize(3, 3);
  D.Fill(7.0);
  EXPECT_EQ(M.CalcDistMat(dmEuclid, &D), 0);
  EXPECT_EQ(D.Data(), (Rows{{0, 5, 10}, {5, 0, 5}, {10, 5, 0}}).Data());
  EXPECT_EQ(M.CalcDistMat(dmDice, &D), 0);
  for (int32_t I = 1; I <= 3; ++I) EXPECT_EQ(D.GetVal(I, I), 0.0);  // similarity, still 0
  EXPECT_DOUBLE_EQ(D.GetVal(2, 3), 2.0 * 50 / (25 + 100));

  // Wrong sizes are rejected before anything is written.
  for (const auto& [Nc, Nr, Code] : {std::tuple{2, 3, -2}, {3, 2, -1}, {4, 4, -2}}) {
    TMatrix Bad;
    Bad.Resize(Nc, Nr);
    Bad.Fill(7.0);
    int Changes = 0;
    Bad.OnChange = [&](TObject*) { ++Changes; };
    EXPECT_EQ(M.CalcDistMat(dmEuclid, &Bad), Code);
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Bad.GetVal(1, 2), 7.0);
  }
  EXPECT_EQ(M.CalcDistMat(dmEuclid, nullptr), -3);

  // The data matrix itself as the result (square data): distances of the original rows.
  Rows S{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
  EXPECT_EQ(S.CalcDistMat(dmCityBlock, &S), 0);
  EXPECT_EQ(S.Data(), (Rows{{0, 1, 2}, {1, 0, 1}, {2, 1, 0}}).Data());
}

struct TResample : ::testing::Test {
  TMatrix Src;
  TResample() {
    Src.Resize(5, 40);
    for (int32_t C = 1; C <= 5; ++C)
      for (int32_t R = 1; R <= 40; ++R) Src.SetVal(C, R, 100.0 * C + R);
  }
  // Every element of Res is the source element its index arrays name.
  void ExpectPicked(const TMatrix& Res, const TIntArray& Cols, const TIntArray& RowsIx) {
    ASSERT_EQ(Res.NrOfColumns(), int32_t(Cols.size()));
    ASSERT_EQ(Res.NrOfRows(), int32_t(RowsIx.size()));
    for (int32_t C = 1; C <= Res.NrOfColumns(); ++C)
      for (int32_t R = 1; R <= Res.NrOfRows(); ++R)
        EXPECT_EQ(Res.GetVal(C, R), 100.0 * Cols[size_t(C - 1)] + RowsIx[size_t(R - 1)]);
  }
};

TEST_F(TResample, AllColumnsInOrderAndDistinctRows) {
  TMatrix Res;
  int Changes = 0, Resizes = 0;
  Res.OnChange = [&](TObject*) { ++Changes; };
  Res.OnResize = [&](TObject*) { ++Resizes; };
  TIntArray Cols{0}, RowIx{0};
  SetRandSeed(21);
  EXPECT_EQ(Res.ResampleExtMat(&Src, 100, 50, false, Cols, RowIx), 0);
  EXPECT_EQ(Cols, (TIntArray{1, 2, 3, 4, 5}));
  ASSERT_EQ(RowIx.size(), 20u);
  EXPECT_EQ(std::set<int32_t>(RowIx.begin(), RowIx.end()).size(), 20u);
  EXPECT_TRUE(std::all_of(RowIx.begin(), RowIx.end(), [](int32_t X) { return X >= 1 && X <= 40; }));
  EXPECT_FALSE(std::is_sorted(RowIx.begin(), RowIx.end()));
  ExpectPicked(Res, Cols, RowIx);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Resizes, 1);

  // The same seed gives the same sample; the generator is not reseeded inside.
  TIntArray Cols2{0}, Rows2{0};
  SetRandSeed(21);
  EXPECT_EQ(Res.ResampleExtMat(&Src, 100, 50, false, Cols2, Rows2), 0);
  EXPECT_EQ(Rows2, RowIx);
}

TEST_F(TResample, ColumnSubsetsAndBootstrap) {
  TMatrix Res;
  TIntArray Cols{0}, RowIx{0};
  SetRandSeed(5);
  // 5 * 70% = 3.5 rounds to 4 (halves to even); 40 * 100% rows drawn with replacement.
  EXPECT_EQ(Res.ResampleExtMat(&Src, 70, 100, true, Cols, RowIx), 0);
  ASSERT_EQ(Cols.size(), 4u);
  EXPECT_EQ(std::set<int32_t>(Cols.begin(), Cols.end()).size(), 4u);
  EXPECT_TRUE(std::all_of(Cols.begin(), Cols.end(), [](int32_t X) { return X >= 1 && X <= 5; }));
  ASSERT_EQ(RowIx.size(), 40u);
  EXPECT_LT(std::set<int32_t>(RowIx.begin(), RowIx.end()).size(), 40u);  // duplicates
  ExpectPicked(Res, Cols, RowIx);

  EXPECT_EQ(Res.ResampleExtMat(&Src, 50, 100, false, Cols, RowIx), 0);
  EXPECT_EQ(Cols.size(), 2u);  // 2.5 rounds to 2

  // The source may be the matrix itself.
  TMatrix Self;
  Self.Clone(&Src);
  EXPECT_EQ(Self.ResampleExtMat(&Self, 100, 100, false, Cols, RowIx), 0);
  ExpectPicked(Self, Cols, RowIx);
}

TEST_F(TResample, RejectedArgumentsChangeNothing) {
  Rows Res{{1, 2}};
  TIntArray Cols{9}, RowIx{9}, Empty;
  EXPECT_EQ(Res.ResampleExtMat(nullptr, 50, 50, false, Cols, RowIx), -3);
  EXPECT_EQ(Res.ResampleExtMat(&Src, 50, 50, false, Empty, RowIx), -5);
  EXPECT_EQ(Res.ResampleExtMat(&Src, 50, 50, false, Cols, Empty), -5);
  EXPECT_EQ(Res.ResampleExtMat(&Src, 50, 101, false, Cols, RowIx), -2);
  EXPECT_EQ(Res.ResampleExtMat(&Src, 50, 1, false, Cols, RowIx), -2);  // 0.4 rows
  EXPECT_EQ(Res.ResampleExtMat(&Src, 50, std::nan(""), false, Cols, RowIx), -2);
  EXPECT_EQ(Res.ResampleExtMat(&Src, 0, 50, false, Cols, RowIx), -1);
  EXPECT_EQ(Res.ResampleExtMat(&Src, 100.5, 50, false, Cols, RowIx), -1);
  EXPECT_EQ(Res.ResampleExtMat(&Src, -20, 50, false, Cols, RowIx), -1);
  EXPECT_EQ(Cols, TIntArray{9});
  EXPECT_EQ(RowIx, TIntArray{9});
  EXPECT_EQ(Res.Data(), (TDouble2DArray{{1}, {2}}));

  // Exhausted memory: the unit's error, and the matrix and index arrays as they were.
  TMatrix Big;
  Big.Resize(2, 20000);  // columns of 160000 bytes
  ScopedAllocLimit Limit(100000);
  EXPECT_THROW(Res.ResampleExtMat(&Big, 100, 100, false, Cols, RowIx), ENUXMatrixError);
  EXPECT_EQ(Cols, TIntArray{9});
  EXPECT_EQ(Res.Data(), (TDouble2DArray{{1}, {2}}));
}

}  // namespace
}  // namespace nux
