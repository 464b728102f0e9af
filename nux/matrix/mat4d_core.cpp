// TMat4D: construction, sizing, addressing, element access, filling, layer arithmetic and
// reshaping.
#include <algorithm>
#include <cmath>
#include <limits>

#include "nux/frame/progress.h"
#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/host/system.h"
#include "nux/math1/scalar.h"
#include "nux/matrix/mat4d.h"
#include "nux/openarrays/elementwise.h"

namespace nux {

namespace {

// Calls Set(x) for every element in storage order.
template <class F>
void ForAll(TDouble4DArray& Mat, F&& Set) {
  for (auto& Slot : Mat)
    for (auto& Layer : Slot)
      for (auto& Line : Layer)
        for (double& X : Line) Set(X);
}

bool Outside(int32_t I, int32_t N) { return I < 1 || I > N; }

}  // namespace

TMat4D::TMat4D(TComponent* AOwner) : TNuxContainer(AOwner) {
  Mat = AllocateBlock(1, 1, 1, 1);
  FNumX = FNumY = FNumZ = FNumT = 1;
}

TMat4D::TMat4D(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt, TComponent* AOwner)
    : TNuxContainer(AOwner) {
  if (Nc < 1 || Nr < 1 || Nl < 1 || Nt < 1)
    RaiseComponentError<ENUXMatrixError>(
        *this, "size " + std::to_string(Nc) + " x " + std::to_string(Nr) + " x " +
                   std::to_string(Nl) + " x " + std::to_string(Nt) + " is not positive");
  Mat = AllocateBlock(Nc, Nr, Nl, Nt);
  FNumX = Nc;
  FNumY = Nr;
  FNumZ = Nl;
  FNumT = Nt;
}

TDouble4DArray TMat4D::AllocateBlock(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt) const {
  // Four 31-bit counts can multiply beyond 64 bits: the product is built with overflow checks,
  // and the rows' own bookkeeping counts as well as the elements.
  uint64_t Lines = 0, Elems = 0, Bytes = 0, LineBytes = 0;
  const bool Overflow = __builtin_mul_overflow(uint64_t(Nt) * uint64_t(Nl), uint64_t(Nr), &Lines) ||
                        __builtin_mul_overflow(Lines, uint64_t(Nc), &Elems) ||
                        __builtin_mul_overflow(Elems, uint64_t(sizeof(double)), &Bytes) ||
                        __builtin_mul_overflow(Lines, uint64_t(sizeof(TDoubleArray)), &LineBytes) ||
                        __builtin_add_overflow(Bytes, LineBytes, &Bytes);
  if (Overflow || !AllocationPlausible(Bytes, 1))
    RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  return GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    return TDouble4DArray(
        size_t(Nt),
        TDouble3DArray(size_t(Nl), TDouble2DArray(size_t(Nr), TDoubleArray(size_t(Nc), 0.0))));
  });
}

void TMat4D::TakeBlock(TDouble4DArray& Block) {
  Mat.swap(Block);
  FNumT = int32_t(Mat.size());
  FNumZ = int32_t(Mat[0].size());
  FNumY = int32_t(Mat[0][0].size());
  FNumX = int32_t(Mat[0][0][0].size());
  Changed();
  Resized();
}

bool TMat4D::Resize(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt) {
  if (Nc <= 0 || Nr <= 0 || Nl <= 0 || Nt <= 0 ||
      (Nc == FNumX && Nr == FNumY && Nl == FNumZ && Nt == FNumT))
    return false;
  TDouble4DArray Block = AllocateBlock(Nc, Nr, Nl, Nt);
  const auto KeepX = std::ptrdiff_t(std::min(Nc, FNumX));
  for (int32_t T = 0; T < std::min(Nt, FNumT); ++T)
    for (int32_t Z = 0; Z < std::min(Nl, FNumZ); ++Z)
      for (int32_t Y = 0; Y < std::min(Nr, FNumY); ++Y) {
        const auto& From = Mat[size_t(T)][size_t(Z)][size_t(Y)];
        std::copy(From.begin(), From.begin() + KeepX,
                  Block[size_t(T)][size_t(Z)][size_t(Y)].begin());
      }
  TakeBlock(Block);
  return true;
}

bool TMat4D::ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt) {
  if (!Resize(Nc, Nr, Nl, Nt)) return false;
  Fill(0.0);
  return true;
}

void TMat4D::SetVal(int32_t Nx, int32_t Ny, int32_t Nz, int32_t Nt, double Value) {
  if (!Inside(Nx, Ny, Nz, Nt)) return;
  At(Nx - 1, Ny - 1, Nz - 1, Nt - 1) = Value;
  Changed();
}

int32_t TMat4D::Lin3DAddr(int32_t Ix, int32_t Iy, int32_t Il) const {
  if (double(FNumX) * double(FNumY) * double(FNumZ) > 2147483647.0) return -2;
  if (Outside(Ix, FNumX) || Outside(Iy, FNumY) || Outside(Il, FNumZ)) return -1;
  return ((Iy - 1) * FNumX + Ix - 1) * FNumZ + Il - 1;
}

bool TMat4D::ConvertLinTo3DAddr(int32_t LinAddr, int32_t& Ix, int32_t& Iy, int32_t& Il) const {
  if (LinAddr < 0 || int64_t{LinAddr} >= int64_t{FNumX} * FNumY * FNumZ) return false;
  Il = LinAddr % FNumZ + 1;
  Ix = (LinAddr / FNumZ) % FNumX + 1;
  Iy = LinAddr / FNumZ / FNumX + 1;
  return true;
}

double TMat4D::MemoryConsumed() const {
  return double(FNumX) / 1048576.0 * double(FNumY) * double(FNumZ) * double(FNumT) * 8.0;
}

void TMat4D::Fill(double Value) {
  ForAll(Mat, [Value](double& X) { X = Value; });
  Changed();
}

void TMat4D::FillDiag(double Value) {
  const int32_t N = std::min({FNumX, FNumY, FNumZ, FNumT});
  for (int32_t I = 0; I < N; ++I) At(I, I, I, I) = Value;
  Changed();
}

void TMat4D::FillSerial(double Offset, double Diff) {
  FillArraySerial(Mat, Offset, Diff);
  Changed();
}

void TMat4D::FillRandomUniform(double RangeLow, double RangeHigh) {
  ForAll(Mat, [&](double& X) { X = RangeLow + (RangeHigh - RangeLow) * Random(); });
  Changed();
}

void TMat4D::FillRandomGauss(double Mean, double StdDev) {
  ForAll(Mat, [&](double& X) { X = Mean + StdDev * GRandom(); });
  Changed();
}

void TMat4D::FillLayer(int32_t Layer, double Value) {
  if (Outside(Layer, FNumZ)) return;
  for (auto& Slot : Mat)
    for (auto& Line : Slot[size_t(Layer - 1)]) std::fill(Line.begin(), Line.end(), Value);
  Changed();
}

int32_t TMat4D::FillLayer(int32_t Layer, int32_t TimeSlot, int32_t Mode, double Par1, double Par2) {
  int32_t Code = 0;
  if (Outside(Layer, FNumZ)) Code = -1;
  if (Outside(TimeSlot, FNumT)) Code = -2;
  if (Mode < 0 || Mode > 2) Code = -3;
  if (Code != 0) return Code;
  for (auto& Line : Mat[size_t(TimeSlot - 1)][size_t(Layer - 1)])
    for (double& X : Line)
      X = Mode == 0 ? Par1 : Mode == 1 ? Par1 + (Par2 - Par1) * Random() : Par1 + Par2 * GRandom();
  Changed();
  return 0;
}

namespace {

// NrOfColumns outer arrays of NrOfRows elements each: every inner array is checked.
bool HasShape(const TDouble2DArray& A, int32_t Nc, int32_t Nr) {
  if (A.size() != size_t(Nc)) return false;
  return std::all_of(A.begin(), A.end(),
                     [Nr](const TDoubleArray& C) { return C.size() == size_t(Nr); });
}

}  // namespace

int32_t TMat4D::AccumulateLayer(int32_t Layer, int32_t TimeSlot, const TDouble2DArray& Src) {
  int32_t Code = 0;
  if (!HasShape(Src, FNumX, FNumY)) Code = -1;
  if (Outside(Layer, FNumZ)) Code = -2;
  if (Outside(TimeSlot, FNumT)) Code = -3;
  if (Code != 0) return Code;
  auto& Plane = Mat[size_t(TimeSlot - 1)][size_t(Layer - 1)];
  for (size_t Y = 0; Y < Plane.size(); ++Y)
    for (size_t X = 0; X < Plane[Y].size(); ++X) Plane[Y][X] += Src[X][Y];
  Changed();
  return 0;
}

namespace {

// The bounds rule of MultiplyLayersByArray: (0, 0) is everything, a bound outside 1..N fails,
// reversed bounds are exchanged.
bool BoundsRange(int32_t& Low, int32_t& High, int32_t N) {
  if (Low == 0 && High == 0) {
    Low = 1;
    High = N;
    return true;
  }
  if (Outside(Low, N) || Outside(High, N)) return false;
  if (Low > High) std::swap(Low, High);
  return true;
}

}  // namespace

int32_t TMat4D::MultiplyLayersByArray(const TDouble2DArray& FactorArray, int32_t LowCol,
                                      int32_t HighCol, int32_t LowRow, int32_t HighRow,
                                      int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                                      int32_t HighTimeSlot) {
  int32_t Code = 0;
  if (!HasShape(FactorArray, FNumX, FNumY)) Code = -1;
  if (!BoundsRange(LowCol, HighCol, FNumX)) Code = -2;
  if (!BoundsRange(LowRow, HighRow, FNumY)) Code = -3;
  if (!BoundsRange(LowLayer, HighLayer, FNumZ)) Code = -4;
  if (!BoundsRange(LowTimeSlot, HighTimeSlot, FNumT)) Code = -5;
  if (Code != 0) return Code;
  for (int32_t T = LowTimeSlot - 1; T < HighTimeSlot; ++T)
    for (int32_t Z = LowLayer - 1; Z < HighLayer; ++Z)
      for (int32_t Y = LowRow - 1; Y < HighRow; ++Y)
        for (int32_t X = LowCol - 1; X < HighCol; ++X)
          At(X, Y, Z, T) *= FactorArray[size_t(X)][size_t(Y)];
  return 0;
}

void TMat4D::Cut(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                 int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  MakeValidLayerRange(LowLayer, HighLayer);
  MakeValidTSlotRange(LowTimeSlot, HighTimeSlot);
  TDouble4DArray Block = AllocateBlock(HighCol - LowCol + 1, HighRow - LowRow + 1,
                                       HighLayer - LowLayer + 1, HighTimeSlot - LowTimeSlot + 1);
  for (int32_t T = LowTimeSlot; T <= HighTimeSlot; ++T)
    for (int32_t Z = LowLayer; Z <= HighLayer; ++Z)
      for (int32_t Y = LowRow; Y <= HighRow; ++Y) {
        const auto& From = Mat[size_t(T - 1)][size_t(Z - 1)][size_t(Y - 1)];
        std::copy(From.begin() + (LowCol - 1), From.begin() + HighCol,
                  Block[size_t(T - LowTimeSlot)][size_t(Z - LowLayer)][size_t(Y - LowRow)].begin());
      }
  TakeBlock(Block);
}

bool TMat4D::Resample(int32_t XDiv, int32_t XOffset, int32_t YDiv, int32_t YOffset, int32_t ZDiv,
                      int32_t ZOffset, int32_t TDiv, int32_t TOffset, bool Average) {
  if (XDiv < 1 || YDiv < 1 || ZDiv < 1 || TDiv < 1) return false;
  const int32_t Div[4] = {XDiv, YDiv, ZDiv, TDiv};
  const int32_t Old[4] = {FNumX, FNumY, FNumZ, FNumT};
  int32_t Off[4] = {XOffset, YOffset, ZOffset, TOffset};
  int32_t New[4];
  for (int I = 0; I < 4; ++I) {
    // A negative offset is reduced into 0..Div-1 too, so no position before the array is read.
    Off[I] = ((Off[I] % Div[I]) + Div[I]) % Div[I];
    New[I] = std::max(0, Old[I] - Off[I] - 1) / Div[I] + 1;
  }
  TDouble4DArray Block = AllocateBlock(New[0], New[1], New[2], New[3]);
  const double Norm = double(XDiv) * double(YDiv) * double(ZDiv) * double(TDiv);
  const int64_t Total = int64_t{New[2]} * New[3];
  const int64_t Step = std::max<int64_t>(1, Total / 100);
  int64_t Count = 0;
  // First old position (0-based) of new position K in dimension I, and one past its block.
  auto First = [&](int I, int32_t K) { return int64_t{Off[I]} + int64_t{Div[I]} * K; };
  for (int32_t T = 0; T < New[3]; ++T)
    for (int32_t Z = 0; Z < New[2]; ++Z) {
      for (int32_t Y = 0; Y < New[1]; ++Y)
        for (int32_t X = 0; X < New[0]; ++X) {
          double V = 0.0;
          if (!Average) {
            const int64_t P[4] = {First(0, X), First(1, Y), First(2, Z), First(3, T)};
            if (P[0] < Old[0] && P[1] < Old[1] && P[2] < Old[2] && P[3] < Old[3])
              V = At(int32_t(P[0]), int32_t(P[1]), int32_t(P[2]), int32_t(P[3]));
          } else {
            const int64_t T1 = std::min<int64_t>(First(3, T) + TDiv, Old[3]);
            const int64_t Z1 = std::min<int64_t>(First(2, Z) + ZDiv, Old[2]);
            const int64_t Y1 = std::min<int64_t>(First(1, Y) + YDiv, Old[1]);
            const int64_t X1 = std::min<int64_t>(First(0, X) + XDiv, Old[0]);
            double S = 0.0;
            for (int64_t Ot = First(3, T); Ot < T1; ++Ot)
              for (int64_t Oz = First(2, Z); Oz < Z1; ++Oz)
                for (int64_t Oy = First(1, Y); Oy < Y1; ++Oy)
                  for (int64_t Ox = First(0, X); Ox < X1; ++Ox)
                    S += At(int32_t(Ox), int32_t(Oy), int32_t(Oz), int32_t(Ot));
            V = S / Norm;
          }
          Block[size_t(T)][size_t(Z)][size_t(Y)][size_t(X)] = V;
        }
      if (++Count % Step == 0) PercDone(this, RoundToInt32(double(Count) * 100.0 / double(Total)));
    }
  TakeBlock(Block);
  return true;
}

bool TMat4D::Transpose() {
  TDouble4DArray Block = AllocateBlock(FNumY, FNumX, FNumZ, FNumT);
  const int64_t Total = int64_t{FNumX} * FNumY * 2;
  const int64_t Step = std::max<int64_t>(1, Total / 100);
  int64_t Count = 0;
  for (int32_t X = 0; X < FNumX; ++X)
    for (int32_t Y = 0; Y < FNumY; ++Y) {
      // An abort leaves the old contents: the copy is only taken over when complete.
      if (AbortMathProc) return false;
      for (int32_t T = 0; T < FNumT; ++T)
        for (int32_t Z = 0; Z < FNumZ; ++Z)
          Block[size_t(T)][size_t(Z)][size_t(X)][size_t(Y)] = At(X, Y, Z, T);
      Count += 2;
      if (Count % Step < 2) PercDone(this, RoundToInt32(double(Count) * 100.0 / double(Total)));
    }
  TakeBlock(Block);
  return true;
}

namespace {

// Reverses N items by exchanges, reporting progress about every half percent of Total work.
template <class Swap>
void MirrorWith(int32_t N, int64_t WorkPerPair, Swap&& Exchange) {
  const int64_t Total = std::max<int64_t>(1, int64_t{N / 2} * WorkPerPair);
  const int64_t Step = std::max<int64_t>(1, Total / 200);
  int64_t Done = 0, Reported = 0;
  for (int32_t I = 0; I < N / 2; ++I) {
    Exchange(I, N - 1 - I);
    Done += WorkPerPair;
    if (Done - Reported >= Step) {
      MathFeedBack(double(Done - Reported) * 100.0 / double(Total));
      Reported = Done;
    }
  }
}

}  // namespace

void TMat4D::MirrorColumns() {
  // Line by line (the columns lie side by side in a line); progress as the other mirrors.
  const int64_t Total = int64_t{FNumY} * FNumZ * FNumT;
  const int64_t Step = std::max<int64_t>(1, Total / 200);
  int64_t Done = 0, Reported = 0;
  for (auto& Slot : Mat)
    for (auto& Layer : Slot)
      for (auto& Line : Layer) {
        std::reverse(Line.begin(), Line.end());
        if (++Done - Reported >= Step) {
          MathFeedBack(double(Done - Reported) * 100.0 / double(Total));
          Reported = Done;
        }
      }
  Changed();
}

void TMat4D::MirrorRows() {
  MirrorWith(FNumY, int64_t{FNumX} * FNumZ * FNumT, [&](int32_t A, int32_t B) {
    for (auto& Slot : Mat)
      for (auto& Layer : Slot) Layer[size_t(A)].swap(Layer[size_t(B)]);
  });
  Changed();
}

void TMat4D::MirrorLayers() {
  MirrorWith(FNumZ, int64_t{FNumX} * FNumY * FNumT, [&](int32_t A, int32_t B) {
    for (auto& Slot : Mat) Slot[size_t(A)].swap(Slot[size_t(B)]);
  });
  Changed();
}

void TMat4D::MirrorTimeSlots() {
  MirrorWith(FNumT, int64_t{FNumX} * FNumY * FNumZ,
             [&](int32_t A, int32_t B) { Mat[size_t(A)].swap(Mat[size_t(B)]); });
  Changed();
}

}  // namespace nux
