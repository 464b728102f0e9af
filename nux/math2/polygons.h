// Polygons and hulls: redundant vertices, point-in-polygon and point-in-hull tests, signed area
// with self-intersections, perimeter, bounding rectangle, difference form, distance to a
// polygon, the convex hull of a point set and the great-circle distance on a sphere.
#pragma once

#include <cstdint>
#include <vector>

#include "nux/frame/types.h"
#include "nux/host/points.h"

namespace nux {

// A polygon or point set: points p_0 .. p_{n-1}, closed implicitly where a routine says so.
using TPolygon = std::vector<TPointDouble>;
// A polygon of integer (pixel) points.
using TIntPolygon = std::vector<TPoint>;

// Removes every point equal to its predecessor, then every inner point on the straight line
// through its neighbours (decided for all points before any goes); the first and the last point
// stay. Returns the new number of points.
int32_t ReducePolygon(TPolygon& Poly);
int32_t ReducePolygon(TIntPolygon& Poly);

// True when (x, y) lies strictly inside the closed polygon: false on an edge or a vertex, for
// an empty polygon and for NaN.
bool PointIsInsidePolygon(double x, double y, const TPolygon& Poly);

// Signed area of the closed polygon, positive for counter-clockwise vertices; 0 when empty.
double PolygonArea(const TPolygon& Poly);
// The area and the number of proper crossings between edges (segments that cross at one point
// inside both); touching, collinear or overlapping edges do not count. O(n^2).
double PolygonArea(const TPolygon& Poly, int32_t& NumIntersect);

// Sum of the edge lengths, with the closing edge p_{n-1} -> p_0 when Closed.
double PolygonLength(const TPolygon& Poly, bool Closed);

// The smallest and largest x and y over the points, NaN coordinates passed over; NaN outputs
// for an empty polygon (or one whose coordinates are all NaN).
void OuterRectOfPolygon(const TPolygon& Poly, double& XLow, double& YLow, double& XHigh,
                        double& YHigh);

// Diff receives the steps p_i - p_{i-1}. Mode > 0 drops steps of length 0; Mode 2 also merges
// consecutive steps of the same direction into their sum (steps of opposite direction stay
// apart). Returns the number of steps.
int32_t ConvertToDiffPolygon(const TPolygon& Poly, TPolygon& Diff, int32_t Mode);
// Poly receives Start followed by the running sums of the steps; returns length(Diff) + 1.
int32_t ConvertFromDiffPolygon(const TPointDouble& Start, const TPolygon& Diff, TPolygon& Poly);

// Smallest distance from P to the edges p_i -> p_{i+1} (and p_{n-1} -> p_0 when Closed);
// uc_MaxDouble when there is no edge, NaN when a distance is NaN.
double DistanceToPolygon(const TPointDouble& P, const TPolygon& Poly, bool Closed);

// True when (x, y) lies strictly left of every edge of the counter-clockwise hull (as returned
// by Convex2DHull); false on the boundary and for an empty hull.
bool PointIsInsideConvexHull(double x, double y, const TPolygon& Hull);

// Convex hull of the points, counter-clockwise, without collinear or repeated vertices, starting
// with the vertex of smallest angle AngleToXAxis + pi/2 (reduced into (0, 2 pi]) seen from the
// mean of the points. Points with a NaN or infinite coordinate are left out. Fewer than 4
// (remaining) points are returned as given, reversed when they turn clockwise. O(n log n).
TPolygon Convex2DHull(const TPolygon& Points);

// Great-circle distance between two points given in degrees of latitude and longitude on a
// sphere of the given radius (haversine form, accurate for near and antipodal points).
double SphereGreatCircleDist(double Radius, double Lat1, double Lon1, double Lat2, double Lon2);

}  // namespace nux
