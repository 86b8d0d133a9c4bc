// Builds a page's widgets from its layout in the core's table (pagelayout/page_layouts.h), in
// dialog units of the page's template font.
#pragma once

#include "artwork.h"
#include "dialog_units.h"
#include "motion_schedule.h" // tickInterval and sliderAngle, which the pages use with their layout
#include "page_layouts.h"

#include <QString>
#include <QWidget>

#include <string_view>
#include <vector>

class QLabel;

namespace cyclar {

/// Places a page's controls. They are created in template order, which is also the keyboard's
/// tab order; each control with an id carries it as its object name.
class PageLayout {
public:
    /// Builds every control of the page's template on `page`, which takes the template font's
    /// stand-in; units are those of the template font itself.
    PageLayout(QWidget* page, const PageTemplate& layout);

    const DialogUnits& units() const { return m_units; }

    /// The control of that id, as the widget class its kind is built with.
    template <typename Widget> Widget* control(std::string_view id) const
    {
        return qobject_cast<Widget*>(find(id));
    }

    /// The static texts and pictures built, in template order (those with the id).
    std::vector<QWidget*> all(std::string_view id) const;

    /// The page's client size: the template's, grown only where a control would reach beyond
    /// it (and to `atLeast`).
    QSize clientSize(QSize atLeast = QSize()) const;

private:
    QWidget* build(const LayoutControl& control);
    QWidget* find(std::string_view id) const;

    QWidget* m_page;
    const PageTemplate& m_layout;
    DialogUnits m_units;
    std::vector<std::pair<const LayoutControl*, QWidget*>> m_built;
};

} // namespace cyclar
