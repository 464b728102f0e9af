// Feeds hostile files to the array file readers. The first byte selects the reader and the
// element type; the rest is the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "nux/nux.h"
using namespace nux;
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  static const std::string Name = "/dev/shm/nuxfuzz_" + std::to_string(getpid());
  if (N < 1) return 0;
  FILE* F = fopen(Name.c_str(), "wb");
  fwrite(D + 1, 1, N - 1, F);
  fclose(F);
  std::string C;
  switch (D[0] % 8) {
    case 0: {
      TDoubleArray A;
      LoadBinaryArray(Name, A, C);
      break;
    }
    case 1: {
      TDouble2DArray A;
      LoadBinaryArray(Name, A, C);
      break;
    }
    case 2: {
      TInt3DArray A;
      LoadBinaryArray(Name, A, C);
      break;
    }
    case 3: {
      TSingle4DArray A;
      LoadBinaryArray(Name, A, C);
      break;
    }
    case 4: {
      TDoubleArray A;
      LoadArray(Name, A, C);
      break;
    }
    case 5: {
      TDouble2DArray A;
      LoadArray(Name, A, C);
      break;
    }
    case 6: {
      TInt4DArray A;
      LoadArray(Name, A, C);
      break;
    }
    case 7: {
      TDouble3DArray A;
      LoadArray(Name, A, C);
      break;
    }
  }
  return 0;
}
