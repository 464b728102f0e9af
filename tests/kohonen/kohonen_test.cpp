#include "nux/kohonen/kohonen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <sstream>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/frame/xmlio.h"
#include "nux/host/random.h"
#include "nux/host/streams.h"
#include "nux/kernels/dispatch.h"
#include "nux/kernels/distances.h"
#include "nux/matrix/matrix.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

// A map trained the plain way, straight from the rules, for comparison: weights [x][y][k].
struct TPlainMap {
  int Nx, Ny, N;
  std::vector<double> W;
  double& At(int X, int Y, int K) { return W[(size_t(X) * Ny + Y) * N + K]; }
};

void PlainTrain(TPlainMap& M, const std::vector<std::vector<double>>& Rows, int MaxSteps,
                int MaxNeighb, double MaxAlpha, bool Cyclic) {
  for (int S = 1; S < std::max(MaxSteps, 2); ++S) {
    const double A = double(MaxSteps - S) / MaxSteps;
    const int Nb = int(std::nearbyint((MaxNeighb - 1) * (A * A) + 1));
    const double Alpha = MaxAlpha * (A * A);
    for (const auto& Z : Rows) {
      double Best = std::numeric_limits<double>::max();
      int Cx = 0, Cy = 0;
      for (int X = 0; X < M.Nx; ++X)
        for (int Y = 0; Y < M.Ny; ++Y) {
          double E = 0;
          for (int K = 0; K < M.N; ++K) E += (M.At(X, Y, K) - Z[K]) * (M.At(X, Y, K) - Z[K]);
          if (E < Best) Best = E, Cx = X, Cy = Y;
        }
      int Rx = Nb, Ry = Nb;
      if (Cyclic) {
        if (Rx >= M.Nx / 2) Rx = M.Nx / 2 - 1;
        if (Ry >= M.Ny / 2) Ry = M.Ny / 2 - 1;
        Rx = std::max(Rx, 0), Ry = std::max(Ry, 0);
      }
      for (int Xi = Cx - Rx; Xi <= Cx + Rx; ++Xi)
        for (int Yi = Cy - Ry; Yi <= Cy + Ry; ++Yi) {
          int X = Xi, Y = Yi;
          if (Cyclic) {
            X = X < 0 ? X + M.Nx : X >= M.Nx ? X - M.Nx : X;
            Y = Y < 0 ? Y + M.Ny : Y >= M.Ny ? Y - M.Ny : Y;
          } else if (X < 0 || X >= M.Nx || Y < 0 || Y >= M.Ny) {
            continue;
          }
          double D = 0;
          for (int K = 0; K < M.N; ++K) D += (M.At(X, Y, K) - Z[K]) * (M.At(X, Y, K) - Z[K]);
          const double H = 1.0 / (std::sqrt(D - Best) + 1.0);
          for (int K = 0; K < M.N; ++K)
            M.At(X, Y, K) = M.At(X, Y, K) + Alpha * H * (Z[K] - M.At(X, Y, K));
        }
    }
  }
}

std::unique_ptr<TMatrix> RandomData(int Cols, int Rows) {
  auto D = std::make_unique<TMatrix>(Cols, Rows);
  for (int R = 1; R <= Rows; ++R)
    for (int C = 1; C <= Cols; ++C) D->SetVal(C, R, Random() * 4.0 - 2.0 + C);
  return D;
}

void ExpectSameWeights(const TKohonen& A, const TPlainMap& P) {
  for (int X = 0; X < P.Nx; ++X)
    for (int Y = 0; Y < P.Ny; ++Y)
      for (int K = 0; K < P.N; ++K)
        ASSERT_EQ(A.StoredWeights().GetVal(X + 1, Y + 1, K + 1),
                  P.W[(size_t(X) * P.Ny + Y) * P.N + K])
            << X << " " << Y << " " << K;
}

// Both grids (the cyclic one with a radius cut to half the grid) and every kernel path match
// the plain loop bit for bit; a fixed seed repeats the training.
TEST(Kohonen, TrainingMatchesPlainLoopOnEveryPath) {
  for (const bool Cyclic : {false, true})
    for (const auto Path : {kernels::kpGeneric, kernels::kpAVX2, kernels::kpAVX512}) {
      kernels::TScopedKernelPath Force(Path);
      SetRandSeed(11);
      const auto Data = RandomData(3, 40);
      TKohonen K;
      K.SetDataMat(Data.get());
      K.SetSizeX(7);  // 35 neurons: one full block of the kernel and a rest
      K.SetSizeY(5);
      K.SetNrOfTrnSteps(12);
      K.SetInitialNeighbors(5);
      K.SetInitialAlpha(0.7);
      K.SetCyclic(Cyclic);
      SetRandSeed(5);
      K.Trainit();
      TPlainMap P{7, 5, 3, {}};
      SetRandSeed(5);
      for (int I = 0; I < 7 * 5 * 3; ++I) P.W.push_back((Random() - 0.5) * 0.2);
      std::vector<std::vector<double>> Rows(40, std::vector<double>(3));
      for (int R = 0; R < 40; ++R)
        for (int C = 0; C < 3; ++C) Rows[size_t(R)][size_t(C)] = Data->GetVal(C + 1, R + 1);
      PlainTrain(P, Rows, 12, 5, 0.7, Cyclic);
      ExpectSameWeights(K, P);
      EXPECT_EQ(K.CurrentStep(), 12);
    }
}

TEST(Kohonen, ScheduleFeedbackAbortAndLastStep) {
  TKohonen K;
  std::vector<int32_t> Percents;
  K.OnFeedback = [&](TObject* Sender, int32_t P) {
    EXPECT_EQ(Sender, &K);
    Percents.push_back(P);
    if (Percents.size() == 1) K.AbortTraining();
  };
  K.SetInitialNeighbors(2);
  K.Trainit();                                   // 200 steps, stopped after the first epoch
  EXPECT_EQ(Percents, std::vector<int32_t>{0});  // round(100 / 200) = round(0.5) = 0
  EXPECT_EQ(K.CurrentStep(), 2);
  EXPECT_EQ(K.CurrentNeighbors(), 2);
  EXPECT_DOUBLE_EQ(K.CurrentAlpha(), 0.995 * 0.995);

  // The library's abort flag stops it too, and resuming runs on to the end.
  Percents.clear();
  K.OnFeedback = [&](TObject*, int32_t P) { Percents.push_back(P); };
  int Calls = 0;
  MathFeedBackProc = [&](double) { AbortMathProc = ++Calls == 3; };
  K.ContinueTraining();
  EXPECT_EQ(K.CurrentStep(), 5);
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  K.ContinueTraining();
  EXPECT_EQ(K.CurrentStep(), 200);
  EXPECT_EQ(K.CurrentNeighbors(), 1);
  EXPECT_EQ(Percents.back(), 100);  // round(199 * 100 / 200) = round(99.5) = 100
  const size_t Before = Percents.size();
  K.ContinueTraining();  // after the last step: nothing
  EXPECT_EQ(Percents.size(), Before);

  // One step: one epoch at rate 0, reported as 100; a second call does nothing.
  TKohonen One;
  One.SetNrOfTrnSteps(0);  // refused
  EXPECT_EQ(One.NrOfTrnSteps(), 200);
  One.SetNrOfTrnSteps(1);
  Percents.clear();
  One.OnFeedback = [&](TObject*, int32_t P) { Percents.push_back(P); };
  const double W = One.StoredWeights().GetVal(1, 1, 1);
  One.ContinueTraining();
  One.ContinueTraining();
  EXPECT_EQ(Percents, std::vector<int32_t>{100});
  EXPECT_EQ(One.CurrentAlpha(), 0.0);
  EXPECT_EQ(One.CurrentNeighbors(), 1);
  EXPECT_EQ(One.StoredWeights().GetVal(1, 1, 1), W);
}

TEST(Kohonen, SettersKeepOrDiscardWeights) {
  TKohonen K;
  const double W = K.StoredWeights().GetVal(1, 1, 1);
  EXPECT_TRUE(W >= -0.1 && W < 0.1 && W != 0.0);
  K.SetSizeX(0);
  K.SetNumInsens(-3);
  K.SetInitialNeighbors(-1);
  EXPECT_EQ(K.StoredWeights().GetVal(1, 1, 1), W);
  EXPECT_EQ(K.InitialNeighbors(), 2);
  K.SetNumInsens(4);
  EXPECT_EQ(K.StoredWeights().NrOfLayers(), 4);
  EXPECT_EQ(K.StoredWeights().GetVal(1, 1, 1), 0.0);
  EXPECT_EQ(K.TrainData().NrOfColumns(), 4);
  EXPECT_EQ(K.StdDevs().GetVal(4), 1.0);
}

// Overflowing and NaN distances still give a winner; a wrong input length is refused.
TEST(Kohonen, ApplyAlwaysFindsWinnerAndChecksLength) {
  TKohonen K;
  K.SetSizeX(3);
  K.SetSizeY(2);
  K.SetNumInsens(2);
  SetRandSeed(3);
  K.SetWeigtsToRandom();
  TVector In(2);
  In.SetVal(1, 0.05);
  In.SetVal(2, -0.02);
  int32_t Bx = -7, By = -7;
  double D = -1;
  ASSERT_EQ(K.ApplyIt(In, Bx, By, D), 0);
  double Best = std::numeric_limits<double>::infinity();
  for (int X = 1; X <= 3; ++X)
    for (int Y = 1; Y <= 2; ++Y) {
      const double A = K.StoredWeights().GetVal(X, Y, 1) - 0.05;
      const double B = K.StoredWeights().GetVal(X, Y, 2) + 0.02;
      Best = std::min(Best, A * A + B * B);
    }
  EXPECT_EQ(D, Best);
  EXPECT_EQ(K.StoredWeights().GetVal(Bx, By, 1), K.Weight(Bx, By, 1));

  In.SetVal(1, 1e200);  // every squared distance overflows
  ASSERT_EQ(K.ApplyIt(In, Bx, By, D), 0);
  EXPECT_EQ(Bx, 1);
  EXPECT_EQ(By, 1);
  EXPECT_TRUE(std::isinf(D));
  In.SetVal(1, std::nan(""));
  Bx = By = 0;
  ASSERT_EQ(K.ApplyIt(In, Bx, By, D), 0);
  EXPECT_EQ(Bx, 1);
  EXPECT_TRUE(std::isnan(D));

  TVector Three(3);
  Bx = By = -7;
  EXPECT_EQ(K.ApplyIt(Three, Bx, By, D), -1);
  EXPECT_EQ(Bx, -7);

  // Overflowing data: the first neuron wins and moves, its neighbours (whose distances cannot
  // be compared) stay, and nothing becomes NaN.
  TMatrix Big(1, 1);
  Big.SetVal(1, 1, 1e200);
  K.SetDataMat(&Big);
  K.SetNrOfTrnSteps(3);
  K.Trainit();
  EXPECT_GT(K.StoredWeights().GetVal(1, 1, 1), 5e199);
  EXPECT_LT(std::fabs(K.StoredWeights().GetVal(2, 2, 1)), 0.1);
}

TEST(Kohonen, WinnerSearchPutsNaNLastOnEveryPath) {
  for (const auto Path : {kernels::kpGeneric, kernels::kpAVX2, kernels::kpAVX512}) {
    kernels::TScopedKernelPath Force(Path);
    std::vector<double> D(37, std::nan(""));
    EXPECT_EQ(kernels::FirstSmallest(D.data(), D.size()), 0u);
    D[20] = HUGE_VAL;
    EXPECT_EQ(kernels::FirstSmallest(D.data(), D.size()), 20u);
    D[30] = 4.0, D[33] = 4.0, D[36] = 5.0;
    EXPECT_EQ(kernels::FirstSmallest(D.data(), D.size()), 30u);
  }
  // A training row with a NaN does not spoil the weights the other rows train.
  TMatrix Data(2, 2);
  Data.SetVal(1, 1, std::nan(""));
  TKohonen K;
  K.SetDataMat(&Data);
  K.SetSizeX(3);
  K.SetNrOfTrnSteps(2);
  SetRandSeed(9);
  K.Trainit();
  for (int X = 1; X <= 3; ++X) EXPECT_TRUE(std::isfinite(K.StoredWeights().GetVal(X, 1, 1)));
}

TEST(Kohonen, StandardizeOnceKeepsUnits) {
  TMatrix D(2, 4);
  for (int R = 1; R <= 4; ++R) {
    D.SetVal(1, R, 10.0 * R);
    D.SetVal(2, R, 5.0);  // no spread: stays in its units
  }
  TKohonen K;
  K.SetDataMat(&D);
  ASSERT_TRUE(K.StandardizeData());
  EXPECT_FALSE(K.StandardizeData());
  EXPECT_EQ(K.Means().GetVal(1), 25.0);
  EXPECT_DOUBLE_EQ(K.StdDevs().GetVal(1), std::sqrt(500.0 / 3));
  EXPECT_EQ(K.Means().GetVal(2), 0.0);
  EXPECT_EQ(K.StdDevs().GetVal(2), 1.0);
  EXPECT_EQ(K.TrainData().GetVal(2, 1), 5.0);
  // Inputs are standardized with the kept units before the distance is taken.
  K.SetNrOfTrnSteps(2);
  K.Trainit();
  TVector Probe(2);
  Probe.SetVal(1, 40.0);
  Probe.SetVal(2, 5.0);
  int32_t Bx, By;
  double Dist;
  ASSERT_EQ(K.ApplyIt(Probe, Bx, By, Dist), 0);
  const double Z = (40.0 - 25.0) / K.StdDevs().GetVal(1);
  const double W1 = K.StoredWeights().GetVal(1, 1, 1), W2 = K.StoredWeights().GetVal(1, 1, 2);
  EXPECT_EQ(Dist, (W1 - Z) * (W1 - Z) + (W2 - 5.0) * (W2 - 5.0));
  EXPECT_EQ(K.Weight(1, 1, 1), W1 * K.StdDevs().GetVal(1) + 25.0);
  TMatrix Fresh(2, 3);
  K.SetDataMat(&Fresh);  // new data: may standardize again
  EXPECT_TRUE(K.StandardizeData());
}

TKohonen& Trained(TKohonen& K) {
  SetRandSeed(21);
  const auto Data = RandomData(3, 25);
  K.SetDataMat(Data.get());
  K.StandardizeData();
  K.SetSizeX(4);
  K.SetSizeY(3);
  K.SetNrOfTrnSteps(5);
  K.SetCyclic(true);
  K.SetComment("a <b> & \"c\"\nd\t\xc3\xa9");
  K.Trainit();
  return K;
}

void ExpectSameMap(const TKohonen& A, const TKohonen& B) {
  ASSERT_EQ(A.SizeX(), B.SizeX());
  ASSERT_EQ(A.SizeY(), B.SizeY());
  ASSERT_EQ(A.NrOfInSens(), B.NrOfInSens());
  EXPECT_EQ(A.StoredWeights().CRCofData(), B.StoredWeights().CRCofData());
  for (int X = 1; X <= A.SizeX(); ++X)
    for (int Y = 1; Y <= A.SizeY(); ++Y)
      for (int K = 1; K <= A.NrOfInSens(); ++K) {
        const double U = A.StoredWeights().GetVal(X, Y, K), V = B.StoredWeights().GetVal(X, Y, K);
        ASSERT_EQ(std::memcmp(&U, &V, sizeof U), 0);
      }
  for (int K = 1; K <= A.NrOfInSens(); ++K) {
    EXPECT_EQ(A.Means().GetVal(K), B.Means().GetVal(K));
    EXPECT_EQ(A.StdDevs().GetVal(K), B.StdDevs().GetVal(K));
  }
  EXPECT_EQ(A.Comment(), B.Comment());
  EXPECT_EQ(A.Cyclic(), B.Cyclic());
  EXPECT_EQ(A.CurrentStep(), B.CurrentStep());
  EXPECT_EQ(A.NrOfTrnSteps(), B.NrOfTrnSteps());
  EXPECT_EQ(A.InitialAlpha(), B.InitialAlpha());
}

TEST(KohonenXML, RoundTripsBitForBitThroughEveryForm) {
  TKohonen A;
  Trained(A);
  TempDir Dir;
  TKohonen F;
  ASSERT_EQ(A.SaveAsXMLFile(Dir.Path("map.xml"), "m1"), xrOK);
  ASSERT_EQ(F.LoadFromXMLFile(Dir.Path("map.xml"), "m1"), xrOK);
  ExpectSameMap(A, F);
  EXPECT_FALSE(F.StandardizeData());  // the loaded units stay

  // Two maps in one document, picked by DataID, through a stream and an open text file.
  TKohonen Other;
  Other.SetSizeX(2);
  TMemoryStream S;
  S.Write("<maps>", 6);
  ASSERT_EQ(Other.WriteToXMLStream(S, false, "first"), xrOK);
  ASSERT_EQ(A.WriteToXMLStream(S, false, "second"), xrOK);
  S.Write("</maps>", 7);
  S.SetPosition(0);
  TKohonen B;
  ASSERT_EQ(B.ReadFromXMLStream(S, "second"), xrOK);
  ExpectSameMap(A, B);
  std::stringstream Text;
  ASSERT_EQ(Other.WriteToOpenXMLFile(Text, true, "x"), xrOK);
  TKohonen C;
  EXPECT_EQ(C.ReadFromOpenXMLFile(Text, "y"), xrNotFound);
  Text.clear();
  Text.seekg(0);
  ASSERT_EQ(C.ReadFromOpenXMLFile(Text, ""), xrOK);
  ExpectSameMap(Other, C);

  EXPECT_EQ(C.LoadFromXMLFile(Dir.Path("none.xml"), ""), xrCannotOpen);
  EXPECT_EQ(A.SaveAsXMLFile(Dir.Path("no/such/dir.xml"), ""), xrCannotWrite);
}

// Broken, truncated and hostile documents give a code and leave the map as it was.
TEST(KohonenXML, BadDocumentsLeaveMapUnchanged) {
  TKohonen A;
  Trained(A);
  std::stringstream Out;
  A.WriteToOpenXMLFile(Out, true, "");
  const std::string Good = Out.str();
  TKohonen Target;
  Trained(Target);
  const std::string Before = Target.StoredWeights().CRCofData();
  auto Load = [&](const std::string& Doc) {
    std::istringstream In(Doc);
    return Target.ReadFromOpenXMLFile(In, "");
  };
  auto Replace = [&](const std::string& From, const std::string& To) {
    std::string D = Good;
    D.replace(D.find(From), From.size(), To);
    return D;
  };
  EXPECT_EQ(Load(Good.substr(0, Good.size() / 2)), xrMalformed);
  EXPECT_EQ(Load(""), xrMalformed);
  EXPECT_EQ(Load("<?xml version=\"1.0\"?><!DOCTYPE k [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                 "\"&a;&a;&a;&a;&a;&a;&a;&a;\">]><kohonen>&b;</kohonen>"),
            xrRefused);
  EXPECT_EQ(Load(Replace("<sizex>4</sizex>", "<sizex>2000000000</sizex>")), xrInvalid);
  EXPECT_EQ(Load(Replace("<nrinsens>3</nrinsens>", "<nrinsens>99999999</nrinsens>")), xrInvalid);
  EXPECT_EQ(Load(Replace("<maxsteps>5</maxsteps>", "<maxsteps>0</maxsteps>")), xrInvalid);
  EXPECT_EQ(Load(Replace("<cyclic>TRUE</cyclic>", "<cyclic>yes</cyclic>")), xrInvalid);
  EXPECT_EQ(Load(Replace("x=\"2\" y=\"1\"", "x=\"1\" y=\"1\"")), xrInvalid);  // repeated cell
  EXPECT_EQ(Load(Replace("<comment>", "<comment>x</comment><comment>")), xrInvalid);
  EXPECT_EQ(Load(Replace("<cell x=\"1\" y=\"1\">", "<cell x=\"1\" y=\"1\">1 ")), xrInvalid);
  EXPECT_EQ(Load(Replace("<cell x=\"1\" y=\"1\">", "<cell x=\"1\" y=\"1\">x")), xrInvalid);
  EXPECT_EQ(Load("<kohonen/>"), xrInvalid);
  EXPECT_EQ(Load("<other/>"), xrNotFound);
  EXPECT_EQ(Target.StoredWeights().CRCofData(), Before);
  EXPECT_EQ(Target.NrOfInSens(), 3);
}

}  // namespace
}  // namespace nux
