// Contingency tables of counts: chi-square tests with and without Yates' correction, the exact
// probability of a 2 x 2 table and Fisher's exact test, the median test of two samples, the
// adjusted Rand index and Goodman-Kruskal's lambda.
//
// Tables are TInt2DArray indexed [row][column]. Tables "with margins" hold R + 1 rows of C + 1
// entries: each row ends with its total, the last row holds the column totals and, last, the
// grand total (the layout of TDataTable::CreateContingencyTable). Plain 2 x 2 tables hold
// a = [0][0], b = [0][1], c = [1][0], d = [1][1]. Every row is checked: a ragged table is
// refused, as are negative counts and margins that differ from the sums of the cells. Sums are
// formed in 64 bits.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"

namespace nux {

// Largest total that the exact 2 x 2 routines accept.
inline constexpr int64_t Max2x2Total = 1000;

// Pearson's chi-square of a table with margins and its upper-tail p with (R - 1)(C - 1)
// degrees of freedom; cells whose expected count is 0 add nothing. Outputs 0 first. 0; -1
// fewer than 3 rows or 3 columns (margins included) or ragged; -2 negative counts or margins
// that do not match the cells.
int32_t Chi2OfContTab(const TInt2DArray& Table, double& Chi2, double& P);

// Chi-square with Yates' correction of a 2 x 2 table with margins (3 x 3):
// N (max(|ad - bc| - N / 2, 0))^2 / (product of the four margins), and its p with 1 degree of
// freedom. 0; -1 for an empty table (outputs untouched) or another shape (outputs 0); -2 when a
// margin is 0 (Chi2 = N (|ad - bc| - N / 2)^2 undivided, P = 0); -3 negative counts or margins
// that do not match the cells.
int32_t Chi2OfContTabYates(const TInt2DArray& Table, double& Chi2, double& P);

// Hypergeometric probability of a plain 2 x 2 table under its margins. P = 0 first. 0; -1 not
// 2 x 2; -2 total above Max2x2Total; -3 a negative cell (the later check wins).
int32_t Prob2x2Contingency(const TInt2DArray& Table, double& P);

// Fisher's exact test of a plain 2 x 2 table. PLow: probability of the tables with the same
// margins whose cell a is at most the observed one; PHigh: at least; PTwoSided: of the tables
// no more probable than the observed one (within a relative 1e-7). Outputs 0 first; the codes
// of Prob2x2Contingency.
int32_t FisherExactTest(const TInt2DArray& Table, double& PLow, double& PHigh, double& PTwoSided);

// Median test of two samples (NaN values left out): the 2 x 2 table of sample against "above
// the common median" or not, its chi-square and p without and with Yates' correction, and
// Fisher's two-sided p. Chi2, P, Chi2Yates, PYates = 0 and PFisher = -1 first. 0; -1 when a
// sample is empty; -2 when the corrected test has no value (a margin is 0; Chi2Yates and PYates
// stay 0). PFisher stays -1 when the total exceeds Max2x2Total.
int32_t MedianTest(const TDoubleArray& X, const TDoubleArray& Y, double& Chi2, double& P,
                   double& Chi2Yates, double& PYates, double& PFisher);

// Adjusted Rand index of the two partitions that a table with margins cross-tabulates. 1 when
// the partitions agree trivially (both a single class, or both all singletons: no pairs to
// tell them apart); NaN for a table that is ragged, has no inner cell, a negative count or
// margins that do not match the cells.
double AdjustedRandIx(const TInt2DArray& Table);

// Goodman-Kruskal's lambda of a table with margins: LambdaCR the reduction of error in
// predicting the column from the row, LambdaRC the reverse; NaN when the predicted variable
// has a single occupied category (no error to reduce). Outputs 0 first. 0; -1 for a ragged
// table, one without inner cell, a negative count, or margins that do not match the cells.
int32_t Lambda(const TInt2DArray& Table, double& LambdaCR, double& LambdaRC);

}  // namespace nux
