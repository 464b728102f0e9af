// The FFT and the wavelet transform over numpy arrays.
#include <complex>

#include "common.h"

namespace nuxpy {

namespace {

using namespace py::literals;

nux::TFastFourierWgtWin WindowOf(const std::string& s) {
  static const char* const names[] = {"rectangle",       "triangle",         "cos2",
                                      "gauss",           "hamming",          "blackman",
                                      "blackman-harris", "blackman-nuttall", "tukey"};
  for (int i = 0; i < 9; ++i)
    if (s == names[i]) return nux::TFastFourierWgtWin(i);
  throw py::value_error("unknown window \"" + s + "\"");
}

nux::TWLSigExtMode ExtOf(const std::string& s) {
  if (s == "wrap") return nux::wseWrap;
  if (s == "zero") return nux::wseZeroPad;
  if (s == "symmetric") return nux::wseSymmetric;
  throw py::value_error("unknown extension \"" + s + "\" (wrap, zero, symmetric)");
}

// Loads a real or complex 1-D array into a transform block.
void Load(nux::TFastFourier& F, const py::handle& X) {
  auto a = py::array_t<std::complex<double>, py::array::c_style | py::array::forcecast>::ensure(X);
  if (!a || a.ndim() != 1) throw py::value_error("fft: expected a 1-D array");
  if (a.size() > INT32_MAX) throw py::value_error("fft: too many samples");
  F.SetNumData(int32_t(a.size()));  // raises FourierError for a length that is no power of 2
  for (py::ssize_t i = 0; i < a.size(); ++i) {
    F.SetRealVal(int32_t(i + 1), a.data()[i].real());
    F.SetImagVal(int32_t(i + 1), a.data()[i].imag());
  }
}

py::array_t<std::complex<double>> Spectrum(const nux::TFastFourier& F) {
  py::array_t<std::complex<double>> r(F.SpectrumSize());
  auto w = r.mutable_unchecked<1>();
  for (int32_t i = 1; i <= F.SpectrumSize(); ++i) w(i - 1) = {F.GetRealVal(i), F.GetImagVal(i)};
  return r;
}

}  // namespace

void InitTransforms(py::module_& m) {
  m.def(
      "fft",
      [](const py::handle& X, const std::string& Window, double TukeyAlpha) {
        nux::TFastFourier F;
        Load(F, X);
        F.SetWgtWin(WindowOf(Window));
        F.SetTukAlpha(TukeyAlpha);
        Released([&] { F.Transform(); });
        return Spectrum(F);
      },
      "x"_a, "window"_a = "rectangle", "tukey_alpha"_a = 0.0,
      "Forward FFT of a power-of-two block (TFastFourier.Transform), after weighting with the "
      "window. Sign convention: X_k = sum_j x_j exp(+2 pi i j k / N), which is N * "
      "numpy.fft.ifft(x). A length that is no power of 2 raises FourierError.");
  m.def(
      "ifft",
      [](const py::handle& X) {
        nux::TFastFourier F;
        Load(F, X);
        Released([&] { F.InverseTransform(); });
        return Spectrum(F);
      },
      "X"_a, "Inverse of fft (negative exponent, divided by N): restores the samples.");
  m.def(
      "power_spectrum",
      [](const py::handle& X, const std::string& Window) {
        nux::TFastFourier F;
        Load(F, X);
        F.SetWgtWin(WindowOf(Window));
        Released([&] { F.Transform(); });
        const int32_t half = F.SpectrumSize() / 2;
        py::array_t<double> p(half + 1);
        auto w = p.mutable_unchecked<1>();
        for (int32_t k = 0; k <= half; ++k) w(k) = F.GetPowerSpec(k);
        return p;
      },
      "x"_a, "window"_a = "rectangle",
      "Power of lines 0..N/2 (GetPowerSpec): (|X_k|^2 + |X_{N-k}|^2) / N; the lines sum to the "
      "samples' energy.");

  auto wav = [](const py::handle& X, int32_t Order, int32_t Level, const std::string& Ext,
                bool Inverse) {
    auto x = ToDoubles(X, Inverse ? "inverse_wavelet" : "wavelet");
    if (x.size() > INT32_MAX) throw py::value_error("wavelet: too many samples");
    nux::TWavelet1D W;
    W.SetOrder(Order);
    W.SetNumData(int32_t(x.size()));
    W.SetSigExtMode(ExtOf(Ext));
    for (size_t i = 0; i < x.size(); ++i) W.SetDataVal(int32_t(i + 1), x[i]);
    Released([&] {
      if (Inverse)
        W.InverseTransform(Level);
      else
        W.Transform(Level);
    });
    for (size_t i = 0; i < x.size(); ++i) x[i] = W.GetDataVal(int32_t(i + 1));
    return ToNumpy(x);
  };
  m.def(
      "wavelet",
      [wav](const py::handle& X, int32_t Order, int32_t Level, const std::string& Ext) {
        return wav(X, Order, Level, Ext, false);
      },
      "x"_a, "order"_a = 2, "level"_a = 1, "ext"_a = "wrap",
      "Daubechies wavelet transform (TWavelet1D.Transform) of order 1..3 (2, 4, 6 taps) over "
      "level steps: the coarsest approximation first, then detail bands of increasing "
      "resolution. Extension before the block's start: wrap, zero or symmetric.");
  m.def(
      "inverse_wavelet",
      [wav](const py::handle& X, int32_t Order, int32_t Level, const std::string& Ext) {
        return wav(X, Order, Level, Ext, true);
      },
      "x"_a, "order"_a = 2, "level"_a = 1, "ext"_a = "wrap",
      "Inverse steps on blocks of 2, 4, 8, ... samples (TWavelet1D.InverseTransform); it undoes "
      "wavelet(x, level=log2 N) exactly under wrap.");
}

}  // namespace nuxpy
