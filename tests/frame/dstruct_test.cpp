#include "nux/frame/dstruct.h"

#include <gtest/gtest.h>

#include <string>

namespace nux {
namespace {

uint32_t Crc32(const std::string& Text) {
  uint32_t Crc = 0xFFFFFFFFU;
  for (const char C : Text) Crc = CalcNextCRC32(static_cast<uint8_t>(C), Crc);
  return ~Crc;
}

TEST(Crc32, StandardCheckValues) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926U);
  EXPECT_EQ(Crc32(""), 0x00000000U);
  EXPECT_EQ(Crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339U);
}

TEST(BitFld, GrowsOnWriteAndReadsFalseBeyondTheEnd) {
  TBitFld B;
  EXPECT_EQ(B.Size(), 0);
  EXPECT_FALSE(B.GetBit(5));
  EXPECT_FALSE(B.GetBit(-1));
  B.SetBit(100, true);
  EXPECT_EQ(B.Size(), 101);
  EXPECT_TRUE(B.GetBit(100));
  B.SetBit(500, false);  // clearing beyond the end needs no growth
  EXPECT_EQ(B.Size(), 101);
  B.SetBit(-3, true);
  EXPECT_EQ(B.CountTrueBits(), 1);
  EXPECT_EQ(B.FirstTrueBit(), 100);
  B.SetSize(64);  // shrinking drops the bit
  EXPECT_EQ(B.CountTrueBits(), 0);
  EXPECT_EQ(B.FirstTrueBit(), -1);
  B.SetSize(-5);
  EXPECT_EQ(B.Size(), 0);
}

TEST(BitFld, InvertKeepsBitsBeyondTheSizeClear) {
  TBitFld B(70);
  B.SetBit(3, true);
  B.Invert();
  EXPECT_EQ(B.CountTrueBits(), 69);
  EXPECT_FALSE(B.GetBit(3));
  EXPECT_EQ(B.FirstTrueBit(), 0);
  B.SetSize(130);  // the grown part must come in false, not as stale inverted bits
  EXPECT_EQ(B.CountTrueBits(), 69);
  B.Clear();
  EXPECT_EQ(B.CountTrueBits(), 0);
  EXPECT_EQ(B.Size(), 130);
}

TEST(BitFld, CombineWithFollowsTheSixLogicOps) {
  // this = 1100, other = 1010 (bit 0 first), on four bits.
  const bool Want[6][4] = {
      {1, 0, 0, 0},  // AND
      {1, 1, 1, 0},  // OR
      {0, 1, 1, 0},  // XOR
      {0, 1, 0, 0},  // AND NOT
      {1, 1, 0, 1},  // OR NOT
      {1, 0, 0, 1},  // XOR NOT
  };
  for (int Op = 0; Op < 6; ++Op) {
    TBitFld A(4), B(4);
    A.SetBit(0, true);
    A.SetBit(1, true);
    B.SetBit(0, true);
    B.SetBit(2, true);
    A.CombineWith(B, static_cast<TLogicOp>(Op));
    for (int I = 0; I < 4; ++I) EXPECT_EQ(A.GetBit(I), Want[Op][I]) << "op " << Op << " bit " << I;
    EXPECT_EQ(A.Size(), 4);
  }
}

TEST(BitFld, CombineWithAShorterFieldTreatsMissingBitsAsFalse) {
  TBitFld A(100), Short(3);
  A.SetBit(80, true);
  Short.SetBit(1, true);
  A.CombineWith(Short, loORNOT);
  EXPECT_EQ(A.CountTrueBits(), 99);  // only bit 1: false OR NOT true
  EXPECT_FALSE(A.GetBit(1));
  TBitFld C(100);
  C.SetBit(80, true);
  C.CombineWith(Short, loAND);
  EXPECT_EQ(C.CountTrueBits(), 0);
  TBitFld D;
  D.Clone(C);
  EXPECT_EQ(D.Size(), 100);
}

}  // namespace
}  // namespace nux
