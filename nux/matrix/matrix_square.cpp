// TMatrix::Square: the cross-product of the columns, (this^T * this) / Norm. Columns are handed
// out in blocks; a block starting at column i computes every pair (i', j) with i' in the block and
// j >= i', in one pass of the product kernel, and stores it at (i', j) and (j, i'). Blocks write
// disjoint elements, so workers need no lock on the result.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/host/system.h"
#include "nux/kernels/gemm.h"
#include "nux/matrix/matrix_core.h"

namespace nux {

namespace {

// What all blocks of one call share. Workers only read Src and write their own pairs of Res.
struct TSquareJob {
  const double* const* Src = nullptr;  // column pointers of the source
  double* const* Res = nullptr;        // column pointers of the result
  int64_t NCols = 0;
  int64_t NRows = 0;
  double Norm = 1.0;

  int32_t Block = 1;                    // columns per block
  std::atomic<int32_t> NextColumn{0};   // 0-based first column of the next block to hand out
  std::atomic<bool> Stop{false};        // set on abort or failure: hand out no more blocks
  std::atomic<int64_t> DoneColumns{0};  // finished, not yet added to ProcStat
  std::atomic<bool> OutOfMemory{false};

  std::mutex Lock;
  std::condition_variable Wake;
  bool Signalled = false;  // guarded by Lock
  int32_t Finished = 0;    // workers that have left their loop; guarded by Lock

  void Notify(bool WorkerDone) {
    {
      std::lock_guard<std::mutex> Guard(Lock);
      Signalled = true;
      if (WorkerDone) ++Finished;
    }
    Wake.notify_one();
  }
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

// A worker: takes the next block of columns (Column is the first of the current one, 1-based)
// until none is left or the caller stops it; reports each finished block.
class TMatSq1ColThread {
 public:
  explicit TMatSq1ColThread(TSquareJob& AJob) : Job(AJob) {}
  ~TMatSq1ColThread() {
    if (FThread.joinable()) FThread.join();
  }
  void Start() {
    FThread = std::thread([this] { Execute(); });
  }

  int32_t Column = 0;

 private:
  void Execute() {
    try {
      while (!Job.Stop.load(std::memory_order_relaxed)) {
        const int32_t First = Job.NextColumn.fetch_add(Job.Block, std::memory_order_relaxed);
        if (First >= Job.NCols) break;
        Column = First + 1;
        const int32_t Count = std::min<int32_t>(Job.Block, int32_t(Job.NCols) - First);
        ComputeBlock(Job, First, Count, Work);
        Job.DoneColumns.fetch_add(Count, std::memory_order_relaxed);
        Job.Notify(false);
      }
    } catch (...) {
      Job.OutOfMemory.store(true);
      Job.Stop.store(true);
    }
    Job.Notify(true);
  }

  TSquareJob& Job;
  TBlockWork Work;
  std::thread FThread;
};

// Moves the workers' finished columns into the progress counter (caller's thread only).
void ReportProgress(TSquareJob& Job) {
  ProcStat += static_cast<double>(Job.DoneColumns.exchange(0, std::memory_order_relaxed));
  if (MathFeedBackProc) MathFeedBackProc(ProcStat);
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
  Job.Block = std::clamp((PerBlock + 23) / 24 * 24, 24, 96);
  // An abort set on entry starts nothing.
  ReportProgress(Job);
  if (AbortMathProc) return false;
  std::vector<std::unique_ptr<TMatSq1ColThread>> Workers;
  for (int32_t T = 0; T < Threads; ++T) {
    auto W = std::make_unique<TMatSq1ColThread>(Job);
    try {
      W->Start();
    } catch (const std::system_error&) {
      break;  // go on with the threads there are
    }
    Workers.push_back(std::move(W));
  }
  if (Workers.empty()) return SquareInOrder(Job, Owner);
  // Leaving early (a throwing progress hook) stops the workers before they are joined.
  struct TStopOnExit {
    TSquareJob& Job;
    ~TStopOnExit() { Job.Stop.store(true); }
  } StopOnExit{Job};
  bool Result = true;
  std::unique_lock<std::mutex> Guard(Job.Lock);
  for (;;) {
    // Sleeps until a block is done, waking now and then for the progress report.
    Job.Wake.wait_for(Guard, std::chrono::milliseconds(20), [&] { return Job.Signalled; });
    Job.Signalled = false;
    const bool AllDone = Job.Finished == int32_t(Workers.size());
    Guard.unlock();
    ReportProgress(Job);
    if (AbortMathProc) {
      Result = false;
      Job.Stop.store(true);
      break;
    }
    if (AllDone) break;
    Guard.lock();
  }
  Workers.clear();  // joins: every started worker has ended before we return
  ReportProgress(Job);
  if (Job.OutOfMemory.load()) RaiseComponentError<ENUXMatrixError>(Owner, msgNoMemoryOnHeap);
  return Result;
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
