// The About box's layout.
#include "about_dialog.h"

#include "artwork.h"
#include "page_layout.h"

#include <QLabel>
#include <QPushButton>

namespace cyclar {

CAboutDlg::CAboutDlg(QWidget* opener) : Page(opener)
{
    setWindowTitle(QStringLiteral("About Orbiqua"));
    PageLayout layout(this, TemplateFont::MsSansSerif8);

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap::fromImage(mainIcon32()));
    icon->move(layout.units().toPixelsX(11), layout.units().toPixelsY(11));
    icon->resize(32, 32);
    icon->setObjectName(QStringLiteral("icon"));

    // Plain text: an ampersand here is shown, never taken for an access key.
    layout.text(40, 10, 119, 8, QStringLiteral("Orbiqua Version 1.0"))->setObjectName(QStringLiteral("version"));
    layout.text(40, 24, 180, 8, QStringLiteral("cyclar 1.0.0.1, animation of spherical four-bar linkages"));
    layout.text(40, 36, 180, 8, QStringLiteral("Made by the cyclar developers"));
    layout.text(40, 48, 180, 8, QStringLiteral("Built with Qt, drawn with its own renderer"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setGeometry(layout.units().toPixels(178, 7, 50, 14));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAboutDlg::accept);

    setFixedSize(layout.clientSize(235, 82, QSize(ok->geometry().right() + 8, 0)));
}

} // namespace cyclar
