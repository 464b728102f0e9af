// TMatrix: the library's two-dimensional container of doubles. Indices are 1-based, column
// before row; storage is column-major (Data()[c-1][r-1] is column c, row r).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "nux/frame/access.h"
#include "nux/frame/container.h"
#include "nux/frame/errors.h"
#include "nux/frame/types.h"
#include "nux/vector/vector.h"

namespace nux {

// Matrix norms.
enum TNormType : int32_t { ntColwise, ntRowwise, ntSpectral, ntFrobenius };

// A user distance between two rows, asked for by the distance matrix routines.
using TOnCalcDistanceEvent =
    std::function<void(TObject* Sender, int32_t Row1, int32_t Row2, double& Distance)>;

// A matrix of doubles, Nc columns by Nr rows (both at least 1), indices 1-based, column first.
class TMatrix : public TNuxContainer,
                public TSortExchangeSupport<TMatrix>,
                public TPercentDoneSupport<TMatrix> {
 public:
  // A 1 x 1 matrix holding 0, DataID empty, precisions 15 and -1.
  explicit TMatrix(TComponent* AOwner = nullptr);
  /// An Nc x Nr matrix of zeros (both >= 1, else ENUXMatrixError).
  TMatrix(int32_t Nc, int32_t Nr, TComponent* AOwner = nullptr);
  /// A matrix holding a copy of Columns ([column][row], as the storage); an empty or ragged
  /// array raises ENUXMatrixError.
  explicit TMatrix(const TDouble2DArray& Columns, TComponent* AOwner = nullptr);

  // Size and settings.
  int32_t NrOfColumns() const { return static_cast<int32_t>(Mat.size()); }
  // Number of rows.
  int32_t NrOfRows() const { return Mat.empty() ? 0 : static_cast<int32_t>(Mat[0].size()); }
  // Resize with the other count unchanged; a count below 1 leaves the matrix as it is.
  void SetNrOfColumns(int32_t Nc) { Resize(Nc, NrOfRows()); }
  // Resizes to Nr rows; a count below 1 leaves the matrix as it is.
  void SetNrOfRows(int32_t Nr) { Resize(NrOfColumns(), Nr); }
  // A free identifier of the data; empty at first.
  const std::string& DataID() const { return FDataID; }
  // Sets DataID.
  void SetDataID(const std::string& Value) { FDataID = Value; }
  // Index 2 or more is the second precision, anything else the first; values clamp to -1..25.
  int32_t GetFPrecis(int32_t Ix) const { return FPrecis[Ix >= 2 ? 1 : 0]; }
  // Sets precision Ix (2 or more: the second, else the first), clamped to -1..25.
  void SetFPrecis(int32_t Ix, int32_t Value);
  // Output precision Ix (GetFPrecis); 15 and -1 at first.
  int32_t Precision(int32_t Ix) const { return GetFPrecis(Ix); }

  // Asked by DistanceOfObjects in mode dmUser for the distance of rows Row1 and Row2.
  TOnCalcDistanceEvent OnCalcDistance;

  // Reallocates to Nc x Nr when both are positive and the size differs: common elements keep
  // their places, new ones are 0; OnChange then OnResize; true. Otherwise false, no event.
  // Exhausted memory: ENUXMatrixError "not enough memory on heap", matrix unchanged.
  bool Resize(int32_t Nc, int32_t Nr);
  // Resize; only when that changed the size, every element becomes 0 (events again).
  bool ResizeAndClear(int32_t Nc, int32_t Nr);
  // Element (Nc, Nr), column first, 1-based; 0 outside the matrix.
  double GetVal(int32_t Nc, int32_t Nr) const {
    return (Nc >= 1 && Nc <= NrOfColumns() && Nr >= 1 && Nr <= NrOfRows())
               ? Mat[size_t(Nc - 1)][size_t(Nr - 1)]
               : 0.0;
  }
  // Element (Nc, Nr) (GetVal); 0 outside the matrix.
  double Elem(int32_t Nc, int32_t Nr) const { return GetVal(Nc, Nr); }
  // Stores Value at (Nc, Nr) and fires OnChange; ignored outside the matrix.
  void SetVal(int32_t Nc, int32_t Nr, double Value);
  // Range clipping: true when a bound had to be clipped; the row form also reports a mere
  // exchange of reversed bounds, the column form does not.
  bool MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
    return MakeValidIndexRange(LowCol, HighCol, NrOfColumns());
  }
  // Clips LowRow..HighRow to 1..NrOfRows ((0, 0): all); true when clipped or exchanged.
  bool MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
    return MakeValidRowIndexRange(LowRow, HighRow, NrOfRows());
  }
  // Read access to the column-major storage.
  const TDouble2DArray& Data() const { return Mat; }

  /// Element (Nc, Nr), 1-based, column first, to read or assign; assignments go through
  /// SetVal (OnChange fires; outside the matrix nothing happens) unless SetIndexChecking(true)
  /// is on: then an index outside the matrix raises ENUXMatrixError naming it and the size.
  TElemRef<TMatrix, double, 2> operator()(int32_t Nc, int32_t Nr) {
    CheckIndices(Nc, Nr);
    return TElemRef<TMatrix, double, 2>(*this, {Nc, Nr});
  }
  /// Element (Nc, Nr); 0 outside the matrix (or ENUXMatrixError with the index check on).
  double operator()(int32_t Nc, int32_t Nr) const {
    CheckIndices(Nc, Nr);
    return GetVal(Nc, Nr);
  }
  /// A copy of the storage, [column][row].
  TDouble2DArray ToStdVector() const { return Mat; }
  /// Replaces the contents by a copy of Columns ([column][row]), resizing: OnChange, then
  /// OnResize when the size changed. An empty or ragged array raises ENUXMatrixError and
  /// leaves the matrix as it was.
  void SetValues(const TDouble2DArray& Columns);
  /// A read-only view of column Nc (empty outside 1..NrOfColumns), valid until the matrix is
  /// resized or destroyed.
  std::span<const double> Column(int32_t Nc) const {
    CheckIndex<ENUXMatrixError>(*this, "column", Nc, NrOfColumns());
    if (Nc < 1 || Nc > NrOfColumns()) return {};
    return Mat[size_t(Nc - 1)];
  }

  // Filling; each fires OnChange once. Ranged forms visit columns, rows inside a column.
  void Fill(double Value);
  void Fill(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double Value);
  // Sets the elements (i, i) of the main diagonal to Value.
  void FillDiag(double Value);
  // Storage order (column 1 rows 1..n, then column 2...), by repeated addition of Diff.
  void FillSerial(double Offset, double Diff);
  // Uniform deviates between RangeLow and RangeHigh, in the whole matrix or a clipped block.
  void FillRandomUniform(double RangeLow, double RangeHigh);
  void FillRandomUniform(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                         double RangeLow, double RangeHigh);
  // Normal deviates of mean Mean and deviation StdDev, in the whole matrix or a clipped block.
  void FillRandomGauss(double Mean, double StdDev);
  void FillRandomGauss(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                       double Mean, double StdDev);

  // Copying to vectors and arrays (no events on the matrix).
  void CopyRowToVec(TVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol) const;
  void CopyRowToVec(TVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol,
                    int32_t DestElem) const;
  // Column Col (clamped), rows FirstRow..LastRow (clipped), into DestVec from element 1 or
  // DestElem; the rest of DestVec becomes 0, its size stays.
  void CopyColToVec(TVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow) const;
  void CopyColToVec(TVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow,
                    int32_t DestElem) const;
  // Columns FirstCol..LastCol (clipped) of row Row (clamped) into Dest from 0-based DestElem; the
  // rest of Dest becomes 0, its size stays (an empty Dest or DestElem beyond it: nothing).
  void CopyRowTo1DArray(TDoubleArray& Dest, int32_t Row, int32_t FirstCol, int32_t LastCol,
                        int32_t DestElem) const;
  // Rows FirstRow..LastRow (clipped) of column Col (clamped) into Dest from 0-based DestElem, as
  // CopyRowTo1DArray does.
  void CopyColTo1DArray(TDoubleArray& Dest, int32_t Col, int32_t FirstRow, int32_t LastRow,
                        int32_t DestElem) const;
  // Results: 0, -1 (Dest empty or ragged), -2 (column range clipped), -3 (row range clipped or
  // exchanged), -4 (DestCol or DestRow outside Dest). Integer targets round halves to even.
  int32_t CopyToArray(TDouble2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                      int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const;
  int32_t CopyToArray(TInt2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                      int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const;
  // -1 (nothing done) when Dest is empty on entry; else Dest becomes a copy of the storage; 0.
  int32_t DuplicateDataAsArray(TDouble2DArray& Dest) const;

  // Copying into the matrix, through SetVal (targets outside are dropped, no resize), then
  // one more OnChange.
  void CopyFromVec(TDims Dim, const TVector* Src, int32_t FirstElem, int32_t LastElem,
                   int32_t DestCol, int32_t DestRow);
  void CopyFromVec(const TVector* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol,
                   int32_t DestRow, bool AsColumn = true);
  // Results: 0, -1 (empty), -4 (a bound outside the array), -5 (Col or Row outside the
  // matrix). Src[i] goes to (Col, Row + i) or (Col + i, Row): the array position is added.
  int32_t CopyFromArray(const TDoubleArray& Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                        int32_t Row, bool AsColumn);
  int32_t CopyFromArray(const TIntArray& Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                        int32_t Row, bool AsColumn);
  // Results: 0, -1 (empty or ragged), -2 (column bound), -3 (row bound), -5 (Col or Row outside the
  // matrix). Src[i][j] goes to (Col + i, Row + j); reversed bounds copy nothing.
  int32_t CopyFromArray(const TDouble2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                        int32_t SrcColHi, int32_t SrcRowHi, int32_t Col, int32_t Row);
  int32_t CopyFromArray(const TInt2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                        int32_t SrcColHi, int32_t SrcRowHi, int32_t Col, int32_t Row);
  // Source bounds clamp to the source (0 is not "whole"); reversed bounds are exchanged.
  void CopyFrom(const TMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);

  // Takes over MatSource's size and elements (not DataID, precisions or events).
  void Clone(const TMatrix* MatSource);
  void Assign(const TPersistent* Source) override;
  // Copies into another TMatrix; other targets raise EConvertError.
  void AssignTo(TPersistent* Dest) const override;

  // Reshaping. Indices outside the matrix are rejected without effect.
  bool RemoveColumn(int32_t Col);
  // Removes row Row; false when it lies outside the matrix or is the only row.
  bool RemoveRow(int32_t Row);
  // Exchanges columns C1 and C2.
  void ExchangeColumns(int32_t C1, int32_t C2);
  // Exchanges rows R1 and R2.
  void ExchangeRows(int32_t R1, int32_t R2);
  // Reverses the order of the columns.
  void MirrorColumns();
  // Reverses the order of the rows.
  void MirrorRows();
  // Comb sorts of whole rows (columns) of a sub-rectangle by one key column (row); every
  // exchange is reported through OnSortExchange, OnChange once at the end.
  void SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow);
  // Sorts whole columns of the block by their values in row SortRowIx, as SortRows does rows.
  void SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow);
  // Exchanges columns and rows (Nc x Nr becomes Nr x Nc); OnChange, OnResize; true.
  bool Transpose();

  // One value per row (orRows) or column (orColumns) over the listed columns (rows), 1-based;
  // an empty list means all. Results: 0, -1 (no elements), -2 (an entry was skipped).
  int32_t EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector& Dest) const;
  int32_t EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, const TIntArray& EdgeIx,
                     TVector& Dest) const;

  // The data fingerprint of the elements in storage order (column by column).
  std::string CRCofData() const;

  // ---- Linear algebra (matrix_products.cpp, matrix_square.cpp, matrix_linalg.cpp) ----
  // Products: every result element is a plain sum of products accumulated in index order from
  // 0.0; results are resized and written through SetVal. False (nothing changed) for absent
  // arguments or sizes that do not fit. A result object may be one of the operands.
  bool Multiply(const TMatrix* MatB, TMatrix* MatRes);                    // MatRes := this * MatB
  bool Multiply(const TVector* VecB, TVector* VecRes);                    // VecRes := this * VecB
  bool MultiplyTransposed(const TMatrix* MatB, TMatrix* MatRes);          // this * MatB^T
  bool TransposeAndMultiply(const TMatrix* MatB, TMatrix* MatRes) const;  // this^T * MatB
  bool TransposeAndMultiply(const TVector* VecB, TVector* VecRes) const;  // this^T * VecB
  bool EMult(const TMatrix* MatB, TMatrix* MatRes);                       // element-wise
  // Adds MatB element by element; false, nothing changed, for nullptr or another size.
  bool Add(const TMatrix* MatB);
  // Subtracts MatB element by element; false, nothing changed, for nullptr or another size.
  bool Subtract(const TMatrix* MatB);
  // Multiplies every element by Scalar.
  void SMult(double Scalar);
  // Adds Scalar to every element.
  void SAdd(double Scalar);
  // MatRes := (this^T * this) / Norm, on NThreads worker threads (the two-argument form uses
  // CPU count - 1, at least 1). False when AbortMathProc stopped it.
  bool Square(TMatrix* MatRes, double Norm);
  bool Square(TMatrix* MatRes, double Norm, int32_t NThreads);
  // Replaces the matrix by its inverse (no event); false, matrix unchanged, when it is not square,
  // singular or not finite, or the computation was aborted.
  bool Invert();
  // Determinant by pivoted LU decomposition; 0 when not square or not finite.
  double Determinant() const;
  // MatL * MatU = this, U upper triangular, L a row permutation of a unit lower triangle; false
  // when an argument is absent or the matrix is not square or not finite.
  bool LUdecomposition(TMatrix* MatL, TMatrix* MatU) const;
  // MatL := the lower Cholesky factor, read from this matrix's lower triangle, whose strict upper
  // triangle receives the factor transposed. False when not square or not positive definite.
  bool CholeskyDecomp(TMatrix* MatL);
  // Norm nt: largest column or row sum of magnitudes, largest singular value, or Frobenius norm.
  double Norm(TNormType nt) const;
  // Sum of the diagonal; 0 for a matrix that is not square.
  double Trace() const;
  // Scales rows and columns of a square matrix by similarity to even out their off-diagonal sums,
  // at most 100 sweeps, until no factor exceeds Tolerance (taken within 1.000001..1.05); false
  // when not square.
  bool Balance(double Tolerance);
  // Replaces the matrix by its Order-th differences down the columns or along the rows. Results:
  // 0, -1 (Order outside 1..10), -2 (Order not below the line length), -3 (unknown Mode).
  int32_t Diff(int32_t Order, TApplyColRow Mode);
  // HatMat := this * this^T (NrOfRows square). Results: 0, -1 (no HatMat), else the code of the
  // array routine.
  int32_t CalcHatMatrix(TMatrix* HatMat) const;
  // Tanimoto or Dice similarity, or the city-block, Euclidean or squared Euclidean distance of rows
  // obj1 and obj2 (rows outside read as zeros); dmUser asks OnCalcDistance.
  double DistanceOfObjects(TDistMode Mode, int32_t obj1, int32_t obj2) const;
  // DMat, already NrOfRows square, := the distances of all row pairs. Results: 0, -1 or -2 (DMat
  // has the wrong number of rows or columns), -3 (no DMat).
  int32_t CalcDistMat(TDistMode Mode, TMatrix* DMat) const;
  // Becomes colpct % of SrcMat's columns and rowpct % of its rows, drawn at random (BootStrap:
  // rows with repeats); RndColIx and RndRowIx receive the 1-based picks, but must not be empty on
  // entry. Results: 0, -1 (colpct), -2 (rowpct), -3 (no SrcMat), -5 (an empty index array).
  int32_t ResampleExtMat(const TMatrix* SrcMat, double colpct, double rowpct, bool BootStrap,
                         TIntArray& RndColIx, TIntArray& RndRowIx);

  // ---- Statistics and normalisation (matrix_stats.cpp) ----
  // Ranges are normalised by MakeValidColRange / MakeValidRowRange; note each method's own
  // order of the range parameters.
  void MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Mean,
               double& Variance) const;
  // One mean per column (dimColumns) or row into Means, resized; nullptr does nothing.
  void MeanVec(TDims Dim, TVector* Means) const;
  // Skewness and excess kurtosis over s = sqrt(S2/(n - 1)); 0, 0 without spread or for n < 2.
  void SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Skewness,
                double& Kurtosis) const;
  // SkewKurt with the small-sample corrections; 0, 0 for n < 4 or no spread.
  void SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                      double& Skewness, double& Kurtosis) const;
  // Quartiles of the non-NaN values at positions (n + 1) p, interpolated; false (all 0) for none.
  bool Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Q1,
                 double& Q2, double& Q3) const;
  // The value of rank round(Prob n / 100) (0-based, at most n - 1; Prob clipped to 0..100, NaN as
  // 0) among the non-NaN values; NaN when there are none.
  double Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow) const;
  // Percentile from SampleSize random draws of the block (process-wide generator, NaN draws
  // dropped); the exact value for SampleSize <= 0 or not below the element count.
  double Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                    int32_t SampleSize) const;
  // Counts the block's values (X: columns, Y: rows) into bins of BinWidth from FirstBin to LastBin;
  // false, nothing changed, for a width or bound that is not finite and positive or > 500 bins.
  bool Histogram(int32_t LoX, int32_t LoY, int32_t HiX, int32_t HiY, double FirstBin,
                 double LastBin, double BinWidth, TIntArray& Histo, int32_t& Underflow,
                 int32_t& Overflow, int32_t& MaxCnt) const;
  bool Histogram(int32_t LoX, int32_t LoY, int32_t HiX, int32_t HiY, double FirstBin,
                 double LastBin, double BinWidth, TIntVector& Histo, int32_t& Underflow,
                 int32_t& Overflow, int32_t& MaxCnt) const;
  // Geometric mean; 0 when an element is 0; a negative element raises ENUXMatrixError.
  double GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  // Harmonic mean; an element <= 0 raises ENUXMatrixError.
  double HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  // Plain sum of the block (it may overflow to an infinity).
  double Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  // Smallest and largest value, NaNs passed over (+inf and -inf when all are NaN).
  void MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Minimum,
              double& Maximum) const;
  // Column and row of the element nearest to Value (the first found on ties); 0, 0 for none.
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double Value,
            int32_t& ColIx, int32_t& RowIx) const;
  // Binary search in a sorted column: Value's row, else the nearer neighbour's; 0 for no column.
  int32_t FindInSortedColumn(int32_t Col, bool ColIsAscending, double Value) const;
  // Number of elements of the block within RangeLow..RangeHigh; NaN never counts.
  int32_t CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                      double RangeLow, double RangeHigh) const;
  // ResultArray [column][row] := element > Threshold; returns how many are true.
  int32_t Dichotomize(double Threshold, TBool2DArray& ResultArray) const;
  // Subtracts each column's mean (a column with a non-finite mean stays); Means may be nullptr.
  void MeanCenterColumns(TVector* Means);
  // Subtracts each row's mean (a row with a non-finite mean stays); Means may be nullptr.
  void MeanCenterRows(TVector* Means);
  // Each column := (x - mean) / s, s from the library's variance (1 for fewer than 3 values); a
  // column without positive finite s stays. Means, StdDevs may be nullptr.
  void StandardizeColumns(TVector* Means, TVector* StdDevs);
  // Each row := (x - mean) / s, s from the library's variance (1 for fewer than 3 values); a row
  // without positive finite s stays. Means, StdDevs may be nullptr.
  void StandardizeRows(TVector* Means, TVector* StdDevs);
  // Each column := (x - median) / |median - percentile RefQuant|, when that spread is positive
  // and finite; Medians, QuantDiffs may be nullptr.
  void QNormalizeColumns(double RefQuant, TVector* Medians, TVector* QuantDiffs);
  // Each row := (x - median) / |median - percentile RefQuant|, when that spread is positive and
  // finite; Medians, QuantDiffs may be nullptr.
  void QNormalizeRows(double RefQuant, TVector* Medians, TVector* QuantDiffs);
  // Pearson correlation of all elements with OtherMat's (0 for n <= 2 or no spread); another
  // size raises ENUXMatrixError.
  double Correlate(const TMatrix& OtherMat) const;

  // ASC files (docs/text-formats.md).
  /// Writes the ASC form, values by strff with width 1 and Precision decimals (Precision < 0:
  /// the shortest form that reads back exactly), then CustData's lines: 0, or -1 when the file
  /// cannot be written (an existing file is then left as it was).
  int32_t ExportAsASC(const std::string& FName, int32_t Precision, const std::string& Comment,
                      const TStr2DArray& CustData = {}) const;
  /// Reads an ASC file (TASCResult); on a failure the matrix, Comment and CustData are
  /// unchanged. Row attributes, names and the variables section are passed over.
  int32_t ImportASC(const std::string& FName, std::string& Comment);
  /// ImportASC that also returns the custom data lines.
  int32_t ImportASC(const std::string& FName, std::string& Comment, TStr2DArray& CustData);

 protected:
  // Allocates an Nc x Nr block of zeros or raises the component's out-of-memory error.
  TDouble2DArray AllocateBlock(int32_t Nc, int32_t Nr) const;
  // Raises ENUXMatrixError for an index outside the matrix when the index check is on.
  void CheckIndices(int32_t Nc, int32_t Nr) const {
    CheckIndex<ENUXMatrixError>(*this, "column", Nc, NrOfColumns());
    CheckIndex<ENUXMatrixError>(*this, "row", Nr, NrOfRows());
  }

  // The elements, [column][row], 0-based.
  TDouble2DArray Mat;
  // DataID.
  std::string FDataID;
  // The two output precisions.
  int32_t FPrecis[2] = {15, -1};
  // Counts announced while an XML document is read, and whether its first cell is pending.
  int32_t FAuxCol = 0;
  // Row count announced while an XML document is read.
  int32_t FAuxRow = 0;
  // True while the first cell of an XML document being read is pending.
  bool FirstCell = false;
};

}  // namespace nux
