// The working's four written forms. The text of a step is the same in each; only the layout
// differs.
#include "working_text.h"

#include "design_result_text.h"
#include "json_object.h"
#include "linkage_file.h"
#include "significant_text.h"

#include <cmath>

namespace cyclar {

const char* const workingConventions =
    "Angles in degrees. \u03b8 at A0 from the ground arc toward B0 to the arc toward A1, \u03c8 "
    "at B0 from the ground arc continued beyond B0 to the arc toward B1, both counter-clockwise "
    "seen from outside the sphere, within (\u2212180\u00b0, 180\u00b0]; \u03bc at B1 between the "
    "arcs toward A1 and toward B0. A0 = (1, 0, 0), B0 = (cos f, sin f, 0) on the unit sphere. "
    "Rates are per radian of input, the input turning at a constant rate.";

namespace {

std::string stepNumber(std::size_t section, std::size_t step)
{
    return std::to_string(section + 1) + "." + std::to_string(step + 1);
}

// Words wrapped at `width` characters (code points), each line after the first indented.
std::string wrapped(const std::string& text, std::size_t width, const std::string& indent)
{
    std::string out;
    std::string line;
    std::size_t lineLength = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string word = text.substr(at, end - at);
        std::size_t length = 0;
        for (const char ch : word) {
            length += (static_cast<unsigned char>(ch) & 0xC0) != 0x80 ? 1 : 0;
        }
        if (lineLength > 0 && lineLength + 1 + length > width) {
            out += indent + line + "\n";
            line.clear();
            lineLength = 0;
        }
        line += std::string(lineLength > 0 ? " " : "") + word;
        lineLength += (lineLength > 0 ? 1 : 0) + length;
        at = end + 1;
    }
    if (!line.empty()) {
        out += indent + line + "\n";
    }
    return out;
}

std::string jsonNumber(double x)
{
    return JsonObject::json(x);
}

template <typename Numbers> std::string jsonNumbers(const Numbers& values)
{
    std::string out = "[";
    bool first = true;
    for (const double x : values) {
        out += std::string(first ? "" : ", ") + jsonNumber(x);
        first = false;
    }
    return out + "]";
}

std::string jsonText(const std::string& text)
{
    return text.empty() ? "null" : jsonQuoted(text);
}

} // namespace

std::string workingText(const Working& w)
{
    std::string out = w.title + "\n";
    if (!w.situation.empty()) {
        out += "\n" + wrapped(w.situation, 90, "");
    }
    out += "\n" + wrapped(workingConventions, 90, "");
    for (std::size_t i = 0; i < w.sections.size(); ++i) {
        const WorkingSection& section = w.sections[i];
        out += "\n" + std::to_string(i + 1) + " " + section.title + "\n";
        for (std::size_t j = 0; j < section.steps.size(); ++j) {
            const WorkingStep& s = section.steps[j];
            out += "\n";
            out += stepNumber(i, j) + " " + s.name + "\n";
            for (const std::string* line : {&s.symbols, &s.numbers, &s.result}) {
                if (!line->empty()) {
                    out += "    " + *line + "\n";
                }
            }
            if (!s.note.empty()) {
                out += wrapped(s.note, 86, "    ");
            }
        }
    }
    return out;
}

std::string workingMarkdown(const Working& w)
{
    std::string out = "# " + w.title + "\n";
    if (!w.situation.empty()) {
        out += "\n**" + w.situation + "**\n";
    }
    out += "\n*" + std::string(workingConventions) + "*\n";
    for (std::size_t i = 0; i < w.sections.size(); ++i) {
        const WorkingSection& section = w.sections[i];
        out += "\n## " + std::to_string(i + 1) + " " + section.title + "\n";
        for (std::size_t j = 0; j < section.steps.size(); ++j) {
            const WorkingStep& s = section.steps[j];
            out += "\n### " + stepNumber(i, j) + " " + s.name + "\n\n";
            for (const std::string* line : {&s.symbols, &s.numbers, &s.result}) {
                if (!line->empty()) {
                    out += "    " + *line + "\n";
                }
            }
            if (!s.note.empty()) {
                out += "\n" + s.note + "\n";
            }
        }
    }
    return out;
}

std::string workingHtml(const Working& w, const std::vector<HandoutFigure>& figures)
{
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"
        + markupEscaped(w.title)
        + "</title>\n<style>\n"
          "body { font-family: serif; line-height: 1.35; max-width: 44em; margin: 1em auto;"
          " padding: 0 1em; color: #000; background: #fff; }\n"
          "h1 { font-size: 1.3em; } h2 { font-size: 1.15em; margin-top: 1.4em; }"
          " h3 { font-size: 1em; margin: 0.9em 0 0.2em; }\n"
          ".relations { font-family: monospace; font-size: 0.92em; margin: 0.2em 0 0 1.5em;"
          " overflow-wrap: anywhere; }\n"
          ".result { font-weight: bold; }\n"
          ".note { margin: 0.3em 0 0 1.5em; font-style: italic; }\n"
          ".situation { border-left: 3px solid #000; padding-left: 0.6em; }\n"
          ".figures { display: flex; flex-wrap: wrap; gap: 4mm; }\n"
          "figure { margin: 0; flex: 1 1 70mm; max-width: 100%; }\n"
          "figure svg, figure img { display: block; width: 100%; height: auto; }\n"
          "figcaption { font-size: 0.9em; }\n"
          "@page { margin: 15mm; }\n"
          "@media print { body { max-width: none; margin: 0; padding: 0; font-size: 10.5pt; }"
          " .step, figure { break-inside: avoid; } h2, h3 { break-after: avoid; } }\n"
          "</style>\n</head>\n<body>\n<h1>"
        + markupEscaped(w.title) + "</h1>\n";
    if (!w.situation.empty()) {
        out += "<p class=\"situation\"><strong>" + markupEscaped(w.situation) + "</strong></p>\n";
    }
    out += "<p class=\"conventions\">" + markupEscaped(workingConventions) + "</p>\n";
    if (!figures.empty()) {
        out += "<div class=\"figures\">\n";
        for (const HandoutFigure& figure : figures) {
            out += "<figure>\n" + figure.markup + "\n<figcaption>" + markupEscaped(figure.caption)
                   + "</figcaption>\n</figure>\n";
        }
        out += "</div>\n";
    }
    for (std::size_t i = 0; i < w.sections.size(); ++i) {
        const WorkingSection& section = w.sections[i];
        out += "<section>\n<h2>" + std::to_string(i + 1) + " " + markupEscaped(section.title)
               + "</h2>\n";
        for (std::size_t j = 0; j < section.steps.size(); ++j) {
            const WorkingStep& s = section.steps[j];
            out += "<div class=\"step\">\n<h3>" + stepNumber(i, j) + " " + markupEscaped(s.name)
                   + "</h3>\n<p class=\"relations\">";
            bool first = true;
            for (const std::string* line : {&s.symbols, &s.numbers}) {
                if (!line->empty()) {
                    out += std::string(first ? "" : "<br>\n") + markupEscaped(*line);
                    first = false;
                }
            }
            if (!s.result.empty()) {
                out += std::string(first ? "" : "<br>\n") + std::string("<span class=\"result\">")
                       + markupEscaped(s.result) + "</span>";
            }
            out += "</p>\n";
            if (!s.note.empty()) {
                out += "<p class=\"note\">" + markupEscaped(s.note) + "</p>\n";
            }
            out += "</div>\n";
        }
        out += "</section>\n";
    }
    return out + "</body>\n</html>\n";
}

std::string workingJson(const Working& w)
{
    const WorkingResults& r = w.results;
    const LinkageAnalysis& an = w.analysis;
    const LinkageDimensions& d = w.dims;
    std::string out = "{\n  \"dims\": {\"a\": " + jsonNumber(d.a) + ", \"b\": " + jsonNumber(d.b)
                      + ", \"c\": " + jsonNumber(d.c) + ", \"f\": " + jsonNumber(d.f)
                      + ", \"h\": " + jsonNumber(d.h) + ", \"k\": " + jsonNumber(d.k) + "},\n";
    out += "  \"input\": " + jsonNumber(w.theta) + ",\n";
    out += "  \"branch\": " + std::to_string(w.branch) + ",\n";
    out += "  \"title\": " + jsonQuoted(w.title) + ",\n";
    out += "  \"situation\": " + jsonText(w.situation) + ",\n";
    out += "  \"results\": {\n";
    out += "    \"diagonal\": " + jsonNumber(r.diagonal) + ",\n";
    out += "    \"output\": " + jsonNumber(r.output) + ",\n";
    out += "    \"outputOther\": " + jsonNumber(r.outputOther) + ",\n";
    out += "    \"transmission\": " + jsonNumber(r.transmission) + ",\n";
    out += "    \"coupler\": " + jsonNumber(r.coupler) + ",\n";
    out += "    \"T\": " + jsonNumbers(r.T) + ",\n";
    out += "    \"inputLimits\": " + jsonNumbers(r.inputLimits) + ",\n";
    out += "    \"outputLimits\": " + jsonNumbers(r.outputLimits) + ",\n";
    out += "    \"outputRate\": " + jsonNumber(r.outputRate) + ",\n";
    out += "    \"outputAcceleration\": " + jsonNumber(r.outputAcceleration) + ",\n";
    out += "    \"couplerRate\": " + jsonNumber(r.couplerRate) + ",\n";
    out += "    \"pointSpeed\": " + jsonNumber(r.pointSpeed) + ",\n";
    out += "    \"pointAcceleration\": " + jsonNumber(r.pointAcceleration) + ",\n";
    out += "    \"mechanicalAdvantage\": " + jsonNumber(r.mechanicalAdvantage) + ",\n";
    const bool pointKnown = std::isfinite(r.P.x) && std::isfinite(r.P.y) && std::isfinite(r.P.z);
    out += "    \"P\": " + (pointKnown ? jsonNumbers(std::array{r.P.x, r.P.y, r.P.z}) : "null")
           + "\n  },\n";
    out += "  \"classification\": {\"type\": " + jsonText(an.type)
           + ", \"grashof\": " + (an.grashof ? (*an.grashof ? "true" : "false") : "null")
           + ", \"changePoint\": " + (an.changePoint ? "true" : "false")
           + ", \"swing\": " + (an.swing ? jsonNumber(*an.swing) : "null")
           + ", \"timeRatio\": " + (an.timeRatio ? jsonNumber(*an.timeRatio) : "null") + "},\n";
    out += "  \"steps\": [";
    bool first = true;
    for (std::size_t i = 0; i < w.sections.size(); ++i) {
        const WorkingSection& section = w.sections[i];
        for (std::size_t j = 0; j < section.steps.size(); ++j) {
            const WorkingStep& s = section.steps[j];
            out +=
                std::string(first ? "\n" : ",\n") + "    {\"section\": " + jsonQuoted(section.title)
                + ", \"number\": \"" + stepNumber(i, j) + "\", \"name\": " + jsonQuoted(s.name)
                + ",\n     \"symbols\": " + jsonText(s.symbols) + ",\n     \"numbers\": "
                + jsonText(s.numbers) + ",\n     \"result\": " + jsonText(s.result)
                + ", \"value\": " + (s.value.empty() ? "null" : jsonNumbers(s.value))
                + ", \"unit\": " + jsonText(s.unit) + ",\n     \"note\": " + jsonText(s.note) + "}";
            first = false;
        }
    }
    return out + "\n  ]\n}\n";
}

std::string inlineSvg(const std::string& document)
{
    const std::size_t start = document.find("<svg");
    return start == std::string::npos ? document : document.substr(start);
}

} // namespace cyclar
