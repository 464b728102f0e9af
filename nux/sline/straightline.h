// TSLine: a straight line A*x + B*y + C = 0 with constructions, intersections and conversions.
#pragma once

#include "nux/frame/errors.h"
#include "nux/host/object.h"

namespace nux {

// The straight line A*x + B*y + C = 0; A and B are never both zero.
class TSLine : public TComponent {
 public:
  // The line y = 0 (A = 0, B = 1, C = 0), SubstituteInf off.
  explicit TSLine(TComponent* AOwner = nullptr);

  // Copies the coefficients and SubstituteInf of another line.
  void Assign(const TPersistent* Source) override;

  // Coefficient A.
  double ParA() const { return FParA; }
  // Coefficient B.
  double ParB() const { return FParB; }
  // Coefficient C.
  double ParC() const { return FParC; }
  // A and B must not both become zero (ENUXSLineError).
  void SetParA(double x);
  // Sets B; B = 0 while A = 0 raises ENUXSLineError.
  void SetParB(double x);
  // Sets C.
  void SetParC(double x);
  // When true, CalcX and CalcY divide by 1e-100 instead of raising on a zero divisor.
  bool SubstituteInf() const { return FSubstInf; }
  // Sets SubstituteInf.
  void SetSubstituteInf(bool Value) { FSubstInf = Value; }

  // Angle of the direction vector (B, -A) in [0, 2*pi).
  double Direction() const { return GetDirect(); }
  // Angle of the direction vector (B, -A) in [0, 2*pi).
  double GetDirect() const;
  // Slope -A/B (GetSlope).
  double Slope() const { return GetSlope(); }
  // Slope -A/B; B = 0 raises ENUXSLineError "slope is infinite".
  double GetSlope() const;
  // Intercept on the y axis, -C/B (GetIntercept).
  double Intercept() const { return GetIntercept(); }
  // Intercept on the y axis, -C/B; B = 0 raises ENUXSLineError.
  double GetIntercept() const;

  // False (line unchanged) when the points coincide or give no finite line.
  bool LineFrom2Points(double x1, double y1, double x2, double y2);
  // Makes the line y = k*x + d.
  void LineFromSlopeIcpt(double k, double d);
  // Makes the line through (px, py) at angle (radians) to the x axis.
  void LineThroughPoint(double px, double py, double angle);
  // Makes the line through (px, py) normal to OtherLine (which may be this line).
  void NormalLine(double px, double py, const TSLine& OtherLine);
  // Makes the line through (px, py) parallel to OtherLine (which may be this line).
  void ParallelLine(double px, double py, const TSLine& OtherLine);
  // False (x, y unchanged) for parallel lines or a crossing beyond double range.
  bool InterSection(const TSLine& OtherLine, double& x, double& y) const;
  // The acute angle between the lines, 0..pi/2.
  double AngleBetweenLines(const TSLine& OtherLine) const;
  // Signed distance of (px, py) from the line.
  double Distance(double px, double py) const;
  // x of the point at height y; A = 0 raises ENUXSLineError unless SubstituteInf.
  double CalcX(double y) const;
  // y of the point at x; B = 0 raises ENUXSLineError unless SubstituteInf.
  double CalcY(double x) const;
  // Slope k and intercept d of y = k*x + d; B = 0 raises ENUXSLineError.
  void CalcKDForm(double& k, double& d) const;
  // Crossings of the line with the box of corners (bllx, blly) and (burx, bury); see the
  // geometry notes for what the outputs hold when fewer than two crossings exist.
  bool ClipBox(double bllx, double blly, double burx, double bury, double& x1, double& y1,
               double& x2, double& y2) const;

 private:
  double FParA = 0.0;
  double FParB = 1.0;
  double FParC = 0.0;
  bool FSubstInf = false;
};

}  // namespace nux
