// Feeds hostile text to the curve-fit ASC reader. A failed import must keep the pairs it had; a
// successful one must give sums and fits without NaN reported as success, and write a file that
// reads back to the same pairs.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "nux/nux.h"
using namespace nux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  const std::string Text(reinterpret_cast<const char*>(D), N);
  TCurveFit C;
  C.EnterStatValue(1, 2);
  int32_t R;
  try {
    R = C.ImportASCText(Text);
  } catch (const ENUXMath2Error&) {
    R = 1;  // a column count other than 2
  }
  if (R != ascOK) {
    if (C.NumData() != 1 || C.GetDataX(1) != 1 || C.Sums().sumy != 2) abort();
    return 0;
  }
  if (!std::isfinite(C.GetMeanX()) || !std::isfinite(C.GetMeanY())) abort();
  for (int32_t M = rmLinear; M <= rmCenteredPoly; ++M) {
    if (C.CalcRegModel(TRegModel(M), 2) != cfOK) continue;
    const double Q = C.GetFitQual();
    if (!(Q >= 0.0 && Q <= 1.0) && M != rmCircle) abort();
    double Pv, Pi, Ci;
    if (C.Predict(TRegModel(M), 1.5, 0.9, 2, Pv, Pi, Ci) == cfOK &&
        !(std::isfinite(Pi) && std::isfinite(Ci) && Pi >= Ci))
      abort();
  }
  double P, FQ;
  bool Valid;
  const double Tau = C.KendallsTau(P);
  if (!(Tau >= -1 && Tau <= 1 && P >= 0 && P <= 1)) abort();
  C.CubicSpline(0.5);
  C.SmoothedSpline(0.5, FQ, Valid);
  if (Valid && !(FQ >= 0 && FQ <= 1)) abort();
  static const std::string File = "/tmp/nux-fuzz-curvefit-" + std::to_string(getpid()) + ".asc";
  if (!C.ExportAsASC(File, "fuzz", -1).empty()) abort();
  TCurveFit Back;
  if (Back.ImportASC(File) != ascOK || Back.NumData() != C.NumData()) abort();
  for (int32_t I = 1; I <= C.NumData(); ++I)
    if (Back.GetDataX(I) != C.GetDataX(I) || Back.GetDataY(I) != C.GetDataY(I)) abort();
  return 0;
}
