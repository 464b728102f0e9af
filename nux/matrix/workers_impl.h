// The persistent-worker scheduler of the matrix unit's threaded routines (TMatrix::Square and
// the layer reductions of TMat4D). Included only by the matrix unit's sources.
#pragma once

#include <cstdint>
#include <functional>

namespace nux::matrix_detail {

// How a RunOnWorkers call ended.
enum class TWorkersResult {
  wrDone,      // every unit was computed
  wrAborted,   // AbortMathProc stopped it; only whole blocks were computed
  wrNoThreads  // no thread could be started; nothing was computed
};

// Computes the units 0..NUnits-1 in blocks of Block consecutive units on up to Threads worker
// threads. A worker calls Work(Slot, First, Count) for block after block until none is left;
// Slot (0..Threads-1) is the worker's own, for buffers reused across its blocks. Blocks must
// write disjoint data and fire no events.
// The caller's thread sleeps until a block is done (waking at least every 20 ms), adds the
// finished units times UnitProgress to ProcStat and calls MathFeedBackProc, once on entry too;
// once AbortMathProc is set no further block is handed out. Every started worker has ended
// before the call returns, also when the hook or a block throws; the first exception of a block
// is rethrown on the caller's thread.
TWorkersResult RunOnWorkers(
    int64_t NUnits, int64_t Block, int32_t Threads, double UnitProgress,
    const std::function<void(int32_t Slot, int64_t First, int64_t Count)>& Work);

}  // namespace nux::matrix_detail
