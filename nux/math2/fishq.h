// Fisher's quotient of unit Nux_math2 (same behaviour as nux::CalcFishQ of the statistics unit).
#pragma once

// Routines of the math2 unit kept apart from their namesakes in namespace nux.
namespace nux::math2 {

// (mean1 - mean2)^2 / max(sd1^2 + sd2^2, 1e-6).
double CalcFishQ(double mean1, double mean2, double sd1, double sd2);

}  // namespace nux::math2
