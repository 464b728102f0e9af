// TMat3D: a dense three-dimensional array of doubles indexed by column, row and layer (1-based),
// the layer varying fastest in storage (Data()[x-1][y-1][z-1]).
#pragma once

#include <cstdint>
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

// A stack of NrOfLayers equally sized matrices of doubles; all three counts at least 1.
class TMat3D : public TNuxContainer, public TPercentDoneSupport<TMat3D> {
 public:
  // A 1 x 1 x 1 array holding 0.
  explicit TMat3D(TComponent* AOwner = nullptr);
  /// An Nc x Nr x Nl array of zeros (all >= 1, else ENUXMatrixError).
  TMat3D(int32_t Nc, int32_t Nr, int32_t Nl, TComponent* AOwner = nullptr);

  // Number of columns.
  int32_t NrOfColumns() const { return FNumX; }
  // Number of rows.
  int32_t NrOfRows() const { return FNumY; }
  // Number of layers.
  int32_t NrOfLayers() const { return FNumZ; }
  // Resizes with the other counts unchanged; a count below 1 leaves the array as it is.
  void SetNrOfColumns(int32_t Nc) { Resize(Nc, FNumY, FNumZ); }
  // Resizes to Nr rows; a count below 1 leaves the array as it is.
  void SetNrOfRows(int32_t Nr) { Resize(FNumX, Nr, FNumZ); }
  // Resizes to Nl layers; a count below 1 leaves the array as it is.
  void SetNrOfLayers(int32_t Nl) { Resize(FNumX, FNumY, Nl); }
  // A free identifier of the data; empty at first.
  const std::string& DataID() const { return FDataID; }
  // Sets DataID.
  void SetDataID(const std::string& Value) { FDataID = Value; }
  // Read access to the storage, [column][row][layer].
  const TDouble3DArray& Data() const { return Mat; }

  // All counts positive and not all as they are: common elements keep their values, new ones
  // are 0; OnChange, then OnResize; true. Otherwise false. Exhausted memory (a size beyond the
  // machine's memory included): ENUXMatrixError "not enough memory on heap", array unchanged.
  bool Resize(int32_t Nc, int32_t Nr, int32_t Nl);
  // Resize, and when that returned true every element becomes 0.
  bool ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl);
  // Element (Nx, Ny, Nz); 0 when an index is outside the array.
  double GetVal(int32_t Nx, int32_t Ny, int32_t Nz) const {
    return Inside(Nx, Ny, Nz) ? Mat[size_t(Nx - 1)][size_t(Ny - 1)][size_t(Nz - 1)] : 0.0;
  }
  // Element (Nx, Ny, Nz) (GetVal).
  double Elem(int32_t Nx, int32_t Ny, int32_t Nz) const { return GetVal(Nx, Ny, Nz); }
  // Stores Value and fires OnChange; ignored outside the array.
  void SetVal(int32_t Nx, int32_t Ny, int32_t Nz, double Value);
  /// Element (Nx, Ny, Nz) to read or assign through GetVal / SetVal; with SetIndexChecking(true)
  /// an index outside the array raises ENUXMatrixError.
  TElemRef<TMat3D, double, 3> operator()(int32_t Nx, int32_t Ny, int32_t Nz) {
    CheckIndices(Nx, Ny, Nz);
    return TElemRef<TMat3D, double, 3>(*this, {Nx, Ny, Nz});
  }
  /// Element (Nx, Ny, Nz); 0 outside (or ENUXMatrixError with the index check on).
  double operator()(int32_t Nx, int32_t Ny, int32_t Nz) const {
    CheckIndices(Nx, Ny, Nz);
    return GetVal(Nx, Ny, Nz);
  }

  // Range clipping as in TMatrix ((0, 0): the whole dimension); true when a bound was clipped.
  bool MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
    return MakeValidIndexRange(LowCol, HighCol, FNumX);
  }
  // The row form also reports a mere exchange of reversed bounds.
  bool MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
    return MakeValidRowIndexRange(LowRow, HighRow, FNumY);
  }
  // Clips a layer range; true when a bound was clipped.
  bool MakeValidLayerRange(int32_t& LowLayer, int32_t& HighLayer) const {
    return MakeValidIndexRange(LowLayer, HighLayer, FNumZ);
  }

  // Filling of the whole array; each fires OnChange.
  void Fill(double Value);
  // Uniform deviates between RangeLow and RangeHigh (process-wide generator).
  void FillRandomUniform(double RangeLow, double RangeHigh);
  // Normal deviates of mean Mean and deviation StdDev (process-wide generator).
  void FillRandomGauss(double Mean, double StdDev);
  // Elements (i, i, i) for i = 1..min(columns, rows, layers).
  void FillDiag(double Value);
  // Storage order (layer fastest, then row, then column), by repeated addition of Diff.
  void FillSerial(double Offset, double Diff);
  // Takes over MatSource's size and elements (nullptr: nothing); OnChange.
  void Clone(const TMat3D* MatSource);

  // DestMat := element (c, r) of Layer at (c - LowCol + 1, r - LowRow + 1), resized to the
  // normalised ranges. A Layer outside 1..NrOfLayers raises ENUXMatrixError "specified layer
  // beyond data range"; a nullptr DestMat does nothing.
  void CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                         int32_t HighRow, int32_t Layer) const;
  // Source element (c, r) of the range as given (elements outside SrcMat read as 0) goes to
  // (c - SrcLowCol + LayLowCol, r - SrcLowRow + LayLowRow) of Layer; targets outside are
  // skipped; OnChange. Layer checked as in CopyLayerToMatrix; a nullptr SrcMat does nothing.
  void CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol,
                         int32_t SrcLowRow, int32_t SrcHighRow, int32_t Layer, int32_t LayLowCol,
                         int32_t LayLowRow);

  // ---- Statistics (mat3d_stats.cpp); ranges low, high per dimension, each normalised ----
  // The element nearest to Value (the first found on ties, NaN never); 0, 0, 0 for none.
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
            int32_t HighLayer, double Value, int32_t& ColIx, int32_t& RowIx,
            int32_t& LayerIx) const;
  // Smallest and largest value, NaNs passed over, starting from the first comparable value
  // (+inf and -inf when there is none).
  void MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
              int32_t HighLayer, double& Minimum, double& Maximum) const;
  // Mean and sample variance by the stable two-pass sums (variance 1.0 for fewer than three
  // elements; 0, 0 for none).
  void MeanVar(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
               int32_t HighLayer, double& Mean, double& Variance) const;
  // The value of rank round(Prob n / 100) (0-based, at most n - 1; Prob clipped to 0..100, NaN
  // as 0) among the non-NaN values; NaN when there are none.
  double Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer) const;
  // Percentile of SampleSize draws with replacement from the process-wide generator (never
  // reseeded here); the exact form for SampleSize <= 0 or not below the element count.
  double Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t SampleSize) const;
  // The data fingerprint (8 lanes) of the elements column by column, row by row, layer by layer.
  std::string CRCofData() const;

  // Binary files and streams
  /// The header of a binary file: false (outputs untouched) for a file that cannot be opened;
  /// EInOutError for one shorter than a record; else the fields and whether a TMat3D accepts it.
  static bool ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                               int32_t& NrLayers, int32_t& NrTimeSlots, std::string& DataID,
                               int32_t& Format);
  /// Writes the elements and DataID as a binary file (TBinFileResult); a failure keeps an
  /// existing file.
  int32_t SaveBinary(const std::string& FName) const;
  /// Reads a binary file with its DataID (TBinFileResult); on a failure the array is unchanged.
  int32_t LoadBinary(const std::string& FName);
  // XML
  // Writes the array as one "matrix" element (attribute dataid: DataID, UTF-8 cut to 255 bytes
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

 private:
  bool Inside(int32_t Nx, int32_t Ny, int32_t Nz) const {
    return Nx >= 1 && Nx <= FNumX && Ny >= 1 && Ny <= FNumY && Nz >= 1 && Nz <= FNumZ;
  }
  void CheckIndices(int32_t Nx, int32_t Ny, int32_t Nz) const {
    CheckIndex<ENUXMatrixError>(*this, "column", Nx, FNumX);
    CheckIndex<ENUXMatrixError>(*this, "row", Ny, FNumY);
    CheckIndex<ENUXMatrixError>(*this, "layer", Nz, FNumZ);
  }
  // An Nc x Nr x Nl block of zeros, or the component's out-of-memory error.
  TDouble3DArray AllocateBlock(int32_t Nc, int32_t Nr, int32_t Nl) const;
  // Raises "specified layer beyond data range" for a layer outside 1..NrOfLayers.
  void CheckLayer(int32_t Layer) const;

  int32_t FNumX = 0;  // columns
  int32_t FNumY = 0;  // rows
  int32_t FNumZ = 0;  // layers
  // DataID.
  std::string FDataID;
  // The elements, [column][row][layer], 0-based.
  TDouble3DArray Mat;
  // Sizes announced while an XML document is read, and whether its first cell is pending.
  int32_t FAuxNx = 0;      // columns
  int32_t FAuxNy = 0;      // rows
  int32_t FAuxNz = 0;      // layers
  bool FirstCell = false;  // the first cell still has to size the object
};

}  // namespace nux
