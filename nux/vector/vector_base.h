// What TVector and TIntVector share: storage, sizing, element access, filling, copying,
// reordering, sorting, fingerprints and the statistics whose rules are the same for both.
// Indices are 1-based (1..NrOfElem); dynamic arrays keep their 0-based positions.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "nux/frame/access.h"
#include "nux/frame/container.h"
#include "nux/frame/errors.h"
#include "nux/frame/types.h"

namespace nux {

template <class T, class Derived>
// Members shared by TVector (T double) and TIntVector (T int32_t); Derived is the vector class.
class TVectorBase : public TNuxContainer, public TSortExchangeSupport<Derived> {
 public:
  // The element type.
  using TElem = T;
  // A dynamic array of elements, 0-based.
  using TArray = std::vector<T>;
  // A two-dimensional array of elements, indexed [column][row], 0-based.
  using T2DArray = std::vector<TArray>;

  // A vector of one element 0, marked empty.
  explicit TVectorBase(TComponent* AOwner = nullptr);

  // Size and access.
  int32_t NrOfElem() const { return static_cast<int32_t>(FVec.size()); }
  // True until a value is stored, and again after Clear; the vector still has its elements.
  bool IsEmpty() const { return FIsEmpty; }
  // Sets the empty mark; the elements stay as they are.
  void SetIsEmpty(bool Value) { FIsEmpty = Value; }
  // NE = N: true, nothing happens; NE <= 0: false; otherwise resizes (new elements 0),
  // fires OnChange then OnResize. Allocation failure: ENUXVectorError, vector unchanged.
  bool Resize(int32_t NE);
  // Element Elem (1-based); 0 outside 1..N.
  T GetVal(int32_t Elem) const {
    return (Elem >= 1 && Elem <= NrOfElem()) ? FVec[static_cast<size_t>(Elem - 1)] : T{};
  }
  // Element Index (1-based); 0 outside 1..N.
  T Elem(int32_t Index) const { return GetVal(Index); }
  // Stores Value at Elem (1-based) and fires OnChange; an index outside 1..N is ignored.
  void SetVal(int32_t Elem, T Value);
  // Clips LowElem..HighElem to 1..N ((0, 0): all); true when a bound had to be moved.
  bool MakeValidElemRange(int32_t& LowElem, int32_t& HighElem) const {
    return MakeValidIndexRange(LowElem, HighElem, NrOfElem());
  }
  // Direct read access to the storage (element k at position k-1).
  const TArray& Data() const { return FVec; }

  /// Element Index (1-based) to read or assign; assignments go through SetVal, so OnChange
  /// fires and an index outside 1..N is ignored, unless SetIndexChecking(true) is on: then
  /// such an index raises ENUXVectorError naming it and the size.
  TElemRef<Derived, T, 1> operator()(int32_t Index) {
    CheckIndex<ENUXVectorError>(*this, "element", Index, NrOfElem());
    return TElemRef<Derived, T, 1>(static_cast<Derived&>(*this), {Index});
  }
  /// Element Index (1-based); 0 outside 1..N (or ENUXVectorError with the index check on).
  T operator()(int32_t Index) const {
    CheckIndex<ENUXVectorError>(*this, "element", Index, NrOfElem());
    return GetVal(Index);
  }
  /// A copy of the elements (element k at position k-1).
  std::vector<T> ToStdVector() const { return FVec; }
  /// A read-only view of the elements, valid until the vector is resized or destroyed.
  std::span<const T> Span() const { return FVec; }
  /// Replaces the elements by a copy of Values, resizing: OnChange, then OnResize when the
  /// size changed. An empty Values raises ENUXVectorError (a vector has at least one element).
  void SetValues(std::span<const T> Values) {
    if (Values.empty() || Values.size() > static_cast<size_t>(INT32_MAX))
      RaiseComponentError<ENUXVectorError>(*this, "SetValues", "invalid number of values");
    TArray New = GuardAlloc<ENUXVectorError>(*this, msgNoMemory,
                                             [&] { return TArray(Values.begin(), Values.end()); });
    const bool SizeChanged = New.size() != FVec.size();
    FVec.swap(New);
    FIsEmpty = false;
    Changed();
    if (SizeChanged) Resized();
  }

  // Filling; each ends with one OnChange.
  void Fill(T Value);
  // Element k becomes Offset + (k - 1) * Diff, formed by repeated addition.
  void FillSerial(T Offset, T Diff);
  // Sets every element to 0 and marks the vector empty.
  void Clear();
  // Replaces each element by its magnitude (the most negative integer stays as it is).
  void AbsVal();

  // Copying into the vector, element by element through SetVal (targets outside 1..N are
  // dropped), then one more OnChange. Results: 0, or -1 (no source), -2 (source bound outside
  // the source), -3 (DestElem outside 1..N).
  int32_t CopyFrom(const Derived* Src, int32_t SrcElemLo, int32_t SrcElemHi, int32_t DestElem);
  int32_t CopyFrom(const TArray& Src, int32_t SrcElemLo, int32_t SrcElemHi, int32_t DestElem);
  // A 2-D source that is empty, column-less or ragged copies nothing (these have no result).
  void CopyFrom2DArrayRow(const T2DArray& SrcArray, int32_t Row, int32_t FirstCol, int32_t LastCol,
                          int32_t DestElem);
  // Copies rows FirstRow..LastRow (0-based, clipped) of column Col to DestElem onwards.
  void CopyFrom2DArrayColumn(const T2DArray& SrcArray, int32_t Col, int32_t FirstRow,
                             int32_t LastRow, int32_t DestElem);
  // Takes over Source's size and elements (through SetVal); nullptr does nothing.
  void Clone(const Derived* Source);
  // From a vector of the same type: its elements, empty mark and handlers, firing no event.
  void Assign(const TPersistent* Source) override;
  // Copies into a vector of the same type; other targets raise EConvertError.
  void AssignTo(TPersistent* Dest) const override;

  // Copying out of the vector (no events). The 1-D form sets the array's length to
  // DestElem + count; a length beyond 2^31 - 1 raises ENUXVectorError and leaves it unchanged.
  // The 2-D form writes nothing into an empty or ragged array.
  void CopyToArray(TArray& DestArray, int32_t LowElem, int32_t HighElem, int32_t DestElem) const;
  void CopyToArray(T2DArray& DestArray, int32_t LowElem, int32_t HighElem, int32_t DestCol,
                   int32_t DestRow, bool AsColumn) const;

  // Reordering.
  void Mirror();
  // N exchanges of two uniformly drawn positions, from the process-wide generator (never
  // reseeded here). Fires no event.
  void ShuffleElems();
  // Comb sort of RangeFirst..RangeLast (clipped; 0, 0: all); exchanges fire OnSortExchange.
  void SortElems(bool Ascending, int32_t RangeFirst, int32_t RangeLast);

  // Shape and length.
  bool IsDichotomous(T& Value1, T& Value2) const;
  // Euclidean length, scaled so that the squares neither overflow nor underflow.
  double CalcVecLeng() const;
  // Euclidean length (CalcVecLeng).
  double Leng() const { return CalcVecLeng(); }
  // The data fingerprint of the elements, 8 hex digits per byte of an element.
  std::string CRCofData() const;

  // Statistics over a range (clipped; 0, 0 is the whole vector).
  T Sum(int32_t LowElem, int32_t HighElem) const;
  // Mean and sample variance (divisor n - 1; 1.0 for fewer than 3 values).
  void MeanVar(int32_t LowElem, int32_t HighElem, double& Mean, double& Variance) const;
  // Smallest and largest value of the range (the first occurrence wins). NaNs are passed
  // over; a range of NaNs only gives +inf and -inf with indices 0.
  void MinMax(int32_t LowElem, int32_t HighElem, T& Minimum, T& Maximum) const;
  void MinMax(int32_t LowElem, int32_t HighElem, T& Minimum, T& Maximum, int32_t& MinIx,
              int32_t& MaxIx) const;
  // Geometric mean; 0 when an element is 0; a negative element raises ENUXVectorError.
  double GeometricMean(int32_t LowElem, int32_t HighElem) const;
  // Harmonic mean; an element <= 0 raises ENUXVectorError.
  double HarmonicMean(int32_t LowElem, int32_t HighElem) const;
  // Skewness and excess kurtosis over s = sqrt(S2/(n - 1)); 0, 0 for n < 4 or no spread;
  // NaN, NaN when an element is NaN or infinite.
  void SkewKurt(int32_t LowElem, int32_t HighElem, double& Skewness, double& Kurtosis) const;
  // SkewKurt with the small-sample corrections; 0, 0 for n < 4 or no spread; NaN, NaN when an
  // element is NaN or infinite.
  void SkewKurtSample(int32_t LowElem, int32_t HighElem, double& Skewness, double& Kurtosis) const;
  // The most frequent value; on a tie the smallest of them. Mode, Quartiles and Percentile
  // leave NaN elements out; a range of NaNs only gives NaN from Mode and Percentile, and false
  // with Q1 = Q2 = Q3 = 0 from Quartiles.
  T Mode(int32_t LowElem, int32_t HighElem) const;
  // Lower quartile, median and upper quartile at positions (n + 1) p, interpolated.
  bool Quartiles(int32_t LowElem, int32_t HighElem, double& Q1, double& Q2, double& Q3) const;
  // Percentile Prob (0..100, clipped; NaN as 0), interpolated at position (n - 1) Prob / 100.
  double Percentile(double Prob, int32_t LowElem, int32_t HighElem) const;

  // Comparison with a second vector.
  T DotProduct(const Derived* OtherVec) const;
  // Euclidean distance; 0 for nullptr, different sizes raise ENUXVectorError.
  double EuclideanDistance(const Derived* OtherVec) const;
  // Pearson correlation; 0 for nullptr, different sizes, fewer than 2 elements or no spread.
  double PearsonCorrCoeff(const Derived* OtherVec) const;
  // Sum of this[i] * OtherVec[i - ElemShift] over the overlap; 0 when it has fewer than 2 pairs.
  T Correlate(const Derived* OtherVec, int32_t ElemShift) const;

  // Element-wise arithmetic; each fires OnChange.
  void Add(const Derived* OtherVec);
  // Subtracts OtherVec element by element; different sizes raise ENUXVectorError.
  void Subtract(const Derived* OtherVec);
  // Multiplies every element by Scalar.
  void SMult(T Scalar);

  // Searches; results are 1-based indices, 0 for none.
  int32_t Find(int32_t LowElem, int32_t HighElem, T Value) const;
  // The first element in the range equal to Value.
  int32_t FindExact(int32_t LowElem, int32_t HighElem, T Value) const;
  // Binary search in a sorted vector: Value's index, else that of the nearer neighbour.
  int32_t FindInSortedVector(bool Ascending, T Value) const;

 protected:
  // The elements of a clipped range, sorted ascending by the library's comb sort.
  TArray SortedRange(int32_t LowElem, int32_t HighElem) const;
  // The moments behind SkewKurt; false (both 0) for n < 4 or no spread.
  bool SkewKurtMoments(int32_t LowElem, int32_t HighElem, double& Skewness, double& Kurtosis) const;
  // Raises ENUXVectorError unless OtherVec has as many elements as this vector.
  void RequireSameSize(const Derived& OtherVec) const;
  // For the convenience constructors: NE elements of 0 (NE >= 1).
  void InitSize(int32_t NE) {
    if (NE < 1)
      RaiseComponentError<ENUXVectorError>(*this,
                                           "size " + std::to_string(NE) + " is not positive");
    Resize(NE);
  }

  // The elements; element k at position k - 1.
  TArray FVec;
  // The empty mark (IsEmpty).
  bool FIsEmpty = true;
};

}  // namespace nux
