// SVG export: the core's SVG drawing of the frame, written atomically.
#include "svg_export.h"

#include "atomic_write.h"
#include "svg_surface.h"

namespace cyclar {

QByteArray frameSvg(SceneState scene, const QFont&, const FramePalette& palette)
{
    return QByteArray::fromStdString(frameSvgDocument(scene, palette));
}

bool writeSvg(const QString& path, const SceneState& scene, const QFont& font,
              const FramePalette& palette, QString& error)
{
    if (!path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        error = QStringLiteral("the file name must end in .svg");
        return false;
    }
    return writeAtomically(path, frameSvg(scene, font, palette), error);
}

} // namespace cyclar
