// TIntMatrix: the two-dimensional container of 32-bit integers, held dense (column-major, as
// TMatrix) or sparse (sorted records of the stored elements). Indices are 1-based, column first.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "nux/frame/xmlio.h"
#include "nux/matrix/binfile.h"
#include "nux/matrix/matrix_base.h"
#include "nux/matrix/matxml.h"

namespace nux {

// One stored element of a sparse integer matrix.
struct TSpMatElemInt {
  int32_t colidx;  // column, 1-based
  int32_t rowidx;  // row, 1-based
  int32_t value;   // the element
};

// A matrix of 32-bit integers. Dense: Nc x Nr elements (both at least 1), as TMatrix. Sparse
// (CreateSparse, ArrayToSparse): only stored elements are kept; the others read as 0; the size
// grows with SetVal. Members inherited from TMatrixBase act on the dense form only (in the
// sparse form they see no elements and change nothing); the members declared here work in both
// forms unless their comment says "dense".
class TIntMatrix : public TMatrixBase<int32_t, TIntMatrix> {
 public:
  // A dense 1 x 1 matrix holding 0.
  explicit TIntMatrix(TComponent* AOwner = nullptr);
  /// A dense Nc x Nr matrix of zeros (both >= 1, else ENUXMatrixError).
  TIntMatrix(int32_t Nc, int32_t Nr, TComponent* AOwner = nullptr);
  // A sparse matrix of 0 x 0 without elements, capacity and growth step max(AllocBy, 1).
  static std::unique_ptr<TIntMatrix> CreateSparse(TComponent* AOwner, int32_t AllocBy);

  // Number of columns (sparse: the announced count, at least the highest stored column).
  int32_t NrOfColumns() const { return FIsSparse ? FNCol : TMatrixBase::NrOfColumns(); }
  // Number of rows (sparse: the announced count, at least the highest stored row).
  int32_t NrOfRows() const { return FIsSparse ? FNRow : TMatrixBase::NrOfRows(); }
  // Clips LowCol..HighCol to 1..NrOfColumns ((0, 0): all); true when a bound was clipped.
  bool MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
    return MakeValidIndexRange(LowCol, HighCol, NrOfColumns());
  }
  // Clips LowRow..HighRow to 1..NrOfRows ((0, 0): all); true when clipped or exchanged.
  bool MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
    return MakeValidRowIndexRange(LowRow, HighRow, NrOfRows());
  }

  // True while the sparse form is active.
  bool IsSparse() const { return FIsSparse; }
  // Number of stored elements of the sparse form (explicit zeros included); 0 when dense.
  int64_t SparseNumElem() const { return FIsSparse ? int64_t(SpMat.size() + FPending.size()) : 0; }
  // Growth step of the sparse element array.
  int32_t AllocBy() const { return FAllocBy; }
  // Capacity of the sparse element array, in elements, grown in steps of AllocBy (memory itself
  // is taken as elements arrive, so a large step costs nothing up front).
  int64_t NumAllocated() const { return FNumAllocated; }
  // Bounding box of the stored elements: low column, high column, low row, high row; the
  // empty box is 2147483647, 1, 2147483647, 1.
  void SparseBounds(int32_t& LowCol, int32_t& HighCol, int32_t& LowRow, int32_t& HighRow) const {
    LowCol = FSparseLowCol;
    HighCol = FSparseHighCol;
    LowRow = FSparseLowRow;
    HighRow = FSparseHighRow;
  }
  // The stored elements in ascending (column, row) order; empty when dense.
  std::vector<TSpMatElemInt> SparseElements() const;

  // Dense: as TMatrix.Resize but OnResize fires before OnChange. Sparse: positive counts that
  // differ set the size, drop the elements outside and narrow the bounding box; no event.
  bool Resize(int32_t Nc, int32_t Nr);
  // Resize; when that changed the size every element becomes 0 (sparse: all are removed).
  bool ResizeAndClear(int32_t Nc, int32_t Nr);
  // Element (Nc, Nr); 0 outside the matrix (sparse: outside the bounding box or not stored).
  int32_t GetVal(int32_t Nc, int32_t Nr) const;
  // Dense: stores Value inside the matrix, ignored outside. Sparse: both indices must be at
  // least 1 (else ignored); the element is stored (an explicit 0 too) and the size grows to
  // hold it; exhausted memory raises ENUXMatrixError "not enough memory on heap". OnChange.
  void SetVal(int32_t Nc, int32_t Nr, int32_t Value);
  // Dense: every element. Sparse: Value != 0 goes into every stored element; 0 removes them.
  void Fill(int32_t Value);
  using TMatrixBase::Fill;
  // Dense: as TMatrix. Sparse: exchanges the indices of every stored element and re-sorts them
  // by the library's comb sort; OnChange, OnResize; true.
  bool Transpose();
  // Only between matrices of the same form (else nothing). Sparse: elements, capacity, growth
  // step, bounding box and counts; OnChange, OnResize. Dense: size and elements; OnChange.
  void Clone(const TIntMatrix* MatSource);
  /// Replaces the contents by a copy of Columns ([column][row]); a sparse matrix becomes
  /// dense. An empty or ragged array raises ENUXMatrixError, matrix unchanged.
  void SetValues(const TInt2DArray& Columns);

  // Switches to the sparse form with growth step max(AllocBy, 1), keeping the counts and the
  // non-zero elements; OnResize. Nothing when already sparse.
  void ArrayToSparse(int32_t AllocBy);
  // Switches to the dense form sized to the bounding box's high column and row (1 x 1 when
  // nothing is stored); OnResize. Nothing when already dense. Exhausted memory (also a box
  // too large for memory) raises ENUXMatrixError "not enough memory on heap", matrix unchanged.
  void SparseToArray();

  // ---- Statistics (intmatrix_stats.cpp); ranges as in TMatrix ----
  // Exact sum of the block in 64-bit arithmetic (sparse: the stored elements inside it). The
  // sum of fewer than 2^32 elements cannot overflow, which every matrix that fits in memory is.
  int64_t Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  // Exact sum of the main diagonal in 64-bit arithmetic; 0 when not square (sparse: 0 unless
  // the bounding box's high column equals its high row).
  int64_t Trace() const;
  // Smallest and largest element of the block (sparse: of the stored ones inside it); both
  // stay 2147483647 and -2147483647 for an empty block or none stored.
  void MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, int32_t& Minimum,
              int32_t& Maximum) const;
  // One mean per column (dimColumns) or row into Means, resized; from exact 64-bit sums, divided
  // once (sparse: O(stored elements)). nullptr does nothing.
  void MeanVec(TDims Dim, TVector* Means) const;
  // Geometric mean of the block; 0 when an element (an implicit zero too) is 0 or the block is
  // empty; a negative element raises ENUXMatrixError.
  double GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  // Harmonic mean of the block; 0 when empty; an element <= 0 (an implicit zero too) raises
  // ENUXMatrixError.
  double HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  // The moments and quantiles follow TMatrix's rules (docs/matrix-statistics.md); only what
  // differs is said. In the sparse form every position counts, implicit zeros arithmetically
  // (never visited): O(stored elements), a sort of them for the quartiles.
  // Mean and sample variance of every position of the block.
  void MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Mean,
               double& Variance) const;
  // Skewness and excess kurtosis, as TMatrix.
  void SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Skewness,
                double& Kurtosis) const;
  // SkewKurt with the small-sample corrections, as TMatrix.
  void SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                      double& Skewness, double& Kurtosis) const;
  // Quartiles, as TMatrix; false (all 0) for no elements.
  bool Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Q1,
                 double& Q2, double& Q3) const;
  // Percentile of rank round(Prob n / 100), as TMatrix; NaN for no elements.
  double Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow) const;
  // Percentile from SampleSize draws, as TMatrix (sparse: each draw read through GetVal).
  double Percentile(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                    int32_t SampleSize) const;
  // Column and row of the element nearest to Value (the first in column-major order on ties);
  // 0, 0 for none.
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t Value,
            int32_t& ColIx, int32_t& RowIx) const;
  // Binary search in a sorted column: Value's row, else the nearer neighbour's; 0 for no
  // column (sparse: through GetVal, O(log rows x log stored)).
  int32_t FindInSortedColumn(int32_t Col, bool ColIsAscending, int32_t Value) const;
  // Number of elements of the block within RangeLow..RangeHigh (saturated at 2147483647).
  int32_t CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                      int32_t RangeLow, int32_t RangeHigh) const;
  // Number of elements x of the block with (x AND Bitmask) = 0 (saturated at 2147483647).
  int32_t CountMaskedZeros(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                           int32_t Bitmask) const;
  // ResultArray [column][row] := element > Threshold; returns how many are true (sparse: a
  // size beyond memory raises ENUXMatrixError "not enough memory on heap").
  int32_t Dichotomize(int32_t Threshold, TBool2DArray& ResultArray) const;

  // ---- Random fills and resampling (process-wide generator, so SetRandSeed repeats them) ----
  // Integers drawn uniformly from RangeLow..RangeHigh, both included (reversed bounds are
  // exchanged), into the whole matrix or a clipped block; sparse: into the stored elements only,
  // as Fill. OnChange.
  void FillRandomUniform(int32_t RangeLow, int32_t RangeHigh);
  void FillRandomUniform(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                         int32_t RangeLow, int32_t RangeHigh);
  // Normal deviates of mean Mean and deviation StdDev rounded by RoundToInt32 (halves to even,
  // saturated, NaN as 0), as FillRandomUniform places them. OnChange.
  void FillRandomGauss(double Mean, double StdDev);
  void FillRandomGauss(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                       double Mean, double StdDev);
  // As TMatrix.ResampleExtMat: becomes colpct % of SrcMat's columns and rowpct % of its rows,
  // drawn at random (BootStrap: rows with repeats); a sparse SrcMat is read through GetVal and
  // the result is always dense. Results: 0, -1 (colpct), -2 (rowpct), -3 (no SrcMat), -5 (an
  // empty index array); OnChange, OnResize.
  int32_t ResampleExtMat(const TIntMatrix* SrcMat, double colpct, double rowpct, bool BootStrap,
                         TIntArray& RndColIx, TIntArray& RndRowIx);

  // ---- Arithmetic (intmatrix_arith.cpp): 32-bit results that wrap on overflow ----
  // Products: size rules as TMatrix (false, nothing changed, for absent arguments or sizes that
  // do not fit); sums of products formed in 64 bits, stored wrapped to 32. Dense operands.
  bool Multiply(const TIntMatrix* MatB, TIntMatrix* MatRes) const;  // MatRes := this * MatB
  bool Multiply(const TIntVector* VecB, TIntVector* VecRes) const;  // VecRes := this * VecB
  bool MultiplyTransposed(const TIntMatrix* MatB, TIntMatrix* MatRes) const;    // this * MatB^T
  bool TransposeAndMultiply(const TIntMatrix* MatB, TIntMatrix* MatRes) const;  // this^T * MatB
  bool TransposeAndMultiply(const TIntVector* VecB, TIntVector* VecRes) const;  // this^T * VecB
  bool EMult(const TIntMatrix* MatB, TIntMatrix* MatRes) const;                 // element-wise
  // Adds MatB: this must be dense; a dense MatB of the same size or a sparse MatB whose box
  // fits. False, nothing changed, otherwise.
  bool Add(const TIntMatrix* MatB);
  // Dense: subtracts MatB of the same size; false, nothing changed, otherwise.
  bool Subtract(const TIntMatrix* MatB);
  // Dense: multiplies every element by Scalar.
  void SMult(int32_t Scalar);
  // Dense: adds Scalar to every element.
  void SAdd(int32_t Scalar);

  // ---- ASC files (docs/text-formats.md) ----
  /// Writes the ASC form (values in decimal, then CustData's lines): 0, or -1 when the file
  /// cannot be written (an existing file is then left as it was). Sparse matrices too.
  int32_t ExportAsASC(const std::string& FName, const std::string& Comment,
                      const TStr2DArray& CustData = {}) const;
  /// Reads an ASC file into a dense matrix (TASCResult); values are rounded (halves to even),
  /// values outside the 32-bit range give ascBadValue. On a failure the matrix, Comment and
  /// CustData are unchanged.
  int32_t ImportASC(const std::string& FName, std::string& Comment);
  /// ImportASC that also returns the custom data lines.
  int32_t ImportASC(const std::string& FName, std::string& Comment, TStr2DArray& CustData);

  // ---- Sparse files (intmatrix_asc.cpp; layout in docs/intmatrix.md) ----
  /// Writes the stored elements (of a dense matrix: the non-zero ones), the counts and the
  /// growth step; false when the file cannot be written (an existing file is then kept).
  bool StoreSparseMat(const std::string& FileName) const;
  /// Reads a file of StoreSparseMat; the matrix becomes sparse. Results: 0; -1 the file cannot
  /// be read; -2 not such a file (signature, counts, length); -3 records out of order or
  /// outside the counts. On a failure the matrix is unchanged.
  int32_t LoadSparseMat(const std::string& FileName);

  // Binary files and streams
  /// The header of a binary file: false (outputs untouched) for a file that cannot be opened;
  /// EInOutError for one shorter than a record; else the fields and whether a TIntMatrix accepts
  /// it.
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
  /// Reads a file of StoreOnFile as LoadFromStream does (matrix unchanged on failure).
  bool LoadFromFile(const std::string& FileName, bool AdjustMatrixSize);
  // XML
  // Writes the matrix as one "matrix" element (attribute dataid: DataID, UTF-8 cut to 255 bytes
  // on a character boundary), the XML declaration first when CreateHeader.
  // xrOK or xrCannotWrite (docs/matrix-xml.md).
  int32_t WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader, const std::string& DataID) const;
  // The same into a stream, at its position.
  int32_t WriteToXMLStream(TStream& OutStream, bool CreateHeader, const std::string& DataID) const;
  // A whole document in file FName, written atomically (an existing file survives a failure).
  int32_t SaveAsXMLFile(const std::string& FName, const std::string& DataID) const;
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

 private:
  // Finds (Nc, Nr) in the sorted run A: its index, or the insertion index with Found false.
  static size_t Search(const std::vector<TSpMatElemInt>& A, int32_t Nc, int32_t Nr, bool& Found);
  // Merges the insert buffer into the main run, growing the capacity in steps of FAllocBy.
  void Consolidate() const;
  // Empties the sparse storage (capacity back to FAllocBy, empty bounding box).
  void ClearSparse();
  // Takes Block over as the dense storage, giving up the sparse form; no event.
  void AdoptDense(T2DArray& Block);
  // Sets the bounding box to the one of the elements in SpMat.
  void RecomputeBounds();
  // Stores Draw() into each element of the clipped block (sparse: each stored one inside it, in
  // (column, row) order); OnChange.
  template <class F>
  void FillBlockWith(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, F&& Draw);
  // Calls F(element) for every stored element, in no particular order.
  template <class F>
  void ForEachStored(F&& Visit) const {
    for (const TSpMatElemInt& E : SpMat) Visit(E);
    for (const TSpMatElemInt& E : FPending) Visit(E);
  }

  // Sparse counts (the dense form keeps its counts in the storage).
  int32_t FNCol = 0;
  // Row count of the sparse form.
  int32_t FNRow = 0;
  // True while the sparse form is active.
  bool FIsSparse = false;
  // Capacity of the main sparse run, in elements.
  int64_t FNumAllocated = 0;
  // Growth step of the sparse capacity, at least 1.
  int32_t FAllocBy = 1;
  // Bounding box of the stored elements.
  int32_t FSparseLowCol = INT32_MAX;
  // High column of the bounding box.
  int32_t FSparseHighCol = 1;
  // Low row of the bounding box.
  int32_t FSparseLowRow = INT32_MAX;
  // High row of the bounding box.
  int32_t FSparseHighRow = 1;
  // The main run of stored elements, sorted by (column, row), no duplicates.
  mutable std::vector<TSpMatElemInt> SpMat;
  // Recent insertions, sorted, disjoint from SpMat; merged in when it outgrows about the square
  // root of the main run, so that n random insertions cost O(n^1.5) moves instead of O(n^2).
  mutable std::vector<TSpMatElemInt> FPending;
};

extern template class TMatrixBase<int32_t, TIntMatrix>;

}  // namespace nux
