// The plain textbook cyclic Jacobi loop: upper triangle and eigenvectors row-major, three
// rotation loops over the parts of rows and columns p and q, one over the rows of the
// eigenvector matrix. The reference for the speed (bench_math2) and the bits (math2 tests) of
// CalcEigVec, which performs the same rotations over contiguous memory.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace nux_reference {

using Grid = std::vector<std::vector<double>>;

// A (n x n, only the upper triangle read) is destroyed; D and V receive the result.
inline void TextbookJacobi(Grid& A, std::vector<double>& D, Grid& V) {
  const size_t N = A.size();
  V.assign(N, std::vector<double>(N, 0.0));
  D.resize(N);
  std::vector<double> B(N), Z(N, 0.0);
  for (size_t I = 0; I < N; ++I) {
    V[I][I] = 1.0;
    B[I] = D[I] = A[I][I];
  }
  const auto Rot = [](double& X, double& Y, double S, double Tau) {
    const double G = X, H = Y;
    X = G - S * (H + G * Tau);
    Y = H + S * (G - H * Tau);
  };
  for (int Sweep = 1; Sweep <= 100; ++Sweep) {
    double Sm = 0.0;
    for (size_t P = 0; P + 1 < N; ++P)
      for (size_t Q = P + 1; Q < N; ++Q) Sm += std::abs(A[P][Q]);
    if (Sm == 0.0) return;
    const double Tresh = Sweep < 4 ? 0.2 * Sm / (double(N) * double(N)) : 0.0;
    for (size_t P = 0; P + 1 < N; ++P)
      for (size_t Q = P + 1; Q < N; ++Q) {
        const double G = 200.0 * std::abs(A[P][Q]);
        if (Sweep > 4 && std::abs(D[P]) + G == std::abs(D[P]) &&
            std::abs(D[Q]) + G == std::abs(D[Q])) {
          A[P][Q] = 0.0;
        } else if (std::abs(A[P][Q]) > Tresh) {
          double H = D[Q] - D[P], T;
          if (std::abs(H) + G == std::abs(H)) {
            T = A[P][Q] / H;
          } else {
            const double Theta = 0.5 * H / A[P][Q];
            T = 1.0 / (std::abs(Theta) + std::sqrt(1.0 + Theta * Theta));
            if (Theta < 0.0) T = -T;
          }
          const double C = 1.0 / std::sqrt(1 + T * T), S = T * C, Tau = S / (1.0 + C);
          H = T * A[P][Q];
          Z[P] -= H, Z[Q] += H, D[P] -= H, D[Q] += H;
          A[P][Q] = 0.0;
          for (size_t J = 0; J < P; ++J) Rot(A[J][P], A[J][Q], S, Tau);
          for (size_t J = P + 1; J < Q; ++J) Rot(A[P][J], A[J][Q], S, Tau);
          for (size_t J = Q + 1; J < N; ++J) Rot(A[P][J], A[Q][J], S, Tau);
          for (size_t J = 0; J < N; ++J) Rot(V[J][P], V[J][Q], S, Tau);
        }
      }
    for (size_t I = 0; I < N; ++I) B[I] += Z[I], D[I] = B[I], Z[I] = 0.0;
  }
}

}  // namespace nux_reference
