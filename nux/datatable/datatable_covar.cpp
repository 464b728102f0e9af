// TDataTable::CalcCovar: cross products, covariances, correlations and mean squared differences
// between columns over the rows where both cells are valid.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

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

  TDoubleArray Means(size_t(N), 0.0);
  if (Mode > 0)
    for (int32_t I = 0; I < N; ++I) {
      double V = 0.0;
      MeanVarOfNumCells(LoC + I, LoR, LoC + I, HiR, Means[size_t(I)], V);
      MathFeedBack();
    }

  // The columns as Elem reads them; the shift makes the sums of modes 1 to 3 central.
  std::vector<TCovCol> Cols = Guarded(*this, [&] {
    std::vector<TCovCol> Out(static_cast<size_t>(N));
    for (auto& Col : Out) Col.X.resize(size_t(Rows));
    return Out;
  });
  bool AllValid = true;
  for (int32_t I = 0; I < N; ++I) {
    TCovCol& Col = Cols[size_t(I)];
    const int32_t C = LoC + I;
    const bool Round = IsCategorical(MScaleType(C));
    const uint8_t* States = FCState.data() + StateIx(C, LoR);
    for (int64_t R = 0; R < Rows; ++R) {
      const double X = RawVal(C, LoR + static_cast<int32_t>(R));
      Col.X[size_t(R)] = Round ? RoundEven(X) : X;
      if (!ValidState(States[R]) && Col.Valid.empty()) {
        Col.Valid = Guarded(*this, [&] { return std::vector<uint8_t>(size_t(Rows), 1); });
        AllValid = false;
      }
      if (!Col.Valid.empty()) Col.Valid[size_t(R)] = ValidState(States[R]);
    }
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

  // The result reports once, after every entry is in place.
  std::optional<TMatrixMute> Mute(std::in_place, *CovarMat);
  const auto Put = [&](int32_t I, int32_t J, double V) {
    CovarMat->SetVal(J + 1, I + 1, V);
    CovarMat->SetVal(I + 1, J + 1, V);
  };
  bool Aborted = false;

  if (AllValid && Mode != 4) {
    // Every pair has every row: one product of the shifted columns gives all cross sums.
    std::vector<double> Sx(size_t(N), 0.0), S2(size_t(N), 0.0), G;
    std::vector<const double*> Ptr(static_cast<size_t>(N));
    for (int32_t I = 0; I < N; ++I) {
      TCovCol& Col = Cols[size_t(I)];
      bool Constant = true;
      double S = 0.0, Q = 0.0;
      for (double& X : Col.X) {
        if (!(X == Col.X[0])) Constant = false;
        X -= Col.Shift;
        S += X;
        Q += X * X;
      }
      Sx[size_t(I)] = S;
      S2[size_t(I)] = Constant ? 0.0 : Q - S * S / static_cast<double>(Rows);
      Ptr[size_t(I)] = Col.X.data();
    }
    Guarded(*this, [&] {
      G.assign(size_t(N) * size_t(N), 0.0);
      kernels::Gemm(N, N, Rows, kernels::TOperand{Ptr.data(), true}, 0,
                    kernels::TOperand{Ptr.data(), false}, 0, G.data(), N, true);
    });
    const auto C = static_cast<double>(Rows);
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
