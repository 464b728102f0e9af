#include "nux/frame/xmlio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace nux {
namespace {

// Whatever text goes in comes back readable: escaped markup, line ends, invalid bytes.
TEST(XmlIO, WriterOutputParsesBackToSameValues) {
  const std::string Raw = std::string("a<b>&\"c'\r\n\td\x01") + "\xc3\xa9\xff\xed\xa0\x80" + "z";
  const double Nan = std::numeric_limits<double>::quiet_NaN();
  const double Numbers[] = {0.1, -0.0, 5e-324, std::numeric_limits<double>::max(), -Nan};
  TXmlWriter W;
  W.Declaration();
  W.Open("root", {{"dataid", Raw}});
  W.Element("text", Raw);
  W.Numbers("nums", Numbers, 5);
  W.Boolean("flag", true);
  W.Integer("count", -17);
  W.Close();
  TXmlElement Root;
  ASSERT_EQ(ParseXml(W.Text(), Root), xrOK);
  const std::string Expected = std::string("a<b>&\"c'\r\n\td?") + "\xc3\xa9????" + "z";
  EXPECT_EQ(*Root.Attribute("dataid"), Expected);
  EXPECT_EQ(Root.Child("text")->Text, Expected);
  TDoubleArray Back;
  ASSERT_TRUE(XmlToNumbers(Root.Child("nums")->Text, 5, Back));
  for (int I = 0; I < 5; ++I) EXPECT_EQ(std::memcmp(&Back[size_t(I)], &Numbers[I], 8), 0);
  EXPECT_FALSE(XmlToNumbers(Root.Child("nums")->Text, 4, Back));
  // A NaN read with a payload becomes the plain one, which then round-trips.
  double X = 0;
  ASSERT_TRUE(XmlToNumber(" nan(123) ", X));
  EXPECT_EQ(std::memcmp(&X, &Nan, 8), 0);
  EXPECT_FALSE(XmlToNumbers(Root.Child("nums")->Text, 6, Back));
  bool B = false;
  int32_t N = 0;
  EXPECT_TRUE(XmlToBool(Root.Child("flag")->Text, B) && B);
  EXPECT_FALSE(XmlToBool("true", B));
  EXPECT_TRUE(XmlToInt32(" -17\n", N));
  EXPECT_EQ(N, -17);
  EXPECT_FALSE(XmlToInt32("2147483648", N));
  EXPECT_FALSE(XmlToInt32("", N));
  EXPECT_EQ(Root.FindWithDataID("text", "x"), nullptr);
  EXPECT_EQ(Root.FindWithDataID("text", ""), Root.Child("text"));
}

TEST(XmlIO, RefusesDeclarationsAndLimits) {
  TXmlElement Root;
  Root.Name = "kept";
  EXPECT_EQ(ParseXml("<!DOCTYPE a SYSTEM \"file:///etc/passwd\"><a/>", Root), xrRefused);
  EXPECT_EQ(ParseXml("<a>&unknown;</a>", Root), xrMalformed);
  EXPECT_EQ(ParseXml("<a><b></a>", Root), xrMalformed);
  EXPECT_EQ(ParseXml("<a/><b/>", Root), xrMalformed);
  std::string Deep;
  for (int I = 0; I < 100; ++I) Deep += "<a>";
  EXPECT_EQ(ParseXml(Deep, Root), xrRefused);
  TXmlLimits Few;
  Few.MaxElements = 3;
  EXPECT_EQ(ParseXml("<a><b/><b/><b/></a>", Root, Few), xrRefused);
  EXPECT_EQ(Root.Name, "kept");
}

}  // namespace
}  // namespace nux
