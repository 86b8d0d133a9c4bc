// The working of a linkage at one input angle: the steps of the classification, the position,
// the limits, the velocity and the acceleration, each number taken from the kinematics' own
// functions and shown with the relation that gives it.
#include "working.h"

#include "linkage_file.h"
#include "significant_text.h"
#include "sphere_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace cyclar {

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
// An input angle this close (degrees) to a toggle's is the toggle: the rounding of its inputs
// could not tell them apart.
constexpr double atRounding = 1e-9;

const std::string minus = "\u2212";
const std::string degreeSign = "\u00b0";

std::string withMinusSigns(std::string text)
{
    std::string out;
    for (const char ch : text) {
        if (ch == '-') {
            out += minus;
        } else {
            out += ch;
        }
    }
    return out;
}

// A computed number for people: seven significant digits, never "-0", never a NaN.
std::string num(double x)
{
    if (!std::isfinite(x)) {
        return "not defined";
    }
    std::string text = significantText(x, 7);
    if (text == "-0") {
        return "0";
    }
    // 1.476562e+07 as 1.476562 × 10⁷, as it is written by hand.
    const std::size_t e = text.find('e');
    if (e != std::string::npos) {
        static const char* const superscripts[] = {"\u2070", "\u00b9", "\u00b2", "\u00b3",
                                                   "\u2074", "\u2075", "\u2076", "\u2077",
                                                   "\u2078", "\u2079"};
        const int exponent = std::stoi(text.substr(e + 1));
        std::string power = exponent < 0 ? "\u207b" : "";
        for (const char digit : std::to_string(exponent < 0 ? -exponent : exponent)) {
            power += superscripts[digit - '0'];
        }
        text = text.substr(0, e) + " \u00d7 10" + power;
    }
    return withMinusSigns(text);
}

// A number as it was given (a dimension, the input): all its digits.
std::string given(double x)
{
    return std::isfinite(x) ? withMinusSigns(shortestNumberText(x)) : "not defined";
}

std::string deg(double x)
{
    return std::isfinite(x) ? num(x) + degreeSign : num(x);
}

std::string givenDeg(double x)
{
    return std::isfinite(x) ? given(x) + degreeSign : given(x);
}

// A factor in a product: negative numbers in brackets.
std::string factor(const std::string& text, double x)
{
    return x < 0.0 ? "(" + text + ")" : text;
}

// cos 50°, cos(−30°)
std::string fn(const char* name, const std::string& angle, double x)
{
    return x < 0.0 ? std::string(name) + "(" + angle + ")" : std::string(name) + " " + angle;
}

std::string vec(const SphereVector& v)
{
    return std::string("(") + num(v.x) + ", " + num(v.y) + ", " + num(v.z) + ")";
}

std::vector<double> components(const SphereVector& v)
{
    return {v.x, v.y, v.z};
}

std::string capitalised(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

std::string sentence(const std::string& text)
{
    if (text.empty()) {
        return text;
    }
    const std::string out = capitalised(text);
    return out.back() == '.' ? out : out + ".";
}

// The larger of the two arcs a pair of links can span: their sum, or 360 less it past 180.
double foldedSum(double x, double y)
{
    const double sum = x + y;
    return sum <= 180.0 ? sum : 360.0 - sum;
}

// "b + c" or "360° − (b + c)" as the relation writes the longest third side.
std::string foldedSumSymbols(const char* x, const char* y, double sum)
{
    const std::string plain = std::string(x) + " + " + y;
    return sum <= 180.0 ? plain : "360" + degreeSign + " " + minus + " (" + plain + ")";
}

std::string foldedSumNumbers(double x, double y)
{
    const std::string plain = givenDeg(x) + " + " + givenDeg(y);
    return x + y <= 180.0 ? plain : "360" + degreeSign + " " + minus + " (" + plain + ")";
}

WorkingStep step(std::string name, std::string symbols, std::string numbers, std::string result,
                 std::vector<double> value = {}, std::string unit = {}, std::string note = {})
{
    return {std::move(name),  std::move(symbols), std::move(numbers), std::move(result),
            std::move(value), std::move(unit),    std::move(note)};
}

// A step that only says, in words, why the section ends here.
WorkingStep stop(std::string name, std::string note)
{
    WorkingStep s;
    s.name = std::move(name);
    s.result = "no working";
    s.note = std::move(note);
    return s;
}

const char* motionWords(LinkMotion motion)
{
    switch (motion) {
    case LinkMotion::Rotates:
        return "turns fully (a crank)";
    case LinkMotion::RocksThrough0:
        return "rocks through 0\u00b0 but not 180\u00b0 (a 0-rocker)";
    case LinkMotion::RocksThroughPi:
        return "rocks through 180\u00b0 but not 0\u00b0 (a \u03c0-rocker)";
    case LinkMotion::RocksBetween:
        break;
    }
    return "rocks on one side, through neither 0\u00b0 nor 180\u00b0";
}

std::string product(double x, double y)
{
    return factor(num(x), x) + "\u00b7" + factor(num(y), y) + " = " + num(x * y);
}

std::string signText(double x)
{
    return x > 0.0 ? "+" : x < 0.0 ? minus : "0";
}

// ---------------------------------------------------------------------------------------------
// Classification

WorkingSection classification(const LinkageDimensions& d, const LinkageAnalysis& an)
{
    WorkingSection section{classificationSection, {}};
    auto& steps = section.steps;
    if (!an.linksInRange) {
        steps.push_back(step("Links",
                             "0\u00b0 < a, b, c, f < 180\u00b0, where the spherical conditions "
                             "apply",
                             "a = " + givenDeg(d.a) + ", b = " + givenDeg(d.b)
                                 + ", c = " + givenDeg(d.c) + ", f = " + givenDeg(d.f),
                             "no type", {}, {}, an.reason));
        return section;
    }
    const std::string a = givenDeg(d.a), b = givenDeg(d.b), c = givenDeg(d.c), f = givenDeg(d.f);
    const std::string m = " " + minus + " ";
    steps.push_back(step("Grashof value T1", "T1 = f" + m + "a + c" + m + "b",
                         "T1 = " + f + m + a + " + " + c + m + b, "T1 = " + deg(an.T[0]), {an.T[0]},
                         "deg"));
    steps.push_back(step("Grashof value T2", "T2 = f" + m + "a" + m + "c + b",
                         "T2 = " + f + m + a + m + c + " + " + b, "T2 = " + deg(an.T[1]), {an.T[1]},
                         "deg"));
    steps.push_back(step("Grashof value T3", "T3 = c + b" + m + "f" + m + "a",
                         "T3 = " + c + " + " + b + m + f + m + a, "T3 = " + deg(an.T[2]), {an.T[2]},
                         "deg"));
    steps.push_back(step("Grashof value T4", "T4 = 360\u00b0" + m + "(a + b + c + f)",
                         "T4 = 360\u00b0" + m + "(" + a + " + " + b + " + " + c + " + " + f + ")",
                         "T4 = " + deg(an.T[3]), {an.T[3]}, "deg"));

    const auto [T1, T2, T3, T4] = an.T;
    std::string verdict;
    if (an.changePoint) {
        verdict = "some Ti = 0: a change point, neither Grashof nor non-Grashof";
    } else {
        verdict = *an.grashof ? "> 0: the condition holds, a Grashof linkage"
                              : "< 0: the condition fails, a non-Grashof linkage";
    }
    steps.push_back(step(workingSteps::grashof.step,
                         "Grashof when T1\u00b7T2\u00b7T3\u00b7T4 > 0; a change point when some "
                         "Ti = 0",
                         "T1\u00b7T2\u00b7T3\u00b7T4 = " + factor(num(T1), T1) + "\u00b7"
                             + factor(num(T2), T2) + "\u00b7" + factor(num(T3), T3) + "\u00b7"
                             + factor(num(T4), T4) + " = " + num(T1 * T2 * T3 * T4) + " deg\u2074",
                         "T1\u00b7T2\u00b7T3\u00b7T4 " + verdict));

    // Where the two triangles on the diagonal let it lie.
    const double inputLow = std::fabs(d.a - d.f);
    const double inputHigh = foldedSum(d.a, d.f);
    const double closeLow = std::fabs(d.b - d.c);
    const double closeHigh = foldedSum(d.b, d.c);
    const double low = std::max(inputLow, closeLow);
    const double high = std::min(inputHigh, closeHigh);
    std::string assembly = an.assemblable ? "the ranges meet from " + deg(low) + " to " + deg(high)
                                                + ": the linkage moves"
                           : an.rigid ? "the ranges meet at one diagonal: the linkage is rigid"
                                      : "the ranges do not meet: the linkage cannot be assembled";
    steps.push_back(step("Assembly",
                         "the diagonal d = B0\u2013A1 lies within |a" + m + "f| \u2264 d \u2264 "
                             + foldedSumSymbols("a", "f", d.a + d.f) + " (triangle A0 B0 A1) and |b"
                             + m + "c| \u2264 d \u2264 " + foldedSumSymbols("b", "c", d.b + d.c)
                             + " (triangle B0 A1 B1)",
                         deg(inputLow) + " \u2264 d \u2264 " + deg(inputHigh) + " and "
                             + deg(closeLow) + " \u2264 d \u2264 " + deg(closeHigh),
                         assembly, {}, {}, an.assemblable ? std::string() : an.reason));
    if (!an.assemblable) {
        return section;
    }

    steps.push_back(step("Input link's motion",
                         "\u03b8 reaches 0\u00b0 when T1\u00b7T2 \u2265 0 and 180\u00b0 when "
                         "T3\u00b7T4 \u2265 0",
                         "T1\u00b7T2 = " + product(T1, T2) + "; T3\u00b7T4 = " + product(T3, T4),
                         std::string("the input ") + motionWords(an.input)));
    steps.push_back(step("Output link's motion",
                         "\u03c8 reaches 180\u00b0 when T1\u00b7T3 \u2264 0 and 0\u00b0 when "
                         "T2\u00b7T4 \u2264 0",
                         "T1\u00b7T3 = " + product(T1, T3) + "; T2\u00b7T4 = " + product(T2, T4),
                         std::string("the output ") + motionWords(an.output)));
    const double s4 = T4 < 0.0 ? -1.0 : 1.0;
    steps.push_back(step(workingSteps::type.step,
                         "the input's and the output's motions; in the table of types, the "
                         "signs of T1, T2 and T3 each times the sign of T4",
                         "(T1, T2, T3)\u00b7sign T4 = (" + signText(T1 * s4) + ", "
                             + signText(T2 * s4) + ", " + signText(T3 * s4) + ")",
                         an.type, {}, {}, an.decision));

    const LinkageModel model = buildLinkageModel(d);
    const double lowerGap = model.lowerGap;
    const double upperGap = model.planarUpperGap;
    steps.push_back(
        step("The frame's label",
             "the planar rule: Grashof when |a" + m + "f|" + m + "|b" + m + "c| and (b + c)" + m
                 + "(a + f) are nonzero and of one sign",
             "|" + a + m + f + "|" + m + "|" + b + m + c + "| = " + deg(lowerGap) + "; (" + b
                 + " + " + c + ")" + m + "(" + a + " + " + f + ") = " + deg(upperGap),
             std::string("\u201c") + classificationLabel(model) + "\u201d", {}, {},
             an.labelNote.empty() ? "Here the label agrees with the spherical condition."
                                  : sentence(an.labelNote)));
    return section;
}

// ---------------------------------------------------------------------------------------------
// What is special at the input angle

struct Situation {
    bool closes = false;
    bool onPivot = false;     ///< A1 on B0 or on its antipode: delta is not defined
    bool inputToggle = false; ///< B1 on the great circle A1 B0
    bool outputToggle = false;
    bool flat = false; ///< both: all four joints on one great circle
    double e = nan;    ///< the arc A0-B1 at an output toggle
    std::string words;
};

bool near(double x, double y)
{
    return std::fabs(x - y) <= atRounding;
}

Situation situationAt(const LinkageDimensions& d, const LinkageAnalysis& an,
                      const OutputAngles& angles, double theta, double psi, const LinkageRates& r)
{
    Situation s;
    s.closes = angles.closes;
    const double sinD = std::sin(angles.diagonal * degree);
    s.onPivot = std::fabs(sinD) <= 1e-12;
    if (s.onPivot) {
        s.words = "A1 stands on " + std::string(angles.diagonal < 90.0 ? "B0" : "B0's antipode")
                  + " (d = " + deg(angles.diagonal)
                  + "): the direction of A1 from B0 is not defined, and B1 may stand anywhere "
                    "at arc b from B0, so the input does not fix the linkage here.";
        s.closes = false;
        return s;
    }
    if (!s.closes) {
        std::string reach;
        for (const double limit : an.inputLimits) {
            reach +=
                std::string(reach.empty() ? ", its limits at |\u03b8| = " : " and ") + deg(limit);
        }
        s.words = "The linkage cannot reach \u03b8 = " + deg(theta)
                  + ": the triangle B0 A1 B1 does not close on this diagonal. The input "
                  + motionWords(an.input) + reach + ".";
        return s;
    }
    // B1 on the great circle A1 B0: the triangle B0 A1 B1 is flat, its diagonal at an end of its
    // range. The diagonal is exact where the angles at its ends are not.
    const double dd = angles.diagonal;
    s.inputToggle = near(dd, std::fabs(d.b - d.c)) || near(dd, foldedSum(d.b, d.c))
                    || r.outputRate == std::numeric_limits<double>::infinity();
    // A1 on the great circle A0 B1: the arc A0-B1 is |a - c| or a + c.
    const PlacedPose pose = placedPose(d, theta, psi);
    s.e = arcDegrees(pose.A0, pose.B1);
    s.outputToggle =
        near(s.e, std::fabs(d.a - d.c)) || near(s.e, foldedSum(d.a, d.c)) || r.outputRate == 0.0;
    for (const double limit : an.outputLimits) {
        s.outputToggle = s.outputToggle || near(std::fabs(psi), limit);
    }
    // All four joints on the ground's great circle: A1 on it (theta 0 or 180) and B1 on A1 B0.
    const bool onGround = near(theta, 0.0) || near(std::fabs(theta), 180.0);
    s.flat = (s.inputToggle && onGround) || std::isnan(r.outputRate);
    const bool folded = angles.mu < 90.0;
    if (s.flat) {
        s.words = "All four joints lie on one great circle here: the linkage is flat, at a change "
                  "point, where it can pass from one branch to the other; its velocity is not "
                  "fixed by the position (0/0).";
    } else if (s.inputToggle) {
        s.words = std::string("B1 lies on the great circle through A1 and B0 (\u03bc = ")
                  + deg(angles.mu) + "): "
                  + (folded ? "the coupler is folded over the output link"
                            : "the coupler and the output link are stretched out in line")
                  + ", a toggle of the input. Both branches meet here; the input can turn no "
                    "further this way, and the velocity ratio d\u03c8/d\u03b8 is unbounded.";
    } else if (s.outputToggle) {
        s.words = "A0, A1 and B1 lie on one great circle (the arc A0\u2013B1 is " + deg(s.e) + "): "
                  + (std::fabs(s.e - std::fabs(d.a - d.c)) < std::fabs(s.e - foldedSum(d.a, d.c))
                         ? "the input link is folded over the coupler"
                         : "the input link and the coupler are stretched out in line")
                  + ", a toggle of the output: the output stands still at its limit, and the "
                    "mechanical advantage d\u03b8/d\u03c8 is unbounded.";
    }
    return s;
}

// ---------------------------------------------------------------------------------------------
// Position at theta

struct PositionFacts {
    double angleAtB0 = nan;  ///< angle(A0 B0 A1)
    double angleAtA1 = nan;  ///< angle(B0 A1 A0)
    double coupleAtA1 = nan; ///< angle(B0 A1 B1)
};

double lawOfCosinesAngle(double cosValue)
{
    return std::acos(std::clamp(cosValue, -1.0, 1.0)) / degree;
}

WorkingSection position(const Working& w, const OutputAngles& angles, const Situation& s,
                        PositionFacts& facts, WorkingResults& results)
{
    WorkingSection section{positionSection, {}};
    auto& steps = section.steps;
    const LinkageDimensions& d = w.dims;
    const double theta = w.theta;
    const std::string m = " " + minus + " ";
    const std::string thetaText = deg(theta);
    const double ca = std::cos(d.a * degree), sa = std::sin(d.a * degree);
    const double cb = std::cos(d.b * degree), sb = std::sin(d.b * degree);
    const double cc = std::cos(d.c * degree), sc = std::sin(d.c * degree);
    const double cf = std::cos(d.f * degree), sf = std::sin(d.f * degree);
    const double dd = angles.diagonal;
    const double cosD = ca * cf + sa * sf * std::cos(theta * degree);
    results.diagonal = dd;
    steps.push_back(step("Diagonal B0\u2013A1",
                         "cos d = cos a cos f + sin a sin f cos \u03b8 (triangle A0 B0 A1, whose "
                         "angle at A0 is \u03b8)",
                         "cos d = cos " + givenDeg(d.a) + " cos " + givenDeg(d.f) + " + sin "
                             + givenDeg(d.a) + " sin " + givenDeg(d.f) + " "
                             + fn("cos", thetaText, theta) + " = " + num(cosD),
                         "d = " + deg(dd), {dd}, "deg"));
    const double closeLow = std::fabs(d.b - d.c);
    const double closeHigh = foldedSum(d.b, d.c);
    steps.push_back(step("Closure",
                         "the triangle B0 A1 B1 closes when |b" + m + "c| \u2264 d \u2264 "
                             + foldedSumSymbols("b", "c", d.b + d.c),
                         deg(closeLow) + " \u2264 " + deg(dd) + " \u2264 " + deg(closeHigh),
                         s.closes    ? "it closes"
                         : s.onPivot ? "A1 stands on B0 or on its antipode"
                                     : "it does not close",
                         {}, {}, s.closes ? std::string() : s.words));
    if (!s.closes) {
        return section;
    }

    const double cosAtB0 = (ca - cf * cosD) / (sf * std::sin(dd * degree));
    facts.angleAtB0 = lawOfCosinesAngle(cosAtB0);
    steps.push_back(step("Angle \u2220A0B0A1", "cos a = cos f cos d + sin f sin d cos \u2220A0B0A1",
                         "cos \u2220A0B0A1 = (cos " + givenDeg(d.a) + m + "cos " + givenDeg(d.f)
                             + " cos " + deg(dd) + ") / (sin " + givenDeg(d.f) + " sin " + deg(dd)
                             + ") = " + num(cosAtB0),
                         "\u2220A0B0A1 = " + deg(facts.angleAtB0), {facts.angleAtB0}, "deg"));
    const double cosAtA1 = (cf - ca * cosD) / (sa * std::sin(dd * degree));
    facts.angleAtA1 = lawOfCosinesAngle(cosAtA1);
    steps.push_back(step("Angle \u2220B0A1A0", "cos f = cos a cos d + sin a sin d cos \u2220B0A1A0",
                         "cos \u2220B0A1A0 = (cos " + givenDeg(d.f) + m + "cos " + givenDeg(d.a)
                             + " cos " + deg(dd) + ") / (sin " + givenDeg(d.a) + " sin " + deg(dd)
                             + ") = " + num(cosAtA1),
                         "\u2220B0A1A0 = " + deg(facts.angleAtA1), {facts.angleAtA1}, "deg"));
    const double sinDelta = sa * std::sin(theta * degree) / std::sin(dd * degree);
    steps.push_back(step("Direction \u03b4 of A1 from B0",
                         "sin \u03b4 = sin a sin \u03b8 / sin d (the sine rule, which gives "
                         "\u03b4 the side of \u03b8), cos \u03b4 = "
                             + minus + "cos \u2220A0B0A1",
                         "sin \u03b4 = sin " + givenDeg(d.a) + " " + fn("sin", thetaText, theta)
                             + " / sin " + deg(dd) + " = " + num(sinDelta)
                             + ", cos \u03b4 = " + num(-cosAtB0),
                         "\u03b4 = " + deg(angles.direction), {angles.direction}, "deg",
                         "\u03b4 is measured as \u03c8 is: at B0 from the ground arc continued "
                         "beyond B0."));
    const double gamma = angles.spread;
    steps.push_back(
        step("Angle \u03b3 = \u2220A1B0B1", "cos c = cos b cos d + sin b sin d cos \u03b3",
             "cos \u03b3 = (cos " + givenDeg(d.c) + m + "cos " + givenDeg(d.b) + " cos " + deg(dd)
                 + ") / (sin " + givenDeg(d.b) + " sin " + deg(dd) + ") = " + num(angles.cosSpread),
             "\u03b3 = " + deg(gamma), {gamma}, "deg"));
    const double cosCouple = (cb - cc * cosD) / (sc * std::sin(dd * degree));
    facts.coupleAtA1 = lawOfCosinesAngle(cosCouple);
    steps.push_back(step("Angle \u2220B0A1B1", "cos b = cos c cos d + sin c sin d cos \u2220B0A1B1",
                         "cos \u2220B0A1B1 = (cos " + givenDeg(d.b) + m + "cos " + givenDeg(d.c)
                             + " cos " + deg(dd) + ") / (sin " + givenDeg(d.c) + " sin " + deg(dd)
                             + ") = " + num(cosCouple),
                         "\u2220B0A1B1 = " + deg(facts.coupleAtA1), {facts.coupleAtA1}, "deg"));

    const double psi1 = angles.psi[0], psi2 = angles.psi[1];
    const std::size_t asked = static_cast<std::size_t>(w.branch - 1);
    results.output = angles.psi[asked];
    results.outputOther = angles.psi[1 - asked];
    const auto sumText = [&](const char* op, double value) {
        return deg(angles.direction) + " " + op + " " + deg(gamma) + " = " + deg(value);
    };
    steps.push_back(step(
        workingSteps::output.step,
        "\u03c8 = \u03b4 + \u03b3 on branch 1, \u03c8 = \u03b4 " + minus
            + " \u03b3 on branch 2, each within (" + minus + "180\u00b0, 180\u00b0]",
        "\u03c8\u2081 = " + sumText("+", psi1) + "; \u03c8\u2082 = " + sumText(minus.c_str(), psi2),
        "\u03c8 = " + deg(results.output) + " on branch " + std::to_string(w.branch) + " (asked); "
            + deg(results.outputOther) + " on branch " + std::to_string(3 - w.branch),
        {results.output}, "deg",
        s.inputToggle ? "\u03b3 = 0\u00b0 or 180\u00b0 to rounding: the two "
                        "branches meet at a toggle of the input."
                      : std::string()));

    const PlacedPose& pose = *w.pose;
    const double triple = det3(pose.B0, pose.A1, pose.B1);
    steps.push_back(step("Branch",
                         "branch 1 where B0 \u00b7 (A1 \u00d7 B1) > 0, branch 2 where it is < 0",
                         "B0 \u00b7 (A1 \u00d7 B1) = " + num(triple),
                         "branch " + std::to_string(w.branch) + ", as asked", {}, {},
                         s.inputToggle ? "At the toggle B0 \u00b7 (A1 \u00d7 B1) is 0 to "
                                         "rounding: B1 is on the great circle A1 B0."
                                       : std::string()));

    const double cosMu = (cosD - cb * cc) / (sb * sc);
    results.transmission = angles.mu;
    steps.push_back(step(workingSteps::transmission.step,
                         "cos d = cos b cos c + sin b sin c cos \u03bc, \u03bc = \u2220A1B1B0 (the "
                         "same on both branches)",
                         "cos \u03bc = (cos " + deg(dd) + m + "cos " + givenDeg(d.b) + " cos "
                             + givenDeg(d.c) + ") / (sin " + givenDeg(d.b) + " sin " + givenDeg(d.c)
                             + ") = " + num(cosMu),
                         "\u03bc = " + deg(angles.mu), {angles.mu}, "deg"));

    const double side = theta >= 0.0 ? 1.0 : -1.0;
    const double turn = w.branch == 1 ? 1.0 : -1.0;
    const double coupler = 180.0 + side * facts.angleAtA1 - turn * facts.coupleAtA1;
    results.coupler = wrapDegrees(coupler);
    steps.push_back(
        step(workingSteps::coupler.step,
             "at A1 from the input link continued beyond A1 to the coupler A1\u2192B1: 180\u00b0 "
             "+ s\u00b7\u2220B0A1A0 "
                 + minus + " b\u00b7\u2220B0A1B1, s = +1 for \u03b8 \u2265 0 (" + minus
                 + "1 below), b = +1 on branch 1 (" + minus + "1 on branch 2)",
             "180\u00b0 " + std::string(side > 0 ? "+ " : minus + " ") + deg(facts.angleAtA1) + " "
                 + (turn > 0 ? minus + " " : std::string("+ ")) + deg(facts.coupleAtA1) + " = "
                 + deg(coupler),
             "coupler angle = " + deg(results.coupler), {results.coupler}, "deg",
             "Counter-clockwise seen from outside the sphere, within (" + minus
                 + "180\u00b0, 180\u00b0]."));

    steps.push_back(step("Joint A1", "A1 = (cos a, sin a cos \u03b8, sin a sin \u03b8)",
                         "A1 = (cos " + givenDeg(d.a) + ", sin " + givenDeg(d.a) + " "
                             + fn("cos", thetaText, theta) + ", sin " + givenDeg(d.a) + " "
                             + fn("sin", thetaText, theta) + ")",
                         "A1 = " + vec(pose.A1), components(pose.A1), "1"));
    const std::string psiText = deg(results.output);
    steps.push_back(step("Joint B1",
                         "B1 = (cos b cos f " + minus
                             + " sin b sin f cos \u03c8, cos b sin f + sin "
                               "b cos f cos \u03c8, sin b sin \u03c8)",
                         "B1 = (cos " + givenDeg(d.b) + " cos " + givenDeg(d.f) + " " + minus
                             + " sin " + givenDeg(d.b) + " sin " + givenDeg(d.f) + " "
                             + fn("cos", psiText, results.output) + ", cos " + givenDeg(d.b)
                             + " sin " + givenDeg(d.f) + " + sin " + givenDeg(d.b) + " cos "
                             + givenDeg(d.f) + " " + fn("cos", psiText, results.output) + ", sin "
                             + givenDeg(d.b) + " " + fn("sin", psiText, results.output) + ")",
                         "B1 = " + vec(pose.B1), components(pose.B1), "1"));
    const SphereVector u = tangentToward(pose.A1, pose.B1);
    results.P = pose.P;
    steps.push_back(step("Coupler point P",
                         "P = cos h A1 + sin h (cos k u + sin k A1 \u00d7 u), u = (B1 " + minus
                             + " cos c A1) / sin c, the unit tangent at A1 toward B1",
                         "u = " + vec(u) + "; P = cos " + givenDeg(d.h) + " A1 + sin "
                             + givenDeg(d.h) + " (" + fn("cos", givenDeg(d.k), d.k) + " u + "
                             + fn("sin", givenDeg(d.k), d.k) + " A1 \u00d7 u)",
                         "P = " + vec(pose.P), components(pose.P), "1"));
    return section;
}

// ---------------------------------------------------------------------------------------------
// Limits

// One toggle of a link: the arc of the triangle that goes flat there (its name, how it is
// found, its value) and the cosine of the link's angle the law of cosines gives.
struct Toggle {
    std::string arc;      ///< "d = |30° − 35°|"
    double value = 0.0;   ///< the arc, degrees
    std::string relation; ///< "(cos 5° − cos 50° cos 40°) / (sin 50° sin 40°)"
    double cosine = 0.0;
};

// The limits of one link: none when it turns fully (`fully` the test that says so), else the
// relation and the toggles that give them.
WorkingStep limitStep(const WorkingPlace& place, const std::string& link, const char* angle,
                      LinkMotion motion, const std::vector<double>& limits,
                      const std::array<std::string, 2>& fully, const std::string& symbols,
                      const std::vector<Toggle>& toggles)
{
    if (motion == LinkMotion::Rotates) {
        return step(place.step, fully[0], fully[1], "none: the " + link + " turns fully");
    }
    std::string numbers;
    for (const Toggle& t : toggles) {
        numbers += std::string(numbers.empty() ? "" : "; ") + t.arc + " = " + deg(t.value)
                   + ": cos |" + angle + "| = " + t.relation + " = " + num(t.cosine);
    }
    std::string result;
    for (const double limit : limits) {
        result += (result.empty() ? "|" + std::string(angle) + "| = " : std::string(" and "))
                  + deg(limit);
    }
    return step(place.step, symbols, numbers, result, limits, "deg",
                sentence("the " + link + " " + motionWords(motion)));
}

WorkingSection limits(const LinkageDimensions& d, const LinkageAnalysis& an)
{
    WorkingSection section{limitsSection, {}};
    auto& steps = section.steps;
    const std::string m = " " + minus + " ";
    const auto [T1, T2, T3, T4] = an.T;
    const std::string a = givenDeg(d.a), b = givenDeg(d.b), c = givenDeg(d.c), f = givenDeg(d.f);
    const double ca = std::cos(d.a * degree), sa = std::sin(d.a * degree);
    const double cb = std::cos(d.b * degree), sb = std::sin(d.b * degree);
    const double cf = std::cos(d.f * degree), sf = std::sin(d.f * degree);

    std::vector<Toggle> inputToggles;
    const auto inputToggle = [&](double diagonal, const std::string& text) {
        inputToggles.push_back({"d = " + text, diagonal,
                                "(cos " + deg(diagonal) + m + "cos " + a + " cos " + f + ") / (sin "
                                    + a + " sin " + f + ")",
                                (std::cos(diagonal * degree) - ca * cf) / (sa * sf)});
    };
    if (T1 * T2 < 0.0) {
        inputToggle(std::fabs(d.b - d.c), "|" + b + m + c + "|");
    }
    if (T3 * T4 < 0.0) {
        inputToggle(foldedSum(d.b, d.c), foldedSumNumbers(d.b, d.c));
    }
    steps.push_back(limitStep(
        workingSteps::inputLimits, "input", "\u03b8", an.input, an.inputLimits,
        {"the input turns fully when T1\u00b7T2 \u2265 0 and T3\u00b7T4 \u2265 0",
         "T1\u00b7T2 = " + product(T1, T2) + "; T3\u00b7T4 = " + product(T3, T4)},
        "cos |\u03b8| = (cos d" + m
            + "cos a cos f) / (sin a sin f) at a toggle of the input, "
              "where B1 is on the great circle A1 B0: d = |b"
            + m + "c| (coupler folded over the output link, when T1\u00b7T2 < 0) or d = "
            + foldedSumSymbols("b", "c", d.b + d.c) + " (stretched in line, when T3\u00b7T4 < 0)",
        inputToggles));

    std::vector<Toggle> outputToggles;
    const auto outputToggle = [&](double e, const std::string& text) {
        outputToggles.push_back(
            {"e = " + text, e,
             "(cos " + b + " cos " + f + m + "cos " + deg(e) + ") / (sin " + b + " sin " + f + ")",
             (cb * cf - std::cos(e * degree)) / (sb * sf)});
    };
    if (T1 * T3 > 0.0) {
        outputToggle(std::fabs(d.a - d.c), "|" + a + m + c + "|");
    }
    if (T2 * T4 > 0.0) {
        outputToggle(foldedSum(d.a, d.c), foldedSumNumbers(d.a, d.c));
    }
    steps.push_back(limitStep(
        workingSteps::outputLimits, "output", "\u03c8", an.output, an.outputLimits,
        {"the output turns fully when T1\u00b7T3 \u2264 0 and T2\u00b7T4 \u2264 0",
         "T1\u00b7T3 = " + product(T1, T3) + "; T2\u00b7T4 = " + product(T2, T4)},
        "cos |\u03c8| = (cos b cos f" + m
            + "cos e) / (sin b sin f) at a toggle of the output, "
              "where A0, A1 and B1 are on one great circle: e = A0\u2013B1 = |a"
            + m + "c| (input link folded over the coupler, when T1\u00b7T3 > 0) or e = "
            + foldedSumSymbols("a", "c", d.a + d.c) + " (stretched in line, when T2\u00b7T4 > 0)",
        outputToggles));

    steps.push_back(step(
        "Range of the transmission angle",
        "\u03bc grows with d (cos d = cos b cos c + sin b sin c cos \u03bc), so its extremes lie "
        "at the ends of the range of d the linkage reaches",
        "\u03bc = " + deg(an.transmission[0]) + " at |\u03b8| = " + deg(an.transmissionAt[0])
            + "; \u03bc = " + deg(an.transmission[1])
            + " at |\u03b8| = " + deg(an.transmissionAt[1]),
        "\u03bc from " + deg(an.transmission[0]) + " to " + deg(an.transmission[1]),
        {an.transmission[0], an.transmission[1]}, "deg"));

    if (an.swing && an.timeRatio && an.strokeInputs && an.outputLimits.size() == 2) {
        const double low = an.outputLimits[0], high = an.outputLimits[1];
        steps.push_back(step(workingSteps::swing.step,
                             "the rocker swings between its two limits: swing = |\u03c8|max "
                                 + minus + " |\u03c8|min",
                             "swing = " + deg(high) + m + deg(low), "swing = " + deg(*an.swing),
                             {*an.swing}, "deg"));
        const auto [first, second] = *an.strokeInputs;
        steps.push_back(
            step("Input at the output's limits",
                 "at each limit A0, A1 and B1 lie on one great circle, A1 at arc a from "
                 "A0 and arc c from B1",
                 "at |\u03c8| = " + deg(low) + ": \u03b8 = " + deg(first)
                     + "; at |\u03c8| = " + deg(high) + ": \u03b8 = " + deg(second),
                 "\u03b8\u2032 = " + deg(first) + ", \u03b8\u2033 = " + deg(second),
                 {first, second}, "deg"));
        const double stroke = std::fmod(second - first + 720.0, 360.0);
        const double longer = std::max(stroke, 360.0 - stroke);
        steps.push_back(step(workingSteps::timeRatio.step,
                             "Q = the longer stroke / the shorter, the strokes (\u03b8\u2033 "
                                 + minus + " \u03b8\u2032) mod 360\u00b0 and 360\u00b0 less that",
                             "Q = " + deg(longer) + " / " + deg(360.0 - longer),
                             "Q = " + num(*an.timeRatio), {*an.timeRatio}, "1"));
    }
    return section;
}

// ---------------------------------------------------------------------------------------------
// Velocity and acceleration at theta

WorkingSection velocity(const Working& w, const LinkageRates& r, const Situation& s,
                        WorkingResults& results)
{
    WorkingSection section{velocitySection, {}};
    auto& steps = section.steps;
    const PlacedPose& p = *w.pose;
    const SphereVector A0xA1 = cross(p.A0, p.A1);
    const SphereVector B0xB1 = cross(p.B0, p.B1);
    const double N = dot(A0xA1, p.B1);
    const double D = dot(B0xB1, p.A1);
    const double loop = dot(p.A1, p.B1);
    steps.push_back(
        step("Loop equation", "A1 \u00b7 B1 = cos c at every \u03b8: the coupler keeps its length",
             "A1 \u00b7 B1 = " + vec(p.A1) + " \u00b7 " + vec(p.B1) + " = " + num(loop),
             "A1 \u00b7 B1 = cos " + givenDeg(w.dims.c) + " = " + num(std::cos(w.dims.c * degree)),
             {loop}, "1"));
    steps.push_back(step(
        "Its derivative",
        "dA1/d\u03b8 = A0 \u00d7 A1 and dB1/d\u03b8 = \u03c8\u2032 B0 \u00d7 B1, so "
        "(A0 \u00d7 A1) \u00b7 B1 + \u03c8\u2032 (B0 \u00d7 B1) \u00b7 A1 = 0",
        "(A0 \u00d7 A1) \u00b7 B1 = " + num(N) + "; D = (B0 \u00d7 B1) \u00b7 A1 = " + num(D),
        "D = " + num(D), {D}, "1",
        s.inputToggle ? "D = 0 to rounding: B1 is on the great circle A1 B0." : std::string()));
    if (s.flat) {
        steps.push_back(stop(workingSteps::outputRate.step, s.words));
        return section;
    }
    if (s.inputToggle) {
        steps.push_back(step(
            workingSteps::outputRate.step,
            "\u03c8\u2032 = " + minus + "(A0 \u00d7 A1) \u00b7 B1 / ((B0 \u00d7 B1) \u00b7 A1)",
            "\u03c8\u2032 = " + minus + "(" + num(N) + ") / 0",
            "unbounded: the output's rate changes sign through infinity", {}, {}, s.words));
        steps.push_back(step(workingSteps::mechanicalAdvantage.step,
                             "d\u03b8/d\u03c8 = 1 / \u03c8\u2032", "1 / \u221e",
                             "d\u03b8/d\u03c8 = 0", {0.0}, "1"));
        results.mechanicalAdvantage = 0.0;
        return section;
    }
    results.outputRate = r.outputRate;
    steps.push_back(
        step(workingSteps::outputRate.step,
             "\u03c8\u2032 = " + minus + "(A0 \u00d7 A1) \u00b7 B1 / ((B0 \u00d7 B1) \u00b7 A1)",
             "\u03c8\u2032 = " + minus + factor(num(N), N) + " / " + factor(num(D), D),
             "d\u03c8/d\u03b8 = " + num(r.outputRate), {r.outputRate}, "1",
             s.outputToggle ? s.words : std::string()));
    steps.push_back(step("Coupler's relative rate \u03b1\u2032",
                         "\u03c9 = A0 + \u03b1\u2032 A1 = \u03c8\u2032 B0 + \u03b2\u2032 B1; "
                         "the dot product with B0 \u00d7 B1 gives \u03b1\u2032 = "
                             + minus + "A0 \u00b7 (B0 \u00d7 B1) / D",
                         "\u03b1\u2032 = " + minus + factor(num(dot(p.A0, B0xB1)), dot(p.A0, B0xB1))
                             + " / " + factor(num(D), D),
                         "\u03b1\u2032 = " + num(r.inputRelativeRate), {r.inputRelativeRate}, "1",
                         "The coupler's rate about A1 relative to the input link."));
    results.couplerRate = r.couplerRate;
    steps.push_back(step(
        workingSteps::couplerRate.step, "\u03c9 = A0 + \u03b1\u2032 A1",
        "\u03c9 = (1, 0, 0) + " + factor(num(r.inputRelativeRate), r.inputRelativeRate) + "\u00b7"
            + vec(p.A1) + " = " + vec(r.couplerVelocity),
        "|\u03c9| = " + num(r.couplerRate), {r.couplerRate}, "1", "Per unit rate of the input."));
    steps.push_back(step("Pole",
                         "\u03c9 / |\u03c9|, where the coupler's axis meets the sphere; "
                         "it lies on the great circles A0 A1 and B0 B1",
                         vec(r.couplerVelocity) + " / " + num(r.couplerRate),
                         "pole = " + vec(r.pole), components(r.pole), "1"));
    results.pointSpeed = r.pointSpeed;
    steps.push_back(step(workingSteps::pointSpeed.step, "dP/d\u03b8 = \u03c9 \u00d7 P",
                         "dP/d\u03b8 = " + vec(r.couplerVelocity) + " \u00d7 " + vec(p.P) + " = "
                             + vec(r.pointVelocity),
                         "|dP/d\u03b8| = " + num(r.pointSpeed), {r.pointSpeed}, "1"));
    if (s.outputToggle) {
        steps.push_back(step(workingSteps::mechanicalAdvantage.step,
                             "d\u03b8/d\u03c8 = 1 / \u03c8\u2032", "1 / 0",
                             "unbounded: the output stands still", {}, {}, s.words));
    } else {
        results.mechanicalAdvantage = r.mechanicalAdvantage;
        steps.push_back(
            step(workingSteps::mechanicalAdvantage.step, "d\u03b8/d\u03c8 = 1 / \u03c8\u2032",
                 "d\u03b8/d\u03c8 = 1 / " + factor(num(r.outputRate), r.outputRate),
                 "d\u03b8/d\u03c8 = " + num(r.mechanicalAdvantage), {r.mechanicalAdvantage}, "1"));
    }
    return section;
}

WorkingSection acceleration(const Working& w, const LinkageRates& r, const Situation& s,
                            WorkingResults& results)
{
    WorkingSection section{accelerationSection, {}};
    auto& steps = section.steps;
    if (s.flat || s.inputToggle) {
        steps.push_back(stop(workingSteps::outputAcceleration.step,
                             s.flat ? s.words
                                    : "At a toggle of the input the velocity ratio is unbounded, "
                                      "and so is its rate of change: there is no acceleration to "
                                      "work out here."));
        return section;
    }
    const PlacedPose& p = *w.pose;
    const SphereVector A0xA1 = cross(p.A0, p.A1);
    const SphereVector B0xB1 = cross(p.B0, p.B1);
    const double D = dot(B0xB1, p.A1);
    const double X = dot(cross(p.A0, A0xA1), p.B1);
    const double Y = dot(A0xA1, B0xB1);
    const double Z = dot(cross(p.B0, B0xB1), p.A1);
    const double rate = r.outputRate;
    results.outputAcceleration = r.outputAcceleration;
    steps.push_back(step(
        workingSteps::outputAcceleration.step,
        "the loop equation differentiated twice: (A0 \u00d7 (A0 \u00d7 A1)) \u00b7 B1 + "
        "2\u03c8\u2032 (A0 \u00d7 A1) \u00b7 (B0 \u00d7 B1) + \u03c8\u2032\u00b2 (B0 \u00d7 (B0 "
        "\u00d7 B1)) \u00b7 A1 + \u03c8\u2033 D = 0",
        "\u03c8\u2033 = " + minus + "(" + num(X) + " + 2\u00b7" + factor(num(rate), rate) + "\u00b7"
            + factor(num(Y), Y) + " + " + factor(num(rate), rate) + "\u00b2\u00b7"
            + factor(num(Z), Z) + ") / " + factor(num(D), D),
        "d\u00b2\u03c8/d\u03b8\u00b2 = " + num(r.outputAcceleration), {r.outputAcceleration},
        "1/rad", "Per radian of input, the input turning at a constant rate."));
    steps.push_back(step("Coupler's relative acceleration \u03b1\u2033",
                         "\u03c9 = A0 + \u03b1\u2032 A1 = \u03c8\u2032 B0 + \u03b2\u2032 B1 "
                         "differentiated: \u03b1\u2033 = r \u00b7 (B0 \u00d7 B1) / D with r = "
                         "\u03b2\u2032\u03c8\u2032 B0 \u00d7 B1 "
                             + minus
                             + " \u03b1\u2032 A0 \u00d7 A1, \u03b2\u2032 = A0 \u00b7 (A1 "
                               "\u00d7 B0) / D",
                         "\u03b2\u2032 = " + num(r.outputRelativeRate)
                             + ", \u03b1\u2032 = " + num(r.inputRelativeRate),
                         "\u03b1\u2033 = " + num(r.inputRelativeAcceleration),
                         {r.inputRelativeAcceleration}, "1/rad"));
    const double epsilon = norm(r.couplerAcceleration);
    steps.push_back(step(
        "Coupler's angular acceleration \u03b5",
        "\u03b5 = \u03b1\u2033 A1 + \u03b1\u2032 A0 \u00d7 A1",
        "\u03b5 = " + factor(num(r.inputRelativeAcceleration), r.inputRelativeAcceleration)
            + "\u00b7" + vec(p.A1) + " + " + factor(num(r.inputRelativeRate), r.inputRelativeRate)
            + "\u00b7" + vec(A0xA1) + " = " + vec(r.couplerAcceleration),
        "|\u03b5| = " + num(epsilon), {epsilon}, "1/rad"));
    results.pointAcceleration = r.pointAccelerationMagnitude;
    steps.push_back(
        step("Acceleration of P",
             "d\u00b2P/d\u03b8\u00b2 = \u03b5 \u00d7 P + \u03c9 \u00d7 (\u03c9 \u00d7 P)",
             "d\u00b2P/d\u03b8\u00b2 = " + vec(r.couplerAcceleration) + " \u00d7 " + vec(p.P)
                 + " + " + vec(r.couplerVelocity) + " \u00d7 " + vec(r.pointVelocity) + " = "
                 + vec(r.pointAcceleration),
             "|d\u00b2P/d\u03b8\u00b2| = " + num(r.pointAccelerationMagnitude),
             {r.pointAccelerationMagnitude}, "1/rad"));
    return section;
}

std::string titleOf(const Working& w)
{
    const LinkageDimensions& d = w.dims;
    return "The working for a = " + givenDeg(d.a) + ", b = " + givenDeg(d.b)
           + ", c = " + givenDeg(d.c) + ", f = " + givenDeg(d.f) + ", h = " + givenDeg(d.h)
           + ", k = " + givenDeg(d.k) + " at \u03b8 = " + deg(w.theta) + " on branch "
           + std::to_string(w.branch);
}

} // namespace

Working explainLinkage(const LinkageDimensions& dims, double theta, int branch)
{
    Working w;
    w.dims = dims;
    w.input = theta;
    w.theta = wrapDegrees(theta);
    w.branch = branch == 2 ? 2 : 1;
    w.title = titleOf(w);
    WorkingResults& results = w.results;
    results = {nan, nan, nan, nan, nan,
               {},  {},  {},  nan, nan,
               nan, nan, nan, nan, SphereVector{nan, nan, nan}};
    w.analysis = analyseLinkage(dims);
    const LinkageAnalysis& an = w.analysis;
    results.T = an.T;
    results.inputLimits = an.inputLimits;
    results.outputLimits = an.outputLimits;

    w.sections.push_back(classification(dims, an));
    if (!an.linksInRange || !an.assemblable) {
        const std::string why =
            !an.linksInRange
                ? "The working needs a, b, c and f strictly between 0\u00b0 and 180\u00b0."
                : (an.rigid ? "The linkage is rigid: it has no motion to work out."
                            : "The linkage cannot be assembled: it has no positions to work out.");
        w.situation = why;
        for (const char* title :
             {positionSection, limitsSection, velocitySection, accelerationSection}) {
            w.sections.push_back({title, {stop("No working", why)}});
        }
        return w;
    }

    const OutputAngles angles = outputAnglesAt(dims, w.theta);
    const std::size_t asked = static_cast<std::size_t>(w.branch - 1);
    const OutputRates rates = outputRatesAt(dims, w.theta);
    const LinkageRates& r = rates.branch[asked];
    const Situation s = situationAt(dims, an, angles, w.theta, angles.psi[asked], r);
    if (s.closes) {
        w.pose = placedPose(dims, w.theta, angles.psi[asked]);
    }
    w.situation = s.words;

    PositionFacts facts;
    w.sections.push_back(position(w, angles, s, facts, results));
    w.sections.push_back(limits(dims, an));
    if (!s.closes) {
        const std::string why = "There is no position at \u03b8 = " + deg(w.theta)
                                + ", so nothing moves there to work out.";
        w.sections.push_back({velocitySection, {stop("No working", why)}});
        w.sections.push_back({accelerationSection, {stop("No working", why)}});
        return w;
    }
    w.sections.push_back(velocity(w, r, s, results));
    w.sections.push_back(acceleration(w, r, s, results));
    return w;
}

const WorkingStep* findStep(const Working& working, const WorkingPlace& place)
{
    for (const WorkingSection& section : working.sections) {
        if (section.title != place.section) {
            continue;
        }
        for (const WorkingStep& s : section.steps) {
            if (s.name == place.step) {
                return &s;
            }
        }
    }
    return nullptr;
}

} // namespace cyclar
