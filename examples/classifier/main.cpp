// How well does a blood marker tell sick from healthy patients? Reads 120 patients
// (data/marker.txt: disease 1/0, marker level), prints the ROC area and the best cut-off, the
// confusion matrix there, the exact and chi-square tests of that 2 x 2 table, a leave-some-out
// cross validation of the cut-off rule, and simulated marker levels of healthy patients.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "nux/nux.h"

using namespace nux;

namespace {

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }

int Run(const std::string& FileName) {
  TMatrix Table;
  int64_t Line = 0;
  if (const int32_t Code = LoadPlainText(FileName, Table, &Line); Code != ptOK) {
    std::fprintf(stderr, "classifier: cannot read %s (code %d, line %lld)\n", FileName.c_str(),
                 Code, static_cast<long long>(Line));
    return 1;
  }
  const int32_t N = Table.NrOfRows();

  // ROC curve of the marker as a score for the disease.
  TCFEvaluator Eval;
  if (Eval.CopyTrueFromMatrix(1, Table) != 0 || Eval.CopyEstFromMatrix(2, Table) != 0) {
    std::fprintf(stderr, "classifier: column 1 must hold two classes\n");
    return 1;
  }
  TDouble2DArray Roc;
  int32_t Best = 0;
  double AUC = 0, TMcc = 0, TAcc = 0, TInf = 0;
  Eval.OptimizeThresholds(Roc, Best, AUC, TMcc, TAcc, TInf);
  std::printf("%d patients; ROC curve of %zu points, area %s\n", N, Roc[0].size(),
              F(AUC, 3).c_str());
  std::printf(
      "best cut-off for Matthews' correlation %s mg/l, for accuracy %s, for informedness %s\n",
      F(TMcc, 2).c_str(), F(TAcc, 2).c_str(), F(TInf, 2).c_str());

  // The confusion matrix at the cut-off for Matthews' correlation.
  Eval.CalcConfusionMatrix(TMcc);
  int64_t tp = 0, fp = 0, tn = 0, fn = 0;
  double Cut = 0;
  Eval.GetConfMatValues(tp, fp, tn, fn, Cut);
  std::printf("\nat %s mg/l:      sick  healthy\n", F(Cut, 2).c_str());
  std::printf("  marker high  %5lld  %5lld\n", static_cast<long long>(tp),
              static_cast<long long>(fp));
  std::printf("  marker low   %5lld  %5lld\n", static_cast<long long>(fn),
              static_cast<long long>(tn));
  std::printf("  sensitivity %s, specificity %s, precision %s, MCC %s\n",
              F(Eval.TpRate(), 3).c_str(), F(Eval.TnRate(), 3).c_str(),
              F(Eval.Precision(), 3).c_str(), F(Eval.MatthewsCorr(), 3).c_str());

  // Is the association of that table more than chance?
  const TInt2DArray Plain = {{int32_t(tp), int32_t(fp)}, {int32_t(fn), int32_t(tn)}};
  double PLow = 0, PHigh = 0, PTwo = 0;
  if (FisherExactTest(Plain, PLow, PHigh, PTwo) == 0)
    std::printf("  Fisher's exact test: p = %s (two-sided)\n", strf(PTwo, 1, -2).c_str());
  const TInt2DArray Margins = {{int32_t(tp), int32_t(fp), int32_t(tp + fp)},
                               {int32_t(fn), int32_t(tn), int32_t(fn + tn)},
                               {int32_t(tp + fn), int32_t(fp + tn), N}};
  double Chi2 = 0, P = 0;
  if (Chi2OfContTabYates(Margins, Chi2, P) == 0)
    std::printf("  chi-square with Yates' correction: %s, p = %s\n", F(Chi2, 2).c_str(),
                strf(P, 1, -2).c_str());

  // Cross validation of the rule "cut-off halfway between the two class means", fitted on
  // the training rows and applied to 12 held-out patients at a time.
  SetRandSeed(29);
  TCrossValidator CV;
  CV.XMat().Resize(1, N);
  CV.YMat().Resize(1, N);
  for (int32_t R = 1; R <= N; ++R) {
    CV.XMat().SetVal(1, R, Table.Elem(2, R));
    CV.YMat().SetVal(1, R, Table.Elem(1, R));
  }
  CV.SetTestSize(12);
  double Threshold = 0;
  CV.OnModelCreateRequest = [&](TObject*, int32_t, const TIntArray& Rows, bool& Success) {
    double Sum[2] = {0, 0}, Count[2] = {0, 0};
    for (const int32_t R : Rows) {
      const int32_t Class = Table.Elem(1, R) == 1.0 ? 1 : 0;
      Sum[Class] += Table.Elem(2, R);
      Count[Class] += 1;
    }
    Success = Count[0] > 0 && Count[1] > 0;
    if (Success) Threshold = (Sum[0] / Count[0] + Sum[1] / Count[1]) / 2;
  };
  CV.OnModelApplyRequest = [&](TObject*, int32_t, const TDoubleArray& X, TDoubleArray& Response,
                               TDoubleArray& Thresh) {
    Response[0] = X[0];
    Thresh[0] = Threshold;
  };
  if (CV.Execute())
    std::printf("\ncross validation (12 at a time): sensitivity %s, specificity %s, MCC %s\n",
                F(CV.TPRate(1), 3).c_str(), F(CV.TNRate(1), 3).c_str(),
                F(CV.MatthewsCorr(1), 3).c_str());

  // Marker levels of healthy patients simulated from a normal fit of the healthy ones.
  std::vector<double> Levels;
  for (int32_t R = 1; R <= N; ++R)
    if (Table.Elem(1, R) == 0.0) Levels.push_back(Table.Elem(2, R));
  TVector Healthy(Levels);
  double Mean = 0, Var = 0;
  Healthy.MeanVar(0, 0, Mean, Var);
  TRandGen Gen;
  Gen.SetLowBorder(Mean - 4 * std::sqrt(Var));
  Gen.SetHighBorder(Mean + 4 * std::sqrt(Var));
  Gen.NormalDistri(Mean, std::sqrt(Var));
  int32_t Above = 0;
  const int32_t Draws = 100000;
  for (int32_t K = 0; K < Draws; ++K) Above += Gen.GetRandNum() >= Cut;
  std::printf("\nsimulated healthy patients above the cut-off: %s %%\n",
              F(100.0 * Above / Draws, 1).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  try {
    return Run(Dir + "/marker.txt");
  } catch (const Exception& E) {
    std::fprintf(stderr, "classifier: %s\n", E.what());
    return 1;
  }
}
