// A horizontal slider that tells when the mouse lets go of it.
#pragma once

#include <QSlider>

namespace cyclar {

/// A horizontal slider from 0 to 100 without tick marks, inside a sunken edge. It emits
/// released() whenever a mouse button that pressed on it (on the handle or on the groove) is
/// released; keyboard moves change the position silently.
class Trackbar : public QSlider {
    Q_OBJECT
public:
    explicit Trackbar(QWidget* parent = nullptr);

    /// Width of the sunken edge around the slider, in pixels.
    static constexpr int edgeWidth = 2;

signals:
    void released();

protected:
    /// The slider's own parts (groove, handle, focus) lie inside the edge, for painting and for
    /// where the mouse hits alike.
    void initStyleOption(QStyleOptionSlider* option) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace cyclar
