// The design view: task arrows, the candidate's coupler path and the candidate at one pose.
#include "design_view.h"

#include "curves.h"
#include "design_math.h"
#include "frame_composition.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace cyclar {

namespace {

constexpr double arrowLength = 12.0; // degrees along the heading
constexpr double barbLength = 4.0;   // degrees
constexpr double barbAngle = 30.0;   // degrees off the shaft
constexpr double markRadius = 1.5;   // degrees: the ring at a task point
constexpr double jointGap = 1.0;     // degrees, as on the animation page

// a in [0, 360).
double turnOf(double degrees)
{
    const double r = std::fmod(degrees, 360.0);
    return r < 0.0 ? r + 360.0 : r;
}

// The point at arc `arc` from `from` in the unit tangent direction `dir`.
SphereVector along(const SphereVector& from, const SphereVector& dir, double arc)
{
    return (std::cos(arc * degree) * from) + (std::sin(arc * degree) * dir);
}

// The unit tangent at `from` toward `to`; nothing where they coincide or are opposite.
std::optional<SphereVector> towards(const SphereVector& from, const SphereVector& to)
{
    const SphereVector t = to - (dot(from, to) * from);
    const double n = norm(t);
    if (!(n > 1e-12)) {
        return std::nullopt;
    }
    return (1.0 / n) * t;
}

struct ViewPen {
    DrawingSurface& surface;
    const Projection& projection;
    const ViewOrientation& view;
    int scale;

    void pen(const PenSpec& spec) const
    {
        surface.selectPen(PenSpec{spec.colour, spec.width * scale});
    }

    // The arc from s toward e (their angle given by its cosine and sine), from `first` through
    // `first + span` degrees.
    void arc(const SphereVector& s, const SphereVector& e, double cosL, double sinL, double first,
             double span) const
    {
        drawArc(surface, projection, rotateToView(view, s), rotateToView(view, e), cosL, sinL,
                first, span);
    }

    // The shorter arc between two points, shortened by `gap` degrees at the start and `endGap`
    // at the end.
    void shortArc(const SphereVector& s, const SphereVector& e, double gap, double endGap) const
    {
        const double cosL = std::clamp(dot(s, e), -1.0, 1.0);
        const double sinL = norm(cross(s, e));
        const double length = std::atan2(sinL, cosL) / degToRad();
        arc(s, e, cosL, sinL, gap, length - gap - endGap);
    }

    void ring(const SphereVector& centre, double radius) const
    {
        drawRing(surface, projection, rotateToView(view, centre), std::cos(radius * degree),
                 std::sin(radius * degree));
    }

    // An arrow from `tail` along the tangent `dir`: its shaft and a two-barbed head.
    void arrow(const SphereVector& tail, const SphereVector& dir, double length) const
    {
        const SphereVector tip = along(tail, dir, length);
        shortArc(tail, tip, 0.0, 0.0);
        // The way back along the shaft, at the tip.
        const SphereVector back = (std::cos(length * degree) * tail) - tip;
        const std::optional<SphereVector> b = towards(tip, tip + back);
        if (!b) {
            return;
        }
        const SphereVector side = cross(tip, *b);
        for (const double s : {-1.0, 1.0}) {
            const SphereVector barb =
                (std::cos(barbAngle * degree) * *b) + ((s * std::sin(barbAngle * degree)) * side);
            shortArc(tip, along(tip, barb, barbLength), 0.0, 0.0);
        }
    }

    void number(const SphereVector& at, int n, Rgb colour) const
    {
        const RotatedPoint r = rotateToView(view, at);
        const std::optional<Pixel> pixel = toCanvasPixel(projection, r.x, r.y);
        if (!pixel) {
            return;
        }
        surface.setTextColor(colour);
        surface.setTextScale(scale);
        surface.textOut(pixel->x() + 4 * scale, pixel->y() + 3 * scale, std::to_string(n));
        surface.setTextScale(1);
    }
};

// Where the task wants the output link at a pair: B1 at arc b from B0 in the direction psi,
// in the conventions of the linkage analysis.
SphereVector outputPlace(const LinkageDimensions& dims, double psi)
{
    const double sinF = std::sin(dims.f * degree);
    const double cosF = std::cos(dims.f * degree);
    const double side = sinF < 0.0 ? -1.0 : 1.0;
    const SphereVector b0{cosF, sinF, 0.0};
    const SphereVector v0{-sinF * side, cosF * side, 0.0};
    const SphereVector w0{0.0, 0.0, side};
    const SphereVector dir = (std::cos(psi * degree) * v0) + (std::sin(psi * degree) * w0);
    return along(b0, dir, dims.b);
}

// The steps from `first` turning `direction` (+1 or -1) through `span` degrees, a degree apart,
// with the exact inputs of the positions among them; only those that close on the branch.
std::vector<DesignStep> stepsAlong(const DesignCandidate& candidate, double first, double direction,
                                   double span, int branch, int& misses)
{
    std::vector<double> offsets;
    for (int s = 0; s < span; ++s) { // span is at most 360
        offsets.push_back(s);
    }
    offsets.push_back(span);
    for (const PositionReach& reach : candidate.positions) {
        const double offset = turnOf(direction * (reach.input - first));
        if (offset <= span) {
            offsets.push_back(offset);
        }
    }
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end(),
                              [](double x, double y) { return std::fabs(x - y) < 1e-9; }),
                  offsets.end());
    std::vector<DesignStep> steps;
    misses = 0;
    for (const double offset : offsets) {
        double input = turnOf(first + direction * offset + 180.0) - 180.0;
        if (input == -180.0) {
            input = 180.0;
        }
        if (couplerPoseAt(candidate.dims, input, branch)) {
            steps.push_back({input, branch});
        } else {
            ++misses;
        }
    }
    return steps;
}

Rgb paled(const Rgb& colour)
{
    const auto half = [](int c) { return (c + 255) / 2; };
    return Rgb(half(colour.r), half(colour.g), half(colour.b));
}

Rgb mapColour(const DesignMapView& map, std::size_t i, const DesignViewPalette& palette)
{
    if (map.classes.size() != map.map->centrePoints.size()) {
        return palette.mapPlain;
    }
    switch (map.classes[i]) {
    case MapClass::Usable:
        return palette.mapUsable;
    case MapClass::Defective:
        return palette.mapDefective;
    case MapClass::None:
        break;
    }
    return palette.mapNone;
}

// One of the map's curves: each stretch as polylines, broken where the colour changes or the
// curve passes round to the sphere's far side (drawn paler).
void drawMapCurve(DrawingSurface& surface, const Projection& projection,
                  const ViewOrientation& view, const DesignMapView& map,
                  const std::vector<SphereVector>& points, int width,
                  const DesignViewPalette& palette)
{
    const int scale = std::clamp(palette.scale, 1, maxPictureScale);
    std::optional<Rgb> pen;
    Polyline line(surface, projection);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const RotatedPoint r = rotateToView(view, points[i]);
        const Rgb colour =
            r.depth < 0.0 ? paled(mapColour(map, i, palette)) : mapColour(map, i, palette);
        const bool starts = map.map->startsStretch(i);
        if (!pen || !(colour == *pen)) {
            // The segment into this point is drawn in the colour of the point it leaves; then
            // the pen changes.
            if (pen && !starts) {
                line.vertex(r.x, r.y);
            }
            surface.selectPen(PenSpec{colour, width * scale});
            pen = colour;
            line.restart();
        } else if (starts) {
            line.restart();
        }
        line.vertex(r.x, r.y);
    }
}

} // namespace

std::optional<std::size_t> pickMapPoint(const SolutionMap& map, bool marks,
                                        const ViewOrientation& view, int width, int height,
                                        double x, double y, double reach)
{
    const int side = std::min(width, height);
    const Projection projection = projectionFor(width, height, side * 0.9 / 2.0);
    ViewOrientation v = view;
    v.recompute();
    std::optional<std::size_t> best;
    double bestDistance = reach;
    const std::size_t count = marks ? map.marks.size() : map.centrePoints.size();
    for (std::size_t i = 0; i < count; ++i) {
        const SphereVector& point = marks ? map.marks[i].fixed : map.centrePoints[i];
        for (const SphereVector& end : {point, marks ? -point : point}) {
            const RotatedPoint r = rotateToView(v, end);
            if (!(r.depth >= 0.0)) {
                continue;
            }
            const double px = projection.cx + projection.radius * r.x;
            const double py = projection.cy - projection.radius * r.y;
            const double distance = std::hypot(px - x, py - y);
            if (distance <= bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
    }
    return best;
}

std::vector<DesignStep> designTour(const DesignCandidate& candidate)
{
    if (candidate.positions.empty()) {
        return {};
    }
    const int branch = candidate.positions.front().branch;
    const double first = candidate.positions.front().input;
    bool oneBranch = true;
    for (const PositionReach& reach : candidate.positions) {
        oneBranch = oneBranch && reach.branch == branch;
    }

    struct Way {
        std::vector<DesignStep> steps;
        int misses = 0;
        double span = 0.0;
    };
    std::optional<Way> best;
    if (oneBranch) {
        for (const double direction : {1.0, -1.0}) {
            double previous = 0.0;
            bool ordered = true;
            for (const PositionReach& reach : candidate.positions) {
                const double offset = turnOf(direction * (reach.input - first));
                ordered = ordered && offset >= previous;
                previous = offset;
            }
            if (!ordered) {
                continue;
            }
            Way way;
            way.span = previous;
            way.steps = stepsAlong(candidate, first, direction, way.span, branch, way.misses);
            if (!best || way.misses < best->misses
                || (way.misses == best->misses && way.span < best->span)) {
                best = std::move(way);
            }
        }
    }
    if (!best) {
        Way round;
        round.span = 359.0;
        round.steps = stepsAlong(candidate, first, 1.0, round.span, branch, round.misses);
        return round.steps; // once round: it goes on from its end to its start
    }
    std::vector<DesignStep> tour = best->steps;
    for (std::size_t i = best->steps.size(); i-- > 1;) {
        if (i + 1 < best->steps.size()) {
            tour.push_back(best->steps[i]);
        }
    }
    return tour;
}

ViewOrientation viewFacingTask(const DesignTask& task)
{
    ViewOrientation view;
    SphereVector middle{0.0, 0.0, 0.0};
    if (task.kind == TaskKind::Motion) {
        for (const TaskPosition& position : task.positions) {
            middle = middle + taskPoint(position);
        }
        for (const TaskPivot& pivot : task.fixedPivots) {
            middle = middle + pivotPoint(pivot);
        }
    }
    if (!(norm(middle) > 1e-9) || !std::isfinite(norm(middle))) {
        view.recompute();
        return view;
    }
    middle = normalized(middle);
    double bestDepth = -2.0;
    ViewOrientation best = view;
    for (int turn = -180; turn <= 180; ++turn) {
        for (int tilt = -90; tilt <= 90; ++tilt) {
            view.turn = turn;
            view.tilt = tilt;
            view.recompute();
            const double depth = rotateToView(view, middle).depth;
            if (depth > bestDepth) {
                bestDepth = depth;
                best = view;
            }
        }
    }
    return best;
}

void composeDesignView(DrawingSurface& surface, const DesignTask& task,
                       const DesignCandidate* candidate, const DesignStep& step,
                       const ViewOrientation& view, const DesignViewPalette& palette,
                       const DesignMapView* map)
{
    const int scale = std::clamp(palette.scale, 1, maxPictureScale);
    const int side = std::min(surface.width(), surface.height());
    const Projection projection =
        projectionFor(surface.width(), surface.height(), side * 0.9 / 2.0);
    ViewOrientation v = view;
    v.recompute();
    const ViewPen draw{surface, projection, v, scale};

    draw.pen(palette.sphere);
    drawSphereOutline(surface, projection);
    drawReferenceCircles(surface, projection, v.withoutSpin());

    if (map && map->map && !map->map->empty()) {
        drawMapCurve(surface, projection, v, *map, map->map->circlePoints, 1, palette);
        drawMapCurve(surface, projection, v, *map, map->map->centrePoints, 2, palette);
        draw.pen(palette.mark);
        for (const Dyad& mark : map->map->marks) {
            for (const SphereVector& end : {mark.fixed, -mark.fixed}) {
                draw.ring(end, 2.0 * jointGap);
                draw.ring(end, 3.0 * jointGap);
            }
            draw.ring(mark.moving, 2.0 * jointGap);
            draw.ring(-mark.moving, 2.0 * jointGap);
        }
        draw.pen(palette.picked);
        for (const std::size_t i : map->picked) {
            if (i < map->map->centrePoints.size()) {
                draw.ring(map->map->centrePoints[i], 2.0 * jointGap);
                draw.ring(map->map->centrePoints[i], 3.0 * jointGap);
            }
        }
    }

    const Rotation& m = candidate ? candidate->placement : identityRotation();
    if (candidate) {
        // The coupler point's path over the tour, broken where the tour leaves out steps.
        draw.pen(palette.curve);
        Polyline path(surface, projection);
        std::optional<DesignStep> previous;
        for (const DesignStep& s : designTour(*candidate)) {
            if (previous
                && (s.branch != previous->branch
                    || std::fabs(turnOf(s.input - previous->input + 180.0) - 180.0) > 1.5)) {
                path.restart();
            }
            previous = s;
            if (const std::optional<CouplerPose> pose =
                    couplerPoseAt(candidate->dims, s.input, s.branch)) {
                const RotatedPoint r = rotateToView(v, applied(m, pose->P));
                path.vertex(r.x, r.y);
            }
        }
    }

    // The task.
    if (task.kind == TaskKind::Motion) {
        for (std::size_t i = 0; i < task.positions.size(); ++i) {
            const SphereVector p = taskPoint(task.positions[i]);
            draw.pen(palette.task);
            draw.arrow(p, taskHeading(task.positions[i]), arrowLength);
            draw.ring(p, markRadius);
            draw.number(p, static_cast<int>(i) + 1, palette.number);
        }
        draw.pen(palette.pivot);
        for (const TaskPivot& pivot : task.fixedPivots) {
            draw.ring(pivotPoint(pivot), 2.0 * jointGap);
            draw.ring(pivotPoint(pivot), 3.0 * jointGap);
        }
    } else if (candidate) {
        const SphereVector b0{std::cos(candidate->dims.f * degree),
                              std::sin(candidate->dims.f * degree), 0.0};
        for (std::size_t i = 0; i < task.pairs.size(); ++i) {
            const SphereVector target =
                applied(m, outputPlace(candidate->dims, task.pairs[i].output));
            const std::optional<SphereVector> dir = towards(applied(m, b0), target);
            if (!dir) {
                continue;
            }
            draw.pen(palette.task);
            draw.arrow(applied(m, b0), *dir, std::min(candidate->dims.b, 170.0));
            draw.number(target, static_cast<int>(i) + 1, palette.number);
        }
    }

    if (!candidate) {
        return;
    }
    const std::optional<CouplerPose> pose = couplerPoseAt(candidate->dims, step.input, step.branch);
    if (!pose) {
        return;
    }
    const LinkageDimensions& d = candidate->dims;
    const SphereVector a0 = applied(m, {1.0, 0.0, 0.0});
    const SphereVector b0 = applied(m, {std::cos(d.f * degree), std::sin(d.f * degree), 0.0});
    const SphereVector a1 = applied(m, pose->A1);
    const SphereVector b1 = applied(m, pose->B1);
    const SphereVector p = applied(m, pose->P);

    draw.pen(palette.link);
    // Links by their own lengths, which may exceed 180 degrees; the coupler point's arcs the
    // short way.
    draw.arc(a0, a1, std::cos(d.a * degree), std::sin(d.a * degree), jointGap,
             d.a - 2.0 * jointGap);
    draw.arc(b0, b1, std::cos(d.b * degree), std::sin(d.b * degree), jointGap,
             d.b - 2.0 * jointGap);
    draw.arc(a1, b1, std::cos(d.c * degree), std::sin(d.c * degree), jointGap,
             d.c - 2.0 * jointGap);
    draw.shortArc(a1, p, jointGap, 0.0);
    draw.shortArc(b1, p, jointGap, 0.0);

    draw.pen(palette.joint);
    draw.ring(a0, jointGap);
    draw.ring(a0, 2.0 * jointGap);
    draw.ring(b0, jointGap);
    draw.ring(b0, 2.0 * jointGap);
    draw.ring(a1, jointGap);
    draw.ring(b1, jointGap);
}

} // namespace cyclar
