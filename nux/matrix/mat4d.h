// TMat4D: a dense four-dimensional array of doubles indexed by column, row, layer and time slot
// (1-based), the column varying fastest in storage (Data()[t-1][z-1][y-1][x-1]).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "nux/frame/access.h"
#include "nux/frame/container.h"
#include "nux/frame/errors.h"
#include "nux/frame/types.h"
#include "nux/frame/xmlio.h"
#include "nux/matrix/binfile.h"
#include "nux/matrix/matxml.h"

namespace nux {

class TMatrix;
class TMat3D;
class TVector;
class TMat4D;

// Called for each element read from a file: Sender, column, row, layer, time slot, value.
using TOnReadMat4DElementEvent = std::function<void(TObject* Sender, int32_t Ix, int32_t Iy,
                                                    int32_t Il, int32_t It, double Value)>;

// Time slots of layers of equally sized matrices of doubles; all four counts at least 1.
class TMat4D : public TNuxContainer, public TPercentDoneSupport<TMat4D> {
 public:
  // A 1 x 1 x 1 x 1 array holding 0.
  explicit TMat4D(TComponent* AOwner = nullptr);
  // An Nc x Nr x Nl x Nt array of zeros (all >= 1, else ENUXMatrixError).
  TMat4D(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt, TComponent* AOwner = nullptr);

  // Fired for each element a reader takes from a file.
  TOnReadMat4DElementEvent OnReadElement;

  // Number of columns.
  int32_t NrOfColumns() const { return FNumX; }
  // Number of rows.
  int32_t NrOfRows() const { return FNumY; }
  // Number of layers.
  int32_t NrOfLayers() const { return FNumZ; }
  // Number of time slots.
  int32_t NrOfTimeSlots() const { return FNumT; }
  // Resizes to Nc columns, the other counts unchanged; below 1 nothing changes.
  void SetNrOfColumns(int32_t Nc) { Resize(Nc, FNumY, FNumZ, FNumT); }
  // Resizes to Nr rows; below 1 nothing changes.
  void SetNrOfRows(int32_t Nr) { Resize(FNumX, Nr, FNumZ, FNumT); }
  // Resizes to Nl layers; below 1 nothing changes.
  void SetNrOfLayers(int32_t Nl) { Resize(FNumX, FNumY, Nl, FNumT); }
  // Resizes to Nt time slots; below 1 nothing changes.
  void SetNrOfTimeSlots(int32_t Nt) { Resize(FNumX, FNumY, FNumZ, Nt); }
  // A free identifier of the data; empty at first.
  const std::string& DataID() const { return FDataID; }
  // Sets DataID.
  void SetDataID(const std::string& Value) { FDataID = Value; }
  // Read access to the storage, [time slot][layer][row][column].
  const TDouble4DArray& Data() const { return Mat; }

  // All counts positive and not all as they are: common elements keep their values, new ones
  // are 0; OnChange, then OnResize; true. Otherwise false. A size whose element count exceeds
  // 64 bits or the machine's memory, or exhausted memory: ENUXMatrixError "not enough memory on
  // heap", array unchanged.
  bool Resize(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt);
  // Resize, and when that returned true every element becomes 0.
  bool ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt);
  // Element (Nx, Ny, Nz, Nt); 0 when an index is outside the array.
  double GetVal(int32_t Nx, int32_t Ny, int32_t Nz, int32_t Nt) const {
    return Inside(Nx, Ny, Nz, Nt) ? At(Nx - 1, Ny - 1, Nz - 1, Nt - 1) : 0.0;
  }
  // Element (Nx, Ny, Nz, Nt) (GetVal).
  double Elem(int32_t Nx, int32_t Ny, int32_t Nz, int32_t Nt) const {
    return GetVal(Nx, Ny, Nz, Nt);
  }
  // Stores Value and fires OnChange; ignored outside the array.
  void SetVal(int32_t Nx, int32_t Ny, int32_t Nz, int32_t Nt, double Value);

  // Range clipping as in TMatrix ((0, 0): the whole dimension); true when a bound was clipped.
  bool MakeValidColRange(int32_t& Low, int32_t& High) const {
    return MakeValidIndexRange(Low, High, FNumX);
  }
  // The row form also reports a mere exchange of reversed bounds.
  bool MakeValidRowRange(int32_t& Low, int32_t& High) const {
    return MakeValidRowIndexRange(Low, High, FNumY);
  }
  // Clips a layer range; true when a bound was clipped.
  bool MakeValidLayerRange(int32_t& Low, int32_t& High) const {
    return MakeValidIndexRange(Low, High, FNumZ);
  }
  // Clips a time-slot range; true when a bound was clipped.
  bool MakeValidTSlotRange(int32_t& Low, int32_t& High) const {
    return MakeValidIndexRange(Low, High, FNumT);
  }

  // Zero-based address ((iy-1) columns + ix-1) layers + il-1 inside a time slot; -2 when
  // columns x rows x layers exceeds 2147483647, -1 for an index outside.
  int32_t Lin3DAddr(int32_t Ix, int32_t Iy, int32_t Il) const;
  // The inverse of Lin3DAddr; false (outputs untouched) for an address outside.
  bool ConvertLinTo3DAddr(int32_t LinAddr, int32_t& Ix, int32_t& Iy, int32_t& Il) const;
  // Size of the elements in megabytes (2^20 bytes).
  double MemoryConsumed() const;

  // Filling of the whole array; each fires OnChange.
  void Fill(double Value);
  // Elements (i, i, i, i) up to the smallest count.
  void FillDiag(double Value);
  // Storage order (column fastest), by repeated addition of Diff.
  void FillSerial(double Offset, double Diff);
  // Uniform deviates in [RangeLow, RangeHigh) (process-wide generator).
  void FillRandomUniform(double RangeLow, double RangeHigh);
  // Normal deviates of mean Mean and deviation StdDev (process-wide generator).
  void FillRandomGauss(double Mean, double StdDev);
  // Sets Layer of every time slot to Value (nothing for a layer outside); OnChange.
  void FillLayer(int32_t Layer, double Value);
  // Fills Layer of TimeSlot: Mode 0 with Par1, 1 uniformly in [Par1, Par2), 2 normally (mean
  // Par1, deviation Par2); OnChange; 0. -1 Layer outside, -2 TimeSlot outside, -3 Mode outside
  // 0..2 (a later check wins).
  int32_t FillLayer(int32_t Layer, int32_t TimeSlot, int32_t Mode, double Par1, double Par2);

  // Adds Src[c-1][r-1] (NrOfColumns x NrOfRows, every inner array checked, else -1) to Layer of
  // TimeSlot; OnChange; 0. -2 Layer outside, -3 TimeSlot outside (a later check wins).
  int32_t AccumulateLayer(int32_t Layer, int32_t TimeSlot, const TDouble2DArray& Src);
  // Multiplies every element (c, r, l, t) of the block by FactorArray[c-1][r-1] (NrOfColumns x
  // NrOfRows, else -1); a zero pair selects a whole dimension, reversed pairs are exchanged, a
  // bound outside gives -2 (columns), -3 (rows), -4 (layers), -5 (time slots), a later check
  // winning. No event. 0 when done.
  int32_t MultiplyLayersByArray(const TDouble2DArray& FactorArray, int32_t LowCol, int32_t HighCol,
                                int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                                int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot);

  // Reduces the array to the normalised block; OnChange, OnResize.
  void Cut(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
           int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot);
  // Keeps every Div-th element from Offset (reduced into 0..Div-1, negative ones too) per
  // dimension, or with Average the block sums over the full block size; OnChange, OnResize;
  // true. A divisor below 1: false, nothing changed.
  bool Resample(int32_t XDiv, int32_t XOffset, int32_t YDiv, int32_t YOffset, int32_t ZDiv,
                int32_t ZOffset, int32_t TDiv, int32_t TOffset, bool Average);
  // Exchanges columns and rows in every layer and time slot; OnChange, OnResize; true. False
  // when AbortMathProc stopped it (the array then keeps its contents).
  bool Transpose();
  // Reverses the order of the columns; OnChange.
  void MirrorColumns();
  // Reverses the order of the rows; OnChange.
  void MirrorRows();
  // Reverses the order of the layers; OnChange.
  void MirrorLayers();
  // Reverses the order of the time slots; OnChange.
  void MirrorTimeSlots();

  // ---- Statistics (mat4d_stats.cpp): column, row, layer and time-slot pairs, each normalised;
  // elements visited in storage order (column fastest) ----
  // The element nearest to Value (the first found on ties, NaN never); zeros for none.
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
            int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double Value,
            int32_t& ColIx, int32_t& RowIx, int32_t& LayerIx, int32_t& TimeSlotIx) const;
  // Smallest and largest value, NaNs passed over, from the first comparable value (+inf and
  // -inf when there is none).
  void MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
              int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double& Minimum,
              double& Maximum) const;
  // Mean and sample variance by the stable two-pass sums (variance 1.0 for fewer than three).
  void MeanVar(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
               int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double& Mean,
               double& Variance) const;
  // Sum of the elements.
  double Sum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
             int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot) const;
  // Sum of the squared elements.
  double SquaredSum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                    int32_t HighTimeSlot) const;
  // Number of elements with RangeLow <= x <= RangeHigh (saturated at 2^31 - 1).
  int32_t CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                      int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                      int32_t HighTimeSlot, double RangeLow, double RangeHigh) const;
  // The value of rank round(Prob n / 100) (0-based, at most n - 1; Prob clipped to 0..100) among
  // the non-NaN values, found by exact selection; NaN when there are none.
  double Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                    int32_t HighTimeSlot) const;
  // Percentile of SampleSize draws with replacement (process-wide generator, not reseeded); the
  // exact form for SampleSize <= 0 or not below the element count.
  double Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                    int32_t SampleSize) const;
  // The sampled form, selecting with the QuickSelect form for data in which AbundantVal is
  // frequent.
  double Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                    int32_t SampleSize, double AbundantVal) const;
  // The data fingerprint (8 lanes) in the order column, row, layer, time slot (time slot
  // fastest) over the layers whose index is a multiple of Sample (limited to NrOfLayers div 2,
  // at least 1); OnPercentDone per (column, row).
  std::string CRCofData(int32_t Sample = 1);

  // ---- Copies (mat4d_copy.cpp); the layer and time-slot messages are "specified layer beyond
  // data range" and "specified time slot beyond data range" (ENUXMatrixError) ----
  // DestMat := the normalised rectangle of Layer in TimeSlot; layer, then time slot checked
  // (raising); a nullptr DestMat does nothing.
  void CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                         int32_t HighRow, int32_t Layer, int32_t TimeSlot) const;
  // The same into DestArray (outer = column); -1 Layer, -2 TimeSlot outside (wins); 0.
  int32_t CopyLayerToArray(TDouble2DArray& DestArray, int32_t LowCol, int32_t HighCol,
                           int32_t LowRow, int32_t HighRow, int32_t Layer, int32_t TimeSlot) const;
  // Source element (c, r) of the range as given (outside SrcMat: 0) goes to (c - SrcLowCol +
  // LayLowCol, r - SrcLowRow + LayLowRow) when inside; OnChange. Raises as CopyLayerToMatrix.
  void CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                         int32_t SrcLowRow, int32_t SrcHighRow, int32_t Layer, int32_t TimeSlot,
                         int32_t LayLowCol, int32_t LayLowRow);
  // SrcArray[i][j] goes to (Col + i, Row + j) when inside; OnChange once; 0. -1 Layer, -2
  // TimeSlot outside (wins), -3 a ragged SrcArray.
  int32_t CopyArrayToLayer(const TDouble2DArray& SrcArray, int32_t Col, int32_t Row, int32_t Layer,
                           int32_t TimeSlot);
  // DestMat := the normalised block of TimeSlot (raising the time-slot message); nullptr:
  // nothing.
  void CopyTimeSlotToMat3D(TMat3D* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                           int32_t HighRow, int32_t LowLay, int32_t HighLay,
                           int32_t TimeSlot) const;
  // The same into DestMat (outer = column, then row, then layer); -1 TimeSlot outside; 0.
  int32_t CopyTimeSlotToArray(TDouble3DArray& DestMat, int32_t LowCol, int32_t HighCol,
                              int32_t LowRow, int32_t HighRow, int32_t LowLay, int32_t HighLay,
                              int32_t TimeSlot) const;
  // Block element (c, r, l) of SrcMat (ranges normalised by SrcMat) goes to (c - SrcLowCol +
  // DestCol, ...) of TimeSlot when inside; OnChange. Raises the time-slot message.
  void CopyMat3DToTimeSlot(const TMat3D* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                           int32_t SrcLowRow, int32_t SrcHighRow, int32_t SrcLowLay,
                           int32_t SrcHighLay, int32_t TimeSlot, int32_t DestCol, int32_t DestRow,
                           int32_t DestLayer);
  // The same from zero-based positions of SrcMat (zero pairs: all, reversed pairs exchanged);
  // 0. -1 column, -2 row, -3 layer positions outside, -4 TimeSlot outside, -5 an empty or
  // ragged SrcMat.
  int32_t CopyArrayToTimeSlot(const TDouble3DArray& SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                              int32_t SrcLowRow, int32_t SrcHighRow, int32_t SrcLowLay,
                              int32_t SrcHighLay, int32_t TimeSlot, int32_t DestCol,
                              int32_t DestRow, int32_t DestLayer);
  // Copies a block of MatSource (bounds clamped to its counts, zero pairs: all) to (DestCol,
  // DestRow, DestLayer, DestTSlot) on, skipping targets outside; progress through MathFeedBack;
  // OnChange. MatSource may be this array.
  void CopyFrom(const TMat4D* MatSource, int32_t SrcLowCol, int32_t SrcHighCol, int32_t SrcLowRow,
                int32_t SrcHighRow, int32_t SrcLowLayer, int32_t SrcHighLayer, int32_t SrcLowTSlot,
                int32_t SrcHighTSlot, int32_t DestCol, int32_t DestRow, int32_t DestLayer,
                int32_t DestTSlot);
  // Elements 1.. of Src to layers FirstLayer.. of (Col, Row, TimeSlot), up to the last layer;
  // 0. -1 Col, -2 Row, -3 FirstLayer, -4 TimeSlot outside (a later check wins).
  int32_t CopyVectorToPixel(const TVector& Src, int32_t Col, int32_t Row, int32_t FirstLayer,
                            int32_t TimeSlot);
  // The same from Src[0..].
  int32_t Copy1DArrayToPixel(const TDoubleArray& Src, int32_t Col, int32_t Row, int32_t FirstLayer,
                             int32_t TimeSlot);
  // Dest := the NrOfLayers values of the pixel; 0. -1 Col, -2 Row, -3 TimeSlot outside (a later
  // check wins).
  int32_t CopyPixelToVector(TVector& Dest, int32_t Col, int32_t Row, int32_t TimeSlot) const;
  // The same into an array.
  int32_t CopyPixelTo1DArray(TDoubleArray& Dest, int32_t Col, int32_t Row, int32_t TimeSlot) const;

  // From another TMat4D: counts, elements and the event handlers (not DataID); no event.
  void Assign(const TPersistent* Source) override;
  // Gives the same to another TMat4D.
  void AssignTo(TPersistent* Dest) const override;
  // Takes over MatSource's size and elements (nullptr: nothing); OnChange (OnResize when the
  // size changed).
  void Clone(const TMat4D* MatSource);

  // ---- Layer reductions (mat4d_reduce.cpp) ----
  // DestMat (c - LowCol + 1, r - LowRow + 1) := the mean over layers LowLayer..HighLayer and
  // time slots LowTimeSlot..HighTimeSlot at (c, r), for the normalised rectangle, computed on
  // NThreads threads (limited to 1..processor count). The result is
  // built aside and moved into DestMat on the calling thread (OnChange, OnResize when its size
  // changed). False when DestMat is nullptr or AbortMathProc stopped it (DestMat unchanged).
  bool MeanOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                            int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                            int32_t LowTimeSlot, int32_t HighTimeSlot, int32_t NThreads);
  // The same on as many threads as the machine has processors.
  bool MeanOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                            int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                            int32_t LowTimeSlot, int32_t HighTimeSlot);
  // The same with the largest value (NaN passed over; NaN when there is none).
  bool MaximumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                               int32_t LowTimeSlot, int32_t HighTimeSlot, int32_t NThreads);
  // The same on as many threads as the machine has processors.
  bool MaximumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                               int32_t LowTimeSlot, int32_t HighTimeSlot);
  // The same with the smallest value (NaN passed over; NaN when there is none).
  bool MinimumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                               int32_t LowTimeSlot, int32_t HighTimeSlot, int32_t NThreads);
  // The same on as many threads as the machine has processors.
  bool MinimumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                               int32_t LowTimeSlot, int32_t HighTimeSlot);
  // The same with the population standard deviation, by the stable two-pass sums.
  bool StdDevOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                              int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                              int32_t LowTimeSlot, int32_t HighTimeSlot, int32_t NThreads);
  // The same on as many threads as the machine has processors.
  bool StdDevOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                              int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                              int32_t LowTimeSlot, int32_t HighTimeSlot);

  // Binary files and streams
  /// The header of a binary file: false (outputs untouched) for a file that cannot be opened;
  /// EInOutError for one shorter than a record; else the fields and whether a TMat4D accepts it.
  static bool ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                               int32_t& NrLayers, int32_t& NrTimeSlots, std::string& DataID,
                               int32_t& Format);
  /// Writes time slots TSlotStart..TSlotEnd (clipped; (0, 0) all) as a new binary file
  /// (TBinFileResult); a failure keeps an existing file.
  int32_t SaveBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const;
  /// Adds time slots TSlotStart..TSlotEnd (clipped) to an existing file of the same columns,
  /// rows and layers and raises its time-slot count (TBinFileResult; bfSizeMismatch for other
  /// counts). The file is rewritten through a temporary copy: a failure keeps it as it was.
  int32_t AppendToBinaryFile(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const;
  /// Loads time slots TSlotStart..min(TSlotEnd, file's) (all when either is below 1) with the
  /// DataID; the array takes their sizes (TBinFileResult; array unchanged on a failure).
  int32_t LoadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd);
  /// LoadBinary without checking the header's format field (the elements are read as doubles).
  int32_t LoadBinaryNoFmtCheck(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd);
  /// Streams the elements of time slots TSlotStart..TSlotEnd (all when either is below 1) to
  /// OnReadElement, time slots counted from 1, without storing them; progress by OnPercentDone.
  /// 0; -1 TSlotStart beyond the file's time slots; bfNotThisKind, bfBadSizes, bfTruncated
  /// before any element. A missing or short file, or a failed read, raise EInOutError.
  int32_t ReadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd);
  /// Reads layer Layer of time slot TSlot of a file into the same layer and time slot here.
  /// 0; -1 TSlot outside the file's or this array's; -2 Layer outside the file's or this
  /// array's; -3 columns or rows differ (a later check wins); -4 any input/output failure
  /// (missing, truncated or not a file of doubles).
  int32_t ReadLayer(const std::string& FName, int32_t Layer, int32_t TSlot);
  // XML
  // Writes the array as one "matrix" element (attribute dataid: DataID, UTF-8 cut to 255 bytes
  // on a character boundary), the XML declaration first when CreateHeader. Values with Precision
  // significant digits (xmlFullPrecision, the default: exactly, NaN and infinities included). xrOK
  // or xrCannotWrite (docs/matrix-xml.md).
  int32_t WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader, const std::string& DataID,
                             int32_t Precision = xmlFullPrecision) const;
  // A whole document in file FName, written atomically (an existing file survives a failure).
  int32_t SaveAsXMLFile(const std::string& FName, const std::string& DataID,
                        int32_t Precision = xmlFullPrecision) const;
  // Reads the first "matrix" element whose dataid is DataID (any for an empty DataID) from the
  // open text file's position (a seekable stream) and leaves the position behind the element
  // holding it. Cells the document does not list are 0; DataID becomes the document's.
  // TXmlResult codes; on a failure the object is unchanged.
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
  bool Inside(int32_t Nx, int32_t Ny, int32_t Nz, int32_t Nt) const {
    return Nx >= 1 && Nx <= FNumX && Ny >= 1 && Ny <= FNumY && Nz >= 1 && Nz <= FNumZ && Nt >= 1 &&
           Nt <= FNumT;
  }
  // Element at 0-based positions.
  double At(int32_t X, int32_t Y, int32_t Z, int32_t T) const {
    return Mat[size_t(T)][size_t(Z)][size_t(Y)][size_t(X)];
  }
  double& At(int32_t X, int32_t Y, int32_t Z, int32_t T) {
    return Mat[size_t(T)][size_t(Z)][size_t(Y)][size_t(X)];
  }
  // An Nc x Nr x Nl x Nt block of zeros, or the component's out-of-memory error.
  TDouble4DArray AllocateBlock(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt) const;
  // Takes Block with its counts; OnChange, then OnResize.
  void TakeBlock(TDouble4DArray& Block);
  // Raise the layer and the time-slot messages.
  void CheckLayer(int32_t Layer) const;
  void CheckTimeSlot(int32_t TimeSlot) const;
  // The body of LoadBinary and LoadBinaryNoFmtCheck.
  int32_t LoadBinarySlots(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd,
                          bool CheckFormat);
  // The common body of the four reductions.
  bool Reduce(int Kind, TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
              int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
              int32_t HighTimeSlot, int32_t NThreads);

  int32_t FNumX = 0;  // columns
  int32_t FNumY = 0;  // rows
  int32_t FNumZ = 0;  // layers
  int32_t FNumT = 0;  // time slots
  // DataID.
  std::string FDataID;
  // The elements, [time slot][layer][row][column], 0-based.
  TDouble4DArray Mat;
  // Sizes announced while an XML document is read, and whether its first cell is pending.
  int32_t FAuxNx = 0;      // columns
  int32_t FAuxNy = 0;      // rows
  int32_t FAuxNz = 0;      // layers
  int32_t FAuxNt = 0;      // time slots
  bool FirstCell = false;  // the first cell still has to size the object
};

// Dest := Src[i][j][k] for i = I1..I2, j = J1..J2 at (i - I1 + 1, j - J1 + 1); positions outside
// Src read as 0, an empty range leaves Dest as it is.
void CopyArr3DLayerToMatrix(const TDouble3DArray& Src, TMatrix& Dest, int32_t I1, int32_t I2,
                            int32_t J1, int32_t J2, int32_t K);
// The same into an (I2 - I1 + 1) x (J2 - J1 + 1) array.
void CopyArr3DLayerToArr2D(const TDouble3DArray& Src, TDouble2DArray& Dest, int32_t I1, int32_t I2,
                           int32_t J1, int32_t J2, int32_t K);
// Dest (outer = column) := the matrix's elements of the range through GetVal (0 outside); an
// empty range gives an empty Dest.
void CopyMatrixToArray(const TMatrix& Src, TDouble2DArray& Dest, int32_t LowCol, int32_t HighCol,
                       int32_t LowRow, int32_t HighRow);

}  // namespace nux
