// The off-screen drawing surface: a raster image with move/line/ellipse/rectangle/text/pixel.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QString>

#include <memory>

namespace cyclar {

/// Where polylines go: a move starts one, each line extends it to the given pixel.
class LineSink {
public:
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;

protected:
    ~LineSink() = default;
};

/// A solid pen: width in pixels and colour.
struct PenSpec {
    QColor colour;
    int width = 1;
};

/// The picture is composed here off screen and handed over in one piece. Drawing is aliased so
/// the pixel geometry is exact: a line goes from pixel to pixel, an ellipse's outline touches its
/// box's edges, shapes are filled white, text is written on an opaque white background.
///
/// Consecutive lineTo calls are collected and drawn as one polyline when the pen changes,
/// another operation runs, or flush() is called; the result is the same as drawing them one by
/// one, only faster.
class Canvas final : public LineSink {
public:
    Canvas(int width, int height, const QFont& font = QFont());
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }

    void selectPen(const PenSpec& pen);
    void setTextColor(const QColor& colour);
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    /// Outline in the current pen through the box's edges (left..right, top..bottom), filled white.
    void ellipse(int left, int top, int right, int bottom);
    /// Covers [left, right) x [top, bottom): white inside, outline in the current pen.
    void rectangle(int left, int top, int right, int bottom);
    /// Text whose cell's top-left corner is (x, y).
    void textOut(int x, int y, const QString& text);
    void setPixel(int x, int y, QRgb colour);
    /// The pixel's colour, or 0xFFFFFFFF (not a colour) outside the canvas.
    QRgb pixel(int x, int y);

    /// Finishes pending drawing; the image is complete afterwards.
    void flush();
    /// The picture as drawn so far (flushes first).
    const QImage& image();

private:
    QPainter& painter();
    void flushPolyline();
    void endPainting();

    QImage m_image;
    QFont m_font;
    PenSpec m_pen{Qt::black, 1};
    QColor m_textColour = Qt::black;
    std::unique_ptr<QPainter> m_painter;
    QPolygon m_polyline; ///< pending lines, starting at the current position
    QPoint m_current;
};

} // namespace cyclar
