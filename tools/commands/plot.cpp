// cyclar-export plot: the Analysis window's chart as a PNG.
#include "command.h"

#include "analysis_plot.h"
#include "artwork.h"
#include "linkage_analysis.h"
#include "linkage_rates.h"
#include "picture_export.h"
#include "rate_plot.h"

#include <QPainter>

namespace cyclar {
namespace {

// The analysis chart (or with --rates the rate chart), with the markers of frame N when --frame
// is given.
ExportResult plot(const CommandInput& input)
{
    const QString path = outputPath(input);
    const std::optional<int> frame = wholeOption(input.parser, input.options.frame, 1, 360, "");
    needPictures(input);
    const LinkageDimensions& dims = input.source.dimensions;
    const MotionChoice motion = motionOf(input);
    const bool rates = input.parser.isSet(input.options.rates);
    QImage chart = rates ? drawRateChart(dims, analysisChartSize, defaultTextFont())
                         : drawAnalysisChart(dims, analysisChartSize, defaultTextFont());
    if (frame && rates) {
        QPainter painter(&chart);
        drawRateMarkers(painter, RateChartGeometry(dims, chart.size()),
                        frameRateTable(dims, motion)[static_cast<size_t>(*frame - 1)]);
    } else if (frame) {
        QPainter painter(&chart);
        drawAnalysisMarkers(painter, chart.size(),
                            frameAngleTable(dims, motion)[static_cast<size_t>(*frame - 1)].angles);
    }
    QString error;
    if (!writePng(chart, path, error)) {
        writeFailed(path, error);
    }
    return ExportResult();
}

} // namespace

const ExportCommand plotCommand{
    "plot",
    {{CommandOption::frame},
     {CommandOption::circuit},
     {CommandOption::evenInput},
     {CommandOption::rates},
     {CommandOption::output, true}},
    ".png",
    true,
    "The Analysis window's chart: output angle (branch 1 solid, branch 2 dashed) and\n"
    "transmission angle over the input angle, with the input limits; with --frame,\n"
    "also the markers of frame N (1 to 360) of a new animation, on the circuit and at\n"
    "the pace --circuit and --even-input choose. Written atomically.\n"
    "With --rates, the rate chart instead: the velocity ratio dpsi/dtheta (branch 1\n"
    "solid, branch 2 dashed) and the coupler point's speed over the input angle.\n",
    "plot --dims 160,105,120,100,45,-35 -o chart.png",
    plot,
};

} // namespace cyclar
