// A horizontal slider that tells when the mouse lets go of it.
#pragma once

#include <QSlider>

namespace cyclar {

/// A horizontal slider from 0 to 100 without tick marks. It emits released() whenever a mouse
/// button that pressed on it (on the handle or on the groove) is released; keyboard moves
/// change the position silently.
class Trackbar : public QSlider {
    Q_OBJECT
public:
    explicit Trackbar(QWidget* parent = nullptr);

signals:
    void released();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace cyclar
