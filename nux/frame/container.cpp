#include "nux/frame/container.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <type_traits>
#include <utility>

#include "nux/frame/crc32_impl.h"

namespace nux {

bool MakeValidRange(int32_t& Low, int32_t& High, int32_t N, bool ExchangeCounts) {
  if (Low == 0 && High == 0) {
    Low = 1;
    High = N;
    return false;
  }
  bool Clipped = false;
  const auto Clip = [&](int32_t& Bound) {
    if (Bound < 1) {
      Bound = 1;
      Clipped = true;
    }
    if (Bound > N) {
      Bound = N;
      Clipped = true;
    }
  };
  Clip(Low);
  Clip(High);
  if (Low > High) {
    std::swap(Low, High);
    if (ExchangeCounts) Clipped = true;
  }
  return Clipped;
}

template <class T>
void TDataFingerprint<T>::Add(T Value) {
  uint8_t Bytes[sizeof(T)];
  std::memcpy(Bytes, &Value, sizeof(T));
  // Registers follow byte significance, whatever the machine's byte order.
  if constexpr (std::endian::native == std::endian::big) std::reverse(Bytes, Bytes + sizeof(T));
  for (size_t J = 0; J < sizeof(T); ++J) FRegs[J] = crc32_detail::Step(Bytes[J], FRegs[J]);
  FAny = true;
}

template <class T>
void TDataFingerprint<T>::Add(std::span<const T> Values) {
  using U = std::conditional_t<sizeof(T) == 8, uint64_t, uint32_t>;
  const size_t N = Values.size();
  size_t I = 0;
  // Four elements at a time: each register takes the four bytes at its position as one word.
  // The integer image of an element orders its bytes by significance on any machine.
  uint32_t R[sizeof(T)];
  std::copy(std::begin(FRegs), std::end(FRegs), R);
  constexpr U M8 = U(0x00FF00FF00FF00FFULL), M16 = U(0x0000FFFF0000FFFFULL);
  for (; I + 4 <= N; I += 4) {
    U W[4];
    std::memcpy(W, Values.data() + I, sizeof(W));
    // Transposes the 4 x sizeof(T) bytes with masks: the 32-bit halves of V[J % 4] gather the
    // bytes at positions J and J + 4.
    const U T0 = (W[0] & M8) | ((W[1] & M8) << 8), T1 = ((W[0] >> 8) & M8) | (W[1] & ~M8);
    const U T2 = (W[2] & M8) | ((W[3] & M8) << 8), T3 = ((W[2] >> 8) & M8) | (W[3] & ~M8);
    const U V[4] = {(T0 & M16) | ((T2 & M16) << 16), (T1 & M16) | ((T3 & M16) << 16),
                    ((T0 >> 16) & M16) | (T2 & ~M16), ((T1 >> 16) & M16) | (T3 & ~M16)};
    for (size_t J = 0; J < 4; ++J) R[J] = crc32_detail::Step4(uint32_t(V[J]), R[J]);
    if constexpr (sizeof(T) == 8)
      for (size_t J = 0; J < 4; ++J) R[J + 4] = crc32_detail::Step4(uint32_t(V[J] >> 32), R[J + 4]);
  }
  std::copy(std::begin(R), std::end(R), FRegs);
  if (I > 0) FAny = true;
  for (; I < N; ++I) Add(Values[I]);
}

template <class T>
std::string TDataFingerprint<T>::Result() const {
  if (!FAny) return {};
  static constexpr char Digits[] = "0123456789ABCDEF";
  std::string Text;
  Text.reserve(sizeof(T) * 8);
  for (const uint32_t R : FRegs) {
    const uint32_t V = ~R;
    for (int Shift = 28; Shift >= 0; Shift -= 4) Text.push_back(Digits[(V >> Shift) & 0xFU]);
  }
  return Text;
}

template class TDataFingerprint<double>;
template class TDataFingerprint<int32_t>;

std::string CRCofData(std::span<const double> Data) {
  TDataFingerprint<double> F;
  F.Add(Data);
  return F.Result();
}

std::string CRCofData(std::span<const int32_t> Data) {
  TDataFingerprint<int32_t> F;
  F.Add(Data);
  return F.Result();
}

}  // namespace nux
