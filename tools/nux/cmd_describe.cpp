// nux describe: per-column statistics from the data table's routines, with histograms.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "command.h"
#include "nux/vector/vector.h"
#include "plot.h"

namespace nuxcli {
namespace {

using namespace nux;

constexpr size_t MaxPanels = 16;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> ColumnValues(const TDataTable& T, int32_t C) {
  TVector V;
  const int32_t N = T.CopyCellsToVector(C, 1, C, T.NrOfRows(), 255, &V);
  std::vector<double> X;
  for (int32_t I = 1; I <= N; ++I) X.push_back(V(I));
  return X;
}

// A grid of histograms, one panel per column.
void Plot(const TDataTable& T, const std::vector<int32_t>& Cols, const TOutputOptions& Out) {
  SavePlot(Out.Plot, Out.Size[0], Out.Size[1], [&](cairo_t* Cr) {
    const auto K = int32_t(Cols.size());
    const auto NC = int32_t(std::ceil(std::sqrt(double(K))));
    const int32_t NR = (K + NC - 1) / NC;
    const double W = double(Out.Size[0]) / NC, H = double(Out.Size[1]) / NR;
    for (int32_t I = 0; I < K; ++I) {
      const std::vector<double> X = ColumnValues(T, Cols[size_t(I)]);
      double Lo = 0, Hi = 0;
      T.MinMaxOfNumCells(Cols[size_t(I)], 1, Cols[size_t(I)], T.NrOfRows(), Lo, Hi);
      if (X.empty()) Lo = 0, Hi = 1;
      if (Hi == Lo) Lo -= 0.5, Hi += 0.5;
      const std::vector<double> Counts = Histogram(X, Lo, Hi, BinCount(X.size()));
      const double Top = *std::max_element(Counts.begin(), Counts.end());
      TFrameText Text;
      Text.Title = T.ColName(Cols[size_t(I)]);
      Text.YLabel = K == 1 ? "count" : "";
      Text.FontSize = std::clamp(std::min(W, H) / 28, 7.0, 13.0);
      const TAxes A =
          DrawFrame(Cr, (I % NC) * W, (I / NC) * H, W, H, Lo, Hi, 0, std::max(Top, 1.0), Text);
      DrawBars(Cr, A, Lo, (Hi - Lo) / double(Counts.size()), Counts);
    }
  });
}

std::function<void()> Setup(CLI::App& Sub) {
  struct TOpts {
    TInputOptions In;
    TOutputOptions Out;
    std::vector<std::string> Columns, PlotColumns;
  };
  auto O = std::make_shared<TOpts>();
  O->In.Add(Sub);
  Sub.add_option("--columns", O->Columns, "columns to describe (default: every numeric one)")
      ->delimiter(',');
  O->Out.Add(Sub, true);
  Sub.add_option("--plot-column", O->PlotColumns,
                 "columns to draw histograms of (default: those described, at most 16)")
      ->delimiter(',');
  SetExamples(Sub,
              "  nux describe measurements.csv\n"
              "  nux describe measurements.csv --columns temperature,pressure --json\n"
              "  nux describe measurements.csv --plot hist.png --plot-column temperature\n"
              "  cat measurements.csv | nux describe - --csv");
  return [O] {
    TDataTable T;
    LoadTable(O->In, T);
    const std::vector<int32_t> Cols = NumericColumns(T, O->Columns);
    const int32_t Nr = T.NrOfRows();
    TSection S{"describe",
               "",
               {"column", "count", "missing", "mean", "std", "min", "25%", "50%", "75%", "max",
                "skewness", "kurtosis"},
               {}};
    for (int32_t C : Cols) {
      CheckInterrupted();
      const int32_t N = T.CountNumCells(C, 1, C, Nr);
      double Mean = 0, Var = 0, Min = 0, Max = 0, Q1 = 0, Q2 = 0, Q3 = 0, Skew = 0, Kurt = 0;
      int32_t NQ = 0;
      T.MeanVarOfNumCells(C, 1, C, Nr, Mean, Var);
      T.MinMaxOfNumCells(C, 1, C, Nr, Min, Max);
      T.QuartilesOfNumCells(C, 1, C, Nr, Q1, Q2, Q3, NQ);
      TVector V;
      T.CopyCellsToVector(C, 1, C, Nr, 255, &V);
      V.SkewKurt(1, N, Skew, Kurt);
      // The library gives variance 1 below three values and no moments below four: shown as
      // missing (NaN prints as nan, null in JSON, empty in CSV) rather than as numbers.
      std::vector<TCell>& Row = S.Rows.emplace_back();
      Row.emplace_back(T.ColName(C));
      Row.emplace_back(int64_t(N));
      Row.emplace_back(int64_t(Nr - N));
      Row.emplace_back(Mean);
      Row.emplace_back(N >= 3 ? std::sqrt(Var) : NaN);
      for (double X : {Min, Q1, Q2, Q3, Max}) Row.emplace_back(X);
      Row.emplace_back(N >= 4 ? Skew : NaN);
      Row.emplace_back(N >= 4 ? Kurt : NaN);
    }
    if (!O->Out.Plot.empty()) {
      std::vector<int32_t> P = O->PlotColumns.empty() ? Cols : NumericColumns(T, O->PlotColumns);
      if (P.size() > MaxPanels) {
        std::fprintf(stderr, "nux: the plot shows the first %zu columns (--plot-column chooses)\n",
                     MaxPanels);
        P.resize(MaxPanels);
      }
      Plot(T, P, O->Out);
    }
    PrintReport({S}, O->Out);
  };
}

const TRegister Reg({"describe",
                     "count, missing, mean, standard deviation, quartiles, extremes, skewness and "
                     "kurtosis of each numeric column",
                     Setup});

}  // namespace
}  // namespace nuxcli
