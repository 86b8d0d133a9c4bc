// The handout's figures: the core's SVG of the worked position and the chart as a PNG.
#include "handout_figures.h"

#include "analysis_plot.h"
#include "frame.h"
#include "svg_surface.h"

#include <QBuffer>
#include <QPainter>

namespace cyclar {

std::vector<HandoutFigure> handoutFigures(const Working& working, const ViewOrientation& view,
                                          const QFont& font)
{
    std::vector<HandoutFigure> figures;
    if (working.pose) {
        SceneState scene = newScene(working.dims, 480);
        scene.view = view;
        const PlacedPose& pose = *working.pose;
        const std::string svg = inlineSvg(poseSvgDocument(scene, pose.A1, pose.B1, pose.P));
        figures.push_back({svg, "The linkage in the position worked out, with its whole "
                                "coupler curve."});
    }
    if (working.analysis.assemblable) {
        QImage chart = drawAnalysisChart(working.dims, analysisChartSize, font);
        if (working.pose) {
            QPainter painter(&chart);
            const PoseAngles angles{working.theta, working.results.output,
                                    working.results.transmission, working.branch};
            drawAnalysisMarkers(painter, chart.size(), angles);
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (chart.save(&buffer, "PNG")) {
            const std::string markup =
                "<img alt=\"The output angle \u03c8 (branch 1 solid, branch 2 dashed) and the "
                "transmission angle \u03bc over the input angle \u03b8, with the input limits and "
                "the position worked out marked\" width=\"440\" height=\"320\" "
                "src=\"data:image/png;base64,"
                + png.toBase64().toStdString() + "\">";
            figures.push_back({markup, "\u03c8 and \u03bc over \u03b8; the disc and the square "
                                       "mark the position worked out."});
        }
    }
    return figures;
}

} // namespace cyclar
