// cyclar-export pose: the pose for one value of the sweep parameter.
#include "command.h"

#include "linkage_model.h"
#include "pose_solver.h"

namespace cyclar {
namespace {

ExportResult pose(const CommandInput& input)
{
    const std::optional<QString> text = single(input.parser, input.options.t);
    if (!text) {
        throw UsageError{QStringLiteral("pose needs --t T, the sweep parameter in radians, for "
                                        "example --t -1.5707963267948966")};
    }
    const std::optional<double> t = parseDecimal(*text);
    if (!t) {
        throw UsageError{QStringLiteral("--t '%1' is not a finite decimal number; write it like "
                                        "-1.5707963267948966")
                             .arg(*text)};
    }
    const LinkagePose p = solvePose(buildLinkageModel(input.source.dimensions), *t);
    JsonObject o;
    o.number("t", *t);
    o.number("diagonal", p.diagonal);
    o.number("cosPhi", p.cosPhi);
    o.number("sinPhi", p.sinPhi);
    o.number("cosPsi", p.cosPsi);
    o.number("sinPsi", p.sinPsi);
    o.vector("A1", p.A1);
    o.vector("B1", p.B1);
    o.vector("P", p.P);
    return ok(QByteArray::fromStdString(o.finish()));
}

} // namespace

const ExportCommand poseCommand{
    "pose",
    {{CommandOption::t, true}},
    nullptr,
    false,
    "One JSON object: the pose for sweep parameter T (radians): diagonal, the two\n"
    "triangle angles, and the points A1, B1 and P as [x, y, z]. A kite (a = f, b = c)\n"
    "draws the second half of its cycle on the other assembly branch; pose gives the\n"
    "model's own branch there, and frames the poses drawn.\n",
    "pose --dims 50,30,35,40,45,-35 --t -1.5707963267948966",
    pose,
};

} // namespace cyclar
