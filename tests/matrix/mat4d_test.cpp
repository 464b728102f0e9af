#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(Mat4D, SizingAddressingAndRefusedSizes) {
  TMat4D M;
  EXPECT_EQ(M.NrOfTimeSlots(), 1);
  ASSERT_TRUE(M.Resize(3, 2, 4, 2));
  M.SetVal(3, 2, 4, 2, 9.0);
  M.SetVal(4, 1, 1, 1, 1.0);  // outside: ignored
  std::vector<std::string> E;
  M.OnChange = [&](TObject*) { E.push_back("change"); };
  M.OnResize = [&](TObject*) { E.push_back("resize"); };
  ASSERT_TRUE(M.Resize(3, 2, 4, 3));
  EXPECT_EQ(E, (std::vector<std::string>{"change", "resize"}));
  EXPECT_EQ(M.GetVal(3, 2, 4, 2), 9.0);
  EXPECT_EQ(M.GetVal(3, 2, 4, 3), 0.0);
  EXPECT_EQ(M.GetVal(0, 1, 1, 1), 0.0);
  M.SetNrOfTimeSlots(-1);
  EXPECT_EQ(M.NrOfTimeSlots(), 3);
  // Counts whose product overflows 64 bits, or beyond memory: refused before allocating.
  EXPECT_THROW(M.Resize(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX), ENUXMatrixError);
  EXPECT_THROW(M.Resize(1, INT32_MAX, INT32_MAX, 4), ENUXMatrixError);
  {
    ScopedAllocLimit Limit(1 << 16);
    EXPECT_THROW(M.Resize(3, 2, 4, 100000), ENUXMatrixError);
  }
  EXPECT_EQ(M.NrOfTimeSlots(), 3);
  EXPECT_EQ(M.GetVal(3, 2, 4, 2), 9.0);
  EXPECT_THROW(TMat4D(1, 0, 1, 1), ENUXMatrixError);

  EXPECT_EQ(M.Lin3DAddr(1, 1, 1), 0);
  EXPECT_EQ(M.Lin3DAddr(2, 1, 1), M.NrOfLayers());
  EXPECT_EQ(M.Lin3DAddr(4, 1, 1), -1);
  for (int32_t A = 0; A < 3 * 2 * 4; ++A) {
    int32_t X = 0, Y = 0, L = 0;
    ASSERT_TRUE(M.ConvertLinTo3DAddr(A, X, Y, L));
    EXPECT_EQ(M.Lin3DAddr(X, Y, L), A);
  }
  int32_t X = -7, Y = -7, L = -7;
  EXPECT_FALSE(M.ConvertLinTo3DAddr(24, X, Y, L));
  EXPECT_EQ(X, -7);
}

TEST(Mat4D, FillingLayerArithmeticAndCodes) {
  TMat4D M(3, 2, 2, 2);
  M.FillSerial(1.0, 1.0);
  EXPECT_EQ(M.GetVal(2, 1, 1, 1), 2.0);  // the column varies fastest
  EXPECT_EQ(M.GetVal(1, 2, 1, 1), 4.0);
  EXPECT_EQ(M.GetVal(1, 1, 2, 1), 7.0);
  EXPECT_EQ(M.GetVal(1, 1, 1, 2), 13.0);
  EXPECT_EQ(M.FillLayer(3, 1, 0, 0, 0), -1);
  EXPECT_EQ(M.FillLayer(3, 3, 0, 0, 0), -2);
  EXPECT_EQ(M.FillLayer(1, 1, 3, 0, 0), -3);
  EXPECT_EQ(M.FillLayer(0, 0, 0, 0, 0), -3 + 1);
  ASSERT_EQ(M.FillLayer(2, 2, 0, 5.0, 0), 0);
  EXPECT_EQ(M.GetVal(3, 2, 2, 2), 5.0);
  EXPECT_EQ(M.GetVal(3, 2, 2, 1), 12.0);
  M.FillLayer(1, -1.0);
  EXPECT_EQ(M.GetVal(2, 2, 1, 2), -1.0);

  TDouble2DArray Src = {{1, 2}, {3, 4}, {5, 6}};
  ASSERT_EQ(M.AccumulateLayer(2, 1, Src), 0);
  EXPECT_EQ(M.GetVal(3, 2, 2, 1), 18.0);
  TDouble2DArray Ragged = {{1, 2}, {3, 4}, {5}};  // a short last array
  EXPECT_EQ(M.AccumulateLayer(2, 1, Ragged), -1);
  EXPECT_EQ(M.AccumulateLayer(0, 1, Src), -2);
  EXPECT_EQ(M.AccumulateLayer(0, 3, Ragged), -3);

  M.Fill(2.0);
  EXPECT_EQ(M.MultiplyLayersByArray(Src, 0, 0, 2, 1, 0, 0, 2, 2), 0);  // rows reversed
  EXPECT_EQ(M.GetVal(3, 2, 1, 2), 12.0);
  EXPECT_EQ(M.GetVal(3, 2, 1, 1), 2.0);
  EXPECT_EQ(M.MultiplyLayersByArray(Ragged, 0, 0, 0, 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(M.MultiplyLayersByArray(Src, 0, 4, 0, 0, 0, 0, 0, 0), -2);
  EXPECT_EQ(M.MultiplyLayersByArray(Src, 0, 4, 0, 3, 0, 0, 0, 9), -5);
  M.FillDiag(7.0);
  EXPECT_EQ(M.GetVal(2, 2, 2, 2), 7.0);
  EXPECT_EQ(M.GetVal(3, 2, 2, 2), 12.0);
  EXPECT_DOUBLE_EQ(TMat4D(1024, 1024, 1, 1).MemoryConsumed(), 8.0);
}

TEST(Mat4D, CutResampleTransposeMirror) {
  TMat4D M(5, 3, 2, 2);
  M.FillSerial(1.0, 1.0);  // element (c, r, l, t) = c + 5(r-1) + 15(l-1) + 30(t-1)
  TMat4D R;
  R.Clone(&M);
  ASSERT_TRUE(R.Resample(2, 0, 1, 0, 1, 0, 1, 0, false));
  ASSERT_EQ(R.NrOfColumns(), 3);
  EXPECT_EQ(R.GetVal(3, 2, 1, 2), M.GetVal(5, 2, 1, 2));
  R.Clone(&M);
  ASSERT_TRUE(R.Resample(2, 0, 1, 0, 1, 0, 1, 0, true));
  EXPECT_EQ(R.GetVal(1, 1, 1, 1), (1.0 + 2.0) / 2);
  EXPECT_EQ(R.GetVal(3, 1, 1, 1), 5.0 / 2);  // cut off at the edge: still over the full block
  // A negative offset is reduced into 0..divisor-1: -1 mod 2 is 1.
  R.Clone(&M);
  ASSERT_TRUE(R.Resample(2, -1, 2, -3, 1, 0, 2, 0, false));
  EXPECT_EQ(R.NrOfColumns(), 2);  // old columns 2 and 4
  EXPECT_EQ(R.NrOfRows(), 1);     // old row 2
  EXPECT_EQ(R.NrOfTimeSlots(), 1);
  EXPECT_EQ(R.GetVal(2, 1, 2, 1), M.GetVal(4, 2, 2, 1));
  EXPECT_FALSE(R.Resample(0, 0, 1, 0, 1, 0, 1, 0, false));
  EXPECT_FALSE(R.Resample(1, 0, 1, 0, 1, 0, -2, 0, true));
  EXPECT_EQ(R.NrOfColumns(), 2);

  R.Clone(&M);
  R.Cut(4, 2, 3, 2, 2, 2, 0, 0);
  ASSERT_EQ(R.NrOfColumns(), 3);
  ASSERT_EQ(R.NrOfLayers(), 1);
  EXPECT_EQ(R.GetVal(1, 1, 1, 2), M.GetVal(2, 2, 2, 2));

  R.Clone(&M);
  ASSERT_TRUE(R.Transpose());
  EXPECT_EQ(R.NrOfColumns(), 3);
  EXPECT_EQ(R.GetVal(3, 5, 2, 1), M.GetVal(5, 3, 2, 1));
  {
    AbortMathProc = true;
    TMat4D T;
    T.Clone(&M);
    EXPECT_FALSE(T.Transpose());
    AbortMathProc = false;
    EXPECT_EQ(T.CRCofData(), M.CRCofData());
  }
  R.Clone(&M);
  R.MirrorColumns();
  R.MirrorRows();
  R.MirrorLayers();
  R.MirrorTimeSlots();
  EXPECT_EQ(R.GetVal(1, 1, 1, 1), M.GetVal(5, 3, 2, 2));
  EXPECT_EQ(R.GetVal(2, 3, 1, 2), M.GetVal(4, 1, 2, 1));
  ProcStat = 0.0;
}

TEST(Mat4D, StatisticsWithNaNAndExactPercentiles) {
  TMat4D M(4, 3, 3, 2);
  SetRandSeed(5);
  M.FillRandomUniform(-10.0, -1.0);  // negative data: the old frequent-value shortcut failed
  std::vector<double> All;
  for (const auto& S : M.Data())
    for (const auto& L : S)
      for (const auto& Line : L) All.insert(All.end(), Line.begin(), Line.end());
  std::sort(All.begin(), All.end());
  EXPECT_EQ(M.Percentile(0, 0, 0, 0, 0, 0, 0, 0, 0), All.front());
  EXPECT_EQ(M.Percentile(50, 0, 0, 0, 0, 0, 0, 0, 0), All[36]);
  EXPECT_EQ(M.Percentile(100, 0, 0, 0, 0, 0, 0, 0, 0), All.back());
  EXPECT_EQ(M.Percentile(30, 0, 0, 0, 0, 0, 0, 0, 0, 1000),
            M.Percentile(30, 0, 0, 0, 0, 0, 0, 0, 0));
  const double S = M.Percentile(30, 0, 0, 0, 0, 0, 0, 0, 0, 20);
  EXPECT_TRUE(S >= All.front() && S <= All.back());
  EXPECT_TRUE(std::binary_search(All.begin(), All.end(),
                                 M.Percentile(30, 0, 0, 0, 0, 0, 0, 0, 0, 20, All[3])));

  M.SetVal(2, 2, 2, 2, NaN);
  M.SetVal(1, 1, 1, 1, -std::numeric_limits<double>::infinity());
  double Lo = 0, Hi = 0;
  M.MinMax(0, 0, 0, 0, 0, 0, 0, 0, Lo, Hi);
  EXPECT_EQ(Lo, -std::numeric_limits<double>::infinity());
  EXPECT_LT(Hi, -1.0);
  M.MinMax(2, 2, 2, 2, 2, 2, 2, 2, Lo, Hi);  // only the NaN
  EXPECT_EQ(Lo, std::numeric_limits<double>::infinity());
  double Mean = 0, Var = 0;
  M.MeanVar(0, 0, 0, 0, 0, 0, 0, 0, Mean, Var);
  EXPECT_TRUE(std::isnan(Mean));
  EXPECT_TRUE(std::isnan(M.Sum(0, 0, 0, 0, 0, 0, 0, 0)));
  EXPECT_FALSE(std::isnan(M.Percentile(50, 0, 0, 0, 0, 0, 0, 0, 0)));
  EXPECT_TRUE(std::isnan(M.Percentile(50, 2, 2, 2, 2, 2, 2, 2, 2)));
  EXPECT_EQ(M.CountValues(0, 0, 0, 0, 0, 0, 0, 0, -100, 100), 4 * 3 * 3 * 2 - 2);
  int32_t C = 0, R = 0, L = 0, T = 0;
  M.Find(0, 0, 0, 0, 0, 0, 0, 0, -std::numeric_limits<double>::infinity(), C, R, L, T);
  EXPECT_EQ(C + R + L + T, 4);

  // Stable variance on a large offset: 1e9 + 1..4, by hand 5/3.
  TMat4D O(2, 1, 1, 2);
  O.FillSerial(1e9 + 1, 1.0);
  O.MeanVar(0, 0, 0, 0, 0, 0, 0, 0, Mean, Var);
  EXPECT_EQ(Mean, 1e9 + 2.5);
  EXPECT_DOUBLE_EQ(Var, 5.0 / 3.0);
  EXPECT_EQ(O.SquaredSum(0, 0, 0, 0, 0, 0, 0, 0), (1e9 + 1) * (1e9 + 1) + (1e9 + 2) * (1e9 + 2) +
                                                      (1e9 + 3) * (1e9 + 3) +
                                                      (1e9 + 4) * (1e9 + 4));
  // Sampled layers of the fingerprint: every second layer only.
  TMat4D A(2, 2, 4, 1), B(2, 2, 4, 1);
  B.SetVal(1, 1, 1, 1, 3.0);
  EXPECT_EQ(A.CRCofData(2), B.CRCofData(2));
  EXPECT_NE(A.CRCofData(), B.CRCofData());
}

TEST(Mat4D, CopiesCodesAndMessages) {
  TMat4D M(4, 3, 5, 2);
  M.FillSerial(0.0, 1.0);
  TMatrix D;
  EXPECT_THROW(M.CopyLayerToMatrix(&D, 0, 0, 0, 0, 6, 1), ENUXMatrixError);
  try {
    M.CopyLayerToMatrix(&D, 0, 0, 0, 0, 1, 3);
    FAIL();
  } catch (const ENUXMatrixError& Err) {
    EXPECT_NE(std::string(Err.what()).find("specified time slot beyond data range"),
              std::string::npos);
  }
  M.CopyLayerToMatrix(&D, 3, 1, 0, 0, 2, 2);
  ASSERT_EQ(D.NrOfColumns(), 3);
  EXPECT_EQ(D.GetVal(3, 2), M.GetVal(3, 2, 2, 2));
  M.CopyLayerToMatrix(nullptr, 0, 0, 0, 0, 1, 1);
  TDouble2DArray A;
  EXPECT_EQ(M.CopyLayerToArray(A, 0, 0, 0, 0, 9, 9), -2);
  EXPECT_TRUE(A.empty());
  ASSERT_EQ(M.CopyLayerToArray(A, 2, 3, 0, 0, 5, 1), 0);
  EXPECT_EQ(A[1][2], M.GetVal(3, 3, 5, 1));

  TMat4D W(4, 3, 5, 2);
  W.CopyMatrixToLayer(&D, 1, 3, 1, 3, 4, 2, 0, 2);  // column 0 is outside: dropped
  EXPECT_EQ(W.GetVal(1, 2, 4, 2), D.GetVal(2, 1));
  EXPECT_EQ(W.GetVal(2, 3, 4, 2), D.GetVal(3, 2));
  EXPECT_EQ(W.CopyArrayToLayer({{1, 2}, {3}}, 1, 1, 1, 1), -3);  // ragged
  EXPECT_EQ(W.CopyArrayToLayer({{1, 2}}, 1, 1, 9, 9), -2);
  ASSERT_EQ(W.CopyArrayToLayer({{1, 2}, {3, 4}}, 4, 3, 1, 1), 0);
  EXPECT_EQ(W.GetVal(4, 3, 1, 1), 1.0);

  TMat3D T3;
  M.CopyTimeSlotToMat3D(&T3, 0, 0, 2, 3, 5, 4, 2);
  ASSERT_EQ(T3.NrOfRows(), 2);
  ASSERT_EQ(T3.NrOfLayers(), 2);
  EXPECT_EQ(T3.GetVal(4, 2, 2), M.GetVal(4, 3, 5, 2));
  EXPECT_THROW(M.CopyTimeSlotToMat3D(&T3, 0, 0, 0, 0, 0, 0, 0), ENUXMatrixError);
  TDouble3DArray A3;
  EXPECT_EQ(M.CopyTimeSlotToArray(A3, 0, 0, 0, 0, 0, 0, 3), -1);
  ASSERT_EQ(M.CopyTimeSlotToArray(A3, 0, 0, 0, 0, 0, 0, 1), 0);
  EXPECT_EQ(A3[3][2][4], M.GetVal(4, 3, 5, 1));
  W.CopyMat3DToTimeSlot(&T3, 0, 0, 0, 0, 0, 0, 1, 2, 2, 5);  // only the first layer fits
  EXPECT_EQ(W.GetVal(2, 2, 5, 1), T3.GetVal(1, 1, 1));
  EXPECT_EQ(W.CopyArrayToTimeSlot(A3, 0, 4, 0, 0, 0, 0, 1, 1, 1, 1), -1);
  EXPECT_EQ(W.CopyArrayToTimeSlot(A3, 0, 0, 0, 0, 0, 5, 3, 1, 1, 1), -4);
  EXPECT_EQ(W.CopyArrayToTimeSlot({{{1.0}}, {}}, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1), -5);
  ASSERT_EQ(W.CopyArrayToTimeSlot(A3, 3, 2, 0, 0, 4, 4, 2, 1, 1, 1), 0);
  EXPECT_EQ(W.GetVal(2, 3, 1, 2), A3[3][2][4]);

  // A block copied onto itself, overlapping: moves as a whole.
  TMat4D S;
  S.Clone(&M);
  S.CopyFrom(&S, 1, 3, 0, 0, 0, 0, 0, 0, 2, 1, 1, 1);
  EXPECT_EQ(S.GetVal(4, 2, 3, 2), M.GetVal(3, 2, 3, 2));
  EXPECT_EQ(S.GetVal(2, 2, 3, 2), M.GetVal(1, 2, 3, 2));
  ProcStat = 0.0;

  TVector V;
  V.Resize(10);
  V.FillSerial(1.0, 1.0);
  EXPECT_EQ(W.CopyVectorToPixel(V, 5, 4, 1, 1), -2);
  EXPECT_EQ(W.CopyVectorToPixel(V, 1, 1, 0, 3), -4);
  ASSERT_EQ(W.CopyVectorToPixel(V, 1, 1, 3, 1), 0);  // layers 3..5 only
  EXPECT_EQ(W.GetVal(1, 1, 5, 1), 3.0);
  TDoubleArray P;
  EXPECT_EQ(W.CopyPixelTo1DArray(P, 0, 9, 1), -2);
  ASSERT_EQ(W.CopyPixelTo1DArray(P, 1, 1, 1), 0);
  ASSERT_EQ(P.size(), 5u);
  EXPECT_EQ(P[2], 1.0);
  ASSERT_EQ(W.CopyPixelToVector(V, 1, 1, 1), 0);
  EXPECT_EQ(V.NrOfElem(), 5);

  TMat4D G;
  int Changes = 0;
  M.OnChange = [&](TObject*) { ++Changes; };
  G.Assign(&M);
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(G.CRCofData(), M.CRCofData());
  G.SetVal(1, 1, 1, 1, 5.0);  // the handler came along
  EXPECT_EQ(Changes, 1);

  TDouble3DArray Raw = {{{1, 2}, {3, 4}}, {{5, 6}, {7, 8}}};
  TDouble2DArray L2;
  CopyArr3DLayerToArr2D(Raw, L2, 0, 1, 1, 1, 1);
  EXPECT_EQ(L2, (TDouble2DArray{{4}, {8}}));
  CopyArr3DLayerToMatrix(Raw, D, 1, 1, 0, 1, 0);
  EXPECT_EQ(D.NrOfColumns(), 1);
  EXPECT_EQ(D.GetVal(1, 2), 7.0);
  CopyMatrixToArray(D, L2, 1, 2, 2, 2);
  EXPECT_EQ(L2, (TDouble2DArray{{7}, {0}}));
}

}  // namespace
}  // namespace nux
