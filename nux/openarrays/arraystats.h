// Statistics, counting, searching, ordering and shape tests on dynamic arrays. Conventions as
// in elementwise.h: [column][row][layer][slot], inclusive ranges given as all low bounds then
// all high bounds, result codes 0 / -1 empty or ragged / -2 bad range unless a routine says
// otherwise.
#pragma once

#include <cstdint>
#include <string>

#include "nux/frame/types.h"

namespace nux {

// Largest (smallest) element; the first occurrence wins. Empty or ragged arrays give
// -2147483648 from MaxArray and 2147483647 from MinArray and leave the positions unchanged.
double MaxArray(const TDoubleArray& A);
double MaxArray(const TDouble2DArray& A);
double MaxArray(const TDouble3DArray& A);
double MaxArray(const TDouble4DArray& A);
int32_t MaxArray(const TIntArray& A);
int32_t MaxArray(const TInt2DArray& A);
int32_t MaxArray(const TInt3DArray& A);
int32_t MaxArray(const TInt4DArray& A);
double MaxArray(const TDoubleArray& A, int32_t& Pos);
double MaxArray(const TDouble2DArray& A, int32_t& Col, int32_t& Row);
int32_t MaxArray(const TIntArray& A, int32_t& Pos);
int32_t MaxArray(const TInt2DArray& A, int32_t& Col, int32_t& Row);
// Smallest element, first occurrence; empty or ragged arrays give 2147483647, positions unchanged.
double MinArray(const TDoubleArray& A);
double MinArray(const TDouble2DArray& A);
double MinArray(const TDouble3DArray& A);
double MinArray(const TDouble4DArray& A);
int32_t MinArray(const TIntArray& A);
int32_t MinArray(const TInt2DArray& A);
int32_t MinArray(const TInt3DArray& A);
int32_t MinArray(const TInt4DArray& A);
double MinArray(const TDoubleArray& A, int32_t& Pos);
double MinArray(const TDouble2DArray& A, int32_t& Col, int32_t& Row);
int32_t MinArray(const TIntArray& A, int32_t& Pos);
int32_t MinArray(const TInt2DArray& A, int32_t& Col, int32_t& Row);

// Smallest and largest element together; -1 for an empty (or ragged) array.
int32_t MinMaxArray(const TSingleArray& A, float& Min, float& Max);
int32_t MinMaxArray(const TDoubleArray& A, double& Min, double& Max);
int32_t MinMaxArray(const TDouble2DArray& A, double& Min, double& Max);
int32_t MinMaxArray(const TDouble3DArray& A, double& Min, double& Max);
int32_t MinMaxArray(const TDouble4DArray& A, double& Min, double& Max);
int32_t MinMaxArray(const TIntArray& A, int32_t& Min, int32_t& Max);
int32_t MinMaxArray(const TInt2DArray& A, int32_t& Min, int32_t& Max);
int32_t MinMaxArray(const TInt3DArray& A, int32_t& Min, int32_t& Max);
int32_t MinMaxArray(const TInt4DArray& A, int32_t& Min, int32_t& Max);
// Over N doubles from Data; -1 for a null pointer or N < 1.
int32_t MinMaxArray(const double* Data, int64_t N, double& Min, double& Max);
// Ranged forms with positions: Min starts at uc_MaxDouble, Max at -uc_MaxDouble, positions at 0.
int32_t MinMaxArray(const TDoubleArray& A, int32_t Lo, int32_t Hi, double& Min, double& Max,
                    int32_t& MinPos, int32_t& MaxPos);
int32_t MinMaxArray(const TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                    int32_t RowHi, double& Min, double& Max, int32_t& MinCol, int32_t& MinRow,
                    int32_t& MaxCol, int32_t& MaxRow);

// Mean of a range (Mean is 0 on failure).
int32_t MeanArray(const TDoubleArray& A, int32_t Lo, int32_t Hi, double& Mean);
int32_t MeanArray(const TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                  int32_t RowHi, double& Mean);
int32_t MeanArray(const TDouble3DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                  int32_t ColHi, int32_t RowHi, int32_t LayHi, double& Mean);
int32_t MeanArray(const TDouble4DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                  int32_t SlotLo, int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t SlotHi,
                  double& Mean);
int32_t MeanArray(const TIntArray& A, int32_t Lo, int32_t Hi, double& Mean);
int32_t MeanArray(const TInt2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi, int32_t RowHi,
                  double& Mean);
int32_t MeanArray(const TInt3DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo, int32_t ColHi,
                  int32_t RowHi, int32_t LayHi, double& Mean);
int32_t MeanArray(const TInt4DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo, int32_t SlotLo,
                  int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t SlotHi, double& Mean);

// Sample standard deviation (divisor n - 1) of a range; 0 for one element.
int32_t StdDevArray(const TDoubleArray& A, int32_t Lo, int32_t Hi, double& StdDev);
int32_t StdDevArray(const TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                    int32_t RowHi, double& StdDev);
int32_t StdDevArray(const TDouble3DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                    int32_t ColHi, int32_t RowHi, int32_t LayHi, double& StdDev);
int32_t StdDevArray(const TDouble4DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                    int32_t SlotLo, int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t SlotHi,
                    double& StdDev);
int32_t StdDevArray(const TIntArray& A, int32_t Lo, int32_t Hi, double& StdDev);
int32_t StdDevArray(const TInt2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                    int32_t RowHi, double& StdDev);
int32_t StdDevArray(const TInt3DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                    int32_t ColHi, int32_t RowHi, int32_t LayHi, double& StdDev);
int32_t StdDevArray(const TInt4DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                    int32_t SlotLo, int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t SlotHi,
                    double& StdDev);

// Sum of the elements whose mask cell is false (all, for an empty mask); returns how many were
// summed, -2 for empty data, -1 for a mask of another shape.
int32_t SumArrayMasked(const TDouble2DArray& A, const TBool2DArray& Mask, double& Sum);
int32_t SumArrayMasked(const TInt2DArray& A, const TBool2DArray& Mask, int64_t& Sum);

// Sum of (a - b)^2; -1 empty, -2 unequal lengths, -3 bad column (as the double result).
double SumOfSquaredDiffs(const TDoubleArray& A, const TDoubleArray& B);
double SumOfSquaredDiffs(const TDoubleArray& A, const TDouble2DArray& B, int32_t Col);

// Sum of the main diagonal; -1 empty, -2 not square.
int32_t TraceOfArray(const TDouble2DArray& A, double& Trace);
int32_t TraceOfArray(const TInt2DArray& A, int64_t& Trace);

// Pearson correlation of two columns over all rows; 0 when undefined (n <= 2, a constant
// column) or for a bad column index.
double PearsonCorrCoeffColsOfArray(const TDouble2DArray& A, int32_t Col1, int32_t Col2);

// The element of rank round(P*n/100) (limited to n - 1) of the range, NaN elements left out;
// NaN for an empty array, a range of NaNs or a NaN P. Bounds are clipped; reversed bounds are
// exchanged.
double PercentileArray(double P, const TDoubleArray& A);
double PercentileArray(double P, const TDoubleArray& A, int32_t Lo, int32_t Hi);
double PercentileArray(double P, const TIntArray& A);
double PercentileArray(double P, const TDouble2DArray& A, int32_t ColLo, int32_t RowLo,
                       int32_t ColHi, int32_t RowHi);

// Number of elements x of the range with Low <= x <= High; -2 also when High < Low.
int32_t CountValues(const TDoubleArray& A, int32_t Lo, int32_t Hi, double Low, double High);
int32_t CountValues(const TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                    int32_t RowHi, double Low, double High);
int32_t CountValues(const TDouble3DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                    int32_t ColHi, int32_t RowHi, int32_t LayHi, double Low, double High);
int32_t CountValues(const TDouble4DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                    int32_t SlotLo, int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t SlotHi,
                    double Low, double High);
int32_t CountValues(const TIntArray& A, int32_t Lo, int32_t Hi, int32_t Low, int32_t High);
int32_t CountValues(const TInt2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                    int32_t RowHi, int32_t Low, int32_t High);
int32_t CountValues(const TInt3DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                    int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t Low, int32_t High);
int32_t CountValues(const TInt4DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                    int32_t SlotLo, int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t SlotHi,
                    int32_t Low, int32_t High);

// Number of true cells. The ranged form takes (ColLo, ColHi, RowLo, RowHi); a pair 0, 0 means
// the whole dimension and reversed bounds are exchanged.
int32_t CountTrueCellsOfArray(const TBoolArray& A);
int32_t CountTrueCellsOfArray(const TBool2DArray& A);
int32_t CountTrueCellsOfArray(const TBool2DArray& A, int32_t ColLo, int32_t ColHi, int32_t RowLo,
                              int32_t RowHi);

// Frequency distribution over bins of Width from First; see docs/open-arrays.md for the codes.
int32_t FrequDistOfArray(const TDoubleArray& A, int32_t Lo, int32_t Hi, double First, double Last,
                         double Width, TIntArray& Bins, int32_t& Under, int32_t& Over,
                         int32_t& MaxCount);
int32_t FrequDistOfArray(const TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                         int32_t RowHi, double First, double Last, double Width, TIntArray& Bins,
                         int32_t& Under, int32_t& Over, int32_t& MaxCount);
int32_t FrequDistOfArray(const TDouble2DArray& A, const TBool2DArray& Mask, int32_t ColLo,
                         int32_t RowLo, int32_t ColHi, int32_t RowHi, double First, double Last,
                         double Width, TIntArray& Bins, int32_t& Under, int32_t& Over,
                         int32_t& MaxCount);

// Index of the first element equal to X (or, Partial, containing S); -2 absent, -1 empty.
int32_t FindInArray(int32_t X, const TIntArray& A);
int32_t FindInArray(const std::string& S, const TStrArray& A, bool IgnoreCase, bool Partial);

// Index of X, or of the closer neighbour (the upper one on a tie), in a sorted array;
// -1 empty, -2 when X lies outside the array's span.
int32_t FindInSortedArray(double X, const TDoubleArray& A, bool Ascending);
int32_t FindInSortedArray(int32_t X, const TIntArray& A, bool Ascending);

// Comb sort in place; Index receives the 1-based positions the sorted elements held before.
// -1 for fewer than 2 elements.
int32_t SortArray(bool Ascending, TDoubleArray& A, TIntArray& Index);
int32_t SortArray(bool Ascending, TIntArray& A, TIntArray& Index);

// Sorts and keeps one element of every run of equal values; returns how many were removed.
int32_t SortAndRemoveDuplicates(TIntArray& A, bool Ascending);

// Fisher-Yates shuffle with the process-wide generator; every permutation equally likely.
int32_t ShuffleArray(TIntArray& A);
int32_t ShuffleArray(TDoubleArray& A);

// Never changes direction (equal neighbours allowed) / every step in the first step's strict
// direction. Up to 2 elements count as both; a NaN makes both false.
bool IsMonotone(const TDoubleArray& A);
bool IsMonotone(const TIntArray& A);
// Every step in the first step's strict direction; up to 2 elements true, a NaN false.
bool IsStrictlyMonotone(const TDoubleArray& A);
bool IsStrictlyMonotone(const TIntArray& A);

// Exactly two distinct values, returned in ascending order.
bool IsDichotomous(const TDoubleArray& A, double& Low, double& High);
bool IsDichotomous(const TIntArray& A, int32_t& Low, int32_t& High);

// Indices where the step between neighbours changes; returns their number.
int32_t CheckLinearity(const TDoubleArray& A, double Tolerance, TIntArray& Breaks);
int32_t CheckLinearity(const TIntArray& A, TIntArray& Breaks);

// Mean (median) of A[Index] and its neighbours Index +- 1..HalfWidth within [Lo, Hi].
double LocalMean(const TDoubleArray& A, int32_t Index, int32_t HalfWidth, int32_t Lo, int32_t Hi);
double LocalMean(const TIntArray& A, int32_t Index, int32_t HalfWidth, int32_t Lo, int32_t Hi);
// Median of A[Index] and its neighbours Index +- 1..HalfWidth within [Lo, Hi] (indices clipped).
double LocalMedian(const TDoubleArray& A, int32_t Index, int32_t HalfWidth, int32_t Lo, int32_t Hi);
double LocalMedian(const TIntArray& A, int32_t Index, int32_t HalfWidth, int32_t Lo, int32_t Hi);

// Distance (or similarity) of rows Obj1 and Obj2 over columns ColLo..ColHi. -1 unsupported
// mode, -2 bad object, -3 bad column bound, -4 ColHi below ColLo; Dist is 0 on failure.
int32_t DistanceOfObjects(const TDouble2DArray& A, TDistMode Mode, int32_t Obj1, int32_t Obj2,
                          int32_t ColLo, int32_t ColHi, double& Dist);

}  // namespace nux
