// Drawing the plots with cairo.
#include "plot.h"

#include <cairo-svg.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "command.h"
#include "nux/host/atomicfile.h"
#include "nux/host/exceptions.h"
#include "nux/math1/scalar.h"

namespace nuxcli {

namespace {

void Ticks(int32_t N, double Lo, double Hi, double& First, double& Dist) {
  int32_t NMinor = 0;
  nux::CalcScalePars(N, Lo, Hi, First, Dist, NMinor);
}

// About one labelled tick per Room device units, 2 to 5 intervals.
int32_t TickCount(double Length, double Room) { return std::clamp(int32_t(Length / Room), 2, 5); }

std::string TickLabel(double V, double Dist) {
  if (std::fabs(V) < std::fabs(Dist) * 1e-9) V = 0;  // no -0 or 1e-17 at the origin
  char Buf[32];
  std::snprintf(Buf, sizeof Buf, "%.6g", V);
  return Buf;
}

void TextSize(cairo_t* Cr, const std::string& Text, double& W, double& H) {
  cairo_text_extents_t E;
  cairo_text_extents(Cr, Text.c_str(), &E);
  W = E.x_advance;
  H = E.height;
}

}  // namespace

void NiceRange(double& Lo, double& Hi, int32_t NTicks) {
  if (!std::isfinite(Lo) || !std::isfinite(Hi)) Lo = 0, Hi = 1;
  if (Hi < Lo) std::swap(Lo, Hi);
  if (Hi == Lo) {
    const double D = Lo == 0 ? 1 : std::fabs(Lo) * 0.1;
    Lo -= D;
    Hi += D;
  }
  double First = 0, Dist = 0;
  Ticks(NTicks, Lo, Hi, First, Dist);
  if (Dist <= 0 || !std::isfinite(Dist)) return;
  Lo = std::floor(Lo / Dist * (1 + 1e-12)) * Dist;
  Hi = std::ceil(Hi / Dist * (1 - 1e-12)) * Dist;
}

TAxes DrawFrame(cairo_t* Cr, double X, double Y, double W, double H, double XLo, double XHi,
                double YLo, double YHi, const TFrameText& Text) {
  const double Fs = Text.FontSize;
  const int32_t NY = TickCount(H, Fs * 3);
  NiceRange(YLo, YHi, NY);
  cairo_select_font_face(Cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(Cr, Fs);
  // Room for the tick labels on the left: the widest of them.
  double YFirst = 0, YDist = 0, XFirst = 0, XDist = 0;
  Ticks(NY, YLo, YHi, YFirst, YDist);
  double LabelW = 0;
  if (Text.YTicks && YDist > 0)
    for (double V = YFirst; V <= YHi + YDist * 1e-9; V += YDist) {
      double Tw = 0, Th = 0;
      TextSize(Cr, TickLabel(V, YDist), Tw, Th);
      LabelW = std::max(LabelW, Tw);
    }
  const double Left =
      (Text.YTicks ? LabelW + Fs * 0.8 : Fs * 0.4) + (Text.YLabel.empty() ? 0 : Fs * 1.6);
  const double Top = Text.Title.empty() ? Fs * 0.8 : Fs * 2.2;
  const double Bottom = (Text.XTicks ? Fs * 1.8 : Fs * 0.4) + (Text.XLabel.empty() ? 0 : Fs * 1.5);
  // X labels are wider than high: fewer of them, and whole numbers for counted things.
  const int32_t NX = TickCount(W - Left, Fs * 6);
  if (Text.XWhole) {
    XDist = std::max(1.0, std::ceil((XHi - XLo) / NX));
    XFirst = std::ceil(XLo);
  } else {
    NiceRange(XLo, XHi, NX);
    Ticks(NX, XLo, XHi, XFirst, XDist);
  }
  TAxes A;
  A.X0 = X + Left;
  A.Y0 = Y + Top;
  A.W = std::max(10.0, W - Left - Fs * 2);  // room for half the last x label
  A.H = std::max(10.0, H - Top - Bottom);
  A.XLo = XLo, A.XHi = XHi, A.YLo = YLo, A.YHi = YHi;

  cairo_set_source_rgb(Cr, 1, 1, 1);
  cairo_rectangle(Cr, A.X0, A.Y0, A.W, A.H);
  cairo_fill(Cr);
  cairo_set_line_width(Cr, std::max(0.5, Fs / 16));
  // Grid and ticks.
  auto Tick = [&](bool Vertical, double First, double Dist, double Hi) {
    if (Dist <= 0) return;
    for (double V = First; V <= Hi + Dist * 1e-9; V += Dist) {
      const double P = Vertical ? A.PX(V) : A.PY(V);
      cairo_set_source_rgb(Cr, 0.88, 0.88, 0.88);
      if (Vertical) {
        cairo_move_to(Cr, P, A.Y0);
        cairo_line_to(Cr, P, A.Y0 + A.H);
      } else {
        cairo_move_to(Cr, A.X0, P);
        cairo_line_to(Cr, A.X0 + A.W, P);
      }
      cairo_stroke(Cr);
      if (!(Vertical ? Text.XTicks : Text.YTicks)) continue;
      cairo_set_source_rgb(Cr, 0, 0, 0);
      const std::string L = TickLabel(V, Dist);
      double Tw = 0, Th = 0;
      TextSize(Cr, L, Tw, Th);
      if (Vertical) {
        cairo_move_to(Cr, P, A.Y0 + A.H);
        cairo_line_to(Cr, P, A.Y0 + A.H + Fs * 0.3);
        cairo_stroke(Cr);
        cairo_move_to(Cr, P - Tw / 2, A.Y0 + A.H + Fs * 1.4);
      } else {
        cairo_move_to(Cr, A.X0 - Fs * 0.3, P);
        cairo_line_to(Cr, A.X0, P);
        cairo_stroke(Cr);
        cairo_move_to(Cr, A.X0 - Fs * 0.5 - Tw, P + Fs * 0.35);
      }
      cairo_show_text(Cr, L.c_str());
    }
  };
  Tick(true, XFirst, XDist, XHi);
  Tick(false, YFirst, YDist, YHi);
  cairo_set_source_rgb(Cr, 0, 0, 0);
  cairo_rectangle(Cr, A.X0, A.Y0, A.W, A.H);
  cairo_stroke(Cr);
  if (!Text.Title.empty()) DrawCentred(Cr, A.X0 + A.W / 2, Y + Fs * 1.0, Text.Title, Fs * 1.1);
  if (!Text.XLabel.empty())
    DrawCentred(Cr, A.X0 + A.W / 2, A.Y0 + A.H + Bottom - Fs * 0.7, Text.XLabel, Fs);
  if (!Text.YLabel.empty()) {
    cairo_save(Cr);
    cairo_translate(Cr, X + Fs * 0.8, A.Y0 + A.H / 2);
    cairo_rotate(Cr, -M_PI / 2);
    DrawCentred(Cr, 0, 0, Text.YLabel, Fs);
    cairo_restore(Cr);
  }
  return A;
}

void DrawCentred(cairo_t* Cr, double X, double Y, const std::string& Text, double Size) {
  cairo_select_font_face(Cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(Cr, Size);
  double W = 0, H = 0;
  TextSize(Cr, Text, W, H);
  cairo_set_source_rgb(Cr, 0, 0, 0);
  cairo_move_to(Cr, X - W / 2, Y + Size * 0.35);
  cairo_show_text(Cr, Text.c_str());
}

void DrawBars(cairo_t* Cr, const TAxes& A, double XLo, double Width,
              const std::vector<double>& Counts) {
  const double Base = A.PY(std::clamp(0.0, A.YLo, A.YHi));
  for (size_t K = 0; K < Counts.size(); ++K) {
    const double L = A.PX(XLo + double(K) * Width), R = A.PX(XLo + double(K + 1) * Width);
    const double T = A.PY(Counts[K]);
    cairo_rectangle(Cr, L, T, R - L, Base - T);
    cairo_set_source_rgb(Cr, 0.27, 0.51, 0.71);
    cairo_fill_preserve(Cr);
    cairo_set_source_rgb(Cr, 0.1, 0.2, 0.35);
    cairo_set_line_width(Cr, 0.6);
    cairo_stroke(Cr);
  }
}

void DrawLine(cairo_t* Cr, const TAxes& A, const std::vector<double>& X,
              const std::vector<double>& Y, double LineWidth) {
  cairo_save(Cr);
  cairo_rectangle(Cr, A.X0, A.Y0, A.W, A.H);
  cairo_clip(Cr);
  bool Open = false;
  for (size_t K = 0; K < X.size() && K < Y.size(); ++K) {
    if (!std::isfinite(X[K]) || !std::isfinite(Y[K])) {
      Open = false;
      continue;
    }
    if (Open)
      cairo_line_to(Cr, A.PX(X[K]), A.PY(Y[K]));
    else
      cairo_move_to(Cr, A.PX(X[K]), A.PY(Y[K]));
    Open = true;
  }
  cairo_set_source_rgb(Cr, 0.75, 0.15, 0.1);
  cairo_set_line_width(Cr, LineWidth);
  cairo_stroke(Cr);
  cairo_restore(Cr);
}

void DrawDots(cairo_t* Cr, const TAxes& A, const std::vector<double>& X,
              const std::vector<double>& Y, double R) {
  cairo_set_source_rgba(Cr, 0.27, 0.51, 0.71, 0.7);
  for (size_t K = 0; K < X.size() && K < Y.size(); ++K) {
    if (!std::isfinite(X[K]) || !std::isfinite(Y[K])) continue;
    const double Px = A.PX(X[K]), Py = A.PY(Y[K]);
    if (Px < A.X0 || Px > A.X0 + A.W || Py < A.Y0 || Py > A.Y0 + A.H) continue;
    cairo_new_sub_path(Cr);
    cairo_arc(Cr, Px, Py, R, 0, 2 * M_PI);
  }
  cairo_fill(Cr);
}

void DrawBand(cairo_t* Cr, const TAxes& A, const std::vector<double>& X,
              const std::vector<double>& Lo, const std::vector<double>& Hi, double Alpha) {
  cairo_save(Cr);
  cairo_rectangle(Cr, A.X0, A.Y0, A.W, A.H);
  cairo_clip(Cr);
  cairo_set_source_rgba(Cr, 0.75, 0.15, 0.1, Alpha);
  const size_t N = std::min({X.size(), Lo.size(), Hi.size()});
  auto Ok = [&](size_t K) {
    return std::isfinite(X[K]) && std::isfinite(Lo[K]) && std::isfinite(Hi[K]);
  };
  // Each finite run is one polygon: along the upper curve and back along the lower one.
  for (size_t B = 0; B < N;) {
    if (!Ok(B)) {
      ++B;
      continue;
    }
    size_t E = B;
    while (E < N && Ok(E)) ++E;
    // Device coordinates are clamped: cairo's fixed point cannot take a band at a pole.
    auto PY = [&](double V) { return std::clamp(A.PY(V), A.Y0 - A.H, A.Y0 + 2 * A.H); };
    cairo_move_to(Cr, A.PX(X[B]), PY(Hi[B]));
    for (size_t K = B + 1; K < E; ++K) cairo_line_to(Cr, A.PX(X[K]), PY(Hi[K]));
    for (size_t K = E; K-- > B;) cairo_line_to(Cr, A.PX(X[K]), PY(Lo[K]));
    cairo_close_path(Cr);
    cairo_fill(Cr);
    B = E;
  }
  cairo_restore(Cr);
}

void PaletteColour(int32_t K, double& R, double& G, double& B) {
  static const double P[10][3] = {{0.12, 0.47, 0.71}, {1.0, 0.5, 0.05},  {0.17, 0.63, 0.17},
                                  {0.84, 0.15, 0.16}, {0.58, 0.4, 0.74}, {0.55, 0.34, 0.29},
                                  {0.89, 0.47, 0.76}, {0.5, 0.5, 0.5},   {0.74, 0.74, 0.13},
                                  {0.09, 0.75, 0.81}};
  const auto* C = P[size_t(((K % 10) + 10) % 10)];
  R = C[0], G = C[1], B = C[2];
}

void DrawGroupDots(cairo_t* Cr, const TAxes& A, const std::vector<double>& X,
                   const std::vector<double>& Y, const std::vector<int32_t>& Group, double R) {
  for (size_t K = 0; K < X.size() && K < Y.size() && K < Group.size(); ++K) {
    if (!std::isfinite(X[K]) || !std::isfinite(Y[K])) continue;
    const double Px = A.PX(X[K]), Py = A.PY(Y[K]);
    if (Px < A.X0 || Px > A.X0 + A.W || Py < A.Y0 || Py > A.Y0 + A.H) continue;
    double Cr0 = 0, Cg = 0, Cb = 0;
    PaletteColour(Group[K], Cr0, Cg, Cb);
    cairo_set_source_rgba(Cr, Cr0, Cg, Cb, 0.85);
    cairo_new_sub_path(Cr);
    cairo_arc(Cr, Px, Py, R, 0, 2 * M_PI);
    cairo_fill(Cr);
  }
}

std::vector<double> Histogram(const std::vector<double>& X, double Lo, double Hi, int32_t NBins) {
  std::vector<double> C(size_t(std::max(NBins, 1)), 0.0);
  const double Width = (Hi - Lo) / double(C.size());
  for (double V : X) {
    if (!std::isfinite(V)) continue;
    auto K = Width > 0 ? int64_t(std::floor((V - Lo) / Width)) : 0;
    K = std::clamp<int64_t>(K, 0, int64_t(C.size()) - 1);  // the maximum closes the last bin
    C[size_t(K)] += 1;
  }
  return C;
}

int32_t BinCount(size_t N) {
  return std::clamp(int32_t(std::ceil(std::log2(double(std::max<size_t>(N, 1))))) + 1, 5, 50);
}

namespace {

cairo_status_t Append(void* Closure, const unsigned char* Data, unsigned int Length) {
  static_cast<std::string*>(Closure)->append(reinterpret_cast<const char*>(Data), Length);
  return CAIRO_STATUS_SUCCESS;
}

void Paint(cairo_surface_t* S, int32_t Width, int32_t Height,
           const std::function<void(cairo_t*)>& Draw) {
  cairo_t* Cr = cairo_create(S);
  cairo_set_source_rgb(Cr, 1, 1, 1);
  cairo_rectangle(Cr, 0, 0, Width, Height);
  cairo_fill(Cr);
  Draw(Cr);
  const cairo_status_t St = cairo_status(Cr);
  cairo_destroy(Cr);
  if (St != CAIRO_STATUS_SUCCESS)
    throw EData(std::string("drawing failed: ") + cairo_status_to_string(St));
}

}  // namespace

void SavePlot(const std::string& File, int32_t Width, int32_t Height,
              const std::function<void(cairo_t*)>& Draw) {
  std::string Bytes;
  cairo_status_t St = CAIRO_STATUS_SUCCESS;
  if (File.size() >= 4 && File.compare(File.size() - 4, 4, ".svg") == 0) {
    cairo_surface_t* S = cairo_svg_surface_create_for_stream(Append, &Bytes, Width, Height);
    try {
      Paint(S, Width, Height, Draw);
    } catch (...) {
      cairo_surface_destroy(S);
      throw;
    }
    cairo_surface_finish(S);
    St = cairo_surface_status(S);
    cairo_surface_destroy(S);
  } else {
    cairo_surface_t* S = cairo_image_surface_create(CAIRO_FORMAT_RGB24, Width, Height);
    try {
      Paint(S, Width, Height, Draw);
    } catch (...) {
      cairo_surface_destroy(S);
      throw;
    }
    St = cairo_surface_write_to_png_stream(S, Append, &Bytes);
    cairo_surface_destroy(S);
  }
  // One plot a run: the font caches are released here, so that the program ends without
  // blocks still held (leak checkers see a clean exit).
  cairo_debug_reset_static_data();
  FcFini();
  if (St != CAIRO_STATUS_SUCCESS)
    throw EData(std::string("cannot draw ") + File + ": " + cairo_status_to_string(St));
  CheckInterrupted();
  try {
    nux::WriteFileAtomically(File, Bytes.data(), Bytes.size());
  } catch (const std::exception& E) {
    throw EData(E.what());
  }
}

}  // namespace nuxcli
