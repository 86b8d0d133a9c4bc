// cyclar-export explain: the working at one input angle, step by step, as text, Markdown, an
// HTML handout or JSON.
#include "command.h"

#include "handout_figures.h"
#include "working_text.h"

namespace cyclar {
namespace {

ExportResult explain(const CommandInput& input)
{
    const std::optional<QString> text = single(input.parser, input.options.input);
    if (!text) {
        throw UsageError{QStringLiteral("explain needs --input THETA, the input angle in degrees, "
                                        "for example --input 30")};
    }
    const std::optional<double> theta = parseDecimal(*text);
    if (!theta) {
        throw UsageError{
            QStringLiteral("--input '%1' is not a finite decimal number of degrees; write it "
                           "like 30 or -12.5")
                .arg(*text)};
    }
    const int branch = wholeOption(input.parser, input.options.branch, 1, 2, "").value_or(1);
    const QString format = single(input.parser, input.options.format).value_or("text");
    const Working working = explainLinkage(input.source.dimensions, *theta, branch);
    if (format == QLatin1String("text")) {
        return ok(QByteArray::fromStdString(workingText(working)));
    }
    if (format == QLatin1String("markdown")) {
        return ok(QByteArray::fromStdString(workingMarkdown(working)));
    }
    if (format == QLatin1String("json")) {
        return ok(QByteArray::fromStdString(workingJson(working)));
    }
    if (format == QLatin1String("html")) {
        ViewOrientation view;
        if (input.source.view) {
            view.turn = input.source.view->turn;
            view.tilt = input.source.view->tilt;
        }
        view.recompute();
        return ok(QByteArray::fromStdString(workingHtml(working, handoutFigures(working, view))));
    }
    throw UsageError{
        QStringLiteral("--format '%1' must be text, markdown, html or json").arg(format)};
}

} // namespace

const ExportCommand explainCommand{
    "explain",
    {{CommandOption::input, true}, {CommandOption::branch}, {CommandOption::format}},
    nullptr,
    false,
    "The working at input angle THETA (degrees) on branch 1 or 2 (default 1), step by\n"
    "step: each relation in symbols, with the numbers put in, and its result. Sections:\n"
    "Classification, Position at theta, Limits, Velocity at theta, Acceleration at\n"
    "theta. --format text (the default), markdown, html (a handout with the picture\n"
    "and the chart, for printing) or json: \"results\" (diagonal, output, outputOther,\n"
    "transmission, coupler, T, inputLimits, outputLimits, outputRate,\n"
    "outputAcceleration, couplerRate, pointSpeed, pointAcceleration,\n"
    "mechanicalAdvantage, P), \"classification\" and \"steps\". At a toggle, a folded\n"
    "position or a change point the working says so in words; a value that is not\n"
    "defined there is null.\n",
    "explain --dims 50,30,35,40,45,-35 --input 30 --format markdown",
    explain,
};

} // namespace cyclar
