#include "nux/membl/membl.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <span>

#include "nux/datatable/datatable.h"
#include "nux/frame/errors.h"
#include "nux/frame/moments.h"
#include "nux/frame/rounding.h"
#include "nux/kernels/distance.h"
#include "nux/kernels/distances.h"
#include "nux/math2/regression.h"
#include "nux/matrix/matrix.h"
#include "nux/membl/membl_impl.h"
#include "nux/vector/vector.h"

namespace nux {

const std::array<const char*, 3> MBLDistModeID = {"Euclidean", "Manhattan", "Mahalanobis"};
const std::array<const char*, 2> MBLScalingModeID = {"Unscaled", "Standardized"};
const std::array<const char*, 4> MBLLocalModelID = {"Average", "Weighted Average", "Majority Vote",
                                                    "Regression"};

namespace membl {
const std::array<const char*, 9> MBLxmlTagNames = {"membasedlearner", "comment",  "modelname",
                                                   "modeldata",       "distmode", "scaling",
                                                   "locmodel",        "numnnb",   "$invalidtag$"};
}  // namespace membl

using namespace membl_detail;

// ---- Neighbour list --------------------------------------------------------------------------

void TNbList::Finish() {
  std::sort_heap(Heap.begin(), Heap.end(), TRanksBefore());
  Dist.assign(size_t(MBLMaxNeighbours), DBL_MAX);
  Row.assign(size_t(MBLMaxNeighbours), 0);
  for (size_t I = 0; I < Heap.size(); ++I) {
    Dist[I] = Heap[I].first;
    Row[I] = Heap[I].second;
  }
  std::make_heap(Heap.begin(), Heap.end(), TRanksBefore());
}

// ---- Construction and settings ---------------------------------------------------------------

TMemBasedLearner::TMemBasedLearner(TComponent* AOwner)
    : TComponent(AOwner),
      FModelData(std::make_unique<TDataTable>()),
      FMeanVarRange(std::make_unique<TMatrix>(1, 2)),
      FPrepared(std::make_unique<TPrepared>()) {
  InstallHandlers();
}

TMemBasedLearner::~TMemBasedLearner() = default;

void TMemBasedLearner::InstallHandlers() {
  TDataTable& T = *FModelData;
  // A write only marks what depends on the values; it is recomputed when next read.
  T.OnChange = [this](TObject*) { Stale(true); };
  T.OnResize = [this](TObject*, int32_t, int32_t, int32_t, int32_t) { Stale(true); };
  T.OnChangeSetup = [this](TObject*) { Stale(false); };
  T.OnChangeAttrib = [this](TObject*) { Stale(false); };
  T.OnPercentDone = [this](TObject*, int32_t Percent) { PercDone(this, Percent); };
}

void TMemBasedLearner::Stale(bool Stats) {
  FPrepared->Valid = false;
  if (Stats) FStatsStale = true;
}

void TMemBasedLearner::PercDone(TObject*, int32_t Percent) {
  if (OnPercentDone) OnPercentDone(this, Percent);
}

int32_t TMemBasedLearner::SetNumNearestNb(int32_t Value) {
  Value = std::min(Value, FModelData->NrOfRows());
  Value = std::min(Value, MBLMaxNeighbours);
  FNumNearestNb = std::max(Value, 1);
  return FNumNearestNb;
}

void TMemBasedLearner::SetLocalModel(TMBLLocalModel Value) {
  if (Value >= mblLMAverage && Value <= mblLMRegress) FLocModel = Value;
}

void TMemBasedLearner::SetDistMode(TMBLDistMode Value) {
  if (Value >= mblDistEuclid && Value <= mblDistMahalanobis) FDistMode = Value;
}

void TMemBasedLearner::SetScalingMode(TMBLScalingMode Value) {
  if (Value != mblUnscaled && Value != mblStandardized) return;
  if (Value != FScalingMode) FPrepared->Valid = false;
  FScalingMode = Value;
}

// ---- Variable types --------------------------------------------------------------------------

TMBLVarType TMemBasedLearner::VarType(int32_t ix) const {
  if (ix < 1 || ix > FModelData->NrOfColumns()) return mblVarIgnore;
  return static_cast<TMBLVarType>(FModelData->ColAttrib(ix));
}

void TMemBasedLearner::SetVarType(int32_t ix, int32_t Value) {
  if (ix < 1 || ix > FModelData->NrOfColumns()) return;
  FModelData->SetColAttrib(ix, Value & 0xFF);
}

void TMemBasedLearner::SetAllVars(TMBLVarType Value) { FModelData->SetColAttributes(Value); }

int32_t TMemBasedLearner::CountIndependentVars() const {
  int32_t N = 0;
  for (int32_t C = 1; C <= FModelData->NrOfColumns(); ++C) N += FModelData->ColAttrib(C) == 1;
  return N;
}

int32_t TMemBasedLearner::CountTargetVars() const {
  int32_t N = 0;
  for (int32_t C = 1; C <= FModelData->NrOfColumns(); ++C) N += FModelData->ColAttrib(C) == 2;
  return N;
}

// ---- Column statistics and prepared columns ---------------------------------------------------

void TMemBasedLearner::UpdateStats() const {
  if (!FStatsStale) return;
  const TDataTable& T = *FModelData;
  const int32_t Nc = T.NrOfColumns(), Nr = T.NrOfRows();
  TDouble2DArray S = GuardAlloc<ENUXMemBLError>(
      *this, msgNoMemoryOnHeap, [&] { return TDouble2DArray(size_t(Nc), TDoubleArray(2, 0.0)); });
  for (int32_t C = 1; C <= Nc; ++C)
    T.NumericData()->MeanVar(C, 1, C, Nr, S[size_t(C - 1)][0], S[size_t(C - 1)][1]);
  FMeanVarRange->SetValues(S);
  FStatsStale = false;
}

const TMatrix& TMemBasedLearner::MeanVarRange() const {
  UpdateStats();
  return *FMeanVarRange;
}

const TMemBasedLearner::TPrepared& TMemBasedLearner::Prepare() const {
  TPrepared& P = *FPrepared;
  if (P.Valid) return P;
  UpdateStats();
  const TDataTable& T = *FModelData;
  const int32_t Nc = T.NrOfColumns(), Nr = T.NrOfRows();
  TPrepared N;
  N.Scaled = FScalingMode == mblStandardized;
  GuardAlloc<ENUXMemBLError>(*this, msgNoMemoryOnHeap, [&] {
    for (int32_t C = 1; C <= Nc; ++C) {
      const int32_t A = T.ColAttrib(C);
      if (A == mblVarTarget) N.Targets.push_back(C);
      if (A != mblVarIndep) continue;
      N.Indep.push_back(C);
      const double M = FMeanVarRange->GetVal(C, 1), D = std::sqrt(FMeanVarRange->GetVal(C, 2));
      N.Mean.push_back(M);
      N.Dev.push_back(D);
      const bool Rounded = IsCategorical(T.MScaleType(C));
      if (!Rounded && !N.Scaled) {
        N.Own.emplace_back();
        continue;
      }
      // Values as Elem gives them, standardized as the query will be.
      TDoubleArray V(static_cast<size_t>(Nr));
      for (int32_t R = 1; R <= Nr; ++R) {
        double B = T.Elem(C, R);
        if (N.Scaled) {
          B = B - M;
          if (D != 0.0) B = B / D;
        }
        V[size_t(R - 1)] = B;
      }
      N.Own.push_back(std::move(V));
    }
  });
  N.Cols.resize(N.Indep.size());
  for (size_t J = 0; J < N.Indep.size(); ++J)
    N.Cols[J] =
        N.Own[J].empty() ? T.NumericData()->Data()[size_t(N.Indep[J] - 1)].data() : N.Own[J].data();
  N.Valid = true;
  P = std::move(N);
  return P;
}

bool TMemBasedLearner::PrepareQuery(const double* Values, TDoubleArray& Q) const {
  const TPrepared& P = *FPrepared;
  Q.resize(P.Indep.size());
  for (size_t J = 0; J < P.Indep.size(); ++J) {
    double A = Values[P.Indep[J] - 1];
    if (!std::isfinite(A)) return false;
    if (P.Scaled) {
      A = A - P.Mean[J];
      if (P.Dev[J] != 0.0) A = A / P.Dev[J];
    }
    Q[J] = A;
  }
  return true;
}

void TMemBasedLearner::Distances(const double* Q, double* D) const {
  const TPrepared& P = *FPrepared;
  const int32_t Kind = FDistMode == mblDistManhattan ? kernels::rdCityBlock : kernels::rdEuclid;
  kernels::RowDistances(Kind, P.Cols.data(), P.Cols.size(), Q, 0, size_t(FModelData->NrOfRows()),
                        D);
}

double TMemBasedLearner::CalcDist(const TDoubleArray& Values, int32_t Row) const {
  const TDataTable& T = *FModelData;
  if (Values.size() < size_t(T.NrOfColumns()) || Row < 1 || Row > T.NrOfRows()) return NAN;
  UpdateStats();
  double S = 0.0;
  for (int32_t C = 1; C <= T.NrOfColumns(); ++C) {
    if (T.ColAttrib(C) != mblVarIndep) continue;
    double A = Values[size_t(C - 1)], B = T.Elem(C, Row);
    if (FScalingMode == mblStandardized) {
      const double M = FMeanVarRange->GetVal(C, 1), D = std::sqrt(FMeanVarRange->GetVal(C, 2));
      A = A - M;
      B = B - M;
      if (D != 0.0) {
        A = A / D;
        B = B / D;
      }
    }
    S += FDistMode == mblDistManhattan ? std::fabs(A - B) : (A - B) * (A - B);
  }
  return FDistMode == mblDistManhattan ? S : std::sqrt(S);
}

// ---- Applying the model ----------------------------------------------------------------------

namespace {

// The estimate of target column T from the neighbour rows Nb (k of them) with distances Dist.
double Average(const TDataTable& Tab, int32_t T, const int32_t* Nb, int32_t K) {
  double S = 0.0;
  for (int32_t I = 0; I < K; ++I) S += Tab.Elem(T, Nb[I]);
  return S / K;
}

double MajorityVote(const TDataTable& Tab, int32_t T, const int32_t* Nb, int32_t K, double SdT) {
  if (SdT == 0.0) return Tab.Elem(T, 1);
  int32_t BestCount = -1;
  double Best = 0.0;
  for (int32_t I = 0; I < K; ++I) {
    const double V = Tab.Elem(T, Nb[I]);
    int32_t Count = 0;
    for (int32_t J = 0; J < K; ++J) Count += std::fabs(Tab.Elem(T, Nb[J]) - V) < SdT;
    if (Count > BestCount) {
      BestCount = Count;
      Best = V;
    }
  }
  return Best;
}

}  // namespace

int32_t TMemBasedLearner::ApplyModel(TDoubleArray& Sensor, int32_t ExcludeObj, int32_t Tag) {
  const TDataTable& T = *FModelData;
  const int32_t Nr = T.NrOfRows();
  auto ZeroAll = [&] { std::fill(Sensor.begin(), Sensor.end(), 0.0); };
  if (Sensor.size() != size_t(T.NrOfColumns())) {
    ZeroAll();
    return -3;
  }
  const TPrepared& P = Prepare();
  TDoubleArray Q;
  if (!PrepareQuery(Sensor.data(), Q)) {
    ZeroAll();
    return -4;
  }
  TDoubleArray D = GuardAlloc<ENUXMemBLError>(*this, msgNoMemoryOnHeap,
                                              [&] { return TDoubleArray(size_t(Nr)); });
  Distances(Q.data(), D.data());
  TNbList L;
  L.OfferAll(D.data(), Nr, ExcludeObj);
  L.Finish();
  const int32_t K = std::min(FNumNearestNb, MBLMaxNeighbours);
  int32_t Result = 0;
  if (K >= Nr || K < 1 || L.Filled() < K) {
    ZeroAll();
    Result = -2;
  } else {
    const int32_t* Nb = L.Row.data();
    double Sigma = 0.0;
    if (FLocModel == mblLMWgtGauss) {
      // The spread of all finite candidate distances.
      int64_t NFinite = 0;
      for (int32_t R = 1; R <= Nr; ++R)
        if (R != ExcludeObj && std::isfinite(D[size_t(R - 1)]))
          D[size_t(NFinite++)] = D[size_t(R - 1)];
      const TCentralSums Cs = CentralSums(NFinite, [&](int64_t I) { return D[size_t(I)]; });
      Sigma = NFinite < 3 ? 0.0 : std::sqrt(Cs.S2 / double(NFinite - 1));
    }
    for (const int32_t Tc : P.Targets) {
      double E = 0.0;
      switch (FLocModel) {
        case mblLMAverage:
          E = Average(T, Tc, Nb, K);
          break;
        case mblLMWgtGauss: {
          double Sw = 0.0, Swv = 0.0;
          if (Sigma > 0.0)
            for (int32_t I = 0; I < K; ++I) {
              const double Z = L.Dist[size_t(I)] / Sigma, W = std::exp(-(Z * Z));
              Sw += W;
              Swv += W * T.Elem(Tc, Nb[I]);
            }
          // No spread, or every weight underflowed: the neighbours count alike.
          E = Sw > 0.0 ? Swv / Sw : Average(T, Tc, Nb, K);
          break;
        }
        case mblLMMajority:
          E = MajorityVote(T, Tc, Nb, K, std::sqrt(MeanVarRange().GetVal(Tc, 2)));
          break;
        case mblLMRegress: {
          const int32_t Ni = int32_t(P.Indep.size());
          TMatrix X(Ni + 1, K);
          TVector Y(K), Coef;
          for (int32_t I = 0; I < K; ++I) {
            for (int32_t J = 0; J < Ni; ++J)
              X.SetVal(J + 1, I + 1, T.Elem(P.Indep[size_t(J)], Nb[I]));
            X.SetVal(Ni + 1, I + 1, 1.0);
            Y.SetVal(I + 1, T.Elem(Tc, Nb[I]));
          }
          bool Singular = false;
          if (MultiLinReg(X, Y, Coef, nullptr, Singular)) {
            double S = 0.0;
            for (int32_t J = 0; J < Ni; ++J)
              S += Coef.GetVal(J + 1) * Sensor[size_t(P.Indep[size_t(J)] - 1)];
            E = Coef.GetVal(Ni + 1) + S;
          } else {
            // No fit at all: the plain average, reported like a singular fit.
            E = Average(T, Tc, Nb, K);
            Singular = true;
          }
          if (Singular) Result = -1;
          break;
        }
      }
      Sensor[size_t(Tc - 1)] = E;
    }
  }
  if (OnModelApplied) OnModelApplied(this, Tag, L.Row, L.Dist, Result);
  return Result;
}

// ---- Neighbours of the model rows --------------------------------------------------------------

void TMemBasedLearner::CalcNNOfModelData() {
  const TDataTable& T = *FModelData;
  const int32_t Nr = T.NrOfRows(), Nc = T.NrOfColumns();
  Prepare();
  TInt2DArray List;
  TDouble2DArray Dist;
  TDoubleArray D, Q, Values(static_cast<size_t>(Nc));
  GuardAlloc<ENUXMemBLError>(*this, msgNoMemoryOnHeap, [&] {
    List.assign(size_t(MBLMaxNeighbours), TIntArray(size_t(Nr), 0));
    Dist.assign(size_t(MBLMaxNeighbours), TDoubleArray(size_t(Nr), DBL_MAX));
    D.resize(size_t(Nr));
  });
  const TDouble2DArray& Raw = T.NumericData()->Data();
  TNbList L;
  for (int32_t R = 1; R <= Nr; ++R) {
    for (int32_t C = 0; C < Nc; ++C) Values[size_t(C)] = Raw[size_t(C)][size_t(R - 1)];
    L.Reset();
    if (PrepareQuery(Values.data(), Q)) {
      Distances(Q.data(), D.data());
      L.OfferAll(D.data(), Nr, 0);
    }
    L.Finish();
    for (int32_t K = 0; K < MBLMaxNeighbours; ++K) {
      List[size_t(K)][size_t(R - 1)] = L.Row[size_t(K)];
      Dist[size_t(K)][size_t(R - 1)] = L.Dist[size_t(K)];
    }
  }
  FNNList = std::move(List);
  FNNDist = std::move(Dist);
}

int32_t TMemBasedLearner::kNNOfModelData(int32_t k, int32_t index) const {
  if (k < 1 || size_t(k) > FNNList.size() || index < 1 ||
      size_t(index) > FNNList[size_t(k - 1)].size())
    return -1;
  return FNNList[size_t(k - 1)][size_t(index - 1)];
}

double TMemBasedLearner::kNNDistOfModelData(int32_t k, int32_t index) const {
  if (k < 1 || size_t(k) > FNNDist.size() || index < 1 ||
      size_t(index) > FNNDist[size_t(k - 1)].size())
    return -1.0;
  return FNNDist[size_t(k - 1)][size_t(index - 1)];
}

int32_t TMemBasedLearner::CalcContingencyTable(int32_t VarIx, int32_t NumNb, TInt2DArray& ContTab) {
  const TDataTable& T = *FModelData;
  const int32_t Nr = T.NrOfRows();
  if (VarIx < 1 || VarIx > T.NrOfColumns()) return -1;
  if (!IsCategorical(T.MScaleType(VarIx))) return -2;
  double Lo = 0.0, Hi = 0.0;
  T.MinMaxOfValidCells(VarIx, 1, VarIx, Nr, Lo, Hi);
  const int64_t L = RoundToInt32(Lo), H = RoundToInt32(Hi), C = H - L + 1;
  if (C < 2 || C > 100) return -3;
  if (L < 1) return -4;
  // Ranks beyond the rows (or beyond the list) hold no neighbour.
  if (NumNb < 1 || NumNb > std::min(MBLMaxNeighbours - 1, Nr - 1)) return -5;
  CalcNNOfModelData();
  TInt2DArray Tab(size_t(C + 1), TIntArray(size_t(C + 1), 0));
  // Classes are counted from the smallest one, so a table of c + 1 rows holds every class;
  // values outside the valid cells' range and unfilled ranks are left out.
  auto ClassOf = [&](int32_t Row) -> int64_t {
    const int64_t U = CategoricalOrdinal(T.Elem(VarIx, Row));
    return U >= L && U <= H ? U - L : -1;
  };
  for (int32_t I = 2; I <= NumNb + 1; ++I)
    for (int32_t R = 1; R <= Nr; ++R) {
      const int32_t Nb = FNNList[size_t(I - 1)][size_t(R - 1)];
      if (Nb < 1) continue;
      const int64_t U = ClassOf(R), V = ClassOf(Nb);
      if (U >= 0 && V >= 0) ++Tab[size_t(U)][size_t(V)];
    }
  for (int64_t J = 0; J < C; ++J)
    for (int64_t K = 0; K < C; ++K) {
      Tab[size_t(J)][size_t(C)] += Tab[size_t(J)][size_t(K)];
      Tab[size_t(C)][size_t(K)] += Tab[size_t(J)][size_t(K)];
    }
  for (int64_t K = 0; K < C; ++K) Tab[size_t(C)][size_t(C)] += Tab[size_t(C)][size_t(K)];
  ContTab = std::move(Tab);
  return 0;
}

}  // namespace nux
