#include "nux/openarrays/elementwise.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/kernels/norm.h"
#include "nux/openarrays/arraystats.h"
#include "nux/openarrays/ndarray_impl.h"
#include "nux/openarrays/range_macros.h"

namespace nux {

using oa::ElemOf;
using oa::Ext;
using oa::RankOf;

namespace {

constexpr Ext Zero{0, 0, 0, 0};

// ---- fills -------------------------------------------------------------------------------

template <class V>
int32_t FillT(V& A, const Ext* Lo, const Ext* Hi, ElemOf<V> Value) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  const Ext L = Lo ? *Lo : Zero;
  const Ext H = Hi ? *Hi : oa::FullHi<V>(E);
  if (oa::CheckBox<V>(E, L, H) != 0) return -2;
  oa::ForBox(A, L, H, [&](auto&& X) { X = Value; });
  return 0;
}

template <class V>
int32_t FillSerialT(V& A, ElemOf<V> Start, ElemOf<V> Step) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  if constexpr (std::is_integral_v<ElemOf<V>>) {
    int64_t Run = Start;
    oa::ForAll(A, [&](auto& X) {
      X = oa::SatI32(Run);
      Run = std::clamp<int64_t>(Run + Step, INT64_MIN / 2, INT64_MAX / 2);
    });
  } else {
    double Run = Start;
    oa::ForAll(A, [&](auto& X) {
      X = Run;
      Run += Step;
    });
  }
  return 0;
}

template <class V>
int32_t FillDiagT(V& A, ElemOf<V> Value) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  for (int L = 1; L < RankOf<V>; ++L)
    if (E[L] != E[0]) return -2;
  oa::ForBoxIx(A, Zero, oa::FullHi<V>(E), [&](const Ext& Ix, auto& X) {
    bool Diag = true;
    for (int L = 1; L < RankOf<V>; ++L) Diag = Diag && Ix[L] == Ix[0];
    X = Diag ? Value : ElemOf<V>(0);
  });
  return 0;
}

template <class V>
int32_t FillUniformT(V& A, ElemOf<V> Low, ElemOf<V> High) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  if (!(Low <= High)) return -2;  // also NaN bounds
  if constexpr (std::is_integral_v<ElemOf<V>>) {
    oa::ForAll(A, [&](auto& X) { X = oa::RandomInRange(Low, High); });
  } else {
    oa::ForAll(A, [&](auto& X) { X = Low + Random() * (High - Low); });
  }
  return 0;
}

template <class V>
int32_t FillNormalT(V& A, double Mean, double StdDev) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  if (!(StdDev >= 0.0)) return -2;
  oa::ForAll(A, [&](auto& X) { X = RandG(Mean, StdDev); });
  return 0;
}

// ---- clones ------------------------------------------------------------------------------

template <class To>
struct Convert {
  template <class From>
  To operator()(From X) const {
    if constexpr (std::is_same_v<To, int32_t> && std::is_floating_point_v<From>)
      return RoundToInt32(X);
    else if constexpr (std::is_same_v<To, float> && std::is_same_v<From, double>)
      return oa::ToSingle(X);
    else
      return static_cast<To>(X);
  }
};

template <class W, class V>
int32_t CloneT(const V& A, W& Out) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  W Tmp = oa::Make<W>(E);
  Convert<ElemOf<W>> Conv;
  oa::ForAll2(Tmp, A, [&](auto&& O, auto&& X) { O = Conv(static_cast<ElemOf<V>>(X)); });
  Out = std::move(Tmp);
  return 0;
}

template <class W, class V>
int32_t CloneReverseT(const V& A, W& Out) {
  if (A.empty()) return -1;
  W Tmp(A.size());
  Convert<typename W::value_type> Conv;
  const size_t N = A.size();
  for (size_t I = 0; I < N; ++I) Tmp[I] = Conv(static_cast<typename V::value_type>(A[N - 1 - I]));
  Out = std::move(Tmp);
  return 0;
}

// ---- copies ------------------------------------------------------------------------------

template <class V>
int32_t CopyT(const V& SrcIn, const Ext* SLo, const Ext* SHi, V& Dst, const Ext& D0) {
  Ext ES;
  if (oa::Shape(SrcIn, ES) != 0) return -1;
  const Ext L = SLo ? *SLo : Zero;
  const Ext H = SHi ? *SHi : oa::FullHi<V>(ES);
  if (oa::CheckBox<V>(ES, L, H) != 0) return -2;
  const Ext ED = oa::Extents(Dst);
  for (int Lv = 0; Lv < RankOf<V>; ++Lv)
    if (D0[Lv] < 0 || D0[Lv] + (H[Lv] - L[Lv]) >= ED[Lv]) return -2;
  if (!oa::IsRect(Dst, ED)) return -1;
  // A copy within one array may overlap: read from a snapshot then.
  V Snapshot;
  const V* Src = &SrcIn;
  if (Src == &Dst) {
    Snapshot = SrcIn;
    Src = &Snapshot;
  }
  oa::ForBoxIx(*Src, L, H, [&](const Ext& Ix, auto&& X) {
    Ext T = Zero;
    for (int Lv = 0; Lv < RankOf<V>; ++Lv) T[Lv] = D0[Lv] + Ix[Lv] - L[Lv];
    oa::At(Dst, T) = static_cast<ElemOf<V>>(X);
  });
  return 0;
}

// Column K of A (first index) or row K (second index) as a line; Lo..Hi along it.
template <class V>
int32_t CopyLineT(const V& A, bool IsColumn, int32_t K, int32_t Lo, int32_t Hi,
                  std::vector<ElemOf<V>>& Out) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  const int64_t Len = IsColumn ? E[1] : E[0];
  const int64_t Across = IsColumn ? E[0] : E[1];
  if (Lo < 0 || Hi >= Len || Hi < Lo) return -2;
  if (K < 0 || K >= Across) return -3;
  std::vector<ElemOf<V>> Tmp(static_cast<size_t>(Hi - Lo + 1));
  for (int64_t I = Lo; I <= Hi; ++I) Tmp[I - Lo] = IsColumn ? A[K][I] : A[I][K];
  Out = std::move(Tmp);
  return 0;
}

int32_t CopyLineInto(const TDouble2DArray& A, bool IsColumn, int32_t K, int32_t Lo, int32_t Hi,
                     TDoubleArray& Dst, int32_t Start) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  const int64_t Len = IsColumn ? E[1] : E[0];
  const int64_t Across = IsColumn ? E[0] : E[1];
  if (Lo < 0 || Hi >= Len || Hi < Lo) return -2;
  if (K < 0 || K >= Across) return -3;
  if (Start < 0 || Start >= static_cast<int64_t>(Dst.size())) return -4;
  const int64_t N = std::min<int64_t>(Hi - Lo + 1, static_cast<int64_t>(Dst.size()) - Start);
  for (int64_t I = 0; I < N; ++I) Dst[Start + I] = IsColumn ? A[K][Lo + I] : A[Lo + I][K];
  return 0;
}

template <class V>
int32_t CopyToLineT(const std::vector<ElemOf<V>>& Src, int32_t Lo, int32_t Hi, V& A, bool IsColumn,
                    int32_t K, int32_t Start) {
  if (Src.empty()) return -1;
  if (Lo == 0 && Hi == 0) Hi = static_cast<int32_t>(Src.size() - 1);
  if (Lo < 0 || Hi >= static_cast<int64_t>(Src.size()) || Hi < Lo) return -1;
  Ext E;
  if (oa::Shape(A, E) != 0) return -2;
  const int64_t Len = IsColumn ? E[1] : E[0];
  const int64_t Across = IsColumn ? E[0] : E[1];
  if (K < 0 || K >= Across || Start < 0 || Start >= Len) return -2;
  const int64_t N = std::min<int64_t>(Hi - Lo + 1, Len - Start);
  for (int64_t I = 0; I < N; ++I) {
    if (IsColumn)
      A[K][Start + I] = Src[Lo + I];
    else
      A[Start + I][K] = Src[Lo + I];
  }
  return 0;
}

[[noreturn]] void Withdrawn() { throw ENUXError("deprecated function, see help for details"); }

// ---- arithmetic --------------------------------------------------------------------------

template <class V, class F>
int32_t MapT(V& A, F&& Fn) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  oa::ForAll(A, [&](auto&& X) { X = Fn(static_cast<ElemOf<V>>(X)); });
  return 0;
}

template <class V, class F>
int32_t MapIntoT(const V& A, V& Out, F&& Fn) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  V Tmp = A;
  oa::ForAll(Tmp, [&](auto& X) { X = Fn(X); });
  Out = std::move(Tmp);
  return 0;
}

template <class T>
T AddSat(T A, T B) {
  if constexpr (std::is_integral_v<T>)
    return oa::SatI32(static_cast<int64_t>(A) + B);
  else
    return A + B;
}

template <class T>
T SubSat(T A, T B) {
  if constexpr (std::is_integral_v<T>)
    return oa::SatI32(static_cast<int64_t>(A) - B);
  else
    return A - B;
}

template <class T>
T MulSat(T A, T B) {
  if constexpr (std::is_integral_v<T>)
    return oa::SatI32(static_cast<int64_t>(A) * B);
  else
    return A * B;
}

template <class T>
T AbsSat(T X) {
  if constexpr (std::is_integral_v<T>)
    return X == std::numeric_limits<T>::min() ? std::numeric_limits<T>::max() : (X < 0 ? -X : X);
  else
    return std::fabs(X);
}

template <class V, class F>
int32_t ZipT(const V& A, const V& B, V& Out, F&& Fn) {
  Ext EA, EB;
  if (oa::Shape(A, EA) != 0 || oa::Shape(B, EB) != 0) return -1;
  if (EA != EB) return -2;
  V Tmp = A;
  oa::ForAll2(Tmp, B, [&](auto& X, const auto& Y) { X = Fn(X, Y); });
  Out = std::move(Tmp);
  return 0;
}

template <class V, class W>
int32_t BoolToNumT(const V& A, ElemOf<W> F, ElemOf<W> T, W& Out) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  W Tmp = oa::Make<W>(E);
  oa::ForAll2(Tmp, A, [&](auto& O, bool X) { O = X ? T : F; });
  Out = std::move(Tmp);
  return 0;
}

template <class V, class W, class P>
int32_t DichotT(const V& A, W& Out, P&& Pred) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  W Tmp = oa::Make<W>(E);
  oa::ForAll2(Tmp, A, [&](auto&& O, const auto& X) { O = Pred(X); });
  Out = std::move(Tmp);
  return 0;
}

template <class V>
int32_t TransposeT(V& A) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  V Tmp = oa::Make<V>(Ext{E[1], E[0], 1, 1});
  for (int64_t C = 0; C < E[0]; ++C)
    for (int64_t R = 0; R < E[1]; ++R) Tmp[R][C] = A[C][R];
  A = std::move(Tmp);
  return 0;
}

template <class V>
void FlipAt(V& A, int Level) {
  if (Level == 0) {
    std::reverse(A.begin(), A.end());
  } else if constexpr (RankOf<V> > 1) {
    for (auto& Sub : A) FlipAt(Sub, Level - 1);
  }
}

template <class V>
int32_t FlipT(V& A, int32_t Dim) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  if (Dim < 1 || Dim > RankOf<V>) return -2;
  FlipAt(A, Dim - 1);
  return 0;
}

template <class V>
bool RemoveColT(V& A, int32_t Col) {
  Ext E;
  if (oa::Shape(A, E) != 0 || Col < 0 || Col >= E[0]) return false;
  A.erase(A.begin() + Col);
  return true;
}

template <class V>
bool RemoveRowT(V& A, int32_t Row) {
  Ext E;
  if (oa::Shape(A, E) != 0 || Row < 0 || Row >= E[1]) return false;
  for (auto& Column : A) Column.erase(Column.begin() + Row);
  return true;
}

template <class V>
int32_t SerializeT(const V& A, bool ColumnOrder, std::vector<ElemOf<V>>& Out) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  const int64_t C = E[0], R = E[1];
  std::vector<ElemOf<V>> Tmp(static_cast<size_t>(C * R));
  for (int64_t I = 0; I < C; ++I)
    for (int64_t J = 0; J < R; ++J) Tmp[ColumnOrder ? J + R * I : I + C * J] = A[I][J];
  Out = std::move(Tmp);
  return 0;
}

template <class V>
int32_t FillMaskedT(V& A, ElemOf<V> Value, const TBool2DArray& Mask) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -2;
  const bool UseMask = !Mask.empty();
  if (UseMask) {
    Ext EM;
    if (oa::Shape(Mask, EM) != 0 || EM[0] != E[0] || EM[1] != E[1]) return -1;
  }
  int32_t N = 0;
  for (int64_t C = 0; C < E[0]; ++C)
    for (int64_t R = 0; R < E[1]; ++R)
      if (!UseMask || !Mask[C][R]) {
        A[C][R] = Value;
        ++N;
      }
  return N;
}

int32_t NormalizeT(TDouble2DArray& A, bool Columns) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  const int64_t Lines = Columns ? E[0] : E[1];
  const int64_t Len = Columns ? E[1] : E[0];
  int32_t Result = 0;
  for (int64_t K = 0; K < Lines; ++K) {
    auto Ref = [&](int64_t I) -> double& { return Columns ? A[K][I] : A[I][K]; };
    const double Norm = kernels::EuclideanNorm(
        [&](auto&& Visit) {
          for (int64_t I = 0; I < Len; ++I) Visit(Ref(I));
        },
        kernels::nmScaled);
    if (Norm == 0.0) {
      Result = -1;
      continue;
    }
    for (int64_t I = 0; I < Len; ++I) Ref(I) /= Norm;
  }
  return Result;
}

int32_t MeanCenterT(TDouble2DArray& A, TDoubleArray& Means, bool Columns) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  const int64_t Lines = Columns ? E[0] : E[1];
  const int64_t Len = Columns ? E[1] : E[0];
  TDoubleArray M(static_cast<size_t>(Lines));
  for (int64_t K = 0; K < Lines; ++K) {
    auto Ref = [&](int64_t I) -> double& { return Columns ? A[K][I] : A[I][K]; };
    M[K] = StableMean(Len, Ref);
    for (int64_t I = 0; I < Len; ++I) Ref(I) -= M[K];
  }
  if (!Means.empty()) Means = std::move(M);
  return 0;
}

}  // namespace

// ---- thin public members -----------------------------------------------------------------

#define NUX_FILL_R(V, T, R, B)                \
  int32_t FillArray(V& A, R, T Value) {       \
    const Ext Box[2] = {B};                   \
    return FillT(A, &Box[0], &Box[1], Value); \
  }
#define NUX_FILL(V, T) \
  int32_t FillArray(V& A, T Value) { return FillT(A, nullptr, nullptr, Value); }

NUX_FILL(TBoolArray, bool)
NUX_FILL(TBool2DArray, bool)
NUX_FILL(TIntArray, int32_t)
NUX_FILL(TInt2DArray, int32_t)
NUX_FILL(TInt3DArray, int32_t)
NUX_FILL(TInt4DArray, int32_t)
NUX_FILL(TDoubleArray, double)
NUX_FILL(TDouble2DArray, double)
NUX_FILL(TDouble3DArray, double)
NUX_FILL(TDouble4DArray, double)
NUX_FILL_R(TBoolArray, bool, NUX_R1, NUX_B1)
NUX_FILL_R(TBool2DArray, bool, NUX_R2, NUX_B2)
NUX_FILL_R(TIntArray, int32_t, NUX_R1, NUX_B1)
NUX_FILL_R(TInt2DArray, int32_t, NUX_R2, NUX_B2)
NUX_FILL_R(TInt3DArray, int32_t, NUX_R3, NUX_B3)
NUX_FILL_R(TInt4DArray, int32_t, NUX_R4, NUX_B4)
NUX_FILL_R(TDoubleArray, double, NUX_R1, NUX_B1)
NUX_FILL_R(TDouble2DArray, double, NUX_R2, NUX_B2)
NUX_FILL_R(TDouble3DArray, double, NUX_R3, NUX_B3)
NUX_FILL_R(TDouble4DArray, double, NUX_R4, NUX_B4)

#define NUX_EACH_I(M) M(TIntArray) M(TInt2DArray) M(TInt3DArray) M(TInt4DArray)
#define NUX_EACH_D(M) M(TDoubleArray) M(TDouble2DArray) M(TDouble3DArray) M(TDouble4DArray)
#define NUX_EACH(M) NUX_EACH_I(M) NUX_EACH_D(M)

#define NUX_SERIAL(V)                                              \
  int32_t FillArraySerial(V& A, ElemOf<V> Start, ElemOf<V> Step) { \
    return FillSerialT(A, Start, Step);                            \
  }
NUX_SERIAL(TIntArray)
NUX_SERIAL(TInt2DArray)
NUX_SERIAL(TInt3DArray)
NUX_EACH_D(NUX_SERIAL)
#define NUX_SERIAL0(V) \
  int32_t FillArraySerial(V& A) { return FillSerialT(A, ElemOf<V>(0), ElemOf<V>(1)); }
NUX_SERIAL0(TIntArray)
NUX_SERIAL0(TInt2DArray)
NUX_SERIAL0(TInt3DArray)
NUX_SERIAL0(TDoubleArray)
NUX_SERIAL0(TDouble2DArray)
NUX_SERIAL0(TDouble3DArray)

#define NUX_DIAG(V) \
  int32_t FillDiagArray(V& A, ElemOf<V> Value) { return FillDiagT(A, Value); }
NUX_DIAG(TInt2DArray)
NUX_DIAG(TInt3DArray)
NUX_DIAG(TInt4DArray)
NUX_DIAG(TDouble2DArray)
NUX_DIAG(TDouble3DArray)
NUX_DIAG(TDouble4DArray)

#define NUX_UNIFORM(V)                                             \
  int32_t FillRandomUniform(V& A, ElemOf<V> Low, ElemOf<V> High) { \
    return FillUniformT(A, Low, High);                             \
  }
NUX_EACH(NUX_UNIFORM)

int32_t FillRandomUniform(TIntArray& A, int32_t Low, int32_t High, bool AllowDuplicates) {
  if (AllowDuplicates) return FillUniformT(A, Low, High);
  if (A.empty()) return -1;
  if (High < Low) return -2;
  const int64_t Range = static_cast<int64_t>(High) - Low + 1;
  if (Range < static_cast<int64_t>(A.size())) return -3;
  if (Range > 1000000) return -4;
  TIntArray Pool(static_cast<size_t>(Range));
  for (int64_t I = 0; I < Range; ++I) Pool[I] = static_cast<int32_t>(Low + I);
  ShuffleArray(Pool);
  std::copy_n(Pool.begin(), A.size(), A.begin());
  return 0;
}

#define NUX_NORMAL(V)                                          \
  int32_t FillRandomNormal(V& A, double Mean, double StdDev) { \
    return FillNormalT(A, Mean, StdDev);                       \
  }
NUX_EACH_D(NUX_NORMAL)

#define NUX_CLONE(V, W) \
  int32_t CloneArray(const V& A, W& Out) { return CloneT(A, Out); }
NUX_CLONE(TBoolArray, TBoolArray)
NUX_CLONE(TBool2DArray, TBool2DArray)
NUX_CLONE(TIntArray, TIntArray)
NUX_CLONE(TInt2DArray, TInt2DArray)
NUX_CLONE(TInt3DArray, TInt3DArray)
NUX_CLONE(TInt4DArray, TInt4DArray)
NUX_CLONE(TDoubleArray, TDoubleArray)
NUX_CLONE(TDouble2DArray, TDouble2DArray)
NUX_CLONE(TDouble3DArray, TDouble3DArray)
NUX_CLONE(TDouble4DArray, TDouble4DArray)
NUX_CLONE(TSingleArray, TDoubleArray)
NUX_CLONE(TDoubleArray, TSingleArray)
NUX_CLONE(TDoubleArray, TIntArray)
NUX_CLONE(TDouble2DArray, TInt2DArray)
NUX_CLONE(TDouble3DArray, TInt3DArray)
NUX_CLONE(TDouble4DArray, TInt4DArray)
NUX_CLONE(TIntArray, TDoubleArray)
NUX_CLONE(TInt2DArray, TDouble2DArray)
NUX_CLONE(TInt3DArray, TDouble3DArray)
NUX_CLONE(TInt4DArray, TDouble4DArray)

#define NUX_CLONEREV(V, W) \
  int32_t CloneAndReverseArray(const V& A, W& Out) { return CloneReverseT(A, Out); }
NUX_CLONEREV(TBoolArray, TBoolArray)
NUX_CLONEREV(TIntArray, TIntArray)
NUX_CLONEREV(TDoubleArray, TDoubleArray)
NUX_CLONEREV(TSingleArray, TDoubleArray)
NUX_CLONEREV(TDoubleArray, TSingleArray)
NUX_CLONEREV(TDoubleArray, TIntArray)
NUX_CLONEREV(TIntArray, TDoubleArray)

#define NUX_COPY1(V)                                               \
  int32_t CopyArray(const V& Src, V& Dst, int32_t DstIx) {         \
    return CopyT(Src, nullptr, nullptr, Dst, Ext{DstIx, 0, 0, 0}); \
  }                                                                \
  int32_t CopyArray(const V& Src, NUX_R1, V& Dst, int32_t DstIx) { \
    const Ext Box[2] = {NUX_B1};                                   \
    return CopyT(Src, &Box[0], &Box[1], Dst, Ext{DstIx, 0, 0, 0}); \
  }
#define NUX_COPY2(V)                                                                \
  int32_t CopyArray(const V& Src, V& Dst, int32_t DstCol, int32_t DstRow) {         \
    return CopyT(Src, nullptr, nullptr, Dst, Ext{DstCol, DstRow, 0, 0});            \
  }                                                                                 \
  int32_t CopyArray(const V& Src, NUX_R2, V& Dst, int32_t DstCol, int32_t DstRow) { \
    const Ext Box[2] = {NUX_B2};                                                    \
    return CopyT(Src, &Box[0], &Box[1], Dst, Ext{DstCol, DstRow, 0, 0});            \
  }
#define NUX_COPY3(V)                                                                        \
  int32_t CopyArray(const V& Src, V& Dst, int32_t DstCol, int32_t DstRow, int32_t DstLay) { \
    return CopyT(Src, nullptr, nullptr, Dst, Ext{DstCol, DstRow, DstLay, 0});               \
  }                                                                                         \
  int32_t CopyArray(const V& Src, NUX_R3, V& Dst, int32_t DstCol, int32_t DstRow,           \
                    int32_t DstLay) {                                                       \
    const Ext Box[2] = {NUX_B3};                                                            \
    return CopyT(Src, &Box[0], &Box[1], Dst, Ext{DstCol, DstRow, DstLay, 0});               \
  }
#define NUX_COPY4(V)                                                                              \
  int32_t CopyArray(const V& Src, V& Dst, int32_t DstCol, int32_t DstRow, int32_t DstLay,         \
                    int32_t DstSlot) {                                                            \
    return CopyT(Src, nullptr, nullptr, Dst, Ext{DstCol, DstRow, DstLay, DstSlot});               \
  }                                                                                               \
  int32_t CopyArray(const V& Src, NUX_R4, V& Dst, int32_t DstCol, int32_t DstRow, int32_t DstLay, \
                    int32_t DstSlot) {                                                            \
    const Ext Box[2] = {NUX_B4};                                                                  \
    return CopyT(Src, &Box[0], &Box[1], Dst, Ext{DstCol, DstRow, DstLay, DstSlot});               \
  }
NUX_COPY1(TBoolArray)
NUX_COPY2(TBool2DArray)
NUX_COPY1(TIntArray)
NUX_COPY2(TInt2DArray)
NUX_COPY3(TInt3DArray)
NUX_COPY4(TInt4DArray)
NUX_COPY1(TDoubleArray)
NUX_COPY2(TDouble2DArray)
NUX_COPY3(TDouble3DArray)
NUX_COPY4(TDouble4DArray)

#define NUX_COPYLINE(V, W)                                                                       \
  int32_t CopyArrayColumn(const V& A, int32_t Col, int32_t RowLo, int32_t RowHi, W& Out) {       \
    return CopyLineT(A, true, Col, RowLo, RowHi, Out);                                           \
  }                                                                                              \
  int32_t CopyArrayRow(const V& A, int32_t Row, int32_t ColLo, int32_t ColHi, W& Out) {          \
    return CopyLineT(A, false, Row, ColLo, ColHi, Out);                                          \
  }                                                                                              \
  int32_t CopyToArrayColumn(const W& Src, int32_t Lo, int32_t Hi, V& A, int32_t K,               \
                            int32_t Start) {                                                     \
    return CopyToLineT(Src, Lo, Hi, A, true, K, Start);                                          \
  }                                                                                              \
  int32_t CopyToArrayRow(const W& Src, int32_t Lo, int32_t Hi, V& A, int32_t K, int32_t Start) { \
    return CopyToLineT(Src, Lo, Hi, A, false, K, Start);                                         \
  }                                                                                              \
  void CopyVectorToArrayColumn(const W&, V&, int32_t) { Withdrawn(); }                           \
  void CopyVectorToArrayRow(const W&, V&, int32_t) { Withdrawn(); }
NUX_COPYLINE(TDouble2DArray, TDoubleArray)
NUX_COPYLINE(TInt2DArray, TIntArray)
NUX_COPYLINE(TBool2DArray, TBoolArray)

int32_t Copy2DColTo1DArray(const TDouble2DArray& A, int32_t Col, int32_t RowLo, int32_t RowHi,
                           TDoubleArray& Dst, int32_t DstStart) {
  return CopyLineInto(A, true, Col, RowLo, RowHi, Dst, DstStart);
}
int32_t Copy2DRowTo1DArray(const TDouble2DArray& A, int32_t Row, int32_t ColLo, int32_t ColHi,
                           TDoubleArray& Dst, int32_t DstStart) {
  return CopyLineInto(A, false, Row, ColLo, ColHi, Dst, DstStart);
}

#define NUX_ARITH(V)                                                         \
  int32_t AbsValArray(V& A) {                                                \
    return MapT(A, [](auto X) { return AbsSat(X); });                        \
  }                                                                          \
  int32_t IncArray(V& A, ElemOf<V> Value) {                                  \
    return MapT(A, [Value](auto X) { return AddSat(X, Value); });            \
  }                                                                          \
  int32_t AddScalarToArray(const V& A, ElemOf<V> Value, V& Out) {            \
    return MapIntoT(A, Out, [Value](auto X) { return AddSat(X, Value); });   \
  }                                                                          \
  int32_t MultiplyArrayByScalar(V& A, ElemOf<V> Factor) {                    \
    return MapT(A, [Factor](auto X) { return MulSat(X, Factor); });          \
  }                                                                          \
  int32_t MultiplyArrayByScalar(const V& A, ElemOf<V> Factor, V& Out) {      \
    return MapIntoT(A, Out, [Factor](auto X) { return MulSat(X, Factor); }); \
  }                                                                          \
  int32_t AddArrays(const V& A, const V& B, V& Out) {                        \
    return ZipT(A, B, Out, [](auto X, auto Y) { return AddSat(X, Y); });     \
  }                                                                          \
  int32_t SubtractArrays(const V& A, const V& B, V& Out) {                   \
    return ZipT(A, B, Out, [](auto X, auto Y) { return SubSat(X, Y); });     \
  }                                                                          \
  int32_t FlipDimArray(V& A, int32_t Dim) { return FlipT(A, Dim); }
NUX_EACH(NUX_ARITH)

#define NUX_ELEMW(V)                                                     \
  int32_t MultiplyArraysElemw(const V& A, const V& B, V& Out) {          \
    return ZipT(A, B, Out, [](auto X, auto Y) { return MulSat(X, Y); }); \
  }
NUX_ELEMW(TIntArray)
NUX_ELEMW(TInt2DArray)
NUX_ELEMW(TDoubleArray)
NUX_ELEMW(TDouble2DArray)

#define NUX_RECIP(V)                                                                        \
  int32_t ReciprocalArray(V& A, double ValueForZero) {                                      \
    return MapT(A, [ValueForZero](double X) { return X == 0.0 ? ValueForZero : 1.0 / X; }); \
  }
NUX_EACH_D(NUX_RECIP)

int32_t InvertArray(TBoolArray& A) {
  return MapT(A, [](bool X) { return !X; });
}
int32_t InvertArray(TBool2DArray& A) {
  return MapT(A, [](bool X) { return !X; });
}

int32_t BoolToNumArray(const TBoolArray& A, int32_t FalseValue, int32_t TrueValue, TIntArray& Out) {
  return BoolToNumT(A, FalseValue, TrueValue, Out);
}
int32_t BoolToNumArray(const TBool2DArray& A, int32_t FalseValue, int32_t TrueValue,
                       TInt2DArray& Out) {
  return BoolToNumT(A, FalseValue, TrueValue, Out);
}
int32_t BoolToNumArray(const TBoolArray& A, double FalseValue, double TrueValue,
                       TDoubleArray& Out) {
  return BoolToNumT(A, FalseValue, TrueValue, Out);
}
int32_t BoolToNumArray(const TBool2DArray& A, double FalseValue, double TrueValue,
                       TDouble2DArray& Out) {
  return BoolToNumT(A, FalseValue, TrueValue, Out);
}

#define NUX_DICHOT(V, W)                                                           \
  int32_t DichotomizeArray(const V& A, ElemOf<V> Threshold, W& Out) {              \
    return DichotT(A, Out, [Threshold](auto X) { return X > Threshold; });         \
  }                                                                                \
  int32_t DichotomizeArray(const V& A, ElemOf<V> Low, ElemOf<V> High, W& Out) {    \
    if (High < Low) std::swap(Low, High);                                          \
    return DichotT(A, Out, [Low, High](auto X) { return Low <= X && X <= High; }); \
  }
NUX_DICHOT(TDouble2DArray, TBool2DArray)
NUX_DICHOT(TInt2DArray, TBool2DArray)
NUX_DICHOT(TIntArray, TBoolArray)

#undef NUX_FILL_R
#undef NUX_FILL
#undef NUX_EACH_I
#undef NUX_EACH_D
#undef NUX_EACH
#undef NUX_SERIAL
#undef NUX_SERIAL0
#undef NUX_DIAG
#undef NUX_UNIFORM
#undef NUX_NORMAL
#undef NUX_CLONE
#undef NUX_CLONEREV
#undef NUX_COPY1
#undef NUX_COPY2
#undef NUX_COPY3
#undef NUX_COPY4
#undef NUX_COPYLINE
#undef NUX_ARITH
#undef NUX_ELEMW
#undef NUX_RECIP
#undef NUX_DICHOT
#undef NUX_R1
#undef NUX_R2
#undef NUX_R3
#undef NUX_R4
#undef NUX_B1
#undef NUX_B2
#undef NUX_B3
#undef NUX_B4

int32_t DiscretizeArray(TDouble2DArray& A, int32_t Levels, double Low, double High, double LowValue,
                        double HighValue) {
  Ext E;
  if (oa::Shape(A, E) != 0 || Levels < 3) return -1;
  if (!(Low < High)) return -2;
  const double Width = (High - Low) / (Levels - 2);
  const double Step = (HighValue - LowValue) / (Levels - 1);
  oa::ForAll(A, [&](double& X) {
    if (X <= Low) {
      X = LowValue;
    } else if (X >= High) {
      X = HighValue;
    } else if (!std::isnan(X)) {
      // Clamped: rounding in the division must not reach past the last inner level.
      const double K = std::min(std::floor((X - Low) / Width), static_cast<double>(Levels - 3));
      X = LowValue + Step * (K + 1.0);
    }
  });
  return 0;
}

int32_t TransposeArray(TDouble2DArray& A) { return TransposeT(A); }
int32_t TransposeArray(TInt2DArray& A) { return TransposeT(A); }
int32_t TransposeArray(TBool2DArray& A) { return TransposeT(A); }

bool RemoveColumn(TInt2DArray& A, int32_t Col) { return RemoveColT(A, Col); }
bool RemoveColumn(TDouble2DArray& A, int32_t Col) { return RemoveColT(A, Col); }
bool RemoveRow(TInt2DArray& A, int32_t Row) { return RemoveRowT(A, Row); }
bool RemoveRow(TDouble2DArray& A, int32_t Row) { return RemoveRowT(A, Row); }

int32_t SerializeArray(const TDouble2DArray& A, bool ColumnOrder, TDoubleArray& Out) {
  return SerializeT(A, ColumnOrder, Out);
}
int32_t SerializeArray(const TInt2DArray& A, bool ColumnOrder, TIntArray& Out) {
  return SerializeT(A, ColumnOrder, Out);
}

int32_t FillArrayMasked(TDouble2DArray& A, double Value, const TBool2DArray& Mask) {
  return FillMaskedT(A, Value, Mask);
}
int32_t FillArrayMasked(TInt2DArray& A, int32_t Value, const TBool2DArray& Mask) {
  return FillMaskedT(A, Value, Mask);
}

// Vector comparison checks the length at every level, so ragged arrays compare correctly too.
bool EqualArrays(const TIntArray& A, const TIntArray& B) { return A == B; }
bool EqualArrays(const TInt2DArray& A, const TInt2DArray& B) { return A == B; }
bool EqualArrays(const TInt3DArray& A, const TInt3DArray& B) { return A == B; }
bool EqualArrays(const TInt4DArray& A, const TInt4DArray& B) { return A == B; }

int32_t NormalizeColumns(TDouble2DArray& A) { return NormalizeT(A, true); }
int32_t NormalizeRows(TDouble2DArray& A) { return NormalizeT(A, false); }

int32_t MeanCenterColumnsOfArray(TDouble2DArray& A, TDoubleArray& Means) {
  return MeanCenterT(A, Means, true);
}
int32_t MeanCenterRowsOfArray(TDouble2DArray& A, TDoubleArray& Means) {
  return MeanCenterT(A, Means, false);
}

}  // namespace nux
