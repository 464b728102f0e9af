// Feeds hostile files to the learner's two model readers: the first byte picks the XML or the
// binary reader. A failed load must leave the model as it was; what loads must store and load
// again to the same model.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "nux/nux.h"
using namespace nux;

namespace {
std::string State(TMemBasedLearner& L) {
  const TDataTable& T = *L.ModelData();
  return T.NumericData()->CRCofData() + T.CRCofCellStates() + T.CRCofNamesAndAttributes() +
         L.Comment() + "|" + L.ModelName() + "|" + std::to_string(L.NumNearestNb()) +
         std::to_string(L.DistMode()) + std::to_string(L.ScalingMode()) +
         std::to_string(L.LocalModel());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  if (N < 1) return 0;
  const bool Xml = D[0] % 2 == 0;
  static const std::string File = "/dev/shm/nux-fuzz-membl-" + std::to_string(getpid());
  std::ofstream(File, std::ios::binary).write(reinterpret_cast<const char*>(D + 1), long(N - 1));
  TMemBasedLearner L;
  L.ModelData()->Resize(2, 3);
  L.ModelData()->SetElem(1, 2, 4.5);
  const std::string Before = State(L);
  std::string Id;
  const int32_t R = Xml ? L.LoadModelXML(File, Id) : L.LoadModelBin(File, Id);
  if (R != 0) {
    if (State(L) != Before) abort();
    return 0;
  }
  // Use what loaded, then store it both ways and load it back.
  TDoubleArray S(size_t(L.ModelData()->NrOfColumns()), 0.5);
  L.ApplyModel(S, 1, 0);
  L.CalcNNOfModelData();
  const std::string Loaded = State(L);
  TMemBasedLearner B;
  L.StoreModelXML(File, Id);
  // Texts from a binary file may hold what XML cannot; from an XML file everything comes back.
  if (B.LoadModelXML(File, Id) != 0 || (Xml && State(B) != Loaded)) abort();
  L.StoreModelBin(File, Id);
  TMemBasedLearner C;
  if (C.LoadModelBin(File, Id) != 0) abort();
  return 0;
}
