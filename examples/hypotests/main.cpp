// Hypothesis tests on two filling lines: 24 pack weights each, read from a plain text table
// (data/fillweights.txt: line A and line B in grams). Checks for an outlier, normality, equal
// spread and equal level, with parametric and rank tests side by side, and locates the peak of
// line B's weight density.
#include <cstdio>
#include <string>

#include "nux/nux.h"

using namespace nux;

namespace {

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }
std::string Pv(double P) {
  char Buf[32];
  std::snprintf(Buf, sizeof Buf, "%.3g", P);
  return Buf;
}

int Run(const std::string& FileName) {
  TMatrix Table;
  int64_t Line = 0;
  if (const int32_t Code = LoadPlainText(FileName, Table, &Line); Code != ptOK) {
    std::fprintf(stderr, "hypotests: cannot read %s (code %d, line %lld)\n", FileName.c_str(), Code,
                 static_cast<long long>(Line));
    return 1;
  }
  TDoubleArray A, B;
  for (int32_t R = 1; R <= Table.NrOfRows(); ++R) {
    A.push_back(Table.GetVal(1, R));
    B.push_back(Table.GetVal(2, R));
  }
  std::printf("%zu packs per line read from %s\n\n", A.size(), FileName.c_str());

  // An outlier in line A? Grubbs at 5 %, then Dean-Dixon.
  double G = 0, Q = 0;
  int32_t Ix = -1;
  GrubbsTest(A, 0.05, G, Ix);
  std::printf("Grubbs on line A: G = %s, outlier %s\n", F(G, 3).c_str(),
              Ix < 0 ? "none" : ("pack " + std::to_string(Ix + 1)).c_str());
  const int32_t DD = DeanDixonTest(A, Dot050, Q);
  std::printf("Dean-Dixon on line A: Q = %s, outlier %s\n", F(Q, 3).c_str(),
              DD < 0 ? "none" : ("pack " + std::to_string(DD + 1)).c_str());
  if (Ix >= 0) A.erase(A.begin() + Ix);  // the suspicious pack goes before the comparisons

  // Normality of each line.
  double W = 0, P = 0;
  for (const auto* L : {&A, &B}) {
    ShapiroWilkTest(*L, 0, W, P);
    std::printf("Shapiro-Wilk, line %c: W = %s, p = %s\n", L == &A ? 'A' : 'B', F(W, 4).c_str(),
                Pv(P).c_str());
  }

  // Equal spread: F-test (normal data) and Siegel-Tukey (ranks).
  double Fv, V1, V2, FCrit, U;
  int32_t D1, D2;
  PerformFTest(A, B, false, Fv, P, V1, V2, FCrit, D1, D2);
  std::printf("\nF-test of the variances: F = %s (%d, %d df), p = %s\n", F(Fv, 3).c_str(), D1, D2,
              Pv(P).c_str());
  std::printf("Siegel-Tukey: p = %s\n", Pv(PerformSiegelTukeyTest(A, B, U)).c_str());

  // Equal level: Welch's t-test (unequal spread) and Mann-Whitney.
  double T, DF, M1, M2, S1, S2;
  int32_t N;
  Perform2SampleTTest(A, B, ttHeteroScedastic, false, T, P, DF, M1, M2, S1, S2, N);
  std::printf("\nmeans %s g and %s g; Welch t = %s (%s df), p = %s\n", F(M1, 2).c_str(),
              F(M2, 2).c_str(), F(T, 3).c_str(), F(DF, 1).c_str(), Pv(P).c_str());
  P = PerformMannWhitneyUTest(A, B, false, U);
  std::printf("Mann-Whitney: U = %s, p = %s\n", F(U, 1).c_str(), Pv(P).c_str());

  // Where line B's weights concentrate: the adaptive kernel density on 1/10 g steps.
  TVector Data(B), Dens;
  int32_t MinIx = 0, MaxIx = 0;
  if (EstimateProbDensity(Data, Dens, 495, 507, 0.7, 1.0, 120, MinIx, MaxIx, nullptr) == 0)
    std::printf("\ndensity of line B peaks at %s g\n", F(495 + 0.1 * (MaxIx - 1), 1).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  try {
    return Run(Dir + "/fillweights.txt");
  } catch (const Exception& E) {
    std::fprintf(stderr, "hypotests: %s\n", E.what());
    return 1;
  }
}
