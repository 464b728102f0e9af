#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "nux/frame/mixedfstream.h"
#include "nux/host/exceptions.h"
#include "nux/host/streams.h"
#include "nux/matrix/matrix.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

// Values whose bits a sloppy reader or writer would change.
const std::vector<double> Awkward = {
    std::bit_cast<double>(uint64_t(0x7FF0000000000123)),  // signalling NaN with a payload
    std::bit_cast<double>(uint64_t(0xFFF8000000000456)),  // negative quiet NaN with a payload
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    -0.0,
    std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::max(),
    0.1};

uint64_t Bits(double X) { return std::bit_cast<uint64_t>(X); }

std::string ReadFile(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), {});
}

void WriteFile(const std::string& Name, const std::string& Data) {
  std::ofstream(Name, std::ios::binary) << Data;
}

int32_t I32At(const std::string& S, size_t Pos) {
  uint32_t U = 0;
  for (int I = 0; I < 4; ++I) U |= uint32_t(uint8_t(S[Pos + I])) << (8 * I);
  return int32_t(U);
}

// A header record with the given fields and Bytes of zero elements behind it.
std::string Header(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt, int32_t Format, size_t Bytes) {
  std::string S(4096 + Bytes, '\0');
  const int32_t F[4] = {Nc, Nr, Nl, Nt};
  for (int K = 0; K < 4; ++K)
    for (int I = 0; I < 4; ++I) S[size_t(4 * K + I)] = char(uint32_t(F[K]) >> (8 * I));
  for (int I = 0; I < 4; ++I) S[size_t(272 + I)] = char(uint32_t(Format) >> (8 * I));
  return S;
}

// Element (c, r, l, t) := c + 10 r + 100 l + 1000 t.
TMat4D& Numbered(TMat4D& M) {
  for (int32_t T = 1; T <= M.NrOfTimeSlots(); ++T)
    for (int32_t L = 1; L <= M.NrOfLayers(); ++L)
      for (int32_t R = 1; R <= M.NrOfRows(); ++R)
        for (int32_t C = 1; C <= M.NrOfColumns(); ++C)
          M.SetVal(C, R, L, T, C + 10 * R + 100 * L + 1000 * T);
  return M;
}

TEST(MatrixFiles, AllClassesRoundTripBitForBitInTheDocumentedLayout) {
  TempDir Dir;
  const std::string F = Dir.Path("m.bin");
  TMatrix M(3, 3);
  for (int32_t K = 0; K < 8; ++K) M.SetVal(K % 3 + 1, K / 3 + 1, Awkward[size_t(K)]);
  // 254 ASCII bytes and a two-byte character: cut before the character, not through it.
  M.SetDataID(std::string(254, 'a') + "\xC3\xA9");
  ASSERT_EQ(M.SaveBinary(F), bfOK);
  const std::string Raw = ReadFile(F);
  ASSERT_EQ(Raw.size(), 8192u);
  EXPECT_EQ(I32At(Raw, 0), 3);
  EXPECT_EQ(I32At(Raw, 8), 0);
  EXPECT_EQ(I32At(Raw, 272), 1);
  EXPECT_EQ(uint8_t(Raw[16]), 254);
  EXPECT_EQ(Raw.find_first_not_of('\0', 276), 4096u);  // header rest is zero
  // Row by row: element (2, 1) is number 1, element (1, 2) number 3.
  EXPECT_EQ(Raw.substr(4096 + 8, 8), std::string(reinterpret_cast<const char*>(&Awkward[1]), 8));
  EXPECT_EQ(Raw.substr(4096 + 24, 8), std::string(reinterpret_cast<const char*>(&Awkward[3]), 8));
  TMatrix B;
  ASSERT_EQ(B.LoadBinary(F), bfOK);
  EXPECT_EQ(B.DataID(), std::string(254, 'a'));
  for (int32_t K = 0; K < 9; ++K)
    EXPECT_EQ(Bits(B.GetVal(K % 3 + 1, K / 3 + 1)), Bits(M.GetVal(K % 3 + 1, K / 3 + 1)));

  // Rows longer than the writer's buffer go out in pieces.
  TMatrix Wide(300000, 2);
  Wide.SetVal(300000, 1, 7.0);
  Wide.SetVal(131073, 2, -1.0);
  ASSERT_EQ(Wide.SaveBinary(F), bfOK);
  TMatrix WB;
  ASSERT_EQ(WB.LoadBinary(F), bfOK);
  EXPECT_EQ(WB.CRCofData(), Wide.CRCofData());

  TMat3D C3(3, 2, 2);
  for (int32_t K = 0; K < 12; ++K) C3.SetVal(K % 3 + 1, K / 3 % 2 + 1, K / 6 + 1, Awkward[K % 8]);
  ASSERT_EQ(C3.SaveBinary(F), bfOK);
  TMat3D B3;
  ASSERT_EQ(B3.LoadBinary(F), bfOK);
  EXPECT_EQ(B3.CRCofData(), C3.CRCofData());
  EXPECT_EQ(Bits(B3.GetVal(1, 1, 2)), Bits(Awkward[6]));  // layer 2 starts at element 6

  TIntMatrix I(2, 2);
  I.SetVal(1, 1, INT32_MIN);
  I.SetVal(2, 2, INT32_MAX);
  ASSERT_EQ(I.SaveBinary(F), bfOK);
  EXPECT_EQ(I32At(ReadFile(F), 272), 2);
  EXPECT_EQ(I32At(ReadFile(F), 4096 + 12), INT32_MAX);  // 4-byte elements
  TIntMatrix BI;
  ASSERT_EQ(BI.LoadBinary(F), bfOK);
  EXPECT_EQ(BI.CRCofData(), I.CRCofData());
  EXPECT_EQ(B.LoadBinary(F), bfNotThisKind);  // integers are not a TMatrix file

  // A sparse matrix is written with its implicit zeros and loads back dense.
  auto S = TIntMatrix::CreateSparse(nullptr, 4);
  S->SetVal(4, 3, -7);
  ASSERT_EQ(S->SaveBinary(F), bfOK);
  ASSERT_EQ(BI.LoadBinary(F), bfOK);
  EXPECT_FALSE(BI.IsSparse());
  EXPECT_EQ(BI.NrOfColumns(), 4);
  EXPECT_EQ(BI.GetVal(4, 3), -7);
  EXPECT_EQ(BI.GetVal(1, 1), 0);
}

TEST(MatrixFiles, HeaderAcceptanceAndHostileHeaders) {
  TempDir Dir;
  const std::string F = Dir.Path("h.bin");
  int32_t Nc = -9, Nr = -9, Nl = -9, Nt = -9, Fmt = -9;
  std::string Id = "untouched";
  EXPECT_FALSE(TMatrix::ReadBinaryHeader(Dir.Path("none"), Nc, Nr, Id, Fmt));
  EXPECT_EQ(Nc, -9);
  EXPECT_EQ(Id, "untouched");
  WriteFile(F, std::string(4095, '\0'));
  EXPECT_THROW(TMat4D::ReadBinaryHeader(F, Nc, Nr, Nl, Nt, Id, Fmt), EInOutError);

  WriteFile(F, Header(2, 2, 1, 0, 1, 32));
  EXPECT_TRUE(TMat3D::ReadBinaryHeader(F, Nc, Nr, Nl, Nt, Id, Fmt));
  EXPECT_FALSE(TMatrix::ReadBinaryHeader(F, Nc, Nr, Id, Fmt));
  EXPECT_FALSE(TMat4D::ReadBinaryHeader(F, Nc, Nr, Nl, Nt, Id, Fmt));

  // Every refusal leaves the object as it was.
  TMatrix M(2, 2);
  M.SetVal(1, 2, 5);
  const std::string Before = M.CRCofData();
  const struct {
    std::string File;
    int32_t Result;
  } Cases[] = {
      {Header(2, 2, 0, 0, 1, 24), bfTruncated},
      {Header(0, 2, 0, 0, 1, 64), bfBadSizes},
      {Header(-1, 2, 0, 0, 1, 64), bfBadSizes},
      {Header(INT32_MAX, INT32_MAX, 0, 0, 1, 64), bfTruncated},  // a size bomb, not an allocation
      {Header(2, 2, 0, 0, 7, 32), bfNotThisKind},
      {std::string(100, 'x'), bfNotThisKind},
  };
  for (const auto& C : Cases) {
    WriteFile(F, C.File);
    EXPECT_EQ(M.LoadBinary(F), C.Result);
    EXPECT_EQ(M.CRCofData(), Before);
  }
  EXPECT_EQ(M.LoadBinary(Dir.Path("none")), bfCannotOpen);
  TMat4D Q;
  WriteFile(F, Header(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, 1, 64));
  EXPECT_EQ(Q.LoadBinary(F, 0, 0), bfBadSizes);  // beyond 64 bits
  EXPECT_EQ(Q.ReadBinary(F, 0, 0), bfBadSizes);
  EXPECT_EQ(Q.NrOfColumns(), 1);
}

TEST(MatrixFiles, FourDimensionalSlotsAppendAndStreaming) {
  TempDir Dir;
  const std::string F = Dir.Path("a.bin");
  // 3 x 2 x 2 = 12 elements per slot: slots do not end on record boundaries.
  TMat4D M(3, 2, 2, 4);
  Numbered(M);
  M.SetDataID("run");
  ASSERT_EQ(M.SaveBinary(F, 3, 2), bfOK);  // reversed bounds
  TMat4D B;
  ASSERT_EQ(B.LoadBinary(F, 0, 5), bfOK);
  EXPECT_EQ(B.NrOfTimeSlots(), 2);
  EXPECT_EQ(B.GetVal(3, 2, 2, 1), 3 + 20 + 200 + 2000);
  ASSERT_EQ(M.AppendToBinaryFile(F, 4, 4), bfOK);
  int32_t Nc, Nr, Nl, Nt, Fmt;
  std::string Id;
  ASSERT_TRUE(TMat4D::ReadBinaryHeader(F, Nc, Nr, Nl, Nt, Id, Fmt));
  EXPECT_EQ(Nt, 3);
  EXPECT_EQ(Id, "run");
  EXPECT_EQ(ReadFile(F).size() % 4096, 0u);
  ASSERT_EQ(B.LoadBinary(F, 2, 99), bfOK);
  EXPECT_EQ(B.NrOfTimeSlots(), 2);
  EXPECT_EQ(B.GetVal(1, 1, 1, 1), 1 + 10 + 100 + 3000);
  EXPECT_EQ(B.GetVal(3, 2, 2, 2), 3 + 20 + 200 + 4000);
  EXPECT_EQ(B.LoadBinary(F, 4, 5), bfNoSuchSlot);

  // Appending something else is refused and the file stays as it was.
  const std::string Kept = ReadFile(F);
  TMat4D Other(3, 2, 3, 1);
  EXPECT_EQ(Numbered(Other).AppendToBinaryFile(F, 0, 0), bfSizeMismatch);
  TMatrix(3, 2).SaveBinary(Dir.Path("2d.bin"));
  EXPECT_EQ(M.AppendToBinaryFile(Dir.Path("2d.bin"), 0, 0), bfNotThisKind);
  EXPECT_EQ(M.AppendToBinaryFile(Dir.Path("none"), 0, 0), bfCannotOpen);
  EXPECT_EQ(ReadFile(F), Kept);

  // Streaming: slots numbered from 1 whatever the first slot read; nothing stored.
  int64_t Events = 0;
  double Last = 0;
  int32_t LastIt = 0, LastPercent = 0, Offset = 1;  // file slot 1 holds slot 2
  TMat4D S;
  S.OnReadElement = [&](TObject* Sender, int32_t Ix, int32_t Iy, int32_t Il, int32_t It, double V) {
    EXPECT_EQ(Sender, &S);
    EXPECT_EQ(V, Ix + 10 * Iy + 100 * Il + 1000 * (It + Offset));
    ++Events;
    Last = V;
    LastIt = It;
  };
  S.OnPercentDone = [&](TObject*, int32_t P) { LastPercent = P; };
  EXPECT_EQ(S.ReadBinary(F, 0, 0), 0);
  EXPECT_EQ(Events, 36);
  EXPECT_EQ(LastIt, 3);
  EXPECT_EQ(LastPercent, 100);
  Events = 0;
  Offset = 2;
  EXPECT_EQ(S.ReadBinary(F, 2, 3), 0);
  EXPECT_EQ(Events, 24);
  EXPECT_EQ(Last, 3 + 20 + 200 + 4000);
  EXPECT_EQ(S.ReadBinary(F, 4, 4), -1);
  EXPECT_EQ(S.NrOfColumns(), 1);
  WriteFile(F, Kept.substr(0, 4096 + 30 * 8));
  Events = 0;
  EXPECT_EQ(S.ReadBinary(F, 0, 0), bfTruncated);
  EXPECT_EQ(Events, 0);
  EXPECT_THROW(S.ReadBinary(Dir.Path("none"), 0, 0), EInOutError);
}

TEST(MatrixFiles, LayerReaders) {
  TempDir Dir;
  const std::string F = Dir.Path("l.bin");
  // 10 x 60: the first element of layer 2 is element 600, record 2, slot 88.
  TMat4D Big(10, 60, 2, 1);
  Big.SetVal(1, 1, 2, 1, 42.5);
  ASSERT_EQ(Big.SaveBinary(F, 0, 0), bfOK);
  double X;
  std::memcpy(&X, ReadFile(F).data() + 2 * 4096 + 88 * 8, 8);
  EXPECT_EQ(X, 42.5);

  TMat4D M(3, 2, 4, 3);
  Numbered(M);
  ASSERT_EQ(M.SaveBinary(F, 0, 0), bfOK);
  TMat4D Dest(3, 2, 4, 3);
  EXPECT_EQ(Dest.ReadLayer(F, 2, 3), 0);
  EXPECT_EQ(Dest.GetVal(3, 2, 2, 3), 3 + 20 + 200 + 3000);
  EXPECT_EQ(Dest.GetVal(3, 2, 1, 3), 0);
  TMat4D Small(3, 2, 4, 2);
  EXPECT_EQ(Small.ReadLayer(F, 2, 3), -1);  // beyond the object's time slots
  EXPECT_EQ(Small.ReadLayer(F, 5, 9), -2);  // the later check wins
  EXPECT_EQ(TMat4D(2, 2, 4, 3).ReadLayer(F, 9, 9), -3);
  EXPECT_EQ(Dest.ReadLayer(Dir.Path("none"), 1, 1), -4);

  TDouble2DArray A;
  EXPECT_EQ(Read4DLayer(F, 2, 3, A), 0);
  ASSERT_EQ(A.size(), 3u);
  EXPECT_EQ(A[2][1], 3 + 20 + 200 + 3000);
  EXPECT_EQ(Read4DLayer(F, 5, 9, A), -2);
  EXPECT_EQ(Read4DLayer(F, 1, 9, A), -1);
  EXPECT_EQ(Read4DLayerAndAccumulate(F, 5, 9, A), -2);  // the codes are the other way round
  EXPECT_EQ(Read4DLayerAndAccumulate(F, 5, 1, A), -1);
  EXPECT_EQ(Read4DLayerAndAccumulate(F, 1, 1, A), 0);
  EXPECT_EQ(A[2][1], 3 + 20 + 200 + 3000 + 3 + 20 + 100 + 1000);
  TDouble2DArray Wrong{{1, 2}, {3}, {4, 5}};
  EXPECT_EQ(Read4DLayerAndAccumulate(F, 1, 1, Wrong), -3);
  EXPECT_EQ(Wrong[1].size(), 1u);
  WriteFile(F, ReadFile(F).substr(0, 4096 + 8 * 40));
  EXPECT_EQ(Read4DLayer(F, 1, 3, A), -3);
  EXPECT_EQ(Read4DLayerAndAccumulate(F, 1, 3, A), -4);
}

TEST(MatrixFiles, StreamAndTextForms) {
  TempDir Dir;
  TMatrix M(3, 2);
  for (int32_t K = 0; K < 6; ++K) M.SetVal(K % 3 + 1, K / 3 + 1, Awkward[size_t(K)]);
  std::unique_ptr<TMemoryStream> S;
  M.SaveToStream(S, 2, 1, 3, 2);
  ASSERT_TRUE(S);
  EXPECT_EQ(S->Size(), 16 + 4 * 8);
  S->SetPosition(0);
  TMatrix B(3, 2);
  EXPECT_TRUE(B.LoadFromStream(S.get(), false));
  EXPECT_EQ(B.GetVal(1, 1), 0.0);
  EXPECT_EQ(Bits(B.GetVal(3, 2)), Bits(Awkward[5]));
  EXPECT_EQ(Bits(B.GetVal(2, 1)), Bits(Awkward[1]));
  TMatrix Tiny(2, 2);
  S->SetPosition(0);
  EXPECT_FALSE(Tiny.LoadFromStream(S.get(), false));  // too small, values not read
  S->SetPosition(0);
  EXPECT_TRUE(Tiny.LoadFromStream(S.get(), true));
  EXPECT_EQ(Tiny.NrOfColumns(), 3);
  // Short streams and forged bounds are refused before anything changes.
  TMemoryStream Short;
  M.SaveToStream(Short, 0, 0, 0, 0);
  Short.SetSize(Short.Size() - 1);
  Short.SetPosition(0);
  const std::string Before = B.CRCofData();
  EXPECT_FALSE(B.LoadFromStream(&Short, true));
  TMemoryStream Forged;
  for (int32_t V : {1, 1, INT32_MAX, INT32_MAX}) Forged.Write(&V, 4);
  Forged.SetPosition(0);
  EXPECT_FALSE(B.LoadFromStream(&Forged, true));
  EXPECT_FALSE(B.LoadFromStream(nullptr, true));
  EXPECT_EQ(B.CRCofData(), Before);

  TIntMatrix I(2, 3);
  I.SetVal(2, 3, -5);
  TMemoryStream IS;
  I.SaveToStream(IS, 0, 0, 0, 0);
  IS.SetPosition(0);
  auto Sp = TIntMatrix::CreateSparse(nullptr, 1);
  EXPECT_TRUE(Sp->LoadFromStream(&IS, true));
  EXPECT_TRUE(Sp->IsSparse());
  EXPECT_EQ(Sp->GetVal(2, 3), -5);

  // Text form: the shortest text that reads back, non-finite values included.
  const std::string F = Dir.Path("m.txt");
  ASSERT_TRUE(M.StoreOnFile(0, 0, 0, 0, F));
  EXPECT_EQ(ReadFile(F).substr(0, 8), "1 1 3 2\n");
  TMatrix T;
  ASSERT_TRUE(T.LoadFromFile(F, true));
  for (int32_t K = 2; K < 6; ++K)
    EXPECT_EQ(Bits(T.GetVal(K % 3 + 1, K / 3 + 1)), Bits(M.GetVal(K % 3 + 1, K / 3 + 1)));
  EXPECT_TRUE(std::isnan(T.GetVal(1, 1)));
  WriteFile(F, "1 1 2 1\n1.5 oops\n");
  EXPECT_FALSE(T.LoadFromFile(F, true));
  EXPECT_EQ(T.NrOfColumns(), 3);
  WriteFile(F, "1 2\n3 4\n5 6\n");
  TMatrix A(1, 1);
  ASSERT_TRUE(A.LoadFromFile(F, false, true));  // the part that fits
  EXPECT_EQ(A.GetVal(1, 1), 1);
  ASSERT_TRUE(A.LoadFromFile(F, true, true));
  EXPECT_EQ(A.NrOfRows(), 3);
  EXPECT_EQ(A.GetVal(2, 3), 6);
  ASSERT_TRUE(I.StoreOnFile(2, 2, 2, 3, F));
  TIntMatrix IB(2, 3);
  ASSERT_TRUE(IB.LoadFromFile(F, false));
  EXPECT_EQ(IB.GetVal(2, 3), -5);
}

TEST(MixedFStream, ItemsRoundTripAndFailuresAreReported) {
  TempDir Dir;
  const std::string F = Dir.Path("mixed.bin");
  WriteFile(F, "old");
  {
    TMixedFStream W(F, fmCreate);
    W.WriteInteger(-2);
    W.WriteLn("Grüße");
    W.WriteDouble(Awkward[0]);
    W.WriteByte(255);
    W.WriteLn("");
    EXPECT_EQ(ReadFile(F), "old");  // nothing reaches the disk before Close
    EXPECT_THROW(W.ReadByte(), EInOutError);
    W.Close();
  }
  TMixedFStream R(F, 0);
  EXPECT_EQ(R.ReadInteger(), -2);
  EXPECT_EQ(R.ReadLn(), "Grüße");
  EXPECT_EQ(Bits(R.ReadDouble()), Bits(Awkward[0]));
  EXPECT_EQ(R.ReadByte(), 255);
  EXPECT_EQ(R.ReadLn(), "");
  EXPECT_TRUE(R.Eof());
  EXPECT_THROW(R.ReadInteger(), EInOutError);
  EXPECT_THROW(R.WriteByte(1), EInOutError);
  WriteFile(F, "a\r\nb");
  TMixedFStream L(F, 0);
  EXPECT_EQ(L.ReadLn(), "a");
  EXPECT_EQ(L.ReadLn(), "b");
  EXPECT_THROW(L.ReadLn(), EInOutError);
  EXPECT_THROW(TMixedFStream(Dir.Path("none"), 0), EInOutError);
  TMixedFStream Bad(Dir.Path("no/such/dir/x"), fmCreate);
  Bad.WriteByte(1);
  EXPECT_THROW(Bad.Close(), EInOutError);
}

}  // namespace
}  // namespace nux
