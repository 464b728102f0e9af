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
#include "nux/matrix/gemm_kernel.h"
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

  std::mutex Lock;
  std::condition_variable Wake;
  bool Signalled = false;               // guarded by Lock
  std::atomic<int64_t> DoneColumns{0};  // finished, not yet added to ProcStat
  std::atomic<bool> OutOfMemory{false};
};

// Columns First..First+Count-1 (0-based) paired with every column from First on.
void ComputeBlock(const TSquareJob& Job, int64_t First, int64_t Count) {
  const int64_t Width = Job.NCols - First;
  std::vector<double> C(size_t(Count * Width));
  matrix_detail::Gemm(Count, Width, Job.NRows, {Job.Src, true}, First, {Job.Src, false}, First,
                      C.data(), Count);
  for (int64_t I = 0; I < Count; ++I)
    for (int64_t J = I; J < Width; ++J) {
      const double V = C[size_t(I + J * Count)] / Job.Norm;
      Job.Res[First + I][First + J] = V;
      Job.Res[First + J][First + I] = V;
    }
}

// A worker for one block of columns starting at Column (1-based).
class TMatSq1ColThread {
 public:
  TMatSq1ColThread(TSquareJob& AJob, int32_t AColumn, int32_t ACount)
      : Column(AColumn), Count(ACount), Job(AJob) {}
  ~TMatSq1ColThread() {
    if (FThread.joinable()) FThread.join();
  }
  void Start() {
    FThread = std::thread([this] { Execute(); });
  }
  // Runs the block on the caller's thread instead (when no thread could be had).
  void RunHere() { Execute(); }
  bool Terminated() const { return FTerminated.load(std::memory_order_acquire); }

  const int32_t Column;
  const int32_t Count;

 private:
  void Execute() {
    try {
      ComputeBlock(Job, Column - 1, Count);
      Job.DoneColumns.fetch_add(Count, std::memory_order_relaxed);
    } catch (...) {
      Job.OutOfMemory.store(true);
    }
    {
      std::lock_guard<std::mutex> Guard(Job.Lock);
      FTerminated.store(true, std::memory_order_release);
      Job.Signalled = true;
    }
    Job.Wake.notify_one();
  }

  TSquareJob& Job;
  std::thread FThread;
  std::atomic<bool> FTerminated{false};
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
  const auto SrcCols = matrix_detail::ColumnPointers(Source);
  std::vector<double*> ResCols;
  for (auto& Column : MatRes->Mat) ResCols.push_back(Column.data());
  Job.Src = SrcCols.data();
  Job.Res = ResCols.data();
  Job.NCols = Nc;
  Job.NRows = Source.empty() ? 0 : int64_t(Source[0].size());
  Job.Norm = Norm;
  const int32_t Threads = std::max(1, std::min(NThreads, Nc));
  bool Result = true;

  if (Threads == 1) {
    // Columns in order on this thread; the block only ever holds columns that passed the check.
    constexpr int32_t kBlock = 96;
    for (int32_t First = 0; First < Nc && Result;) {
      int32_t Count = 0;
      while (Count < kBlock && First + Count < Nc) {
        if (AbortMathProc) {
          Result = false;
          break;
        }
        ProcStat += 1.0;
        if (MathFeedBackProc) MathFeedBackProc(ProcStat);
        ++Count;
      }
      if (Count > 0)
        GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap,
                                    [&] { ComputeBlock(Job, First, Count); });
      First += Count;
    }
    MatRes->Changed();
    return Result;
  }

  // Small blocks keep the threads busy to the end; the triangle makes early blocks the largest.
  const int32_t PerBlock = (Nc + 4 * Threads - 1) / (4 * Threads);
  const int32_t Block = std::clamp((PerBlock + 7) / 8 * 8, 8, 48);
  std::vector<std::unique_ptr<TMatSq1ColThread>> Workers(static_cast<size_t>(Threads));
  int32_t Next = 0;  // 0-based first column of the next block
  auto Launch = [&](std::unique_ptr<TMatSq1ColThread>& Slot) {
    const int32_t Count = std::min(Block, Nc - Next);
    Slot = std::make_unique<TMatSq1ColThread>(Job, Next + 1, Count);
    Next += Count;
    try {
      Slot->Start();
    } catch (const std::system_error&) {
      Slot->RunHere();
    }
  };

  // The first pass runs before any worker starts, so an abort set on entry starts nothing.
  std::unique_lock<std::mutex> Guard(Job.Lock, std::defer_lock);
  for (;;) {
    ReportProgress(Job);
    if (AbortMathProc) {
      Result = false;
      break;
    }
    bool Running = false;
    for (auto& Slot : Workers) {
      if (Slot && Slot->Terminated()) Slot.reset();  // joins the finished thread
      if (!Slot && Next < Nc && !Job.OutOfMemory.load()) Launch(Slot);
      Running = Running || Slot != nullptr;
    }
    if (!Running) break;
    // Sleeps until a worker finishes, waking now and then for the progress report.
    Guard.lock();
    Job.Wake.wait_for(Guard, std::chrono::milliseconds(20), [&] { return Job.Signalled; });
    Job.Signalled = false;
    Guard.unlock();
  }
  for (auto& Slot : Workers) Slot.reset();  // every started worker ends before we return
  ReportProgress(Job);
  MatRes->Changed();
  if (Job.OutOfMemory.load()) RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  return Result;
}

}  // namespace nux
