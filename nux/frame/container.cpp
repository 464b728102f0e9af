#include "nux/frame/container.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

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
  for (size_t J = 0; J < sizeof(T); ++J) FRegs[J] = CalcNextCRC32(Bytes[J], FRegs[J]);
  FAny = true;
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
