// The base of every page and small window: data exchange, ending, keys and timers.
#include "page.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimerEvent>

#include <algorithm>

namespace cyclar {

namespace {

// The shortest period the window system would run a timer at.
constexpr int minimumTimerPeriodMs = 10;

// What a user does to a window; none of it reaches a page whose input is blocked.
bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

Page::Page(QWidget* parent) : QDialog(parent)
{
    // A caption with a close box, no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

Page::~Page() = default;

void Page::DoDataExchange(DataExchange&) {}

bool Page::UpdateData(bool saveAndValidate)
{
    DataExchange dx(this, saveAndValidate);
    if (!saveAndValidate) {
        DoDataExchange(dx);
        return true;
    }
    return runSaving(dx);
}

bool Page::runSaving(DataExchange& dx)
{
    ++exchanging_;
    DoDataExchange(dx);
    --exchanging_;
    if (exchanging_ == 0 && deleteWhenIdle_)
        deleteLater();
    return !dx.failed();
}

bool Page::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void Page::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void Page::OnCancel()
{
    EndDialog(IDCANCEL);
}

void Page::EndDialog(int result)
{
    ended_ = true;
    setResult(result);
    // Hiding also stops a modal run of the page. QDialog::done() is avoided on purpose: it
    // closes the window, and closing the last visible window can quit the application in the
    // middle of a hand-over.
    QDialog::setVisible(false);
    emit ended(result);
}

int Page::DoModal()
{
    ended_ = false;
    initialised_ = true;
    OnInitDialog();
    if (ended_)
        return result();
    return exec();
}

void Page::deleteWhenIdle()
{
    if (exchanging_ > 0)
        deleteWhenIdle_ = true;
    else
        deleteLater();
}

void Page::SetTimer(int id, int periodMs)
{
    const int period = std::max(periodMs, minimumTimerPeriodMs);
    timers_[id].start(period, Qt::PreciseTimer, this);
    periods_[id] = period;
}

void Page::KillTimer(int id)
{
    timers_.erase(id);
    periods_.erase(id);
}

bool Page::isTimerActive(int id) const
{
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second.isActive();
}

int Page::timerPeriod(int id) const
{
    const auto it = periods_.find(id);
    return it != periods_.end() && isTimerActive(id) ? it->second : 0;
}

void Page::OnTimer(int) {}

void Page::setInputBlocked(bool blocked)
{
    if (blocked == inputBlocked_)
        return;
    inputBlocked_ = blocked;
    // Input goes straight to the control under the mouse or with the focus, so every control
    // is watched, and the page itself.
    QList<QWidget*> widgets = findChildren<QWidget*>();
    widgets.append(this);
    for (QWidget* widget : widgets) {
        if (blocked)
            widget->installEventFilter(this);
        else
            widget->removeEventFilter(this);
    }
}

bool Page::eventFilter(QObject* watched, QEvent* event)
{
    if (inputBlocked_ && isUserInput(event->type())) {
        event->accept(); // taken, so it does not travel on to the page either
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Page::setVisible(bool visible)
{
    if (visible && !initialised_) {
        initialised_ = true;
        OnInitDialog();
        if (ended_)
            return;
    }
    QDialog::setVisible(visible);
}

void Page::accept()
{
    OnOK();
}

void Page::reject()
{
    OnCancel();
}

void Page::done(int result)
{
    EndDialog(result);
}

void Page::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool plain = modifiers == Qt::NoModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (plain || (modifiers == Qt::KeypadModifier && event->key() == Qt::Key_Enter)) {
            event->accept();
            OnOK();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (plain) {
            event->accept();
            OnCancel();
            return;
        }
        break;
    default:
        break;
    }
    // QDialog would turn the keys above into default-button clicks or reject(); other keys
    // are nothing of a page's.
    QWidget::keyPressEvent(event);
}

void Page::closeEvent(QCloseEvent* event)
{
    // The page hides itself when it ends; letting Qt close the window as well could quit the
    // application when it was the last one visible.
    event->ignore();
    if (!ended_ && isVisible() && !inputBlocked_)
        OnCancel();
}

void Page::timerEvent(QTimerEvent* event)
{
    const auto it = std::find_if(timers_.begin(), timers_.end(), [event](const auto& entry) {
        return entry.second.timerId() == event->timerId();
    });
    if (it == timers_.end()) {
        QDialog::timerEvent(event);
        return;
    }
    OnTimer(it->first);
}

} // namespace cyclar
