// cyclar-export model: the dimensions and every quantity the model derives from them.
#include "command.h"

#include "linkage_model.h"

namespace cyclar {
namespace {

ExportResult model(const CommandInput& input)
{
    const LinkageDimensions& d = input.source.dimensions;
    const LinkageModel m = buildLinkageModel(d);
    JsonObject o;
    o.number("a", d.a);
    o.number("b", d.b);
    o.number("c", d.c);
    o.number("f", d.f);
    o.number("h", d.h);
    o.number("k", d.k);
    o.number("pi", m.pi);
    o.number("degToRad", m.degToRad);
    o.number("cosA", m.cosA);
    o.number("sinA", m.sinA);
    o.number("cosB", m.cosB);
    o.number("sinB", m.sinB);
    o.number("cosC", m.cosC);
    o.number("sinC", m.sinC);
    o.number("cosF", m.cosF);
    o.number("sinF", m.sinF);
    o.number("cosH", m.cosH);
    o.number("sinH", m.sinH);
    o.number("cosK", m.cosK);
    o.number("sinK", m.sinK);
    o.number("cosE", m.cosE);
    o.number("e", m.e);
    o.number("sinE", m.sinE);
    o.number("jointGap", m.jointGap);
    o.number("cosJointGap", m.cosJointGap);
    o.number("sinJointGap", m.sinJointGap);
    o.vector("A0", m.A0);
    o.vector("B0", m.B0);
    o.number("lowerGap", m.lowerGap);
    o.number("upperGap", m.upperGap);
    o.number("lowerSign", m.lowerSign);
    o.number("upperSign", m.upperSign);
    o.number("diagonalMin", m.diagonalMin);
    o.number("diagonalMax", m.diagonalMax);
    o.number("diagonalHalf", m.diagonalHalf);
    o.boolean("isGrashof", isGrashof(m));
    o.string("label", classificationLabel(m));
    return ok(QByteArray::fromStdString(o.finish()));
}

} // namespace

const ExportCommand modelCommand{
    "model",
    {},
    nullptr,
    false,
    "One JSON object: the dimensions, every derived model quantity, isGrashof, label.\n",
    "model --dims 50,30,35,40,45,-35",
    model,
};

} // namespace cyclar
