// The analysis chart drawn with QPainter: curves sampled from the closed-form output angles.
#include "analysis_plot.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace cyclar {

namespace {

const QColor psiColour(20, 80, 200);
const QColor muColour(215, 105, 0);
const QColor limitColour(110, 110, 110);
const QColor markerColour(200, 0, 40);
const QColor gridColour(225, 225, 225);

QPen curvePen(const QColor& colour, double width, bool dashed)
{
    QPen pen(colour, width);
    pen.setStyle(dashed ? Qt::DashLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QPen limitPen()
{
    QPen pen(limitColour, 1.0);
    pen.setStyle(Qt::DashDotLine);
    return pen;
}

void drawPolylines(QPainter& painter, const ChartPolylines& lines)
{
    for (const std::vector<QPointF>& line : lines) {
        if (line.size() >= 2) {
            painter.drawPolyline(line.data(), static_cast<int>(line.size()));
        }
    }
}

void drawAxes(QPainter& painter, const AnalysisChartGeometry& geometry, const QFont& font)
{
    const QRectF area = geometry.plotArea();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const std::vector<ChartTick> across = geometry.axes().thetaTicks();
    const std::vector<ChartTick> up = geometry.axes().valueTicks();
    for (std::size_t i = 0; i < across.size() && i < up.size(); ++i) {
        const double x = across[i].at;
        const double y = up[i].at;
        painter.setPen(QPen(across[i].zero ? QColor(170, 170, 170) : gridColour, 1.0));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4.0));
        painter.drawLine(QPointF(area.left() - 4.0, y), QPointF(area.left(), y));
        const QString text = QString::fromStdString(across[i].text);
        const double width = metrics.horizontalAdvance(text);
        painter.drawText(QPointF(x - width / 2.0, area.bottom() + 6.0 + metrics.ascent()), text);
        painter.drawText(QPointF(area.left() - 6.0 - width, y + metrics.ascent() / 2.0 - 1.0),
                         QString::fromStdString(up[i].text));
    }
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    const QString xTitle = QString::fromStdString(angleChartWords().thetaTitle);
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(xTitle) / 2.0,
                             area.bottom() + 8.0 + metrics.height() + metrics.ascent()),
                     xTitle);
}

// Two rows above the plot: the three curves, then the limits and the frame's markers.
void drawLegend(QPainter& painter, const AnalysisChartGeometry& geometry, const QFont& font)
{
    const QRectF area = geometry.plotArea();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    const double rowHeight = metrics.height() + 4.0;
    const double top = area.top() - 2.0 * rowHeight - 6.0;
    double x = area.left();
    const auto sample = [&](const QPen& pen, const QString& text, double y) {
        painter.setPen(pen);
        painter.drawLine(QPointF(x, y), QPointF(x + 26.0, y));
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawText(QPointF(x + 31.0, y + metrics.ascent() / 2.0 - 1.0), text);
        x += 31.0 + metrics.horizontalAdvance(text) + 16.0;
    };
    const ChartWords words = angleChartWords();
    const auto text = [](const std::string& t) { return QString::fromStdString(t); };
    const double row1 = top + rowHeight / 2.0;
    sample(curvePen(psiColour, 2.0, false), text(words.curves[0]), row1);
    sample(curvePen(psiColour, 2.0, true), text(words.curves[1]), row1);
    sample(curvePen(muColour, 1.5, false), text(words.curves[2]), row1);
    x = area.left();
    const double row2 = row1 + rowHeight;
    sample(limitPen(), text(words.limits), row2);
    // The frame's markers, as drawn on the curves.
    painter.setPen(QPen(Qt::white, 1.0));
    painter.setBrush(markerColour);
    painter.drawEllipse(QPointF(x + 5.0, row2), 4.5, 4.5);
    painter.drawRect(QRectF(x + 14.0, row2 - 4.0, 8.0, 8.0));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawText(QPointF(x + 28.0, row2 + metrics.ascent() / 2.0 - 1.0), text(words.markers));
}

} // namespace

ChartPolylines toPolylines(const ChartLines& lines)
{
    ChartPolylines out;
    out.reserve(lines.size());
    for (const auto& line : lines) {
        std::vector<QPointF>& points = out.emplace_back();
        points.reserve(line.size());
        for (const ChartPoint& p : line) {
            points.push_back(toQPointF(p));
        }
    }
    return out;
}

ChartCurves chartCurves(const LinkageDimensions& dims, const LinkageAnalysis& analysis,
                        const AnalysisChartGeometry& geometry)
{
    const AngleChartLines curves = angleChartLines(dims, analysis, geometry.axes());
    return {toPolylines(curves.psi1), toPolylines(curves.psi2), toPolylines(curves.mu)};
}

QImage drawAnalysisChart(const LinkageDimensions& dims, QSize size, const QFont& font)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont small = font;
    small.setPixelSize(11);
    const AnalysisChartGeometry geometry(size);
    drawAxes(painter, geometry, small);
    drawLegend(painter, geometry, small);

    const LinkageAnalysis analysis = analyseLinkage(dims);
    const QRectF area = geometry.plotArea();
    painter.save();
    painter.setClipRect(area);
    painter.setPen(limitPen());
    for (const double x : geometry.axes().limitLines(analysis)) {
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
    const ChartCurves curves = chartCurves(dims, analysis, geometry);
    painter.setPen(curvePen(muColour, 1.5, false));
    drawPolylines(painter, curves.mu);
    painter.setPen(curvePen(psiColour, 2.0, false));
    drawPolylines(painter, curves.psi1);
    painter.setPen(curvePen(psiColour, 2.0, true));
    drawPolylines(painter, curves.psi2);
    painter.restore();

    if (!analysis.assemblable) {
        painter.setPen(QPen(Qt::black, 1.0));
        painter.setFont(small);
        const QString text = QString::fromStdString(analysis.chartNote);
        const QRectF box = painter.boundingRect(area, Qt::AlignCenter, text).adjusted(-6, -3, 6, 3);
        painter.fillRect(box, Qt::white);
        painter.drawText(area, Qt::AlignCenter, text);
    }
    return image;
}

namespace {

constexpr double discRadius = 5.0;
constexpr double squareHalf = 4.5;
constexpr double markerPen = 1.5;

bool finiteAngles(const PoseAngles& angles)
{
    return std::isfinite(angles.theta) && std::isfinite(angles.psi) && std::isfinite(angles.mu);
}

} // namespace

namespace {

constexpr int spriteSize = 16; // the markers' centre is at (8, 8)

// The two markers, antialiased, drawn once: stroking them anew each tick would cost more than
// everything else the window does in a tick.
QImage markerSprite(bool disc)
{
    QImage sprite(spriteSize, spriteSize, QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    QPainter painter(&sprite);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, markerPen));
    painter.setBrush(markerColour);
    const QPointF centre(spriteSize / 2.0, spriteSize / 2.0);
    if (disc) {
        painter.drawEllipse(centre, discRadius, discRadius);
    } else {
        painter.drawRect(QRectF(centre.x() - squareHalf, centre.y() - squareHalf, 2 * squareHalf,
                                2 * squareHalf));
    }
    return sprite;
}

// The sprite's top-left corner for a marker centred at `at` (whole pixels, from the core).
QPoint spriteCorner(const std::array<int, 2>& at)
{
    return QPoint(at[0], at[1]) - QPoint(spriteSize / 2, spriteSize / 2);
}

} // namespace

void drawAnalysisMarkers(QPainter& painter, QSize size, const PoseAngles& angles)
{
    if (!finiteAngles(angles)) {
        return;
    }
    static const QImage disc = markerSprite(true);
    static const QImage square = markerSprite(false);
    const AngleChartAxes axes(size.width(), size.height());
    if (const auto at = axes.markerCentre(angles.theta, angles.psi)) {
        painter.drawImage(spriteCorner(*at), disc);
    }
    if (const auto at = axes.markerCentre(angles.theta, angles.mu)) {
        painter.drawImage(spriteCorner(*at), square);
    }
}

QRegion analysisMarkerRegion(QSize size, const PoseAngles& angles)
{
    if (!finiteAngles(angles)) {
        return {};
    }
    const AngleChartAxes axes(size.width(), size.height());
    QRegion region;
    for (const double value : {angles.psi, angles.mu}) {
        if (const auto at = axes.markerCentre(angles.theta, value)) {
            region += QRect(spriteCorner(*at), QSize(spriteSize, spriteSize));
        }
    }
    return region & QRect(QPoint(0, 0), size);
}

void paintAnalysisPlot(QPainter& painter, const QImage& chart, const QRegion& dirty,
                       const PoseAngles& angles)
{
    for (const QRect& rect : dirty) {
        painter.drawImage(rect, chart, rect);
    }
    painter.save();
    painter.setClipRegion(dirty);
    drawAnalysisMarkers(painter, chart.size(), angles);
    painter.restore();
}

} // namespace cyclar
