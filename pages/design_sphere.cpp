// The Design window's sphere: the core draws it; a drag turns it, a click picks.
#include "design_sphere.h"

#include "frame_composition.h"
#include "raster.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace cyclar {

namespace {

constexpr int sphereSide = 360;
// A press and release closer than this (pixels) is a click, not a drag.
constexpr int clickSlop = 3;

} // namespace

double wrappedTurn(double turn)
{
    const double wrapped = std::remainder(turn, 360.0);
    return wrapped == -180.0 ? 180.0 : wrapped;
}

DesignSphere::DesignSphere(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sphereSide, sphereSide);
    setAccessibleName(QStringLiteral("Task and linkage on the sphere"));
    m_view.recompute();
}

void DesignSphere::setScene(const DesignTask& task, const DesignCandidate* candidate,
                            const DesignStep& step)
{
    m_task = task;
    m_candidate = candidate ? std::optional<DesignCandidate>(*candidate) : std::nullopt;
    m_step = step;
    update();
}

void DesignSphere::setMap(const DesignMapView* map)
{
    m_map = map ? std::optional<DesignMapView>(*map) : std::nullopt;
    update();
}

void DesignSphere::setView(const ViewOrientation& view)
{
    m_view = view;
    m_view.recompute();
    update();
}

QImage DesignSphere::draw(int scale) const
{
    PixelBuffer pixels(width() * scale, height() * scale, PixelOrder::Argb32);
    pixels.fill(white);
    Raster raster(pixels);
    DesignViewPalette palette;
    palette.scale = scale;
    composeDesignView(raster, m_task, m_candidate ? &*m_candidate : nullptr, m_step, m_view,
                      palette, m_map ? &*m_map : nullptr);
    return QImage(pixels.bytes(), pixels.width(), pixels.height(), pixels.width() * 4,
                  QImage::Format_RGB32)
        .copy();
}

QImage DesignSphere::picture() const
{
    return draw(1);
}

void DesignSphere::paintEvent(QPaintEvent*)
{
    const double ratio = devicePixelRatioF();
    const int scale = !(ratio > 1.0)            ? 1
                      : ratio < maxPictureScale ? static_cast<int>(std::ceil(ratio))
                                                : maxPictureScale;
    QPainter painter(this);
    painter.drawImage(rect(), draw(scale));
}

void DesignSphere::mousePressEvent(QMouseEvent* event)
{
    m_pressedAt = event->position().toPoint();
    m_pressedView = m_view;
    m_dragging = false;
}

void DesignSphere::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        return;
    }
    // Measured from where the drag began, so that no pixel of a slow drag is lost: a whole
    // degree of turn per pixel across, of tilt per pixel up, the turn all the way round.
    const QPoint moved = event->position().toPoint() - m_pressedAt;
    m_dragging = m_dragging || moved.manhattanLength() >= clickSlop;
    if (!m_dragging) {
        return;
    }
    m_view.turn = wrappedTurn(m_pressedView.turn + moved.x());
    m_view.tilt = std::clamp(m_pressedView.tilt - moved.y(), -90.0, 90.0);
    m_view.recompute();
    update();
}

void DesignSphere::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !m_dragging) {
        emit clicked(event->position());
    }
    m_dragging = false;
}

} // namespace cyclar
