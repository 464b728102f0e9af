// TSLine: a straight line A*x + B*y + C = 0 with constructions, intersections and conversions.
#pragma once

#include "nux/frame/errors.h"
#include "nux/host/object.h"

namespace nux {

class TSLine : public TComponent {
 public:
  explicit TSLine(TComponent* AOwner = nullptr);

  // Copies the coefficients and SubstituteInf of another line.
  void Assign(const TPersistent* Source) override;

  double ParA() const { return FParA; }
  double ParB() const { return FParB; }
  double ParC() const { return FParC; }
  // A and B must not both become zero (ENUXSLineError).
  void SetParA(double x);
  void SetParB(double x);
  void SetParC(double x);
  // When true, CalcX and CalcY divide by 1e-100 instead of raising on a zero divisor.
  bool SubstituteInf() const { return FSubstInf; }
  void SetSubstituteInf(bool Value) { FSubstInf = Value; }

  // Angle of the direction vector (B, -A) in [0, 2*pi).
  double Direction() const { return GetDirect(); }
  double GetDirect() const;
  double Slope() const { return GetSlope(); }
  double GetSlope() const;
  double Intercept() const { return GetIntercept(); }
  double GetIntercept() const;

  // False (line unchanged) when the points coincide or give no finite line.
  bool LineFrom2Points(double x1, double y1, double x2, double y2);
  void LineFromSlopeIcpt(double k, double d);
  void LineThroughPoint(double px, double py, double angle);
  void NormalLine(double px, double py, const TSLine& OtherLine);
  void ParallelLine(double px, double py, const TSLine& OtherLine);
  // False (x, y unchanged) for parallel lines or a crossing beyond double range.
  bool InterSection(const TSLine& OtherLine, double& x, double& y) const;
  // The acute angle between the lines, 0..pi/2.
  double AngleBetweenLines(const TSLine& OtherLine) const;
  // Signed distance of (px, py) from the line.
  double Distance(double px, double py) const;
  double CalcX(double y) const;
  double CalcY(double x) const;
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
