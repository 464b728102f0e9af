#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "nux/math1/math1.h"

namespace nux {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The progress hooks are process-wide: reset them around each test.
class Math1Sorting : public ::testing::Test {
 protected:
  void SetUp() override {
    ProcStat = 0.0;
    MathFeedBackProc = nullptr;
    SetRandSeed(2024);
  }
  void TearDown() override { MathFeedBackProc = nullptr; }
};

template <class T>
std::vector<T> RandomData(size_t N, int32_t Distinct) {
  std::vector<T> V(N);
  for (T& X : V) X = static_cast<T>(RandomInt(Distinct) - Distinct / 2);
  return V;
}

size_t CountNaN(const TDoubleArray& D) {
  return static_cast<size_t>(std::count_if(D.begin(), D.end(), [](double X) { return X != X; }));
}

TEST_F(Math1Sorting, CombSortReportsOnePerPass) {
  TDoubleArray One{4.0};
  std::vector<double> Reported;
  MathFeedBackProc = [&](double P) { Reported.push_back(P); };
  SortArray(One, true);
  EXPECT_EQ(ProcStat, 0.0);
  // Gaps 2, 1, 1: (3,1,2) -> (2,1,3) -> (1,2,3) -> no exchange.
  TDoubleArray Three{3.0, 1.0, 2.0};
  SortArray(Three, true);
  EXPECT_EQ(Three, (TDoubleArray{1.0, 2.0, 3.0}));
  EXPECT_EQ(Reported, (std::vector<double>{1.0, 2.0, 3.0}));
}

template <class T>
void CheckAgainstStdSort(size_t N, int32_t Distinct) {
  const auto Data = RandomData<T>(N, Distinct);
  for (bool Asc : {true, false}) {
    auto Expected = Data;
    auto Got = Data;
    if (Asc)
      std::sort(Expected.begin(), Expected.end());
    else
      std::sort(Expected.begin(), Expected.end(), std::greater<T>());
    SortArray(Got, Asc);
    ASSERT_EQ(Got, Expected) << N << " " << Distinct;
  }
}

TEST_F(Math1Sorting, CombSortMatchesAReferenceSort) {
  for (size_t N : {0u, 2u, 3u, 13u, 1000u, 4099u}) {
    for (int32_t Distinct : {2, 1000000}) {
      CheckAgainstStdSort<double>(N, Distinct);
      CheckAgainstStdSort<float>(N, Distinct);
      CheckAgainstStdSort<int32_t>(N, Distinct);
    }
  }
}

TEST_F(Math1Sorting, NaNStaysAndSortsTheStretchesBetween) {
  auto D = RandomData<double>(2000, 100000);
  for (size_t i = 0; i < D.size(); i += 97) D[i] = NaN;
  auto Finite = D;
  SortArray(D, true);  // terminates
  auto Left = D;
  for (auto* V : {&Finite, &Left}) {
    std::erase_if(*V, [](double X) { return std::isnan(X); });
    std::sort(V->begin(), V->end());
  }
  EXPECT_EQ(Left, Finite);  // nothing lost or duplicated
  EXPECT_EQ(CountNaN(D), 21u);
  for (size_t i = 0; i + 1 < D.size(); ++i)
    ASSERT_FALSE(D[i] > D[i + 1]) << i;  // false whenever a NaN is involved
}

TEST_F(Math1Sorting, UntypedFormsByKind) {
  TDoubleArray D{3.0, -1.0, 2.0};
  TSingleArray F{3.0f, -1.0f, 2.0f};
  TIntArray I{3, -1, 2};
  SortArray(D.data(), 3, vkReal, true);
  SortArray(F.data(), 3, vkSingle, false);
  SortArray(I.data(), 2, vkLongint, true);  // only the first two
  EXPECT_EQ(D, (TDoubleArray{-1.0, 2.0, 3.0}));
  EXPECT_EQ(F, (TSingleArray{3.0f, 2.0f, -1.0f}));
  EXPECT_EQ(I, (TIntArray{-1, 3, 2}));
  SortArray(I.data(), 3, vkByte, true);
  SortArray(nullptr, 3, vkDouble, true);
  SortArray(I.data(), -4, vkInteger, true);
  EXPECT_EQ(I, (TIntArray{-1, 3, 2}));
  // Positions 1..LastIx, result 0 when the value was not put in.
  const double V = 2.5, Big = 9.0;
  EXPECT_EQ(SortIntoArray(D.data(), 3, vkDouble, &V, true, false), 3);
  EXPECT_EQ(D, (TDoubleArray{-1.0, 2.0, 2.5}));
  EXPECT_EQ(SortIntoArray(D.data(), 3, vkDouble, &Big, true, false), 0);
  const int32_t W = 1;
  EXPECT_EQ(SortIntoArray(I.data(), 3, vkString, &W, true, false), 0);
  EXPECT_EQ(SortIntoArray(I.data(), 3, vkInteger, nullptr, true, false), 0);
  const float X = 0.5f;
  InsertIntoArray(F.data(), 3, vkSingle, &X, 2);
  InsertIntoArray(F.data(), 3, vkSingle, &X, 4);
  InsertIntoArray(F.data(), 3, vkSingle, &X, 0);
  EXPECT_EQ(F, (TSingleArray{3.0f, 0.5f, 2.0f}));
}

TEST_F(Math1Sorting, OrderedInsertion) {
  auto Into = [](TDoubleArray A, double V, bool Asc, bool Dup) {
    const int32_t Ix = SortIntoArray(A, V, Asc, Dup);
    return std::pair{Ix, A};
  };
  EXPECT_EQ(Into({1, 3, 5}, 2, true, false), std::pair(1, TDoubleArray{1, 2, 3}));
  EXPECT_EQ(Into({1, 3, 5}, 6, true, false), std::pair(-1, TDoubleArray{1, 3, 5}));
  EXPECT_EQ(Into({1, 3, 5}, 3, true, false), std::pair(-1, TDoubleArray{1, 3, 5}));
  EXPECT_EQ(Into({1, 3, 5}, 3, true, true), std::pair(1, TDoubleArray{1, 3, 3}));
  EXPECT_EQ(Into({5, 3, 1}, 4, false, false), std::pair(1, TDoubleArray{5, 4, 3}));
  EXPECT_EQ(Into({5, 3, 1}, 0, false, false).first, -1);
  EXPECT_EQ(Into({}, 1, true, true).first, -1);
  EXPECT_EQ(Into({1, 3, 5}, NaN, true, true).first, -1);
  // The k smallest of a stream, as the neighbour searches keep them.
  const auto Stream = RandomData<double>(5000, 1000000);
  TDoubleArray Best(7, std::numeric_limits<double>::max());
  for (double X : Stream) SortIntoArray(Best, X, true, true);
  auto Expected = Stream;
  std::partial_sort(Expected.begin(), Expected.begin() + 7, Expected.end());
  Expected.resize(7);
  EXPECT_EQ(Best, Expected);
  TDoubleArray D{1.0, 2.0, 3.0};
  InsertIntoArray(D, 9.0, 0);
  InsertIntoArray(D, 5.0, 3);
  InsertIntoArray(D, 5.0, -1);
  EXPECT_EQ(D, (TDoubleArray{9.0, 1.0, 2.0}));
}

TEST_F(Math1Sorting, QuickSelectFindsOrderStatistics) {
  TDoubleArray A{5.0, 1.0, 9.0, 3.0};
  EXPECT_EQ(QuickSelect(A, 3, 0, 3), 9.0);
  EXPECT_EQ(QuickSelect(A, 0, 0, 3), 1.0);
  for (size_t N : {1u, 2u, 5u, 64u, 1001u}) {
    for (int32_t Distinct : {3, 1000000}) {
      const auto D = RandomData<double>(N, Distinct);
      auto Sorted = D;
      std::sort(Sorted.begin(), Sorted.end());
      for (size_t K = 0; K < N; K += 1 + N / 17) {
        auto Work = D;
        const auto Hi = static_cast<int32_t>(N - 1);
        ASSERT_EQ(QuickSelect(Work, static_cast<int32_t>(K), 0, Hi), Sorted[K]) << N << " " << K;
        std::sort(Work.begin(), Work.end());
        ASSERT_EQ(Work, Sorted);  // reordered, nothing lost
      }
    }
  }
  // A sub-range: positions count from the array start, the rest stays.
  TDoubleArray Sub{50, 40, 9, 7, 8, 6, -1};
  EXPECT_EQ(QuickSelect(Sub, 3, 2, 5), 7.0);
  EXPECT_EQ(Sub[0] + Sub[1] + Sub[6], 89.0);
}

TEST_F(Math1Sorting, QuickSelectTerminatesOnBadArguments) {
  const TDoubleArray D{4.0, 8.0, 1.0, 6.0};
  auto Select = [&](int32_t K, int32_t Lo, int32_t Hi) {
    auto Work = D;
    return QuickSelect(Work, K, Lo, Hi);
  };
  EXPECT_EQ(Select(2, 3, 1), 0.0);      // empty range
  EXPECT_EQ(Select(-5, 0, 3), 1.0);     // K below the range: smallest
  EXPECT_EQ(Select(17, 0, 3), 8.0);     // K above the range: largest
  EXPECT_EQ(Select(1, 1, 3), 1.0);      // (8, 1, 6) starts at position 1
  EXPECT_EQ(Select(0, -10, 100), 1.0);  // clipped to the array
  EXPECT_EQ(Select(3, 2, 1000), 6.0);
  TDoubleArray Empty;
  EXPECT_EQ(QuickSelect(Empty, 0, 0, 0), 0.0);
  EXPECT_EQ(QuickSelect(Empty, 0, 0, 0, 0.0), 0.0);
}

TEST_F(Math1Sorting, QuickSelectWithNaNDuplicatesAndOrderedInput) {
  auto D = RandomData<double>(5000, 1000);
  for (size_t i = 0; i < D.size(); i += 3) D[i] = NaN;
  for (int32_t K : {0, 2500, 4999}) {
    auto Work = D;
    QuickSelect(Work, K, 0, 4999);  // terminates, in bounds (checked by the sanitizer build)
    EXPECT_EQ(CountNaN(Work), 1667u);
  }
  TDoubleArray AllNaN(100, NaN);
  EXPECT_TRUE(std::isnan(QuickSelect(AllNaN, 50, 0, 99)));
  // Long runs of one value must not cost a round per element.
  TDoubleArray Zeros(1000000, 0.0);
  Zeros[10] = 1.0;
  Zeros[999990] = -1.0;
  EXPECT_EQ(QuickSelect(Zeros, 999999, 0, 999999), 1.0);
  EXPECT_EQ(QuickSelect(Zeros, 500000, 0, 999999), 0.0);
  const int32_t N = 200000;
  TDoubleArray Desc(N), Organ(N);
  for (int32_t i = 0; i < N; ++i) {
    Desc[size_t(i)] = N - i;
    Organ[size_t(i)] = std::min(i, N - i);
  }
  EXPECT_EQ(QuickSelect(Desc, 12345, 0, N - 1), 12346.0);
  auto Sorted = Organ;
  std::sort(Sorted.begin(), Sorted.end());
  EXPECT_EQ(QuickSelect(Organ, 150000, 0, N - 1), Sorted[150000]);
}

TEST_F(Math1Sorting, QuickSelectWithFrequentValue) {
  const TDoubleArray D{0, 0, 0, 4, -2};
  EXPECT_EQ(QuickSelect(D, 0, 0, 4, 0.0), -2.0);
  for (int32_t K = 1; K <= 3; ++K) EXPECT_EQ(QuickSelect(D, K, 0, 4, 0.0), 0.0);
  EXPECT_EQ(QuickSelect(D, 4, 0, 4, 0.0), 4.0);
  EXPECT_EQ(D, (TDoubleArray{0, 0, 0, 4, -2}));  // untouched
  EXPECT_EQ(QuickSelect(D, 3, 1, 3, 0.0), 4.0);  // elements 1..3 are (0, 0, 4)
  EXPECT_EQ(QuickSelect(D, 4, 0, 4, NaN), 4.0);  // NaN matches nothing
  auto Data = RandomData<double>(3000, 40);
  for (size_t i = 0; i < Data.size(); i += 2) Data[i] = 0.0;
  auto Sorted = Data;
  std::sort(Sorted.begin(), Sorted.end());
  for (int32_t K = 0; K < 3000; K += 37) ASSERT_EQ(QuickSelect(Data, K, 0, 2999, 0.0), Sorted[K]);
}

TEST(Math1Histogram, BinAndResidual) {
  double R = 0.0;
  EXPECT_EQ(HistoBinRef(-0.5, 0.0, 1.0, R), -1);
  EXPECT_DOUBLE_EQ(R, 0.5);
  EXPECT_EQ(HistoBinRef(7.5, 1.0, 2.0, R), 3);
  EXPECT_DOUBLE_EQ(R, 0.5);
  EXPECT_EQ(HistoBinRef(-1e300, 0.0, 1.0, R), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(HistoBinRef(3.0, 1.0, 0.0, R), 0);
  EXPECT_DOUBLE_EQ(R, 2.0);
  EXPECT_EQ(HistoBinRef(NaN, 1.0, 1.0, R), 0);
}

TEST(Math1Exchange, SortSwapAndExChange) {
  double A = 2.0, B = 1.0;
  EXPECT_TRUE(SortSwap(A, B, true));
  EXPECT_EQ(std::pair(A, B), std::pair(1.0, 2.0));
  EXPECT_FALSE(SortSwap(A, B, true));
  EXPECT_TRUE(SortSwap(A, B, false));
  double C = 3.0, E = 3.0;
  EXPECT_TRUE(SortSwap(C, E, true));  // equal values count as exchanged
  EXPECT_FALSE(SortSwap(C, E, false));
  std::string S1 = "left", S2 = "right";
  ExChange(S1, S2);
  EXPECT_EQ(S1, "right");
  char Block1[5] = "abcd", Block2[5] = "wxyz";
  ExChange(Block1, Block2, 3);
  ExChange(nullptr, Block2, 3);
  EXPECT_STREQ(Block1, "wxyd");
  EXPECT_STREQ(Block2, "abcz");
}

}  // namespace
}  // namespace nux
