// The ASC text layout's building blocks: whole-file reading, the header reader, the quoted-name
// parser and a word scanner over text held in memory. Rules and result codes are listed in
// docs/text-formats.md.
#pragma once

#include <cstdint>
#include <cstdio>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "nux/frame/types.h"

namespace nux {

/// Result codes of the ASC readers (0 or negative; writers return 0 or -1).
enum TASCResult : int32_t {
  ascOK = 0,
  ascCannotRead = -1,    ///< the file cannot be read (a folder, no permission, a read error)
  ascBadHeader = -2,     ///< fewer than four header lines, or a count or flag that does not read
  ascBadCounts = -3,     ///< fewer than one column, fewer than zero rows
  ascTooLarge = -4,      ///< the counts announce more items than the rest of the text can hold
  ascBadAttribute = -5,  ///< a row attribute could not be read
  ascBadValue = -6,      ///< a value could not be read or converted
  ascWrongShape = -7,    ///< the column count or a flag does not suit the container
  ascNoFile = -8,        ///< the file does not exist
  ascBadName = -9,       ///< a name is cut off by the end of the text
  ascAborted = -10,      ///< stopped through AbortMathProc (vectors keep what was read)
  ascBadPosition = -11,  ///< a placement position below 1
  csvNoData = -12,       ///< a CSV text without a data record (after the skipped ones)
  csvOpenQuote = -13,    ///< a quoted CSV field is not closed before the end of the text
};

/// Reads the whole file FName into Text (a UTF-8 byte-order mark is dropped): ascOK,
/// ascNoFile or ascCannotRead (Text then empty).
int32_t ReadWholeTextFile(const std::string& FName, std::string& Text);

/// Reads a text file block by block; a UTF-8 byte-order mark at its start is dropped.
class TTextFileReader {
 public:
  /// Opens FName: ascOK, ascNoFile (no such file) or ascCannotRead (a folder, no permission).
  int32_t Open(const std::string& FName);
  /// Appends up to Count bytes to Text: the number appended, fewer than Count only at the end
  /// of the file; -1 on a read error or when Text cannot grow (Text keeps what it had).
  int64_t Append(std::string& Text, size_t Count);
  /// The file's size when it was opened (0 when unknown, as for a pipe).
  uint64_t Size() const { return FSize; }

 private:
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> FFile{nullptr, &std::fclose};
  uint64_t FSize = 0;
  std::string FPending;  // bytes read at opening, not yet handed out
};

/// The state of ParseQuotedName between characters; a new state starts between names.
struct TQuotedNameState {
  /// 0 between names, 1 in a bare word, 2 inside quotes, 3 just after a quote inside quotes.
  int32_t Phase = 0;
  /// The characters of the name so far.
  std::string Buffer;
};

/// Feeds one character C: true when C completes a name, which is then moved into Name. A name
/// is a bare word ending at white space, or Quote ... Quote where a doubled Quote stands for
/// one and white space and line breaks are part of the name.
bool ParseQuotedName(char C, char Quote, TQuotedNameState& State, std::string& Name);
/// At the end of the text: true, with the name, when a bare word or a closed quoted name is
/// pending; false otherwise (an unclosed quote included). The state is reset.
bool FinishQuotedName(TQuotedNameState& State, std::string& Name);
/// Name in the form ParseQuotedName reads back: quoted, with every Quote doubled.
std::string QuoteName(std::string_view Name, char Quote = '"');

/// Reads the next white-space delimited word of In into Word (at most MaxLength characters; a
/// longer word is cut there and the rest is read as the next word). False at the end.
bool ReadNextWordInTextFile(std::istream& In, std::string& Word, size_t MaxLength = 1 << 20);

/// A reading position in a text held in memory.
struct TTextScanner {
  /// The text scanned.
  std::string_view Text;
  /// The position of the next unread byte.
  size_t Pos = 0;

  /// The next white-space delimited word (blanks, TABs, CR, LF, VT, FF delimit); false at the end.
  bool NextWord(std::string_view& Word);
  /// The next name by ParseQuotedName with the double quote; false at the end or on an
  /// unclosed quote.
  bool NextName(std::string& Name);
  /// The rest of the current line without its line end (a CR before the LF is dropped); false
  /// at the end of the text.
  bool NextLine(std::string_view& Line);
  /// True when only white space is left.
  bool AtEnd();
};

/// The header of an ASC text (four lines): Comment gets line 1 without its remark, the counts
/// and the four flags (row attributes, column names, row names, nominal variables; a missing
/// fourth reads FALSE) follow. Scanner is left at line 5. The counts are checked against the
/// bytes left, assuming one value or name per column and row: ascTooLarge when they cannot fit.
int32_t ReadHeaderOfASC(TTextScanner& Scanner, std::string& Comment, int32_t& NrColumns,
                        int32_t& NrRows, bool (&Flags)[4]);
/// The same for the file FName (ascNoFile, ascCannotRead for a file that cannot be read).
int32_t ReadHeaderOfASC(const std::string& FName, std::string& Comment, int32_t& NrColumns,
                        int32_t& NrRows, bool (&Flags)[4]);

/// A value word of an ASC record: "NAN" and "###" read 0, other words as by ParseNumber
/// ("NaN", "Inf", "-Inf" included). False when the word is not a number.
bool ParseASCValue(std::string_view Word, double& X);
/// The four header lines of an ASC file; Comment's line breaks and TAB-";" sequences become
/// blanks. With ThreeFlags the fourth flag and its remark are left out.
std::string ASCHeader(std::string_view Comment, int64_t NrColumns, int64_t NrRows,
                      const bool (&Flags)[4], bool ThreeFlags = false);

/// A column's description in the variables section (written when the fourth flag is set).
struct TASCVariable {
  /// Scale type code of the column (0 when the writer has none).
  int32_t Scale = 0;
  /// The column's integer attribute.
  int32_t Attribute = 0;
  /// Identifiers and their ordinals.
  std::vector<std::pair<int32_t, std::string>> IDs;
};

/// Everything after the header of an ASC text.
struct TASCBody {
  /// Column names, when the flag is set.
  TStrArray ColNames;
  /// Row attributes, when the flag is set.
  TDoubleArray RowAttribs;
  /// Row names, when the flag is set.
  TStrArray RowNames;
  /// The values, [column][row], 0-based.
  TDouble2DArray Columns;
  /// Column-major positions (column * rows + row) of the cells written as "NAN" or "###".
  std::vector<int64_t> NoValue;
  /// The variables section, when the fourth flag is set.
  std::vector<TASCVariable> Variables;
  /// Custom data lines.
  TStr2DArray CustData;
};

/// Reads the records, the variables section and the custom data after a header into Body.
/// Result: ascOK, ascBadAttribute, ascBadValue, ascBadName, ascTooLarge, ascAborted (progress
/// through MathFeedBack, one step per row). Body is undefined after a failure.
int32_t ReadASCBody(TTextScanner& Scanner, int32_t NrColumns, int32_t NrRows,
                    const bool (&Flags)[4], TASCBody& Body);
/// Reads a whole ASC text: header (Comment, counts) and body, through ReadHeaderOfASC and
/// ReadASCBody (their results), plus ascWrongShape for no row when NeedRow is set. Text is
/// released once read; Body is undefined after a failure.
int32_t ReadASCText(std::string& Text, bool NeedRow, std::string& Comment, int32_t& NrColumns,
                    int32_t& NrRows, TASCBody& Body);
/// ReadASCText of the file FName (ReadWholeTextFile's results too).
int32_t ReadASCFile(const std::string& FName, bool NeedRow, std::string& Comment,
                    int32_t& NrColumns, int32_t& NrRows, TASCBody& Body);
/// Appends X: strff with width 1 and Precision decimals, or for Precision < 0 the shortest
/// form that reads back exactly.
void AppendASCValue(std::string& Out, double X, int32_t Precision);
/// Appends the variables section for Vars.
void AppendASCVariables(std::string& Out, const std::vector<TASCVariable>& Vars);
/// Appends the custom data section (nothing for no lines).
void AppendASCCustData(std::string& Out, const TStr2DArray& CustData);

}  // namespace nux
