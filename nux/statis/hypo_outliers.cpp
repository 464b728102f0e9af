#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "nux/frame/errors.h"
#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/math1/sorting.h"
#include "nux/openarrays/arraymath.h"
#include "nux/openarrays/arraystats.h"
#include "nux/statis/distributions.h"
#include "nux/statis/hypo_impl.h"
#include "nux/statis/hypotests.h"
#include "nux/vector/vector.h"

namespace nux {

using namespace hypo_detail;

namespace {

// Critical ratios of the Dean-Dixon test, rows n = 3 .. 100, columns in TSignifLevelEx order.
constexpr double DeanDixonTable[98][9] = {
    {0.999, 0.998, 0.994, 0.988, 0.976, 0.941, 0.886, 0.782, 0.501},
    {0.964, 0.949, 0.921, 0.889, 0.847, 0.766, 0.679, 0.561, 0.324},
    {0.895, 0.869, 0.824, 0.782, 0.729, 0.643, 0.559, 0.452, 0.251},
    {0.822, 0.792, 0.744, 0.698, 0.646, 0.563, 0.484, 0.387, 0.210},
    {0.763, 0.731, 0.681, 0.636, 0.587, 0.507, 0.433, 0.344, 0.184},
    {0.799, 0.769, 0.724, 0.682, 0.633, 0.554, 0.480, 0.386, 0.211},
    {0.750, 0.720, 0.675, 0.634, 0.586, 0.512, 0.441, 0.352, 0.190},
    {0.713, 0.683, 0.637, 0.597, 0.551, 0.477, 0.409, 0.325, 0.174},
    {0.770, 0.746, 0.708, 0.674, 0.636, 0.575, 0.518, 0.445, 0.304},
    {0.739, 0.714, 0.676, 0.643, 0.605, 0.546, 0.489, 0.420, 0.284},
    {0.713, 0.687, 0.649, 0.617, 0.580, 0.522, 0.467, 0.399, 0.269},
    {0.732, 0.708, 0.672, 0.640, 0.603, 0.546, 0.491, 0.422, 0.287},
    {0.708, 0.685, 0.648, 0.617, 0.582, 0.524, 0.470, 0.403, 0.272},
    {0.691, 0.667, 0.630, 0.598, 0.562, 0.505, 0.453, 0.386, 0.260},
    {0.671, 0.647, 0.611, 0.580, 0.545, 0.489, 0.437, 0.373, 0.249},
    {0.652, 0.628, 0.594, 0.564, 0.529, 0.475, 0.424, 0.361, 0.240},
    {0.640, 0.617, 0.581, 0.551, 0.517, 0.462, 0.412, 0.349, 0.232},
    {0.627, 0.604, 0.568, 0.538, 0.503, 0.450, 0.401, 0.339, 0.224},
    {0.614, 0.590, 0.556, 0.526, 0.493, 0.439, 0.391, 0.331, 0.218},
    {0.603, 0.580, 0.546, 0.517, 0.483, 0.430, 0.382, 0.323, 0.212},
    {0.593, 0.570, 0.536, 0.506, 0.473, 0.421, 0.374, 0.316, 0.207},
    {0.583, 0.560, 0.527, 0.498, 0.465, 0.413, 0.366, 0.309, 0.202},
    {0.574, 0.550, 0.517, 0.489, 0.457, 0.406, 0.359, 0.302, 0.197},
    {0.567, 0.544, 0.510, 0.481, 0.449, 0.399, 0.353, 0.297, 0.193},
    {0.559, 0.536, 0.503, 0.474, 0.442, 0.392, 0.347, 0.291, 0.189},
    {0.549, 0.528, 0.495, 0.468, 0.436, 0.386, 0.341, 0.286, 0.186},
    {0.544, 0.521, 0.490, 0.461, 0.430, 0.381, 0.336, 0.282, 0.182},
    {0.539, 0.517, 0.484, 0.456, 0.425, 0.376, 0.332, 0.278, 0.179},
    {0.532, 0.510, 0.478, 0.451, 0.419, 0.371, 0.327, 0.274, 0.176},
    {0.525, 0.504, 0.472, 0.445, 0.414, 0.366, 0.323, 0.270, 0.174},
    {0.522, 0.500, 0.468, 0.440, 0.410, 0.363, 0.319, 0.266, 0.171},
    {0.517, 0.495, 0.463, 0.436, 0.405, 0.358, 0.315, 0.263, 0.169},
    {0.511, 0.490, 0.459, 0.431, 0.400, 0.354, 0.311, 0.260, 0.166},
    {0.506, 0.485, 0.453, 0.427, 0.397, 0.350, 0.308, 0.257, 0.164},
    {0.502, 0.480, 0.449, 0.423, 0.392, 0.346, 0.304, 0.254, 0.162},
    {0.501, 0.479, 0.446, 0.420, 0.389, 0.343, 0.301, 0.251, 0.160},
    {0.495, 0.474, 0.443, 0.416, 0.386, 0.340, 0.298, 0.248, 0.158},
    {0.490, 0.469, 0.438, 0.412, 0.382, 0.337, 0.295, 0.246, 0.157},
    {0.488, 0.467, 0.435, 0.408, 0.379, 0.333, 0.293, 0.243, 0.155},
    {0.484, 0.463, 0.432, 0.406, 0.376, 0.331, 0.290, 0.241, 0.153},
    {0.481, 0.460, 0.428, 0.403, 0.373, 0.328, 0.288, 0.239, 0.152},
    {0.477, 0.456, 0.426, 0.399, 0.370, 0.325, 0.285, 0.237, 0.150},
    {0.475, 0.454, 0.423, 0.397, 0.368, 0.323, 0.283, 0.234, 0.149},
    {0.472, 0.451, 0.420, 0.394, 0.365, 0.320, 0.280, 0.233, 0.148},
    {0.468, 0.447, 0.417, 0.391, 0.362, 0.318, 0.278, 0.231, 0.146},
    {0.466, 0.445, 0.414, 0.389, 0.360, 0.316, 0.277, 0.229, 0.145},
    {0.462, 0.441, 0.411, 0.386, 0.358, 0.314, 0.274, 0.227, 0.144},
    {0.460, 0.439, 0.410, 0.384, 0.355, 0.312, 0.272, 0.226, 0.143},
    {0.457, 0.437, 0.408, 0.382, 0.353, 0.310, 0.271, 0.224, 0.141},
    {0.455, 0.435, 0.405, 0.379, 0.351, 0.308, 0.269, 0.222, 0.140},
    {0.453, 0.433, 0.402, 0.377, 0.349, 0.305, 0.267, 0.221, 0.139},
    {0.450, 0.429, 0.400, 0.375, 0.347, 0.304, 0.265, 0.219, 0.138},
    {0.449, 0.428, 0.399, 0.373, 0.345, 0.302, 0.263, 0.218, 0.137},
    {0.445, 0.425, 0.396, 0.371, 0.343, 0.300, 0.262, 0.216, 0.136},
    {0.444, 0.424, 0.394, 0.370, 0.341, 0.299, 0.260, 0.215, 0.135},
    {0.443, 0.422, 0.393, 0.367, 0.339, 0.297, 0.259, 0.214, 0.134},
    {0.440, 0.420, 0.391, 0.366, 0.338, 0.295, 0.257, 0.212, 0.133},
    {0.437, 0.417, 0.388, 0.363, 0.336, 0.294, 0.256, 0.211, 0.133},
    {0.436, 0.416, 0.387, 0.362, 0.334, 0.292, 0.254, 0.210, 0.132},
    {0.434, 0.414, 0.385, 0.360, 0.332, 0.290, 0.253, 0.208, 0.131},
    {0.434, 0.414, 0.383, 0.359, 0.331, 0.289, 0.252, 0.208, 0.130},
    {0.430, 0.410, 0.381, 0.357, 0.329, 0.288, 0.250, 0.206, 0.129},
    {0.429, 0.410, 0.380, 0.356, 0.328, 0.287, 0.249, 0.205, 0.129},
    {0.429, 0.408, 0.379, 0.355, 0.327, 0.286, 0.248, 0.204, 0.128},
    {0.425, 0.406, 0.377, 0.352, 0.325, 0.284, 0.247, 0.203, 0.127},
    {0.424, 0.404, 0.376, 0.351, 0.324, 0.283, 0.246, 0.202, 0.126},
    {0.422, 0.403, 0.375, 0.350, 0.324, 0.282, 0.245, 0.202, 0.126},
    {0.422, 0.403, 0.374, 0.349, 0.321, 0.280, 0.244, 0.201, 0.125},
    {0.420, 0.400, 0.371, 0.347, 0.320, 0.279, 0.243, 0.199, 0.125},
    {0.417, 0.397, 0.370, 0.346, 0.319, 0.278, 0.242, 0.199, 0.124},
    {0.416, 0.397, 0.368, 0.344, 0.317, 0.276, 0.240, 0.198, 0.123},
    {0.416, 0.396, 0.367, 0.343, 0.316, 0.276, 0.240, 0.197, 0.123},
    {0.414, 0.393, 0.366, 0.342, 0.315, 0.275, 0.238, 0.196, 0.122},
    {0.410, 0.392, 0.365, 0.341, 0.314, 0.273, 0.238, 0.195, 0.122},
    {0.412, 0.392, 0.363, 0.339, 0.313, 0.272, 0.236, 0.194, 0.121},
    {0.409, 0.390, 0.361, 0.337, 0.312, 0.271, 0.236, 0.193, 0.120},
    {0.409, 0.389, 0.361, 0.338, 0.311, 0.271, 0.235, 0.193, 0.120},
    {0.408, 0.389, 0.360, 0.337, 0.310, 0.270, 0.234, 0.192, 0.119},
    {0.406, 0.387, 0.359, 0.335, 0.308, 0.268, 0.233, 0.191, 0.119},
    {0.406, 0.387, 0.358, 0.335, 0.308, 0.267, 0.232, 0.190, 0.118},
    {0.404, 0.384, 0.356, 0.333, 0.307, 0.267, 0.231, 0.190, 0.118},
    {0.403, 0.383, 0.356, 0.332, 0.306, 0.266, 0.231, 0.189, 0.117},
    {0.402, 0.383, 0.355, 0.331, 0.304, 0.265, 0.230, 0.188, 0.117},
    {0.400, 0.380, 0.353, 0.330, 0.304, 0.264, 0.229, 0.188, 0.117},
    {0.400, 0.381, 0.353, 0.329, 0.303, 0.263, 0.228, 0.187, 0.116},
    {0.398, 0.380, 0.352, 0.328, 0.302, 0.262, 0.227, 0.187, 0.116},
    {0.397, 0.378, 0.351, 0.327, 0.301, 0.262, 0.227, 0.186, 0.115},
    {0.397, 0.377, 0.350, 0.326, 0.300, 0.261, 0.226, 0.185, 0.115},
    {0.394, 0.376, 0.348, 0.325, 0.299, 0.260, 0.225, 0.184, 0.114},
    {0.394, 0.375, 0.347, 0.324, 0.298, 0.259, 0.224, 0.184, 0.114},
    {0.393, 0.374, 0.346, 0.323, 0.297, 0.258, 0.224, 0.183, 0.113},
    {0.394, 0.374, 0.345, 0.322, 0.297, 0.258, 0.223, 0.183, 0.113},
    {0.391, 0.373, 0.345, 0.322, 0.296, 0.257, 0.223, 0.182, 0.113},
    {0.391, 0.372, 0.344, 0.320, 0.295, 0.256, 0.222, 0.181, 0.112},
    {0.392, 0.372, 0.343, 0.320, 0.294, 0.256, 0.221, 0.181, 0.112},
    {0.389, 0.370, 0.342, 0.319, 0.293, 0.255, 0.221, 0.180, 0.111},
    {0.387, 0.368, 0.341, 0.318, 0.292, 0.254, 0.220, 0.180, 0.111},
    {0.387, 0.368, 0.341, 0.317, 0.292, 0.253, 0.219, 0.179, 0.111},
};

#include "nux/statis/hypo_dwtable.inc"

}  // namespace

// ---------------------------------------------------------------- Dean-Dixon

double DeanDixonCriticalValues(int32_t n, TSignifLevelEx level) {
  if (n < 3 || n > 100 || level < Dot001 || level > Dot500) return -1.0;
  return DeanDixonTable[n - 3][level];
}

int32_t DeanDixonTest(const TDoubleArray& data, TSignifLevelEx level, double& Q) {
  const auto N = static_cast<int64_t>(data.size());
  if (N < 3) throw ENUXStatisError("DeanDixonTest: number of data points is too low");
  if (N > 100) throw ENUXStatisError("DeanDixonTest: number of data points is too high");
  Q = 0.0;
  if (!AllFinite(data)) {
    Q = std::nan("");
    return -2;
  }
  const std::vector<double> S = SortedCopy(data);
  auto X = [&](int64_t I) { return S[static_cast<size_t>(I - 1)]; };  // 1-based
  auto Ratio = [](double Num, double Den) { return Den == 0.0 ? 0.0 : Num / Den; };
  double L, H;
  if (N <= 7) {
    L = Ratio(X(2) - X(1), X(N) - X(1));
    H = Ratio(X(N) - X(N - 1), X(N) - X(1));
  } else if (N <= 10) {
    L = Ratio(X(2) - X(1), X(N - 1) - X(1));
    H = Ratio(X(N) - X(N - 1), X(N) - X(2));
  } else if (N <= 13) {
    L = Ratio(X(3) - X(1), X(N - 1) - X(1));
    H = Ratio(X(N) - X(N - 2), X(N) - X(2));
  } else {
    L = Ratio(X(3) - X(1), X(N - 2) - X(1));
    H = Ratio(X(N) - X(N - 2), X(N) - X(3));
  }
  Q = std::max(L, H);
  const double Suspect = L < H ? X(N) : X(1);
  if (!(Q > DeanDixonCriticalValues(static_cast<int32_t>(N), level))) return -1;
  return static_cast<int32_t>(std::find(data.begin(), data.end(), Suspect) - data.begin());
}

int32_t DeanDixonTest(const TVector& data, TSignifLevelEx level, double& Q) {
  const int32_t R = DeanDixonTest(data.Data(), level, Q);
  return R >= 0 ? R + 1 : R;
}

// ---------------------------------------------------------------- Grubbs

double GrubbsCriticalValues(int32_t n, double alpha, bool twoSided) {
  if (!(alpha > 0.0 && alpha < 1.0) || n <= 2) return -1.0;
  const double M = twoSided ? 2.0 : 1.0, Nd = n;
  // t(1 - q) = -t(q): the small tail q is exact, 1 - q would be rounded.
  const double T = -tDistriQuantile(alpha / M / Nd, n - 2);
  return (Nd - 1.0) / std::sqrt(Nd) * std::sqrt(T * T / (Nd - 2.0 + T * T));
}

int32_t GrubbsTest(const TDoubleArray& data, double alpha, double& G, int32_t& index) {
  G = 0.0;
  index = -1;
  int32_t Status = 0;
  if (!(alpha > 0.0 && alpha < 1.0)) Status = -1;
  if (data.size() < 4) Status = -2;
  if (Status != 0) return Status;
  if (!AllFinite(data)) return -3;
  const auto N = static_cast<int32_t>(data.size());
  double Mean, Var;
  MeanVarArray(data, 0, N - 1, Mean, Var);
  const double Sd = std::sqrt(Var);
  if (Sd == 0.0) return 0;
  int32_t At = 0;
  for (int32_t I = 0; I < N; ++I) {
    const double Gi = std::fabs(data[I] - Mean) / Sd;
    if (Gi > G) {
      G = Gi;
      At = I;
    }
  }
  if (G > GrubbsCriticalValues(N, alpha, true)) index = At;
  return 0;
}

int32_t GrubbsTest(const TVector& data, double alpha, double& G, int32_t& index) {
  const int32_t R = GrubbsTest(data.Data(), alpha, G, index);
  if (index >= 0) ++index;
  return R;
}

// ---------------------------------------------------------------- Durbin-Watson

double DurbinWatson(const TDoubleArray& residuals) {
  const size_t N = residuals.size();
  if (N <= 2) return 2.0;
  double Num = 0.0, Den = residuals[0] * residuals[0];
  for (size_t I = 1; I < N; ++I) {
    const double D = residuals[I] - residuals[I - 1];
    Num += D * D;
    Den += residuals[I] * residuals[I];
  }
  return Den == 0.0 ? 0.0 : Num / Den;
}

bool DurbinWatsonCrit5pct(int32_t n, int32_t k, double& dL, double& dU) {
  if (n - k < 5 || k < 1 || k > 20 || n < 5 || n > 2000) return false;
  if (n <= 100) {
    dL = DWLower[n - 6][k - 1];
    dU = DWUpper[n - 6][k - 1];
    return true;
  }
  const double Q = 2.0 + nDistriQuantile(0.05) * std::sqrt(4.0 / n);
  auto Poly = [](const double* C, double X) {
    double R = C[6];
    for (int I = 5; I >= 0; --I) R = R * X + C[I];
    return R;
  };
  if (n <= 200) {
    dL = Q + Poly(DWLPoly150[k - 1], n - 150.0);
    dU = Q + Poly(DWUPoly150[k - 1], n - 150.0);
  } else if (n <= 500) {
    dL = Q + Poly(DWLPoly350[k - 1], n - 350.0);
    dU = Q + Poly(DWUPoly350[k - 1], n - 350.0);
  } else {
    dL = Q + 1.0 / (DWLRecip[k - 1][0] + DWLRecip[k - 1][1] * n);
    dU = Q + 1.0 / (DWURecip[k - 1][0] + DWURecip[k - 1][1] * n);
  }
  return true;
}

double AkaikeInfCrit(int32_t n, int32_t k, double rss) {
  const double Nd = n;
  return Nd * std::log(rss / Nd) + 2.0 * k;
}

// ---------------------------------------------------------------- Theil-Sen

int32_t TheilSenEstimator(const TDoubleArray& x, const TDoubleArray& y, double& Slope,
                          double& Intercept, double& SlopeLow, double& SlopeHigh,
                          double& InterceptLow, double& InterceptHigh) {
  const auto N = static_cast<int64_t>(y.size());
  if (N <= 2) return -1;
  if (static_cast<int64_t>(x.size()) != N) return -2;
  if (!IsMonotone(x)) return -3;
  if (N > TheilSenMaxPoints) return -5;
  if (!AllFinite(y)) return -6;
  const int64_t M = N * (N - 1) / 2;
  std::vector<double> S(static_cast<size_t>(M));
  int64_t At = 0;
  for (int64_t I = 0; I < N; ++I)
    for (int64_t J = I + 1; J < N; ++J)
      S[At++] = x[J] == x[I] ? 1e99 : (y[J] - y[I]) / (x[J] - x[I]);
  // The slopes of given ranks (0-based) in ascending order; selection reorders S but keeps it
  // a permutation of the slopes.
  const std::span<double> Sp(S);
  const auto Last = static_cast<int32_t>(M - 1);
  auto Rank = [&](int64_t K) { return QuickSelect(Sp, static_cast<int32_t>(K), 0, Last); };
  const double Med = (M % 2 == 1) ? Rank(M / 2) : 0.5 * (Rank(M / 2 - 1) + Rank(M / 2));
  const double Md = static_cast<double>(M), Nd = static_cast<double>(N);
  const double G = Nd * (Nd - 1.0) * (2.0 * Nd + 5.0) / 18.0;
  const int64_t H = std::min(RoundToInt64((Md + 1.96 * std::sqrt(G)) / 2.0 + 1.0), M);
  const int64_t L = RoundToInt64((Md - 1.96 * std::sqrt(G)) / 2.0);
  const double Hi = Rank(H - 1), Lo = Rank(std::max<int64_t>(L, 1) - 1);
  auto InterceptAt = [&](double B) {
    TDoubleArray R(static_cast<size_t>(N));
    for (int64_t I = 0; I < N; ++I) R[I] = y[I] - B * x[I];
    return PercentileArray(50.0, R);
  };
  Slope = Med;
  Intercept = InterceptAt(Med);
  SlopeLow = Lo;
  SlopeHigh = Hi;
  InterceptLow = InterceptAt(Lo);
  InterceptHigh = InterceptAt(Hi);
  return N < 10 ? -4 : 0;
}

// ---------------------------------------------------------------- correlation, Gini

int32_t PearsonCorrCoeff(const TDoubleArray& x, const TDoubleArray& y, double& r) {
  r = 0.0;
  if (x.size() != y.size()) return -2;
  const auto N = static_cast<int64_t>(x.size());
  if (N < 3) return -1;
  if (!AllFinite(x) || !AllFinite(y)) return -4;
  // Sums about the means: raw power sums lose every digit on data with a large offset.
  auto X = [&](int64_t I) { return x[I]; };
  auto Y = [&](int64_t I) { return y[I]; };
  const TCentralSums Cx = CentralSums(N, X), Cy = CentralSums(N, Y);
  if (Cx.S2 > 0.0 && Cy.S2 > 0.0) {
    const double Sxy = CentralCoSum(N, X, Y, Cx.Mean, Cy.Mean);
    // sqrt(Sxx Syy) as one root, so that an exact line gives exactly +-1; the product of the
    // roots where the product leaves the double range.
    const double Prod = Cx.S2 * Cy.S2;
    const double Den =
        (std::isfinite(Prod) && Prod > 0.0) ? std::sqrt(Prod) : std::sqrt(Cx.S2) * std::sqrt(Cy.S2);
    r = std::clamp(Sxy / Den, -1.0, 1.0);
  }
  return 0;
}

int32_t CorrTest(const TDoubleArray& x, const TDoubleArray& y, double rho0, double& r, double& p) {
  r = 0.0;
  p = 0.0;
  const int32_t Status = PearsonCorrCoeff(x, y, r);
  if (Status != 0) return Status;
  if (!(rho0 >= -1.0 && rho0 <= 1.0)) return -3;
  const double Nd = static_cast<double>(x.size());
  if (r * r < 1.0 || r == rho0) {
    const double T = r == rho0 ? 0.0
                               : (r - rho0) * std::sqrt(Nd - 2.0) /
                                     std::sqrt((1.0 - r * r) * (1.0 - rho0 * rho0));
    p = tDistriIntegralUpper(std::fabs(T), static_cast<int32_t>(Nd - 2.0));
  } else {
    p = 0.0;
  }
  return 0;
}

double GiniCoeff(const TDoubleArray& data) {
  if (data.empty()) return 0.0;
  const std::vector<double> S = SortedCopy(data);
  const auto N = static_cast<double>(S.size());
  // sum_i sum_j |x_i - x_j| = 2 sum_i (2i - n - 1) x_(i) over the sorted values (1-based i):
  // O(n log n) instead of every pair.
  double Sum = 0.0, Pairs = 0.0;
  for (size_t I = 0; I < S.size(); ++I) {
    Sum += S[I];
    Pairs += (2.0 * static_cast<double>(I + 1) - N - 1.0) * S[I];
  }
  if (Sum == 0.0) return 0.0;
  return 2.0 * Pairs / Sum / 2.0 / N;
}

// ---------------------------------------------------------------- percentile

int32_t PercentileOfArray(const TDoubleArray& data, double percent, int32_t first, int32_t last,
                          double& value) {
  value = 0.0;
  const auto High = static_cast<int64_t>(data.size()) - 1;
  int32_t Status = 0;
  if (first < 0 || first > High || last < 0 || last > High) Status = -1;
  if (last < first) Status = -3;
  if (!(percent >= 0.0 && percent <= 100.0)) Status = -2;
  if (Status != 0) return Status;
  std::vector<double> C;
  C.reserve(static_cast<size_t>(last - first + 1));
  for (int32_t I = first; I <= last; ++I)
    if (!std::isnan(data[I])) C.push_back(data[I]);
  if (C.empty()) return -4;
  const auto M = static_cast<int32_t>(C.size());
  const int32_t K = std::min(RoundToInt32(percent * M / 100.0), M - 1);
  value = QuickSelect(std::span<double>(C), K, 0, M - 1);
  return 0;
}

}  // namespace nux
