// The words of the Design window and panel: rows, the chosen linkage, filters and Help.
#include "design_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace cyclar {

std::string listDegrees(double value)
{
    if (!std::isfinite(value)) {
        return "\u2013";
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string out = text;
    // The C library writes the decimal point of the process's locale (the desktop sets the
    // user's); %f writes no other comma.
    std::replace(out.begin(), out.end(), ',', '.');
    if (out == "-0.0") {
        out = "0.0";
    }
    return out + "\u00b0";
}

std::string typeText(const DesignCandidate& candidate)
{
    if (candidate.type.empty()) {
        return "No type";
    }
    std::string out = candidate.type;
    if (out[0] >= 'a' && out[0] <= 'z') {
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
    }
    return out;
}

std::string stateText(const DesignCandidate& candidate)
{
    if (candidate.usable()) {
        return "usable";
    }
    std::string out;
    for (const DesignDefect& defect : candidate.defects) {
        out += (out.empty() ? "" : ", ") + defectText(defect);
    }
    return out;
}

std::string transmissionText(const DesignCandidate& candidate)
{
    return listDegrees(candidate.transmission[0]) + " \u2013 "
           + listDegrees(candidate.transmission[1]);
}

std::string variantText(const DesignCandidate& candidate)
{
    std::string out = "pivot " + std::to_string(candidate.drivenPivot) + " drives, branch";
    const bool one = std::all_of(
        candidate.positions.begin(), candidate.positions.end(),
        [&](const PositionReach& r) { return r.branch == candidate.positions.front().branch; });
    if (one && !candidate.positions.empty()) {
        out += ' ';
        out += std::to_string(candidate.positions.front().branch);
    } else {
        out += "es";
        for (std::size_t i = 0; i < candidate.positions.size(); ++i) {
            out += i == 0 ? " " : ", ";
            out += std::to_string(candidate.positions[i].branch);
        }
    }
    if (candidate.otherEnds) {
        out += ", joints at other ends";
    }
    return out;
}

std::string candidateTitle(const DesignCandidate& candidate, std::size_t index)
{
    return "Candidate " + std::to_string(index + 1) + " (mechanism "
           + std::to_string(candidate.mechanism) + ", pivot "
           + std::to_string(candidate.drivenPivot) + " drives)";
}

std::string pickedTitle(bool firstPickDrives)
{
    return std::string("Picked on the map, the ") + (firstPickDrives ? "first" : "second")
           + " pick driving";
}

std::string chosenText(const DesignCandidate& candidate, const std::string& title, TaskKind kind)
{
    const LinkageDimensions& d = candidate.dims;
    std::string out = title;
    out += ": a = " + listDegrees(d.a) + ", b = " + listDegrees(d.b) + ", c = " + listDegrees(d.c)
           + ", f = " + listDegrees(d.f);
    if (kind == TaskKind::Motion) {
        out += ", h = " + listDegrees(d.h) + ", k = " + listDegrees(d.k);
    }
    out += ".\nInput \u03b8 at each ";
    out += kind == TaskKind::Motion ? "position: " : "pair: ";
    for (std::size_t i = 0; i < candidate.positions.size(); ++i) {
        const PositionReach& r = candidate.positions[i];
        out += (i == 0 ? "" : ", ") + listDegrees(r.input) + " (branch " + std::to_string(r.branch)
               + ")";
    }
    out += ".";
    if (kind == TaskKind::Function) {
        out += "\nOutput error: RMS " + listDegrees(candidate.rmsError) + ", greatest "
               + listDegrees(candidate.maxError) + ".";
    }
    return out;
}

Dyad pickedDyad(const SolutionMap& map, std::size_t pick)
{
    return map.marks.empty() ? mapDyad(map, pick) : map.marks[pick];
}

bool firstPickDrives(const SolutionMap& map, const std::vector<std::size_t>& picks,
                     const DesignCandidate& made)
{
    if (picks.empty()) {
        return true;
    }
    const SphereVector A0 = applied(made.placement, {1.0, 0.0, 0.0});
    return norm(cross(A0, pickedDyad(map, picks.front()).fixed)) < 1e-6;
}

std::string mapHint(const SolutionMap& map, const std::vector<std::size_t>& pickList,
                    const std::vector<DesignCandidate>& made)
{
    const std::size_t picks = pickList.size();
    if (map.empty()) {
        return map.reason;
    }
    const bool five = !map.marks.empty();
    if (picks == 0) {
        return five ? "The curves are those of the first four positions; the rings mark the "
                      "dyads of all five. Click a marked fixed pivot to pick it."
                    : "Fixed pivots lie on the thick centre-point curve, moving pivots (at the "
                      "first position) on the thin circle-point curve. Click the thick curve to "
                      "pick a fixed pivot.";
    }
    if (picks == 1) {
        return five ? "One pivot picked. Click another marked pivot."
                    : "One pivot picked. The curves show what a second pivot there gives: green "
                      "a usable linkage, orange linkages with defects, grey none. Click a "
                      "second.";
    }
    if (made.empty()) {
        return "These two pivots make no linkage that reaches every position. Click to start "
               "again.";
    }
    std::string out = "The two picks make ";
    for (std::size_t i = 0; i < made.size(); ++i) {
        const DesignCandidate& c = made[i];
        out += (i == 0 ? "" : "; and ") + typeText(c) + " (" + stateText(c) + ", μ "
               + transmissionText(c) + ")";
    }
    return out + ". Click to start again.";
}

std::string asSentence(const std::string& text)
{
    if (text.empty()) {
        return text;
    }
    std::string out = text;
    if (out[0] >= 'a' && out[0] <= 'z') {
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
    }
    if (out.back() != '.') {
        out += '.';
    }
    return out;
}

std::string resultText(const DesignResult& result)
{
    if (result.candidates.empty()) {
        return asSentence(result.reason);
    }
    std::string out;
    if (result.kind == TaskKind::Function) {
        out = "1 linkage fits the task.";
    } else {
        const std::size_t count = result.candidates.size();
        const int mechanisms = result.candidates.back().mechanism;
        out = std::to_string(mechanisms) + (mechanisms == 1 ? " mechanism (" : " mechanisms (")
              + std::to_string(count) + (count == 1 ? " candidate) " : " candidates) ")
              + (mechanisms == 1 ? "does" : "do") + " the task.";
    }
    if (!result.reason.empty()) {
        out += ' ';
        out += asSentence(result.reason);
    }
    return out;
}

bool passesFilter(const DesignCandidate& c, const CandidateFilter& filter)
{
    if (filter.usableOnly && !c.usable()) {
        return false;
    }
    const double margin = std::min(c.transmission[0], 180.0 - c.transmission[1]);
    if (filter.leastTransmission > 0.0 && !(margin >= filter.leastTransmission)) {
        return false;
    }
    for (const double link : {c.dims.a, c.dims.b, c.dims.c, c.dims.f}) {
        if (!(link >= filter.shortestLink && link <= filter.longestLink)) {
            return false;
        }
    }
    return true;
}

std::vector<HelpSection> designHelp()
{
    return {
        {"What to enter",
         {"Design finds spherical four-bars that do a task. A motion task guides a body (the "
          "coupler) through three to five positions. Each position is a point of the body on "
          "the unit sphere, given by its longitude and latitude in degrees, and a heading: the "
          "compass direction there of a line fixed in the body, 0\u00b0 north (toward latitude "
          "90\u00b0), 90\u00b0 east. With three positions you may give the two fixed pivots too "
          "(longitude and latitude).",
          "A function task coordinates two shafts: pairs of an input angle \u03b8 and an output "
          "angle \u03c8, in degrees. Four pairs fix a linkage; more give a least-squares fit; "
          "three need the ground f as well. Every angle lies within a turn either way "
          "(-360\u00b0 to 360\u00b0), every latitude strictly between -90\u00b0 and 90\u00b0. "
          "A table that one window designs, every window and cyclar-export design too, and "
          "Save task writes it."}},
        {"The frame and the angles",
         {"The task's frame is the sphere's: x toward longitude 0\u00b0 on the equator, y "
          "toward longitude 90\u00b0, z toward the north pole, so that the point is (cos "
          "latitude cos longitude, cos latitude sin longitude, sin latitude). A candidate has "
          "its own frame, as on the animation page: the input pivot A0 = (1, 0, 0) and the "
          "output pivot B0 = (cos f, sin f, 0); its placement turns that frame into the "
          "task's.",
          "The input angle \u03b8 is measured at A0 from the ground arc A0\u2192B0 to the input "
          "link A0\u2192A1, counter-clockwise as seen from outside the sphere. The output angle "
          "\u03c8 is measured at B0 from the ground arc continued beyond B0 to the output link "
          "B0\u2192B1. The transmission angle \u03bc lies at B1 between B1\u2192A1 and "
          "B1\u2192B0; near 90\u00b0 the coupler drives the output well, near 0\u00b0 or "
          "180\u00b0 badly."}},
        {"Branch and circuit",
         {"At most input angles a linkage can be put together in two ways, mirror images "
          "across the diagonal A1\u2013B0: branch 1 where B0 \u00b7 (A1 \u00d7 B1) > 0, branch "
          "2 where it is negative. A circuit is all the linkage reaches as its input turns, "
          "without taking it apart: an input that turns fully has one circuit on each branch; "
          "an input that rocks runs out on one branch and back on the other, the two meeting "
          "at its toggle positions (dead centres)."}},
        {"Defects",
         {"A usable candidate moves through its positions in order, driven by its input, "
          "without a defect. The defects: circuit (the positions lie on different circuits: "
          "the linkage would have to be taken apart), branch (one circuit, but on different "
          "branches, so the input would have to drive it through a toggle), order (met out of "
          "order whichever way the input turns), and toggle between positions i and i+1 (the "
          "input passes a dead centre on the way)."}},
        {"Mechanisms and variants",
         {"Each row of the list is one physical mechanism: the same fixed and moving joint "
          "axes, reaching the same body positions. Its variants are listed inside it: which "
          "fixed pivot drives (pivot 1 or 2), and at which end of its axis each joint is "
          "taken. A joint is an axis through the sphere's centre, so a link of a\u00b0 may as "
          "well be read as one of 180\u00b0 - a\u00b0 to the other end: the dimensions, the "
          "type and the branch numbers change, the motion does not.",
          "The candidates come in one order everywhere: usable first, then the transmission "
          "angle nearer 90\u00b0 on the way, then the shorter links, then the dimensions. "
          "Candidate N is the same linkage in the desktop window, the browser and "
          "cyclar-export design (--write N saves it). The filters keep usable candidates, a "
          "least transmission angle, or links within a range of lengths."}},
        {"The solution map",
         {"Four positions leave a one-parameter family of dyads (a fixed and a moving pivot "
          "that keep their distance in every position). Their fixed pivots lie on the "
          "centre-point curve, drawn thick, and their moving pivots, where they are at the "
          "first position, on the circle-point curve, drawn thin.",
          "Click or tap the centre-point curve to pick a fixed pivot: the curves are then "
          "coloured by what pairing it with each point gives, green for a usable linkage, "
          "orange for linkages with defects, grey for none. Pick a second point and the "
          "linkage the two make is shown at once, with its type, defects and transmission. "
          "Five positions have their dyads marked on the curves of the first four."}},
        {"Function fits",
         {"A function task is fitted by least squares in the output angle: the sum over the "
          "pairs of the squared difference, in degrees, between the pair's output and the "
          "linkage's at the pair's input is made as small as any real linkage (every arc "
          "between 0\u00b0 and 180\u00b0) allows. The RMS and the greatest error are given "
          "in degrees.",
          "Chebyshev spacing puts the inputs of n precision points over a range from \u03b8s "
          "to \u03b8e at \u03b8j = (\u03b8s + \u03b8e)/2 - (\u03b8e - \u03b8s)/2 cos((2j - "
          "1)\u03c0 / 2n), which spreads the error of a fit evenly over the range; then enter "
          "the outputs you want at them."}},
        {"Special tasks",
         {"A fixed pivot at the pole of the turn between two positions keeps every moving "
          "pivot on a great circle at one distance: a whole family does the task, and a few "
          "of it are offered. A task whose positions are all turns about one axis needs a "
          "single joint, not a four-bar. Positions that differ by less than 0.01\u00b0 cannot "
          "be told apart. A task whose answer swings wildly under a change of 0.01\u00b0 is "
          "said to be ill-conditioned: read its numbers again, or move its positions "
          "further apart."}},
    };
}

} // namespace cyclar
