#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "nux/frame/progress.h"
#include "nux/host/random.h"
#include "nux/kernels/dispatch.h"
#include "nux/matrix/matrix.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

const kernels::TKernelPath kPaths[] = {kernels::kpGeneric, kernels::kpAVX2, kernels::kpAVX512};

// Values spread over 13 decades and both signs: any change of summation order shows up.
void FillWild(TMatrix& M, int32_t Nc, int32_t Nr) {
  M.Resize(Nc, Nr);
  for (int32_t C = 1; C <= Nc; ++C)
    for (int32_t R = 1; R <= Nr; ++R)
      M.SetVal(C, R, (Random() - 0.5) * std::pow(10.0, RandomInt(13) - 6));
}

// Element (r, c) of X or of its transpose.
double At(const TMatrix& X, bool T, int32_t R, int32_t C) {
  return T ? X.GetVal(R, C) : X.GetVal(C, R);
}

// The product written out the obvious way, column-major: plain sums in index order from 0.0.
struct TRef {
  int32_t M = 0, N = 0;
  std::vector<double> C;
  TRef(const TMatrix& A, bool AT, const TMatrix& B, bool BT) {
    M = AT ? A.NrOfColumns() : A.NrOfRows();
    N = BT ? B.NrOfRows() : B.NrOfColumns();
    const int32_t K = AT ? A.NrOfRows() : A.NrOfColumns();
    for (int32_t J = 1; J <= N; ++J)
      for (int32_t I = 1; I <= M; ++I) {
        double S = 0.0;
        for (int32_t P = 1; P <= K; ++P) S = S + At(A, AT, I, P) * At(B, BT, P, J);
        C.push_back(S);
      }
  }
};

bool SameBits(double X, double Y) {
  return std::memcmp(&X, &Y, sizeof X) == 0 || (std::isnan(X) && std::isnan(Y));
}

void ExpectBits(const TRef& Want, const TMatrix& Got) {
  ASSERT_EQ(Got.NrOfColumns(), Want.N);
  ASSERT_EQ(Got.NrOfRows(), Want.M);
  int Bad = 0;
  for (int32_t J = 1; J <= Want.N; ++J)
    for (int32_t I = 1; I <= Want.M; ++I) {
      const double W = Want.C[size_t(J - 1) * size_t(Want.M) + size_t(I - 1)];
      if (!SameBits(W, Got.GetVal(J, I)) && Bad++ < 5)
        ADD_FAILURE() << "(" << J << "," << I << "): " << Got.GetVal(J, I) << " want " << W;
    }
}

struct TEvents {
  int Change = 0, Resize = 0;
  explicit TEvents(TMatrix& M) {
    M.OnChange = [this](TObject*) { ++Change; };
    M.OnResize = [this](TObject*) { ++Resize; };
  }
};

// Restores the process-wide progress hooks.
struct ProgressGuard {
  ProgressGuard() { ProcStat = 0.0; }
  ~ProgressGuard() {
    AbortMathProc = false;
    MathFeedBackProc = nullptr;
    ProcStat = 0.0;
  }
};

TEST(MatrixProducts, SmallProductByHandAndMismatches) {
  TMatrix A, B, R;
  A.Resize(3, 2);  // rows (1 3 5), (2 4 6)
  B.Resize(4, 3);  // columns (1 2 3), (4 5 6), (7 8 9), (10 11 12)
  A.FillSerial(1.0, 1.0);
  B.FillSerial(1.0, 1.0);
  ASSERT_TRUE(A.Multiply(&B, &R));
  const double Want[4][2] = {{22, 28}, {49, 64}, {76, 100}, {103, 136}};  // [column][row]
  ASSERT_EQ(R.NrOfColumns(), 4);
  ASSERT_EQ(R.NrOfRows(), 2);
  for (int C = 0; C < 4; ++C)
    for (int Rw = 0; Rw < 2; ++Rw) EXPECT_EQ(R.GetVal(C + 1, Rw + 1), Want[C][Rw]);

  // Sizes that do not fit, absent arguments: false, result untouched, no event.
  TMatrix Wrong, Res;
  Wrong.Resize(4, 2);
  Res.Fill(7.0);
  TEvents Ev(Res);
  EXPECT_FALSE(A.Multiply(&Wrong, &Res));          // 3 columns against 2 rows
  EXPECT_FALSE(A.MultiplyTransposed(&B, &Res));    // 3 columns against 4
  EXPECT_FALSE(A.TransposeAndMultiply(&B, &Res));  // 2 rows against 3
  EXPECT_FALSE(A.EMult(&Wrong, &Res));             // 3 x 2 against 4 x 2
  EXPECT_FALSE(A.Multiply(nullptr, &Res));
  EXPECT_FALSE(A.MultiplyTransposed(&A, nullptr));
  EXPECT_FALSE(A.TransposeAndMultiply(static_cast<const TMatrix*>(nullptr), &Res));
  EXPECT_FALSE(A.EMult(&A, nullptr));
  EXPECT_EQ(Res.NrOfColumns(), 1);
  EXPECT_EQ(Res.GetVal(1, 1), 7.0);
  EXPECT_EQ(Ev.Change + Ev.Resize, 0);
}

TEST(MatrixProducts, EveryFormIsTheInOrderSumOnEveryPath) {
  // Shapes that cut the register tiles, the row blocks (240) and the slices of terms (256).
  const int32_t Shapes[][3] = {{1, 1, 1},     {3, 7, 2},     {25, 1, 9},
                               {31, 257, 13}, {245, 260, 7}, {9, 600, 30}};
  SetRandSeed(3);
  for (const auto& S : Shapes) {
    const int32_t M = S[0], K = S[1], N = S[2];
    TMatrix A, B, At_, Bt, R;
    FillWild(A, K, M);
    FillWild(B, N, K);
    FillWild(At_, M, K);
    FillWild(Bt, K, N);
    const TRef Plain(A, false, B, false), WithBt(A, false, Bt, true), WithAt(At_, true, B, false);
    for (const auto Path : kPaths) {
      kernels::TScopedKernelPath Force(Path);
      if (Force.Used() != Path) continue;
      SCOPED_TRACE("path " + std::to_string(Path) + " m k n " + std::to_string(M) + " " +
                   std::to_string(K) + " " + std::to_string(N));
      ASSERT_TRUE(A.Multiply(&B, &R));
      ExpectBits(Plain, R);
      ASSERT_TRUE(A.MultiplyTransposed(&Bt, &R));
      ExpectBits(WithBt, R);
      ASSERT_TRUE(At_.TransposeAndMultiply(&B, &R));
      ExpectBits(WithAt, R);
    }
  }
}

TEST(MatrixProducts, SpecialValuesStayInTheirElements) {
  TMatrix A, B, R;
  A.Resize(3, 27);  // the last tile of rows is cut
  B.Resize(11, 3);
  A.Fill(1.0);
  B.Fill(2.0);
  A.SetVal(2, 5, std::numeric_limits<double>::infinity());
  B.SetVal(4, 2, 0.0);  // inf * 0: NaN in (column 4, row 5) only
  B.SetVal(9, 1, std::numeric_limits<double>::quiet_NaN());
  for (int32_t C = 1; C <= 3; ++C) A.SetVal(C, 26, -0.0);  // -0.0 products added to 0.0
  const TRef Want(A, false, B, false);
  for (const auto Path : kPaths) {
    kernels::TScopedKernelPath Force(Path);
    if (Force.Used() != Path) continue;
    ASSERT_TRUE(A.Multiply(&B, &R));
    ExpectBits(Want, R);
    EXPECT_TRUE(std::isnan(R.GetVal(4, 5)));
    EXPECT_TRUE(std::isinf(R.GetVal(3, 5)));
    EXPECT_EQ(R.GetVal(3, 4), 6.0);
    EXPECT_FALSE(std::signbit(R.GetVal(1, 26)));
  }
}

TEST(MatrixProducts, EventsOnResultAndOperand) {
  TMatrix A, B, C, R;
  A.Resize(3, 2);
  B.Resize(4, 3);
  C.Resize(5, 2);
  TEvents OnA(A), OnR(R);
  // New size: the resize pair, then one change per element; then this matrix changes once.
  ASSERT_TRUE(A.Multiply(&B, &R));
  EXPECT_EQ(OnR.Resize, 1);
  EXPECT_EQ(OnR.Change, 1 + 8);
  EXPECT_EQ(OnA.Change, 1);
  ASSERT_TRUE(A.Multiply(&B, &R));  // same size: the element changes only
  EXPECT_EQ(OnR.Resize, 1);
  EXPECT_EQ(OnR.Change, 1 + 8 + 8);
  ASSERT_TRUE(A.TransposeAndMultiply(&C, &R));  // leaves this matrix alone
  EXPECT_EQ(OnA.Change, 2);
  ASSERT_TRUE(A.MultiplyTransposed(&A, &R));
  ASSERT_TRUE(A.EMult(&A, &R));
  EXPECT_EQ(OnA.Change, 4);
}

TEST(MatrixProducts, ResultMayBeAnOperand) {
  SetRandSeed(5);
  TMatrix A, T, E, E0;
  FillWild(A, 30, 30);
  const TRef WantA(A, false, A, false);
  ASSERT_TRUE(A.Multiply(&A, &A));
  ExpectBits(WantA, A);
  FillWild(T, 4, 9);
  const TRef WantT(T, true, T, false);
  ASSERT_TRUE(T.TransposeAndMultiply(&T, &T));
  ExpectBits(WantT, T);
  FillWild(E, 3, 5);
  E0.Clone(&E);
  ASSERT_TRUE(E.EMult(&E, &E));
  for (int32_t C = 1; C <= 3; ++C)
    for (int32_t R = 1; R <= 5; ++R) EXPECT_EQ(E.GetVal(C, R), E0.GetVal(C, R) * E0.GetVal(C, R));
}

TEST(MatrixProducts, VectorForms) {
  SetRandSeed(8);
  TMatrix A;
  FillWild(A, 37, 23);
  TMatrix X, Z;  // the vectors' values, as one-column matrices for the reference
  FillWild(X, 1, 37);
  FillWild(Z, 1, 23);
  TVector Xv, Zv, Y;
  Xv.Resize(37);
  Zv.Resize(23);
  for (int32_t I = 1; I <= 37; ++I) Xv.SetVal(I, X.GetVal(1, I));
  for (int32_t I = 1; I <= 23; ++I) Zv.SetVal(I, Z.GetVal(1, I));
  const TRef WantAx(A, false, X, false), WantAtz(A, true, Z, false);
  for (const auto Path : kPaths) {
    kernels::TScopedKernelPath Force(Path);
    if (Force.Used() != Path) continue;
    ASSERT_TRUE(A.Multiply(&Xv, &Y));
    ASSERT_EQ(Y.NrOfElem(), 23);
    for (int32_t I = 1; I <= 23; ++I) EXPECT_TRUE(SameBits(WantAx.C[size_t(I - 1)], Y.GetVal(I)));
  }
  ASSERT_TRUE(A.TransposeAndMultiply(&Zv, &Y));
  ASSERT_EQ(Y.NrOfElem(), 37);
  for (int32_t I = 1; I <= 37; ++I) EXPECT_TRUE(SameBits(WantAtz.C[size_t(I - 1)], Y.GetVal(I)));
  // Mismatched lengths and absent vectors: false, result untouched.
  EXPECT_FALSE(A.Multiply(&Zv, &Y));
  EXPECT_FALSE(A.TransposeAndMultiply(&Xv, &Y));
  EXPECT_FALSE(A.Multiply(static_cast<const TVector*>(nullptr), &Y));
  EXPECT_FALSE(A.TransposeAndMultiply(&Zv, static_cast<TVector*>(nullptr)));
  EXPECT_EQ(Y.NrOfElem(), 37);
  // The vector may be its own result: a quarter turn of (3, 4).
  TMatrix Rot;
  Rot.Resize(2, 2);
  Rot.SetVal(1, 2, 1.0);
  Rot.SetVal(2, 1, -1.0);
  TVector V;
  V.Resize(2);
  V.SetVal(1, 3.0);
  V.SetVal(2, 4.0);
  ASSERT_TRUE(Rot.Multiply(&V, &V));
  EXPECT_EQ(V.GetVal(1), -4.0);
  EXPECT_EQ(V.GetVal(2), 3.0);
}

TEST(MatrixProducts, ExhaustedMemoryIsReportedAndLeavesTheResult) {
  TMatrix A, B, R;
  A.Resize(1, 400'000);  // times 2 x 1: a 6.4 MB result block
  B.Resize(2, 1);
  R.SetVal(1, 1, 9.0);
  {
    ScopedAllocLimit Limit(1 << 20);
    EXPECT_THROW(A.Multiply(&B, &R), ENUXMatrixError);
  }
  EXPECT_EQ(R.NrOfRows(), 1);
  EXPECT_EQ(R.GetVal(1, 1), 9.0);
}

// ---- Square ----

TRef SquareReference(const TMatrix& A, double Norm) {
  TRef Ref(A, true, A, false);
  for (double& X : Ref.C) X = X / Norm;
  return Ref;
}

TEST(MatrixSquare, ByHandAndTheSameBitsForEveryThreadCountAndPath) {
  TMatrix Small, R;
  Small.Resize(2, 3);
  Small.FillSerial(1.0, 1.0);  // columns (1 2 3), (4 5 6): dot products 14, 32, 77
  ASSERT_TRUE(Small.Square(&R, 2.0, 1));
  EXPECT_EQ(R.GetVal(1, 1), 7.0);
  EXPECT_EQ(R.GetVal(1, 2), 16.0);
  EXPECT_EQ(R.GetVal(2, 1), 16.0);
  EXPECT_EQ(R.GetVal(2, 2), 38.5);
  EXPECT_FALSE(Small.Square(nullptr, 1.0, 1));

  SetRandSeed(21);
  TMatrix A;
  FillWild(A, 131, 300);  // several blocks of columns, more terms than one slice
  const TRef Want = SquareReference(A, 3.0);
  for (const auto Path : kPaths) {
    kernels::TScopedKernelPath Force(Path);
    if (Force.Used() != Path) continue;
    for (const int32_t Threads : {1, 2, 3, 7, 500, 0, -4}) {
      SCOPED_TRACE("path " + std::to_string(Path) + " threads " + std::to_string(Threads));
      ASSERT_TRUE(A.Square(&R, 3.0, Threads));
      ExpectBits(Want, R);
    }
  }
  ASSERT_TRUE(A.Square(&R, 3.0));  // host-chosen thread count
  ExpectBits(Want, R);
  ASSERT_TRUE(A.Square(&A, 3.0, 2));  // in place: reads the matrix as it was
  ExpectBits(Want, A);
}

TEST(MatrixSquare, ProgressCountsEveryColumnOnce) {
  SetRandSeed(22);
  TMatrix A, R;
  FillWild(A, 70, 40);
  for (const int32_t Threads : {1, 2, 4}) {
    ProgressGuard Guard;
    int Calls = 0;
    double Last = -1.0;
    bool Monotone = true;
    MathFeedBackProc = [&](double P) {
      ++Calls;
      Monotone = Monotone && P >= Last;
      Last = P;
    };
    ASSERT_TRUE(A.Square(&R, 1.0, Threads));
    // Worker counts reach ProcStat through the caller's thread only: none may be lost.
    EXPECT_EQ(ProcStat, 70.0) << Threads;
    EXPECT_EQ(Last, 70.0);
    EXPECT_TRUE(Monotone);
    EXPECT_GE(Calls, Threads == 1 ? 70 : 2);
  }
}

// Takes a fingerprint, waits, and checks nothing wrote to the result any more.
void ExpectNoLateWrites(const TMatrix& R) {
  const std::string Crc = R.CRCofData();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(R.CRCofData(), Crc);
}

TEST(MatrixSquare, AbortAndFailuresEndEveryWorker) {
  SetRandSeed(23);
  TMatrix A;
  FillWild(A, 200, 50);
  {
    // One thread: the check comes before each column, so exactly 5 columns are done.
    ProgressGuard Guard;
    MathFeedBackProc = [](double P) {
      if (P >= 5.0) AbortMathProc = true;
    };
    TMatrix R;
    EXPECT_FALSE(A.Square(&R, 1.0, 1));
    EXPECT_EQ(ProcStat, 5.0);
    EXPECT_EQ(R.NrOfColumns(), 200);
    double S = 0.0;
    for (int32_t Rw = 1; Rw <= 50; ++Rw) S = S + A.GetVal(5, Rw) * A.GetVal(9, Rw);
    EXPECT_EQ(R.GetVal(5, 9), S);
    EXPECT_EQ(R.GetVal(9, 5), S);
    EXPECT_EQ(R.GetVal(6, 9), 0.0);  // column 6 was never started
  }
  {
    // Several threads, abort once some columns are done.
    ProgressGuard Guard;
    MathFeedBackProc = [](double P) {
      if (P > 0.0) AbortMathProc = true;
    };
    TMatrix R;
    EXPECT_FALSE(A.Square(&R, 1.0, 3));
    EXPECT_GT(ProcStat, 0.0);
    ExpectNoLateWrites(R);
  }
  {
    // A throwing progress hook.
    ProgressGuard Guard;
    MathFeedBackProc = [](double P) {
      if (P > 0.0) throw std::runtime_error("stop");
    };
    TMatrix R;
    EXPECT_THROW(A.Square(&R, 1.0, 2), std::runtime_error);
    ExpectNoLateWrites(R);
  }
  {
    // Already set on entry: nothing is computed.
    ProgressGuard Guard;
    AbortMathProc = true;
    TMatrix R;
    EXPECT_FALSE(A.Square(&R, 1.0, 2));
    EXPECT_FALSE(A.Square(&R, 1.0, 1));
    EXPECT_EQ(ProcStat, 0.0);
  }
  for (const int32_t Threads : {1, 3}) {
    // The result needs no new block; the working buffers cannot be had.
    ProgressGuard Guard;
    TMatrix R;
    R.Resize(200, 200);
    ScopedAllocLimit Limit(50'000);
    EXPECT_THROW(A.Square(&R, 1.0, Threads), ENUXMatrixError) << Threads;
  }
}

TEST(MatrixSquare, ResultSignalsItsChanges) {
  TMatrix A, R;
  A.Resize(3, 4);
  A.Fill(1.0);
  TEvents Ev(R);
  ASSERT_TRUE(A.Square(&R, 1.0, 2));
  EXPECT_EQ(Ev.Resize, 1);
  EXPECT_EQ(Ev.Change, 2);  // the resize, then the new contents
  EXPECT_EQ(R.GetVal(3, 1), 4.0);
}

}  // namespace
}  // namespace nux
