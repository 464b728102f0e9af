#include "nux/openarrays/elementwise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "nux/host/random.h"

namespace nux {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(FillArray, EmptyRaggedAndBadRangesWriteNothing) {
  TDouble2DArray EmptyRow{{}, {1.0}};
  EXPECT_EQ(FillArray(EmptyRow, 5.0), -1);
  EXPECT_EQ(EmptyRow, (TDouble2DArray{{}, {1.0}}));

  TInt2DArray Ragged{{1, 2}, {3}};
  EXPECT_EQ(FillArray(Ragged, 9), -1);
  EXPECT_EQ(Ragged, (TInt2DArray{{1, 2}, {3}}));

  TDoubleArray A(4, 0.0);
  EXPECT_EQ(FillArray(A, 2, 1, 7.0), -2);
  EXPECT_EQ(FillArray(A, -1, 2, 7.0), -2);
  EXPECT_EQ(FillArray(A, 1, 4, 7.0), -2);
  EXPECT_EQ(A, TDoubleArray(4, 0.0));
}

TEST(FillArray, RangeTouchesOnlyTheBox) {
  TInt3DArray A(3, TInt2DArray(3, TIntArray(3, 0)));
  ASSERT_EQ(FillArray(A, 1, 0, 2, 2, 1, 2, 5), 0);
  int Count = 0;
  for (int C = 0; C < 3; ++C)
    for (int R = 0; R < 3; ++R)
      for (int L = 0; L < 3; ++L) {
        const bool In = C >= 1 && R <= 1 && L == 2;
        EXPECT_EQ(A[C][R][L], In ? 5 : 0);
        Count += In;
      }
  EXPECT_EQ(Count, 4);
  TBoolArray B(3, false);
  EXPECT_EQ(FillArray(B, 1, 1, true), 0);
  EXPECT_EQ(B, (TBoolArray{false, true, false}));
}

TEST(FillArraySerial, StorageOrderByRepeatedAddition) {
  TDouble2DArray M(3, TDoubleArray(4));
  ASSERT_EQ(FillArraySerial(M, 0.1, 0.1), 0);
  double Run = 0.1;
  for (int C = 0; C < 3; ++C)
    for (int R = 0; R < 4; ++R) {
      EXPECT_EQ(M[C][R], Run) << C << "," << R;  // bit-exact: the sum as the matrix expects it
      Run += 0.1;
    }
  TInt3DArray I(2, TInt2DArray(2, TIntArray(2)));
  ASSERT_EQ(FillArraySerial(I), 0);
  EXPECT_EQ(I, (TInt3DArray{{{0, 1}, {2, 3}}, {{4, 5}, {6, 7}}}));
  TIntArray Big(3);
  ASSERT_EQ(FillArraySerial(Big, INT32_MAX - 1, 1), 0);
  EXPECT_EQ(Big, (TIntArray{INT32_MAX - 1, INT32_MAX, INT32_MAX}));
  TDouble4DArray Empty;
  EXPECT_EQ(FillArraySerial(Empty, 0.0, 1.0), -1);
}

TEST(FillDiagArray, NeedsEqualExtents) {
  TDouble3DArray A(2, TDouble2DArray(2, TDoubleArray(2, 9.0)));
  ASSERT_EQ(FillDiagArray(A, 1.5), 0);
  EXPECT_EQ(A[0][0][0], 1.5);
  EXPECT_EQ(A[1][1][1], 1.5);
  EXPECT_EQ(A[1][1][0], 0.0);
  EXPECT_EQ(A[0][1][1], 0.0);
  TInt2DArray R(2, TIntArray(3, 4));
  EXPECT_EQ(FillDiagArray(R, 1), -2);
  EXPECT_EQ(R, TInt2DArray(2, TIntArray(3, 4)));
}

TEST(FillRandom, UniformBoundsCodesAndNoReseeding) {
  SetRandSeed(11);
  TDouble2DArray A(20, TDoubleArray(30));
  ASSERT_EQ(FillRandomUniform(A, -2.0, 3.0), 0);
  for (const auto& C : A)
    for (double X : C) {
      EXPECT_GE(X, -2.0);
      EXPECT_LT(X, 3.0);
    }
  TDouble2DArray B = A;
  ASSERT_EQ(FillRandomUniform(B, -2.0, 3.0), 0);
  EXPECT_NE(A, B);  // the generator runs on, it is not reseeded from the clock
  SetRandSeed(11);
  ASSERT_EQ(FillRandomUniform(B, -2.0, 3.0), 0);
  EXPECT_EQ(A, B);
  EXPECT_EQ(FillRandomUniform(A, 3.0, -2.0), -2);
  EXPECT_EQ(FillRandomUniform(A, NaN, 1.0), -2);

  TIntArray I(2000);
  ASSERT_EQ(FillRandomUniform(I, INT32_MIN, INT32_MAX), 0);  // span beyond 32 bits
  ASSERT_EQ(FillRandomUniform(I, -1, 1), 0);
  EXPECT_EQ(std::set<int32_t>(I.begin(), I.end()), (std::set<int32_t>{-1, 0, 1}));
  EXPECT_EQ(FillRandomNormal(A, 0.0, -1.0), -2);
}

TEST(FillRandom, WithoutDuplicates) {
  TIntArray A(6);
  EXPECT_EQ(FillRandomUniform(A, 1, 5, false), -3);
  EXPECT_EQ(FillRandomUniform(A, 5, 1, false), -2);
  EXPECT_EQ(FillRandomUniform(A, 0, 1000000, false), -4);
  ASSERT_EQ(FillRandomUniform(A, 10, 15, false), 0);
  EXPECT_EQ(std::set<int32_t>(A.begin(), A.end()), (std::set<int32_t>{10, 11, 12, 13, 14, 15}));
  // Every element may keep its place: a true shuffle, not only cyclic ones.
  int Fixed = 0;
  for (int T = 0; T < 200; ++T) {
    TIntArray B(3);
    ASSERT_EQ(FillRandomUniform(B, 0, 2, false), 0);
    Fixed += B[0] == 0;
  }
  EXPECT_GT(Fixed, 30);
}

TEST(CloneArray, DoubleToIntegerRoundsHalvesToEvenAndSaturates) {
  TIntArray I;
  ASSERT_EQ(CloneArray(TDoubleArray{2.5, 3.5, -2.5, 1e12, -1e12, NaN, Inf}, I), 0);
  EXPECT_EQ(I, (TIntArray{2, 4, -2, INT32_MAX, INT32_MIN, 0, INT32_MAX}));
  TSingleArray S;
  ASSERT_EQ(CloneArray(TDoubleArray{1e300, -1e300, 0.5}, S), 0);
  EXPECT_EQ(S[0], std::numeric_limits<float>::infinity());
  EXPECT_EQ(S[1], -std::numeric_limits<float>::infinity());
  EXPECT_EQ(S[2], 0.5f);
  TInt2DArray I2{{7}};
  EXPECT_EQ(CloneArray(TDouble2DArray{{1.0}, {}}, I2), -1);
  EXPECT_EQ(I2, TInt2DArray{{7}});
  TDouble3DArray D3;
  ASSERT_EQ(CloneArray(TInt3DArray{{{1, 2}}, {{3, 4}}}, D3), 0);
  EXPECT_EQ(D3, (TDouble3DArray{{{1.0, 2.0}}, {{3.0, 4.0}}}));
  TBoolArray Rb;
  ASSERT_EQ(CloneAndReverseArray(TBoolArray{true, false, false}, Rb), 0);
  EXPECT_EQ(Rb, (TBoolArray{false, false, true}));
  TIntArray Ri;
  ASSERT_EQ(CloneAndReverseArray(TDoubleArray{0.5, 1.5}, Ri), 0);
  EXPECT_EQ(Ri, (TIntArray{2, 0}));
}

TEST(CopyArray, DestinationMustHaveRoom) {
  TDoubleArray Dst(4, 0.0);
  EXPECT_EQ(CopyArray(TDoubleArray{1, 2, 3}, Dst, 2), -2);
  EXPECT_EQ(Dst, TDoubleArray(4, 0.0));
  EXPECT_EQ(CopyArray(TDoubleArray{1, 2, 3}, Dst, 1), 0);
  EXPECT_EQ(Dst, (TDoubleArray{0, 1, 2, 3}));
  EXPECT_EQ(CopyArray(TDoubleArray{}, Dst, 0), -1);

  TInt2DArray Src{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  TInt2DArray D2(2, TIntArray(2, 0));
  ASSERT_EQ(CopyArray(Src, 1, 1, 2, 2, D2, 0, 0), 0);
  EXPECT_EQ(D2, (TInt2DArray{{5, 6}, {8, 9}}));
  EXPECT_EQ(CopyArray(Src, 1, 1, 2, 2, D2, 1, 0), -2);
  EXPECT_EQ(CopyArray(Src, 2, 1, 1, 2, D2, 0, 0), -2);
}

TEST(CopyArray, OverlappingCopyWithinOneArray) {
  TIntArray A{1, 2, 3, 4, 5};
  ASSERT_EQ(CopyArray(A, 0, 3, A, 1), 0);
  EXPECT_EQ(A, (TIntArray{1, 1, 2, 3, 4}));
}

TEST(CopyLines, ColumnsRowsAndCodes) {
  const TDouble2DArray A{{1, 2, 3}, {4, 5, 6}};
  TDoubleArray Out{42};
  EXPECT_EQ(CopyArrayColumn(A, 1, 0, 2, Out), 0);
  EXPECT_EQ(Out, (TDoubleArray{4, 5, 6}));
  EXPECT_EQ(CopyArrayRow(A, 2, 0, 1, Out), 0);
  EXPECT_EQ(Out, (TDoubleArray{3, 6}));
  EXPECT_EQ(CopyArrayColumn(A, 2, 0, 1, Out), -3);
  EXPECT_EQ(CopyArrayColumn(A, 0, 1, 3, Out), -2);
  EXPECT_EQ(CopyArrayRow(TDouble2DArray{}, 0, 0, 0, Out), -1);
  EXPECT_EQ(Out, (TDoubleArray{3, 6}));

  TDoubleArray Dst(4, 0.0);
  EXPECT_EQ(Copy2DColTo1DArray(A, 0, 0, 2, Dst, 2), 0);  // shortened to the two that fit
  EXPECT_EQ(Dst, (TDoubleArray{0, 0, 1, 2}));
  EXPECT_EQ(Copy2DRowTo1DArray(A, 0, 0, 1, Dst, 4), -4);

  TBool2DArray B(2, TBoolArray(3, false));
  EXPECT_EQ(CopyToArrayRow(TBoolArray{true, true, true}, 0, 0, B, 1, 1), 0);
  EXPECT_EQ(B, (TBool2DArray{{false, false, false}, {false, true, false}}));
  TInt2DArray I(2, TIntArray(3, 0));
  EXPECT_EQ(CopyToArrayColumn(TIntArray{7, 8, 9}, 1, 2, I, 1, 2), 0);
  EXPECT_EQ(I, (TInt2DArray{{0, 0, 0}, {0, 0, 8}}));
  EXPECT_EQ(CopyToArrayColumn(TIntArray{7, 8, 9}, 2, 1, I, 1, 0), -1);
  EXPECT_EQ(CopyToArrayColumn(TIntArray{7, 8, 9}, 0, 0, I, 2, 0), -2);

  TDouble2DArray M(2, TDoubleArray(2));
  try {
    CopyVectorToArrayColumn(TDoubleArray{1.0}, M, 0);
    FAIL();
  } catch (const ENUXError& E) {
    EXPECT_STREQ(E.what(), "deprecated function, see help for details");
  }
}

TEST(Arithmetic, IntegersSaturateAndShapesMustMatch) {
  TIntArray A{INT32_MIN, -3, 4};
  ASSERT_EQ(AbsValArray(A), 0);
  EXPECT_EQ(A, (TIntArray{INT32_MAX, 3, 4}));
  ASSERT_EQ(IncArray(A, 10), 0);
  EXPECT_EQ(A, (TIntArray{INT32_MAX, 13, 14}));
  TIntArray Out;
  ASSERT_EQ(MultiplyArrayByScalar(A, -2, Out), 0);
  EXPECT_EQ(Out, (TIntArray{INT32_MIN, -26, -28}));

  TDouble2DArray D{{1, 0}, {-4, 0.5}};
  ASSERT_EQ(ReciprocalArray(D, 99.0), 0);
  EXPECT_EQ(D, (TDouble2DArray{{1, 99}, {-0.25, 2}}));
  TDouble2DArray S;
  EXPECT_EQ(AddArrays(D, TDouble2DArray{{1, 1}}, S), -2);
  EXPECT_EQ(AddArrays(D, TDouble2DArray{{1, 1}, {1}}, S), -1);
  ASSERT_EQ(SubtractArrays(D, D, S), 0);
  EXPECT_EQ(S, TDouble2DArray(2, TDoubleArray(2, 0.0)));
  ASSERT_EQ(MultiplyArraysElemw(D, D, S), 0);
  EXPECT_EQ(S[1][0], 0.0625);
  TDouble4DArray D4(1, TDouble3DArray(1, TDouble2DArray(1, TDoubleArray(2, 1.5))));
  TDouble4DArray O4;
  ASSERT_EQ(AddScalarToArray(D4, 1.0, O4), 0);
  EXPECT_EQ(O4[0][0][0][1], 2.5);
  EXPECT_EQ(D4[0][0][0][1], 1.5);
}

TEST(Conversions, BoolDichotomizeDiscretize) {
  TDoubleArray Out;
  ASSERT_EQ(BoolToNumArray(TBoolArray{true, false}, -1.0, 1.0, Out), 0);
  EXPECT_EQ(Out, (TDoubleArray{1.0, -1.0}));
  TBoolArray B;
  ASSERT_EQ(DichotomizeArray(TIntArray{1, 5, 9}, 8, 4, B), 0);  // bounds swapped
  EXPECT_EQ(B, (TBoolArray{false, true, false}));
  TBool2DArray B2;
  ASSERT_EQ(DichotomizeArray(TDouble2DArray{{1.0, 2.0}}, 1.0, B2), 0);
  EXPECT_EQ(B2, (TBool2DArray{{false, true}}));

  TDouble2DArray A{{-1.0, 0.25, 0.5, 0.75, 0.999999, 1.0, 2.0}};
  EXPECT_EQ(DiscretizeArray(A, 2, 0.0, 1.0, 0.0, 3.0), -1);
  EXPECT_EQ(DiscretizeArray(A, 4, 1.0, 1.0, 0.0, 3.0), -2);
  ASSERT_EQ(DiscretizeArray(A, 4, 0.0, 1.0, 0.0, 3.0), 0);
  EXPECT_EQ(A, (TDouble2DArray{{0.0, 1.0, 2.0, 2.0, 2.0, 3.0, 3.0}}));
}

TEST(Reshaping, TransposeFlipRemoveSerialize) {
  TInt2DArray A{{1, 2, 3}, {4, 5, 6}};
  ASSERT_EQ(TransposeArray(A), 0);
  EXPECT_EQ(A, (TInt2DArray{{1, 4}, {2, 5}, {3, 6}}));
  EXPECT_EQ(FlipDimArray(A, 3), -2);
  EXPECT_EQ(FlipDimArray(A, 0), -2);
  ASSERT_EQ(FlipDimArray(A, 2), 0);
  EXPECT_EQ(A, (TInt2DArray{{4, 1}, {5, 2}, {6, 3}}));
  TDouble3DArray D{{{1, 2}}, {{3, 4}}};
  ASSERT_EQ(FlipDimArray(D, 3), 0);
  EXPECT_EQ(D, (TDouble3DArray{{{2, 1}}, {{4, 3}}}));

  TDouble2DArray M{{1, 2}, {3, 4}, {5, 6}};
  EXPECT_FALSE(RemoveColumn(M, 3));
  EXPECT_TRUE(RemoveColumn(M, 1));
  EXPECT_TRUE(RemoveRow(M, 0));
  EXPECT_FALSE(RemoveRow(M, 1));
  EXPECT_EQ(M, (TDouble2DArray{{2}, {6}}));

  const TInt2DArray S{{1, 2}, {3, 4}, {5, 6}};
  TIntArray Out{99};
  ASSERT_EQ(SerializeArray(S, false, Out), 0);
  EXPECT_EQ(Out, (TIntArray{1, 3, 5, 2, 4, 6}));
  ASSERT_EQ(SerializeArray(S, true, Out), 0);
  EXPECT_EQ(Out, (TIntArray{1, 2, 3, 4, 5, 6}));
  TIntArray Kept{99};
  EXPECT_EQ(SerializeArray(TInt2DArray{{}}, true, Kept), -1);
  EXPECT_EQ(Kept, TIntArray{99});
}

TEST(MaskedAndEqual, Counts) {
  TDouble2DArray A(2, TDoubleArray(2, 0.0));
  EXPECT_EQ(FillArrayMasked(A, 1.0, TBool2DArray{{true, false}, {false, false}}), 3);
  EXPECT_EQ(A, (TDouble2DArray{{0, 1}, {1, 1}}));
  EXPECT_EQ(FillArrayMasked(A, 2.0, TBool2DArray{{true}}), -1);
  EXPECT_EQ(FillArrayMasked(A, 2.0, TBool2DArray{}), 4);
  TDouble2DArray E;
  EXPECT_EQ(FillArrayMasked(E, 2.0, TBool2DArray{}), -2);

  EXPECT_TRUE(EqualArrays(TInt2DArray{{1, 2}}, TInt2DArray{{1, 2}}));
  EXPECT_FALSE(EqualArrays(TInt2DArray{{1, 2}}, TInt2DArray{{1, 2}, {}}));
  EXPECT_FALSE(EqualArrays(TIntArray{1, 2}, TIntArray{1, 3}));
}

TEST(Normalize, ZeroColumnsHugeValuesAndCentring) {
  TDouble2DArray A{{3, 4}, {0, 0}, {1e200, 1e200}};
  EXPECT_EQ(NormalizeColumns(A), -1);
  EXPECT_DOUBLE_EQ(A[0][0], 0.6);
  EXPECT_DOUBLE_EQ(A[0][1], 0.8);
  EXPECT_EQ(A[1], (TDoubleArray{0, 0}));
  EXPECT_DOUBLE_EQ(A[2][0], std::sqrt(0.5));  // no overflow in the squares
  TDouble2DArray R{{3, 1}, {4, 1}};
  EXPECT_EQ(NormalizeRows(R), 0);
  EXPECT_DOUBLE_EQ(R[1][0], 0.8);
  EXPECT_DOUBLE_EQ(R[1][1], std::sqrt(0.5));

  TDouble2DArray C{{1e9 + 1, 1e9 + 2, 1e9 + 3}, {1, 2, 6}};
  TDoubleArray Means(1);
  ASSERT_EQ(MeanCenterColumnsOfArray(C, Means), 0);
  EXPECT_EQ(Means, (TDoubleArray{1e9 + 2, 3}));
  EXPECT_EQ(C[0], (TDoubleArray{-1, 0, 1}));
  TDoubleArray NoMeans;
  TDouble2DArray Rw{{1, 10}, {3, 20}};
  ASSERT_EQ(MeanCenterRowsOfArray(Rw, NoMeans), 0);
  EXPECT_TRUE(NoMeans.empty());
  EXPECT_EQ(Rw, (TDouble2DArray{{-1, -5}, {1, 5}}));
}

}  // namespace
}  // namespace nux
