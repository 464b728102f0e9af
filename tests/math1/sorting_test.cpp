#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nux/math1/math1.h"

namespace nux {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Resets the progress hooks around each test, since they are process-wide.
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

TEST_F(Math1Sorting, CombSortReportsOnePerPass) {
  TDoubleArray One{4.0};
  std::vector<double> Reported;
  MathFeedBackProc = [&](double P) { Reported.push_back(P); };
  SortArray(One, true);
  EXPECT_EQ(ProcStat, 0.0);
  EXPECT_TRUE(Reported.empty());
  // Gaps 2, 1, 1: (3,1,2) -> (2,1,3) -> (1,2,3) -> no exchange.
  TDoubleArray Three{3.0, 1.0, 2.0};
  SortArray(Three, true);
  EXPECT_EQ(Three, (TDoubleArray{1.0, 2.0, 3.0}));
  EXPECT_EQ(ProcStat, 3.0);
  EXPECT_EQ(Reported, (std::vector<double>{1.0, 2.0, 3.0}));
}

TEST_F(Math1Sorting, CombSortMatchesAReferenceSort) {
  for (size_t N : {0u, 2u, 3u, 10u, 13u, 100u, 1000u, 4099u}) {
    for (int32_t Distinct : {2, 50, 1000000}) {
      auto D = RandomData<double>(N, Distinct);
      auto F = RandomData<float>(N, Distinct);
      auto I = RandomData<int32_t>(N, Distinct);
      for (bool Asc : {true, false}) {
        auto ExpD = D;
        auto ExpF = F;
        auto ExpI = I;
        if (Asc) {
          std::sort(ExpD.begin(), ExpD.end());
          std::sort(ExpF.begin(), ExpF.end());
          std::sort(ExpI.begin(), ExpI.end());
        } else {
          std::sort(ExpD.rbegin(), ExpD.rend());
          std::sort(ExpF.rbegin(), ExpF.rend());
          std::sort(ExpI.rbegin(), ExpI.rend());
        }
        auto D2 = D;
        auto F2 = F;
        auto I2 = I;
        SortArray(D2, Asc);
        SortArray(F2, Asc);
        SortArray(I2, Asc);
        ASSERT_EQ(D2, ExpD) << N;
        ASSERT_EQ(F2, ExpF) << N;
        ASSERT_EQ(I2, ExpI) << N;
      }
    }
  }
}

TEST_F(Math1Sorting, NaNStaysAndSortsTheStretchesBetween) {
  auto D = RandomData<double>(2000, 100000);
  for (size_t i = 0; i < D.size(); i += 97) D[i] = NaN;
  auto Finite = D;
  SortArray(D, true);  // terminates
  std::erase_if(Finite, [](double X) { return std::isnan(X); });
  auto Left = D;
  std::erase_if(Left, [](double X) { return std::isnan(X); });
  std::sort(Finite.begin(), Finite.end());
  std::sort(Left.begin(), Left.end());
  EXPECT_EQ(Left, Finite);  // nothing lost or duplicated
  EXPECT_EQ(std::count_if(D.begin(), D.end(), [](double X) { return std::isnan(X); }), 21);
  for (size_t i = 0; i + 1 < D.size(); ++i)
    if (!std::isnan(D[i]) && !std::isnan(D[i + 1])) {
      ASSERT_LE(D[i], D[i + 1]) << i;
    }
}

TEST_F(Math1Sorting, UntypedSortByKind) {
  TDoubleArray D{3.0, -1.0, 2.0};
  TSingleArray F{3.0f, -1.0f, 2.0f};
  TIntArray I{3, -1, 2};
  SortArray(D.data(), 3, vkDouble, true);
  SortArray(F.data(), 3, vkSingle, false);
  SortArray(I.data(), 3, vkLongint, true);
  EXPECT_EQ(D, (TDoubleArray{-1.0, 2.0, 3.0}));
  EXPECT_EQ(F, (TSingleArray{3.0f, 2.0f, -1.0f}));
  EXPECT_EQ(I, (TIntArray{-1, 2, 3}));
  SortArray(D.data(), 3, vkReal, false);
  SortArray(I.data(), 2, vkInteger, false);  // only the first two
  EXPECT_EQ(D, (TDoubleArray{3.0, 2.0, -1.0}));
  EXPECT_EQ(I, (TIntArray{2, -1, 3}));
  TIntArray Same{3, 1, 2};
  SortArray(Same.data(), 3, vkByte, true);
  SortArray(Same.data(), 3, static_cast<TVarKind>(99), true);
  SortArray(nullptr, 3, vkDouble, true);
  SortArray(Same.data(), -4, vkInteger, true);
  EXPECT_EQ(Same, (TIntArray{3, 1, 2}));
  EXPECT_GT(ProcStat, 0.0);
}

TEST_F(Math1Sorting, SortIntoArrayKeepsOrder) {
  auto Into = [](TDoubleArray A, double V, bool Asc, bool Dup) {
    const int32_t Ix = SortIntoArray(A, V, Asc, Dup);
    return std::make_pair(Ix, A);
  };
  EXPECT_EQ(Into({1, 3, 5}, 2, true, false), std::make_pair(1, TDoubleArray{1, 2, 3}));
  EXPECT_EQ(Into({1, 3, 5}, 6, true, false), std::make_pair(-1, TDoubleArray{1, 3, 5}));
  EXPECT_EQ(Into({1, 3, 5}, 3, true, false), std::make_pair(-1, TDoubleArray{1, 3, 5}));
  EXPECT_EQ(Into({1, 3, 5}, 3, true, true), std::make_pair(1, TDoubleArray{1, 3, 3}));
  EXPECT_EQ(Into({1, 3, 5}, 5, true, true), std::make_pair(2, TDoubleArray{1, 3, 5}));
  EXPECT_EQ(Into({1, 3, 5}, 0, true, true), std::make_pair(0, TDoubleArray{0, 1, 3}));
  EXPECT_EQ(Into({5, 3, 1}, 4, false, false), std::make_pair(1, TDoubleArray{5, 4, 3}));
  EXPECT_EQ(Into({5, 3, 1}, 0, false, false), std::make_pair(-1, TDoubleArray{5, 3, 1}));
  EXPECT_EQ(Into({5, 3, 1}, 1, false, true), std::make_pair(2, TDoubleArray{5, 3, 1}));
  EXPECT_EQ(Into({}, 1, true, true).first, -1);
  EXPECT_EQ(Into({1, 3, 5}, NaN, true, true).first, -1);
  TIntArray I{10, 20, 30, 40};
  EXPECT_EQ(SortIntoArray(I, 25, true, false), 2);
  EXPECT_EQ(I, (TIntArray{10, 20, 25, 30}));
  TSingleArray F{4.0f, 2.0f};
  EXPECT_EQ(SortIntoArray(F, 3.0f, false, false), 1);
  EXPECT_EQ(F, (TSingleArray{4.0f, 3.0f}));
}

TEST_F(Math1Sorting, SortIntoArrayKeepsTheBestCandidates) {
  // The k nearest of a stream, as the neighbour searches keep them.
  const auto Stream = RandomData<double>(5000, 1000000);
  TDoubleArray Best(7, std::numeric_limits<double>::max());
  for (double X : Stream) SortIntoArray(Best, X, true, true);
  auto Expected = Stream;
  std::partial_sort(Expected.begin(), Expected.begin() + 7, Expected.end());
  Expected.resize(7);
  EXPECT_EQ(Best, Expected);
}

TEST_F(Math1Sorting, UntypedInsertionIsOneBased) {
  TDoubleArray D{1.0, 3.0, 5.0};
  const double V = 4.0;
  EXPECT_EQ(SortIntoArray(D.data(), 3, vkDouble, &V, true, false), 3);
  EXPECT_EQ(D, (TDoubleArray{1.0, 3.0, 4.0}));
  const double Big = 9.0;
  EXPECT_EQ(SortIntoArray(D.data(), 3, vkDouble, &Big, true, false), 0);
  TIntArray I{9, 5, 1};
  const int32_t W = 7;
  EXPECT_EQ(SortIntoArray(I.data(), 3, vkInteger, &W, false, false), 2);
  EXPECT_EQ(I, (TIntArray{9, 7, 5}));
  EXPECT_EQ(SortIntoArray(I.data(), 3, vkString, &W, false, false), 0);
  EXPECT_EQ(SortIntoArray(I.data(), 3, vkInteger, nullptr, false, false), 0);
  EXPECT_EQ(SortIntoArray(I.data(), 0, vkInteger, &W, false, false), 0);
  TSingleArray F{1.0f, 2.0f, 3.0f};
  const float X = 0.5f;
  InsertIntoArray(F.data(), 3, vkSingle, &X, 2);
  EXPECT_EQ(F, (TSingleArray{1.0f, 0.5f, 2.0f}));
  InsertIntoArray(F.data(), 3, vkSingle, &X, 4);
  InsertIntoArray(F.data(), 3, vkSingle, &X, 0);
  EXPECT_EQ(F, (TSingleArray{1.0f, 0.5f, 2.0f}));
}

TEST_F(Math1Sorting, InsertIntoArrayShiftsAndDropsTheLast) {
  TDoubleArray D{1.0, 2.0, 3.0};
  InsertIntoArray(D, 9.0, 0);
  EXPECT_EQ(D, (TDoubleArray{9.0, 1.0, 2.0}));
  InsertIntoArray(D, 7.0, 2);
  EXPECT_EQ(D, (TDoubleArray{9.0, 1.0, 7.0}));
  InsertIntoArray(D, 5.0, 3);
  InsertIntoArray(D, 5.0, -1);
  EXPECT_EQ(D, (TDoubleArray{9.0, 1.0, 7.0}));
  TIntArray I{1, 2};
  InsertIntoArray(I, 0, 1);
  EXPECT_EQ(I, (TIntArray{1, 0}));
}

TEST_F(Math1Sorting, QuickSelectFindsOrderStatistics) {
  TDoubleArray A{5.0, 1.0, 9.0, 3.0};
  EXPECT_EQ(QuickSelect(A, 3, 0, 3), 9.0);
  TDoubleArray B{5.0, 1.0, 9.0, 3.0};
  EXPECT_EQ(QuickSelect(B, 0, 0, 3), 1.0);
  for (size_t N : {1u, 2u, 5u, 64u, 1001u}) {
    for (int32_t Distinct : {3, 1000000}) {
      const auto D = RandomData<double>(N, Distinct);
      auto Sorted = D;
      std::sort(Sorted.begin(), Sorted.end());
      for (size_t K = 0; K < N; K += 1 + N / 17) {
        auto Work = D;
        ASSERT_EQ(QuickSelect(Work, static_cast<int32_t>(K), 0, static_cast<int32_t>(N - 1)),
                  Sorted[K])
            << N << " " << K;
        auto W2 = Work;
        std::sort(W2.begin(), W2.end());
        ASSERT_EQ(W2, Sorted);  // reordered, nothing lost
      }
    }
  }
}

TEST_F(Math1Sorting, QuickSelectWorksOnASubrangeOnly) {
  const TDoubleArray D{50, 40, 9, 7, 8, 6, -1, -2};
  auto Work = D;
  // Elements 2..5 are (9, 7, 8, 6); position 3 of the sorted range holds 7.
  EXPECT_EQ(QuickSelect(Work, 3, 2, 5), 7.0);
  EXPECT_EQ(Work[0], 50.0);
  EXPECT_EQ(Work[1], 40.0);
  EXPECT_EQ(Work[6], -1.0);
  EXPECT_EQ(Work[7], -2.0);
}

TEST_F(Math1Sorting, QuickSelectTerminatesOnBadArguments) {
  const TDoubleArray D{4.0, 8.0, 1.0, 6.0};
  auto Select = [&](int32_t K, int32_t Lo, int32_t Hi) {
    auto Work = D;
    return QuickSelect(Work, K, Lo, Hi);
  };
  EXPECT_EQ(Select(2, 3, 1), 0.0);   // empty range
  EXPECT_EQ(Select(-5, 0, 3), 1.0);  // K below the range: smallest
  EXPECT_EQ(Select(17, 0, 3), 8.0);  // K above the range: largest
  EXPECT_EQ(Select(1, 1, 3), 1.0);   // positions count from the array start: (8, 1, 6) -> 1
  EXPECT_EQ(Select(2, 1, 3), 6.0);
  EXPECT_EQ(Select(0, -10, 100), 1.0);  // clipped to the array
  EXPECT_EQ(Select(3, 2, 1000), 6.0);
  TDoubleArray Empty;
  EXPECT_EQ(QuickSelect(Empty, 0, 0, 0), 0.0);
  EXPECT_EQ(QuickSelect(Empty, 0, 0, 0, 0.0), 0.0);
}

TEST_F(Math1Sorting, QuickSelectWithNaNAndDuplicates) {
  auto D = RandomData<double>(5000, 1000);
  for (size_t i = 0; i < D.size(); i += 3) D[i] = NaN;
  for (int32_t K : {0, 100, 2500, 4999}) {
    auto Work = D;
    QuickSelect(Work, K, 0, 4999);  // terminates, stays in bounds (sanitizer build)
    EXPECT_EQ(std::count_if(Work.begin(), Work.end(), [](double X) { return std::isnan(X); }),
              1667);
  }
  TDoubleArray AllNaN(100, NaN);
  EXPECT_TRUE(std::isnan(QuickSelect(AllNaN, 50, 0, 99)));
  // Long runs of one value must not cost a round per element.
  TDoubleArray Zeros(1000000, 0.0);
  Zeros[10] = 1.0;
  Zeros[999990] = -1.0;
  EXPECT_EQ(QuickSelect(Zeros, 999999, 0, 999999), 1.0);
  Zeros[10] = 1.0;
  EXPECT_EQ(QuickSelect(Zeros, 500000, 0, 999999), 0.0);
  TDoubleArray Same(1000, 3.5);
  EXPECT_EQ(QuickSelect(Same, 700, 0, 999), 3.5);
}

TEST_F(Math1Sorting, QuickSelectOnOrderedAndCraftedInputs) {
  const size_t N = 200000;
  TDoubleArray Asc(N), Desc(N), Organ(N);
  for (size_t i = 0; i < N; ++i) {
    Asc[i] = static_cast<double>(i);
    Desc[i] = static_cast<double>(N - i);
    Organ[i] = static_cast<double>(std::min(i, N - i));
  }
  EXPECT_EQ(QuickSelect(Asc, 12345, 0, N - 1), 12345.0);
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
  auto Data = RandomData<double>(3000, 40);
  for (size_t i = 0; i < Data.size(); i += 2) Data[i] = 0.0;
  auto Sorted = Data;
  std::sort(Sorted.begin(), Sorted.end());
  for (int32_t K = 0; K < 3000; K += 37) ASSERT_EQ(QuickSelect(Data, K, 0, 2999, 0.0), Sorted[K]);
  // A subrange: elements 1..3 are (0, 0, 4).
  EXPECT_EQ(QuickSelect(D, 3, 1, 3, 0.0), 4.0);
  EXPECT_EQ(QuickSelect(D, 2, 1, 3, 0.0), 0.0);
  // FreqValue NaN matches nothing: a plain selection on a copy.
  EXPECT_EQ(QuickSelect(D, 4, 0, 4, NaN), 4.0);
  EXPECT_EQ(QuickSelect(D, -3, 0, 4, 0.0), -2.0);
}

TEST(Math1Histogram, BinAndResidual) {
  double R = 0.0;
  EXPECT_EQ(HistoBinRef(-0.5, 0.0, 1.0, R), -1);
  EXPECT_DOUBLE_EQ(R, 0.5);
  EXPECT_EQ(HistoBinRef(7.0, 1.0, 2.0, R), 3);
  EXPECT_DOUBLE_EQ(R, 0.0);
  EXPECT_EQ(HistoBinRef(7.5, 1.0, 2.0, R), 3);
  EXPECT_DOUBLE_EQ(R, 0.5);
  EXPECT_EQ(HistoBinRef(1e300, 0.0, 1.0, R), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(HistoBinRef(-1e300, 0.0, 1.0, R), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(HistoBinRef(3.0, 1.0, 0.0, R), 0);
  EXPECT_DOUBLE_EQ(R, 2.0);
  EXPECT_EQ(HistoBinRef(NaN, 1.0, 1.0, R), 0);
  EXPECT_TRUE(std::isnan(R));
}

TEST(Math1Exchange, SortSwapAndExChange) {
  double A = 2.0, B = 1.0;
  EXPECT_TRUE(SortSwap(A, B, true));
  EXPECT_EQ(A, 1.0);
  EXPECT_EQ(B, 2.0);
  EXPECT_FALSE(SortSwap(A, B, true));
  EXPECT_TRUE(SortSwap(A, B, false));
  EXPECT_EQ(A, 2.0);
  double C = 3.0, E = 3.0;
  EXPECT_TRUE(SortSwap(C, E, true));
  EXPECT_FALSE(SortSwap(C, E, false));
  int32_t I = 5, J = 9;
  EXPECT_FALSE(SortSwap(I, J, true));
  EXPECT_TRUE(SortSwap(I, J, false));
  EXPECT_EQ(I, 9);
  std::string S1 = "left", S2 = "right";
  ExChange(S1, S2);
  EXPECT_EQ(S1, "right");
  char16_t C1 = u'a', C2 = u'z';
  ExChange(C1, C2);
  EXPECT_EQ(C1, u'z');
  long double L1 = 1.0L, L2 = 2.0L;
  ExChange(L1, L2);
  EXPECT_EQ(L1, 2.0L);
  int8_t Small1 = -3, Small2 = 4;
  ExChange(Small1, Small2);
  EXPECT_EQ(Small1, 4);
  char Block1[5] = "abcd", Block2[5] = "wxyz";
  ExChange(Block1, Block2, 3);
  EXPECT_STREQ(Block1, "wxyd");
  EXPECT_STREQ(Block2, "abcz");
  ExChange(nullptr, Block2, 3);
  EXPECT_STREQ(Block2, "abcz");
}

}  // namespace
}  // namespace nux
