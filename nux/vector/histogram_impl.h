// Counting shared by the double and integer histograms of the vectors.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "nux/frame/types.h"

namespace nux::vector_detail {

// Counts Data's elements FirstElem..LastElem (1-based; indices outside the data read as 0)
// into Bins bins. BinOf(x) gives -1 for an underflow, Bins or more for an overflow, else the
// bin. The out-of-range indices are counted in one step, so a huge range costs nothing.
// Counts saturate at 2^31 - 1.
template <class T, class Classify>
void CountHistogram(const std::vector<T>& Data, int32_t FirstElem, int32_t LastElem, int64_t Bins,
                    Classify&& BinOf, TIntArray& Histo, int32_t& Underflow, int32_t& Overflow,
                    int32_t& MaxCnt) {
  std::vector<int64_t> Counts(static_cast<size_t>(Bins), 0);
  int64_t Under = 0, Over = 0;
  const auto Count = [&](T X, int64_t Times) {
    const int64_t Bin = BinOf(X);
    if (Bin < 0)
      Under += Times;
    else if (Bin >= Bins)
      Over += Times;
    else
      Counts[static_cast<size_t>(Bin)] += Times;
  };
  const int64_t Lo = FirstElem, Hi = LastElem;
  const int64_t InLo = std::max<int64_t>(Lo, 1);
  const int64_t InHi = std::min<int64_t>(Hi, static_cast<int64_t>(Data.size()));
  int64_t Outside = Hi >= Lo ? Hi - Lo + 1 : 0;
  for (int64_t K = InLo; K <= InHi; ++K) {
    Count(Data[static_cast<size_t>(K - 1)], 1);
    --Outside;
  }
  if (Outside > 0) Count(T{}, Outside);
  const auto Clip = [](int64_t V) { return static_cast<int32_t>(std::min<int64_t>(V, INT32_MAX)); };
  Histo.assign(static_cast<size_t>(Bins), 0);
  int64_t Max = 0;
  for (size_t B = 0; B < Counts.size(); ++B) {
    Histo[B] = Clip(Counts[B]);
    Max = std::max(Max, Counts[B]);
  }
  Underflow = Clip(Under);
  Overflow = Clip(Over);
  MaxCnt = Clip(Max);
}

}  // namespace nux::vector_detail
