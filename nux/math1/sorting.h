// Sorting, ordered insertion and selection on memory owned by the caller, and small exchange
// helpers. Typed forms take a span (0-based positions); the untyped forms take a pointer, a count
// or last position (1-based) and the element kind.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "nux/frame/types.h"

namespace nux {

// Comb sort in place. Comparisons are strict, so equal elements keep no particular order and a
// NaN never compares (it stays where the exchanges of the other elements leave it). Adds 1 to
// ProcStat after each pass and reports it through MathFeedBackProc.
void SortArray(std::span<double> Data, bool Ascending);
void SortArray(std::span<float> Data, bool Ascending);
void SortArray(std::span<int32_t> Data, bool Ascending);
// The same over NumElem elements of the given kind (double, single or 32-bit integer); other
// kinds, a null pointer or fewer than 2 elements do nothing.
void SortArray(void* Data, int32_t NumElem, TVarKind Kind, bool Ascending);

// Inserts Value at its place in an ordered array of fixed length; the last element drops out.
// Returns the 0-based position, or -1 when Value is beyond every element or is a duplicate not
// allowed. An allowed duplicate goes in front of the equal elements.
int32_t SortIntoArray(std::span<double> Data, double Value, bool Ascending, bool AllowDuplicates);
int32_t SortIntoArray(std::span<float> Data, float Value, bool Ascending, bool AllowDuplicates);
int32_t SortIntoArray(std::span<int32_t> Data, int32_t Value, bool Ascending, bool AllowDuplicates);
// The same over positions 1..LastIx; *ValuePtr is of the given kind. Returns the 1-based
// position, 0 when the value was not put in (also for a bad kind or a null pointer).
int32_t SortIntoArray(void* Data, int32_t LastIx, TVarKind Kind, const void* ValuePtr,
                      bool Ascending, bool AllowDuplicates);

// Puts Value at 0-based Index, shifting the later elements up; the last one is lost. An index
// outside the array does nothing.
void InsertIntoArray(std::span<double> Data, double Value, int32_t Index);
void InsertIntoArray(std::span<float> Data, float Value, int32_t Index);
void InsertIntoArray(std::span<int32_t> Data, int32_t Value, int32_t Index);
// The same over positions 1..LastIx with a 1-based Index.
void InsertIntoArray(void* Data, int32_t LastIx, TVarKind Kind, const void* ValuePtr,
                     int32_t Index);

// The value that would stand at 0-based position K if Data[LowIx..HighIx] were sorted
// ascending; reorders that range. The range is clipped to the array; an empty range gives 0.
// K below LowIx selects the smallest value of the range, K above HighIx the largest.
double QuickSelect(std::span<double> Data, int32_t K, int32_t LowIx, int32_t HighIx);
// The same for data in which FreqValue is frequent: only the other values are copied and
// searched, and Data is left untouched. NaN elements count as different from FreqValue.
double QuickSelect(std::span<const double> Data, int32_t K, int32_t LowIx, int32_t HighIx,
                   double FreqValue);

// Bin floor((Value - Origin) / BinWidth) and the rest Value - (Origin + bin * BinWidth). A bin
// beyond the 32-bit range is saturated; an undefined one (NaN, zero width) is 0.
int32_t HistoBinRef(double Value, double Origin, double BinWidth, double& Residual);

// Puts A and B in order; true when they were exchanged. Ascending exchanges unless B > A (so
// equal values count as exchanged), descending exchanges if B > A.
bool SortSwap(double& A, double& B, bool Ascending);
bool SortSwap(float& A, float& B, bool Ascending);
bool SortSwap(int32_t& A, int32_t& B, bool Ascending);
bool SortSwap(int64_t& A, int64_t& B, bool Ascending);

// Exchanges the values of A and B.
void ExChange(int32_t& A, int32_t& B);
void ExChange(uint32_t& A, uint32_t& B);
void ExChange(int64_t& A, int64_t& B);
void ExChange(uint8_t& A, uint8_t& B);
void ExChange(int8_t& A, int8_t& B);
void ExChange(uint16_t& A, uint16_t& B);
void ExChange(bool& A, bool& B);
void ExChange(char16_t& A, char16_t& B);
void ExChange(float& A, float& B);
void ExChange(double& A, double& B);
void ExChange(long double& A, long double& B);
void ExChange(std::string& A, std::string& B);
// Exchanges Len bytes between two blocks, byte by byte; null pointers do nothing.
void ExChange(void* P1, void* P2, uint16_t Len);

}  // namespace nux
