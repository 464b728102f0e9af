// The matrix unit's worker scheduler: persistent workers take blocks from a shared counter, the
// caller sleeps on a condition variable and moves the finished counts into ProcStat itself, so
// the unsynchronised progress globals are only ever touched on its thread.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/matrix/workers_impl.h"

namespace nux::matrix_detail {

namespace {

// What the workers of one call share; the lock and the wake-up live exactly as long as the call.
struct TWorkersJob {
  int64_t NUnits = 0;
  int64_t Block = 1;
  const std::function<void(int32_t, int64_t, int64_t)>* Work = nullptr;

  std::atomic<int64_t> NextUnit{0};   // first unit of the next block to hand out
  std::atomic<bool> Stop{false};      // set on abort or failure: hand out no more blocks
  std::atomic<int64_t> DoneUnits{0};  // finished, not yet added to ProcStat

  std::mutex Lock;
  std::condition_variable Wake;
  bool Signalled = false;      // guarded by Lock
  int32_t Finished = 0;        // workers that have left their loop; guarded by Lock
  std::exception_ptr Failure;  // the first exception of a block; guarded by Lock

  void Notify(bool WorkerDone, std::exception_ptr Error = nullptr) {
    {
      std::lock_guard<std::mutex> Guard(Lock);
      Signalled = true;
      if (WorkerDone) ++Finished;
      if (Error && !Failure) Failure = Error;
    }
    Wake.notify_one();
  }
};

class TWorker {
 public:
  TWorker(TWorkersJob& AJob, int32_t ASlot) : Job(AJob), Slot(ASlot) {}
  ~TWorker() {
    if (FThread.joinable()) FThread.join();
  }
  void Start() {
    FThread = std::thread([this] { Execute(); });
  }

 private:
  void Execute() {
    std::exception_ptr Error;
    try {
      while (!Job.Stop.load(std::memory_order_relaxed)) {
        const int64_t First = Job.NextUnit.fetch_add(Job.Block, std::memory_order_relaxed);
        if (First >= Job.NUnits) break;
        const int64_t Count = std::min(Job.Block, Job.NUnits - First);
        (*Job.Work)(Slot, First, Count);
        Job.DoneUnits.fetch_add(Count, std::memory_order_relaxed);
        Job.Notify(false);
      }
    } catch (...) {
      Error = std::current_exception();
      Job.Stop.store(true);
    }
    Job.Notify(true, Error);
  }

  TWorkersJob& Job;
  int32_t Slot;
  std::thread FThread;
};

void ReportProgress(TWorkersJob& Job, double UnitProgress) {
  const int64_t Done = Job.DoneUnits.exchange(0, std::memory_order_relaxed);
  ProcStat += static_cast<double>(Done) * UnitProgress;
  if (MathFeedBackProc) MathFeedBackProc(ProcStat);
}

}  // namespace

TWorkersResult RunOnWorkers(int64_t NUnits, int64_t Block, int32_t Threads, double UnitProgress,
                            const std::function<void(int32_t, int64_t, int64_t)>& Work) {
  TWorkersJob Job;
  Job.NUnits = NUnits;
  Job.Block = std::max<int64_t>(1, Block);
  Job.Work = &Work;
  // An abort set on entry starts nothing.
  ReportProgress(Job, UnitProgress);
  if (AbortMathProc) return TWorkersResult::wrAborted;
  std::vector<std::unique_ptr<TWorker>> Workers;
  // Leaving early (a throwing hook, a failed allocation) stops the workers; the vector's
  // destruction then joins them, so no worker outlives the call.
  struct TStopOnExit {
    TWorkersJob& Job;
    ~TStopOnExit() { Job.Stop.store(true); }
  };
  TStopOnExit StopOnExit{Job};
  for (int32_t T = 0; T < std::max(1, Threads); ++T) {
    auto W = std::make_unique<TWorker>(Job, T);
    try {
      W->Start();
    } catch (const std::system_error&) {
      break;  // go on with the threads there are
    }
    Workers.push_back(std::move(W));
  }
  if (Workers.empty()) return TWorkersResult::wrNoThreads;
  TWorkersResult Result = TWorkersResult::wrDone;
  std::unique_lock<std::mutex> Guard(Job.Lock);
  for (;;) {
    // Sleeps until a block is done, waking now and then for the progress report.
    Job.Wake.wait_for(Guard, std::chrono::milliseconds(20), [&] { return Job.Signalled; });
    Job.Signalled = false;
    const bool AllDone = Job.Finished == int32_t(Workers.size());
    Guard.unlock();
    ReportProgress(Job, UnitProgress);
    if (AbortMathProc) {
      Result = TWorkersResult::wrAborted;
      Job.Stop.store(true);
      break;
    }
    if (AllDone) break;
    Guard.lock();
  }
  Workers.clear();  // joins: every started worker has ended
  ReportProgress(Job, UnitProgress);
  if (Job.Failure) std::rethrow_exception(Job.Failure);
  return Result;
}

}  // namespace nux::matrix_detail
