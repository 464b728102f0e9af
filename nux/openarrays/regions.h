// Regions of 2-D arrays treated as grids of cells (A[col][row]): mask shapes, lists of marked
// cells, flood fill and the bounding block of non-zero cells.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"

namespace nux {

// Sets the cells of one shape (TShapeKind by ordinal) to true; other cells keep their values.
// Params: rectangle and ellipse ColLo, RowLo, ColHi, RowHi; circle centre column, centre row,
// radius; ring centre column, centre row, two radii. The part of a shape that lies outside the
// mask is cut off; the cells inside are drawn. Returns 0; -1 for a wrong number of parameters or
// an empty or ragged mask; -2 for a negative radius or a reversed block. Unknown shapes do
// nothing and return 0.
int32_t CreateMaskShape(TBool2DArray& Mask, int32_t Shape, const TIntArray& Params);

// Indices (plus Offset) of the cells equal to Value, ascending, at most MaxCount of them
// (MaxCount < 1 or above the length: no limit); Pos is trimmed to the count. Returns the count;
// -1 for an empty array; -2 when Offset would carry a position beyond the 32-bit range.
int32_t ListCellPositions(const TBoolArray& A, bool Value, int32_t MaxCount, int32_t Offset,
                          TIntArray& Pos);
// 2-D form: columns in order, rows in order within a column; Pos[0][k] is the column and
// Pos[1][k] the row of hit k, each plus Offset. A ragged array also gives -1.
int32_t ListCellPositions(const TBool2DArray& A, bool Value, int32_t MaxCount, int32_t Offset,
                          TInt2DArray& Pos);

// Fills the 4-connected region of cells around (Col, Row) whose values lie within
// seed ± |Tolerance| with FillValue; returns the number of cells filled and the region's bounding
// block (which starts at the seed). -1 when the seed lies outside the array or the array is
// ragged. A fill value that itself qualifies fills every cell of the region once.
int32_t FloodFillArray(int32_t Col, int32_t Row, double Tolerance, double FillValue,
                       TDouble2DArray& A, int32_t& RowMax, int32_t& RowMin, int32_t& ColMin,
                       int32_t& ColMax);
// Integer form: the region of cells equal to the seed value.
int32_t FloodFillArray(int32_t Col, int32_t Row, int32_t FillValue, TInt2DArray& A, int32_t& RowMax,
                       int32_t& RowMin, int32_t& ColMin, int32_t& ColMax);

// First and last column, and first and last row, holding a non-zero element (NaN counts as
// non-zero); all four are -1 when there is none.
void BoundingRect(const TDouble2DArray& A, int32_t& ColFirst, int32_t& ColLast, int32_t& RowFirst,
                  int32_t& RowLast);
void BoundingRect(const TInt2DArray& A, int32_t& ColFirst, int32_t& ColLast, int32_t& RowFirst,
                  int32_t& RowLast);

}  // namespace nux
