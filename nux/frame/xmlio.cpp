#include "nux/frame/xmlio.h"

#include <expat.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <exception>
#include <fstream>
#include <istream>
#include <iterator>
#include <limits>
#include <new>

#include "nux/frame/plaintext.h"
#include "nux/host/streams.h"

namespace nux {

// ---- Element tree ----

const std::string* TXmlElement::Attribute(std::string_view AName) const {
  for (const auto& A : Attributes)
    if (A.first == AName) return &A.second;
  return nullptr;
}

const TXmlElement* TXmlElement::Child(std::string_view ChildName) const {
  for (const auto& C : Children)
    if (C.Name == ChildName) return &C;
  return nullptr;
}

int64_t TXmlElement::CountChildren(std::string_view ChildName) const {
  int64_t N = 0;
  for (const auto& C : Children) N += C.Name == ChildName;
  return N;
}

const TXmlElement* TXmlElement::FindWithDataID(std::string_view ElemName,
                                               std::string_view DataID) const {
  // An explicit stack: the depth is limited by the reader, but a tree built by hand is not.
  std::vector<const TXmlElement*> Todo{this};
  while (!Todo.empty()) {
    const TXmlElement* E = Todo.back();
    Todo.pop_back();
    if (E->Name == ElemName) {
      const std::string* Id = E->Attribute("dataid");
      if (DataID.empty() || (Id && *Id == DataID)) return E;
    }
    for (auto It = E->Children.rbegin(); It != E->Children.rend(); ++It) Todo.push_back(&*It);
  }
  return nullptr;
}

// ---- Reading ----

namespace {

struct TParseState {
  XML_Parser Parser = nullptr;
  const TXmlLimits* Limits = nullptr;
  TXmlElement Root;
  bool HaveRoot = false;
  std::vector<TXmlElement*> Path;  // open elements, innermost last
  int64_t Elements = 0;
  int32_t Failure = xrOK;  // set when a handler stops the parser
};

// Both parser states (the tree reader's and the element scanner's) stop through this.
template <class State>
void Stop(State& S, int32_t Code) {
  if (S.Failure == xrOK) S.Failure = Code;
  XML_StopParser(S.Parser, XML_FALSE);
}

void XMLCALL OnStart(void* Data, const XML_Char* Name, const XML_Char** Atts) {
  auto& S = *static_cast<TParseState*>(Data);
  if (S.Failure != xrOK) return;
  if (++S.Elements > S.Limits->MaxElements ||
      static_cast<int64_t>(S.Path.size()) >= S.Limits->MaxDepth)
    return Stop(S, xrRefused);
  try {
    TXmlElement* E;
    if (S.Path.empty()) {
      E = &S.Root;  // expat allows one document element only
      S.HaveRoot = true;
    } else {
      S.Path.back()->Children.emplace_back();
      E = &S.Path.back()->Children.back();
    }
    E->Name = Name;
    for (const XML_Char** A = Atts; A[0]; A += 2) E->Attributes.emplace_back(A[0], A[1]);
    S.Path.push_back(E);
  } catch (const std::bad_alloc&) {
    Stop(S, xrRefused);
  }
}

void XMLCALL OnEnd(void* Data, const XML_Char*) {
  auto& S = *static_cast<TParseState*>(Data);
  if (S.Failure == xrOK && !S.Path.empty()) S.Path.pop_back();
}

void XMLCALL OnText(void* Data, const XML_Char* Text, int Len) {
  auto& S = *static_cast<TParseState*>(Data);
  if (S.Failure != xrOK || S.Path.empty()) return;
  try {
    S.Path.back()->Text.append(Text, static_cast<size_t>(Len));
  } catch (const std::bad_alloc&) {
    Stop(S, xrRefused);
  }
}

// No document type declarations at all: they are where entities (and their expansion) live.
template <class State>
void XMLCALL OnDoctype(void* Data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  Stop(*static_cast<State*>(Data), xrRefused);
}

template <class State>
void XMLCALL OnEntityDecl(void* Data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                          const XML_Char*, const XML_Char*, const XML_Char*) {
  Stop(*static_cast<State*>(Data), xrRefused);
}

struct TParserHolder {
  XML_Parser P;
  ~TParserHolder() {
    if (P) XML_ParserFree(P);
  }
};

// Every parser refuses document types and entity declarations, so nothing is ever expanded or
// fetched. State is the parser's user data.
template <class State>
void Harden(XML_Parser P) {
  XML_SetStartDoctypeDeclHandler(P, OnDoctype<State>);
  XML_SetEntityDeclHandler(P, OnEntityDecl<State>);
  XML_SetParamEntityParsing(P, XML_PARAM_ENTITY_PARSING_NEVER);
}

// expat takes int lengths: feeds Doc in pieces; false once a piece fails or a handler stops.
bool FeedInPieces(XML_Parser P, std::string_view Doc) {
  constexpr size_t Piece = size_t(1) << 24;
  size_t Done = 0;
  do {
    const size_t Len = std::min(Piece, Doc.size() - Done);
    const bool Final = Done + Len == Doc.size();
    if (XML_Parse(P, Doc.data() + Done, static_cast<int>(Len), Final) != XML_STATUS_OK)
      return false;
    Done += Len;
  } while (Done < Doc.size());
  return true;
}

}  // namespace

int32_t ParseXml(std::string_view Document, TXmlElement& Root, const TXmlLimits& Limits) {
  if (static_cast<int64_t>(Document.size()) > Limits.MaxBytes) return xrRefused;
  TParserHolder H{XML_ParserCreate("UTF-8")};
  if (!H.P) return xrRefused;
  TParseState S;
  S.Parser = H.P;
  S.Limits = &Limits;
  XML_SetUserData(H.P, &S);
  XML_SetElementHandler(H.P, OnStart, OnEnd);
  XML_SetCharacterDataHandler(H.P, OnText);
  Harden<TParseState>(H.P);
  if (!FeedInPieces(H.P, Document)) return S.Failure != xrOK ? S.Failure : xrMalformed;
  if (S.Failure != xrOK) return S.Failure;
  if (!S.HaveRoot) return xrMalformed;
  Root = std::move(S.Root);
  return xrOK;
}

int32_t ReadXml(std::istream& In, TXmlElement& Root, const TXmlLimits& Limits) {
  std::string Doc;
  const int32_t R = ReadXmlText(In, Doc, Limits);
  return R != xrOK ? R : ParseXml(Doc, Root, Limits);
}

int32_t ReadXml(TStream& In, TXmlElement& Root, const TXmlLimits& Limits) {
  std::string Doc;
  const int32_t R = ReadXmlText(In, Doc, Limits);
  return R != xrOK ? R : ParseXml(Doc, Root, Limits);
}

int32_t ReadXmlFile(const std::string& FileName, TXmlElement& Root, const TXmlLimits& Limits) {
  std::ifstream In(FileName, std::ios::binary);
  if (!In) return xrCannotOpen;
  return ReadXml(In, Root, Limits);
}

// ---- Reading one element out of a longer text ----

namespace {

struct TScanState {
  XML_Parser Parser = nullptr;
  const TXmlLimits* Limits = nullptr;
  TXmlScanHandler* Handler = nullptr;
  std::vector<std::string> Texts;  // character data of the open elements, innermost last
  int64_t Elements = 0;
  int32_t Failure = xrOK;
  std::exception_ptr Thrown;  // a handler's exception, raised again once expat is left
  bool Done = false;
  int64_t InnerBegin = 0, InnerEnd = 0, End = 0;  // relative to the element's start
};

void XMLCALL OnScanStart(void* Data, const XML_Char* Name, const XML_Char** Atts) {
  auto& S = *static_cast<TScanState*>(Data);
  if (S.Failure != xrOK) return;
  if (++S.Elements > S.Limits->MaxElements ||
      static_cast<int64_t>(S.Texts.size()) >= S.Limits->MaxDepth)
    return Stop(S, xrRefused);
  const auto Depth = static_cast<int32_t>(S.Texts.size());
  if (Depth == 0)
    S.InnerBegin = XML_GetCurrentByteIndex(S.Parser) + XML_GetCurrentByteCount(S.Parser);
  try {
    S.Texts.emplace_back();
    if (const int32_t R = S.Handler->Start(Depth, Name, Atts); R != xrOK) Stop(S, R);
  } catch (const std::bad_alloc&) {
    Stop(S, xrRefused);
  } catch (...) {
    S.Thrown = std::current_exception();  // never through expat's C frames
    Stop(S, xrRefused);
  }
}

void XMLCALL OnScanEnd(void* Data, const XML_Char* Name) {
  auto& S = *static_cast<TScanState*>(Data);
  if (S.Failure != xrOK || S.Texts.empty()) return;
  const auto Depth = static_cast<int32_t>(S.Texts.size()) - 1;
  try {
    if (const int32_t R = S.Handler->End(Depth, Name, S.Texts.back()); R != xrOK) return Stop(S, R);
  } catch (const std::bad_alloc&) {
    return Stop(S, xrRefused);
  } catch (...) {
    S.Thrown = std::current_exception();
    return Stop(S, xrRefused);
  }
  S.Texts.pop_back();
  if (Depth == 0) {
    // An empty-element tag reports its end with a byte count of 0.
    const int64_t At = XML_GetCurrentByteIndex(S.Parser);
    const int64_t Count = XML_GetCurrentByteCount(S.Parser);
    S.InnerEnd = Count > 0 ? At : S.InnerBegin;
    S.End = Count > 0 ? At + Count : S.InnerBegin;
    S.Done = true;
    XML_StopParser(S.Parser, XML_FALSE);  // what follows the element is not ours
  }
}

void XMLCALL OnScanText(void* Data, const XML_Char* Text, int Len) {
  auto& S = *static_cast<TScanState*>(Data);
  if (S.Failure != xrOK || S.Texts.empty()) return;
  try {
    S.Texts.back().append(Text, static_cast<size_t>(Len));
  } catch (const std::bad_alloc&) {
    Stop(S, xrRefused);
  }
}

// The byte at which the next element starts (npos: none), skipping what may precede one.
// Refused (a document type declaration) sets Refused.
size_t NextElementStart(std::string_view T, size_t P, bool& Refused) {
  Refused = false;
  const auto Skip = [&](size_t From, std::string_view Close) {
    const size_t E = T.find(Close, From);
    return E == std::string_view::npos ? E : E + Close.size();
  };
  while (true) {
    P = T.find('<', P);
    if (P == std::string_view::npos || P + 1 >= T.size()) return std::string_view::npos;
    const std::string_view R = T.substr(P);
    if (R.starts_with("<?"))
      P = Skip(P + 2, "?>");
    else if (R.starts_with("<!--"))
      P = Skip(P + 4, "-->");
    else if (R.starts_with("<![CDATA["))
      P = Skip(P + 9, "]]>");
    else if (R.starts_with("<!")) {
      Refused = true;
      return std::string_view::npos;
    } else if (R.starts_with("</"))
      P = Skip(P + 2, ">");
    else
      return P;
    if (P == std::string_view::npos) return P;
  }
}

}  // namespace

int32_t ScanXmlElement(std::string_view Text, int64_t& Pos, TXmlScanHandler& H,
                       const TXmlLimits& Limits, int64_t* InnerBegin, int64_t* InnerEnd) {
  if (Pos < 0 || Pos > static_cast<int64_t>(Text.size())) return xrNotFound;
  bool Refused;
  const size_t Start = NextElementStart(Text, static_cast<size_t>(Pos), Refused);
  if (Refused) return xrRefused;
  if (Start == std::string_view::npos) return xrNotFound;
  const std::string_view Doc = Text.substr(Start);
  if (static_cast<int64_t>(Doc.size()) > Limits.MaxBytes) return xrRefused;
  TParserHolder P{XML_ParserCreate("UTF-8")};
  if (!P.P) return xrRefused;
  TScanState S;
  S.Parser = P.P;
  S.Limits = &Limits;
  S.Handler = &H;
  XML_SetUserData(P.P, &S);
  XML_SetElementHandler(P.P, OnScanStart, OnScanEnd);
  XML_SetCharacterDataHandler(P.P, OnScanText);
  Harden<TScanState>(P.P);
  FeedInPieces(P.P, Doc);  // a failure shows in S below
  if (S.Thrown) std::rethrow_exception(S.Thrown);
  if (S.Failure != xrOK) return S.Failure;
  if (!S.Done) return xrMalformed;
  if (InnerBegin) *InnerBegin = static_cast<int64_t>(Start) + S.InnerBegin;
  if (InnerEnd) *InnerEnd = static_cast<int64_t>(Start) + S.InnerEnd;
  Pos = static_cast<int64_t>(Start) + S.End;
  return xrOK;
}

std::string XmlAttributeText(const char* const* Attributes) {
  std::string T;
  for (const char* const* A = Attributes; A && A[0] && A[1]; A += 2) {
    if (!T.empty()) T += ' ';
    T += A[0];
    T += "=\"";
    T += XmlEscape(A[1]);
    T += '"';
  }
  return T;
}

namespace {

// Keeps what the tag scanners report of the scanned element.
class TTagScan : public TXmlScanHandler {
 public:
  int32_t Start(int32_t Depth, std::string_view Name, const char* const* Atts) override {
    if (Depth == 0) {
      FName = Name;
      FAttributes = XmlAttributeText(Atts);
    } else if (Depth == 1) {
      FHasChildren = true;
    }
    return xrOK;
  }
  int32_t End(int32_t Depth, std::string_view, std::string& Text) override {
    if (Depth == 0) FText.swap(Text);
    return xrOK;
  }
  std::string FName, FAttributes, FText;
  bool FHasChildren = false;
};

bool TagScan(std::string_view Text, int64_t& Pos, const TStrArray& Tags, int32_t LastIx,
             int32_t& TagIx, std::string& Attributes, std::string& Content) {
  TTagScan H;
  int64_t P = Pos, B = 0, E = 0;
  if (ScanXmlElement(Text, P, H, {}, &B, &E) != xrOK) return false;
  int32_t Ix = std::max(LastIx, 0);
  const auto Known = std::min<int64_t>(Ix, static_cast<int64_t>(Tags.size()));
  for (int32_t K = 0; K < Known; ++K)
    if (Tags[size_t(K)] == H.FName) {
      Ix = K;
      break;
    }
  Content = H.FHasChildren ? std::string(Text.substr(size_t(B), size_t(E - B))) : H.FText;
  Attributes = std::move(H.FAttributes);
  TagIx = Ix;
  Pos = P;
  return true;
}

}  // namespace

bool ReadNextTagInString(std::string_view InString, int64_t& StartAt, const TStrArray& Tags,
                         int32_t LastIx, int32_t& TagIx, std::string& Attributes,
                         std::string& Content) {
  int64_t Pos = std::max<int64_t>(StartAt, 1) - 1;
  if (!TagScan(InString, Pos, Tags, LastIx, TagIx, Attributes, Content)) return false;
  StartAt = Pos + 1;
  return true;
}

bool ReadNextTagInTextFile(std::istream& In, const TStrArray& Tags, int32_t LastIx, int32_t& TagIx,
                           std::string& Attributes, std::string& Content) {
  const std::streampos At = In.tellg();
  if (At == std::streampos(-1)) return false;
  std::string Text;
  if (ReadXmlText(In, Text) != xrOK) return false;
  int64_t Pos = 0;
  const bool Ok = TagScan(Text, Pos, Tags, LastIx, TagIx, Attributes, Content);
  In.clear();
  In.seekg(At + std::streamoff(Ok ? Pos : 0));
  return Ok;
}

int32_t ReadXmlText(std::istream& In, std::string& Text, const TXmlLimits& Limits) {
  if (!In.good()) return xrCannotOpen;
  std::string Doc;
  try {
    char Buf[65536];
    while (In.read(Buf, sizeof Buf) || In.gcount() > 0) {
      Doc.append(Buf, static_cast<size_t>(In.gcount()));
      if (static_cast<int64_t>(Doc.size()) > Limits.MaxBytes) return xrRefused;
    }
  } catch (const std::bad_alloc&) {
    return xrRefused;
  }
  if (In.bad()) return xrCannotOpen;
  Text.swap(Doc);
  return xrOK;
}

int32_t ReadXmlText(TStream& In, std::string& Text, const TXmlLimits& Limits) {
  const int64_t Rest = In.Size() - In.Position();
  if (Rest < 0) return xrCannotOpen;
  if (Rest > Limits.MaxBytes) return xrRefused;
  std::string Doc;
  try {
    Doc.resize(static_cast<size_t>(Rest));
  } catch (const std::bad_alloc&) {
    return xrRefused;
  }
  if (In.Read(Doc.data(), Rest) != Rest) return xrCannotOpen;
  Text.swap(Doc);
  return xrOK;
}

// ---- Element texts ----

namespace {
std::string_view Trimmed(std::string_view T) {
  const auto Blank = [](char C) { return C == ' ' || C == '\t' || C == '\n' || C == '\r'; };
  while (!T.empty() && Blank(T.front())) T.remove_prefix(1);
  while (!T.empty() && Blank(T.back())) T.remove_suffix(1);
  return T;
}
}  // namespace

namespace {
double PlainNaN(double X) {
  return std::isnan(X) ? std::copysign(std::numeric_limits<double>::quiet_NaN(), X) : X;
}
}  // namespace

bool XmlToNumber(std::string_view Text, double& X) {
  double V;
  if (!ParseNumber(Trimmed(Text), V)) return false;
  X = PlainNaN(V);
  return true;
}

std::string XmlNumber(double X) {
  return std::isnan(X) && std::signbit(X) ? "-nan" : ShortestNumber(X);
}

std::string XmlNumber(double X, int32_t Precision) {
  if (Precision < 1 || Precision > 16 || !std::isfinite(X)) return XmlNumber(X);
  char Buf[64];
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, X, std::chars_format::general, Precision);
  return std::string(Buf, R.ptr);
}

bool XmlToInt32(std::string_view Text, int32_t& X) {
  Text = Trimmed(Text);
  if (!Text.empty() && Text[0] == '+') Text.remove_prefix(1);
  int32_t V = 0;
  const auto R = std::from_chars(Text.data(), Text.data() + Text.size(), V);
  if (Text.empty() || R.ec != std::errc() || R.ptr != Text.data() + Text.size()) return false;
  X = V;
  return true;
}

bool XmlToBool(std::string_view Text, bool& X) {
  Text = Trimmed(Text);
  if (Text == "TRUE")
    X = true;
  else if (Text == "FALSE")
    X = false;
  else
    return false;
  return true;
}

bool XmlToNumbers(std::string_view Text, size_t Count, TDoubleArray& Values) {
  TDoubleArray V;
  V.reserve(std::min<size_t>(Count, Text.size() / 2 + 1));  // never more than the text holds
  size_t Pos = 0;
  while (true) {
    while (Pos < Text.size() && Trimmed(Text.substr(Pos, 1)).empty()) ++Pos;
    if (Pos == Text.size()) break;
    size_t End = Pos;
    while (End < Text.size() && !Trimmed(Text.substr(End, 1)).empty()) ++End;
    double X;
    if (V.size() == Count || !ParseNumber(Text.substr(Pos, End - Pos), X)) return false;
    V.push_back(PlainNaN(X));
    Pos = End;
  }
  if (V.size() != Count) return false;
  Values.swap(V);
  return true;
}

// ---- Writing ----

std::string XmlEscape(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  size_t I = 0;
  while (I < Text.size()) {
    const unsigned char C = static_cast<unsigned char>(Text[I]);
    if (C < 0x80) {
      switch (C) {
        case '&':
          Out += "&amp;";
          break;
        case '<':
          Out += "&lt;";
          break;
        case '>':
          Out += "&gt;";
          break;
        case '"':
          Out += "&quot;";
          break;
        case '\'':
          Out += "&apos;";
          break;
        case '\t':
          Out += "&#9;";
          break;
        case '\n':
          Out += "&#10;";
          break;
        case '\r':
          Out += "&#13;";
          break;
        default:
          Out += C < 0x20 || C == 0x7F ? '?' : static_cast<char>(C);
      }
      ++I;
      continue;
    }
    // A well-formed UTF-8 sequence of a character XML allows is copied, anything else is '?'.
    const size_t Len = C >= 0xF0 ? 4 : C >= 0xE0 ? 3 : C >= 0xC0 ? 2 : 0;
    bool Ok = Len > 0 && C < 0xF5 && I + Len <= Text.size();
    uint32_t Cp = Len == 4 ? C & 0x07u : Len == 3 ? C & 0x0Fu : C & 0x1Fu;
    for (size_t K = 1; Ok && K < Len; ++K) {
      const unsigned char D = static_cast<unsigned char>(Text[I + K]);
      Ok = (D & 0xC0) == 0x80;
      Cp = (Cp << 6) | (D & 0x3Fu);
    }
    const uint32_t Least = Len == 4 ? 0x10000 : Len == 3 ? 0x800 : 0x80;
    Ok = Ok && Cp >= Least && Cp <= 0x10FFFF && !(Cp >= 0xD800 && Cp <= 0xDFFF) && Cp != 0xFFFE &&
         Cp != 0xFFFF;
    if (Ok) {
      Out.append(Text.substr(I, Len));
      I += Len;
    } else {
      Out += '?';
      ++I;
    }
  }
  return Out;
}

void TXmlWriter::Declaration() { FOut += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"; }

void TXmlWriter::Indent() { FOut.append(2 * FOpen.size(), ' '); }

void TXmlWriter::StartTag(std::string_view Name,
                          const std::vector<std::pair<std::string, std::string>>& Attributes) {
  Indent();
  FOut += '<';
  FOut += Name;
  for (const auto& A : Attributes) {
    FOut += ' ';
    FOut += A.first;
    FOut += "=\"";
    FOut += XmlEscape(A.second);
    FOut += '"';
  }
  FOut += '>';
}

void TXmlWriter::Open(std::string_view Name,
                      const std::vector<std::pair<std::string, std::string>>& Attributes) {
  StartTag(Name, Attributes);
  FOut += '\n';
  FOpen.emplace_back(Name);
}

void TXmlWriter::Close() {
  if (FOpen.empty()) return;
  const std::string Name = std::move(FOpen.back());
  FOpen.pop_back();
  Indent();
  FOut += "</" + Name + ">\n";
}

void TXmlWriter::Element(std::string_view Name, std::string_view Text,
                         const std::vector<std::pair<std::string, std::string>>& Attributes) {
  StartTag(Name, Attributes);
  FOut += XmlEscape(Text);
  FOut += "</";
  FOut += Name;
  FOut += ">\n";
}

void TXmlWriter::Number(std::string_view Name, double X) { Element(Name, XmlNumber(X)); }

void TXmlWriter::Integer(std::string_view Name, int64_t X) { Element(Name, std::to_string(X)); }

void TXmlWriter::Boolean(std::string_view Name, bool X) { Element(Name, X ? "TRUE" : "FALSE"); }

void TXmlWriter::Numbers(std::string_view Name, const double* X, size_t Count,
                         const std::vector<std::pair<std::string, std::string>>& Attributes) {
  std::string T;
  for (size_t K = 0; K < Count; ++K) {
    if (K) T += ' ';
    T += XmlNumber(X[K]);
  }
  Element(Name, T, Attributes);
}

}  // namespace nux
