#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "nux/frame/stringl.h"
#include "nux/frame/xmlio.h"

namespace nux {
namespace {

// The tag scanners walk a text element by element: what precedes an element is passed over,
// positions advance exactly behind each element, leaves give their decoded text and elements
// with children their raw inner text.
TEST(XmlTagScanner, WalksElementsOfAString) {
  const std::string Doc =
      "<?xml version=\"1.0\"?>\n<!-- <fake/> -->text</closing>"
      "<a id=\"x&amp;y\" n='1'>one &lt; two</a><b/><c><d>4</d> <e/></c>tail";
  const TStrArray Tags = {"a", "c", "$invalid$"};
  int32_t Ix = -1;
  std::string Attr, Content;
  int64_t At = 0;  // below 1 counts as 1
  ASSERT_TRUE(ReadNextTagInString(Doc, At, Tags, 2, Ix, Attr, Content));
  EXPECT_EQ(Ix, 0);
  EXPECT_EQ(Attr, "id=\"x&amp;y\" n=\"1\"");
  EXPECT_EQ(Content, "one < two");
  EXPECT_EQ(Doc.substr(size_t(At - 1), 4), "<b/>");
  ASSERT_TRUE(ReadNextTagInString(Doc, At, Tags, 2, Ix, Attr, Content));
  EXPECT_EQ(Ix, 2);  // unknown
  EXPECT_EQ(Content, "");
  ASSERT_TRUE(ReadNextTagInString(Doc, At, Tags, 2, Ix, Attr, Content));
  EXPECT_EQ(Ix, 1);
  EXPECT_EQ(Content, "<d>4</d> <e/>");
  const int64_t End = At;
  EXPECT_EQ(Doc.substr(size_t(End - 1)), "tail");
  EXPECT_FALSE(ReadNextTagInString(Doc, At, Tags, 2, Ix, Attr, Content));
  EXPECT_EQ(At, End);
  // Malformed or refused input leaves the position where it was.
  for (const char* Bad : {"<a><b></a>", "<a>", "<!DOCTYPE a><a/>", "<a>&ext;</a>"}) {
    int64_t P = 1;
    EXPECT_FALSE(ReadNextTagInString(Bad, P, Tags, 2, Ix, Attr, Content)) << Bad;
    EXPECT_EQ(P, 1);
  }
}

TEST(XmlTagScanner, TextFileFormLeavesTheStreamBehindTheElement) {
  std::istringstream In("<x>1</x>\n<y k=\"v\">2</y><broken>");
  const TStrArray Tags = {"x", "y", "?"};
  int32_t Ix;
  std::string Attr, Content;
  ASSERT_TRUE(ReadNextTagInTextFile(In, Tags, 2, Ix, Attr, Content));
  EXPECT_EQ(Content, "1");
  ASSERT_TRUE(ReadNextTagInTextFile(In, Tags, 2, Ix, Attr, Content));
  EXPECT_EQ(Ix, 1);
  EXPECT_EQ(Attr, "k=\"v\"");
  EXPECT_FALSE(ReadNextTagInTextFile(In, Tags, 2, Ix, Attr, Content));
  std::string Rest;
  std::getline(In, Rest);
  EXPECT_EQ(Rest, "<broken>");
}

TEST(XmlTagScanner, NumbersWithPrecisionAndUtf8Cut) {
  EXPECT_EQ(XmlNumber(2.0 / 3.0, 4), "0.6667");
  EXPECT_EQ(XmlNumber(2.0 / 3.0, xmlFullPrecision), "0.6666666666666666");
  EXPECT_EQ(XmlNumber(-0.0, 3), "-0");
  EXPECT_EQ(XmlNumber(-std::numeric_limits<double>::quiet_NaN(), 3), "-nan");
  EXPECT_EQ(Utf8TruncateBytes("ab\xe2\x82\xac", 4), "ab");  // the euro sign needs 3 bytes
  EXPECT_EQ(Utf8TruncateBytes("ab\xe2\x82\xac", 5), "ab\xe2\x82\xac");
  EXPECT_EQ(Utf8TruncateBytes("abc", 0), "");
}

}  // namespace
}  // namespace nux
