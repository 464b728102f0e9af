// Members of TIntVector that TVector does not have.
#include <algorithm>
#include <cstdlib>

#include "nux/kernels/histogram.h"
#include "nux/vector/vector.h"

namespace nux {

void TIntVector::SetIntVecSize(int32_t NE) {
  if (NE > 0 && NE != NrOfElem()) Resize(NE);
}

bool TIntVector::Histogram(int32_t FirstElem, int32_t LastElem, int32_t FirstBin, int32_t LastBin,
                           int32_t BinWidth, TIntArray& Histo, int32_t& Underflow,
                           int32_t& Overflow, int32_t& MaxCnt) const {
  const int64_t Width = std::max(BinWidth, 1);
  const int64_t Bins = std::llabs(int64_t{LastBin} - FirstBin) / Width + 1;
  if (Bins < 1 || Bins > 500)
    RaiseComponentError<ENUXVectorError>(*this, "Histogram", "invalid number of bins");
  kernels::CountHistogram(
      FVec, FirstElem, LastElem, Bins,
      [&](int32_t X) -> int64_t { return X < FirstBin ? -1 : (int64_t{X} - FirstBin) / Width; },
      Histo, Underflow, Overflow, MaxCnt);
  return true;
}

bool TIntVector::Histogram(int32_t FirstElem, int32_t LastElem, int32_t FirstBin, int32_t LastBin,
                           int32_t BinWidth, TIntVector& Histo, int32_t& Underflow,
                           int32_t& Overflow, int32_t& MaxCnt) const {
  TIntArray Counts;
  Histogram(FirstElem, LastElem, FirstBin, LastBin, BinWidth, Counts, Underflow, Overflow, MaxCnt);
  Histo.Resize(static_cast<int32_t>(Counts.size()));
  Histo.CopyFrom(Counts, 0, 0, 1);
  return true;
}

}  // namespace nux
