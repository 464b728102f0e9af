// nux cluster: k-means or agglomerative clustering of the rows of numeric columns, with a
// scatter plot of the clusters (k-means) or the dendrogram (agglomerative).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>

#include "command.h"
#include "nux/frame/progress.h"
#include "nux/math2/cluster.h"
#include "nux/matrix/intmatrix.h"
#include "plot.h"

namespace nuxcli {
namespace {

using namespace nux;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// The distance matrix of agglomerative clustering grows with the square of the rows.
constexpr int32_t MaxAgglomRows = 5000;

struct TOpts {
  TInputOptions In;
  TOutputOptions Out;
  std::vector<std::string> Columns;
  std::string Method = "kmeans", Linkage = "ward", Distance = "euclidean";
  int32_t K = 2, Seed = 1;
  bool Standardize = false, Members = false;
};

struct TLinkage {
  const char* Name;
  TClusterMethod Method;
};
const TLinkage Linkages[] = {{"single", cmSingleLink},
                             {"complete", cmCompleteLink},
                             {"average", cmUpgma},
                             {"weighted", cmAvgLink},
                             {"ward", cmWard}};

// Renumbers clusters 0..k-1 by size, largest first (ties: the one met first).
std::vector<int32_t> BySize(const std::vector<int32_t>& Raw, int32_t K) {
  std::vector<int64_t> Size(size_t(K), 0), First(size_t(K), -1);
  for (size_t I = 0; I < Raw.size(); ++I) {
    ++Size[size_t(Raw[I])];
    if (First[size_t(Raw[I])] < 0) First[size_t(Raw[I])] = int64_t(I);
  }
  std::vector<int32_t> Order(static_cast<size_t>(K));
  std::iota(Order.begin(), Order.end(), 0);
  std::stable_sort(Order.begin(), Order.end(), [&](int32_t A, int32_t B) {
    return Size[size_t(A)] != Size[size_t(B)] ? Size[size_t(A)] > Size[size_t(B)]
                                              : First[size_t(A)] < First[size_t(B)];
  });
  std::vector<int32_t> Rank(static_cast<size_t>(K));
  for (int32_t I = 0; I < K; ++I) Rank[size_t(Order[size_t(I)])] = I;
  std::vector<int32_t> Out(Raw.size());
  for (size_t I = 0; I < Raw.size(); ++I) Out[I] = Rank[size_t(Raw[I])];
  return Out;
}

struct TDendro {
  TIntMatrix D;
  TVector Height, Position;
  bool Squared = false;
};

// The clusters left after n - k merges (union of the merged ids), 0-based and raw.
std::vector<int32_t> CutTree(const TDendro& T, int32_t N, int32_t K) {
  std::vector<int32_t> Parent(size_t(2 * N), 0);
  std::iota(Parent.begin(), Parent.end(), 0);
  auto Find = [&](int32_t X) {
    while (Parent[size_t(X)] != X) X = Parent[size_t(X)] = Parent[size_t(Parent[size_t(X)])];
    return X;
  };
  for (int32_t S = 1; S <= N - K; ++S) {
    Parent[size_t(Find(T.D(1, S)))] = N + S;
    Parent[size_t(Find(T.D(2, S)))] = N + S;
  }
  std::vector<int32_t> Root(static_cast<size_t>(N)), Id(static_cast<size_t>(2 * N), -1);
  int32_t Next = 0;
  for (int32_t L = 1; L <= N; ++L) {
    const int32_t R = Find(L);
    if (Id[size_t(R)] < 0) Id[size_t(R)] = Next++;
    Root[size_t(L - 1)] = Id[size_t(R)];
  }
  return Root;
}

double Shown(const TDendro& T, double H) { return T.Squared ? std::sqrt(std::max(H, 0.0)) : H; }

void PlotDendrogram(const TDendro& T, int32_t N, int32_t K, const std::vector<int32_t>& Cluster,
                    const std::vector<int32_t>& RowNr, const std::string& Title,
                    const TOutputOptions& Out) {
  SavePlot(Out.Plot, Out.Size[0], Out.Size[1], [&](cairo_t* Cr) {
    TFrameText Text;
    Text.Title = Title;
    Text.YLabel = "merge height";
    // Up to 60 leaves carry their row numbers where the x label would go.
    Text.XLabel = N <= 60 ? " " : "rows in dendrogram order";
    Text.XTicks = false;
    Text.FontSize = std::clamp(std::min(Out.Size[0], Out.Size[1]) / 45.0, 8.0, 14.0);
    const double Top = Shown(T, T.Height(N - 1));
    const TAxes A = DrawFrame(Cr, 0, 0, Out.Size[0], Out.Size[1], 0.5, N + 0.5, 0, Top, Text);
    // Height and place of every node: leaves at 0.
    auto H = [&](int32_t Id) { return Id <= N ? 0.0 : Shown(T, T.Height(Id - N)); };
    cairo_set_source_rgb(Cr, 0.1, 0.1, 0.1);
    cairo_set_line_width(Cr, std::max(0.6, Text.FontSize / 12));
    for (int32_t S = 1; S < N; ++S) {
      const int32_t L = T.D(1, S), R = T.D(2, S);
      const double Hs = Shown(T, T.Height(S));
      cairo_move_to(Cr, A.PX(T.Position(L)), A.PY(H(L)));
      cairo_line_to(Cr, A.PX(T.Position(L)), A.PY(Hs));
      cairo_line_to(Cr, A.PX(T.Position(R)), A.PY(Hs));
      cairo_line_to(Cr, A.PX(T.Position(R)), A.PY(H(R)));
    }
    cairo_stroke(Cr);
    // The cut between the last merge kept and the first one undone.
    if (K > 1) {
      const double Cut = (Shown(T, T.Height(N - K)) + Shown(T, T.Height(N - K + 1))) / 2;
      cairo_set_source_rgb(Cr, 0.75, 0.15, 0.1);
      const double Dash = 4;
      cairo_set_dash(Cr, &Dash, 1, 0);
      cairo_move_to(Cr, A.X0, A.PY(Cut));
      cairo_line_to(Cr, A.X0 + A.W, A.PY(Cut));
      cairo_stroke(Cr);
      cairo_set_dash(Cr, nullptr, 0, 0);
    }
    // Leaves in their cluster's colour, numbered when there is room.
    std::vector<double> X, Y;
    std::vector<int32_t> G;
    for (int32_t L = 1; L <= N; ++L) {
      X.push_back(T.Position(L));
      Y.push_back(0);
      G.push_back(Cluster[size_t(L - 1)]);
    }
    DrawGroupDots(Cr, A, X, Y, G, std::max(2.0, std::min(5.0, A.W / N / 3)));
    if (N <= 60)
      for (int32_t L = 1; L <= N; ++L)
        DrawCentred(Cr, A.PX(T.Position(L)), A.Y0 + A.H + Text.FontSize * 0.9,
                    std::to_string(RowNr[size_t(L - 1)]), Text.FontSize * 0.75);
  });
}

void PlotScatter(const TMatrix& Data, const std::vector<int32_t>& Cluster, const TMatrix& Centres,
                 int32_t K, const std::string& XN, const std::string& YN,
                 const TOutputOptions& Out) {
  std::vector<double> X, Y;
  std::vector<int32_t> G;
  const int32_t Stride = std::max(1, Data.NrOfRows() / 5000);  // enough dots for the picture
  for (int32_t R = 1; R <= Data.NrOfRows(); R += Stride) {
    G.push_back(Cluster[size_t(R - 1)]);
    X.push_back(Data(1, R));
    Y.push_back(Data.NrOfColumns() > 1 ? Data(2, R) : 0.0);
  }
  const auto [XLo, XHi] = std::minmax_element(X.begin(), X.end());
  const auto [YLo, YHi] = std::minmax_element(Y.begin(), Y.end());
  SavePlot(Out.Plot, Out.Size[0], Out.Size[1], [&](cairo_t* Cr) {
    TFrameText Text;
    Text.Title = "k-means, " + std::to_string(K) + " clusters (crosses: centres)";
    Text.XLabel = XN;
    Text.YLabel = YN;
    Text.FontSize = std::clamp(std::min(Out.Size[0], Out.Size[1]) / 45.0, 8.0, 14.0);
    const TAxes A = DrawFrame(Cr, 0, 0, Out.Size[0], Out.Size[1], *XLo, *XHi, *YLo, *YHi, Text);
    DrawGroupDots(Cr, A, X, Y, G, std::max(2.0, Text.FontSize / 3.5));
    cairo_set_line_width(Cr, 2.5);
    for (int32_t C = 1; C <= K; ++C) {
      double R = 0, G = 0, B = 0;
      PaletteColour(C - 1, R, G, B);
      const double Px = A.PX(Centres(1, C)),
                   Py = A.PY(Centres.NrOfColumns() > 1 ? Centres(2, C) : 0.0), S = 7;
      cairo_set_source_rgb(Cr, 0, 0, 0);
      cairo_move_to(Cr, Px - S, Py - S);
      cairo_line_to(Cr, Px + S, Py + S);
      cairo_move_to(Cr, Px - S, Py + S);
      cairo_line_to(Cr, Px + S, Py - S);
      cairo_stroke(Cr);
    }
  });
}

std::function<void()> Setup(CLI::App& Sub) {
  auto O = std::make_shared<TOpts>();
  O->In.Add(Sub);
  Sub.add_option("--columns", O->Columns,
                 "columns describing the rows (default: every numeric one)")
      ->delimiter(',');
  Sub.add_option("--method", O->Method, "kmeans (default) or agglomerative")
      ->check(CLI::IsMember({"kmeans", "agglomerative"}));
  Sub.add_option("-k,--clusters", O->K, "number of clusters (default 2)")
      ->check(CLI::Range(1, 1000));
  Sub.add_option("--linkage", O->Linkage,
                 "agglomerative: single, complete, average, weighted or ward (default)")
      ->check(CLI::IsMember({"single", "complete", "average", "weighted", "ward"}));
  Sub.add_option("--distance", O->Distance,
                 "agglomerative, except ward: euclidean (default) or cityblock")
      ->check(CLI::IsMember({"euclidean", "cityblock"}));
  Sub.add_option(
         "--seed", O->Seed,
         "kmeans: seed of the random start rows (default 1; 0 starts from the first k rows)")
      ->check(CLI::NonNegativeNumber);
  Sub.add_flag("--standardize", O->Standardize,
               "scale every column to mean 0 and deviation 1 first (columns of different units)");
  Sub.add_flag("--members", O->Members, "list the cluster of every row");
  O->Out.Add(Sub, true);
  SetExamples(
      Sub,
      "  nux cluster blobs.csv -k 3\n"
      "  nux cluster blobs.csv -k 3 --members --json\n"
      "  nux cluster blobs.csv --method agglomerative -k 3 --linkage single --plot tree.png\n"
      "  nux cluster weather.csv --columns temperature,humidity --standardize -k 2");
  return [O] {
    TDataTable In, T;
    LoadTable(O->In, In);
    const std::vector<int32_t> Cols = NumericColumns(In, O->Columns);
    std::vector<int32_t> RowNr;
    const int32_t Dropped = CompleteRows(In, Cols, T, &RowNr);
    const int32_t N = T.NrOfRows(), NC = T.NrOfColumns(), K = O->K;
    if (K > N)
      throw EData("cannot form " + std::to_string(K) + " clusters of " + std::to_string(N) +
                  " complete rows");
    TMatrix Data(NC, N);
    std::vector<double> Mean(size_t(NC), 0), Sd(size_t(NC), 1);
    for (int32_t C = 1; C <= NC; ++C) {
      if (O->Standardize) {
        double V = 0;
        T.MeanVarOfNumCells(C, 1, C, N, Mean[size_t(C - 1)], V);
        Sd[size_t(C - 1)] = N > 2 && V > 0 ? std::sqrt(V) : 1;
      }
      for (int32_t R = 1; R <= N; ++R)
        Data(C, R) = (T.Elem(C, R) - Mean[size_t(C - 1)]) / Sd[size_t(C - 1)];
    }
    std::vector<int32_t> Cluster;
    TSection Sum{"summary", "", {"quantity", "value"}, {}};
    const std::string How =
        O->Method == "kmeans"
            ? "k-means"
            : "agglomerative clustering (" + O->Linkage + " linkage" +
                  (O->Linkage == "ward" ? "" : ", " + O->Distance + " distance") + ")";
    TDendro Tree;
    if (O->Method == "kmeans") {
      TMatrix Centres;
      TIntVector Assign, Sizes;
      double SS = 0;
      {
        TProgress P("clustering", 0);
        SS = kMeansClustering(Data, 0, 0, K, O->Seed, Centres, Assign, Sizes);
      }
      CheckInterrupted();
      if (SS < 0) throw EInterrupted();
      for (int32_t R = 1; R <= N; ++R) Cluster.push_back(Assign(R) - 1);
      Sum.Rows.push_back({"within sum of squares", SS});
    } else {
      if (N > MaxAgglomRows)
        throw EData("agglomerative clustering takes at most " + std::to_string(MaxAgglomRows) +
                    " rows (its distance matrix grows with their square); use kmeans");
      if (N < 2) throw EData("agglomerative clustering needs at least two rows");
      const auto& L = *std::find_if(std::begin(Linkages), std::end(Linkages),
                                    [&](const TLinkage& X) { return O->Linkage == X.Name; });
      // Ward's rule works on squared Euclidean distances; heights are shown as their roots.
      Tree.Squared = L.Method == cmWard;
      const TDistMode Mode = Tree.Squared                 ? dmEuclidSqr
                             : O->Distance == "cityblock" ? dmCityBlock
                                                          : dmEuclid;
      int32_t St = 0;
      {
        // The routine reports through its own callback: passing the percentage on to the
        // progress hook draws the bar and carries Ctrl-C into it.
        TProgress P("clustering", 100);
        St = AgglomClustering(nullptr, Data, Mode, L.Method, 0, Tree.D, Tree.Height, Tree.Position,
                              [](TObject*, double, double Percent) {
                                if (MathFeedBackProc) MathFeedBackProc(Percent);
                              });
      }
      CheckInterrupted();
      if (St == -1) throw EInterrupted();
      if (St != 0) throw EData("agglomerative clustering failed (code " + std::to_string(St) + ")");
      Cluster = CutTree(Tree, N, K);
      if (K > 1)
        Sum.Rows.push_back(
            {"height of the last merge kept", N - K >= 1 ? Shown(Tree, Tree.Height(N - K)) : NaN});
      Sum.Rows.push_back(
          {"height of the first merge undone", K > 1 ? Shown(Tree, Tree.Height(N - K + 1)) : NaN});
    }
    Cluster = BySize(Cluster, K);
    Sum.Title =
        How + " of " + std::to_string(N) + " rows" +
        (Dropped ? " (" + std::to_string(Dropped) + " with a missing value left out)" : "") +
        (O->Standardize ? ", columns standardized" : "");
    // Sizes and means in the file's units; the within sum of squares in the units clustered.
    TSection Cl{"clusters",
                "Clusters, largest first; centres are the members' means",
                {"cluster", "size"},
                {}};
    for (int32_t C = 1; C <= NC; ++C) Cl.Head.push_back(T.ColName(C));
    std::vector<int64_t> Size(size_t(K), 0);
    std::vector<std::vector<double>> Centre(size_t(K), std::vector<double>(size_t(NC), 0));
    for (int32_t R = 1; R <= N; ++R) {
      const auto G = size_t(Cluster[size_t(R - 1)]);
      ++Size[G];
      for (int32_t C = 1; C <= NC; ++C) Centre[G][size_t(C - 1)] += T.Elem(C, R);
    }
    TMatrix Centres(NC, K);
    for (int32_t G = 0; G < K; ++G) {
      std::vector<TCell>& Row = Cl.Rows.emplace_back();
      Row.emplace_back(int64_t(G + 1));
      Row.emplace_back(Size[size_t(G)]);
      for (int32_t C = 1; C <= NC; ++C) {
        const double M =
            Size[size_t(G)] ? Centre[size_t(G)][size_t(C - 1)] / double(Size[size_t(G)]) : NaN;
        Row.emplace_back(M);
        Centres(C, G + 1) = M;
      }
    }
    std::vector<TSection> Report{Sum, Cl};
    if (O->Members) {
      TSection M{"members", "Cluster of every row", {"row", "cluster"}, {}};
      for (int32_t R = 1; R <= N; ++R)
        M.Rows.push_back({int64_t(RowNr[size_t(R - 1)]), int64_t(Cluster[size_t(R - 1)] + 1)});
      Report.push_back(M);
    }
    if (!O->Out.Plot.empty()) {
      if (O->Method == "kmeans") {
        if (NC > 2) std::fprintf(stderr, "nux: the plot shows the first two columns\n");
        TMatrix Raw(NC, N);
        for (int32_t C = 1; C <= NC; ++C)
          for (int32_t R = 1; R <= N; ++R) Raw(C, R) = T.Elem(C, R);
        PlotScatter(Raw, Cluster, Centres, K, T.ColName(1), NC > 1 ? T.ColName(2) : "", O->Out);
      } else {
        PlotDendrogram(Tree, N, K, Cluster, RowNr,
                       "Dendrogram, " + O->Linkage + " linkage, cut into " + std::to_string(K) +
                           " clusters" + (N <= 60 ? " (leaves: row numbers)" : ""),
                       O->Out);
      }
    }
    PrintReport(Report, O->Out);
  };
}

const TRegister Reg({"cluster",
                     "k-means or agglomerative clustering of the rows, with a scatter or "
                     "dendrogram plot",
                     Setup});

}  // namespace
}  // namespace nuxcli
