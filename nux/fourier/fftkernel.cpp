// Radix-4 decimation in frequency on split real/imaginary arrays. The large stages sweep the
// whole block; once a sub-block fits in cache it is finished depth first. The output comes out
// bit-reversed and is put in order by a tiled pass that also interleaves it back.
#include "nux/fourier/fftkernel.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>

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
  FWork.resize(2 * static_cast<size_t>(N) + kImPad + kAlign);
}

void TFFTPlan::Execute(double* Data, bool Inverse) {
  const size_t N = static_cast<size_t>(FN);
  // Start on a cache line.
  const uintptr_t Raw = reinterpret_cast<uintptr_t>(FWork.data());
  double* R = FWork.data() + ((kAlign - (Raw / sizeof(double)) % kAlign) % kAlign);
  double* I = R + N + kImPad;
  // The inverse is the conjugate of the forward transform of the conjugate (negation is exact).
  const double ImSign = Inverse ? -1.0 : 1.0;
  for (size_t K = 0; K < N; ++K) {
    R[K] = Data[2 * K];
    I[K] = ImSign * Data[2 * K + 1];
  }
  const TStageTables Tw{FTwiddles.data(), FTwOffset.data()};
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
