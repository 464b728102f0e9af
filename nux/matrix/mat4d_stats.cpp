// TMat4D: search, extremes, sums, mean and variance, percentiles and the fingerprint over a
// block of the array.
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/math1/sorting.h"
#include "nux/matrix/mat4d.h"
#include "nux/matrix/matrix_stats_impl.h"

namespace nux {

namespace {

// An inclusive, 0-based block of positions per dimension (column, row, layer, time slot).
struct TBox4 {
  int32_t Lo[4] = {0, 0, 0, 0}, Hi[4] = {0, 0, 0, 0};
  int64_t Count() const {
    int64_t N = 1;
    for (int I = 0; I < 4; ++I) N *= int64_t{Hi[I]} - Lo[I] + 1;
    return N;
  }
};

TBox4 ClipBox(const TMat4D& M, int32_t Lc, int32_t Hc, int32_t Lr, int32_t Hr, int32_t Ll,
              int32_t Hl, int32_t Lt, int32_t Ht) {
  M.MakeValidColRange(Lc, Hc);
  M.MakeValidRowRange(Lr, Hr);
  M.MakeValidLayerRange(Ll, Hl);
  M.MakeValidTSlotRange(Lt, Ht);
  TBox4 B;
  const int32_t L[4] = {Lc, Lr, Ll, Lt}, H[4] = {Hc, Hr, Hl, Ht};
  for (int I = 0; I < 4; ++I) {
    B.Lo[I] = L[I] - 1;
    B.Hi[I] = H[I] - 1;
  }
  return B;
}

// Calls Visit(x, y, z, t, value) in storage order (column fastest).
template <class F>
void ForBox(const TDouble4DArray& Mat, const TBox4& B, F&& Visit) {
  for (int32_t T = B.Lo[3]; T <= B.Hi[3]; ++T)
    for (int32_t Z = B.Lo[2]; Z <= B.Hi[2]; ++Z)
      for (int32_t Y = B.Lo[1]; Y <= B.Hi[1]; ++Y) {
        const double* Line = Mat[size_t(T)][size_t(Z)][size_t(Y)].data();
        for (int32_t X = B.Lo[0]; X <= B.Hi[0]; ++X) Visit(X, Y, Z, T, Line[X]);
      }
}

// The elements of B in storage order as a sequence for the moment helpers, stepping from one
// position to the next rather than dividing.
class TBox4Reader {
 public:
  TBox4Reader(const TDouble4DArray& Mat, const TBox4& B) : FMat(&Mat), FB(B) { Seek(0); }
  double operator()(int64_t I) {
    if (I != FNext) Seek(I);
    const double V = FLine[FP[0]];
    FNext = I + 1;
    if (++FP[0] > FB.Hi[0]) {
      FP[0] = FB.Lo[0];
      for (int D = 1; D < 4; ++D) {
        if (++FP[D] <= FB.Hi[D]) break;
        FP[D] = FB.Lo[D];
      }
      Line();
    }
    return V;
  }

 private:
  void Seek(int64_t I) {
    for (int D = 0; D < 4; ++D) {
      const int64_t N = int64_t{FB.Hi[D]} - FB.Lo[D] + 1;
      FP[D] = static_cast<int32_t>(FB.Lo[D] + I % N);
      I /= N;
    }
    FNext = -1;
    Line();
  }
  void Line() { FLine = (*FMat)[size_t(FP[3])][size_t(FP[2])][size_t(FP[1])].data(); }

  const TDouble4DArray* FMat;
  TBox4 FB;
  int64_t FNext = -1;
  int32_t FP[4] = {0, 0, 0, 0};
  const double* FLine = nullptr;
};

// The eight range parameters, passed on.
#define NUX_BOX_ARGS \
  LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot, HighTimeSlot

}  // namespace

void TMat4D::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                  int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                  double Value, int32_t& ColIx, int32_t& RowIx, int32_t& LayerIx,
                  int32_t& TimeSlotIx) const {
  ColIx = RowIx = LayerIx = TimeSlotIx = 0;
  matrix_detail::TNearest<double> Near{Value};
  ForBox(Mat, ClipBox(*this, NUX_BOX_ARGS),
         [&](int32_t X, int32_t Y, int32_t Z, int32_t T, double V) {
           if (!Near.Offer(V)) return;
           ColIx = X + 1;
           RowIx = Y + 1;
           LayerIx = Z + 1;
           TimeSlotIx = T + 1;
         });
}

void TMat4D::MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                    double& Minimum, double& Maximum) const {
  Minimum = std::numeric_limits<double>::infinity();
  Maximum = -Minimum;
  bool Any = false;
  ForBox(Mat, ClipBox(*this, NUX_BOX_ARGS), [&](int32_t, int32_t, int32_t, int32_t, double V) {
    if (std::isnan(V)) return;
    if (!Any || V < Minimum) Minimum = V;
    if (!Any || V > Maximum) Maximum = V;
    Any = true;
  });
}

void TMat4D::MeanVar(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                     int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                     double& Mean, double& Variance) const {
  const TBox4 B = ClipBox(*this, NUX_BOX_ARGS);
  StableMeanVar(B.Count(), TBox4Reader(Mat, B), Mean, Variance);
}

double TMat4D::Sum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                   int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                   int32_t HighTimeSlot) const {
  double S = 0.0;
  ForBox(Mat, ClipBox(*this, NUX_BOX_ARGS),
         [&](int32_t, int32_t, int32_t, int32_t, double V) { S += V; });
  return S;
}

double TMat4D::SquaredSum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                          int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                          int32_t HighTimeSlot) const {
  double S = 0.0;
  ForBox(Mat, ClipBox(*this, NUX_BOX_ARGS),
         [&](int32_t, int32_t, int32_t, int32_t, double V) { S += V * V; });
  return S;
}

int32_t TMat4D::CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                            int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                            int32_t HighTimeSlot, double RangeLow, double RangeHigh) const {
  int64_t N = 0;
  ForBox(Mat, ClipBox(*this, NUX_BOX_ARGS), [&](int32_t, int32_t, int32_t, int32_t, double V) {
    if (RangeLow <= V && V <= RangeHigh) ++N;
  });
  return int32_t(std::min<int64_t>(N, std::numeric_limits<int32_t>::max()));
}

double TMat4D::Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                          int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                          int32_t HighTimeSlot) const {
  // Exact selection over every comparable value: a shortcut that guesses a frequent value from
  // a few probes gives wrong ranks for data that are not non-negative on a zero background.
  const TBox4 B = ClipBox(*this, NUX_BOX_ARGS);
  TDoubleArray Work;
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap,
                              [&] { Work.reserve(static_cast<size_t>(B.Count())); });
  ForBox(Mat, B, [&](int32_t, int32_t, int32_t, int32_t, double V) {
    if (!std::isnan(V)) Work.push_back(V);
  });
  return matrix_detail::SelectPercentile(Work, Prob);
}

namespace {

// SampleSize draws with replacement from the running process-wide generator (never reseeded,
// so that a seeded run repeats); NaN draws left out.
TDoubleArray DrawSample(const TMat4D& M, const TBox4& B, int32_t SampleSize) {
  TDoubleArray Sample;
  GuardAlloc<ENUXMatrixError>(M, msgNoMemoryOnHeap,
                              [&] { Sample.reserve(static_cast<size_t>(SampleSize)); });
  for (int32_t S = 0; S < SampleSize; ++S) {
    int32_t P[4];
    for (int D = 0; D < 4; ++D) P[D] = B.Lo[D] + RandomInt(B.Hi[D] - B.Lo[D] + 1);
    const double V = M.Data()[size_t(P[3])][size_t(P[2])][size_t(P[1])][size_t(P[0])];
    if (!std::isnan(V)) Sample.push_back(V);
  }
  return Sample;
}

}  // namespace

double TMat4D::Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                          int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                          int32_t HighTimeSlot, int32_t SampleSize) const {
  const TBox4 B = ClipBox(*this, NUX_BOX_ARGS);
  if (SampleSize <= 0 || SampleSize >= B.Count()) return Percentile(Prob, NUX_BOX_ARGS);
  TDoubleArray Sample = DrawSample(*this, B, SampleSize);
  return matrix_detail::SelectPercentile(Sample, Prob);
}

double TMat4D::Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                          int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                          int32_t HighTimeSlot, int32_t SampleSize, double AbundantVal) const {
  const TBox4 B = ClipBox(*this, NUX_BOX_ARGS);
  if (SampleSize <= 0 || SampleSize >= B.Count()) return Percentile(Prob, NUX_BOX_ARGS);
  const TDoubleArray Sample = DrawSample(*this, B, SampleSize);
  const auto N = static_cast<int32_t>(Sample.size());
  if (N == 0) return std::nan("");
  if (std::isnan(Prob)) Prob = 0.0;
  Prob = std::clamp(Prob, 0.0, 100.0);
  const int32_t K = std::min(RoundToInt32(Prob * N / 100.0), N - 1);
  return QuickSelect(std::span<const double>(Sample), K, 0, N - 1, AbundantVal);
}

std::string TMat4D::CRCofData(int32_t Sample) {
  Sample = std::max(1, std::min(Sample, FNumZ / 2));
  TDataFingerprint<double> Crc;
  const int64_t Total = int64_t{FNumX} * FNumY;
  const int64_t Step = std::max<int64_t>(1, Total / 100);
  int64_t Count = 0;
  for (int32_t X = 0; X < FNumX; ++X)
    for (int32_t Y = 0; Y < FNumY; ++Y) {
      for (int32_t Z = Sample - 1; Z < FNumZ; Z += Sample)
        for (int32_t T = 0; T < FNumT; ++T) Crc.Add(At(X, Y, Z, T));
      if (++Count % Step == 0) PercDone(this, RoundToInt32(double(Count) * 100.0 / double(Total)));
    }
  return Crc.Result();
}

}  // namespace nux
#undef NUX_BOX_ARGS
