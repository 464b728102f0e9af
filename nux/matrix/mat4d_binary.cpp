// Binary record files of TMat4D: whole and partial writers and loaders, appending, the streaming
// reader and the layer readers. Offsets and counts are 64-bit throughout.
#include <cmath>

#include "nux/host/exceptions.h"
#include "nux/matrix/binfile_impl.h"
#include "nux/matrix/mat4d.h"

namespace nux {

using namespace matrix_detail;

namespace {

// The rows of time slots First.. of an array, in file order.
struct TSlotRows {
  const TDouble4DArray* Mat;
  int32_t First, Nl, Nr, Nc;
};

void CopySlotRow(const void* Ctx, int64_t I, size_t First, size_t Count, double* Out) {
  const TSlotRows& S = *static_cast<const TSlotRows*>(Ctx);
  const int64_t PerSlot = int64_t(S.Nl) * S.Nr;
  const auto T = size_t(S.First - 1 + I / PerSlot), Z = size_t(I % PerSlot / S.Nr),
             Y = size_t(I % S.Nr);
  const std::vector<double>& Row = (*S.Mat)[T][Z][Y];
  std::copy(Row.begin() + std::ptrdiff_t(First), Row.begin() + std::ptrdiff_t(First + Count), Out);
}

// Opens a four-dimensional file of doubles for the layer readers; false for any fault.
bool OpenLayerFile(TBinReader& R, const std::string& FName, TBinHeader& H) {
  return OpenBinary(R, FName, H) == bfOK && ElementCount(H) >= 0 && Accepts(TBinKind::Mat4D, H) &&
         R.Holds(0, ElementCount(H), 8);
}

// Element number of the first element of (Layer, TSlot).
int64_t LayerStart(const TBinHeader& H, int32_t Layer, int32_t TSlot) {
  return ((int64_t(TSlot) - 1) * H.Nl + (Layer - 1)) * H.Nc * H.Nr;
}

}  // namespace

bool TMat4D::ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                              int32_t& NrLayers, int32_t& NrTimeSlots, std::string& DataID,
                              int32_t& Format) {
  return HeaderFields(TBinKind::Mat4D, FName, NrColumns, NrRows, &NrLayers, &NrTimeSlots, DataID,
                      Format);
}

int32_t TMat4D::SaveBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const {
  if (TSlotStart > TSlotEnd) std::swap(TSlotStart, TSlotEnd);
  MakeValidTSlotRange(TSlotStart, TSlotEnd);
  const TSlotRows Rows{&Mat, TSlotStart, FNumZ, FNumY, FNumX};
  const TBinHeader H{FNumX, FNumY, FNumZ, TSlotEnd - TSlotStart + 1, FDataID, BinDoubles};
  return WriteBinaryFile<double>(FName, H, nullptr, 0, int64_t(H.Nt) * FNumZ * FNumY, &CopySlotRow,
                                 &Rows);
}

int32_t TMat4D::AppendToBinaryFile(const std::string& FName, int32_t TSlotStart,
                                   int32_t TSlotEnd) const {
  TBinReader R;
  TBinHeader H;
  int32_t Res = OpenBinary(R, FName, H);
  if (Res != bfOK) return Res;
  const int64_t Have = ElementCount(H);
  if ((Res = CheckForLoad(R, H, TBinKind::Mat4D, true, 0, Have)) != bfOK) return Res;
  if (H.Nc != FNumX || H.Nr != FNumY || H.Nl != FNumZ) return bfSizeMismatch;
  if (TSlotStart > TSlotEnd) std::swap(TSlotStart, TSlotEnd);
  MakeValidTSlotRange(TSlotStart, TSlotEnd);
  const int32_t Add = TSlotEnd - TSlotStart + 1;
  if (H.Nt > INT32_MAX - Add) return bfBadSizes;
  const TSlotRows Rows{&Mat, TSlotStart, FNumZ, FNumY, FNumX};
  TBinHeader Out = H;
  Out.Nt = H.Nt + Add;
  // The file is rewritten whole through a temporary copy, so an interrupted append keeps the
  // old file intact.
  return WriteBinaryFile<double>(FName, Out, &R, Have, int64_t(Add) * FNumZ * FNumY, &CopySlotRow,
                                 &Rows);
}

int32_t TMat4D::LoadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) {
  return LoadBinarySlots(FName, TSlotStart, TSlotEnd, true);
}

int32_t TMat4D::LoadBinaryNoFmtCheck(const std::string& FName, int32_t TSlotStart,
                                     int32_t TSlotEnd) {
  return LoadBinarySlots(FName, TSlotStart, TSlotEnd, false);
}

int32_t TMat4D::LoadBinarySlots(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd,
                                bool CheckFormat) {
  TBinReader R;
  TBinHeader H;
  int32_t Res = OpenBinary(R, FName, H);
  if (Res != bfOK) return Res;
  if (ElementCount(H) < 0) return bfBadSizes;
  if (!Accepts(TBinKind::Mat4D, H, CheckFormat))
    return H.Nc < 1 || H.Nr < 1 ? bfBadSizes : bfNotThisKind;
  if (TSlotStart < 1 || TSlotEnd < 1) {
    TSlotStart = 1;
    TSlotEnd = H.Nt;
  }
  TSlotEnd = std::min(TSlotEnd, H.Nt);
  if (TSlotStart > TSlotEnd) return bfNoSuchSlot;
  const int64_t PerSlot = int64_t(H.Nc) * H.Nr * H.Nl;
  const int64_t First = (int64_t(TSlotStart) - 1) * PerSlot;
  const int32_t Nt = TSlotEnd - TSlotStart + 1;
  if (!R.Holds(First, Nt * PerSlot, 8)) return bfTruncated;
  TDouble4DArray Block = AllocateBlock(H.Nc, H.Nr, H.Nl, Nt);
  R.SeekElement(First, 8);
  for (auto& Slot : Block)
    for (auto& Layer : Slot)
      for (auto& Row : Layer)
        if (!R.Read(Row.data(), H.Nc)) return bfReadError;
  FDataID = H.DataID;
  TakeBlock(Block);
  return bfOK;
}

int32_t TMat4D::ReadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) {
  TBinReader R;
  TBinHeader H;
  if (!ReadHeaderOnly(FName, H)) throw EInOutError("Cannot open file \"" + FName + "\"");
  R.Open(FName);
  if (ElementCount(H) < 0) return bfBadSizes;
  if (!Accepts(TBinKind::Mat4D, H)) return H.Nc < 1 || H.Nr < 1 ? bfBadSizes : bfNotThisKind;
  if (H.Nt < TSlotStart) return -1;
  if (TSlotStart < 1 || TSlotEnd < 1) {
    TSlotStart = 1;
    TSlotEnd = H.Nt;
  }
  TSlotEnd = std::min(TSlotEnd, H.Nt);
  if (TSlotStart > TSlotEnd) return -1;
  const int64_t PerSlot = int64_t(H.Nc) * H.Nr * H.Nl;
  const int64_t Total = (int64_t(TSlotEnd) - TSlotStart + 1) * PerSlot;
  // A truncated file is refused before the first event, not part way through.
  if (!R.Holds((int64_t(TSlotStart) - 1) * PerSlot, Total, 8)) return bfTruncated;
  R.SeekElement((int64_t(TSlotStart) - 1) * PerSlot, 8);
  const int64_t Step = std::max<int64_t>(1, Total / 100);
  int64_t Count = 0;
  std::vector<double> Row(size_t(H.Nc));
  for (int32_t T = 1; T <= TSlotEnd - TSlotStart + 1; ++T)
    for (int32_t Z = 1; Z <= H.Nl; ++Z)
      for (int32_t Y = 1; Y <= H.Nr; ++Y) {
        if (!R.Read(Row.data(), H.Nc)) throw EInOutError("Read error in file \"" + FName + "\"");
        for (int32_t X = 1; X <= H.Nc; ++X) {
          if (OnReadElement) OnReadElement(this, X, Y, Z, T, Row[size_t(X - 1)]);
          if (++Count % Step == 0)
            PercDone(this, int32_t(std::llround(double(Count) * 100.0 / double(Total))));
        }
      }
  return 0;
}

int32_t TMat4D::ReadLayer(const std::string& FName, int32_t Layer, int32_t TSlot) {
  TBinReader R;
  TBinHeader H;
  if (!OpenLayerFile(R, FName, H)) return -4;
  int32_t Res = 0;
  if (TSlot < 1 || TSlot > H.Nt || TSlot > FNumT) Res = -1;
  if (Layer < 1 || Layer > H.Nl || Layer > FNumZ) Res = -2;
  if (H.Nc != FNumX || H.Nr != FNumY) Res = -3;
  if (Res != 0) return Res;
  // Read aside first, so that a failed read leaves the layer as it was.
  std::vector<double> Values(size_t(FNumX) * size_t(FNumY));
  R.SeekElement(LayerStart(H, Layer, TSlot), 8);
  if (!R.Read(Values.data(), int64_t(Values.size()))) return -4;
  const int64_t Total = int64_t(Values.size()), Step = std::max<int64_t>(1, Total / 100);
  auto& Dest = Mat[size_t(TSlot - 1)][size_t(Layer - 1)];
  for (int64_t K = 0; K < Total; ++K) {
    Dest[size_t(K / FNumX)][size_t(K % FNumX)] = Values[size_t(K)];
    if ((K + 1) % Step == 0)
      PercDone(this, int32_t(std::llround(double(K + 1) * 100.0 / double(Total))));
  }
  Changed();
  return 0;
}

int32_t Read4DLayer(const std::string& FName, int32_t Layer, int32_t TSlot, TDouble2DArray& Dest) {
  TBinReader R;
  TBinHeader H;
  if (!OpenLayerFile(R, FName, H)) return -3;
  int32_t Res = 0;
  if (TSlot < 1 || TSlot > H.Nt) Res = -1;
  if (Layer < 1 || Layer > H.Nl) Res = -2;
  if (Res != 0) return Res;
  std::vector<double> Values(size_t(H.Nc) * size_t(H.Nr));
  R.SeekElement(LayerStart(H, Layer, TSlot), 8);
  if (!R.Read(Values.data(), int64_t(Values.size()))) return -3;
  TDouble2DArray Out(size_t(H.Nc), TDoubleArray(size_t(H.Nr)));
  for (size_t K = 0; K < Values.size(); ++K) Out[K % size_t(H.Nc)][K / size_t(H.Nc)] = Values[K];
  Dest.swap(Out);
  return 0;
}

int32_t Read4DLayerAndAccumulate(const std::string& FName, int32_t Layer, int32_t TSlot,
                                 TDouble2DArray& Dest) {
  TBinReader R;
  TBinHeader H;
  if (!OpenLayerFile(R, FName, H)) return -4;
  int32_t Res = 0;
  if (Layer < 1 || Layer > H.Nl) Res = -1;
  if (TSlot < 1 || TSlot > H.Nt) Res = -2;
  if (Res != 0) return Res;
  // Every inner array is checked, not only the first, so a ragged Dest is never written past.
  if (Dest.size() != size_t(H.Nc) || IsRagged(Dest) || Dest[0].size() != size_t(H.Nr)) return -3;
  std::vector<double> Values(size_t(H.Nc) * size_t(H.Nr));
  R.SeekElement(LayerStart(H, Layer, TSlot), 8);
  if (!R.Read(Values.data(), int64_t(Values.size()))) return -4;
  for (size_t K = 0; K < Values.size(); ++K) Dest[K % size_t(H.Nc)][K / size_t(H.Nc)] += Values[K];
  return 0;
}

}  // namespace nux
