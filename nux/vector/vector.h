// Unit vector: TVector (doubles) and TIntVector (32-bit integers).
#pragma once

#include <memory>
#include <string>

#include "nux/host/streams.h"
#include "nux/vector/vector_base.h"

namespace nux {

// Integration rules of Integrate: mean of the samples times the width, trapezoids, Simpson
// (Newton-Cotes for short runs).
enum TIntegMethod : int32_t { imSimple, imTrapezoidal, imSimpson };

class TIntVector;

// A vector of doubles, elements 1..N; the shared members are those of TVectorBase.
class TVector : public TVectorBase<double, TVector> {
 public:
  // A vector of one element 0, marked empty.
  explicit TVector(TComponent* AOwner = nullptr) : TVectorBase(AOwner) {}
  /// A vector of NE zeros (NE >= 1, else ENUXVectorError).
  explicit TVector(int32_t NE, TComponent* AOwner = nullptr) : TVectorBase(AOwner) { InitSize(NE); }
  /// A vector holding a copy of Values (at least one, else ENUXVectorError).
  explicit TVector(std::span<const double> Values, TComponent* AOwner = nullptr)
      : TVectorBase(AOwner) {
    SetValues(Values);
  }

  // NrOfElem's setter: resizes only for NE > 0 and NE != N.
  void SetVecSize(int32_t NE);
  // Scales the elements to Euclidean length L; nothing happens when the length is 0 or NaN.
  void SetVecLeng(double L);

  // Fills with uniform deviates between RangeLow and RangeHigh (process-wide generator).
  void FillRandomUniform(double RangeLow, double RangeHigh);
  // Fills with normal deviates of mean Mean and standard deviation StdDev.
  void FillRandomGauss(double Mean, double StdDev);

  // Normalisations: these change the elements but fire no event.
  void Standardize(double& Mean, double& StdDev);
  // Subtracts the mean from every element; returns the mean.
  double MeanCenter();
  // x := (x - median) / |median - percentile RefQuant|, unchanged when that spread is 0 or NaN.
  void QNormalize(double RefQuant, double& Median, double& QuantDiff);

  // Area under the samples, element k at abscissa k. A NaN bound gives NaN.
  double Integrate(double BoundLow, double BoundHigh, TIntegMethod Method) const;

  // Counts the elements FirstElem..LastElem (not clipped: indices outside 1..N read as 0) into
  // bins of BinWidth from FirstBin. False, with nothing touched, for more than 500 bins,
  // BinWidth <= 0 or a non-finite bound. NaN elements are counted nowhere; counts saturate at
  // 2^31 - 1.
  bool Histogram(int32_t FirstElem, int32_t LastElem, double FirstBin, double LastBin,
                 double BinWidth, TIntArray& Histo, int32_t& Underflow, int32_t& Overflow,
                 int32_t& MaxCnt) const;
  bool Histogram(int32_t FirstElem, int32_t LastElem, double FirstBin, double LastBin,
                 double BinWidth, TIntVector& Histo, int32_t& Underflow, int32_t& Overflow,
                 int32_t& MaxCnt) const;

  // Files and streams; the layouts and result codes are in docs/text-formats.md.
  /// Writes the ASC form, values by strff with width 12 and Precision decimals: 0, or -1 when
  /// the file cannot be written (an existing file is then left as it was).
  int32_t ExportAsASC(const std::string& FName, int32_t Precision,
                      const std::string& Comment) const;
  /// Reads an ASC file of one column (TASCResult); on a failure the values read so far stay.
  int32_t ImportASC(const std::string& FName, std::string& Comment);
  /// Writes the clipped range's indices and elements; a missing OutStream is created.
  void SaveToStream(std::unique_ptr<TMemoryStream>& OutStream, int32_t LowElem,
                    int32_t HighElem) const;
  /// Writes the clipped range's indices and elements at the stream's position.
  void SaveToStream(TStream& OutStream, int32_t LowElem, int32_t HighElem) const;
  /// Reads what SaveToStream wrote; false for a missing stream, a failed read or a short vector.
  bool LoadFromStream(TStream* InStream, bool AdjustVectorSize);
  /// Writes the text list form; false when the file cannot be written.
  bool StoreOnFile(int32_t FirstElem, int32_t LastElem, int32_t Precision,
                   const std::string& FileName) const;
  /// Reads the text list form, or with AutoDetect a plain list of numbers without header.
  bool LoadFromFile(const std::string& FileName, bool AdjustVectorSize, bool AutoDetect = false);
};

// A vector of 32-bit integers, elements 1..N; sums and products wrap around on overflow.
class TIntVector : public TVectorBase<int32_t, TIntVector> {
 public:
  // A vector of one element 0, marked empty.
  explicit TIntVector(TComponent* AOwner = nullptr) : TVectorBase(AOwner) {}
  /// A vector of NE zeros (NE >= 1, else ENUXVectorError).
  explicit TIntVector(int32_t NE, TComponent* AOwner = nullptr) : TVectorBase(AOwner) {
    InitSize(NE);
  }
  /// A vector holding a copy of Values (at least one, else ENUXVectorError).
  explicit TIntVector(std::span<const int32_t> Values, TComponent* AOwner = nullptr)
      : TVectorBase(AOwner) {
    SetValues(Values);
  }

  // NrOfElem's setter: resizes only for NE > 0 and NE != N.
  void SetIntVecSize(int32_t NE);

  // Integer bins: BinWidth < 1 counts as 1; bins = |LastBin - FirstBin| div BinWidth + 1;
  // more than 500 bins raise ENUXVectorError ("Name.Histogram": invalid number of bins).
  bool Histogram(int32_t FirstElem, int32_t LastElem, int32_t FirstBin, int32_t LastBin,
                 int32_t BinWidth, TIntArray& Histo, int32_t& Underflow, int32_t& Overflow,
                 int32_t& MaxCnt) const;
  bool Histogram(int32_t FirstElem, int32_t LastElem, int32_t FirstBin, int32_t LastBin,
                 int32_t BinWidth, TIntVector& Histo, int32_t& Underflow, int32_t& Overflow,
                 int32_t& MaxCnt) const;

  // Files and streams; the layouts and result codes are in docs/text-formats.md.
  /// Writes the ASC form, values in decimal: 0, or -1 when the file cannot be written.
  int32_t ExportAsASC(const std::string& FName, const std::string& Comment) const;
  /// Reads an ASC file of one column (TASCResult); values outside the 32-bit range give -6.
  int32_t ImportASC(const std::string& FName, std::string& Comment);
  /// Writes the clipped range's indices and elements; a missing OutStream is created.
  void SaveToStream(std::unique_ptr<TMemoryStream>& OutStream, int32_t LowElem,
                    int32_t HighElem) const;
  /// Writes the clipped range's indices and elements at the stream's position.
  void SaveToStream(TStream& OutStream, int32_t LowElem, int32_t HighElem) const;
  /// Reads what SaveToStream wrote; false for a missing stream, a failed read or a short vector.
  bool LoadFromStream(TStream* InStream, bool AdjustVectorSize);
  /// Writes the text list form of FirstElem..LastElem; false when the file cannot be written.
  bool StoreOnFile(int32_t FirstElem, int32_t LastElem, const std::string& FileName) const;
  /// Reads the text list form (numbers rounded, halves to even; out of range ones skipped).
  bool LoadFromFile(const std::string& FileName, bool AdjustVectorSize);
};

extern template class TVectorBase<double, TVector>;
extern template class TVectorBase<int32_t, TIntVector>;

}  // namespace nux
