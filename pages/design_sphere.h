// The Design window's sphere: the task, the solution map and the chosen linkage, drawn by the
// core. Dragging turns and tilts it by a whole degree per pixel moved; a click (a press and
// release without moving) is handed on, for picking points of the map.
#pragma once

#include "design_view.h"
#include "linkage_design.h"

#include <QPointF>
#include <QWidget>

#include <optional>

namespace cyclar {

class DesignSphere : public QWidget {
    Q_OBJECT
public:
    explicit DesignSphere(QWidget* parent);

    void setScene(const DesignTask& task, const DesignCandidate* candidate, const DesignStep& step);
    /// The solution map to draw (null: none); the sphere keeps its own copy of the view's
    /// colours and picks, the map itself is the window's and must outlive the next setMap.
    void setMap(const DesignMapView* map);
    const ViewOrientation& view() const { return m_view; }
    void setView(const ViewOrientation& view);
    /// The picture as the next paint shows it, at one device pixel per pixel.
    QImage picture() const;

signals:
    /// A click at this point of the widget (its pixels).
    void clicked(QPointF at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage draw(int scale) const;

    DesignTask m_task;
    std::optional<DesignCandidate> m_candidate;
    DesignStep m_step;
    std::optional<DesignMapView> m_map;
    ViewOrientation m_view;
    /// Where the drag started, the view then, and whether it has moved beyond a click.
    QPoint m_pressedAt;
    ViewOrientation m_pressedView;
    bool m_dragging = false;
};

/// A turn of the view in whole degrees, wrapped into (-180, 180].
double wrappedTurn(double turn);

} // namespace cyclar
