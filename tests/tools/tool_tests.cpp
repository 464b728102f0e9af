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
json Reference2() { return json::parse(ReadFile(Data + "/reference2.json")); }

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
  for (const char* C : {"test", "fit", "cluster", "som", "som train", "som apply", "roc"}) {
    const TRun H = Nux(std::string(C) + " --help");
    EXPECT_EQ(H.Code, 0) << C;
    EXPECT_NE(H.Out.find("Examples:\n  nux "), std::string::npos) << C;
  }
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
  const std::string Kinds[] = {"describe " + Data + "/weather.csv",
                               "corr " + Data + "/weather.csv",
                               "pca " + Data + "/weather.csv",
                               "spectrum " + Data + "/vibration.csv --column accel",
                               "corr " + Data + "/trial.csv --method spearman",
                               "fit " + Data + "/decay.csv --x t --y level --model expo",
                               "fit " + Data + "/decay.csv --x t --y level --model circle",
                               "cluster " + Data + "/blobs.csv -k 3",
                               "cluster " + Data + "/blobs.csv -k 3 --method agglomerative",
                               "som train " + Data + "/blobs.csv --model " + Scratch() + "/m.xml",
                               "roc " + Data + "/trial.csv --truth response --score score"};
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

// Relative agreement, for p-values far out in a tail.
void ExpectRel(double Got, double Want, double Tol, const std::string& What) {
  EXPECT_NEAR(Got, Want, Tol * std::max(1e-300, std::fabs(Want))) << What;
}

TEST(NuxTool, HypothesisTestsMatchScipy) {
  const json Ref = Reference2()["tests"];
  const std::string Trial = Data + "/trial.csv";
  const std::pair<const char*, const char*> Cases[] = {
      {"t", "--columns before --mu 140"},
      {"paired", "--columns before,after"},
      {"pooled", "--columns before,after"},
      {"welch", "--columns before,after"},
      {"mann-whitney", "--columns before,after"},
      {"f", "--columns before,after"},
      {"chi2-var", "--columns before --sigma 10"},
      {"shapiro", "--columns before"},
      {"skewness", "--columns before"},
      {"kurtosis", "--columns before"},
      {"anova", "--columns after --group group"},
      {"levene", "--columns after --group group"},
      {"bartlett", "--columns after --group group"},
      {"friedman", "--columns before,after,score"},
      {"chi2", "--columns group,response"}};
  for (const auto& [Kind, Args] : Cases) {
    const TRun R = Nux(std::string("test ") + Kind + " " + Trial + " " + Args + " --json");
    ASSERT_EQ(R.Code, 0) << Kind << R.Err;
    const json Row = json::parse(R.Out)["test"][0];
    const json& W = Ref[Kind];
    // scipy evaluates Shapiro-Wilk in single precision.
    const bool Single = std::string(Kind) == "shapiro";
    ExpectRel(Row["value"].get<double>(), W["statistic"].get<double>(), Single ? 1e-6 : 1e-10,
              Kind);
    ExpectRel(Row["p"].get<double>(), W["p"].get<double>(), Single ? 1e-4 : 1e-8, Kind);
    for (const char* D : {"df", "df2"})
      if (W[D].is_null())
        EXPECT_TRUE(Row[D].is_null()) << Kind << D;
      else
        ExpectRel(Row[D].get<double>(), W[D].get<double>(), 1e-12, Kind);
  }
  // The group split by --group equals the groups given as columns of their own.
  const std::string Wide = Scratch() + "/wide.csv";
  {
    std::ofstream F(Wide);
    F << "a,b,c\n";
    std::istringstream In(ReadFile(Trial));
    std::string Line;
    std::vector<std::vector<std::string>> Arms(3);
    std::getline(In, Line);
    while (std::getline(In, Line)) {
      const size_t C1 = Line.find(','), C2 = Line.find(',', C1 + 1), C3 = Line.find(',', C2 + 1);
      Arms[size_t(std::stoi(Line.substr(0, C1)) - 1)].push_back(Line.substr(C2 + 1, C3 - C2 - 1));
    }
    for (size_t I = 0; I < Arms[0].size(); ++I)
      F << Arms[0][I] << "," << Arms[1][I] << "," << Arms[2][I] << "\n";
  }
  const TRun A = Nux("test anova " + Wide + " --csv");
  ASSERT_EQ(A.Code, 0) << A.Err;
  EXPECT_NE(A.Out.find(",1.659226600485"), std::string::npos) << A.Out;
  // Wilcoxon: the signed-rank sum, and the decision from the library's critical bounds.
  const TRun Wx = Nux("test wilcoxon " + Trial + " --columns before,after --json");
  ASSERT_EQ(Wx.Code, 0) << Wx.Err;
  const json WJ = json::parse(Wx.Out);
  EXPECT_EQ(WJ["test"][0]["value"].get<double>(), Ref["wilcoxon"]["statistic"].get<double>());
  EXPECT_TRUE(WJ["test"][0]["p"].is_null());
  EXPECT_EQ(WJ["details"][4]["quantity"], "rejected");
  EXPECT_EQ(WJ["details"][4]["value"], 1);
  // One row per column for the one-sample kinds; one-sided halves a two-sided t p-value.
  const TRun Two = Nux("test t " + Trial + " --columns before,after --mu 130 --json");
  const TRun One = Nux("test t " + Trial + " --columns before,after --mu 130 --one-sided --json");
  ASSERT_EQ(Two.Code, 0);
  const json T2 = json::parse(Two.Out)["test"], T1 = json::parse(One.Out)["test"];
  ASSERT_EQ(T2.size(), 2u);
  ExpectRel(T1[1]["p"].get<double>(), T2[1]["p"].get<double>() / 2, 1e-9, "one-sided");
  // Wrong shapes are usage errors; data a test cannot take are data errors.
  EXPECT_EQ(Nux("test welch " + Trial + " --columns before").Code, 1);
  EXPECT_EQ(Nux("test friedman " + Trial + " --columns before,after").Code, 1);
  EXPECT_EQ(Nux("test anova " + Trial + " --columns before,after --group group").Code, 1);
  EXPECT_EQ(Nux("test sign " + Trial).Code, 1);
  const TRun Fi = Nux("test fisher " + Trial + " --columns group,response");
  EXPECT_EQ(Fi.Code, 2);
  EXPECT_NE(Fi.Err.find("exactly two categories"), std::string::npos) << Fi.Err;
  EXPECT_EQ(Nux("test anova " + Trial + " --columns after --group score").Code, 2);
  EXPECT_EQ(Nux("test shapiro " + Data + "/blobs.csv --columns u --csv").Out.substr(0, 5), "test,");
}

TEST(NuxTool, RankCorrelationsMatchScipy) {
  const json Ref = Reference2();
  const char* Names[] = {"before", "after", "score"};
  for (const char* M : {"spearman", "kendall"}) {
    const TRun R =
        Nux("corr " + Data + "/trial.csv --columns before,after,score --method " + M + " --json");
    ASSERT_EQ(R.Code, 0) << R.Err;
    const json J = json::parse(R.Out);
    for (size_t I = 0; I < 3; ++I)
      for (size_t K = 0; K < 3; ++K) {
        ExpectNear(J[M][I][Names[K]].get<double>(), Ref[M][I][K].get<double>(), M);
        if (I == K)
          EXPECT_TRUE(J["p"][I][Names[K]].is_null());
        else
          ExpectRel(J["p"][I][Names[K]].get<double>(), Ref[std::string(M) + "_p"][I][K], 1e-6, M);
      }
  }
}

TEST(NuxTool, FitsMatchReferenceAndEveryModelAnswers) {
  const json Ref = Reference2()["fits"];
  const std::string Decay = Data + "/decay.csv --x t --y level";
  for (const char* M : {"linear", "parabolic", "expo"}) {
    const TRun R = Nux("fit " + Decay + " --model " + M + " --json");
    ASSERT_EQ(R.Code, 0) << R.Err;
    const json C = json::parse(R.Out)["coefficients"];
    ASSERT_EQ(C.size(), Ref[M].size()) << M;
    for (size_t K = 0; K < C.size(); ++K)
      ExpectNear(C[K]["value"].get<double>(), Ref[M][K].get<double>(), M);
  }
  // The line's intervals at t = 3 by the textbook formula.
  const TRun L = Nux("fit " + Decay + " --at 3 --json");
  ASSERT_EQ(L.Code, 0) << L.Err;
  const json J = json::parse(L.Out);
  const json P = J["prediction"][0], W = Ref["linear_at_3"];
  ExpectNear(P["y"].get<double>(), W["value"].get<double>(), "y");
  ExpectRel(P["prediction high"].get<double>() - P["y"].get<double>(), W["pred"], 1e-8, "pi");
  ExpectRel(P["y"].get<double>() - P["confidence low"].get<double>(), W["conf"], 1e-8, "ci");
  EXPECT_EQ(J["quality"][1]["quantity"], "R2");
  ExpectNear(J["quality"][1]["value"].get<double>(), W["r2"].get<double>(), "r2");
  // Every model gives a result or a data error with a message, never a crash; the
  // interpolating spline passes through the data.
  for (const char* M :
       {"gaussian", "reci-lin", "hyperbolic", "reci-hyperbolic", "log", "reci-log", "power",
        "hoerl", "circle", "polynomial", "centered-poly", "smoothing-spline"}) {
    const TRun R = Nux("fit " + Decay + " --model " + M + " --order 4 --csv");
    EXPECT_TRUE(R.Code == 0 || (R.Code == 2 && R.Err.rfind("nux: ", 0) == 0)) << M << R.Err;
  }
  const TRun S = Nux("fit " + Decay + " --model spline --at 1.5 --csv");
  ASSERT_EQ(S.Code, 0) << S.Err;
  EXPECT_NE(S.Out.find("\n1.5,3.32983,,,,\n"), std::string::npos) << S.Out;
  // Polynomial significances are p-values; the transformed models refuse data they cannot take.
  const TRun Poly = Nux("fit " + Decay + " --model polynomial --order 3 --json");
  const json PolyJ = json::parse(Poly.Out);
  for (const json& C : PolyJ["coefficients"])
    EXPECT_TRUE(C["significance"].get<double>() >= 0 && C["significance"].get<double>() <= 1);
  const std::string Neg = Scratch() + "/neg.csv";
  std::ofstream(Neg) << "x,y\n-1,2\n0,3\n1,4\n2,5\n";
  const TRun Bad = Nux("fit " + Neg + " --x x --y y --model log");
  EXPECT_EQ(Bad.Code, 2);
  EXPECT_NE(Bad.Err.find("cannot take these data"), std::string::npos) << Bad.Err;
  EXPECT_EQ(Nux("fit " + Neg + " --x x --y y --model polynomial --order 4").Code, 2);
  EXPECT_EQ(Nux("fit " + Neg + " --x x --y y --order 11").Code, 1);
  EXPECT_EQ(Nux("fit " + Neg + " --x x --y z").Code, 1);
}

TEST(NuxTool, ClustersMapsAndRoc) {
  const json Ref = Reference2();
  const std::string Blobs = Data + "/blobs.csv";
  // Both methods find the three blobs: same sizes, same members.
  const TRun K = Nux("cluster " + Blobs + " -k 3 --members --json");
  const TRun A = Nux("cluster " + Blobs +
                     " -k 3 --method agglomerative --linkage single "
                     "--members --json");
  ASSERT_EQ(K.Code, 0) << K.Err;
  ASSERT_EQ(A.Code, 0) << A.Err;
  const json KJ = json::parse(K.Out), AJ = json::parse(A.Out);
  for (size_t I = 0; I < 3; ++I) {
    EXPECT_EQ(KJ["clusters"][I]["size"], Ref["blob_sizes"][I]);
    EXPECT_EQ(AJ["clusters"][I]["size"], Ref["blob_sizes"][I]);
  }
  EXPECT_EQ(KJ["members"], AJ["members"]);
  // The single-link heights around the cut are scipy's.
  const json& H = Ref["single_heights"];
  ExpectNear(AJ["summary"][0]["value"].get<double>(), H[H.size() - 3].get<double>(), "kept");
  ExpectNear(AJ["summary"][1]["value"].get<double>(), H[H.size() - 2].get<double>(), "undone");
  EXPECT_EQ(Nux("cluster " + Blobs + " -k 46").Code, 2);
  EXPECT_EQ(Nux("cluster " + Blobs + " --linkage median").Code, 1);

  // A map trained and saved maps the same rows to the same neurons when applied; the same seed
  // gives the same file.
  const std::string M1 = Scratch() + "/map1.xml", M2 = Scratch() + "/map2.xml";
  const TRun T = Nux("som train " + Blobs + " --model " + M1 + " --grid 4 3 --members --json");
  ASSERT_EQ(T.Code, 0) << T.Err;
  ASSERT_EQ(Nux("som train " + Blobs + " --model " + M2 + " --grid 4 3").Code, 0);
  EXPECT_EQ(ReadFile(M1), ReadFile(M2));
  const TRun Ap = Nux("som apply " + Blobs + " --model " + M1 + " --json");
  ASSERT_EQ(Ap.Code, 0) << Ap.Err;
  const json TJ = json::parse(T.Out), PJ = json::parse(Ap.Out);
  EXPECT_EQ(TJ["members"], PJ["members"]);
  EXPECT_EQ(TJ["neurons"], PJ["neurons"]);
  ASSERT_EQ(TJ["neurons"].size(), 12u);
  EXPECT_TRUE(TJ["neurons"][0].contains("u"));
  EXPECT_EQ(Nux("som apply " + Blobs + " --model " + Scratch() + "/none.xml").Code, 2);
  EXPECT_EQ(Nux("som apply " + Blobs + " --model " + Data + "/blobs.csv").Code, 2);
  EXPECT_EQ(Nux("som apply " + Data + "/trial.csv --model " + M1).Code, 1);
  EXPECT_EQ(Nux("som apply " + Data + "/trial.csv --model " + M1 + " --columns before").Code, 1);
  EXPECT_EQ(Nux("som apply " + Data + "/trial.csv --model " + M1 + " --columns before,after").Code,
            0);
  EXPECT_EQ(Nux("som " + Blobs).Code, 1);

  // ROC: the area is sklearn's; the confusion counts cover every case.
  const TRun R = Nux("roc " + Data + "/trial.csv --truth response --score score --curve --json");
  ASSERT_EQ(R.Code, 0) << R.Err;
  const json RJ = json::parse(R.Out);
  ExpectNear(RJ["summary"][0]["value"].get<double>(), Ref["auc"].get<double>(), "auc");
  int64_t Sum = 0;
  for (size_t I = 1; I <= 4; ++I) Sum += RJ["confusion"][I]["value"].get<int64_t>();
  EXPECT_EQ(Sum, 60);
  EXPECT_EQ(RJ["curve"].front()["true positive rate"], 0);
  EXPECT_EQ(RJ["curve"].back()["false positive rate"], 1);
  const TRun Th = Nux("roc " + Data +
                      "/trial.csv --truth response --score score --threshold 2 "
                      "--json");
  EXPECT_EQ(json::parse(Th.Out)["confusion"][1]["value"], 0);  // nothing predicted positive
  EXPECT_EQ(Nux("roc " + Data + "/trial.csv --truth group --score score").Code, 2);
}

}  // namespace
