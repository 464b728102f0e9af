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
#include "nux/kernels/dispatch.h"
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
  int32_t TileRows = 1, TileCols = 1;  // the cells of one tile (see TileShape)
  TDouble2DArray* Res = nullptr;       // [column - C0][row - R0]
};

// Per-cell sums and line starts of one tile, reused by the tiles of a thread.
struct TReduceWork {
  std::vector<double> Acc, S1, S2, Differ;
  std::vector<const double*> Lines;
};

// Fills Lines with the starts (at column C) of rows R..R+K-1 of every layer and time slot, in
// the order of the cells' own series (layer outer, time slot inner), row fastest.
void TileLines(const TReduceJob& J, int32_t R, int32_t K, int32_t C,
               std::vector<const double*>& Lines) {
  size_t At = 0;
  for (int32_t L = J.L0; L <= J.L1; ++L)
    for (int32_t T = J.T0; T <= J.T1; ++T) {
      const TDouble2DArray& Plane = (*J.Mat)[size_t(T)][size_t(L)];
      for (int32_t I = 0; I < K; ++I) Lines[At++] = Plane[size_t(R + I)].data() + C;
    }
}

// Asks for the W values at P ahead of their use.
[[gnu::always_inline]] inline void FetchLine(const double* P, size_t W) {
  const auto* Q = reinterpret_cast<const char*>(P);
  for (size_t B = 0; B < W * sizeof(double); B += 64) __builtin_prefetch(Q + B, 0, 1);
}

enum TLineOp { loSum, loMaximum, loMinimum };

// Folds the lines Lines[0..Count-1], W values each, into the tile's K rows of cells (line i
// into row i mod K). Short lines scattered over the array are too short for the hardware
// prefetcher to follow: with Ahead > 0 each asks for the one Ahead further on.
template <int Op>
[[gnu::always_inline]] inline void FoldLinesBody(const double* const* Lines, size_t Count, size_t K,
                                                 size_t W, size_t Ahead, double* Acc) {
  for (size_t At = 0, I = 0; At < Count; ++At) {
    if (Ahead != 0 && At + Ahead < Count) FetchLine(Lines[At + Ahead], W);
    const double* __restrict P = Lines[At];
    double* __restrict A = Acc + I * W;
    for (size_t C = 0; C < W; ++C) {
      if constexpr (Op == loSum) {
        A[C] += P[C];
      } else {
        // The extremes start from the first comparable value (NaN until one is met); a select
        // rather than a branch, so that the loop vectorises.
        const double V = P[C];
        A[C] = ((Op == loMaximum ? V > A[C] : V < A[C]) || A[C] != A[C]) ? V : A[C];
      }
    }
    if (++I == K) I = 0;
  }
}

// The second pass of the deviation over the tile's lines (one row of W cells).
[[gnu::always_inline]] inline void DeviationLinesBody(const double* const* Lines, size_t Count,
                                                      size_t W, const double* Mean,
                                                      const double* First, double* S1, double* S2,
                                                      double* Differ) {
  for (size_t At = 0; At < Count; ++At) CentralStepMany(W, Lines[At], Mean, First, S1, S2, Differ);
}

template <int Op>
void FoldLines(const double* const* Lines, size_t Count, size_t K, size_t W, size_t Ahead,
               double* Acc) {
  kernels::TPathVariants<&FoldLinesBody<Op>>::For(kernels::ActivePath())(Lines, Count, K, W, Ahead,
                                                                         Acc);
}

// The cells of rows R..R+K-1 and columns C..C+W-1. The deviation's tile is small enough that
// its second pass finds the values still in the core's cache.
template <int Kind>
void ReduceTile(const TReduceJob& J, int32_t R, int32_t K, int32_t C, size_t W, TReduceWork& Work) {
  const size_t Cells = W * size_t(K), Count = size_t(J.N) * size_t(K);
  // Runs of a few KB of storage are too short for the hardware prefetcher; eight lines ahead
  // measured best for the deviation's tiles.
  const size_t Ahead = W * sizeof(double) * size_t(K) < (size_t{1} << 13) ? 8 : 0;
  double* Acc = Work.Acc.data();
  const double* const* Lines = Work.Lines.data();
  TileLines(J, R, K, C, Work.Lines);
  if constexpr (Kind == rkMaximum || Kind == rkMinimum) {
    std::fill(Acc, Acc + Cells, std::numeric_limits<double>::quiet_NaN());
    FoldLines<Kind == rkMaximum ? loMaximum : loMinimum>(Lines, Count, size_t(K), W, Ahead, Acc);
  } else {
    // The mean as StableMean forms it, the plain sum in series order.
    std::fill(Acc, Acc + Cells, 0.0);
    FoldLines<loSum>(Lines, Count, size_t(K), W, Ahead, Acc);
    const int64_t Nt = int64_t{J.T1} - J.T0 + 1;
    for (size_t Cell = 0; Cell < Cells; ++Cell) {
      const auto Col = size_t(C) + Cell % W, Row = size_t(R) + Cell / W;
      Acc[Cell] = MeanOfSum(Acc[Cell], J.N, [&](int64_t I) {
        return (*J.Mat)[size_t(J.T0 + I % Nt)][size_t(J.L0 + I / Nt)][Row][Col];
      });
    }
    if constexpr (Kind == rkStdDev) {
      // Tiles of the deviation are one row high: line k holds the k-th value of every cell.
      double *S1 = Work.S1.data(), *S2 = Work.S2.data(), *Differ = Work.Differ.data();
      std::fill(S1, S1 + Cells, 0.0);
      std::fill(S2, S2 + Cells, 0.0);
      std::fill(Differ, Differ + Cells, 0.0);
      kernels::TPathVariants<&DeviationLinesBody>::For(kernels::ActivePath())(
          Lines, Count, W, Acc, Lines[0], S1, S2, Differ);
      for (size_t Cell = 0; Cell < Cells; ++Cell)
        if (!std::isnan(Acc[Cell]))
          Acc[Cell] =
              std::sqrt(CentralS2(S1[Cell], S2[Cell], J.N, Differ[Cell] == 0.0, Lines[0][Cell]) /
                        double(J.N));
    }
  }
  for (size_t Cell = 0; Cell < Cells; ++Cell)
    (*J.Res)[size_t(C - J.C0) + Cell % W][size_t(R - J.R0) + Cell / W] = Acc[Cell];
}

// Rows First..First+Count-1 of the rectangle (relative to R0), tile by tile.
template <int Kind>
void ReduceRows(const TReduceJob& J, int64_t First, int64_t Count, TReduceWork& Work) {
  const int32_t R1 = int32_t(J.R0 + First + Count);
  for (auto R = int32_t(J.R0 + First); R < R1; R += J.TileRows) {
    const int32_t K = std::min(J.TileRows, R1 - R);
    for (int32_t C = J.C0; C <= J.C1; C += J.TileCols)
      ReduceTile<Kind>(J, R, K, C, size_t(std::min(J.TileCols, J.C1 + 1 - C)), Work);
  }
}

// The deviation's tile is part of one row holding about half the core's L2 of values, which
// its second pass reads again. The single-pass reductions take whole rows, as many as keep
// their per-cell results in L2: long runs of storage are what the prefetcher follows best.
void TileShape(int Kind, int32_t Nc, int64_t N, int32_t& Rows, int32_t& Cols) {
  if (Kind == rkStdDev) {
    Rows = 1;
    Cols = int32_t(std::min<int64_t>(Nc, std::max<int64_t>(8, (int64_t{1} << 16) / N)));
    return;
  }
  const int64_t Cells = int64_t{1} << 15;
  Cols = int32_t(std::min<int64_t>(Nc, Cells));
  // The tile's line starts (n per row) stay within 8 MB too.
  Rows = int32_t(std::max<int64_t>(1, std::min<int64_t>(Cells / Nc, (int64_t{1} << 20) / N)));
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
  TileShape(Kind, Nc, Job.N, Job.TileRows, Job.TileCols);
  // Several blocks of rows per thread, so that they finish together.
  const int64_t Block = std::clamp<int64_t>((Nr + 4 * Threads - 1) / (4 * Threads), 1,
                                            std::max<int32_t>(16, Job.TileRows));
  const auto Cells = size_t(Job.TileRows) * size_t(Job.TileCols);
  TDouble2DArray Res;
  std::vector<TReduceWork> Works;
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    Res.assign(size_t(Nc), TDoubleArray(size_t(Nr), 0.0));
    Works.resize(size_t(Threads));
    for (TReduceWork& W : Works) {
      W.Acc.resize(Cells);
      W.Lines.resize(size_t(Job.N) * size_t(Job.TileRows));
      if (Kind == rkStdDev) {
        W.S1.resize(Cells);
        W.S2.resize(Cells);
        W.Differ.resize(Cells);
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
