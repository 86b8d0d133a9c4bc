// Start-up: dialog look, bundled fonts and icon, the title page, and F1 for help.
#include "cyclar_app.h"

#include "artwork.h"
#include "dialog_colours.h"
#include "help_page.h"
#include "page.h"
#include "title_page.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>

namespace cyclar {

QString executableBaseName()
{
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return name.isEmpty() ? QString::fromLatin1(fallbackApplicationName) : name;
}

CCyclarApp::CCyclarApp(QApplication& app) : QObject(nullptr), m_app(app) {}

void CCyclarApp::InitInstance()
{
    // No display name is set: the window system would append it to every caption.
    QCoreApplication::setApplicationName(executableBaseName());
    QCoreApplication::setApplicationVersion(QString::fromLatin1(applicationVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("cyclar"));
    QGuiApplication::setQuitOnLastWindowClosed(false); // the chain decides when the program ends
    applyDialogLook(m_app);
    initArtwork();
    QApplication::setFont(defaultTextFont());
    QApplication::setWindowIcon(mainIcon());
    m_app.installEventFilter(this);

    connect(&m_chain, &PageChain::finished, &m_app, &QCoreApplication::quit, Qt::QueuedConnection);
    m_chain.start(std::make_unique<CCyclarDlg>(m_state));
}

int CCyclarApp::run()
{
    InitInstance();
    return QCoreApplication::exec();
}

bool CCyclarApp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        // The page the key was typed on, whichever of its controls had the focus.
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* page = widget ? qobject_cast<Page*>(widget->window()) : nullptr;
        if (page && !page->isInputBlocked() && !qobject_cast<help*>(page)) {
            showHelp(page);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace cyclar
