// The help page: its paragraphs (from the layout table) grow to hold their text.
#include "help_page.h"

#include "artwork.h"
#include "page_layout.h"

#include <QLabel>

#include <algorithm>

namespace cyclar {

help::help(QWidget* opener) : Page(opener)
{
    setWindowTitle(QStringLiteral("Help"));
    const PageLayout layout(this, pageTemplate("help"));
    // A paragraph that needs more lines in the stand-in face than its box holds grows, and
    // the paragraphs below it move down: no text is ever cut off.
    int bottom = 0;
    for (QWidget* label : layout.all("paragraph")) {
        const int top = std::max(label->y(), bottom + layout.units().toPixelsY(2));
        const int height = std::max(label->height(), label->heightForWidth(label->width()));
        label->setGeometry(label->x(), top, label->width(), height);
        bottom = label->geometry().bottom();
    }
    setFixedSize(layout.clientSize(QSize(0, bottom + 1 + layout.units().toPixelsY(9))));
}

void showHelp(QWidget* opener)
{
    help page(opener);
    page.DoModal();
}

} // namespace cyclar
