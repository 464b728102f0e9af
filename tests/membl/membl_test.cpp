#include "nux/membl/membl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

#include "nux/datatable/datatable.h"
#include "nux/kernels/dispatch.h"
#include "nux/matrix/matrix.h"
#include "sklearn_reference.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

// Fills the model with Cols (one array per column, equal lengths) and the column types.
void Fill(TMemBasedLearner& L, const std::vector<TDoubleArray>& Cols,
          const std::vector<TMBLVarType>& Types) {
  TDataTable& T = *L.ModelData();
  T.Resize(int32_t(Cols.size()), int32_t(Cols[0].size()));
  for (size_t C = 0; C < Cols.size(); ++C) {
    for (size_t R = 0; R < Cols[C].size(); ++R)
      T.SetElem(int32_t(C + 1), int32_t(R + 1), Cols[C][R]);
    L.SetVarType(int32_t(C + 1), Types[C]);
  }
}

// The reference set: three inputs, the regression target and the class.
void FillReference(TMemBasedLearner& L) {
  std::vector<TDoubleArray> Cols(5, TDoubleArray(RefRows));
  for (int R = 0; R < RefRows; ++R) {
    for (int C = 0; C < RefCols; ++C) Cols[size_t(C)][size_t(R)] = RefX[R * RefCols + C];
    Cols[3][size_t(R)] = RefY[R];
    Cols[4][size_t(R)] = RefClass[R];
  }
  Fill(L, Cols, {mblVarIndep, mblVarIndep, mblVarIndep, mblVarTarget, mblVarTarget});
}

// Brute force straight from the rules: rows ordered by distance, the later row first among
// ties, then the first K. Distances by a plain loop over the columns.
std::vector<int> BruteNeighbours(const TDataTable& T, const std::vector<int>& Indep,
                                 const TDoubleArray& Query, bool Manhattan, int Exclude, int K) {
  std::vector<std::pair<double, int>> D;
  for (int R = 1; R <= T.NrOfRows(); ++R) {
    if (R == Exclude) continue;
    double S = 0;
    for (int C : Indep) {
      const double E = Query[size_t(C - 1)] - T.Elem(C, R);
      S += Manhattan ? std::fabs(E) : E * E;
    }
    D.push_back({Manhattan ? S : std::sqrt(S), -R});
  }
  std::sort(D.begin(), D.end());
  std::vector<int> Rows;
  for (int I = 0; I < K && I < int(D.size()); ++I) Rows.push_back(-D[size_t(I)].second);
  return Rows;
}

TEST(MemBasedLearner, AgreesWithBruteForceAndScikitLearn) {
  TMemBasedLearner L;
  FillReference(L);
  EXPECT_EQ(L.SetNumNearestNb(RefK), RefK);
  EXPECT_EQ(L.CountIndependentVars(), 3);
  EXPECT_EQ(L.CountTargetVars(), 2);
  TIntArray Seen;
  L.OnModelApplied = [&](TObject* S, int32_t Tag, const TIntArray& Nix, const TDoubleArray&,
                         int32_t Err) {
    EXPECT_EQ(S, &L);
    EXPECT_EQ(Tag, 7);
    EXPECT_EQ(Err, 0);
    Seen = Nix;
  };
  struct TCase {
    TMBLDistMode Dist;
    TMBLScalingMode Scl;
    const double* Ref;
  };
  for (const TCase& Cs : {TCase{mblDistEuclid, mblUnscaled, RefRegEuclid},
                          TCase{mblDistManhattan, mblUnscaled, RefRegManhattan},
                          TCase{mblDistMahalanobis, mblStandardized, RefRegStandardized}}) {
    L.SetDistMode(Cs.Dist);
    L.SetScalingMode(Cs.Scl);
    for (TMBLLocalModel Lm : {mblLMAverage, mblLMMajority}) {
      L.SetLocalModel(Lm);
      for (int Q = 0; Q < RefQueries; ++Q) {
        TDoubleArray S = {RefQ[Q * 3], RefQ[Q * 3 + 1], RefQ[Q * 3 + 2], -1, -1};
        ASSERT_EQ(L.ApplyModel(S, 0, 7), 0);
        if (Lm == mblLMAverage) {
          EXPECT_NEAR(S[3], Cs.Ref[Q], 1e-12) << Q;
        }
        if (Lm == mblLMMajority && Cs.Dist == mblDistEuclid) {
          EXPECT_EQ(S[4], RefVote[Q]) << Q;
        }
        if (Cs.Scl == mblStandardized) continue;
        const TDoubleArray Query = {RefQ[Q * 3], RefQ[Q * 3 + 1], RefQ[Q * 3 + 2]};
        const std::vector<int> B =
            BruteNeighbours(*L.ModelData(), {1, 2, 3}, Query, Cs.Dist == mblDistManhattan, 0, 100);
        ASSERT_EQ(Seen.size(), 100u);
        EXPECT_TRUE(std::equal(B.begin(), B.end(), Seen.begin()));
        EXPECT_EQ(Seen[RefRows], 0);  // unfilled ranks
        double Mean = 0;
        for (int I = 0; I < RefK; ++I) Mean += L.ModelData()->Elem(4, B[size_t(I)]);
        if (Lm == mblLMAverage) {
          EXPECT_DOUBLE_EQ(S[3], Mean / RefK);
        }
      }
    }
  }
}

TEST(MemBasedLearner, NeighbourListsOfTheModelAgreeOnEveryPath) {
  TMemBasedLearner L;
  FillReference(L);
  L.CalcNNOfModelData();
  for (int R = 1; R <= RefRows; ++R) {
    for (int K = 1; K <= RefNb; ++K) {
      EXPECT_EQ(L.kNNOfModelData(K, R), RefNNIndex[(R - 1) * RefNb + K - 1]);
      EXPECT_NEAR(L.kNNDistOfModelData(K, R), RefNNDist[(R - 1) * RefNb + K - 1], 1e-12);
    }
    // The scalar distance of the row itself gives the kernel's bits.
    TDoubleArray Row;
    L.ModelData()->CopyDataRowToArray(R, Row);
    const int32_t Far = L.kNNOfModelData(RefRows, R);
    EXPECT_EQ(L.CalcDist(Row, Far), L.kNNDistOfModelData(RefRows, R));
    EXPECT_EQ(L.kNNOfModelData(RefRows + 1, R), 0);
    EXPECT_EQ(L.kNNDistOfModelData(100, R), DBL_MAX);
  }
  EXPECT_EQ(L.kNNOfModelData(101, 1), -1);
  EXPECT_EQ(L.kNNOfModelData(1, RefRows + 1), -1);
  EXPECT_EQ(L.kNNDistOfModelData(0, 1), -1.0);
  if (!kernels::SeveralPaths()) GTEST_SKIP();
  L.SetScalingMode(mblStandardized);
  std::vector<std::vector<double>> Runs;
  for (auto P : {kernels::kpGeneric, kernels::kpAVX2, kernels::kpAVX512}) {
    kernels::TScopedKernelPath Scope(P);
    for (TMBLDistMode M : {mblDistEuclid, mblDistManhattan}) {
      L.SetDistMode(M);
      L.CalcNNOfModelData();
      std::vector<double> V;
      for (int R = 1; R <= RefRows; ++R)
        for (int K = 1; K <= RefRows; ++K) {
          V.push_back(L.kNNDistOfModelData(K, R));
          V.push_back(L.kNNOfModelData(K, R));
        }
      Runs.push_back(V);
    }
  }
  for (size_t I = 2; I < Runs.size(); ++I) EXPECT_EQ(Runs[I], Runs[I % 2]);
}

TEST(MemBasedLearner, RulesOfTheNeighbourSearch) {
  TMemBasedLearner L;
  // Leave-one-out: the query equals row 5's input, row 5 takes no part.
  TDoubleArray X = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, Y = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
  Fill(L, {X, Y}, {mblVarIndep, mblVarTarget});
  L.SetNumNearestNb(3);
  TDoubleArray S = {4, 0};
  EXPECT_EQ(L.ApplyModel(S, 5, 0), 0);
  // Rows 4 and 6 at distance 1 (6 first, offered later), then 7 before 3 at distance 2.
  EXPECT_DOUBLE_EQ(S[1], (13.0 + 15.0 + 16.0) / 3);
  TIntArray Nix;
  L.OnModelApplied = [&](TObject*, int32_t, const TIntArray& N, const TDoubleArray&, int32_t) {
    Nix = N;
  };
  S = {4, 0};
  L.ApplyModel(S, 5, 0);
  EXPECT_EQ(TIntArray(Nix.begin(), Nix.begin() + 4), (TIntArray{6, 4, 7, 3}));

  // k = row count, a wrong length and a NaN query: codes, zeroed entries, callback only for -2.
  int Calls = 0;
  L.OnModelApplied = [&](TObject*, int32_t, const TIntArray&, const TDoubleArray&, int32_t E) {
    ++Calls;
    EXPECT_EQ(E, -2);
  };
  L.SetNumNearestNb(10);
  S = {4, 7};
  EXPECT_EQ(L.ApplyModel(S, 0, 0), -2);
  EXPECT_EQ(S, (TDoubleArray{0, 0}));
  L.SetNumNearestNb(3);
  S = {4, 7, 1};
  EXPECT_EQ(L.ApplyModel(S, 0, 0), -3);
  EXPECT_EQ(S, (TDoubleArray{0, 0, 0}));
  S = {NAN, 7};
  EXPECT_EQ(L.ApplyModel(S, 0, 0), -4);
  EXPECT_EQ(S, (TDoubleArray{0, 0}));
  // Rows holding NaN are no neighbours: with eight of ten gone, k = 3 finds only two.
  for (int R = 1; R <= 8; ++R) L.ModelData()->SetElem(1, R, NAN);
  S = {4, 7};
  EXPECT_EQ(L.ApplyModel(S, 0, 0), -2);
  EXPECT_EQ(Calls, 2);

  // The k setter: lowered to the rows, then to 100, raised to 1.
  L.ModelData()->Resize(2, 50);
  EXPECT_EQ(L.SetNumNearestNb(500), 50);
  L.ModelData()->Resize(2, 500);
  EXPECT_EQ(L.SetNumNearestNb(500), 100);
  EXPECT_EQ(L.SetNumNearestNb(0), 1);
}

TEST(MemBasedLearner, LocalModelsAndScaling) {
  TMemBasedLearner L;
  // A constant input (variance 0 when standardized: only the mean is taken off), a linear
  // target, a constant target and a noisy one.
  TDoubleArray A, B, K5, Lin, Cst;
  for (int R = 0; R < 30; ++R) {
    A.push_back(R % 7 + 0.25 * R);
    B.push_back(5.0);
    K5.push_back(std::sin(R) * 3);
    Lin.push_back(2.0 * (R % 7 + 0.25 * R) + 1.0);
    Cst.push_back(4.0);
  }
  Fill(L, {A, B, K5, Lin, Cst},
       {mblVarIndep, mblVarIndep, mblVarIgnore, mblVarTarget, mblVarTarget});
  L.SetNumNearestNb(6);
  TDoubleArray E1 = {3.1, 5, 0, 0, 0}, E2 = E1;
  L.ApplyModel(E1, 0, 0);
  L.SetScalingMode(mblStandardized);
  L.ApplyModel(E2, 0, 0);
  EXPECT_EQ(E1, E2);  // one varying input: scaling keeps the order
  // Mahalanobis is the Euclidean distance.
  L.SetDistMode(mblDistMahalanobis);
  TDoubleArray E3 = {3.1, 5, 0, 0, 0};
  L.ApplyModel(E3, 0, 0);
  EXPECT_EQ(E3, E2);
  // Regression through the neighbours recovers the line; majority of a constant is row 1's.
  L.SetLocalModel(mblLMRegress);
  TDoubleArray S = {3.1, 5, 0, 0, 0};
  // The constant input makes the fit singular: reported, estimate still made.
  EXPECT_EQ(L.ApplyModel(S, 0, 0), -1);
  L.SetVarType(2, mblVarIgnore);
  S = {3.1, 5, 0, 0, 0};
  EXPECT_EQ(L.ApplyModel(S, 0, 0), 0);
  EXPECT_NEAR(S[3], 7.2, 1e-9);
  EXPECT_NEAR(S[4], 4.0, 1e-9);
  L.SetLocalModel(mblLMMajority);
  S = {3.1, 5, 0, 0, 0};
  L.ApplyModel(S, 0, 0);
  EXPECT_EQ(S[4], 4.0);
  // Gaussian weights over the spread of all 30 distances, recomputed by hand.
  L.SetLocalModel(mblLMWgtGauss);
  L.SetScalingMode(mblUnscaled);
  S = {3.1, 5, 0, 0, 0};
  EXPECT_EQ(L.ApplyModel(S, 0, 0), 0);
  double M = 0, V = 0, Sw = 0, Swy = 0;
  for (double X : A) M += std::fabs(X - 3.1) / 30;
  for (double X : A) V += (std::fabs(X - 3.1) - M) * (std::fabs(X - 3.1) - M) / 29;
  for (int R : BruteNeighbours(*L.ModelData(), {1}, S, false, 0, 6)) {
    const double W = std::exp(-std::pow(std::fabs(A[size_t(R - 1)] - 3.1) / std::sqrt(V), 2));
    Sw += W;
    Swy += W * Lin[size_t(R - 1)];
  }
  EXPECT_NEAR(S[3], Swy / Sw, 1e-12);
  // With no spread of the distances (no inputs left) the plain average.
  L.SetVarType(1, mblVarIgnore);
  S = {3.1, 5, 0, 0, 0};
  EXPECT_EQ(L.ApplyModel(S, 0, 0), 0);
  EXPECT_DOUBLE_EQ(S[3], (Lin[29] + Lin[28] + Lin[27] + Lin[26] + Lin[25] + Lin[24]) / 6);
}

TEST(MemBasedLearner, ColumnStatisticsFollowEveryWrite) {
  TMemBasedLearner L;
  TDataTable& T = *L.ModelData();
  T.Resize(3, 40);
  for (int Pass = 0; Pass < 3; ++Pass) {
    for (int C = 1; C <= 3; ++C)
      for (int R = 1; R <= T.NrOfRows(); ++R) T.SetElem(C, R, 1e8 + C * R * 0.5 + Pass);
    for (int C = 1; C <= 3; ++C) {
      double M, V;
      T.NumericData()->MeanVar(C, 1, C, T.NrOfRows(), M, V);
      EXPECT_EQ(L.MeanVarRange().GetVal(C, 1), M);
      EXPECT_EQ(L.MeanVarRange().GetVal(C, 2), V);
    }
    T.Resize(3, T.NrOfRows() + 5);  // new rows hold 0
    double M, V;
    T.NumericData()->MeanVar(2, 1, 2, T.NrOfRows(), M, V);
    EXPECT_EQ(L.MeanVarRange().GetVal(2, 1), M);
  }
}

TEST(MemBasedLearner, ContingencyTable) {
  TMemBasedLearner L;
  // Classes 2..4 along a line: neighbours mostly share the class.
  TDoubleArray X, Cls;
  for (int R = 0; R < 30; ++R) {
    X.push_back(R * 1.0 + (R % 3) * 0.1);
    Cls.push_back(2 + R / 10);
  }
  Fill(L, {X, Cls}, {mblVarIndep, mblVarIgnore});
  TInt2DArray Tab;
  EXPECT_EQ(L.CalcContingencyTable(2, 2, Tab), -2);  // still metric
  L.ModelData()->SetMScaleType(2, stNominal);
  EXPECT_EQ(L.CalcContingencyTable(0, 2, Tab), -1);
  EXPECT_EQ(L.CalcContingencyTable(3, 2, Tab), -1);
  EXPECT_EQ(L.CalcContingencyTable(2, 0, Tab), -5);
  EXPECT_EQ(L.CalcContingencyTable(2, 30, Tab), -5);
  EXPECT_TRUE(Tab.empty());
  ASSERT_EQ(L.CalcContingencyTable(2, 3, Tab), 0);
  ASSERT_EQ(Tab.size(), 4u);
  TInt2DArray Brute(3, TIntArray(3, 0));
  for (int R = 1; R <= 30; ++R)
    for (int I = 2; I <= 4; ++I)
      ++Brute[size_t(Cls[size_t(R - 1)] - 2)][size_t(Cls[size_t(L.kNNOfModelData(I, R) - 1)] - 2)];
  for (size_t J = 0; J < 3; ++J) {
    EXPECT_EQ(TIntArray(Tab[J].begin(), Tab[J].begin() + 3), Brute[J]);
    EXPECT_EQ(Tab[J][3], std::accumulate(Brute[J].begin(), Brute[J].end(), 0));
    EXPECT_EQ(Tab[3][J], Brute[0][J] + Brute[1][J] + Brute[2][J]);
  }
  EXPECT_EQ(Tab[3][3], 90);
  EXPECT_GT(Tab[1][1], 20);
  L.ModelData()->SetElem(2, 1, 0);  // class 0
  EXPECT_EQ(L.CalcContingencyTable(2, 3, Tab), -4);
  L.ModelData()->SetElem(2, 1, 300);  // 299 classes
  EXPECT_EQ(L.CalcContingencyTable(2, 3, Tab), -3);
}

// A learner with texts that need escaping, a categorical column with identifiers and states.
void FillForFiles(TMemBasedLearner& L) {
  FillReference(L);
  TDataTable& T = *L.ModelData();
  T.SetElem(1, 2, 0.1 + 0.2);
  T.SetElem(2, 3, 1e-300);
  T.SetMScaleType(5, stNominal);
  T.SetNominalID(5, 0, "no");
  T.SetNominalID(5, 1, "yes <&>");
  T.SetColName(1, "  in\none ");
  T.SetRowName(2, "row \"two\"");
  T.SetRowAttrib(3, -7);
  T.SetCellState(2, 4, csMark1 | csImputed);
  T.SetComment("table & more");
  L.SetComment("a <comment>\nover two lines");
  L.SetModelName("  blanks kept  ");
  L.SetDistMode(mblDistManhattan);
  L.SetScalingMode(mblStandardized);
  L.SetLocalModel(mblLMWgtGauss);
  L.SetNumNearestNb(4);
}

void ExpectSameModel(TMemBasedLearner& A, TMemBasedLearner& B, bool ExactNames) {
  const TDataTable &Ta = *A.ModelData(), &Tb = *B.ModelData();
  EXPECT_EQ(A.Comment(), B.Comment());
  EXPECT_EQ(A.ModelName(), B.ModelName());
  EXPECT_EQ(A.NumNearestNb(), B.NumNearestNb());
  EXPECT_EQ(A.DistMode(), B.DistMode());
  EXPECT_EQ(A.ScalingMode(), B.ScalingMode());
  EXPECT_EQ(A.LocalModel(), B.LocalModel());
  EXPECT_EQ(Ta.NumericData()->CRCofData(), Tb.NumericData()->CRCofData());
  EXPECT_EQ(Ta.CRCofCellStates(), Tb.CRCofCellStates());
  if (ExactNames) {
    EXPECT_EQ(Ta.CRCofNamesAndAttributes(), Tb.CRCofNamesAndAttributes());
  }
  EXPECT_EQ(Tb.RowAttrib(3), -7);
  EXPECT_EQ(Tb.NominalID(5, 1), "yes <&>");
  for (int Q = 0; Q < RefQueries; ++Q) {
    TDoubleArray Sa = {RefQ[Q * 3], RefQ[Q * 3 + 1], RefQ[Q * 3 + 2], 0, 0}, Sb = Sa;
    EXPECT_EQ(A.ApplyModel(Sa, 0, 0), B.ApplyModel(Sb, 0, 0));
    EXPECT_EQ(Sa, Sb);
  }
}

std::string ReadAll(const std::string& F) {
  std::ifstream In(F, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), {});
}
void WriteAll(const std::string& F, const std::string& S) {
  std::ofstream(F, std::ios::binary) << S;
}

TEST(MemBasedLearner, XmlModelFile) {
  TempDir Dir;
  const std::string F = Dir.Path("m.xml");
  TMemBasedLearner A, B;
  FillForFiles(A);
  A.StoreModelXML(F, " id \"1\" ");
  const std::string Text = ReadAll(F);
  std::vector<std::string> Lines;
  for (size_t P = 0, Q; (Q = Text.find('\n', P)) != std::string::npos; P = Q + 1)
    Lines.push_back(Text.substr(P, Q - P));
  EXPECT_EQ(Lines[0], "<?xml version=\"1.0\"?>");
  EXPECT_EQ(Lines[1], "<membasedlearner sig=\"Quorvix\" vers=\"1.001\" id=\" id &quot;1&quot; \">");
  EXPECT_EQ(Lines[6], "<distmode>manhattan</distmode>");
  EXPECT_EQ(Lines[8], "<locmodel>weighted average</locmodel>");
  std::string Id = "stale";
  ASSERT_EQ(B.LoadModelXML(F, Id), 0);
  EXPECT_EQ(Id, " id \"1\" ");
  ExpectSameModel(A, B, true);

  // Bad files: codes, and the model stays as it was.
  auto Refused = [&](const std::string& Doc, int32_t Code) {
    WriteAll(F, Doc);
    EXPECT_EQ(B.LoadModelXML(F, Id), Code) << Doc.substr(0, 200);
    ExpectSameModel(A, B, true);
  };
  auto Edited = [&](const std::string& From, const std::string& To) {
    std::string D = Text;
    D.replace(D.find(From), From.size(), To);
    return D;
  };
  Refused(Edited("<numnnb>4<", "<numnnb>0<"), -4);
  Refused(Edited("<numnnb>4<", "<numnnb>four<"), -4);
  Refused(Edited("<size>5 60<", "<size>5 61<"), -4);
  Refused(Edited("<comment>a", "<unknown/><comment>a"), -1);
  Refused(Text.substr(0, Text.find("<modeldata>")) + "</membasedlearner>\n", -1);
  Refused(Text.substr(0, Text.size() / 2), -3);
  EXPECT_EQ(B.LoadModelXML(Dir.Path("missing.xml"), Id), -2);
  // k beyond the rows goes through the setter's limits.
  WriteAll(F, Edited("<numnnb>4<", "<numnnb>1000<"));
  ASSERT_EQ(B.LoadModelXML(F, Id), 0);
  EXPECT_EQ(B.NumNearestNb(), 60);
}

TEST(MemBasedLearner, BinaryModelFile) {
  TempDir Dir;
  const std::string F = Dir.Path("m.bin");
  TMemBasedLearner A, B;
  FillForFiles(A);
  A.StoreModelBin(F, "x y");
  std::string Id;
  ASSERT_EQ(B.LoadModelBin(F, Id), 0);
  EXPECT_EQ(Id, "x y");
  // Names are stored without their outer blanks; the line break inside survives.
  EXPECT_EQ(B.ModelData()->ColName(1), "in\none");
  B.ModelData()->SetColName(1, A.ModelData()->ColName(1));
  ExpectSameModel(A, B, true);

  const std::string Bytes = ReadAll(F);
  TMemBasedLearner C;
  FillForFiles(C);
  C.ModelData()->SetColName(1, "in\none");
  // Every shorter file is refused and changes nothing.
  for (size_t N = 0; N < Bytes.size(); N += 1 + N / 16) {
    WriteAll(F, Bytes.substr(0, N));
    ASSERT_EQ(C.LoadModelBin(F, Id), -2) << N;
  }
  ExpectSameModel(C, A, false);
  std::string Bad = Bytes;
  Bad[4] = 'X';
  WriteAll(F, Bad);
  EXPECT_EQ(C.LoadModelBin(F, Id), -1);
  // k sits after five string items; 0 is refused.
  size_t P = 0;
  for (int I = 0; I < 5; ++I) P += 4 + size_t(uint8_t(Bytes[P])) + 1;
  Bad = Bytes;
  Bad.replace(P, 4, std::string(4, '\0'));
  WriteAll(F, Bad);
  EXPECT_EQ(C.LoadModelBin(F, Id), -3);
  // A size the file cannot hold is refused before anything is allocated.
  P += 16;
  P += 4 + size_t(uint8_t(Bytes[P])) + 1;
  Bad = Bytes;
  Bad.replace(P, 8, "\xff\xff\xff\x7f\xff\xff\xff\x7f");
  WriteAll(F, Bad);
  EXPECT_EQ(C.LoadModelBin(F, Id), -2);
  // Version 1.000 files number their identifiers from 1.
  Bad = Bytes;
  Bad.replace(Bad.find("vers=1.001"), 10, "vers=1.000");
  WriteAll(F, Bad);
  ASSERT_EQ(C.LoadModelBin(F, Id), 0);
  EXPECT_EQ(C.ModelData()->NominalID(5, 2), "yes <&>");
  EXPECT_EQ(C.ModelData()->NominalID(5, 0), "");
}

}  // namespace
}  // namespace nux
