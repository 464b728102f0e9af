#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "nux/host/atomicfile.h"
#include "nux/host/exceptions.h"
#include "nux/matrix/binfile_impl.h"

namespace nux::matrix_detail {

namespace {

// Element bytes per write call of the writer.
constexpr size_t WriteChunk = size_t(1) << 20;
// Read buffer of the reader; larger reads bypass it.
constexpr size_t ReadChunk = size_t(1) << 20;

void PutI32(unsigned char* P, int32_t V) {
  const auto U = static_cast<uint32_t>(V);
  for (int I = 0; I < 4; ++I) P[I] = static_cast<unsigned char>(U >> (8 * I));
}

int32_t GetI32(const unsigned char* P) {
  uint32_t U = 0;
  for (int I = 0; I < 4; ++I) U |= uint32_t(P[I]) << (8 * I);
  return static_cast<int32_t>(U);
}

template <class T>
void ToLittleEndian(T* P, size_t N) {
  if constexpr (std::endian::native == std::endian::big)
    for (size_t I = 0; I < N; ++I) {
      auto* B = reinterpret_cast<unsigned char*>(P + I);
      std::reverse(B, B + sizeof(T));
    }
}

bool WriteAll(FILE* F, const void* P, size_t N, std::string& Error) {
  if (N == 0 || std::fwrite(P, 1, N, F) == N) return true;
  Error = std::strerror(errno);
  return false;
}

}  // namespace

bool Accepts(TBinKind Kind, const TBinHeader& H, bool CheckFormat) {
  if (H.Nc < 1 || H.Nr < 1) return false;
  switch (Kind) {
    case TBinKind::Matrix:
      return H.Nl == 0 && H.Nt == 0 && (!CheckFormat || H.Format == BinDoubles);
    case TBinKind::IntMatrix:
      return H.Nl == 0 && H.Nt == 0 && (!CheckFormat || H.Format == BinIntegers);
    case TBinKind::Mat3D:
      return H.Nl >= 1 && H.Nt == 0 && (!CheckFormat || H.Format == BinDoubles);
    case TBinKind::Mat4D:
      return H.Nl >= 1 && H.Nt >= 1 && (!CheckFormat || H.Format == BinDoubles);
  }
  return false;
}

int64_t ElementCount(const TBinHeader& H) {
  if (H.Nc < 0 || H.Nr < 0 || H.Nl < 0 || H.Nt < 0) return -1;
  // Four factors below 2^31 each: the product of two fits, of all four may not.
  const int64_t A = int64_t(H.Nc) * H.Nr, B = int64_t(std::max(H.Nl, 1)) * std::max(H.Nt, 1);
  if (A != 0 && B > (int64_t(1) << 62) / A) return -1;
  return A * B;
}

std::string CutDataID(const std::string& Id) {
  if (Id.size() <= 255) return Id;
  size_t N = 255;
  // Back off over continuation bytes to the start of the sequence that would be cut.
  while (N > 0 && (static_cast<unsigned char>(Id[N]) & 0xC0) == 0x80) --N;
  return Id.substr(0, N);
}

TBinReader::~TBinReader() {
  if (FFd >= 0) ::close(FFd);
}

bool TBinReader::Open(const std::string& FileName) {
  FFd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (FFd < 0) return false;
  struct stat St {};
  if (::fstat(FFd, &St) != 0 || !S_ISREG(St.st_mode)) {
    ::close(FFd);
    FFd = -1;
    return false;
  }
  FSize = St.st_size;
  return true;
}

bool TBinReader::ReadHeader(TBinHeader& H) {
  unsigned char Rec[BinRecord];
  if (FSize < BinRecord) return false;
  SeekElement(0, 1);
  FPos = 0;
  if (!ReadBytes(Rec, BinRecord)) return false;
  H.Nc = GetI32(Rec);
  H.Nr = GetI32(Rec + 4);
  H.Nl = GetI32(Rec + 8);
  H.Nt = GetI32(Rec + 12);
  H.DataID.assign(reinterpret_cast<const char*>(Rec + 17), Rec[16]);
  H.Format = GetI32(Rec + 272);
  return true;
}

bool TBinReader::Holds(int64_t First, int64_t Count, int Width) const {
  if (First < 0 || Count < 0) return false;
  const int64_t Room = (FSize - BinRecord) / Width;
  return FSize >= BinRecord && First <= Room && Count <= Room - First;
}

void TBinReader::SeekElement(int64_t K, int Width) {
  FPos = BinRecord + K * Width;
  FBufPos = FBufLen = 0;
}

bool TBinReader::ReadBytes(void* Dest, int64_t Bytes) {
  auto* Out = static_cast<unsigned char*>(Dest);
  while (Bytes > 0) {
    if (FBufPos < FBufLen) {
      const size_t N = std::min<size_t>(FBufLen - FBufPos, size_t(Bytes));
      std::memcpy(Out, FBuf.data() + FBufPos, N);
      FBufPos += N;
      Out += N;
      Bytes -= int64_t(N);
      continue;
    }
    // Large reads go straight to the destination; small ones refill the buffer.
    const bool Direct = size_t(Bytes) >= ReadChunk;
    if (!Direct && FBuf.size() < ReadChunk) FBuf.resize(ReadChunk);
    unsigned char* To = Direct ? Out : FBuf.data();
    const size_t Want = Direct ? size_t(std::min<int64_t>(Bytes, int64_t(1) << 30)) : ReadChunk;
    const ssize_t Got = ::pread(FFd, To, Want, FPos);
    if (Got < 0 && errno == EINTR) continue;
    if (Got <= 0) return false;
    FPos += Got;
    if (Direct) {
      Out += Got;
      Bytes -= Got;
    } else {
      FBufPos = 0;
      FBufLen = size_t(Got);
    }
  }
  return true;
}

int32_t OpenBinary(TBinReader& R, const std::string& FileName, TBinHeader& H) {
  if (!R.Open(FileName)) return bfCannotOpen;
  if (R.FileSize() < BinRecord) return bfNotThisKind;
  return R.ReadHeader(H) ? bfOK : bfReadError;
}

bool ReadHeaderOnly(const std::string& FName, TBinHeader& H) {
  TBinReader R;
  const int32_t Open = OpenBinary(R, FName, H);
  if (Open == bfCannotOpen) return false;
  if (Open != bfOK) throw EInOutError("Read beyond end of file \"" + FName + "\"");
  return true;
}

bool HeaderFields(TBinKind Kind, const std::string& FName, int32_t& Nc, int32_t& Nr, int32_t* Nl,
                  int32_t* Nt, std::string& DataID, int32_t& Format) {
  TBinHeader H;
  if (!ReadHeaderOnly(FName, H)) return false;
  Nc = H.Nc;
  Nr = H.Nr;
  if (Nl) *Nl = H.Nl;
  if (Nt) *Nt = H.Nt;
  DataID = H.DataID;
  Format = H.Format;
  return Accepts(Kind, H) && ElementCount(H) >= 0;
}

int32_t CheckForLoad(const TBinReader& R, const TBinHeader& H, TBinKind Kind, bool CheckFormat,
                     int64_t First, int64_t Count) {
  if (ElementCount(H) < 0) return bfBadSizes;
  if (!Accepts(Kind, H, CheckFormat)) return H.Nc < 1 || H.Nr < 1 ? bfBadSizes : bfNotThisKind;
  const int Width = H.Format == BinIntegers && Kind == TBinKind::IntMatrix ? 4 : 8;
  return R.Holds(First, Count, Width) ? bfOK : bfTruncated;
}

template <class T>
int32_t WriteBinaryFile(const std::string& FileName, const TBinHeader& H, TBinReader* Prefix,
                        int64_t CopyElems, int64_t NRows, TRowSource<T> Row, const void* Ctx) {
  int32_t Result = bfOK;
  try {
    WriteFileAtomically(FileName, [&](FILE* F, std::string& Error) {
      std::vector<unsigned char> Rec(BinRecord, 0);
      PutI32(Rec.data(), H.Nc);
      PutI32(Rec.data() + 4, H.Nr);
      PutI32(Rec.data() + 8, H.Nl);
      PutI32(Rec.data() + 12, H.Nt);
      const std::string Id = CutDataID(H.DataID);
      Rec[16] = static_cast<unsigned char>(Id.size());
      std::memcpy(Rec.data() + 17, Id.data(), Id.size());
      PutI32(Rec.data() + 272, H.Format);
      if (!WriteAll(F, Rec.data(), Rec.size(), Error)) return false;
      int64_t Bytes = 0;
      std::vector<T> Buf;
      if (CopyElems > 0) {
        Prefix->SeekElement(0, sizeof(T));
        Buf.resize(WriteChunk / sizeof(T));
        for (int64_t Left = CopyElems; Left > 0;) {
          const int64_t N = std::min<int64_t>(Left, int64_t(Buf.size()));
          if (!Prefix->Read(Buf.data(), N)) {
            Result = bfReadError;
            Error = "read error";
            return false;
          }
          ToLittleEndian(Buf.data(), size_t(N));
          if (!WriteAll(F, Buf.data(), size_t(N) * sizeof(T), Error)) return false;
          Left -= N;
        }
        Bytes += CopyElems * int64_t(sizeof(T));
      }
      // Whole rows per chunk; a row longer than the chunk goes in pieces, so the buffer stays
      // small whatever the column count.
      const size_t Nc = size_t(H.Nc), ChunkElems = WriteChunk / sizeof(T);
      Buf.resize(ChunkElems);
      auto Flush = [&](size_t N) {
        ToLittleEndian(Buf.data(), N);
        return WriteAll(F, Buf.data(), N * sizeof(T), Error);
      };
      if (Nc <= ChunkElems) {
        const size_t RowsPerChunk = ChunkElems / Nc;
        for (int64_t I = 0; I < NRows;) {
          const int64_t N = std::min<int64_t>(NRows - I, int64_t(RowsPerChunk));
          for (int64_t J = 0; J < N; ++J) Row(Ctx, I + J, 0, Nc, Buf.data() + size_t(J) * Nc);
          if (!Flush(size_t(N) * Nc)) return false;
          I += N;
        }
      } else {
        for (int64_t I = 0; I < NRows; ++I)
          for (size_t C = 0; C < Nc; C += ChunkElems) {
            const size_t N = std::min(ChunkElems, Nc - C);
            Row(Ctx, I, C, N, Buf.data());
            if (!Flush(N)) return false;
          }
      }
      Bytes += NRows * int64_t(Nc * sizeof(T));
      const int64_t Pad = (BinRecord - Bytes % BinRecord) % BinRecord;
      std::fill(Rec.begin(), Rec.end(), 0);
      return WriteAll(F, Rec.data(), size_t(Pad), Error);
    });
  } catch (const EInOutError&) {
    return Result == bfOK ? bfWriteError : Result;
  }
  return bfOK;
}

template int32_t WriteBinaryFile<double>(const std::string&, const TBinHeader&, TBinReader*,
                                         int64_t, int64_t, TRowSource<double>, const void*);
template int32_t WriteBinaryFile<int32_t>(const std::string&, const TBinHeader&, TBinReader*,
                                          int64_t, int64_t, TRowSource<int32_t>, const void*);

}  // namespace nux::matrix_detail
