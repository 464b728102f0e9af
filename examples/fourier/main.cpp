// Spectrum of a measured vibration (data/vibration.txt, 1024 samples 0.5 ms apart): FFT with a
// Blackman-Harris window, the strongest tones with their frequencies refined between the lines,
// and Parseval's check of the power without a window.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "nux/nux.h"

using namespace nux;

namespace {

constexpr double SampleTime = 0.5e-3;  // seconds

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }

// Offset (-0.5..0.5 lines) of the top of a parabola through three neighbouring magnitudes.
double PeakOffset(double Left, double Mid, double Right) {
  const double D = Left - 2 * Mid + Right;
  return D == 0 ? 0 : 0.5 * (Left - Right) / D;
}

int Run(const std::string& FileName) {
  TVector Signal;
  int64_t Line = 0;
  if (const int32_t Code = LoadPlainText(FileName, Signal, &Line); Code != ptOK) {
    std::fprintf(stderr, "spectrum: cannot read %s (code %d, line %lld)\n", FileName.c_str(), Code,
                 static_cast<long long>(Line));
    return 1;
  }
  const int32_t N = Signal.NrOfElem();  // must be a power of two: SetNumData raises otherwise
  TFastFourier FFT;
  FFT.SetNumData(N);
  for (int32_t J = 1; J <= N; ++J) FFT.SetRealVal(J, Signal(J));  // samples are 1-based
  FFT.SetWgtWin(fwBlkmHarris);
  FFT.Transform();
  std::printf("%d samples at %s Hz from %s, line spacing %s Hz\n", N, F(1 / SampleTime, 0).c_str(),
              FileName.c_str(), F(FFT.FreqOfLine(1, SampleTime), 4).c_str());

  // Local maxima of the magnitude (lines are 0-based), strongest first.
  std::vector<int32_t> Peaks;
  for (int32_t K = 2; K < N / 2; ++K) {
    const double M = FFT.GetMagnitude(K);
    if (M > FFT.GetMagnitude(K - 1) && M >= FFT.GetMagnitude(K + 1) && M > 0.05 * FFT.MagniMax())
      Peaks.push_back(K);
  }
  std::sort(Peaks.begin(), Peaks.end(),
            [&](int32_t A, int32_t B) { return FFT.GetMagnitude(A) > FFT.GetMagnitude(B); });
  std::printf("\n  line  frequency/Hz  relative level/dB\n");
  const double Top = FFT.GetMagnitude(Peaks.empty() ? 0 : Peaks[0]);
  for (size_t P = 0; P < Peaks.size() && P < 4; ++P) {
    const int32_t K = Peaks[P];
    const double Off =
        PeakOffset(FFT.GetMagnitude(K - 1), FFT.GetMagnitude(K), FFT.GetMagnitude(K + 1));
    const double Freq = (K + Off) * FFT.FreqOfLine(1, SampleTime);
    std::printf("  %4d  %12s  %17s\n", K, F(Freq, 1).c_str(),
                F(20 * std::log10(FFT.GetMagnitude(K) / Top), 1).c_str());
  }

  // Without a window the lines keep the signal's power: RMS over lines 0..N/2 equals the RMS of
  // the samples.
  FFT.SetNumData(N);
  for (int32_t J = 1; J <= N; ++J) FFT.SetRealVal(J, Signal(J));
  FFT.SetWgtWin(fwRectangle);
  FFT.Transform();
  const double RmsTime = Signal.CalcVecLeng() / std::sqrt(N);
  const double RmsFreq = FFT.RMS(0, N / 2);
  std::printf("\n  RMS of the samples %s mm/s, of the spectrum %s mm/s\n", F(RmsTime, 6).c_str(),
              F(RmsFreq, 6).c_str());
  return std::fabs(RmsTime - RmsFreq) < 1e-9 * RmsTime ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  try {
    return Run(Dir + "/vibration.txt");
  } catch (const Exception& E) {
    std::fprintf(stderr, "spectrum: %s\n", E.what());
    return 1;
  }
}
