#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

struct TLog {
  std::vector<std::string> E;
  void Attach(TIntMatrix& M) {
    M.OnChange = [this](TObject*) { E.push_back("change"); };
    M.OnResize = [this](TObject*) { E.push_back("resize"); };
  }
};

std::string Elems(const TIntMatrix& M) {
  std::string S;
  for (const TSpMatElemInt& E : M.SparseElements())
    S += "(" + std::to_string(E.colidx) + "," + std::to_string(E.rowidx) +
         ")=" + std::to_string(E.value) + " ";
  return S;
}

TEST(IntMatrixDense, SizeAccessAndEvents) {
  TIntMatrix M;
  EXPECT_EQ(M.NrOfColumns(), 1);
  EXPECT_EQ(M.NrOfRows(), 1);
  EXPECT_FALSE(M.IsSparse());
  TLog L;
  L.Attach(M);
  // The integer matrix signals the resize first.
  EXPECT_TRUE(M.Resize(3, 2));
  EXPECT_EQ(L.E, (std::vector<std::string>{"resize", "change"}));
  EXPECT_FALSE(M.Resize(3, 2));
  EXPECT_FALSE(M.Resize(0, 5));
  M.SetVal(3, 2, -7);
  M(1, 1) = 4;
  M.SetVal(4, 1, 9);  // outside: ignored
  EXPECT_EQ(M.GetVal(3, 2), -7);
  EXPECT_EQ(M.Elem(1, 1), 4);
  EXPECT_EQ(M.GetVal(4, 1), 0);
  EXPECT_EQ(M.GetVal(0, 1), 0);
  M.SetNrOfRows(3);
  EXPECT_EQ(M.GetVal(3, 2), -7);
  EXPECT_EQ(M.NrOfRows(), 3);
  EXPECT_THROW(TIntMatrix(0, 2), ENUXMatrixError);
  // Integer elements: four fingerprint lanes.
  EXPECT_EQ(M.CRCofData().size(), 32u);
}

TEST(IntMatrixDense, HugeSizeIsRefusedAndMatrixKept) {
  TIntMatrix M(2, 2);
  M.SetVal(2, 2, 5);
  EXPECT_THROW(M.Resize(INT32_MAX, INT32_MAX), ENUXMatrixError);
  {
    ScopedAllocLimit Limit(1 << 20);
    try {
      M.Resize(100000, 100);
      ADD_FAILURE();
    } catch (const ENUXMatrixError& E) {
      EXPECT_NE(std::string(E.what()).find("not enough memory on heap"), std::string::npos);
    }
  }
  EXPECT_EQ(M.NrOfColumns(), 2);
  EXPECT_EQ(M.GetVal(2, 2), 5);
}

TEST(IntMatrixDense, CopiesRoundAndSaturate) {
  TIntMatrix M(3, 4);
  const TDoubleArray D = {2.5, -3.5, std::nan(""), 1e12};
  EXPECT_EQ(M.CopyFromArray(D, 0, 2, 1, 1, false), 0);
  EXPECT_EQ(M.GetVal(1, 1), 2);  // halves to even
  EXPECT_EQ(M.GetVal(2, 1), -4);
  EXPECT_EQ(M.GetVal(3, 1), 0);                        // NaN becomes 0
  EXPECT_EQ(M.CopyFromArray(D, 3, 3, 1, 1, true), 0);  // the array position is added
  EXPECT_EQ(M.GetVal(1, 4), INT32_MAX);
  TDouble2DArray Out(3, TDoubleArray(4, -1.0));
  EXPECT_EQ(M.CopyToArray(Out, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(Out[1][0], -4.0);
  TIntVector V(4);
  M.CopyColToVec(&V, 1, 0, 0);
  EXPECT_EQ(V.GetVal(4), INT32_MAX);
  // A double matrix takes integer blocks, also from a sparse source.
  TMatrix Dst(2, 2);
  Dst.CopyFrom(&M, 1, 1, 2, 1, 1, 2);
  EXPECT_EQ(Dst.GetVal(2, 2), -4.0);
  auto S = TIntMatrix::CreateSparse(nullptr, 4);
  S->SetVal(2, 2, 11);
  Dst.CopyFrom(S.get(), 1, 1, 2, 2, 1, 1);
  EXPECT_EQ(Dst.GetVal(2, 2), 11.0);
  EXPECT_EQ(Dst.GetVal(1, 1), 0.0);
}

TEST(IntMatrixSparse, StoreSearchAndGrow) {
  auto M = TIntMatrix::CreateSparse(nullptr, 0);
  EXPECT_TRUE(M->IsSparse());
  EXPECT_EQ(M->NrOfColumns(), 0);
  EXPECT_EQ(M->AllocBy(), 1);
  EXPECT_EQ(M->NumAllocated(), 1);
  M->SetVal(5, 3, 7);
  EXPECT_EQ(M->NrOfColumns(), 5);
  EXPECT_EQ(M->NrOfRows(), 3);
  M->SetVal(2, 2, 0);  // an explicit zero is stored
  M->SetVal(5, 3, 8);  // an existing element is overwritten
  M->SetVal(0, 1, 1);  // ignored
  EXPECT_EQ(M->SparseNumElem(), 2);
  EXPECT_EQ(Elems(*M), "(2,2)=0 (5,3)=8 ");
  EXPECT_EQ(M->GetVal(5, 3), 8);
  EXPECT_EQ(M->GetVal(9, 9), 0);
  // No upper bound: the matrix grows.
  M->SetVal(INT32_MAX, INT32_MAX, 3);
  EXPECT_EQ(M->NrOfColumns(), INT32_MAX);
  EXPECT_EQ(M->GetVal(INT32_MAX, INT32_MAX), 3);
  M->Fill(4);
  EXPECT_EQ(Elems(*M), "(2,2)=4 (5,3)=4 (2147483647,2147483647)=4 ");
  M->Fill(0);
  EXPECT_EQ(M->SparseNumElem(), 0);
  EXPECT_EQ(M->NumAllocated(), 1);
  int32_t LC, HC, LR, HR;
  M->SparseBounds(LC, HC, LR, HR);
  EXPECT_EQ(LC, INT32_MAX);
  EXPECT_EQ(HC, 1);
}

TEST(IntMatrixSparse, ManyRandomCellsMatchADenseCopy) {
  SetRandSeed(17);
  auto S = TIntMatrix::CreateSparse(nullptr, 16);
  TIntMatrix D(60, 50);
  for (int I = 0; I < 3000; ++I) {
    const auto C = int32_t(RandomInt(60)) + 1, R = int32_t(RandomInt(50)) + 1;
    const auto V = int32_t(RandomInt(1000)) - 500;
    S->SetVal(C, R, V);
    D.SetVal(C, R, V);
  }
  const auto E = S->SparseElements();
  for (size_t I = 1; I < E.size(); ++I)
    ASSERT_TRUE(E[I - 1].colidx < E[I].colidx ||
                (E[I - 1].colidx == E[I].colidx && E[I - 1].rowidx < E[I].rowidx));
  EXPECT_GE(S->NumAllocated(), S->SparseNumElem());
  EXPECT_EQ(S->NumAllocated() % 16, 0);
  for (int32_t C = 1; C <= 60; ++C)
    for (int32_t R = 1; R <= 50; ++R) ASSERT_EQ(S->GetVal(C, R), D.GetVal(C, R));
  S->SparseToArray();
  EXPECT_FALSE(S->IsSparse());
  EXPECT_EQ(S->CRCofData(), D.CRCofData());
}

TEST(IntMatrixSparse, TransposeResizeCloneAndConversions) {
  auto M = TIntMatrix::CreateSparse(nullptr, 2);
  M->SetVal(1, 2, 5);
  M->SetVal(3, 1, 6);
  TLog L;
  L.Attach(*M);
  M->Transpose();
  EXPECT_EQ(Elems(*M), "(1,3)=6 (2,1)=5 ");
  EXPECT_EQ(M->NrOfColumns(), 2);
  EXPECT_EQ(M->NrOfRows(), 3);
  EXPECT_EQ(L.E, (std::vector<std::string>{"change", "resize"}));
  L.E.clear();
  EXPECT_TRUE(M->Resize(1, 5));  // drops (2,1); no event in the sparse form
  EXPECT_TRUE(L.E.empty());
  EXPECT_EQ(Elems(*M), "(1,3)=6 ");
  EXPECT_EQ(M->GetVal(2, 1), 0);
  auto C = TIntMatrix::CreateSparse(nullptr, 9);
  C->Clone(M.get());
  EXPECT_EQ(Elems(*C), "(1,3)=6 ");
  EXPECT_EQ(C->NrOfRows(), 5);
  EXPECT_EQ(C->AllocBy(), 2);
  TIntMatrix Dense(2, 2);
  Dense.Clone(M.get());  // another form: nothing
  EXPECT_EQ(Dense.NrOfColumns(), 2);
  // Dense -> sparse -> dense shrinks to the box of the non-zero elements.
  TIntMatrix Q(4, 4);
  Q.SetVal(1, 2, 3);
  Q.SetVal(3, 3, -1);
  Q.ArrayToSparse(0);
  EXPECT_EQ(Q.NrOfColumns(), 4);
  EXPECT_EQ(Elems(Q), "(1,2)=3 (3,3)=-1 ");
  // The dense members see no dense elements in the sparse form.
  Q.ExchangeRows(1, 2);
  Q.MirrorColumns();
  EXPECT_EQ(Q.GetVal(1, 2), 3);
  Q.SparseToArray();
  EXPECT_EQ(Q.NrOfColumns(), 3);
  EXPECT_EQ(Q.NrOfRows(), 3);
  EXPECT_EQ(Q.GetVal(3, 3), -1);
  auto Empty = TIntMatrix::CreateSparse(nullptr, 1);
  Empty->SparseToArray();
  EXPECT_EQ(Empty->NrOfColumns(), 1);
  EXPECT_EQ(Empty->NrOfRows(), 1);
}

TEST(IntMatrixSparse, HugeBoxRefusedOnConversion) {
  auto M = TIntMatrix::CreateSparse(nullptr, 1);
  M->SetVal(INT32_MAX, 70000, 1);
  EXPECT_THROW(M->SparseToArray(), ENUXMatrixError);
  EXPECT_TRUE(M->IsSparse());
  EXPECT_EQ(M->GetVal(INT32_MAX, 70000), 1);
}

}  // namespace
}  // namespace nux
