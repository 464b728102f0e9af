#include "nux/statis/classifier.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>

#include "nux/frame/dstruct.h"
#include "nux/frame/errors.h"
#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/matrix/intmatrix.h"
#include "nux/matrix/matrix.h"
#include "nux/openarrays/arraystats.h"
#include "nux/vector/vector.h"

namespace nux {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Entropy (natural logarithm) of counts out of N, empty counts skipped.
double Entropy(std::initializer_list<int64_t> Counts, double N) {
  double H = 0.0;
  for (const int64_t C : Counts)
    if (C > 0) {
      const double P = static_cast<double>(C) / N;
      H -= P * std::log(P);
    }
  return H;
}

// Order keys of estimates: unsigned integers that ascend as the estimates descend, equal for
// equal estimates (both zeros alike), every NaN last.
uint64_t OrderKey(double X) {
  if (std::isnan(X)) return ~uint64_t(0);
  const uint64_t Bits = std::bit_cast<uint64_t>(X == 0.0 ? 0.0 : X);
  const uint64_t Ascending = (Bits >> 63) != 0 ? ~Bits : Bits | (uint64_t(1) << 63);
  return ~Ascending;
}

// The estimate of a key (a NaN for the NaN key).
double KeyValue(uint64_t Key) {
  if (Key == ~uint64_t(0)) return NaN;
  const uint64_t Ascending = ~Key;
  return std::bit_cast<double>((Ascending >> 63) != 0 ? Ascending & ~(uint64_t(1) << 63)
                                                      : ~Ascending);
}

// Sorts keys ascending: a radix sort of 11-bit digits (skipping digits that all keys share)
// for long lists, the standard sort for short ones. Keys carry no other data, so the order
// among equal keys does not matter.
void SortKeys(std::vector<uint64_t>& Keys) {
  constexpr int Bits = 11, Digits = (64 + Bits - 1) / Bits;
  constexpr size_t Buckets = size_t(1) << Bits;
  if (Keys.size() < 4096) {
    std::sort(Keys.begin(), Keys.end());
    return;
  }
  std::vector<std::array<size_t, Buckets>> Count(Digits);
  for (auto& C : Count) C.fill(0);
  for (const uint64_t K : Keys)
    for (int D = 0; D < Digits; ++D) ++Count[size_t(D)][(K >> (D * Bits)) & (Buckets - 1)];
  std::vector<uint64_t> Other(Keys.size());
  for (int D = 0; D < Digits; ++D) {
    auto& C = Count[size_t(D)];
    if (std::find(C.begin(), C.end(), Keys.size()) != C.end()) continue;  // one bucket
    size_t Start = 0;
    for (size_t& N : C) {
      const size_t Here = N;
      N = Start;
      Start += Here;
    }
    for (const uint64_t K : Keys) Other[C[(K >> (D * Bits)) & (Buckets - 1)]++] = K;
    Keys.swap(Other);
  }
}

double Ratio(int64_t Num, int64_t Den) {
  return Den == 0 ? 0.0 : static_cast<double>(Num) / static_cast<double>(Den);
}

}  // namespace

// ---- Free measures ----

double CFAccuracy(int64_t tp, int64_t fp, int64_t tn, int64_t fn) {
  if (tp < 0 || fp < 0 || tn < 0 || fn < 0) return NaN;
  return Ratio(tp + tn, tp + fp + tn + fn);
}

double CFMatthewsCorr(int64_t tp, int64_t fp, int64_t tn, int64_t fn) {
  if (tp < 0 || fp < 0 || tn < 0 || fn < 0) return NaN;
  // Products of counts below 2^32 are exact in long double, so the numerator does not cancel.
  using LD = long double;
  const LD Num = LD(tp) * LD(tn) - LD(fp) * LD(fn);
  const LD Root = std::sqrt(LD(tp + fp) * LD(tp + fn)) * std::sqrt(LD(tn + fp) * LD(tn + fn));
  return Root == 0 ? 0.0 : static_cast<double>(Num / Root);
}

double CFInformedness(int64_t tp, int64_t fp, int64_t tn, int64_t fn) {
  if (tp < 0 || fp < 0 || tn < 0 || fn < 0) return NaN;
  return Ratio(tp, tp + fn) + Ratio(tn, tn + fp) - 1.0;
}

int32_t ExtractClassifPerformance(int32_t ClassIx, const TInt2DArray& ConfMat, int64_t& tp,
                                  int64_t& fp, int64_t& tn, int64_t& fn) {
  if (ConfMat.empty() || IsRagged(ConfMat) || ConfMat.size() != ConfMat[0].size()) return -1;
  if (ClassIx < 0 || size_t(ClassIx) >= ConfMat.size()) return -2;
  const size_t K = size_t(ClassIx);
  int64_t Total = 0, Col = 0, Row = 0;
  for (size_t C = 0; C < ConfMat.size(); ++C)
    for (size_t R = 0; R < ConfMat.size(); ++R) {
      const int64_t V = ConfMat[C][R];
      Total += V;
      if (C == K) Col += V;
      if (R == K) Row += V;
    }
  tp = ConfMat[K][K];
  fp = Col - tp;
  fn = Row - tp;
  tn = Total - tp - fp - fn;
  return 0;
}

int32_t ExtractClassifPerformance(int32_t ClassIx, const TIntMatrix& ConfMat, int64_t& tp,
                                  int64_t& fp, int64_t& tn, int64_t& fn) {
  const int32_t N = ConfMat.NrOfColumns();
  if (N < 1 || N != ConfMat.NrOfRows()) return -1;
  if (ClassIx < 1 || ClassIx > N) return -2;
  if (!ConfMat.IsSparse())
    return ExtractClassifPerformance(ClassIx - 1, ConfMat.Data(), tp, fp, tn, fn);
  // Sparse: the stored elements are all there is.
  int64_t Total = 0, Col = 0, Row = 0, Diag = 0;
  for (const TSpMatElemInt& E : ConfMat.SparseElements()) {
    Total += E.value;
    if (E.colidx == ClassIx) Col += E.value;
    if (E.rowidx == ClassIx) Row += E.value;
    if (E.colidx == ClassIx && E.rowidx == ClassIx) Diag += E.value;
  }
  tp = Diag;
  fp = Col - tp;
  fn = Row - tp;
  tn = Total - tp - fp - fn;
  return 0;
}

// ---- TCFEvaluator ----

TCFEvaluator::TCFEvaluator(TComponent* AOwner)
    : TComponent(AOwner), FTrueVec(1, 0.0), FEstVec(1, 0.0) {}

int32_t TCFEvaluator::GetNData() const {
  return FTrueVec.size() == FEstVec.size() ? static_cast<int32_t>(FTrueVec.size()) : -1;
}

void TCFEvaluator::SetNData(int32_t N) {
  if (N <= 0) return;
  TDoubleArray T(FTrueVec), E(FEstVec);
  T.resize(size_t(N), 0.0);
  E.resize(size_t(N), 0.0);
  FTrueVec.swap(T);
  FEstVec.swap(E);
  FDichoStale = true;
  DataChanged();
}

double TCFEvaluator::GetTrueData(int32_t Ix) const {
  return Ix >= 1 && size_t(Ix) <= FTrueVec.size() ? FTrueVec[size_t(Ix - 1)] : 0.0;
}

void TCFEvaluator::SetTrueData(int32_t Ix, double Value) {
  if (Ix < 1 || size_t(Ix) > FTrueVec.size()) return;
  FTrueVec[size_t(Ix - 1)] = Value;
  // Re-reading the dichotomy waits until it is asked for: filling n cases stays O(n).
  FDichoStale = true;
  DataChanged();
}

double TCFEvaluator::GetEstimData(int32_t Ix) const {
  return Ix >= 1 && size_t(Ix) <= FEstVec.size() ? FEstVec[size_t(Ix - 1)] : 0.0;
}

void TCFEvaluator::SetEstimData(int32_t Ix, double Value) {
  if (Ix < 1 || size_t(Ix) > FEstVec.size()) return;
  FEstVec[size_t(Ix - 1)] = Value;
  DataChanged();
}

int32_t TCFEvaluator::CopyTrueFromMatrix(int32_t Col, const TMatrix& SrcMat) {
  if (Col < 1 || Col > SrcMat.NrOfColumns()) return -1;
  const auto Src = SrcMat.Column(Col);
  TDoubleArray T(Src.begin(), Src.end());
  FTrueVec.swap(T);
  FDichoStale = true;
  DataChanged();
  UpdateDicho();
  return FIsDicho ? 0 : -2;
}

int32_t TCFEvaluator::CopyEstFromMatrix(int32_t Col, const TMatrix& SrcMat) {
  if (Col < 1 || Col > SrcMat.NrOfColumns()) return -1;
  const auto Src = SrcMat.Column(Col);
  TDoubleArray E(Src.begin(), Src.end());
  FEstVec.swap(E);
  DataChanged();
  return 0;
}

void TCFEvaluator::UpdateDicho() const {
  if (!FDichoStale) return;
  double V1 = 0.0, V2 = 0.0;
  FIsDicho = IsDichotomous(FTrueVec, V1, V2);
  FDichoV1 = FIsDicho ? V1 : 0.0;
  FDichoV2 = FIsDicho ? V2 : 0.0;
  FDichoStale = false;
}

double TCFEvaluator::DichoV1() const {
  UpdateDicho();
  return FDichoV1;
}

double TCFEvaluator::DichoV2() const {
  UpdateDicho();
  return FDichoV2;
}

bool TCFEvaluator::GetActualDichoValues(double& V1, double& V2) const {
  return IsDichotomous(FTrueVec, V1, V2);
}

void TCFEvaluator::DataChanged() {
  FIsSorted = false;
  FHasConfMat = false;
}

void TCFEvaluator::EnsureSorted() {
  if (FIsSorted) return;
  UpdateDicho();
  // A case is positive when it holds the larger value: no midpoint, which could overflow or
  // round onto one of two neighbouring values.
  const size_t N = FEstVec.size();
  auto Positive = [&](size_t I) { return FIsDicho && FTrueVec[I] == FDichoV2; };
  size_t P = 0;
  for (size_t I = 0; I < N; ++I) P += Positive(I) ? 1 : 0;
  std::vector<uint64_t> Pos, Neg;
  Pos.reserve(P);
  Neg.reserve(N - P);
  for (size_t I = 0; I < N; ++I) (Positive(I) ? Pos : Neg).push_back(OrderKey(FEstVec[I]));
  SortKeys(Pos);
  SortKeys(Neg);
  FPosKeys.swap(Pos);
  FNegKeys.swap(Neg);
  FIsSorted = true;
}

int32_t TCFEvaluator::SortEstimated() {
  if (GetNData() < 0) return -1;
  EnsureSorted();
  return 0;
}

void TCFEvaluator::PredictedPositive(double T, int64_t& tp, int64_t& fp) const {
  tp = fp = 0;
  if (std::isnan(T)) return;  // nothing is at least NaN
  const uint64_t K = OrderKey(T);
  tp = std::upper_bound(FPosKeys.begin(), FPosKeys.end(), K) - FPosKeys.begin();
  fp = std::upper_bound(FNegKeys.begin(), FNegKeys.end(), K) - FNegKeys.begin();
}

int32_t TCFEvaluator::CalcConfusionMatrix(double CFThresh) {
  int32_t Status = 0;
  if (GetNData() < 0) Status = -1;
  UpdateDicho();
  if (!FIsDicho) Status = -2;
  if (Status != 0) return Status;
  EnsureSorted();
  PredictedPositive(CFThresh, Ftp, Ffp);
  Ffn = int64_t(FPosKeys.size()) - Ftp;
  Ftn = int64_t(FNegKeys.size()) - Ffp;
  FCFThresh = CFThresh;
  FHasConfMat = true;
  return 0;
}

void TCFEvaluator::GetConfMatValues(int64_t& tp, int64_t& fp, int64_t& tn, int64_t& fn,
                                    double& Thresh) const {
  UpdateDicho();
  if (!FHasConfMat || !FIsDicho) return;
  tp = Ftp;
  fp = Ffp;
  tn = Ftn;
  fn = Ffn;
  Thresh = FCFThresh;
}

int32_t TCFEvaluator::ScoreState(int32_t NotValid, int32_t NotDicho) const {
  int32_t Status = 0;
  if (!FHasConfMat) Status = NotValid;
  UpdateDicho();
  if (!FIsDicho) Status = NotDicho;
  return Status;
}

double TCFEvaluator::TpRate() const {
  const int32_t S = ScoreState(-1, -2);
  return S != 0 ? S : Ratio(Ftp, Ftp + Ffn);
}

double TCFEvaluator::TnRate() const {
  const int32_t S = ScoreState(-1, -2);
  return S != 0 ? S : Ratio(Ftn, Ftn + Ffp);
}

double TCFEvaluator::FpRate() const {
  const int32_t S = ScoreState(-1, -2);
  return S != 0 ? S : Ratio(Ffp, Ftn + Ffp);
}

double TCFEvaluator::FnRate() const {
  const int32_t S = ScoreState(-1, -2);
  return S != 0 ? S : Ratio(Ffn, Ftp + Ffn);
}

double TCFEvaluator::Precision() const {
  const int32_t S = ScoreState(-1, -2);
  return S != 0 ? S : Ratio(Ftp, Ftp + Ffp);
}

double TCFEvaluator::NegPredVal() const {
  const int32_t S = ScoreState(-1, -2);
  return S != 0 ? S : Ratio(Ftn, Ftn + Ffn);
}

double TCFEvaluator::ThreatScore() const {
  const int32_t S = ScoreState(-1, -2);
  return S != 0 ? S : Ratio(Ftp, Ftp + Ffn + Ffp);
}

double TCFEvaluator::F1Score() const {
  const int32_t S = ScoreState(-1, -2);
  return S != 0 ? S : Ratio(2 * Ftp, 2 * Ftp + Ffn + Ffp);
}

double TCFEvaluator::Accuracy() const {
  const int32_t S = ScoreState(-1, -2);
  return S != 0 ? S : CFAccuracy(Ftp, Ffp, Ftn, Ffn);
}

double TCFEvaluator::Informedness() const {
  const int32_t S = ScoreState(-2, -3);
  return S != 0 ? S : CFInformedness(Ftp, Ffp, Ftn, Ffn);
}

double TCFEvaluator::MatthewsCorr() const {
  const int32_t S = ScoreState(-3, -2);
  return S != 0 ? S : CFMatthewsCorr(Ftp, Ffp, Ftn, Ffn);
}

double TCFEvaluator::UncertCoeff() const {
  const int32_t S = ScoreState(-1, -2);
  if (S != 0) return S;
  const int64_t Total = Ftp + Ffp + Ftn + Ffn;
  if (Total == 0) return 0.0;
  const double N = static_cast<double>(Total);
  const double H1 = Entropy({Ftp + Ffp, Ffn + Ftn}, N);
  const double H2 = Entropy({Ftp + Ffn, Ffp + Ftn}, N);
  const double H12 = Entropy({Ftp, Ffp, Ftn, Ffn}, N);
  return 2.0 * (H1 + H2 - H12) / (H1 + H2 + 1e-15);
}

namespace {

// The best threshold of one score: a new maximum takes its threshold, a run of thresholds
// reaching the maximum again takes the run's mean.
struct TBestThreshold {
  double Best = 0.0, First = 0.0, Offsets = 0.0, Out = NaN;
  int64_t RunCount = 0;
  void Offer(double Value, double T) {
    if (Value > Best || (Value == Best && RunCount == 0)) {
      Best = Value;
      First = T;
      Offsets = 0.0;
      RunCount = 1;
      Out = T;
    } else if (Value == Best) {
      // The mean as an offset from the run's first threshold: it stays within the run even
      // where the thresholds are huge and nearly equal.
      Offsets += T - First;
      ++RunCount;
      Out = First + Offsets / static_cast<double>(RunCount);
    } else {
      RunCount = 0;
    }
  }
};

}  // namespace

int32_t TCFEvaluator::OptimizeThresholds(TDouble2DArray& ROCCoords, int32_t& BestROC, double& AUC,
                                         double& ThreshMMC, double& ThreshAccuracy,
                                         double& ThreshInformedness) {
  int32_t Status = 0;
  UpdateDicho();
  if (!FIsDicho) Status = -1;
  if (GetNData() < 0) Status = -3;
  if (Status != 0) return Status;
  EnsureSorted();
  const int64_t Pos = int64_t(FPosKeys.size()), Neg = int64_t(FNegKeys.size());
  if (Pos == 0 || Neg == 0) return -2;

  // ROC: one point before each run of equal estimates, so that tied cases make one step and
  // the curve does not depend on how they were ordered.
  TDouble2DArray Roc(3);
  for (TDoubleArray& Row : Roc) Row.reserve(size_t(Pos + Neg) + 1);
  int32_t Best = 0;
  double BestDist = 0.0;
  int64_t Area2 = 0;  // twice the area in units of one negative by one positive: exact
  int64_t Cp = 0, Cn = 0;
  const double P = static_cast<double>(Pos), Q = static_cast<double>(Neg);
  auto AddPoint = [&](uint64_t Key) {
    const double Fpr = static_cast<double>(Cn) / Q, Tpr = static_cast<double>(Cp) / P;
    Roc[0].push_back(Fpr);
    Roc[1].push_back(Tpr);
    Roc[2].push_back(KeyValue(Key));
    if (std::fabs(Fpr - Tpr) > BestDist) {
      BestDist = std::fabs(Fpr - Tpr);
      Best = static_cast<int32_t>(Roc[0].size() - 1);
    }
  };
  uint64_t Key = 0;
  while (Cp < Pos || Cn < Neg) {
    // The next run: the smaller key at the heads of both lists, with all its equals.
    Key = std::min(Cp < Pos ? FPosKeys[size_t(Cp)] : ~uint64_t(0),
                   Cn < Neg ? FNegKeys[size_t(Cn)] : ~uint64_t(0));
    AddPoint(Key);
    int64_t NewCp = Cp, NewCn = Cn;
    while (NewCp < Pos && FPosKeys[size_t(NewCp)] == Key) ++NewCp;
    while (NewCn < Neg && FNegKeys[size_t(NewCn)] == Key) ++NewCn;
    Area2 += (NewCn - Cn) * (Cp + NewCp);
    Cp = NewCp;
    Cn = NewCn;
  }
  AddPoint(Key);

  // Threshold scan over the finite estimates, each threshold computed from its index (adding
  // the step again and again stalls once it falls below half an ulp of t).
  TBestThreshold Mcc, Acc, Inf;
  double Max = -std::numeric_limits<double>::infinity(), Min = -Max;
  for (const auto* Keys : {&FPosKeys, &FNegKeys}) {
    auto Finite = [](uint64_t K) { return std::isfinite(KeyValue(K)); };
    const auto First = std::find_if(Keys->begin(), Keys->end(), Finite);
    if (First == Keys->end()) continue;
    Max = std::max(Max, KeyValue(*First));
    Min = std::min(Min, KeyValue(*std::find_if(Keys->rbegin(), Keys->rend(), Finite)));
  }
  if (Max >= Min) {
    double Step = (Max - Min) / 100.0;
    if (std::isinf(Step)) Step = Max / 100.0 - Min / 100.0;
    for (int32_t K = 0; K < 110; ++K) {
      const double T = Min + (K - 5) * Step;
      int64_t tp = 0, fp = 0;
      PredictedPositive(T, tp, fp);
      const int64_t fn = Pos - tp, tn = Neg - fp;
      Mcc.Offer(CFMatthewsCorr(tp, fp, tn, fn), T);
      Acc.Offer(CFAccuracy(tp, fp, tn, fn), T);
      Inf.Offer(CFInformedness(tp, fp, tn, fn), T);
    }
  }

  ROCCoords.swap(Roc);
  BestROC = Best;
  AUC = static_cast<double>(Area2) / (2.0 * static_cast<double>(Pos) * static_cast<double>(Neg));
  ThreshMMC = Mcc.Out;
  ThreshAccuracy = Acc.Out;
  ThreshInformedness = Inf.Out;
  return 0;
}

// ---- TCrossValidator ----

TCrossValidator::TCrossValidator(TComponent* AOwner)
    : TComponent(AOwner),
      FPress(std::make_unique<TVector>()),
      FTPCnt(std::make_unique<TIntVector>()),
      FFPCnt(std::make_unique<TIntVector>()),
      FTNCnt(std::make_unique<TIntVector>()),
      FFNCnt(std::make_unique<TIntVector>()),
      FXMat(std::make_unique<TMatrix>()),
      FYMat(std::make_unique<TMatrix>()) {
  InvalidateResults();
}

TCrossValidator::~TCrossValidator() = default;

void TCrossValidator::InvalidateResults() {
  FPress->Fill(-1.0);
  for (TIntVector* V : {FTPCnt.get(), FFPCnt.get(), FTNCnt.get(), FFNCnt.get()}) V->Fill(-1);
}

void TCrossValidator::SetTestSize(int32_t N) {
  FTestSize = std::max(N, 1);
  InvalidateResults();
}

bool TCrossValidator::Valid(int32_t Ix) const {
  return Ix >= 1 && Ix <= FTPCnt->NrOfElem() && FTPCnt->GetVal(Ix) >= 0;
}

double TCrossValidator::GetRMSEP(int32_t Ix) const {
  if (!Valid(Ix)) return -1.0;
  return std::sqrt(FPress->GetVal(Ix) / FXMat->NrOfRows());
}

double TCrossValidator::GetMCC(int32_t Ix) const {
  if (!Valid(Ix)) return -1.0;
  return CFMatthewsCorr(GetTPCnt(Ix), GetFPCnt(Ix), GetTNCnt(Ix), GetFNCnt(Ix));
}

int32_t TCrossValidator::GetTPCnt(int32_t Ix) const { return FTPCnt->GetVal(Ix); }
int32_t TCrossValidator::GetTNCnt(int32_t Ix) const { return FTNCnt->GetVal(Ix); }
int32_t TCrossValidator::GetFPCnt(int32_t Ix) const { return FFPCnt->GetVal(Ix); }
int32_t TCrossValidator::GetFNCnt(int32_t Ix) const { return FFNCnt->GetVal(Ix); }

double TCrossValidator::GetTPRate(int32_t Ix) const {
  if (!Valid(Ix)) return -1.0;
  const int64_t tp = GetTPCnt(Ix), fn = GetFNCnt(Ix);
  return tp + fn == 0 ? 0.0 : Ratio(tp, tp + fn);
}

double TCrossValidator::GetFPRate(int32_t Ix) const {
  if (!Valid(Ix)) return -1.0;
  const int64_t fp = GetFPCnt(Ix), tn = GetTNCnt(Ix);
  return tn + fp == 0 ? 1.0 : Ratio(fp, tn + fp);
}

double TCrossValidator::GetTNRate(int32_t Ix) const {
  if (!Valid(Ix)) return -1.0;
  const int64_t fp = GetFPCnt(Ix), tn = GetTNCnt(Ix);
  return tn + fp == 0 ? 0.0 : Ratio(tn, tn + fp);
}

double TCrossValidator::GetFNRate(int32_t Ix) const {
  if (!Valid(Ix)) return -1.0;
  const int64_t tp = GetTPCnt(Ix), fn = GetFNCnt(Ix);
  return tp + fn == 0 ? 1.0 : Ratio(fn, tp + fn);
}

bool TCrossValidator::Execute() {
  if (FXMat->NrOfRows() != FYMat->NrOfRows())
    throw ENUXStatisError("TCrossValidator.Execute: number of rows of XMat and YMat not equal");
  if (!OnModelApplyRequest)
    throw ENUXStatisError("TCrossValidator: OnModelApplyRequest event is not assigned");
  if (!OnModelCreateRequest)
    throw ENUXStatisError("TCrossValidator: OnModelCreateRequest event is not assigned");
  // A second run started from one of this run's events would mix both runs' counts.
  if (FIsRunning) return false;

  const int32_t Rows = FXMat->NrOfRows(), XCols = FXMat->NrOfColumns();
  const int32_t YCols = FYMat->NrOfColumns();
  const int32_t TestSize = std::min(FTestSize, Rows / 2 + 1);
  std::vector<double> Press(size_t(YCols), 0.0);
  std::vector<int64_t> Tp(size_t(YCols), 0), Fp(Tp), Tn(Tp), Fn(Tp);

  struct TRunning {
    bool& Flag;
    explicit TRunning(bool& F) : Flag(F) { Flag = true; }
    ~TRunning() { Flag = false; }
  };
  // Results are -1 while running and stay so if an event throws.
  GuardAlloc<ENUXStatisError>(*this, msgNoMemory, [&] {
    FPress->SetVecSize(YCols);
    for (TIntVector* V : {FTPCnt.get(), FFPCnt.get(), FTNCnt.get(), FFNCnt.get()})
      V->SetIntVecSize(YCols);
  });
  InvalidateResults();
  bool Aborted = false;
  {
    TRunning Running(FIsRunning);
    TBitFld Used(Rows);
    int64_t UsedCount = 0, Processed = 0;
    int32_t Failures = 0;
    TIntArray Test, Train;
    TDoubleArray Predictors(static_cast<size_t>(XCols)), Response, Thresh;
    auto Percent = [&] { return RoundToInt32(100.0 * static_cast<double>(Processed) / Rows); };
    auto Poll = [&] {
      if (OnCheckAbort) OnCheckAbort(this, Aborted);
    };
    while (UsedCount < Rows && !Aborted) {
      Test.clear();
      if (TestSize < Rows - UsedCount) {
        for (int32_t K = 0; K < TestSize; ++K) {
          int32_t R = RandomInt(Rows);
          while (Used.GetBit(R)) R = (R + 1) % Rows;
          Used.SetBit(R, true);
          Test.push_back(R);
        }
        std::sort(Test.begin(), Test.end());
      } else {
        for (int32_t R = 0; R < Rows; ++R)
          if (!Used.GetBit(R)) {
            Used.SetBit(R, true);
            Test.push_back(R);
          }
      }
      UsedCount += int64_t(Test.size());
      Train.clear();
      for (int32_t R = 0, T = 0; R < Rows; ++R) {
        if (size_t(T) < Test.size() && Test[size_t(T)] == R)
          ++T;
        else
          Train.push_back(R + 1);
      }
      bool Success = false;
      OnModelCreateRequest(this, Percent(), Train, Success);
      if (!Success) {
        for (const int32_t R : Test) Used.SetBit(R, false);
        UsedCount -= int64_t(Test.size());
        Poll();
        // A model that can never be built must not keep the run going for ever.
        if (++Failures >= CrossValMaxFailedRounds) Aborted = true;
        continue;
      }
      Failures = 0;
      for (const int32_t R : Test) {
        if (Aborted) break;
        ++Processed;
        for (int32_t C = 0; C < XCols; ++C) Predictors[size_t(C)] = FXMat->GetVal(C + 1, R + 1);
        Response.assign(size_t(YCols), 0.0);
        Thresh.assign(size_t(YCols), 0.0);
        OnModelApplyRequest(this, Percent(), Predictors, Response, Thresh);
        for (int32_t K = 0; K < YCols; ++K) {
          const size_t k = size_t(K);
          // Entries the handler did not supply are not numbers, and count as errors.
          const double Y = FYMat->GetVal(K + 1, R + 1);
          const double Est = k < Response.size() ? Response[k] : NaN;
          const double Th = k < Thresh.size() ? Thresh[k] : NaN;
          Press[k] += (Est - Y) * (Est - Y);
          if (Y != 1.0) {
            if (Th > Est)
              ++Tn[k];
            else
              ++Fp[k];
          } else if (Th < Est) {
            ++Tp[k];
          } else {
            ++Fn[k];
          }
        }
        Poll();
      }
    }
  }
  if (Aborted) return false;
  for (int32_t K = 1; K <= YCols; ++K) {
    const size_t k = size_t(K - 1);
    FPress->SetVal(K, Press[k]);
    FTPCnt->SetVal(K, static_cast<int32_t>(Tp[k]));
    FFPCnt->SetVal(K, static_cast<int32_t>(Fp[k]));
    FTNCnt->SetVal(K, static_cast<int32_t>(Tn[k]));
    FFNCnt->SetVal(K, static_cast<int32_t>(Fn[k]));
  }
  return true;
}

}  // namespace nux
