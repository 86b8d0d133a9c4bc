// Dimensions of a spherical four-bar linkage and the quantities derived from them once per page.
#pragma once

namespace cyclar {

/// The six angles (degrees) that define the linkage and its coupler point.
struct LinkageDimensions {
    double a = 0.0; ///< left link, arc A0-A1
    double b = 0.0; ///< right link, arc B0-B1
    double c = 0.0; ///< coupler, arc A1-B1
    double f = 0.0; ///< ground link, arc A0-B0 along the equator
    double h = 0.0; ///< arc A1-P
    double k = 0.0; ///< angle at A1 from the arc toward B1 to the arc toward P

    friend bool operator==(const LinkageDimensions&, const LinkageDimensions&) = default;
};

/// The dimensions a new dimensions page starts from.
inline constexpr LinkageDimensions defaultDimensions{50.0, 30.0, 35.0, 40.0, 45.0, -35.0};

/// A point or direction on the unit sphere.
struct SphereVector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

/// Everything that depends on the dimensions alone. Signs are held as doubles (exactly -1 or +1)
/// because the branch-factor formulas of the pose solver do arithmetic on them.
struct LinkageModel {
    double pi = 0.0;
    double degToRad = 0.0;
    double cosA = 0.0, sinA = 0.0;
    double cosB = 0.0, sinB = 0.0;
    double cosC = 0.0, sinC = 0.0;
    double cosF = 0.0, sinF = 0.0;
    double cosH = 0.0, sinH = 0.0;
    double cosK = 0.0, sinK = 0.0;
    double cosE = 0.0;
    double e = 0.0; ///< degrees, the arc from B1 to P
    double sinE = 0.0;
    double jointGap = 0.0; ///< degrees left between a link's arc and its joints
    double cosJointGap = 0.0, sinJointGap = 0.0;
    SphereVector A0;
    SphereVector B0;
    /// |a - f| - |b - c|: positive when the a-f triangle sets the lower end of the diagonal.
    double lowerGap = 0.0;
    /// The b-c triangle's longest diagonal less the a-f triangle's (each the sum of its two sides,
    /// or 360 less it past 180): positive when the a-f triangle sets the upper end.
    double upperGap = 0.0;
    /// (b + c) - (a + f): the upper gap as the planar rule of the frame's label sees it. It equals
    /// upperGap while neither sum passes 180 degrees.
    double planarUpperGap = 0.0;
    double lowerSign = 0.0;
    double upperSign = 0.0;
    double diagonalMin = 0.0;  ///< max(|a - f|, |b - c|)
    double diagonalMax = 0.0;  ///< min(a + f, 360 - (a + f), b + c, 360 - (b + c))
    double diagonalHalf = 0.0; ///< negative when the two triangles never close together
};

/// Derives the model from the dimensions. Nothing is checked or clamped: degenerate dimensions
/// yield infinities or NaNs that the drawing later keeps away from pixels.
///
/// The arc e from B1 to P follows from the spherical law of cosines in the triangle A1 B1 P:
/// cos e = cos h cos c + sin h sin c cos k.
///
/// The diagonal B0-A1 is a side of the triangles A0 B0 A1 (other sides f, a) and B0 A1 B1 (c, b).
/// On the sphere a triangle with sides x and y closes for a third side from |x - y| to x + y, or
/// to 360 - (x + y) once that sum passes 180 (no arc is longer than 180 degrees): the model's
/// range is where the two meet, and each end's gap and sign name the triangle that is flat there.
LinkageModel buildLinkageModel(const LinkageDimensions& dims);

/// The classification the frame's label states: the planar rule, under which a linkage is
/// Grashof when |a - f| - |b - c| and (b + c) - (a + f) are nonzero and of one sign. While
/// neither link pair sums past 180 degrees this is exactly "the two branch signs agree"; past
/// that the sphere decides otherwise (see the linkage analysis), but the label keeps its rule.
bool isGrashof(const LinkageModel& model);

/// How many circuits the linkage moves on: 2 when its two branch signs agree, else 1.
///
/// With agreeing signs one triangle on the diagonal is flat at both ends of the diagonal's range
/// and the other is never flat, so that one keeps the side it is assembled on: two assemblies
/// that cannot reach each other without taking the linkage apart. Otherwise the sweep passes
/// from one assembly to the other where a triangle goes flat, and one circuit holds them both.
/// The count goes by the sphere, as the signs do (the sums of the link pairs folded past 180
/// degrees), not by the label's planar rule: the two disagree once a pair sums past 180, and
/// what the linkage can reach is the sphere's matter. It is exactly the spherical Grashof
/// condition T1 T2 T3 T4 > 0 of the linkage analysis, a change point (a gap of 0) having one.
int circuitCount(const LinkageModel& model);

/// The classification text drawn on every frame ("Grashof Four-bar Linkage" when isGrashof).
const char* classificationLabel(const LinkageModel& model);

} // namespace cyclar
