// What TMatrix and TIntMatrix share: the dense column-major storage, sizing, element access,
// filling, copying to and from vectors, arrays and matrices, reshaping, sorting, the edge
// reductions and the fingerprint. Indices are 1-based, column before row.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "nux/frame/access.h"
#include "nux/frame/container.h"
#include "nux/frame/errors.h"
#include "nux/frame/types.h"
#include "nux/vector/vector.h"

namespace nux {

template <class T, class Derived>
// The dense matrix of element type T (double or int32_t); Derived is the matrix class. Members
// here act on the dense storage only: a matrix held in another form (the sparse TIntMatrix)
// presents no dense elements to them, so they see an empty matrix and change nothing.
class TMatrixBase : public TNuxContainer,
                    public TSortExchangeSupport<Derived>,
                    public TPercentDoneSupport<Derived> {
 public:
  // The element type.
  using TElem = T;
  // A dynamic array of elements, 0-based.
  using TArray = std::vector<T>;
  // A two-dimensional array of elements, [column][row], 0-based.
  using T2DArray = std::vector<TArray>;
  // The vector class of the same element type.
  using TVec = std::conditional_t<std::is_same_v<T, double>, TVector, TIntVector>;

  // An empty matrix; the derived constructors give it its first size.
  explicit TMatrixBase(TComponent* AOwner = nullptr) : TNuxContainer(AOwner) {}

  // Number of columns of the dense storage.
  int32_t NrOfColumns() const { return static_cast<int32_t>(Mat.size()); }
  // Number of rows of the dense storage.
  int32_t NrOfRows() const { return Mat.empty() ? 0 : static_cast<int32_t>(Mat[0].size()); }
  // Resize with the other count unchanged; a count below 1 leaves the matrix as it is.
  void SetNrOfColumns(int32_t Nc) { Self().Resize(Nc, Self().NrOfRows()); }
  // Resizes to Nr rows; a count below 1 leaves the matrix as it is.
  void SetNrOfRows(int32_t Nr) { Self().Resize(Self().NrOfColumns(), Nr); }
  // A free identifier of the data; empty at first.
  const std::string& DataID() const { return FDataID; }
  // Sets DataID.
  void SetDataID(const std::string& Value) { FDataID = Value; }

  // Resize; only when that changed the size, every element becomes 0 (events again).
  bool ResizeAndClear(int32_t Nc, int32_t Nr);
  // Element (Nc, Nr), column first, 1-based; 0 outside the matrix.
  T GetVal(int32_t Nc, int32_t Nr) const {
    return (Nc >= 1 && Nc <= NrOfColumns() && Nr >= 1 && Nr <= NrOfRows())
               ? Mat[size_t(Nc - 1)][size_t(Nr - 1)]
               : T{};
  }
  // Element (Nc, Nr) (GetVal); 0 outside the matrix.
  T Elem(int32_t Nc, int32_t Nr) const { return Self().GetVal(Nc, Nr); }
  // Stores Value at (Nc, Nr) and fires OnChange; ignored outside the matrix.
  void SetVal(int32_t Nc, int32_t Nr, T Value);
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
  const T2DArray& Data() const { return Mat; }

  /// Element (Nc, Nr), 1-based, column first, to read or assign; assignments go through
  /// SetVal (OnChange fires; outside the matrix nothing happens) unless SetIndexChecking(true)
  /// is on: then an index outside the matrix raises ENUXMatrixError naming it and the size.
  TElemRef<Derived, T, 2> operator()(int32_t Nc, int32_t Nr) {
    CheckIndices(Nc, Nr);
    return TElemRef<Derived, T, 2>(Self(), {Nc, Nr});
  }
  /// Element (Nc, Nr); 0 outside the matrix (or ENUXMatrixError with the index check on).
  T operator()(int32_t Nc, int32_t Nr) const {
    CheckIndices(Nc, Nr);
    return Self().GetVal(Nc, Nr);
  }
  /// A copy of the storage, [column][row].
  T2DArray ToStdVector() const { return Mat; }
  /// Replaces the contents by a copy of Columns ([column][row]), resizing: OnChange, then
  /// OnResize when the size changed. An empty or ragged array raises ENUXMatrixError and
  /// leaves the matrix as it was.
  void SetValues(const T2DArray& Columns);
  /// A read-only view of column Nc (empty outside 1..NrOfColumns), valid until the matrix is
  /// resized or destroyed.
  std::span<const T> Column(int32_t Nc) const {
    CheckIndex<ENUXMatrixError>(*this, "column", Nc, NrOfColumns());
    if (Nc < 1 || Nc > NrOfColumns()) return {};
    return Mat[size_t(Nc - 1)];
  }

  // Filling; each fires OnChange once. Ranged forms visit columns, rows inside a column.
  void Fill(T Value);
  void Fill(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, T Value);
  // Sets the elements (i, i) of the main diagonal to Value.
  void FillDiag(T Value);
  // Storage order (column 1 rows 1..n, then column 2...), by repeated addition of Diff.
  void FillSerial(T Offset, T Diff);

  // Copying to vectors and arrays (no events on the matrix).
  void CopyRowToVec(TVec* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol) const;
  void CopyRowToVec(TVec* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol,
                    int32_t DestElem) const;
  // Column Col (clamped), rows FirstRow..LastRow (clipped), into DestVec from element 1 or
  // DestElem; the rest of DestVec becomes 0, its size stays.
  void CopyColToVec(TVec* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow) const;
  void CopyColToVec(TVec* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow,
                    int32_t DestElem) const;
  // Columns FirstCol..LastCol (clipped) of row Row (clamped) into Dest from 0-based DestElem; the
  // rest of Dest becomes 0, its size stays (an empty Dest or DestElem beyond it: nothing).
  void CopyRowTo1DArray(TArray& Dest, int32_t Row, int32_t FirstCol, int32_t LastCol,
                        int32_t DestElem) const;
  // Rows FirstRow..LastRow (clipped) of column Col (clamped) into Dest from 0-based DestElem, as
  // CopyRowTo1DArray does.
  void CopyColTo1DArray(TArray& Dest, int32_t Col, int32_t FirstRow, int32_t LastRow,
                        int32_t DestElem) const;
  // Results: 0, -1 (Dest empty or ragged), -2 (column range clipped), -3 (row range clipped or
  // exchanged), -4 (DestCol or DestRow outside Dest). Integer targets round halves to even.
  int32_t CopyToArray(TDouble2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                      int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const;
  int32_t CopyToArray(TInt2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                      int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const;
  // -1 (nothing done) when Dest is empty on entry; else Dest becomes a copy of the storage; 0.
  int32_t DuplicateDataAsArray(T2DArray& Dest) const;

  // Copying into the matrix, through SetVal (targets outside are dropped, no resize), then
  // one more OnChange.
  void CopyFromVec(TDims Dim, const TVec* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol,
                   int32_t DestRow);
  void CopyFromVec(const TVec* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol,
                   int32_t DestRow, bool AsColumn = true);
  // Results: 0, -1 (empty), -4 (a bound outside the array), -5 (Col or Row outside the
  // matrix). Src[i] goes to (Col, Row + i) or (Col + i, Row): the array position is added.
  // Doubles stored into an integer matrix are rounded by RoundToInt32 (halves to even,
  // saturated, NaN as 0).
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
  void CopyFrom(const Derived* MatSource, int32_t SourceColLo, int32_t SourceRowLo,
                int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);

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

  // The data fingerprint of the elements in storage order (column by column): one CRC lane per
  // byte of the element (8 for doubles, 4 for integers).
  std::string CRCofData() const;

 protected:
  // The matrix as its own class, for the members it shadows (Resize, GetVal, SetVal, counts).
  Derived& Self() { return static_cast<Derived&>(*this); }
  // The matrix as its own class (read access).
  const Derived& Self() const { return static_cast<const Derived&>(*this); }
  // A dense copy of Columns ([column][row]); an empty or ragged array raises ENUXMatrixError.
  T2DArray CopyOfColumns(const T2DArray& Columns) const;
  // Allocates an Nc x Nr block of zeros or raises the component's out-of-memory error.
  T2DArray AllocateBlock(int32_t Nc, int32_t Nr) const;
  // Reallocates the dense storage to Nc x Nr keeping the common elements, without events; false
  // (nothing done) when a count is below 1 or the size is the same.
  bool ResizeStorage(int32_t Nc, int32_t Nr);
  // Copies the block of Source (any matrix with GetVal and counts; this one included) as CopyFrom
  // documents; defined in matrix_base_impl.h.
  template <class S>
  void CopyBlockFrom(const S& Source, int32_t SourceColLo, int32_t SourceRowLo, int32_t SourceColHi,
                     int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);
  // ResampleExtMat's work for a source S with counts and GetVal (this matrix too): draws the
  // picks and builds the resampled block aside; 0 or the method's error code (nothing drawn).
  template <class S>
  int32_t ResampleBlock(const S& Src, double colpct, double rowpct, bool BootStrap, T2DArray& Block,
                        TIntArray& Cols, TIntArray& Rows) const;
  // Raises ENUXMatrixError for an index outside the matrix when the index check is on.
  void CheckIndices(int32_t Nc, int32_t Nr) const {
    CheckIndex<ENUXMatrixError>(*this, "column", Nc, Self().NrOfColumns());
    CheckIndex<ENUXMatrixError>(*this, "row", Nr, Self().NrOfRows());
  }

  // The elements, [column][row], 0-based.
  T2DArray Mat;
  // DataID.
  std::string FDataID;
  // Counts announced while an XML document is read, and whether its first cell is pending.
  int32_t FAuxCol = 0;
  // Row count announced while an XML document is read.
  int32_t FAuxRow = 0;
  // True while the first cell of an XML document being read is pending.
  bool FirstCell = false;
};

}  // namespace nux
