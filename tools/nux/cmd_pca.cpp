// nux pca: principal components (CalcPrincComp) with a scree plot.
#include <algorithm>
#include <cmath>

#include "command.h"
#include "nux/math2/eigen.h"
#include "plot.h"

namespace nuxcli {
namespace {

using namespace nux;

void Plot(const std::vector<double>& Share, const TOutputOptions& Out) {
  SavePlot(Out.Plot, Out.Size[0], Out.Size[1], [&](cairo_t* Cr) {
    const auto K = double(Share.size());
    std::vector<double> X, Cum;
    double Sum = 0;
    for (size_t I = 0; I < Share.size(); ++I) {
      X.push_back(double(I) + 1);
      Cum.push_back(Sum += Share[I]);
    }
    TFrameText Text;
    Text.Title = "Scree plot: bars per component, line cumulative";
    Text.XLabel = "component";
    Text.YLabel = "share of variance";
    Text.XWhole = true;
    Text.FontSize = std::clamp(std::min(Out.Size[0], Out.Size[1]) / 40.0, 8.0, 16.0);
    const TAxes A = DrawFrame(Cr, 0, 0, Out.Size[0], Out.Size[1], 0.5, K + 0.5, 0, 1, Text);
    for (size_t I = 0; I < Share.size(); ++I) DrawBars(Cr, A, X[I] - 0.3, 0.6, {Share[I]});
    DrawLine(Cr, A, X, Cum, 2);
    DrawDots(Cr, A, X, Cum, 3);
  });
}

std::function<void()> Setup(CLI::App& Sub) {
  struct TOpts {
    TInputOptions In;
    TOutputOptions Out;
    std::vector<std::string> Columns;
    bool Covariance = false;
  };
  auto O = std::make_shared<TOpts>();
  O->In.Add(Sub);
  Sub.add_option("--columns", O->Columns, "columns to analyse (default: every numeric one)")
      ->delimiter(',');
  Sub.add_flag("--covariance", O->Covariance,
               "components of the covariance matrix (default: of the correlation matrix, which "
               "makes columns of different units comparable)");
  O->Out.Add(Sub, true);
  SetExamples(Sub,
              "  nux pca weather.csv\n"
              "  nux pca weather.csv --covariance --json\n"
              "  nux pca weather.csv --plot scree.svg");
  return [O] {
    TDataTable In, T;
    LoadTable(O->In, In);
    const std::vector<int32_t> Cols = NumericColumns(In, O->Columns);
    const int32_t Dropped = CompleteRows(In, Cols, T);
    const auto K = int32_t(Cols.size());
    if (T.NrOfRows() < 2) throw EData("principal components need at least two complete rows");
    // Standardising a constant column divides by a zero spread: it would enter as a component
    // of its own.
    if (!O->Covariance)
      for (int32_t C = 1; C <= K; ++C)
        if (T.IsConstantColumn(C))
          throw EData("column '" + T.ColName(C) +
                      "' is constant; leave it out with --columns or use --covariance");
    bool Ok = false;
    {
      TProgress P("components", 0);
      Ok = CalcPrincComp(*T.NumericData(), 1, K, 1, T.NrOfRows(),
                         O->Covariance ? cvCovariances : cvCorrelations, false);
    }
    CheckInterrupted();
    if (!Ok || GetEigenSize() != K) throw EData("the principal components could not be computed");
    double Total = 0;
    for (int32_t I = 1; I <= K; ++I) Total += std::fabs(GetEigenResult(I, 0));
    std::vector<double> Share;
    TSection Comp{
        "components",
        "Principal components of the " + std::string(O->Covariance ? "covariance" : "correlation") +
            " matrix, " + std::to_string(T.NrOfRows()) + " rows" +
            (Dropped ? " (" + std::to_string(Dropped) + " with a missing value left out)" : ""),
        {"component", "eigenvalue", "share", "cumulative"},
        {}};
    double Cum = 0;
    for (int32_t I = 1; I <= K; ++I) {
      const double E = GetEigenResult(I, 0);
      Share.push_back(Total > 0 ? std::fabs(E) / Total : 0);
      Cum += Share.back();
      Comp.Rows.push_back({int64_t(I), E, Share.back(), Cum});
    }
    TSection Load{"loadings", "Eigenvectors (one column per component)", {"column"}, {}};
    for (int32_t I = 1; I <= K; ++I) Load.Head.push_back("PC" + std::to_string(I));
    for (int32_t V = 1; V <= K; ++V) {
      std::vector<TCell>& Row = Load.Rows.emplace_back();
      Row.emplace_back(T.ColName(V));
      for (int32_t I = 1; I <= K; ++I) Row.emplace_back(GetEigenResult(I, V));
    }
    RemoveEigenMatrix();
    if (!O->Out.Plot.empty()) Plot(Share, O->Out);
    PrintReport({Comp, Load}, O->Out);
  };
}

const TRegister Reg({"pca", "principal components of the numeric columns, with a scree plot",
                     Setup});

}  // namespace
}  // namespace nuxcli
