#include "nux/math2/filters.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <stdexcept>
#include <string>

#include "nux/frame/colors.h"
#include "nux/frame/errors.h"
#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/math2/curvefit.h"

namespace nux {

namespace {

constexpr double kPi = std::numbers::pi;

[[noreturn]] void Fail(const std::string& Msg) { throw ENUXMath2Error(Msg); }

// Runs Work; exhausted memory becomes the unit's exception naming the routine.
template <class F>
decltype(auto) NoMemoryAsError(const char* Routine, F&& Work) {
  try {
    return Work();
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  Fail(std::string(Routine) + ": " + msgNoMemory);
}

// Writes Values into Dest from 0-based position Offset on with one OnChange, growing Dest when
// it is too short (a short Dest would silently drop results).
void StoreInto(TVector& Dest, size_t Offset, const double* Values, size_t Count) {
  TDoubleArray All = Dest.ToStdVector();
  All.resize(std::max(All.size(), Offset + Count), 0.0);
  std::copy(Values, Values + Count, All.begin() + static_cast<std::ptrdiff_t>(Offset));
  Dest.SetValues(All);
}

struct TWindowMsgs {
  const char* Name;
  const char* Range;  // "specified range for ... smaller than ..." part
};

// The checks common to the moving-window family; returns the range as 0-based offsets.
void CheckWindow(const TWindowMsgs& Msgs, const char* WindowWord, const TVector* Source,
                 int32_t& First, int32_t& Last, const TVector* Dest, int32_t w, int32_t wMin,
                 int32_t wMax) {
  const std::string Name = Msgs.Name;
  if (Source == nullptr || Dest == nullptr)
    Fail(Name + ": either SourceVec or DestVec is undefined");
  Source->MakeValidElemRange(First, Last);
  if (int64_t{Last} - First < w) Fail(Name + ": " + Msgs.Range);
  if (w < wMin || w > wMax) Fail(Name + ": length of " + WindowWord + " is out of range");
  if (w % 2 == 0) Fail(Name + ": length of " + WindowWord + " must be odd");
}

constexpr const char* kSmoothWin = "smoothing window";
// Windows up to this length are summed directly for every output.
constexpr size_t kDirectWindow = 63;
constexpr const char* kPolyWin = "polynomial";
constexpr const char* kRangeWin =
    "specified range for smoothing is smaller than the length of the smoothing windows";
constexpr const char* kRangePoly =
    "specified range for smoothing is smaller than the length of the polynomial";

// Fills Y[m..L-1-m] by Eval on blocks of outputs, then repeats the edge values outwards.
// Eval(k0, k1, Out) computes outputs k0..k1-1 into Out[0..).
template <class F>
void WindowPass(double* Y, size_t L, size_t m, F&& Eval, size_t Block = 512) {
  for (size_t B = m; B + m < L; B += Block) {
    const size_t E = std::min(B + Block, L - m);
    Eval(B, E, Y + B);
  }
  std::fill(Y, Y + m, Y[m]);
  std::fill(Y + (L - m), Y + L, Y[L - 1 - m]);
}

// Sum over j of C[j] (x[k + j] + x[k - j]) (or the difference for Odd), C[0] x[k] first, then
// divided by Norm; the loop runs across outputs so that it vectorises while every output keeps
// its own order of summation.
void SymmetricPass(double* Y, const double* X, size_t L, size_t m, const double* C, double Norm,
                   bool Odd) {
  WindowPass(Y, L, m, [&](size_t B, size_t E, double* Out) {
    const size_t N = E - B;
    for (size_t k = 0; k < N; ++k) Out[k] = C[0] * X[B + k];
    for (size_t j = 1; j <= m; ++j) {
      const double Cj = C[j];
      const double* Hi = X + B + j;
      const double* Lo = X + B - j;
      if (Odd)
        for (size_t k = 0; k < N; ++k) Out[k] += Cj * (Hi[k] - Lo[k]);
      else
        for (size_t k = 0; k < N; ++k) Out[k] += Cj * (Hi[k] + Lo[k]);
    }
    for (size_t k = 0; k < N; ++k) Out[k] /= Norm;
  });
}

// Normalisers and coefficients of the quadratic Savitzky-Golay second derivative, rows as in
// GolayPoly (proportional to 3 j^2 - m (m + 1)).
constexpr int32_t kSecondDeriv[12][14] = {
    {},
    {7, -2, -1, 2},
    {42, -4, -3, 0, 5},
    {462, -20, -17, -8, 7, 28},
    {429, -10, -9, -6, -1, 6, 15},
    {1001, -14, -13, -10, -5, 2, 11, 22},
    {6188, -56, -53, -44, -29, -8, 19, 52, 91},
    {3876, -24, -23, -20, -15, -8, 1, 12, 25, 40},
    {6783, -30, -29, -26, -21, -14, -5, 6, 19, 34, 51},
    {33649, -110, -107, -98, -83, -62, -35, -2, 37, 82, 133, 190},
    {17710, -44, -43, -40, -35, -28, -19, -8, 5, 20, 37, 56, 77},
    {26910, -52, -51, -48, -43, -36, -27, -16, -3, 12, 29, 48, 69, 92}};

template <class F>
void RunWindow(const TWindowMsgs& Msgs, const char* WindowWord, const TVector* Source,
               int32_t First, int32_t Last, TVector* Dest, int32_t w, int32_t wMin, int32_t wMax,
               F&& Compute) {
  CheckWindow(Msgs, WindowWord, Source, First, Last, Dest, w, wMin, wMax);
  NoMemoryAsError(Msgs.Name, [&] {
    const double* X = Source->Data().data() + (First - 1);
    const auto L = static_cast<size_t>(Last - First + 1);
    // Computed aside before Dest is touched: Source may be Dest.
    TDoubleArray All = Dest->ToStdVector();
    if (All.size() < L) All.resize(L, 0.0);
    Compute(X, L, static_cast<size_t>(w / 2), All.data());
    Dest->SetValues(All);
  });
}

}  // namespace

const std::array<std::array<int32_t, 14>, 12> GolayPoly = [] {
  std::array<std::array<int32_t, 14>, 12> T{};
  for (int32_t k = 1; k <= 11; ++k) {
    const int32_t m = k + 1;
    T[size_t(k)][0] = (4 * m * m - 1) * (2 * m + 3) / 3;
    for (int32_t j = 0; j <= m; ++j)
      T[size_t(k)][size_t(j + 1)] = 3 * m * m + 3 * m - 1 - 5 * j * j;
  }
  return T;
}();

void MovingAverageSmooth(const TVector* Source, int32_t First, int32_t Last, TVector* Dest,
                         int32_t w) {
  RunWindow({"MovingAverageSmooth", kRangeWin}, kSmoothWin, Source, First, Last, Dest, w, 3,
            INT32_MAX, [&](const double* X, size_t L, size_t m, double* Y) {
              const size_t Len = 2 * m + 1;
              const auto W = static_cast<double>(Len);
              if (Len <= kDirectWindow) {
                WindowPass(Y, L, m, [&](size_t B, size_t E, double* Out) {
                  const size_t N = E - B;
                  for (size_t k = 0; k < N; ++k) Out[k] = X[B + k - m];
                  for (size_t j = 1; j < Len; ++j) {
                    const double* P = X + B - m + j;
                    for (size_t k = 0; k < N; ++k) Out[k] += P[k];
                  }
                  for (size_t k = 0; k < N; ++k) Out[k] /= W;
                });
                return;
              }
              // Long windows: a running sum, summed afresh once per window length (so rounding
              // cannot pile up) and whenever a value that is not finite leaves the window.
              const auto Fresh = [&](size_t k) {
                double S = 0.0;
                for (size_t j = k - m; j <= k + m; ++j) S += X[j];
                return S;
              };
              WindowPass(
                  Y, L, m,
                  [&](size_t B, size_t E, double* Out) {
                    double S = 0.0;
                    for (size_t k = B; k < E; ++k) {
                      const double Gone = k > B ? X[k - m - 1] : 0.0;
                      if (k == B || (k - B) % Len == 0 || !std::isfinite(Gone))
                        S = Fresh(k);
                      else
                        S += X[k + m] - Gone;
                      Out[k - B] = S / W;
                    }
                  },
                  size_t{1} << 20);
            });
}

void MovingMedianSmooth(const TVector* Source, int32_t First, int32_t Last, TVector* Dest,
                        int32_t w) {
  RunWindow({"MovingMedianSmooth", kRangeWin}, kSmoothWin, Source, First, Last, Dest, w, 3,
            INT32_MAX, [&](const double* X, size_t L, size_t m, double* Y) {
              // The window's values kept sorted (NaN left out): one removal and one insertion
              // per step instead of a sort of every window.
              TDoubleArray Sorted;
              Sorted.reserve(2 * m + 1);
              const auto Insert = [&](double V) {
                if (!std::isnan(V))
                  Sorted.insert(std::upper_bound(Sorted.begin(), Sorted.end(), V), V);
              };
              const auto Remove = [&](double V) {
                if (!std::isnan(V)) Sorted.erase(std::lower_bound(Sorted.begin(), Sorted.end(), V));
              };
              for (size_t k = 0; k < 2 * m; ++k) Insert(X[k]);
              WindowPass(Y, L, m, [&](size_t B, size_t E, double* Out) {
                for (size_t k = B; k < E; ++k) {
                  Insert(X[k + m]);
                  const auto N = static_cast<int64_t>(Sorted.size());
                  Out[k - B] = N == 0   ? std::nan("")
                               : N == 1 ? Sorted[0]
                                        : QuartileOfSorted(Sorted.data(), N, 0.5);
                  Remove(X[k - m]);
                }
              });
            });
}

void WeightedAverageSmooth(const TVector* Source, int32_t First, int32_t Last, TVector* Dest,
                           int32_t w) {
  RunWindow({"WeightedAverageSmooth", kRangeWin}, kSmoothWin, Source, First, Last, Dest, w, 3,
            INT32_MAX, [&](const double* X, size_t L, size_t m, double* Y) {
              TDoubleArray C(m + 1);
              for (size_t j = 0; j <= m; ++j) C[j] = static_cast<double>(m + 1 - j);
              // 4 / (w + 1)^2 = 1 / (m + 1)^2
              const double Norm = static_cast<double>(m + 1) * static_cast<double>(m + 1);
              SymmetricPass(Y, X, L, m, C.data(), Norm, false);
            });
}

void PolynomialSmooth(const TVector* Source, int32_t First, int32_t Last, TVector* Dest,
                      int32_t w) {
  RunWindow({"PolynomialSmooth", kRangePoly}, kPolyWin, Source, First, Last, Dest, w, 5, 25,
            [&](const double* X, size_t L, size_t m, double* Y) {
              const auto& Row = GolayPoly[m - 1];
              double C[14];
              for (size_t j = 0; j <= m; ++j) C[j] = Row[j + 1];
              SymmetricPass(Y, X, L, m, C, Row[0], false);
            });
}

void FirstDeriv(const TVector* Source, int32_t First, int32_t Last, TVector* Dest, int32_t w) {
  RunWindow({"FirstDeriv",
             "specified range for calculation is smaller than the length of the polynomial"},
            kPolyWin, Source, First, Last, Dest, w, 5, 25,
            [&](const double* X, size_t L, size_t m, double* Y) {
              double C[14];
              for (size_t j = 0; j <= m; ++j) C[j] = static_cast<double>(j);
              const auto M = static_cast<double>(m);
              SymmetricPass(Y, X, L, m, C, M * (M + 1) * (2 * M + 1) / 3, true);
            });
}

void SecondDeriv(const TVector* Source, int32_t First, int32_t Last, TVector* Dest, int32_t w) {
  RunWindow({"SecondDeriv", kRangePoly}, kPolyWin, Source, First, Last, Dest, w, 5, 25,
            [&](const double* X, size_t L, size_t m, double* Y) {
              const auto& Row = kSecondDeriv[m - 1];
              double C[14];
              for (size_t j = 0; j <= m; ++j) C[j] = Row[j + 1];
              SymmetricPass(Y, X, L, m, C, Row[0], false);
            });
}

// ---- Windowed-sinc kernels ----

namespace {

void CheckSinc(const char* Routine, int32_t Size, double F1, double F2) {
  if (Size < 1) Fail(std::string(Routine) + ": invalid kernel size (must be at least 1)");
  if (std::isnan(F1) || std::isnan(F2)) Fail(std::string(Routine) + ": invalid cutoff frequency");
}

TDoubleArray SincLP(int32_t Size, double Fc, int32_t Window) {
  Fc = std::clamp(Fc, 0.0, 0.5);
  TDoubleArray K(static_cast<size_t>(Size));
  const int32_t M = Size / 2 + 1;
  const double Span = static_cast<double>(Size) + 1.0;
  double Sum = 0.0;
  for (int32_t i = 1; i <= Size; ++i) {
    const double d = i - M;
    double v = i == M ? 2 * kPi * Fc : std::sin(2 * kPi * Fc * d) / d;
    if (Window == 1)
      v *= 0.54 - 0.46 * std::cos(2 * kPi * i / Span);
    else if (Window == 2)
      v *= 0.42 - 0.5 * std::cos(2 * kPi * i / Span) + 0.08 * std::cos(4 * kPi * i / Span);
    K[static_cast<size_t>(i - 1)] = v;
    Sum += v;
  }
  if (Sum != 0.0)
    for (double& v : K) v /= Sum;
  return K;
}

// 1 - kernel: turns a low pass into a high pass and a band stop into a band pass.
void Invert(TDoubleArray& K) {
  for (double& v : K) v = -v;
  K[K.size() / 2] += 1.0;  // the centre Size div 2 + 1, 0-based
}

TDoubleArray SincHP(int32_t Size, double Fc, int32_t Window) {
  TDoubleArray K = SincLP(Size, Fc, Window);
  Invert(K);
  return K;
}

TDoubleArray SincBS(int32_t Size, double F1, double F2, int32_t Window) {
  TDoubleArray K = SincLP(Size, std::min(F1, F2), Window);
  const TDoubleArray H = SincHP(Size, std::max(F1, F2), Window);
  for (size_t i = 0; i < K.size(); ++i) K[i] += H[i];
  return K;
}

TDoubleArray SincBP(int32_t Size, double F1, double F2, int32_t Window) {
  TDoubleArray K = SincBS(Size, F1, F2, Window);
  Invert(K);
  return K;
}

}  // namespace

void CalcSincLPKernel(int32_t Size, double Fc, int32_t Window, TDoubleArray& Kernel) {
  CheckSinc("CalcSincLPKernel", Size, Fc, Fc);
  Kernel = NoMemoryAsError("CalcSincLPKernel", [&] { return SincLP(Size, Fc, Window); });
}
void CalcSincLPKernel(int32_t Size, double Fc, int32_t Window, TVector& Kernel) {
  TDoubleArray K;
  CalcSincLPKernel(Size, Fc, Window, K);
  Kernel.SetValues(K);
}
void CalcSincHPKernel(int32_t Size, double Fc, int32_t Window, TDoubleArray& Kernel) {
  CheckSinc("CalcSincHPKernel", Size, Fc, Fc);
  Kernel = NoMemoryAsError("CalcSincHPKernel", [&] { return SincHP(Size, Fc, Window); });
}
void CalcSincHPKernel(int32_t Size, double Fc, int32_t Window, TVector& Kernel) {
  TDoubleArray K;
  CalcSincHPKernel(Size, Fc, Window, K);
  Kernel.SetValues(K);
}
void CalcSincBPKernel(int32_t Size, double F1, double F2, int32_t Window, TDoubleArray& Kernel) {
  CheckSinc("CalcSincBPKernel", Size, F1, F2);
  Kernel = NoMemoryAsError("CalcSincBPKernel", [&] { return SincBP(Size, F1, F2, Window); });
}
void CalcSincBPKernel(int32_t Size, double F1, double F2, int32_t Window, TVector& Kernel) {
  TDoubleArray K;
  CalcSincBPKernel(Size, F1, F2, Window, K);
  Kernel.SetValues(K);
}
void CalcSincBSKernel(int32_t Size, double F1, double F2, int32_t Window, TDoubleArray& Kernel) {
  CheckSinc("CalcSincBSKernel", Size, F1, F2);
  Kernel = NoMemoryAsError("CalcSincBSKernel", [&] { return SincBS(Size, F1, F2, Window); });
}
void CalcSincBSKernel(int32_t Size, double F1, double F2, int32_t Window, TVector& Kernel) {
  TDoubleArray K;
  CalcSincBSKernel(Size, F1, F2, Window, K);
  Kernel.SetValues(K);
}

void MovingKernelFilter(const TVector* Source, int32_t First, int32_t Last, TVector* Dest,
                        const TVector* Kernel) {
  if (Source == nullptr || Dest == nullptr || Kernel == nullptr)
    Fail("MovingKernelfilter: SourceVec, DestVec and/or FilterKernel is undefined");
  Source->MakeValidElemRange(First, Last);
  const auto K = static_cast<size_t>(Kernel->NrOfElem());
  if (int64_t{Last} - First < static_cast<int64_t>(K))
    Fail(
        "MovingKernelfilter: specified range for smoothing is smaller than the length of the "
        "kernel");
  NoMemoryAsError("MovingKernelfilter", [&] {
    const double* X = Source->Data().data() + (First - 1);
    const double* C = Kernel->Data().data();
    const auto L = static_cast<size_t>(Last - First + 1);
    const size_t H = K / 2;
    // Written into a copy of Dest: Source may be Dest.
    TDoubleArray All = Dest->ToStdVector();
    All.resize(Source->Data().size(), 0.0);
    double* Y = All.data();
    const auto Clipped = [&](size_t k) {
      double S = 0.0;
      for (size_t j = 0; j < K; ++j) {
        const auto p = static_cast<int64_t>(k + j) - static_cast<int64_t>(H);
        S += C[j] * X[std::clamp<int64_t>(p, 0, static_cast<int64_t>(L) - 1)];
      }
      return S;
    };
    // Interior outputs k = H .. L - K + H read X[k - H .. k - H + K - 1] without clipping.
    const size_t Lo = H, Hi = L - K + H + 1;  // L > K, so Lo < Hi
    for (size_t k = 0; k < Lo; ++k) Y[k] = Clipped(k);
    constexpr size_t Block = 512;
    for (size_t B = Lo; B < Hi; B += Block) {
      const size_t N = std::min(Block, Hi - B);
      double* Out = Y + B;
      for (size_t k = 0; k < N; ++k) Out[k] = 0.0;
      for (size_t j = 0; j < K; ++j) {
        const double Cj = C[j];
        const double* P = X + B - H + j;
        for (size_t k = 0; k < N; ++k) Out[k] += Cj * P[k];
      }
    }
    for (size_t k = Hi; k < L; ++k) Y[k] = Clipped(k);
    Dest->SetValues(All);
  });
}

// ---- Chebyshev recursive filter ----

void CalcChebFilterCoeffs(int32_t NPoles, bool HighPass, double Fc, double Ripple, double& A0,
                          TMatrix& Coeffs) {
  // Cut-offs 0 and 0.5 put poles on the unit circle (and divide by zero); the coefficient slots
  // hold a_0 .. a_20.
  if (NPoles < 2 || NPoles > 20)
    Fail("CalcChebFilterCoeffs: NPoles must be even and in the range 2..20");
  if (NPoles % 2 != 0) Fail("CalcChebFilterCoeffs: NPoles must be even");
  if (!(Ripple >= 0.0 && Ripple <= 29.0)) Fail("CalcChebFilterCoeffs: invalid Ripple value");
  if (!(Fc > 0.0 && Fc < 0.5)) Fail("CalcChebFilterCoeffs: invalid cutoff frequency");
  double a[23] = {}, b[23] = {}, ta[23], tb[23];
  a[2] = b[2] = 1.0;
  const double NP = NPoles;
  const double t = 2.0 * std::tan(0.5);
  const double w = 2.0 * kPi * Fc;
  for (int32_t p = 1; p <= NPoles / 2; ++p) {
    const double Angle = kPi / (2.0 * NP) + (p - 1) * kPi / NP;
    double re = -std::cos(Angle), im = std::sin(Angle);
    if (Ripple > 0.0) {
      // Warp the Butterworth poles onto the ellipse; k puts the -3 dB point at the cut-off.
      const double q = 100.0 / (100.0 - Ripple);
      const double e = std::sqrt(q * q - 1.0);
      const double v = std::log(1.0 / e + std::sqrt(1.0 / (e * e) + 1.0)) / NP;
      double k = std::log(1.0 / e + std::sqrt(1.0 / (e * e) - 1.0)) / NP;
      k = std::cosh(k);
      re = re * std::sinh(v) / k;
      im = im * std::cosh(v) / k;
    }
    const double M = re * re + im * im;
    const double d = 4.0 - 4.0 * re * t + M * t * t;
    const double x0 = t * t / d, x1 = 2.0 * t * t / d, x2 = t * t / d;
    const double y1 = (8.0 - 2.0 * M * t * t) / d;
    const double y2 = (-4.0 - 4.0 * re * t - M * t * t) / d;
    const double K = HighPass ? -std::cos(w / 2.0 + 0.5) / std::cos(w / 2.0 - 0.5)
                              : std::sin(0.5 - w / 2.0) / std::sin(0.5 + w / 2.0);
    const double D = 1.0 + y1 * K - y2 * K * K;
    const double a0 = (x0 - x1 * K + x2 * K * K) / D;
    double a1 = (-2.0 * x0 * K + x1 + x1 * K * K - 2.0 * x2 * K) / D;
    const double a2 = (x0 * K * K - x1 * K + x2) / D;
    double b1 = (2.0 * K + y1 + y1 * K * K - 2.0 * y2 * K) / D;
    const double b2 = (-K * K - y1 * K + y2) / D;
    if (HighPass) {
      a1 = -a1;
      b1 = -b1;
    }
    std::copy(a, a + 23, ta);
    std::copy(b, b + 23, tb);
    for (int i = 2; i <= 22; ++i) {
      a[i] = a0 * ta[i] + a1 * ta[i - 1] + a2 * ta[i - 2];
      b[i] = tb[i] - b1 * tb[i - 1] - b2 * tb[i - 2];
    }
  }
  b[2] = 0.0;
  for (int i = 0; i <= 20; ++i) {
    a[i] = a[i + 2];
    b[i] = -b[i + 2];
  }
  double sa = 0.0, sb = 0.0;
  for (int i = 0; i <= 20; ++i) {
    const double Sign = (HighPass && i % 2 == 1) ? -1.0 : 1.0;
    sa += a[i] * Sign;
    sb += b[i] * Sign;
  }
  const double Gain = sa / (1.0 - sb);
  for (int i = 0; i <= 20; ++i) a[i] /= Gain;
  TDouble2DArray New(2, TDoubleArray(static_cast<size_t>(NPoles)));
  for (size_t i = 1; i <= static_cast<size_t>(NPoles); ++i) {
    New[0][i - 1] = a[i];
    New[1][i - 1] = b[i];
  }
  Coeffs.SetValues(New);
  A0 = a[0];
}

void ChebychevFilter(const TVector* Source, int32_t First, int32_t Last, TVector* Dest, double A0,
                     const TMatrix& Coeffs) {
  if (Source == nullptr || Dest == nullptr)
    Fail("ChebychevFilter: either SourceVec or DestVec is undefined");
  Source->MakeValidElemRange(First, Last);
  NoMemoryAsError("ChebychevFilter", [&] {
    const auto R = static_cast<size_t>(Coeffs.NrOfRows());
    TDoubleArray a(R + 1), b(R + 1);
    for (size_t j = 1; j <= R; ++j) {
      a[j] = Coeffs.GetVal(1, static_cast<int32_t>(j));
      b[j] = Coeffs.GetVal(2, static_cast<int32_t>(j));
    }
    const double* X = Source->Data().data() + (First - 1);
    const auto L = static_cast<size_t>(Last - First + 1);
    const size_t P = R + 1;  // margin on each side
    const size_t N = L + 2 * P;
    // U(k) = x(k - P) inside the range, 0 in the margins.
    TDoubleArray U(N, 0.0), Y(N), Z(N);
    std::copy(X, X + L, U.begin() + static_cast<std::ptrdiff_t>(P));
    for (size_t k = 0; k < N; ++k) {
      const size_t Top = std::min(R, k);
      double S = A0 * U[k];
      for (size_t j = 1; j <= Top; ++j) S += a[j] * U[k - j];
      // The feedback terms last, the newest at the end: the chain from one output to the next
      // is one product and one sum.
      for (size_t j = Top; j >= 1; --j) S += b[j] * Y[k - j];
      Y[k] = S;
    }
    for (size_t k = N; k-- > 0;) {
      const size_t Top = std::min(R, N - 1 - k);
      double S = A0 * Y[k];
      for (size_t j = 1; j <= Top; ++j) S += a[j] * Y[k + j];
      for (size_t j = Top; j >= 1; --j) S += b[j] * Z[k + j];
      Z[k] = S;
    }
    StoreInto(*Dest, static_cast<size_t>(First - 1), Z.data() + P, L);
  });
}

// ---- 2-D kernels ----

int32_t KernelConvolve(const TDouble2DArray& Kernel, const TDouble2DArray& Data,
                       TDouble2DArray& Result, const TOnPercentDoneEvent& OnPercentDone) {
  const size_t s = Kernel.size();
  for (const auto& Col : Kernel)
    if (Col.size() != s) return -1;
  if (s % 2 == 0) return -2;
  if (s < 3) return -3;
  if (Data.empty() || Data[0].empty() || IsRagged(Data)) return -4;
  const auto Nc = static_cast<int64_t>(Data.size());
  const auto Nr = static_cast<int64_t>(Data[0].size());
  const auto h = static_cast<int64_t>(s / 2);
  TDouble2DArray Out(static_cast<size_t>(Nc), TDoubleArray(static_cast<size_t>(Nr)));
  const auto At = [&](int64_t x, int64_t y) {
    return Data[static_cast<size_t>(std::clamp<int64_t>(x, 0, Nc - 1))]
               [static_cast<size_t>(std::clamp<int64_t>(y, 0, Nr - 1))];
  };
  const auto Point = [&](int64_t x, int64_t y, bool Clip) {
    double S = 0.0;
    for (size_t i = 0; i < s; ++i) {
      const int64_t xi = x + static_cast<int64_t>(i) - h;
      for (size_t j = 0; j < s; ++j) {
        const int64_t yj = y + static_cast<int64_t>(j) - h;
        const double D = Clip ? At(xi, yj) : Data[static_cast<size_t>(xi)][static_cast<size_t>(yj)];
        S += D * Kernel[i][j];
      }
    }
    Out[static_cast<size_t>(x)][static_cast<size_t>(y)] = S;
  };
  const auto S = static_cast<int64_t>(s);
  const int64_t f = std::max<int64_t>(1, (Nr - S) * (Nc - S) / 100);
  int64_t Count = 0;
  for (int64_t x = h; x < Nc - h; ++x)
    for (int64_t y = h; y < Nr - h; ++y) {
      Point(x, y, false);
      if (++Count % f == 0 && OnPercentDone)
        OnPercentDone(nullptr, RoundToInt32(static_cast<double>(Count) / static_cast<double>(f)));
    }
  for (int64_t x = 0; x < Nc; ++x)
    for (int64_t y = 0; y < Nr; ++y)
      if (x < h || x >= Nc - h || y < h || y >= Nr - h) Point(x, y, true);
  Result = std::move(Out);
  return 0;
}

namespace {

// A 3x3 kernel given as rows top to bottom, turned into [column][row].
TDouble2DArray FromRows(const int (&Rows)[3][3]) {
  TDouble2DArray K(3, TDoubleArray(3));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) K[size_t(x)][size_t(y)] = Rows[y][x];
  return K;
}

constexpr int kCompass[8][3][3] = {
    {{-1, -1, -1}, {1, -2, 1}, {1, 1, 1}}, {{1, -1, -1}, {1, -2, -1}, {1, 1, 1}},
    {{1, 1, -1}, {1, -2, -1}, {1, 1, -1}}, {{1, 1, 1}, {1, -2, -1}, {1, -1, -1}},
    {{1, 1, 1}, {1, -2, 1}, {-1, -1, -1}}, {{1, 1, 1}, {-1, -2, 1}, {-1, -1, 1}},
    {{-1, 1, 1}, {-1, -2, 1}, {-1, 1, 1}}, {{-1, -1, 1}, {-1, -2, 1}, {1, 1, 1}}};

constexpr int kKirsch[8][3][3] = {
    {{-3, -3, -3}, {-3, 0, -3}, {5, 5, 5}}, {{-3, -3, -3}, {5, 0, -3}, {5, 5, -3}},
    {{5, -3, -3}, {5, 0, -3}, {5, -3, -3}}, {{5, 5, -3}, {5, 0, -3}, {-3, -3, -3}},
    {{5, 5, 5}, {-3, 0, -3}, {-3, -3, -3}}, {{-3, 5, 5}, {-3, 0, 5}, {-3, -3, -3}},
    {{-3, -3, 5}, {-3, 0, 5}, {-3, -3, 5}}, {{-3, -3, -3}, {-3, 0, 5}, {-3, 5, 5}}};

}  // namespace

int32_t ApplyCompassKernel(int32_t Dir, const TDouble2DArray& Data, TDouble2DArray& Result,
                           const TOnPercentDoneEvent& OnPercentDone) {
  if (Dir < 0 || Dir > 7) return -1;
  return KernelConvolve(FromRows(kCompass[Dir]), Data, Result, OnPercentDone);
}

int32_t ApplyKirschKernel(int32_t Dir, const TDouble2DArray& Data, TDouble2DArray& Result,
                          const TOnPercentDoneEvent& OnPercentDone) {
  if (Dir < 0 || Dir > 7) return -1;
  return KernelConvolve(FromRows(kKirsch[Dir]), Data, Result, OnPercentDone);
}

// ---- Generators ----

int32_t CreateGaussianPeaks(const TPeakParamsList& Peaks, TDoubleArray& Data) {
  if (Peaks.empty()) return -1;
  if (Data.size() < 3) return -2;
  // A width of 0 divides by zero (NaN at the centre, 0 elsewhere).
  for (const auto& P : Peaks)
    if (P[1] == 0.0 || std::isnan(P[1])) return -3;
  for (size_t i = 1; i <= Data.size(); ++i) {
    double S = 0.0;
    for (const auto& P : Peaks) {
      const double z = (static_cast<double>(i) - P[0]) / P[1];
      S += P[2] * std::exp(-z * z);
    }
    Data[i - 1] = S;
  }
  return 0;
}

int32_t Gauss2D(int32_t cx, int32_t cy, double Width, double Height, TDouble2DArray& Data) {
  if (!(Width > 0.0)) return -1;
  if (Data.size() < 2 || Data[0].size() < 2 || IsRagged(Data)) return -2;
  const double W2 = Width * Width;
  for (size_t i = 1; i <= Data.size(); ++i) {
    const double dx = static_cast<double>(i) - cx;
    for (size_t j = 1; j <= Data[i - 1].size(); ++j) {
      const double dy = static_cast<double>(j) - cy;
      Data[i - 1][j - 1] = Height * std::exp(-(dx * dx + dy * dy) / W2);
    }
  }
  return 0;
}

int32_t CreateSigmoidArray(TDoubleArray& Data, double k, double Offset, double Amplitude,
                           int32_t x0) {
  if (Data.size() < 3) return -1;
  for (size_t i = 1; i <= Data.size(); ++i)
    Data[i - 1] = Amplitude / (1.0 + std::exp(-k * (static_cast<double>(i) - x0))) + Offset;
  return 0;
}

namespace {
double GaussOfSum(double S, double Width) {
  double z = S / (Width * Width);
  if (z > 20.0) z = 20.0;  // NaN stays NaN
  return std::exp(-z);
}
}  // namespace

double CalcGaussKernel(const TVector& v1, const TVector& v2, double Width) {
  double S = 0.0;
  for (int32_t c = 1; c <= v2.NrOfElem(); ++c) {
    const double d = v1.GetVal(c) - v2.GetVal(c);
    S += d * d;
  }
  return GaussOfSum(S, Width);
}

double CalcGaussKernelMat(const TVector& v, const TMatrix& M, int32_t Row, double Width) {
  double S = 0.0;
  for (int32_t c = 1; c <= M.NrOfColumns(); ++c) {
    const double d = v.GetVal(c) - M.GetVal(c, Row);
    S += d * d;
  }
  return GaussOfSum(S, Width);
}

// ---- Images ----

namespace {

// R with its edges in order.
TRect Ordered(TRect R) {
  if (R.Left > R.Right) std::swap(R.Left, R.Right);
  if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
  return R;
}

double PixelValue(int32_t Color, TImgCompareMode Mode) {
  double Hue = 0, Saturation = 0, Intensity = 0;
  switch (Mode) {
    case icmRed:
      return RedOf(Color);
    case icmBlue:
      return BlueOf(Color);
    case icmGreen:
      return GreenOf(Color);
    case icmGrayValues:
      return RGBtoGray(Color);
    default:
      break;
  }
  RGBtoHSI(Color, Hue, Saturation, Intensity);
  return Mode == icmHue ? Hue : Mode == icmSaturation ? Saturation : Intensity;
}

}  // namespace

double CalcImgCorrelation(const TBitmap& Bmp1, const TBitmap& Bmp2, const TRect& Rect1,
                          const TRect& Rect2, TImgCompareMode Mode) {
  const TRect R1 = Ordered(Rect1), R2 = Ordered(Rect2);
  const int64_t W = int64_t{R1.Right} - R1.Left, H = int64_t{R1.Bottom} - R1.Top;
  if (W != int64_t{R2.Right} - R2.Left || H != int64_t{R2.Bottom} - R2.Top)
    Fail("image ranges to compare are not of equal size");
  // Pixels outside a bitmap read as black and would enter the correlation as data.
  const auto Within = [](const TRect& R, const TBitmap& B) {
    return R.Left >= 0 && R.Top >= 0 && R.Right < B.Width() && R.Bottom < B.Height();
  };
  if (!Within(R1, Bmp1) || !Within(R2, Bmp2)) Fail("image range lies outside the bitmap");
  if (Mode < icmRed || Mode > icmGrayValues) Fail("invalid image compare mode");
  return NoMemoryAsError("CalcImgCorrelation", [&] {
    TCurveFit Fit;
    for (int64_t dy = 0; dy <= H; ++dy)
      for (int64_t dx = 0; dx <= W; ++dx) {
        const int32_t C1 =
            Bmp1.Pixel(static_cast<int32_t>(R1.Left + dx), static_cast<int32_t>(R1.Top + dy));
        const int32_t C2 =
            Bmp2.Pixel(static_cast<int32_t>(R2.Left + dx), static_cast<int32_t>(R2.Top + dy));
        Fit.EnterStatValue(PixelValue(C1, Mode), PixelValue(C2, Mode));
      }
    int32_t N = 0;
    double MeanX, MeanY, SdX, SdY, MeanDiff, SdDiff, Rxy = 0;
    Fit.CalcStatistics(N, MeanX, MeanY, SdX, SdY, MeanDiff, SdDiff, Rxy);
    return Rxy;
  });
}

}  // namespace nux
