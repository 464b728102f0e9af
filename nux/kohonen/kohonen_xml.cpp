// The map's XML form:
//   <kohonen dataid="...">
//     <sizex>, <sizey>, <nrinsens>, <comment>, <maxneighb>, <maxsteps>, <maxalpha>,
//     <currentstep>, <cyclic>TRUE|FALSE</cyclic>,
//     <meanstddev input="k">mean deviation</meanstddev> for k = 1..nrinsens,
//     <cell x="i" y="j">w1 ... wn</cell> for every neuron, x outermost
//   </kohonen>
// Weights are stored as kept (standardized units) in their shortest round-trip form.
#include <cmath>
#include <ostream>

#include "nux/frame/xmlio.h"
#include "nux/host/atomicfile.h"
#include "nux/host/streams.h"
#include "nux/kohonen/kohonen.h"
#include "nux/matrix/mat3d.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux {

namespace {
const char* Tag(TKohonenXMLTag T) { return KohonenXMLTagNames[size_t(T)]; }
constexpr const char* RootName = "kohonen";
}  // namespace

std::string TKohonen::XmlText(bool CreateHeader, const std::string& DataID) const {
  TXmlWriter Xw;
  if (CreateHeader) Xw.Declaration();
  Xw.Open(RootName, {{"dataid", DataID}});
  Xw.Integer(Tag(xmlSizeX), FSizeX);
  Xw.Integer(Tag(xmlSizeY), FSizeY);
  Xw.Integer(Tag(xmlNrInsens), FNrInSens);
  Xw.Element(Tag(xmlComment), FComment);
  Xw.Integer(Tag(xmlMaxNeighb), FMaxNeighb);
  Xw.Integer(Tag(xmlMaxSteps), FMaxSteps);
  Xw.Number(Tag(xmlMaxAlpha), FMaxAlpha);
  Xw.Integer(Tag(xmlCurStep), FCurStep);
  Xw.Boolean(Tag(xmlCyclic), FCyclic);
  for (int32_t K = 1; K <= FNrInSens; ++K) {
    const double Ms[2] = {MeanVec->GetVal(K), StdDevVec->GetVal(K)};
    Xw.Numbers(Tag(xmlMeanStdDev), Ms, 2, {{"input", std::to_string(K)}});
  }
  const TDouble3DArray& M = FKohMat->Data();
  for (int32_t X = 1; X <= FSizeX; ++X)
    for (int32_t Y = 1; Y <= FSizeY; ++Y) {
      const TDoubleArray& Cell = M[size_t(X - 1)][size_t(Y - 1)];
      Xw.Numbers(Tag(xmlCell), Cell.data(), Cell.size(),
                 {{"x", std::to_string(X)}, {"y", std::to_string(Y)}});
    }
  Xw.Close();
  return Xw.Text();
}

int32_t TKohonen::WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader,
                                     const std::string& DataID) const {
  if (!Out.good()) return xrCannotWrite;
  const std::string T = XmlText(CreateHeader, DataID);
  Out.write(T.data(), std::streamsize(T.size()));
  return Out.good() ? xrOK : xrCannotWrite;
}

int32_t TKohonen::WriteToXMLStream(TStream& OutStream, bool CreateHeader,
                                   const std::string& DataID) const {
  const std::string T = XmlText(CreateHeader, DataID);
  return OutStream.Write(T.data(), int64_t(T.size())) == int64_t(T.size()) ? xrOK : xrCannotWrite;
}

int32_t TKohonen::SaveAsXMLFile(const std::string& FName, const std::string& DataID) const {
  return WriteWholeFile(FName, XmlText(true, DataID)) ? xrOK : xrCannotWrite;
}

int32_t TKohonen::ReadFromXMLStream(TStream& InStream, const std::string& DataID) {
  TXmlElement Root;
  const int32_t R = ReadXml(InStream, Root);
  return LoadFromDocument(R, Root, DataID);
}

int32_t TKohonen::ReadFromOpenXMLFile(std::istream& In, const std::string& DataID) {
  TXmlElement Root;
  const int32_t R = ReadXml(In, Root);
  return LoadFromDocument(R, Root, DataID);
}

int32_t TKohonen::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  TXmlElement Root;
  const int32_t R = ReadXmlFile(FName, Root);
  return LoadFromDocument(R, Root, DataID);
}

namespace {

// The text of the single child Name, nullptr when it is missing or repeated.
const std::string* SingleText(const TXmlElement& E, TKohonenXMLTag T) {
  return E.CountChildren(Tag(T)) == 1 ? &E.Child(Tag(T))->Text : nullptr;
}

bool ReadInt(const TXmlElement& E, TKohonenXMLTag T, int32_t Least, int32_t& X) {
  const std::string* S = SingleText(E, T);
  int32_t V;
  if (!S || !XmlToInt32(*S, V) || V < Least) return false;
  X = V;
  return true;
}

// A 1-based position attribute in 1..Count.
bool ReadIndex(const TXmlElement& E, const char* Name, int64_t Count, int64_t& Ix) {
  const std::string* S = E.Attribute(Name);
  int32_t V;
  if (!S || !XmlToInt32(*S, V) || V < 1 || V > Count) return false;
  Ix = V;
  return true;
}

}  // namespace

int32_t TKohonen::LoadFromDocument(int32_t ReadResult, const TXmlElement& Root,
                                   const std::string& DataID) {
  if (ReadResult != xrOK) return ReadResult;
  const TXmlElement* K = Root.FindWithDataID(RootName, DataID);
  if (!K) return xrNotFound;
  int32_t Nx, Ny, Nin, MaxNeighb, MaxSteps, CurStep;
  double MaxAlpha;
  bool Cyc;
  const std::string* Comment = SingleText(*K, xmlComment);
  const std::string* AlphaText = SingleText(*K, xmlMaxAlpha);
  const std::string* CycText = SingleText(*K, xmlCyclic);
  if (!ReadInt(*K, xmlSizeX, 1, Nx) || !ReadInt(*K, xmlSizeY, 1, Ny) ||
      !ReadInt(*K, xmlNrInsens, 1, Nin) || !ReadInt(*K, xmlMaxNeighb, 0, MaxNeighb) ||
      !ReadInt(*K, xmlMaxSteps, 1, MaxSteps) || !ReadInt(*K, xmlCurStep, 1, CurStep) || !Comment ||
      !AlphaText || !XmlToNumber(*AlphaText, MaxAlpha) || !CycText || !XmlToBool(*CycText, Cyc))
    return xrInvalid;
  // The announced sizes must match what the document holds before anything is allocated for
  // them, so a huge announcement costs nothing.
  const int64_t Cells = int64_t(Nx) * int64_t(Ny);
  if (K->CountChildren(Tag(xmlCell)) != Cells || K->CountChildren(Tag(xmlMeanStdDev)) != Nin)
    return xrInvalid;
  // Each cell holds Nin numbers of at least one character and a separator: a document that
  // announces more than it holds is refused before the weights are allocated.
  int64_t CellText = 0;
  for (const TXmlElement& C : K->Children)
    if (C.Name == Tag(xmlCell)) CellText += int64_t(C.Text.size());
  if (CellText < Cells * (2 * int64_t(Nin) - 1) || !std::isfinite(MaxAlpha)) return xrInvalid;
  std::unique_ptr<TMat3D> Weights;
  std::vector<double> Mean(size_t(Nin), 0.0), Sd(size_t(Nin), 1.0);
  std::vector<bool> SeenInput(size_t(Nin), false), SeenCell(size_t(Cells), false);
  try {
    Weights = std::make_unique<TMat3D>(Nx, Ny, Nin);
  } catch (const ENUXMatrixError&) {
    return xrRefused;
  } catch (const std::bad_alloc&) {
    return xrRefused;
  }
  TDoubleArray Values;
  for (const TXmlElement& C : K->Children) {
    if (C.Name == Tag(xmlMeanStdDev)) {
      int64_t Ix;
      if (!ReadIndex(C, "input", Nin, Ix) || SeenInput[size_t(Ix - 1)] ||
          !XmlToNumbers(C.Text, 2, Values))
        return xrInvalid;
      SeenInput[size_t(Ix - 1)] = true;
      Mean[size_t(Ix - 1)] = Values[0];
      Sd[size_t(Ix - 1)] = Values[1];
    } else if (C.Name == Tag(xmlCell)) {
      int64_t X, Y;
      if (!ReadIndex(C, "x", Nx, X) || !ReadIndex(C, "y", Ny, Y)) return xrInvalid;
      const size_t J = size_t((X - 1) * Ny + (Y - 1));
      if (SeenCell[J] || !XmlToNumbers(C.Text, size_t(Nin), Values)) return xrInvalid;
      SeenCell[J] = true;
      for (int32_t W = 1; W <= Nin; ++W)
        Weights->SetVal(int32_t(X), int32_t(Y), W, Values[size_t(W - 1)]);
    }
  }
  // Counts matched and no position repeated, so every input and cell was given.
  auto Data = std::make_unique<TMatrix>(Nin, 1);
  auto Mv = std::make_unique<TVector>(Nin);
  auto Sv = std::make_unique<TVector>(Nin);
  Mv->SetValues(Mean);
  Sv->SetValues(Sd);
  FKohMat = std::move(Weights);
  FDataMat = std::move(Data);
  MeanVec = std::move(Mv);
  StdDevVec = std::move(Sv);
  FSizeX = Nx;
  FSizeY = Ny;
  FNrInSens = Nin;
  FNrTrnObj = 1;
  FMaxNeighb = MaxNeighb;
  FMaxSteps = MaxSteps;
  FCurStep = CurStep;
  FMaxAlpha = MaxAlpha;
  FCyclic = Cyc;
  FComment = *Comment;
  // The stored units must not be replaced by a standardization of the zero data.
  FStandardized = true;
  return xrOK;
}

}  // namespace nux
