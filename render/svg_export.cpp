// SVG export: the core's SVG drawing of the frame, written atomically.
#include "svg_export.h"

#include "picture_export.h"
#include "svg_surface.h"

namespace cyclar {

QByteArray frameSvg(SceneState scene, const FramePalette& palette)
{
    return QByteArray::fromStdString(frameSvgDocument(scene, palette));
}

bool writeSvg(const QString& path, const SceneState& scene, const FramePalette& palette,
              QString& error)
{
    if (!path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        error = writeFailure(path, QStringLiteral("the file name must end in .svg"));
        return false;
    }
    return writeFileBytes(path, frameSvg(scene, palette), error);
}

} // namespace cyclar
