// Curves on the sphere drawn as polylines: outline, reference great circles, arcs, joint rings.
#pragma once

#include "drawing_surface.h"
#include "view.h"

namespace cyclar {

/// Feeds projected vertices to the canvas as one polyline: the first vertex is a move, later
/// ones are lines. A vertex that has no pixel is skipped and breaks the polyline, so the next
/// good vertex is a move again and no false line bridges the gap.
class Polyline {
public:
    Polyline(LineSink& sink, const Projection& projection) : m_sink(sink), m_projection(projection)
    {
    }
    void vertex(double x, double y);
    /// The next vertex starts a new polyline.
    void restart() { m_needMove = true; }

private:
    LineSink& m_sink;
    const Projection& m_projection;
    bool m_needMove = true;
};

/// The sphere's outline: a circle of radius R about the canvas centre.
void drawSphereOutline(DrawingSurface& surface, const Projection& projection);

/// The equator and the meridian through A0 and the poles, as one polyline of 361 vertices.
void drawReferenceCircles(LineSink& sink, const Projection& projection,
                          const ViewOrientation& view);

/// Spans beyond this many degrees (a hundred turns) go round their great circle again and again;
/// such an arc is drawn as its whole great circle once, so no frame can take unbounded time.
inline constexpr double maxArcSpan = 36000.0;

/// Great-circle arc from S toward E (L is the angle between them) from the angle first through
/// first + span (degrees), in trunc(span) equal steps:
///   point(theta) = cos theta S + sin theta (E - cos L S) / sin L.
/// Draws nothing when the span is not finite or below 1 degree, or when L is a multiple of 180
/// degrees (S and E coincide or are antipodal, so no great circle is defined): sin L is then
/// zero or only the rounding residue of an L of about first + span degrees. An L merely near
/// such a multiple still draws. Vertices the formula makes non-finite are skipped.
void drawArc(LineSink& sink, const Projection& projection, const RotatedPoint& start,
             const RotatedPoint& end, double cosL, double sinL, double first, double span);

/// Small circle of angular radius r about Q in 30 steps of 12 degrees:
///   cos r Q + sin r (cos phi U + sin phi V), U = (-Q.x, Q.depth, 0) / s,
///   V = (-Q.depth Q.y, -Q.x Q.y, s^2) / s, s = sqrt(1 - Q.y^2)  (view axes depth, x, y).
/// A centre at the top or bottom of the outline (s = 0) has no such U; the ring is then seen
/// edge-on and drawn with U = the screen's x axis, as a short horizontal stroke.
void drawRing(LineSink& sink, const Projection& projection, const RotatedPoint& centre, double cosR,
              double sinR);

} // namespace cyclar
