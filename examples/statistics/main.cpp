// Statistics of a measured column: tensile tests of 40 steel specimens, read from a plain text
// table (data/tensile.txt: strength in MPa, elongation in %). Prints location, spread, the
// three quantile rules side by side, the shape, a histogram and a one-sample t-test.
#include <cmath>
#include <cstdio>
#include <string>

#include "nux/nux.h"

using namespace nux;

namespace {

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }

int Run(const std::string& FileName) {
  TMatrix Table;
  int64_t Line = 0;
  if (const int32_t Code = LoadPlainText(FileName, Table, &Line); Code != ptOK) {
    std::fprintf(stderr, "statistics: cannot read %s (code %d, line %lld)\n", FileName.c_str(),
                 Code, static_cast<long long>(Line));
    return 1;
  }
  // Column copies fill the vector as far as it reaches, so size it first.
  TVector Strength(Table.NrOfRows()), Elongation(Table.NrOfRows());
  Table.CopyColToVec(&Strength, 1, 1, Table.NrOfRows());  // column 1: strength
  Table.CopyColToVec(&Elongation, 2, 1, Table.NrOfRows());
  const int32_t N = Strength.NrOfElem();
  std::printf("%d specimens read from %s\n\n", N, FileName.c_str());

  double Mean = 0, Var = 0, Lo = 0, Hi = 0;
  Strength.MeanVar(0, 0, Mean, Var);
  Strength.MinMax(0, 0, Lo, Hi);
  const double Sd = std::sqrt(Var), Se = Sd / std::sqrt(N);
  const double TCrit = tDistriQuantile(0.975, N - 1);
  std::printf("tensile strength / MPa\n");
  std::printf("  mean %s, sd %s, range %s .. %s\n", F(Mean, 1).c_str(), F(Sd, 2).c_str(),
              F(Lo, 1).c_str(), F(Hi, 1).c_str());
  std::printf("  95%% confidence interval of the mean: %s .. %s\n", F(Mean - TCrit * Se, 1).c_str(),
              F(Mean + TCrit * Se, 1).c_str());

  // Three quantile rules on the same data (see the user's guide).
  double Q1 = 0, Q2 = 0, Q3 = 0;
  Strength.Quartiles(0, 0, Q1, Q2, Q3);
  std::printf("  quartiles, positions (n+1)p:     %s %s %s\n", F(Q1, 2).c_str(), F(Q2, 2).c_str(),
              F(Q3, 2).c_str());
  std::printf(
      "  percentiles, positions (n-1)p:   %s %s %s\n", F(Strength.Percentile(25, 0, 0), 2).c_str(),
      F(Strength.Percentile(50, 0, 0), 2).c_str(), F(Strength.Percentile(75, 0, 0), 2).c_str());
  std::printf("  matrix percentiles, nearest rank: %s %s %s\n",
              F(Table.Percentile(25, 1, 0, 1, 0), 2).c_str(),
              F(Table.Percentile(50, 1, 0, 1, 0), 2).c_str(),
              F(Table.Percentile(75, 1, 0, 1, 0), 2).c_str());

  double Skew = 0, Kurt = 0;
  Strength.SkewKurtSample(0, 0, Skew, Kurt);
  std::printf("  skewness %s, excess kurtosis %s (bias-corrected)\n", F(Skew, 3).c_str(),
              F(Kurt, 3).c_str());

  TIntArray Bins;
  int32_t Under = 0, Over = 0, MaxCnt = 0;
  const double First = 10 * std::floor(Lo / 10), Width = 10;
  if (Strength.Histogram(1, N, First, 10 * std::floor(Hi / 10), Width, Bins, Under, Over, MaxCnt)) {
    std::printf("\n  histogram\n");
    for (size_t B = 0; B < Bins.size(); ++B)
      std::printf("  %s..%s %s\n", F(First + Width * double(B), 0).c_str(),
                  F(First + Width * double(B + 1), 0).c_str(), std::string(Bins[B], '#').c_str());
  }

  // Does the batch meet the nominal 520 MPa? One-sided t-test of the mean.
  const double T = (Mean - 520.0) / Se;
  std::printf("\n  t-test against 520 MPa: t = %s, p = %s (one-sided, %d df)\n", F(T, 2).c_str(),
              strf(tDistriIntegralUpper(T, N - 1), 1, -2).c_str(), N - 1);
  const double R = Strength.PearsonCorrCoeff(&Elongation);
  std::printf("  correlation with elongation: r = %s\n", F(R, 3).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  try {
    return Run(Dir + "/tensile.txt");
  } catch (const Exception& E) {
    std::fprintf(stderr, "statistics: %s\n", E.what());
    return 1;
  }
}
