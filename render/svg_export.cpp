// The SVG backend of the frame composition: a drawing surface over a QPainter on QSvgGenerator.
#include "svg_export.h"

#include "label_face.h"
#include "picture_export.h"

#include <QBuffer>
#include <QPainter>
#include <QPolygonF>
#include <QSvgGenerator>

#include <cmath>

namespace cyclar {

namespace {

QColor qColour(Rgb colour)
{
    return QColor(colour.r, colour.g, colour.b);
}

// Pixel (x, y) covers [x, x + 1) x [y, y + 1): vectors go through the pixels' centres, so each
// vertex is drawn where the raster picture sets its pixel. Polylines are gathered and stroked
// whole, which keeps the file small and the joins clean.
class SvgSurface final : public DrawingSurface {
public:
    SvgSurface(QPainter& painter, const QFont& font) : m_painter(painter), m_font(font)
    {
        m_painter.setRenderHint(QPainter::Antialiasing, true);
        m_painter.setBrush(Qt::NoBrush);
    }
    ~SvgSurface() { flush(); }
    SvgSurface(const SvgSurface&) = delete;
    SvgSurface& operator=(const SvgSurface&) = delete;

    int width() const override { return exportPictureSize; }
    int height() const override { return exportPictureSize; }

    void selectPen(const PenSpec& pen) override
    {
        flush();
        QPen qpen(qColour(pen.colour), std::max(1, pen.width));
        // A square cap covers the end pixels as the raster does; joins are mitred like pixels.
        qpen.setCapStyle(Qt::SquareCap);
        qpen.setJoinStyle(Qt::MiterJoin);
        m_painter.setPen(qpen);
    }
    void setTextColor(Rgb colour) override { m_textColour = qColour(colour); }

    void moveTo(int x, int y) override
    {
        flush();
        m_line.append(centre(x, y));
    }
    void lineTo(int x, int y) override
    {
        if (m_line.isEmpty()) {
            m_line.append(m_current);
        }
        m_line.append(centre(x, y));
        m_current = centre(x, y);
    }

    void ellipse(int left, int top, int right, int bottom) override
    {
        flush();
        m_painter.setBrush(Qt::white);
        m_painter.drawEllipse(QRectF(centre(left, top), centre(right, bottom)));
        m_painter.setBrush(Qt::NoBrush);
    }

    void rectangle(int left, int top, int right, int bottom) override
    {
        flush();
        m_painter.setBrush(Qt::white);
        m_painter.drawRect(QRectF(centre(left, top), centre(right - 1, bottom - 1)));
        m_painter.setBrush(Qt::NoBrush);
    }

    void textOut(int x, int y, std::string_view text) override
    {
        flush();
        const LabelFace& face = labelFace();
        const QString label = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        // The opaque cell, then the text on the baseline the label face puts it on.
        m_painter.fillRect(QRectF(x, y, face.textWidth(text), face.height), Qt::white);
        const QPen pen = m_painter.pen();
        m_painter.setPen(m_textColour);
        m_painter.setFont(m_font);
        m_painter.drawText(QPointF(x, y + face.ascent), label);
        m_painter.setPen(pen);
    }

private:
    static QPointF centre(int x, int y) { return QPointF(x + 0.5, y + 0.5); }

    void flush()
    {
        if (m_line.size() > 1) {
            m_painter.drawPolyline(m_line);
        }
        if (!m_line.isEmpty()) {
            m_current = m_line.last();
        }
        m_line.clear();
    }

    QPainter& m_painter;
    QFont m_font;
    QColor m_textColour = Qt::black;
    QPolygonF m_line;
    QPointF m_current;
};

// The label's face at the size the screen shows it: the generator counts in picture pixels.
QFont pixelSized(QFont font)
{
    if (font.pixelSize() <= 0 && font.pointSizeF() > 0) {
        font.setPixelSize(static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0)));
    }
    return font;
}

} // namespace

QByteArray frameSvg(SceneState scene, const QFont& font, const FramePalette& palette)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(exportPictureSize, exportPictureSize));
    generator.setViewBox(QRect(0, 0, exportPictureSize, exportPictureSize));
    generator.setResolution(96);
    generator.setTitle(QStringLiteral("cyclar"));
    generator.setDescription(QString::fromLatin1(classificationLabel(scene.model)));
    {
        QPainter painter(&generator);
        painter.fillRect(QRect(0, 0, exportPictureSize, exportPictureSize), Qt::white);
        SvgSurface surface(painter, pixelSized(font));
        composeFrame(surface, scene, palette);
    }
    return buffer.data();
}

bool writeSvg(const QString& path, const SceneState& scene, const QFont& font,
              const FramePalette& palette, QString& error)
{
    if (!path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        error = writeFailure(path, QStringLiteral("the file name must end in .svg"));
        return false;
    }
    return writeFileBytes(path, frameSvg(scene, font, palette), error);
}

} // namespace cyclar
