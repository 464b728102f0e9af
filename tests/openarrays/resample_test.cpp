#include "nux/openarrays/resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "nux/host/random.h"

namespace nux {
namespace {

TDouble2DArray Grid(int Cols, int Rows) {
  TDouble2DArray A(Cols, TDoubleArray(Rows));
  for (int C = 0; C < Cols; ++C)
    for (int R = 0; R < Rows; ++R) A[C][R] = 100.0 * C + R;
  return A;
}

TEST(Resample2DArray, PicksTheIndexedCells) {
  SetRandSeed(11);
  const auto A = Grid(5, 8);
  TDouble2DArray Out{{}};
  TIntArray ColIdx{0}, RowIdx{0};
  // 5 * 50 % = 2.5 rounds to 2; 8 * 50 % = 4.
  ASSERT_EQ(Resample2DArray(A, Out, 50, 50, false, ColIdx, RowIdx), 0);
  ASSERT_EQ(std::set<int32_t>(ColIdx.begin(), ColIdx.end()).size(), 2u);
  ASSERT_EQ(std::set<int32_t>(RowIdx.begin(), RowIdx.end()).size(), 4u);
  ASSERT_EQ(Out.size(), 2u);
  for (int I = 0; I < 2; ++I)
    for (int K = 0; K < 4; ++K) EXPECT_EQ(Out[I][K], A[ColIdx[I] - 1].at(RowIdx[K] - 1));
  // All columns: in order. Rows with repetition: 200 draws from 8 rows must repeat.
  const auto B = Grid(3, 200);
  ASSERT_EQ(Resample2DArray(B, Out, 100, 100, true, ColIdx, RowIdx), 0);
  EXPECT_EQ(ColIdx, (TIntArray{1, 2, 3}));
  EXPECT_LT(std::set<int32_t>(RowIdx.begin(), RowIdx.end()).size(), 200u);
  ASSERT_EQ(Resample2DArray(B, Out, 100, 100, false, ColIdx, RowIdx), 0);
  EXPECT_EQ(std::set<int32_t>(RowIdx.begin(), RowIdx.end()).size(), 200u);
}

TEST(Resample2DArray, EveryColumnSubsetIsEquallyLikely) {
  // Two of three columns: each column should be chosen in 2/3 of the draws. A shuffle that
  // only makes cyclic permutations would always keep the last column.
  SetRandSeed(3);
  const auto A = Grid(3, 2);
  TDouble2DArray Out{{}};
  TIntArray ColIdx{0}, RowIdx{0};
  int Chosen[4] = {};
  const int Draws = 6000;
  for (int K = 0; K < Draws; ++K) {
    ASSERT_EQ(Resample2DArray(A, Out, 66.7, 100, false, ColIdx, RowIdx), 0);
    ASSERT_EQ(ColIdx.size(), 2u);
    for (const int32_t C : ColIdx) ++Chosen[C];
  }
  const double SD = std::sqrt(Draws * (2.0 / 3) * (1.0 / 3));
  for (int C = 1; C <= 3; ++C) EXPECT_NEAR(Chosen[C], Draws * 2.0 / 3, 5 * SD) << C;
}

TEST(Resample2DArray, ResultCodesInOrder) {
  const auto A = Grid(4, 4);
  TDouble2DArray Out{{1.0}}, Empty;
  TIntArray ColIdx{7}, RowIdx{7}, None;
  EXPECT_EQ(Resample2DArray(Empty, Out, 50, 50, false, ColIdx, RowIdx), -3);
  EXPECT_EQ(Resample2DArray(TDouble2DArray{{1}, {}}, Out, 50, 50, false, ColIdx, RowIdx), -3);
  EXPECT_EQ(Resample2DArray(A, Empty, 50, 50, false, ColIdx, RowIdx), -4);
  EXPECT_EQ(Resample2DArray(A, Out, 50, 50, false, None, RowIdx), -5);
  EXPECT_EQ(Resample2DArray(A, Out, 101, 50, false, ColIdx, RowIdx), -1);
  EXPECT_EQ(Resample2DArray(A, Out, std::nan(""), 50, false, ColIdx, RowIdx), -1);
  EXPECT_EQ(Resample2DArray(A, Out, 50, 100.5, false, ColIdx, RowIdx), -2);
  EXPECT_EQ(Out, (TDouble2DArray{{1.0}}));
  EXPECT_EQ(ColIdx, (TIntArray{7}));

  TInt2DArray IA{{1, 2}, {3, 4}}, IOut{{}};
  EXPECT_EQ(Resample2DArray(IA, IOut, 100, 100, false, ColIdx, RowIdx), 0);
  EXPECT_EQ(IOut[1][0], IA[1][RowIdx[0] - 1]);
}

}  // namespace
}  // namespace nux
