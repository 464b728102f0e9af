// Curve fits, regressions, principal components, clustering, neighbours and the Kohonen map.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

#include "common.h"

namespace nuxpy {

namespace {

using namespace py::literals;

nux::TRegModel ModelOf(const py::handle& M) {
  if (py::isinstance<py::str>(M)) {
    const std::string s = M.cast<std::string>();
    for (size_t i = 0; i < nux::IDS_REGMODEL.size(); ++i) {
      std::string id = nux::IDS_REGMODEL[i];
      std::string low = id.substr(2);
      std::transform(low.begin(), low.end(), low.begin(), ::tolower);
      if (s == id || s == low) return nux::TRegModel(i);
    }
    throw py::value_error("unknown model \"" + s + "\"");
  }
  return nux::TRegModel(M.cast<int32_t>());
}

// CalcRegModel and Predict share the codes from -4 on; below that each has its own.
void CheckFit(const char* Routine, int32_t Code, bool Prediction) {
  if (Prediction && Code == nux::prBadProb) RaiseStatus(Routine, Code, "p outside [0.5, 1)");
  if (Prediction && Code == nux::prTooFewPoints)
    RaiseStatus(Routine, Code, "no more pairs than the model has parameters");
  if (Prediction && Code == nux::prNoModel) RaiseStatus(Routine, Code, "no model");
  switch (Code) {
    case nux::cfOK:
      return;
    case nux::cfTooFewPoints:
      RaiseStatus(Routine, Code, "fewer pairs than the model needs");
    case nux::cfNoModel:
      RaiseStatus(Routine, Code, "no model");
    case nux::cfInvalidData:
      RaiseStatus(Routine, Code, "the model's transformation cannot take the data");
    case nux::cfNotAFunction:
      RaiseStatus(Routine, Code, "the circle is not a function");
    case nux::cfFitFailed:
      RaiseStatus(Routine, Code, "the fit found no finite solution");
    case nux::cfBadOrder:
      RaiseStatus(Routine, Code, "polynomial order outside 0..10");
    default:
      RaiseStatus(Routine, Code, "failed");
  }
}

nux::TMatrix MatrixOf(const py::handle& X, const char* What) {
  if (py::isinstance<PyMatrix>(X)) return nux::TMatrix(X.cast<const PyMatrix&>().Data());
  return nux::TMatrix(ToColumns(X, What));
}

nux::TDistMode DistModeOf(const std::string& s) {
  if (s == "euclidean") return nux::dmEuclid;
  if (s == "sqeuclidean") return nux::dmEuclidSqr;
  if (s == "cityblock") return nux::dmCityBlock;
  if (s == "tanimoto") return nux::dmTanimoto;
  if (s == "dice") return nux::dmDice;
  throw py::value_error("unknown metric \"" + s + "\"");
}

nux::TClusterMethod MethodOf(const std::string& s) {
  if (s == "single") return nux::cmSingleLink;
  if (s == "complete") return nux::cmCompleteLink;
  if (s == "ward") return nux::cmWard;
  if (s == "weighted") return nux::cmAvgLink;
  if (s == "flexible") return nux::cmFlexLink;
  if (s == "average") return nux::cmUpgma;
  throw py::value_error("unknown method \"" + s + "\"");
}

// A Python callable as a library percent-done event: it runs under the GIL; an exception it
// raises is kept for the caller and asks Stop to end the work.
struct THook {
  py::object Fn;
  std::optional<py::error_already_set> Error;
  template <class Stop>
  void Call(int32_t Percent, Stop&& StopWork) {
    if (Fn.is_none() || Error) return;
    py::gil_scoped_acquire gil;
    try {
      py::object r = Fn(Percent);
      if (py::isinstance<py::bool_>(r) && r.cast<bool>()) StopWork();
    } catch (py::error_already_set& e) {
      Error = std::move(e);
      StopWork();
    }
  }
  void Rethrow() {
    if (Error) {
      py::error_already_set e = std::move(*Error);
      Error.reset();
      throw e;
    }
  }
};

}  // namespace

void InitModels(py::module_& m) {
  // ---- TCurveFit ----
  py::class_<nux::TCurveFit, nux::TComponent>(
      m, "CurveFit",
      "Collects (x, y) pairs and fits models to them (TCurveFit). Pair and residual indices are "
      "1-based.")
      .def(py::init([](py::object X, py::object Y) {
             auto c = std::make_unique<nux::TCurveFit>();
             if (!X.is_none()) {
               auto x = ToDoubles(X, "CurveFit"), y = ToDoubles(Y, "CurveFit");
               if (x.size() != y.size())
                 throw py::value_error("CurveFit: x and y differ in length");
               for (size_t i = 0; i < x.size(); ++i) c->EnterStatValue(x[i], y[i]);
             }
             return c;
           }),
           "x"_a = py::none(), "y"_a = py::none(),
           "Pairs from x and y (pairs with a NaN or infinite coordinate are not stored).")
      .def(
          "add",
          [](nux::TCurveFit& c, const py::handle& X, const py::handle& Y) {
            auto x = ToDoubles(X, "add"), y = ToDoubles(Y, "add");
            if (x.size() != y.size()) throw py::value_error("add: x and y differ in length");
            for (size_t i = 0; i < x.size(); ++i) c.EnterStatValue(x[i], y[i]);
            return c.NumData();
          },
          "x"_a, "y"_a, "Adds pairs; returns the new count.")
      .def("EnterStatValue", &nux::TCurveFit::EnterStatValue, "x"_a, "y"_a,
           "Adds the pair; returns the new count (unchanged for a non-finite pair).")
      .def("RemoveStatValue", &nux::TCurveFit::RemoveStatValue, "ix"_a,
           "Removes pair ix (1-based).")
      .def("Init", &nux::TCurveFit::Init, "Removes every pair and the model.")
      .def("NumData", &nux::TCurveFit::NumData, "Number of pairs.")
      .def("MeanX", &nux::TCurveFit::MeanX, "Mean of x; 0 when empty.")
      .def("MeanY", &nux::TCurveFit::MeanY, "Mean of y; 0 when empty.")
      .def("StdDevX", &nux::TCurveFit::StdDevX, "Standard deviation of x; 0 for n < 3.")
      .def("StdDevY", &nux::TCurveFit::StdDevY, "Standard deviation of y; 0 for n < 3.")
      .def("CorrCoeff", &nux::TCurveFit::CorrCoeff, "Pearson's r; 0 for n < 3 or no spread.")
      .def(
          "SpearmanRankCorr",
          [](const nux::TCurveFit& c) {
            double p = 0;
            double r = c.GetSpearman(p);
            return py::make_tuple(r, p);
          },
          "(Spearman's rho, two-sided p).")
      .def(
          "KendallsTau",
          [](nux::TCurveFit& c) {
            double p = 0;
            double t = Released([&] { return c.KendallsTau(p); });
            return py::make_tuple(t, p);
          },
          "(Kendall's tau-b, two-sided p).")
      .def(
          "fit",
          [](nux::TCurveFit& c, const py::handle& Model, int32_t Order) {
            const auto model = ModelOf(Model);
            CheckFit("fit", Released([&] { return c.CalcRegModel(model, Order); }), false);
            const int32_t np =
                (model == nux::rmPolynomial || model == nux::rmCenteredPoly) ? Order + 1
                : (model == nux::rmLinear || (model >= nux::rmReciLin && model <= nux::rmExpo)) ? 2
                                                                                                : 3;
            std::vector<double> k;
            for (int32_t j = 0; j < np; ++j) k.push_back(c.ModelPar(1, j));
            return py::make_tuple(ToNumpy(k), c.FitQual());
          },
          "model"_a, "order"_a = 0,
          "Fits a model (\"linear\", \"parabolic\", \"gaussian\", \"recilin\", \"hyperbolic\", "
          "\"recihyperbolic\", \"log\", \"recilog\", \"power\", \"expo\", \"hoerl\", \"circle\", "
          "\"polynomial\", \"centeredpoly\", or the rm... names) and fills the residuals: "
          "(parameters k0.., fit quality).")
      .def(
          "polyfit",
          [](nux::TCurveFit& c, int32_t Order) {
            nux::TDoubleArray k, alpha;
            double q = 0;
            bool ns = false;
            bool ok = Released([&] { return c.CalcPolyFit(Order, k, alpha, q, ns); });
            if (!ok) RaiseStatus("polyfit", -1, "order outside 0..10 or the decomposition failed");
            return py::make_tuple(ToNumpy(k), ToNumpy(alpha), q, ns);
          },
          "order"_a,
          "Polynomial fit (CalcPolyFit): (coefficients of x^0.., two-sided significances, fit "
          "quality, near singular).")
      .def(
          "evaluate",
          [](const nux::TCurveFit& c, const py::handle& X) -> py::object {
            if (py::isinstance<py::float_>(X) || py::isinstance<py::int_>(X))
              return py::float_(c.Evaluate(X.cast<double>()));
            auto x = ToDoubles(X, "evaluate");
            for (auto& v : x) v = c.Evaluate(v);
            return ToNumpy(x);
          },
          "x"_a, "The current model at x (a number or an array).")
      .def(
          "predict",
          [](nux::TCurveFit& c, double X, double P, const py::handle& Model, int32_t Order) {
            double v = 0, pi = 0, ci = 0;
            CheckFit("predict", c.Predict(ModelOf(Model), X, P, Order, v, pi, ci), true);
            return py::make_tuple(v, pi, ci);
          },
          "x"_a, "p"_a, "model"_a, "order"_a = 0,
          "(value, prediction interval half-width, confidence interval half-width) at level p.")
      .def(
          "residuals",
          [](const nux::TCurveFit& c) {
            std::vector<double> r(size_t(c.NumData()));
            for (int32_t i = 1; i <= c.NumData(); ++i) r[size_t(i - 1)] = c.Residual(i);
            return ToNumpy(r);
          },
          "Residuals of the last fit.")
      .def("CubicSpline", &nux::TCurveFit::CubicSpline, "x"_a,
           "Interpolating cubic spline through the pairs at x.")
      .def(
          "SmoothedSpline",
          [](nux::TCurveFit& c, double X) {
            double q = 0;
            bool valid = false;
            double v = c.SmoothedSpline(X, q, valid);
            return py::make_tuple(v, q, valid);
          },
          "x"_a, "(smoothing spline at x, its R^2, valid).")
      .def(
          "ExportAsASC",
          [](const nux::TCurveFit& c, const std::string& F, const std::string& Comment, int32_t P) {
            std::string err = c.ExportAsASC(F, Comment, P);
            if (!err.empty()) {
              PyErr_SetString(PyExc_OSError, err.c_str());
              throw py::error_already_set();
            }
          },
          "filename"_a, "comment"_a = "", "precision"_a = -1,
          "Writes the pairs as ASC text; OSError with the library's message on failure.")
      .def(
          "ImportASC",
          [](nux::TCurveFit& c, const std::string& F) {
            CheckAscResult("ImportASC", c.ImportASC(F), F);
          },
          "filename"_a, "Replaces the pairs by those of an ASC file of two columns.");

  // ---- regressions ----
  m.def(
      "linreg",
      [](const py::handle& X, const py::handle& Y, bool Intercept) {
        auto cols = ToColumns(X, "linreg");
        auto y = ToDoubles(Y, "linreg");
        if (y.size() != cols[0].size()) throw py::value_error("linreg: y does not match X's rows");
        nux::TIntArray sel(cols.size());
        std::iota(sel.begin(), sel.end(), 1);
        cols.push_back(y);
        nux::TMatrix data(cols);
        double c = 0, dc = 0, r2 = 0;
        nux::TVector k, dk;
        bool ns = false;
        bool ok = Released([&] {
          return nux::MultiLinReg(data, sel, int32_t(cols.size()), Intercept, c, dc, r2, k, dk, ns);
        });
        if (!ok) RaiseStatus("linreg", -1, "values that are not finite, or too few rows");
        std::vector<double> coef, se;
        if (Intercept) coef.push_back(c), se.push_back(dc);
        coef.insert(coef.end(), k.Data().begin(), k.Data().end());
        se.insert(se.end(), dk.Data().begin(), dk.Data().end());
        return NamedTuple("FitResult")(ToNumpy(coef), ToNumpy(se), r2, ns);
      },
      "X"_a, "y"_a, "intercept"_a = true,
      "Least squares of y on the columns of X (rows are objects) (MultiLinReg): (coeffs, stderr, "
      "rsquared, near_singular); with intercept the constant comes first.");
  m.def(
      "ridge",
      [](const py::handle& X, const py::handle& Y, double Lambda, bool Standardize) {
        nux::TMatrix x(ToColumns(X, "ridge"));
        nux::TVector y(std::span<const double>(ToDoubles(Y, "ridge")));
        nux::TVector k, d, m1, s1;
        bool ns = false;
        bool ok = Released([&] {
          return Standardize ? nux::RidgeRegStd(x, y, Lambda, k, d, m1, s1, ns)
                             : nux::RidgeReg(x, y, Lambda, k, d, ns);
        });
        if (!ok)
          RaiseStatus("ridge", -1,
                      "lambda < 0, sizes that do not fit or values that are not finite");
        return NamedTuple("FitResult")(ToNumpy(k.Data()), ToNumpy(d.Data()), NAN, ns);
      },
      "X"_a, "y"_a, "lam"_a, "standardize"_a = false,
      "Ridge regression minimising |y - X b|^2 + lam |b|^2 (RidgeReg); standardize=True works on "
      "standardised columns and returns the constant first, in original units (RidgeRegStd; "
      "stderr then holds the standardised coefficients).");
  m.def(
      "pls",
      [](const py::handle& X, const py::handle& Y, int32_t NComp, bool Scale) {
        nux::TMatrix x(ToColumns(X, "pls"));
        py::object Yo = py::reinterpret_borrow<py::object>(Y);
        auto ya = py::array::ensure(Yo);
        if (ya && ya.ndim() == 1) Yo = ya.attr("reshape")(-1, 1);
        nux::TMatrix y(ToColumns(Yo, "pls"));
        nux::TMatrix W, T, P, Q, U, V, B;
        nux::TVector xe, ye;
        bool ok =
            Released([&] { return nux::SimPLS(x, y, NComp, Scale, W, T, P, Q, U, V, xe, ye, B); });
        if (!ok)
          RaiseStatus("pls", -1,
                      "sizes that do not fit, ncomp out of range, or values that are not finite");
        py::dict r;
        r["coeffs"] = FromColumns(B.Data());
        r["x_weights"] = FromColumns(W.Data());
        r["x_scores"] = FromColumns(T.Data());
        r["x_loadings"] = FromColumns(P.Data());
        r["y_loadings"] = FromColumns(Q.Data());
        r["y_scores"] = FromColumns(U.Data());
        r["x_var_explained"] = ToNumpy(xe.Data());
        r["y_var_explained"] = ToNumpy(ye.Data());
        return r;
      },
      "X"_a, "Y"_a, "ncomp"_a, "scale"_a = true,
      "Partial least squares by SimPLS: a dict of arrays; coeffs has the constant in row 0, then "
      "one row per X column, one column per Y column, in original units.");
  m.def(
      "vif",
      [](const py::handle& X, py::object Progress) {
        nux::TMatrix x(ToColumns(X, "vif"));
        nux::TIntArray sel(size_t(x.NrOfColumns()));
        std::iota(sel.begin(), sel.end(), 1);
        nux::TDoubleArray f;
        THook hook{Progress, {}};
        bool ok = Released([&] {
          return nux::VarInflatFactor(x, sel, f, [&](nux::TObject*, int32_t pc) {
            hook.Call(pc, [] { nux::AbortMathProc = true; });
          });
        });
        hook.Rethrow();
        if (!ok)
          RaiseStatus("vif", -1,
                      "fewer than 2 columns or rows, values that are not finite, or aborted");
        return ToNumpy(f);
      },
      "X"_a, "progress"_a = py::none(),
      "Variance inflation factor of every column (VarInflatFactor); progress(percent) is called "
      "after each column.");

  // ---- principal components ----
  m.def(
      "pca",
      [](const py::handle& X, const std::string& Mode) {
        nux::TMatrix x = MatrixOf(X, "pca");
        const int32_t mode = Mode == "covariance"    ? nux::cvCovariances
                             : Mode == "correlation" ? nux::cvCorrelations
                                                     : -1;
        if (mode < 0) throw py::value_error("pca: mode is \"covariance\" or \"correlation\"");
        const int32_t p = x.NrOfColumns();
        const auto np = static_cast<size_t>(p);
        std::vector<double> ev(np);
        nux::TDouble2DArray vecs(np, std::vector<double>(np));
        bool ok = Released([&] {
          if (!nux::CalcPrincComp(x, 1, p, 1, x.NrOfRows(), mode, false)) return false;
          for (int32_t i = 1; i <= p; ++i) {
            ev[size_t(i - 1)] = nux::GetEigenResult(i, 0);
            for (int32_t j = 1; j <= p; ++j)
              vecs[size_t(i - 1)][size_t(j - 1)] = nux::GetEigenResult(i, j);
          }
          nux::RemoveEigenMatrix();
          return true;
        });
        if (!ok)
          RaiseStatus("pca", -1,
                      "fewer than 2 rows, values that are not finite, or no convergence");
        std::vector<size_t> order(np);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return ev[a] > ev[b]; });
        double total = 0;
        for (double v : ev) total += std::fabs(v);
        std::vector<double> evs, expl;
        nux::TDouble2DArray cols;
        for (size_t i : order) {
          evs.push_back(ev[i]);
          expl.push_back(total > 0 ? ev[i] / total : 0.0);
          cols.push_back(vecs[i]);
        }
        return NamedTuple("PCAResult")(ToNumpy(evs), FromColumns(cols), ToNumpy(expl));
      },
      "X"_a, "mode"_a = "covariance",
      "Principal components of the columns of X (CalcPrincComp): (eigenvalues descending, "
      "eigenvectors as columns, explained fractions).");

  // ---- clustering and neighbours ----
  m.def(
      "kmeans",
      [](const py::handle& X, int32_t K, int32_t Seed) {
        nux::TMatrix x = MatrixOf(X, "kmeans");
        nux::TMatrix centers;
        nux::TIntVector assign, sizes;
        double ss = Released(
            [&] { return nux::kMeansClustering(x, 0, 0, K, Seed, centers, assign, sizes); });
        if (ss < 0) RaiseStatus("kmeans", -1, "aborted");
        return py::make_tuple(FromColumns(centers.Data()), ToNumpy(assign.Data()),
                              ToNumpy(sizes.Data()), ss);
      },
      "X"_a, "n_clusters"_a, "seed"_a = 0,
      "k-means of the rows of X (kMeansClustering): (centres (k, columns), labels 1..k with 0 "
      "for rows holding NaN, sizes, within-cluster sum of squares). seed < 1 starts from rows "
      "1..k, else from rows drawn with that seed. Clusters are numbered by size.");
  m.def(
      "linkage",
      [](const py::handle& X, const std::string& Method, const std::string& Metric,
         double FlexAlpha, py::object Progress) {
        nux::TMatrix x = MatrixOf(X, "linkage");
        nux::TIntMatrix dend;
        nux::TVector dist, pos;
        THook hook{Progress, {}};
        nux::TClusterFeedBackProc fb;
        if (!Progress.is_none())
          fb = [&](nux::TObject*, double, double Percent) {
            hook.Call(int32_t(Percent), [] { nux::AbortMathProc = true; });
          };
        const auto meth = MethodOf(Method);
        const auto metric = DistModeOf(Metric);
        int32_t rc = Released([&] {
          return nux::AgglomClustering(nullptr, x, metric, meth, FlexAlpha, dend, dist, pos, fb);
        });
        hook.Rethrow();
        if (rc == -1) RaiseStatus("linkage", rc, "aborted");
        if (rc == -2) RaiseStatus("linkage", rc, "fewer than 2 rows");
        if (rc == -3) RaiseStatus("linkage", rc, "a distance is NaN");
        if (rc < 0) RaiseStatus("linkage", rc, "unknown metric or method");
        const int32_t steps = dend.NrOfRows();
        py::array_t<int32_t> d({py::ssize_t(steps), py::ssize_t(3)});
        auto w = d.mutable_unchecked<2>();
        for (int32_t s = 1; s <= steps; ++s)
          for (int32_t c = 1; c <= 3; ++c) w(s - 1, c - 1) = dend.GetVal(c, s);
        return NamedTuple("LinkageResult")(d, ToNumpy(dist.Data()), ToNumpy(pos.Data()));
      },
      "X"_a, "method"_a = "ward", "metric"_a = "euclidean", "flex_alpha"_a = 0.625,
      "progress"_a = py::none(),
      "Agglomerative clustering of the rows of X (AgglomClustering): (dendrogram rows (a, b, "
      "new id) with leaves 1..n and merge s forming n + s, merge distances, leaf positions). "
      "method: single, complete, ward, weighted, average, flexible; metric: euclidean, "
      "sqeuclidean, cityblock, tanimoto, dice. Ward's heights on \"sqeuclidean\" are the squares "
      "of scipy's ward heights.");
  m.def(
      "nearest_neighbors",
      [](const py::handle& X, const py::handle& Q, int32_t K) {
        nux::TMatrix x = MatrixOf(X, "nearest_neighbors");
        nux::TVector q(std::span<const double>(ToDoubles(Q, "nearest_neighbors")));
        nux::TMatrix nn(2, std::max(1, std::min(K, 100)));
        int32_t n = Released([&] { return nux::FindNearestNeighbors(K, x, 0, 0, q, nn); });
        std::vector<int32_t> rows;
        std::vector<double> d;
        for (int32_t i = 1; i <= n; ++i) {
          rows.push_back(int32_t(nn.GetVal(1, i)));
          d.push_back(nn.GetVal(2, i));
        }
        return NamedTuple("KnnResult")(ToNumpy(rows), ToNumpy(d));
      },
      "X"_a, "query"_a, "k"_a,
      "The k (at most 100) rows of X nearest to query by Euclidean distance "
      "(FindNearestNeighbors): (rows, 1-based, distances), nearest first.");

  // ---- Kohonen map ----
  py::class_<nux::TKohonen, nux::TComponent>(
      m, "Kohonen",
      "A self-organising map of size_x x size_y neurons (TKohonen). Neuron indices (ix, iy) "
      "are 1-based.")
      .def(py::init([](int32_t Sx, int32_t Sy, int32_t Steps, int32_t Neighbors, double Alpha,
                       bool Cyclic) {
             auto k = std::make_unique<nux::TKohonen>();
             k->SetSizeX(Sx);
             k->SetSizeY(Sy);
             k->SetNrOfTrnSteps(Steps);
             k->SetInitialNeighbors(Neighbors);
             k->SetInitialAlpha(Alpha);
             k->SetCyclic(Cyclic);
             return k;
           }),
           "size_x"_a = 1, "size_y"_a = 1, "steps"_a = 200, "neighbors"_a = 2, "alpha"_a = 1.0,
           "cyclic"_a = false, "A map with the given grid and training schedule.")
      .def_property_readonly("SizeX", &nux::TKohonen::SizeX, "Grid columns.")
      .def_property_readonly("SizeY", &nux::TKohonen::SizeY, "Grid rows.")
      .def_property_readonly("NrOfInSens", &nux::TKohonen::NrOfInSens, "Number of inputs.")
      .def_property_readonly("CurrentStep", &nux::TKohonen::CurrentStep,
                             "The step the next epoch runs.")
      .def_property("Comment", &nux::TKohonen::Comment, &nux::TKohonen::SetComment,
                    "A free text stored with the map.")
      .def(
          "fit",
          [](nux::TKohonen& k, const py::handle& X, bool Standardize,
             py::object Progress) -> nux::TKohonen& {
            nux::TMatrix x = MatrixOf(X, "fit");
            THook hook{Progress, {}};
            k.OnFeedback = [&](nux::TObject*, int32_t pc) {
              hook.Call(pc, [&] { k.AbortTraining(); });
            };
            try {
              Released([&] {
                k.SetDataMat(&x);
                if (Standardize) k.StandardizeData();
                k.Trainit();
              });
            } catch (...) {
              k.OnFeedback = nullptr;
              throw;
            }
            k.OnFeedback = nullptr;
            hook.Rethrow();
            return k;
          },
          "X"_a, "standardize"_a = true, "progress"_a = py::none(),
          "Trains on the rows of X from random weights (SetDataMat, StandardizeData, Trainit); "
          "progress(percent) is called after each epoch and stops training by returning True "
          "or raising.")
      .def(
          "predict",
          [](const nux::TKohonen& k, const py::handle& X) {
            auto cols = ToColumns(X, "predict");
            const int32_t nr = int32_t(cols[0].size());
            py::array_t<int32_t> out({py::ssize_t(nr), py::ssize_t(2)});
            py::array_t<double> dist(nr);
            auto o = out.mutable_unchecked<2>();
            auto d = dist.mutable_unchecked<1>();
            if (int32_t(cols.size()) != k.NrOfInSens())
              throw py::value_error("predict: X has " + std::to_string(cols.size()) +
                                    " columns, the map " + std::to_string(k.NrOfInSens()) +
                                    " inputs");
            Released([&] {
              nux::TVector v(int32_t(cols.size()));
              for (int32_t r = 0; r < nr; ++r) {
                for (size_t c = 0; c < cols.size(); ++c)
                  v.SetVal(int32_t(c + 1), cols[c][size_t(r)]);
                int32_t bx = 0, by = 0;
                double dd = 0;
                k.ApplyIt(v, bx, by, dd);
                o(r, 0) = bx;
                o(r, 1) = by;
                d(r) = dd;
              }
            });
            return py::make_tuple(out, dist);
          },
          "X"_a,
          "The winning neuron of every row of X (ApplyIt): ((rows, 2) array of (ix, iy), squared "
          "distances in standardised units).")
      .def(
          "weights",
          [](const nux::TKohonen& k) {
            py::array_t<double> w(
                {py::ssize_t(k.SizeX()), py::ssize_t(k.SizeY()), py::ssize_t(k.NrOfInSens())});
            auto a = w.mutable_unchecked<3>();
            for (int32_t x = 1; x <= k.SizeX(); ++x)
              for (int32_t y = 1; y <= k.SizeY(); ++y)
                for (int32_t i = 1; i <= k.NrOfInSens(); ++i)
                  a(x - 1, y - 1, i - 1) = k.Weight(x, y, i);
            return w;
          },
          "The weights in the units of the input, array [ix-1, iy-1, input-1].")
      .def("Weight", &nux::TKohonen::Weight, "ix"_a, "iy"_a, "wi"_a,
           "Weight wi of neuron (ix, iy) in the units of the input; 0 outside the map.")
      .def(
          "ContinueTraining", [](nux::TKohonen& k) { Released([&] { k.ContinueTraining(); }); },
          "Runs the remaining epochs.")
      .def(
          "SaveAsXMLFile",
          [](const nux::TKohonen& k, const std::string& F, const std::string& Id) {
            CheckXmlResult("SaveAsXMLFile", k.SaveAsXMLFile(F, Id), F);
          },
          "filename"_a, "data_id"_a = "", "Writes the map as an XML document (atomically).")
      .def(
          "LoadFromXMLFile",
          [](nux::TKohonen& k, const std::string& F, const std::string& Id) {
            CheckXmlResult("LoadFromXMLFile", Released([&] { return k.LoadFromXMLFile(F, Id); }),
                           F);
          },
          "filename"_a, "data_id"_a = "",
          "Reads the first \"kohonen\" element with that dataid (any for \"\"); on failure the map "
          "is unchanged.");
}

}  // namespace nuxpy
