// The About box, built from its layout in the core's table.
#include "about_dialog.h"

#include "artwork.h"
#include "page_layout.h"

#include <QLabel>
#include <QPushButton>

namespace cyclar {

CAboutDlg::CAboutDlg(QWidget* opener) : Page(opener)
{
    setWindowTitle(QStringLiteral("About Orbiqua"));
    const PageLayout layout(this, pageTemplate("about"));
    auto* ok = layout.control<QPushButton>("IDOK");
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAboutDlg::accept);
    setFixedSize(layout.clientSize(QSize(ok->geometry().right() + 8, 0)));
}

} // namespace cyclar
