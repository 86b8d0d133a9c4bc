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
    double lowerGap = 0.0;
    double upperGap = 0.0;
    double lowerSign = 0.0;
    double upperSign = 0.0;
    double diagonalMin = 0.0;
    double diagonalMax = 0.0;
    double diagonalHalf = 0.0;
};

/// Derives the model from the dimensions. Nothing is checked or clamped: degenerate dimensions
/// yield infinities or NaNs that the drawing later keeps away from pixels.
///
/// The arc e from B1 to P follows from the spherical law of cosines in the triangle A1 B1 P:
/// cos e = cos h cos c + sin h sin c cos k.
LinkageModel buildLinkageModel(const LinkageDimensions& dims);

/// A linkage is Grashof when one triangle on the diagonal sets both ends of its range,
/// i.e. when the two signs agree (strictly).
bool isGrashof(const LinkageModel& model);

/// The classification text drawn on every frame.
const char* classificationLabel(const LinkageModel& model);

} // namespace cyclar
