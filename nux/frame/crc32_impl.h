// Tables of the reflected CRC-32 (polynomial 0xEDB88320): the byte table and the three more
// that let a register take four bytes in one step (slicing), giving the same value.
#pragma once

#include <array>
#include <cstdint>

namespace nux::crc32_detail {

constexpr std::array<std::array<uint32_t, 256>, 4> MakeTables() {
  std::array<std::array<uint32_t, 256>, 4> T{};
  for (uint32_t I = 0; I < 256; ++I) {
    uint32_t C = I;
    for (int K = 0; K < 8; ++K) C = (C & 1U) ? (0xEDB88320U ^ (C >> 1)) : (C >> 1);
    T[0][I] = C;
  }
  for (size_t S = 1; S < 4; ++S)
    for (uint32_t I = 0; I < 256; ++I) T[S][I] = (T[S - 1][I] >> 8) ^ T[0][T[S - 1][I] & 0xFFU];
  return T;
}

inline constexpr std::array<std::array<uint32_t, 256>, 4> Tables = MakeTables();

// One byte into register Crc.
inline uint32_t Step(uint8_t Byte, uint32_t Crc) {
  return Tables[0][(Crc ^ Byte) & 0xFFU] ^ (Crc >> 8);
}

// Four bytes into register Crc, the least significant byte of Word first.
inline uint32_t Step4(uint32_t Word, uint32_t Crc) {
  const uint32_t C = Crc ^ Word;
  return Tables[3][C & 0xFFU] ^ Tables[2][(C >> 8) & 0xFFU] ^ Tables[1][(C >> 16) & 0xFFU] ^
         Tables[0][C >> 24];
}

}  // namespace nux::crc32_detail
