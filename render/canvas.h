// The off-screen drawing surface: a raster image with move/line/ellipse/rectangle/text/pixel.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>

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
/// Lines are rasterised here directly (Bresenham, both end pixels included); a pen of width w
/// paints w pixels across the line's minor axis. A frame draws about 1,500 of them, which a
/// general-purpose stroker would make the bulk of the frame's cost.
class Canvas final : public LineSink {
public:
    Canvas(int width, int height, const QFont& font = QFont());
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }

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
    /// The pixel's colour as 0x00RRGGBB (white is 0x00FFFFFF), or 0xFFFFFFFF, which is no
    /// colour, outside the canvas.
    QRgb pixel(int x, int y) const;

    /// The picture as drawn so far. It may be copied (shared): the canvas detaches before it
    /// draws again.
    const QImage& image();

private:
    void drawLine(QPoint from, QPoint to);
    void plot(int x, int y, bool steep);
    void fillSpan(int y, int left, int right, QRgb colour);
    void prepareWriting();
    QRgb* row(int y) { return reinterpret_cast<QRgb*>(m_bits + static_cast<qsizetype>(y) * m_stride); }

    QImage m_image;
    QFont m_font;
    PenSpec m_pen{Qt::black, 1};
    QColor m_textColour = Qt::black;
    QRgb m_penRgb = 0xFF000000u;
    int m_width = 0;
    int m_height = 0;
    uchar* m_bits = nullptr; ///< the image's pixels, valid while m_bitsValid
    qsizetype m_stride = 0;
    bool m_bitsValid = false; ///< false once the image was handed out (it may be shared)
    QFontMetrics m_metrics;
    // The last text written, as pixels: the label is the same on every frame.
    QString m_cachedText;
    QRgb m_cachedTextColour = 0;
    QImage m_cachedTextImage;
    QPoint m_current;
};

} // namespace cyclar
