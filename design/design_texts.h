// What the Design window and the browser's Design panel say about candidates, written once: the
// rows of mechanisms and their variants, the chosen linkage's dimensions and inputs, the
// filters, and the Design section of Help.
#pragma once

#include "four_position_map.h"
#include "linkage_design.h"

#include <string>
#include <vector>

namespace cyclar {

/// An angle as the lists show it: one decimal and a degree sign ("49.5°"); a dash when it is not
/// finite.
std::string listDegrees(double value);

/// The candidate's type with a capital, or "No type".
std::string typeText(const DesignCandidate& candidate);

/// "usable", or its defects in words, joined by commas.
std::string stateText(const DesignCandidate& candidate);

/// "64.1° – 93.3°": the transmission angle's least and greatest value on the way.
std::string transmissionText(const DesignCandidate& candidate);

/// Which of its mechanism's fixed pivots drives, and the branch or branches it goes on:
/// "pivot 1 drives, branch 1", "pivot 2 drives, branches 1, 2, 1"; with ", joints at other ends"
/// when some joint is taken at the other end of its axis.
std::string variantText(const DesignCandidate& candidate);

/// "Candidate 3 (mechanism 1, pivot 2 drives)": a candidate of the list by its number.
std::string candidateTitle(const DesignCandidate& candidate, std::size_t index);

/// "Picked on the map, the first pick driving" (or "the second"): a linkage of two picks.
std::string pickedTitle(bool firstPickDrives);

/// The shown linkage in full, for the lines under the list: the title, then ": a = 30.1°,
/// b = 49.5°, c = 35.1°, f = 40.0°, h = 24.2°, k = 100.6°." (h and k for motion only), then
/// "Input θ at each position: 55.1° (branch 1), ..." (or "at each pair"), then for a function
/// candidate "Output error: RMS 0.21°, greatest 0.48°."
std::string chosenText(const DesignCandidate& candidate, const std::string& title, TaskKind kind);

/// What the solution map asks for next, or says of what the picks made: with no pick, how to
/// pick (a point of the thick curve; for five positions a marked pivot); with one, what the
/// colours say; with two, the type, defects and transmission of each linkage they make.
std::string mapHint(const SolutionMap& map, const std::vector<std::size_t>& picks,
                    const std::vector<DesignCandidate>& made);

/// The fixed pivot of pick i: a point of the map's centre-point curve, or for five positions a
/// mark's.
Dyad pickedDyad(const SolutionMap& map, std::size_t pick);

/// Whether the first of the picks drives the linkage they made.
bool firstPickDrives(const SolutionMap& map, const std::vector<std::size_t>& picks,
                     const DesignCandidate& made);

/// The text as a sentence of its own: a capital first, a full stop last. The core's reasons are
/// written to follow "the task" or to stand in a list.
std::string asSentence(const std::string& text);

/// What a design found, for the line over the list: "6 mechanisms (192 candidates) do the
/// task." ("1 linkage fits the task." for a function task), then the result's reason as a
/// sentence; or, with no candidates, the reason alone.
std::string resultText(const DesignResult& result);

/// The filters of the candidate list.
struct CandidateFilter {
    bool usableOnly = false;
    /// The transmission angle must stay at least this far (degrees) from 0 and 180.
    double leastTransmission = 0.0;
    /// Every link a, b, c, f within this range (degrees).
    double shortestLink = 0.0;
    double longestLink = 180.0;
};

/// Whether a candidate passes the filters.
bool passesFilter(const DesignCandidate& candidate, const CandidateFilter& filter);

/// One section of Help: a heading and its paragraphs.
struct HelpSection {
    std::string heading;
    std::vector<std::string> paragraphs;
};

/// The Design section of Help: what to enter, the frame, heading (0 north, 90 east), branch,
/// circuit, the defects, mechanisms and variants, the solution map, function fits.
std::vector<HelpSection> designHelp();

} // namespace cyclar
