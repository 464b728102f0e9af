// Plane geometry of unit Nux_math1: points, segments, rectangles and axis-parallel ellipses.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"
#include "nux/host/points.h"

namespace nux {

// Distance between two points in the plane, without intermediate overflow.
double EuclideanDistance(const TPointDouble& P1, const TPointDouble& P2);
double EuclideanDistance(double x1, double y1, double x2, double y2);

// Angle of the vector (dx, dy) to the x axis in [0, 2*pi]; (0, 0) gives 3*pi/2, NaN gives NaN.
double AngleToXAxis(double dx, double dy);

// 1 when P1, P2, P3 turn counter-clockwise, -1 clockwise, 0 collinear (or NaN involved).
int32_t CcwTriangle(const TPointDouble& P1, const TPointDouble& P2, const TPointDouble& P3);

// Whether segment P1-P2 meets P3-P4. Touching segments count, and so do collinear ones even
// when they do not overlap.
bool SegmentsIntersect(const TPointDouble& P1, const TPointDouble& P2, const TPointDouble& P3,
                       const TPointDouble& P4);

// Distance from P to the nearest point of segment A-B.
double DistanceToSegment(const TPointDouble& P, const TPointDouble& A, const TPointDouble& B);

// Rectangles are given by two x and two y coordinates of opposite corners, in either order.
bool WithinRect(const TPointDouble& P, const TRectDouble& R);
// Clamps P into R; true if P was moved. A NaN coordinate is left as it is and counts as not
// moved; a rectangle with a NaN coordinate leaves P unchanged (false).
bool ConfinePointToRect(TPointDouble& P, const TRectDouble& R);

// Distance in pixels from P to R: 0 inside or on the border, the gap beside, above or below,
// otherwise the distance to the nearest corner rounded to the nearest integer.
int64_t DistFromRect(const TPoint& P, const TRect& R);

// Distance from P to the ellipse with centre (Cx, Cy) and semi-axes A (along x) and B (along
// y); Nearest receives the nearest point of the ellipse.
double DistFromEllipse(const TPointDouble& P, double Cx, double Cy, double A, double B,
                       TPointDouble& Nearest);

}  // namespace nux
