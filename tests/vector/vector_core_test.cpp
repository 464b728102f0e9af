#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nux/host/random.h"
#include "nux/vector/vector.h"
#include "support/alloc_limit.h"
#include "support/filled.h"

namespace nux {
namespace {

template <class V>
std::vector<typename V::TElem> Values(const V& Vec) {
  return Vec.Data();
}

// Records the events of one vector in firing order.
struct TLog {
  std::vector<std::string> E;
  template <class V>
  void Attach(V& Vec) {
    Vec.OnChange = [this](TObject*) { E.push_back("change"); };
    Vec.OnResize = [this](TObject*) { E.push_back("resize"); };
    Vec.OnSortExchange = [this](TObject*, uint8_t K, int32_t I, int32_t J, int32_t L, int32_t H) {
      E.push_back("x" + std::to_string(K) + ":" + std::to_string(I) + "," + std::to_string(J) +
                  ":" + std::to_string(L) + "," + std::to_string(H));
    };
  }
  int Count(const std::string& What) const {
    return static_cast<int>(std::count(E.begin(), E.end(), What));
  }
};

template <class V>
class VectorBoth : public ::testing::Test {};
using VectorTypes = ::testing::Types<TVector, TIntVector>;
TYPED_TEST_SUITE(VectorBoth, VectorTypes);

TYPED_TEST(VectorBoth, NewVectorAndElementAccess) {
  TypeParam V;
  EXPECT_EQ(V.NrOfElem(), 1);
  EXPECT_TRUE(V.IsEmpty());
  EXPECT_EQ(V.GetVal(1), 0);
  EXPECT_EQ(V.GetVal(0), 0);
  EXPECT_EQ(V.GetVal(2), 0);
  TLog Log;
  Log.Attach(V);
  V.SetVal(2, 7);  // beyond N: nothing, silently
  EXPECT_TRUE(Log.E.empty());
  EXPECT_TRUE(V.IsEmpty());
  V.SetVal(1, 7);
  EXPECT_FALSE(V.IsEmpty());
  EXPECT_EQ(Log.E, std::vector<std::string>{"change"});
}

TYPED_TEST(VectorBoth, ResizeKeepsValuesAndFiresChangeThenResize) {
  Filled<TypeParam> V({1, 2, 3});
  TLog Log;
  Log.Attach(V);
  EXPECT_FALSE(V.Resize(0));
  EXPECT_FALSE(V.Resize(-4));
  EXPECT_TRUE(V.Resize(3));
  EXPECT_TRUE(Log.E.empty());
  EXPECT_TRUE(V.Resize(5));
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{1, 2, 3, 0, 0}));
  EXPECT_EQ(Log.E, (std::vector<std::string>{"change", "resize"}));
  EXPECT_TRUE(V.Resize(2));
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{1, 2}));
}

TYPED_TEST(VectorBoth, FailedAllocationKeepsTheVectorAndNamesIt) {
  Filled<TypeParam> V({4, 5});
  TypeParam Big;
  Big.Resize(400'000);
  TLog Log;
  Log.Attach(V);
  {
    ScopedAllocLimit Limit(1 << 20);
    try {
      V.Resize(10'000'000);
      FAIL() << "no exception";
    } catch (const ENUXVectorError& E) {
      EXPECT_STREQ(E.what(), "Component \"\": not enough memory");
    }
    V.SetName("V1");
    try {
      V.Clone(&Big);
      FAIL() << "no exception";
    } catch (const ENUXVectorError& E) {
      EXPECT_STREQ(E.what(), "Component \"V1\": not enough memory");
    }
  }
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{4, 5}));
  EXPECT_TRUE(Log.E.empty());
}

TYPED_TEST(VectorBoth, FillFamilyFiresOnceAndSetsEmptyFlag) {
  TypeParam V;
  V.Resize(4);
  TLog Log;
  Log.Attach(V);
  V.FillSerial(2, 3);
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{2, 5, 8, 11}));
  EXPECT_FALSE(V.IsEmpty());
  V.Clear();
  EXPECT_TRUE(V.IsEmpty());
  V.Fill(-3);
  V.AbsVal();
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{3, 3, 3, 3}));
  EXPECT_EQ(Log.E.size(), 4u);
}

TYPED_TEST(VectorBoth, CopyFromVectorStatusCodesAndEvents) {
  Filled<TypeParam> Src({10, 20, 30, 40, 50});
  TypeParam V;
  V.Resize(5);
  TLog Log;
  Log.Attach(V);
  EXPECT_EQ(V.CopyFrom(nullptr, 0, 0, 1), -1);
  EXPECT_EQ(V.CopyFrom(&Src, 0, 0, 7), 0);  // every target beyond N: nothing written
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{0, 0, 0, 0, 0}));
  EXPECT_EQ(Log.E, std::vector<std::string>{"change"});
  EXPECT_EQ(V.CopyFrom(&Src, 4, 2, 1), 0);  // bounds put in order
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{20, 30, 40, 0, 0}));
  EXPECT_EQ(Log.Count("change"), 1 + 3 + 1);
  EXPECT_EQ(V.CopyFrom(&Src, 0, 6, 1), -2);
  EXPECT_EQ(V.CopyFrom(&Src, 0, 6, 9), -3);  // -3 wins
  EXPECT_EQ(V.CopyFrom(&Src, 1, 5, 4), 0);   // the tail is dropped
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{20, 30, 40, 10, 20}));
  V.CopyFrom(&V, 1, 3, 2);  // overlapping copy onto itself reads the old values
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{20, 20, 30, 40, 20}));
}

TYPED_TEST(VectorBoth, CopyFromArrayUsesZeroBasedPositions) {
  using TArr = typename TypeParam::TArray;
  TypeParam V;
  V.Resize(3);
  EXPECT_EQ(V.CopyFrom(TArr{}, 0, 0, 1), -1);
  EXPECT_EQ(V.CopyFrom(TArr{1, 2, 3, 4}, 3, 1, 2), 0);
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{0, 2, 3}));
  EXPECT_EQ(V.CopyFrom(TArr{1, 2}, 0, 2, 1), -2);
  EXPECT_EQ(V.CopyFrom(TArr{1, 2}, 0, 1, 0), -3);
  EXPECT_EQ(V.CopyFrom(TArr{7, 8, 9, 6}, 0, 0, -1), 0);  // whole array, DestElem unchecked
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{9, 6, 3}));
}

TYPED_TEST(VectorBoth, CopyFrom2DArrayRowsAndColumns) {
  using T2D = typename TypeParam::T2DArray;
  const T2D A = {{1, 2, 3}, {4, 5, 6}};  // two columns of three rows
  TypeParam V;
  V.Resize(4);
  V.CopyFrom2DArrayRow(A, 9, 5, -2, 2);  // row clipped to 2, columns to 1..0 then ordered
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{0, 3, 6, 0}));
  V.CopyFrom2DArrayColumn(A, 1, 0, 2, 3);  // the third value falls beyond N
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{0, 3, 4, 5}));
  V.CopyFrom2DArrayColumn(A, 0, 0, 2, -5);  // last target below 1: nothing
  V.CopyFrom2DArrayRow(T2D{}, 0, 0, 0, 1);
  V.CopyFrom2DArrayColumn(T2D{{}}, 0, 0, 0, 1);
  // A ragged source copies nothing, even where the wanted column is long enough.
  V.CopyFrom2DArrayColumn(T2D{{7, 7, 7}, {8}}, 0, 0, 2, 1);
  V.CopyFrom2DArrayRow(T2D{{7, 7, 7}, {8}}, 0, 0, 1, 1);
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{0, 3, 4, 5}));
}

TYPED_TEST(VectorBoth, CopyToArrays) {
  using TArr = typename TypeParam::TArray;
  using T2D = typename TypeParam::T2DArray;
  Filled<TypeParam> V({1, 2, 3});
  TArr A = {9};
  V.CopyToArray(A, 0, 0, 2);
  EXPECT_EQ(A, (TArr{9, 0, 1, 2, 3}));
  V.CopyToArray(A, 3, 2, -4);  // negative DestElem becomes 0; the array is shortened
  EXPECT_EQ(A, (TArr{2, 3}));
  EXPECT_THROW(V.CopyToArray(A, 0, 0, std::numeric_limits<int32_t>::max() - 1), ENUXVectorError);
  EXPECT_EQ(A, (TArr{2, 3}));

  T2D M(2, TArr(2, 0));
  V.CopyToArray(M, 0, 0, 1, 0, true);  // down column 1; the third element falls off
  EXPECT_EQ(M, (T2D{{0, 0}, {1, 2}}));
  V.CopyToArray(M, 2, 3, -1, 7, false);  // column clipped to 0, row to 1
  EXPECT_EQ(M, (T2D{{0, 2}, {1, 3}}));
  T2D Ragged = {{0, 0}, {0}};
  V.CopyToArray(Ragged, 0, 0, 0, 0, true);
  EXPECT_EQ(Ragged, (T2D{{0, 0}, {0}}));
}

TYPED_TEST(VectorBoth, AssignCopiesHandlersCloneDoesNot) {
  Filled<TypeParam> Src({1, 2, 3});
  Src.SetIsEmpty(true);
  int SrcChanges = 0;
  Src.OnChange = [&](TObject*) { ++SrcChanges; };
  TypeParam A, C;
  A.Assign(&Src);
  EXPECT_EQ(SrcChanges, 0);
  EXPECT_EQ(A.NrOfElem(), 3);
  EXPECT_TRUE(A.IsEmpty());
  A.SetVal(1, 5);
  EXPECT_EQ(SrcChanges, 1);  // the handler came along

  TLog Log;
  Log.Attach(C);
  C.Clone(&Src);
  EXPECT_EQ(Values(C), (std::vector<typename TypeParam::TElem>{1, 2, 3}));
  EXPECT_EQ(Log.E.front(), "change");
  EXPECT_EQ(Log.E[1], "resize");
  EXPECT_EQ(Log.Count("change"), 1 + 3 + 1);
  EXPECT_EQ(SrcChanges, 1);
  C.Clone(nullptr);
  TComponent Other(nullptr);
  EXPECT_THROW(C.Assign(&Other), EConvertError);
}

TYPED_TEST(VectorBoth, SortElemsReportsEveryExchange) {
  Filled<TypeParam> V({3, 1, 2});
  TLog Log;
  Log.Attach(V);
  V.SortElems(true, 0, 0);
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{1, 2, 3}));
  // gap 2*10/13 = 1: (3,1) exchanged, then (3,2); the next pass finds nothing.
  EXPECT_EQ(Log.E, (std::vector<std::string>{"x0:1,2:0,0", "x0:2,3:0,0", "change"}));
  Log.E.clear();
  V.SortElems(false, 3, 1);
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{3, 2, 1}));
  Log.E.clear();
  V.SortElems(true, 2, 2);
  V.SortElems(true, 5, 9);  // clipped to 3..3
  EXPECT_TRUE(Log.E.empty());
}

TYPED_TEST(VectorBoth, SortMatchesAReferenceOnRandomData) {
  SetRandSeed(5);
  TypeParam V;
  V.Resize(1000);
  for (int32_t K = 1; K <= 1000; ++K)
    V.SetVal(K, static_cast<typename TypeParam::TElem>(RandomInt(100)));
  auto Expected = V.Data();
  std::sort(Expected.begin() + 99, Expected.begin() + 900, std::greater<>());
  int Exchanges = 0;
  V.OnSortExchange = [&](TObject*, uint8_t, int32_t I, int32_t J, int32_t, int32_t) {
    ++Exchanges;
    EXPECT_LT(I, J);
    EXPECT_GE(I, 100);
    EXPECT_LE(J, 900);
  };
  V.SortElems(false, 900, 100);
  EXPECT_EQ(V.Data(), Expected);
  EXPECT_GT(Exchanges, 0);
}

TYPED_TEST(VectorBoth, MirrorShuffleAndDichotomy) {
  Filled<TypeParam> V({1, 2, 3, 4});
  V.Mirror();
  EXPECT_EQ(Values(V), (std::vector<typename TypeParam::TElem>{4, 3, 2, 1}));
  TLog Log;
  Log.Attach(V);
  V.ShuffleElems();
  EXPECT_TRUE(Log.E.empty());
  auto Sorted = V.Data();
  std::sort(Sorted.begin(), Sorted.end());
  EXPECT_EQ(Sorted, (std::vector<typename TypeParam::TElem>{1, 2, 3, 4}));

  typename TypeParam::TElem A = 9, B = 9;
  EXPECT_TRUE(Filled<TypeParam>({5, 5, 5}).IsDichotomous(A, B));
  EXPECT_EQ(A, 5);
  EXPECT_EQ(B, 5);
  EXPECT_FALSE(Filled<TypeParam>({1, 2, 1, 3}).IsDichotomous(A, B));
  EXPECT_EQ(A, 1);
  EXPECT_EQ(B, 2);
  EXPECT_TRUE(Filled<TypeParam>({7, 1, 1, 7}).IsDichotomous(A, B));
  EXPECT_FALSE(TypeParam().IsDichotomous(A, B));
  EXPECT_EQ(A, 0);
}

TYPED_TEST(VectorBoth, FingerprintWidthFollowsTheElementType) {
  TypeParam V;
  const std::string Crc = V.CRCofData();
  const size_t Width = sizeof(typename TypeParam::TElem) * 8;
  ASSERT_EQ(Crc.size(), Width);
  for (size_t R = 0; R < Width / 8; ++R) EXPECT_EQ(Crc.substr(R * 8, 8), "D202EF8D");
  V.SetVal(1, 1);
  EXPECT_NE(V.CRCofData(), Crc);
}

TEST(Vector, LengthAndSetLength) {
  Filled<TVector> V({3, 4});
  EXPECT_DOUBLE_EQ(V.CalcVecLeng(), 5.0);
  V.SetVecLeng(1);
  EXPECT_DOUBLE_EQ(V.GetVal(1), 0.6);
  EXPECT_DOUBLE_EQ(V.GetVal(2), 0.8);
  TVector Zero;
  Zero.Resize(3);
  int Changes = 0;
  Zero.OnChange = [&](TObject*) { ++Changes; };
  Zero.SetVecLeng(2);
  EXPECT_EQ(Changes, 0);
  // Squares that overflow or underflow still give the length.
  EXPECT_DOUBLE_EQ(Filled<TVector>({3e200, 4e200}).Leng(), 5e200);
  EXPECT_DOUBLE_EQ(Filled<TVector>({3e-200, 4e-200}).Leng(), 5e-200);
  EXPECT_EQ(Filled<TVector>({INFINITY, 1}).Leng(), INFINITY);
  EXPECT_TRUE(std::isnan(Filled<TVector>({NAN, 1}).Leng()));
  // Integer squares are summed in doubles.
  EXPECT_DOUBLE_EQ(Filled<TIntVector>({2147483647, 2147483647}).Leng(),
                   2147483647.0 * std::sqrt(2.0));
}

TEST(Vector, DichotomyTreatsEveryNaNAsANewValue) {
  double A = 0, B = 0;
  EXPECT_TRUE(Filled<TVector>({NAN, 1, 1}).IsDichotomous(A, B));
  EXPECT_TRUE(std::isnan(A));
  EXPECT_EQ(B, 1);
  EXPECT_FALSE(Filled<TVector>({1, NAN, NAN}).IsDichotomous(A, B));
}

TEST(Vector, SortLeavesNaNsWhereNoComparisonMovesThem) {
  Filled<TVector> V({NAN, 3, 1});
  V.SortElems(true, 0, 0);
  EXPECT_TRUE(std::isnan(V.GetVal(1)));
  EXPECT_EQ(V.GetVal(2), 1);
  EXPECT_EQ(V.GetVal(3), 3);
}

TEST(Vector, RandomFillsAreRepeatableUnderASeed) {
  TVector A, B;
  A.Resize(50);
  B.Resize(50);
  SetRandSeed(77);
  A.FillRandomUniform(-2, 3);
  SetRandSeed(77);
  B.FillRandomUniform(-2, 3);
  EXPECT_EQ(A.Data(), B.Data());
  double Min = 0, Max = 0;
  A.MinMax(0, 0, Min, Max);
  EXPECT_GE(Min, -2);
  EXPECT_LT(Max, 3);
  // Two fills in a row differ: nothing reseeds from the clock.
  B.FillRandomUniform(-2, 3);
  EXPECT_NE(A.Data(), B.Data());
  A.FillRandomGauss(100, 0);
  EXPECT_EQ(A.GetVal(17), 100);
  EXPECT_FALSE(A.IsEmpty());
}

TEST(Vector, SizeSettersIgnoreInvalidSizes) {
  TVector V;
  V.SetVecSize(0);
  V.SetVecSize(-1);
  EXPECT_EQ(V.NrOfElem(), 1);
  V.SetVecSize(4);
  EXPECT_EQ(V.NrOfElem(), 4);
  TIntVector I;
  I.SetIntVecSize(3);
  EXPECT_EQ(I.NrOfElem(), 3);
}

}  // namespace
}  // namespace nux
