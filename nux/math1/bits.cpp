// Bit manipulation and byte-order conversion.
#include <array>
#include <bit>
#include <cstring>

#include "nux/math1/scalar.h"

namespace nux {

namespace {

constexpr std::array<uint8_t, 256> MakeBitReversalTable() {
  std::array<uint8_t, 256> Table{};
  for (unsigned b = 0; b < 256; ++b) {
    unsigned R = 0;
    for (unsigned i = 0; i < 8; ++i)
      if (b & (1u << i)) R |= 0x80u >> i;
    Table[b] = static_cast<uint8_t>(R);
  }
  return Table;
}

constexpr std::array<uint8_t, 256> BitReversalTable = MakeBitReversalTable();

template <class T>
T ReverseBytes(T x) {
  unsigned char Bytes[sizeof(T)];
  std::memcpy(Bytes, &x, sizeof(T));
  for (size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(Bytes[i], Bytes[sizeof(T) - 1 - i]);
  std::memcpy(&x, Bytes, sizeof(T));
  return x;
}

}  // namespace

uint8_t DecodeBit(int32_t n) {
  return n >= 0 && n <= 7 ? static_cast<uint8_t>(1u << n) : uint8_t{0};
}

int32_t DecodeLong(int32_t n) {
  return n >= 0 && n <= 31 ? static_cast<int32_t>(uint32_t{1} << n) : 0;
}

int32_t EncodeLong(int32_t v) { return v == 0 ? 31 : std::countr_zero(static_cast<uint32_t>(v)); }

int32_t CountBits(uint8_t b) { return std::popcount(b); }

uint8_t BitReversal(uint8_t b) { return BitReversalTable[b]; }

uint16_t GrayCode(uint16_t w) { return static_cast<uint16_t>(w ^ (w >> 1)); }

double ConvertEndian(double x) { return ReverseBytes(x); }
float ConvertEndian(float x) { return ReverseBytes(x); }
uint16_t ConvertEndian(uint16_t x) { return ReverseBytes(x); }
int32_t ConvertEndian(int32_t x) { return ReverseBytes(x); }

}  // namespace nux
