#include "nux/openarrays/arraystats.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "nux/frame/combsort.h"
#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/frame/stringl.h"
#include "nux/frame/univconst.h"
#include "nux/host/random.h"
#include "nux/math1/sorting.h"
#include "nux/openarrays/ndarray_impl.h"
#include "nux/openarrays/range_macros.h"

namespace nux {

using oa::ElemOf;
using oa::Ext;
using oa::RankOf;

namespace {

constexpr Ext Zero{0, 0, 0, 0};
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// ---- extremes ----------------------------------------------------------------------------

template <bool IsMax, class T>
T EmptyExtreme() {
  if constexpr (IsMax)
    return static_cast<T>(INT32_MIN);
  else
    return static_cast<T>(INT32_MAX);
}

template <bool IsMax, class V>
ElemOf<V> ExtremeT(const V& A, Ext* Pos) {
  using T = ElemOf<V>;
  Ext E;
  if (oa::Shape(A, E) != 0) return EmptyExtreme<IsMax, T>();
  T Best{};
  bool First = true;
  Ext BestIx = Zero;
  oa::ForBoxIx(A, Zero, oa::FullHi<V>(E), [&](const Ext& Ix, const T& X) {
    if (First || (IsMax ? X > Best : X < Best)) {
      Best = X;
      BestIx = Ix;
      First = false;
    }
  });
  if (Pos) *Pos = BestIx;
  return Best;
}

template <class V, class T>
int32_t MinMaxT(const V& A, T& Min, T& Max) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  bool First = true;
  oa::ForAll(A, [&](const auto& X) {
    if (First) {
      Min = Max = X;
      First = false;
    } else if (X < Min) {
      Min = X;
    } else if (X > Max) {
      Max = X;
    }
  });
  return 0;
}

// ---- ranges ------------------------------------------------------------------------------

// Shape and box checks shared by the ranged statistics: 0, -1 or -2.
template <class V>
int32_t CheckRange(const V& A, const Ext& Lo, const Ext& Hi) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  return oa::CheckBox<V>(E, Lo, Hi);
}

template <class V>
TDoubleArray Gather(const V& A, const Ext& Lo, const Ext& Hi) {
  TDoubleArray Buf;
  int64_t N = 1;
  for (int L = 0; L < RankOf<V>; ++L) N *= Hi[L] - Lo[L] + 1;
  Buf.reserve(static_cast<size_t>(N));
  oa::ForBox(A, Lo, Hi, [&](const auto& X) { Buf.push_back(static_cast<double>(X)); });
  return Buf;
}

template <class V>
int32_t MeanT(const V& A, const Ext& Lo, const Ext& Hi, double& Mean) {
  Mean = 0.0;
  if (const int32_t R = CheckRange(A, Lo, Hi)) return R;
  const TDoubleArray Buf = Gather(A, Lo, Hi);
  Mean = StableMean(static_cast<int64_t>(Buf.size()), [&](int64_t I) { return Buf[I]; });
  return 0;
}

template <class V>
int32_t StdDevT(const V& A, const Ext& Lo, const Ext& Hi, double& StdDev) {
  StdDev = 0.0;
  if (const int32_t R = CheckRange(A, Lo, Hi)) return R;
  const TDoubleArray Buf = Gather(A, Lo, Hi);
  const int64_t N = static_cast<int64_t>(Buf.size());
  if (N < 2) return 0;
  const TCentralSums C = CentralSums(N, [&](int64_t I) { return Buf[I]; });
  StdDev = std::sqrt(C.S2 / static_cast<double>(N - 1));
  return 0;
}

template <class V>
int32_t CountT(const V& A, const Ext& Lo, const Ext& Hi, ElemOf<V> Low, ElemOf<V> High) {
  if (const int32_t R = CheckRange(A, Lo, Hi)) return R;
  if (!(Low <= High)) return -2;
  int64_t N = 0;
  oa::ForBox(A, Lo, Hi, [&](const auto& X) { N += (Low <= X && X <= High) ? 1 : 0; });
  return oa::SatI32(N);
}

// ---- percentiles and frequency distributions ---------------------------------------------

double SelectPercentile(double P, TDoubleArray& Buf) {
  // NaN elements have no rank; selecting among them would give an arbitrary value.
  std::erase_if(Buf, [](double X) { return std::isnan(X); });
  if (Buf.empty() || std::isnan(P)) return NaN;
  P = std::clamp(P, 0.0, 100.0);
  const int64_t N = static_cast<int64_t>(Buf.size());
  const int64_t K = std::min<int64_t>(N - 1, RoundToInt64(P * static_cast<double>(N) / 100.0));
  return QuickSelect(std::span<double>(Buf), static_cast<int32_t>(K), 0,
                     static_cast<int32_t>(N - 1));
}

template <class V>
double Percentile1T(double P, const V& A, int32_t Lo, int32_t Hi) {
  const int32_t N = static_cast<int32_t>(A.size());
  if (N == 0) return NaN;
  Lo = std::clamp(Lo, 0, N - 1);
  Hi = std::clamp(Hi, 0, N - 1);
  if (Hi < Lo) std::swap(Lo, Hi);
  TDoubleArray Buf(A.begin() + Lo, A.begin() + Hi + 1);
  return SelectPercentile(P, Buf);
}

struct TFreqSpec {
  double First, Last, Width;
};

// Counts the values of Visit into the bins; the range checks are done by the caller.
template <class Visit>
int32_t FrequDist(const TFreqSpec& S, Visit&& Each, TIntArray& Bins, int32_t& Under, int32_t& Over,
                  int32_t& MaxCount) {
  if (!(S.Last > S.First)) return -3;
  if (!(S.Width > 0.0)) return -4;
  const double NbReal = RoundEven(std::fabs(S.Last - S.First) / S.Width) + 1.0;
  if (!(NbReal <= 1000.0)) return -5;
  const int64_t Nb = static_cast<int64_t>(NbReal);
  std::vector<int64_t> Counts(static_cast<size_t>(Nb), 0);
  int64_t U = 0, O = 0;
  const double OverFrom = S.Last + S.Width;
  Each([&](double X) {
    if (std::isnan(X)) return;  // belongs to no bin
    if (X < S.First) {
      ++U;
    } else if (X >= OverFrom) {
      ++O;
    } else {
      const double Bin = std::floor((X - S.First) / S.Width);
      if (Bin >= static_cast<double>(Nb))
        ++O;
      else
        ++Counts[static_cast<size_t>(Bin)];
    }
  });
  Bins.assign(static_cast<size_t>(Nb), 0);
  int64_t Mx = 0;
  for (int64_t I = 0; I < Nb; ++I) {
    Bins[I] = oa::SatI32(Counts[I]);
    Mx = std::max(Mx, Counts[I]);
  }
  Under = oa::SatI32(U);
  Over = oa::SatI32(O);
  MaxCount = oa::SatI32(Mx);
  return 0;
}

// A pair of bounds where 0, 0 means the whole extent: -1 outside, -2 reversed, else 0.
int32_t WholeOrRange(int32_t& Lo, int32_t& Hi, int64_t Extent) {
  if (Lo == 0 && Hi == 0) {
    Hi = static_cast<int32_t>(Extent - 1);
    return Extent > 0 ? 0 : -1;
  }
  if (Lo < 0 || Hi < 0 || Lo >= Extent || Hi >= Extent) return -1;
  return Hi < Lo ? -2 : 0;
}

int32_t FrequDist2D(const TDouble2DArray& A, const TBool2DArray* Mask, int32_t ColLo, int32_t RowLo,
                    int32_t ColHi, int32_t RowHi, const TFreqSpec& S, TIntArray& Bins,
                    int32_t& Under, int32_t& Over, int32_t& MaxCount) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  int32_t R1 = WholeOrRange(ColLo, ColHi, E[0]);
  int32_t R2 = WholeOrRange(RowLo, RowHi, E[1]);
  if (R1 == -1 || R2 == -1) return -1;
  if (R1 == -2 || R2 == -2) return -2;
  if (Mask && !Mask->empty()) {
    Ext EM;
    if (oa::Shape(*Mask, EM) != 0 || EM[0] != E[0] || EM[1] != E[1]) return -6;
  } else {
    Mask = nullptr;
  }
  return FrequDist(
      S,
      [&](auto&& Count) {
        for (int32_t C = ColLo; C <= ColHi; ++C)
          for (int32_t R = RowLo; R <= RowHi; ++R)
            if (!Mask || !(*Mask)[C][R]) Count(A[C][R]);
      },
      Bins, Under, Over, MaxCount);
}

// ---- searching and ordering --------------------------------------------------------------

template <class T>
int32_t FindSortedT(T X, const std::vector<T>& A, bool Ascending) {
  const int64_t N = static_cast<int64_t>(A.size());
  if (N == 0) return -1;
  if constexpr (std::is_floating_point_v<T>)
    if (std::isnan(X)) return -2;
  const T Small = Ascending ? A[0] : A[N - 1];
  const T Large = Ascending ? A[N - 1] : A[0];
  if (X < Small || X > Large) return -2;
  int64_t Lo = 1, Hi = N;  // 1-based
  while (Hi - Lo > 1) {
    const int64_t Mid = Lo + (Hi - Lo) / 2;
    const T V = A[Mid - 1];
    if (V == X) return static_cast<int32_t>(Mid - 1);
    if (Ascending ? X > V : X < V)
      Lo = Mid;
    else
      Hi = Mid;
  }
  const double DLo = std::fabs(static_cast<double>(X) - static_cast<double>(A[Lo - 1]));
  const double DHi = std::fabs(static_cast<double>(A[Hi - 1]) - static_cast<double>(X));
  return static_cast<int32_t>(DLo < DHi ? Lo - 1 : Hi - 1);
}

template <class T>
int32_t SortIndexT(bool Ascending, std::vector<T>& A, TIntArray& Index) {
  const int64_t N = static_cast<int64_t>(A.size());
  if (N < 2) return -1;
  TIntArray Ix(static_cast<size_t>(N));
  for (int64_t I = 0; I < N; ++I) Ix[I] = static_cast<int32_t>(I + 1);
  CombSort(
      0, N - 1, [&](int64_t I, int64_t J) { return Ascending ? A[I] > A[J] : A[I] < A[J]; },
      [&](int64_t I, int64_t J) {
        std::swap(A[I], A[J]);
        std::swap(Ix[I], Ix[J]);
      });
  Index = std::move(Ix);
  return 0;
}

template <class T>
int32_t ShuffleT(std::vector<T>& A) {
  const int64_t N = static_cast<int64_t>(A.size());
  if (N < 2) return -1;
  // The partner is drawn from 0..K, K included, so that an element may stay in place.
  for (int64_t K = N - 1; K >= 1; --K) {
    const int64_t J = RandomInt(static_cast<int32_t>(K + 1));
    std::swap(A[K], A[J]);
  }
  return 0;
}

// -1, 0 or +1 for a[i] - a[i+1]; 2 for an unordered pair (NaN).
template <class T>
int Step(T A, T B) {
  if (A > B) return 1;
  if (A < B) return -1;
  if (A == B) return 0;
  return 2;
}

template <class T>
bool MonotoneT(const std::vector<T>& A) {
  if (A.size() <= 2) return true;
  int Dir = 0;
  for (size_t I = 0; I + 1 < A.size(); ++I) {
    const int S = Step(A[I], A[I + 1]);
    if (S == 2) return false;
    if (S == 0) continue;
    if (Dir == 0)
      Dir = S;
    else if (S != Dir)
      return false;
  }
  return true;
}

template <class T>
bool StrictlyMonotoneT(const std::vector<T>& A) {
  if (A.size() <= 2) return true;
  const int Dir = Step(A[0], A[1]);
  if (Dir == 0 || Dir == 2) return false;
  for (size_t I = 1; I + 1 < A.size(); ++I)
    if (Step(A[I], A[I + 1]) != Dir) return false;
  return true;
}

template <class T>
bool DichotomousT(const std::vector<T>& A, T& Low, T& High) {
  Low = High = T(0);
  if (A.size() < 2) return false;
  const T V0 = A[0];
  bool HaveSecond = false;
  T V1 = V0;
  for (const T& X : A) {
    if (X == V0) continue;
    if (!HaveSecond && X == X) {
      V1 = X;
      HaveSecond = true;
    } else if (!(X == V1)) {
      return false;  // a third value, or a NaN
    }
  }
  if (!(V0 == V0)) return false;
  if (!HaveSecond) {
    Low = High = V0;
    return false;
  }
  Low = std::min(V0, V1);
  High = std::max(V0, V1);
  return true;
}

template <class T, class Exceeds>
int32_t LinearityT(const std::vector<T>& A, TIntArray& Breaks, Exceeds&& Off) {
  const int64_t N = static_cast<int64_t>(A.size());
  if (N < 3) return 0;
  TIntArray B;
  using W = std::conditional_t<std::is_integral_v<T>, int64_t, double>;
  W D = static_cast<W>(A[1]) - static_cast<W>(A[0]);
  for (int64_t I = 2; I < N; ++I) {
    const W S = static_cast<W>(A[I]) - static_cast<W>(A[I - 1]);
    if (Off(S - D)) {
      if (B.size() == B.capacity()) B.reserve(B.size() + 100);
      B.push_back(static_cast<int32_t>(I - 1));
      D = S;
    }
  }
  B.shrink_to_fit();
  Breaks = std::move(B);
  return static_cast<int32_t>(Breaks.size());
}

template <class T>
TDoubleArray Neighbourhood(const std::vector<T>& A, int32_t Index, int32_t HalfWidth, int32_t Lo,
                           int32_t Hi) {
  TDoubleArray Vals;
  const int32_t N = static_cast<int32_t>(A.size());
  if (N == 0) return Vals;
  Index = std::clamp(Index, 0, N - 1);
  HalfWidth = std::clamp(HalfWidth, 0, N - 1);
  Lo = std::clamp(Lo, 0, N - 1);
  Hi = std::clamp(Hi, 0, N - 1);
  if (Hi < Lo) std::swap(Lo, Hi);
  Vals.push_back(static_cast<double>(A[Index]));
  for (int32_t K = 1; K <= HalfWidth; ++K) {
    const int64_t Left = static_cast<int64_t>(Index) - K, Right = static_cast<int64_t>(Index) + K;
    if (Left >= Lo && Left <= Hi) Vals.push_back(static_cast<double>(A[Left]));
    if (Right >= Lo && Right <= Hi) Vals.push_back(static_cast<double>(A[Right]));
  }
  return Vals;
}

template <class T>
double LocalMeanT(const std::vector<T>& A, int32_t Index, int32_t HalfWidth, int32_t Lo,
                  int32_t Hi) {
  const TDoubleArray V = Neighbourhood(A, Index, HalfWidth, Lo, Hi);
  return StableMean(static_cast<int64_t>(V.size()), [&](int64_t I) { return V[I]; });
}

template <class T>
double LocalMedianT(const std::vector<T>& A, int32_t Index, int32_t HalfWidth, int32_t Lo,
                    int32_t Hi) {
  TDoubleArray V = Neighbourhood(A, Index, HalfWidth, Lo, Hi);
  if (V.empty()) return 0.0;
  SortArray(std::span<double>(V), true);
  const size_t M = V.size() / 2;
  return V.size() % 2 == 1 ? V[M] : (V[M - 1] + V[M]) / 2.0;
}

}  // namespace

// ---- public members ----------------------------------------------------------------------

#define NUX_EXTREMES(V)                                                  \
  ElemOf<V> MaxArray(const V& A) { return ExtremeT<true>(A, nullptr); }  \
  ElemOf<V> MinArray(const V& A) { return ExtremeT<false>(A, nullptr); } \
  int32_t MinMaxArray(const V& A, ElemOf<V>& Min, ElemOf<V>& Max) { return MinMaxT(A, Min, Max); }
NUX_EXTREMES(TDoubleArray)
NUX_EXTREMES(TDouble2DArray)
NUX_EXTREMES(TDouble3DArray)
NUX_EXTREMES(TDouble4DArray)
NUX_EXTREMES(TIntArray)
NUX_EXTREMES(TInt2DArray)
NUX_EXTREMES(TInt3DArray)
NUX_EXTREMES(TInt4DArray)

#define NUX_EXTREME_POS(V)                       \
  ElemOf<V> MaxArray(const V& A, int32_t& Pos) { \
    Ext P{Pos, 0, 0, 0};                         \
    const auto R = ExtremeT<true>(A, &P);        \
    Pos = static_cast<int32_t>(P[0]);            \
    return R;                                    \
  }                                              \
  ElemOf<V> MinArray(const V& A, int32_t& Pos) { \
    Ext P{Pos, 0, 0, 0};                         \
    const auto R = ExtremeT<false>(A, &P);       \
    Pos = static_cast<int32_t>(P[0]);            \
    return R;                                    \
  }
#define NUX_EXTREME_POS2(V)                                    \
  ElemOf<V> MaxArray(const V& A, int32_t& Col, int32_t& Row) { \
    Ext P{Col, Row, 0, 0};                                     \
    const auto R = ExtremeT<true>(A, &P);                      \
    Col = static_cast<int32_t>(P[0]);                          \
    Row = static_cast<int32_t>(P[1]);                          \
    return R;                                                  \
  }                                                            \
  ElemOf<V> MinArray(const V& A, int32_t& Col, int32_t& Row) { \
    Ext P{Col, Row, 0, 0};                                     \
    const auto R = ExtremeT<false>(A, &P);                     \
    Col = static_cast<int32_t>(P[0]);                          \
    Row = static_cast<int32_t>(P[1]);                          \
    return R;                                                  \
  }
NUX_EXTREME_POS(TDoubleArray)
NUX_EXTREME_POS(TIntArray)
NUX_EXTREME_POS2(TDouble2DArray)
NUX_EXTREME_POS2(TInt2DArray)

int32_t MinMaxArray(const TSingleArray& A, float& Min, float& Max) { return MinMaxT(A, Min, Max); }

int32_t MinMaxArray(const double* Data, int64_t N, double& Min, double& Max) {
  if (Data == nullptr || N < 1) return -1;
  Min = Max = Data[0];
  for (int64_t I = 1; I < N; ++I) {
    if (Data[I] < Min)
      Min = Data[I];
    else if (Data[I] > Max)
      Max = Data[I];
  }
  return 0;
}

int32_t MinMaxArray(const TDoubleArray& A, int32_t Lo, int32_t Hi, double& Min, double& Max,
                    int32_t& MinPos, int32_t& MaxPos) {
  if (const int32_t R = CheckRange(A, Ext{Lo, 0, 0, 0}, Ext{Hi, 0, 0, 0})) return R;
  Min = uc_MaxDouble;
  Max = -uc_MaxDouble;
  MinPos = MaxPos = 0;
  for (int32_t I = Lo; I <= Hi; ++I) {
    if (A[I] < Min) {
      Min = A[I];
      MinPos = I;
    }
    if (A[I] > Max) {
      Max = A[I];
      MaxPos = I;
    }
  }
  return 0;
}

int32_t MinMaxArray(const TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                    int32_t RowHi, double& Min, double& Max, int32_t& MinCol, int32_t& MinRow,
                    int32_t& MaxCol, int32_t& MaxRow) {
  if (const int32_t R = CheckRange(A, Ext{ColLo, RowLo, 0, 0}, Ext{ColHi, RowHi, 0, 0})) return R;
  Min = uc_MaxDouble;
  Max = -uc_MaxDouble;
  MinCol = MinRow = MaxCol = MaxRow = 0;
  for (int32_t C = ColLo; C <= ColHi; ++C)
    for (int32_t R = RowLo; R <= RowHi; ++R) {
      const double X = A[C][R];
      if (X < Min) {
        Min = X;
        MinCol = C;
        MinRow = R;
      }
      if (X > Max) {
        Max = X;
        MaxCol = C;
        MaxRow = R;
      }
    }
  return 0;
}

#define NUX_MOMENTS(V, R, B)                                                           \
  int32_t MeanArray(const V& A, R, double& Mean) { return MeanT(A, B, Mean); }         \
  int32_t StdDevArray(const V& A, R, double& StdDev) { return StdDevT(A, B, StdDev); } \
  int32_t CountValues(const V& A, R, ElemOf<V> Low, ElemOf<V> High) {                  \
    return CountT(A, B, Low, High);                                                    \
  }
NUX_MOMENTS(TDoubleArray, NUX_R1, NUX_B1)
NUX_MOMENTS(TDouble2DArray, NUX_R2, NUX_B2)
NUX_MOMENTS(TDouble3DArray, NUX_R3, NUX_B3)
NUX_MOMENTS(TDouble4DArray, NUX_R4, NUX_B4)
NUX_MOMENTS(TIntArray, NUX_R1, NUX_B1)
NUX_MOMENTS(TInt2DArray, NUX_R2, NUX_B2)
NUX_MOMENTS(TInt3DArray, NUX_R3, NUX_B3)
NUX_MOMENTS(TInt4DArray, NUX_R4, NUX_B4)

#undef NUX_EXTREMES
#undef NUX_EXTREME_POS
#undef NUX_EXTREME_POS2
#undef NUX_MOMENTS
#undef NUX_R1
#undef NUX_R2
#undef NUX_R3
#undef NUX_R4
#undef NUX_B1
#undef NUX_B2
#undef NUX_B3
#undef NUX_B4

template <class V, class S>
static int32_t SumMaskedT(const V& A, const TBool2DArray& Mask, S& Sum) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -2;
  const bool UseMask = !Mask.empty();
  if (UseMask) {
    Ext EM;
    if (oa::Shape(Mask, EM) != 0 || EM[0] != E[0] || EM[1] != E[1]) return -1;
  }
  S Total = 0;
  int64_t N = 0;
  for (int64_t C = 0; C < E[0]; ++C)
    for (int64_t R = 0; R < E[1]; ++R)
      if (!UseMask || !Mask[C][R]) {
        Total += A[C][R];
        ++N;
      }
  Sum = Total;
  return oa::SatI32(N);
}

int32_t SumArrayMasked(const TDouble2DArray& A, const TBool2DArray& Mask, double& Sum) {
  return SumMaskedT(A, Mask, Sum);
}
int32_t SumArrayMasked(const TInt2DArray& A, const TBool2DArray& Mask, int64_t& Sum) {
  return SumMaskedT(A, Mask, Sum);
}

double SumOfSquaredDiffs(const TDoubleArray& A, const TDoubleArray& B) {
  if (A.empty() || B.empty()) return -1.0;
  if (A.size() != B.size()) return -2.0;
  double S = 0.0;
  for (size_t I = 0; I < A.size(); ++I) {
    const double D = A[I] - B[I];
    S += D * D;
  }
  return S;
}

double SumOfSquaredDiffs(const TDoubleArray& A, const TDouble2DArray& B, int32_t Col) {
  Ext E;
  if (A.empty() || oa::Shape(B, E) != 0) return -1.0;
  if (Col < 0 || Col >= E[0]) return -3.0;
  return SumOfSquaredDiffs(A, B[Col]);
}

template <class V, class S>
static int32_t TraceT(const V& A, S& Trace) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  if (E[0] != E[1]) return -2;
  S T = 0;
  for (int64_t I = 0; I < E[0]; ++I) T += A[I][I];
  Trace = T;
  return 0;
}
int32_t TraceOfArray(const TDouble2DArray& A, double& Trace) { return TraceT(A, Trace); }
int32_t TraceOfArray(const TInt2DArray& A, int64_t& Trace) { return TraceT(A, Trace); }

double PearsonCorrCoeffColsOfArray(const TDouble2DArray& A, int32_t Col1, int32_t Col2) {
  Ext E;
  if (oa::Shape(A, E) != 0) return 0.0;
  if (Col1 < 0 || Col2 < 0 || Col1 >= E[0] || Col2 >= E[0]) return 0.0;
  const int64_t N = E[1];
  if (N <= 2) return 0.0;
  const TDoubleArray& X = A[Col1];
  const TDoubleArray& Y = A[Col2];
  double Sx2 = 0.0, Sy2 = 0.0;
  for (int64_t I = 0; I < N; ++I) {
    Sx2 += X[I] * X[I];
    Sy2 += Y[I] * Y[I];
  }
  if (!(Sx2 > 0.0) || !(Sy2 > 0.0)) return 0.0;
  // Sums about the means: the raw-sum formula cancels catastrophically on offset data.
  auto Gx = [&](int64_t I) { return X[I]; };
  auto Gy = [&](int64_t I) { return Y[I]; };
  const TCentralSums Cx = CentralSums(N, Gx), Cy = CentralSums(N, Gy);
  if (Cx.S2 == 0.0 || Cy.S2 == 0.0) return 0.0;
  const double Sxy = CentralCoSum(N, Gx, Gy, Cx.Mean, Cy.Mean);
  const double R = Sxy / (std::sqrt(Cx.S2) * std::sqrt(Cy.S2));
  return std::isnan(R) ? R : std::clamp(R, -1.0, 1.0);
}

double PercentileArray(double P, const TDoubleArray& A) {
  return Percentile1T(P, A, 0, static_cast<int32_t>(A.size()) - 1);
}
double PercentileArray(double P, const TDoubleArray& A, int32_t Lo, int32_t Hi) {
  return Percentile1T(P, A, Lo, Hi);
}
double PercentileArray(double P, const TIntArray& A) {
  return Percentile1T(P, A, 0, static_cast<int32_t>(A.size()) - 1);
}
double PercentileArray(double P, const TDouble2DArray& A, int32_t ColLo, int32_t RowLo,
                       int32_t ColHi, int32_t RowHi) {
  Ext E;
  if (oa::Shape(A, E) != 0) return NaN;
  const int32_t Nc = static_cast<int32_t>(E[0]), Nr = static_cast<int32_t>(E[1]);
  ColLo = std::clamp(ColLo, 0, Nc - 1);
  ColHi = std::clamp(ColHi, 0, Nc - 1);
  RowLo = std::clamp(RowLo, 0, Nr - 1);
  RowHi = std::clamp(RowHi, 0, Nr - 1);
  if (ColHi < ColLo) std::swap(ColLo, ColHi);
  if (RowHi < RowLo) std::swap(RowLo, RowHi);
  TDoubleArray Buf = Gather(A, Ext{ColLo, RowLo, 0, 0}, Ext{ColHi, RowHi, 0, 0});
  return SelectPercentile(P, Buf);
}

int32_t CountTrueCellsOfArray(const TBoolArray& A) {
  if (A.empty()) return -1;
  return oa::SatI32(std::count(A.begin(), A.end(), true));
}
int32_t CountTrueCellsOfArray(const TBool2DArray& A) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  int64_t N = 0;
  for (const auto& Col : A) N += std::count(Col.begin(), Col.end(), true);
  return oa::SatI32(N);
}
int32_t CountTrueCellsOfArray(const TBool2DArray& A, int32_t ColLo, int32_t ColHi, int32_t RowLo,
                              int32_t RowHi) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  if (ColLo == 0 && ColHi == 0) ColHi = static_cast<int32_t>(E[0] - 1);
  if (RowLo == 0 && RowHi == 0) RowHi = static_cast<int32_t>(E[1] - 1);
  if (ColHi < ColLo) std::swap(ColLo, ColHi);
  if (RowHi < RowLo) std::swap(RowLo, RowHi);
  if (ColLo < 0 || RowLo < 0 || ColHi >= E[0] || RowHi >= E[1]) return -2;
  int64_t N = 0;
  for (int32_t C = ColLo; C <= ColHi; ++C)
    for (int32_t R = RowLo; R <= RowHi; ++R) N += A[C][R] ? 1 : 0;
  return oa::SatI32(N);
}

int32_t FrequDistOfArray(const TDoubleArray& A, int32_t Lo, int32_t Hi, double First, double Last,
                         double Width, TIntArray& Bins, int32_t& Under, int32_t& Over,
                         int32_t& MaxCount) {
  if (const int32_t R = WholeOrRange(Lo, Hi, static_cast<int64_t>(A.size()))) return R;
  return FrequDist(
      TFreqSpec{First, Last, Width},
      [&](auto&& Count) {
        for (int32_t I = Lo; I <= Hi; ++I) Count(A[I]);
      },
      Bins, Under, Over, MaxCount);
}

int32_t FrequDistOfArray(const TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                         int32_t RowHi, double First, double Last, double Width, TIntArray& Bins,
                         int32_t& Under, int32_t& Over, int32_t& MaxCount) {
  return FrequDist2D(A, nullptr, ColLo, RowLo, ColHi, RowHi, TFreqSpec{First, Last, Width}, Bins,
                     Under, Over, MaxCount);
}

int32_t FrequDistOfArray(const TDouble2DArray& A, const TBool2DArray& Mask, int32_t ColLo,
                         int32_t RowLo, int32_t ColHi, int32_t RowHi, double First, double Last,
                         double Width, TIntArray& Bins, int32_t& Under, int32_t& Over,
                         int32_t& MaxCount) {
  return FrequDist2D(A, &Mask, ColLo, RowLo, ColHi, RowHi, TFreqSpec{First, Last, Width}, Bins,
                     Under, Over, MaxCount);
}

int32_t FindInArray(int32_t X, const TIntArray& A) {
  if (A.empty()) return -1;
  const auto It = std::find(A.begin(), A.end(), X);
  return It == A.end() ? -2 : static_cast<int32_t>(It - A.begin());
}

int32_t FindInArray(const std::string& S, const TStrArray& A, bool IgnoreCase, bool Partial) {
  if (A.empty()) return -1;
  const std::string Key = IgnoreCase ? LowerCase(S) : S;
  for (size_t I = 0; I < A.size(); ++I) {
    const std::string Item = IgnoreCase ? LowerCase(A[I]) : A[I];
    if (Partial ? Item.find(Key) != std::string::npos : Item == Key) return static_cast<int32_t>(I);
  }
  return -2;
}

int32_t FindInSortedArray(double X, const TDoubleArray& A, bool Ascending) {
  return FindSortedT(X, A, Ascending);
}
int32_t FindInSortedArray(int32_t X, const TIntArray& A, bool Ascending) {
  return FindSortedT(X, A, Ascending);
}

int32_t SortArray(bool Ascending, TDoubleArray& A, TIntArray& Index) {
  return SortIndexT(Ascending, A, Index);
}
int32_t SortArray(bool Ascending, TIntArray& A, TIntArray& Index) {
  return SortIndexT(Ascending, A, Index);
}

int32_t SortAndRemoveDuplicates(TIntArray& A, bool Ascending) {
  if (A.size() < 2) return -1;
  SortArray(std::span<int32_t>(A), Ascending);
  const size_t Before = A.size();
  A.erase(std::unique(A.begin(), A.end()), A.end());
  return static_cast<int32_t>(Before - A.size());
}

int32_t ShuffleArray(TIntArray& A) { return ShuffleT(A); }
int32_t ShuffleArray(TDoubleArray& A) { return ShuffleT(A); }

bool IsMonotone(const TDoubleArray& A) { return MonotoneT(A); }
bool IsMonotone(const TIntArray& A) { return MonotoneT(A); }
bool IsStrictlyMonotone(const TDoubleArray& A) { return StrictlyMonotoneT(A); }
bool IsStrictlyMonotone(const TIntArray& A) { return StrictlyMonotoneT(A); }

bool IsDichotomous(const TDoubleArray& A, double& Low, double& High) {
  return DichotomousT(A, Low, High);
}
bool IsDichotomous(const TIntArray& A, int32_t& Low, int32_t& High) {
  return DichotomousT(A, Low, High);
}

int32_t CheckLinearity(const TDoubleArray& A, double Tolerance, TIntArray& Breaks) {
  return LinearityT(A, Breaks, [Tolerance](double D) { return std::fabs(D) > Tolerance; });
}
int32_t CheckLinearity(const TIntArray& A, TIntArray& Breaks) {
  return LinearityT(A, Breaks, [](int64_t D) { return D != 0; });
}

double LocalMean(const TDoubleArray& A, int32_t Index, int32_t HalfWidth, int32_t Lo, int32_t Hi) {
  return LocalMeanT(A, Index, HalfWidth, Lo, Hi);
}
double LocalMean(const TIntArray& A, int32_t Index, int32_t HalfWidth, int32_t Lo, int32_t Hi) {
  return LocalMeanT(A, Index, HalfWidth, Lo, Hi);
}
double LocalMedian(const TDoubleArray& A, int32_t Index, int32_t HalfWidth, int32_t Lo,
                   int32_t Hi) {
  return LocalMedianT(A, Index, HalfWidth, Lo, Hi);
}
double LocalMedian(const TIntArray& A, int32_t Index, int32_t HalfWidth, int32_t Lo, int32_t Hi) {
  return LocalMedianT(A, Index, HalfWidth, Lo, Hi);
}

int32_t DistanceOfObjects(const TDouble2DArray& A, TDistMode Mode, int32_t Obj1, int32_t Obj2,
                          int32_t ColLo, int32_t ColHi, double& Dist) {
  Dist = 0.0;
  if (Mode < dmTanimoto || Mode > dmDice) return -1;
  const Ext E = oa::Extents(A);
  if (!oa::IsRect(A, E)) return -2;
  if (Obj1 < 0 || Obj2 < 0 || Obj1 >= E[1] || Obj2 >= E[1]) return -2;
  if (ColLo < 0 || ColHi < 0 || ColLo >= E[0] || ColHi >= E[0]) return -3;
  if (ColHi < ColLo) return -4;
  double Sab = 0.0, Saa = 0.0, Sbb = 0.0, Sabs = 0.0, Ssq = 0.0;
  for (int32_t C = ColLo; C <= ColHi; ++C) {
    const double X = A[C][Obj1], Y = A[C][Obj2];
    Sab += X * Y;
    Saa += X * X;
    Sbb += Y * Y;
    Sabs += std::fabs(X - Y);
    Ssq += (X - Y) * (X - Y);
  }
  switch (Mode) {
    case dmTanimoto:
      Dist = Sab / (Saa + Sbb - Sab);
      break;
    case dmCityBlock:
      Dist = Sabs;
      break;
    case dmEuclid:
      Dist = std::sqrt(Ssq);
      break;
    case dmEuclidSqr:
      Dist = Ssq;
      break;
    default:
      Dist = 2.0 * Sab / (Saa + Sbb);
      break;
  }
  return 0;
}

}  // namespace nux
