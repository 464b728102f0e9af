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
#include "nux/matrix/gemm_kernel.h"
#include "nux/matrix/matrix.h"
#include "support/alloc_limit.h"

namespace nux {
namespace {

namespace md = matrix_detail;

// Values spread over many magnitudes and signs, so that any change of summation order shows up
// in the last bits.
void FillWild(TMatrix& M, int32_t Nc, int32_t Nr) {
  M.Resize(Nc, Nr);
  for (int32_t C = 1; C <= Nc; ++C)
    for (int32_t R = 1; R <= Nr; ++R)
      M.SetVal(C, R, (Random() - 0.5) * std::pow(10.0, RandomInt(13) - 6));
}

// Element (r, c) of op(X): the matrix itself or its transpose.
double At(const TMatrix& X, bool Trans, int32_t R, int32_t C) {
  return Trans ? X.GetVal(R, C) : X.GetVal(C, R);
}

// The product written out the obvious way: plain sums in index order from 0.0.
std::vector<double> Reference(const TMatrix& A, bool ATrans, const TMatrix& B, bool BTrans,
                              int32_t& M, int32_t& N) {
  M = ATrans ? A.NrOfColumns() : A.NrOfRows();
  const int32_t K = ATrans ? A.NrOfRows() : A.NrOfColumns();
  N = BTrans ? B.NrOfRows() : B.NrOfColumns();
  std::vector<double> C;
  for (int32_t J = 1; J <= N; ++J)
    for (int32_t I = 1; I <= M; ++I) {
      double S = 0.0;
      for (int32_t P = 1; P <= K; ++P) S = S + At(A, ATrans, I, P) * At(B, BTrans, P, J);
      C.push_back(S);
    }
  return C;
}

bool SameBits(double X, double Y) { return std::memcmp(&X, &Y, sizeof X) == 0; }

// Bit for bit (NaNs compare by their payload too, which the kernel passes through untouched).
void ExpectMatrixBits(const std::vector<double>& Want, int32_t M, int32_t N, const TMatrix& Got) {
  ASSERT_EQ(Got.NrOfColumns(), N);
  ASSERT_EQ(Got.NrOfRows(), M);
  int Bad = 0;
  for (int32_t J = 1; J <= N; ++J)
    for (int32_t I = 1; I <= M; ++I) {
      const double W = Want[size_t(J - 1) * size_t(M) + size_t(I - 1)];
      if (!SameBits(W, Got.GetVal(J, I)) && !(std::isnan(W) && std::isnan(Got.GetVal(J, I))) &&
          Bad++ < 5)
        ADD_FAILURE() << "(" << J << "," << I << "): " << Got.GetVal(J, I) << " want " << W;
    }
}

struct TEvents {
  int Change = 0;
  int Resize = 0;
  void Attach(TMatrix& M) {
    M.OnChange = [this](TObject*) { ++Change; };
    M.OnResize = [this](TObject*) { ++Resize; };
  }
};

// Restores the process-wide progress hooks after a test that sets them.
struct ProgressGuard {
  ProgressGuard() { ProcStat = 0.0; }
  ~ProgressGuard() {
    AbortMathProc = false;
    MathFeedBackProc = nullptr;
    ProcStat = 0.0;
  }
};

const md::TGemmPath kPaths[] = {md::gpGeneric, md::gpAVX2, md::gpAVX512};

TEST(MatrixProducts, SmallProductByHand) {
  // A: 3 columns x 2 rows, B: 4 columns x 3 rows.
  TMatrix A, B, R;
  A.Resize(3, 2);
  B.Resize(4, 3);
  const double Av[2][3] = {{1, 2, 3}, {4, 5, 6}};                         // [row][col]
  const double Bv[3][4] = {{1, 0, 2, -1}, {0, 1, 3, 2}, {1, 1, 0, 0.5}};  // [row][col]
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) A.SetVal(c + 1, r + 1, Av[r][c]);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) B.SetVal(c + 1, r + 1, Bv[r][c]);
  ASSERT_TRUE(A.Multiply(&B, &R));
  ASSERT_EQ(R.NrOfColumns(), 4);
  ASSERT_EQ(R.NrOfRows(), 2);
  const double Want[2][4] = {{4, 5, 8, 4.5}, {10, 11, 23, 9}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(R.GetVal(c + 1, r + 1), Want[r][c]);

  // A 3 x 2 times a 4 x 2 does not fit: false, result untouched, no event.
  TMatrix Wrong;
  Wrong.Resize(4, 2);
  TMatrix Res;
  Res.Resize(2, 2);
  Res.Fill(7.0);
  TEvents Ev;
  Ev.Attach(Res);
  EXPECT_FALSE(A.Multiply(&Wrong, &Res));
  EXPECT_FALSE(A.Multiply(nullptr, &Res));
  EXPECT_FALSE(A.Multiply(&B, static_cast<TMatrix*>(nullptr)));
  EXPECT_EQ(Res.NrOfColumns(), 2);
  EXPECT_EQ(Res.GetVal(2, 2), 7.0);
  EXPECT_EQ(Ev.Change + Ev.Resize, 0);
}

// Sizes that cut the register tiles, the row blocks and the slices of terms.
struct TShape {
  int32_t M, K, N;
};
const TShape kShapes[] = {{1, 1, 1},     {3, 7, 2},     {25, 1, 9},
                          {31, 257, 13}, {245, 260, 7}, {9, 600, 30}};

TEST(MatrixProducts, EveryFormIsTheInOrderSumOnEveryPath) {
  SetRandSeed(3);
  for (const auto& S : kShapes) {
    TMatrix A, B, At_, Bt, R;
    FillWild(A, S.K, S.M);    // M x K
    FillWild(B, S.N, S.K);    // K x N
    FillWild(At_, S.M, S.K);  // K x M, used transposed
    FillWild(Bt, S.K, S.N);   // N x K, used transposed
    int32_t M = 0, N = 0;
    const auto Plain = Reference(A, false, B, false, M, N);
    const auto WithBt = Reference(A, false, Bt, true, M, N);
    const auto WithAt = Reference(At_, true, B, false, M, N);
    for (const auto Path : kPaths) {
      if (md::SetGemmPath(Path) != Path) continue;
      SCOPED_TRACE("path " + std::to_string(Path) + " shape " + std::to_string(S.M) + "x" +
                   std::to_string(S.K) + "x" + std::to_string(S.N));
      ASSERT_TRUE(A.Multiply(&B, &R));
      ExpectMatrixBits(Plain, S.M, S.N, R);
      ASSERT_TRUE(A.MultiplyTransposed(&Bt, &R));
      ExpectMatrixBits(WithBt, S.M, S.N, R);
      ASSERT_TRUE(At_.TransposeAndMultiply(&B, &R));
      ExpectMatrixBits(WithAt, S.M, S.N, R);
    }
    md::SetGemmPath(md::gpAuto);
  }
}

TEST(MatrixProducts, SpecialValuesStayInTheirElements) {
  // Infinities and NaNs in the operands reach exactly the elements whose sums contain them;
  // a product -0.0 added to the starting 0.0 gives +0.0.
  TMatrix A, B, R;
  A.Resize(3, 27);  // 27 rows: the last tile of rows is cut
  B.Resize(11, 3);
  A.Fill(1.0);
  B.Fill(2.0);
  A.SetVal(2, 5, std::numeric_limits<double>::infinity());
  B.SetVal(4, 2, 0.0);  // inf * 0 = NaN only in (row 5, column 4)
  B.SetVal(9, 1, std::numeric_limits<double>::quiet_NaN());
  A.SetVal(1, 26, -0.0);
  A.SetVal(2, 26, -0.0);
  A.SetVal(3, 26, -0.0);
  int32_t M = 0, N = 0;
  const auto Want = Reference(A, false, B, false, M, N);
  for (const auto Path : kPaths) {
    if (md::SetGemmPath(Path) != Path) continue;
    ASSERT_TRUE(A.Multiply(&B, &R));
    ExpectMatrixBits(Want, M, N, R);
    EXPECT_TRUE(std::isnan(R.GetVal(4, 5)));
    EXPECT_TRUE(std::isinf(R.GetVal(3, 5)));
    EXPECT_TRUE(std::isnan(R.GetVal(9, 1)));
    EXPECT_EQ(R.GetVal(3, 4), 6.0);
    EXPECT_FALSE(std::signbit(R.GetVal(1, 26)));
  }
  md::SetGemmPath(md::gpAuto);
}

TEST(MatrixProducts, DimensionRulesOfTheTransposedForms) {
  TMatrix A, B, R;
  A.Resize(3, 4);
  B.Resize(5, 4);
  R.Resize(1, 1);
  EXPECT_FALSE(A.MultiplyTransposed(&B, &R));   // needs equal column counts
  EXPECT_TRUE(A.TransposeAndMultiply(&B, &R));  // equal row counts
  EXPECT_EQ(R.NrOfColumns(), 5);
  EXPECT_EQ(R.NrOfRows(), 3);
  B.Resize(3, 6);
  EXPECT_FALSE(A.TransposeAndMultiply(&B, &R));
  EXPECT_TRUE(A.MultiplyTransposed(&B, &R));
  EXPECT_EQ(R.NrOfColumns(), 6);
  EXPECT_EQ(R.NrOfRows(), 4);
  EXPECT_FALSE(A.MultiplyTransposed(nullptr, &R));
  EXPECT_FALSE(A.TransposeAndMultiply(static_cast<const TMatrix*>(nullptr), &R));
}

TEST(MatrixProducts, EventsOnResultAndOperand) {
  TMatrix A, B, R;
  A.Resize(3, 2);
  B.Resize(4, 3);
  A.Fill(1.0);
  B.Fill(1.0);
  TEvents OnA, OnR;
  OnA.Attach(A);
  OnR.Attach(R);
  // New size: the resize fires its pair, then one change per element, then this changes once.
  ASSERT_TRUE(A.Multiply(&B, &R));
  EXPECT_EQ(OnR.Resize, 1);
  EXPECT_EQ(OnR.Change, 1 + 8);
  EXPECT_EQ(OnA.Change, 1);
  // Same size again: no resize, only the element changes.
  OnR = TEvents{};
  OnR.Attach(R);
  ASSERT_TRUE(A.Multiply(&B, &R));
  EXPECT_EQ(OnR.Resize, 0);
  EXPECT_EQ(OnR.Change, 8);
  // The transposed-first form leaves this matrix alone.
  OnA = TEvents{};
  OnA.Attach(A);
  TMatrix C;
  C.Resize(5, 2);
  ASSERT_TRUE(A.TransposeAndMultiply(&C, &R));
  EXPECT_EQ(OnA.Change, 0);
  ASSERT_TRUE(A.MultiplyTransposed(&A, &R));
  EXPECT_EQ(OnA.Change, 1);
  ASSERT_TRUE(A.EMult(&A, &R));
  EXPECT_EQ(OnA.Change, 2);
}

TEST(MatrixProducts, ResultMayBeAnOperand) {
  SetRandSeed(5);
  TMatrix A, Fresh;
  FillWild(A, 30, 30);
  Fresh.Clone(&A);
  int32_t M = 0, N = 0;
  const auto Want = Reference(Fresh, false, Fresh, false, M, N);
  ASSERT_TRUE(A.Multiply(&A, &A));
  ExpectMatrixBits(Want, M, N, A);

  TMatrix T;
  FillWild(T, 4, 9);  // 9 x 4: T^T T is 4 x 4
  const auto TW = Reference(T, true, T, false, M, N);
  ASSERT_TRUE(T.TransposeAndMultiply(&T, &T));
  ExpectMatrixBits(TW, M, N, T);

  TMatrix E;
  FillWild(E, 3, 5);
  TMatrix E0;
  E0.Clone(&E);
  ASSERT_TRUE(E.EMult(&E, &E));
  for (int32_t C = 1; C <= 3; ++C)
    for (int32_t R = 1; R <= 5; ++R) EXPECT_EQ(E.GetVal(C, R), E0.GetVal(C, R) * E0.GetVal(C, R));
}

TEST(MatrixProducts, VectorForms) {
  SetRandSeed(8);
  TMatrix A;
  FillWild(A, 37, 23);  // 23 x 37
  TVector X, Y, Z;
  X.Resize(37);
  for (int32_t I = 1; I <= 37; ++I)
    X.SetVal(I, (Random() - 0.5) * std::pow(10.0, RandomInt(9) - 4));
  Z.Resize(23);
  for (int32_t I = 1; I <= 23; ++I) Z.SetVal(I, Random() - 0.5);
  for (const auto Path : kPaths) {
    if (md::SetGemmPath(Path) != Path) continue;
    ASSERT_TRUE(A.Multiply(&X, &Y));
    ASSERT_EQ(Y.NrOfElem(), 23);
    for (int32_t I = 1; I <= 23; ++I) {
      double S = 0.0;
      for (int32_t P = 1; P <= 37; ++P) S = S + A.GetVal(P, I) * X.GetVal(P);
      EXPECT_TRUE(SameBits(S, Y.GetVal(I))) << I;
    }
  }
  md::SetGemmPath(md::gpAuto);
  ASSERT_TRUE(A.TransposeAndMultiply(&Z, &Y));
  ASSERT_EQ(Y.NrOfElem(), 37);
  for (int32_t I = 1; I <= 37; ++I) {
    double S = 0.0;
    for (int32_t P = 1; P <= 23; ++P) S = S + A.GetVal(I, P) * Z.GetVal(P);
    EXPECT_TRUE(SameBits(S, Y.GetVal(I))) << I;
  }
  // Mismatched lengths and absent vectors: false, result untouched.
  EXPECT_FALSE(A.Multiply(&Z, &Y));
  EXPECT_FALSE(A.TransposeAndMultiply(&X, &Y));
  EXPECT_FALSE(A.Multiply(static_cast<const TVector*>(nullptr), &Y));
  EXPECT_FALSE(A.TransposeAndMultiply(&Z, static_cast<TVector*>(nullptr)));
  EXPECT_EQ(Y.NrOfElem(), 37);
  // The vector may be its own result.
  TMatrix Rot;
  Rot.Resize(2, 2);
  Rot.SetVal(1, 2, 1.0);   // column 1, row 2
  Rot.SetVal(2, 1, -1.0);  // column 2, row 1
  TVector V;
  V.Resize(2);
  V.SetVal(1, 3.0);
  V.SetVal(2, 4.0);
  ASSERT_TRUE(Rot.Multiply(&V, &V));
  EXPECT_EQ(V.GetVal(1), -4.0);
  EXPECT_EQ(V.GetVal(2), 3.0);
}

TEST(MatrixProducts, EMultAndItsRules) {
  TMatrix A, B, R;
  A.Resize(2, 3);
  B.Resize(2, 3);
  A.FillSerial(1.0, 1.0);
  B.FillSerial(-2.0, 0.5);
  ASSERT_TRUE(A.EMult(&B, &R));
  for (int32_t C = 1; C <= 2; ++C)
    for (int32_t Rw = 1; Rw <= 3; ++Rw)
      EXPECT_EQ(R.GetVal(C, Rw), A.GetVal(C, Rw) * B.GetVal(C, Rw));
  B.Resize(3, 2);
  EXPECT_FALSE(A.EMult(&B, &R));
  EXPECT_FALSE(A.EMult(nullptr, &R));
}

TEST(MatrixProducts, ExhaustedMemoryIsReportedAndLeavesTheResult) {
  TMatrix A, B, R;
  A.Resize(1, 400'000);  // 400000 x 1 times 1 x 2: a 3.2 MB result block
  B.Resize(2, 1);
  R.Resize(1, 1);
  R.SetVal(1, 1, 9.0);
  {
    ScopedAllocLimit Limit(1 << 20);
    EXPECT_THROW(A.Multiply(&B, &R), ENUXMatrixError);
  }
  EXPECT_EQ(R.NrOfRows(), 1);
  EXPECT_EQ(R.GetVal(1, 1), 9.0);
}

// ---- Square ----

std::vector<double> SquareReference(const TMatrix& A, double Norm) {
  const int32_t N = A.NrOfColumns();
  std::vector<double> C(size_t(N) * size_t(N));
  for (int32_t I = 1; I <= N; ++I)
    for (int32_t J = I; J <= N; ++J) {
      double S = 0.0;
      for (int32_t R = 1; R <= A.NrOfRows(); ++R) S = S + A.GetVal(I, R) * A.GetVal(J, R);
      C[size_t(I - 1) * size_t(N) + size_t(J - 1)] = S / Norm;
      C[size_t(J - 1) * size_t(N) + size_t(I - 1)] = S / Norm;
    }
  return C;
}

TEST(MatrixSquare, SmallCrossProductByHand) {
  TMatrix A, R;
  A.Resize(2, 3);
  // Columns (1, 2, 3) and (4, 5, 6): dot products 14, 32, 77.
  A.FillSerial(1.0, 1.0);
  ASSERT_TRUE(A.Square(&R, 2.0, 1));
  ASSERT_EQ(R.NrOfColumns(), 2);
  ASSERT_EQ(R.NrOfRows(), 2);
  EXPECT_EQ(R.GetVal(1, 1), 7.0);
  EXPECT_EQ(R.GetVal(1, 2), 16.0);
  EXPECT_EQ(R.GetVal(2, 1), 16.0);
  EXPECT_EQ(R.GetVal(2, 2), 38.5);
  EXPECT_FALSE(A.Square(nullptr, 1.0, 1));
}

TEST(MatrixSquare, SameBitsForEveryThreadCountAndPath) {
  SetRandSeed(21);
  TMatrix A;
  FillWild(A, 131, 300);  // several blocks of columns, more terms than one slice
  const auto Want = SquareReference(A, 3.0);
  for (const auto Path : kPaths) {
    if (md::SetGemmPath(Path) != Path) continue;
    for (const int32_t Threads : {1, 2, 3, 7, 500, 0, -4}) {
      SCOPED_TRACE("path " + std::to_string(Path) + " threads " + std::to_string(Threads));
      TMatrix R;
      ASSERT_TRUE(A.Square(&R, 3.0, Threads));
      ExpectMatrixBits(Want, 131, 131, R);
    }
  }
  md::SetGemmPath(md::gpAuto);
  TMatrix R;
  ASSERT_TRUE(A.Square(&R, 3.0));  // host-chosen thread count
  ExpectMatrixBits(Want, 131, 131, R);
  // Squaring in place reads the matrix as it was.
  ASSERT_TRUE(A.Square(&A, 3.0, 2));
  ExpectMatrixBits(Want, 131, 131, A);
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

TEST(MatrixSquare, AbortStopsAndReportsFalse) {
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
    // Several threads: abort once some columns are done; all workers are gone once it
    // returns, so the result no longer changes afterwards.
    ProgressGuard Guard;
    MathFeedBackProc = [](double P) {
      if (P > 0.0) AbortMathProc = true;
    };
    TMatrix R;
    EXPECT_FALSE(A.Square(&R, 1.0, 3));
    EXPECT_GT(ProcStat, 0.0);
    const std::string Crc = R.CRCofData();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(R.CRCofData(), Crc);
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
}

TEST(MatrixSquare, ExhaustedMemoryIsReportedOnEveryPath) {
  SetRandSeed(24);
  TMatrix A;
  FillWild(A, 200, 300);
  for (const int32_t Threads : {1, 3}) {
    ProgressGuard Guard;
    TMatrix R;
    R.Resize(200, 200);  // the result needs no new block; the working buffers do
    ScopedAllocLimit Limit(100'000);
    EXPECT_THROW(A.Square(&R, 1.0, Threads), ENUXMatrixError) << Threads;
  }
}

TEST(MatrixSquare, ThrowingProgressHookStopsTheWorkers) {
  SetRandSeed(25);
  TMatrix A, R;
  FillWild(A, 300, 20);
  ProgressGuard Guard;
  MathFeedBackProc = [](double P) {
    if (P > 0.0) throw std::runtime_error("stop");
  };
  EXPECT_THROW(A.Square(&R, 1.0, 2), std::runtime_error);
  const std::string Crc = R.CRCofData();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(R.CRCofData(), Crc);
}

TEST(MatrixSquare, ResultSignalsItsChanges) {
  TMatrix A, R;
  A.Resize(3, 4);
  A.Fill(1.0);
  TEvents Ev;
  Ev.Attach(R);
  ASSERT_TRUE(A.Square(&R, 1.0, 2));
  EXPECT_EQ(Ev.Resize, 1);
  EXPECT_GE(Ev.Change, 2);  // the resize, then the new contents
  EXPECT_EQ(R.GetVal(3, 1), 4.0);
}

}  // namespace
}  // namespace nux
