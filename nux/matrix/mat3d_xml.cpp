// The XML form of TMat3D (layout in docs/matrix-xml.md).
#include <array>
#include <istream>
#include <ostream>

#include "nux/matrix/matrix_xml_impl.h"

namespace nux {

namespace {

struct TOps {
  using TObj = TMat3D;
  using TElem = double;
  static constexpr int N = 3;
  static constexpr std::array<const char*, 3> IndexNames{"ix", "iy", "iz"};
  static constexpr std::array<TMatXmlTag, 3> SizeTags{xmlMatNumCols, xmlMatNumRows,
                                                      xmlMatNumLayers};
  static std::array<int32_t, 3> Counts(const TMat3D& M) {
    return {M.NrOfColumns(), M.NrOfRows(), M.NrOfLayers()};
  }
  static void Reshape(TMat3D& M, const std::array<int32_t, 3>& S) {
    M.Resize(S[0], S[1], S[2]);
    M.Fill(0.0);
  }
  static void Set(TMat3D& M, const std::array<int32_t, 3>& I, double V) {
    M.SetVal(I[0], I[1], I[2], V);
  }
  // In storage order: the layer varies fastest.
  template <class F>
  static void ForEach(const TMat3D& M, F&& Visit) {
    const auto& D = M.Data();
    for (int32_t X = 1; X <= M.NrOfColumns(); ++X)
      for (int32_t Y = 1; Y <= M.NrOfRows(); ++Y)
        for (int32_t Z = 1; Z <= M.NrOfLayers(); ++Z)
          Visit({X, Y, Z}, D[size_t(X - 1)][size_t(Y - 1)][size_t(Z - 1)]);
  }
};

}  // namespace

int32_t TMat3D::WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader, const std::string& DataID,
                                   int32_t Precision) const {
  return matrix_detail::WriteMatXml<TOps>(*this, Out, CreateHeader, DataID, Precision);
}

int32_t TMat3D::WriteToXMLStream(TStream& OutStream, bool CreateHeader, const std::string& DataID,
                                 int32_t Precision) const {
  return matrix_detail::WriteMatXml<TOps>(*this, OutStream, CreateHeader, DataID, Precision);
}

int32_t TMat3D::SaveAsXMLFile(const std::string& FName, const std::string& DataID,
                              int32_t Precision) const {
  return matrix_detail::SaveMatXml<TOps>(*this, FName, DataID, Precision);
}

int32_t TMat3D::ReadFromXMLStream(TStream& InStream, const std::string& DataID) {
  return matrix_detail::LoadMatXml<TOps>(InStream, DataID, *this);
}

int32_t TMat3D::ReadFromOpenXMLFile(std::istream& In, const std::string& DataID) {
  return matrix_detail::LoadMatXml<TOps>(In, DataID, *this);
}

int32_t TMat3D::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  return matrix_detail::LoadMatXmlFile<TOps>(FName, DataID, *this);
}

int32_t TMat3D::ProcessXmlTag(TMatXmlTag Tag, std::string_view Attributes,
                              std::string_view Content) {
  int32_t* Aux[] = {&FAuxNx, &FAuxNy, &FAuxNz};
  return matrix_detail::ApplyMatXmlTag<TOps>(*this, Aux, FirstCell, Tag, Attributes, Content,
                                             MaxXmlMatrixCells);
}

}  // namespace nux
