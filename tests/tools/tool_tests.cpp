// The nux program run as a user runs it: results against values computed with numpy/scipy
// (tests/data/cli/make_cli_data.py), the output forms, exit codes and the plot files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace {

using nlohmann::json;

const std::string Data = NUX_TOOL_DATA;

struct TRun {
  int Code = -1;
  std::string Out, Err;
};

std::string ReadFile(const std::string& Name) {
  std::ifstream F(Name, std::ios::binary);
  std::ostringstream S;
  S << F.rdbuf();
  return S.str();
}

// A scratch folder per test program run.
std::string Scratch() {
  static const std::string Dir = [] {
    std::string D = ::testing::TempDir() + "nux_tool_XXXXXX";
    if (!mkdtemp(D.data())) std::abort();
    return D;
  }();
  return Dir;
}

// Runs `nux Args` through the shell (so Args may redirect standard input).
TRun Nux(const std::string& Args) {
  const std::string Out = Scratch() + "/stdout", Err = Scratch() + "/stderr";
  const std::string Cmd =
      std::string("'") + NUX_TOOL + "' " + Args + " >'" + Out + "' 2>'" + Err + "'";
  const int St = std::system(Cmd.c_str());
  TRun R;
  R.Code = WIFEXITED(St) ? WEXITSTATUS(St) : -1;
  R.Out = ReadFile(Out);
  R.Err = ReadFile(Err);
  return R;
}

json Reference() { return json::parse(ReadFile(Data + "/reference.json")); }

void ExpectNear(double Got, double Want, const std::string& What) {
  EXPECT_NEAR(Got, Want, 1e-10 * std::max(1.0, std::fabs(Want))) << What;
}

TEST(NuxTool, DescribeMatchesReferenceInEveryForm) {
  const TRun R = Nux("describe " + Data + "/weather.csv --json");
  ASSERT_EQ(R.Code, 0) << R.Err;
  const json J = json::parse(R.Out);
  const json Ref = Reference()["describe"];
  ASSERT_EQ(J["describe"].size(), 4u);  // the text column is not numeric
  for (const json& Row : J["describe"]) {
    const std::string Name = Row["column"];
    const json& W = Ref[Name];
    for (const char* K : {"mean", "std", "min", "25%", "50%", "75%", "max", "skewness", "kurtosis"})
      ExpectNear(Row[K].get<double>(), W[K].get<double>(), Name + " " + K);
    EXPECT_EQ(Row["count"], W["count"]);
    EXPECT_EQ(Row["missing"].get<int>(), 120 - W["count"].get<int>());
  }
  // The same file from standard input, as text and as CSV.
  const TRun Text = Nux("describe - < " + Data + "/weather.csv");
  ASSERT_EQ(Text.Code, 0) << Text.Err;
  EXPECT_EQ(Text.Out.substr(0, Text.Out.find('\n')),
            "column       count  missing     mean      std     min     25%      50%      75%     "
            "max    skewness   kurtosis");
  EXPECT_NE(Text.Out.find("humidity       119        1  80.5807"), std::string::npos) << Text.Out;
  const TRun Csv = Nux("describe " + Data + "/weather.csv --csv --columns wind");
  ASSERT_EQ(Csv.Code, 0);
  EXPECT_EQ(Csv.Out.substr(0, Csv.Out.find('\n')),
            "column,count,missing,mean,std,min,25%,50%,75%,max,skewness,kurtosis");
  EXPECT_EQ(std::count(Csv.Out.begin(), Csv.Out.end(), '\n'), 2);
}

TEST(NuxTool, CorrelationAndComponentsMatchReference) {
  const json Ref = Reference();
  const TRun C = Nux("corr " + Data + "/weather.csv --json");
  ASSERT_EQ(C.Code, 0) << C.Err;
  const json J = json::parse(C.Out)["pearson"];
  const char* Names[] = {"temperature", "pressure", "humidity", "wind"};
  for (size_t I = 0; I < 4; ++I)
    for (size_t K = 0; K < 4; ++K)
      ExpectNear(J[I][Names[K]].get<double>(), Ref["pearson"][I][K].get<double>(), "r");
  const TRun P = Nux("pca " + Data + "/weather.csv --json");
  ASSERT_EQ(P.Code, 0) << P.Err;
  const json Comp = json::parse(P.Out)["components"];
  double Sum = 0;
  for (size_t I = 0; I < 4; ++I) {
    ExpectNear(Comp[I]["eigenvalue"].get<double>(), Ref["pca_eigenvalues"][I].get<double>(), "ev");
    Sum += Ref["pca_eigenvalues"][I].get<double>();
  }
  ExpectNear(Comp[0]["share"].get<double>(), Ref["pca_eigenvalues"][0].get<double>() / Sum, "sh");
  ExpectNear(Comp[3]["cumulative"].get<double>(), 1.0, "cumulative");
}

TEST(NuxTool, SpectrumAndWaveletOfASemicolonFile) {
  // The delimiter and the header are detected; the tones are at 50 and 120 Hz.
  const TRun S =
      Nux("spectrum " + Data + "/vibration.csv --column accel --sample-time 0.001 --json");
  ASSERT_EQ(S.Code, 0) << S.Err;
  const json J = json::parse(S.Out)["spectrum"];
  ASSERT_EQ(J.size(), 513u);
  std::vector<std::pair<double, double>> Lines;
  for (const json& L : J)
    Lines.emplace_back(L["magnitude"].get<double>(), L["frequency"].get<double>());
  std::sort(Lines.rbegin(), Lines.rend());
  EXPECT_NEAR(Lines[0].second, 50, 1);
  const auto Second = std::find_if(Lines.begin(), Lines.end(),
                                   [](const auto& L) { return std::fabs(L.second - 50) > 3; });
  EXPECT_NEAR(Second->second, 120, 1);
  // The periodic Daubechies transform keeps the energy: bands sum to the sum of squares.
  const TRun W = Nux("wavelet " + Data + "/vibration.csv --column 2 --order 3 --json");
  ASSERT_EQ(W.Code, 0) << W.Err;
  double Energy = 0, Share = 0, Squares = 0;
  const json Bands = json::parse(W.Out)["bands"];
  for (const json& B : Bands) {
    Energy += B["energy"].get<double>();
    Share += B["share"].get<double>();
  }
  std::istringstream In(ReadFile(Data + "/vibration.csv"));
  std::string Line;
  std::getline(In, Line);
  while (std::getline(In, Line)) Squares += std::pow(std::stod(Line.substr(Line.find(';') + 1)), 2);
  EXPECT_NEAR(Energy, Squares, 1e-9 * Squares);
  EXPECT_NEAR(Share, 1, 1e-12);
}

TEST(NuxTool, ConvertRoundTripAndReadingOptions) {
  const std::string Asc = Scratch() + "/weather.asc", Back = Scratch() + "/back.csv";
  ASSERT_EQ(Nux("convert " + Data + "/weather.csv " + Asc).Code, 0);
  ASSERT_EQ(Nux("convert " + Asc + " " + Back + " --out-delimiter semicolon").Code, 0);
  const std::string Want = Nux("describe " + Data + "/weather.csv --json").Out;
  EXPECT_EQ(Nux("describe " + Asc + " --json").Out, Want);
  EXPECT_EQ(Nux("describe " + Back + " --json").Out, Want);
  EXPECT_EQ(Nux("describe - --format asc --json < " + Asc).Out, Want);
  // Without the header the names are C-k and the name record counts as a row of text.
  const TRun H =
      Nux("describe " + Data + "/vibration.csv --header no --delimiter semicolon --json");
  ASSERT_EQ(H.Code, 0) << H.Err;
  const json J = json::parse(H.Out)["describe"];
  EXPECT_EQ(J[0]["column"], "C-1");
  EXPECT_EQ(J[0]["missing"], 1);
}

TEST(NuxTool, ExitCodesAndMessages) {
  const TRun Help = Nux("describe --help");
  EXPECT_EQ(Help.Code, 0);
  EXPECT_NE(Help.Out.find("Examples:"), std::string::npos);
  EXPECT_EQ(Nux("").Code, 1);
  EXPECT_EQ(Nux("describe").Code, 1);
  EXPECT_EQ(Nux("describe " + Data + "/weather.csv --bogus").Code, 1);
  EXPECT_EQ(Nux("spectrum " + Data + "/weather.csv --column wind --window square").Code, 1);
  const TRun Col = Nux("corr " + Data + "/weather.csv --columns temperature,temp");
  EXPECT_EQ(Col.Code, 1);
  EXPECT_EQ(Col.Err,
            "nux: column 'temp' not found; columns are: site, temperature, pressure, humidity, "
            "wind\n");
  EXPECT_EQ(Col.Out, "");
  const TRun Missing = Nux("describe " + Scratch() + "/none.csv");
  EXPECT_EQ(Missing.Code, 2);
  EXPECT_NE(Missing.Err.find("not found"), std::string::npos);
  EXPECT_EQ(Nux("describe " + Data + "/weather.csv --columns site").Code, 2);
  // A constant column: no correlation (null, not 0), and no correlation components.
  const std::string Const = Scratch() + "/const.csv";
  std::ofstream(Const) << "a,b,c\n1,5,1\n2,5,3\n3,5,2\n";
  const TRun R = Nux("corr " + Const + " --json");
  ASSERT_EQ(R.Code, 0) << R.Err;
  const json J = json::parse(R.Out)["pearson"];
  EXPECT_TRUE(J[0]["b"].is_null());
  EXPECT_EQ(J[0]["c"], 0.5);
  EXPECT_EQ(Nux("pca " + Const).Code, 2);
  EXPECT_EQ(Nux("pca " + Const + " --covariance").Code, 0);
  // A gap in a series, an empty file, an unclosed quote, a broken ASC file.
  EXPECT_EQ(Nux("spectrum " + Data + "/weather.csv --column humidity").Code, 2);
  const std::string Bad = Scratch() + "/bad";
  for (const char* Text : {"", "a,b\n\"1,2\n", "comment\n2 3 1 0\n"}) {
    std::ofstream(Bad + ".csv") << Text;
    std::ofstream(Bad + ".asc") << Text;
    EXPECT_EQ(Nux("describe " + Bad + ".csv").Code, 2) << Text;
    EXPECT_EQ(Nux("describe " + Bad + ".asc").Code, 2) << Text;
  }
}

uint32_t BigEndian(const std::string& S, size_t At) {
  return uint32_t(uint8_t(S[At])) << 24 | uint32_t(uint8_t(S[At + 1])) << 16 |
         uint32_t(uint8_t(S[At + 2])) << 8 | uint8_t(S[At + 3]);
}

TEST(NuxTool, PlotsAreWholeFilesOfTheStatedSize) {
  const std::string Png = Scratch() + "/p.png", Svg = Scratch() + "/p.svg";
  const std::string Kinds[] = {"describe " + Data + "/weather.csv", "corr " + Data + "/weather.csv",
                               "pca " + Data + "/weather.csv",
                               "spectrum " + Data + "/vibration.csv --column accel"};
  for (const std::string& K : Kinds) {
    ASSERT_EQ(Nux(K + " --plot " + Png + " --size 640 480").Code, 0) << K;
    const std::string P = ReadFile(Png);
    ASSERT_GT(P.size(), 1000u) << K;
    EXPECT_EQ(P.substr(0, 8), "\x89PNG\r\n\x1a\n") << K;
    EXPECT_EQ(P.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian(P, 16), 640u);
    EXPECT_EQ(BigEndian(P, 20), 480u);
    EXPECT_EQ(P.substr(P.size() - 8, 4), "IEND");
    ASSERT_EQ(Nux(K + " --plot " + Svg).Code, 0) << K;
    const std::string S = ReadFile(Svg);
    EXPECT_EQ(S.rfind("<?xml", 0), 0u) << K;
    EXPECT_NE(S.find("width=\"800pt\" height=\"600pt\""), std::string::npos) << K;
    EXPECT_EQ(S.substr(S.find_last_not_of("\n") - 5, 6), "</svg>") << K;
  }
  // A plot that cannot be written: exit 2, nothing printed, nothing left behind.
  const TRun R = Nux("pca " + Data + "/weather.csv --plot " + Scratch() + "/no/dir/p.png");
  EXPECT_EQ(R.Code, 2);
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(Nux("describe " + Data + "/weather.csv --plot p.jpg").Code, 1);
}

}  // namespace
