// Data-structure services: the CRC-32 step and a growable bit field.
#pragma once

#include <cstdint>
#include <vector>

#include "nux/frame/types.h"

namespace nux {

// The reflected CRC-32 (polynomial 0xEDB88320) after one more byte. Start from 0xFFFFFFFF and
// complement at the end: the bytes "123456789" then give 0xCBF43926.
uint32_t CalcNextCRC32(uint8_t Data, uint32_t Crc);

// A growable field of bits with 0-based indices. Reads beyond the size give false; a write
// beyond the size grows the field.
class TBitFld {
 public:
  TBitFld() = default;
  // A field of NumBits false bits.
  explicit TBitFld(int64_t NumBits) { SetSize(NumBits); }

  // Number of bits.
  int64_t Size() const { return FSize; }
  // Grows or shrinks the field; new bits are false. Negative sizes count as 0.
  void SetSize(int64_t NumBits);
  // Sets bit Ix; negative indices are ignored.
  void SetBit(int64_t Ix, bool Value);
  // Bit Ix; false for indices outside 0..Size()-1.
  bool GetBit(int64_t Ix) const;
  // Sets every bit to false, keeping the size.
  void Clear();
  // Flips every bit within the size.
  void Invert();
  // Number of true bits.
  int64_t CountTrueBits() const;
  // The index of the lowest true bit, -1 when there is none.
  int64_t FirstTrueBit() const;
  // Takes over another field's size and bits.
  void Clone(const TBitFld& Source);
  // Combines bit by bit with Other (missing bits count as false): this := this op Other, with
  // the "NOT" forms negating Other. The size stays this field's size.
  void CombineWith(const TBitFld& Other, TLogicOp Op);

 private:
  void ClearTail();
  std::vector<uint64_t> FWords;
  int64_t FSize = 0;
};

}  // namespace nux
