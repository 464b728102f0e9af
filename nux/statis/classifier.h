// Classifier evaluation: TCFEvaluator (confusion matrix, rates and scores, ROC curve and best
// thresholds of a two-class score), TCrossValidator (repeated hold-out cross validation through
// the host's model events) and free measures on confusion counts and multi-class matrices.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "nux/frame/types.h"
#include "nux/host/object.h"

namespace nux {

class TIntMatrix;
class TMatrix;
class TVector;
class TIntVector;

// Kinds of regression model, for callers' model-building code: multiple linear, linear
// discriminant, ridge.
enum TRegModelType : int32_t { rmMLR, rmLDA, rmRR };
// Scaling before partial least squares: centring or standardising.
enum TPLSSclMode : int32_t { scmCenter, scmStandardize };

// Builds a model from the one-based rows of XMat/YMat in ObjectList; sets Success when it did.
using TOnModelCreateRequestEvent = std::function<void(TObject* Sender, int32_t PercentDone,
                                                      const TIntArray& ObjectList, bool& Success)>;
// Applies the model to one row of predictors; fills, per response column, the estimate
// (Response) and the class threshold (Thresh). Both arrays come sized to the column count.
using TOnModelApplyRequestEvent =
    std::function<void(TObject* Sender, int32_t PercentDone, const TDoubleArray& Predictors,
                       TDoubleArray& Response, TDoubleArray& Thresh)>;

// True class values and estimated scores of n cases (case numbers 1..n are the caller's and
// never move). A case is positive when its true value is the larger of the two values, and
// predicted positive when its estimate is at least the threshold; a NaN estimate is never
// predicted positive.
class TCFEvaluator : public TComponent {
 public:
  // One case, true value and estimate 0.
  explicit TCFEvaluator(TComponent* AOwner = nullptr);

  // The number of cases (GetNData).
  int32_t NData() const { return GetNData(); }
  // The common length of both arrays, -1 when they differ.
  int32_t GetNData() const;
  // N > 0 resizes both arrays (contents kept, new cases 0); other N are ignored.
  void SetNData(int32_t N);

  // True value of case Ix (GetTrueData).
  double TrueData(int32_t Ix) const { return GetTrueData(Ix); }
  // True value of case Ix (1-based); 0 outside.
  double GetTrueData(int32_t Ix) const;
  // Sets the true value of case Ix; ignored outside. Invalidates the confusion matrix.
  void SetTrueData(int32_t Ix, double Value);
  // Estimate of case Ix (GetEstimData).
  double EstimData(int32_t Ix) const { return GetEstimData(Ix); }
  // Estimate of case Ix (1-based); 0 outside.
  double GetEstimData(int32_t Ix) const;
  // Sets the estimate of case Ix; ignored outside. Clears the sorted state.
  void SetEstimData(int32_t Ix, double Value);

  // Copies column Col of SrcMat (all rows) as the true values: 0, -1 for a column outside
  // the matrix (nothing copied), -2 when the values are not dichotomous (copied all the same).
  int32_t CopyTrueFromMatrix(int32_t Col, const TMatrix& SrcMat);
  // Copies column Col of SrcMat as the estimates: 0, or -1 for a column outside the matrix.
  int32_t CopyEstFromMatrix(int32_t Col, const TMatrix& SrcMat);

  // The smaller of the two true values (0 unless dichotomous).
  double DichoV1() const;
  // The larger of the two true values (0 unless dichotomous).
  double DichoV2() const;
  // True when the true values take exactly two values, returned as V1 < V2; otherwise false
  // (V1 = V2 = 0 for fewer than two cases, the single value of a constant array).
  bool GetActualDichoValues(double& V1, double& V2) const;
  // The threshold of the last confusion matrix.
  double Threshold() const { return FCFThresh; }

  // Orders the cases by estimate, largest first (NaN last), unless already sorted: 0, or -1
  // when the arrays differ in length. The order is kept aside: case numbers do not change.
  // The other routines sort when they need to.
  int32_t SortEstimated();
  // Counts tp, fp, tn, fn at threshold CFThresh: 0; -1 arrays of different length, -2 true
  // values not dichotomous (the later check wins).
  int32_t CalcConfusionMatrix(double CFThresh);
  // The counts and threshold of the last CalcConfusionMatrix, when it is still valid; the
  // outputs stay as they were otherwise.
  void GetConfMatValues(int64_t& tp, int64_t& fp, int64_t& tn, int64_t& fn, double& Thresh) const;

  // Scores of the last confusion matrix. Each gives -1 when there is no valid one (none was
  // formed, or the data changed since) and -2 when the true values are not dichotomous, the
  // latter winning; Informedness uses -2 and -3, MatthewsCorr -3 and -2 instead. A zero
  // denominator gives 0.

  // tp / (tp + fn).
  double TpRate() const;
  // tn / (tn + fp).
  double TnRate() const;
  // fp / (tn + fp).
  double FpRate() const;
  // fn / (tp + fn).
  double FnRate() const;
  // tp / (tp + fp).
  double Precision() const;
  // tn / (tn + fn).
  double NegPredVal() const;
  // tp / (tp + fn + fp).
  double ThreatScore() const;
  // 2 tp / (2 tp + fn + fp).
  double F1Score() const;
  // (tp + tn) / n.
  double Accuracy() const;
  // TpRate + TnRate - 1.
  double Informedness() const;
  // Matthews correlation coefficient.
  double MatthewsCorr() const;
  // Symmetric uncertainty 2 I / (H(true) + H(predicted)) in natural logarithms.
  double UncertCoeff() const;

  // ROC curve, its area and the best thresholds. ROCCoords[0], [1], [2] receive the false-
  // and true-positive rates and the estimate of each point: (0, 0) first, one point before
  // each run of equal estimates after the first, (1, 1) last. BestROC is the index of the
  // point farthest from the diagonal; AUC treats a run of ties as one step. The threshold
  // outputs maximise MatthewsCorr, Accuracy and Informedness over 110 thresholds from
  // min - 5 step to max + 4 step, step = (max - min) / 100 of the finite estimates (NaN when
  // there is none). 0; -1 not dichotomous, -3 arrays of different length (the later wins),
  // -2 no positive or no negative case. The confusion matrix of the object is not changed.
  int32_t OptimizeThresholds(TDouble2DArray& ROCCoords, int32_t& BestROC, double& AUC,
                             double& ThreshMMC, double& ThreshAccuracy, double& ThreshInformedness);

 private:
  // Re-reads the dichotomy of the true values when they changed.
  void UpdateDicho() const;
  // Any change of the data: the sorted order and the confusion matrix are stale.
  void DataChanged();
  // Sorts if needed: FPosKeys and FNegKeys then hold the estimates of the positive and the
  // negative cases as order keys, largest estimate first, NaN last.
  void EnsureSorted();
  // Positive (tp) and negative (fp) cases predicted positive at threshold T.
  void PredictedPositive(double T, int64_t& tp, int64_t& fp) const;
  // Score status: 0, or the code of the failing check.
  int32_t ScoreState(int32_t NotValid, int32_t NotDicho) const;

  TDoubleArray FTrueVec;
  TDoubleArray FEstVec;
  bool FIsSorted = false;
  int64_t Ftp = 0;
  int64_t Ffp = 0;
  int64_t Ftn = 0;
  int64_t Ffn = 0;
  double FCFThresh = 0.0;
  mutable bool FIsDicho = false;
  mutable double FDichoV1 = 0.0;
  mutable double FDichoV2 = 0.0;
  mutable bool FDichoStale = true;
  bool FHasConfMat = false;
  std::vector<uint64_t> FPosKeys;
  std::vector<uint64_t> FNegKeys;
};

// Model-creation rounds in a row that may fail before TCrossValidator.Execute gives up.
inline constexpr int32_t CrossValMaxFailedRounds = 100;

// Repeated hold-out cross validation: rounds of SizeTestSet random test rows, the model built
// from the other rows and applied to each test row through the events, until every row was
// tested once. Accumulates per response column the squared prediction errors and the
// confusion counts (a response of 1 is the positive class).
class TCrossValidator : public TComponent {
 public:
  // Test size 2, results -1, empty 1 x 1 data matrices.
  explicit TCrossValidator(TComponent* AOwner = nullptr);
  ~TCrossValidator() override;

  // Rows per test set.
  int32_t SizeTestSet() const { return FTestSize; }
  // Stores max(N, 1) and sets every result to -1.
  void SetTestSize(int32_t N);
  // True while Execute runs.
  bool IsExecuting() const { return FIsRunning; }

  // Predictors, one row per object; owned by the validator.
  TMatrix& XMat() { return *FXMat; }
  // Predictors, read only.
  const TMatrix& XMat() const { return *FXMat; }
  // Responses, one row per object, one column per response; owned by the validator.
  TMatrix& YMat() { return *FYMat; }
  // Responses, read only.
  const TMatrix& YMat() const { return *FYMat; }

  // Asked to apply the model to one row.
  TOnModelApplyRequestEvent OnModelApplyRequest;
  // Asked to build a model from a list of rows.
  TOnModelCreateRequestEvent OnModelCreateRequest;
  // Asked after every test row and every failed round; setting Abort stops the run.
  TOnCheckAbortEvent OnCheckAbort;

  // Runs the validation. Raises ENUXStatisError when the row counts of XMat and YMat differ or
  // an event is unassigned. False (results -1) after an abort, after CrossValMaxFailedRounds
  // failed model creations in a row, or when called from one of its own events.
  bool Execute();

  // Root mean squared prediction error of response Ix (1-based); -1 without valid results.
  double GetRMSEP(int32_t Ix) const;
  // Matthews correlation of response Ix; -1 without valid results.
  double GetMCC(int32_t Ix) const;
  // True positives of response Ix (-1 without valid results, 0 outside).
  int32_t GetTPCnt(int32_t Ix) const;
  // True negatives of response Ix.
  int32_t GetTNCnt(int32_t Ix) const;
  // False positives of response Ix.
  int32_t GetFPCnt(int32_t Ix) const;
  // False negatives of response Ix.
  int32_t GetFNCnt(int32_t Ix) const;
  // tp / (tp + fn), 0 when both are 0; -1 without valid results.
  double GetTPRate(int32_t Ix) const;
  // fp / (tn + fp), 1 when both are 0; -1 without valid results.
  double GetFPRate(int32_t Ix) const;
  // tn / (tn + fp), 0 when both are 0; -1 without valid results.
  double GetTNRate(int32_t Ix) const;
  // fn / (tp + fn), 1 when both are 0; -1 without valid results.
  double GetFNRate(int32_t Ix) const;

  // The indexed properties: the getters above.
  double RMSEP(int32_t Ix) const { return GetRMSEP(Ix); }
  // GetMCC.
  double MatthewsCorr(int32_t Ix) const { return GetMCC(Ix); }
  // GetTPCnt.
  int32_t TPCnt(int32_t Ix) const { return GetTPCnt(Ix); }
  // GetTNCnt.
  int32_t TNCnt(int32_t Ix) const { return GetTNCnt(Ix); }
  // GetFPCnt.
  int32_t FPCnt(int32_t Ix) const { return GetFPCnt(Ix); }
  // GetFNCnt.
  int32_t FNCnt(int32_t Ix) const { return GetFNCnt(Ix); }
  // GetTPRate.
  double TPRate(int32_t Ix) const { return GetTPRate(Ix); }
  // GetFPRate.
  double FPRate(int32_t Ix) const { return GetFPRate(Ix); }
  // GetTNRate.
  double TNRate(int32_t Ix) const { return GetTNRate(Ix); }
  // GetFNRate.
  double FNRate(int32_t Ix) const { return GetFNRate(Ix); }

 private:
  // Every result -1, one entry per response column.
  void InvalidateResults();
  // False when response Ix has no valid counts (before a run, after an abort).
  bool Valid(int32_t Ix) const;

  int32_t FTestSize = 2;
  std::unique_ptr<TVector> FPress;
  bool FIsRunning = false;
  std::unique_ptr<TIntVector> FTPCnt;
  std::unique_ptr<TIntVector> FFPCnt;
  std::unique_ptr<TIntVector> FTNCnt;
  std::unique_ptr<TIntVector> FFNCnt;
  std::unique_ptr<TMatrix> FXMat;
  std::unique_ptr<TMatrix> FYMat;
};

// Measures on the counts of a two-class confusion matrix; a negative count gives NaN.

// (tp + tn) / (tp + fp + tn + fn), 0 for an empty table.
double CFAccuracy(int64_t tp, int64_t fp, int64_t tn, int64_t fn);
// Matthews correlation, 0 when a margin is 0.
double CFMatthewsCorr(int64_t tp, int64_t fp, int64_t tn, int64_t fn);
// tp / (tp + fn) + tn / (tn + fp) - 1, a ratio with denominator 0 counting 0.
double CFInformedness(int64_t tp, int64_t fp, int64_t tn, int64_t fn);

// One class of a multi-class confusion matrix seen as two classes: tp the diagonal cell of
// class ClassIx (0-based), fp the rest of its column ConfMat[ClassIx], fn the rest of its row
// (entry ClassIx of every column), tn all other cells. 0; -1 when the matrix is not square
// (or ragged or empty), -2 for a class outside it.
int32_t ExtractClassifPerformance(int32_t ClassIx, const TInt2DArray& ConfMat, int64_t& tp,
                                  int64_t& fp, int64_t& tn, int64_t& fn);
// The same on a TIntMatrix, dense or sparse, with class ClassIx one-based: tp the cell
// (ClassIx, ClassIx), fp the rest of column ClassIx, fn the rest of row ClassIx. 0; -1 when the
// matrix is not square, -2 for a class outside it.
int32_t ExtractClassifPerformance(int32_t ClassIx, const TIntMatrix& ConfMat, int64_t& tp,
                                  int64_t& fp, int64_t& tn, int64_t& fn);

}  // namespace nux
