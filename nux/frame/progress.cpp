#include "nux/frame/progress.h"

namespace nux {

double ProcStat = 0.0;
TMathFeedBackProc MathFeedBackProc;
bool AbortMathProc = false;

bool MathFeedBack(double Step) {
  ProcStat += Step;
  if (MathFeedBackProc) MathFeedBackProc(ProcStat);
  return AbortMathProc;
}

}  // namespace nux
