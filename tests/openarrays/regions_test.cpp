#include "nux/openarrays/regions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>

namespace nux {
namespace {

constexpr int32_t IntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t IntMin = std::numeric_limits<int32_t>::min();

TBool2DArray Mask(int32_t Cols, int32_t Rows) { return TBool2DArray(Cols, TBoolArray(Rows)); }

int Count(const TBool2DArray& M) {
  int N = 0;
  for (const auto& C : M)
    for (const bool B : C) N += B;
  return N;
}

TEST(CreateMaskShape, ShapesDrawnByHand) {
  auto M = Mask(5, 5);
  EXPECT_EQ(CreateMaskShape(M, skCircle, {2, 2, 0}), 0);  // radius 0: the centre only
  EXPECT_EQ(Count(M), 1);
  EXPECT_TRUE(M[2][2]);
  EXPECT_EQ(CreateMaskShape(M, skCircle, {2, 2, 2}), 0);  // dx^2 + dy^2 <= 4
  EXPECT_EQ(Count(M), 13);
  EXPECT_FALSE(M[0][0]);
  EXPECT_TRUE(M[0][2]);

  M = Mask(5, 5);
  EXPECT_EQ(CreateMaskShape(M, skRing, {2, 2, 2, 1}), 0);  // radii in either order
  EXPECT_EQ(Count(M), 12);
  EXPECT_FALSE(M[2][2]);

  // Block 0..3: centre 1, denominators 9 div 2 = 4; five cells have (i-1)^2 + (j-1)^2 > 4.
  M = Mask(4, 4);
  EXPECT_EQ(CreateMaskShape(M, skEllipse, {0, 0, 3, 3}), 0);
  EXPECT_EQ(Count(M), 11);
  EXPECT_TRUE(M[0][0]);
  EXPECT_FALSE(M[3][3]);
  EXPECT_FALSE(M[3][0]);
  EXPECT_TRUE(M[3][1]);
  M = Mask(4, 4);
  EXPECT_EQ(CreateMaskShape(M, skEllipse, {1, 0, 1, 3}), 0);  // zero width: nothing
  EXPECT_EQ(Count(M), 0);

  // Other cells keep their values.
  M = Mask(3, 3);
  M[0][0] = true;
  EXPECT_EQ(CreateMaskShape(M, skRectangle, {1, 1, 2, 2}), 0);
  EXPECT_EQ(Count(M), 5);
}

TEST(CreateMaskShape, ShapesBeyondTheMaskAreCut) {
  auto M = Mask(4, 3);
  EXPECT_EQ(CreateMaskShape(M, skRectangle, {-2, -2, 1, 0}), 0);
  EXPECT_EQ(Count(M), 2);
  EXPECT_TRUE(M[1][0]);
  M = Mask(4, 3);
  EXPECT_EQ(CreateMaskShape(M, skCircle, {5, 1, 2}), 0);  // centre outside, edge inside
  EXPECT_EQ(Count(M), 1);
  EXPECT_TRUE(M[3][1]);
  // Extreme parameters cost nothing and overflow nothing.
  M = Mask(4, 3);
  EXPECT_EQ(CreateMaskShape(M, skRectangle, {IntMin, IntMin, IntMax, IntMax}), 0);
  EXPECT_EQ(Count(M), 12);
  M = Mask(4, 3);
  EXPECT_EQ(CreateMaskShape(M, skEllipse, {IntMin, IntMin, IntMax, IntMax}), 0);
  EXPECT_EQ(Count(M), 12);
  M = Mask(4, 3);
  EXPECT_EQ(CreateMaskShape(M, skRing, {IntMax, IntMax, IntMax, IntMax}), 0);
  EXPECT_EQ(CreateMaskShape(M, skCircle, {IntMin, 0, IntMax}), 0);
  EXPECT_EQ(Count(M), 0);  // the circle's edge passes left of the mask
}

TEST(CreateMaskShape, RejectedArgumentsChangeNothing) {
  auto M = Mask(3, 3);
  EXPECT_EQ(CreateMaskShape(M, skCircle, {1, 1}), -1);
  EXPECT_EQ(CreateMaskShape(M, skRectangle, {0, 0, 1}), -1);
  EXPECT_EQ(CreateMaskShape(M, skRing, {1, 1, 1}), -1);
  EXPECT_EQ(CreateMaskShape(M, skCircle, {1, 1, -1}), -2);
  EXPECT_EQ(CreateMaskShape(M, skRing, {1, 1, 1, -2}), -2);
  EXPECT_EQ(CreateMaskShape(M, skRectangle, {2, 0, 1, 2}), -2);  // reversed block
  EXPECT_EQ(CreateMaskShape(M, 7, {0, 0, 2, 2}), 0);
  EXPECT_EQ(Count(M), 0);
  TBool2DArray Empty, Ragged{{false, false}, {false}};
  EXPECT_EQ(CreateMaskShape(Empty, skCircle, {0, 0, 1}), -1);
  EXPECT_EQ(CreateMaskShape(Ragged, skRectangle, {0, 0, 1, 1}), -1);
  EXPECT_FALSE(Ragged[0][1]);
}

TEST(ListCellPositions, OneAndTwoDimensions) {
  TIntArray Pos{99};
  EXPECT_EQ(ListCellPositions(TBoolArray{true, false, true, true}, true, 2, 1, Pos), 2);
  EXPECT_EQ(Pos, (TIntArray{1, 3}));
  EXPECT_EQ(ListCellPositions(TBoolArray{true, false, true, true}, true, 0, 0, Pos), 3);
  EXPECT_EQ(Pos, (TIntArray{0, 2, 3}));
  EXPECT_EQ(ListCellPositions(TBoolArray{true, false, true, true}, false, 9, -1, Pos), 1);
  EXPECT_EQ(Pos, (TIntArray{0}));
  EXPECT_EQ(ListCellPositions(TBoolArray{true, true}, false, 0, 0, Pos), 0);
  EXPECT_TRUE(Pos.empty());
  Pos = {7};
  EXPECT_EQ(ListCellPositions(TBoolArray{}, true, 0, 0, Pos), -1);
  // An offset that carries a position past the 32-bit range fails and leaves Pos alone.
  EXPECT_EQ(ListCellPositions(TBoolArray{false, true}, true, 0, IntMax, Pos), -2);
  EXPECT_EQ(Pos, (TIntArray{7}));
  EXPECT_EQ(ListCellPositions(TBoolArray{true, false}, true, 0, IntMax, Pos), 1);
  EXPECT_EQ(Pos, (TIntArray{IntMax}));

  const TBool2DArray A{{false, false, true}, {true, true, false}};  // 2 columns, 3 rows
  TInt2DArray P2;
  EXPECT_EQ(ListCellPositions(A, true, 0, 0, P2), 3);
  ASSERT_EQ(P2.size(), 2u);
  EXPECT_EQ(P2[0], (TIntArray{0, 1, 1}));
  EXPECT_EQ(P2[1], (TIntArray{2, 0, 1}));
  EXPECT_EQ(ListCellPositions(A, true, 2, 1, P2), 2);
  EXPECT_EQ(P2[0], (TIntArray{1, 2}));
  EXPECT_EQ(P2[1], (TIntArray{3, 1}));
  EXPECT_EQ(ListCellPositions(TBool2DArray{{true}, {}}, true, 0, 0, P2), -1);
  EXPECT_EQ(ListCellPositions(TBool2DArray{}, true, 0, 0, P2), -1);
}

// Independent reference: breadth-first search over 4-neighbours.
int64_t RegionSize(const TDouble2DArray& A, int Col, int Row, double Lo, double Hi) {
  const int C = static_cast<int>(A.size()), R = static_cast<int>(A[0].size());
  std::vector<char> Seen(C * R);
  std::deque<std::pair<int, int>> Q{{Col, Row}};
  Seen[Col * R + Row] = 1;
  int64_t N = 0;
  while (!Q.empty()) {
    auto [X, Y] = Q.front();
    Q.pop_front();
    ++N;
    const int DX[] = {1, -1, 0, 0}, DY[] = {0, 0, 1, -1};
    for (int K = 0; K < 4; ++K) {
      const int U = X + DX[K], V = Y + DY[K];
      if (U < 0 || V < 0 || U >= C || V >= R || Seen[U * R + V]) continue;
      if (A[U][V] < Lo || A[U][V] > Hi) continue;
      Seen[U * R + V] = 1;
      Q.emplace_back(U, V);
    }
  }
  return N;
}

TEST(FloodFillArray, FillsTheConnectedRegionWithinTolerance) {
  // Columns 0..5, rows 0..4. The region of values near 1 winds around a wall of 9s, so it can
  // only be reached through spans of other rows; the 1.3 lies outside the tolerance.
  TDouble2DArray A(6, TDoubleArray(5, 9.0));
  const int Cells[][2] = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2},
                          {0, 2}, {0, 3}, {0, 4}, {1, 4}, {5, 4}, {4, 0}};
  for (const auto& C : Cells) A[C[0]][C[1]] = 1.0;
  A[1][0] = 1.15;
  A[2][2] = 0.9;
  A[3][0] = 1.3;
  const int64_t Expected = RegionSize(A, 0, 0, 0.8, 1.2);
  int32_t RowMax = -9, RowMin = -9, ColMin = -9, ColMax = -9;
  EXPECT_EQ(FloodFillArray(0, 0, -0.2, 5.0, A, RowMax, RowMin, ColMin, ColMax), Expected);
  EXPECT_EQ(Expected, 10);
  EXPECT_EQ(A[1][4], 5.0);
  EXPECT_EQ(A[3][0], 1.3);  // outside the window
  EXPECT_EQ(A[4][0], 1.0);  // not connected
  EXPECT_EQ(A[5][4], 1.0);
  EXPECT_EQ(ColMin, 0);
  EXPECT_EQ(ColMax, 2);
  EXPECT_EQ(RowMin, 0);
  EXPECT_EQ(RowMax, 4);

  // The seed outside the array: -1 and nothing written.
  EXPECT_EQ(FloodFillArray(6, 0, 0.0, 1.0, A, RowMax, RowMin, ColMin, ColMax), -1);
  EXPECT_EQ(FloodFillArray(0, -1, 0.0, 1.0, A, RowMax, RowMin, ColMin, ColMax), -1);
  TDouble2DArray Ragged{{1, 1}, {1}};
  EXPECT_EQ(FloodFillArray(0, 0, 0.0, 2.0, Ragged, RowMax, RowMin, ColMin, ColMax), -1);
  EXPECT_EQ(Ragged[0][0], 1.0);

  // A NaN seed matches nothing; the bounds stay at the seed.
  TDouble2DArray N{{std::nan(""), 1.0}};
  EXPECT_EQ(FloodFillArray(0, 0, 1.0, 2.0, N, RowMax, RowMin, ColMin, ColMax), 0);
  EXPECT_EQ(RowMax, 0);
  EXPECT_EQ(N[0][1], 1.0);
}

TEST(FloodFillArray, FillValueThatQualifiesFillsEachCellOnce) {
  TDouble2DArray A(3, TDoubleArray(3, 1.0));
  A[1][1] = 7.0;
  int32_t RowMax, RowMin, ColMin, ColMax;
  EXPECT_EQ(FloodFillArray(0, 0, 0.5, 1.25, A, RowMax, RowMin, ColMin, ColMax), 8);
  EXPECT_EQ(A[2][2], 1.25);
  EXPECT_EQ(A[1][1], 7.0);
  TInt2DArray I(4, TIntArray(2, 3));
  I[2][0] = 4;
  EXPECT_EQ(FloodFillArray(3, 1, 3, I, RowMax, RowMin, ColMin, ColMax), 7);
  EXPECT_EQ(ColMin, 0);
  EXPECT_EQ(ColMax, 3);
  EXPECT_EQ(I[2][0], 4);
}

// The former fill recursed once per span and overflowed the stack on regions like these.
TEST(FloodFillArray, RegionsOfMillionsOfCells) {
  TInt2DArray A(4000, TIntArray(4000, 5));
  int32_t RowMax, RowMin, ColMin, ColMax;
  EXPECT_EQ(FloodFillArray(1234, 3999, 8, A, RowMax, RowMin, ColMin, ColMax), 16000000);
  EXPECT_EQ(A[0][0], 8);
  EXPECT_EQ(A[3999][3999], 8);
  EXPECT_EQ(RowMin, 0);
  EXPECT_EQ(RowMax, 3999);
  EXPECT_EQ(ColMin, 0);
  EXPECT_EQ(ColMax, 3999);

  // A serpentine: every other row a wall open at alternating ends, so the region is one path
  // of 1000 spans.
  const int C = 2000, R = 2000;
  TDouble2DArray S(C, TDoubleArray(R, 0.0));
  int64_t Open = 0;
  for (int Row = 0; Row < R; ++Row)
    for (int Col = 0; Col < C; ++Col) {
      const bool Wall = Row % 2 == 1 && Col != (Row % 4 == 1 ? C - 1 : 0);
      S[Col][Row] = Wall ? 1.0 : 0.0;
      Open += !Wall;
    }
  EXPECT_EQ(FloodFillArray(0, 0, 0.0, 2.0, S, RowMax, RowMin, ColMin, ColMax), Open);
  EXPECT_EQ(S[C - 1][R - 2], 2.0);
  EXPECT_EQ(RowMax, R - 1);
}

TEST(BoundingRect, NonZeroCells) {
  int32_t C0, C1, R0, R1;
  BoundingRect(TDouble2DArray(3, TDoubleArray(4, 0.0)), C0, C1, R0, R1);
  EXPECT_EQ((std::vector<int32_t>{C0, C1, R0, R1}), (std::vector<int32_t>{-1, -1, -1, -1}));
  TDouble2DArray A(3, TDoubleArray(4, 0.0));
  A[2][1] = -0.5;
  BoundingRect(A, C0, C1, R0, R1);
  EXPECT_EQ((std::vector<int32_t>{C0, C1, R0, R1}), (std::vector<int32_t>{2, 2, 1, 1}));
  A[0][3] = std::nan("");
  BoundingRect(A, C0, C1, R0, R1);
  EXPECT_EQ((std::vector<int32_t>{C0, C1, R0, R1}), (std::vector<int32_t>{0, 2, 1, 3}));
  TInt2DArray I{{0, 0, 0}, {0, 3, 0}, {0, 0, 0}, {1, 0, 0}};
  BoundingRect(I, C0, C1, R0, R1);
  EXPECT_EQ((std::vector<int32_t>{C0, C1, R0, R1}), (std::vector<int32_t>{1, 3, 0, 1}));
  BoundingRect(TInt2DArray{}, C0, C1, R0, R1);
  EXPECT_EQ(C0, -1);
  EXPECT_EQ(R1, -1);
}

}  // namespace
}  // namespace nux
