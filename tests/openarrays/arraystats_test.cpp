#include "nux/openarrays/arraystats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "nux/host/random.h"

namespace nux {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(Extremes, FirstOccurrenceAndEmptyValues) {
  int32_t Pos = -5;
  EXPECT_EQ(MaxArray(TDoubleArray{3, 1, 2}, Pos), 3.0);
  EXPECT_EQ(Pos, 0);
  EXPECT_EQ(MinArray(TIntArray{4, 1, 1, 5}, Pos), 1);
  EXPECT_EQ(Pos, 1);
  Pos = 7;
  EXPECT_EQ(MaxArray(TDoubleArray{}, Pos), -2147483648.0);
  EXPECT_EQ(MinArray(TDoubleArray{}, Pos), 2147483647.0);
  EXPECT_EQ(Pos, 7);
  int32_t C = -1, R = -1;
  EXPECT_EQ(MaxArray(TDouble2DArray{{1, 9}, {9, 2}}, C, R), 9.0);
  EXPECT_EQ(C, 0);
  EXPECT_EQ(R, 1);
  EXPECT_EQ(MinArray(TInt4DArray{{{{3, -2}}}}), -2);
  EXPECT_EQ(MaxArray(TDouble2DArray{{1, 2}, {3}}), -2147483648.0);  // ragged
}

TEST(Extremes, MinMaxForms) {
  double Mn = 0, Mx = 0;
  EXPECT_EQ(MinMaxArray(TDouble3DArray{{{2, -1}}, {{7, 0}}}, Mn, Mx), 0);
  EXPECT_EQ(Mn, -1.0);
  EXPECT_EQ(Mx, 7.0);
  const double Raw[] = {5, 3, 8};
  EXPECT_EQ(MinMaxArray(Raw, 3, Mn, Mx), 0);
  EXPECT_EQ(Mn, 3.0);
  EXPECT_EQ(Mx, 8.0);
  EXPECT_EQ(MinMaxArray(nullptr, 3, Mn, Mx), -1);
  int32_t MinP = -1, MaxP = -1;
  EXPECT_EQ(MinMaxArray(TDoubleArray{9, 4, 6, 4, 6}, 1, 4, Mn, Mx, MinP, MaxP), 0);
  EXPECT_EQ(MinP, 1);
  EXPECT_EQ(MaxP, 2);
  EXPECT_EQ(MinMaxArray(TDoubleArray{9, 4}, 1, 2, Mn, Mx, MinP, MaxP), -2);
  int32_t MinC, MinR, MaxC, MaxR;
  EXPECT_EQ(MinMaxArray(TDouble2DArray{{1, 5}, {0, 5}}, 0, 0, 1, 1, Mn, Mx, MinC, MinR, MaxC, MaxR),
            0);
  EXPECT_EQ(MinC, 1);
  EXPECT_EQ(MinR, 0);
  EXPECT_EQ(MaxC, 0);
  EXPECT_EQ(MaxR, 1);
  float Fm, FM;
  EXPECT_EQ(MinMaxArray(TSingleArray{}, Fm, FM), -1);
}

TEST(Moments, MeanStdDevRangesAndOffsets) {
  double M = 5, S = 5;
  EXPECT_EQ(MeanArray(TDoubleArray{1, 2, 3, 4}, 1, 3, M), 0);
  EXPECT_EQ(M, 3.0);
  EXPECT_EQ(MeanArray(TDoubleArray{1, 2}, 1, 0, M), -2);
  EXPECT_EQ(M, 0.0);
  EXPECT_EQ(MeanArray(TIntArray{}, 0, 0, M), -1);
  EXPECT_EQ(StdDevArray(TIntArray{4}, 0, 0, S), 0);
  EXPECT_EQ(S, 0.0);
  // Values on a large offset: raw power sums would lose all digits here.
  TDoubleArray Off{1e9 + 4, 1e9 + 7, 1e9 + 13, 1e9 + 16};
  EXPECT_EQ(StdDevArray(Off, 0, 3, S), 0);
  EXPECT_NEAR(S, std::sqrt(30.0), 1e-12);
  const TInt2DArray I{{1, 2, 3}, {4, 5, 6}};
  EXPECT_EQ(MeanArray(I, 0, 1, 1, 2, M), 0);
  EXPECT_EQ(M, 4.0);
  EXPECT_EQ(StdDevArray(I, 0, 0, 1, 2, S), 0);
  EXPECT_NEAR(S, std::sqrt(3.5), 1e-14);  // all six values
  EXPECT_EQ(
      MeanArray(TDouble3DArray(2, TDouble2DArray(2, TDoubleArray(2, 1.5))), 0, 0, 0, 1, 1, 2, M),
      -2);
}

TEST(Moments, MaskedSumsTraceSquaredDiffsCorrelation) {
  double Sum = 0;
  EXPECT_EQ(SumArrayMasked(TDouble2DArray{{1, 2}, {3, 4}},
                           TBool2DArray{{false, true}, {false, false}}, Sum),
            3);
  EXPECT_EQ(Sum, 8.0);
  EXPECT_EQ(SumArrayMasked(TDouble2DArray{{1}}, TBool2DArray{{false, true}}, Sum), -1);
  int64_t ISum = 0;
  EXPECT_EQ(SumArrayMasked(TInt2DArray{{INT32_MAX, INT32_MAX}}, TBool2DArray{}, ISum), 2);
  EXPECT_EQ(ISum, 2LL * INT32_MAX);
  double T = 0;
  EXPECT_EQ(TraceOfArray(TDouble2DArray{{1, 2}, {3, 4}}, T), 0);
  EXPECT_EQ(T, 5.0);
  EXPECT_EQ(TraceOfArray(TDouble2DArray{{1, 2}}, T), -2);
  EXPECT_EQ(SumOfSquaredDiffs(TDoubleArray{1, 2}, TDoubleArray{2, 4}), 5.0);
  EXPECT_EQ(SumOfSquaredDiffs(TDoubleArray{1, 2}, TDoubleArray{2}), -2.0);
  EXPECT_EQ(SumOfSquaredDiffs(TDoubleArray{1, 2}, TDouble2DArray{{0, 0}}, 1), -3.0);
  EXPECT_EQ(SumOfSquaredDiffs(TDoubleArray{1, 2}, TDouble2DArray{{0, 0}, {1, 1}}, 1), 1.0);

  const TDouble2DArray A{
      {1e9 + 1, 1e9 + 2, 1e9 + 3, 1e9 + 5}, {2, 4, 6, 10}, {4, 3, 2, 0}, {7, 7, 7, 7}};
  EXPECT_NEAR(PearsonCorrCoeffColsOfArray(A, 0, 1), 1.0, 1e-12);
  EXPECT_NEAR(PearsonCorrCoeffColsOfArray(A, 1, 2), -1.0, 1e-12);
  EXPECT_EQ(PearsonCorrCoeffColsOfArray(A, 1, 3), 0.0);
  EXPECT_EQ(PearsonCorrCoeffColsOfArray(A, 1, 4), 0.0);
  EXPECT_EQ(PearsonCorrCoeffColsOfArray(TDouble2DArray{{1, 2}, {2, 3}}, 0, 1), 0.0);
}

TEST(Percentiles, RankSelection) {
  EXPECT_EQ(PercentileArray(50, TDoubleArray{5, 1, 4, 2, 3}), 3.0);
  EXPECT_EQ(PercentileArray(100, TDoubleArray{5, 1, 4, 2, 3}), 5.0);
  EXPECT_EQ(PercentileArray(-10, TIntArray{5, 1, 4}), 1.0);
  EXPECT_EQ(PercentileArray(50, TDoubleArray{9, 5, 1, 4, 2, 3, 9}, 5, 1), 3.0);  // reversed
  EXPECT_TRUE(std::isnan(PercentileArray(50, TDoubleArray{})));
  EXPECT_TRUE(std::isnan(PercentileArray(NaN, TDoubleArray{1})));
  const TDouble2DArray A{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  // Block of columns 1..2, rows 0..1: {4, 5, 7, 8}, rank round(2) = 2.
  EXPECT_EQ(PercentileArray(50, A, 2, 1, 1, 0), 7.0);
  EXPECT_EQ(PercentileArray(0, A, -5, -5, 99, 99), 1.0);
  // NaN elements are left out, as by the containers: rank round(1.5) = 2 of {1, 2, 3, 4}.
  EXPECT_EQ(PercentileArray(37.5, TDoubleArray{NaN, 4, NaN, 1, 3, 2}), 3.0);
  EXPECT_EQ(PercentileArray(100, TDouble2DArray{{NaN, 2}, {7, NaN}}, 0, 0, 1, 1), 7.0);
  EXPECT_TRUE(std::isnan(PercentileArray(50, TDoubleArray{NaN, NaN})));
}

TEST(Counting, ValuesTrueCellsAndFrequencies) {
  EXPECT_EQ(CountValues(TDoubleArray{1, 2, 3, 4}, 0, 3, 2.0, 3.0), 2);
  EXPECT_EQ(CountValues(TDoubleArray{1, 2, 3, 4}, 0, 3, 3.0, 2.0), -2);
  EXPECT_EQ(CountValues(TInt2DArray{{1, 5}, {5, 9}}, 0, 1, 1, 1, 5, 5), 1);
  const TBool2DArray B{{true, false, true}, {true, true, false}};
  EXPECT_EQ(CountTrueCellsOfArray(B), 4);
  EXPECT_EQ(CountTrueCellsOfArray(B, 0, 0, 2, 1), 2);  // all columns, rows 1..2
  EXPECT_EQ(CountTrueCellsOfArray(B, 0, 2, 0, 0), -2);
  EXPECT_EQ(CountTrueCellsOfArray(TBoolArray{}), -1);

  TIntArray Bins;
  int32_t Under = -1, Over = -1, MaxCount = -1;
  const TDoubleArray X{-0.5, 0.0, 0.1, 0.35, 0.95, 1.0, 1.29, 1.3, NaN};
  ASSERT_EQ(FrequDistOfArray(X, 0, 0, 0.0, 1.0, 0.3, Bins, Under, Over, MaxCount), 0);
  EXPECT_EQ(Bins, (TIntArray{2, 1, 0, 2}));  // 0.95 and 1.0 in bin 3
  EXPECT_EQ(Under, 1);
  EXPECT_EQ(Over, 2);  // 1.29 (bin 4 does not exist) and 1.3
  EXPECT_EQ(MaxCount, 2);
  EXPECT_EQ(FrequDistOfArray(X, 0, 9, 0.0, 1.0, 0.3, Bins, Under, Over, MaxCount), -1);
  EXPECT_EQ(FrequDistOfArray(X, 3, 2, 0.0, 1.0, 0.3, Bins, Under, Over, MaxCount), -2);
  EXPECT_EQ(FrequDistOfArray(X, 0, 0, 1.0, 1.0, 0.3, Bins, Under, Over, MaxCount), -3);
  EXPECT_EQ(FrequDistOfArray(X, 0, 0, 0.0, 1.0, 0.0, Bins, Under, Over, MaxCount), -4);
  EXPECT_EQ(FrequDistOfArray(X, 0, 0, 0.0, 1.0, 1e-4, Bins, Under, Over, MaxCount), -5);

  const TDouble2DArray A{{0.1, 0.2}, {0.5, 0.9}};
  ASSERT_EQ(FrequDistOfArray(A, TBool2DArray{{false, true}, {false, false}}, 0, 0, 0, 0, 0.0, 1.0,
                             0.5, Bins, Under, Over, MaxCount),
            0);
  EXPECT_EQ(Bins, (TIntArray{1, 2, 0}));
  EXPECT_EQ(FrequDistOfArray(A, TBool2DArray{{false}}, 0, 0, 0, 0, 0.0, 1.0, 0.5, Bins, Under, Over,
                             MaxCount),
            -6);
}

TEST(Searching, PlainAndSorted) {
  EXPECT_EQ(FindInArray(3, TIntArray{1, 3, 3}), 1);
  EXPECT_EQ(FindInArray(4, TIntArray{1, 3}), -2);
  EXPECT_EQ(FindInArray(4, TIntArray{}), -1);
  const TStrArray S{"Alpha", "beta", "Gamma"};
  EXPECT_EQ(FindInArray("BETA", S, true, false), 1);
  EXPECT_EQ(FindInArray("BETA", S, false, false), -2);
  EXPECT_EQ(FindInArray("amm", S, false, true), 2);
  EXPECT_EQ(FindInArray("ALP", S, true, true), 0);

  const TDoubleArray A{1, 2, 4, 8, 16};
  EXPECT_EQ(FindInSortedArray(4.0, A, true), 2);
  EXPECT_EQ(FindInSortedArray(5.0, A, true), 2);
  EXPECT_EQ(FindInSortedArray(6.0, A, true), 3);  // tie: the upper neighbour
  EXPECT_EQ(FindInSortedArray(16.0, A, true), 4);
  EXPECT_EQ(FindInSortedArray(17.0, A, true), -2);
  EXPECT_EQ(FindInSortedArray(NaN, A, true), -2);
  EXPECT_EQ(FindInSortedArray(1.0, TDoubleArray{}, true), -1);
  const TIntArray D{16, 8, 4, 2, 1};
  EXPECT_EQ(FindInSortedArray(7, D, false), 1);
  EXPECT_EQ(FindInSortedArray(0, D, false), -2);
}

TEST(Ordering, SortWithIndexAndDuplicates) {
  TDoubleArray A{3.0, 1.0, 2.0, 1.0};
  TIntArray Ix;
  ASSERT_EQ(SortArray(true, A, Ix), 0);
  EXPECT_EQ(A, (TDoubleArray{1, 1, 2, 3}));
  ASSERT_EQ(Ix.size(), 4u);
  EXPECT_EQ(Ix[2], 3);
  EXPECT_EQ(Ix[3], 1);
  EXPECT_TRUE((Ix[0] == 2 && Ix[1] == 4) || (Ix[0] == 4 && Ix[1] == 2));
  TIntArray I{5, -1, 7};
  ASSERT_EQ(SortArray(false, I, Ix), 0);
  EXPECT_EQ(I, (TIntArray{7, 5, -1}));
  EXPECT_EQ(Ix, (TIntArray{3, 1, 2}));
  TIntArray One{1};
  EXPECT_EQ(SortArray(true, One, Ix), -1);

  TIntArray Dup{3, 1, 3, 2, 1};
  EXPECT_EQ(SortAndRemoveDuplicates(Dup, true), 2);
  EXPECT_EQ(Dup, (TIntArray{1, 2, 3}));
  EXPECT_EQ(SortAndRemoveDuplicates(One, true), -1);
}

TEST(Ordering, ShuffleReachesEveryPermutation) {
  SetRandSeed(5);
  std::map<TIntArray, int> Seen;
  for (int T = 0; T < 3000; ++T) {
    TIntArray A{0, 1, 2};
    ASSERT_EQ(ShuffleArray(A), 0);
    ++Seen[A];
  }
  // Six permutations, each about 500 times (a draw from 0..k-1 would give only two).
  ASSERT_EQ(Seen.size(), 6u);
  for (const auto& [P, N] : Seen) EXPECT_GT(N, 380);
  TDoubleArray Single{1.0};
  EXPECT_EQ(ShuffleArray(Single), -1);
}

TEST(ShapeTests, MonotoneDichotomousLinearity) {
  EXPECT_TRUE(IsMonotone(TDoubleArray{1, 1, 2, 2, 3}));
  EXPECT_FALSE(IsStrictlyMonotone(TDoubleArray{1, 1, 2, 2, 3}));
  EXPECT_TRUE(IsStrictlyMonotone(TIntArray{5, 3, 1}));
  EXPECT_FALSE(IsMonotone(TIntArray{1, 2, 1}));
  EXPECT_TRUE(IsMonotone(TIntArray{3, 3, 3, 2}));
  EXPECT_FALSE(IsMonotone(TDoubleArray{1, NaN, 3}));
  EXPECT_TRUE(IsMonotone(TIntArray{INT32_MIN, INT32_MAX, INT32_MAX}));
  EXPECT_TRUE(IsStrictlyMonotone(TIntArray{2, 1}));

  double Lo = -1, Hi = -1;
  EXPECT_TRUE(IsDichotomous(TDoubleArray{3, 1, 3, 1}, Lo, Hi));
  EXPECT_EQ(Lo, 1.0);
  EXPECT_EQ(Hi, 3.0);
  EXPECT_FALSE(IsDichotomous(TDoubleArray{3, 1, 2}, Lo, Hi));
  EXPECT_FALSE(IsDichotomous(TDoubleArray{4}, Lo, Hi));
  EXPECT_EQ(Lo, 0.0);
  int32_t ILo, IHi;
  EXPECT_FALSE(IsDichotomous(TIntArray{2, 2}, ILo, IHi));

  TIntArray Breaks{42};
  EXPECT_EQ(CheckLinearity(TIntArray{1, 2}, Breaks), 0);
  EXPECT_EQ(Breaks, TIntArray{42});
  EXPECT_EQ(CheckLinearity(TIntArray{0, 1, 2, 4, 6, 7}, Breaks), 2);
  EXPECT_EQ(Breaks, (TIntArray{2, 4}));
  EXPECT_EQ(CheckLinearity(TDoubleArray{0, 1, 2.05, 3.0}, 0.1, Breaks), 0);
  EXPECT_TRUE(Breaks.empty());
}

TEST(LocalFilters, MeanAndMedian) {
  EXPECT_EQ(LocalMean(TDoubleArray{1, 2, 3}, 0, 1, 0, 2), 1.5);
  EXPECT_EQ(LocalMean(TIntArray{1, 2, 3, 10}, 2, 5, 1, 3), 5.0);
  EXPECT_EQ(LocalMedian(TDoubleArray{9, 1, 5, 3}, 1, 1, 0, 3), 5.0);
  EXPECT_EQ(LocalMedian(TIntArray{9, 1, 4, 3}, 1, 1, 1, 3), 2.5);  // {1, 4}
  EXPECT_EQ(LocalMean(TDoubleArray{}, 0, 1, 0, 0), 0.0);
  EXPECT_EQ(LocalMedian(TDoubleArray{7}, 99, -3, 5, -5), 7.0);
}

TEST(Distances, ModesAndCodes) {
  // Objects are rows: object 0 = (1, 2, 3), object 1 = (2, 0, 3).
  const TDouble2DArray A{{1, 2}, {2, 0}, {3, 3}};
  double D = -1;
  ASSERT_EQ(DistanceOfObjects(A, dmCityBlock, 0, 1, 0, 2, D), 0);
  EXPECT_EQ(D, 3.0);
  ASSERT_EQ(DistanceOfObjects(A, dmEuclidSqr, 0, 1, 0, 2, D), 0);
  EXPECT_EQ(D, 5.0);
  ASSERT_EQ(DistanceOfObjects(A, dmEuclid, 0, 1, 0, 2, D), 0);
  EXPECT_DOUBLE_EQ(D, std::sqrt(5.0));
  ASSERT_EQ(DistanceOfObjects(A, dmTanimoto, 0, 1, 0, 2, D), 0);
  EXPECT_DOUBLE_EQ(D, 11.0 / (14.0 + 13.0 - 11.0));
  ASSERT_EQ(DistanceOfObjects(A, dmDice, 0, 1, 1, 2, D), 0);
  EXPECT_DOUBLE_EQ(D, 2.0 * 9.0 / (13.0 + 9.0));
  EXPECT_EQ(DistanceOfObjects(A, dmUser, 0, 1, 0, 2, D), -1);
  EXPECT_EQ(D, 0.0);
  EXPECT_EQ(DistanceOfObjects(A, dmEuclid, 0, 2, 0, 2, D), -2);
  EXPECT_EQ(DistanceOfObjects(A, dmEuclid, 0, 1, 0, 3, D), -3);
  EXPECT_EQ(DistanceOfObjects(A, dmEuclid, 0, 1, 2, 1, D), -4);
}

}  // namespace
}  // namespace nux
