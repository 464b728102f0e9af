// The comb sort behind every sort of the library's containers and raw arrays: a gap that
// shrinks by 10/13 per pass, strict comparisons (equal elements and NaNs are never moved by
// their own comparison), and a hook after each pass for progress reporting.
#pragma once

#include <cstdint>

namespace nux {

// Sorts positions First..Last (inclusive, any integer base). OutOfOrder(i, j) with i < j says
// whether the two must be exchanged; Exchange(i, j) exchanges them. AfterPass() is called after
// every pass. The gap arithmetic is 64-bit, so spans beyond 2^31 / 10 do not overflow.
template <class OutOfOrder, class Exchange, class AfterPass>
void CombSort(int64_t First, int64_t Last, OutOfOrder&& NeedsSwap, Exchange&& Swap,
              AfterPass&& Pass) {
  int64_t Gap = Last - First;
  if (Gap <= 0) return;
  bool Swapped = true;
  while (Gap > 1 || Swapped) {
    Gap = Gap * 10 / 13;
    if (Gap == 0) Gap = 1;
    Swapped = false;
    for (int64_t I = First; I + Gap <= Last; ++I) {
      if (NeedsSwap(I, I + Gap)) {
        Swap(I, I + Gap);
        Swapped = true;
      }
    }
    Pass();
  }
}

template <class OutOfOrder, class Exchange>
void CombSort(int64_t First, int64_t Last, OutOfOrder&& NeedsSwap, Exchange&& Swap) {
  CombSort(First, Last, NeedsSwap, Swap, [] {});
}

}  // namespace nux
