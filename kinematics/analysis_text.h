// The Analysis window's sentences about a linkage, written once for the desktop and the browser.
#pragma once

#include "linkage_analysis.h"

#include <string>
#include <vector>

namespace cyclar {

/// One paragraph of the window: its name (type, decision, values, labelNote, motion), which the
/// front ends style and find it by, and its text (lines apart by '\n').
struct AnalysisParagraph {
    std::string name;
    std::string text;
};

/// The window's paragraphs in the order shown: the type, the condition that decided it, the four
/// Grashof values, why the frame's label may say otherwise (when it does), and, for a linkage
/// that moves, how the input and the output move, the rocker's swing and time ratio (for a
/// crank-rocker) and the range of the transmission angle.
std::vector<AnalysisParagraph> analysisParagraphs(const LinkageAnalysis& analysis);

/// An angle in degrees with `decimals` decimals and the degree sign ("12.5°"); a value that is
/// not finite is a dash, as the design's lists show a value that is not there.
std::string degreesText(double value, int decimals = 1);

} // namespace cyclar
