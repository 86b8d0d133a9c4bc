// A horizontal slider that tells when the mouse lets go of it.
#include "trackbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionSlider>
#include <qdrawutil.h>

namespace cyclar {

Trackbar::Trackbar(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(0, 100);
    setSingleStep(1);
    setPageStep(20); // a fifth of the range per click on the groove or Page Up/Down
    setTickPosition(QSlider::NoTicks);
    setFocusPolicy(Qt::StrongFocus);
}

void Trackbar::initStyleOption(QStyleOptionSlider* option) const
{
    QSlider::initStyleOption(option);
    option->rect = rect().adjusted(edgeWidth, edgeWidth, -edgeWidth, -edgeWidth);
}

void Trackbar::paintEvent(QPaintEvent* event)
{
    QSlider::paintEvent(event);
    // The classic sunken edge: shadow and dark shadow above and to the left, light below and to
    // the right.
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
}

void Trackbar::mousePressEvent(QMouseEvent* event)
{
    QSlider::mousePressEvent(event);
    // Buttons the slider ignores pass to the page and never come back here as a release.
    if (event->isAccepted())
        pressed_ = true;
}

void Trackbar::mouseReleaseEvent(QMouseEvent* event)
{
    QSlider::mouseReleaseEvent(event);
    if (!pressed_ || event->buttons() != Qt::NoButton)
        return;
    pressed_ = false;
    emit released();
}

} // namespace cyclar
