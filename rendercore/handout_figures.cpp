// The handout's figures as SVG: the frame's own drawing of the worked pose, and the angle chart
// from the charts' geometry.
#include "handout_figures.h"

#include "chart_geometry.h"
#include "frame_composition.h"
#include "significant_text.h"
#include "svg_surface.h"

#include <cmath>
#include <cstdio>

namespace cyclar {

namespace {

std::string coordinate(double x)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", x);
    std::string out = text;
    // printf writes the decimal point of the process's locale (the desktop sets the user's).
    for (char& ch : out) {
        ch = ch == ',' ? '.' : ch;
    }
    return out;
}

std::string polyline(const std::vector<ChartPoint>& line)
{
    std::string points;
    for (const ChartPoint& p : line) {
        points += std::string(points.empty() ? "" : " ") + coordinate(p.x) + "," + coordinate(p.y);
    }
    return "<polyline points=\"" + points + "\"/>\n";
}

std::string lines(const ChartLines& curves)
{
    std::string out;
    for (const std::vector<ChartPoint>& line : curves) {
        if (line.size() >= 2) {
            out += polyline(line);
        }
    }
    return out;
}

std::string segment(double x1, double y1, double x2, double y2)
{
    return "<line x1=\"" + coordinate(x1) + "\" y1=\"" + coordinate(y1) + "\" x2=\""
           + coordinate(x2) + "\" y2=\"" + coordinate(y2) + "\"/>\n";
}

std::string text(double x, double y, const char* anchor, const std::string& words)
{
    return "<text x=\"" + coordinate(x) + "\" y=\"" + coordinate(y) + "\" text-anchor=\"" + anchor
           + "\">" + markupEscaped(words) + "</text>\n";
}

} // namespace

std::string angleChartSvg(const Working& working, bool marked)
{
    const AngleChartAxes axes;
    const ChartArea& area = axes.area();
    const ChartWords words = angleChartWords();
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\""
                      + std::to_string(chartWidth) + "\" height=\"" + std::to_string(chartHeight)
                      + "\" viewBox=\"0 0 " + std::to_string(chartWidth) + " "
                      + std::to_string(chartHeight) + "\" role=\"img\" aria-label=\""
                      + markupEscaped(handoutChartCaption()) + "\">\n";
    svg += "<rect fill=\"#ffffff\" x=\"0\" y=\"0\" width=\"" + std::to_string(chartWidth)
           + "\" height=\"" + std::to_string(chartHeight) + "\"/>\n";
    // The grid and its ticks, light; zero's lines a little darker.
    const std::vector<ChartTick> across = axes.thetaTicks();
    const std::vector<ChartTick> up = axes.valueTicks();
    svg += "<g fill=\"none\" stroke-width=\"1\">\n";
    for (std::size_t i = 0; i < across.size() && i < up.size(); ++i) {
        svg += std::string("<g stroke=\"") + (across[i].zero ? "#aaaaaa" : "#e1e1e1") + "\">\n"
               + segment(across[i].at, area.top, across[i].at, area.bottom())
               + segment(area.left, up[i].at, area.right(), up[i].at) + "</g>\n";
    }
    svg += "</g>\n<g font-family=\"sans-serif\" font-size=\"11\" fill=\"#000000\">\n";
    for (std::size_t i = 0; i < across.size() && i < up.size(); ++i) {
        svg += text(across[i].at, area.bottom() + 16.0, "middle", across[i].text);
        svg += text(area.left - 6.0, up[i].at + 4.0, "end", up[i].text);
    }
    svg += text(area.left + area.width / 2.0, area.bottom() + 31.0, "middle", words.thetaTitle);
    svg += "</g>\n<rect fill=\"none\" stroke=\"#000000\" x=\"" + coordinate(area.left) + "\" y=\""
           + coordinate(area.top) + "\" width=\"" + coordinate(area.width) + "\" height=\""
           + coordinate(area.height) + "\"/>\n";

    const LinkageAnalysis& analysis = working.analysis;
    svg += "<g fill=\"none\" stroke=\"#6e6e6e\" stroke-dasharray=\"6 2 1 2\">\n";
    for (const double x : axes.limitLines(analysis)) {
        svg += segment(x, area.top, x, area.bottom());
    }
    svg += "</g>\n";
    if (analysis.assemblable) {
        const AngleChartLines curves = angleChartLines(working.dims, analysis, axes);
        svg += "<g fill=\"none\" stroke=\"#d76900\" stroke-width=\"1.5\">\n" + lines(curves.mu)
               + "</g>\n<g fill=\"none\" stroke=\"#1450c8\" stroke-width=\"2\" "
                 "stroke-linejoin=\"round\">\n"
               + lines(curves.psi1) + "</g>\n<g fill=\"none\" stroke=\"#1450c8\" "
               + "stroke-width=\"2\" stroke-dasharray=\"8 4\">\n" + lines(curves.psi2) + "</g>\n";
    } else {
        svg += "<g font-family=\"sans-serif\" font-size=\"11\">\n"
               + text(area.left + area.width / 2.0, area.top + area.height / 2.0, "middle",
                      analysis.chartNote)
               + "</g>\n";
    }
    if (marked) {
        const WorkingResults& r = working.results;
        svg += "<g fill=\"#c80028\" stroke=\"#ffffff\">\n";
        if (const auto at = axes.markerCentre(working.theta, r.output)) {
            svg += "<circle cx=\"" + std::to_string((*at)[0]) + "\" cy=\""
                   + std::to_string((*at)[1]) + "\" r=\"4.5\"/>\n";
        }
        if (const auto at = axes.markerCentre(working.theta, r.transmission)) {
            svg += "<rect x=\"" + std::to_string((*at)[0] - 4) + "\" y=\""
                   + std::to_string((*at)[1] - 4) + "\" width=\"8\" height=\"8\"/>\n";
        }
        svg += "</g>\n";
    }
    return svg + "</svg>";
}

std::string handoutPictureCaption()
{
    return "The linkage in the position worked out, with its whole coupler curve.";
}

std::string handoutChartCaption()
{
    return "The output angle \u03c8 over the input angle \u03b8, branch 1 solid and branch 2 "
           "dashed (blue), the transmission angle \u03bc (orange) and the input limits "
           "(grey, dash-dotted); the disc and the square mark \u03c8 and \u03bc at the position "
           "worked out.";
}

std::vector<HandoutFigure> handoutFigures(const Working& working, const ViewOrientation& view)
{
    std::vector<HandoutFigure> figures;
    if (working.pose) {
        SceneState scene = newScene(working.dims, 480);
        scene.view = view;
        const PlacedPose& pose = *working.pose;
        figures.push_back(
            {inlineSvg(poseSvgDocument(scene, pose.A1, pose.B1, pose.P)), handoutPictureCaption()});
    }
    if (working.analysis.assemblable) {
        figures.push_back(
            {angleChartSvg(working, working.pose.has_value()), handoutChartCaption()});
    }
    return figures;
}

} // namespace cyclar
