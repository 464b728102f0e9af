// Binary record files of TMat3D: layer by layer, each layer row by row.
#include "nux/matrix/binfile_impl.h"
#include "nux/matrix/mat3d.h"

namespace nux {

using namespace matrix_detail;

bool TMat3D::ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                              int32_t& NrLayers, int32_t& NrTimeSlots, std::string& DataID,
                              int32_t& Format) {
  return HeaderFields(TBinKind::Mat3D, FName, NrColumns, NrRows, &NrLayers, &NrTimeSlots, DataID,
                      Format);
}

int32_t TMat3D::SaveBinary(const std::string& FName) const {
  TBinHeader H{FNumX, FNumY, FNumZ, 0, FDataID, BinDoubles};
  return WriteBinaryFile<double>(
      FName, H, nullptr, 0, int64_t(FNumZ) * FNumY,
      [](const void* Ctx, int64_t I, size_t First, size_t Count, double* Out) {
        const TMat3D& A = *static_cast<const TMat3D*>(Ctx);
        const auto Z = size_t(I / A.FNumY), Y = size_t(I % A.FNumY);
        for (size_t X = 0; X < Count; ++X) Out[X] = A.Mat[First + X][Y][Z];
      },
      this);
}

int32_t TMat3D::LoadBinary(const std::string& FName) {
  TBinReader R;
  TBinHeader H;
  int32_t Res = OpenBinary(R, FName, H);
  if (Res != bfOK) return Res;
  if ((Res = CheckForLoad(R, H, TBinKind::Mat3D, true, 0, ElementCount(H))) != bfOK) return Res;
  TDouble3DArray Block = AllocateBlock(H.Nc, H.Nr, H.Nl);
  std::vector<double> Row(size_t(H.Nc));
  R.SeekElement(0, 8);
  for (size_t Z = 0; Z < size_t(H.Nl); ++Z)
    for (size_t Y = 0; Y < size_t(H.Nr); ++Y) {
      if (!R.Read(Row.data(), H.Nc)) return bfReadError;
      for (size_t X = 0; X < size_t(H.Nc); ++X) Block[X][Y][Z] = Row[X];
    }
  const bool SizeChanged = H.Nc != FNumX || H.Nr != FNumY || H.Nl != FNumZ;
  Mat.swap(Block);
  FNumX = H.Nc;
  FNumY = H.Nr;
  FNumZ = H.Nl;
  FDataID = H.DataID;
  Changed();
  if (SizeChanged) Resized();
  return bfOK;
}

}  // namespace nux
