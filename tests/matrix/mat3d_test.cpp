#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

TEST(Mat3D, ResizeKeepsCommonElementsAndRefusesHugeSizes) {
  TMat3D M;
  EXPECT_EQ(M.NrOfLayers(), 1);
  ASSERT_TRUE(M.Resize(2, 2, 1));
  M.SetVal(2, 1, 1, 4.5);
  std::vector<std::string> E;
  M.OnChange = [&](TObject*) { E.push_back("change"); };
  M.OnResize = [&](TObject*) { E.push_back("resize"); };
  ASSERT_TRUE(M.Resize(2, 2, 3));
  EXPECT_EQ(E, (std::vector<std::string>{"change", "resize"}));
  EXPECT_EQ(M.GetVal(2, 1, 1), 4.5);
  EXPECT_EQ(M.GetVal(2, 1, 3), 0.0);
  EXPECT_EQ(M.GetVal(2, 1, 4), 0.0);
  EXPECT_FALSE(M.Resize(2, 2, 3));
  M.SetNrOfLayers(-1);  // taken as 0: nothing
  EXPECT_EQ(M.NrOfLayers(), 3);
  EXPECT_THROW(M.Resize(INT32_MAX, INT32_MAX, INT32_MAX), ENUXMatrixError);
  {
    ScopedAllocLimit Limit(1 << 16);
    EXPECT_THROW(M.Resize(3, 3, 100000), ENUXMatrixError);
  }
  EXPECT_EQ(M.NrOfColumns(), 2);
  EXPECT_EQ(M.GetVal(2, 1, 1), 4.5);
  M(1, 2, 3) = 7.0;
  EXPECT_EQ(M.Elem(1, 2, 3), 7.0);
  EXPECT_EQ(M.CRCofData().size(), 64u);
}

TEST(Mat3D, FillsInStorageOrder) {
  TMat3D M(3, 4, 2);
  M.FillDiag(1.0);
  double S = 0;
  for (const auto& P : M.Data())
    for (const auto& L : P)
      for (double X : L) S += X;
  EXPECT_EQ(S, 2.0);
  EXPECT_EQ(M.GetVal(2, 2, 2), 1.0);
  M.FillSerial(1.0, 1.0);
  EXPECT_EQ(M.GetVal(1, 1, 2), 2.0);  // the layer varies fastest
  EXPECT_EQ(M.GetVal(1, 2, 1), 3.0);
  EXPECT_EQ(M.GetVal(2, 1, 1), 9.0);
  TMat3D C;
  C.Clone(&M);
  EXPECT_EQ(C.CRCofData(), M.CRCofData());
}

TEST(Mat3D, LayerCopies) {
  TMat3D M(3, 2, 2);
  M.FillSerial(0.0, 1.0);
  TMatrix D;
  EXPECT_THROW(M.CopyLayerToMatrix(&D, 0, 0, 0, 0, 0), ENUXMatrixError);
  EXPECT_THROW(M.CopyLayerToMatrix(nullptr, 0, 0, 0, 0, 3), ENUXMatrixError);
  M.CopyLayerToMatrix(nullptr, 0, 0, 0, 0, 1);
  M.CopyLayerToMatrix(&D, 3, 1, 2, 2, 2);  // reversed columns: 1..3
  EXPECT_EQ(D.ToStdVector(), (TDouble2DArray{{3.0}, {7.0}, {11.0}}));
  TMatrix Src(TDouble2DArray{{1, 2}, {3, 4}});
  // LayLowCol 0 drops the first source column; source positions outside read as 0.
  M.CopyMatrixToLayer(&Src, 1, 3, 1, 2, 1, 0, 1);
  EXPECT_EQ(M.GetVal(1, 1, 1), 3.0);
  EXPECT_EQ(M.GetVal(1, 2, 1), 4.0);
  EXPECT_EQ(M.GetVal(2, 1, 1), 0.0);
  EXPECT_EQ(M.GetVal(3, 1, 1), 8.0);  // beyond the shifted range: untouched
  EXPECT_THROW(M.CopyMatrixToLayer(&Src, 1, 2, 1, 2, 5, 1, 1), ENUXMatrixError);
  // A double matrix copies a block of one layer (clamped).
  TMatrix T(2, 2);
  T.CopyFrom(&M, 1, 1, 2, 2, 9, 1, 1);
  EXPECT_EQ(T.GetVal(1, 2), M.GetVal(1, 2, 2));
  EXPECT_EQ(T.GetVal(2, 1), M.GetVal(2, 1, 2));
}

TEST(Mat3D, StatisticsStableAndSampledWithoutReseeding) {
  TMat3D M(2, 1, 2);
  M.FillSerial(1e9 + 1, 1.0);  // 1e9 + 1 .. 1e9 + 4
  double Mean, Var;
  M.MeanVar(0, 0, 0, 0, 0, 0, Mean, Var);
  EXPECT_EQ(Mean, 1e9 + 2.5);
  EXPECT_NEAR(Var, 5.0 / 3.0, 1e-12);
  M.MeanVar(1, 1, 0, 0, 0, 0, Mean, Var);
  EXPECT_EQ(Var, 1.0);  // fewer than three values
  M.SetVal(1, 1, 1, std::nan(""));
  double Lo, Hi;
  M.MinMax(0, 0, 0, 0, 0, 0, Lo, Hi);
  EXPECT_EQ(Lo, 1e9 + 2);
  EXPECT_EQ(Hi, 1e9 + 4);
  int32_t X, Y, Z;
  M.Find(0, 0, 0, 0, 0, 0, 1e9 + 3.2, X, Y, Z);
  EXPECT_EQ(X * 100 + Y * 10 + Z, 211);
  EXPECT_EQ(M.Percentile(100, 0, 0, 0, 0, 0, 0), 1e9 + 4);
  EXPECT_EQ(M.Percentile(0, 0, 0, 0, 0, 2, 2), 1e9 + 2);
  TMat3D Big(16, 16, 8);
  Big.FillSerial(0.0, 1.0);
  SetRandSeed(11);
  const double A = Big.Percentile(50, 0, 0, 0, 0, 0, 0, 200);
  const double B = Big.Percentile(50, 0, 0, 0, 0, 0, 0, 200);
  SetRandSeed(11);
  EXPECT_EQ(Big.Percentile(50, 0, 0, 0, 0, 0, 0, 200), A);
  EXPECT_NE(A, B);  // the second call continued the sequence
  EXPECT_EQ(RandSeed(), 11u);
  EXPECT_NEAR(A, 1023.5, 200);
}

}  // namespace
}  // namespace nux
