// TMatrix::Square: the cross-product of the columns, (this^T * this) / Norm. Columns are handed
// out in blocks; a block starting at column i computes every pair (i', j) with i' in the block and
// j >= i', in one pass of the product kernel, and stores it at (i', j) and (j, i'). Blocks write
// disjoint elements, so workers need no lock on the result.
#include <algorithm>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/host/system.h"
#include "nux/kernels/gemm.h"
#include "nux/matrix/matrix_core.h"
#include "nux/matrix/workers_impl.h"

namespace nux {

namespace {

// What all blocks of one call share. Blocks only read Src and write their own pairs of Res.
struct TSquareJob {
  const double* const* Src = nullptr;  // column pointers of the source
  double* const* Res = nullptr;        // column pointers of the result
  int64_t NCols = 0;
  int64_t NRows = 0;
  double Norm = 1.0;
};

// Buffers of one thread slot, reused by the blocks run in it.
struct TBlockWork {
  kernels::TGemmWorkspace Pack;
  std::vector<double> C;
};

// Columns First..First+Count-1 (0-based) paired with every column from First on.
void ComputeBlock(const TSquareJob& Job, int64_t First, int64_t Count, TBlockWork& Work) {
  const int64_t Width = Job.NCols - First;
  std::vector<double>& C = Work.C;
  if (C.size() < size_t(Count * Width)) C.resize(size_t(Count * Width));
  kernels::Gemm(Count, Width, Job.NRows, {Job.Src, true}, First, {Job.Src, false}, First, C.data(),
                Count, true, &Work.Pack);
  for (int64_t I = 0; I < Count; ++I)
    for (int64_t J = I; J < Width; ++J) {
      const double V = C[size_t(I + J * Count)] / Job.Norm;
      Job.Res[First + I][First + J] = V;
      Job.Res[First + J][First + I] = V;
    }
}

}  // namespace

bool TMatrix::Square(TMatrix* MatRes, double Norm) {
  const int32_t N = CPUCount();
  return Square(MatRes, Norm, N > 1 ? N - 1 : 1);
}

namespace {

// Columns in order on the caller's thread, checking for an abort before each one; a block only
// ever holds columns that passed the check.
bool SquareInOrder(TSquareJob& Job, const TComponent& Owner) {
  TBlockWork Work;
  constexpr int32_t kBlock = 240;  // larger blocks pack the source fewer times
  const auto Nc = int32_t(Job.NCols);
  for (int32_t First = 0; First < Nc;) {
    int32_t Count = 0;
    bool Aborted = false;
    while (Count < kBlock && First + Count < Nc) {
      if (AbortMathProc) {
        Aborted = true;
        break;
      }
      ProcStat += 1.0;
      if (MathFeedBackProc) MathFeedBackProc(ProcStat);
      ++Count;
    }
    if (Count > 0)
      GuardAlloc<ENUXMatrixError>(Owner, msgNoMemoryOnHeap,
                                  [&] { ComputeBlock(Job, First, Count, Work); });
    if (Aborted) return false;
    First += Count;
  }
  return true;
}

// The blocks spread over Threads workers; false when AbortMathProc stopped it.
bool SquareThreaded(TSquareJob& Job, const TComponent& Owner, int32_t Threads) {
  // Small blocks keep the threads busy to the end; the triangle makes early blocks the largest.
  const auto Nc = int32_t(Job.NCols);
  const int32_t PerBlock = (Nc + 4 * Threads - 1) / (4 * Threads);
  const int32_t Block = std::clamp((PerBlock + 23) / 24 * 24, 24, 96);
  std::vector<TBlockWork> Work(static_cast<size_t>(Threads));
  matrix_detail::TWorkersResult Result = matrix_detail::TWorkersResult::wrDone;
  GuardAlloc<ENUXMatrixError>(Owner, msgNoMemoryOnHeap, [&] {
    Result = matrix_detail::RunOnWorkers(Nc, Block, Threads, 1.0,
                                         [&](int32_t Slot, int64_t First, int64_t Count) {
                                           ComputeBlock(Job, First, Count, Work[size_t(Slot)]);
                                         });
  });
  if (Result == matrix_detail::TWorkersResult::wrNoThreads) return SquareInOrder(Job, Owner);
  return Result == matrix_detail::TWorkersResult::wrDone;
}

}  // namespace

bool TMatrix::Square(TMatrix* MatRes, double Norm, int32_t NThreads) {
  if (MatRes == nullptr) return false;
  const int32_t Nc = NrOfColumns();
  // Squaring into itself reads a copy: the result is resized before it is written.
  TDouble2DArray Copy;
  if (MatRes == this)
    Copy = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] { return Mat; });
  const TDouble2DArray& Source = MatRes == this ? Copy : Mat;
  MatRes->Resize(Nc, Nc);

  TSquareJob Job;
  const auto SrcCols = kernels::ColumnPointers(Source);
  std::vector<double*> ResCols;
  for (auto& Column : MatRes->Mat) ResCols.push_back(Column.data());
  Job.Src = SrcCols.data();
  Job.Res = ResCols.data();
  Job.NCols = Nc;
  Job.NRows = Source.empty() ? 0 : int64_t(Source[0].size());
  Job.Norm = Norm;
  const int32_t Threads = std::max(1, std::min(NThreads, Nc));
  bool Result = false;
  try {
    Result = Threads == 1 ? SquareInOrder(Job, *this) : SquareThreaded(Job, *this, Threads);
  } catch (...) {
    MatRes->Changed();
    throw;
  }
  MatRes->Changed();
  return Result;
}

}  // namespace nux
