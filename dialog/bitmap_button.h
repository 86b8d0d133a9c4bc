// A picture that works as a button: the pages' clickable words.
#pragma once

#include <QLabel>
#include <QPixmap>

namespace cyclar {

/// Shows a pixmap at its own size and reports a left click: a press and a release both inside
/// it. It never takes the keyboard focus. The second click of a double click is not a click,
/// so a double click acts once.
class BitmapButton : public QLabel {
    Q_OBJECT
public:
    explicit BitmapButton(const QPixmap& bitmap, QWidget* parent = nullptr);

    /// Replaces the picture; the button takes the new picture's size.
    void setBitmap(const QPixmap& bitmap);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace cyclar
