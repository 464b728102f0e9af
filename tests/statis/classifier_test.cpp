#include "nux/statis/classifier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <set>
#include <string>

#include "nux/frame/errors.h"
#include "nux/host/random.h"
#include "nux/matrix/intmatrix.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux {
namespace {

struct TScoredRef {
  std::vector<double> True, Est;
  double AUC;
  std::vector<double> Fpr, Tpr;
  // t, tp, fp, tn, fn, TpRate, TnRate, Precision, NegPredVal, ThreatScore, F1, Accuracy,
  // Informedness, MCC, UncertCoeff
  std::vector<std::vector<double>> AtThreshold;
};
struct TMultiRef {
  TInt2DArray Mat;
  std::vector<std::vector<int64_t>> PerClass;  // tp, fp, tn, fn
};
#include "data/classif_reference.inc"

void Load(TCFEvaluator& E, const std::vector<double>& True, const std::vector<double>& Est) {
  E.SetNData(int32_t(True.size()));
  for (size_t I = 0; I < True.size(); ++I) {
    E.SetTrueData(int32_t(I + 1), True[I]);
    E.SetEstimData(int32_t(I + 1), Est[I]);
  }
}

struct TOptimum {
  TDouble2DArray Roc;
  int32_t Best = -7;
  double AUC = -7, Mcc = -7, Acc = -7, Inf = -7;
  int32_t Status = 0;
};
TOptimum Optimize(TCFEvaluator& E) {
  TOptimum O;
  O.Status = E.OptimizeThresholds(O.Roc, O.Best, O.AUC, O.Mcc, O.Acc, O.Inf);
  return O;
}

TEST(CFEvaluator, ConfusionMatrixAndStates) {
  TCFEvaluator E;
  EXPECT_EQ(E.NData(), 1);
  // One case: not dichotomous, which wins over "no confusion matrix".
  EXPECT_EQ(E.TpRate(), -2);
  EXPECT_EQ(E.Informedness(), -3);
  EXPECT_EQ(E.MatthewsCorr(), -2);
  EXPECT_EQ(E.CalcConfusionMatrix(0.5), -2);

  Load(E, {0, 0, 1, 1}, {0.1, 0.4, 0.35, 0.8});
  EXPECT_EQ(E.DichoV1(), 0.0);
  EXPECT_EQ(E.DichoV2(), 1.0);
  EXPECT_EQ(E.TpRate(), -1);
  EXPECT_EQ(E.Informedness(), -2);
  EXPECT_EQ(E.MatthewsCorr(), -3);
  ASSERT_EQ(E.CalcConfusionMatrix(0.5), 0);
  int64_t tp = -1, fp = -1, tn = -1, fn = -1;
  double T = -1;
  E.GetConfMatValues(tp, fp, tn, fn, T);
  EXPECT_EQ(std::vector<int64_t>({tp, fp, tn, fn}), std::vector<int64_t>({1, 0, 2, 1}));
  EXPECT_EQ(T, 0.5);
  EXPECT_EQ(E.Accuracy(), 0.75);
  EXPECT_EQ(E.Precision(), 1.0);
  EXPECT_EQ(E.FnRate(), 0.5);
  // An estimate equal to the threshold predicts positive.
  ASSERT_EQ(E.CalcConfusionMatrix(0.35), 0);
  EXPECT_EQ(E.TpRate(), 1.0);
  EXPECT_EQ(E.FpRate(), 0.5);

  // Case numbers survive the sort: a later change pairs with the case the caller means, and
  // any change invalidates the counts until they are formed again.
  ASSERT_EQ(E.SortEstimated(), 0);
  EXPECT_EQ(E.EstimData(1), 0.1);
  EXPECT_EQ(E.TrueData(4), 1.0);
  E.SetTrueData(1, 1.0);  // case 1 (estimate 0.1) becomes positive
  EXPECT_EQ(E.Accuracy(), -1);
  E.GetConfMatValues(tp, fp, tn, fn, T);
  EXPECT_EQ(tp, 1);  // outputs untouched
  ASSERT_EQ(E.CalcConfusionMatrix(0.3), 0);
  E.GetConfMatValues(tp, fp, tn, fn, T);
  EXPECT_EQ(std::vector<int64_t>({tp, fp, tn, fn}), std::vector<int64_t>({2, 1, 0, 1}));
  E.SetEstimData(1, 0.9);
  EXPECT_EQ(E.Precision(), -1);
  ASSERT_EQ(E.CalcConfusionMatrix(0.3), 0);
  EXPECT_EQ(E.TpRate(), 1.0);

  E.SetTrueData(3, 2.0);  // three values
  EXPECT_EQ(E.CalcConfusionMatrix(0.5), -2);
  EXPECT_EQ(E.TpRate(), -2);
  TMatrix M(2, 3);
  EXPECT_EQ(E.CopyTrueFromMatrix(3, M), -1);
  EXPECT_EQ(E.CopyTrueFromMatrix(1, M), -2);  // all zero, copied all the same
  EXPECT_EQ(E.GetNData(), -1);
  M.SetVal(2, 1, 5.0);
  EXPECT_EQ(E.CopyTrueFromMatrix(2, M), 0);
  EXPECT_EQ(E.CalcConfusionMatrix(0.5), -1);  // lengths differ
  EXPECT_EQ(E.CopyEstFromMatrix(2, M), 0);
  ASSERT_EQ(E.CalcConfusionMatrix(5.0), 0);
  EXPECT_EQ(E.Accuracy(), 1.0);
  double V1 = -1, V2 = -1;
  EXPECT_TRUE(E.GetActualDichoValues(V1, V2));
  EXPECT_EQ(V2, 5.0);
}

TEST(CFEvaluator, AgreesWithReferenceMetrics) {
  const std::vector<TScoredRef> Refs = {NUX_REF_SCORED};
  for (size_t S = 0; S < Refs.size(); ++S) {
    const TScoredRef& R = Refs[S];
    SCOPED_TRACE("set " + std::to_string(S));
    TCFEvaluator E;
    Load(E, R.True, R.Est);
    for (const auto& Row : R.AtThreshold) {
      ASSERT_EQ(E.CalcConfusionMatrix(Row[0]), 0);
      int64_t tp, fp, tn, fn;
      double T;
      E.GetConfMatValues(tp, fp, tn, fn, T);
      EXPECT_EQ(std::vector<double>({double(tp), double(fp), double(tn), double(fn)}),
                std::vector<double>(Row.begin() + 1, Row.begin() + 5));
      const double Got[] = {E.TpRate(),       E.TnRate(),     E.Precision(), E.NegPredVal(),
                            E.ThreatScore(),  E.F1Score(),    E.Accuracy(),  E.Informedness(),
                            E.MatthewsCorr(), E.UncertCoeff()};
      for (size_t K = 0; K < std::size(Got); ++K)
        EXPECT_NEAR(Got[K], Row[5 + K], 1e-13) << "score " << K << " at " << Row[0];
      EXPECT_DOUBLE_EQ(CFMatthewsCorr(tp, fp, tn, fn), Row[13]);
    }
    const TOptimum O = Optimize(E);
    ASSERT_EQ(O.Status, 0);
    EXPECT_NEAR(O.AUC, R.AUC, 1e-15);
    ASSERT_EQ(O.Roc.size(), 3u);
    ASSERT_EQ(O.Roc[0].size(), R.Fpr.size());
    for (size_t K = 0; K < R.Fpr.size(); ++K) {
      EXPECT_NEAR(O.Roc[0][K], R.Fpr[K], 1e-15);
      EXPECT_NEAR(O.Roc[1][K], R.Tpr[K], 1e-15);
    }
    // The farthest point from the diagonal.
    double Far = 0;
    for (size_t K = 0; K < R.Fpr.size(); ++K) Far = std::max(Far, std::fabs(R.Fpr[K] - R.Tpr[K]));
    EXPECT_NEAR(std::fabs(O.Roc[0][size_t(O.Best)] - O.Roc[1][size_t(O.Best)]), Far, 1e-15);

    // Ties make one step: the same curve whatever the order the cases come in.
    std::vector<size_t> Order(R.True.size());
    std::iota(Order.begin(), Order.end(), 0);
    std::reverse(Order.begin(), Order.end());
    std::rotate(Order.begin(), Order.begin() + 7, Order.end());
    std::vector<double> T2, E2;
    for (const size_t I : Order) {
      T2.push_back(R.True[I]);
      E2.push_back(R.Est[I]);
    }
    TCFEvaluator Shuffled;
    Load(Shuffled, T2, E2);
    const TOptimum O2 = Optimize(Shuffled);
    EXPECT_EQ(O2.AUC, O.AUC);
    EXPECT_EQ(O2.Roc, O.Roc);
    EXPECT_EQ(O2.Best, O.Best);
    EXPECT_EQ(std::vector<double>({O2.Mcc, O2.Acc, O2.Inf}),
              std::vector<double>({O.Mcc, O.Acc, O.Inf}));
  }
}

TEST(CFEvaluator, OptimizeThresholds) {
  TCFEvaluator E;
  EXPECT_EQ(Optimize(E).Status, -1);
  // Perfect separation: negatives 0 .. 0.4, positives 0.6 .. 1; estimates from 0 to 1 give
  // step 0.01, and MCC, accuracy and informedness are 1 for thresholds 0.41 .. 0.60.
  std::vector<double> T, Est;
  for (int32_t K = 0; K <= 10; ++K) {
    if (K == 5) continue;
    T.push_back(K > 5 ? 1 : 0);
    Est.push_back(K / 10.0);
  }
  Load(E, T, Est);
  TOptimum O = Optimize(E);
  ASSERT_EQ(O.Status, 0);
  EXPECT_EQ(O.AUC, 1.0);
  EXPECT_EQ(O.Roc[0].size(), 11u);
  EXPECT_EQ(O.Roc[2].front(), 1.0);
  EXPECT_EQ(O.Roc[2].back(), 0.0);
  EXPECT_EQ(O.Roc[0][size_t(O.Best)], 0.0);
  EXPECT_EQ(O.Roc[1][size_t(O.Best)], 1.0);
  EXPECT_NEAR(O.Mcc, 0.505, 1e-12);
  EXPECT_NEAR(O.Acc, 0.505, 1e-12);
  EXPECT_NEAR(O.Inf, 0.505, 1e-12);
  EXPECT_EQ(E.Accuracy(), -1);  // the object's confusion matrix is not formed by the scan

  // Estimates 1e16 + 2k: the step (0.3) is below half an ulp of the thresholds. The scan still
  // ends, and the best threshold separates the classes (negatives up to 1e16 + 20).
  E.SetNData(16);
  for (int32_t K = 1; K <= 16; ++K) {
    E.SetTrueData(K, K > 10 ? 1 : 0);
    E.SetEstimData(K, 1e16 + 2 * K);
  }
  O = Optimize(E);
  ASSERT_EQ(O.Status, 0);
  EXPECT_EQ(O.AUC, 1.0);
  EXPECT_EQ(O.Mcc, 1e16 + 22);

  // All estimates tied: a single step along the diagonal; NaN estimates sort last.
  E.SetNData(4);
  for (int32_t K = 1; K <= 4; ++K) {
    E.SetTrueData(K, K % 2);
    E.SetEstimData(K, 0.5);
  }
  O = Optimize(E);
  EXPECT_EQ(O.AUC, 0.5);
  EXPECT_EQ(O.Roc[0], std::vector<double>({0.0, 1.0}));
  EXPECT_EQ(O.Best, 0);
  EXPECT_EQ(O.Acc, 0.5);
  E.SetEstimData(1, std::nan(""));  // case 1 is positive, ranked below all
  O = Optimize(E);
  EXPECT_EQ(O.Roc[1], std::vector<double>({0.0, 0.5, 1.0}));
  EXPECT_EQ(O.AUC, 0.25);
  ASSERT_EQ(E.CalcConfusionMatrix(-1e300), 0);
  EXPECT_EQ(E.TpRate(), 0.5);

  // Codes: not dichotomous -1, lengths differ -3 (the later check wins).
  for (int32_t K = 1; K <= 4; ++K) E.SetTrueData(K, 1.0);
  EXPECT_EQ(Optimize(E).Status, -1);
  TMatrix M(1, 3);
  E.CopyEstFromMatrix(1, M);
  EXPECT_EQ(Optimize(E).Status, -3);
  E.SetTrueData(4, 2.0);
  EXPECT_EQ(Optimize(E).Status, -3);
  E.SetNData(4);
  EXPECT_EQ(Optimize(E).Status, 0);
}

TEST(CFEvaluator, LargeSetAgreesWithRankSums) {
  // Enough cases for the long-list sort; estimates of both signs, both zeros, infinities.
  SetRandSeed(31);
  const int32_t N = 20000;
  std::vector<double> T(N), Est(N);
  for (int32_t I = 0; I < N; ++I) {
    T[size_t(I)] = Random() < 0.4 ? 1.0 : 0.0;
    const double V = std::round((RandG(0, 3) + T[size_t(I)]) * 4) / 4;  // many ties
    Est[size_t(I)] = I % 997 == 0        ? -std::numeric_limits<double>::infinity()
                     : I % 991 == 0      ? std::numeric_limits<double>::infinity()
                     : V == 0.0 && I % 2 ? -0.0
                                         : V;
  }
  TCFEvaluator E;
  Load(E, T, Est);
  const TOptimum O = Optimize(E);
  ASSERT_EQ(O.Status, 0);
  // AUC = (rank sum of the positives - P (P + 1) / 2) / (P N), ties at their mean rank.
  std::vector<std::pair<double, double>> Pairs;
  for (int32_t I = 0; I < N; ++I) Pairs.emplace_back(Est[size_t(I)], T[size_t(I)]);
  std::sort(Pairs.begin(), Pairs.end(),
            [](const auto& A, const auto& B) { return A.first < B.first; });
  double RankSum = 0, P = 0;
  size_t Distinct = 0;
  for (size_t I = 0; I < Pairs.size();) {
    size_t J = I;
    while (J < Pairs.size() && Pairs[J].first == Pairs[I].first) ++J;
    ++Distinct;
    const double MidRank = (double(I + 1) + double(J)) / 2.0;
    for (size_t K = I; K < J; ++K)
      if (Pairs[K].second == 1.0) {
        RankSum += MidRank;
        ++P;
      }
    I = J;
  }
  EXPECT_NEAR(O.AUC, (RankSum - P * (P + 1) / 2) / (P * (N - P)), 1e-14);
  EXPECT_EQ(O.Roc[0].size(), Distinct + 1);
  EXPECT_EQ(O.Roc[2][0], std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::is_sorted(O.Roc[2].rbegin(), O.Roc[2].rend()));
  for (const double Th : {-2.5, -0.0, 0.0, 0.25, 4.0}) {
    ASSERT_EQ(E.CalcConfusionMatrix(Th), 0);
    int64_t tp, fp, tn, fn;
    double Got;
    E.GetConfMatValues(tp, fp, tn, fn, Got);
    int64_t Want = 0;
    for (int32_t I = 0; I < N; ++I) Want += T[size_t(I)] == 1.0 && Est[size_t(I)] >= Th;
    EXPECT_EQ(tp, Want) << Th;
    EXPECT_EQ(tp + fn, int64_t(P));
  }
}

TEST(ClassifierMeasures, CountsAndMultiClass) {
  EXPECT_EQ(CFAccuracy(0, 0, 0, 0), 0.0);
  EXPECT_EQ(CFMatthewsCorr(5, 0, 0, 3), 0.0);
  EXPECT_EQ(CFInformedness(4, 0, 0, 0), 0.0);
  EXPECT_TRUE(std::isnan(CFMatthewsCorr(-1, 0, 0, 0)));
  EXPECT_DOUBLE_EQ(CFInformedness(3, 1, 6, 1), 0.75 + 6.0 / 7.0 - 1.0);
  // Counts whose products exceed 2^53 keep the numerator exact.
  const int64_t Big = int64_t(1) << 31;
  EXPECT_DOUBLE_EQ(CFMatthewsCorr(Big, Big - 1, Big, Big - 1), 1.0 / (2.0 * Big - 1));

  const std::vector<TMultiRef> Refs = {NUX_REF_MULTICLASS};
  for (const TMultiRef& R : Refs)
    for (size_t K = 0; K < R.PerClass.size(); ++K) {
      int64_t tp = -1, fp = -1, tn = -1, fn = -1;
      ASSERT_EQ(ExtractClassifPerformance(int32_t(K), R.Mat, tp, fp, tn, fn), 0);
      EXPECT_EQ(std::vector<int64_t>({tp, fp, tn, fn}), R.PerClass[K]);
    }
  // The matrix forms, dense and sparse, with one-based classes.
  for (const TMultiRef& R : Refs) {
    const int32_t N = int32_t(R.Mat.size());
    TIntMatrix Dense(N, N);
    auto Sparse = TIntMatrix::CreateSparse(nullptr, 4);
    for (int32_t C = 1; C <= N; ++C)
      for (int32_t Row = 1; Row <= N; ++Row) {
        const int32_t V = R.Mat[size_t(C - 1)][size_t(Row - 1)];
        Dense.SetVal(C, Row, V);
        if (V != 0) Sparse->SetVal(C, Row, V);
      }
    Sparse->Resize(N, N);
    for (int32_t K = 1; K <= N; ++K)
      for (const TIntMatrix* M : {&Dense, Sparse.get()}) {
        int64_t tp = -1, fp = -1, tn = -1, fn = -1;
        ASSERT_EQ(ExtractClassifPerformance(K, *M, tp, fp, tn, fn), 0);
        EXPECT_EQ(std::vector<int64_t>({tp, fp, tn, fn}), R.PerClass[size_t(K - 1)]);
      }
  }
  int64_t tp = -1, fp = -1, tn = -1, fn = -1;
  TIntMatrix M3(3, 3), M23(2, 3);
  EXPECT_EQ(ExtractClassifPerformance(4, M3, tp, fp, tn, fn), -2);
  EXPECT_EQ(ExtractClassifPerformance(0, M3, tp, fp, tn, fn), -2);
  EXPECT_EQ(ExtractClassifPerformance(1, M23, tp, fp, tn, fn), -1);
  EXPECT_EQ(ExtractClassifPerformance(1, *TIntMatrix::CreateSparse(nullptr, 1), tp, fp, tn, fn),
            -1);
  const TInt2DArray Square = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  EXPECT_EQ(ExtractClassifPerformance(3, Square, tp, fp, tn, fn), -2);
  EXPECT_EQ(ExtractClassifPerformance(-1, Square, tp, fp, tn, fn), -2);
  EXPECT_EQ(ExtractClassifPerformance(0, TInt2DArray{{1, 2}, {3, 4}, {5, 6}}, tp, fp, tn, fn), -1);
  EXPECT_EQ(ExtractClassifPerformance(0, TInt2DArray{{1, 2}, {3}}, tp, fp, tn, fn), -1);
  EXPECT_EQ(ExtractClassifPerformance(0, TInt2DArray{}, tp, fp, tn, fn), -1);
  EXPECT_EQ(tp, -1);
  // Totals beyond 32 bits.
  const int32_t M = 2000000000;
  ASSERT_EQ(ExtractClassifPerformance(1, TInt2DArray{{M, M}, {M, M}}, tp, fp, tn, fn), 0);
  EXPECT_EQ(std::vector<int64_t>({tp, fp, tn, fn}), std::vector<int64_t>({M, M, M, M}));
}

// A model that predicts y = x per row (rounded to 0/1 classes through a threshold of 0.5).
struct TToyModel {
  std::vector<TIntArray> TrainLists;
  int32_t Applied = 0, Polls = 0, FailFirst = 0, AbortAfter = -1;
  std::multiset<double> Tested;
  void Attach(TCrossValidator& V) {
    V.OnModelCreateRequest = [this](TObject*, int32_t, const TIntArray& List, bool& Success) {
      TrainLists.push_back(List);
      Success = FailFirst-- <= 0;
    };
    V.OnModelApplyRequest = [this](TObject*, int32_t, const TDoubleArray& X, TDoubleArray& Resp,
                                   TDoubleArray& Thresh) {
      ++Applied;
      Tested.insert(X[0]);
      Resp[0] = X[1];
      Thresh[0] = 0.5;
    };
    V.OnCheckAbort = [this](TObject*, bool& Abort) { Abort = ++Polls == AbortAfter; };
  }
};

void Fill(TCrossValidator& V, int32_t Rows) {
  V.XMat().Resize(2, Rows);
  V.YMat().Resize(1, Rows);
  for (int32_t R = 1; R <= Rows; ++R) {
    const double Y = R % 3 == 0 ? 1.0 : 0.0;
    V.XMat().SetVal(1, R, R);                                      // row number
    V.XMat().SetVal(2, R, R % 4 == 0 ? 1.0 - Y : Y * 0.9 + 0.05);  // estimate, wrong in 1/4
    V.YMat().SetVal(1, R, Y);
  }
}

TEST(CrossValidator, ExecuteAccumulatesEveryRowOnce) {
  SetRandSeed(99);
  TCrossValidator V;
  EXPECT_EQ(V.SizeTestSet(), 2);
  EXPECT_EQ(V.RMSEP(1), -1.0);
  EXPECT_THROW(V.Execute(), ENUXStatisError);  // no events
  Fill(V, 10);
  V.SetTestSize(20);
  auto Message = [&V] {
    try {
      V.Execute();
    } catch (const ENUXStatisError& Err) {
      return std::string(Err.what());
    }
    return std::string();
  };
  V.YMat().Resize(1, 9);
  EXPECT_EQ(Message(), "TCrossValidator.Execute: number of rows of XMat and YMat not equal");
  V.YMat().Resize(1, 10);
  EXPECT_EQ(Message(), "TCrossValidator: OnModelApplyRequest event is not assigned");
  Fill(V, 10);
  TToyModel Model;
  Model.Attach(V);
  V.OnModelCreateRequest = nullptr;
  EXPECT_EQ(Message(), "TCrossValidator: OnModelCreateRequest event is not assigned");
  Model.Attach(V);
  ASSERT_TRUE(V.Execute());
  EXPECT_FALSE(V.IsExecuting());
  // Test size 20 is cut to 10 div 2 + 1 = 6: rounds of 6 and then the remaining 4.
  ASSERT_EQ(Model.TrainLists.size(), 2u);
  EXPECT_EQ(Model.TrainLists[0].size(), 4u);
  EXPECT_EQ(Model.TrainLists[1].size(), 6u);
  EXPECT_TRUE(std::is_sorted(Model.TrainLists[0].begin(), Model.TrainLists[0].end()));
  EXPECT_EQ(Model.Tested, std::multiset<double>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  // Rows 3, 6, 9 positive; rows 4 and 8 predicted wrongly (negatives scored 1), row 12 absent.
  EXPECT_EQ(V.TPCnt(1), 3);
  EXPECT_EQ(V.FNCnt(1), 0);
  EXPECT_EQ(V.FPCnt(1), 2);
  EXPECT_EQ(V.TNCnt(1), 5);
  EXPECT_DOUBLE_EQ(V.TPRate(1), 1.0);
  EXPECT_DOUBLE_EQ(V.FPRate(1), 2.0 / 7.0);
  EXPECT_DOUBLE_EQ(V.MatthewsCorr(1), CFMatthewsCorr(3, 2, 5, 0));
  // Squared errors: 0.05^2 for the 5 good negatives, 0.05^2 for the 3 positives, 1 for two.
  EXPECT_NEAR(V.RMSEP(1), std::sqrt((8 * 0.0025 + 2.0) / 10.0), 1e-12);
  EXPECT_EQ(V.RMSEP(2), -1.0);  // no such response

  // A column without negatives: the false-positive rate of an empty class is 1.
  for (int32_t R = 1; R <= 10; ++R) V.YMat().SetVal(1, R, 1.0);
  ASSERT_TRUE(V.Execute());
  EXPECT_EQ(V.FPRate(1), 1.0);
  EXPECT_EQ(V.TNRate(1), 0.0);
  V.SetTestSize(3);
  EXPECT_EQ(V.TPCnt(1), -1);
  EXPECT_EQ(V.TPRate(1), -1.0);
}

TEST(CrossValidator, AbortsAndFailures) {
  SetRandSeed(5);
  TCrossValidator V;
  Fill(V, 12);
  TToyModel Model;
  Model.Attach(V);
  Model.FailFirst = 3;  // rounds that fail give their rows back
  ASSERT_TRUE(V.Execute());
  EXPECT_EQ(Model.Tested.size(), 12u);
  EXPECT_EQ(Model.Polls, 12 + 3);  // every test row and every failed round

  Model = TToyModel();
  Model.Attach(V);
  Model.AbortAfter = 5;
  EXPECT_FALSE(V.Execute());
  EXPECT_EQ(Model.Applied, 5);
  EXPECT_EQ(V.RMSEP(1), -1.0);  // not NaN
  EXPECT_EQ(V.TNCnt(1), -1);
  EXPECT_EQ(V.GetMCC(1), -1.0);
  EXPECT_EQ(V.GetFNRate(1), -1.0);

  // A model that can never be built: the run gives up, polling all the while.
  Model = TToyModel();
  Model.Attach(V);
  Model.FailFirst = 1 << 30;
  EXPECT_FALSE(V.Execute());
  EXPECT_EQ(Model.TrainLists.size(), size_t(CrossValMaxFailedRounds));
  EXPECT_EQ(Model.Polls, CrossValMaxFailedRounds);
  Model = TToyModel();
  Model.Attach(V);
  Model.FailFirst = 1 << 30;
  Model.AbortAfter = 4;
  EXPECT_FALSE(V.Execute());
  EXPECT_EQ(Model.TrainLists.size(), 4u);

  // A run started from its own event is refused.
  Model = TToyModel();
  Model.Attach(V);
  bool Inner = true;
  V.OnCheckAbort = [&](TObject*, bool&) { Inner = Inner && !V.Execute() && V.IsExecuting(); };
  ASSERT_TRUE(V.Execute());
  EXPECT_TRUE(Inner);
  // Responses the handler does not supply count as errors.
  V.OnModelApplyRequest = [](TObject*, int32_t, const TDoubleArray&, TDoubleArray& Resp,
                             TDoubleArray&) { Resp.clear(); };
  ASSERT_TRUE(V.Execute());
  EXPECT_TRUE(std::isnan(V.RMSEP(1)));
  EXPECT_EQ(V.TPCnt(1) + V.TNCnt(1), 0);
}

}  // namespace
}  // namespace nux
