// nux test: the library's hypothesis tests on columns of a file, one result row per test (or
// per column for the tests of one sample).
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "command.h"
#include "nux/matrix/matrix.h"
#include "nux/statis/contingency.h"
#include "nux/statis/hypotests.h"
#include "nux/statis/kstest.h"
#include "nux/vector/vector.h"

namespace nuxcli {
namespace {

using namespace nux;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// How a kind takes its columns.
enum TShape {
  shEach,     // every listed column on its own
  shTwo,      // two columns, each with its own numbers
  shPaired,   // two columns over the rows where both hold numbers
  shGroups,   // several columns as groups, or one column split by --group
  shBlocks,   // several columns as treatments over complete rows
  shCategory  // two columns of category codes cross-tabulated
};

struct TKind {
  const char* Name;
  TShape Shape;
  const char* Help;
};

const TKind Kinds[] = {
    {"t", shEach, "one-sample t-test of mean = --mu"},
    {"paired", shPaired, "paired t-test of two columns"},
    {"pooled", shTwo, "two-sample t-test with a pooled variance"},
    {"welch", shTwo, "two-sample t-test with unequal variances"},
    {"mann-whitney", shTwo, "Mann-Whitney U test"},
    {"siegel-tukey", shTwo, "Siegel-Tukey test of equal spread"},
    {"median", shTwo, "median test (chi-square of the 2 x 2 table, Fisher's p)"},
    {"f", shTwo, "F-test of equal variances"},
    {"wilcoxon", shPaired, "Wilcoxon signed-rank test (critical bounds at --alpha)"},
    {"chi2-var", shEach, "chi-square test of standard deviation = --sigma"},
    {"shapiro", shEach, "Shapiro-Wilk test of normality"},
    {"lilliefors", shEach, "Lilliefors test of normality"},
    {"skewness", shEach, "D'Agostino's test of the skewness"},
    {"kurtosis", shEach, "Anscombe-Glynn test of the kurtosis"},
    {"anova", shGroups, "one-way analysis of variance"},
    {"levene", shGroups, "Levene's test of equal variances (deviations from the means)"},
    {"bartlett", shGroups, "Bartlett's test of equal variances"},
    {"friedman", shBlocks, "Friedman's rank test, columns as treatments, rows as blocks"},
    {"chi2", shCategory, "chi-square test of independence of two category columns"},
    {"fisher", shCategory, "Fisher's exact test of two two-valued category columns"},
};

struct TOpts {
  std::string Kind;
  TInputOptions In;
  TOutputOptions Out;
  std::vector<std::string> Columns;
  std::string Group;
  double Mu = 0, Sigma = 1, Alpha = 0.05;
  bool OneSided = false;
};

// The finite numbers of column C, top to bottom.
TDoubleArray Numbers(const TDataTable& T, int32_t C) {
  TDoubleArray V;
  for (int32_t R = 1; R <= T.NrOfRows(); ++R)
    if (T.IsNumber(C, R) && std::isfinite(T.Elem(C, R))) V.push_back(T.Elem(C, R));
  return V;
}

TDoubleArray ColumnOf(const TDataTable& T, int32_t C) {
  TDoubleArray V(size_t(T.NrOfRows()));
  for (int32_t R = 1; R <= T.NrOfRows(); ++R) V[size_t(R - 1)] = T.Elem(C, R);
  return V;
}

// The row of the result table and the extra quantities of the details table.
struct TResult {
  std::string Columns;
  int64_t N = 0;
  std::string Statistic;
  double Value = NaN, DF = NaN, DF2 = NaN, P = NaN;
  std::vector<std::pair<std::string, double>> Details;
};

// A library status below 0 is a data error naming the test.
void Check(bool Ok, const std::string& Kind, const std::string& Why) {
  if (!Ok) throw EData(Kind + ": " + Why);
}

std::string Names(const TDataTable& T, const std::vector<int32_t>& Cols) {
  std::string S;
  for (size_t K = 0; K < Cols.size(); ++K) S += (K ? "," : "") + T.ColName(Cols[K]);
  return S;
}

TResult OneSample(const TOpts& O, const TDataTable& T, int32_t C) {
  const TDoubleArray X = Numbers(T, C);
  const std::string& K = O.Kind;
  TResult R{T.ColName(C), int64_t(X.size()), "", NaN, NaN, NaN, NaN, {}};
  if (K == "t") {
    double Mean = 0;
    int32_t DF = 0;
    Check(Perform1SampleTTest(X, O.Mu, O.OneSided, R.Value, R.P, Mean, DF) == 0, K,
          "needs at least two values");
    R.Statistic = "t";
    R.DF = DF;
    R.Details = {{"mean", Mean}, {"mu", O.Mu}};
  } else if (K == "chi2-var") {
    double Var = 0;
    int32_t DF = 0;
    const int32_t St = Perform1SampleChi2Test(X, O.Sigma, O.OneSided, R.Value, R.P, Var, DF);
    Check(St != -2, K, "--sigma must be positive");
    Check(St == 0, K, "needs at least two values");
    R.Statistic = "chi2";
    R.DF = DF;
    R.Details = {{"variance", Var}, {"sigma", O.Sigma}};
  } else if (K == "shapiro") {
    const int32_t St = ShapiroWilkTest(X, 0, R.Value, R.P);
    Check(St == 0 || St == -4, K, "needs at least three values");
    R.Statistic = "W";
  } else if (K == "lilliefors") {
    TDoubleArray Y = X;
    Check(Y.size() >= 6, K, "needs at least six values");
    R.Value = PerformLillieforsTest(Y, false);
    R.P = LillieforsPValue(int32_t(Y.size()), R.Value);
    R.Statistic = "D";
  } else {  // skewness, kurtosis
    double S = 0;
    const int32_t St = K == "skewness" ? CalcAndTestSkewness(X, O.OneSided, S, R.Value, R.P)
                                       : CalcAndTestKurtosis(X, O.OneSided, S, R.Value, R.P);
    Check(St != -1, K,
          K == "skewness" ? "needs at least eight values" : "needs at least five values");
    Check(St == 0 || St == -4, K, "the normal score has no value for these data");
    R.Statistic = "z";
    R.Details = {{K, S}};
  }
  return R;
}

TResult TwoSamples(const TOpts& O, const TDataTable& T, const std::vector<int32_t>& Cols) {
  const std::string& K = O.Kind;
  TResult R{Names(T, Cols), 0, "", NaN, NaN, NaN, NaN, {}};
  TDoubleArray X, Y;
  if (K == "paired" || K == "wilcoxon") {
    TDataTable P;
    CompleteRows(T, Cols, P);
    X = ColumnOf(P, 1);
    Y = ColumnOf(P, 2);
  } else {
    X = Numbers(T, Cols[0]);
    Y = Numbers(T, Cols[1]);
  }
  R.N = int64_t(K == "paired" || K == "wilcoxon" ? X.size() : X.size() + Y.size());
  if (K == "paired" || K == "pooled" || K == "welch") {
    const TtTestVersion V = K == "paired"   ? ttPaired
                            : K == "pooled" ? ttHomoScedastic
                                            : ttHeteroScedastic;
    double M1 = 0, M2 = 0, S1 = 0, S2 = 0;
    int32_t Used = 0;
    Check(Perform2SampleTTest(X, Y, V, O.OneSided, R.Value, R.P, R.DF, M1, M2, S1, S2, Used) == 0,
          K, "needs at least two values in each sample");
    R.Statistic = "t";
    R.Details = {{"mean 1", M1}, {"mean 2", M2}, {"std 1", S1}, {"std 2", S2}};
  } else if (K == "mann-whitney" || K == "siegel-tukey") {
    R.P = K == "mann-whitney" ? PerformMannWhitneyUTest(X, Y, O.OneSided, R.Value)
                              : PerformSiegelTukeyTest(X, Y, R.Value);
    Check(R.P >= 0, K, "a sample is empty");
    R.Statistic = "U";
  } else if (K == "median") {
    double Chi2Y = 0, PY = 0, PF = 0;
    Check(MedianTest(X, Y, R.Value, R.P, Chi2Y, PY, PF) != -1, K, "a sample is empty");
    R.Statistic = "chi2";
    R.DF = 1;
    R.Details = {{"chi2 Yates", Chi2Y}, {"p Yates", PY}, {"p Fisher", PF >= 0 ? PF : NaN}};
  } else if (K == "f") {
    double V1 = 0, V2 = 0, FCrit = 0;
    int32_t D1 = 0, D2 = 0;
    Check(PerformFTest(X, Y, O.OneSided, R.Value, R.P, V1, V2, FCrit, D1, D2) == 0, K,
          "needs at least two values in each sample");
    R.Statistic = "F";
    R.DF = D1;
    R.DF2 = D2;
    R.Details = {{"variance 1", V1}, {"variance 2", V2}, {"F critical 5%", FCrit}};
  } else {  // wilcoxon
    double Median = 0, TLow = 0, THigh = 0;
    const int32_t St =
        WilcoxonSignedRankTest(X, Y, O.Alpha, O.OneSided, Median, R.Value, TLow, THigh);
    Check(St != -3, K, "--alpha must lie in 0.0005 .. 0.2 (two-sided)");
    Check(St == 0, K, "needs at least eight pairs that differ");
    R.Statistic = "W+";
    // The library gives critical bounds, not a p-value: the decision is the result.
    R.Details = {{"median difference", Median},
                 {"critical low", TLow},
                 {"critical high", THigh},
                 {"alpha", O.Alpha},
                 {"rejected", R.Value <= TLow || R.Value >= THigh ? 1.0 : 0.0}};
  }
  return R;
}

// Group codes: whole numbers of a column, in order of first appearance.
TIntArray GroupCodes(const TDataTable& T, int32_t G, const std::vector<size_t>& Rows) {
  TIntArray L;
  for (size_t R : Rows) {
    const double V = T.Elem(G, int32_t(R));
    if (V != std::nearbyint(V) || std::fabs(V) > 1e9)
      throw EData("column '" + T.ColName(G) + "' must hold whole numbers (group codes); row " +
                  std::to_string(R) + " holds " + std::to_string(V));
    L.push_back(int32_t(V));
  }
  return L;
}

TResult Groups(const TOpts& O, const TDataTable& T, const std::vector<int32_t>& Cols) {
  const std::string& K = O.Kind;
  TDoubleArray Values;
  TIntArray Labels;
  std::string Which;
  if (!O.Group.empty()) {
    if (Cols.size() != 1) throw EUsage(K + " with --group takes one value column");
    const int32_t G = FindColumn(T, O.Group);
    std::vector<size_t> Rows;
    for (int32_t R = 1; R <= T.NrOfRows(); ++R)
      if (T.IsNumber(Cols[0], R) && std::isfinite(T.Elem(Cols[0], R)) && T.IsNumber(G, R) &&
          std::isfinite(T.Elem(G, R))) {
        Rows.push_back(size_t(R));
        Values.push_back(T.Elem(Cols[0], R));
      }
    Labels = GroupCodes(T, G, Rows);
    Which = T.ColName(Cols[0]) + " by " + T.ColName(G);
  } else {
    if (Cols.size() < 2) throw EUsage(K + " needs two or more columns, or --group");
    for (size_t I = 0; I < Cols.size(); ++I) {
      const TDoubleArray X = Numbers(T, Cols[I]);
      Values.insert(Values.end(), X.begin(), X.end());
      Labels.insert(Labels.end(), X.size(), int32_t(I + 1));
    }
    Which = Names(T, Cols);
  }
  TResult R{Which, int64_t(Values.size()), "", NaN, NaN, NaN, NaN, {}};
  std::map<int32_t, int32_t> Sizes;
  for (int32_t L : Labels) ++Sizes[L];
  if (Sizes.size() < 2) throw EData(K + ": needs at least two groups");
  if (K == "bartlett") {
    TDouble2DArray G;
    TIntArray N;
    std::map<int32_t, size_t> Index;
    for (const auto& [L, S] : Sizes) {
      Index[L] = G.size();
      G.emplace_back();
      N.push_back(S);
    }
    for (size_t I = 0; I < Values.size(); ++I) G[Index[Labels[I]]].push_back(Values[I]);
    R.P = BartlettTest(G, N, R.Value);
    Check(R.P != -2, K, "needs at least six values in every group");
    Check(R.P >= 0, K, "cannot be computed for these groups");
    R.Statistic = "chi2";
    R.DF = double(Sizes.size() - 1);
    return R;
  }
  const TVector V(Values);
  const TIntVector L(Labels);
  if (K == "anova") {
    double SSB = 0, SSW = 0, SST = 0;
    int32_t DFB = 0, DFW = 0, DFT = 0;
    R.P = Anova1F(V, L, SSB, SSW, SST, DFB, DFW, DFT, R.Value);
    Check(R.P != -3, K, "no value differs from another");
    Check(R.P >= 0, K, "needs more values than groups");
    R.DF = DFB;
    R.DF2 = DFW;
    R.Details = {{"SS between", SSB}, {"SS within", SSW}, {"SS total", SST}};
  } else {
    R.P = LeveneTest(V, L, R.Value);
    Check(R.P != -3, K, "no group varies");
    Check(R.P >= 0, K, "needs more values than groups");
    R.DF = double(Sizes.size() - 1);
    R.DF2 = double(Values.size() - Sizes.size());
  }
  R.Statistic = "F";
  return R;
}

TResult Blocks(const TOpts& O, const TDataTable& T, const std::vector<int32_t>& Cols) {
  if (Cols.size() < 3) throw EUsage("friedman needs three or more columns");
  TDataTable P;
  CompleteRows(T, Cols, P);
  TMatrix M(int32_t(Cols.size()), P.NrOfRows());
  for (int32_t C = 1; C <= P.NrOfColumns(); ++C)
    for (int32_t R = 1; R <= P.NrOfRows(); ++R) M(C, R) = P.Elem(C, R);
  TResult R{
      Names(T, Cols), int64_t(P.NrOfRows()), "chi2", NaN, double(Cols.size() - 1), NaN, NaN, {}};
  R.P = FriedmanTest(M, R.Value);
  Check(R.P >= 0, O.Kind, "cannot be computed for these data");
  return R;
}

TResult Categories(const TOpts& O, const TDataTable& T, const std::vector<int32_t>& Cols) {
  if (Cols.size() != 2) throw EUsage(O.Kind + " needs two columns");
  TDataTable P;
  CompleteRows(T, Cols, P);
  std::vector<size_t> Rows;
  for (int32_t R = 1; R <= P.NrOfRows(); ++R) Rows.push_back(size_t(R));
  const TIntArray A = GroupCodes(P, 1, Rows), B = GroupCodes(P, 2, Rows);
  std::map<int32_t, size_t> RA, CB;
  for (int32_t V : A) RA.emplace(V, 0);
  for (int32_t V : B) CB.emplace(V, 0);
  size_t I = 0;
  for (auto& [V, K] : RA) K = I++;
  I = 0;
  for (auto& [V, K] : CB) K = I++;
  const size_t NR = RA.size(), NC = CB.size();
  // Counts with margins in a last row and column.
  TInt2DArray Tab(NR + 1, TIntArray(NC + 1, 0));
  for (size_t K = 0; K < A.size(); ++K) {
    const size_t R = RA[A[K]], C = CB[B[K]];
    ++Tab[R][C], ++Tab[R][NC], ++Tab[NR][C], ++Tab[NR][NC];
  }
  TResult R{Names(T, Cols), int64_t(A.size()), "", NaN, NaN, NaN, NaN, {}};
  R.Details = {{"rows", double(NR)}, {"columns", double(NC)}};
  if (O.Kind == "chi2") {
    Check(NR >= 2 && NC >= 2, O.Kind, "each column needs at least two categories");
    Check(Chi2OfContTab(Tab, R.Value, R.P) == 0, O.Kind, "cannot be computed for this table");
    R.Statistic = "chi2";
    R.DF = double((NR - 1) * (NC - 1));
    return R;
  }
  Check(NR == 2 && NC == 2, O.Kind, "needs two columns of exactly two categories each");
  const TInt2DArray Plain{{Tab[0][0], Tab[0][1]}, {Tab[1][0], Tab[1][1]}};
  double Lo = 0, Hi = 0;
  const int32_t St = FisherExactTest(Plain, Lo, Hi, R.P);
  Check(St != -2, O.Kind, "takes at most 1000 cases");
  Check(St == 0, O.Kind, "cannot be computed for this table");
  if (O.OneSided) R.P = std::min(Lo, Hi);
  R.Statistic = "a";
  R.Value = Tab[0][0];
  R.Details = {{"p low", Lo}, {"p high", Hi}};
  return R;
}

std::function<void()> Setup(CLI::App& Sub) {
  auto O = std::make_shared<TOpts>();
  std::vector<std::string> Names;
  std::string Help = "the test:";
  for (const TKind& K : Kinds) {
    Names.push_back(K.Name);
    Help +=
        std::string("\n  ") + K.Name + std::string(14 - std::string(K.Name).size(), ' ') + K.Help;
  }
  Sub.add_option("KIND", O->Kind, Help)->required()->check(CLI::IsMember(Names));
  O->In.Add(Sub);
  Sub.add_option("--columns", O->Columns, "the columns tested (default: every numeric one)")
      ->delimiter(',');
  Sub.add_option("--group", O->Group,
                 "anova, levene, bartlett: the column of whole-number group codes splitting the "
                 "one value column");
  Sub.add_option("--mu", O->Mu, "t: the mean tested (default 0)");
  Sub.add_option("--sigma", O->Sigma, "chi2-var: the standard deviation tested (default 1)");
  Sub.add_option("--alpha", O->Alpha, "wilcoxon: the level of the critical bounds (default 0.05)");
  Sub.add_flag("--one-sided", O->OneSided,
               "the p-value of the tail the data point to (default: two-sided)");
  O->Out.Add(Sub, false);
  SetExamples(Sub,
              "  nux test t trial.csv --columns before --mu 140\n"
              "  nux test paired trial.csv --columns before,after\n"
              "  nux test welch trial.csv --columns before,after --json\n"
              "  nux test shapiro trial.csv --columns before,after,score\n"
              "  nux test anova trial.csv --columns after --group group\n"
              "  nux test chi2 trial.csv --columns group,response --csv");
  return [O] {
    TDataTable T;
    LoadTable(O->In, T);
    const std::vector<int32_t> Cols = NumericColumns(T, O->Columns);
    const TShape Shape = std::find_if(std::begin(Kinds), std::end(Kinds), [&](const TKind& K) {
                           return O->Kind == K.Name;
                         })->Shape;
    if ((Shape == shTwo || Shape == shPaired) && Cols.size() != 2)
      throw EUsage(O->Kind + " needs two columns (--columns A,B)");
    std::vector<TResult> Res;
    switch (Shape) {
      case shEach:
        for (int32_t C : Cols) Res.push_back(OneSample(*O, T, C));
        break;
      case shTwo:
      case shPaired:
        Res.push_back(TwoSamples(*O, T, Cols));
        break;
      case shGroups:
        Res.push_back(Groups(*O, T, Cols));
        break;
      case shBlocks:
        Res.push_back(Blocks(*O, T, Cols));
        break;
      case shCategory:
        Res.push_back(Categories(*O, T, Cols));
        break;
    }
    TSection S{"test", "", {"test", "columns", "n", "statistic", "value", "df", "df2", "p"}, {}};
    TSection D{"details", "", {"columns", "quantity", "value"}, {}};
    for (const TResult& R : Res) {
      S.Rows.push_back({O->Kind + (O->OneSided ? " (one-sided)" : ""), R.Columns, R.N, R.Statistic,
                        R.Value, R.DF, R.DF2, R.P});
      for (const auto& [Q, V] : R.Details) D.Rows.push_back({R.Columns, Q, V});
    }
    std::vector<TSection> Report{S};
    if (!D.Rows.empty()) Report.push_back(D);
    PrintReport(Report, O->Out);
  };
}

const TRegister Reg({"test",
                     "hypothesis tests: t, Mann-Whitney, Wilcoxon, Shapiro-Wilk, F, chi-square, "
                     "ANOVA, Levene, Bartlett, Friedman, Fisher ...",
                     Setup});

}  // namespace
}  // namespace nuxcli
