#include "nux/frame/stringl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace nux {
namespace {

TEST(Strff, FixedNotationRightAligned) {
  EXPECT_EQ(strff(3.14159, 8, 2), "    3.14");
  EXPECT_EQ(strff(-2.5, 1, 0), "-2");  // halves to even
  EXPECT_EQ(strff(3.5, 1, 0), "4");
  EXPECT_EQ(strff(0.125, 1, 2), "0.12");        // 0.125 is exact: to even
  EXPECT_EQ(strff(1234.5678, 3, 1), "1234.6");  // never cut
  EXPECT_EQ(strff(1.0, 6, -3), "     1");       // negative decimals act as 0
  EXPECT_EQ(strff(std::numeric_limits<double>::quiet_NaN(), 5, 2), "  NaN");
  EXPECT_EQ(strff(-INFINITY, 1, 2), "-Inf");
  EXPECT_EQ(strff(1.7976931348623157e308, 1, 40).size(), 309u + 41u);
}

TEST(Strings, StrippingAndCleaning) {
  EXPECT_EQ(StripLTBlanks(" \t a b \t "), "a b");
  EXPECT_EQ(StripLTBlanks("   "), "");
  EXPECT_EQ(StripTrailingChars("1.2500", "0"), "1.25");
  EXPECT_EQ(StripTrailingChars("xx;,;", ",;"), "xx");
  EXPECT_EQ(RemoveControlChars(std::string("a\tb\r\nc\x7F\x01", 8) + "\xC3\xA9"), "abc\xC3\xA9");
  EXPECT_EQ(ReplaceCharInString("1,5;2,5", ',', '.'), "1.5;2.5");
}

TEST(Strings, ContainsWithCharacterClasses) {
  EXPECT_TRUE(StringContains("value 3", "//dig"));
  EXPECT_FALSE(StringContains("no digits here", "//dig"));
  EXPECT_FALSE(StringContains("", "//dig"));
  EXPECT_TRUE(StringContains("12 ab", "//alpha"));
  EXPECT_TRUE(StringContains("-3-", "//alnum"));
  EXPECT_FALSE(StringContains("-+-", "//alnum"));
  EXPECT_TRUE(StringContains("a\tb", "//blank"));
  EXPECT_TRUE(StringContains("abc//dig", "c//d"));  // other patterns are substrings
  EXPECT_FALSE(StringContains("abc", "ABC"));
  EXPECT_TRUE(StringContains("abc", ""));
}

TEST(Strings, StringIxIsOneBasedAndOptionallyCaseBlind) {
  const TStrArray List = {"linear", "Gauss", "vote"};
  EXPECT_EQ(StringIx("Gauss", List, true), 2);
  EXPECT_EQ(StringIx("gauss", List, true), 0);
  EXPECT_EQ(StringIx("GAUSS", List, false), 2);
  EXPECT_EQ(StringIx("x", {}, false), 0);
  EXPECT_EQ(StringIx("vote", {"vote", "vote"}, true), 1);  // the first match wins
}

TEST(Strings, TokenizeDropsOrKeepsEmptyTokens) {
  EXPECT_EQ(Tokenize("  a  b\tc ", " \t"), (TStrArray{"a", "b", "c"}));
  EXPECT_EQ(Tokenize("a;;b;", ";", true), (TStrArray{"a", "", "b", ""}));
  EXPECT_EQ(Tokenize("", ";"), TStrArray{});
  EXPECT_EQ(Tokenize("", ";", true), TStrArray{""});
  EXPECT_EQ(Tokenize("abc", ""), TStrArray{"abc"});
}

TEST(Strings, Utf8CountsAndCutsWholeCodePoints) {
  const std::string Text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a, e-acute, euro, emoji, z
  EXPECT_EQ(Utf8Length(Text), 5u);
  EXPECT_EQ(Utf8Truncate(Text, 2), "a\xC3\xA9");
  EXPECT_EQ(Utf8Truncate(Text, 3), "a\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Utf8Truncate(Text, 0), "");
  EXPECT_EQ(Utf8Truncate(Text, 50), Text);
  EXPECT_EQ(UpperCase("abC\xC3\xA9"), "ABC\xC3\xA9");
  EXPECT_TRUE(SameText("Linear", "LINEAR"));
  EXPECT_FALSE(SameText("Linear", "Linea"));
}

}  // namespace
}  // namespace nux
