// A frame as an SVG drawing: the very drawing steps of the picture, written by the core's SVG
// surface instead of on pixels.
#pragma once

#include "frame.h"

#include <QByteArray>
#include <QString>

namespace cyclar {

/// The frame `scene` stands on as SVG, in a 480 x 480 coordinate system whose unit is the
/// picture's pixel: sphere outline, reference circles, coupler curve, the five arcs, the joint
/// rings and the label, in the picture's colours and pen widths. Each vertex lies on the centre
/// of the pixel the raster picture draws it on. The label is drawn as the outlines of the
/// bundled face's pixels, as on the picture, so no font is needed to show it.
QByteArray frameSvg(SceneState scene, const FramePalette& palette = FramePalette());

/// Writes frameSvg atomically; the name must end in .svg. On failure an earlier file stays whole
/// and `error` names the file and why.
bool writeSvg(const QString& path, const SceneState& scene, const FramePalette& palette,
              QString& error);

} // namespace cyclar
