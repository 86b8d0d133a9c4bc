// A picture that works as a button: the pages' clickable words.
#include "bitmap_button.h"

#include <QMouseEvent>

namespace cyclar {

BitmapButton::BitmapButton(const QPixmap& bitmap, QWidget* parent) : QLabel(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setBitmap(bitmap);
}

void BitmapButton::setBitmap(const QPixmap& bitmap)
{
    setPixmap(bitmap);
    setFixedSize(bitmap.deviceIndependentSize().toSize());
}

void BitmapButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressed_ = true;
    event->accept();
}

void BitmapButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    // Last: the handler may hand over to another page and have this one deleted later.
    if (click)
        emit clicked();
}

void BitmapButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The press that came just before this event began the second click; drop it.
    pressed_ = false;
    event->accept();
}

} // namespace cyclar
