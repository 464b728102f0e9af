// The learner's model files. Both are read whole and checked before anything is applied, so a
// failed load leaves the learner as it was.
//
// XML: the settings as elements of "membasedlearner", then "modeldata" holding the table:
//   <datatable dataid="MBLModel"> <comment>, <size>columns rows</size>,
//     <colnames><col nr="c">name</col>...</colnames>, <rownames><row nr="r">...</rownames>,
//     <colattrib>a1 ... an</colattrib>, <rowattrib>...</rowattrib>,
//     <vardef col="c" scale="s"><idf ord="o">identifier</idf>...</vardef> per column,
//     <datacells><cell row="r" states="s1 ... sn">v1 ... vn</cell>...</datacells>
//   </datatable>
// Texts are escaped and values written in their shortest round-trip form.
//
// Binary: 4-byte little-endian integers, 8-byte little-endian doubles, single bytes, and lines
// ending in LF; a string item is its byte length followed by the line, and the length is what
// the reader takes, so texts holding line breaks survive. Identifier lines have no length: a
// line break inside an identifier is written as a blank.
#include <algorithm>
#include <cstring>

#include "nux/datatable/datatable.h"
#include "nux/frame/errors.h"
#include "nux/frame/streamio.h"
#include "nux/frame/stringl.h"
#include "nux/frame/xmlio.h"
#include "nux/host/atomicfile.h"
#include "nux/host/exceptions.h"
#include "nux/host/streams.h"
#include "nux/matrix/matrix.h"
#include "nux/membl/membl.h"
#include "nux/membl/membl_impl.h"

namespace nux {

using namespace membl;

namespace {

const char* Tag(TMBLxmlTags T) { return MBLxmlTagNames[size_t(T)]; }
constexpr const char* TableTag = "datatable";
constexpr const char* Signature = "TMemBasedLearner/Merivo";

std::string XmlLine(TMBLxmlTags T, std::string_view Text) {
  return std::string("<") + Tag(T) + ">" + XmlEscape(Text) + "</" + Tag(T) + ">\n";
}

// ---- The model table as XML ----

// Appends X to a blank-separated list.
void AddNumber(std::string& List, int64_t X) {
  if (!List.empty()) List += ' ';
  List += std::to_string(X);
}

std::string TableXml(const TDataTable& T) {
  const int32_t Nc = T.NrOfColumns(), Nr = T.NrOfRows();
  TXmlWriter W;
  W.Open(TableTag, {{"dataid", "MBLModel"}});
  W.Element("comment", T.Comment());
  W.Element("size", std::to_string(Nc) + " " + std::to_string(Nr));
  W.Open("colnames");
  for (int32_t C = 1; C <= Nc; ++C) W.Element("col", T.ColName(C), {{"nr", std::to_string(C)}});
  W.Close();
  W.Open("rownames");
  for (int32_t R = 1; R <= Nr; ++R) W.Element("row", T.RowName(R), {{"nr", std::to_string(R)}});
  W.Close();
  std::string A;
  for (int32_t C = 1; C <= Nc; ++C) AddNumber(A, T.ColAttrib(C));
  W.Element("colattrib", A);
  A.clear();
  for (int32_t R = 1; R <= Nr; ++R) AddNumber(A, T.RowAttrib(R));
  W.Element("rowattrib", A);
  for (int32_t C = 1; C <= Nc; ++C) {
    W.Open("vardef", {{"col", std::to_string(C)}, {"scale", std::to_string(T.MScaleType(C))}});
    for (int32_t O = 0; O < MaxNominalIDs; ++O) {
      const std::string Id = T.NominalID(C, O);
      if (!Id.empty()) W.Element("idf", Id, {{"ord", std::to_string(O)}});
    }
    W.Close();
  }
  W.Open("datacells");
  const TDouble2DArray& V = T.NumericData()->Data();
  TDoubleArray Row(static_cast<size_t>(Nc));
  for (int32_t R = 1; R <= Nr; ++R) {
    std::string S;
    for (int32_t C = 1; C <= Nc; ++C) {
      Row[size_t(C - 1)] = V[size_t(C - 1)][size_t(R - 1)];
      AddNumber(S, T.CellState(C, R));
    }
    W.Numbers("cell", Row.data(), Row.size(), {{"row", std::to_string(R)}, {"states", S}});
  }
  W.Close();
  W.Close();
  return W.Text();
}

// Exactly Count whole numbers in Lo..Hi.
bool ToInts(std::string_view Text, size_t Count, int32_t Lo, int32_t Hi, TIntArray& Out) {
  const TStrArray Tok = Tokenize(Text, " \t\r\n");
  if (Tok.size() != Count) return false;
  Out.resize(Count);
  for (size_t I = 0; I < Count; ++I)
    if (!XmlToInt32(Tok[I], Out[I]) || Out[I] < Lo || Out[I] > Hi) return false;
  return true;
}

// The 1-based position attribute Name in 1..N.
bool Position(const TXmlElement& E, const char* Name, int32_t N, int32_t& P) {
  const std::string* S = E.Attribute(Name);
  return S && XmlToInt32(*S, P) && P >= 1 && P <= N;
}

const std::string* Single(const TXmlElement& E, const char* Name) {
  return E.CountChildren(Name) == 1 ? &E.Child(Name)->Text : nullptr;
}

// Reads a table element into a new table; nullptr for anything malformed.
std::unique_ptr<TDataTable> ReadTable(const TXmlElement& E) {
  TIntArray Size;
  const std::string* SizeText = Single(E, "size");
  if (!SizeText || !ToInts(*SizeText, 2, 1, INT32_MAX, Size)) return nullptr;
  const int32_t Nc = Size[0], Nr = Size[1];
  const TXmlElement *Cn = E.Child("colnames"), *Rn = E.Child("rownames"),
                    *Cells = E.Child("datacells");
  const std::string *Ca = Single(E, "colattrib"), *Ra = Single(E, "rowattrib"),
                    *Comment = Single(E, "comment");
  // The announced counts must match what the document holds before anything is allocated.
  if (!Cn || !Rn || !Cells || !Ca || !Ra || !Comment || Cn->CountChildren("col") != Nc ||
      Rn->CountChildren("row") != Nr || Cells->CountChildren("cell") != Nr ||
      E.CountChildren("vardef") != Nc)
    return nullptr;
  int64_t CellText = 0;
  for (const TXmlElement& C : Cells->Children) CellText += int64_t(C.Text.size());
  if (CellText < int64_t(Nr) * (2 * int64_t(Nc) - 1)) return nullptr;
  TIntArray ColAtt, RowAtt, States;
  if (!ToInts(*Ca, size_t(Nc), INT32_MIN, INT32_MAX, ColAtt) ||
      !ToInts(*Ra, size_t(Nr), INT32_MIN, INT32_MAX, RowAtt))
    return nullptr;
  auto T = std::make_unique<TDataTable>();
  TDouble2DArray Values;
  try {
    T->Resize(Nc, Nr);
    Values.assign(size_t(Nc), TDoubleArray(size_t(Nr), 0.0));
  } catch (const std::exception&) {
    return nullptr;
  }
  T->SetComment(*Comment);
  std::vector<bool> Seen(size_t(std::max(Nc, Nr)), false);
  for (const TXmlElement& C : Cn->Children) {
    int32_t P;
    if (C.Name != "col" || !Position(C, "nr", Nc, P) || Seen[size_t(P - 1)]) return nullptr;
    Seen[size_t(P - 1)] = true;
    T->SetColName(P, C.Text);
  }
  std::fill(Seen.begin(), Seen.end(), false);
  for (const TXmlElement& R : Rn->Children) {
    int32_t P;
    if (R.Name != "row" || !Position(R, "nr", Nr, P) || Seen[size_t(P - 1)]) return nullptr;
    Seen[size_t(P - 1)] = true;
    T->SetRowName(P, R.Text);
  }
  for (int32_t C = 1; C <= Nc; ++C) T->SetColAttrib(C, ColAtt[size_t(C - 1)]);
  for (int32_t R = 1; R <= Nr; ++R) T->SetRowAttrib(R, RowAtt[size_t(R - 1)]);
  std::fill(Seen.begin(), Seen.end(), false);
  for (const TXmlElement& V : E.Children) {
    if (V.Name != "vardef") continue;
    int32_t P, Scale;
    const std::string* S = V.Attribute("scale");
    if (!Position(V, "col", Nc, P) || Seen[size_t(P - 1)] || !S || !XmlToInt32(*S, Scale) ||
        Scale < stUnknown || Scale > stRatio)
      return nullptr;
    Seen[size_t(P - 1)] = true;
    T->SetMScaleType(P, TMScaleType(Scale));
    for (const TXmlElement& Id : V.Children) {
      int32_t O;
      const std::string* Os = Id.Attribute("ord");
      if (Id.Name != "idf" || !Os || !XmlToInt32(*Os, O) || O < 0 || O >= MaxNominalIDs)
        return nullptr;
      T->SetNominalID(P, O, Id.Text);
    }
  }
  std::fill(Seen.begin(), Seen.end(), false);
  TDoubleArray Row;
  TInt2DArray St(size_t(Nc), TIntArray(size_t(Nr), 0));
  for (const TXmlElement& C : Cells->Children) {
    int32_t P;
    const std::string* S = C.Attribute("states");
    if (C.Name != "cell" || !Position(C, "row", Nr, P) || Seen[size_t(P - 1)] || !S ||
        !ToInts(*S, size_t(Nc), 0, 255, States) || !XmlToNumbers(C.Text, size_t(Nc), Row))
      return nullptr;
    Seen[size_t(P - 1)] = true;
    for (int32_t K = 0; K < Nc; ++K) {
      Values[size_t(K)][size_t(P - 1)] = Row[size_t(K)];
      St[size_t(K)][size_t(P - 1)] = States[size_t(K)];
    }
  }
  T->NumericData()->SetValues(Values);
  for (int32_t C = 1; C <= Nc; ++C)
    for (int32_t R = 1; R <= Nr; ++R)
      T->SetCellState(C, R, uint8_t(St[size_t(C - 1)][size_t(R - 1)]));
  return T;
}

// ---- Binary items ----

class TBinWriter {
 public:
  void Int(int32_t V) { WriteLongintToStream(S, V); }
  void Dbl(double V) { WriteExtendedToStream(S, V); }
  void Byte(uint8_t V) { S.WriteBuffer(&V, 1); }
  void Line(std::string_view T) {
    S.WriteBuffer(T.data(), int64_t(T.size()));
    Byte('\n');
  }
  void Str(std::string_view T) {
    Int(int32_t(T.size()));
    Line(T);
  }
  TMemoryStream S;
};

class TBinReader {
 public:
  TBinReader(const uint8_t* P, size_t N) : FP(P), FN(N) {}
  bool Ok() const { return FOk; }
  size_t Left() const { return FN - FPos; }
  int32_t Int() {
    uint8_t B[4] = {};
    Take(B, 4);
    return int32_t(uint32_t(B[0]) | uint32_t(B[1]) << 8 | uint32_t(B[2]) << 16 |
                   uint32_t(B[3]) << 24);
  }
  double Dbl() {
    uint8_t B[8] = {};
    Take(B, 8);
    uint64_t U = 0;
    for (int I = 7; I >= 0; --I) U = U << 8 | B[I];
    double V;
    std::memcpy(&V, &U, sizeof V);
    return V;
  }
  uint8_t Byte() {
    uint8_t B = 0;
    Take(&B, 1);
    return B;
  }
  // A line without length: up to the next LF (at most MaxLine bytes).
  std::string Line() {
    constexpr size_t MaxLine = 4096;
    std::string T;
    while (FOk) {
      const uint8_t B = Byte();
      if (!FOk || B == '\n') break;
      if (T.size() == MaxLine) FOk = false;
      T += char(B);
    }
    return T;
  }
  // A string item: the length decides, then the line's LF must follow.
  std::string Str() {
    const int32_t L = Int();
    if (!FOk || L < 0 || size_t(L) + 1 > Left()) {
      FOk = false;
      return {};
    }
    std::string T(reinterpret_cast<const char*>(FP + FPos), size_t(L));
    FPos += size_t(L);
    if (Byte() != '\n') FOk = false;
    return T;
  }

 private:
  void Take(uint8_t* B, size_t N) {
    if (!FOk || N > Left()) {
      FOk = false;
      return;
    }
    std::memcpy(B, FP + FPos, N);
    FPos += N;
  }
  const uint8_t* FP;
  size_t FN;
  size_t FPos = 0;
  bool FOk = true;
};

// Keeps the table's handlers across an Assign, which would copy the source's.
struct TTableEvents {
  explicit TTableEvents(const TDataTable& T)
      : Change(T.OnChange),
        Setup(T.OnChangeSetup),
        Names(T.OnChangeNames),
        States(T.OnChangeCellState),
        Attrib(T.OnChangeAttrib),
        Resize(T.OnResize),
        Export(T.OnExportText),
        Sort(T.OnSortExchange),
        Percent(T.OnPercentDone) {}
  void Restore(TDataTable& T) const {
    T.OnChange = Change;
    T.OnChangeSetup = Setup;
    T.OnChangeNames = Names;
    T.OnChangeCellState = States;
    T.OnChangeAttrib = Attrib;
    T.OnResize = Resize;
    T.OnExportText = Export;
    T.OnSortExchange = Sort;
    T.OnPercentDone = Percent;
  }
  TNotifyEvent Change, Setup, Names, States, Attrib;
  TDataTableResizeEvent Resize;
  TExportTextEvent Export;
  TSortExchgEvent Sort;
  TOnPercentDoneEvent Percent;
};

}  // namespace

// ---- Applying a read model ----

void TMemBasedLearner::Commit(TStaged& S) {
  FComment = S.Comment;
  FModelName = S.ModelName;
  FDistMode = S.DistMode;
  SetScalingMode(S.ScalingMode);
  FLocModel = S.LocalModel;
  if (S.Table) {
    const TTableEvents Keep(*FModelData);
    FModelData->Assign(S.Table.get());
    Keep.Restore(*FModelData);
    Stale(true);
  }
  // After the table, so that the setter's limit is the loaded row count.
  if (S.K > 0) SetNumNearestNb(S.K);
}

int32_t TMemBasedLearner::ApplyElement(TMBLxmlTags T, const TXmlElement* Elem,
                                       const std::string& Text, TStaged& S) const {
  auto Lookup = [&](const auto& Names) {
    TStrArray L(Names.begin(), Names.end());
    return StringIx(StripLTBlanks(Text), L, false) - 1;
  };
  switch (T) {
    case xmlMBLId:
      return 0;
    case xmlComment:
      S.Comment = Text;
      return 0;
    case xmlModelName:
      S.ModelName = Text;
      return 0;
    case xmlDistMode:
      if (const int32_t I = Lookup(MBLDistModeID); I >= 0) S.DistMode = TMBLDistMode(I);
      return 0;
    case xmlSclMode:
      if (const int32_t I = Lookup(MBLScalingModeID); I >= 0) S.ScalingMode = TMBLScalingMode(I);
      return 0;
    case xmlLocalModel:
      if (const int32_t I = Lookup(MBLLocalModelID); I >= 0) S.LocalModel = TMBLLocalModel(I);
      return 0;
    case xmlNumNNb: {
      int32_t K;
      if (!XmlToInt32(Text, K) || K < 1) return -4;
      S.K = K;
      return 0;
    }
    case xmlModelData: {
      TXmlElement Parsed;
      const TXmlElement* Tab = nullptr;
      if (Elem) {
        Tab = Elem->Child(TableTag);
      } else if (ParseXml(Text, Parsed) == xrOK) {
        Tab = Parsed.FindWithDataID(TableTag, "");
      }
      if (!Tab) return -4;
      S.Table = ReadTable(*Tab);
      return S.Table ? 1 : -4;
    }
    default:
      return -1;
  }
}

int32_t TMemBasedLearner::ProcessXmlTag(TMBLxmlTags Tag, const std::string&,
                                        const std::string& Text, const std::string&, int32_t) {
  TStaged S{FComment, FModelName, 0, FDistMode, FScalingMode, FLocModel, nullptr};
  const int32_t R = ApplyElement(Tag, nullptr, Text, S);
  if (R >= 0) Commit(S);
  return R;
}

// ---- XML ----

std::string TMemBasedLearner::XmlText(const std::string& DataID) const {
  std::string S = "<?xml version=\"1.0\"?>\n";
  S += std::string("<") + Tag(xmlMBLId) + " sig=\"Quorvix\" vers=\"1.001\" id=\"" +
       XmlEscape(DataID) + "\">\n";
  S += "<!-- TMemBasedLearner / Merivo -->\n";
  S += XmlLine(xmlComment, FComment);
  S += XmlLine(xmlModelName, FModelName);
  S += XmlLine(xmlNumNNb, std::to_string(FNumNearestNb));
  S += XmlLine(xmlDistMode, LowerCase(MBLDistModeID[size_t(FDistMode)]));
  S += XmlLine(xmlSclMode, LowerCase(MBLScalingModeID[size_t(FScalingMode)]));
  S += XmlLine(xmlLocalModel, LowerCase(MBLLocalModelID[size_t(FLocModel)]));
  S += std::string("<") + Tag(xmlModelData) + ">\n";
  S += TableXml(*FModelData);
  S += std::string("</") + Tag(xmlModelData) + ">\n</" + Tag(xmlMBLId) + ">\n";
  return S;
}

void TMemBasedLearner::StoreModelXML(const std::string& FName, const std::string& DataID) const {
  const std::string Text = XmlText(DataID);
  WriteFileAtomically(FName, Text.data(), Text.size());
}

int32_t TMemBasedLearner::LoadModelXML(const std::string& FName, std::string& DataId) {
  DataId.clear();
  TXmlElement Root;
  const int32_t R = ReadXmlFile(FName, Root);
  if (R == xrCannotOpen) return -2;
  if (R != xrOK) return -3;
  const TXmlElement* M = Root.FindWithDataID(Tag(xmlMBLId), "");
  if (!M) return -1;
  if (const std::string* Id = M->Attribute("id")) DataId = *Id;
  TStaged S{FComment, FModelName, 0, FDistMode, FScalingMode, FLocModel, nullptr};
  for (const TXmlElement& E : M->Children) {
    TMBLxmlTags T = xmlInvalid;
    for (int32_t I = xmlMBLId; I < xmlInvalid; ++I)
      if (E.Name == Tag(TMBLxmlTags(I))) T = TMBLxmlTags(I);
    const int32_t Step = ApplyElement(T, &E, E.Text, S);
    if (Step == 1) {
      Commit(S);
      return 0;
    }
    if (Step != 0) return Step;
  }
  return -1;
}

// ---- Binary ----

void TMemBasedLearner::StoreModelBin(const std::string& FName, const std::string& DataID) const {
  const TDataTable& T = *FModelData;
  const int32_t Nc = T.NrOfColumns(), Nr = T.NrOfRows();
  TBinWriter W;
  W.Str(Signature);
  W.Str("vers=1.001");
  W.Str("DataID=" + DataID);
  W.Str(FComment);
  W.Str(FModelName);
  W.Int(FNumNearestNb);
  W.Int(FDistMode);
  W.Int(FScalingMode);
  W.Int(FLocModel);
  W.Str(T.Comment());
  W.Int(Nc);
  W.Int(Nr);
  W.Int(MaxNominalIDs);
  for (int32_t C = 1; C <= Nc; ++C) {
    W.Int(T.MScaleType(C));
    if (!IsCategorical(T.MScaleType(C))) continue;
    for (int32_t O = 0; O < MaxNominalIDs; ++O) {
      std::string Id = T.NominalID(C, O);
      std::replace_if(
          Id.begin(), Id.end(), [](char Ch) { return Ch == '\n' || Ch == '\r'; }, ' ');
      W.Line(Id);
    }
  }
  for (int32_t C = 1; C <= Nc; ++C) W.Str(StripLTBlanks(T.ColName(C)));
  for (int32_t R = 1; R <= Nr; ++R) W.Str(StripLTBlanks(T.RowName(R)));
  for (int32_t C = 1; C <= Nc; ++C) W.Int(T.ColAttrib(C));
  for (int32_t R = 1; R <= Nr; ++R) W.Int(T.RowAttrib(R));
  for (int32_t R = 1; R <= Nr; ++R)
    for (int32_t C = 1; C <= Nc; ++C) W.Dbl(T.Elem(C, R));
  for (int32_t R = 1; R <= Nr; ++R)
    for (int32_t C = 1; C <= Nc; ++C) W.Byte(T.CellState(C, R));
  W.S.SaveToFile(FName);
}

int32_t TMemBasedLearner::LoadModelBin(const std::string& FName, std::string& DataId) {
  TMemoryStream File;
  try {
    File.LoadFromFile(FName);
  } catch (const std::exception&) {
    return -2;
  }
  TBinReader B(File.Memory(), size_t(File.Size()));
  const std::string Sig = B.Str();
  if (!B.Ok()) return -2;
  if (Sig != Signature) return -1;
  const std::string Version = B.Str();
  std::string Id = B.Str();
  const size_t At = LowerCase(Id).find("dataid=");
  if (At != std::string::npos) Id.erase(At, 7);
  TStaged S;
  S.Comment = B.Str();
  S.ModelName = B.Str();
  S.K = B.Int();
  const int32_t Dm = B.Int(), Sm = B.Int(), Lm = B.Int();
  const std::string TabComment = B.Str();
  const int32_t Nc = B.Int(), Nr = B.Int(), NSlots = B.Int();
  if (!B.Ok()) return -2;
  if (S.K < 1 || Dm < mblDistEuclid || Dm > mblDistMahalanobis || Sm < mblUnscaled ||
      Sm > mblStandardized || Lm < mblLMAverage || Lm > mblLMRegress || Nc < 1 || Nr < 1 ||
      NSlots < 0)
    return -3;
  S.DistMode = TMBLDistMode(Dm);
  S.ScalingMode = TMBLScalingMode(Sm);
  S.LocalModel = TMBLLocalModel(Lm);
  // Every cell takes nine bytes of the file: a size the file cannot hold is not allocated.
  if (int64_t(Nc) * int64_t(Nr) > int64_t(B.Left() / 9)) return -2;
  auto T = std::make_unique<TDataTable>();
  try {
    T->Resize(Nc, Nr);
  } catch (const std::exception&) {
    return -2;
  }
  T->SetComment(TabComment);
  const int32_t Shift = Version == "vers=1.000" ? 1 : 0;
  for (int32_t C = 1; C <= Nc; ++C) {
    const int32_t Scale = B.Int();
    if (!B.Ok()) return -2;
    if (Scale < stUnknown || Scale > stRatio) return -3;
    T->SetMScaleType(C, TMScaleType(Scale));
    if (!IsCategorical(TMScaleType(Scale))) continue;
    for (int32_t J = 1; J <= NSlots; ++J) {
      const std::string Line = B.Line();
      if (!B.Ok()) return -2;
      T->SetNominalID(C, J - 1 + Shift, Line);
    }
  }
  for (int32_t C = 1; C <= Nc && B.Ok(); ++C) T->SetColName(C, B.Str());
  for (int32_t R = 1; R <= Nr && B.Ok(); ++R) T->SetRowName(R, B.Str());
  for (int32_t C = 1; C <= Nc && B.Ok(); ++C) T->SetColAttrib(C, B.Int());
  for (int32_t R = 1; R <= Nr && B.Ok(); ++R) T->SetRowAttrib(R, B.Int());
  if (!B.Ok() || int64_t(Nc) * int64_t(Nr) > int64_t(B.Left() / 9)) return -2;
  TDouble2DArray Values(static_cast<size_t>(Nc), TDoubleArray(static_cast<size_t>(Nr)));
  for (int32_t R = 0; R < Nr; ++R)
    for (int32_t C = 0; C < Nc; ++C) Values[size_t(C)][size_t(R)] = B.Dbl();
  T->NumericData()->SetValues(Values);
  for (int32_t R = 1; R <= Nr; ++R)
    for (int32_t C = 1; C <= Nc; ++C) T->SetCellState(C, R, B.Byte());
  if (!B.Ok()) return -2;
  S.Table = std::move(T);
  Commit(S);
  DataId = Id;
  return 0;
}

}  // namespace nux
