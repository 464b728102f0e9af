// CSV records over text held in memory: the delimiters of TCSVDelimiters, quoting with double
// quotes (delimiters, doubled quotes and line breaks inside quotes), CRLF, LF or CR line ends.
// With the blank delimiter, runs of blanks separate fields and blanks at the ends of a record
// are ignored. docs/text-formats.md gives the whole layout.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "nux/frame/types.h"

namespace nux {

/// The character of a delimiter: ',', ';', TAB or ' '.
char CSVDelimiterChar(TCSVDelimiters Delimiter);

/// Text as one CSV field: quoted (quotes doubled) when it holds the delimiter, a quote, a line
/// break or blanks at an end, or when it is empty and the delimiter is the blank.
std::string CSVField(std::string_view Text, char Delimiter);

/// Reads the records of a CSV text one at a time.
class TCSVScanner {
 public:
  /// Scans Text (kept by reference) with the delimiter character Delimiter.
  TCSVScanner(std::string_view Text, char Delimiter) : FText(Text), FDelim(Delimiter) {}
  /// The fields of the next record (valid until the next call); false at the end of the text
  /// or when a quoted field is not closed (then Failed() is true). A blank line is one empty
  /// field.
  bool NextRecord(std::vector<std::string_view>& Fields);
  /// True when a quoted field ran to the end of the text.
  bool Failed() const { return FFailed; }
  /// The position of the next unread byte.
  size_t Position() const { return FPos; }

 private:
  std::string_view FText;
  char FDelim;
  size_t FPos = 0;
  bool FFailed = false;
  std::deque<std::string> FStore;  // unescaped quoted fields of the current record
};

}  // namespace nux
