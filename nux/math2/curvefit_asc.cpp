// TCurveFit's ASC text form: two columns named x and y, one pair per record.
#include <cmath>
#include <string>
#include <utility>

#include "nux/frame/ascio.h"
#include "nux/frame/errors.h"
#include "nux/frame/progress.h"
#include "nux/host/atomicfile.h"
#include "nux/host/exceptions.h"
#include "nux/math2/curvefit.h"

namespace nux {

std::string TCurveFit::ExportAsASC(const std::string& FName, const std::string& Comment,
                                   int32_t Precision) const {
  const bool Flags[4] = {false, true, false, false};
  std::string Text =
      ASCHeader(Comment.empty() ? "Exported by NUX TCurveFit component: " + FName : Comment, 2,
                FNumData, Flags, true);
  Text += "x   y\n";
  for (int32_t I = 0; I < FNumData; ++I) {
    AppendASCValue(Text, FX[size_t(I)], Precision);
    Text += '\t';
    AppendASCValue(Text, FY[size_t(I)], Precision);
    Text += '\n';
  }
  try {
    WriteFileAtomically(FName, Text.data(), Text.size());
  } catch (const EInOutError& E) {
    return E.what();
  }
  return std::string();
}

int32_t TCurveFit::ImportASC(const std::string& FName) {
  std::string Text;
  const int32_t R = ReadWholeTextFile(FName, Text);
  if (R != ascOK) {
    InvalidateCaches();
    return R;
  }
  return ImportASCText(Text);
}

// The pairs are read aside and replace the stored ones only when the whole file was read.
int32_t TCurveFit::ImportASCText(std::string_view Text) {
  InvalidateCaches();
  TTextScanner S{Text, 0};
  std::string Comment;
  int32_t Nc = 0, Nr = 0;
  bool F[4];
  int32_t R = ReadHeaderOfASC(S, Comment, Nc, Nr, F);
  if (R != ascOK) return R;
  if (F[3]) return ascWrongShape;
  if (Nc != 2)
    throw ENUXMath2Error("TCurveFit.ImportASC: number of columns must be 2 (is actually " +
                         std::to_string(Nc) + ").");
  TASCBody Body;
  BeginAbortable();
  R = GuardAlloc<ENUXMath2Error>(*this, msgNoMemoryOnHeap,
                                 [&] { return ReadASCBody(S, Nc, Nr, F, Body); });
  if (R != ascOK) return R;
  TDoubleArray& X = Body.Columns[0];
  TDoubleArray& Y = Body.Columns[1];
  // Pairs with a non-finite coordinate cannot be stored (EnterStatValue refuses them too).
  for (int32_t I = 0; I < Nr; ++I)
    if (!std::isfinite(X[size_t(I)]) || !std::isfinite(Y[size_t(I)])) return ascBadValue;
  FX = std::move(X);
  FY = std::move(Y);
  FNumData = Nr;
  RebuildSums();
  ClearModelParams();
  return ascOK;
}

}  // namespace nux
