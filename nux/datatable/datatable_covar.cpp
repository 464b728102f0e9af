// TDataTable::CalcCovar: cross products, covariances, correlations and mean squared differences
// between columns over the rows where both cells are valid.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <span>

#include "nux/datatable/datatable_impl.h"
#include "nux/frame/moments.h"
#include "nux/frame/progress.h"
#include "nux/frame/rounding.h"
#include "nux/kernels/gemm.h"

namespace nux {

using datatable_detail::Guarded;
using datatable_detail::ValidState;

namespace {

constexpr double NaNValue = std::numeric_limits<double>::quiet_NaN();

// One column of the range: values as Elem reads them, the validity of each row (empty when
// every row is valid), and the shift the sums are taken about.
struct TCovCol {
  TDoubleArray X;
  std::vector<uint8_t> Valid;
  double Shift = 0.0;
};

// r from centred sums; 0 where a series is constant or there are too few pairs.
double Correlation(double Sxy, double Sxx, double Syy, int64_t C) {
  if (C <= 2 || Sxx == 0.0 || Syy == 0.0) return 0.0;
  const double R = Sxy / std::sqrt(std::fabs(Sxx * Syy));
  return std::clamp(R, -1.0, 1.0);
}

// Sums of one pair over the rows where both are valid, about the columns' shifts.
struct TPairSums {
  int64_t C = 0;
  double Sx = 0, Sy = 0, Sxy = 0, Sxx = 0, Syy = 0, Sd2 = 0;
  bool ConstX = true, ConstY = true;
};

TPairSums PairSums(const TCovCol& A, const TCovCol& B, int32_t Mode) {
  TPairSums P;
  const size_t Rows = A.X.size();
  double FirstX = 0.0, FirstY = 0.0;
  for (size_t R = 0; R < Rows; ++R) {
    if ((!A.Valid.empty() && !A.Valid[R]) || (!B.Valid.empty() && !B.Valid[R])) continue;
    const double X = A.X[R], Y = B.X[R];
    if (P.C == 0) {
      FirstX = X;
      FirstY = Y;
    }
    ++P.C;
    if (Mode == 4) {
      const double D = X - Y;
      P.Sd2 += D * D;
      continue;
    }
    const double Dx = X - A.Shift, Dy = Y - B.Shift;
    P.Sxy += Dx * Dy;
    P.Sx += Dx;
    P.Sy += Dy;
    P.Sxx += Dx * Dx;
    P.Syy += Dy * Dy;
    if (!(X == FirstX)) P.ConstX = false;
    if (!(Y == FirstY)) P.ConstY = false;
  }
  return P;
}

double Divided(double Sum, int64_t C) {
  return C < 2 ? NaNValue : Sum / static_cast<double>(C - 1);
}

}  // namespace

bool TDataTable::CalcCovar(TMatrix* CovarMat, int32_t LoC, int32_t HiC, int32_t LoR, int32_t HiR,
                           int32_t Mode) {
  BeginAbortable();
  if (!CovarMat || Mode < 0 || Mode > 4) return false;
  if (LoC < 1 || HiC > FNrOfCols || LoC > HiC || LoR < 1 || HiR > FNrOfRows || LoR > HiR)
    return false;
  const int32_t N = HiC - LoC + 1;
  const int64_t Rows = int64_t{HiR} - LoR + 1;
  if (CovarMat->NrOfColumns() < N || CovarMat->NrOfRows() < N) return false;

  // Where each column's values come from; Elem's rounding applies to categorical columns.
  struct TSource {
    int32_t C;
    bool Round;
    const uint8_t* States;
    std::span<const double> Stored;  // empty when the matrix was resized behind the table
    bool AllValid;
  };
  const bool Intact = FMat->NrOfColumns() == FNrOfCols && FMat->NrOfRows() == FNrOfRows;
  std::vector<TSource> Src;
  bool AllValid = true;
  for (int32_t I = 0; I < N; ++I) {
    const int32_t C = LoC + I;
    const uint8_t* States = FCState.data() + StateIx(C, LoR);
    uint8_t Seen = 0;
    for (int64_t R = 0; R < Rows; ++R) Seen |= States[R];
    Src.push_back({C, IsCategorical(MScaleType(C)), States,
                   Intact ? FMat->Column(C).subspan(size_t(LoR - 1), size_t(Rows))
                          : std::span<const double>(),
                   ValidState(Seen)});
    AllValid = AllValid && ValidState(Seen);
  }
  const auto ValueAt = [&](const TSource& S, int64_t R) {
    const double X =
        S.Stored.empty() ? RawVal(S.C, LoR + static_cast<int32_t>(R)) : S.Stored[size_t(R)];
    return S.Round ? RoundEven(X) : X;
  };

  // Mode 1 takes each column about the mean of its numeric cells (0 for a categorical one).
  TDoubleArray Means(size_t(N), 0.0);
  if (Mode > 0)
    for (int32_t I = 0; I < N; ++I) {
      const TSource& S = Src[size_t(I)];
      double V = 0.0;
      if (S.AllValid && IsMetricCol(S.C))
        Means[size_t(I)] = StableMean(Rows, [&](int64_t R) { return ValueAt(S, R); });
      else
        MeanVarOfNumCells(S.C, LoR, S.C, HiR, Means[size_t(I)], V);
      MathFeedBack();
    }

  // The result reports once, after every entry is in place.
  std::optional<TMatrixMute> Mute(std::in_place, *CovarMat);
  const auto Put = [&](int32_t I, int32_t J, double V) {
    CovarMat->SetVal(J + 1, I + 1, V);
    CovarMat->SetVal(I + 1, J + 1, V);
  };
  bool Aborted = false;

  if (AllValid && Mode != 4) {
    // Every pair has every row. The columns are shifted (to their means in modes 1 to 3) block
    // by block of rows into a cache-sized buffer, and one product per block adds up all cross
    // sums at once.
    std::vector<double> Shift(size_t(N), 0.0), First(size_t(N), 0.0), Sx(size_t(N), 0.0),
        Sq(size_t(N), 0.0), S2(size_t(N), 0.0), G, GBlock, Buf;
    std::vector<uint8_t> Differs(size_t(N), 0);
    constexpr int64_t BlockRows = 2048;
    const int64_t B = std::min(Rows, BlockRows);
    std::vector<const double*> Ptr(static_cast<size_t>(N));
    Guarded(*this, [&] {
      G.assign(size_t(N) * size_t(N), 0.0);
      GBlock.assign(size_t(N) * size_t(N), 0.0);
      Buf.resize(size_t(N) * size_t(B));
    });
    for (int32_t I = 0; I < N; ++I) {
      const TSource& S = Src[size_t(I)];
      if (Mode == 1)
        Shift[size_t(I)] = Means[size_t(I)];
      else if (Mode > 1)
        Shift[size_t(I)] = StableMean(Rows, [&](int64_t R) { return ValueAt(S, R); });
      if (!std::isfinite(Shift[size_t(I)])) Shift[size_t(I)] = 0.0;
      First[size_t(I)] = ValueAt(S, 0);
      Ptr[size_t(I)] = Buf.data() + size_t(I) * size_t(B);
    }
    kernels::TGemmWorkspace Work;
    for (int64_t R0 = 0; R0 < Rows; R0 += B) {
      const int64_t Len = std::min(B, Rows - R0);
      for (int32_t I = 0; I < N; ++I) {
        const TSource& S = Src[size_t(I)];
        double* P = Buf.data() + size_t(I) * size_t(B);
        const double Sh = Shift[size_t(I)], F = First[size_t(I)];
        // Four running sums: the loop is bound by the latency of the additions otherwise.
        double Sa[4] = {}, Qa[4] = {};
        bool Diff = false;
        const auto Step = [&](int64_t K, int L) {
          const double X = ValueAt(S, R0 + K);
          Diff |= !(X == F);
          const double D = X - Sh;
          P[K] = D;
          Sa[L] += D;
          Qa[L] += D * D;
        };
        int64_t K = 0;
        for (; K + 4 <= Len; K += 4)
          for (int L = 0; L < 4; ++L) Step(K + L, L);
        for (; K < Len; ++K) Step(K, 0);
        Sx[size_t(I)] += (Sa[0] + Sa[1]) + (Sa[2] + Sa[3]);
        Sq[size_t(I)] += (Qa[0] + Qa[1]) + (Qa[2] + Qa[3]);
        if (Diff) Differs[size_t(I)] = 1;
      }
      Guarded(*this, [&] {
        kernels::Gemm(N, N, Len, kernels::TOperand{Ptr.data(), true}, 0,
                      kernels::TOperand{Ptr.data(), false}, 0, GBlock.data(), N, true, &Work);
      });
      for (int32_t I = 0; I < N; ++I)
        for (int32_t J = 0; J <= I; ++J) {
          const size_t At = size_t(J) + size_t(I) * size_t(N);
          G[At] += GBlock[At];
        }
    }
    const auto C = static_cast<double>(Rows);
    for (int32_t I = 0; I < N; ++I) {
      S2[size_t(I)] = Differs[size_t(I)] ? Sq[size_t(I)] - Sx[size_t(I)] * Sx[size_t(I)] / C : 0.0;
      // The correction of the cross sums holds only about the column's own mean.
      if (Mode == 0 || (Mode == 1 && !IsMetricCol(Src[size_t(I)].C))) Sx[size_t(I)] = 0.0;
    }
    for (int32_t I = 0; I < N && !Aborted; ++I) {
      if (AbortMathProc) {
        Aborted = true;
        break;
      }
      for (int32_t J = 0; J <= I; ++J) {
        const double Gij = G[size_t(J) + size_t(I) * size_t(N)];
        const double Cxy = Gij - Sx[size_t(I)] * Sx[size_t(J)] / C;
        double V = 0.0;
        if (Mode == 0) {
          V = Divided(Gij, Rows);
        } else if (Mode == 1) {
          V = Divided(Cxy, Rows);
        } else {
          const double R = I == J ? 1.0 : Correlation(Cxy, S2[size_t(I)], S2[size_t(J)], Rows);
          V = Mode == 2 ? R : R * R;
        }
        Put(I, J, V);
      }
      MathFeedBack();
    }
  } else {
    std::vector<TCovCol> Cols = Guarded(*this, [&] {
      std::vector<TCovCol> Out(static_cast<size_t>(N));
      for (int32_t I = 0; I < N; ++I) {
        const TSource& S = Src[size_t(I)];
        TCovCol& Col = Out[size_t(I)];
        Col.X.resize(size_t(Rows));
        for (int64_t R = 0; R < Rows; ++R) Col.X[size_t(R)] = ValueAt(S, R);
        if (!S.AllValid) {
          Col.Valid.resize(size_t(Rows));
          for (int64_t R = 0; R < Rows; ++R) Col.Valid[size_t(R)] = ValidState(S.States[R]);
        }
      }
      return Out;
    });
    for (int32_t I = 0; I < N; ++I) {
      TCovCol& Col = Cols[size_t(I)];
      if (Mode == 1) {
        Col.Shift = Means[size_t(I)];
      } else if (Mode > 1) {
        int64_t K = 0;
        double Sum = 0.0;
        for (int64_t R = 0; R < Rows; ++R)
          if (Col.Valid.empty() || Col.Valid[size_t(R)]) {
            Sum += Col.X[size_t(R)];
            ++K;
          }
        Col.Shift = K > 0 && std::isfinite(Sum) ? Sum / static_cast<double>(K) : 0.0;
      }
    }
    for (int32_t I = 0; I < N && !Aborted; ++I) {
      if (AbortMathProc) {
        Aborted = true;
        break;
      }
      for (int32_t J = 0; J <= I; ++J) {
        const TPairSums P = PairSums(Cols[size_t(I)], Cols[size_t(J)], Mode);
        double V = 0.0;
        if (Mode == 0) {
          // Raw cross products: the shift is 0.
          V = Divided(P.Sxy, P.C);
        } else if (Mode == 1) {
          V = Divided(P.Sxy, P.C);
        } else if (Mode == 4) {
          V = Divided(P.Sd2, P.C);
        } else {
          const auto C = static_cast<double>(std::max<int64_t>(P.C, 1));
          const double Sxx = P.ConstX ? 0.0 : P.Sxx - P.Sx * P.Sx / C;
          const double Syy = P.ConstY ? 0.0 : P.Syy - P.Sy * P.Sy / C;
          const double R = I == J ? 1.0 : Correlation(P.Sxy - P.Sx * P.Sy / C, Sxx, Syy, P.C);
          V = Mode == 2 ? R : R * R;
        }
        Put(I, J, V);
      }
      MathFeedBack();
    }
  }
  Mute.reset();
  CovarMat->Changed();
  return !Aborted;
}

}  // namespace nux
