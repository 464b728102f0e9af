// The table's XML form (layout in docs/matrix-xml.md): one "datatable" element with the
// comment, the size, the names and attributes of columns and rows, a "vardef" per column with
// its identifiers, and the cells with their states.
#include <algorithm>
#include <fstream>
#include <istream>
#include <limits>
#include <new>
#include <ostream>

#include "nux/datatable/datatable_impl.h"
#include "nux/frame/stringl.h"
#include "nux/frame/xmlio.h"
#include "nux/host/atomicfile.h"
#include "nux/matrix/matrix_xml_impl.h"

namespace nux {

const std::array<const char*, 15> DTxmlTagNames = {
    "datatable", "/datatable", "comment",   "size", "colnames",
    "rownames",  "colattrib",  "rowattrib", "col",  "row",
    "datacells", "cell",       "vardef",    "idf",  "invalid"};

namespace {

const char* TagName(TDTxmlTags T) { return DTxmlTagNames[size_t(T)]; }

TDTxmlTags TagOf(std::string_view Name) {
  for (int32_t K = 0; K < datatable::xmlInvalid; ++K)
    if (Name == DTxmlTagNames[size_t(K)]) return static_cast<TDTxmlTags>(K);
  return datatable::xmlInvalid;
}

// Elements that hold others: applied when they open, so that a "vardef" sets the scale type
// before its identifiers arrive.
bool IsContainer(TDTxmlTags T) {
  return T == xmlDataTableId || T == xmlColNames || T == xmlRowNames || T == xmlColAttrib ||
         T == xmlRowAttrib || T == xmlDataCells || T == xmlVarType;
}

void AppendInt(std::string& Out, int64_t X) { Out += std::to_string(X); }

}  // namespace

namespace datatable_detail {

std::string XmlText(const TDataTable& T, bool CreateHeader, int32_t Precision,
                    const std::string& DataID) {
  using matrix_detail::AppendXmlValue;
  const int32_t Nc = T.NrOfColumns(), Nr = T.NrOfRows();
  std::string Out;
  if (CreateHeader) Out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  Out += "<datatable dataid=\"" + XmlEscape(matrix_detail::XmlDataID(DataID)) + "\">\n";
  Out += "  <comment>" + XmlEscape(T.Comment()) + "</comment>\n";
  Out += "  <size numcols=\"";
  AppendInt(Out, Nc);
  Out += "\" numrows=\"";
  AppendInt(Out, Nr);
  Out += "\"></size>\n";
  const auto List = [&](TDTxmlTags ListTag, TDTxmlTags ItemTag, const char* IxName, int32_t N,
                        auto&& Text) {
    Out += std::string("  <") + TagName(ListTag) + ">\n";
    for (int32_t K = 1; K <= N; ++K) {
      Out += std::string("    <") + TagName(ItemTag) + ' ' + IxName + "=\"";
      AppendInt(Out, K);
      Out += "\">" + Text(K) + "</" + TagName(ItemTag) + ">\n";
    }
    Out += std::string("  </") + TagName(ListTag) + ">\n";
  };
  List(xmlColNames, xmlColId, "ix", Nc, [&](int32_t K) { return XmlEscape(T.ColName(K)); });
  List(xmlRowNames, xmlRowId, "iy", Nr, [&](int32_t K) { return XmlEscape(T.RowName(K)); });
  List(xmlColAttrib, xmlColId, "ix", Nc, [&](int32_t K) { return std::to_string(T.ColAttrib(K)); });
  List(xmlRowAttrib, xmlRowId, "iy", Nr, [&](int32_t K) { return std::to_string(T.RowAttrib(K)); });
  for (int32_t C = 1; C <= Nc; ++C) {
    Out += "  <vardef ix=\"";
    AppendInt(Out, C);
    Out += std::string("\" scale=\"") + MScaleTypeNames[T.MScaleType(C)] + "\">\n";
    for (int32_t Ord = 0; Ord < MaxNominalIDs; ++Ord) {
      const std::string ID = T.NominalID(C, Ord);
      if (ID.empty()) continue;
      Out += "    <idf ord=\"";
      AppendInt(Out, Ord);
      Out += "\">" + XmlEscape(ID) + "</idf>\n";
    }
    Out += "  </vardef>\n";
  }
  Out += "  <datacells>\n";
  const TDouble2DArray& V = T.NumericData()->Data();
  for (int32_t C = 1; C <= Nc; ++C)
    for (int32_t R = 1; R <= Nr; ++R) {
      Out += "    <cell ix=\"";
      AppendInt(Out, C);
      Out += "\" iy=\"";
      AppendInt(Out, R);
      if (const uint8_t S = T.CellState(C, R); S != 0) {
        Out += "\" state=\"";
        AppendInt(Out, S);
      }
      Out += "\">";
      AppendXmlValue(Out, V[size_t(C - 1)][size_t(R - 1)], Precision);
      Out += "</cell>\n";
    }
  Out += "  </datacells>\n";
  Out += "</datatable>\n";
  return Out;
}

// Applies the elements of the chosen "datatable" element to a fresh table, in document order.
class TXmlReader : public TXmlScanHandler {
 public:
  TXmlReader(TDataTable& Tmp, const std::string& DataID, int64_t MaxCells)
      : FT(Tmp), FDataID(matrix_detail::XmlDataID(DataID)), FMax(MaxCells) {}

  int32_t Start(int32_t Depth, std::string_view Name, const char* const* Atts) override {
    if (FActive) {
      const TDTxmlTags T = TagOf(Name);
      FPath.push_back({T, XmlAttributeText(Atts), 0});
      if (T == xmlVarType)
        matrix_detail::XmlIndexAttribute(FPath.back().Attributes, "ix", FPath.back().Column);
      if (IsContainer(T)) return Apply(T, "");
      return xrOK;
    }
    if (Found || Name != TagName(xmlDataTableId)) return xrOK;
    std::string Id;
    for (const char* const* A = Atts; A[0]; A += 2)
      if (std::string_view(A[0]) == "dataid") Id = matrix_detail::XmlDataID(A[1]);
    if (!FDataID.empty() && Id != FDataID) return xrOK;
    FActive = true;
    FDepth = Depth;
    return xrOK;
  }

  int32_t End(int32_t Depth, std::string_view, std::string& Text) override {
    if (!FActive) return xrOK;
    if (Depth == FDepth) {
      FActive = false;
      Found = true;
      return xrOK;
    }
    const TDTxmlTags T = FPath.back().Tag;
    const int32_t R = IsContainer(T) ? xrOK : Apply(T, Text);
    FPath.pop_back();
    return R;
  }

  bool Found = false;

  // Reads the first matching table at or after byte Pos of Text aside and moves it into Into.
  static int32_t Load(TDataTable& Into, std::string_view Text, int64_t& Pos,
                      const std::string& DataID);
  // ProcessXmlTag with a bound on the announced cells.
  static int32_t ApplyTag(TDataTable& T, TDTxmlTags Tag, std::string_view Attributes,
                          std::string_view Content, std::string_view Context, int32_t Counter,
                          int64_t MaxCells);

 private:
  int32_t Apply(TDTxmlTags T, std::string_view Content) {
    const TFrame& Self = FPath.back();
    const TFrame* Parent = FPath.size() >= 2 ? &FPath[FPath.size() - 2] : nullptr;
    const std::string_view Context = Parent ? DTxmlTagNames[size_t(Parent->Tag)] : "datatable";
    const int32_t R =
        ApplyTag(FT, T, Self.Attributes, Content, Context, Parent ? Parent->Column : 0, FMax);
    return R == -1 ? xrInvalid : R < 0 ? R : xrOK;
  }

  struct TFrame {
    TDTxmlTags Tag;
    std::string Attributes;
    int32_t Column;
  };
  TDataTable& FT;
  std::string FDataID;
  int64_t FMax;
  bool FActive = false;
  int32_t FDepth = 0;
  std::vector<TFrame> FPath;  // open elements inside the table
};

}  // namespace datatable_detail

int32_t TDataTable::WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader, int32_t Precision,
                                       const std::string& DataID) const {
  if (!Out.good()) return xrCannotWrite;
  std::string T;
  try {
    T = datatable_detail::XmlText(*this, CreateHeader, Precision, DataID);
  } catch (const std::bad_alloc&) {
    return xrCannotWrite;
  }
  Out.write(T.data(), std::streamsize(T.size()));
  return Out.good() ? xrOK : xrCannotWrite;
}

int32_t TDataTable::WriteToXMLStream(TStream& OutStream, bool CreateHeader, int32_t Precision,
                                     const std::string& DataID) const {
  std::string T;
  try {
    T = datatable_detail::XmlText(*this, CreateHeader, Precision, DataID);
  } catch (const std::bad_alloc&) {
    return xrCannotWrite;
  }
  return OutStream.Write(T.data(), int64_t(T.size())) == int64_t(T.size()) ? xrOK : xrCannotWrite;
}

int32_t TDataTable::SaveAsXMLFile(const std::string& FName, int32_t Precision,
                                  const std::string& DataID) const {
  try {
    return WriteWholeFile(FName, datatable_detail::XmlText(*this, true, Precision, DataID))
               ? xrOK
               : xrCannotWrite;
  } catch (const std::bad_alloc&) {
    return xrCannotWrite;
  }
}

int32_t TDataTable::ReadFromXMLString(std::string_view InString, int64_t& StartAt,
                                      const std::string& DataID) {
  int64_t Pos = std::max<int64_t>(StartAt, 1) - 1;
  const int32_t R = datatable_detail::TXmlReader::Load(*this, InString, Pos, DataID);
  if (R == xrOK) StartAt = Pos + 1;
  return R;
}

int32_t TDataTable::ReadFromXMLStream(TStream& InStream, const std::string& DataID) {
  const int64_t At = InStream.Position();
  std::string Text;
  if (const int32_t R = nux::ReadXmlText(InStream, Text); R != xrOK) return R;
  int64_t Pos = 0;
  const int32_t R = datatable_detail::TXmlReader::Load(*this, Text, Pos, DataID);
  InStream.SetPosition(At + (R == xrOK ? Pos : 0));
  return R;
}

int32_t TDataTable::ReadFromOpenXMLFile(std::istream& In, const std::string& DataID) {
  const std::streampos At = In.tellg();
  std::string Text;
  if (const int32_t R = nux::ReadXmlText(In, Text); R != xrOK) return R;
  int64_t Pos = 0;
  const int32_t R = datatable_detail::TXmlReader::Load(*this, Text, Pos, DataID);
  In.clear();
  if (At != std::streampos(-1)) In.seekg(At + std::streamoff(R == xrOK ? Pos : 0));
  return R;
}

int32_t TDataTable::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  std::ifstream In(FName, std::ios::binary);
  if (!In) return xrCannotOpen;
  std::string Text;
  if (const int32_t R = nux::ReadXmlText(In, Text); R != xrOK) return R;
  int64_t Pos = 0;
  return datatable_detail::TXmlReader::Load(*this, Text, Pos, DataID);
}

namespace datatable_detail {

int32_t TXmlReader::Load(TDataTable& Into, std::string_view Text, int64_t& Pos,
                         const std::string& DataID) {
  std::unique_ptr<TDataTable> Tmp;
  try {
    Tmp = std::make_unique<TDataTable>();
  } catch (const ENUXDataTableError&) {
    return xrRefused;
  }
  // As for the matrices: a small document cannot ask for a huge table.
  const int64_t Rest = static_cast<int64_t>(Text.size()) - Pos;
  const int64_t MaxCells = std::min<int64_t>(MaxXmlMatrixCells, (int64_t(1) << 20) + 64 * Rest);
  TXmlLimits Limits;
  Limits.MaxElements = std::numeric_limits<int64_t>::max();  // the reader keeps no tree
  int64_t P = Pos;
  while (true) {
    TXmlReader H(*Tmp, DataID, MaxCells);
    const int32_t R = ScanXmlElement(Text, P, H, Limits);
    if (R != xrOK) return R;
    if (H.Found) break;
  }
  // Everything was read aside; move it in.
  TDataTable::TLayout L;
  L.Nc = Tmp->FNrOfCols;
  L.Nr = Tmp->FNrOfRows;
  L.CState.swap(Tmp->FCState);
  L.ColName.swap(Tmp->FColName);
  L.RowName.swap(Tmp->FRowName);
  L.ColAtt.swap(Tmp->FColAtt);
  L.RowAtt.swap(Tmp->FRowAtt);
  L.VType.swap(Tmp->FVType);
  L.HasValues = true;
  L.Values = Tmp->FMat->Data();
  const int32_t OldCols = Into.FNrOfCols, OldRows = Into.FNrOfRows;
  Into.Install(L);
  Into.FComment.swap(Tmp->FComment);
  Pos = P;
  if (OldCols != Into.FNrOfCols || OldRows != Into.FNrOfRows) Into.FireResize(OldCols, OldRows);
  Into.ChangedData();
  Into.ChangedNames();
  Into.ChangedAttrib();
  Into.ChangedCellStates();
  Into.ChangedSetup();
  return xrOK;
}

}  // namespace datatable_detail

int32_t TDataTable::ProcessXmlTag(TDTxmlTags Tag, std::string_view Attributes,
                                  std::string_view Content, std::string_view Context,
                                  int32_t Counter) {
  return datatable_detail::TXmlReader::ApplyTag(*this, Tag, Attributes, Content, Context, Counter,
                                                MaxXmlMatrixCells);
}

namespace datatable_detail {

int32_t TXmlReader::ApplyTag(TDataTable& T, TDTxmlTags Tag, std::string_view Attributes,
                             std::string_view Content, std::string_view Context, int32_t Counter,
                             int64_t MaxCells) {
  using matrix_detail::ScanXmlInt;
  using matrix_detail::XmlIndexAttribute;
  int32_t Ix = 0, V = 0;
  switch (Tag) {
    case datatable::xmlComment:
      T.SetComment(Content);
      return 0;
    case xmlSize: {
      int32_t Nc = 0, Nr = 0;
      if (!XmlIndexAttribute(Attributes, "numcols", Nc) ||
          !XmlIndexAttribute(Attributes, "numrows", Nr) || Nc < 1 || Nr < 1)
        return xrInvalid;
      if (int64_t(Nc) * Nr > MaxCells) return xrRefused;
      try {
        T.Resize(Nc, Nr);
      } catch (const ENUXError&) {
        return xrRefused;
      } catch (const std::bad_alloc&) {
        return xrRefused;
      }
      return 0;
    }
    case xmlColId:
      if (!XmlIndexAttribute(Attributes, "ix", Ix)) return 0;
      if (Context == TagName(xmlColNames))
        T.SetColName(Ix, Content);
      else if (Context == TagName(xmlColAttrib) && ScanXmlInt(Content, V))
        T.SetColAttrib(Ix, V);
      return 0;
    case xmlRowId:
      if (!XmlIndexAttribute(Attributes, "iy", Ix)) return 0;
      if (Context == TagName(xmlRowNames))
        T.SetRowName(Ix, Content);
      else if (Context == TagName(xmlRowAttrib) && ScanXmlInt(Content, V))
        T.SetRowAttrib(Ix, V);
      return 0;
    case xmlCellID: {
      int32_t Iy = 0, State = 0;
      if (!XmlIndexAttribute(Attributes, "ix", Ix) || !XmlIndexAttribute(Attributes, "iy", Iy) ||
          !T.ValidCell(Ix, Iy))
        return 0;
      double X = 0.0;
      if (!XmlToNumber(Content, X)) X = 0.0;
      T.SetElem(Ix, Iy, X);
      if (XmlIndexAttribute(Attributes, "state", State) && State >= 0 && State <= 255)
        T.SetCellState(Ix, Iy, static_cast<uint8_t>(State));
      return 0;
    }
    case xmlVarType: {
      if (!XmlIndexAttribute(Attributes, "ix", Ix) || Ix < 1 || Ix > T.FNrOfCols) return 0;
      const size_t P = Attributes.find("scale=\"");
      if (P == std::string_view::npos) return 0;
      const std::string_view S = Attributes.substr(P + 7, Attributes.find('"', P + 7) - (P + 7));
      for (size_t K = 0; K < MScaleTypeNames.size(); ++K)
        if (SameText(S, MScaleTypeNames[K])) T.SetMScaleType(Ix, static_cast<TMScaleType>(K));
      return 0;
    }
    case xmlVarIdentifier: {
      int32_t Ord = -1;
      if (Counter < 1 || Counter > T.FNrOfCols || !XmlIndexAttribute(Attributes, "ord", Ord) ||
          Ord < 0 || Ord >= MaxNominalIDs)
        return 0;
      T.SetNominalID(Counter, Ord, Content);
      return 0;
    }
    case xmlDataTableEndId:
      return 1;
    case datatable::xmlInvalid:
      return -1;
    default:
      return 0;
  }
}

}  // namespace datatable_detail

}  // namespace nux
