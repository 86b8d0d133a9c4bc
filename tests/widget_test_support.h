// Test helpers shared by the widget tests: letting queued work run, a page's clock held still for
// ticks driven by hand, memory figures, and silencing the offscreen platform's notes about what
// it cannot do.
#pragma once

#include "bitmap_button.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTest>

#if defined(__SANITIZE_ADDRESS__)
#include <cstddef>
// From the AddressSanitizer runtime (declared here: not every compiler ships its header).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace cyclar::test {

/// Lets posted events and deferred deletions run, as the event loop would between user actions.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

/// A left click on a picture button, then what it set off runs.
inline void click(BitmapButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    settle();
}

/// While it lives, the real clock's ticks never reach `page`: its timers still start, stop and
/// report their periods, but only the test's own OnTimer calls move the frame, so what a test
/// that drives ticks by hand sees does not depend on how fast the machine runs it.
class ClockByHand : public QObject {
public:
    explicit ClockByHand(QObject* page) : page_(page) { page->installEventFilter(this); }
    ~ClockByHand() override
    {
        if (page_) {
            page_->removeEventFilter(this);
        }
    }
    ClockByHand(const ClockByHand&) = delete;
    ClockByHand& operator=(const ClockByHand&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return watched == page_ && event->type() == QEvent::Timer;
    }

private:
    QPointer<QObject> page_;
};

/// Bytes allocated and not freed: unlike the resident size, this leaves out memory the allocator
/// keeps for reuse.
inline qint64 heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<qint64>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return static_cast<qint64>(info.uordblks + info.hblkhd);
#endif
}

inline long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

/// The offscreen platform says "This plugin does not support ..." for every window it shows;
/// that says nothing about the program, so it is dropped. Everything else reaches the test log.
/// Settings and kept files go to a test folder of their own (~/.qttest), never the user's.
inline void keepUserFilesApart()
{
    QStandardPaths::setTestModeEnabled(true);
}

inline void quietPlatformNotes()
{
    static QtMessageHandler testLog = nullptr;
    testLog = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.startsWith(QLatin1String("This plugin does not support")) && testLog) {
                testLog(type, context, message);
            }
        });
}

} // namespace cyclar::test
