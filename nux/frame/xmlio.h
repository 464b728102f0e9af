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

// Text with & < > " ' escaped, CR, LF and tab in character references (so that they survive
// attribute and line-end normalisation), and what XML 1.0 cannot hold (other control characters,
// invalid UTF-8) replaced by '?'.
std::string XmlEscape(std::string_view Text);

// X in its shortest round-trip form; a NaN as "nan" or "-nan" by its sign (its payload is not
// kept: the readers give the plain quiet NaN of that sign).
std::string XmlNumber(double X);

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
