// nux roc: the ROC curve of a score against a two-valued truth column (TCFEvaluator), its area,
// the best thresholds and the confusion matrix at one of them.
#include <algorithm>
#include <cmath>

#include "command.h"
#include "nux/statis/classifier.h"
#include "plot.h"

namespace nuxcli {
namespace {

using namespace nux;

struct TOpts {
  TInputOptions In;
  TOutputOptions Out;
  std::string Truth, Score;
  double Threshold = std::nan("");
  bool Curve = false;
};

void Plot(const TDouble2DArray& Roc, int32_t Best, double AUC, const TOutputOptions& Out) {
  SavePlot(Out.Plot, Out.Size[0], Out.Size[1], [&](cairo_t* Cr) {
    TFrameText Text;
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "ROC curve, area %.4f (dot: farthest from the diagonal)", AUC);
    Text.Title = Buf;
    Text.XLabel = "false positive rate";
    Text.YLabel = "true positive rate";
    Text.FontSize = std::clamp(std::min(Out.Size[0], Out.Size[1]) / 45.0, 8.0, 14.0);
    const TAxes A = DrawFrame(Cr, 0, 0, Out.Size[0], Out.Size[1], 0, 1, 0, 1, Text);
    // The diagonal of a guess.
    cairo_set_source_rgb(Cr, 0.6, 0.6, 0.6);
    const double Dash = 5;
    cairo_set_dash(Cr, &Dash, 1, 0);
    cairo_set_line_width(Cr, 1);
    cairo_move_to(Cr, A.PX(0), A.PY(0));
    cairo_line_to(Cr, A.PX(1), A.PY(1));
    cairo_stroke(Cr);
    cairo_set_dash(Cr, nullptr, 0, 0);
    DrawLine(Cr, A, Roc[0], Roc[1], 2);
    if (Best >= 0 && size_t(Best) < Roc[0].size())
      DrawDots(Cr, A, {Roc[0][size_t(Best)]}, {Roc[1][size_t(Best)]}, 5);
  });
}

std::function<void()> Setup(CLI::App& Sub) {
  auto O = std::make_shared<TOpts>();
  O->In.Add(Sub);
  Sub.add_option("--truth", O->Truth,
                 "the column of true classes (two values; the larger is "
                 "positive)")
      ->required();
  Sub.add_option("--score", O->Score, "the column of scores (larger: more likely positive)")
      ->required();
  Sub.add_option("--threshold", O->Threshold,
                 "threshold of the confusion matrix (default: the one of the best Matthews "
                 "correlation)");
  Sub.add_flag("--curve", O->Curve, "list the points of the curve");
  O->Out.Add(Sub, true);
  SetExamples(Sub,
              "  nux roc trial.csv --truth response --score score\n"
              "  nux roc trial.csv --truth response --score score --curve --csv\n"
              "  nux roc trial.csv --truth response --score score --threshold 0.5 --plot roc.png");
  return [O] {
    TDataTable In, T;
    LoadTable(O->In, In);
    const std::vector<int32_t> Cols = NumericColumns(In, {O->Truth, O->Score});
    const int32_t Dropped = CompleteRows(In, Cols, T);
    const int32_t N = T.NrOfRows();
    TCFEvaluator E;
    E.SetNData(N);
    for (int32_t R = 1; R <= N; ++R) {
      E.SetTrueData(R, T.Elem(1, R));
      E.SetEstimData(R, T.Elem(2, R));
    }
    double V1 = 0, V2 = 0;
    if (!E.GetActualDichoValues(V1, V2))
      throw EData("column '" + T.ColName(1) + "' must hold exactly two values (the classes)");
    TDouble2DArray Roc;
    int32_t Best = -1;
    double AUC = 0, TMcc = 0, TAcc = 0, TInf = 0;
    const int32_t St = E.OptimizeThresholds(Roc, Best, AUC, TMcc, TAcc, TInf);
    if (St == -2) throw EData("the ROC curve needs positive and negative cases");
    if (St != 0) throw EData("the ROC curve could not be formed (code " + std::to_string(St) + ")");
    const double Th = std::isnan(O->Threshold) ? TMcc : O->Threshold;
    E.CalcConfusionMatrix(Th);
    int64_t TP = 0, FP = 0, TN = 0, FN = 0;
    double Used = 0;
    E.GetConfMatValues(TP, FP, TN, FN, Used);
    char Pos[64];
    std::snprintf(Pos, sizeof Pos, "%g", V2);
    TSection S{
        "summary",
        "ROC of '" + T.ColName(2) + "' against '" + T.ColName(1) + "' (positive: " + Pos + "), " +
            std::to_string(N) + " cases" +
            (Dropped ? " (" + std::to_string(Dropped) + " with a missing value left out)" : ""),
        {"quantity", "value"},
        {{"area under the curve", AUC},
         {"threshold of best Matthews correlation", TMcc},
         {"threshold of best accuracy", TAcc},
         {"threshold of best informedness", TInf}}};
    char Buf[128];
    std::snprintf(Buf, sizeof Buf, "At threshold %g (predicted positive: score >= threshold)", Th);
    TSection C{"confusion",
               Buf,
               {"quantity", "value"},
               {{"threshold", Th},
                {"true positives", TP},
                {"false positives", FP},
                {"true negatives", TN},
                {"false negatives", FN},
                {"true positive rate", E.TpRate()},
                {"false positive rate", E.FpRate()},
                {"precision", E.Precision()},
                {"accuracy", E.Accuracy()},
                {"F1", E.F1Score()},
                {"Matthews correlation", E.MatthewsCorr()}}};
    std::vector<TSection> Report{S, C};
    if (O->Curve) {
      TSection P{"curve",
                 "Points of the curve",
                 {"false positive rate", "true positive rate", "score"},
                 {}};
      for (size_t I = 0; I < Roc[0].size(); ++I)
        P.Rows.push_back({Roc[0][I], Roc[1][I], Roc[2][I]});
      Report.push_back(P);
    }
    if (!O->Out.Plot.empty()) Plot(Roc, Best, AUC, O->Out);
    PrintReport(Report, O->Out);
  };
}

const TRegister Reg({"roc", "ROC curve, its area and the best thresholds of a score", Setup});

}  // namespace
}  // namespace nuxcli
