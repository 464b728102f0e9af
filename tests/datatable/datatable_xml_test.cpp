#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "nux/datatable/datatable.h"
#include "nux/frame/xmlio.h"
#include "nux/host/streams.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

bool SameBits(double A, double B) { return std::memcmp(&A, &B, sizeof A) == 0; }

// A 3 x 4 table using every part of the format: markup in texts, attributes, a nominal column
// with identifiers, states, and values whose text form is delicate.
void Fill(TDataTable& T) {
  T.Resize(3, 4);
  T.SetComment("a <b> & \"c\"\nsecond line");
  T.SetColName(1, "Länge & Breite");
  T.SetColName(3, "colour");
  T.SetRowName(2, "</row>");
  T.SetColAttrib(2, -5);
  T.SetRowAttrib(4, 77);
  T.SetMScaleType(2, stRatio);
  T.SetMScaleType(3, stNominal);
  T.SetElemNominal(3, 1, "red");
  T.SetElemNominal(3, 2, "blue");
  T.SetElemNominal(3, 3, "r<d>");
  const double Values[] = {0.1,
                           -0.0,
                           5e-324,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::quiet_NaN(),
                           1e300,
                           -1.0 / 3.0,
                           42};
  for (int32_t K = 0; K < 8; ++K) T.SetElem(1 + K / 4, 1 + K % 4, Values[K]);
  T.SetCellState(1, 3, 0x42);
  T.SetCellState(2, 4, 0x03);
}

void ExpectSame(const TDataTable& A, const TDataTable& B) {
  ASSERT_EQ(A.NrOfColumns(), B.NrOfColumns());
  ASSERT_EQ(A.NrOfRows(), B.NrOfRows());
  EXPECT_EQ(A.Comment(), B.Comment());
  EXPECT_EQ(A.CRCofNamesAndAttributes(), B.CRCofNamesAndAttributes());
  EXPECT_EQ(A.CRCofCellStates(), B.CRCofCellStates());
  for (int32_t C = 1; C <= A.NrOfColumns(); ++C)
    for (int32_t R = 1; R <= A.NrOfRows(); ++R)
      EXPECT_TRUE(SameBits(A.NumericData()->GetVal(C, R), B.NumericData()->GetVal(C, R)))
          << C << "," << R;
}

TEST(DataTableXml, EverythingRoundTripsThroughEveryReader) {
  TempDir Dir;
  TDataTable T;
  Fill(T);
  ASSERT_EQ(T.SaveAsXMLFile(Dir.Path("t.xml"), xmlFullPrecision, "tab"), xrOK);
  TDataTable F;
  int Resizes = 0;
  F.OnResize = [&](TObject*, int32_t, int32_t, int32_t, int32_t) { ++Resizes; };
  ASSERT_EQ(F.LoadFromXMLFile(Dir.Path("t.xml"), "tab"), xrOK);
  ExpectSame(T, F);
  EXPECT_EQ(F.ElemNominal(3, 3), "r<d>");
  EXPECT_EQ(F.MScaleType(3), stNominal);
  EXPECT_EQ(Resizes, 1);

  TMemoryStream S;
  ASSERT_EQ(T.WriteToXMLStream(S, true, xmlFullPrecision, ""), xrOK);
  S.SetPosition(0);
  TDataTable G;
  ASSERT_EQ(G.ReadFromXMLStream(S, ""), xrOK);
  ExpectSame(T, G);

  // Embedded in another document as a model file does it, read back from the element's text.
  std::ostringstream Out;
  Out << "<model>\n<modeldata>\n";
  ASSERT_EQ(T.WriteToOpenXMLFile(Out, false, 10, "MBLModel"), xrOK);
  Out << "</modeldata>\n</model>\n";
  const std::string Doc = Out.str();
  std::istringstream In(Doc);
  TDataTable H;
  ASSERT_EQ(H.ReadFromOpenXMLFile(In, "MBLModel"), xrOK);
  EXPECT_EQ(H.CRCofNamesAndAttributes(), T.CRCofNamesAndAttributes());
  EXPECT_EQ(H.NumericData()->GetVal(3, 3), 2.0);            // the third identifier's ordinal
  EXPECT_EQ(H.NumericData()->GetVal(2, 3), -0.3333333333);  // 10 significant digits
  int32_t TagIx = -1;
  std::string Attributes, Content;
  int64_t At = 1;
  ASSERT_TRUE(ReadNextTagInString(Doc, At, {"model", "$invalid$"}, 1, TagIx, Attributes, Content));
  At = 1;
  ASSERT_TRUE(
      ReadNextTagInString(Content, At, {"modeldata", "$invalid$"}, 1, TagIx, Attributes, Content));
  EXPECT_EQ(TagIx, 0);
  int64_t Start = 1;
  TDataTable E;
  ASSERT_EQ(E.ReadFromXMLString(Content, Start, ""), xrOK);
  EXPECT_EQ(Start, int64_t(Content.find("</datatable>") + 13));
  EXPECT_EQ(E.CRCofNamesAndAttributes(), T.CRCofNamesAndAttributes());
  EXPECT_EQ(E.ReadFromXMLString(Content, Start, ""), xrNotFound);
}

TEST(DataTableXml, SparseAndHostileDocuments) {
  const auto Read = [](TDataTable& T, const std::string& Doc) {
    int64_t Start = 1;
    return T.ReadFromXMLString(Doc, Start, "");
  };
  TDataTable T;
  Fill(T);
  // Unlisted cells are 0 with state 0; indices outside are ignored; an unknown scale name and
  // an identifier slot outside 0..150 are passed over.
  ASSERT_EQ(Read(T,
                 "<datatable><size numcols=\"2\" numrows=\"2\"/>"
                 "<vardef ix=\"1\" scale=\"nominal\"><idf ord=\"151\">x</idf>"
                 "<idf ord=\"4\">five</idf></vardef><vardef ix=\"2\" scale=\"huge\"/>"
                 "<datacells><cell ix=\"2\" iy=\"1\" state=\"4\">-inf</cell>"
                 "<cell ix=\"3\" iy=\"1\">9</cell><cell ix=\"1\" iy=\"4294967297\">9</cell>"
                 "</datacells></datatable>"),
            xrOK);
  EXPECT_EQ(T.NrOfColumns(), 2);
  EXPECT_EQ(T.NumericData()->GetVal(2, 1), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(T.CellState(2, 1), 4);
  EXPECT_EQ(T.NumericData()->GetVal(1, 1), 0.0);
  EXPECT_EQ(T.CellState(1, 2), 0);
  EXPECT_EQ(T.Comment(), "");
  EXPECT_EQ(T.NominalID(1, 4), "five");
  EXPECT_EQ(T.CountNominalIDs(1), 1);
  EXPECT_EQ(T.MScaleType(2), stInterval);
  const std::string Names = T.CRCofNamesAndAttributes();
  const char* Bad[] = {
      "<datatable><size numcols=\"0\" numrows=\"2\"/></datatable>",
      "<datatable><size numcols=\"100000\" numrows=\"100000\"/></datatable>",
      "<datatable><comment>x</comment><what/></datatable>",
      "<datatable><size numcols=\"1\" numrows=\"1\"/><datacells>",
      "<!DOCTYPE d [<!ENTITY e \"e\">]><datatable/>",
  };
  const int32_t Codes[] = {xrInvalid, xrRefused, xrInvalid, xrMalformed, xrRefused};
  for (size_t I = 0; I < std::size(Bad); ++I) {
    EXPECT_EQ(Read(T, Bad[I]), Codes[I]) << Bad[I];
    EXPECT_EQ(T.NrOfColumns(), 2);
    EXPECT_EQ(T.CRCofNamesAndAttributes(), Names);
  }
}

}  // namespace
}  // namespace nux
