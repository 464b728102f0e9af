// Element-wise routines on dynamic arrays of one to four dimensions, indexed
// [column][row][layer][slot]: filling, cloning, copying, arithmetic, conversion and reshaping.
//
// Shared rules: the extents of the lower dimensions come from the first element of each level;
// an array whose inner arrays differ in length (ragged) counts as a shape that does not fit.
// Result codes: 0 success; -1 empty, ragged or unfit shape; -2 bad index or range (negative,
// beyond the array, or reversed); further codes where a routine lists them. Checks run before
// anything is written, so a failing call leaves its arguments as they were. Integer arithmetic
// saturates at the 32-bit limits instead of overflowing.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"

namespace nux {

// Every element, or every element of an inclusive range, set to Value.
int32_t FillArray(TBoolArray& A, bool Value);
int32_t FillArray(TBool2DArray& A, bool Value);
int32_t FillArray(TIntArray& A, int32_t Value);
int32_t FillArray(TInt2DArray& A, int32_t Value);
int32_t FillArray(TInt3DArray& A, int32_t Value);
int32_t FillArray(TInt4DArray& A, int32_t Value);
int32_t FillArray(TDoubleArray& A, double Value);
int32_t FillArray(TDouble2DArray& A, double Value);
int32_t FillArray(TDouble3DArray& A, double Value);
int32_t FillArray(TDouble4DArray& A, double Value);
int32_t FillArray(TBoolArray& A, int32_t Lo, int32_t Hi, bool Value);
int32_t FillArray(TBool2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi, int32_t RowHi,
                  bool Value);
int32_t FillArray(TIntArray& A, int32_t Lo, int32_t Hi, int32_t Value);
int32_t FillArray(TInt2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi, int32_t RowHi,
                  int32_t Value);
int32_t FillArray(TInt3DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo, int32_t ColHi,
                  int32_t RowHi, int32_t LayHi, int32_t Value);
int32_t FillArray(TInt4DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo, int32_t SlotLo,
                  int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t SlotHi, int32_t Value);
int32_t FillArray(TDoubleArray& A, int32_t Lo, int32_t Hi, double Value);
int32_t FillArray(TDouble2DArray& A, int32_t ColLo, int32_t RowLo, int32_t ColHi, int32_t RowHi,
                  double Value);
int32_t FillArray(TDouble3DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo, int32_t ColHi,
                  int32_t RowHi, int32_t LayHi, double Value);
int32_t FillArray(TDouble4DArray& A, int32_t ColLo, int32_t RowLo, int32_t LayLo, int32_t SlotLo,
                  int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t SlotHi, double Value);

// Start, Start+Step, ... in storage order (the last index fastest); the running value is built
// by repeated addition of Step. Without arguments: 0, 1, 2, ...
int32_t FillArraySerial(TIntArray& A, int32_t Start, int32_t Step);
int32_t FillArraySerial(TInt2DArray& A, int32_t Start, int32_t Step);
int32_t FillArraySerial(TInt3DArray& A, int32_t Start, int32_t Step);
int32_t FillArraySerial(TDoubleArray& A, double Start, double Step);
int32_t FillArraySerial(TDouble2DArray& A, double Start, double Step);
int32_t FillArraySerial(TDouble3DArray& A, double Start, double Step);
int32_t FillArraySerial(TDouble4DArray& A, double Start, double Step);
int32_t FillArraySerial(TIntArray& A);
int32_t FillArraySerial(TInt2DArray& A);
int32_t FillArraySerial(TInt3DArray& A);
int32_t FillArraySerial(TDoubleArray& A);
int32_t FillArraySerial(TDouble2DArray& A);
int32_t FillArraySerial(TDouble3DArray& A);

// Diagonal (all indices equal) set to Value, everything else to 0; all extents must be equal.
int32_t FillDiagArray(TInt2DArray& A, int32_t Value);
int32_t FillDiagArray(TInt3DArray& A, int32_t Value);
int32_t FillDiagArray(TInt4DArray& A, int32_t Value);
int32_t FillDiagArray(TDouble2DArray& A, double Value);
int32_t FillDiagArray(TDouble3DArray& A, double Value);
int32_t FillDiagArray(TDouble4DArray& A, double Value);

// Uniform values from the process-wide generator: doubles in [Low, High), integers in
// Low..High inclusive. Low above High (or a NaN bound) gives -2.
int32_t FillRandomUniform(TDoubleArray& A, double Low, double High);
int32_t FillRandomUniform(TDouble2DArray& A, double Low, double High);
int32_t FillRandomUniform(TDouble3DArray& A, double Low, double High);
int32_t FillRandomUniform(TDouble4DArray& A, double Low, double High);
int32_t FillRandomUniform(TIntArray& A, int32_t Low, int32_t High);
int32_t FillRandomUniform(TInt2DArray& A, int32_t Low, int32_t High);
int32_t FillRandomUniform(TInt3DArray& A, int32_t Low, int32_t High);
int32_t FillRandomUniform(TInt4DArray& A, int32_t Low, int32_t High);
// Without duplicates: needs High-Low+1 >= length (else -3) and <= 1000000 (else -4).
int32_t FillRandomUniform(TIntArray& A, int32_t Low, int32_t High, bool AllowDuplicates);

// Normal deviates; a negative (or NaN) standard deviation gives -2.
int32_t FillRandomNormal(TDoubleArray& A, double Mean, double StdDev);
int32_t FillRandomNormal(TDouble2DArray& A, double Mean, double StdDev);
int32_t FillRandomNormal(TDouble3DArray& A, double Mean, double StdDev);
int32_t FillRandomNormal(TDouble4DArray& A, double Mean, double StdDev);

// Out sized like A and filled element by element. Double to integer rounds halves to even and
// saturates at the 32-bit limits; NaN becomes 0. Double to single saturates to +-infinity.
int32_t CloneArray(const TBoolArray& A, TBoolArray& Out);
int32_t CloneArray(const TBool2DArray& A, TBool2DArray& Out);
int32_t CloneArray(const TIntArray& A, TIntArray& Out);
int32_t CloneArray(const TInt2DArray& A, TInt2DArray& Out);
int32_t CloneArray(const TInt3DArray& A, TInt3DArray& Out);
int32_t CloneArray(const TInt4DArray& A, TInt4DArray& Out);
int32_t CloneArray(const TDoubleArray& A, TDoubleArray& Out);
int32_t CloneArray(const TDouble2DArray& A, TDouble2DArray& Out);
int32_t CloneArray(const TDouble3DArray& A, TDouble3DArray& Out);
int32_t CloneArray(const TDouble4DArray& A, TDouble4DArray& Out);
int32_t CloneArray(const TSingleArray& A, TDoubleArray& Out);
int32_t CloneArray(const TDoubleArray& A, TSingleArray& Out);
int32_t CloneArray(const TDoubleArray& A, TIntArray& Out);
int32_t CloneArray(const TDouble2DArray& A, TInt2DArray& Out);
int32_t CloneArray(const TDouble3DArray& A, TInt3DArray& Out);
int32_t CloneArray(const TDouble4DArray& A, TInt4DArray& Out);
int32_t CloneArray(const TIntArray& A, TDoubleArray& Out);
int32_t CloneArray(const TInt2DArray& A, TDouble2DArray& Out);
int32_t CloneArray(const TInt3DArray& A, TDouble3DArray& Out);
int32_t CloneArray(const TInt4DArray& A, TDouble4DArray& Out);

// As CloneArray, with the element order reversed.
int32_t CloneAndReverseArray(const TBoolArray& A, TBoolArray& Out);
int32_t CloneAndReverseArray(const TIntArray& A, TIntArray& Out);
int32_t CloneAndReverseArray(const TDoubleArray& A, TDoubleArray& Out);
int32_t CloneAndReverseArray(const TSingleArray& A, TDoubleArray& Out);
int32_t CloneAndReverseArray(const TDoubleArray& A, TSingleArray& Out);
int32_t CloneAndReverseArray(const TDoubleArray& A, TIntArray& Out);
int32_t CloneAndReverseArray(const TIntArray& A, TDoubleArray& Out);

// Copies all of Src (short form) or a range of it (long form) into the existing Dst at the
// given start. Dst is never resized: a block that does not fit gives -2 and nothing is written.
int32_t CopyArray(const TBoolArray& Src, TBoolArray& Dst, int32_t DstIx);
int32_t CopyArray(const TBool2DArray& Src, TBool2DArray& Dst, int32_t DstCol, int32_t DstRow);
int32_t CopyArray(const TIntArray& Src, TIntArray& Dst, int32_t DstIx);
int32_t CopyArray(const TInt2DArray& Src, TInt2DArray& Dst, int32_t DstCol, int32_t DstRow);
int32_t CopyArray(const TInt3DArray& Src, TInt3DArray& Dst, int32_t DstCol, int32_t DstRow,
                  int32_t DstLay);
int32_t CopyArray(const TInt4DArray& Src, TInt4DArray& Dst, int32_t DstCol, int32_t DstRow,
                  int32_t DstLay, int32_t DstSlot);
int32_t CopyArray(const TDoubleArray& Src, TDoubleArray& Dst, int32_t DstIx);
int32_t CopyArray(const TDouble2DArray& Src, TDouble2DArray& Dst, int32_t DstCol, int32_t DstRow);
int32_t CopyArray(const TDouble3DArray& Src, TDouble3DArray& Dst, int32_t DstCol, int32_t DstRow,
                  int32_t DstLay);
int32_t CopyArray(const TDouble4DArray& Src, TDouble4DArray& Dst, int32_t DstCol, int32_t DstRow,
                  int32_t DstLay, int32_t DstSlot);
int32_t CopyArray(const TBoolArray& Src, int32_t Lo, int32_t Hi, TBoolArray& Dst, int32_t DstIx);
int32_t CopyArray(const TBool2DArray& Src, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                  int32_t RowHi, TBool2DArray& Dst, int32_t DstCol, int32_t DstRow);
int32_t CopyArray(const TIntArray& Src, int32_t Lo, int32_t Hi, TIntArray& Dst, int32_t DstIx);
int32_t CopyArray(const TInt2DArray& Src, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                  int32_t RowHi, TInt2DArray& Dst, int32_t DstCol, int32_t DstRow);
int32_t CopyArray(const TInt3DArray& Src, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                  int32_t ColHi, int32_t RowHi, int32_t LayHi, TInt3DArray& Dst, int32_t DstCol,
                  int32_t DstRow, int32_t DstLay);
int32_t CopyArray(const TInt4DArray& Src, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                  int32_t SlotLo, int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t SlotHi,
                  TInt4DArray& Dst, int32_t DstCol, int32_t DstRow, int32_t DstLay,
                  int32_t DstSlot);
int32_t CopyArray(const TDoubleArray& Src, int32_t Lo, int32_t Hi, TDoubleArray& Dst,
                  int32_t DstIx);
int32_t CopyArray(const TDouble2DArray& Src, int32_t ColLo, int32_t RowLo, int32_t ColHi,
                  int32_t RowHi, TDouble2DArray& Dst, int32_t DstCol, int32_t DstRow);
int32_t CopyArray(const TDouble3DArray& Src, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                  int32_t ColHi, int32_t RowHi, int32_t LayHi, TDouble3DArray& Dst, int32_t DstCol,
                  int32_t DstRow, int32_t DstLay);
int32_t CopyArray(const TDouble4DArray& Src, int32_t ColLo, int32_t RowLo, int32_t LayLo,
                  int32_t SlotLo, int32_t ColHi, int32_t RowHi, int32_t LayHi, int32_t SlotHi,
                  TDouble4DArray& Dst, int32_t DstCol, int32_t DstRow, int32_t DstLay,
                  int32_t DstSlot);

// A[Col][RowLo..RowHi] (a column) or A[ColLo..ColHi][Row] (a row) into a new 1-D array.
// -1 empty, -2 bad range, -3 bad column (row) index.
int32_t CopyArrayColumn(const TDouble2DArray& A, int32_t Col, int32_t RowLo, int32_t RowHi,
                        TDoubleArray& Out);
int32_t CopyArrayColumn(const TInt2DArray& A, int32_t Col, int32_t RowLo, int32_t RowHi,
                        TIntArray& Out);
int32_t CopyArrayColumn(const TBool2DArray& A, int32_t Col, int32_t RowLo, int32_t RowHi,
                        TBoolArray& Out);
// Row Row of A from column ColLo to ColHi into a new 1-D array Out; -3 bad row index.
int32_t CopyArrayRow(const TDouble2DArray& A, int32_t Row, int32_t ColLo, int32_t ColHi,
                     TDoubleArray& Out);
int32_t CopyArrayRow(const TInt2DArray& A, int32_t Row, int32_t ColLo, int32_t ColHi,
                     TIntArray& Out);
int32_t CopyArrayRow(const TBool2DArray& A, int32_t Row, int32_t ColLo, int32_t ColHi,
                     TBoolArray& Out);

// As above into an existing 1-D array from DstStart, shortened to what fits; bad start -4.
int32_t Copy2DColTo1DArray(const TDouble2DArray& A, int32_t Col, int32_t RowLo, int32_t RowHi,
                           TDoubleArray& Dst, int32_t DstStart);
// Row Row of A from column ColLo to ColHi into Dst from DstStart on; bad start -4.
int32_t Copy2DRowTo1DArray(const TDouble2DArray& A, int32_t Row, int32_t ColLo, int32_t ColHi,
                           TDoubleArray& Dst, int32_t DstStart);

// Src[Lo..Hi] (Lo = Hi = 0: all of Src) into column (row) K of A from Start on, stopping at the
// end of the target. -1 empty source or bad source range; -2 bad K or Start, or empty A.
int32_t CopyToArrayColumn(const TDoubleArray& Src, int32_t Lo, int32_t Hi, TDouble2DArray& A,
                          int32_t K, int32_t Start);
int32_t CopyToArrayColumn(const TIntArray& Src, int32_t Lo, int32_t Hi, TInt2DArray& A, int32_t K,
                          int32_t Start);
int32_t CopyToArrayColumn(const TBoolArray& Src, int32_t Lo, int32_t Hi, TBool2DArray& A, int32_t K,
                          int32_t Start);
// Src[Lo..Hi] (Lo = Hi = 0: all of Src) into row K of A from column Start on.
int32_t CopyToArrayRow(const TDoubleArray& Src, int32_t Lo, int32_t Hi, TDouble2DArray& A,
                       int32_t K, int32_t Start);
int32_t CopyToArrayRow(const TIntArray& Src, int32_t Lo, int32_t Hi, TInt2DArray& A, int32_t K,
                       int32_t Start);
int32_t CopyToArrayRow(const TBoolArray& Src, int32_t Lo, int32_t Hi, TBool2DArray& A, int32_t K,
                       int32_t Start);

// Withdrawn: every call raises ENUXError.
[[noreturn]] void CopyVectorToArrayColumn(const TDoubleArray& V, TDouble2DArray& A, int32_t K);
[[noreturn]] void CopyVectorToArrayColumn(const TIntArray& V, TInt2DArray& A, int32_t K);
[[noreturn]] void CopyVectorToArrayColumn(const TBoolArray& V, TBool2DArray& A, int32_t K);
// Withdrawn: every call raises ENUXError.
[[noreturn]] void CopyVectorToArrayRow(const TDoubleArray& V, TDouble2DArray& A, int32_t K);
[[noreturn]] void CopyVectorToArrayRow(const TIntArray& V, TInt2DArray& A, int32_t K);
[[noreturn]] void CopyVectorToArrayRow(const TBoolArray& V, TBool2DArray& A, int32_t K);

// In place: absolute values (the integer minimum saturates to the maximum).
int32_t AbsValArray(TIntArray& A);
int32_t AbsValArray(TInt2DArray& A);
int32_t AbsValArray(TInt3DArray& A);
int32_t AbsValArray(TInt4DArray& A);
int32_t AbsValArray(TDoubleArray& A);
int32_t AbsValArray(TDouble2DArray& A);
int32_t AbsValArray(TDouble3DArray& A);
int32_t AbsValArray(TDouble4DArray& A);

// In place: x -> 1/x, with ValueForZero for elements equal to 0.
int32_t ReciprocalArray(TDoubleArray& A, double ValueForZero);
int32_t ReciprocalArray(TDouble2DArray& A, double ValueForZero);
int32_t ReciprocalArray(TDouble3DArray& A, double ValueForZero);
int32_t ReciprocalArray(TDouble4DArray& A, double ValueForZero);

// In place: logical not.
int32_t InvertArray(TBoolArray& A);
int32_t InvertArray(TBool2DArray& A);

// In place: Value added to every element.
int32_t IncArray(TIntArray& A, int32_t Value);
int32_t IncArray(TInt2DArray& A, int32_t Value);
int32_t IncArray(TInt3DArray& A, int32_t Value);
int32_t IncArray(TInt4DArray& A, int32_t Value);
int32_t IncArray(TDoubleArray& A, double Value);
int32_t IncArray(TDouble2DArray& A, double Value);
int32_t IncArray(TDouble3DArray& A, double Value);
int32_t IncArray(TDouble4DArray& A, double Value);

// Out = A + Value.
int32_t AddScalarToArray(const TIntArray& A, int32_t Value, TIntArray& Out);
int32_t AddScalarToArray(const TInt2DArray& A, int32_t Value, TInt2DArray& Out);
int32_t AddScalarToArray(const TInt3DArray& A, int32_t Value, TInt3DArray& Out);
int32_t AddScalarToArray(const TInt4DArray& A, int32_t Value, TInt4DArray& Out);
int32_t AddScalarToArray(const TDoubleArray& A, double Value, TDoubleArray& Out);
int32_t AddScalarToArray(const TDouble2DArray& A, double Value, TDouble2DArray& Out);
int32_t AddScalarToArray(const TDouble3DArray& A, double Value, TDouble3DArray& Out);
int32_t AddScalarToArray(const TDouble4DArray& A, double Value, TDouble4DArray& Out);

// Every element multiplied by Factor, in place or into Out.
int32_t MultiplyArrayByScalar(TIntArray& A, int32_t Factor);
int32_t MultiplyArrayByScalar(TInt2DArray& A, int32_t Factor);
int32_t MultiplyArrayByScalar(TInt3DArray& A, int32_t Factor);
int32_t MultiplyArrayByScalar(TInt4DArray& A, int32_t Factor);
int32_t MultiplyArrayByScalar(TDoubleArray& A, double Factor);
int32_t MultiplyArrayByScalar(TDouble2DArray& A, double Factor);
int32_t MultiplyArrayByScalar(TDouble3DArray& A, double Factor);
int32_t MultiplyArrayByScalar(TDouble4DArray& A, double Factor);
int32_t MultiplyArrayByScalar(const TIntArray& A, int32_t Factor, TIntArray& Out);
int32_t MultiplyArrayByScalar(const TInt2DArray& A, int32_t Factor, TInt2DArray& Out);
int32_t MultiplyArrayByScalar(const TInt3DArray& A, int32_t Factor, TInt3DArray& Out);
int32_t MultiplyArrayByScalar(const TInt4DArray& A, int32_t Factor, TInt4DArray& Out);
int32_t MultiplyArrayByScalar(const TDoubleArray& A, double Factor, TDoubleArray& Out);
int32_t MultiplyArrayByScalar(const TDouble2DArray& A, double Factor, TDouble2DArray& Out);
int32_t MultiplyArrayByScalar(const TDouble3DArray& A, double Factor, TDouble3DArray& Out);
int32_t MultiplyArrayByScalar(const TDouble4DArray& A, double Factor, TDouble4DArray& Out);

// Element-wise A + B, A - B, A * B of equal shapes into Out; -2 when the shapes differ.
int32_t AddArrays(const TIntArray& A, const TIntArray& B, TIntArray& Out);
int32_t AddArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& Out);
int32_t AddArrays(const TInt3DArray& A, const TInt3DArray& B, TInt3DArray& Out);
int32_t AddArrays(const TInt4DArray& A, const TInt4DArray& B, TInt4DArray& Out);
int32_t AddArrays(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& Out);
int32_t AddArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& Out);
int32_t AddArrays(const TDouble3DArray& A, const TDouble3DArray& B, TDouble3DArray& Out);
int32_t AddArrays(const TDouble4DArray& A, const TDouble4DArray& B, TDouble4DArray& Out);
// Element-wise A - B of equal shapes into Out; -2 when the shapes differ.
int32_t SubtractArrays(const TIntArray& A, const TIntArray& B, TIntArray& Out);
int32_t SubtractArrays(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& Out);
int32_t SubtractArrays(const TInt3DArray& A, const TInt3DArray& B, TInt3DArray& Out);
int32_t SubtractArrays(const TInt4DArray& A, const TInt4DArray& B, TInt4DArray& Out);
int32_t SubtractArrays(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& Out);
int32_t SubtractArrays(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& Out);
int32_t SubtractArrays(const TDouble3DArray& A, const TDouble3DArray& B, TDouble3DArray& Out);
int32_t SubtractArrays(const TDouble4DArray& A, const TDouble4DArray& B, TDouble4DArray& Out);
// Element-wise A * B of equal shapes into Out; -2 when the shapes differ.
int32_t MultiplyArraysElemw(const TIntArray& A, const TIntArray& B, TIntArray& Out);
int32_t MultiplyArraysElemw(const TInt2DArray& A, const TInt2DArray& B, TInt2DArray& Out);
int32_t MultiplyArraysElemw(const TDoubleArray& A, const TDoubleArray& B, TDoubleArray& Out);
int32_t MultiplyArraysElemw(const TDouble2DArray& A, const TDouble2DArray& B, TDouble2DArray& Out);

// False elements become FalseValue, true ones TrueValue.
int32_t BoolToNumArray(const TBoolArray& A, int32_t FalseValue, int32_t TrueValue, TIntArray& Out);
int32_t BoolToNumArray(const TBool2DArray& A, int32_t FalseValue, int32_t TrueValue,
                       TInt2DArray& Out);
int32_t BoolToNumArray(const TBoolArray& A, double FalseValue, double TrueValue, TDoubleArray& Out);
int32_t BoolToNumArray(const TBool2DArray& A, double FalseValue, double TrueValue,
                       TDouble2DArray& Out);

// True where the element exceeds Threshold, or (two bounds, swapped if reversed) where
// Low <= element <= High.
int32_t DichotomizeArray(const TDouble2DArray& A, double Threshold, TBool2DArray& Out);
int32_t DichotomizeArray(const TDouble2DArray& A, double Low, double High, TBool2DArray& Out);
int32_t DichotomizeArray(const TInt2DArray& A, int32_t Threshold, TBool2DArray& Out);
int32_t DichotomizeArray(const TInt2DArray& A, int32_t Low, int32_t High, TBool2DArray& Out);
int32_t DichotomizeArray(const TIntArray& A, int32_t Threshold, TBoolArray& Out);
int32_t DichotomizeArray(const TIntArray& A, int32_t Low, int32_t High, TBoolArray& Out);

// Maps every element to one of Levels values between LowValue and HighValue; -1 for fewer
// than 3 levels (or an empty array), -2 unless Low < High.
int32_t DiscretizeArray(TDouble2DArray& A, int32_t Levels, double Low, double High, double LowValue,
                        double HighValue);

// In place: replaced by the transpose.
int32_t TransposeArray(TDouble2DArray& A);
int32_t TransposeArray(TInt2DArray& A);
int32_t TransposeArray(TBool2DArray& A);

// Reverses the order along dimension Dim (1 = first index); Dim outside 1..rank gives -2.
int32_t FlipDimArray(TIntArray& A, int32_t Dim);
int32_t FlipDimArray(TInt2DArray& A, int32_t Dim);
int32_t FlipDimArray(TInt3DArray& A, int32_t Dim);
int32_t FlipDimArray(TInt4DArray& A, int32_t Dim);
int32_t FlipDimArray(TDoubleArray& A, int32_t Dim);
int32_t FlipDimArray(TDouble2DArray& A, int32_t Dim);
int32_t FlipDimArray(TDouble3DArray& A, int32_t Dim);
int32_t FlipDimArray(TDouble4DArray& A, int32_t Dim);

// Removes one column (first index) or row (second index); false and unchanged when out of
// range (or when the array is empty or ragged).
bool RemoveColumn(TInt2DArray& A, int32_t Col);
bool RemoveColumn(TDouble2DArray& A, int32_t Col);
// Removes row Row (second index); false and unchanged when out of range, empty or ragged.
bool RemoveRow(TInt2DArray& A, int32_t Row);
bool RemoveRow(TDouble2DArray& A, int32_t Row);

// Flattens into Out: ColumnOrder false puts [col][row] at col + cols*row, true at
// row + rows*col. An empty array leaves Out unchanged and gives -1.
int32_t SerializeArray(const TDouble2DArray& A, bool ColumnOrder, TDoubleArray& Out);
int32_t SerializeArray(const TInt2DArray& A, bool ColumnOrder, TIntArray& Out);

// Sets the elements whose mask cell is false (all, for an empty mask); returns how many.
// -2 empty data, -1 mask of another shape.
int32_t FillArrayMasked(TDouble2DArray& A, double Value, const TBool2DArray& Mask);
int32_t FillArrayMasked(TInt2DArray& A, int32_t Value, const TBool2DArray& Mask);

// Same extents and equal elements.
bool EqualArrays(const TIntArray& A, const TIntArray& B);
bool EqualArrays(const TInt2DArray& A, const TInt2DArray& B);
bool EqualArrays(const TInt3DArray& A, const TInt3DArray& B);
bool EqualArrays(const TInt4DArray& A, const TInt4DArray& B);

// Divides every column (row) by its Euclidean norm; a zero column is left and gives -1 after
// the others are done.
int32_t NormalizeColumns(TDouble2DArray& A);
// Divides every row by its Euclidean norm; a zero row is left and gives -1.
int32_t NormalizeRows(TDouble2DArray& A);

// Subtracts from every column (row) its mean; a non-empty Means receives the means.
int32_t MeanCenterColumnsOfArray(TDouble2DArray& A, TDoubleArray& Means);
// Subtracts from every row its mean; a non-empty Means receives the row means.
int32_t MeanCenterRowsOfArray(TDouble2DArray& A, TDoubleArray& Means);

}  // namespace nux
