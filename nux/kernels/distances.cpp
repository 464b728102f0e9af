#include "nux/kernels/distances.h"

#include <cmath>

#include "nux/kernels/columnops.h"
#include "nux/kernels/dispatch.h"

namespace nux::kernels {

namespace {
[[gnu::always_inline]] inline void DistancesBody(const double* W, size_t Stride, size_t M,
                                                 const double* Z, size_t N, double* D) {
  SquaredDistancesBody(W, Stride, M, Z, N, D);
}
}  // namespace

void SquaredDistances(const double* W, size_t Stride, size_t M, const double* Z, size_t N,
                      double* D) {
  TPathVariants<&DistancesBody>::For(ActivePath(arWidest))(W, Stride, M, Z, N, D);
}

size_t FirstSmallest(const double* D, size_t M) {
  size_t Best = 0;
  for (size_t J = 1; J < M; ++J)
    if (D[J] < D[Best] || (std::isnan(D[Best]) && !std::isnan(D[J]))) Best = J;
  return Best;
}

}  // namespace nux::kernels
