// Linear algebra: the node voltages of a resistor ladder (data/ladder.txt, data/currents.txt)
// through the inverse of its conductance matrix, then the inverse and the singular value
// decomposition of a generated 120 x 120 matrix, each checked by its residual.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "nux/nux.h"

using namespace nux;

namespace {

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }
std::string E(double X) { return strf(X, 1, -2); }

// Largest |element| of A * B - I.
double InverseResidual(TMatrix& A, const TMatrix& AInv) {
  TMatrix P;
  A.Multiply(&AInv, &P);
  double Max = 0;
  for (int32_t C = 1; C <= P.NrOfColumns(); ++C)
    for (int32_t R = 1; R <= P.NrOfRows(); ++R)
      Max = std::max(Max, std::fabs(P(C, R) - (C == R ? 1.0 : 0.0)));
  return Max;
}

// Singular values (sorted, largest first) and the largest |element| of A - U diag(W) V^T.
double SvdResidual(const TMatrix& A, TDoubleArray& W) {
  const auto N = static_cast<size_t>(A.NrOfColumns());
  TDouble2DArray U = A.ToStdVector(), V(N, TDoubleArray(N));
  W.assign(N, 0.0);
  if (SingularValueDecomp(U, V, W) != svdOK) return NAN;
  double Max = 0;
  for (size_t C = 0; C < N; ++C)
    for (size_t R = 0; R < U[0].size(); ++R) {
      double S = 0;
      for (size_t K = 0; K < N; ++K) S += U[K][R] * W[K] * V[K][C];  // V[k][c]: row c of V
      Max = std::max(Max, std::fabs(S - A.Data()[C][R]));
    }
  std::sort(W.begin(), W.end(), std::greater<double>());
  return Max;
}

int Run(const std::string& Dir) {
  TMatrix G;
  TVector I;
  if (LoadPlainText(Dir + "/ladder.txt", G) != ptOK ||
      LoadPlainText(Dir + "/currents.txt", I) != ptOK || G.NrOfColumns() != G.NrOfRows() ||
      I.NrOfElem() != G.NrOfRows()) {
    std::fprintf(stderr, "linalg: cannot read the ladder data in %s\n", Dir.c_str());
    return 1;
  }
  const int32_t N = G.NrOfColumns();
  std::printf("resistor ladder: %d nodes\n", N);
  TMatrix GInv;
  GInv.Assign(&G);
  if (!GInv.Invert()) {
    std::fprintf(stderr, "linalg: the conductance matrix is singular\n");
    return 1;
  }
  TVector U, Check;
  GInv.Multiply(&I, &U);  // U = G^-1 I
  G.Multiply(&U, &Check);
  double Kcl = 0;  // Kirchhoff: G U - I should vanish
  for (int32_t K = 1; K <= N; ++K) Kcl = std::max(Kcl, std::fabs(Check(K) - I(K)));
  std::printf("  node voltages / V:");
  for (int32_t K = 1; K <= N; ++K) std::printf(" %s", F(U(K), 4).c_str());
  std::printf("\n  |G G^-1 - I| = %s, |G U - I| = %s A\n", E(InverseResidual(G, GInv)).c_str(),
              E(Kcl).c_str());
  TDoubleArray W;
  const double GRes = SvdResidual(G, W);
  std::printf("  singular values %s .. %s, condition %s, |G - U W V^T| = %s\n",
              E(W.front()).c_str(), E(W.back()).c_str(), F(W.front() / W.back(), 1).c_str(),
              E(GRes).c_str());

  // A generated matrix: uniform entries plus a moderate diagonal.
  const int32_t M = 120;
  SetRandSeed(2026);
  TMatrix A(M, M);
  A.FillRandomUniform(-1, 1);
  for (int32_t K = 1; K <= M; ++K) A(K, K) += 4;
  TMatrix AInv;
  AInv.Assign(&A);
  std::printf("\ngenerated %d x %d matrix\n", M, M);
  if (!AInv.Invert()) {
    std::fprintf(stderr, "linalg: the generated matrix is singular\n");
    return 1;
  }
  std::printf("  determinant %s, |A A^-1 - I| = %s\n", E(A.Determinant()).c_str(),
              E(InverseResidual(A, AInv)).c_str());
  const double ARes = SvdResidual(A, W);
  const double Tol = W.front() * M * 2.2e-16;
  const auto Rank = std::count_if(W.begin(), W.end(), [&](double S) { return S > Tol; });
  std::printf("  singular values %s .. %s, condition %s, rank %d\n", F(W.front(), 3).c_str(),
              F(W.back(), 3).c_str(), F(W.front() / W.back(), 2).c_str(), int(Rank));
  std::printf("  |A - U W V^T| = %s, spectral norm %s\n", E(ARes).c_str(),
              F(A.Norm(ntSpectral), 3).c_str());
  const bool Ok = InverseResidual(A, AInv) < 1e-12 && ARes < 1e-12 && Kcl < 1e-15;
  std::printf("\nresiduals %s\n", Ok ? "ok" : "TOO LARGE");
  return Ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc > 1 ? argv[1] : NUX_EXAMPLE_DATA);
  } catch (const Exception& Ex) {
    std::fprintf(stderr, "linalg: %s\n", Ex.what());
    return 1;
  }
}
