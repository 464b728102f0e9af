// Internal: shape handling and traversal of nested std::vector arrays of one to four dimensions,
// shared by every family of the unit so that each rule is written once.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

#include "nux/host/random.h"

namespace nux::oa {

template <class T>
struct Rank {
  static constexpr int value = 0;
  using Elem = T;
};
template <class T, class Al>
struct Rank<std::vector<T, Al>> {
  static constexpr int value = 1 + Rank<T>::value;
  using Elem = typename Rank<T>::Elem;
};
template <class V>
inline constexpr int RankOf = Rank<V>::value;
template <class V>
using ElemOf = typename Rank<V>::Elem;

using Ext = std::array<int64_t, 4>;

// Extents taken from the first element of every level; a missing level has extent 0.
template <class V>
void ExtentsInto(const V& A, Ext& E, int Level) {
  E[Level] = static_cast<int64_t>(A.size());
  if constexpr (RankOf < V >> 1) {
    if (A.empty()) {
      for (int L = Level + 1; L < RankOf<V> + Level; ++L) E[L] = 0;
    } else {
      ExtentsInto(A[0], E, Level + 1);
    }
  }
}

template <class V>
Ext Extents(const V& A) {
  Ext E{1, 1, 1, 1};
  ExtentsInto(A, E, 0);
  return E;
}

template <class V>
bool IsRectAt(const V& A, const Ext& E, int Level) {
  if (static_cast<int64_t>(A.size()) != E[Level]) return false;
  if constexpr (RankOf < V >> 1) {
    for (const auto& Sub : A)
      if (!IsRectAt(Sub, E, Level + 1)) return false;
  }
  return true;
}

// Every inner array has the extent of the first one at its level.
template <class V>
bool IsRect(const V& A, const Ext& E) {
  return IsRectAt(A, E, 0);
}

// 0 for a rectangular, non-empty array (E receives the extents), -1 for an empty or ragged one.
template <class V>
int32_t Shape(const V& A, Ext& E) {
  E = Extents(A);
  for (int L = 0; L < RankOf<V>; ++L)
    if (E[L] <= 0) return -1;
  return IsRect(A, E) ? 0 : -1;
}

template <class V>
int64_t Count(const Ext& E) {
  int64_t N = 1;
  for (int L = 0; L < RankOf<V>; ++L) N *= E[L];
  return N;
}

// Checks an inclusive box against the extents: 0 or -2 (negative, beyond or reversed).
template <class V>
int32_t CheckBox(const Ext& E, const Ext& Lo, const Ext& Hi) {
  for (int L = 0; L < RankOf<V>; ++L)
    if (Lo[L] < 0 || Hi[L] >= E[L] || Hi[L] < Lo[L]) return -2;
  return 0;
}

template <class V>
Ext FullHi(const Ext& E) {
  Ext H{0, 0, 0, 0};
  for (int L = 0; L < RankOf<V>; ++L) H[L] = E[L] - 1;
  return H;
}

// Visits the elements of the box in storage order (the last index fastest). F receives the
// element (a proxy for bool arrays) and must take it as auto&&.
template <class V, class F>
void ForBox(V& A, const int64_t* Lo, const int64_t* Hi, F& Fn) {
  for (int64_t I = Lo[0]; I <= Hi[0]; ++I) {
    if constexpr (RankOf<std::remove_const_t<V>> == 1)
      Fn(A[I]);
    else
      ForBox(A[I], Lo + 1, Hi + 1, Fn);
  }
}

template <class V, class F>
void ForBox(V& A, const Ext& Lo, const Ext& Hi, F&& Fn) {
  ForBox(A, Lo.data(), Hi.data(), Fn);
}

// The whole (rectangular) array in storage order.
template <class V, class F>
void ForAll(V& A, F&& Fn) {
  if constexpr (RankOf<std::remove_const_t<V>> == 1) {
    for (auto&& X : A) Fn(X);
  } else {
    for (auto& Sub : A) ForAll(Sub, Fn);
  }
}

// Two arrays of the same shape side by side.
template <class V, class W, class F>
void ForAll2(V& A, W& B, F&& Fn) {
  for (size_t I = 0; I < A.size(); ++I) {
    if constexpr (RankOf<std::remove_const_t<V>> == 1)
      Fn(A[I], B[I]);
    else
      ForAll2(A[I], B[I], Fn);
  }
}

// Visits the box passing the index tuple as well: Fn(Index, element).
template <class V, class F>
void ForBoxIx(V& A, const Ext& Lo, const Ext& Hi, Ext& Ix, int Level, F& Fn) {
  for (Ix[Level] = Lo[Level]; Ix[Level] <= Hi[Level]; ++Ix[Level]) {
    if constexpr (RankOf<std::remove_const_t<V>> == 1)
      Fn(static_cast<const Ext&>(Ix), A[Ix[Level]]);
    else
      ForBoxIx(A[Ix[Level]], Lo, Hi, Ix, Level + 1, Fn);
  }
}

template <class V, class F>
void ForBoxIx(V& A, const Ext& Lo, const Ext& Hi, F&& Fn) {
  Ext Ix{0, 0, 0, 0};
  ForBoxIx(A, Lo, Hi, Ix, 0, Fn);
}

// Element at an index tuple.
template <class V>
decltype(auto) At(V& A, const Ext& Ix, int Level = 0) {
  if constexpr (RankOf<std::remove_const_t<V>> == 1)
    return A[Ix[Level]];
  else
    return At(A[Ix[Level]], Ix, Level + 1);
}

// A nested array of the given extents, value-initialised (the allocation happens here, before
// any caller's output is touched).
template <class W>
W Make(const Ext& E, int Level = 0) {
  W A;
  if constexpr (RankOf<W> == 1)
    A.assign(static_cast<size_t>(E[Level]), typename W::value_type());
  else
    A.assign(static_cast<size_t>(E[Level]), Make<typename W::value_type>(E, Level + 1));
  return A;
}

// Saturating narrowing to the 32-bit range.
inline int32_t SatI32(int64_t X) {
  if (X > INT32_MAX) return INT32_MAX;
  if (X < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(X);
}

// A uniform integer in Low..High (Low <= High), also when the span exceeds the 32-bit range.
inline int32_t RandomInRange(int32_t Low, int32_t High) {
  const int64_t Span = static_cast<int64_t>(High) - Low + 1;
  if (Span <= INT32_MAX) return static_cast<int32_t>(Low + RandomInt(static_cast<int32_t>(Span)));
  const int64_t K = static_cast<int64_t>(Random() * static_cast<double>(Span));
  return static_cast<int32_t>(Low + std::min(K, Span - 1));
}

// Double to single without the undefined conversion of values beyond the single range: they
// become the largest single or infinity, as rounding to nearest would give.
inline float ToSingle(double X) {
  constexpr double Max = std::numeric_limits<float>::max();
  // Halfway between the largest single and the next power of two: from here on, infinity.
  constexpr double Overflow = 340282356779733661637539395458142568448.0;
  if (X > Max)
    return X >= Overflow ? std::numeric_limits<float>::infinity() : static_cast<float>(Max);
  if (X < -Max)
    return X <= -Overflow ? -std::numeric_limits<float>::infinity() : -static_cast<float>(Max);
  return static_cast<float>(X);
}

}  // namespace nux::oa
