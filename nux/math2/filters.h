// Smoothing and filters: moving-window smoothers and Savitzky-Golay derivatives on TVector,
// windowed-sinc FIR kernels, a recursive Chebyshev type-I design with zero-phase filtering, 2-D
// kernel convolution with compass and Kirsch edge kernels, Gaussian and sigmoid generators,
// Gaussian similarity kernels and the correlation of two image regions.
#pragma once

#include <array>
#include <cstdint>

#include "nux/frame/types.h"
#include "nux/host/picture.h"
#include "nux/host/points.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux {

// Quadratic Savitzky-Golay smoothing weights. Row k (1..11; row 0 is unused) serves the window
// w = 2k + 3 with half-width m = k + 1: entry 0 is the normaliser N, entries 1..m + 1 the
// coefficients c_0..c_m (the weight of x[i +- j] is c_j / N); the rest of the row is 0.
extern const std::array<std::array<int32_t, 14>, 12> GolayPoly;

// Parameters of one Gaussian peak: centre, width, height.
using TGaussPeakParams = std::array<double, 3>;
// A list of Gaussian peaks.
using TPeakParamsList = std::vector<TGaussPeakParams>;

// The image property CalcImgCorrelation compares.
enum TImgCompareMode : int32_t {
  icmRed,         // red byte
  icmBlue,        // blue byte
  icmGreen,       // green byte
  icmHue,         // hue of RGBtoHSI
  icmLightness,   // intensity of RGBtoHSI
  icmSaturation,  // saturation of RGBtoHSI
  icmGrayValues   // RGBtoGray
};

// Moving-window smoothers over Source(First..Last) (clipped to the vector and ordered), written
// to Dest(1..Last - First + 1); w is the odd window length and m = w div 2. The m entries at each
// end repeat the nearest computed value. Dest is grown when it is shorter than the range, never
// shrunk, and fires one OnChange. Source and Dest may be the same vector. A missing vector, a
// range not longer than w, a w out of range or an even w raise ENUXMath2Error.
//
// Mean of the window; w >= 3.
void MovingAverageSmooth(const TVector* Source, int32_t First, int32_t Last, TVector* Dest,
                         int32_t w);
// Median of the window, NaN left out (NaN for a window of NaN only); w >= 3.
void MovingMedianSmooth(const TVector* Source, int32_t First, int32_t Last, TVector* Dest,
                        int32_t w);
// Triangular weights m + 1 - |j| normalised to sum 1; w >= 3.
void WeightedAverageSmooth(const TVector* Source, int32_t First, int32_t Last, TVector* Dest,
                           int32_t w);
// Quadratic Savitzky-Golay smoothing with the GolayPoly row; w = 5..25.
void PolynomialSmooth(const TVector* Source, int32_t First, int32_t Last, TVector* Dest, int32_t w);
// Savitzky-Golay first derivative (per sample step); w = 5..25.
void FirstDeriv(const TVector* Source, int32_t First, int32_t Last, TVector* Dest, int32_t w);
// Quadratic Savitzky-Golay second derivative (per squared sample step); w = 5..25.
void SecondDeriv(const TVector* Source, int32_t First, int32_t Last, TVector* Dest, int32_t w);

// Windowed-sinc kernels of Size taps (centre Size div 2 + 1) for cut-offs given as fractions of
// the sampling rate (clipped to 0..0.5). Window 1 is Hamming, 2 Blackman, anything else none.
// Low pass: normalised to sum 1. Size < 1 or a NaN frequency raises ENUXMath2Error.
void CalcSincLPKernel(int32_t Size, double Fc, int32_t Window, TVector& Kernel);
void CalcSincLPKernel(int32_t Size, double Fc, int32_t Window, TDoubleArray& Kernel);
// High pass: the negated low-pass kernel with 1 added at the centre.
void CalcSincHPKernel(int32_t Size, double Fc, int32_t Window, TVector& Kernel);
void CalcSincHPKernel(int32_t Size, double Fc, int32_t Window, TDoubleArray& Kernel);
// Band pass between F1 and F2 (either order): the negated band-stop kernel plus 1 at the centre.
void CalcSincBPKernel(int32_t Size, double F1, double F2, int32_t Window, TVector& Kernel);
void CalcSincBPKernel(int32_t Size, double F1, double F2, int32_t Window, TDoubleArray& Kernel);
// Band stop between F1 and F2: the low pass of the lower plus the high pass of the higher.
void CalcSincBSKernel(int32_t Size, double F1, double F2, int32_t Window, TVector& Kernel);
void CalcSincBSKernel(int32_t Size, double F1, double F2, int32_t Window, TDoubleArray& Kernel);

// Dest(i - First + 1) = sum_j Kernel(j) x(i - K div 2 + j - 1) for i = First..Last, with
// positions beyond the range repeating the edge values (the kernel is not mirrored). Dest is
// resized to Source's length; Source and Dest may be the same vector.
void MovingKernelFilter(const TVector* Source, int32_t First, int32_t Last, TVector* Dest,
                        const TVector* Kernel);

// Chebyshev type-I recursive filter of NPoles poles (even, 2..20), low or high pass, with
// Ripple percent pass-band ripple (0..29; 0 gives a Butterworth filter) and the gain at Fc
// (0 < Fc < 0.5 of the sampling rate) 3 dB below the top of the ripple band. The gain is 1 at 0
// (low pass) or at the Nyquist frequency (high pass), the bottom of the ripple band. A0 receives
// a_0; Coeffs NPoles rows of (a_i, b_i): y[n] = A0 x[n] + sum_i (a_i x[n - i] + b_i y[n - i]).
void CalcChebFilterCoeffs(int32_t NPoles, bool HighPass, double Fc, double Ripple, double& A0,
                          TMatrix& Coeffs);
// Zero-phase filtering of Source(First..Last) with the recursion of CalcChebFilterCoeffs, once
// forwards and once backwards, samples outside the range counting as 0; the result goes to
// Dest(First..Last) (Dest is grown when shorter than Last). Source and Dest may be the same.
void ChebychevFilter(const TVector* Source, int32_t First, int32_t Last, TVector* Dest, double A0,
                     const TMatrix& Coeffs);

// Convolution of Data ([column][row]) with a square kernel of odd size s >= 3 (not mirrored;
// positions outside Data clipped to the edge). Result is sized like Data. OnPercentDone (Sender
// nullptr) is told the progress of the interior pass. Status 0, -1 kernel not square (or
// ragged), -2 even size, -3 size below 3, -4 Data empty or ragged.
int32_t KernelConvolve(const TDouble2DArray& Kernel, const TDouble2DArray& Data,
                       TDouble2DArray& Result, const TOnPercentDoneEvent& OnPercentDone = {});
// KernelConvolve with the compass edge kernel of direction Dir (0..7, 45 degrees apart); -1 for
// another Dir.
int32_t ApplyCompassKernel(int32_t Dir, const TDouble2DArray& Data, TDouble2DArray& Result,
                           const TOnPercentDoneEvent& OnPercentDone = {});
// KernelConvolve with the Kirsch edge kernel of direction Dir (0..7); -1 for another Dir.
int32_t ApplyKirschKernel(int32_t Dir, const TDouble2DArray& Data, TDouble2DArray& Result,
                          const TOnPercentDoneEvent& OnPercentDone = {});

// Data[i - 1] = sum_p height_p exp(-((i - centre_p) / width_p)^2). Status 0, -1 no peaks, -2
// Data shorter than 3, -3 a peak of width 0 or NaN.
int32_t CreateGaussianPeaks(const TPeakParamsList& Peaks, TDoubleArray& Data);
// Data[i - 1][j - 1] = Height exp(-((i - cx)^2 + (j - cy)^2) / Width^2) over Data's extent.
// Status 0, -1 Width not positive (or NaN), -2 fewer than 2 columns or rows (or ragged).
int32_t Gauss2D(int32_t cx, int32_t cy, double Width, double Height, TDouble2DArray& Data);
// Data[i - 1] = Amplitude / (1 + exp(-k (i - x0))) + Offset. Status 0, -1 fewer than 3 elements.
int32_t CreateSigmoidArray(TDoubleArray& Data, double k, double Offset, double Amplitude,
                           int32_t x0);
// exp(-min(20, sum_c (v1_c - v2_c)^2 / Width^2)) over the elements of v2.
double CalcGaussKernel(const TVector& v1, const TVector& v2, double Width);
// CalcGaussKernel between v and row Row of M, over M's columns.
double CalcGaussKernelMat(const TVector& v, const TMatrix& M, int32_t Row, double Width);

// Correlation coefficient (rxy of TCurveFit) between a property (Mode) of the pixels of Rect1 in
// Bmp1 and of the pixels at the same offsets in Rect2 of Bmp2, borders included; 0 for fewer
// than 3 pixels. Rectangles of different sizes ("image ranges to compare are not of equal size")
// or reaching outside their bitmap raise ENUXMath2Error.
double CalcImgCorrelation(const TBitmap& Bmp1, const TBitmap& Bmp2, const TRect& Rect1,
                          const TRect& Rect2, TImgCompareMode Mode);

}  // namespace nux
