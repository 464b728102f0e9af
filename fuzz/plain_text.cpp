// Feeds hostile text to the plain text readers of vectors and matrices. The first byte selects
// the reader; a successful read must write back to text that reads to the same values.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "nux/nux.h"
using namespace nux;

namespace {
bool SameBits(double A, double B) { return (std::isnan(A) && std::isnan(B)) || A == B; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  if (N < 1) return 0;
  std::istringstream In(std::string(reinterpret_cast<const char*>(D) + 1, N - 1));
  int64_t Line = 0;
  switch (D[0] % 3) {
    case 0: {
      TVector V;
      if (LoadPlainText(In, V, &Line) != ptOK) break;
      std::stringstream Out;
      Out << V;
      TVector Back;
      if (LoadPlainText(Out, Back, &Line) != ptOK || Back.NrOfElem() != V.NrOfElem()) abort();
      for (int32_t K = 1; K <= V.NrOfElem(); ++K)
        if (!SameBits(V.GetVal(K), Back.GetVal(K))) abort();
      break;
    }
    case 1: {
      TIntVector V;
      LoadPlainText(In, V, &Line);
      break;
    }
    case 2: {
      TMatrix M;
      if (LoadPlainText(In, M, &Line) != ptOK) break;
      std::stringstream Out;
      Out << M;
      TMatrix Back;
      if (LoadPlainText(Out, Back, &Line) != ptOK || Back.NrOfRows() != M.NrOfRows() ||
          Back.NrOfColumns() != M.NrOfColumns())
        abort();
      break;
    }
  }
  return 0;
}
