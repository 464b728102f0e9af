// Feeds hostile documents to the XML readers of the four matrix classes and the data table
// (and with them the element scanner). A failed load must leave the object as it was; what
// loads must write a document that loads again to the same data.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "nux/nux.h"
using namespace nux;

namespace {

// Loads Doc into a prepared M; on failure M must be unchanged, on success it must round-trip.
template <class M, class Crc, class Same>
void Check(const std::string& Doc, M& Obj, Crc&& Fingerprint, Same&& SameShape) {
  const std::string Before = Fingerprint(Obj);
  std::istringstream In(Doc);
  if (Obj.ReadFromOpenXMLFile(In, "") != xrOK) {
    if (Fingerprint(Obj) != Before) abort();
    return;
  }
  std::stringstream Out;
  if (Obj.WriteToOpenXMLFile(Out, true, "again") != xrOK) abort();
  M Back;
  if (Back.ReadFromOpenXMLFile(Out, "again") != xrOK || Fingerprint(Back) != Fingerprint(Obj) ||
      !SameShape(Back, Obj))
    abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  const std::string Doc(reinterpret_cast<const char*>(D), N);
  {
    TMatrix M(2, 3);
    M.FillSerial(1, 1);
    Check(
        Doc, M, [](const TMatrix& X) { return X.CRCofData(); },
        [](const TMatrix& A, const TMatrix& B) {
          return A.NrOfColumns() == B.NrOfColumns() && A.NrOfRows() == B.NrOfRows();
        });
  }
  {
    TIntMatrix M(3, 2);
    M.FillSerial(1, 1);
    Check(
        Doc, M, [](const TIntMatrix& X) { return X.CRCofData(); },
        [](const TIntMatrix& A, const TIntMatrix& B) {
          return A.NrOfColumns() == B.NrOfColumns() && A.NrOfRows() == B.NrOfRows();
        });
  }
  {
    TMat3D M(2, 1, 2);
    M.FillSerial(1, 1);
    Check(
        Doc, M, [](const TMat3D& X) { return X.CRCofData(); },
        [](const TMat3D& A, const TMat3D& B) { return A.NrOfLayers() == B.NrOfLayers(); });
  }
  {
    TMat4D M(1, 2, 1, 2);
    M.FillSerial(1, 1);
    Check(
        Doc, M, [](TMat4D& X) { return X.CRCofData(); },
        [](const TMat4D& A, const TMat4D& B) { return A.NrOfTimeSlots() == B.NrOfTimeSlots(); });
  }
  {
    TDataTable T;
    T.Resize(2, 2);
    T.SetComment("before");
    const auto Print = [](const TDataTable& X) {
      return X.CRCofNamesAndAttributes() + X.CRCofCellStates() + X.NumericData()->CRCofData();
    };
    const std::string Before = Print(T);
    std::istringstream In(Doc);
    if (T.ReadFromOpenXMLFile(In, "") != xrOK) {
      if (Print(T) != Before) abort();
    } else {
      std::stringstream Out;
      if (T.WriteToOpenXMLFile(Out, true, xmlFullPrecision, "again") != xrOK) abort();
      TDataTable Back;
      if (Back.ReadFromOpenXMLFile(Out, "again") != xrOK || Print(Back) != Print(T)) abort();
    }
  }
  return 0;
}
