// Least-squares regressions on TMatrix data (objects in rows), solved through a Householder QR
// factorisation followed by the singular value decomposition of the small triangular factor;
// partial least squares (SimPLS), vertex component analysis and variance inflation factors.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux {

// Singular values at or below this fraction of the largest are dropped and flag near-singularity.
inline constexpr double RegSingularTol = 1e-14;

// Least squares y ~ X b, without an added constant (add a column of ones for one). Coeffs gets
// one coefficient per column of X; Deltas (when given) their standard errors. NearSingular
// reports a dropped singular value (columns scaled to comparable length first). False for y not
// matching X's rows, values that are not finite, or an abort.
bool MultiLinReg(const TMatrix& X, const TVector& y, TVector& Coeffs, TVector* Deltas,
                 bool& NearSingular);
// Regression of column TargetCol of Data on the columns SelCols (1-based), with a constant when
// Intercept is true: Const and ConstDelta are the constant and its standard error (0 without),
// RSquared the coefficient of determination (about the mean with a constant, about 0 without;
// NaN when the target does not vary), Coeffs and Deltas one entry per selected column.
bool MultiLinReg(const TMatrix& Data, const TIntArray& SelCols, int32_t TargetCol, bool Intercept,
                 double& Const, double& ConstDelta, double& RSquared, TVector& Coeffs,
                 TVector& Deltas, bool& NearSingular);
// Ridge regression: minimises |y - X b|^2 + Lambda |b|^2 on X as given (no constant, no
// scaling); Deltas are the standard errors of the coefficients. NearSingular reports a singular X
// (for Lambda = 0 its small singular values are dropped). False for Lambda < 0 or bad input.
bool RidgeReg(const TMatrix& X, const TVector& y, double Lambda, TVector& Coeffs, TVector& Deltas,
              bool& NearSingular);
// Ridge regression on standardised columns (centred, divided by their standard deviation) with a
// centred y. Coeffs: the constant, then one coefficient per column, in the original units;
// StdCoeffs those of the standardised problem; Means and StdDevs the column statistics used.
// A constant column gets coefficient 0 and sets NearSingular. False for fewer than 2 rows.
bool RidgeRegStd(const TMatrix& X, const TVector& y, double Lambda, TVector& Coeffs,
                 TVector& StdCoeffs, TVector& Means, TVector& StdDevs, bool& NearSingular);

// Partial least squares of Y on X by SimPLS with NComp components, on centred columns (divided
// by their standard deviation too when Scale). Outputs have one column per component: Weights R
// and Basis V (rows per X column), XScores T and YScores U (rows per object), XLoadings P, and
// YLoadings Q (rows per Y column); XVarExpl and YVarExpl the fraction of the total sum of squares
// of X and Y each component explains; Coeffs (one column per Y column) the constant in row 1 and
// the coefficient of X column i in row i + 1, in original units. False, with the outputs
// untouched, for sizes that do not fit, NComp outside 1..min(rows - 1, X columns), no
// covariance left for a component, or values that are not finite.
bool SimPLS(const TMatrix& X, const TMatrix& Y, int32_t NComp, bool Scale, TMatrix& Weights,
            TMatrix& XScores, TMatrix& XLoadings, TMatrix& YLoadings, TMatrix& YScores,
            TMatrix& Basis, TVector& XVarExpl, TVector& YVarExpl, TMatrix& Coeffs);

// Vertex component analysis: picks NEndMembers rows of X (objects = spectra, columns = bands)
// that span the data simplex. HighSNR projects onto the leading singular subspace of the
// uncentred data and scales every object onto a hyperplane; otherwise the centred data are
// projected onto NEndMembers - 1 principal axes plus a constant coordinate. EndMembers gets the
// chosen rows, Indices their 1-based row numbers, Projected the reduced coordinates of every
// object (one column per end member). Random directions come from the library's generator.
bool VertexCompAnalysis(const TMatrix& X, int32_t NEndMembers, bool HighSNR, TMatrix& EndMembers,
                        TIntVector& Indices, TMatrix& Projected);

// Variance inflation factor of every selected column: 1 / (1 - R^2) of its regression on the
// other selected columns with a constant (+inf for an exact dependence, NaN for a constant
// column). OnPercentDone is told the progress after each column. False for fewer than 2 columns,
// a column outside Data, fewer than 2 rows, values that are not finite, or an abort.
bool VarInflatFactor(const TMatrix& Data, const TIntArray& SelCols, TDoubleArray& Factors,
                     const TOnPercentDoneEvent& OnPercentDone);

}  // namespace nux
