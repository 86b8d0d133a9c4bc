// The rate chart drawn with QPainter: curves sampled from the closed-form rates over theta.
#include "rate_plot.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace cyclar {

namespace {

// The image's margins right of and below the plot area (the core's, for the image's size).
constexpr double right = 14.0;
constexpr double bottom = 38.0;

const QColor ratioColour(20, 80, 200);
const QColor speedColour(0, 140, 90);
const QColor toggleColour(110, 110, 110);
const QColor markColour(200, 0, 40);
const QColor lineColour(225, 225, 225);

QPen ratePen(const QColor& colour, double width, bool dashed)
{
    QPen pen(colour, width, dashed ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    return pen;
}

QPen togglePen()
{
    return QPen(toggleColour, 1.0, Qt::DashDotLine);
}

void strokeRuns(QPainter& painter, const QPen& pen, const ChartPolylines& runs)
{
    painter.setPen(pen);
    for (const std::vector<QPointF>& run : runs) {
        if (run.size() >= 2) {
            painter.drawPolyline(run.data(), static_cast<int>(run.size()));
        }
    }
}

void drawFrame(QPainter& painter, const RateChartGeometry& g, const QFont& font)
{
    const QRectF area = g.plotArea();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    for (const ChartTick& tick : g.axes().thetaTicks()) {
        const double x = tick.at;
        painter.setPen(QPen(tick.zero ? QColor(170, 170, 170) : lineColour, 1.0));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4.0));
        const QString text = QString::fromStdString(tick.text);
        painter.drawText(QPointF(x - metrics.horizontalAdvance(text) / 2.0,
                                 area.bottom() + 6.0 + metrics.ascent()),
                         text);
    }
    for (const ChartTick& tick : g.axes().valueTicks()) {
        const double y = tick.at;
        painter.setPen(QPen(tick.zero ? QColor(170, 170, 170) : lineColour, 1.0));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawLine(QPointF(area.left() - 4.0, y), QPointF(area.left(), y));
        const QString text = QString::fromStdString(tick.text);
        painter.drawText(QPointF(area.left() - 6.0 - metrics.horizontalAdvance(text),
                                 y + metrics.ascent() / 2.0 - 1.0),
                         text);
    }
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    const QString title = QString::fromStdString(rateChartWords().thetaTitle);
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(title) / 2.0,
                             area.bottom() + 8.0 + metrics.height() + metrics.ascent()),
                     title);
}

void drawKey(QPainter& painter, const RateChartGeometry& g, const QFont& font)
{
    const QRectF area = g.plotArea();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    const double rowHeight = metrics.height() + 4.0;
    double x = area.left();
    const auto entry = [&](const QPen& pen, const QString& text, double y) {
        painter.setPen(pen);
        painter.drawLine(QPointF(x, y), QPointF(x + 26.0, y));
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawText(QPointF(x + 31.0, y + metrics.ascent() / 2.0 - 1.0), text);
        x += 31.0 + metrics.horizontalAdvance(text) + 16.0;
    };
    const double first = area.top() - 2.0 * rowHeight - 6.0 + rowHeight / 2.0;
    const ChartWords words = rateChartWords();
    const auto text = [](const std::string& t) { return QString::fromStdString(t); };
    entry(ratePen(ratioColour, 2.0, false), text(words.curves[0]), first);
    entry(ratePen(ratioColour, 2.0, true), text(words.curves[1]), first);
    entry(ratePen(speedColour, 1.5, false), text(words.curves[2]), first);
    x = area.left();
    const double second = first + rowHeight;
    entry(togglePen(), text(words.limits), second);
    painter.setPen(QPen(Qt::white, 1.0));
    painter.setBrush(markColour);
    painter.drawEllipse(QPointF(x + 5.0, second), 4.5, 4.5);
    painter.drawRect(QRectF(x + 14.0, second - 4.0, 8.0, 8.0));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawText(QPointF(x + 28.0, second + metrics.ascent() / 2.0 - 1.0), text(words.markers));
}

constexpr double markRadius = 5.0;
constexpr double markHalf = 4.5;

} // namespace

RateChartCurves rateChartCurves(const LinkageDimensions& dims, const LinkageAnalysis& analysis,
                                const RateChartGeometry& geometry)
{
    const RateChartLines curves = rateChartLines(dims, analysis, geometry.axes());
    return {toPolylines(curves.ratio1), toPolylines(curves.ratio2), toPolylines(curves.speed1),
            toPolylines(curves.speed2)};
}

QImage drawRateChart(const LinkageDimensions& dims, const RateChartGeometry& geometry,
                     const QFont& font)
{
    const QRectF area = geometry.plotArea();
    QImage image(
        QSize(static_cast<int>(area.right() + right), static_cast<int>(area.bottom() + bottom)),
        QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont small = font;
    small.setPixelSize(11);
    drawFrame(painter, geometry, small);
    drawKey(painter, geometry, small);

    const LinkageAnalysis analysis = analyseLinkage(dims);
    painter.save();
    painter.setClipRect(area);
    painter.setPen(togglePen());
    for (const double x : geometry.axes().limitLines(analysis)) {
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
    const RateChartCurves curves = rateChartCurves(dims, analysis, geometry);
    strokeRuns(painter, ratePen(speedColour, 1.5, false), curves.speed1);
    strokeRuns(painter, ratePen(speedColour, 1.5, true), curves.speed2);
    strokeRuns(painter, ratePen(ratioColour, 2.0, false), curves.ratio1);
    strokeRuns(painter, ratePen(ratioColour, 2.0, true), curves.ratio2);
    painter.restore();

    if (!analysis.assemblable) {
        painter.setPen(QPen(Qt::black, 1.0));
        painter.setFont(small);
        // The analysis's own note, as the angle chart and the browser's charts show it.
        const QString text = QString::fromStdString(analysis.chartNote);
        const QRectF box = painter.boundingRect(area, Qt::AlignCenter, text).adjusted(-6, -3, 6, 3);
        painter.fillRect(box, Qt::white);
        painter.drawText(area, Qt::AlignCenter, text);
    }
    return image;
}

QImage drawRateChart(const LinkageDimensions& dims, QSize size, const QFont& font)
{
    return drawRateChart(dims, RateChartGeometry(dims, size), font);
}

namespace {

constexpr int spriteSize = 16; // a marker's centre is at (8, 8)

// The two markers, antialiased, drawn once: a tick only copies them (stroking them anew costs
// several times more than the rest of a tick).
QImage markerSprite(bool disc)
{
    QImage sprite(spriteSize, spriteSize, QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    QPainter painter(&sprite);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(markColour);
    const QPointF centre(spriteSize / 2.0, spriteSize / 2.0);
    if (disc) {
        painter.drawEllipse(centre, markRadius, markRadius);
    } else {
        painter.drawRect(
            QRectF(centre.x() - markHalf, centre.y() - markHalf, 2 * markHalf, 2 * markHalf));
    }
    return sprite;
}

// The sprite's top-left corner for a marker centred at `at` (whole pixels, from the core).
QPoint spriteCorner(const std::array<int, 2>& at)
{
    return QPoint(at[0], at[1]) - QPoint(spriteSize / 2, spriteSize / 2);
}

} // namespace

void drawRateMarkers(QPainter& painter, const RateChartGeometry& geometry, const FrameRates& row)
{
    static const QImage disc = markerSprite(true);
    static const QImage square = markerSprite(false);
    const double theta = row.angles.theta;
    if (const auto at = geometry.axes().markerCentre(theta, row.rates.outputRate)) {
        painter.drawImage(spriteCorner(*at), disc);
    }
    if (const auto at = geometry.axes().markerCentre(theta, row.rates.pointSpeed)) {
        painter.drawImage(spriteCorner(*at), square);
    }
}

QRegion rateMarkerRegion(const RateChartGeometry& geometry, const FrameRates& row)
{
    QRegion region;
    for (const double value : {row.rates.outputRate, row.rates.pointSpeed}) {
        if (const auto at = geometry.axes().markerCentre(row.angles.theta, value)) {
            region += QRect(spriteCorner(*at), QSize(spriteSize, spriteSize));
        }
    }
    return region;
}

} // namespace cyclar
