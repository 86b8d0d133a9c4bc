// A page's widgets from the core's layout table.
#include "page_layout.h"

#include "artwork.h"
#include "bitmap_button.h"
#include "clip_player.h"
#include "trackbar.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace cyclar {

namespace {

// Static texts are drawn without antialiasing, as the template fonts are where the layouts come
// from: every pixel of a word is in the text colour itself, none in a blend with the background.
QLabel* staticText(const LayoutControl& control, QWidget* page)
{
    auto* label = new QLabel(
        QString::fromUtf8(control.text.data(), static_cast<qsizetype>(control.text.size())), page);
    QFont font = page->font();
    font.setStyleStrategy(QFont::NoAntialias);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

PageLayout::PageLayout(QWidget* page, const PageTemplate& layout)
    : m_page(page), m_layout(layout), m_units(templateBaseUnits(layout.font))
{
    page->setFont(templateFont(layout.font));
    for (const LayoutControl& control : layout.controls) {
        QWidget* widget = build(control);
        if (!control.id.empty()) {
            widget->setObjectName(
                QString::fromUtf8(control.id.data(), static_cast<qsizetype>(control.id.size())));
        }
        m_built.emplace_back(&control, widget);
    }
}

QWidget* PageLayout::build(const LayoutControl& c)
{
    const QRect box = m_units.toPixels(c.x, c.y, c.w, c.h);
    switch (c.kind) {
    case ControlKind::edit: {
        auto* field = new QLineEdit(m_page);
        field->setGeometry(box);
        return field;
    }
    case ControlKind::bitmapButton: {
        auto* button = new BitmapButton(QPixmap::fromImage(bitmap(c.bitmap)), m_page);
        button->move(box.topLeft());
        return button;
    }
    case ControlKind::picture:
    case ControlKind::sunkenPicture: {
        auto* label = new QLabel(m_page);
        const QPixmap pixmap = QPixmap::fromImage(bitmap(c.bitmap));
        label->setPixmap(pixmap);
        if (c.kind == ControlKind::sunkenPicture) {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setLineWidth(2);
        }
        const int frame = 2 * label->frameWidth();
        label->setGeometry(box.x(), box.y(), pixmap.width() + frame, pixmap.height() + frame);
        return label;
    }
    case ControlKind::text: {
        QLabel* label = staticText(c, m_page);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(box);
        return label;
    }
    case ControlKind::centredText:
    case ControlKind::topCentredText: {
        QLabel* label = staticText(c, m_page);
        label->setAlignment(c.kind == ControlKind::centredText ? Qt::AlignCenter
                                                               : (Qt::AlignHCenter | Qt::AlignTop));
        label->setGeometry(box);
        return label;
    }
    case ControlKind::trackbar: {
        auto* slider = new Trackbar(m_page);
        slider->setGeometry(box);
        return slider;
    }
    case ControlKind::clip: {
        // It takes its clip's size (and its border); the page sizes it for the clip it plays.
        auto* player = new ClipPlayer(m_page);
        player->move(box.topLeft());
        return player;
    }
    case ControlKind::icon: {
        auto* icon = new QLabel(m_page);
        icon->setPixmap(QPixmap::fromImage(mainIcon32()));
        icon->setGeometry(box.x(), box.y(), 32, 32);
        return icon;
    }
    case ControlKind::pushButton:
        break;
    }
    auto* button = new QPushButton(
        QString::fromUtf8(c.text.data(), static_cast<qsizetype>(c.text.size())), m_page);
    button->setGeometry(box);
    return button;
}

QWidget* PageLayout::find(std::string_view id) const
{
    for (const auto& [control, widget] : m_built) {
        if (control->id == id) {
            return widget;
        }
    }
    return nullptr;
}

std::vector<QWidget*> PageLayout::all(std::string_view id) const
{
    std::vector<QWidget*> found;
    for (const auto& [control, widget] : m_built) {
        if (control->id == id) {
            found.push_back(widget);
        }
    }
    return found;
}

QSize PageLayout::clientSize(QSize atLeast) const
{
    QRect extent;
    for (const auto& [control, widget] : m_built) {
        extent |= widget->geometry();
    }
    const QSize templateSize = m_units.toPixels(QSize(m_layout.width, m_layout.height));
    return QSize(std::max({templateSize.width(), extent.right() + 1, atLeast.width()}),
                 std::max({templateSize.height(), extent.bottom() + 1, atLeast.height()}));
}

} // namespace cyclar
