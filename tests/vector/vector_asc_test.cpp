#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "nux/frame/ascio.h"
#include "nux/frame/streamio.h"
#include "nux/vector/vector.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

std::string Slurp(const std::string& F) {
  std::ifstream In(F);
  std::stringstream S;
  S << In.rdbuf();
  return S.str();
}
void Put(const std::string& F, const std::string& Text) { std::ofstream(F) << Text; }

TEST(VectorASC, WritesTheLayoutAndReadsItBack) {
  TempDir Dir;
  const std::string F = Dir.Path("v.asc");
  TVector V(std::vector<double>{1.5, -2.25, 1e6});
  ASSERT_EQ(V.ExportAsASC(F, 3, ""), 0);
  EXPECT_EQ(Slurp(F), "Exported by NUX TVector component: " + F +
                          "\n1\t;nr. of columns\n3\t;nr. of rows\n"
                          "FALSE FALSE FALSE FALSE\t;row attributes, column names, row names, "
                          "nominal variables\n       1.500\n      -2.250\n 1000000.000\n");
  TVector B;
  std::string C;
  ASSERT_EQ(B.ImportASC(F, C), ascOK);
  EXPECT_EQ(B.Data(), V.Data());
  EXPECT_EQ(C, "Exported by NUX TVector component: " + F);
  ASSERT_EQ(V.ExportAsASC(F, 2, "two\nlines"), 0);
  EXPECT_EQ(Slurp(F).substr(0, 10), "two lines\n");

  TIntVector I(std::vector<int32_t>{-2147483647 - 1, 0, 7});
  ASSERT_EQ(I.ExportAsASC(F, ""), 0);
  TIntVector IB;
  ASSERT_EQ(IB.ImportASC(F, C), ascOK);
  EXPECT_EQ(IB.Data(), I.Data());
  // A folder cannot be written over: -1, and nothing changes.
  EXPECT_EQ(V.ExportAsASC(Dir.Path(""), 2, ""), -1);
}

TEST(VectorASC, ReadersKeepWhatTheyReadAndRefuseForgedFiles) {
  TempDir Dir;
  const std::string F = Dir.Path("v.asc");
  const std::string H = "c\n1\n4\nTRUE TRUE TRUE\n";
  std::string C;
  TVector V(std::vector<double>{9, 9});
  // Attributes, names spread over lines, NAN and ### as 0, infinities as words.
  Put(F, H + "\"col\"\n1 \"r 1\" 2.5\n2 r2\nNAN\r\n3 \"x\" ###\n4 \"\" -Inf\n");
  ASSERT_EQ(V.ImportASC(F, C), ascOK);
  ASSERT_EQ(V.NrOfElem(), 4);
  EXPECT_EQ(V.GetVal(1), 2.5);
  EXPECT_EQ(V.GetVal(2), 0);
  EXPECT_EQ(V.GetVal(3), 0);
  EXPECT_TRUE(std::isinf(V.GetVal(4)));

  Put(F, "c\n1\n3\nFALSE FALSE FALSE\n1\n2\n1.2.3\n");
  EXPECT_EQ(V.ImportASC(F, C), ascBadValue);
  EXPECT_EQ(V.Data(), (std::vector<double>{1, 2}));
  Put(F, "c\n1\n2\nFALSE FALSE FALSE\nx 2\n");
  EXPECT_EQ(V.ImportASC(F, C), ascBadValue);
  EXPECT_EQ(V.Data(), std::vector<double>{0});
  EXPECT_TRUE(V.IsEmpty());
  const std::string H1 = "c\n1\n1\nTRUE TRUE TRUE\n";
  Put(F, H1 + "\"col\"\nx \"r\" 2\n");
  EXPECT_EQ(V.ImportASC(F, C), ascBadAttribute);
  Put(F, H1 + "\"col\"\n1 \"r");
  EXPECT_EQ(V.ImportASC(F, C), ascBadName);

  V.SetValues(std::vector<double>{5, 6});
  Put(F, "c\n2\n1\nFALSE FALSE FALSE\n1 2\n");
  EXPECT_EQ(V.ImportASC(F, C), ascWrongShape);
  Put(F, "c\n1\n-2000000000\nFALSE FALSE FALSE\n1\n");
  EXPECT_EQ(V.ImportASC(F, C), ascBadCounts);
  Put(F, "c\n1\n2000000000\nFALSE FALSE FALSE\n1\n");
  EXPECT_EQ(V.ImportASC(F, C), ascTooLarge);
  Put(F, std::string("\0\x01\xff garbage", 11));
  EXPECT_EQ(V.ImportASC(F, C), ascBadHeader);
  EXPECT_EQ(V.ImportASC(Dir.Path("missing"), C), ascNoFile);
  EXPECT_EQ(V.ImportASC(Dir.Path(""), C), ascCannotRead);
  EXPECT_EQ(V.Data(), (std::vector<double>{5, 6}));

  // Integers are checked before rounding; halves go to even.
  TIntVector I;
  Put(F, "c\n1\n3\nFALSE FALSE FALSE\n2.5\n-3.5\n3e9\n");
  EXPECT_EQ(I.ImportASC(F, C), ascBadValue);
  EXPECT_EQ(I.Data(), (std::vector<int32_t>{2, -4}));
}

TEST(VectorPersistence, StreamFormRoundTripsAndRefusesForgedIndices) {
  TVector V(std::vector<double>{1, 2, 3});
  std::unique_ptr<TMemoryStream> S;
  V.SaveToStream(S, 2, 3);
  ASSERT_TRUE(S);
  S->SetPosition(0);
  bool Ok = true;
  for (const double Want : {2.0, 3.0, 2.0, 3.0}) EXPECT_EQ(ReadExtendedFromStream(*S, Ok), Want);
  int32_t Changes = 0;
  TVector B(std::vector<double>{7, 7, 7});
  B.OnChange = [&](TObject*) { ++Changes; };
  S->SetPosition(0);
  EXPECT_TRUE(B.LoadFromStream(S.get(), false));
  EXPECT_EQ(B.Data(), (std::vector<double>{7, 2, 3}));
  TVector Short(std::vector<double>{7, 7});
  Short.OnChange = [&](TObject*) { ++Changes; };
  Changes = 0;
  S->SetPosition(0);
  EXPECT_FALSE(Short.LoadFromStream(S.get(), false));
  EXPECT_EQ(Short.Data(), (std::vector<double>{7, 7}));
  EXPECT_EQ(Changes, 1);
  S->SetPosition(0);
  EXPECT_TRUE(Short.LoadFromStream(S.get(), true));
  EXPECT_EQ(Short.Data(), (std::vector<double>{7, 2, 3}));
  EXPECT_FALSE(Short.LoadFromStream(nullptr, true));

  // A forged last index of 2e9 is refused before any resize.
  TMemoryStream Forged;
  WriteLongintToStream(Forged, 1);
  WriteLongintToStream(Forged, 2000000000);
  WriteLongintToStream(Forged, 5);
  Forged.SetPosition(0);
  TIntVector I;
  EXPECT_FALSE(I.LoadFromStream(&Forged, true));
  EXPECT_EQ(I.NrOfElem(), 1);
  TIntVector IS(std::vector<int32_t>{4, -5});
  TMemoryStream Good;
  IS.SaveToStream(Good, 0, 0);
  Good.SetPosition(0);
  EXPECT_TRUE(I.LoadFromStream(&Good, true));
  EXPECT_EQ(I.Data(), IS.Data());
}

TEST(VectorPersistence, TextListForms) {
  TempDir Dir;
  const std::string F = Dir.Path("v.txt");
  TVector V(std::vector<double>{1.25, -0.1, 1.0 / 3});
  ASSERT_TRUE(V.StoreOnFile(0, 0, 3, F));
  EXPECT_EQ(Slurp(F), "1 3\n1.250\n-0.100\n0.333\n");
  ASSERT_TRUE(V.StoreOnFile(3, 2, -5, F));
  EXPECT_EQ(Slurp(F), "2 3\n-0.10\n0.33\n");
  ASSERT_TRUE(V.StoreOnFile(0, 0, -2, F));
  TVector B;
  ASSERT_TRUE(B.LoadFromFile(F, true));
  EXPECT_EQ(B.Data(), V.Data());
  ASSERT_TRUE(V.StoreOnFile(0, 0, -1, F));
  EXPECT_EQ(Slurp(F).substr(4, 14), " 1.250000e+00\n");
  EXPECT_FALSE(V.StoreOnFile(0, 0, 2, Dir.Path("")));
  EXPECT_FALSE(V.StoreOnFile(0, 0, 2, Dir.Path("no/such/dir")));

  Put(F, "1.5\n\n2.5\n");
  TVector A(std::vector<double>{9, 9, 9, 9});
  ASSERT_TRUE(A.LoadFromFile(F, true, true));
  EXPECT_EQ(A.Data(), (std::vector<double>{1.5, 2.5}));
  EXPECT_FALSE(A.LoadFromFile(Dir.Path("missing"), true, true));

  // Forged headers leave the vector alone; bad numbers are skipped.
  for (const std::string T : {"1 2000000000\n1\n", "-2000000000 1\n1\n", "x 2\n", "3 1\n1\n"}) {
    Put(F, T);
    EXPECT_FALSE(A.LoadFromFile(F, true)) << T;
    EXPECT_EQ(A.NrOfElem(), 2);
  }
  TIntVector I(std::vector<int32_t>{1, 2, 3});
  ASSERT_TRUE(I.StoreOnFile(3, -4, F));
  EXPECT_EQ(Slurp(F), "1 3\n1\n2\n3\n");
  Put(F, "1 3\n2.5\n3e9\n-1.5\n");
  TIntVector J(std::vector<int32_t>{9, 9, 9});
  ASSERT_TRUE(J.LoadFromFile(F, false));
  EXPECT_EQ(J.Data(), (std::vector<int32_t>{2, 9, -2}));
  Put(F, "1 4\n1\n2\n3\n4\n");
  EXPECT_FALSE(J.LoadFromFile(F, false));
  EXPECT_EQ(J.Data(), (std::vector<int32_t>{2, 9, -2}));
}

}  // namespace
}  // namespace nux
