// Page layout from dialog units.
#include "page_layout.h"

#include "artwork.h"
#include "bitmap_button.h"
#include "trackbar.h"

#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace cyclar {

PageLayout::PageLayout(QWidget* page, TemplateFont font)
    : m_page(page), m_units(templateBaseUnits(font))
{
    page->setFont(templateFont(font));
}

PageLayout::PageLayout(QWidget* page, const QFont& font) : m_page(page), m_units(font)
{
    page->setFont(font);
}

QLineEdit* PageLayout::edit(int x, int y, int w, int h)
{
    auto* field = new QLineEdit(m_page);
    field->setGeometry(m_units.toPixels(x, y, w, h));
    m_extent |= field->geometry();
    return field;
}

BitmapButton* PageLayout::bitmapButton(int x, int y, int bitmapId)
{
    auto* button = new BitmapButton(QPixmap::fromImage(bitmap(bitmapId)), m_page);
    button->move(m_units.toPixelsX(x), m_units.toPixelsY(y));
    m_extent |= button->geometry();
    return button;
}

QLabel* PageLayout::picture(int x, int y, int bitmapId, bool sunken)
{
    auto* label = new QLabel(m_page);
    const QPixmap pixmap = QPixmap::fromImage(bitmap(bitmapId));
    label->setPixmap(pixmap);
    if (sunken) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(2);
    }
    const int frame = sunken ? 2 * label->frameWidth() : 0;
    label->setGeometry(m_units.toPixelsX(x), m_units.toPixelsY(y), pixmap.width() + frame,
                       pixmap.height() + frame);
    m_extent |= label->geometry();
    return label;
}

namespace {

// Static texts are drawn without antialiasing, as the template fonts are where the layouts come
// from: every pixel of a word is in the text colour itself, none in a blend with the background.
QLabel* staticText(const QString& content, QWidget* page)
{
    auto* label = new QLabel(content, page);
    QFont font = page->font();
    font.setStyleStrategy(QFont::NoAntialias);
    label->setFont(font);
    return label;
}

} // namespace

QLabel* PageLayout::text(int x, int y, int w, int h, const QString& content)
{
    QLabel* label = staticText(content, m_page);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(m_units.toPixels(x, y, w, h));
    m_extent |= label->geometry();
    return label;
}

QLabel* PageLayout::centredText(int x, int y, int w, int h, const QString& content, bool centredDown)
{
    QLabel* label = staticText(content, m_page);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(centredDown ? Qt::AlignCenter : (Qt::AlignHCenter | Qt::AlignTop));
    label->setGeometry(m_units.toPixels(x, y, w, h));
    m_extent |= label->geometry();
    return label;
}

Trackbar* PageLayout::trackbar(int x, int y, int w, int h)
{
    auto* slider = new Trackbar(m_page);
    slider->setGeometry(m_units.toPixels(x, y, w, h));
    m_extent |= slider->geometry();
    return slider;
}

QSize PageLayout::clientSize(int w, int h, QSize atLeast) const
{
    const QSize templateSize = m_units.toPixels(QSize(w, h));
    return QSize(std::max({templateSize.width(), m_extent.right() + 1, atLeast.width()}),
                 std::max({templateSize.height(), m_extent.bottom() + 1, atLeast.height()}));
}

} // namespace cyclar
