#include "nux/openarrays/arrayfiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "support/alloc_limit.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

std::string ReadBytes(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

void WriteBytes(const std::string& Path, const std::string& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

const std::string Awkward = "line one\nback\\slash \\n literal\r\nend";

TEST(TextArrays, RoundTripExactValues) {
  TempDir Dir;
  const std::string F = Dir.Path("a.txt");
  const double Inf = std::numeric_limits<double>::infinity();
  const TDouble2DArray A{{0.1, -1e-310, Inf}, {1.0 / 3.0, -0.0, std::nan("")}};
  ASSERT_EQ(StoreArray(F, A, Awkward), 0);
  TDouble2DArray B;
  std::string C;
  ASSERT_EQ(LoadArray(F, B, C), 0);
  EXPECT_EQ(C, Awkward);
  ASSERT_EQ(B.size(), 2u);
  for (int I = 0; I < 2; ++I)
    for (int J = 0; J < 3; ++J) {
      if (std::isnan(A[I][J])) {
        EXPECT_TRUE(std::isnan(B[I][J]));
      } else {
        EXPECT_EQ(B[I][J], A[I][J]);
        EXPECT_EQ(std::signbit(B[I][J]), std::signbit(A[I][J]));
      }
    }
  const TInt4DArray I4{{{{1, INT32_MIN}}, {{3, INT32_MAX}}}};
  ASSERT_EQ(StoreArray(F, I4, ""), 0);
  TInt4DArray J4;
  ASSERT_EQ(LoadArray(F, J4, C), 0);
  EXPECT_EQ(J4, I4);
  EXPECT_EQ(C, "");
}

TEST(TextArrays, RefusesWrongKindRankAndDamage) {
  TempDir Dir;
  const std::string F = Dir.Path("a.txt");
  ASSERT_EQ(StoreArray(F, TIntArray{1, 2, 3}, "c"), 0);
  TDoubleArray D{9};
  TInt2DArray I2{{9}};
  std::string C = "kept";
  EXPECT_EQ(LoadArray(F, D, C), -3);
  EXPECT_EQ(LoadArray(F, I2, C), -3);
  EXPECT_EQ(LoadArray(Dir.Path("missing"), D, C), -6);
  EXPECT_EQ(StoreArray(F, TDouble2DArray{{1}, {}}, "c"), -1);
  EXPECT_EQ(StoreArray(Dir.Path("no/such/dir"), TDoubleArray{1}, "c"), -6);

  const std::string Good = ReadBytes(F);
  TIntArray I{9};
  for (size_t N = 0; N + 1 < Good.size(); ++N) {  // every truncation fails cleanly
    WriteBytes(F, Good.substr(0, N));
    EXPECT_NE(LoadArray(F, I, C), 0) << N;
  }
  WriteBytes(F, "NUXARRAY 1\nkind integer\ndims 3\ncomment c\n1 2 x\n");
  EXPECT_EQ(LoadArray(F, I, C), -4);
  WriteBytes(F, "NUXARRAY 1\nkind integer\ndims 3\ncomment c\n1 2 3 4\n");
  EXPECT_EQ(LoadArray(F, I, C), -4);
  WriteBytes(F, "NUXARRAY 2\nkind integer\ndims 3\ncomment c\n1 2 3\n");
  EXPECT_EQ(LoadArray(F, I, C), -2);
  WriteBytes(F, "NUXARRAY 1\nkind integer\ndims 3\ncomment c\n1 2 99999999999\n");
  EXPECT_EQ(LoadArray(F, I, C), -4);
  {
    // Extents far beyond what the file holds are refused before anything is allocated.
    ScopedAllocLimit Limit(1 << 20);
    TInt2DArray Big;
    WriteBytes(F, "NUXARRAY 1\nkind integer\ndims 2000000000 2000000000\ncomment c\n1 2 3\n");
    EXPECT_EQ(LoadArray(F, Big, C), -5);
  }
  EXPECT_EQ(I, TIntArray{9});
  EXPECT_EQ(C, "kept");
}

TEST(BinaryArrays, RoundTripAndLittleEndianLayout) {
  TempDir Dir;
  const std::string F = Dir.Path("a.bin");
  TDouble4DArray A(2, TDouble3DArray(3, TDouble2DArray(1, TDoubleArray(2))));
  double X = 0.1;
  for (auto& L3 : A)
    for (auto& L2 : L3)
      for (auto& L1 : L2)
        for (double& V : L1) V = (X *= -1.7);
  ASSERT_EQ(SaveBinaryArray(F, A, Awkward), 0);
  TDouble4DArray B;
  std::string C;
  ASSERT_EQ(LoadBinaryArray(F, B, C), 0);
  EXPECT_EQ(B, A);
  EXPECT_EQ(C, Awkward);

  TVarKind Kind = vkString;
  TIntArray Ext;
  ASSERT_EQ(ReadBinaryArrayHeader(F, Kind, Ext, C), 0);
  EXPECT_EQ(Kind, vkDouble);
  EXPECT_EQ(Ext, (TIntArray{2, 3, 1, 2}));

  ASSERT_EQ(SaveBinaryArray(F, TIntArray{0x01020304, -2}, "ab"), 0);
  const std::string Bytes = ReadBytes(F);
  ASSERT_EQ(Bytes.size(), 52u + 2u + 8u);
  EXPECT_EQ(Bytes.substr(0, 8), "NUXBARR1");
  EXPECT_EQ(Bytes.substr(54, 4), std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(Bytes.substr(58, 4), std::string("\xfe\xff\xff\xff", 4));
  EXPECT_EQ(static_cast<unsigned char>(Bytes[16]), 2u);  // first extent, low byte first

  const TSingle2DArray S{{1.5f, -0.25f}};
  ASSERT_EQ(SaveBinaryArray(F, S, ""), 0);
  TSingle2DArray S2;
  ASSERT_EQ(LoadBinaryArray(F, S2, C), 0);
  EXPECT_EQ(S2, S);
  TDouble2DArray WrongKind;
  EXPECT_EQ(LoadBinaryArray(F, WrongKind, C), -3);
  TSingleArray WrongRank;
  EXPECT_EQ(LoadBinaryArray(F, WrongRank, C), -3);
}

TEST(BinaryArrays, HostileFilesGiveCodes) {
  TempDir Dir;
  const std::string F = Dir.Path("a.bin");
  ASSERT_EQ(SaveBinaryArray(F, TInt2DArray{{1, 2}, {3, 4}}, "comment"), 0);
  const std::string Good = ReadBytes(F);
  TInt2DArray A{{9}};
  std::string C = "kept";
  TVarKind K = vkString;
  TIntArray E;
  for (size_t N = 0; N < Good.size(); ++N) {
    WriteBytes(F, Good.substr(0, N));
    EXPECT_LT(LoadBinaryArray(F, A, C), 0) << N;
    EXPECT_LT(ReadBinaryArrayHeader(F, K, E, C), 0) << N;
  }
  WriteBytes(F, Good + "x");
  EXPECT_EQ(LoadBinaryArray(F, A, C), -4);

  std::string Bad = Good;
  Bad[0] = 'M';
  WriteBytes(F, Bad);
  EXPECT_EQ(LoadBinaryArray(F, A, C), -2);
  Bad = Good;
  Bad[12] = 7;  // five dimensions and more
  WriteBytes(F, Bad);
  EXPECT_EQ(LoadBinaryArray(F, A, C), -2);
  {
    ScopedAllocLimit Limit(1 << 20);
    Bad = Good;
    for (int I = 0; I < 8; ++I) Bad[16 + I] = Bad[24 + I] = '\xff';  // absurd extents
    WriteBytes(F, Bad);
    EXPECT_EQ(LoadBinaryArray(F, A, C), -5);
    Bad = Good;
    Bad[16] = Bad[19] = Bad[24] = Bad[27] = 0x70;  // large but representable: not in the file
    WriteBytes(F, Bad);
    EXPECT_EQ(LoadBinaryArray(F, A, C), -5);
    Bad = Good;
    Bad[48] = Bad[49] = Bad[50] = '\x7f';  // comment longer than allowed
    WriteBytes(F, Bad);
    EXPECT_EQ(LoadBinaryArray(F, A, C), -5);
  }
  Bad = Good;
  Bad[48] = 20;  // comment running into the data
  WriteBytes(F, Bad);
  EXPECT_EQ(LoadBinaryArray(F, A, C), -4);
  EXPECT_EQ(A, TInt2DArray{{9}});
  EXPECT_EQ(C, "kept");
  EXPECT_EQ(K, vkString);
}

}  // namespace
}  // namespace nux
