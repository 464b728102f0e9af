// Histogram counting shared by the vectors and the matrices.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "nux/frame/rounding.h"
#include "nux/frame/types.h"

namespace nux::kernels {

// A classification that counts the value nowhere (neither in a bin nor as under- or overflow).
inline constexpr int64_t NoBin = std::numeric_limits<int64_t>::min();

// Counts into Bins bins the values that Visit hands to its argument: Visit(Count) calls
// Count(x, times) once per distinct run of values. BinOf(x) gives -1 for an underflow, Bins or
// more for an overflow, NoBin for a value counted nowhere, else the bin. Counts saturate at
// 2^31 - 1.
template <class Classify, class VisitAll>
void CountIntoBins(int64_t Bins, Classify&& BinOf, VisitAll&& Visit, TIntArray& Histo,
                   int32_t& Underflow, int32_t& Overflow, int32_t& MaxCnt) {
  std::vector<int64_t> Counts(static_cast<size_t>(Bins), 0);
  int64_t Under = 0, Over = 0;
  Visit([&](auto X, int64_t Times) {
    const int64_t Bin = BinOf(X);
    if (Bin == NoBin)
      return;
    else if (Bin < 0)
      Under += Times;
    else if (Bin >= Bins)
      Over += Times;
    else
      Counts[static_cast<size_t>(Bin)] += Times;
  });
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

// Counts Data's elements FirstElem..LastElem (1-based; indices outside the data read as 0)
// into Bins bins, classified as by CountIntoBins. The out-of-range indices are counted in one
// step, so a huge range costs nothing.
template <class T, class Classify>
void CountHistogram(const std::vector<T>& Data, int32_t FirstElem, int32_t LastElem, int64_t Bins,
                    Classify&& BinOf, TIntArray& Histo, int32_t& Underflow, int32_t& Overflow,
                    int32_t& MaxCnt) {
  CountIntoBins(
      Bins, [&](T X) { return BinOf(X); },
      [&](auto&& Count) {
        const int64_t Lo = FirstElem, Hi = LastElem;
        const int64_t InLo = std::max<int64_t>(Lo, 1);
        const int64_t InHi = std::min<int64_t>(Hi, static_cast<int64_t>(Data.size()));
        int64_t Outside = Hi >= Lo ? Hi - Lo + 1 : 0;
        for (int64_t K = InLo; K <= InHi; ++K) {
          Count(Data[static_cast<size_t>(K - 1)], 1);
          --Outside;
        }
        if (Outside > 0) Count(T{}, Outside);
      },
      Histo, Underflow, Overflow, MaxCnt);
}

// Bins of width BinWidth from FirstBin to LastBin for doubles: the number of bins, or 0 when
// the width is not positive and finite, a bound is not finite, or there would be more than 500.
struct TDoubleBins {
  double First = 0.0, Last = 0.0, Width = 1.0;
  int64_t Count = 0;

  TDoubleBins(double FirstBin, double LastBin, double BinWidth)
      : First(FirstBin), Last(LastBin), Width(BinWidth) {
    if (!(BinWidth > 0.0) || !std::isfinite(BinWidth) || !std::isfinite(FirstBin) ||
        !std::isfinite(LastBin))
      return;
    const double Bins = RoundEven(std::fabs(LastBin - FirstBin) / BinWidth) + 1.0;
    if (Bins <= 500.0) Count = static_cast<int64_t>(Bins);
  }

  // The classification CountIntoBins expects. NaN is counted nowhere; rounding can reach one
  // past the last bin when the span is no whole multiple of the width: that is overflow.
  int64_t operator()(double X) const {
    if (std::isnan(X)) return NoBin;
    if (X < First) return -1;
    if (X >= Last + Width) return Count;
    const double Bin = std::floor((X - First) / Width);
    return Bin < static_cast<double>(Count) ? static_cast<int64_t>(Bin) : Count;
  }
};

}  // namespace nux::kernels
