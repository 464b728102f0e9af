#include "nux/frame/ascio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace nux {
namespace {

std::vector<std::string> Names(const std::string& Text) {
  TTextScanner S{Text, 0};
  std::vector<std::string> Out;
  std::string N;
  while (S.NextName(N)) Out.push_back(N);
  return Out;
}

TEST(QuotedName, BareQuotedDoubledAndBrokenNames) {
  EXPECT_EQ(Names("x   y"), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(Names("\"a b\"\t\"say \"\"hi\"\"\" \"\" \"two\nlines\""),
            (std::vector<std::string>{"a b", "say \"hi\"", "", "two\nlines"}));
  // A character glued to a closing quote starts the next name; an unclosed quote is no name.
  EXPECT_EQ(Names("\"a\"b \"open"), (std::vector<std::string>{"a", "b"}));
  for (const std::string N : {"", "x", "\"", "a\"\"b\nc\t"})
    EXPECT_EQ(Names(QuoteName(N)), std::vector<std::string>{N});
}

TEST(ASCHeader, WrittenHeadersReadBackAndForgedOnesAreRefused) {
  const bool F[4] = {true, false, true, false};
  std::string Text = ASCHeader("note\twith\t;remark\r\nand more", 2, 1, F, true) + "1 n 2 3\n";
  TTextScanner S{Text, 0};
  std::string C;
  int32_t Nc = 0, Nr = 0;
  bool G[4] = {false, true, false, true};
  ASSERT_EQ(ReadHeaderOfASC(S, C, Nc, Nr, G), ascOK);
  EXPECT_EQ(C, "note\twith ;remark  and more");
  const std::string Bom = "\xEF\xBB\xBF";
  EXPECT_EQ(ASCHeader(Bom + "c", 1, 0, F).substr(0, 2), "c\n");
  EXPECT_EQ(Nc, 2);
  EXPECT_EQ(Nr, 1);
  EXPECT_TRUE(G[0] && !G[1] && G[2] && !G[3]);
  std::string_view W;
  ASSERT_TRUE(S.NextWord(W));
  EXPECT_EQ(W, "1");

  auto Code = [](const std::string& T) {
    TTextScanner Sc{T, 0};
    std::string Cm;
    int32_t A = 7, B = 7;
    bool Fl[4];
    const int32_t R = ReadHeaderOfASC(Sc, Cm, A, B, Fl);
    if (R != ascOK) {
      EXPECT_TRUE(A == 7 && B == 7);
    }
    return R;
  };
  const std::string Fl = "FALSE FALSE FALSE\n";
  EXPECT_EQ(Code("c\r\n1\r\n2\r\n" + Fl + "1\r\n2\r\n"), ascOK);
  EXPECT_EQ(Code(""), ascBadHeader);
  EXPECT_EQ(Code("c\n1\n1\n"), ascBadHeader);
  EXPECT_EQ(Code("c\n1x\n1\n" + Fl), ascBadHeader);
  EXPECT_EQ(Code("c\n1\n1\nFALSE maybe FALSE\n"), ascBadHeader);
  EXPECT_EQ(Code("c\n1\n1\nFALSE FALSE\n"), ascBadHeader);
  EXPECT_EQ(Code("c\n0\n1\n" + Fl), ascBadCounts);
  EXPECT_EQ(Code("c\n1\n-1\n" + Fl), ascBadCounts);
  EXPECT_EQ(Code("c\n1\n2000000000\n" + Fl + "1\n"), ascTooLarge);
  EXPECT_EQ(Code("c\n1\n99999999999999\n" + Fl), ascTooLarge);
  EXPECT_EQ(Code("c\n3\n2\n" + Fl + "1 2 3\n4 5\n"), ascTooLarge);
}

TEST(ASCFiles, MissingFolderAndBomFiles) {
  TempDir Dir;
  std::string Text = "x";
  EXPECT_EQ(ReadWholeTextFile(Dir.Path("none"), Text), ascNoFile);
  EXPECT_TRUE(Text.empty());
  EXPECT_EQ(ReadWholeTextFile(Dir.Path(""), Text), ascCannotRead);
  std::ofstream(Dir.Path("b")) << "\xEF\xBB\xBFhello";
  EXPECT_EQ(ReadWholeTextFile(Dir.Path("b"), Text), ascOK);
  EXPECT_EQ(Text, "hello");

  double X = 1;
  EXPECT_TRUE(ParseASCValue("NAN", X) && X == 0);
  EXPECT_TRUE(ParseASCValue("-Inf", X) && X < 0 && std::isinf(X));
  EXPECT_FALSE(ParseASCValue("1.2.3", X) || ParseASCValue("", X));

  std::istringstream In("  ab\tc\n\nlong");
  std::string W;
  std::vector<std::string> Ws;
  while (ReadNextWordInTextFile(In, W, 3)) Ws.push_back(W);
  EXPECT_EQ(Ws, (std::vector<std::string>{"ab", "c", "lon", "g"}));
}

}  // namespace
}  // namespace nux
