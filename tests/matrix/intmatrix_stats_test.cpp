#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <set>
#include <string>
#include <utility>

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

TEST(IntMatrixStats, SparseQuantilesSearchesAndCountsAnswerAsTheDenseForm) {
  SetRandSeed(5);
  auto S = TIntMatrix::CreateSparse(nullptr, 4);
  for (int I = 0; I < 25; ++I) S->SetVal(RandomInt(8) + 1, RandomInt(6) + 1, RandomInt(21) - 10);
  S->SetVal(2, 1, 0);  // an explicit zero competes with the implicit ones
  S->SetVal(8, 6, 3);
  auto D = TIntMatrix::CreateSparse(nullptr, 1);
  D->Clone(S.get());
  D->SparseToArray();
  ASSERT_EQ(D->NrOfColumns(), 8);
  ASSERT_EQ(D->NrOfRows(), 6);
  for (const auto& R : {std::array<int32_t, 4>{0, 0, 0, 0}, {2, 2, 7, 5}, {8, 6, 8, 6}}) {
    double A1, A2, A3, B1, B2, B3;
    EXPECT_EQ(S->Quartiles(R[0], R[1], R[2], R[3], A1, A2, A3),
              D->Quartiles(R[0], R[1], R[2], R[3], B1, B2, B3));
    EXPECT_EQ((std::array{A1, A2, A3}), (std::array{B1, B2, B3}));
    for (double P : {0.0, 10.0, 33.0, 50.0, 90.0, 100.0, std::nan("")})
      EXPECT_EQ(S->Percentile(P, R[0], R[1], R[2], R[3]), D->Percentile(P, R[0], R[1], R[2], R[3]))
          << P;
    SetRandSeed(77);
    const double Sampled = S->Percentile(40, R[0], R[1], R[2], R[3], 7);
    SetRandSeed(77);
    EXPECT_EQ(Sampled, D->Percentile(40, R[0], R[1], R[2], R[3], 7));
    for (int32_t V : {-20, -3, 0, 1, 4, 50}) {
      int32_t C1, R1, C2, R2;
      S->Find(R[0], R[2], R[1], R[3], V, C1, R1);
      D->Find(R[0], R[2], R[1], R[3], V, C2, R2);
      EXPECT_EQ(C1 * 100 + R1, C2 * 100 + R2) << V;
    }
    for (const auto& [Lo, Hi] : {std::pair{-3, 4}, {1, 10}, {0, 0}, {-10, -1}})
      EXPECT_EQ(S->CountValues(R[0], R[2], R[1], R[3], Lo, Hi),
                D->CountValues(R[0], R[2], R[1], R[3], Lo, Hi));
    for (int32_t Mask : {1, 3, -1})
      EXPECT_EQ(S->CountMaskedZeros(R[0], R[2], R[1], R[3], Mask),
                D->CountMaskedZeros(R[0], R[2], R[1], R[3], Mask));
  }
  for (int32_t T : {-11, -1, 0, 4}) {
    TBool2DArray X, Y;
    EXPECT_EQ(S->Dichotomize(T, X), D->Dichotomize(T, Y));
    EXPECT_EQ(X, Y);
  }
  for (TDims Dim : {dimColumns, dimRows}) {
    TVector A, B;
    S->MeanVec(Dim, &A);
    D->MeanVec(Dim, &B);
    EXPECT_EQ(A.ToStdVector(), B.ToStdVector());
  }
  // Sorted sparse column with gaps read as zeros.
  auto Col = TIntMatrix::CreateSparse(nullptr, 1);
  for (int32_t R : {1, 2, 6, 7}) Col->SetVal(1, R, R < 4 ? R - 9 : R);
  EXPECT_EQ(Col->FindInSortedColumn(1, true, 0), 4);  // rows 3..5 hold implicit zeros
  EXPECT_EQ(Col->FindInSortedColumn(1, true, 7), 7);
  EXPECT_EQ(Col->FindInSortedColumn(1, true, -100), 1);
  EXPECT_EQ(Col->FindInSortedColumn(2, true, 0), 0);
}

TEST(IntMatrixStats, MeansOfLinesAndBlocksAndAHugeSparseMatrix) {
  TIntMatrix M;
  M.SetValues({{INT32_MAX, INT32_MAX, INT32_MAX}, {1, 2, 4}});
  TVector V;
  M.MeanVec(dimColumns, &V);
  EXPECT_EQ(V.ToStdVector(), (std::vector<double>{INT32_MAX, 7.0 / 3.0}));  // exact sums
  M.MeanVec(dimRows, &V);
  EXPECT_EQ(V.GetVal(3), (INT32_MAX + 4.0) / 2.0);
  M.MeanVec(TDims(5), &V);  // no such dimension: nothing changes
  EXPECT_EQ(V.NrOfElem(), 3);
  EXPECT_DOUBLE_EQ(M.GeometricMean(2, 1, 2, 3), 2.0);
  EXPECT_DOUBLE_EQ(M.HarmonicMean(2, 1, 2, 3), 3.0 / (1 + 0.5 + 0.25));
  M.SetVal(2, 2, 0);
  EXPECT_EQ(M.GeometricMean(0, 0, 0, 0), 0.0);
  EXPECT_THROW(M.HarmonicMean(0, 0, 0, 0), ENUXMatrixError);
  M.SetVal(1, 1, -1);
  EXPECT_THROW(M.GeometricMean(0, 0, 0, 0), ENUXMatrixError);

  // 2^31-1 squared positions, two stored: every answer costs the stored elements.
  auto S = TIntMatrix::CreateSparse(nullptr, 1);
  S->SetVal(INT32_MAX, INT32_MAX, 5);
  S->SetVal(1, 1, -3);
  EXPECT_EQ(S->Percentile(0, 0, 0, 0, 0), -3.0);
  EXPECT_EQ(S->Percentile(50, 0, 0, 0, 0), 0.0);
  EXPECT_EQ(S->Percentile(100, 0, 0, 0, 0), 5.0);
  double Q1, Q2, Q3;
  ASSERT_TRUE(S->Quartiles(0, 0, 0, 0, Q1, Q2, Q3));
  EXPECT_EQ(Q1 + Q2 + Q3, 0.0);
  EXPECT_EQ(S->CountValues(0, 0, 0, 0, 0, 0), INT32_MAX);  // saturated
  EXPECT_EQ(S->CountValues(0, 0, 0, 0, 1, 9), 1);
  int32_t C, R;
  S->Find(0, 0, 0, 0, 4, C, R);
  EXPECT_EQ(std::pair(C, R), std::pair(INT32_MAX, INT32_MAX));
  S->Find(0, 0, 0, 0, 1, C, R);
  EXPECT_EQ(std::pair(C, R), std::pair(1, 2));                  // the first implicit zero
  EXPECT_THROW(S->GeometricMean(0, 0, 0, 0), ENUXMatrixError);  // -3
  EXPECT_EQ(S->GeometricMean(2, 1, INT32_MAX, INT32_MAX), 0.0);
  EXPECT_THROW(S->HarmonicMean(2, 1, INT32_MAX, INT32_MAX), ENUXMatrixError);
  TBool2DArray B;
  EXPECT_THROW(S->Dichotomize(0, B), ENUXMatrixError);
  auto Tall = TIntMatrix::CreateSparse(nullptr, 1);
  Tall->SetVal(2, INT32_MAX, 6);
  Tall->MeanVec(dimColumns, &V);
  EXPECT_EQ(V.ToStdVector(), (std::vector<double>{0.0, 6.0 / INT32_MAX}));
}

TEST(IntMatrixRandom, FillsAndResamplingRepeatWithTheSeed) {
  TIntMatrix M(40, 50), N(40, 50);
  SetRandSeed(21);
  M.FillRandomUniform(2, -2);  // reversed bounds
  SetRandSeed(21);
  N.FillRandomUniform(-2, 2);
  EXPECT_EQ(M.ToStdVector(), N.ToStdVector());
  std::set<int32_t> Seen;
  for (const auto& Col : M.ToStdVector()) Seen.insert(Col.begin(), Col.end());
  EXPECT_EQ(Seen, (std::set<int32_t>{-2, -1, 0, 1, 2}));
  M.FillRandomUniform(INT32_MIN, INT32_MAX);  // 2^32 values
  int32_t Lo, Hi;
  M.MinMax(0, 0, 0, 0, Lo, Hi);
  EXPECT_LT(Lo, -1000000000);
  EXPECT_GT(Hi, 1000000000);
  M.FillRandomGauss(1e12, 1.0);  // saturates
  EXPECT_EQ(M.Percentile(0, 0, 0, 0, 0), INT32_MAX);
  M.FillRandomGauss(2, 3, 1, 1, std::nan(""), 1.0);  // NaN stores 0, the block only
  EXPECT_EQ(M.CountValues(0, 0, 0, 0, 0, 0), 2);
  auto S = TIntMatrix::CreateSparse(nullptr, 1);
  S->SetVal(4, 4, 1);
  S->SetVal(9, 2, 1);
  S->FillRandomUniform(10, 20);  // stored elements only
  EXPECT_EQ(S->SparseNumElem(), 2);
  EXPECT_GE(S->GetVal(9, 2), 10);
  EXPECT_EQ(S->GetVal(5, 5), 0);

  // Resampling a sparse source gives the picks and values of its dense copy.
  for (int32_t I = 1; I <= 30; ++I) S->SetVal(I % 9 + 1, I % 7 + 1, I);
  auto D = TIntMatrix::CreateSparse(nullptr, 1);
  D->Clone(S.get());
  D->SparseToArray();
  TIntMatrix A, B;
  TIntArray Ca{0}, Ra{0}, Cb{0}, Rb{0};
  SetRandSeed(8);
  ASSERT_EQ(A.ResampleExtMat(S.get(), 50, 100, true, Ca, Ra), 0);
  SetRandSeed(8);
  ASSERT_EQ(B.ResampleExtMat(D.get(), 50, 100, true, Cb, Rb), 0);
  EXPECT_EQ(A.ToStdVector(), B.ToStdVector());
  EXPECT_EQ(Ca, Cb);
  EXPECT_EQ(Ra, Rb);
  EXPECT_EQ(A.NrOfColumns(), 4);  // 4.5 columns round to even
  for (size_t K = 0; K < Ca.size(); ++K)
    EXPECT_EQ(A.GetVal(int32_t(K) + 1, 1), S->GetVal(Ca[K], Ra[0]));
  // A sparse target becomes dense; a huge source is drawn from without a pool of its size.
  auto Huge = TIntMatrix::CreateSparse(nullptr, 1);
  Huge->SetVal(INT32_MAX, INT32_MAX, 9);
  ASSERT_EQ(S->ResampleExtMat(Huge.get(), 1e-5, 1e-5, false, Ca, Ra), 0);
  EXPECT_FALSE(S->IsSparse());
  EXPECT_EQ(Ca.size(), 215u);
  EXPECT_EQ(std::set<int32_t>(Ca.begin(), Ca.end()).size(), 215u);
  EXPECT_EQ(*std::min_element(Ca.begin(), Ca.end()) >= 1, true);
  EXPECT_EQ(A.ResampleExtMat(nullptr, 50, 50, false, Ca, Ra), -3);
  TIntArray Empty;
  EXPECT_EQ(A.ResampleExtMat(&B, 50, 50, false, Empty, Ra), -5);
  EXPECT_EQ(A.ResampleExtMat(&B, 101, 50, false, Ca, Ra), -1);
  EXPECT_EQ(A.ResampleExtMat(&B, 50, std::nan(""), false, Ca, Ra), -2);
  EXPECT_EQ(A.NrOfColumns(), 4);
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
