#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "nux/frame/xmlio.h"
#include "nux/host/streams.h"
#include "nux/matrix/matrix.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

const double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();
// Values whose text form is delicate: signed zero, subnormals, extremes, non-finite.
const double Tricky[] = {0.1, -0.0, 5e-324,    -1.7976931348623157e308, Inf,         -Inf,
                         NaN, -NaN, 1.0 / 3.0, 2.2250738585072014e-308, 123456789.0, -2.5e-17};

bool SameBits(double A, double B) { return std::memcmp(&A, &B, sizeof A) == 0; }

// Every class through every carrier, at full precision, bit for bit; also the sizes, the
// DataID and the events (one OnChange, one OnResize).
TEST(MatrixXml, EveryClassRoundTripsBitForBitThroughEveryCarrier) {
  TempDir Dir;
  TMatrix M(4, 3);
  TMat3D M3(2, 3, 2);
  TMat4D M4(3, 2, 2, 2);
  TIntMatrix Mi(3, 2);
  int K = 0;
  for (int32_t C = 1; C <= 4; ++C)
    for (int32_t R = 1; R <= 3; ++R) M.SetVal(C, R, Tricky[K++ % 12]);
  for (int32_t X = 1; X <= 2; ++X)
    for (int32_t Y = 1; Y <= 3; ++Y)
      for (int32_t Z = 1; Z <= 2; ++Z) M3.SetVal(X, Y, Z, Tricky[K++ % 12]);
  M4.FillSerial(-3.25, 1.0 / 7.0);
  M4.SetVal(3, 2, 2, 2, -NaN);
  M4.SetVal(1, 1, 1, 1, -Inf);
  Mi.SetVal(1, 1, INT32_MIN);
  Mi.SetVal(3, 2, INT32_MAX);
  Mi.SetVal(2, 1, -7);

  const auto SameM = [](const TMatrix& A, const TMatrix& B) {
    ASSERT_EQ(A.NrOfColumns(), B.NrOfColumns());
    ASSERT_EQ(A.NrOfRows(), B.NrOfRows());
    for (int32_t C = 1; C <= A.NrOfColumns(); ++C)
      for (int32_t R = 1; R <= A.NrOfRows(); ++R)
        EXPECT_TRUE(SameBits(A.GetVal(C, R), B.GetVal(C, R))) << C << "," << R;
  };
  // File.
  {
    ASSERT_EQ(M.SaveAsXMLFile(Dir.Path("m.xml"), "grid"), xrOK);
    TMatrix Back(1, 1);
    int Changes = 0, Resizes = 0;
    Back.OnChange = [&](TObject*) { ++Changes; };
    Back.OnResize = [&](TObject*) { ++Resizes; };
    ASSERT_EQ(Back.LoadFromXMLFile(Dir.Path("m.xml"), "grid"), xrOK);
    SameM(M, Back);
    EXPECT_EQ(Back.DataID(), "grid");
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Resizes, 1);
  }
  // Stream.
  {
    TMemoryStream S;
    ASSERT_EQ(M.WriteToXMLStream(S, false, ""), xrOK);
    S.SetPosition(0);
    TMatrix Back;
    ASSERT_EQ(Back.ReadFromXMLStream(S, ""), xrOK);
    SameM(M, Back);
    EXPECT_EQ(S.Position(), S.Size() - 1);  // behind the element, before the line end
  }
  // Open text file: the other three classes one after the other in one file, read in turn.
  {
    std::ofstream Out(Dir.Path("all.xml"), std::ios::binary);
    ASSERT_EQ(M3.WriteToOpenXMLFile(Out, true, "a"), xrOK);
    ASSERT_EQ(M4.WriteToOpenXMLFile(Out, false, "b"), xrOK);
    ASSERT_EQ(Mi.WriteToOpenXMLFile(Out, false, "c"), xrOK);
  }
  std::ifstream In(Dir.Path("all.xml"), std::ios::binary);
  TMat3D B3;
  TMat4D B4;
  TIntMatrix Bi;
  ASSERT_EQ(B3.ReadFromOpenXMLFile(In, ""), xrOK);
  ASSERT_EQ(B4.ReadFromOpenXMLFile(In, ""), xrOK);
  ASSERT_EQ(Bi.ReadFromOpenXMLFile(In, ""), xrOK);
  EXPECT_EQ(B4.DataID(), "b");
  ASSERT_EQ(B3.NrOfLayers(), 2);
  for (int32_t X = 1; X <= 2; ++X)
    for (int32_t Y = 1; Y <= 3; ++Y)
      for (int32_t Z = 1; Z <= 2; ++Z)
        EXPECT_TRUE(SameBits(B3.GetVal(X, Y, Z), M3.GetVal(X, Y, Z)));
  ASSERT_EQ(B4.NrOfTimeSlots(), 2);
  EXPECT_EQ(B4.CRCofData(), M4.CRCofData());
  EXPECT_EQ(Bi.CRCofData(), Mi.CRCofData());
  // Nothing more in the file.
  TMatrix Untouched(2, 2);
  EXPECT_EQ(Untouched.ReadFromOpenXMLFile(In, ""), xrNotFound);
}

TEST(MatrixXml, PrecisionIsSignificantDigitsAndDataIDSelects) {
  TMatrix M(2, 1);
  M.SetVal(1, 1, 1234.5678);
  M.SetVal(2, 1, 1.0 / 3.0);
  std::ostringstream Out;
  ASSERT_EQ(M.WriteToOpenXMLFile(Out, false, "first", 3), xrOK);
  M.SetVal(1, 1, 7.0);
  ASSERT_EQ(M.WriteToOpenXMLFile(Out, false, "second"), xrOK);
  EXPECT_NE(Out.str().find(">1.23e+03<"), std::string::npos);
  EXPECT_NE(Out.str().find(">0.333<"), std::string::npos);
  std::istringstream In("<doc>" + Out.str() + "</doc>");
  TMatrix Back;
  ASSERT_EQ(Back.ReadFromOpenXMLFile(In, "second"), xrOK);  // nested, chosen by its id
  EXPECT_EQ(Back.GetVal(1, 1), 7.0);
  EXPECT_EQ(Back.GetVal(2, 1), 1.0 / 3.0);
  std::istringstream None("<doc>" + Out.str() + "</doc>");
  EXPECT_EQ(Back.ReadFromOpenXMLFile(None, "third"), xrNotFound);
}

// A long DataID is cut at 255 bytes, never inside a character, and still selects its matrix.
TEST(MatrixXml, DataIDIsCutOnACharacterBoundary) {
  std::string Id(254, 'x');
  Id += "\xc3\xa9\xc3\xa9";  // two 2-byte characters: the first ends at byte 256
  TMat3D M(1, 1, 1);
  std::ostringstream Out;
  ASSERT_EQ(M.WriteToOpenXMLFile(Out, true, Id), xrOK);
  std::istringstream In(Out.str());
  TMat3D Back;
  ASSERT_EQ(Back.ReadFromOpenXMLFile(In, Id), xrOK);
  EXPECT_EQ(Back.DataID(), std::string(254, 'x'));
}

// Hand-made documents: what the element step keeps, ignores and refuses. A failed load leaves
// the object as it was.
TEST(MatrixXml, HostileAndSparseDocuments) {
  const auto Load = [](TMatrix& M, const std::string& Doc) {
    std::istringstream In(Doc);
    return M.ReadFromOpenXMLFile(In, "");
  };
  TMatrix M(2, 2);
  M.Fill(5.0);
  // Unlisted cells are 0 even where the object had values; indices outside or beyond 32 bits
  // are ignored, never wrapped; a malformed value reads as 0.
  ASSERT_EQ(Load(M,
                 "<matrix><numcols>3</numcols><numrows>2</numrows>"
                 "<cell ix=\"2\" iy=\"2\">1.5</cell>"
                 "<cell ix=\"4294967298\" iy=\"1\">9</cell>"
                 "<cell ix=\"1\" iy=\"-1\">9</cell><cell iy=\"1\">9</cell>"
                 "<cell ix=\"3\" iy=\"1\">abc</cell></matrix>"),
            xrOK);
  ASSERT_EQ(M.NrOfColumns(), 3);
  for (int32_t C = 1; C <= 3; ++C)
    for (int32_t R = 1; R <= 2; ++R) EXPECT_EQ(M.GetVal(C, R), C == 2 && R == 2 ? 1.5 : 0.0);
  // A document without cells still takes its size.
  ASSERT_EQ(Load(M, "<matrix><numrows>4</numrows><numcols>1</numcols></matrix>"), xrOK);
  EXPECT_EQ(M.NrOfRows(), 4);
  M.Fill(2.0);
  const std::string Before = M.CRCofData();
  const char* Bad[] = {
      // sizes of an earlier document do not carry over
      "<matrix><cell ix=\"1\" iy=\"1\">1</cell></matrix>",
      "<matrix><numcols>0</numcols><numrows>3</numrows><cell ix=\"1\" iy=\"1\">1</cell></matrix>",
      "<matrix><numcols>99999999999</numcols><numrows>3</numrows></matrix>",
      // a size bomb: announced far beyond what the document could fill
      "<matrix><numcols>2000000</numcols><numrows>2000000</numrows></matrix>",
      "<matrix><numcols>1</numcols><numrows>1</numrows><bogus/></matrix>",
      "<matrix><numcols>1</numcols><numrows>1</numrows><cell ix=\"1\" iy=\"1\">1</cell>",
      "<!DOCTYPE m [<!ENTITY a \"aaaa\">]><matrix>&a;</matrix>",
      "<matrix><numcols>1</numcols>&undefined;</matrix>",
      "",
      "no markup at all",
  };
  const int32_t Codes[] = {xrInvalid,   xrInvalid, xrInvalid,   xrRefused,  xrInvalid,
                           xrMalformed, xrRefused, xrMalformed, xrNotFound, xrNotFound};
  for (size_t I = 0; I < std::size(Bad); ++I) {
    EXPECT_EQ(Load(M, Bad[I]), Codes[I]) << Bad[I];
    EXPECT_EQ(M.NrOfRows(), 4);
    EXPECT_EQ(M.CRCofData(), Before);
  }
}

// ProcessXmlTag on its own: the element step the readers use, applied to the object itself.
TEST(MatrixXml, ElementStepOnItsOwn) {
  TMat4D M(1, 1, 1, 1);
  M.Fill(3.0);
  EXPECT_EQ(M.ProcessXmlTag(xmlMatBegin, "", ""), 0);
  EXPECT_EQ(M.ProcessXmlTag(xmlMatNumCols, "", " 2"), 0);
  EXPECT_EQ(M.ProcessXmlTag(xmlMatNumRows, "", "+1x"), 0);  // digits up to the first non-digit
  EXPECT_EQ(M.ProcessXmlTag(xmlMatNumLayers, "", "1"), 0);
  EXPECT_EQ(M.ProcessXmlTag(xmlMatCell, "ix=\"1\" iy=\"1\" il=\"1\" it=\"1\"", "1"), xrInvalid);
  EXPECT_EQ(M.ProcessXmlTag(xmlMatNumTimeSlots, "", "2"), 0);
  // "ix" inside another attribute's name is not the index.
  EXPECT_EQ(M.ProcessXmlTag(xmlMatCell, "aix=\"1\" ix=\"2\" iy=\"1\" il=\"1\" it=\"2\"", "-inf"),
            0);
  EXPECT_EQ(M.NrOfColumns(), 2);
  EXPECT_EQ(M.NrOfTimeSlots(), 2);
  EXPECT_EQ(M.GetVal(1, 1, 1, 1), 0.0);  // the old contents are gone
  EXPECT_EQ(M.GetVal(2, 1, 1, 2), -Inf);
  EXPECT_EQ(M.ProcessXmlTag(xmlMatEnd, "", ""), 1);
  EXPECT_EQ(M.ProcessXmlTag(matrix::xmlInvalid, "", ""), -1);
  TIntMatrix Mi(1, 1);
  EXPECT_EQ(Mi.ProcessXmlTag(xmlMatBegin, "", ""), 0);
  EXPECT_EQ(Mi.ProcessXmlTag(xmlMatNumCols, "", "1"), 0);
  EXPECT_EQ(Mi.ProcessXmlTag(xmlMatNumRows, "", "1"), 0);
  EXPECT_EQ(Mi.ProcessXmlTag(xmlMatCell, "ix=\"1\" iy=\"1\"", "2147483648"), 0);
  EXPECT_EQ(Mi.GetVal(1, 1), 0);  // beyond 32 bits: not stored, not wrapped
  EXPECT_EQ(Mi.ProcessXmlTag(xmlMatCell, "ix=\"1\" iy=\"1\"", " -2147483648"), 0);
  EXPECT_EQ(Mi.GetVal(1, 1), INT32_MIN);
}

// A sparse integer matrix is written through its values and loads back dense.
TEST(MatrixXml, SparseIntegerMatrixLoadsDense) {
  auto S = TIntMatrix::CreateSparse(nullptr, 4);
  S->SetVal(3, 5, 11);
  S->SetVal(1, 2, -4);
  std::ostringstream Out;
  ASSERT_EQ(S->WriteToOpenXMLFile(Out, false, ""), xrOK);
  std::istringstream In(Out.str());
  auto B = TIntMatrix::CreateSparse(nullptr, 4);
  B->SetVal(9, 9, 1);
  ASSERT_EQ(B->ReadFromOpenXMLFile(In, ""), xrOK);
  EXPECT_FALSE(B->IsSparse());
  EXPECT_EQ(B->NrOfColumns(), 3);
  EXPECT_EQ(B->NrOfRows(), 5);
  EXPECT_EQ(B->GetVal(3, 5), 11);
  EXPECT_EQ(B->GetVal(1, 2), -4);
  EXPECT_EQ(B->GetVal(2, 2), 0);
}

}  // namespace
}  // namespace nux
