// Complex FFT throughput of TFastFourier, side by side with FFTW (plans made with FFTW_ESTIMATE)
// when it is available. Each timed iteration is one forward transform of the same block; the
// inverse that brings the block back runs outside the timed region, for both libraries alike.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

#include "nux/fourier/fourier.h"
#include "nux/host/host.h"
#include "nux/kernels/dispatch.h"
#include "nux/wavelet/wavelet.h"

#ifdef NUX_HAVE_FFTW
#include <fftw3.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

void FillSignal(nux::TFastFourier& F) {
  nux::SetRandSeed(7);
  for (int32_t I = 1; I <= F.SpectrumSize(); ++I) {
    F.SetRealVal(I, nux::Random() - 0.5);
    F.SetImagVal(I, nux::Random() - 0.5);
  }
}

void SetFlops(benchmark::State& State, int64_t N) {
  // The customary 5 N log2 N flop count of a complex transform.
  State.counters["MFlops"] = benchmark::Counter(5.0 * N * std::log2(static_cast<double>(N)),
                                                benchmark::Counter::kIsIterationInvariantRate,
                                                benchmark::Counter::kIs1000);
}

void BM_NuxForward(benchmark::State& State, nux::kernels::TKernelPath Path) {
  const nux::kernels::TScopedKernelPath Force(Path);
  if (Path != nux::kernels::kpAuto && Force.Used() != Path) {
    State.SkipWithError("instruction set not available");
    return;
  }
  nux::TFastFourier F;
  F.SetNumData(static_cast<int32_t>(State.range(0)));
  FillSignal(F);
  F.Transform();  // first call builds the tables
  F.InverseTransform();
  for (auto _ : State) {
    const auto T0 = Clock::now();
    F.Transform();
    const auto T1 = Clock::now();
    State.SetIterationTime(std::chrono::duration<double>(T1 - T0).count());
    F.InverseTransform();
  }
  SetFlops(State, State.range(0));
}

void BM_NuxForwardInverse(benchmark::State& State) {
  nux::TFastFourier F;
  F.SetNumData(static_cast<int32_t>(State.range(0)));
  FillSignal(F);
  for (auto _ : State) {
    F.Transform();
    F.InverseTransform();
    benchmark::ClobberMemory();
  }
}

#ifdef NUX_HAVE_FFTW
void BM_FFTWForward(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  auto* X = fftw_alloc_complex(static_cast<size_t>(N));
  // The library's forward transform has the positive exponent: FFTW_BACKWARD in FFTW's terms.
  fftw_plan Fwd = fftw_plan_dft_1d(N, X, X, FFTW_BACKWARD, FFTW_ESTIMATE);
  fftw_plan Bwd = fftw_plan_dft_1d(N, X, X, FFTW_FORWARD, FFTW_ESTIMATE);
  nux::SetRandSeed(7);
  for (int I = 0; I < N; ++I) {
    X[I][0] = nux::Random() - 0.5;
    X[I][1] = nux::Random() - 0.5;
  }
  for (auto _ : State) {
    const auto T0 = Clock::now();
    fftw_execute(Fwd);
    const auto T1 = Clock::now();
    State.SetIterationTime(std::chrono::duration<double>(T1 - T0).count());
    fftw_execute(Bwd);
    const double Scale = 1.0 / N;
    for (int I = 0; I < N; ++I) X[I][0] *= Scale, X[I][1] *= Scale;
  }
  SetFlops(State, N);
  fftw_destroy_plan(Fwd);
  fftw_destroy_plan(Bwd);
  fftw_free(X);
}
BENCHMARK(BM_FFTWForward)
    ->Arg(1 << 6)
    ->Arg(1 << 8)
    ->Arg(1 << 10)
    ->Arg(1 << 12)
    ->Arg(1 << 16)
    ->Arg(1 << 20)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
#endif

void BM_WaveletFull(benchmark::State& State) {
  nux::TWavelet1D W;
  W.SetNumData(static_cast<int32_t>(State.range(0)));
  W.SetOrder(3);
  nux::SetRandSeed(3);
  for (int32_t I = 1; I <= W.Size(); ++I) W.SetDataVal(I, nux::Random());
  for (auto _ : State) {
    W.Transform(30);
    W.InverseTransform(30);
  }
}

}  // namespace

BENCHMARK_CAPTURE(BM_NuxForward, auto, nux::kernels::kpAuto) -> Arg(1 << 6) -> Arg(1 << 8)
    -> Arg(1 << 10) -> Arg(1 << 12) -> Arg(1 << 16) -> Arg(1 << 20) -> UseManualTime()
        -> Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NuxForward, avx2, nux::kernels::kpAVX2)
    ->Arg(1 << 10)
    ->Arg(1 << 16)
    ->Arg(1 << 20)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NuxForward, generic, nux::kernels::kpGeneric)
    ->Arg(1 << 10)
    ->Arg(1 << 16)
    ->Arg(1 << 20)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NuxForwardInverse)->Arg(1 << 16)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WaveletFull)->Arg(1 << 16)->Unit(benchmark::kMicrosecond);
