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

#include "nux/frame/ascio.h"
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
  /// Continues on Text (kept by reference) at byte Pos, with Failed() cleared.
  void Reset(std::string_view Text, size_t Pos);

 private:
  std::string_view FText;
  char FDelim;
  size_t FPos = 0;
  bool FFailed = false;
  std::deque<std::string> FStore;  // unescaped quoted fields of the current record
};

/// Reads the records of a CSV file block by block, so that memory stays near the block size
/// and the longest record, whatever the size of the file; the records are those TCSVScanner
/// finds in the whole text (a UTF-8 byte-order mark at the start of the file is dropped).
class TCSVFileReader {
 public:
  /// A reader for the delimiter character Delimiter that reads BlockSize bytes at a time.
  explicit TCSVFileReader(char Delimiter, size_t BlockSize = size_t{1} << 20);
  /// Opens FName: ascOK, ascNoFile or ascCannotRead.
  int32_t Open(const std::string& FName);
  /// The fields of the next record (valid until the next call): 1; 0 at the end of the file;
  /// csvOpenQuote when a quoted field is not closed before the end; ascCannotRead on a read
  /// error. A blank line is one empty field.
  int32_t Next(std::vector<std::string_view>& Fields);
  /// The file's size when it was opened (0 when unknown).
  uint64_t FileSize() const { return FFile.Size(); }
  /// The bytes of the file read as records so far.
  uint64_t BytesDone() const { return FDone + FScan.Position(); }

 private:
  TTextFileReader FFile;
  TCSVScanner FScan;
  std::string FBuf;
  uint64_t FDone = 0;  // bytes dropped from the front of FBuf
  uint64_t FRead = 0;  // bytes had from the file
  size_t FBlock;
  bool FEnd = false;
};

}  // namespace nux
