// Process-wide progress and abort hooks. Long routines add to ProcStat, report it through
// MathFeedBackProc when the host assigned one, and stop early once the host sets AbortMathProc.
// These globals are not synchronised: use them from one thread at a time.
#pragma once

#include <functional>

namespace nux {

using TMathFeedBackProc = std::function<void(double Progress)>;

extern double ProcStat;
extern TMathFeedBackProc MathFeedBackProc;
extern bool AbortMathProc;

// Adds Step to ProcStat and calls MathFeedBackProc with the new value when assigned.
// Returns AbortMathProc as it stands after the call, so a loop can stop on true.
bool MathFeedBack(double Step = 1.0);

// Marks the start of an abortable computation: clears AbortMathProc.
inline void BeginAbortable() { AbortMathProc = false; }

}  // namespace nux
