// The XML form of TMat4D (layout in docs/matrix-xml.md).
#include <array>
#include <istream>
#include <ostream>

#include "nux/matrix/matrix_xml_impl.h"

namespace nux {

namespace {

struct TOps {
  using TObj = TMat4D;
  using TElem = double;
  static constexpr int N = 4;
  static constexpr std::array<const char*, 4> IndexNames{"ix", "iy", "il", "it"};
  static constexpr std::array<TMatXmlTag, 4> SizeTags{xmlMatNumCols, xmlMatNumRows, xmlMatNumLayers,
                                                      xmlMatNumTimeSlots};
  static std::array<int32_t, 4> Counts(const TMat4D& M) {
    return {M.NrOfColumns(), M.NrOfRows(), M.NrOfLayers(), M.NrOfTimeSlots()};
  }
  static void Reshape(TMat4D& M, const std::array<int32_t, 4>& S) {
    M.Resize(S[0], S[1], S[2], S[3]);
    M.Fill(0.0);
  }
  static void Set(TMat4D& M, const std::array<int32_t, 4>& I, double V) {
    M.SetVal(I[0], I[1], I[2], I[3], V);
  }
  // In storage order: time slot by time slot, layer by layer, row by row, column fastest.
  template <class F>
  static void ForEach(const TMat4D& M, F&& Visit) {
    const auto& D = M.Data();
    for (int32_t T = 1; T <= M.NrOfTimeSlots(); ++T)
      for (int32_t Z = 1; Z <= M.NrOfLayers(); ++Z)
        for (int32_t Y = 1; Y <= M.NrOfRows(); ++Y)
          for (int32_t X = 1; X <= M.NrOfColumns(); ++X)
            Visit({X, Y, Z, T}, D[size_t(T - 1)][size_t(Z - 1)][size_t(Y - 1)][size_t(X - 1)]);
  }
};

}  // namespace

int32_t TMat4D::WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader, const std::string& DataID,
                                   int32_t Precision) const {
  return matrix_detail::WriteMatXml<TOps>(*this, Out, CreateHeader, DataID, Precision);
}

int32_t TMat4D::SaveAsXMLFile(const std::string& FName, const std::string& DataID,
                              int32_t Precision) const {
  return matrix_detail::SaveMatXml<TOps>(*this, FName, DataID, Precision);
}

int32_t TMat4D::ReadFromOpenXMLFile(std::istream& In, const std::string& DataID) {
  return matrix_detail::LoadMatXml<TOps>(In, DataID, *this);
}

int32_t TMat4D::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  return matrix_detail::LoadMatXmlFile<TOps>(FName, DataID, *this);
}

int32_t TMat4D::ProcessXmlTag(TMatXmlTag Tag, std::string_view Attributes,
                              std::string_view Content) {
  int32_t* Aux[] = {&FAuxNx, &FAuxNy, &FAuxNz, &FAuxNt};
  return matrix_detail::ApplyMatXmlTag<TOps>(*this, Aux, FirstCell, Tag, Attributes, Content,
                                             MaxXmlMatrixCells);
}

}  // namespace nux
