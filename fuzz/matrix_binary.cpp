// Feeds hostile files to the binary matrix readers. The first byte picks the reader (TMatrix,
// TIntMatrix, TMat3D, TMat4D whole and partial, the streaming and layer readers, the sparse
// reader); the rest is the file, behind a valid-looking header prefix when the second byte asks
// for one, so that short inputs reach the element code. A failed load must leave the object as
// it was; what loads must write a file that loads back to the same fingerprint.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "nux/nux.h"
using namespace nux;

namespace {

template <class M>
void RoundTrip(M& Obj, const std::string& Back, int32_t Loaded) {
  if (Loaded != bfOK) return;
  if (Obj.SaveBinary(Back) != bfOK) abort();
  M B;
  if (B.LoadBinary(Back) != bfOK || B.CRCofData() != Obj.CRCofData()) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  static const std::string Name = "/dev/shm/nuxfuzz_mb_" + std::to_string(getpid());
  static const std::string Back = Name + "_back";
  if (N < 2) return 0;
  std::string File;
  if (D[1] & 1) {
    // The rest gives the four counts and the format; the elements follow the header record.
    File.assign(4096, '\0');
    const size_t Head = std::min<size_t>(N - 2, 20);
    std::memcpy(File.data(), D + 2, std::min<size_t>(Head, 16));
    if (Head > 16) std::memcpy(File.data() + 272, D + 18, Head - 16);
    File.append(reinterpret_cast<const char*>(D + 2 + Head), N - 2 - Head);
  } else {
    File.assign(reinterpret_cast<const char*>(D + 2), N - 2);
  }
  FILE* F = fopen(Name.c_str(), "wb");
  fwrite(File.data(), 1, File.size(), F);
  fclose(F);
  switch (D[0] % 8) {
    case 0: {
      TMatrix M(2, 2);
      const std::string Before = M.CRCofData();
      const int32_t R = M.LoadBinary(Name);
      if (R != bfOK && M.CRCofData() != Before) abort();
      RoundTrip(M, Back, R);
      break;
    }
    case 1: {
      TIntMatrix M(2, 2);
      const std::string Before = M.CRCofData();
      const int32_t R = M.LoadBinary(Name);
      if (R != bfOK && M.CRCofData() != Before) abort();
      RoundTrip(M, Back, R);
      break;
    }
    case 2: {
      TMat3D M(2, 2, 2);
      const std::string Before = M.CRCofData();
      const int32_t R = M.LoadBinary(Name);
      if (R != bfOK && M.CRCofData() != Before) abort();
      RoundTrip(M, Back, R);
      break;
    }
    case 3: {
      TMat4D M(2, 2, 1, 1);
      const int32_t R = D[1] & 2 ? M.LoadBinary(Name, D[1] >> 4, D[1] >> 2 & 3)
                                 : M.LoadBinaryNoFmtCheck(Name, 0, 0);
      if (R != bfOK && (M.NrOfColumns() != 2 || M.NrOfTimeSlots() != 1)) abort();
      if (R == bfOK) {
        if (M.SaveBinary(Back, 0, 0) != bfOK || M.AppendToBinaryFile(Back, 0, 0) != bfOK) abort();
        TMat4D B;
        if (B.LoadBinary(Back, M.NrOfTimeSlots() + 1, INT32_MAX) != bfOK ||
            B.CRCofData() != M.CRCofData())
          abort();
      }
      break;
    }
    case 4: {
      TMat4D M;
      int64_t Count = 0;
      M.OnReadElement = [&](TObject*, int32_t, int32_t, int32_t, int32_t, double) { ++Count; };
      try {
        M.ReadBinary(Name, D[1] >> 4, D[1] >> 2 & 3);
      } catch (const EInOutError&) {
      }
      if (Count * 8 > int64_t(File.size())) abort();
      break;
    }
    case 5: {
      TMat4D M(2, 2, 2, 2);
      M.ReadLayer(Name, D[1] >> 4, D[1] >> 2 & 3);
      TDouble2DArray A;
      if (Read4DLayer(Name, D[1] >> 4, D[1] >> 2 & 3, A) == 0 &&
          int64_t(A.size()) * int64_t(A[0].size()) * 8 > int64_t(File.size()))
        abort();
      TDouble2DArray Acc(2, TDoubleArray(2, 1.0));
      Read4DLayerAndAccumulate(Name, 1, 1, Acc);
      break;
    }
    case 6: {
      TIntMatrix M(2, 2);
      const std::string Before = M.CRCofData();
      if (M.LoadSparseMat(Name) != 0 && (M.IsSparse() || M.CRCofData() != Before)) abort();
      break;
    }
    default: {
      int32_t Nc, Nr, Nl, Nt, Fmt;
      std::string Id;
      try {
        TMat4D::ReadBinaryHeader(Name, Nc, Nr, Nl, Nt, Id, Fmt);
        TMixedFStream S(Name, 0);
        while (!S.Eof()) S.ReadLn();
      } catch (const EInOutError&) {
      }
    }
  }
  return 0;
}
