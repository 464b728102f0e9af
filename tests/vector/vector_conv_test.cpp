#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "nux/vector/vector_text.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

// Restores the process-wide switch even when an assertion fails.
struct ScopedIndexChecking {
  explicit ScopedIndexChecking(bool On) { SetIndexChecking(On); }
  ~ScopedIndexChecking() { SetIndexChecking(false); }
};

TEST(VectorConvenience, ConstructAccessAndViews) {
  TVector V(4);
  EXPECT_EQ(V.NrOfElem(), 4);
  int Changes = 0;
  V.OnChange = [&](TObject*) { ++Changes; };
  V(2) = 1.5;
  V(3) = V(2);  // copies the value, not the reference
  V(3) *= 4;
  V(9) = 7;  // outside: ignored, as SetVal
  EXPECT_EQ(V.ToStdVector(), (std::vector<double>{0, 1.5, 6, 0}));
  EXPECT_EQ(Changes, 3);
  const TVector& C = V;
  EXPECT_EQ(C(0), 0.0);
  EXPECT_EQ(V.Span().size(), 4u);

  TIntVector I(std::vector<int32_t>{3, -1, 2});
  EXPECT_EQ(I(1) + I(2), 2);
  EXPECT_THROW(TVector(0), ENUXVectorError);
  EXPECT_THROW(TVector(std::vector<double>{}), ENUXVectorError);

  int Resizes = 0;
  V.OnResize = [&](TObject*) { ++Resizes; };
  V.SetValues(std::vector<double>{1, 2});
  V.SetValues(std::vector<double>{3, 4});
  EXPECT_EQ(Resizes, 1);
  EXPECT_FALSE(V.IsEmpty());
}

TEST(VectorConvenience, IndexCheckingIsOptIn) {
  TVector V(3);
  V.SetName("v");
  {
    ScopedIndexChecking On(true);
    try {
      V(4) = 1;
      FAIL() << "no exception";
    } catch (const ENUXVectorError& E) {
      EXPECT_NE(std::string(E.what()).find("element index 4 outside 1..3"), std::string::npos)
          << E.what();
    }
    const TVector& C = V;
    EXPECT_THROW((void)C(0), ENUXVectorError);
    EXPECT_EQ(V.GetVal(4), 0.0);  // the named accessors keep their rules
  }
  EXPECT_NO_THROW(V(4) = 1);
}

TEST(VectorConvenience, PlainTextRoundTripAndFailures) {
  TempDir Dir;
  TVector V(std::vector<double>{0.1, -1e-300, 2.0 / 3});
  ASSERT_EQ(SavePlainText(Dir.Path("v.txt"), V), ptOK);
  TVector Back;
  ASSERT_EQ(LoadPlainText(Dir.Path("v.txt"), Back), ptOK);
  EXPECT_EQ(Back.ToStdVector(), V.ToStdVector());
  std::ostringstream Printed;
  Printed << V;
  EXPECT_EQ(Printed.str(), "0.1\n-1e-300\n0.6666666666666666\n");

  std::istringstream Mixed("1 2\n3\n");  // a column may also be written across lines
  ASSERT_EQ(LoadPlainText(Mixed, Back), ptOK);
  EXPECT_EQ(Back.ToStdVector(), (std::vector<double>{1, 2, 3}));

  TIntVector I(std::vector<int32_t>{5});
  int64_t Line = -1;
  for (const char* Bad : {"1\n2.5\n", "1\n3000000000\n"}) {
    std::istringstream In(Bad);
    EXPECT_EQ(LoadPlainText(In, I, &Line), ptNotANumber) << Bad;
    EXPECT_EQ(Line, 2);
  }
  EXPECT_EQ(I.ToStdVector(), (std::vector<int32_t>{5}));
  EXPECT_EQ(LoadPlainText(Dir.Path("missing.txt"), I, &Line), ptCannotOpen);
  EXPECT_EQ(SavePlainText(Dir.Path("no/such/dir/v.txt"), V), ptCannotWrite);
}

}  // namespace
}  // namespace nux
