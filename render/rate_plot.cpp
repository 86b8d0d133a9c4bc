// The rate chart drawn with QPainter: curves sampled from the closed-form rates over theta.
#include "rate_plot.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace cyclar {

namespace {

constexpr double left = 46.0;
constexpr double right = 14.0;
constexpr double top = 46.0;
constexpr double bottom = 38.0;
// Near a toggle the ratio is unbounded; beyond this the chart would show nothing else.
constexpr double axisCap = 4.0;

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

// 1, 2 or 5 times a power of ten, the smallest at least `span` / 4.
double niceStep(double span)
{
    const double raw = std::max(span / 4.0, 1e-6);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * power >= raw) {
            return m * power;
        }
    }
    return 10.0 * power;
}

// Adds a point to the last run, or opens a new run when the curve was broken before it.
void addPoint(ChartPolylines& runs, const QPointF& point, bool joined)
{
    if (!joined || runs.empty()) {
        runs.emplace_back();
    }
    runs.back().push_back(point);
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

QString valueText(double value)
{
    return QString::number(value, 'g', 4);
}

void drawFrame(QPainter& painter, const RateChartGeometry& g, const QFont& font)
{
    const QRectF area = g.plotArea();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    for (int degrees = -180; degrees <= 180; degrees += 45) {
        const double x = g.point(degrees, 0.0).x();
        painter.setPen(QPen(degrees == 0 ? QColor(170, 170, 170) : lineColour, 1.0));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4.0));
        const QString text = QString::number(degrees) + QChar(0x00B0);
        painter.drawText(QPointF(x - metrics.horizontalAdvance(text) / 2.0,
                                 area.bottom() + 6.0 + metrics.ascent()),
                         text);
    }
    const int steps = static_cast<int>(std::lround((g.high() - g.low()) / g.step()));
    for (int i = 0; i <= steps; ++i) {
        const double value = g.low() + i * g.step();
        const double y = g.point(-180.0, value).y();
        const bool zero = std::fabs(value) < g.step() / 2.0;
        painter.setPen(QPen(zero ? QColor(170, 170, 170) : lineColour, 1.0));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawLine(QPointF(area.left() - 4.0, y), QPointF(area.left(), y));
        const QString text = valueText(zero ? 0.0 : value);
        painter.drawText(QPointF(area.left() - 6.0 - metrics.horizontalAdvance(text),
                                 y + metrics.ascent() / 2.0 - 1.0),
                         text);
    }
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    const QString title = QStringLiteral("input angle \u03b8 (rates per radian of \u03b8)");
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
    entry(ratePen(ratioColour, 2.0, false), QStringLiteral("d\u03c8/d\u03b8, branch 1"), first);
    entry(ratePen(ratioColour, 2.0, true), QStringLiteral("branch 2"), first);
    entry(ratePen(speedColour, 1.5, false), QStringLiteral("speed of P"), first);
    x = area.left();
    const double second = first + rowHeight;
    entry(togglePen(), QStringLiteral("input limit (toggle)"), second);
    painter.setPen(QPen(Qt::white, 1.0));
    painter.setBrush(markColour);
    painter.drawEllipse(QPointF(x + 5.0, second), 4.5, 4.5);
    painter.drawRect(QRectF(x + 14.0, second - 4.0, 8.0, 8.0));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawText(QPointF(x + 28.0, second + metrics.ascent() / 2.0 - 1.0),
                     QStringLiteral("this frame (d\u03c8/d\u03b8, speed)"));
}

constexpr double markRadius = 5.0;
constexpr double markHalf = 4.5;

} // namespace

RateChartGeometry::RateChartGeometry(QSize size, double low, double high)
    : m_area(left, top, std::max(1.0, size.width() - left - right),
             std::max(1.0, size.height() - top - bottom))
{
    if (!(std::isfinite(low) && std::isfinite(high) && high > low)) {
        low = -1.0;
        high = 1.0;
    }
    m_step = niceStep(high - low);
    m_low = std::floor(low / m_step) * m_step;
    m_high = std::ceil(high / m_step) * m_step;
}

namespace {

std::pair<double, double> rateBounds(const LinkageDimensions& dims)
{
    double low = 0.0;
    double high = 0.0;
    const LinkageAnalysis analysis = analyseLinkage(dims);
    for (const double theta : chartInputs(analysis)) {
        for (const LinkageRates& r : outputRatesAt(dims, theta).branch) {
            for (const double value : {r.outputRate, r.pointSpeed}) {
                if (std::isfinite(value)) {
                    low = std::min(low, std::max(value, -axisCap));
                    high = std::max(high, std::min(value, axisCap));
                }
            }
        }
    }
    return {low, high};
}

} // namespace

RateChartGeometry::RateChartGeometry(const LinkageDimensions& dims, QSize size)
    : RateChartGeometry(size, rateBounds(dims).first, rateBounds(dims).second)
{
}

QPointF RateChartGeometry::point(double theta, double value) const
{
    return {m_area.left() + (theta + 180.0) / 360.0 * m_area.width(),
            m_area.bottom() - (value - m_low) / (m_high - m_low) * m_area.height()};
}

RateChartCurves rateChartCurves(const LinkageDimensions& dims, const LinkageAnalysis& analysis,
                                const RateChartGeometry& geometry)
{
    RateChartCurves curves;
    if (!analysis.assemblable) {
        return curves;
    }
    // Values far off the chart are drawn at a bound well outside it, where the clip cuts them.
    const double margin = 4.0 * (geometry.high() - geometry.low());
    const auto clamped = [&](double v) {
        return std::clamp(v, geometry.low() - margin, geometry.high() + margin);
    };
    bool joined[4] = {false, false, false, false};
    double last[4] = {0.0, 0.0, 0.0, 0.0};
    ChartPolylines* runs[4] = {&curves.ratio1, &curves.ratio2, &curves.speed1, &curves.speed2};
    for (const double theta : chartInputs(analysis)) {
        const OutputRates rates = outputRatesAt(dims, theta);
        for (size_t i = 0; i < 4; ++i) {
            const LinkageRates& r = rates.branch[i % 2];
            const double value = i < 2 ? r.outputRate : r.pointSpeed;
            if (!std::isfinite(value)) {
                joined[i] = false;
                continue;
            }
            // Through a toggle the ratio passes infinity: from above the chart to below it (or
            // back) is no line across the chart.
            const bool across = (last[i] > geometry.high() && value < geometry.low())
                                || (last[i] < geometry.low() && value > geometry.high());
            addPoint(*runs[i], geometry.point(theta, clamped(value)), joined[i] && !across);
            joined[i] = true;
            last[i] = value;
        }
    }
    return curves;
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
    for (const double limit : analysis.inputLimits) {
        for (const double theta : {-limit, limit}) {
            const double x = geometry.point(theta, 0.0).x();
            painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        }
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
        const QString text =
            analysis.linksInRange
                ? QStringLiteral("No chart: the linkage cannot move.")
                : QStringLiteral("No chart: a link is not strictly between 0\u00b0 "
                                 "and 180\u00b0.");
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

// Where a marker of this value goes, if it goes anywhere near the chart: beside a toggle the
// ratio is astronomically large, and pixel coordinates that size are kept away from the painter.
std::optional<QPointF> markerAt(const RateChartGeometry& geometry, double theta, double value)
{
    if (!std::isfinite(theta) || !std::isfinite(value)) {
        return std::nullopt;
    }
    const QPointF at = geometry.point(theta, value);
    if (std::fabs(at.x()) > 1e6 || std::fabs(at.y()) > 1e6) {
        return std::nullopt;
    }
    return at;
}

} // namespace

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

// The sprite's top-left corner for a marker centred (to the nearest pixel) at `at`.
QPoint spriteCorner(const QPointF& at)
{
    return at.toPoint() - QPoint(spriteSize / 2, spriteSize / 2);
}

} // namespace

void drawRateMarkers(QPainter& painter, const RateChartGeometry& geometry, const FrameRates& row)
{
    static const QImage disc = markerSprite(true);
    static const QImage square = markerSprite(false);
    const double theta = row.angles.theta;
    if (const auto at = markerAt(geometry, theta, row.rates.outputRate)) {
        painter.drawImage(spriteCorner(*at), disc);
    }
    if (const auto at = markerAt(geometry, theta, row.rates.pointSpeed)) {
        painter.drawImage(spriteCorner(*at), square);
    }
}

QRegion rateMarkerRegion(const RateChartGeometry& geometry, const FrameRates& row)
{
    QRegion region;
    for (const double value : {row.rates.outputRate, row.rates.pointSpeed}) {
        if (const auto at = markerAt(geometry, row.angles.theta, value)) {
            region += QRect(spriteCorner(*at), QSize(spriteSize, spriteSize));
        }
    }
    return region;
}

} // namespace cyclar
