// Plots for the subcommands, drawn with cairo into SVG or PNG and written atomically. Axes are
// ticked on the 1-2-5 series of the library's CalcScalePars.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nuxcli {

// A plotting area in device units with the data range it shows.
struct TAxes {
  double X0 = 0, Y0 = 0, W = 0, H = 0;  // frame: left, top, width, height
  double XLo = 0, XHi = 1, YLo = 0, YHi = 1;
  // Device x of data x.
  double PX(double X) const { return X0 + (X - XLo) / (XHi - XLo) * W; }
  // Device y of data y (up is larger).
  double PY(double Y) const { return Y0 + H - (Y - YLo) / (YHi - YLo) * H; }
};

// What a frame shows around its plotting area.
struct TFrameText {
  std::string Title, XLabel, YLabel;
  double FontSize = 12;
  bool XTicks = true, YTicks = true;
  bool XWhole = false;  // x ticks on whole numbers, the x range kept as given
};

// Widens Lo..Hi to whole steps of about NTicks intervals (a constant range to a unit around it).
void NiceRange(double& Lo, double& Hi, int32_t NTicks);
// Draws the frame, ticks, tick labels and texts of the rectangle (X, Y, W, H) holding data
// XLo..XHi by YLo..YHi (ranges widened by NiceRange unless XWhole) and returns the plotting area
// inside.
TAxes DrawFrame(cairo_t* Cr, double X, double Y, double W, double H, double XLo, double XHi,
                double YLo, double YHi, const TFrameText& Text);
// Bars of Counts over XLo + k Width .. XLo + (k + 1) Width.
void DrawBars(cairo_t* Cr, const TAxes& A, double XLo, double Width,
              const std::vector<double>& Counts);
// A polyline through the points (non-finite points break it).
void DrawLine(cairo_t* Cr, const TAxes& A, const std::vector<double>& X,
              const std::vector<double>& Y, double LineWidth);
// Dots of radius R at the points inside the area.
void DrawDots(cairo_t* Cr, const TAxes& A, const std::vector<double>& X,
              const std::vector<double>& Y, double R);
// A translucent band between the curves Lo and Hi over X (non-finite points break it).
void DrawBand(cairo_t* Cr, const TAxes& A, const std::vector<double>& X,
              const std::vector<double>& Lo, const std::vector<double>& Hi, double Alpha);
// Colour K (from 0) of a palette of ten that stay apart, as red, green and blue in 0..1.
void PaletteColour(int32_t K, double& R, double& G, double& B);
// Dots as DrawDots, each in the palette colour of its Group (from 0).
void DrawGroupDots(cairo_t* Cr, const TAxes& A, const std::vector<double>& X,
                   const std::vector<double>& Y, const std::vector<int32_t>& Group, double R);
// Text centred at (X, Y) (baseline at Y + half the cap height).
void DrawCentred(cairo_t* Cr, double X, double Y, const std::string& Text, double Size);
// Counts of X (finite values) in NBins equal bins over Lo..Hi.
std::vector<double> Histogram(const std::vector<double>& X, double Lo, double Hi, int32_t NBins);
// Bins for N values: Sturges' count, 5 to 50.
int32_t BinCount(size_t N);

// Draws through Draw on a Width x Height page and writes it to File (.svg or .png) atomically;
// failures raise EData.
void SavePlot(const std::string& File, int32_t Width, int32_t Height,
              const std::function<void(cairo_t* Cr)>& Draw);

}  // namespace nuxcli
