#include "nux/host/streams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "nux/host/exceptions.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

TEST(MemoryStream, ReadWriteSeekAndShortReads) {
  TMemoryStream S;
  const char Text[] = "abcdef";
  EXPECT_EQ(S.Write(Text, 6), 6);
  EXPECT_EQ(S.Size(), 6);
  EXPECT_EQ(S.Position(), 6);
  char Out[8] = {};
  EXPECT_EQ(S.Read(Out, 4), 0);  // at the end
  S.SetPosition(4);
  EXPECT_EQ(S.Read(Out, 8), 2);  // only what is there
  EXPECT_EQ(std::string(Out, 2), "ef");
  EXPECT_EQ(S.Seek(-100, soCurrent), 0);  // clipped at the start
  EXPECT_EQ(S.Seek(-2, soEnd), 4);
  EXPECT_EQ(S.Read(Out, -5), 0);
  EXPECT_THROW(S.ReadBuffer(Out, 3), EInOutError);
}

TEST(MemoryStream, WritingBeyondTheEndZeroFillsTheGap) {
  TMemoryStream S;
  S.SetPosition(3);
  const uint8_t B = 7;
  S.WriteBuffer(&B, 1);
  ASSERT_EQ(S.Size(), 4);
  EXPECT_EQ(S.Memory()[0], 0);
  EXPECT_EQ(S.Memory()[3], 7);
  S.SetSize(2);
  EXPECT_EQ(S.Position(), 2);
  S.Clear();
  EXPECT_EQ(S.Size(), 0);
}

TEST(FileStream, RoundTripThroughMemoryStream) {
  TempDir Dir;
  const std::string Name = Dir.Path("data.bin");
  {
    TFileStream F(Name, fmCreate);
    F.WriteBuffer("hello world", 11);
    EXPECT_EQ(F.Size(), 11);
  }
  TMemoryStream M;
  M.LoadFromFile(Name);
  ASSERT_EQ(M.Size(), 11);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(M.Memory()), 11), "hello world");
  M.SaveToFile(Dir.Path("copy.bin"));
  EXPECT_EQ(std::filesystem::file_size(Dir.Path("copy.bin")), 11u);
  // A failed save raises and leaves no temporary file behind; an empty stream saves empty.
  EXPECT_THROW(M.SaveToFile(Dir.Path("no/such/dir.bin")), EInOutError);
  TMemoryStream().SaveToFile(Dir.Path("copy.bin"));
  EXPECT_EQ(std::filesystem::file_size(Dir.Path("copy.bin")), 0u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path("")), {}), 2);

  TFileStream R(Name, fmOpenRead);
  char Buf[16] = {};
  EXPECT_EQ(R.Write("x", 1), 0);  // opened for reading only
  R.Seek(6, soBeginning);
  EXPECT_EQ(R.Read(Buf, 16), 5);
  EXPECT_EQ(std::string(Buf, 5), "world");
}

TEST(FileStream, OpenFailuresRaiseInOutErrorWithTheName) {
  TempDir Dir;
  try {
    TFileStream F(Dir.Path("missing.bin"), fmOpenRead);
    FAIL() << "no exception";
  } catch (const EInOutError& E) {
    EXPECT_NE(std::string(E.what()).find("missing.bin"), std::string::npos);
  }
  EXPECT_THROW(TFileStream(Dir.Path("no/such/dir/x.bin"), fmCreate), EInOutError);
  EXPECT_THROW(TFileStream(Dir.Path(""), fmOpenRead), EInOutError);  // a directory
  TMemoryStream M;
  EXPECT_THROW(M.LoadFromFile(Dir.Path("missing.bin")), EInOutError);
}

TEST(Stream, CopyFromCopiesWholeOrPart) {
  TMemoryStream Src, Dst;
  Src.WriteBuffer("0123456789", 10);
  EXPECT_EQ(Dst.CopyFrom(Src, 0), 10);
  EXPECT_EQ(Dst.Size(), 10);
  Src.SetPosition(8);
  EXPECT_THROW(Dst.CopyFrom(Src, 5), EInOutError);  // only 2 bytes left
}

}  // namespace
}  // namespace nux
