// Goto-style blocking: a KC x NC slice of B is packed into panels of NR columns, an MC x KC block
// of A into panels of MR rows, and a register tile of MR x NR sums runs over the KC terms. Slices
// after the first reload the partial sums from C and go on adding, so every sum keeps index order.
// A subtracting product packs A negated: c + (-a)*b rounds exactly as c - a*b.
#include "nux/kernels/gemm.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "nux/kernels/dispatch.h"

namespace nux::kernels {

namespace {

constexpr int64_t kKC = 256;   // terms per slice: a B micro-panel (KC x NR) stays in L1
constexpr int64_t kMC = 240;   // rows of a packed A block (L2); a multiple of every MR
constexpr int64_t kNC = 3072;  // columns of a packed B slice (L3); a multiple of every NR

// Register tile of MV vectors of W doubles (MR rows) by NR columns.
template <int W, int MV, int NR>
struct TTile {
  static constexpr int kW = W;
  static constexpr int kMV = MV;
  static constexpr int kMR = W * MV;
  static constexpr int kNR = NR;
};

using TTile512 = TTile<8, 3, 8>;
using TTile256 = TTile<4, 2, 6>;
using TTileGeneric = TTile<2, 2, 6>;

// One full tile: C(0..MR-1, 0..NR-1) (+)= Pa * Pb over Kc terms. Pa holds MR values per term,
// Pb NR values per term.
template <class T>
[[gnu::always_inline]] inline void MicroKernel(int64_t Kc, const double* Pa, const double* Pb,
                                               double* const* Cp, int64_t R, bool First) {
  constexpr int W = T::kW, MV = T::kMV, MR = T::kMR, NR = T::kNR;
  using V = typename VecOf<W>::V;
  V Acc[NR][MV];
#pragma GCC unroll 8
  for (int J = 0; J < NR; ++J)
#pragma GCC unroll 4
    for (int I = 0; I < MV; ++I) {
      if (First)
        Acc[J][I] = V{};
      else
        std::memcpy(&Acc[J][I], Cp[J] + R + I * W, sizeof(V));
    }
  for (int64_t P = 0; P < Kc; ++P) {
    V A[MV];
#pragma GCC unroll 4
    for (int I = 0; I < MV; ++I) std::memcpy(&A[I], Pa + I * W, sizeof(V));
#pragma GCC unroll 8
    for (int J = 0; J < NR; ++J) {
      const double B = Pb[J];
#pragma GCC unroll 4
      for (int I = 0; I < MV; ++I) Acc[J][I] = Acc[J][I] + A[I] * B;
    }
    Pa += MR;
    Pb += NR;
  }
#pragma GCC unroll 8
  for (int J = 0; J < NR; ++J)
#pragma GCC unroll 4
    for (int I = 0; I < MV; ++I) std::memcpy(Cp[J] + R + I * W, &Acc[J][I], sizeof(V));
}

// Runs the tiles of an Mc x Nc block of C over one slice of Kc terms; tiles cut by the block's
// edge go through a local buffer. A tile whose every column index lies below its every row index
// (shifted by Shift, the block's row offset less its column offset) is skipped.
template <class T>
[[gnu::always_inline]] inline void MacroKernel(int64_t Mc, int64_t Nc, int64_t Kc, const double* Pa,
                                               const double* Pb, double* const* Cols, int64_t R0,
                                               bool First, int64_t Shift) {
  constexpr int MR = T::kMR, NR = T::kNR;
  for (int64_t Jr = 0; Jr < Nc; Jr += NR) {
    const int64_t Nr = std::min<int64_t>(NR, Nc - Jr);
    double* const* Ct = Cols + Jr;
    for (int64_t Ir = 0; Ir < Mc; Ir += MR) {
      const int64_t Mr = std::min<int64_t>(MR, Mc - Ir);
      if (Jr + Nr - 1 < Ir + Shift) continue;
      if (Mr == MR && Nr == NR) {
        MicroKernel<T>(Kc, Pa + Ir * Kc, Pb + Jr * Kc, Ct, R0 + Ir, First);
        continue;
      }
      double Tile[MR * NR] = {};
      double* TileCols[NR];
      for (int J = 0; J < NR; ++J) TileCols[J] = Tile + J * MR;
      if (!First)
        for (int64_t J = 0; J < Nr; ++J) std::memcpy(Tile + J * MR, Ct[J] + R0 + Ir, Mr * 8);
      MicroKernel<T>(Kc, Pa + Ir * Kc, Pb + Jr * Kc, TileCols, 0, First);
      for (int64_t J = 0; J < Nr; ++J) std::memcpy(Ct[J] + R0 + Ir, Tile + J * MR, Mr * 8);
    }
  }
}

using TMacroFn = void (*)(int64_t, int64_t, int64_t, const double*, const double*, double* const*,
                          int64_t, bool, int64_t);

__attribute__((target("avx512f"))) void Macro512(int64_t Mc, int64_t Nc, int64_t Kc,
                                                 const double* Pa, const double* Pb,
                                                 double* const* Cols, int64_t R0, bool First,
                                                 int64_t Shift) {
  MacroKernel<TTile512>(Mc, Nc, Kc, Pa, Pb, Cols, R0, First, Shift);
}

__attribute__((target("avx2"))) void Macro256(int64_t Mc, int64_t Nc, int64_t Kc, const double* Pa,
                                              const double* Pb, double* const* Cols, int64_t R0,
                                              bool First, int64_t Shift) {
  MacroKernel<TTile256>(Mc, Nc, Kc, Pa, Pb, Cols, R0, First, Shift);
}

void MacroGeneric(int64_t Mc, int64_t Nc, int64_t Kc, const double* Pa, const double* Pb,
                  double* const* Cols, int64_t R0, bool First, int64_t Shift) {
  MacroKernel<TTileGeneric>(Mc, Nc, Kc, Pa, Pb, Cols, R0, First, Shift);
}

// Packs rows Row0.. Row0+Mc-1, terms P0..P0+Kc-1 of A into panels of MR rows: panel q holds
// term p at Dst[q * MR * Kc + p * MR + i]. Rows beyond Mc are zero. Writes run sequentially.
// Neg packs -A.
template <int MR, bool Neg>
void PackA(TOperand A, int64_t Row0, int64_t Mc, int64_t P0, int64_t Kc, double* Dst) {
  constexpr double S = Neg ? -1.0 : 1.0;  // multiplying by -1 is exact
  for (int64_t Q = 0; Q * MR < Mc; ++Q, Dst += MR * Kc) {
    const int64_t Rows = std::min<int64_t>(MR, Mc - Q * MR);
    const int64_t R0 = Row0 + Q * MR;
    if (!A.Trans) {
      for (int64_t P = 0; P < Kc; ++P) {
        const double* Src = A.Cols[P0 + P] + R0;
        double* D = Dst + P * MR;
        if (Rows == MR) {
#pragma GCC unroll 8
          for (int I = 0; I < MR; ++I) D[I] = S * Src[I];
        } else {
          for (int64_t I = 0; I < MR; ++I) D[I] = I < Rows ? S * Src[I] : 0.0;
        }
      }
    } else {
      const double* Src[MR];
      for (int64_t I = 0; I < MR; ++I) Src[I] = I < Rows ? A.Cols[R0 + I] + P0 : nullptr;
      if (Rows == MR) {
        for (int64_t P = 0; P < Kc; ++P)
#pragma GCC unroll 8
          for (int I = 0; I < MR; ++I) Dst[P * MR + I] = S * Src[I][P];
      } else {
        for (int64_t P = 0; P < Kc; ++P)
          for (int64_t I = 0; I < MR; ++I) Dst[P * MR + I] = I < Rows ? S * Src[I][P] : 0.0;
      }
    }
  }
}

// Packs terms P0..P0+Kc-1, columns Col0..Col0+Nc-1 of B into panels of NR columns: panel q holds
// term p at Dst[q * NR * Kc + p * NR + j]. Columns beyond Nc are zero.
template <int NR>
void PackB(TOperand B, int64_t P0, int64_t Kc, int64_t Col0, int64_t Nc, double* Dst) {
  for (int64_t Q = 0; Q * NR < Nc; ++Q, Dst += NR * Kc) {
    const int64_t Cols = std::min<int64_t>(NR, Nc - Q * NR);
    const int64_t C0 = Col0 + Q * NR;
    if (B.Trans) {
      for (int64_t P = 0; P < Kc; ++P) {
        const double* Src = B.Cols[P0 + P] + C0;
        for (int64_t J = 0; J < NR; ++J) Dst[P * NR + J] = J < Cols ? Src[J] : 0.0;
      }
    } else {
      const double* Src[NR];
      for (int64_t J = 0; J < NR; ++J) Src[J] = J < Cols ? B.Cols[C0 + J] + P0 : nullptr;
      if (Cols == NR) {
        for (int64_t P = 0; P < Kc; ++P)
#pragma GCC unroll 8
          for (int J = 0; J < NR; ++J) Dst[P * NR + J] = Src[J][P];
      } else {
        for (int64_t P = 0; P < Kc; ++P)
          for (int64_t J = 0; J < NR; ++J) Dst[P * NR + J] = J < Cols ? Src[J][P] : 0.0;
      }
    }
  }
}

template <class T>
void Drive(TMacroFn Macro, int64_t M, int64_t N, int64_t K, TOperand A, int64_t Row0, TOperand B,
           int64_t Col0, double* const* CCols, int64_t CRow0, bool Upper, TGemmWorkspace& Work,
           TGemmInto Into) {
  constexpr int MR = T::kMR, NR = T::kNR;
  const int64_t KcMax = std::min(K, kKC);
  const int64_t McMax = std::min((M + MR - 1) / MR * MR, kMC);
  const int64_t NcMax = std::min((N + NR - 1) / NR * NR, kNC);
  // Grow only: fresh large blocks would be mapped and unmapped by the allocator every time,
  // and unmapping stalls every other thread of the process.
  std::vector<double>& Pa = Work.PackA;
  std::vector<double>& Pb = Work.PackB;
  if (Pa.size() < size_t(McMax * KcMax)) Pa.resize(size_t(McMax * KcMax));
  if (Pb.size() < size_t(NcMax * KcMax)) Pb.resize(size_t(NcMax * KcMax));
  for (int64_t Jc = 0; Jc < N; Jc += kNC) {
    const int64_t Nc = std::min(kNC, N - Jc);
    for (int64_t Pc = 0; Pc < K; Pc += kKC) {
      const int64_t Kc = std::min(kKC, K - Pc);
      PackB<NR>(B, Pc, Kc, Col0 + Jc, Nc, Pb.data());
      for (int64_t Ic = 0; Ic < M; Ic += kMC) {
        const int64_t Mc = std::min(kMC, M - Ic);
        if (Into == giSubtract)
          PackA<MR, true>(A, Row0 + Ic, Mc, Pc, Kc, Pa.data());
        else
          PackA<MR, false>(A, Row0 + Ic, Mc, Pc, Kc, Pa.data());
        const int64_t Shift = Upper ? (Row0 + Ic) - (Col0 + Jc) : INT64_MIN / 2;
        Macro(Mc, Nc, Kc, Pa.data(), Pb.data(), CCols + Jc, CRow0 + Ic, Pc == 0 && Into == giSet,
              Shift);
      }
    }
  }
}

template <int W>
[[gnu::always_inline]] inline void GemvKernel(int64_t M, int64_t K, const double* const* ACols,
                                              const double* X, double* Y) {
  using V = typename VecOf<W>::V;
  std::fill(Y, Y + M, 0.0);
  const int64_t MV = M / W * W;
  // Four columns per sweep over Y, added one after the other, so each Y(i) keeps term order.
  int64_t P = 0;
  for (; P + 4 <= K; P += 4) {
    const double *C0 = ACols[P], *C1 = ACols[P + 1], *C2 = ACols[P + 2], *C3 = ACols[P + 3];
    const double X0 = X[P], X1 = X[P + 1], X2 = X[P + 2], X3 = X[P + 3];
    for (int64_t I = 0; I < MV; I += W) {
      V S, A0, A1, A2, A3;
      std::memcpy(&S, Y + I, sizeof S);
      std::memcpy(&A0, C0 + I, sizeof S);
      std::memcpy(&A1, C1 + I, sizeof S);
      std::memcpy(&A2, C2 + I, sizeof S);
      std::memcpy(&A3, C3 + I, sizeof S);
      S = S + A0 * X0;
      S = S + A1 * X1;
      S = S + A2 * X2;
      S = S + A3 * X3;
      std::memcpy(Y + I, &S, sizeof S);
    }
    for (int64_t I = MV; I < M; ++I) {
      double S = Y[I];
      S = S + C0[I] * X0;
      S = S + C1[I] * X1;
      S = S + C2[I] * X2;
      S = S + C3[I] * X3;
      Y[I] = S;
    }
  }
  for (; P < K; ++P)
    for (int64_t I = 0; I < M; ++I) Y[I] = Y[I] + ACols[P][I] * X[P];
}

__attribute__((target("avx512f"))) void Gemv512(int64_t M, int64_t K, const double* const* A,
                                                const double* X, double* Y) {
  GemvKernel<8>(M, K, A, X, Y);
}

__attribute__((target("avx2"))) void Gemv256(int64_t M, int64_t K, const double* const* A,
                                             const double* X, double* Y) {
  GemvKernel<4>(M, K, A, X, Y);
}

void GemvGeneric(int64_t M, int64_t K, const double* const* A, const double* X, double* Y) {
  GemvKernel<2>(M, K, A, X, Y);
}

// Without a workspace from the caller, each thread keeps one between calls: fresh buffers
// would be mapped and faulted in anew by every product.
TGemmWorkspace& KeptWorkspace() {
  thread_local TGemmWorkspace Kept;
  return Kept;
}

}  // namespace

void Gemm(int64_t M, int64_t N, int64_t K, TOperand A, int64_t Row0, TOperand B, int64_t Col0,
          double* const* CCols, int64_t CRow0, TGemmWorkspace* Work, TGemmInto Into) {
  if (M <= 0 || N <= 0) return;
  if (K <= 0) {
    if (Into != giSet) return;
    for (int64_t J = 0; J < N; ++J) std::fill(CCols[J] + CRow0, CCols[J] + CRow0 + M, 0.0);
    return;
  }
  TGemmWorkspace& W = Work != nullptr ? *Work : KeptWorkspace();
  switch (ActivePath(arAvoidSplit512)) {
    case kpAVX512:
      return Drive<TTile512>(Macro512, M, N, K, A, Row0, B, Col0, CCols, CRow0, false, W, Into);
    case kpAVX2:
      return Drive<TTile256>(Macro256, M, N, K, A, Row0, B, Col0, CCols, CRow0, false, W, Into);
    default:
      return Drive<TTileGeneric>(MacroGeneric, M, N, K, A, Row0, B, Col0, CCols, CRow0, false, W,
                                 Into);
  }
}

void Gemm(int64_t M, int64_t N, int64_t K, TOperand A, int64_t Row0, TOperand B, int64_t Col0,
          double* C, int64_t Ldc, bool Upper, TGemmWorkspace* Work, TGemmInto Into) {
  if (M <= 0 || N <= 0) return;
  if (K <= 0) {
    if (Into != giSet) return;
    for (int64_t J = 0; J < N; ++J) std::fill(C + J * Ldc, C + J * Ldc + M, 0.0);
    return;
  }
  TGemmWorkspace& W = Work != nullptr ? *Work : KeptWorkspace();
  // The kernel addresses the result through column pointers; these stay with the workspace.
  std::vector<double*>& Cols = W.CCols;
  if (Cols.size() < static_cast<size_t>(N)) Cols.resize(static_cast<size_t>(N));
  for (int64_t J = 0; J < N; ++J) Cols[J] = C + J * Ldc;
  switch (ActivePath(arAvoidSplit512)) {
    case kpAVX512:
      return Drive<TTile512>(Macro512, M, N, K, A, Row0, B, Col0, Cols.data(), 0, Upper, W, Into);
    case kpAVX2:
      return Drive<TTile256>(Macro256, M, N, K, A, Row0, B, Col0, Cols.data(), 0, Upper, W, Into);
    default:
      return Drive<TTileGeneric>(MacroGeneric, M, N, K, A, Row0, B, Col0, Cols.data(), 0, Upper, W,
                                 Into);
  }
}

void Gemv(int64_t M, int64_t K, const double* const* ACols, const double* X, double* Y) {
  if (M <= 0) return;
  switch (ActivePath(arAvoidSplit512)) {
    case kpAVX512:
      return Gemv512(M, K, ACols, X, Y);
    case kpAVX2:
      return Gemv256(M, K, ACols, X, Y);
    default:
      return GemvGeneric(M, K, ACols, X, Y);
  }
}

}  // namespace nux::kernels
