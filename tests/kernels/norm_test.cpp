#include "nux/kernels/norm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "nux/matrix/matrix.h"
#include "nux/openarrays/elementwise.h"
#include "nux/vector/vector.h"

namespace nux {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

double Norm(const std::vector<double>& X, kernels::TNormMode Mode) {
  return kernels::EuclideanNorm(
      [&](auto&& Visit) {
        for (const double V : X) Visit(V);
      },
      Mode);
}

// The one rule of the vector length, the Frobenius norm and the array normalisation: NaN wins
// over an infinity, which wins over finite values; huge and tiny values neither overflow nor
// underflow.
TEST(EuclideanNorm, OneRuleForEveryCaller) {
  for (const auto Mode : {kernels::nmScaled, kernels::nmDirectWhenSafe}) {
    EXPECT_TRUE(std::isnan(Norm({1.0, Inf, NaN, 2.0}, Mode)));
    EXPECT_TRUE(std::isnan(Norm({NaN, -Inf}, Mode)));
    EXPECT_EQ(Norm({1.0, -Inf, 2.0}, Mode), Inf);
    EXPECT_EQ(Norm({}, Mode), 0.0);
    EXPECT_EQ(Norm({0.0, -0.0}, Mode), 0.0);
    EXPECT_NEAR(Norm({3e200, -4e200}, Mode) / 5e200, 1.0, 1e-15);
    EXPECT_NEAR(Norm({3e-200, 4e-200}, Mode) / 5e-200, 1.0, 1e-15);
    EXPECT_NEAR(Norm({1e-310, 1e-310}, Mode) / (std::sqrt(2.0) * 1e-310), 1.0, 1e-6);
  }
  // Where the plain squares are safe, the direct sum is what the vector length returns.
  EXPECT_EQ(Norm({0.1, 0.2, 0.3}, kernels::nmDirectWhenSafe),
            std::sqrt(0.1 * 0.1 + 0.2 * 0.2 + 0.3 * 0.3));

  TVector V;
  V.Resize(3);
  V.SetVal(1, Inf), V.SetVal(2, NaN);
  EXPECT_TRUE(std::isnan(V.Leng()));
  V.SetVal(2, 1e300);
  EXPECT_EQ(V.Leng(), Inf);
  TMatrix M;
  M.Resize(2, 2);
  M.SetVal(1, 1, 3e200), M.SetVal(2, 2, 4e200);
  EXPECT_NEAR(M.Norm(ntFrobenius) / 5e200, 1.0, 1e-15);
  M.SetVal(1, 2, -Inf);
  EXPECT_EQ(M.Norm(ntFrobenius), Inf);
  M.SetVal(2, 1, NaN);
  EXPECT_TRUE(std::isnan(M.Norm(ntFrobenius)));
  TDouble2DArray A{{3e-200, 4e-200}, {0.0, 0.0}};
  EXPECT_EQ(NormalizeColumns(A), -1);  // the zero column is left
  EXPECT_NEAR(A[0][0], 0.6, 1e-15);
  EXPECT_NEAR(A[0][1], 0.8, 1e-15);
}

}  // namespace
}  // namespace nux
