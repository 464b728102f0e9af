// Says which reference peers the benchmarks use, which OpenBLAS kernel runs, and checks that
// each peer computes correct results before its figures are trusted.
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <vector>

#ifdef NUX_HAVE_OPENBLAS
#include <cblas.h>
extern "C" char* openblas_get_corename(void);
extern "C" char* openblas_get_config(void);
#endif
#ifdef NUX_HAVE_FFTW
#include <fftw3.h>
#endif

namespace {

int CheckOpenBlas() {
#ifdef NUX_HAVE_OPENBLAS
  std::printf("OpenBLAS: %s, kernel %s\n", openblas_get_config(), openblas_get_corename());
  const int N = 123;
  std::vector<double> A(N * N), B(N * N), C(N * N, 0.0);
  for (int I = 0; I < N * N; ++I) {
    A[I] = std::sin(0.37 * I);
    B[I] = std::cos(0.11 * I);
  }
  cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, N, N, N, 1.0, A.data(), N, B.data(), N,
              0.0, C.data(), N);
  double MaxErr = 0;
  for (int J = 0; J < N; ++J)
    for (int I = 0; I < N; ++I) {
      long double S = 0;
      for (int K = 0; K < N; ++K) S += (long double)A[I + K * N] * B[K + J * N];
      MaxErr = std::fmax(MaxErr, std::fabs((double)S - C[I + J * N]));
    }
  std::printf("OpenBLAS dgemm check: max error %.3g %s\n", MaxErr, MaxErr < 1e-11 ? "ok" : "WRONG");
  return MaxErr < 1e-11 ? 0 : 1;
#else
  std::printf("OpenBLAS: not found\n");
  return 0;
#endif
}

int CheckFftw() {
#ifdef NUX_HAVE_FFTW
  const int N = 64;
  fftw_complex* In = fftw_alloc_complex(N);
  fftw_complex* Out = fftw_alloc_complex(N);
  fftw_plan Plan = fftw_plan_dft_1d(N, In, Out, FFTW_FORWARD, FFTW_ESTIMATE);
  for (int I = 0; I < N; ++I) {
    In[I][0] = std::sin(0.3 * I);
    In[I][1] = std::cos(0.7 * I);
  }
  fftw_execute(Plan);
  double MaxErr = 0;
  for (int K = 0; K < N; ++K) {
    std::complex<long double> S = 0;
    for (int I = 0; I < N; ++I)
      S += std::complex<long double>(In[I][0], In[I][1]) *
           std::polar<long double>(1.0L, -2.0L * 3.14159265358979323846L * K * I / N);
    MaxErr =
        std::fmax(MaxErr, (double)std::abs(S - std::complex<long double>(Out[K][0], Out[K][1])));
  }
  fftw_destroy_plan(Plan);
  fftw_free(In);
  fftw_free(Out);
  std::printf("FFTW %s check: max error %.3g %s\n", fftw_version, MaxErr,
              MaxErr < 1e-12 ? "ok" : "WRONG");
  return MaxErr < 1e-12 ? 0 : 1;
#else
  std::printf("FFTW: not found\n");
  return 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  // bench/run-peers asks which kernel OpenBLAS picks on its own before deciding to force one.
  if (argc > 1 && std::strcmp(argv[1], "--corename") == 0) {
#ifdef NUX_HAVE_OPENBLAS
    std::printf("%s\n", openblas_get_corename());
    return 0;
#else
    return 1;
#endif
  }
#ifdef NUX_HAVE_EIGEN
  std::printf("Eigen: found\n");
#else
  std::printf("Eigen: not found\n");
#endif
  return CheckOpenBlas() | CheckFftw();
}
