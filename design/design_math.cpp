// The small linear algebra of linkage design, and the dyad equations of motion generation.
#include "design_math.h"

#include <algorithm>
#include <numbers>

namespace cyclar {

LeastSquares solveLeastSquares(std::vector<std::vector<double>> a, std::vector<double> b)
{
    LeastSquares out;
    const std::size_t n = a.size();
    const std::size_t m = n == 0 ? 0 : a[0].size();
    if (n < m || m == 0) {
        return out;
    }
    std::vector<double> diagonal(m, 0.0);
    double largest = 0.0;
    for (std::size_t j = 0; j < m; ++j) {
        double length = 0.0;
        for (std::size_t i = j; i < n; ++i) {
            length += a[i][j] * a[i][j];
        }
        length = std::sqrt(length);
        const double alpha = a[j][j] > 0.0 ? -length : length;
        diagonal[j] = alpha;
        largest = std::max(largest, length);
        // The reflection taking column j's lower part onto alpha e_j: v = x - alpha e_j.
        std::vector<double> v(n, 0.0);
        for (std::size_t i = j; i < n; ++i) {
            v[i] = a[i][j];
        }
        v[j] -= alpha;
        double vv = 0.0;
        for (std::size_t i = j; i < n; ++i) {
            vv += v[i] * v[i];
        }
        if (vv == 0.0) {
            continue;
        }
        for (std::size_t k = j; k < m; ++k) {
            double s = 0.0;
            for (std::size_t i = j; i < n; ++i) {
                s += v[i] * a[i][k];
            }
            s = 2.0 * s / vv;
            for (std::size_t i = j; i < n; ++i) {
                a[i][k] -= s * v[i];
            }
        }
        double s = 0.0;
        for (std::size_t i = j; i < n; ++i) {
            s += v[i] * b[i];
        }
        s = 2.0 * s / vv;
        for (std::size_t i = j; i < n; ++i) {
            b[i] -= s * v[i];
        }
    }
    for (std::size_t j = 0; j < m; ++j) {
        if (!(std::fabs(diagonal[j]) > 1e-10 * largest)) {
            return out;
        }
    }
    out.x.assign(m, 0.0);
    for (std::size_t j = m; j-- > 0;) {
        double s = b[j];
        for (std::size_t k = j + 1; k < m; ++k) {
            s -= a[j][k] * out.x[k];
        }
        out.x[j] = s / a[j][j];
    }
    double rest = 0.0;
    for (std::size_t i = m; i < n; ++i) {
        rest += b[i] * b[i];
    }
    out.residual = std::sqrt(rest / static_cast<double>(n));
    out.solved = true;
    return out;
}

CubicCone cubicCone(const std::vector<Rotation>& moves, std::size_t j, std::size_t k, std::size_t l)
{
    CubicCone cone;
    const std::array<std::size_t, 3> which{j, k, l};
    for (std::size_t n = 0; n < 3; ++n) {
        cone.C[n] = transposed(moves[which[n]]);
        for (std::size_t i = 0; i < 3; ++i) {
            cone.C[n][i][i] -= 1.0;
        }
    }
    return cone;
}

PivotNormal pivotNormal(const std::vector<Rotation>& moves, const SphereVector& G)
{
    PivotNormal p;
    for (const Rotation& D : moves) {
        p.v.push_back(applied(transposed(D), G) - G);
    }
    for (std::size_t i = 0; i < p.v.size(); ++i) {
        for (std::size_t j = i + 1; j < p.v.size(); ++j) {
            const SphereVector w = cross(p.v[i], p.v[j]);
            if (norm(w) > p.length) {
                p.length = norm(w);
                p.normal = w;
            }
        }
    }
    return p;
}

namespace {

using Cubic = std::array<double, 4>;

// det[v_j v_k v_l] for G = cos(beta) e1 + sin(beta) e2, as
// c0 cos^3 + c1 cos^2 sin + c2 cos sin^2 + c3 sin^3: each v_i = cos(beta) p_i + sin(beta) q_i,
// and the determinant is linear in each column.
Cubic coneCubic(const CubicCone& cone, const SphereVector& e1, const SphereVector& e2)
{
    const SphereVector p0 = applied(cone.C[0], e1), q0 = applied(cone.C[0], e2);
    const SphereVector p1 = applied(cone.C[1], e1), q1 = applied(cone.C[1], e2);
    const SphereVector p2 = applied(cone.C[2], e1), q2 = applied(cone.C[2], e2);
    return {det3(p0, p1, p2), det3(q0, p1, p2) + det3(p0, q1, p2) + det3(p0, p1, q2),
            det3(q0, q1, p2) + det3(q0, p1, q2) + det3(p0, q1, q2), det3(q0, q1, q2)};
}

double evaluate(const Cubic& c, double beta)
{
    const double x = std::cos(beta);
    const double y = std::sin(beta);
    return ((c[0] * x + c[1] * y) * x + c[2] * y * y) * x + c[3] * y * y * y;
}

// Where a function changes sign on [lo, hi], to the last bit.
template <typename F> double bisect(F f, double lo, double hi, double fLo)
{
    for (int i = 0; i < 80 && hi - lo > 0.0; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi) {
            break;
        }
        const double fMid = f(mid);
        if (fMid == 0.0) {
            return mid;
        }
        if ((fMid < 0.0) == (fLo < 0.0)) {
            lo = mid;
            fLo = fMid;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

// The roots of f over [0, pi), from samples at `samples` steps: each sign change, bisected; and
// where |f| dips between samples without changing sign, the dip is followed to its bottom, and
// when that crosses zero the two roots either side of it are bisected (two roots closer than a
// step would otherwise go unseen).
template <typename F> std::vector<double> roots(F f, int samples)
{
    const double step = std::numbers::pi / samples;
    std::vector<double> at(static_cast<std::size_t>(samples) + 1);
    for (std::size_t m = 0; m < at.size(); ++m) {
        at[m] = f(step * static_cast<double>(m));
    }
    const auto changes = [&](std::size_t m) { return (at[m] < 0.0) != (at[m + 1] < 0.0); };
    std::vector<double> found;
    for (std::size_t m = 0; m + 1 < at.size(); ++m) {
        const double lo = step * static_cast<double>(m);
        if (at[m] == 0.0) {
            found.push_back(lo);
        } else if (changes(m) && at[m + 1] != 0.0) {
            found.push_back(bisect(f, lo, lo + step, at[m]));
        } else if (m > 0 && !changes(m - 1) && !changes(m) && at[m - 1] != 0.0
                   && std::fabs(at[m]) < std::fabs(at[m - 1])
                   && std::fabs(at[m]) <= std::fabs(at[m + 1])) {
            // Golden-section search for the least of sign * f on the two steps around sample m.
            const double sign = at[m] < 0.0 ? -1.0 : 1.0;
            const auto g = [&](double x) { return sign * f(x); };
            constexpr double golden = 0.6180339887498949;
            double a = lo - step;
            double b = lo + step;
            double c = b - golden * (b - a);
            double d = a + golden * (b - a);
            double gc = g(c);
            double gd = g(d);
            for (int i = 0; i < 60 && gc > 0.0 && gd > 0.0; ++i) {
                if (gc < gd) {
                    b = d;
                    d = c;
                    gd = gc;
                    c = b - golden * (b - a);
                    gc = g(c);
                } else {
                    a = c;
                    c = d;
                    gc = gd;
                    d = a + golden * (b - a);
                    gd = g(d);
                }
            }
            const double bottom = gc <= gd ? c : d;
            if (std::min(gc, gd) < 0.0) {
                found.push_back(bisect(f, lo - step, bottom, at[m - 1]));
                found.push_back(bisect(f, bottom, lo + step, sign * std::min(gc, gd)));
            }
        }
    }
    return found;
}

struct PlaneBasis {
    SphereVector e1, e2;
};

PlaneBasis planeAbout(const SphereVector& axis, double alpha)
{
    const auto [t1, t2] = tangentBasis(axis);
    return {(std::cos(alpha) * t1) + (std::sin(alpha) * t2), axis};
}

std::vector<double> cubicRoots(const Cubic& c)
{
    return roots([&](double beta) { return evaluate(c, beta); }, 60);
}

Cubic normalizedCubic(Cubic c)
{
    double largest = 0.0;
    for (const double x : c) {
        largest = std::max(largest, std::fabs(x));
    }
    if (largest > 0.0) {
        for (double& x : c) {
            x /= largest;
        }
    }
    return c;
}

// The resultant of two binary cubics: the determinant of their 6x6 Sylvester matrix, by
// elimination with partial pivoting. It vanishes exactly when they share a root.
double resultant(const Cubic& f, const Cubic& g)
{
    std::array<std::array<double, 6>, 6> s{};
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t i = 0; i < 4; ++i) {
            s[r][r + i] = f[i];
            s[r + 3][r + i] = g[i];
        }
    }
    double det = 1.0;
    for (std::size_t col = 0; col < 6; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < 6; ++r) {
            if (std::fabs(s[r][col]) > std::fabs(s[pivot][col])) {
                pivot = r;
            }
        }
        if (s[pivot][col] == 0.0) {
            return 0.0;
        }
        if (pivot != col) {
            std::swap(s[pivot], s[col]);
            det = -det;
        }
        det *= s[col][col];
        for (std::size_t r = col + 1; r < 6; ++r) {
            const double factor = s[r][col] / s[col][col];
            for (std::size_t k = col; k < 6; ++k) {
                s[r][k] -= factor * s[col][k];
            }
        }
    }
    return det;
}

double dyadError(const std::vector<Rotation>& moves, const SphereVector& G, const SphereVector& W)
{
    double worst = 0.0;
    for (const Rotation& D : moves) {
        worst = std::max(worst, std::fabs(dot(G, applied(D, W) - W)));
    }
    return worst;
}

// Newton's method on the dyad equations e_i = G . (D_i W - W) = 0, with G and W kept on the
// sphere by stepping in their tangent planes. Four equations, four unknowns.
bool polishDyad(const std::vector<Rotation>& moves, SphereVector& G, SphereVector& W)
{
    for (int iteration = 0; iteration < 8; ++iteration) {
        const auto [t1, t2] = tangentBasis(G);
        const auto [s1, s2] = tangentBasis(W);
        std::vector<std::vector<double>> rows;
        std::vector<double> rhs;
        for (const Rotation& D : moves) {
            const SphereVector byG = applied(D, W) - W;
            const SphereVector byW = applied(transposed(D), G) - G;
            rows.push_back({dot(byG, t1), dot(byG, t2), dot(byW, s1), dot(byW, s2)});
            rhs.push_back(-dot(G, byG));
        }
        const LeastSquares step = solveLeastSquares(rows, rhs);
        if (!step.solved) {
            return false;
        }
        G = normalized(G + ((step.x[0] * t1) + (step.x[1] * t2)));
        W = normalized(W + ((step.x[2] * s1) + (step.x[3] * s2)));
        if (dyadError(moves, G, W) < 1e-15) {
            break;
        }
    }
    return true;
}

// The common perpendicular of the v_i = (D_i^T - I) G that are best conditioned.
SphereVector roughMovingPivot(const std::vector<Rotation>& moves, const SphereVector& G)
{
    const PivotNormal p = pivotNormal(moves, G);
    return p.length > 0.0 ? (1.0 / p.length) * p.normal : SphereVector{0.0, 0.0, 1.0};
}

// The v_i span a plane (not a line): W is then fixed by them.
bool movingPivotDetermined(const std::vector<Rotation>& moves, const SphereVector& G)
{
    std::vector<SphereVector> v;
    for (const Rotation& D : moves) {
        v.push_back(applied(transposed(D), G) - G);
    }
    for (std::size_t i = 0; i < v.size(); ++i) {
        for (std::size_t j = i + 1; j < v.size(); ++j) {
            if (norm(cross(v[i], v[j])) > 1e-6) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::vector<SphereVector> coneLinesInPlane(const CubicCone& cone, const SphereVector& axis,
                                           double alpha)
{
    const PlaneBasis plane = planeAbout(axis, alpha);
    std::vector<SphereVector> lines;
    for (const double beta : cubicRoots(coneCubic(cone, plane.e1, plane.e2))) {
        lines.push_back((std::cos(beta) * plane.e1) + (std::sin(beta) * plane.e2));
    }
    return lines;
}

std::vector<FiveDyad> fivePositionDyads(const std::vector<Rotation>& moves)
{
    std::vector<FiveDyad> dyads;
    if (moves.size() != 4) {
        return dyads;
    }
    const CubicCone coneA = cubicCone(moves, 0, 1, 2);
    const CubicCone coneB = cubicCone(moves, 0, 1, 3);
    // Two axes for the planes, square to each other and to no axis of the frame (tasks are often
    // written with pivots on the axes): a dyad lying close to one axis is found cleanly about
    // the other.
    const SphereVector first = normalized({0.3, -0.5, 0.8});
    const std::array<SphereVector, 2> axes{first, normalized(cross(first, {0.6, 0.7, -0.2}))};
    for (const SphereVector& axis : axes) {
        const auto common = [&](double alpha) {
            const PlaneBasis plane = planeAbout(axis, alpha);
            return resultant(normalizedCubic(coneCubic(coneA, plane.e1, plane.e2)),
                             normalizedCubic(coneCubic(coneB, plane.e1, plane.e2)));
        };
        for (const double alpha : roots(common, 360)) {
            for (SphereVector G : coneLinesInPlane(coneA, axis, alpha)) {
                SphereVector W = roughMovingPivot(moves, G);
                if (dyadError(moves, G, W) > 1e-3 || !polishDyad(moves, G, W)) {
                    continue;
                }
                if (dyadError(moves, G, W) > 1e-11 || !movingPivotDetermined(moves, G)) {
                    continue;
                }
                const bool known = std::any_of(dyads.begin(), dyads.end(), [&](const FiveDyad& d) {
                    return std::fabs(dot(d.fixed, G)) > 1.0 - 1e-9;
                });
                if (!known) {
                    dyads.push_back({G, W});
                }
            }
        }
    }
    return dyads;
}

} // namespace cyclar
