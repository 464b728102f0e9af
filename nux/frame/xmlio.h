// The XML layer shared by every container and model that stores itself as XML: an escaping
// writer with shortest round-trip numbers, and a reader that parses a whole document with expat
// into a small element tree under size limits, refusing document type declarations (and with
// them every entity), so that a hostile document cannot expand or reach outside.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "nux/frame/types.h"

namespace nux {

class TStream;

// Result codes of the XML readers and writers.
enum TXmlResult : int32_t {
  xrOK = 0,
  xrCannotOpen = -1,   // the file cannot be opened or the stream not read
  xrMalformed = -2,    // not well-formed XML (a truncated document included)
  xrRefused = -3,      // a document type declaration or entity, or beyond the size limits
  xrNotFound = -4,     // no element of the expected name (and DataID)
  xrInvalid = -5,      // an element is missing, repeated or holds an invalid value
  xrCannotWrite = -6,  // writing failed; an existing file is left as it was
};

// One element: its name, attributes in document order, the character data directly inside it
// (all pieces joined) and its child elements.
struct TXmlElement {
  std::string Name;                                             // element name
  std::vector<std::pair<std::string, std::string>> Attributes;  // (name, value) pairs
  std::string Text;                                             // character data inside
  std::vector<TXmlElement> Children;                            // child elements in order

  // The value of attribute AName, nullptr when absent.
  const std::string* Attribute(std::string_view AName) const;
  // The first child named ChildName, nullptr when there is none.
  const TXmlElement* Child(std::string_view ChildName) const;
  // The number of children named ChildName.
  int64_t CountChildren(std::string_view ChildName) const;
  // Depth-first, this element included: the first element named ElemName whose attribute
  // "dataid" equals DataID (any element of that name when DataID is empty); nullptr if none.
  const TXmlElement* FindWithDataID(std::string_view ElemName, std::string_view DataID) const;
};

// Limits of the reader; a document beyond them gives xrRefused.
struct TXmlLimits {
  int64_t MaxBytes = int64_t(1) << 30;     // document size
  int32_t MaxDepth = 64;                   // element nesting
  int64_t MaxElements = int64_t(1) << 22;  // elements in the document
};

// Parses a whole document into Root (the document element). Result xrOK, xrMalformed or
// xrRefused; Root is left as it was on failure.
int32_t ParseXml(std::string_view Document, TXmlElement& Root, const TXmlLimits& Limits = {});
// Reads the rest of In and parses it; xrCannotOpen when In is bad on entry or fails reading.
int32_t ReadXml(std::istream& In, TXmlElement& Root, const TXmlLimits& Limits = {});
// Reads In from its position to its end and parses it.
int32_t ReadXml(TStream& In, TXmlElement& Root, const TXmlLimits& Limits = {});
// Reads and parses the file FileName; xrCannotOpen when it cannot be read.
int32_t ReadXmlFile(const std::string& FileName, TXmlElement& Root, const TXmlLimits& Limits = {});

// ---- Reading one element out of a longer text ----

// What ScanXmlElement reports while it reads one element; a non-zero result of a call stops the
// scan with that result.
class TXmlScanHandler {
 public:
  virtual ~TXmlScanHandler() = default;
  // Element Name opens at Depth (0: the scanned element itself). Attributes holds name, value,
  // name, value, ... and ends with nullptr.
  virtual int32_t Start(int32_t Depth, std::string_view Name, const char* const* Attributes) = 0;
  // The element at Depth closes; Text holds its character data (all pieces joined; the
  // handler may take it).
  virtual int32_t End(int32_t Depth, std::string_view Name, std::string& Text) = 0;
};

// Reads the next element at or after byte Pos (0-based) of Text: character data, closing tags,
// comments, processing instructions (the XML declaration among them) and CDATA sections before
// it are skipped; a document type declaration is refused. The element is parsed to its end
// under Limits (MaxBytes counts the rest of Text) and Pos moves just behind it; InnerBegin and
// InnerEnd, when given, receive the byte range of its content. Results: xrOK; xrNotFound when
// no element starts before the end; xrMalformed; xrRefused; or the handler's result. Pos is
// unchanged unless the result is xrOK. An exception thrown by a handler stops the scan and
// leaves ScanXmlElement after the parser was left.
int32_t ScanXmlElement(std::string_view Text, int64_t& Pos, TXmlScanHandler& H,
                       const TXmlLimits& Limits = {}, int64_t* InnerBegin = nullptr,
                       int64_t* InnerEnd = nullptr);

// Attributes as one text: name="value" pairs separated by a blank, values escaped.
std::string XmlAttributeText(const char* const* Attributes);

// The tag scanner over a string. Reads the next element at or after byte StartAt (1-based; a
// start below 1 counts as 1) and moves StartAt behind it. TagIx becomes the 0-based index of its
// name among Tags[0 .. LastIx - 1], or LastIx (the stand-in for unknown elements) when it is not
// there; Attributes the attribute text (XmlAttributeText); Content the unescaped character data
// of an element without child elements, else the raw text between its tags (to be scanned
// again). False, with everything unchanged, when no element follows or it is malformed.
bool ReadNextTagInString(std::string_view InString, int64_t& StartAt, const TStrArray& Tags,
                         int32_t LastIx, int32_t& TagIx, std::string& Attributes,
                         std::string& Content);
// The same over an open text stream from its position, which moves behind the element (the
// stream must be able to seek, as files can).
bool ReadNextTagInTextFile(std::istream& In, const TStrArray& Tags, int32_t LastIx, int32_t& TagIx,
                           std::string& Attributes, std::string& Content);

// The rest of In from its position (at most Limits.MaxBytes bytes): xrOK, xrCannotOpen or
// xrRefused (too long).
int32_t ReadXmlText(std::istream& In, std::string& Text, const TXmlLimits& Limits = {});
// The same from a host stream.
int32_t ReadXmlText(TStream& In, std::string& Text, const TXmlLimits& Limits = {});

// Text with & < > " ' escaped, CR, LF and tab in character references (so that they survive
// attribute and line-end normalisation), and what XML 1.0 cannot hold (other control characters,
// invalid UTF-8) replaced by '?'.
std::string XmlEscape(std::string_view Text);

// X in its shortest round-trip form; a NaN as "nan" or "-nan" by its sign (its payload is not
// kept: the readers give the plain quiet NaN of that sign).
std::string XmlNumber(double X);

// Significant digits meaning "as many as needed to read back exactly".
constexpr int32_t xmlFullPrecision = 0;

// X with Precision significant digits (1..16); xmlFullPrecision, or any other value outside
// 1..16, gives XmlNumber's shortest round-trip form. NaN and infinities as XmlNumber writes them.
std::string XmlNumber(double X, int32_t Precision);

// Element texts (surrounding whitespace ignored): a number as ParseNumber reads it, a NaN made
// the plain quiet NaN of its sign, so that what is read writes and reads back to the same bits.
bool XmlToNumber(std::string_view Text, double& X);
// A whole number in the 32-bit range.
bool XmlToInt32(std::string_view Text, int32_t& X);
// "TRUE" or "FALSE".
bool XmlToBool(std::string_view Text, bool& X);
// Exactly Count whitespace-separated numbers into Values (Values untouched otherwise).
bool XmlToNumbers(std::string_view Text, size_t Count, TDoubleArray& Values);

// Builds a document in memory, two spaces of indent per level. Numbers are written in their
// shortest round-trip form, booleans as "TRUE" and "FALSE", texts escaped.
class TXmlWriter {
 public:
  // The XML declaration (UTF-8).
  void Declaration();
  // The start tag of element Name with Attributes, on its own line; values are escaped here.
  void Open(std::string_view Name,
            const std::vector<std::pair<std::string, std::string>>& Attributes = {});
  // The closing tag of the element opened last.
  void Close();
  // Element Name holding the escaped Text.
  void Element(std::string_view Name, std::string_view Text,
               const std::vector<std::pair<std::string, std::string>>& Attributes = {});
  // Element Name holding X in its shortest round-trip form.
  void Number(std::string_view Name, double X);
  // Element Name holding X in decimal.
  void Integer(std::string_view Name, int64_t X);
  // Element Name holding "TRUE" or "FALSE".
  void Boolean(std::string_view Name, bool X);
  // Element Name holding the Count numbers at X, blank-separated, each in its shortest
  // round-trip form.
  void Numbers(std::string_view Name, const double* X, size_t Count,
               const std::vector<std::pair<std::string, std::string>>& Attributes = {});
  // The document so far.
  const std::string& Text() const { return FOut; }

 private:
  void Indent();
  void StartTag(std::string_view Name,
                const std::vector<std::pair<std::string, std::string>>& Attributes);
  std::string FOut;
  std::vector<std::string> FOpen;
};

}  // namespace nux
