// TMatrix: the library's two-dimensional container of doubles. Indices are 1-based, column
// before row; storage is column-major (Data()[c-1][r-1] is column c, row r).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "nux/frame/access.h"
#include "nux/frame/container.h"
#include "nux/frame/errors.h"
#include "nux/frame/types.h"
#include "nux/frame/xmlio.h"
#include "nux/matrix/binfile.h"
#include "nux/matrix/matrix_base.h"
#include "nux/matrix/matxml.h"
#include "nux/vector/vector.h"

namespace nux {

class TIntMatrix;
class TMat3D;

// Matrix norms.
enum TNormType : int32_t { ntColwise, ntRowwise, ntSpectral, ntFrobenius };

// A user distance between two rows, asked for by the distance matrix routines.
using TOnCalcDistanceEvent =
    std::function<void(TObject* Sender, int32_t Row1, int32_t Row2, double& Distance)>;

// A matrix of doubles, Nc columns by Nr rows (both at least 1), indices 1-based, column first.
class TMatrix : public TMatrixBase<double, TMatrix> {
 public:
  // A 1 x 1 matrix holding 0, DataID empty, precisions 15 and -1.
  explicit TMatrix(TComponent* AOwner = nullptr);
  /// An Nc x Nr matrix of zeros (both >= 1, else ENUXMatrixError).
  TMatrix(int32_t Nc, int32_t Nr, TComponent* AOwner = nullptr);
  /// A matrix holding a copy of Columns ([column][row], as the storage); an empty or ragged
  /// array raises ENUXMatrixError.
  explicit TMatrix(const TDouble2DArray& Columns, TComponent* AOwner = nullptr);

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

  // Uniform deviates between RangeLow and RangeHigh, in the whole matrix or a clipped block.
  void FillRandomUniform(double RangeLow, double RangeHigh);
  void FillRandomUniform(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                         double RangeLow, double RangeHigh);
  // Normal deviates of mean Mean and deviation StdDev, in the whole matrix or a clipped block.
  void FillRandomGauss(double Mean, double StdDev);
  void FillRandomGauss(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                       double Mean, double StdDev);

  using TMatrixBase::CopyFrom;
  // From an integer matrix (dense or sparse), as CopyFrom from a TMatrix.
  void CopyFrom(const TIntMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);
  // From layer SourceLayer (clamped to 1..NrOfLayers) of a three-dimensional array, as CopyFrom
  // from a TMatrix.
  void CopyFrom(const TMat3D* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                int32_t SourceColHi, int32_t SourceRowHi, int32_t SourceLayer, int32_t DestCol,
                int32_t DestRow);

  // Takes over MatSource's size and elements (not DataID, precisions or events).
  void Clone(const TMatrix* MatSource);
  void Assign(const TPersistent* Source) override;
  // Copies into another TMatrix; other targets raise EConvertError.
  void AssignTo(TPersistent* Dest) const override;

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

  // Binary files and streams
  /// The header of a binary file: false (outputs untouched) for a file that cannot be opened;
  /// EInOutError for one shorter than a record; else the fields and whether a TMatrix accepts it.
  static bool ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                               std::string& DataID, int32_t& Format);
  /// Writes the elements and DataID as a binary file (TBinFileResult); a failure keeps an
  /// existing file.
  int32_t SaveBinary(const std::string& FName) const;
  /// Reads a binary file with its DataID (TBinFileResult); on a failure the matrix is unchanged.
  int32_t LoadBinary(const std::string& FName);
  /// Writes the clipped block's bounds and elements; a missing OutStream is created.
  void SaveToStream(std::unique_ptr<TMemoryStream>& OutStream, int32_t LoC, int32_t LoR,
                    int32_t HiC, int32_t HiR) const;
  /// The same on a stream the caller opened.
  void SaveToStream(TStream& OutStream, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  /// Reads what SaveToStream wrote into the same block; AdjustMatrixSize resizes to the block's
  /// high bounds first. False for a missing stream, bad bounds, a short stream or a matrix too
  /// small (values then not read).
  bool LoadFromStream(TStream* InStream, bool AdjustMatrixSize);
  /// Writes the clipped block as text: the four bounds, then one line per row.
  bool StoreOnFile(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR,
                   const std::string& FileName) const;
  /// Reads a file of StoreOnFile as LoadFromStream does (matrix unchanged on failure); with
  /// AutoDetect a plain table without bounds (LoadPlainText), placed from element (1, 1).
  bool LoadFromFile(const std::string& FileName, bool AdjustMatrixSize, bool AutoDetect = false);
  // XML
  // Writes the matrix as one "matrix" element (attribute dataid: DataID, UTF-8 cut to 255 bytes
  // on a character boundary), the XML declaration first when CreateHeader. Values with Precision
  // significant digits (xmlFullPrecision, the default: exactly, NaN and infinities included). xrOK
  // or xrCannotWrite (docs/matrix-xml.md).
  int32_t WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader, const std::string& DataID,
                             int32_t Precision = xmlFullPrecision) const;
  // The same into a stream, at its position.
  int32_t WriteToXMLStream(TStream& OutStream, bool CreateHeader, const std::string& DataID,
                           int32_t Precision = xmlFullPrecision) const;
  // A whole document in file FName, written atomically (an existing file survives a failure).
  int32_t SaveAsXMLFile(const std::string& FName, const std::string& DataID,
                        int32_t Precision = xmlFullPrecision) const;
  // Reads the first "matrix" element whose dataid is DataID (any for an empty DataID) from the
  // stream's position and leaves the position behind the element holding it. Cells the document
  // does not list are 0; DataID becomes the document's. TXmlResult codes; on a failure the
  // object is unchanged.
  int32_t ReadFromXMLStream(TStream& InStream, const std::string& DataID);
  // The same from an open text file (a seekable stream).
  int32_t ReadFromOpenXMLFile(std::istream& In, const std::string& DataID);
  // The same from file FName.
  int32_t LoadFromXMLFile(const std::string& FName, const std::string& DataID);
  // Applies one element: "matrix" starts a document (no sizes announced); a size tag announces a
  // size (those the class lacks are ignored); the first "cell" sizes the object to the announced
  // sizes with every element 0, then each cell stores its value (indices outside, or overflowing,
  // are ignored). 0; 1 for "/matrix"; -1 an unknown element; -3 announced sizes beyond
  // MaxXmlMatrixCells or memory; -5 a cell before positive sizes.
  int32_t ProcessXmlTag(TMatXmlTag Tag, std::string_view Attributes, std::string_view Content);
  friend struct matrix_detail::TXmlAccess;

 protected:
  // The two output precisions.
  int32_t FPrecis[2] = {15, -1};

 private:
  // The data table keeps its values in a TMatrix and hands over whole columns it has built.
  friend class TDataTable;
};

extern template class TMatrixBase<double, TMatrix>;

}  // namespace nux
