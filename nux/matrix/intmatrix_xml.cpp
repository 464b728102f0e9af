// The XML form of TIntMatrix (layout in docs/matrix-xml.md).
#include <array>
#include <istream>
#include <ostream>

#include "nux/matrix/matrix_xml_impl.h"

namespace nux {

namespace {

struct TOps {
  using TObj = TIntMatrix;
  using TElem = int32_t;
  static constexpr int N = 2;
  static constexpr std::array<const char*, 2> IndexNames{"ix", "iy"};
  static constexpr std::array<TMatXmlTag, 2> SizeTags{xmlMatNumCols, xmlMatNumRows};
  static std::array<int32_t, 2> Counts(const TIntMatrix& M) {
    return {M.NrOfColumns(), M.NrOfRows()};
  }
  static void Reshape(TIntMatrix& M, const std::array<int32_t, 2>& S) {
    M.Resize(S[0], S[1]);
    M.Fill(0);
  }
  static void Set(TIntMatrix& M, const std::array<int32_t, 2>& I, int32_t V) {
    M.SetVal(I[0], I[1], V);
  }
  // Column by column; GetVal serves the sparse form as well.
  template <class F>
  static void ForEach(const TIntMatrix& M, F&& Visit) {
    for (int32_t C = 1; C <= M.NrOfColumns(); ++C)
      for (int32_t R = 1; R <= M.NrOfRows(); ++R) Visit({C, R}, M.GetVal(C, R));
  }
};

}  // namespace

int32_t TIntMatrix::WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader,
                                       const std::string& DataID) const {
  return matrix_detail::WriteMatXml<TOps>(*this, Out, CreateHeader, DataID, 0);
}

int32_t TIntMatrix::WriteToXMLStream(TStream& OutStream, bool CreateHeader,
                                     const std::string& DataID) const {
  return matrix_detail::WriteMatXml<TOps>(*this, OutStream, CreateHeader, DataID, 0);
}

int32_t TIntMatrix::SaveAsXMLFile(const std::string& FName, const std::string& DataID) const {
  return matrix_detail::SaveMatXml<TOps>(*this, FName, DataID, 0);
}

int32_t TIntMatrix::ReadFromXMLStream(TStream& InStream, const std::string& DataID) {
  return matrix_detail::LoadMatXml<TOps>(InStream, DataID, *this);
}

int32_t TIntMatrix::ReadFromOpenXMLFile(std::istream& In, const std::string& DataID) {
  return matrix_detail::LoadMatXml<TOps>(In, DataID, *this);
}

int32_t TIntMatrix::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  return matrix_detail::LoadMatXmlFile<TOps>(FName, DataID, *this);
}

int32_t TIntMatrix::ProcessXmlTag(TMatXmlTag Tag, std::string_view Attributes,
                                  std::string_view Content) {
  int32_t* Aux[] = {&FAuxCol, &FAuxRow};
  return matrix_detail::ApplyMatXmlTag<TOps>(*this, Aux, FirstCell, Tag, Attributes, Content,
                                             MaxXmlMatrixCells);
}

}  // namespace nux
