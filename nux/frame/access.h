// C++-style element access for the containers: a reference proxy behind operator() that reads
// through GetVal and writes through SetVal (so events and out-of-range rules stay those of the
// container), and an opt-in index check for that operator.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>

#include "nux/frame/errors.h"

namespace nux {

/// Turns the index check of the containers' operator() on or off for the whole process (off by
/// default, so that out-of-range reads give 0 and writes are ignored as with GetVal/SetVal).
void SetIndexChecking(bool On);
/// Whether operator() checks its indices.
bool IndexChecking();

namespace access_detail {
std::string IndexMessage(const char* What, int64_t Index, int64_t Size);
}  // namespace access_detail

/// Raises the unit's exception E naming the index and its valid range when the check is on and
/// Index lies outside 1..Size.
template <class E>
void CheckIndex(const TComponent& Component, const char* What, int64_t Index, int64_t Size) {
  if (IndexChecking() && (Index < 1 || Index > Size))
    RaiseComponentError<E>(Component, access_detail::IndexMessage(What, Index, Size));
}

/// A writable element of container C at N indices: reads go through GetVal, writes through
/// SetVal. Held only for the duration of an expression; it does not keep the container alive.
template <class C, class T, size_t N>
class TElemRef {
 public:
  // Refers to the element of Container at the indices Ix.
  TElemRef(C& Container, std::array<int32_t, N> Ix) : FC(Container), FIx(Ix) {}
  /// The element's value (GetVal).
  operator T() const {
    return std::apply([this](auto... I) { return FC.GetVal(I...); }, FIx);
  }
  /// Stores Value through SetVal.
  TElemRef& operator=(T Value) {
    std::apply([&](auto... I) { FC.SetVal(I..., Value); }, FIx);
    return *this;
  }
  /// Copies the value of another element, not the reference.
  TElemRef& operator=(const TElemRef& Other) { return *this = static_cast<T>(Other); }
  TElemRef& operator+=(T V) { return *this = static_cast<T>(*this) + V; }  ///< Adds V.
  TElemRef& operator-=(T V) { return *this = static_cast<T>(*this) - V; }  ///< Subtracts V.
  TElemRef& operator*=(T V) { return *this = static_cast<T>(*this) * V; }  ///< Multiplies by V.
  TElemRef& operator/=(T V) { return *this = static_cast<T>(*this) / V; }  ///< Divides by V.

 private:
  C& FC;
  std::array<int32_t, N> FIx;
};

}  // namespace nux
