// The working written out for reading: plain text, Markdown, an HTML handout and JSON. The
// command line, the desktop and the browser all write it through these, so their text is one.
#pragma once

#include "working.h"

#include <string>
#include <vector>

namespace cyclar {

/// A picture in the handout: markup the program made itself (an inline <svg> or an <img>
/// element), with its caption. Put into the page as it is.
struct HandoutFigure {
    std::string markup;
    std::string caption;
};

/// Plain UTF-8 text: the title, what is special at this input, the conventions, then each
/// section's numbered steps, each with its relation, the same with numbers, and its result.
std::string workingText(const Working& working);

/// The same as Markdown: headings for the title and the sections, each step's relations in an
/// indented block.
std::string workingMarkdown(const Working& working);

/// A whole HTML page to save or print as a handout: the figures, then the text. It needs no web
/// font (the reader's serif and monospace faces), prints on A4 and Letter alike (each step kept
/// on one page), and its maths is Unicode text, so it reads the same with the styles off.
std::string workingHtml(const Working& working, const std::vector<HandoutFigure>& figures = {});

/// JSON: "dims", "input", "branch", "title", "situation", "results" (diagonal, output,
/// outputOther, transmission, coupler, T, inputLimits, outputLimits, outputRate,
/// outputAcceleration, couplerRate, pointSpeed, pointAcceleration, mechanicalAdvantage, P),
/// "classification" (type, grashof, changePoint, swing, timeRatio) and "steps" (section, number,
/// name, symbols, numbers, result, value, unit, note). A value that is not defined is null.
std::string workingJson(const Working& working);

/// An SVG document made to stand inside an HTML page: without its XML declaration.
std::string inlineSvg(const std::string& document);

/// The conventions the working's angles are measured by, in one paragraph.
extern const char* const workingConventions;

} // namespace cyclar
