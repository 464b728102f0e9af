#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <string>

#include "nux/frame/ascio.h"
#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

TEST(IntMatrixStats, ExtremesSumsAndTraceBeyond32Bits) {
  TIntMatrix M(2, 2);
  M.Fill(INT32_MIN);
  int32_t Lo = 0, Hi = 0;
  M.MinMax(0, 0, 0, 0, Lo, Hi);
  // Starting from the first element: the most negative value is also the maximum here.
  EXPECT_EQ(Lo, INT32_MIN);
  EXPECT_EQ(Hi, INT32_MIN);
  EXPECT_EQ(M.Sum(0, 0, 0, 0), 4 * int64_t{INT32_MIN});
  M.Fill(INT32_MAX);
  EXPECT_EQ(M.Trace(), 2 * int64_t{INT32_MAX});
  TIntMatrix NotSquare(3, 2);
  EXPECT_EQ(NotSquare.Trace(), 0);
  // Sparse: only stored elements (a sparse trace needs a square box).
  auto S = TIntMatrix::CreateSparse(nullptr, 4);
  S->MinMax(0, 0, 0, 0, Lo, Hi);
  EXPECT_EQ(Lo, 2147483647);
  EXPECT_EQ(Hi, -2147483647);
  S->SetVal(1, 1, INT32_MAX);
  S->SetVal(3, 3, INT32_MAX);
  S->SetVal(2, 3, 5);
  EXPECT_EQ(S->Trace(), 2 * int64_t{INT32_MAX});
  EXPECT_EQ(S->Sum(2, 1, 3, 3), int64_t{INT32_MAX} + 5);
  S->MinMax(2, 1, 2, 3, Lo, Hi);
  EXPECT_EQ(Lo, 5);
  EXPECT_EQ(Hi, 5);
  S->SetVal(4, 3, 1);
  EXPECT_EQ(S->Trace(), 0);
}

TEST(IntMatrixStats, SparseMomentsCountImplicitZerosLikeTheDenseForm) {
  SetRandSeed(3);
  auto S = TIntMatrix::CreateSparse(nullptr, 8);
  for (int I = 0; I < 40; ++I)
    S->SetVal(RandomInt(9) + 1, RandomInt(7) + 1, RandomInt(2000000) - 1000000);
  S->SetVal(9, 7, 0);
  EXPECT_THROW(TIntMatrix().SetValues(S->ToStdVector()), ENUXMatrixError);  // no dense elements
  auto Copy = TIntMatrix::CreateSparse(nullptr, 1);
  Copy->Clone(S.get());
  Copy->SparseToArray();
  for (const auto& R : {std::array<int32_t, 4>{0, 0, 0, 0}, {2, 3, 8, 6}, {5, 1, 5, 7}}) {
    double M1, V1, M2, V2, S1, K1, S2, K2;
    S->MeanVar(R[0], R[1], R[2], R[3], M1, V1);
    Copy->MeanVar(R[0], R[1], R[2], R[3], M2, V2);
    EXPECT_NEAR(M1, M2, 1e-9 * std::fabs(M2) + 1e-12);
    EXPECT_NEAR(V1, V2, 1e-11 * V2);
    S->SkewKurtSample(R[0], R[1], R[2], R[3], S1, K1);
    Copy->SkewKurtSample(R[0], R[1], R[2], R[3], S2, K2);
    EXPECT_NEAR(S1, S2, 1e-9);
    EXPECT_NEAR(K1, K2, 1e-9);
    S->SkewKurt(R[0], R[1], R[2], R[3], S1, K1);
    Copy->SkewKurt(R[0], R[1], R[2], R[3], S2, K2);
    EXPECT_NEAR(S1, S2, 1e-9);
    EXPECT_NEAR(K1, K2, 1e-9);
  }
}

TEST(IntMatrixStats, HugeSparseMatrixStatisticsDoNotVisitPositions) {
  auto S = TIntMatrix::CreateSparse(nullptr, 1);
  S->SetVal(INT32_MAX, INT32_MAX, 1 << 30);
  S->SetVal(1, 1, -5);
  double Mean, Var;
  S->MeanVar(0, 0, 0, 0, Mean, Var);  // 4.6e18 positions
  // Reference: mpmath at 40 digits.
  EXPECT_NEAR(Mean, 2.3283064278650789006e-10, 1e-24);
  EXPECT_NEAR(Var, 0.25000000023283064924, 1e-15);
  auto Zeros = TIntMatrix::CreateSparse(nullptr, 1);
  Zeros->SetVal(3, 3, 0);
  Zeros->MeanVar(0, 0, 0, 0, Mean, Var);
  EXPECT_EQ(Mean, 0.0);
  EXPECT_EQ(Var, 0.0);
}

TEST(IntMatrixStats, OrderStatisticsSearchesAndCounts) {
  TIntMatrix M(2, 3);
  M.FillSerial(1, 2);  // 1 3 5 | 7 9 11
  double Q1, Q2, Q3;
  ASSERT_TRUE(M.Quartiles(0, 0, 0, 0, Q1, Q2, Q3));
  EXPECT_EQ(Q2, 6.0);
  EXPECT_EQ(Q1, 2.5);
  EXPECT_EQ(M.Percentile(100, 0, 0, 0, 0), 11.0);
  EXPECT_EQ(M.Percentile(50, 0, 0, 0, 0, 100), M.Percentile(50, 0, 0, 0, 0));
  SetRandSeed(9);
  const double A = M.Percentile(50, 0, 0, 0, 0, 3);
  SetRandSeed(9);
  EXPECT_EQ(M.Percentile(50, 0, 0, 0, 0, 3), A);
  EXPECT_EQ(RandSeed(), 9u);
  int32_t C, R;
  M.Find(0, 0, 0, 0, 8, C, R);
  EXPECT_EQ(C * 10 + R, 21);  // 7 and 9 are as near: the first found
  EXPECT_EQ(M.FindInSortedColumn(2, true, 9), 2);
  EXPECT_EQ(M.FindInSortedColumn(2, true, 100), 3);
  EXPECT_EQ(M.CountValues(0, 0, 0, 0, 3, 9), 4);
  M.SetVal(1, 1, -2);
  EXPECT_EQ(M.CountMaskedZeros(0, 0, 0, 0, 1), 1);  // the even elements
  TBool2DArray B;
  EXPECT_EQ(M.Dichotomize(5, B), 3);
  EXPECT_TRUE(B[1][0]);
  EXPECT_FALSE(B[0][2]);
}

TEST(IntMatrixArith, ProductsWrapAndAddTakesSparse) {
  TIntMatrix A, B, Res;
  A.SetValues({{1, 3}, {2, 4}});  // rows (1 2), (3 4)
  B.SetValues({{5, 7}, {6, 8}});
  ASSERT_TRUE(A.Multiply(&B, &Res));
  EXPECT_EQ(Res.ToStdVector(), (TInt2DArray{{19, 43}, {22, 50}}));
  ASSERT_TRUE(A.MultiplyTransposed(&B, &Res));
  EXPECT_EQ(Res.ToStdVector(), (TInt2DArray{{17, 39}, {23, 53}}));
  ASSERT_TRUE(A.TransposeAndMultiply(&B, &Res));
  EXPECT_EQ(Res.ToStdVector(), (TInt2DArray{{26, 38}, {30, 44}}));
  TIntVector V(std::vector<int32_t>{1, -1}), VR;
  ASSERT_TRUE(A.Multiply(&V, &VR));
  EXPECT_EQ(VR.ToStdVector(), (std::vector<int32_t>{-1, -1}));
  ASSERT_TRUE(A.TransposeAndMultiply(&V, &VR));
  EXPECT_EQ(VR.ToStdVector(), (std::vector<int32_t>{-2, -2}));
  TIntMatrix Wide(3, 1);
  EXPECT_FALSE(A.Multiply(&Wide, &Res));
  ASSERT_TRUE(A.EMult(&B, &A));  // the result may be an operand
  EXPECT_EQ(A.ToStdVector(), (TInt2DArray{{5, 21}, {12, 32}}));
  A.SetVal(1, 1, INT32_MAX);
  A.SAdd(1);
  EXPECT_EQ(A.GetVal(1, 1), INT32_MIN);  // wraps, never undefined
  auto S = TIntMatrix::CreateSparse(nullptr, 2);
  S->SetVal(2, 2, 10);
  ASSERT_TRUE(A.Add(S.get()));
  EXPECT_EQ(A.GetVal(2, 2), 32 + 1 + 10);
  S->SetVal(3, 1, 1);
  EXPECT_FALSE(A.Add(S.get()));  // does not fit
  EXPECT_FALSE(S->Add(&A));      // a sparse matrix takes no sums
  EXPECT_TRUE(A.Subtract(&B));
  EXPECT_EQ(A.GetVal(2, 2), 43 - 8);
}

TEST(IntMatrixASC, RoundTripSparseAndRefusals) {
  TempDir Dir;
  const std::string F = Dir.Path("m.asc");
  auto S = TIntMatrix::CreateSparse(nullptr, 4);
  S->SetVal(3, 2, INT32_MIN);
  S->SetVal(1, 1, 7);
  ASSERT_EQ(S->ExportAsASC(F, "", {{"x", "y z"}}), 0);
  TIntMatrix M;
  std::string C;
  TStr2DArray Cust;
  ASSERT_EQ(M.ImportASC(F, C, Cust), ascOK);
  EXPECT_EQ(C, "Exported by NUX TIntMatrix component: " + F);
  EXPECT_EQ(M.ToStdVector(), (TInt2DArray{{7, 0}, {0, 0}, {0, INT32_MIN}}));
  EXPECT_EQ(Cust, (TStr2DArray{{"x", "y z"}}));
  // A sparse matrix becomes dense on import.
  ASSERT_EQ(S->ImportASC(F, C), ascOK);
  EXPECT_FALSE(S->IsSparse());
  const auto Write = [&](const std::string& Text) { std::ofstream(F, std::ios::binary) << Text; };
  const std::string Head = "c\n2\t;nr. of columns\n1\t;nr. of rows\nFALSE FALSE FALSE\n";
  for (const char* Body : {"1 2147483648\n", "1 NaN\n", "1 inf\n", "1 x\n"}) {
    Write(Head + Body);
    C = "kept";
    EXPECT_EQ(M.ImportASC(F, C), ascBadValue) << Body;
    EXPECT_EQ(C, "kept");
    EXPECT_EQ(M.NrOfColumns(), 3);
  }
  Write(Head + "2.5 -0.5\n");
  ASSERT_EQ(M.ImportASC(F, C), ascOK);
  EXPECT_EQ(M.ToStdVector(), (TInt2DArray{{2}, {0}}));
  Write("c\n2000000\t;nr. of columns\n3000000\t;nr. of rows\nFALSE FALSE FALSE\n1 2\n");
  EXPECT_EQ(M.ImportASC(F, C), ascTooLarge);
  Write("c\n1\t;nr. of columns\n0\t;nr. of rows\nFALSE FALSE FALSE\n");
  EXPECT_EQ(M.ImportASC(F, C), ascWrongShape);
  EXPECT_EQ(M.NrOfColumns(), 2);
  // A sparse matrix too large to write is refused before any text is built.
  auto Huge = TIntMatrix::CreateSparse(nullptr, 1);
  Huge->SetVal(INT32_MAX, INT32_MAX, 1);
  EXPECT_THROW(Huge->ExportAsASC(F, "c"), ENUXMatrixError);
}

}  // namespace
}  // namespace nux
