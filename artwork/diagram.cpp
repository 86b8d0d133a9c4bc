// The linkage diagram of the dimensions page: a labelled spherical four-bar linkage.
#include "artwork_draw.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace cyclar::detail {

namespace {

// The seven flat colours; everything is drawn aliased so that no others appear.
const QColor background(193, 255, 255);
const QColor sphereGreen(0, 128, 0);
const QColor linkBlue(0, 0, 255);
const QColor couplerGreen(0, 255, 128);
const QColor letterRed(255, 0, 0);
const QColor pivotBlack(0, 0, 0);
const QColor jointWhite(255, 255, 255);

constexpr int diagramWidth = 342;
constexpr int diagramHeight = 344;

// The sphere and its two reference great circles.
const QPointF sphereCentre(171.0, 172.0);
constexpr double sphereRadius = 158.0;
constexpr double equatorFlatness = 0.25; // height of the equator's ellipse over its width
constexpr double meridianWidth = 0.42;   // width of the polar ellipse over its height

QPointF onEquator(double degrees)
{
    const double t = degrees * std::numbers::pi / 180.0;
    return sphereCentre
           + QPointF(sphereRadius * std::cos(t), sphereRadius * equatorFlatness * std::sin(t));
}

// Points of the linkage: ground pivots on the near half of the equator, the moving joints
// above them and the coupler point near the top.
const QPointF groundLeft = onEquator(140.0); // A0
const QPointF groundRight = onEquator(38.0); // B0
const QPointF jointLeft(84.0, 118.0);        // A1, corner of a, c and h
const QPointF jointRight(258.0, 100.0);      // B1, corner of c and b
const QPointF couplerPoint(128.0, 34.0);     // P, top corner of the coupler triangle

// A link drawn as a gentle arc: a great circle's arc on the near hemisphere bows away from the
// sphere's centre as seen by the viewer.
QPointF bowControl(QPointF from, QPointF to, double bow)
{
    const QPointF middle = (from + to) / 2.0;
    QPointF away = middle - sphereCentre;
    const double length = std::hypot(away.x(), away.y());
    if (length > 0.0)
        away /= length;
    return middle + away * (bow * QLineF(from, to).length());
}

void addArc(QPainterPath& path, QPointF from, QPointF to, double bow)
{
    if (path.elementCount() == 0)
        path.moveTo(from);
    path.quadTo(bowControl(from, to, bow), to);
}

QPainterPath arcPath(QPointF from, QPointF to, double bow)
{
    QPainterPath path;
    addArc(path, from, to, bow);
    return path;
}

void drawLetter(QPainter& painter, const QFont& font, const QString& letter, QPointF centre)
{
    QPainterPath path;
    path.addText(0, 0, font, letter);
    path.setFillRule(Qt::WindingFill);
    const QPointF shift = centre - path.boundingRect().center();
    painter.fillPath(path.translated(shift), letterRed);
}

double directionDegrees(QPointF from, QPointF to)
{
    return std::atan2(to.y() - from.y(), to.x() - from.x()) * 180.0 / std::numbers::pi;
}

// The angle k at A1: a small arc from side c toward side h, ending in an arrowhead.
void drawAngleMark(QPainter& painter, const QFont& font)
{
    constexpr double radius = 34.0;
    const double start = directionDegrees(jointLeft, jointRight) - 5.0;
    const double end = directionDegrees(jointLeft, couplerPoint) + 9.0;
    QPolygonF arc;
    constexpr int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const double t = (start + (end - start) * i / steps) * std::numbers::pi / 180.0;
        arc << jointLeft + QPointF(radius * std::cos(t), radius * std::sin(t));
    }
    painter.setPen(QPen(pivotBlack, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(arc);

    // The arrowhead points along the arc's direction of travel at its end.
    const double t = end * std::numbers::pi / 180.0;
    const double turn = end < start ? -1.0 : 1.0;
    const QPointF tip = arc.last();
    const QPointF along(-std::sin(t) * turn, std::cos(t) * turn);
    const QPointF across(-along.y(), along.x());
    constexpr double headLength = 8.0;
    constexpr double headHalfWidth = 4.0;
    QPolygonF head;
    head << tip + along * 2.0 << tip - along * headLength + across * headHalfWidth
         << tip - along * headLength - across * headHalfWidth;
    painter.setPen(Qt::NoPen);
    painter.setBrush(pivotBlack);
    painter.drawPolygon(head);

    const double middle = (start + end) / 2.0 * std::numbers::pi / 180.0;
    drawLetter(painter, font, QStringLiteral("k"),
               jointLeft + QPointF(std::cos(middle), std::sin(middle)) * (radius + 16.0));
}

} // namespace

QImage drawLinkageDiagram(const QFont& letterFont)
{
    QImage image(diagramWidth, diagramHeight, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);

    // Sphere outline, equator and the polar great circle.
    painter.setPen(QPen(sphereGreen, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(sphereCentre, sphereRadius, sphereRadius);
    painter.drawEllipse(sphereCentre, sphereRadius, sphereRadius * equatorFlatness);
    painter.drawEllipse(sphereCentre, sphereRadius * meridianWidth, sphereRadius);

    // The coupler triangle: c from A1 to B1, the unlabelled side up to P, and h back to A1.
    constexpr double sideBow = 0.06;
    QPainterPath triangle;
    addArc(triangle, jointLeft, jointRight, sideBow);
    addArc(triangle, jointRight, couplerPoint, sideBow);
    addArc(triangle, couplerPoint, jointLeft, sideBow);
    triangle.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(couplerGreen);
    painter.drawPath(triangle);

    // The linkage in thick blue: links a and b, then the sides of the coupler.
    constexpr double linkBow = 0.12;
    painter.setPen(QPen(linkBlue, 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arcPath(groundLeft, jointLeft, linkBow));
    painter.drawPath(arcPath(jointRight, groundRight, linkBow));
    painter.drawPath(triangle);

    QFont font = letterFont;
    font.setItalic(true);
    font.setPixelSize(30);
    drawAngleMark(painter, font);

    // Ground pivots: black rings on the equator. Moving joints: white dots.
    painter.setPen(QPen(pivotBlack, 2.0));
    painter.setBrush(background);
    for (QPointF pivot : {groundLeft, groundRight})
        painter.drawEllipse(pivot, 6.5, 6.5);
    painter.setPen(QPen(linkBlue, 1.0));
    painter.setBrush(jointWhite);
    for (QPointF joint : {jointLeft, jointRight})
        painter.drawEllipse(joint, 5.5, 5.5);

    drawLetter(painter, font, QStringLiteral("a"), QPointF(36.0, 152.0));
    drawLetter(painter, font, QStringLiteral("b"), QPointF(310.0, 140.0));
    drawLetter(painter, font, QStringLiteral("c"), QPointF(190.0, 117.0));
    drawLetter(painter, font, QStringLiteral("f"), QPointF(171.0, 240.0));
    drawLetter(painter, font, QStringLiteral("h"), QPointF(88.0, 66.0));
    return image;
}

} // namespace cyclar::detail
