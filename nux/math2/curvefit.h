// TCurveFit: (x, y) pairs with running sums, their statistics and rank correlations, least-squares
// fits of fifteen model families with evaluation, prediction intervals and ANOVA, the cubic and
// smoothing splines, and the ASC text form of the pairs. Conventions in docs/curvefit.md.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "nux/frame/types.h"
#include "nux/host/object.h"

namespace nux {

// The model families of TCurveFit.
enum TRegModel : int32_t {
  rmNone,            // no valid model
  rmLinear,          // k0 + k1 x
  rmParabolic,       // k0 + k1 x + k2 x^2
  rmGaussian,        // k0 exp(-(x - k1)^2 / k2)
  rmReciLin,         // 1 / (k0 + k1 x)
  rmHyperbolic,      // k0 + k1 / x
  rmReciHyperbolic,  // x / (k0 x + k1)
  rmLog,             // k0 + k1 ln x
  rmReciLog,         // 1 / (k0 + k1 ln x)
  rmPower,           // k0 x^k1
  rmExpo,            // k0 exp(k1 x)
  rmHoerl,           // k0 k1^x x^k2
  rmCircle,          // centre (k0, k1), radius k2
  rmPolynomial,      // sum kj x^j
  rmCenteredPoly     // sum kj (x - CPXShift)^j
};

// Kinds of data a transformation cannot take.
enum TCurveFitError : int32_t {
  cfeXLE0,  // an x <= 0 is stored
  cfeYLE0,  // a y <= 0 is stored
  cfeXEQ0,  // an x = 0 is stored
  cfeYEQ0   // a y = 0 is stored
};
// A set of TCurveFitError values, indexed by the enumeration value.
using TCurveFitErrors = std::bitset<4>;

// The model names, "rmNone" ... "rmCenteredPoly".
extern const std::array<const char*, 15> IDS_REGMODEL;
// Minimum number of pairs per model (-1: the polynomial fits check their order themselves).
inline constexpr std::array<int32_t, 15> REG_MINDP = {0, 2, 3, 3, 3, 3,  3, 3,
                                                      3, 3, 3, 3, 3, -1, -1};
// The highest polynomial order (k0 ... k10).
inline constexpr int32_t MaxPolyOrder = 10;

// Results of CalcRegModel.
inline constexpr int32_t cfOK = 0;
inline constexpr int32_t cfTooFewPoints = -1;  // fewer pairs than the model needs
inline constexpr int32_t cfNoModel = -2;       // rmNone or a value outside TRegModel
// Results of Predict (besides cfOK).
inline constexpr int32_t prBadProb = -1;       // p outside [0.5, 1)
inline constexpr int32_t prTooFewPoints = -2;  // no more pairs than the model has parameters
inline constexpr int32_t prNoModel = -3;       // rmNone or a value outside TRegModel
// Results of both.
inline constexpr int32_t cfInvalidData = -4;   // the model's transformation cannot take the data
inline constexpr int32_t cfNotAFunction = -5;  // Predict of rmCircle
inline constexpr int32_t cfFitFailed = -6;     // the fit found no finite solution
inline constexpr int32_t cfBadOrder = -7;      // polynomial order outside 0 ... MaxPolyOrder

// The running sums of TCurveFit, over the stored pairs. Reciprocal and logarithmic sums leave
// out the pairs their term is undefined for (the counts of such pairs are InvalidCount).
struct TCurveFitSums {
  double sumx = 0;       // sum x
  double sumy = 0;       // sum y
  double sumxq = 0;      // sum x^2
  double sumyq = 0;      // sum y^2
  double sumDiff = 0;    // sum (x - y)
  double SumDiffq = 0;   // sum (x - y)^2
  double sumxy = 0;      // sum x y
  double sumx2y = 0;     // sum x^2 y
  double sumxy2 = 0;     // sum x y^2
  double sumx3 = 0;      // sum x^3
  double sumy3 = 0;      // sum y^3
  double sumx4 = 0;      // sum x^4
  double sumy4 = 0;      // sum y^4
  double sum1byy = 0;    // sum 1/y (y != 0)
  double sum1byxy = 0;   // sum 1/(x y) (x, y != 0)
  double sum1byyq = 0;   // sum 1/y^2 (y != 0)
  double sumxbyy = 0;    // sum x/y (y != 0)
  double sumybyx = 0;    // sum y/x (x != 0)
  double sum1byx = 0;    // sum 1/x (x != 0)
  double sum1byxq = 0;   // sum 1/x^2 (x != 0)
  double sumlnx = 0;     // sum ln x (x > 0)
  double sumlnxlny = 0;  // sum ln x ln y (x, y > 0)
  double sumlnxq = 0;    // sum (ln x)^2 (x > 0)
  double sumylny = 0;    // sum y ln y (y > 0)
  double sumylnx = 0;    // sum y ln x (x > 0)
  double sumxlnx = 0;    // sum x ln x (x > 0)
  double sumlnxbyy = 0;  // sum ln x / y (x > 0, y != 0)
  double sumlnybyx = 0;  // sum ln y / x (y > 0, x != 0)
  double sumlny = 0;     // sum ln y (y > 0)
  double sumlnyq = 0;    // sum (ln y)^2 (y > 0)
  double sumxlny = 0;    // sum x ln y (y > 0)
  double sumxqlny = 0;   // sum x^2 ln y (y > 0)
  double sumyqlnx = 0;   // sum y^2 ln x (x > 0)
};

// Collects (x, y) pairs and fits models to them (see the file head).
class TCurveFit : public TComponent {
 public:
  // An empty set of pairs with natural spline ends and smoothing factor 0.5.
  explicit TCurveFit(TComponent* AOwner = nullptr);
  ~TCurveFit() override;

  // ---- Data ------------------------------------------------------------------------------------

  // Removes every pair and the model; clears the sums, the extremes and the invalid-data counts.
  void Init();
  // Adds the pair and returns the new count. A pair with a NaN or infinite coordinate is not
  // stored (the count returned is unchanged). Clears the model and the caches.
  int32_t EnterStatValue(double x, double y);
  // Removes pair ix (1-based; ignored outside 1 ... NumData); the sums, extremes and invalid-
  // data counts are rebuilt from the pairs left, the model and the caches cleared.
  void RemoveStatValue(int32_t ix);
  // Exchanges x and y of every pair, the sums, extremes and invalid-data kinds with them.
  void FlipXY();
  // x of pair ix (1-based); 0 outside 1 ... NumData.
  double GetDataX(int32_t ix) const;
  // y of pair ix (1-based); 0 outside 1 ... NumData.
  double GetDataY(int32_t ix) const;
  // DataX (GetDataX).
  double DataX(int32_t ix) const { return GetDataX(ix); }
  // DataY (GetDataY).
  double DataY(int32_t ix) const { return GetDataY(ix); }
  // Number of pairs.
  int32_t NumData() const { return FNumData; }
  // Smallest x (uc_MaxDouble when empty).
  double MinX() const { return FMinX; }
  // Largest x (-uc_MaxDouble when empty).
  double MaxX() const { return FMaxX; }
  // Smallest y (uc_MaxDouble when empty).
  double MinY() const { return FMinY; }
  // Largest y (-uc_MaxDouble when empty).
  double MaxY() const { return FMaxY; }
  // The running sums.
  const TCurveFitSums& Sums() const { return FSums; }
  // Which transformations have met invalid data among the stored pairs.
  TCurveFitErrors ErrIndic() const;
  // Number of stored pairs of kind E (x <= 0, y <= 0, x = 0, y = 0).
  int32_t InvalidCount(TCurveFitError E) const;

  // ---- Model -----------------------------------------------------------------------------------

  // Model of the last fit (rmNone when none is valid).
  TRegModel RegModel() const { return FRegMod; }
  // Order of the last polynomial fit.
  int32_t PolyOrder() const { return FPolyOrder; }
  // Parameter iy (0 ... 10) for ix = 1, its significance for ix = 2 (-1: none); without a model
  // or outside the range 0 for ix = 1, -1 otherwise.
  double GetModelPar(int32_t ix, int32_t iy) const;
  // ModelPar (GetModelPar).
  double ModelPar(int32_t ix, int32_t iy) const { return GetModelPar(ix, iy); }
  // Residual ix (1-based) of the last CalcRegModel; 0 without a model or outside the range.
  double GetResidual(int32_t ix) const;
  // Residual (GetResidual).
  double Residual(int32_t ix) const { return GetResidual(ix); }
  // Fit quality of the current model; 0 without one.
  double GetFitQual() const;
  // FitQual (GetFitQual).
  double FitQual() const { return GetFitQual(); }
  // x shift of the current centred polynomial; 0 for other models.
  double GetXShift() const;
  // CPXShift (GetXShift).
  double CPXShift() const { return GetXShift(); }
  // Standard deviation of the residuals of the last CalcRegModel; 0 when there are fewer than 2.
  double GetStdDevResidual() const;
  // StdDevResid (GetStdDevResidual).
  double StdDevResid() const { return GetStdDevResidual(); }

  // ---- Statistics ------------------------------------------------------------------------------

  // Mean of x; 0 when empty.
  double GetMeanX() const;
  // Mean of y; 0 when empty.
  double GetMeanY() const;
  // Mean of x - y; 0 when empty.
  double GetMeanDiff() const;
  // Root mean square of x - y; 0 when empty.
  double GetRMSDiff() const;
  // Standard deviation of x (n - 1 in the denominator); 0 for n < 3.
  double GetStdDevX() const;
  // Standard deviation of y; 0 for n < 3.
  double GetStdDevY() const;
  // Standard deviation of x - y; 0 for n < 3.
  double GetStdDevDiff() const;
  // Pearson's r; 0 for n < 3 or when x or y does not vary.
  double GetRxy() const;
  // MeanX (GetMeanX).
  double MeanX() const { return GetMeanX(); }
  // MeanY (GetMeanY).
  double MeanY() const { return GetMeanY(); }
  // MeanDiff (GetMeanDiff).
  double MeanDiff() const { return GetMeanDiff(); }
  // RMSDiff (GetRMSDiff).
  double RMSDiff() const { return GetRMSDiff(); }
  // StdDevX (GetStdDevX).
  double StdDevX() const { return GetStdDevX(); }
  // StdDevY (GetStdDevY).
  double StdDevY() const { return GetStdDevY(); }
  // StdDevDiff (GetStdDevDiff).
  double StdDevDiff() const { return GetStdDevDiff(); }
  // CorrCoeff (GetRxy).
  double CorrCoeff() const { return GetRxy(); }
  // All of the above at once; means for n > 0, standard deviations and r for n > 2, else 0.
  void CalcStatistics(int32_t& NumData, double& MeanX, double& MeanY, double& StdevX,
                      double& StdevY, double& MeanDiff, double& StdevDiff, double& rxy) const;
  // Percentile of x (TMatrix::Percentile, prob in percent); NaN when empty.
  double PercentileX(double prob) const;
  // Percentile of y; NaN when empty.
  double PercentileY(double prob) const;
  // Quartiles of x (TMatrix::Quartiles); false, all 0, when empty.
  bool QuartilesX(double& q1, double& q2, double& q3) const;
  // Quartiles of y; false, all 0, when empty.
  bool QuartilesY(double& q1, double& q2, double& q3) const;
  // Sample skewness of x (TMatrix::SkewKurtSample); 0 for n < 4.
  double GetSkewnessX() const;
  // Sample skewness of y.
  double GetSkewnessY() const;
  // Sample excess kurtosis of x.
  double GetKurtosisX() const;
  // Sample excess kurtosis of y.
  double GetKurtosisY() const;
  // SkewnessX (GetSkewnessX).
  double SkewnessX() const { return GetSkewnessX(); }
  // SkewnessY (GetSkewnessY).
  double SkewnessY() const { return GetSkewnessY(); }
  // KurtosisX (GetKurtosisX).
  double KurtosisX() const { return GetKurtosisX(); }
  // KurtosisY (GetKurtosisY).
  double KurtosisY() const { return GetKurtosisY(); }
  // Mean direction of the x values as angles in degrees, in [0, 360); NaN when empty or when the
  // directions cancel.
  double GetMeanXDegrees() const;
  // Mean direction of the y values.
  double GetMeanYDegrees() const;
  // MeanAngleX (GetMeanXDegrees).
  double MeanAngleX() const { return GetMeanXDegrees(); }
  // MeanAngleY (GetMeanYDegrees).
  double MeanAngleY() const { return GetMeanYDegrees(); }
  // Kendall's tau-b with its two-sided p (normal approximation with tie correction); tau 0 and
  // p 1 when undefined (n <= 2, or x or y all tied).
  double KendallsTau(double& p);
  // Goodman and Kruskal's gamma (C - D) / (C + D); 0 when C + D = 0.
  double GetKruskalGamma();
  // KruskalGamma (GetKruskalGamma).
  double KruskalGamma() { return GetKruskalGamma(); }
  // Spearman's rho on mid-ranks; 0 for n <= 2 or when x or y is constant.
  double GetSpearman() const;
  // Spearman's rho with its two-sided p (t with n - 2 degrees of freedom); p 1 when undefined.
  double GetSpearman(double& p) const;
  // SpearmanRankCorr (GetSpearman).
  double SpearmanRankCorr() const { return GetSpearman(); }

  // ---- Fits ------------------------------------------------------------------------------------

  // y = d + k x through the centred sums. ENUXMath2Error "CalcLinFit: not enough data points"
  // for n < 2, "CalcLinFit: slope is infinite" when x does not vary.
  void CalcLinFit(double& k, double& d, double& FitQual);
  // y = k0 + k1 x + k2 x^2; a line (k2 = 0) when x takes fewer than 3 values. ENUXMath2Error
  // "CalcParabolFit: not enough data points" for n < 3.
  void CalcParabolFit(double& k0, double& k1, double& k2, double& FitQual);
  // Algebraic circle fit: radius r, centre (dx, dy). ENUXMath2Error for n < 3 and for points on
  // a line ("CalcCircleFit: radius is infinite").
  void CalcCircleFit(double& r, double& dx, double& dy);
  // Polynomial of order nOrder (0 ... 10) through the singular value decomposition; kArray[j]
  // multiplies x^j. False, with the model cleared and kArray empty, for an order outside 0 ... 10
  // or a decomposition that fails; ENUXMath2Error for nOrder >= n.
  bool CalcPolyFit(int32_t nOrder, TDoubleArray& kArray, double& FitQual, bool& NearSingular);
  // The same; Alpha[j] is the two-sided significance of kArray[j] (0 when it has no error).
  bool CalcPolyFit(int32_t nOrder, TDoubleArray& kArray, TDoubleArray& Alpha, double& FitQual,
                   bool& NearSingular);
  // Polynomial in powers of (x - XShift) (XShift 0 on entry: the mean of x), fitted on scaled
  // and centred data; otherwise as CalcPolyFit.
  bool CalcCenteredPolyFit(int32_t nOrder, TDoubleArray& kArray, double& XShift, double& FitQual,
                           bool& NearSingular);
  // The same with the significances alpha.
  bool CalcCenteredPolyFit(int32_t nOrder, TDoubleArray& kArray, TDoubleArray& alpha,
                           double& XShift, double& FitQual, bool& NearSingular);
  // Linearised fits (docs/curvefit.md): ln y on x and x^2 (Gaussian), ln y on x and ln x (Hoerl).
  // ENUXMath2Error for too few points, data the transformation cannot take, or no solution.
  void CalcGaussFit(double& k0, double& k1, double& k2, double& FitQual);
  // y = k0 k1^x x^k2 through ln y = ln k0 + x ln k1 + k2 ln x.
  void CalcHoerlFit(double& k0, double& k1, double& k2, double& FitQual);
  // 1/y = k0 + k1 x.
  void CalcReciLinFit(double& k0, double& k1, double& FitQual);
  // y = k0 + k1 / x.
  void CalcHyperbolFit(double& k0, double& k1, double& FitQual);
  // 1/y = k0 + k1 / x.
  void CalcReciHyperbolFit(double& k0, double& k1, double& FitQual);
  // y = k0 + k1 ln x.
  void CalcLogFit(double& k0, double& k1, double& FitQual);
  // 1/y = k0 + k1 ln x.
  void CalcReciLogFit(double& k0, double& k1, double& FitQual);
  // ln y = ln k0 + k1 ln x.
  void CalcPowerFit(double& k0, double& k1, double& FitQual);
  // ln y = ln k0 + k1 x.
  void CalcExponentialFit(double& k0, double& k1, double& FitQual);
  // Fits RegModel (unless it is already fitted) and fills the residuals: cfOK or a cf... code.
  // rmCircle residuals are the distances of the points from the circle minus the radius.
  int32_t CalcRegModel(TRegModel RegModel, int32_t PolyOrder);
  // Value of the current model at XVal; 0 for rmNone and rmCircle.
  double Evaluate(double XVal) const;
  // Fits RegModel, PredVal = model(XVal), PredIv and ConfIv the half-widths of the prediction and
  // confidence intervals of level p (0.5 <= p < 1) from the model's own degrees of freedom and
  // leverage: cfOK or a pr... / cf... code (prTooFewPoints unless n exceeds the number of
  // parameters).
  int32_t Predict(TRegModel RegModel, double XVal, double p, int32_t PolyOrder, double& PredVal,
                  double& PredIv, double& ConfIv);
  // ANOVA of the pairs taken as (observed, estimated) values of a regression on NumVars
  // variables. F is 0 when MSR = 0 and 1e10 when MSE = 0; MSE and MSR are 0 for zero degrees of
  // freedom.
  void CalcAnovaReg(int32_t NumVars, bool IncludeConst, int32_t& dfreg, int32_t& dfres,
                    int32_t& dftotal, double& SSE, double& SSR, double& SST, double& MSE,
                    double& MSR, double& F) const;

  // ---- Splines ---------------------------------------------------------------------------------

  // Interpolating cubic spline through the pairs (equal x merged, mean y) at x; the end pieces
  // extend outside. NaN when empty.
  double CubicSpline(double x);
  // Penalised (smoothing) cubic spline of factor SplineSmoothingFactor at x; FitQual its R^2,
  // valid false (result NaN) when it cannot be built.
  double SmoothedSpline(double x, double& FitQual, bool& valid);
  // Natural end condition at the first knot (else the derivative SplineDerivY1).
  bool SplineNatural1() const { return FNatural1; }
  // Natural end condition at the last knot (else SplineDerivYN).
  bool SplineNaturalN() const { return FNaturalN; }
  // First derivative at the first knot when not natural.
  double SplineDerivY1() const { return FY1Dash; }
  // First derivative at the last knot when not natural.
  double SplineDerivYN() const { return FYNDash; }
  // Penalty weight lambda of the smoothing spline (default 0.5).
  double SplineSmoothingFactor() const { return FPSplineSmooth; }
  // Sets SplineNatural1.
  void SetNatural1(bool Value);
  // Sets SplineNaturalN.
  void SetNaturalN(bool Value);
  // Sets SplineDerivY1.
  void SetY1Dash(double Value);
  // Sets SplineDerivYN.
  void SetYNDash(double Value);
  // Sets SplineSmoothingFactor (>= 0 and finite; other values are ignored).
  void SetSplineSmoothing(double Value);

  // ---- Files -----------------------------------------------------------------------------------

  // Writes the pairs as ASC text; empty on success, else the failure's message (nothing
  // written). Precision < 0 writes the shortest form that reads back exactly.
  std::string ExportAsASC(const std::string& FName, const std::string& Comment,
                          int32_t Precision) const;
  // Replaces the pairs by those of an ASC file: an ascOK / asc... code; on failure the pairs are
  // kept. ENUXMath2Error when the file has another column count than 2.
  int32_t ImportASC(const std::string& FName);
  // ImportASC from text held in memory.
  int32_t ImportASCText(std::string_view Text);

 private:
  struct TFitStore;  // what Predict needs of the last fit (decomposition, degrees of freedom)

  void AdjustSums(double x, double y);
  void RebuildSums();
  void ClearModelParams();
  void InvalidateCaches();
  void SetModel(TRegModel M, std::span<const double> Pars, double R2);
  void RequireData(int32_t Min, const char* Routine);
  void Linearised(TRegModel M, const char* Routine, double* Pars, double& FitQual);
  bool PolyFit(int32_t nOrder, bool Centred, TDoubleArray& kArray, TDoubleArray& Alpha,
               double& XShift, double& FitQual, bool& NearSingular, const char* Routine);
  int32_t FitModel(TRegModel RegModel, int32_t PolyOrder);
  void BasicRankCounts();
  bool BuildSpline();
  bool BuildPenSpline();
  double Leverage(double XVal) const;

  TCurveFitSums FSums;
  int32_t FNumData = 0;
  double FMinX = 0, FMaxX = 0, FMinY = 0, FMaxY = 0;
  bool FNatural1 = true, FNaturalN = true;
  double FY1Dash = 0, FYNDash = 0;
  std::array<int32_t, 4> FInvalid{};  // pairs per TCurveFitError
  // Running centred moments (Welford): means and sums of squared and crossed deviations.
  double FMeanX = 0, FMeanY = 0, FM2X = 0, FM2Y = 0, FCXY = 0;
  double FMeanD = 0, FM2D = 0;  // the same for x - y
  double FModPars[2][MaxPolyOrder + 1] = {};
  TRegModel FRegMod = rmNone;
  int32_t FPolyOrder = 0;
  TDoubleArray FResids;
  double FModR2 = 0;
  double FXShift = 0;
  TDoubleArray FX, FY;  // the pairs (the design's data matrix, columns x and y)
  std::unique_ptr<TFitStore> FFit;
  // Cubic spline: knots, values and second derivatives.
  TDoubleArray SplSortedX, SplSortedY, Spl2Deriv;
  bool FSplineValid = false;
  // Smoothing spline: knots and the coefficients of each piece.
  TDoubleArray FPenX, FPenA, FPenB, FPenC, FPenD;
  double FPSplineSmooth = 0.5, FPSplineFQ = 0;
  bool FPenSplineValid = false, FPenSplineOK = false, FKendallValid = false;
  int64_t FKendallConcord = 0, FKendallDiscord = 0, FKendallTies1 = 0, FKendallTies2 = 0;
  double FKendallVarS = 0;  // variance of C - D under independence
};

// Results of PenalizedCubicSpline.
inline constexpr int32_t pcsOK = 0;
inline constexpr int32_t pcsBadSize = -1;    // NumData < 2 or an array shorter than NumData
inline constexpr int32_t pcsBadX = -2;       // x not finite or not strictly increasing
inline constexpr int32_t pcsBadWeight = -3;  // a weight not positive and finite, or a y not finite
inline constexpr int32_t pcsBadLambda = -4;  // Lambda negative or not finite
inline constexpr int32_t pcsNoMemory = -5;   // working storage could not be allocated

// Smoothing spline (Reinsch): the natural cubic spline g minimising
// sum w_i (y_i - g(x_i))^2 + Lambda * integral g''^2 over NumData knots x (strictly increasing).
// Piece i (x[i] <= x < x[i+1]) is A + B t + C t^2 + D t^3 with t = x - x[i]; A holds the
// smoothed values; the last piece (C = D = 0) is the straight line beyond the last knot. The
// outputs are written only on success (pcsOK).
int32_t PenalizedCubicSpline(int32_t NumData, double Lambda, std::span<const double> X,
                             std::span<const double> Y, std::span<const double> W,
                             std::span<double> A, std::span<double> B, std::span<double> C,
                             std::span<double> D);
// Value at x of the piecewise cubic of NumData knots X with coefficients A ... D (as written by
// PenalizedCubicSpline); left of the first knot the tangent line there. NaN for NumData < 1 or
// arrays shorter than NumData.
double EvalPiecewiseCubic(int32_t NumData, std::span<const double> X, std::span<const double> A,
                          std::span<const double> B, std::span<const double> C,
                          std::span<const double> D, double x);

}  // namespace nux
