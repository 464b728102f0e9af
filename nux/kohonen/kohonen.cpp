#include "nux/kohonen/kohonen.h"

#include <algorithm>
#include <cmath>

#include "nux/frame/errors.h"
#include "nux/frame/progress.h"
#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/kernels/distances.h"
#include "nux/matrix/mat3d.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux {

const std::array<const char*, 13> KohonenXMLTagNames = {
    "sizex",       "sizey",  "comment", "nrinsens",   "maxneighb", "maxsteps",  "maxalpha",
    "currentstep", "cyclic", "cell",    "meanstddev", "/kohonen",  "invalidtag"};

TKohonen::TKohonen(TComponent* AOwner) : TComponent(AOwner) {
  GuardAlloc<ENUXKohonenError>(*this, msgInitNoMemory, [&] {
    FKohMat = std::make_unique<TMat3D>(1, 1, 1);
    FDataMat = std::make_unique<TMatrix>(1, 1);
    MeanVec = std::make_unique<TVector>(1);
    StdDevVec = std::make_unique<TVector>(1);
  });
  StdDevVec->Fill(1.0);
  SetWeigtsToRandom();
}

TKohonen::~TKohonen() = default;

void TKohonen::NewWeights(int32_t Nx, int32_t Ny, int32_t Nin) {
  FKohMat = GuardAlloc<ENUXKohonenError>(*this, msgNoMemoryOnHeap, [&] {
    try {
      return std::make_unique<TMat3D>(Nx, Ny, Nin);
    } catch (const ENUXMatrixError&) {
      throw std::bad_alloc();
    }
  });
  FSizeX = Nx;
  FSizeY = Ny;
}

void TKohonen::SetSizeX(int32_t Value) {
  if (Value >= 1) NewWeights(Value, FSizeY, FNrInSens);
}

void TKohonen::SetSizeY(int32_t Value) {
  if (Value >= 1) NewWeights(FSizeX, Value, FNrInSens);
}

void TKohonen::SetNumInsens(int32_t Value) {
  if (Value < 1) return;
  // Everything new is built before anything is replaced.
  auto Data = GuardAlloc<ENUXKohonenError>(*this, msgNoMemoryOnHeap, [&] {
    try {
      return std::make_unique<TMatrix>(Value, FNrTrnObj);
    } catch (const ENUXMatrixError&) {
      throw std::bad_alloc();
    }
  });
  auto Mv = std::make_unique<TVector>(Value);
  auto Sd = std::make_unique<TVector>(Value);
  Sd->Fill(1.0);
  NewWeights(FSizeX, FSizeY, Value);
  FNrInSens = Value;
  FDataMat = std::move(Data);
  MeanVec = std::move(Mv);
  StdDevVec = std::move(Sd);
  FStandardized = false;
}

void TKohonen::SetInitialNeighbors(int32_t Value) {
  if (Value >= 0) FMaxNeighb = Value;
}

void TKohonen::SetNrOfTrnSteps(int32_t Value) {
  if (Value >= 1) FMaxSteps = Value;
}

void TKohonen::SetDataMat(const TMatrix* Value) {
  if (!Value) return;
  const int32_t Nin = Value->NrOfColumns();
  auto Data = GuardAlloc<ENUXKohonenError>(*this, msgNoMemoryOnHeap, [&] {
    auto M = std::make_unique<TMatrix>(1, 1);
    M->Clone(Value);
    return M;
  });
  auto Mv = std::make_unique<TVector>(Nin);
  auto Sd = std::make_unique<TVector>(Nin);
  Sd->Fill(1.0);
  NewWeights(FSizeX, FSizeY, Nin);
  FNrInSens = Nin;
  FNrTrnObj = Value->NrOfRows();
  FDataMat = std::move(Data);
  MeanVec = std::move(Mv);
  StdDevVec = std::move(Sd);
  FStandardized = false;
}

bool TKohonen::StandardizeData() {
  // A second pass would find means 0 and deviations 1 and lose the data's units.
  if (FStandardized) return false;
  TVector Mv(FNrInSens), Sd(FNrInSens);
  FDataMat->StandardizeColumns(&Mv, &Sd);
  for (int32_t K = 1; K <= FNrInSens; ++K) {
    const double M = Mv.GetVal(K), S = Sd.GetVal(K);
    // Columns the matrix left alone keep their units.
    const bool Scaled = S > 0.0 && std::isfinite(S) && std::isfinite(M);
    MeanVec->SetVal(K, Scaled ? M : 0.0);
    StdDevVec->SetVal(K, Scaled ? S : 1.0);
  }
  FStandardized = true;
  return true;
}

double TKohonen::Weight(int32_t Ix, int32_t Iy, int32_t Wi) const {
  if (Ix < 1 || Ix > FSizeX || Iy < 1 || Iy > FSizeY || Wi < 1 || Wi > FNrInSens) return 0.0;
  return FKohMat->GetVal(Ix, Iy, Wi) * StdDevVec->GetVal(Wi) + MeanVec->GetVal(Wi);
}

void TKohonen::SetWeigtsToRandom() {
  for (int32_t X = 1; X <= FSizeX; ++X)
    for (int32_t Y = 1; Y <= FSizeY; ++Y)
      for (int32_t K = 1; K <= FNrInSens; ++K) FKohMat->SetVal(X, Y, K, (Random() - 0.5) * 0.2);
}

void TKohonen::Trainit() {
  FCurStep = 1;
  SetWeigtsToRandom();
  ContinueTraining();
}

std::vector<double> TKohonen::WeightsByComponent() const {
  const size_t NN = size_t(FSizeX) * size_t(FSizeY);
  std::vector<double> W(NN * size_t(FNrInSens));
  const TDouble3DArray& M = FKohMat->Data();
  for (size_t X = 0; X < size_t(FSizeX); ++X)
    for (size_t Y = 0; Y < size_t(FSizeY); ++Y)
      for (size_t K = 0; K < size_t(FNrInSens); ++K)
        W[K * NN + X * size_t(FSizeY) + Y] = M[X][Y][K];
  return W;
}

void TKohonen::StoreWeights(const std::vector<double>& W) {
  const size_t NN = size_t(FSizeX) * size_t(FSizeY);
  for (int32_t X = 1; X <= FSizeX; ++X)
    for (int32_t Y = 1; Y <= FSizeY; ++Y)
      for (int32_t K = 1; K <= FNrInSens; ++K)
        FKohMat->SetVal(X, Y, K,
                        W[size_t(K - 1) * NN + size_t(X - 1) * size_t(FSizeY) + size_t(Y - 1)]);
}

void TKohonen::DoFeedback(int32_t Percent) {
  if (OnFeedback) OnFeedback(this, Percent);
}

void TKohonen::ContinueTraining() {
  FAbort = false;
  BeginAbortable();
  // A training from step 1 runs NrOfTrnSteps - 1 epochs, but at least one.
  const int32_t Last = std::max(FMaxSteps - 1, 1);
  if (FCurStep > Last) return;
  const size_t N = size_t(FNrInSens), NX = size_t(FSizeX), NY = size_t(FSizeY), NN = NX * NY;
  const size_t Rows = size_t(FDataMat->NrOfRows());
  std::vector<double> W, Data, D;
  GuardAlloc<ENUXKohonenError>(*this, msgNoMemoryOnHeap, [&] {
    W = WeightsByComponent();
    Data.resize(Rows * N);
    D.resize(NN);
  });
  // Rows of the data side by side, so that each object is one contiguous vector.
  const TDouble2DArray& Cols = FDataMat->Data();
  for (size_t R = 0; R < Rows; ++R)
    for (size_t K = 0; K < N; ++K) Data[R * N + K] = Cols[K][R];
  do {
    const int32_t S = FCurStep;
    const double A = double(FMaxSteps - S) / double(FMaxSteps), A2 = A * A;
    FCurNeighb = RoundToInt32((double(FMaxNeighb) - 1.0) * A2 + 1.0);
    FCurAlpha = FMaxAlpha * A2;
    int64_t Rx = FCurNeighb, Ry = FCurNeighb;
    if (FCyclic) {
      // No neuron may be reached from both sides.
      if (Rx >= FSizeX / 2) Rx = FSizeX / 2 - 1;
      if (Ry >= FSizeY / 2) Ry = FSizeY / 2 - 1;
      Rx = std::max<int64_t>(Rx, 0);
      Ry = std::max<int64_t>(Ry, 0);
    }
    for (size_t R = 0; R < Rows; ++R) {
      const double* Z = &Data[R * N];
      kernels::SquaredDistances(W.data(), NN, NN, Z, N, D.data());
      const size_t Win = kernels::FirstSmallest(D.data(), NN);
      const double E = D[Win];
      // An object no neuron can be compared with (a NaN in it) teaches nothing.
      if (std::isnan(E)) continue;
      const int64_t Cx = int64_t(Win / NY), Cy = int64_t(Win % NY);
      int64_t X0 = Cx - Rx, X1 = Cx + Rx, Y0 = Cy - Ry, Y1 = Cy + Ry;
      if (!FCyclic) {
        X0 = std::max<int64_t>(X0, 0);
        X1 = std::min<int64_t>(X1, int64_t(NX) - 1);
        Y0 = std::max<int64_t>(Y0, 0);
        Y1 = std::min<int64_t>(Y1, int64_t(NY) - 1);
      }
      for (int64_t Xi = X0; Xi <= X1; ++Xi) {
        const int64_t X = Xi < 0 ? Xi + int64_t(NX) : Xi >= int64_t(NX) ? Xi - int64_t(NX) : Xi;
        for (int64_t Yi = Y0; Yi <= Y1; ++Yi) {
          const int64_t Y = Yi < 0 ? Yi + int64_t(NY) : Yi >= int64_t(NY) ? Yi - int64_t(NY) : Yi;
          const size_t J = size_t(X) * NY + size_t(Y);
          // The winner learns at the full rate even when its distance overflowed; a neighbour
          // whose distance cannot be compared with the winner's (both infinite) stays.
          const double H = J == Win ? 1.0 : 1.0 / (std::sqrt(D[J] - E) + 1.0);
          if (std::isnan(H)) continue;
          const double F = FCurAlpha * H;
          for (size_t K = 0; K < N; ++K) {
            double& Wk = W[K * NN + J];
            Wk = Wk + F * (Z[K] - Wk);
          }
        }
      }
    }
    StoreWeights(W);
    DoFeedback(RoundToInt32(double(S) * 100.0 / double(FMaxSteps)));
    if (MathFeedBack(1.0)) FAbort = true;
    FCurStep = S + 1;
  } while (!FAbort && FCurStep <= Last);
  FAbort = false;
}

int32_t TKohonen::ApplyIt(const TVector& InData, int32_t& BestIx, int32_t& BestIy,
                          double& Distance) const {
  if (InData.NrOfElem() != FNrInSens) return -1;
  const size_t N = size_t(FNrInSens), NN = size_t(FSizeX) * size_t(FSizeY);
  std::vector<double> W, Z(N), D(NN);
  W = WeightsByComponent();
  for (size_t K = 0; K < N; ++K) {
    const int32_t Ix = int32_t(K) + 1;
    const double S = StdDevVec->GetVal(Ix), C = InData.GetVal(Ix) - MeanVec->GetVal(Ix);
    Z[K] = S == 0.0 ? C : C / S;
  }
  kernels::SquaredDistances(W.data(), NN, NN, Z.data(), N, D.data());
  const size_t Win = kernels::FirstSmallest(D.data(), NN);
  BestIx = int32_t(Win / size_t(FSizeY)) + 1;
  BestIy = int32_t(Win % size_t(FSizeY)) + 1;
  Distance = D[Win];
  return 0;
}

}  // namespace nux
