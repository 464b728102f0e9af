// Full double-precision kernels behind the distribution functions. Internal to the unit: the
// public functions in distributions.h are the interface.
#pragma once

namespace nux::statis_detail {

// ln Gamma(x + 1) - ((x + 0.5) ln x - x + ln sqrt(2 pi)), x > 0.
double StirlErr(double X);
// X ln(X / M) + M - X without cancellation when X is close to M.
double Bd0(double X, double M);
// X^A e^-X / Gamma(A + 1) for A >= 0, X >= 0.
double PoissonTerm(double A, double X);
// Gamma(N + 1) / (Gamma(K + 1) Gamma(N - K + 1)) P^K Q^(N - K) with real K, N; Q = 1 - P.
double BinomTerm(double K, double N, double P, double Q);

// Regularised incomplete gamma functions P(A, X) and Q(A, X) = 1 - P(A, X), each to full
// relative precision. A > 0, X >= 0.
void GammaPQ(double A, double X, double& P, double& Q);
// Regularised incomplete beta I_X(A, B) and its complement; Y = 1 - X is passed separately so
// that a caller who knows it exactly loses nothing. A, B > 0.
void BetaPQ(double A, double B, double X, double Y, double& I, double& Ic);

// Standard normal lower and upper tail, full precision.
double NormalLower(double X);
double NormalUpper(double X);

}  // namespace nux::statis_detail
