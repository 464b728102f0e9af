// Feeds hostile files to the integer matrix readers. The first byte selects the ASC reader or
// the sparse file reader; the rest is the file. What loads must write a file that loads again
// to the same fingerprint; a failed load must leave the matrix as it was.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "nux/nux.h"
using namespace nux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  static const std::string Name = "/dev/shm/nuxfuzz_im_" + std::to_string(getpid());
  static const std::string Back = Name + "_back";
  if (N < 1) return 0;
  FILE* F = fopen(Name.c_str(), "wb");
  fwrite(D + 1, 1, N - 1, F);
  fclose(F);
  TIntMatrix M(2, 3);
  M.SetVal(2, 3, 42);
  const std::string Before = M.CRCofData();
  if (D[0] % 2 == 0) {
    std::string C = "before";
    if (M.ImportASC(Name, C) != ascOK) {
      if (M.CRCofData() != Before || C != "before") abort();
      return 0;
    }
    if (int64_t{M.NrOfColumns()} * M.NrOfRows() > int64_t(N)) abort();
    if (M.ExportAsASC(Back, "c") != 0) abort();
    TIntMatrix B;
    if (B.ImportASC(Back, C) != ascOK || B.CRCofData() != M.CRCofData()) abort();
  } else {
    if (M.LoadSparseMat(Name) != 0) {
      if (M.IsSparse() || M.CRCofData() != Before) abort();
      return 0;
    }
    if (M.SparseNumElem() * 12 > int64_t(N)) abort();
    double Mean, Var;
    M.MeanVar(0, 0, 0, 0, Mean, Var);  // O(stored elements) whatever the counts
    if (!M.StoreSparseMat(Back)) abort();
    TIntMatrix B;
    if (B.LoadSparseMat(Back) != 0 || B.SparseElements().size() != M.SparseElements().size())
      abort();
  }
  return 0;
}
