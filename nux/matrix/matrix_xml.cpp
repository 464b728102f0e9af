// The XML form of TMatrix (layout in docs/matrix-xml.md).
#include <array>
#include <istream>
#include <ostream>

#include "nux/matrix/matrix_xml_impl.h"

namespace nux {

const std::array<const char*, 8> MatXmlTagNames = {
    "numcols", "numrows", "numplanes", "numtimeslots", "cell", "matrix", "/matrix", "invalidtag"};

namespace {

struct TOps {
  using TObj = TMatrix;
  using TElem = double;
  static constexpr int N = 2;
  static constexpr std::array<const char*, 2> IndexNames{"ix", "iy"};
  static constexpr std::array<TMatXmlTag, 2> SizeTags{xmlMatNumCols, xmlMatNumRows};
  static std::array<int32_t, 2> Counts(const TMatrix& M) { return {M.NrOfColumns(), M.NrOfRows()}; }
  static void Reshape(TMatrix& M, const std::array<int32_t, 2>& S) {
    M.Resize(S[0], S[1]);
    M.Fill(0.0);
  }
  static void Set(TMatrix& M, const std::array<int32_t, 2>& I, double V) {
    M.SetVal(I[0], I[1], V);
  }
  // Column by column, as stored.
  template <class F>
  static void ForEach(const TMatrix& M, F&& Visit) {
    const auto& D = M.Data();
    for (int32_t C = 1; C <= M.NrOfColumns(); ++C)
      for (int32_t R = 1; R <= M.NrOfRows(); ++R) Visit({C, R}, D[size_t(C - 1)][size_t(R - 1)]);
  }
};

}  // namespace

int32_t TMatrix::WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader, const std::string& DataID,
                                    int32_t Precision) const {
  return matrix_detail::WriteMatXml<TOps>(*this, Out, CreateHeader, DataID, Precision);
}

int32_t TMatrix::WriteToXMLStream(TStream& OutStream, bool CreateHeader, const std::string& DataID,
                                  int32_t Precision) const {
  return matrix_detail::WriteMatXml<TOps>(*this, OutStream, CreateHeader, DataID, Precision);
}

int32_t TMatrix::SaveAsXMLFile(const std::string& FName, const std::string& DataID,
                               int32_t Precision) const {
  return matrix_detail::SaveMatXml<TOps>(*this, FName, DataID, Precision);
}

int32_t TMatrix::ReadFromXMLStream(TStream& InStream, const std::string& DataID) {
  return matrix_detail::LoadMatXml<TOps>(InStream, DataID, *this);
}

int32_t TMatrix::ReadFromOpenXMLFile(std::istream& In, const std::string& DataID) {
  return matrix_detail::LoadMatXml<TOps>(In, DataID, *this);
}

int32_t TMatrix::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  return matrix_detail::LoadMatXmlFile<TOps>(FName, DataID, *this);
}

int32_t TMatrix::ProcessXmlTag(TMatXmlTag Tag, std::string_view Attributes,
                               std::string_view Content) {
  int32_t* Aux[] = {&FAuxCol, &FAuxRow};
  return matrix_detail::ApplyMatXmlTag<TOps>(*this, Aux, FirstCell, Tag, Attributes, Content,
                                             MaxXmlMatrixCells);
}

}  // namespace nux
