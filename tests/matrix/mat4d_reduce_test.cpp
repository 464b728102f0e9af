// The layer reductions of TMat4D on the shared worker scheduler.
#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <thread>

#include "nux/frame/moments.h"
#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "nux/kernels/dispatch.h"
#include "nux/matrix/matrix.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct TProgressReset {
  TProgressReset() { ProcStat = 0.0; }
  ~TProgressReset() {
    AbortMathProc = false;
    MathFeedBackProc = nullptr;
    ProcStat = 0.0;
  }
};

// Reduction Kind (0 mean, 1 maximum, 2 minimum, 3 deviation) over the given ranges.
bool Reduce(TMat4D& M, int Kind, TMatrix* D, int32_t Lc, int32_t Hc, int32_t Lr, int32_t Hr,
            int32_t Ll, int32_t Hl, int32_t Lt, int32_t Ht, int32_t Threads) {
  switch (Kind) {
    case 0:
      return M.MeanOfLayersToMatrix(D, Lc, Hc, Lr, Hr, Ll, Hl, Lt, Ht, Threads);
    case 1:
      return M.MaximumOfLayersToMatrix(D, Lc, Hc, Lr, Hr, Ll, Hl, Lt, Ht, Threads);
    case 2:
      return M.MinimumOfLayersToMatrix(D, Lc, Hc, Lr, Hr, Ll, Hl, Lt, Ht, Threads);
    default:
      return M.StdDevOfLayersToMatrix(D, Lc, Hc, Lr, Hr, Ll, Hl, Lt, Ht, Threads);
  }
}

// An independent reference: the cell's values gathered through GetVal, long double sums.
double Reference(const TMat4D& M, int Kind, int32_t C, int32_t R, int32_t L0, int32_t L1,
                 int32_t T0, int32_t T1) {
  long double S = 0, Best = NaN;
  int64_t N = 0;
  for (int32_t L = L0; L <= L1; ++L)
    for (int32_t T = T0; T <= T1; ++T) {
      const double V = M.GetVal(C, R, L, T);
      S += V;
      ++N;
      if (!std::isnan(V) && (std::isnan(double(Best)) || (Kind == 1 ? V > Best : V < Best)))
        Best = V;
    }
  const long double Mean = S / N;
  if (Kind == 0) return double(Mean);
  if (Kind == 1 || Kind == 2) return double(Best);
  long double Q = 0;
  for (int32_t L = L0; L <= L1; ++L)
    for (int32_t T = T0; T <= T1; ++T)
      Q += (M.GetVal(C, R, L, T) - Mean) * (M.GetVal(C, R, L, T) - Mean);
  return double(std::sqrt(Q / N));
}

TEST(Mat4DReduce, AllReductionsMatchReferenceForEveryThreadCount) {
  SetRandSeed(41);
  TMat4D M(37, 9, 6, 3);
  M.FillRandomGauss(1e6, 3.0);  // a large offset: the raw sums of squares lose every digit
  M.SetVal(4, 2, 3, 2, NaN);    // one NaN cell
  // A cell of minus infinity: a maximum starting from the most negative finite value misses it.
  for (int32_t L = 1; L <= 6; ++L)
    for (int32_t T = 1; T <= 3; ++T) M.SetVal(5, 3, L, T, -std::numeric_limits<double>::infinity());
  // Column 6, row 3 all NaN at layers 2..5, time slot 1..2.
  for (int32_t L = 2; L <= 5; ++L)
    for (int32_t T = 1; T <= 2; ++T) M.SetVal(6, 3, L, T, NaN);
  for (int Kind = 0; Kind < 4; ++Kind) {
    TMatrix Ref;
    ASSERT_TRUE(Reduce(M, Kind, &Ref, 2, 30, 8, 2, 5, 2, 1, 2, 1));  // rows, layers reversed
    ASSERT_EQ(Ref.NrOfColumns(), 29);
    ASSERT_EQ(Ref.NrOfRows(), 7);
    for (int32_t C = 2; C <= 30; ++C)
      for (int32_t R = 2; R <= 8; ++R) {
        const double Want = Reference(M, Kind, C, R, 2, 5, 1, 2), Got = Ref.GetVal(C - 1, R - 1);
        if (std::isnan(Want)) {
          EXPECT_TRUE(std::isnan(Got)) << Kind << " " << C << " " << R;
        } else if (std::isinf(Want)) {
          EXPECT_EQ(Got, Want) << Kind << " " << C << " " << R;
        } else {
          EXPECT_NEAR(Got, Want, 1e-9 * (1 + std::fabs(Want))) << Kind << " " << C << " " << R;
        }
      }
    if (Kind == 1) {
      EXPECT_EQ(Ref.GetVal(4, 2), -std::numeric_limits<double>::infinity());
    }
    for (const int32_t Threads : {2, 3, 64}) {
      TMatrix Got;
      ASSERT_TRUE(Reduce(M, Kind, &Got, 2, 30, 8, 2, 5, 2, 1, 2, Threads));
      EXPECT_EQ(Got.CRCofData(), Ref.CRCofData()) << Kind << " " << Threads;
    }
  }
  // The same bits as the library's stable helpers applied to each cell's series.
  TMatrix Mean, Dev;
  ASSERT_TRUE(M.MeanOfLayersToMatrix(&Mean, 0, 0, 0, 0, 0, 0, 0, 0, 2));
  ASSERT_TRUE(M.StdDevOfLayersToMatrix(&Dev, 0, 0, 0, 0, 0, 0, 0, 0, 2));
  for (int32_t C = 1; C <= 37; C += 3)
    for (int32_t R = 1; R <= 9; ++R) {
      const auto At = [&](int64_t I) {
        return M.GetVal(C, R, int32_t(I / 3 + 1), int32_t(I % 3 + 1));
      };
      const TCentralSums S = CentralSums(18, At);
      if (!std::isnan(S.Mean)) {
        EXPECT_EQ(Mean.GetVal(C, R), StableMean(18, At)) << C << " " << R;
        EXPECT_EQ(Dev.GetVal(C, R), std::sqrt(S.S2 / 18)) << C << " " << R;
      }
    }
  // By hand: one cell over 1, 2, 3, 4 on an offset of 1e9.
  TMat4D H(1, 1, 2, 2);
  H.FillSerial(1e9 + 1, 1.0);
  TMatrix D;
  ASSERT_TRUE(H.StdDevOfLayersToMatrix(&D, 0, 0, 0, 0, 0, 0, 0, 0, 1));
  EXPECT_DOUBLE_EQ(D.GetVal(1, 1), std::sqrt(1.25));
  ASSERT_TRUE(H.MeanOfLayersToMatrix(&D, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(D.GetVal(1, 1), 1e9 + 2.5);
  // A single layer and time slot: the mean copies it, the deviation is 0.
  ASSERT_TRUE(M.MeanOfLayersToMatrix(&D, 0, 0, 0, 0, 3, 3, 2, 2, 2));
  EXPECT_EQ(D.NrOfColumns(), 37);
  EXPECT_EQ(D.GetVal(7, 8), M.GetVal(7, 8, 3, 2));
  ASSERT_TRUE(M.StdDevOfLayersToMatrix(&D, 0, 0, 0, 0, 3, 3, 2, 2, 2));
  EXPECT_EQ(D.GetVal(7, 8), 0.0);
  EXPECT_FALSE(M.MeanOfLayersToMatrix(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 2));
}

// Long series split a row into column tiles (here 21 + 16 columns): every cell keeps the bits of
// the stable helpers on every instruction-set path, tile edges and all.
TEST(Mat4DReduce, LongSeriesTiledAcrossColumnsKeepTheHelpersBits) {
  SetRandSeed(7);
  TMat4D M(37, 2, 300, 10);
  M.FillRandomGauss(1e6, 3.0);
  for (int32_t L = 1; L <= 300; ++L)
    for (int32_t T = 1; T <= 10; ++T) {
      M.SetVal(21, 1, L, T, 0.1);    // constant: exactly 0, the last column of a tile
      M.SetVal(22, 2, L, T, 1e308);  // the plain sum overflows: the mean sums x/n
    }
  M.SetVal(30, 1, 299, 4, NaN);
  const auto Same = [](double A, double B) {
    return std::isnan(A) ? std::isnan(B) : std::bit_cast<uint64_t>(A) == std::bit_cast<uint64_t>(B);
  };
  const auto Paths = {kernels::kpGeneric, kernels::kpAVX2, kernels::kpAVX512};
  for (const kernels::TKernelPath Path : Paths) {
    const kernels::TScopedKernelPath Scope(Path);
    TMatrix Mean, Dev, Max;
    ASSERT_TRUE(M.MeanOfLayersToMatrix(&Mean, 0, 0, 0, 0, 0, 0, 0, 0, 2));
    ASSERT_TRUE(M.StdDevOfLayersToMatrix(&Dev, 0, 0, 0, 0, 0, 0, 0, 0, 2));
    ASSERT_TRUE(M.MaximumOfLayersToMatrix(&Max, 0, 0, 0, 0, 0, 0, 0, 0, 1));
    for (int32_t C = 1; C <= 37; ++C)
      for (int32_t R = 1; R <= 2; ++R) {
        const auto At = [&](int64_t I) {
          return M.GetVal(C, R, int32_t(I / 10 + 1), int32_t(I % 10 + 1));
        };
        const TCentralSums S = CentralSums(3000, At);
        const double WantDev = std::isnan(S.Mean) ? S.Mean : std::sqrt(S.S2 / 3000);
        EXPECT_TRUE(Same(Mean.GetVal(C, R), StableMean(3000, At))) << C << " " << R;
        EXPECT_TRUE(Same(Dev.GetVal(C, R), WantDev)) << Path << " " << C << " " << R;
        EXPECT_EQ(Max.GetVal(C, R), Reference(M, 1, C, R, 1, 300, 1, 10)) << C << " " << R;
      }
    EXPECT_EQ(Dev.GetVal(21, 1), 0.0);
    EXPECT_NEAR(Mean.GetVal(22, 2), 1e308, 1e295);  // not inf
    EXPECT_TRUE(std::isnan(Dev.GetVal(30, 1)));
  }
}

TEST(Mat4DReduce, EventsOnTheCallersThreadAndProgress) {
  TMat4D M(50, 4, 3, 2);
  M.FillSerial(0.0, 1.0);
  for (const int32_t Threads : {1, 2}) {
    TProgressReset Reset;
    TMatrix D;
    const auto Caller = std::this_thread::get_id();
    int Change = 0, Resize = 0, Foreign = 0;
    D.OnChange = [&](TObject*) {
      ++Change;
      Foreign += std::this_thread::get_id() != Caller;
    };
    D.OnResize = [&](TObject*) { ++Resize; };
    int Calls = 0;
    MathFeedBackProc = [&](double) { ++Calls; };
    ASSERT_TRUE(M.MaximumOfLayersToMatrix(&D, 0, 0, 0, 0, 0, 0, 0, 0, Threads));
    EXPECT_EQ(Foreign, 0);
    EXPECT_EQ(Change, 1);
    EXPECT_EQ(Resize, 1);
    EXPECT_NEAR(ProcStat, 100.0, 1e-9);
    EXPECT_GE(Calls, 1);
    EXPECT_EQ(D.GetVal(50, 4), M.GetVal(50, 4, 3, 2));
  }
}

TEST(Mat4DReduce, AbortHookFailuresAndMemoryEndEveryWorker) {
  TMat4D M(300, 20, 10, 2);
  M.FillSerial(0.0, 1.0);
  TMatrix Before;
  Before.Resize(2, 3);
  Before.Fill(7.0);
  for (const int32_t Threads : {1, 2}) {
    {
      // An abort once some columns are done: the result is not taken over.
      TProgressReset Reset;
      MathFeedBackProc = [](double P) {
        if (P > 0.0) AbortMathProc = true;
      };
      TMatrix D;
      D.Assign(&Before);
      EXPECT_FALSE(M.MinimumOfLayersToMatrix(&D, 0, 0, 0, 0, 0, 0, 0, 0, Threads));
      EXPECT_GT(ProcStat, 0.0);
      if (Threads == 1) {
        EXPECT_LT(ProcStat, 100.0);  // workers may finish before the caller looks
      }
      EXPECT_EQ(D.CRCofData(), Before.CRCofData());
    }
    {
      // Set on entry: nothing computed.
      TProgressReset Reset;
      AbortMathProc = true;
      TMatrix D;
      EXPECT_FALSE(M.MeanOfLayersToMatrix(&D, 0, 0, 0, 0, 0, 0, 0, 0, Threads));
      EXPECT_EQ(ProcStat, 0.0);
    }
    {
      // A throwing hook passes through after the workers have ended.
      TProgressReset Reset;
      MathFeedBackProc = [](double P) {
        if (P > 0.0) throw std::runtime_error("stop");
      };
      TMatrix D;
      EXPECT_THROW(M.StdDevOfLayersToMatrix(&D, 0, 0, 0, 0, 0, 0, 0, 0, Threads),
                   std::runtime_error);
    }
    {
      // No room for the result: the matrix's memory message, destination unchanged.
      TProgressReset Reset;
      TMatrix D;
      D.Assign(&Before);
      ScopedAllocLimit Limit(1000);
      EXPECT_THROW(M.MeanOfLayersToMatrix(&D, 0, 0, 0, 0, 0, 0, 0, 0, Threads), ENUXMatrixError);
      EXPECT_EQ(D.NrOfColumns(), 2);
    }
  }
}

}  // namespace
}  // namespace nux
