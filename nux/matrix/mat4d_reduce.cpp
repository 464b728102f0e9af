// TMat4D layer reductions: for every column and row of a rectangle the mean, maximum, minimum or
// population standard deviation over a block of layers and time slots. Work is handed out in
// blocks of adjacent columns through the matrix unit's worker scheduler; a block reads whole
// cache lines of each layer's rows, and writes its own columns of a result built aside. Workers
// fire no events: the result reaches DestMat on the calling thread when all have finished.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "nux/frame/moments.h"
#include "nux/frame/progress.h"
#include "nux/host/system.h"
#include "nux/matrix/mat4d.h"
#include "nux/matrix/matrix_core.h"
#include "nux/matrix/workers.h"

namespace nux {

namespace {

enum TReduceKind { rkMean, rkMaximum, rkMinimum, rkStdDev };

// What every block of one call shares; read only during the call except Res's own columns.
struct TReduceJob {
  const TDouble4DArray* Mat = nullptr;
  int32_t C0 = 0, R0 = 0, R1 = 0, L0 = 0, L1 = 0, T0 = 0, T1 = 0;  // 0-based, inclusive
  int64_t N = 0;                                                   // layer-time-slot pairs
  TDouble2DArray* Res = nullptr;                                   // [column - C0][row - R0]
};

// Columns First..First+Count-1 of the rectangle (relative to C0). Buf holds Count x N values.
template <int Kind>
void ReduceColumns(const TReduceJob& J, int64_t First, int64_t Count, std::vector<double>& Buf) {
  const TDouble4DArray& Mat = *J.Mat;
  const auto X0 = size_t(J.C0 + First), K = size_t(Count), N = size_t(J.N);
  constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
  for (int32_t R = J.R0; R <= J.R1; ++R) {
    const auto Row = size_t(R - J.R0);
    if constexpr (Kind == rkMaximum || Kind == rkMinimum) {
      // The extremes start from the first comparable value (NaN until one is met).
      double* Acc = Buf.data();
      std::fill(Acc, Acc + K, NaN);
      for (int32_t L = J.L0; L <= J.L1; ++L)
        for (int32_t T = J.T0; T <= J.T1; ++T) {
          const double* P = Mat[size_t(T)][size_t(L)][size_t(R)].data() + X0;
          for (size_t I = 0; I < K; ++I) {
            const double V = P[I], A = Acc[I];
            if ((Kind == rkMaximum ? V > A : V < A) || A != A) Acc[I] = V;
          }
        }
      for (size_t I = 0; I < K; ++I) (*J.Res)[size_t(First) + I][Row] = Acc[I];
    } else {
      // Gathered per cell (layer outer, time slot inner) so the shared stable sums apply.
      size_t Pos = 0;
      for (int32_t L = J.L0; L <= J.L1; ++L)
        for (int32_t T = J.T0; T <= J.T1; ++T, ++Pos) {
          const double* P = Mat[size_t(T)][size_t(L)][size_t(R)].data() + X0;
          for (size_t I = 0; I < K; ++I) Buf[I * N + Pos] = P[I];
        }
      for (size_t I = 0; I < K; ++I) {
        const double* Cell = Buf.data() + I * N;
        const auto At = [Cell](int64_t Ix) { return Cell[Ix]; };
        double V;
        if constexpr (Kind == rkMean) {
          V = StableMean(J.N, At);
        } else {
          const TCentralSums S = CentralSums(J.N, At);
          V = std::sqrt(S.S2 / double(J.N));
          if (std::isnan(S.Mean)) V = S.Mean;
        }
        (*J.Res)[size_t(First) + I][Row] = V;
      }
    }
  }
}

using TReduceFn = void (*)(const TReduceJob&, int64_t, int64_t, std::vector<double>&);

TReduceFn ReduceFor(int Kind) {
  switch (Kind) {
    case rkMean:
      return &ReduceColumns<rkMean>;
    case rkMaximum:
      return &ReduceColumns<rkMaximum>;
    case rkMinimum:
      return &ReduceColumns<rkMinimum>;
    default:
      return &ReduceColumns<rkStdDev>;
  }
}

}  // namespace

bool TMat4D::Reduce(int Kind, TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                    int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                    int32_t HighTimeSlot, int32_t NThreads) {
  if (DestMat == nullptr) return false;
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  MakeValidLayerRange(LowLayer, HighLayer);
  MakeValidTSlotRange(LowTimeSlot, HighTimeSlot);
  const int32_t Nc = HighCol - LowCol + 1, Nr = HighRow - LowRow + 1;
  TReduceJob Job;
  Job.Mat = &Mat;
  Job.C0 = LowCol - 1;
  Job.R0 = LowRow - 1;
  Job.R1 = HighRow - 1;
  Job.L0 = LowLayer - 1;
  Job.L1 = HighLayer - 1;
  Job.T0 = LowTimeSlot - 1;
  Job.T1 = HighTimeSlot - 1;
  Job.N = int64_t{HighLayer - LowLayer + 1} * (HighTimeSlot - LowTimeSlot + 1);
  const int32_t Threads = std::clamp(NThreads, 1, std::max(1, CPUCount()));
  // Blocks of adjacent columns: wide enough to use whole cache lines of every row read, small
  // enough that a block's gathered values stay in the core's cache and that the threads get
  // several blocks each.
  const int64_t ByCache = std::max<int64_t>(1, 32768 / Job.N);
  const int64_t ByThreads = std::max<int64_t>(1, (Nc + 4 * Threads - 1) / (4 * Threads));
  const int64_t Block = std::min<int64_t>({64, ByCache, ByThreads});
  TDouble2DArray Res;
  std::vector<std::vector<double>> Bufs;
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    Res.assign(size_t(Nc), TDoubleArray(size_t(Nr), 0.0));
    Bufs.assign(size_t(Threads), std::vector<double>(size_t(Block * Job.N)));
  });
  Job.Res = &Res;
  const TReduceFn Fn = ReduceFor(Kind);
  // Every finished column adds 100 / columns to ProcStat.
  const double Unit = 100.0 / double(Nc);
  bool Complete = true;
  matrix_detail::TWorkersResult Run = matrix_detail::TWorkersResult::wrNoThreads;
  if (Threads > 1)
    GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
      Run = matrix_detail::RunOnWorkers(Nc, Block, Threads, Unit,
                                        [&](int32_t Slot, int64_t First, int64_t Count) {
                                          Fn(Job, First, Count, Bufs[size_t(Slot)]);
                                        });
    });
  if (Run == matrix_detail::TWorkersResult::wrNoThreads) {
    // On the calling thread, block by block, with the abort checked before each.
    for (int64_t First = 0; First < Nc; First += Block) {
      if (AbortMathProc) {
        Complete = false;
        break;
      }
      const int64_t Count = std::min<int64_t>(Block, Nc - First);
      Fn(Job, First, Count, Bufs[0]);
      MathFeedBack(double(Count) * Unit);
    }
  } else {
    Complete = Run == matrix_detail::TWorkersResult::wrDone;
  }
  if (!Complete) return false;
  DestMat->SetValues(Res);
  return true;
}

#define NUX_REDUCE_FORMS(Name, Kind)                                                           \
  bool TMat4D::Name(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,         \
                    int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, \
                    int32_t HighTimeSlot, int32_t NThreads) {                                  \
    return Reduce(Kind, DestMat, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,        \
                  LowTimeSlot, HighTimeSlot, NThreads);                                        \
  }                                                                                            \
  bool TMat4D::Name(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,         \
                    int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, \
                    int32_t HighTimeSlot) {                                                    \
    return Reduce(Kind, DestMat, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,        \
                  LowTimeSlot, HighTimeSlot, CPUCount());                                      \
  }

NUX_REDUCE_FORMS(MeanOfLayersToMatrix, rkMean)
NUX_REDUCE_FORMS(MaximumOfLayersToMatrix, rkMaximum)
NUX_REDUCE_FORMS(MinimumOfLayersToMatrix, rkMinimum)
NUX_REDUCE_FORMS(StdDevOfLayersToMatrix, rkStdDev)

#undef NUX_REDUCE_FORMS

}  // namespace nux
