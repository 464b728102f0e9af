#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "nux/datatable/datatable.h"
#include "nux/frame/ascio.h"
#include "nux/frame/csvio.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

std::vector<std::vector<std::string>> Records(const std::string& Text, char D) {
  TCSVScanner S(Text, D);
  std::vector<std::string_view> F;
  std::vector<std::vector<std::string>> Out;
  while (S.NextRecord(F)) Out.emplace_back(F.begin(), F.end());
  if (S.Failed()) Out.push_back({"<open quote>"});
  return Out;
}

using Recs = std::vector<std::vector<std::string>>;

TEST(CSVScanner, QuotingLineEndsAndBlankRuns) {
  EXPECT_EQ(Records("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"two\r\nlines\",,x\n\nlast", ','),
            (Recs{{"a", "b,c", "say \"hi\""}, {"two\r\nlines", "", "x"}, {""}, {"last"}}));
  EXPECT_EQ(Records("1;2\r3;\"4\"x\n", ';'), (Recs{{"1", "2"}, {"3", "4x"}}));
  EXPECT_EQ(Records("  1   2 \"\"  \n\t3\t\n", ' '), (Recs{{"1", "2", ""}, {"\t3\t"}}));
  EXPECT_EQ(Records("a,\"open\nb", ','), (Recs{{"<open quote>"}}));
  EXPECT_EQ(Records("", ','), Recs{});
  for (const char D : {',', ';', '\t', ' '})
    for (const std::string T : {"", " x ", "a\"b", "a,b;c\td e", "l1\nl2\r"})
      EXPECT_EQ(Records(CSVField(T, D) + "\n", D), Recs{{T}}) << int(D) << T;
}

// The block reader must find the records the whole-text scanner finds, wherever the blocks
// cut the text: inside a CRLF, a doubled quote, a quoted line break or a run of blanks.
TEST(CSVScanner, FileReaderMatchesWholeTextAtEveryBlockSize) {
  TempDir Dir;
  const std::string F = Dir.Path("b.csv");
  const std::vector<std::pair<std::string, char>> Texts = {
      {"a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"two\r\nlines\",,x\n\nlast", ','},
      {"1;2\r3;\"4\"x\r\n\r\n5", ';'},
      {"  1   2 \"\"  \n\t3\t\n   \r\n 4  ", ' '},
      {"a,\"open\nb", ','},
      {"", ','},
      {"x\r", ','}};
  for (const auto& [Text, D] : Texts)
    for (const bool Bom : {false, true}) {
      std::ofstream(F, std::ios::binary) << (Bom ? "\xEF\xBB\xBF" : "") << Text;
      const Recs Want = Records(Text, D);
      for (const size_t Block : {1, 2, 3, 5, 8, 1 << 20}) {
        TCSVFileReader In(D, Block);
        ASSERT_EQ(In.Open(F), ascOK);
        std::vector<std::string_view> Fields;
        Recs Got;
        int32_t R = 0;
        while ((R = In.Next(Fields)) == 1) Got.emplace_back(Fields.begin(), Fields.end());
        if (R == csvOpenQuote) Got.push_back({"<open quote>"});
        EXPECT_EQ(Got, Want) << Text << " block " << Block << " bom " << Bom;
        EXPECT_EQ(In.BytesDone(), Text.size());
      }
    }
  TCSVFileReader In(',');
  EXPECT_EQ(In.Open(Dir.Path("none.csv")), ascNoFile);
  EXPECT_EQ(In.Open(Dir.Path("")), ascCannotRead);
}

TEST(DataTableCSV, ExportsAndImportsEveryDelimiter) {
  TempDir Dir;
  const std::string F = Dir.Path("t.csv");
  TDataTable T;
  T.Resize(3, 2);
  T.SetComment("note, \"quoted\"");
  T.SetColName(1, "a, b");
  T.SetColName(2, "c \"d\"");
  T.SetColName(3, "e;f\tg");
  T.SetRowName(2, " padded ");
  T.SetRowAttrib(1, 4);
  T.SetElem(1, 1, 0.1);
  T.SetElem(2, 1, -2.5e-300);
  T.SetElem(3, 2, 1e300);
  T.SetCellState(2, 2, csEmpty);
  for (const TCSVDelimiters D : {csvComma, csvSemicolon, csvTab, csvBlank}) {
    ASSERT_EQ(T.ExportAsCSV(F, -1, D, true, true, true, true), 0);
    TDataTable B;
    // Comment and row attributes are skipped: one record, one column.
    ASSERT_EQ(B.ImportFromCSV(F, D, 1, 0, true, false), ascOK) << D;
    ASSERT_EQ(B.NrOfColumns(), 5);
    EXPECT_EQ(B.ColName(4), "c \"d\"");
    EXPECT_EQ(B.Elem(1, 1), 4);
    EXPECT_EQ(B.Elem(3, 1), 0.1);
    EXPECT_EQ(B.Elem(4, 1), -2.5e-300);
    EXPECT_EQ(B.Elem(5, 2), 1e300);
    EXPECT_EQ(B.CellState(4, 2), csEmpty);
    EXPECT_EQ(B.CellState(2, 1), csInvalid);  // a row name is text, not a value
  }
  ASSERT_EQ(T.ExportAsCSV(F, 2, csvComma, true, true), 0);
  TDataTable B;
  ASSERT_EQ(B.ImportFromCSV(F, csvComma, true, true), ascOK);
  EXPECT_EQ(B.ColName(1), "a, b");
  EXPECT_EQ(B.RowName(2), "padded");
  EXPECT_EQ(B.Elem(1, 1), 0.1);
  EXPECT_EQ(B.Elem(3, 2), 1e300);
}

TEST(DataTableCSV, HostileAndPartialFiles) {
  TempDir Dir;
  const std::string F = Dir.Path("t.csv");
  TDataTable T;
  // BOM, CRLF, ragged rows, text cells, skipped and cut-off lines.
  std::ofstream(F) << "\xEF\xBB\xBFskip me\r\nx,y\r\n1,2,3\r\n\r\n4\r\nfoo,+5\r\n6,7\r\n";
  ASSERT_EQ(T.ImportFromCSV(F, csvComma, 1, 5, true, false), ascOK);
  ASSERT_EQ(T.NrOfColumns(), 3);
  ASSERT_EQ(T.NrOfRows(), 2);
  EXPECT_EQ(T.ColName(2), "y");
  EXPECT_EQ(T.ColName(3), "C-3");
  EXPECT_EQ(T.Elem(3, 1), 3);
  EXPECT_EQ(T.CellState(2, 2), csEmpty);
  EXPECT_EQ(T.CellState(3, 2), csEmpty);
  ASSERT_EQ(T.ImportFromCSV(F, csvComma, 0, 0, false, false), ascOK);
  EXPECT_EQ(T.NrOfRows(), 6);
  EXPECT_EQ(T.CellState(1, 5), csInvalid);
  EXPECT_EQ(T.Elem(2, 5), 5);

  const std::string Before = T.CRCofCellStates();
  std::ofstream(F) << "1,\"2\n3";
  EXPECT_EQ(T.ImportFromCSV(F, csvComma, false, false), csvOpenQuote);
  std::ofstream(F) << "a,b\n";
  EXPECT_EQ(T.ImportFromCSV(F, csvComma, true, false), csvNoData);
  EXPECT_EQ(T.ImportFromCSV(F, csvComma, 5, 0, false, false), csvNoData);
  EXPECT_EQ(T.ImportFromCSV(Dir.Path("none"), csvComma, false, false), ascNoFile);
  EXPECT_EQ(T.ImportFromCSV(Dir.Path(""), csvComma, false, false), ascCannotRead);
  EXPECT_EQ(T.NrOfRows(), 6);
  EXPECT_EQ(T.CRCofCellStates(), Before);
  std::ofstream(F) << std::string(1 << 20, 'x');  // one long line of text
  EXPECT_EQ(T.ImportFromCSV(F, csvComma, false, false), ascOK);
  EXPECT_EQ(T.CellState(1, 1), csInvalid);
  EXPECT_EQ(T.ExportAsCSV(Dir.Path(""), 2, csvComma, true, true), -1);
}

}  // namespace
}  // namespace nux
