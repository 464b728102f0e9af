// nux som: trains a Kohonen map on numeric columns into an XML model file, and applies a saved
// map to the rows of a file; both draw the map (distances between neighbours, hits per neuron).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "command.h"
#include "nux/frame/xmlio.h"
#include "nux/host/random.h"
#include "nux/kohonen/kohonen.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"
#include "plot.h"

namespace nuxcli {
namespace {

using namespace nux;

// The model file keeps the names of the columns trained on in the map's comment, so that
// `apply` finds them again in another file.
const std::string ColumnsTag = "columns: ";

struct TOpts {
  TInputOptions In;
  TOutputOptions Out;
  std::vector<std::string> Columns;
  std::string Model;
  std::vector<int32_t> Grid{6, 4};
  int32_t Steps = 200, Radius = -1, Seed = 1;
  double Alpha = 0.5;
  bool Cyclic = false, Members = false;
};

std::vector<std::string> SplitNames(const std::string& S) {
  std::vector<std::string> Out;
  size_t B = 0;
  for (;;) {
    const size_t E = S.find('\t', B);
    Out.push_back(S.substr(B, E == std::string::npos ? std::string::npos : E - B));
    if (E == std::string::npos) return Out;
    B = E + 1;
  }
}

// Mean distance of each neuron's weights to its grid neighbours', in standardized units.
std::vector<double> NeighbourDistances(const TKohonen& M) {
  const int32_t NX = M.SizeX(), NY = M.SizeY(), NI = M.NrOfInSens();
  std::vector<double> U(size_t(NX * NY), 0);
  auto D = [&](int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
    double S = 0;
    for (int32_t I = 1; I <= NI; ++I) {
      const double Sd = M.StdDevs()(I) > 0 ? M.StdDevs()(I) : 1;
      const double V = (M.Weight(X1, Y1, I) - M.Weight(X2, Y2, I)) / Sd;
      S += V * V;
    }
    return std::sqrt(S);
  };
  for (int32_t X = 1; X <= NX; ++X)
    for (int32_t Y = 1; Y <= NY; ++Y) {
      double S = 0;
      int32_t N = 0;
      const int32_t Steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
      for (const auto& St : Steps) {
        int32_t X2 = X + St[0], Y2 = Y + St[1];
        if (M.Cyclic()) X2 = (X2 + NX - 1) % NX + 1, Y2 = (Y2 + NY - 1) % NY + 1;
        if (X2 < 1 || X2 > NX || Y2 < 1 || Y2 > NY || (X2 == X && Y2 == Y)) continue;
        S += D(X, Y, X2, Y2);
        ++N;
      }
      U[size_t((X - 1) * NY + Y - 1)] = N ? S / N : 0;
    }
  return U;
}

void PlotMap(const TKohonen& M, const std::vector<int64_t>& Hits, const std::string& Title,
             const TOutputOptions& Out) {
  const std::vector<double> U = NeighbourDistances(M);
  const double UMax = std::max(*std::max_element(U.begin(), U.end()), 1e-300);
  const int32_t NX = M.SizeX(), NY = M.SizeY();
  SavePlot(Out.Plot, Out.Size[0], Out.Size[1], [&](cairo_t* Cr) {
    TFrameText Text;
    Text.Title = Title;
    Text.XLabel = "x";
    Text.YLabel = "y";
    Text.XWhole = true;
    Text.FontSize = std::clamp(std::min(Out.Size[0], Out.Size[1]) / 45.0, 8.0, 14.0);
    const TAxes A =
        DrawFrame(Cr, 0, 0, Out.Size[0], Out.Size[1], 0.5, NX + 0.5, 0.5, NY + 0.5, Text);
    // DrawFrame widens the y range to whole ticks: the cells use the area's own scale.
    const double CW = A.W / (A.XHi - A.XLo), CH = A.H / (A.YHi - A.YLo);
    const double Fs = std::clamp(std::min(CW, CH) / 3.5, 5.0, Text.FontSize);
    for (int32_t X = 1; X <= NX; ++X)
      for (int32_t Y = 1; Y <= NY; ++Y) {
        const size_t I = size_t((X - 1) * NY + Y - 1);
        // Light cells lie inside a group of similar neurons, dark ones on the borders.
        const double G = 0.95 - 0.7 * U[I] / UMax;
        cairo_set_source_rgb(Cr, G, G, 0.1 + 0.85 * G);
        const double Px = A.PX(X - 0.5), Py = A.PY(Y + 0.5);
        cairo_rectangle(Cr, Px, Py, CW, CH);
        cairo_fill_preserve(Cr);
        cairo_set_source_rgb(Cr, 0.4, 0.4, 0.4);
        cairo_set_line_width(Cr, 0.5);
        cairo_stroke(Cr);
        if (Hits[I] > 0) {
          cairo_save(Cr);
          DrawCentred(Cr, A.PX(X), A.PY(Y), std::to_string(Hits[I]), Fs);
          cairo_restore(Cr);
        }
      }
  });
}

// Maps each complete row to its best neuron; hits per neuron and the rows' results.
void MapRows(const TKohonen& M, const TDataTable& T, const std::vector<int32_t>& RowNr,
             std::vector<int64_t>& Hits, TSection* Members, double& MeanDist) {
  Hits.assign(size_t(M.SizeX() * M.SizeY()), 0);
  TVector In(T.NrOfColumns());
  double Sum = 0;
  for (int32_t R = 1; R <= T.NrOfRows(); ++R) {
    if (R % 4096 == 0) CheckInterrupted();
    for (int32_t C = 1; C <= T.NrOfColumns(); ++C) In(C) = T.Elem(C, R);
    int32_t BX = 0, BY = 0;
    double D = 0;
    M.ApplyIt(In, BX, BY, D);
    ++Hits[size_t((BX - 1) * M.SizeY() + BY - 1)];
    Sum += std::sqrt(D);
    if (Members)
      Members->Rows.push_back(
          {int64_t(RowNr[size_t(R - 1)]), int64_t(BX), int64_t(BY), std::sqrt(D)});
  }
  MeanDist = T.NrOfRows() ? Sum / T.NrOfRows() : 0;
}

TSection HitTable(const TKohonen& M, const std::vector<int64_t>& Hits) {
  TSection S{"neurons", "Rows mapped to each neuron, and its weights", {"x", "y", "hits"}, {}};
  const std::vector<std::string> Names = M.Comment().rfind(ColumnsTag, 0) == 0
                                             ? SplitNames(M.Comment().substr(ColumnsTag.size()))
                                             : std::vector<std::string>{};
  for (int32_t I = 1; I <= M.NrOfInSens(); ++I)
    S.Head.push_back(size_t(I) <= Names.size() ? Names[size_t(I - 1)] : "w" + std::to_string(I));
  for (int32_t X = 1; X <= M.SizeX(); ++X)
    for (int32_t Y = 1; Y <= M.SizeY(); ++Y) {
      std::vector<TCell>& Row = S.Rows.emplace_back();
      Row = {int64_t(X), int64_t(Y), Hits[size_t((X - 1) * M.SizeY() + Y - 1)]};
      for (int32_t I = 1; I <= M.NrOfInSens(); ++I) Row.emplace_back(M.Weight(X, Y, I));
    }
  return S;
}

void Train(const TOpts& O) {
  TDataTable In, T;
  LoadTable(O.In, In);
  const std::vector<int32_t> Cols = NumericColumns(In, O.Columns);
  std::vector<int32_t> RowNr;
  const int32_t Dropped = CompleteRows(In, Cols, T, &RowNr);
  TMatrix Data(T.NrOfColumns(), T.NrOfRows());
  for (int32_t C = 1; C <= T.NrOfColumns(); ++C)
    for (int32_t R = 1; R <= T.NrOfRows(); ++R) Data(C, R) = T.Elem(C, R);
  TKohonen M;
  M.SetSizeX(O.Grid[0]);
  M.SetSizeY(O.Grid[1]);
  M.SetDataMat(&Data);
  M.StandardizeData();
  M.SetNrOfTrnSteps(O.Steps);
  M.SetInitialNeighbors(O.Radius >= 0 ? O.Radius : std::max(1, std::max(O.Grid[0], O.Grid[1]) / 2));
  M.SetInitialAlpha(O.Alpha);
  M.SetCyclic(O.Cyclic);
  std::string Names;
  for (int32_t C = 1; C <= T.NrOfColumns(); ++C) Names += (C > 1 ? "\t" : "") + T.ColName(C);
  M.SetComment(ColumnsTag + Names);
  SetRandSeed(uint64_t(O.Seed));
  {
    TProgress P("training", O.Steps);
    M.Trainit();
  }
  CheckInterrupted();
  std::vector<int64_t> Hits;
  double MeanDist = 0;
  TSection Members{"members", "Best neuron of every row", {"row", "x", "y", "distance"}, {}};
  MapRows(M, T, RowNr, Hits, O.Members ? &Members : nullptr, MeanDist);
  if (!O.Out.Plot.empty())
    PlotMap(M, Hits,
            "Kohonen map " + std::to_string(O.Grid[0]) + " x " + std::to_string(O.Grid[1]) +
                ": rows per neuron, dark = far from neighbours",
            O.Out);
  const int32_t W = M.SaveAsXMLFile(O.Model, "");
  if (W != xrOK) throw EData("cannot write the model file '" + O.Model + "'");
  TSection S{
      "summary",
      "Kohonen map trained on " + std::to_string(T.NrOfRows()) + " rows" +
          (Dropped ? " (" + std::to_string(Dropped) + " with a missing value left out)" : "") +
          ", saved to " + O.Model,
      {"quantity", "value"},
      {{"rows", int64_t(T.NrOfRows())},
       {"size x", int64_t(M.SizeX())},
       {"size y", int64_t(M.SizeY())},
       {"steps", int64_t(M.NrOfTrnSteps())},
       {"mean distance to best neuron", MeanDist},
       {"neurons without rows", int64_t(std::count(Hits.begin(), Hits.end(), int64_t(0)))}}};
  std::vector<TSection> Report{S, HitTable(M, Hits)};
  if (O.Members) Report.push_back(Members);
  PrintReport(Report, O.Out);
}

void Apply(const TOpts& O) {
  TKohonen M;
  switch (M.LoadFromXMLFile(O.Model, "")) {
    case xrOK:
      break;
    case xrCannotOpen:
      throw EData("cannot read the model file '" + O.Model + "'");
    default:
      throw EData("'" + O.Model + "' is not a valid Kohonen map file");
  }
  TDataTable In, T;
  LoadTable(O.In, In);
  std::vector<std::string> Names = O.Columns;
  if (Names.empty()) {
    if (M.Comment().rfind(ColumnsTag, 0) != 0)
      throw EUsage("the model file does not name its columns: give them with --columns");
    Names = SplitNames(M.Comment().substr(ColumnsTag.size()));
  }
  if (int32_t(Names.size()) != M.NrOfInSens())
    throw EUsage("the map takes " + std::to_string(M.NrOfInSens()) + " columns; " +
                 std::to_string(Names.size()) + " given");
  const std::vector<int32_t> Cols = NumericColumns(In, Names);
  std::vector<int32_t> RowNr;
  const int32_t Dropped = CompleteRows(In, Cols, T, &RowNr);
  std::vector<int64_t> Hits;
  double MeanDist = 0;
  TSection Members{
      "members",
      "Best neuron of every row" +
          (Dropped ? " (" + std::to_string(Dropped) + " rows with a missing value left out)"
                   : std::string()),
      {"row", "x", "y", "distance"},
      {}};
  MapRows(M, T, RowNr, Hits, &Members, MeanDist);
  if (!O.Out.Plot.empty())
    PlotMap(M, Hits, "Kohonen map: rows of the file per neuron, dark = far from neighbours", O.Out);
  TSection S{"summary",
             "",
             {"quantity", "value"},
             {{"rows", int64_t(T.NrOfRows())}, {"mean distance to best neuron", MeanDist}}};
  PrintReport({S, Members, HitTable(M, Hits)}, O.Out);
}

std::function<void()> Setup(CLI::App& Sub) {
  auto O = std::make_shared<TOpts>();
  Sub.require_subcommand(1);
  CLI::App* Tr = Sub.add_subcommand("train", "train a map on numeric columns and save it");
  CLI::App* Ap = Sub.add_subcommand("apply", "map the rows of a file with a saved map");
  for (CLI::App* S : {Tr, Ap}) {
    O->In.Add(*S);
    S->add_option("--model", O->Model, "the map's XML file")->required();
    O->Out.Add(*S, true);
  }
  Tr->add_option("--columns", O->Columns, "columns to train on (default: every numeric one)")
      ->delimiter(',');
  Ap->add_option("--columns", O->Columns,
                 "columns of the file, in the map's order (default: the names saved with it)")
      ->delimiter(',');
  Tr->add_option("--grid", O->Grid, "map width and height in neurons (default 6 4)")
      ->expected(2)
      ->check(CLI::Range(1, 1000));
  Tr->add_option("--steps", O->Steps, "training epochs (default 200)")
      ->check(CLI::Range(1, 1000000));
  Tr->add_option("--radius", O->Radius, "initial neighbourhood radius (default: half the map)")
      ->check(CLI::Range(0, 1000));
  Tr->add_option("--alpha", O->Alpha, "initial learning rate (default 0.5)")
      ->check(CLI::Range(0.0, 1.0));
  Tr->add_option("--seed", O->Seed, "seed of the random start weights (default 1)")
      ->check(CLI::NonNegativeNumber);
  Tr->add_flag("--cyclic", O->Cyclic, "the map wraps around at its edges");
  Tr->add_flag("--members", O->Members, "list the best neuron of every row");
  SetExamples(Sub,
              "  nux som train blobs.csv --model map.xml --grid 8 6 --plot map.png\n"
              "  nux som apply blobs.csv --model map.xml --json\n"
              "  nux som apply new.csv --model map.xml --columns u,v --plot hits.svg");
  SetExamples(*Tr,
              "  nux som train blobs.csv --model map.xml --grid 8 6 --steps 500 --plot map.png");
  SetExamples(*Ap, "  nux som apply blobs.csv --model map.xml --plot hits.png");
  return [O, Tr] {
    if (Tr->parsed())
      Train(*O);
    else
      Apply(*O);
  };
}

const TRegister Reg({"som",
                     "Kohonen self-organising map: train one into a model file, or apply one",
                     Setup});

}  // namespace
}  // namespace nuxcli
