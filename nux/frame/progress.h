// Process-wide progress and abort hooks. Long routines add to ProcStat, report it through
// MathFeedBackProc when the host assigned one, and stop early once the host sets AbortMathProc.
// These globals are not synchronised: use them from one thread at a time.
#pragma once

#include <functional>

namespace nux {

// Progress hook; receives the running ProcStat.
using TMathFeedBackProc = std::function<void(double Progress)>;

// Running progress count; the host may reset it before a long operation.
extern double ProcStat;
// Called by MathFeedBack with ProcStat when assigned.
extern TMathFeedBackProc MathFeedBackProc;
// Set by the host to ask the running computation to stop.
extern bool AbortMathProc;

// Adds Step to ProcStat and calls MathFeedBackProc with the new value when assigned.
// Returns AbortMathProc as it stands after the call, so a loop can stop on true.
bool MathFeedBack(double Step = 1.0);

// Marks the start of an abortable computation: clears AbortMathProc.
inline void BeginAbortable() { AbortMathProc = false; }

}  // namespace nux
