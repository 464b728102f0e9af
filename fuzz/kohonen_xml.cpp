// Feeds hostile documents to the Kohonen map's XML reader (and with it the shared XML layer).
// A failed load must leave the map as it was; what loads must write a document that loads
// again to the same weights.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "nux/nux.h"
using namespace nux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  TKohonen K;
  K.SetSizeX(2);
  K.SetNumInsens(2);
  const std::string Before = K.StoredWeights().CRCofData();
  std::istringstream In(std::string(reinterpret_cast<const char*>(D), N));
  if (K.ReadFromOpenXMLFile(In, "") != xrOK) {
    if (K.StoredWeights().CRCofData() != Before || K.SizeX() != 2 || K.NrOfInSens() != 2) abort();
    return 0;
  }
  // Each weight took at least two bytes of the document.
  if (int64_t{K.SizeX()} * K.SizeY() * K.NrOfInSens() > int64_t(N)) abort();
  std::stringstream Out;
  if (K.WriteToOpenXMLFile(Out, true, "again") != xrOK) abort();
  TKohonen B;
  if (B.ReadFromOpenXMLFile(Out, "again") != xrOK ||
      B.StoredWeights().CRCofData() != K.StoredWeights().CRCofData())
    abort();
  return 0;
}
