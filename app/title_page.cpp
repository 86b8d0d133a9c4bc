// The title page: layout around the clip, the window-menu About item, and its hand-over.
#include "title_page.h"

#include "about_dialog.h"
#include "artwork.h"
#include "bitmap_button.h"
#include "circular_view.h"
#include "clip_player.h"
#include "clips.h"
#include "dimensions_page.h"
#include "help_page.h"
#include "page_chain.h"
#include "page_layout.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace cyclar {

QPoint minimisedIconPosition(QSize client, QSize icon)
{
    return QPoint((client.width() - icon.width() + 1) / 2,
                  (client.height() - icon.height() + 1) / 2);
}

CCyclarDlg::CCyclarDlg(AppState& state, QWidget* parent) : Page(parent), m_state(state)
{
    setWindowTitle(QStringLiteral("Animation of Spherical Four-bar Linkages"));
    setWindowIcon(mainIcon());

    const PageLayout layout(this, pageTemplate("title"));
    const DialogUnits& du = layout.units();
    IDC_continue = layout.control<BitmapButton>("IDC_continue");
    IDC_ANIMATE1 = layout.control<ClipPlayer>("IDC_ANIMATE1");
    // The control takes its clip's size (and its border) as the clip opens; it is laid out at
    // that size from the start.
    IDC_ANIMATE1->resize(clip1038Spec().frameSize + QSize(2, 2) * IDC_ANIMATE1->frameWidth());
    IDC_help = layout.control<BitmapButton>("IDC_help");
    IDC_circular = layout.control<BitmapButton>("IDC_circular");

    // The clip is larger than the box its layout gives it; the buttons move to its right,
    // keeping their order and spacing, and the page grows to hold everything.
    const int clipRight = IDC_ANIMATE1->geometry().right();
    const int firstButton = std::min({IDC_continue->x(), IDC_help->x(), IDC_circular->x()});
    const int shift = std::max(0, clipRight + du.toPixelsX(8) - firstButton);
    for (BitmapButton* button : {IDC_continue, IDC_help, IDC_circular}) {
        button->move(button->x() + shift, button->y());
    }
    QRect extent = IDC_ANIMATE1->geometry();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        extent |= child->geometry();
    }
    const PageTemplate& page = pageTemplate("title");
    const QSize templateSize = du.toPixels(QSize(page.width, page.height));
    setFixedSize(std::max(templateSize.width(), extent.right() + 1 + du.toPixelsX(7)),
                 std::max(templateSize.height(), extent.bottom() + 1 + du.toPixelsY(7)));

    onNotify(IDC_continue, [this] { OnContinue(); });
    onNotify(IDC_help, [this] { OnShowHelp(); });
    onNotify(IDC_circular, [this] { OnCircularView(); });
}

bool CCyclarDlg::OnInitDialog()
{
    const bool result = Page::OnInitDialog();
    setWindowIcon(mainIcon());
    // Plays at once, from its first frame, for ever.
    IDC_ANIMATE1->open(openClip1038(), clip1038Spec().framesPerSecond);
    return result;
}

void CCyclarDlg::OnSysCommand(unsigned commandId)
{
    if ((commandId & 0xFFF0u) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
        return;
    }
    if ((commandId & 0xFFF0u) == SC_CLOSE_COMMAND) {
        OnCancel();
    }
}

void CCyclarDlg::contextMenuEvent(QContextMenuEvent* event)
{
    // Where the window system offers no window menu to extend, the page's own menu carries the
    // About item.
    QMenu menu(this);
    menu.addSeparator();
    QAction* about = menu.addAction(QStringLiteral("&About cyclar..."));
    about->setData(IDM_ABOUTBOX);
    if (QAction* chosen = menu.exec(event->globalPos())) {
        OnSysCommand(chosen->data().toUInt());
    }
}

void CCyclarDlg::paintEvent(QPaintEvent* event)
{
    if (!isMinimized()) {
        Page::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QImage icon = mainIcon32();
    painter.drawImage(minimisedIconPosition(size(), icon.size()), icon);
}

void CCyclarDlg::OnContinue()
{
    continueFromTitle(m_state);
    auto next = std::make_unique<cyclar1>(m_state);
    m_state.chain.handOver(this, std::move(next));
}

void CCyclarDlg::OnShowHelp()
{
    showHelp(this);
}

void CCyclarDlg::OnCircularView()
{
    circular window(this);
    window.DoModal();
}

#ifdef Q_OS_WIN
void CCyclarDlg::showEvent(QShowEvent* event)
{
    Page::showEvent(event);
    if (m_systemMenuExtended) {
        return;
    }
    m_systemMenuExtended = true;
    if (HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE)) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, L"&About cyclar...");
    }
}

bool CCyclarDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result)
{
    const MSG* msg = static_cast<const MSG*>(message);
    if (eventType == "windows_generic_MSG" && msg->message == WM_SYSCOMMAND
        && (msg->wParam & 0xFFF0u) == IDM_ABOUTBOX) {
        OnSysCommand(static_cast<unsigned>(msg->wParam));
        *result = 0;
        return true;
    }
    return Page::nativeEvent(eventType, message, result);
}
#endif

} // namespace cyclar
