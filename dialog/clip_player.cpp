// ClipPlayer: a clock-scheduled loop over a clip's frames; the timer moves it, paintEvent draws.
#include "clip_player.h"

#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <utility>

namespace cyclar {

namespace {

// Faster than this, a frame could not even get its own millisecond.
constexpr int maxFramesPerSecond = 1000;

} // namespace

ClipPlayer::ClipPlayer(QWidget* parent) : QFrame(parent), timer_(new QTimer(this))
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::TabFocus);
    // Every pixel is painted here, frame and border, so nothing beneath is painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &ClipPlayer::tick);
    wallClock_.start();
}

ClipPlayer::~ClipPlayer() = default;

void ClipPlayer::setClock(Clock now)
{
    clock_ = std::move(now);
}

qint64 ClipPlayer::now() const
{
    return clock_ ? clock_() : wallClock_.elapsed();
}

qint64 ClipPlayer::dueTime(qint64 k) const
{
    return (k * 1000 + framesPerSecond_ - 1) / framesPerSecond_;
}

bool ClipPlayer::open(std::shared_ptr<ClipSource> clip, int framesPerSecond)
{
    closeClip();
    if (!clip || clip->frameCount() <= 0 || clip->frameSize().isEmpty() || framesPerSecond < 1
        || framesPerSecond > maxFramesPerSecond) {
        return false;
    }
    clip_ = std::move(clip);
    framesPerSecond_ = framesPerSecond;
    const int border = 2 * frameWidth();
    setFixedSize(clip_->frameSize() + QSize(border, border));
    updateGeometry();

    playing_ = true;
    start_ = now();
    showFrame(0);
    scheduleNext(0, 0);
    return true;
}

void ClipPlayer::stop()
{
    timer_->stop();
    playing_ = false;
}

void ClipPlayer::closeClip()
{
    stop();
    clip_.reset();
    framesPerSecond_ = 0;
    current_ = -1;
    update();
}

void ClipPlayer::seek(int frame)
{
    if (!clip_ || frame < 0 || frame >= clip_->frameCount()) {
        return;
    }
    if (playing_) {
        const qint64 elapsed = restartTimeline(now(), dueTime(frame));
        scheduleNext(elapsed, elapsed * framesPerSecond_ / 1000);
    }
    showFrame(frame);
}

void ClipPlayer::tick()
{
    if (!playing_ || !clip_) {
        return;
    }
    const qint64 t = now();
    qint64 elapsed = 0;
    if (__builtin_sub_overflow(t, start_, &elapsed) || elapsed < 0) {
        // The clock went back (or leapt beyond reach): the loop goes on from the frame shown.
        elapsed = restartTimeline(t, dueTime(current_));
    }
    // frameCount() * 1000 ms hold exactly framesPerSecond whole loops, so the start may move on
    // by that much without changing what is due when; it keeps the arithmetic small.
    const qint64 period = qint64{clip_->frameCount()} * 1000;
    if (elapsed >= period) {
        start_ += elapsed / period * period;
        elapsed %= period;
    }
    const qint64 k = elapsed * framesPerSecond_ / 1000;
    const int frame = static_cast<int>(k % clip_->frameCount());
    if (frame != current_) {
        showFrame(frame);
    }
    scheduleNext(elapsed, k);
}

qint64 ClipPlayer::restartTimeline(qint64 t, qint64 elapsed)
{
    if (__builtin_sub_overflow(t, elapsed, &start_)) {
        start_ = t; // only a clock at the very end of its range gets here
        return 0;
    }
    return elapsed;
}

void ClipPlayer::scheduleNext(qint64 elapsed, qint64 k)
{
    // At most 1000 / fps + 1 ms away, so it fits an int.
    timer_->start(static_cast<int>(dueTime(k + 1) - elapsed));
}

void ClipPlayer::showFrame(int frame)
{
    // Only where the pictures differ is painted again, and never the border.
    const QRect inside = contentsRect();
    const QRect changed = clip_ && current_ >= 0 ? clip_->changedArea(current_, frame)
                                                 : QRect(QPoint(0, 0), inside.size());
    current_ = frame;
    update(changed.translated(inside.topLeft()) & inside);
    emit frameShown(frame);
}

QSize ClipPlayer::sizeHint() const
{
    if (!clip_) {
        return QFrame::sizeHint();
    }
    const int border = 2 * frameWidth();
    return clip_->frameSize() + QSize(border, border);
}

void ClipPlayer::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect inside = contentsRect();
    if (!event->region().subtracted(inside).isEmpty()) {
        painter.fillRect(rect(), palette().window());
        drawFrame(&painter);
    }
    // The frame is drawn here, when it is seen: a clip behind a hidden page costs nothing.
    const QImage image = clip_ && current_ >= 0 ? clip_->frame(current_) : QImage();
    if (image.isNull()) {
        painter.fillRect(inside, palette().window());
        return;
    }
    // No more of the picture than the inside holds, so no clipping is needed to keep off the
    // border; a clip smaller than the control leaves the rest in the background colour.
    const QRect shown(QPoint(0, 0), image.size().boundedTo(inside.size()));
    painter.drawImage(inside.topLeft(), image, shown);
    const QRegion rest = QRegion(inside).subtracted(shown.translated(inside.topLeft()));
    for (const QRect& part : rest)
        painter.fillRect(part, palette().window());
}

void ClipPlayer::closeEvent(QCloseEvent* event)
{
    closeClip();
    QFrame::closeEvent(event);
}

} // namespace cyclar
