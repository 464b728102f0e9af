// TMat4D layer reductions: for every column and row of a rectangle the mean, maximum, minimum or
// population standard deviation over a block of layers and time slots. Work is handed out in
// blocks of adjacent rows through the matrix unit's worker scheduler; a block streams whole lines
// of each layer and writes its own rows of a result built aside. Workers fire no events: the
// result reaches DestMat on the calling thread when all have finished.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "nux/frame/moments.h"
#include "nux/frame/progress.h"
#include "nux/host/system.h"
#include "nux/matrix/mat4d.h"
#include "nux/matrix/matrix_core.h"
#include "nux/matrix/workers_impl.h"

namespace nux {

namespace {

enum TReduceKind { rkMean, rkMaximum, rkMinimum, rkStdDev };

// What every block of one call shares; read only during the call except Res's own cells.
struct TReduceJob {
  const TDouble4DArray* Mat = nullptr;
  int32_t C0 = 0, C1 = 0, R0 = 0, L0 = 0, L1 = 0, T0 = 0, T1 = 0;  // 0-based, inclusive
  int64_t N = 0;                                                   // layer-time-slot pairs
  TDouble2DArray* Res = nullptr;                                   // [column - C0][row - R0]
};

// Per-cell sums of one block of rows, reused by the blocks of a thread.
struct TReduceWork {
  std::vector<double> Sum, S1, S2, First;
  std::vector<double> Constant;  // values unequal to the first, per cell
};

// Calls Visit(cell, value) for every value of rows R..R+Count-1 in the order of the cells' own
// series (layer outer, time slot inner), streaming each layer's rows in storage order; cell is
// (row - R) * width + (column - C0).
template <class F>
void ForRows(const TReduceJob& J, int32_t R, int32_t Count, F&& Visit) {
  const auto W = size_t(J.C1 - J.C0 + 1);
  for (int32_t L = J.L0; L <= J.L1; ++L)
    for (int32_t T = J.T0; T <= J.T1; ++T)
      for (int32_t I = 0; I < Count; ++I) {
        const double* P = (*J.Mat)[size_t(T)][size_t(L)][size_t(R + I)].data() + J.C0;
        const size_t Cell0 = size_t(I) * W;
        for (size_t C = 0; C < W; ++C) Visit(Cell0 + C, P[C]);
      }
}

// Rows First..First+Count-1 of the rectangle (relative to R0). The blocks are rows because the
// column varies fastest in storage: a block then reads whole lines of every layer.
template <int Kind>
void ReduceRows(const TReduceJob& J, int64_t First, int64_t Count, TReduceWork& Work) {
  const auto W = size_t(J.C1 - J.C0 + 1), Cells = W * size_t(Count);
  const auto R = int32_t(J.R0 + First), K = int32_t(Count);
  const double Nd = double(J.N);
  std::vector<double>& Acc = Work.Sum;
  if constexpr (Kind == rkMaximum || Kind == rkMinimum) {
    // The extremes start from the first comparable value (NaN until one is met).
    std::fill(Acc.begin(), Acc.begin() + std::ptrdiff_t(Cells),
              std::numeric_limits<double>::quiet_NaN());
    ForRows(J, R, K, [&Acc](size_t Cell, double V) {
      // A select rather than a branch, so the loop vectorises.
      const double A = Acc[Cell];
      Acc[Cell] = ((Kind == rkMaximum ? V > A : V < A) || A != A) ? V : A;
    });
  } else {
    // The mean as StableMean forms it: the plain sum in series order over n, or the sum of x/n
    // when that sum overflows.
    std::fill(Acc.begin(), Acc.begin() + std::ptrdiff_t(Cells), 0.0);
    ForRows(J, R, K, [&Acc](size_t Cell, double V) { Acc[Cell] += V; });
    for (size_t Cell = 0; Cell < Cells; ++Cell) {
      if (std::isfinite(Acc[Cell])) {
        Acc[Cell] /= Nd;
        continue;
      }
      if (std::isnan(Acc[Cell])) continue;
      const auto Col = size_t(J.C0) + Cell % W, Row = size_t(R) + Cell / W;
      const int64_t Nt = int64_t{J.T1} - J.T0 + 1;
      Acc[Cell] = StableMean(J.N, [&](int64_t I) {
        return (*J.Mat)[size_t(J.T0 + I % Nt)][size_t(J.L0 + I / Nt)][Row][Col];
      });
    }
    if constexpr (Kind == rkStdDev) {
      // The second pass of CentralSums, cell by cell interleaved: deviations from the mean with
      // the first-order correction, and exactly 0 for a constant finite series.
      std::fill(Work.S1.begin(), Work.S1.begin() + std::ptrdiff_t(Cells), 0.0);
      std::fill(Work.S2.begin(), Work.S2.begin() + std::ptrdiff_t(Cells), 0.0);
      std::fill(Work.Constant.begin(), Work.Constant.begin() + std::ptrdiff_t(Cells), 0.0);
      for (int32_t I = 0; I < K; ++I) {
        const double* P = (*J.Mat)[size_t(J.T0)][size_t(J.L0)][size_t(R + I)].data() + J.C0;
        std::copy(P, P + W, Work.First.begin() + std::ptrdiff_t(size_t(I) * W));
      }
      // Written out with unaliased pointers so that the loop vectorises; NotEqual counts the
      // values differing from the series' first one (NaN included).
      double* __restrict S1 = Work.S1.data();
      double* __restrict Sq = Work.S2.data();
      double* __restrict NotEqual = Work.Constant.data();
      const double* __restrict First0 = Work.First.data();
      const double* __restrict Mean = Acc.data();
      for (int32_t L = J.L0; L <= J.L1; ++L)
        for (int32_t T = J.T0; T <= J.T1; ++T)
          for (int32_t I = 0; I < K; ++I) {
            const double* __restrict P =
                (*J.Mat)[size_t(T)][size_t(L)][size_t(R + I)].data() + J.C0;
            const size_t Off = size_t(I) * W;
            for (size_t C = 0; C < W; ++C) {
              const double V = P[C], D = V - Mean[Off + C];
              NotEqual[Off + C] += V != First0[Off + C] ? 1.0 : 0.0;
              S1[Off + C] += D;
              Sq[Off + C] += D * D;
            }
          }
      for (size_t Cell = 0; Cell < Cells; ++Cell) {
        double S2 = 0.0;
        if (!(Work.Constant[Cell] == 0.0 && std::isfinite(Work.First[Cell]))) {
          S2 = Work.S2[Cell] - Work.S1[Cell] * Work.S1[Cell] / Nd;
          if (S2 < 0.0) S2 = 0.0;
        }
        Acc[Cell] = std::isnan(Acc[Cell]) ? Acc[Cell] : std::sqrt(S2 / Nd);
      }
    }
  }
  for (size_t Cell = 0; Cell < Cells; ++Cell)
    (*J.Res)[Cell % W][size_t(First) + Cell / W] = Acc[Cell];
}

using TReduceFn = void (*)(const TReduceJob&, int64_t, int64_t, TReduceWork&);

TReduceFn ReduceFor(int Kind) {
  switch (Kind) {
    case rkMean:
      return &ReduceRows<rkMean>;
    case rkMaximum:
      return &ReduceRows<rkMaximum>;
    case rkMinimum:
      return &ReduceRows<rkMinimum>;
    default:
      return &ReduceRows<rkStdDev>;
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
  Job.C1 = HighCol - 1;
  Job.R0 = LowRow - 1;
  Job.L0 = LowLayer - 1;
  Job.L1 = HighLayer - 1;
  Job.T0 = LowTimeSlot - 1;
  Job.T1 = HighTimeSlot - 1;
  Job.N = int64_t{HighLayer - LowLayer + 1} * (HighTimeSlot - LowTimeSlot + 1);
  const int32_t Threads = std::clamp(NThreads, 1, std::max(1, CPUCount()));
  // Blocks of rows: few enough that the per-cell sums stay in the core's cache (and, for the
  // deviation, that the block's values are still cached for the second pass), and several
  // blocks per thread so that they finish together.
  const int64_t Values = int64_t{Nc} * Job.N;
  const int64_t ByCache = Kind == rkStdDev ? std::max<int64_t>(1, (int64_t{1} << 17) / Values)
                                           : std::max<int64_t>(1, (int64_t{1} << 14) / Nc);
  const int64_t ByThreads = std::max<int64_t>(1, (Nr + 4 * Threads - 1) / (4 * Threads));
  const int64_t Block = std::min<int64_t>({16, ByCache, ByThreads});
  const auto Cells = size_t(Block) * size_t(Nc);
  TDouble2DArray Res;
  std::vector<TReduceWork> Works;
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    Res.assign(size_t(Nc), TDoubleArray(size_t(Nr), 0.0));
    Works.resize(size_t(Threads));
    for (TReduceWork& W : Works) {
      W.Sum.resize(Cells);
      if (Kind == rkStdDev) {
        W.S1.resize(Cells);
        W.S2.resize(Cells);
        W.First.resize(Cells);
        W.Constant.resize(Cells);
      }
    }
  });
  Job.Res = &Res;
  const TReduceFn Fn = ReduceFor(Kind);
  // Every finished row adds 100 / rows to ProcStat.
  const double Unit = 100.0 / double(Nr);
  bool Complete = true;
  matrix_detail::TWorkersResult Run = matrix_detail::TWorkersResult::wrNoThreads;
  if (Threads > 1)
    GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
      Run = matrix_detail::RunOnWorkers(Nr, Block, Threads, Unit,
                                        [&](int32_t Slot, int64_t First, int64_t Count) {
                                          Fn(Job, First, Count, Works[size_t(Slot)]);
                                        });
    });
  if (Run == matrix_detail::TWorkersResult::wrNoThreads) {
    // On the calling thread, block by block, with the abort checked before each.
    for (int64_t First = 0; First < Nr; First += Block) {
      if (AbortMathProc) {
        Complete = false;
        break;
      }
      const int64_t Count = std::min<int64_t>(Block, Nr - First);
      Fn(Job, First, Count, Works[0]);
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
