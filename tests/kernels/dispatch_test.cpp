#include "nux/kernels/dispatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "nux/host/random.h"
#include "nux/kernels/gemm.h"
#include "nux/matrix/svd.h"
#include "nux/openarrays/arraymath.h"
#include "nux/openarrays/invert.h"

namespace nux {
namespace {

using kernels::TKernelPath;
using kernels::TScopedKernelPath;

const TKernelPath kWidePaths[] = {kernels::kpAVX2, kernels::kpAVX512};

// Values over twelve decades and both signs, so that any change in the order of a sum shows.
TDouble2DArray Wild(size_t Nc, size_t Nr, uint32_t Seed) {
  SetRandSeed(Seed);
  TDouble2DArray A(Nc, TDoubleArray(Nr));
  for (auto& Column : A)
    for (double& X : Column) X = (Random() - 0.5) * std::pow(10.0, RandomInt(12) - 6);
  return A;
}

bool SameBits(const TDouble2DArray& X, const TDouble2DArray& Y) {
  if (X.size() != Y.size()) return false;
  for (size_t C = 0; C < X.size(); ++C)
    if (X[C].size() != Y[C].size() ||
        std::memcmp(X[C].data(), Y[C].data(), X[C].size() * sizeof(double)) != 0)
      return false;
  return true;
}

TEST(KernelPaths, ForcingFallsBackAndTheScopeRestoresTheRequest) {
  const TKernelPath Best = kernels::BestPath();
  EXPECT_EQ(kernels::RequestedKernelPath(), kernels::kpAuto);
  {
    const TScopedKernelPath Outer(kernels::kpGeneric);
    EXPECT_EQ(Outer.Used(), kernels::kpGeneric);
    EXPECT_EQ(kernels::ActivePath(kernels::arAvoidSplit512), kernels::kpGeneric);
    // Leaving a scope by an exception (as a failed ASSERT leaves a test) restores the request.
    EXPECT_THROW(
        {
          const TScopedKernelPath Inner(kernels::kpAVX512);
          EXPECT_EQ(Inner.Used(), Best);  // the widest the processor has, at most AVX-512
          throw std::runtime_error("leave");
        },
        std::runtime_error);
    EXPECT_EQ(kernels::RequestedKernelPath(), kernels::kpGeneric);
  }
  EXPECT_EQ(kernels::RequestedKernelPath(), kernels::kpAuto);
  EXPECT_EQ(kernels::ActivePath(), Best);
  const TKernelPath Split = kernels::ActivePath(kernels::arAvoidSplit512);
  EXPECT_TRUE(Split == Best || (Best == kernels::kpAVX512 && Split == kernels::kpAVX2));
}

// The decomposition, the inversion and the open-array product give the same bits on every
// path as on the generic one.
TEST(KernelPaths, EveryPathGivesTheGenericBits) {
  if (!kernels::SeveralPaths()) GTEST_SKIP() << "the processor runs only the generic path";
  struct TResults {
    TDouble2DArray U, V, Inverse, Product;
    TDoubleArray W;
  };
  // 37 x 53 and 70 x 70: remainders after every vector width and after the 16-lane sums.
  const TDouble2DArray A = Wild(37, 53, 4), Sq = Wild(70, 70, 5), B = Wild(29, 37, 6);
  auto Run = [&](TKernelPath Path) {
    const TScopedKernelPath Force(Path);
    TResults R{A, TDouble2DArray(A.size(), TDoubleArray(A.size())), Sq, {}, TDoubleArray(A.size())};
    EXPECT_EQ(SingularValueDecomp(R.U, R.V, R.W), svdOK);
    EXPECT_EQ(InvertArray(R.Inverse), 0);
    EXPECT_EQ(MultiplyArrays(A, B, R.Product), 0);
    return std::make_pair(Force.Used(), R);
  };
  const auto [GenericPath, Generic] = Run(kernels::kpGeneric);
  ASSERT_EQ(GenericPath, kernels::kpGeneric);
  int Compared = 0;
  for (const TKernelPath Path : kWidePaths) {
    const auto [Used, R] = Run(Path);
    if (Used != Path) continue;
    SCOPED_TRACE("path " + std::to_string(Path));
    ++Compared;
    EXPECT_TRUE(SameBits(R.U, Generic.U));
    EXPECT_TRUE(SameBits(R.V, Generic.V));
    EXPECT_TRUE(SameBits({R.W}, {Generic.W}));
    EXPECT_TRUE(SameBits(R.Inverse, Generic.Inverse));
    EXPECT_TRUE(SameBits(R.Product, Generic.Product));
  }
  EXPECT_GT(Compared, 0);
}

// A product added to or subtracted from C rounds as the scalar loop that adds or subtracts each
// product in turn onto C's value, across the kernel's slices of terms (K > 256) and ragged tiles.
TEST(KernelPaths, ProductOntoCKeepsTheScalarOrder) {
  const size_t M = 37, N = 29, K = 300;
  const TDouble2DArray A = Wild(K, M, 7), B = Wild(N, K, 8), C0 = Wild(N, M, 9);
  const auto ACols = kernels::ColumnPointers(A), BCols = kernels::ColumnPointers(B);
  for (const auto Into : {kernels::giAdd, kernels::giSubtract}) {
    TDouble2DArray Want = C0;
    for (size_t J = 0; J < N; ++J)
      for (size_t I = 0; I < M; ++I)
        for (size_t P = 0; P < K; ++P)
          Want[J][I] = Into == kernels::giAdd ? Want[J][I] + A[P][I] * B[J][P]
                                              : Want[J][I] - A[P][I] * B[J][P];
    for (const TKernelPath Path : {kernels::kpGeneric, kernels::kpAVX2, kernels::kpAVX512}) {
      const TScopedKernelPath Force(Path);
      std::vector<double> C(M * N);
      for (size_t J = 0; J < N; ++J) std::copy(C0[J].begin(), C0[J].end(), C.begin() + J * M);
      kernels::Gemm(M, N, K, {ACols.data(), false}, 0, {BCols.data(), false}, 0, C.data(), M, false,
                    nullptr, Into);
      TDouble2DArray Got(N);
      for (size_t J = 0; J < N; ++J) Got[J].assign(C.begin() + J * M, C.begin() + (J + 1) * M);
      EXPECT_TRUE(SameBits(Got, Want)) << "path " << Force.Used() << " mode " << Into;
    }
  }
}

}  // namespace
}  // namespace nux
