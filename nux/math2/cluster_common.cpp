// The names of the linkage rules and the kernel calls shared by the clustering sources.
#include "nux/kernels/dispatch.h"
#include "nux/math2/cluster_impl.h"

namespace nux {

const std::array<const char*, 6> ClusterMethodID = {"single linkage",    "complete linkage",
                                                    "Ward's method",     "average linkage",
                                                    "flexible strategy", "unweighted pair group"};

namespace math2_detail {

namespace {

template <auto Body, class... A>
auto OnActivePath(A... Args) {
  return kernels::TPathVariants<Body>::For(kernels::ActivePath())(Args...);
}

}  // namespace

std::vector<const double*> ColumnPointers(const TMatrix& Data, size_t NCols) {
  std::vector<const double*> Cols(NCols, nullptr);
  const auto& Columns = Data.Data();
  for (size_t C = 0; C < NCols && C < Columns.size(); ++C) Cols[C] = Columns[C].data();
  return Cols;
}

void RowDistances(kernels::TRowDistance Kind, const std::vector<const double*>& Cols,
                  const double* Q, size_t R0, size_t N, double* Out) {
  const double* const* C = Cols.data();
  const size_t Nc = Cols.size();
  switch (Kind) {
    case kernels::rdTanimoto:
      return OnActivePath<&kernels::RowDistancesBody<kernels::rdTanimoto>>(C, Nc, Q, R0, N, Out);
    case kernels::rdCityBlock:
      return OnActivePath<&kernels::RowDistancesBody<kernels::rdCityBlock>>(C, Nc, Q, R0, N, Out);
    case kernels::rdEuclid:
      return OnActivePath<&kernels::RowDistancesBody<kernels::rdEuclid>>(C, Nc, Q, R0, N, Out);
    case kernels::rdEuclidSqr:
      return OnActivePath<&kernels::RowDistancesBody<kernels::rdEuclidSqr>>(C, Nc, Q, R0, N, Out);
    case kernels::rdDice:
      return OnActivePath<&kernels::RowDistancesBody<kernels::rdDice>>(C, Nc, Q, R0, N, Out);
  }
}

void NearestCentres(const std::vector<const double*>& Cols, const double* Centres, size_t K,
                    size_t R0, size_t N, int32_t* Best) {
  OnActivePath<&kernels::NearestCentreBody>(Cols.data(), Cols.size(), Centres, K, R0, N, Best);
}

double Minimum(const double* X, size_t N) { return OnActivePath<&kernels::MinimumBody>(X, N); }

}  // namespace math2_detail

}  // namespace nux
