#include "nux/frame/dstruct.h"

#include <algorithm>
#include <array>
#include <bit>

#include "nux/frame/crc32_impl.h"

namespace nux {

namespace {

constexpr int64_t WordsFor(int64_t Bits) { return (Bits + 63) / 64; }

}  // namespace

uint32_t CalcNextCRC32(uint8_t Data, uint32_t Crc) { return crc32_detail::Step(Data, Crc); }

void TBitFld::SetSize(int64_t NumBits) {
  NumBits = std::max<int64_t>(0, NumBits);
  FWords.resize(static_cast<size_t>(WordsFor(NumBits)), 0);
  FSize = NumBits;
  ClearTail();
}

void TBitFld::SetBit(int64_t Ix, bool Value) {
  if (Ix < 0) return;
  if (Ix >= FSize) {
    if (!Value) return;
    SetSize(Ix + 1);
  }
  const uint64_t Mask = uint64_t{1} << (Ix % 64);
  uint64_t& Word = FWords[static_cast<size_t>(Ix / 64)];
  Word = Value ? (Word | Mask) : (Word & ~Mask);
}

bool TBitFld::GetBit(int64_t Ix) const {
  if (Ix < 0 || Ix >= FSize) return false;
  return (FWords[static_cast<size_t>(Ix / 64)] >> (Ix % 64)) & 1U;
}

void TBitFld::Clear() { std::fill(FWords.begin(), FWords.end(), 0); }

void TBitFld::Invert() {
  for (uint64_t& W : FWords) W = ~W;
  ClearTail();
}

int64_t TBitFld::CountTrueBits() const {
  int64_t N = 0;
  for (const uint64_t W : FWords) N += std::popcount(W);
  return N;
}

int64_t TBitFld::FirstTrueBit() const {
  for (size_t I = 0; I < FWords.size(); ++I)
    if (FWords[I] != 0) return static_cast<int64_t>(I) * 64 + std::countr_zero(FWords[I]);
  return -1;
}

void TBitFld::Clone(const TBitFld& Source) {
  FWords = Source.FWords;
  FSize = Source.FSize;
}

void TBitFld::CombineWith(const TBitFld& Other, TLogicOp Op) {
  for (size_t I = 0; I < FWords.size(); ++I) {
    uint64_t B = I < Other.FWords.size() ? Other.FWords[I] : 0;
    if (Op == loANDNOT || Op == loORNOT || Op == loXORNOT) B = ~B;
    switch (Op) {
      case loAND:
      case loANDNOT:
        FWords[I] &= B;
        break;
      case loOR:
      case loORNOT:
        FWords[I] |= B;
        break;
      case loXOR:
      case loXORNOT:
        FWords[I] ^= B;
        break;
      default:
        return;
    }
  }
  ClearTail();
}

void TBitFld::ClearTail() {
  if (FSize % 64 != 0 && !FWords.empty()) FWords.back() &= (uint64_t{1} << (FSize % 64)) - 1;
}

}  // namespace nux
