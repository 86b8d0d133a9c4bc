// The colours every page and window of the program is drawn in.
#include "dialog_colours.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace cyclar {

QColor dialogBackgroundColour()
{
    return QColor(180, 180, 230);
}

QColor dialogTextColour()
{
    return QColor(200, 20, 30);
}

QPalette dialogPalette(const QPalette& base)
{
    QPalette palette = base;
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, dialogBackgroundColour());
        palette.setColor(group, QPalette::WindowText, dialogTextColour());
    }
    return palette;
}

void applyDialogColours(QApplication& app)
{
    app.setPalette(dialogPalette(app.palette()));
}

void applyDialogLook(QApplication& app)
{
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows"))) {
        QApplication::setStyle(style); // the application takes ownership
    }
    applyDialogColours(app);
}

} // namespace cyclar
