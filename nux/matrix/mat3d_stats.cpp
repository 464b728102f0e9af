// TMat3D: search, extremes, mean and variance, percentiles over a box of the array.
#include <algorithm>
#include <cmath>
#include <limits>

#include "nux/frame/moments.h"
#include "nux/host/random.h"
#include "nux/matrix/mat3d.h"
#include "nux/matrix/matrix_stats_impl.h"

namespace nux {

namespace {

// An inclusive, 0-based box of positions; empty when a dimension is.
struct TBox {
  int32_t X0 = 0, X1 = -1, Y0 = 0, Y1 = -1, Z0 = 0, Z1 = -1;
  int64_t Count() const {
    if (X1 < X0 || Y1 < Y0 || Z1 < Z0) return 0;
    return (int64_t{X1} - X0 + 1) * (int64_t{Y1} - Y0 + 1) * (int64_t{Z1} - Z0 + 1);
  }
};

TBox ClipBox(const TMat3D& M, int32_t Lc, int32_t Hc, int32_t Lr, int32_t Hr, int32_t Ll,
             int32_t Hl) {
  M.MakeValidColRange(Lc, Hc);
  M.MakeValidRowRange(Lr, Hr);
  M.MakeValidLayerRange(Ll, Hl);
  return TBox{Lc - 1, Hc - 1, Lr - 1, Hr - 1, Ll - 1, Hl - 1};
}

// Calls F(x, y, z, value) for the box in storage order (layer fastest).
template <class F>
void ForBox(const TDouble3DArray& Mat, const TBox& B, F&& Visit) {
  if (B.Count() == 0) return;
  for (int32_t X = B.X0; X <= B.X1; ++X)
    for (int32_t Y = B.Y0; Y <= B.Y1; ++Y) {
      const double* Line = Mat[size_t(X)][size_t(Y)].data();
      for (int32_t Z = B.Z0; Z <= B.Z1; ++Z) Visit(X, Y, Z, Line[Z]);
    }
}

// The I-th element of the box in storage order, read in sequence by the moment helpers.
class TBoxReader {
 public:
  TBoxReader(const TDouble3DArray& Mat, const TBox& B) : FMat(&Mat), FB(B) {}
  double operator()(int64_t I) {
    if (I != FNext) Seek(I);
    const double V = FLine[FZ];
    FNext = I + 1;
    if (++FZ > FB.Z1) {
      FZ = FB.Z0;
      if (++FY > FB.Y1) {
        FY = FB.Y0;
        ++FX;
      }
      if (FX <= FB.X1) FLine = (*FMat)[size_t(FX)][size_t(FY)].data();
    }
    return V;
  }

 private:
  void Seek(int64_t I) {
    const int64_t Nz = int64_t{FB.Z1} - FB.Z0 + 1, Ny = int64_t{FB.Y1} - FB.Y0 + 1;
    FZ = static_cast<int32_t>(FB.Z0 + I % Nz);
    FY = static_cast<int32_t>(FB.Y0 + (I / Nz) % Ny);
    FX = static_cast<int32_t>(FB.X0 + I / Nz / Ny);
    FLine = (*FMat)[size_t(FX)][size_t(FY)].data();
  }

  const TDouble3DArray* FMat;
  TBox FB;
  int64_t FNext = -1;
  int32_t FX = 0, FY = 0, FZ = 0;
  const double* FLine = nullptr;
};

}  // namespace

void TMat3D::Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                  int32_t LowLayer, int32_t HighLayer, double Value, int32_t& ColIx, int32_t& RowIx,
                  int32_t& LayerIx) const {
  ColIx = RowIx = LayerIx = 0;
  matrix_detail::TNearest<double> Near{Value};
  ForBox(Mat, ClipBox(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer),
         [&](int32_t X, int32_t Y, int32_t Z, double V) {
           if (!Near.Offer(V)) return;
           ColIx = X + 1;
           RowIx = Y + 1;
           LayerIx = Z + 1;
         });
}

void TMat3D::MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, double& Minimum, double& Maximum) const {
  Minimum = std::numeric_limits<double>::infinity();
  Maximum = -Minimum;
  bool Any = false;
  ForBox(Mat, ClipBox(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer),
         [&](int32_t, int32_t, int32_t, double V) {
           if (std::isnan(V)) return;
           if (!Any || V < Minimum) Minimum = V;
           if (!Any || V > Maximum) Maximum = V;
           Any = true;
         });
}

void TMat3D::MeanVar(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                     int32_t LowLayer, int32_t HighLayer, double& Mean, double& Variance) const {
  const TBox B = ClipBox(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  if (B.Count() == 0) {
    Mean = Variance = 0.0;
    return;
  }
  // A box a few layers thick is read with a stride of a whole line per element; gathering it
  // once (bounded memory) spares the second strided pass of the two-pass sums.
  if (B.Z1 - B.Z0 < 4 && B.Count() <= (int64_t{1} << 22)) {
    TDoubleArray Work;
    GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap,
                                [&] { Work.reserve(static_cast<size_t>(B.Count())); });
    ForBox(Mat, B, [&](int32_t, int32_t, int32_t, double V) { Work.push_back(V); });
    StableMeanVar(
        B.Count(), [&Work](int64_t I) { return Work[size_t(I)]; }, Mean, Variance);
    return;
  }
  StableMeanVar(B.Count(), TBoxReader(Mat, B), Mean, Variance);
}

double TMat3D::Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                          int32_t HighRow, int32_t LowLayer, int32_t HighLayer) const {
  const TBox B = ClipBox(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  TDoubleArray Work;
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap,
                              [&] { Work.reserve(static_cast<size_t>(B.Count())); });
  ForBox(Mat, B, [&](int32_t, int32_t, int32_t, double V) {
    if (!std::isnan(V)) Work.push_back(V);
  });
  return matrix_detail::SelectPercentile(Work, Prob);
}

double TMat3D::Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                          int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                          int32_t SampleSize) const {
  const TBox B = ClipBox(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  if (SampleSize <= 0 || SampleSize >= B.Count())
    return Percentile(Prob, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer);
  TDoubleArray Sample;
  GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap,
                              [&] { Sample.reserve(static_cast<size_t>(SampleSize)); });
  // Drawn from the running process-wide generator (no reseeding), so that a seeded run repeats
  // and two calls in one clock tick differ.
  for (int32_t S = 0; S < SampleSize; ++S) {
    const int32_t X = B.X0 + RandomInt(B.X1 - B.X0 + 1);
    const int32_t Y = B.Y0 + RandomInt(B.Y1 - B.Y0 + 1);
    const int32_t Z = B.Z0 + RandomInt(B.Z1 - B.Z0 + 1);
    const double V = Mat[size_t(X)][size_t(Y)][size_t(Z)];
    if (!std::isnan(V)) Sample.push_back(V);
  }
  return matrix_detail::SelectPercentile(Sample, Prob);
}

}  // namespace nux
