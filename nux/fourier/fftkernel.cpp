// Radix-4 decimation in frequency on split real/imaginary arrays. The large stages sweep the
// whole block; once a sub-block fits in cache it is finished depth first. The output comes out
// bit-reversed and is put in order by a tiled pass that also interleaves it back.
#include "nux/fourier/fftkernel.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "nux/kernels/dispatch.h"

namespace nux::fourier {

namespace {

using kernels::VecOf;

// Sub-blocks up to this many samples (split, 16 bytes each) are finished depth first.
constexpr size_t kDepthFirstBlock = size_t{1} << 14;

// Offset (in doubles) added between the real and imaginary work arrays, and the alignment.
constexpr size_t kImPad = 72;
constexpr size_t kAlign = 8;

uint32_t ReverseBits(uint32_t X, int Bits) {
  if (Bits == 0) return 0;
  X = ((X >> 1) & 0x55555555u) | ((X & 0x55555555u) << 1);
  X = ((X >> 2) & 0x33333333u) | ((X & 0x33333333u) << 2);
  X = ((X >> 4) & 0x0F0F0F0Fu) | ((X & 0x0F0F0F0Fu) << 4);
  X = ((X >> 8) & 0x00FF00FFu) | ((X & 0x00FF00FFu) << 8);
  X = (X >> 16) | (X << 16);
  return X >> (32 - Bits);
}

// exp(2 pi i M / L) for a power-of-two L, reduced to the first half quadrant so that the
// quarter points are exact and the table is symmetric.
void UnitRoot(uint64_t M, uint64_t L, double& C, double& S) {
  constexpr double HalfPi = 1.57079632679489661923;
  M %= L;
  const uint64_t M4 = 4 * M;
  const uint64_t Quadrant = M4 / L;
  const uint64_t R = M4 % L;
  double Cr, Sr;
  if (2 * R <= L) {
    const double T = HalfPi * (static_cast<double>(R) / static_cast<double>(L));
    Cr = std::cos(T);
    Sr = std::sin(T);
  } else {
    const double T = HalfPi * (static_cast<double>(L - R) / static_cast<double>(L));
    Cr = std::sin(T);
    Sr = std::cos(T);
  }
  switch (Quadrant) {
    case 0:
      C = Cr, S = Sr;
      break;
    case 1:
      C = -Sr, S = Cr;
      break;
    case 2:
      C = -Cr, S = -Sr;
      break;
    default:
      C = Sr, S = -Cr;
      break;
  }
}

// Twiddles of a stage are stored in chunks of up to 8 consecutive j: for each chunk the runs
// cos w^j, sin w^j, cos w^2j, sin w^2j, cos w^3j, sin w^3j, so that a butterfly reads one stream.
constexpr size_t kTwChunk = 8;

// One radix-4 butterfly group of a stage with quarter length Q (a multiple of W) on the block
// starting at R, I. The formulas are the same for every width.
template <int W>
[[gnu::always_inline]] inline void Radix4Group(double* R, double* I, size_t Q, const double* Tw) {
  using V = typename VecOf<W>::V;
  const size_t CW = Q < kTwChunk ? Q : kTwChunk;
  // Loads through an out parameter: returning a wide vector by value would change the ABI.
  auto Ld = [](V& X, const double* P) { std::memcpy(&X, P, sizeof X); };
  auto St = [](double* P, const V& X) { std::memcpy(P, &X, sizeof X); };
  for (size_t J = 0; J < Q; J += W) {
    const double* T = Tw + (J / CW) * 6 * CW + J % CW;
    const double *C1 = T, *S1 = T + CW, *C2 = T + 2 * CW, *S2 = T + 3 * CW, *C3 = T + 4 * CW,
                 *S3 = T + 5 * CW;
    V Ar, Ai, Br, Bi, Cr, Ci, Dr, Di, W1r, W1i, W2r, W2i, W3r, W3i;
    Ld(Ar, R + J), Ld(Ai, I + J), Ld(Br, R + J + Q), Ld(Bi, I + J + Q);
    Ld(Cr, R + J + 2 * Q), Ld(Ci, I + J + 2 * Q), Ld(Dr, R + J + 3 * Q), Ld(Di, I + J + 3 * Q);
    Ld(W1r, C1), Ld(W1i, S1), Ld(W2r, C2), Ld(W2i, S2), Ld(W3r, C3), Ld(W3i, S3);
    const V T0r = Ar + Cr, T0i = Ai + Ci, T1r = Ar - Cr, T1i = Ai - Ci;
    const V T2r = Br + Dr, T2i = Bi + Di, T3r = Br - Dr, T3i = Bi - Di;
    St(R + J, T0r + T2r);
    St(I + J, T0i + T2i);
    // Even-odd half, times w^2j.
    const V Ur = T0r - T2r, Ui = T0i - T2i;
    St(R + J + Q, Ur * W2r - Ui * W2i);
    St(I + J + Q, Ur * W2i + Ui * W2r);
    // (t1 + i t3) times w^j.
    const V Vr = T1r - T3i, Vi = T1i + T3r;
    St(R + J + 2 * Q, Vr * W1r - Vi * W1i);
    St(I + J + 2 * Q, Vr * W1i + Vi * W1r);
    // (t1 - i t3) times w^3j.
    const V Xr = T1r + T3i, Xi = T1i - T3r;
    St(R + J + 3 * Q, Xr * W3r - Xi * W3i);
    St(I + J + 3 * Q, Xr * W3i + Xi * W3r);
  }
}

// The last radix-4 stage (L = 4) has unit twiddles: no multiplications, so infinities stay
// infinities instead of meeting a zero.
[[gnu::always_inline]] inline void Radix4Last(double* R, double* I, size_t Len) {
  for (size_t B = 0; B < Len; B += 4) {
    double* r = R + B;
    double* i = I + B;
    const double T0r = r[0] + r[2], T0i = i[0] + i[2], T1r = r[0] - r[2], T1i = i[0] - i[2];
    const double T2r = r[1] + r[3], T2i = i[1] + i[3], T3r = r[1] - r[3], T3i = i[1] - i[3];
    r[0] = T0r + T2r;
    i[0] = T0i + T2i;
    r[1] = T0r - T2r;
    i[1] = T0i - T2i;
    r[2] = T1r - T3i;
    i[2] = T1i + T3r;
    r[3] = T1r + T3i;
    i[3] = T1i - T3r;
  }
}

[[gnu::always_inline]] inline void Radix2Last(double* R, double* I, size_t Len) {
  for (size_t B = 0; B < Len; B += 2) {
    const double Ar = R[B], Ai = I[B], Br = R[B + 1], Bi = I[B + 1];
    R[B] = Ar + Br;
    I[B] = Ai + Bi;
    R[B + 1] = Ar - Br;
    I[B + 1] = Ai - Bi;
  }
}

// One radix-4 stage of length L over Len samples (Len a multiple of L).
template <int W>
[[gnu::always_inline]] inline void Radix4Stage(double* R, double* I, size_t Len, size_t L,
                                               const double* Tw) {
  const size_t Q = L / 4;
  if (Q == 1) {
    Radix4Last(R, I, Len);
    return;
  }
  for (size_t B = 0; B < Len; B += L) {
    if constexpr (W >= 8) {
      if (Q >= 8) {
        Radix4Group<8>(R + B, I + B, Q, Tw);
        continue;
      }
    }
    if constexpr (W >= 4) {
      if (Q >= 4) {
        Radix4Group<4>(R + B, I + B, Q, Tw);
        continue;
      }
    }
    Radix4Group<2>(R + B, I + B, Q, Tw);
  }
}

struct TStageTables {
  const double* Base;
  const size_t* Offset;
  const double* Of(size_t L) const { return Base + Offset[__builtin_ctzll(L)]; }
};

template <int W>
[[gnu::always_inline]] inline void AllStages(double* R, double* I, size_t N, TStageTables Tw) {
  size_t L = N;
  while (L >= 4 && L > kDepthFirstBlock) {
    Radix4Stage<W>(R, I, N, L, Tw.Of(L));
    L >>= 2;
  }
  for (size_t B = 0; B < N; B += L) {
    size_t Sub = L;
    for (; Sub >= 4; Sub >>= 2) Radix4Stage<W>(R + B, I + B, L, Sub, Tw.Of(Sub));
    if (Sub == 2) Radix2Last(R + B, I + B, L);
  }
}

__attribute__((target("avx512f"))) void AllStages512(double* R, double* I, size_t N,
                                                     TStageTables Tw) {
  AllStages<8>(R, I, N, Tw);
}

__attribute__((target("avx2"))) void AllStages256(double* R, double* I, size_t N, TStageTables Tw) {
  AllStages<4>(R, I, N, Tw);
}

void AllStagesGeneric(double* R, double* I, size_t N, TStageTables Tw) {
  AllStages<2>(R, I, N, Tw);
}

// Small blocks run self-sorting (Stockham) stages between two split buffers instead: stage
// (n, s) holds s interleaved sequences of length n at X[q + s j] and writes the four quarter
// sequences of each to Y[q + s (r + 4 p)], so the result comes out in natural order and no
// bit-reversal pass is needed. Every butterfly computes exactly the expressions of Radix4Group
// and Radix4Last with the same twiddles, so the bits are those of the in-place stages.
constexpr int kSelfSortingMaxLog2 = 12;

// Loads and stores of W doubles through an unaligned, aliasing vector type: one instruction
// each, where a memcpy into an array of vectors may be split into halves that the following
// full-width load cannot take from the store buffer. (A wide vector returned by value would
// change the ABI, hence the out parameter.)
template <int W>
using TUnaligned [[gnu::vector_size(W * sizeof(double)), gnu::aligned(8), gnu::may_alias]] = double;
template <int W>
[[gnu::always_inline]] inline void LdV(typename VecOf<W>::V& X, const double* P) {
  X = *reinterpret_cast<const TUnaligned<W>*>(P);
}
template <int W>
[[gnu::always_inline]] inline void StV(double* P, const typename VecOf<W>::V& X) {
  *reinterpret_cast<TUnaligned<W>*>(P) = X;
}

// The four outputs of one radix-4 butterfly (z0 = T0 + T2, then the r = 1, 2, 3 parts with their
// twiddles, or without them when Plain).
template <class V, class T, bool Plain>
[[gnu::always_inline]] inline void Butterfly4(const V (&Ar)[4], const V (&Ai)[4], const T (&Tw)[6],
                                              V (&Zr)[4], V (&Zi)[4]) {
  const V T0r = Ar[0] + Ar[2], T0i = Ai[0] + Ai[2], T1r = Ar[0] - Ar[2], T1i = Ai[0] - Ai[2];
  const V T2r = Ar[1] + Ar[3], T2i = Ai[1] + Ai[3], T3r = Ar[1] - Ar[3], T3i = Ai[1] - Ai[3];
  Zr[0] = T0r + T2r;
  Zi[0] = T0i + T2i;
  const V Ur = T0r - T2r, Ui = T0i - T2i;
  const V Vr = T1r - T3i, Vi = T1i + T3r;
  const V Xr = T1r + T3i, Xi = T1i - T3r;
  if constexpr (Plain) {
    Zr[2] = Ur, Zi[2] = Ui, Zr[1] = Vr, Zi[1] = Vi, Zr[3] = Xr, Zi[3] = Xi;
  } else {
    Zr[2] = Ur * Tw[2] - Ui * Tw[3];
    Zi[2] = Ur * Tw[3] + Ui * Tw[2];
    Zr[1] = Vr * Tw[0] - Vi * Tw[1];
    Zi[1] = Vr * Tw[1] + Vi * Tw[0];
    Zr[3] = Xr * Tw[4] - Xi * Tw[5];
    Zi[3] = Xr * Tw[5] + Xi * Tw[4];
  }
}

// Where a stage puts its result: the other split buffer, or (the last stage) the caller's
// interleaved block, as it is or conjugated and scaled by 1/N for the inverse.
enum TStageOut { soSplit, soForward, soInverse };

// Data[2k], Data[2k + 1] = Re[k], Im[k] for the V lanes.
template <int V>
[[gnu::always_inline]] inline void StInterleaved(double* Data, const typename VecOf<V>::V& Re,
                                                 const typename VecOf<V>::V& Im) {
  if constexpr (V == 8) {
    StV<8>(Data, __builtin_shufflevector(Re, Im, 0, 8, 1, 9, 2, 10, 3, 11));
    StV<8>(Data + 8, __builtin_shufflevector(Re, Im, 4, 12, 5, 13, 6, 14, 7, 15));
  } else if constexpr (V == 4) {
    StV<4>(Data, __builtin_shufflevector(Re, Im, 0, 4, 1, 5));
    StV<4>(Data + 4, __builtin_shufflevector(Re, Im, 2, 6, 3, 7));
  } else if constexpr (V == 2) {
    StV<2>(Data, __builtin_shufflevector(Re, Im, 0, 2));
    StV<2>(Data + 2, __builtin_shufflevector(Re, Im, 1, 3));
  } else {
    Data[0] = Re[0];
    Data[1] = Im[0];
  }
}

// The stored value of lanes Re, Im for output mode Out (the inverse's conjugate and 1/N scale
// are those Unscramble applies).
template <TStageOut Out, int V>
[[gnu::always_inline]] inline void StOut(double* YR, double* YI, double* Data, size_t K,
                                         typename VecOf<V>::V Re, typename VecOf<V>::V Im,
                                         double Scale) {
  if constexpr (Out == soSplit) {
    StV<V>(YR + K, Re);
    StV<V>(YI + K, Im);
  } else if constexpr (Out == soForward) {
    StInterleaved<V>(Data + 2 * K, Re, Im);
  } else {
    StInterleaved<V>(Data + 2 * K, Re * Scale, -(Im * Scale));
  }
}

// A self-sorting radix-4 stage with s >= V: vectors run along q, the twiddles of p are scalars.
template <int V, TStageOut Out>
[[gnu::always_inline]] inline void SortingStageAlongQ(const double* XR, const double* XI,
                                                      double* YR, double* YI, double* Data,
                                                      size_t M, size_t S, const double* Tw,
                                                      double Scale) {
  using Vec = typename VecOf<V>::V;
  const size_t CW = M < kTwChunk ? M : kTwChunk;
  for (size_t P = 0; P < M; ++P) {
    double W[6] = {1, 0, 1, 0, 1, 0};
    if (M > 1) {
      const double* T = Tw + (P / CW) * 6 * CW + P % CW;
      for (int K = 0; K < 6; ++K) W[K] = T[K * CW];
    }
    for (size_t Q = 0; Q < S; Q += V) {
      Vec Ar[4], Ai[4], Zr[4], Zi[4];
#pragma GCC unroll 4
      for (int T = 0; T < 4; ++T) {
        LdV<V>(Ar[T], XR + Q + S * (P + T * M));
        LdV<V>(Ai[T], XI + Q + S * (P + T * M));
      }
      if (M == 1)
        Butterfly4<Vec, double, true>(Ar, Ai, W, Zr, Zi);
      else
        Butterfly4<Vec, double, false>(Ar, Ai, W, Zr, Zi);
#pragma GCC unroll 4
      for (int R = 0; R < 4; ++R)
        StOut<Out, V>(YR, YI, Data, Q + S * (R + 4 * P), Zr[R], Zi[R], Scale);
    }
  }
}

// The radix-2 stage of odd powers (unit twiddles), always the last one.
template <int V, TStageOut Out>
[[gnu::always_inline]] inline void SortingStageRadix2(const double* XR, const double* XI,
                                                      double* YR, double* YI, double* Data,
                                                      size_t S, double Scale) {
  using Vec = typename VecOf<V>::V;
  for (size_t Q = 0; Q < S; Q += V) {
    Vec Ar, Ai, Br, Bi;
    LdV<V>(Ar, XR + Q), LdV<V>(Ai, XI + Q), LdV<V>(Br, XR + Q + S), LdV<V>(Bi, XI + Q + S);
    StOut<Out, V>(YR, YI, Data, Q, Ar + Br, Ai + Bi, Scale);
    StOut<Out, V>(YR, YI, Data, Q + S, Ar - Br, Ai - Bi, Scale);
  }
}

// The first self-sorting stage (s = 1, m >= 4): vectors of four run along p, and the four
// outputs of four butterflies are transposed so that they are stored as 16 consecutive values.
// It reads the caller's interleaved block (conjugated for the inverse) in place of a split copy.
[[gnu::always_inline]] inline void SortingStageFirst(const double* Data, double ImSign, double* YR,
                                                     double* YI, size_t M, const double* Tw) {
  using Vec = VecOf<4>::V;
  const size_t CW = M < kTwChunk ? M : kTwChunk;
  auto Transposed = [](double* Y, const Vec(&Z)[4]) {
    const Vec T0 = __builtin_shufflevector(Z[0], Z[1], 0, 4, 1, 5);
    const Vec T1 = __builtin_shufflevector(Z[0], Z[1], 2, 6, 3, 7);
    const Vec T2 = __builtin_shufflevector(Z[2], Z[3], 0, 4, 1, 5);
    const Vec T3 = __builtin_shufflevector(Z[2], Z[3], 2, 6, 3, 7);
    StV<4>(Y, __builtin_shufflevector(T0, T2, 0, 1, 4, 5));
    StV<4>(Y + 4, __builtin_shufflevector(T0, T2, 2, 3, 6, 7));
    StV<4>(Y + 8, __builtin_shufflevector(T1, T3, 0, 1, 4, 5));
    StV<4>(Y + 12, __builtin_shufflevector(T1, T3, 2, 3, 6, 7));
  };
  for (size_t P = 0; P < M; P += 4) {
    Vec Ar[4], Ai[4], Zr[4], Zi[4], W[6];
#pragma GCC unroll 4
    for (int T = 0; T < 4; ++T) {
      Vec Lo, Hi;
      LdV<4>(Lo, Data + 2 * (P + T * M));
      LdV<4>(Hi, Data + 2 * (P + T * M) + 4);
      Ar[T] = __builtin_shufflevector(Lo, Hi, 0, 2, 4, 6);
      Ai[T] = ImSign * __builtin_shufflevector(Lo, Hi, 1, 3, 5, 7);
    }
    const double* T = Tw + (P / CW) * 6 * CW + P % CW;
#pragma GCC unroll 6
    for (int K = 0; K < 6; ++K) LdV<4>(W[K], T + K * CW);
    Butterfly4<Vec, Vec, false>(Ar, Ai, W, Zr, Zi);
    Transposed(YR + 4 * P, Zr);
    Transposed(YI + 4 * P, Zi);
  }
}

// One stage of length Len over S sequences, vectors as wide as W and S allow.
template <int W, TStageOut Out>
[[gnu::always_inline]] inline void SortingStage(const double* XR, const double* XI, double* YR,
                                                double* YI, double* Data, size_t Len, size_t S,
                                                const double* Tw, double Scale) {
  if (Len == 2) {
    if (W >= 8 && S >= 8)
      SortingStageRadix2<W >= 8 ? 8 : 1, Out>(XR, XI, YR, YI, Data, S, Scale);
    else if (W >= 4 && S >= 4)
      SortingStageRadix2<W >= 4 ? 4 : 1, Out>(XR, XI, YR, YI, Data, S, Scale);
    else if (S >= 2)
      SortingStageRadix2<2, Out>(XR, XI, YR, YI, Data, S, Scale);
    else
      SortingStageRadix2<1, Out>(XR, XI, YR, YI, Data, S, Scale);
    return;
  }
  const size_t M = Len / 4;
  if (W >= 8 && S >= 8)
    SortingStageAlongQ<W >= 8 ? 8 : 1, Out>(XR, XI, YR, YI, Data, M, S, Tw, Scale);
  else if (W >= 4 && S >= 4)
    SortingStageAlongQ<W >= 4 ? 4 : 1, Out>(XR, XI, YR, YI, Data, M, S, Tw, Scale);
  else if (S >= 2)
    SortingStageAlongQ<2, Out>(XR, XI, YR, YI, Data, M, S, Tw, Scale);
  else
    SortingStageAlongQ<1, Out>(XR, XI, YR, YI, Data, M, S, Tw, Scale);
}

// The whole transform of a small block in place on the caller's interleaved data. The first
// stage reads the block and the last writes it back, so there are no separate copy passes
// (blocks below 16 points, whose first stage is not vectorised, are copied).
template <int W>
[[gnu::always_inline]] inline void SelfSorting(double* Data, double* R0, double* I0, double* R1,
                                               double* I1, size_t N, TStageTables Tw,
                                               bool Inverse) {
  const double ImSign = Inverse ? -1.0 : 1.0;
  const double Scale = 1.0 / static_cast<double>(N);
  size_t Len = N, S = 1;
  if (N >= 16) {
    SortingStageFirst(Data, ImSign, R0, I0, N / 4, Tw.Of(N));
    Len = N / 4, S = 4;
  } else {
    for (size_t K = 0; K < N; ++K) {
      R0[K] = Data[2 * K];
      I0[K] = ImSign * Data[2 * K + 1];
    }
    if (N == 1) {
      Data[1] = Inverse ? -(I0[0] * Scale) : I0[0];
      Data[0] = Inverse ? R0[0] * Scale : R0[0];
      return;
    }
  }
  for (; Len > 4; Len >>= 2, S <<= 2) {
    SortingStage<W, soSplit>(R0, I0, R1, I1, Data, Len, S, Tw.Of(Len), Scale);
    std::swap(R0, R1);
    std::swap(I0, I1);
  }
  // Len is now 4 or 2: the last stage, straight into the block.
  const double* T = Len == 4 ? Tw.Of(4) : nullptr;
  if (Inverse)
    SortingStage<W, soInverse>(R0, I0, R1, I1, Data, Len, S, T, Scale);
  else
    SortingStage<W, soForward>(R0, I0, R1, I1, Data, Len, S, T, Scale);
}

__attribute__((target("avx512f"))) void SelfSorting512(double* Data, double* R0, double* I0,
                                                       double* R1, double* I1, size_t N,
                                                       TStageTables Tw, bool Inverse) {
  SelfSorting<8>(Data, R0, I0, R1, I1, N, Tw, Inverse);
}

__attribute__((target("avx2"))) void SelfSorting256(double* Data, double* R0, double* I0,
                                                    double* R1, double* I1, size_t N,
                                                    TStageTables Tw, bool Inverse) {
  SelfSorting<4>(Data, R0, I0, R1, I1, N, Tw, Inverse);
}

void SelfSortingGeneric(double* Data, double* R0, double* I0, double* R1, double* I1, size_t N,
                        TStageTables Tw, bool Inverse) {
  SelfSorting<2>(Data, R0, I0, R1, I1, N, Tw, Inverse);
}

// Out[k] = (Re[rev k], Im[rev k]) for the whole block, conjugated and scaled for the inverse.
// Large blocks go through 32 x 32 tiles so that reads and writes both run along cache lines.
void Unscramble(const double* Re, const double* Im, double* Out, int Log2, bool Inverse) {
  const size_t N = size_t{1} << Log2;
  const double Scale = 1.0 / static_cast<double>(N);
  auto Put = [&](size_t K, double A, double B) {
    if (Inverse) {
      A = A * Scale;
      B = -(B * Scale);
    }
    Out[2 * K] = A;
    Out[2 * K + 1] = B;
  };
  if (Log2 < 10) {
    for (size_t K = 0; K < N; ++K) {
      const size_t S = ReverseBits(static_cast<uint32_t>(K), Log2);
      Put(K, Re[S], Im[S]);
    }
    return;
  }
  constexpr int TB = 5;
  constexpr size_t T = size_t{1} << TB;
  const int MidBits = Log2 - 2 * TB;
  uint32_t Rev5[T];
  for (size_t X = 0; X < T; ++X) Rev5[X] = ReverseBits(static_cast<uint32_t>(X), TB);
  double TileR[T][T], TileI[T][T];
  for (size_t Mid = 0; Mid < (size_t{1} << MidBits); ++Mid) {
    const size_t RMid = ReverseBits(static_cast<uint32_t>(Mid), MidBits);
    for (size_t A = 0; A < T; ++A) {
      const size_t Src = (A << (Log2 - TB)) | (RMid << TB);
      std::memcpy(TileR[A], Re + Src, sizeof TileR[A]);
      std::memcpy(TileI[A], Im + Src, sizeof TileI[A]);
    }
    for (size_t Hi = 0; Hi < T; ++Hi) {
      const size_t Dst = (Hi << (Log2 - TB)) | (Mid << TB);
      const uint32_t C = Rev5[Hi];
      for (size_t Lo = 0; Lo < T; ++Lo) Put(Dst + Lo, TileR[Rev5[Lo]][C], TileI[Rev5[Lo]][C]);
    }
  }
}

}  // namespace

TFFTPlan::TFFTPlan(int32_t N) : FN(N), FLog2(0) {
  if (N <= 0 || (N & (N - 1)) != 0 || N > (int32_t{1} << MaxFFTLog2))
    throw std::invalid_argument("TFFTPlan: length must be a power of two");
  FLog2 = __builtin_ctz(static_cast<uint32_t>(N));
  FTwOffset.assign(static_cast<size_t>(FLog2) + 1, 0);
  size_t Total = 0;
  for (size_t L = static_cast<size_t>(N); L >= 4; L >>= 2) {
    FTwOffset[__builtin_ctzll(L)] = Total;
    Total += 6 * (L / 4);
  }
  FTwiddles.resize(Total);
  for (size_t L = static_cast<size_t>(N); L >= 4; L >>= 2) {
    const size_t Q = L / 4;
    const size_t CW = Q < kTwChunk ? Q : kTwChunk;
    double* Tw = FTwiddles.data() + FTwOffset[__builtin_ctzll(L)];
    for (size_t J = 0; J < Q; ++J) {
      double* T = Tw + (J / CW) * 6 * CW + J % CW;
      UnitRoot(J, L, T[0], T[CW]);
      UnitRoot(2 * J, L, T[2 * CW], T[3 * CW]);
      UnitRoot(3 * J, L, T[4 * CW], T[5 * CW]);
    }
  }
  // The self-sorting stages of small blocks need a second pair of arrays.
  const size_t Arrays = FLog2 <= kSelfSortingMaxLog2 ? 4 : 2;
  FWork.resize(Arrays * (static_cast<size_t>(N) + kImPad) + kAlign);
}

void TFFTPlan::Execute(double* Data, bool Inverse) {
  const size_t N = static_cast<size_t>(FN);
  // Start on a cache line.
  const uintptr_t Raw = reinterpret_cast<uintptr_t>(FWork.data());
  double* R = FWork.data() + ((kAlign - (Raw / sizeof(double)) % kAlign) % kAlign);
  double* I = R + N + kImPad;
  const TStageTables Tw{FTwiddles.data(), FTwOffset.data()};
  if (FLog2 <= kSelfSortingMaxLog2) {
    double* R1 = I + N + kImPad;
    double* I1 = R1 + N + kImPad;
    switch (kernels::ActivePath()) {
      case kernels::kpAVX512:
        return SelfSorting512(Data, R, I, R1, I1, N, Tw, Inverse);
      case kernels::kpAVX2:
        return SelfSorting256(Data, R, I, R1, I1, N, Tw, Inverse);
      default:
        return SelfSortingGeneric(Data, R, I, R1, I1, N, Tw, Inverse);
    }
  }
  // The inverse is the conjugate of the forward transform of the conjugate (negation is exact).
  const double ImSign = Inverse ? -1.0 : 1.0;
  for (size_t K = 0; K < N; ++K) {
    R[K] = Data[2 * K];
    I[K] = ImSign * Data[2 * K + 1];
  }
  switch (kernels::ActivePath()) {
    case kernels::kpAVX512:
      AllStages512(R, I, N, Tw);
      break;
    case kernels::kpAVX2:
      AllStages256(R, I, N, Tw);
      break;
    default:
      AllStagesGeneric(R, I, N, Tw);
      break;
  }
  Unscramble(R, I, Data, FLog2, Inverse);
}

}  // namespace nux::fourier
