// The animation control: plays a clip in a sunken frame, looping at the clip's rate.
#pragma once

#include "clips.h"

#include <QElapsedTimer>
#include <QFrame>

#include <functional>
#include <memory>

class QTimer;

namespace cyclar {

/// Shows one frame of a clip at the clip's own size inside a sunken border, its top-left corner
/// at the control's top-left. Opening a clip starts it at once from frame 0 and repeats it
/// without end. Frame k of a loop is due k * 1000 / fps ms after the loop's start; the times
/// come from a clock, never from adding up timer periods, so a late tick costs no drift: it
/// shows the frame that is due by then, skipping the ones in between.
///
/// A clip that cannot be opened (none, no frames, no size, or a rate outside 1..1000 per
/// second) leaves the control empty; nothing is reported. Closing or destroying the control
/// stops the clip; opening it again starts from frame 0.
class ClipPlayer : public QFrame {
    Q_OBJECT
public:
    /// Milliseconds on a clock that never goes back.
    using Clock = std::function<qint64()>;

    explicit ClipPlayer(QWidget* parent = nullptr);
    ~ClipPlayer() override;

    /// Replaces the clock (tests drive time by hand). Takes effect with the next open().
    void setClock(Clock now);

    /// Opens the clip and plays it from frame 0. The control takes the clip's frame size plus
    /// its border. Returns false, and leaves the control empty, if the clip cannot be opened.
    bool open(std::shared_ptr<ClipSource> clip, int framesPerSecond);

    /// Stops playing; the current frame stays shown.
    void stop();

    /// Stops and lets go of the clip: the control shows empty.
    void closeClip();

    /// The frame shown, or -1 when no clip is open.
    int currentFrame() const { return current_; }
    bool isPlaying() const { return playing_; }
    bool hasClip() const { return clip_ != nullptr; }

    /// Shows frame `frame` (ignored outside the clip). While playing, the loop goes on from it
    /// at the clip's rate.
    void seek(int frame);

    /// Brings the control to the frame due now and schedules the next tick. The timer calls it.
    void tick();

    QSize sizeHint() const override;

signals:
    /// A frame became the current one: at open, at each frame change while playing, at seek.
    void frameShown(int frame);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    qint64 now() const;
    /// Milliseconds after the loop's start at which frame k (counted from the start, without
    /// wrapping) is due: ceil(k * 1000 / fps).
    qint64 dueTime(qint64 k) const;
    /// Moves the loop's start so that `elapsed` ms have passed at clock time t; returns the
    /// elapsed time actually set (0 if t is too near the clock's end for that).
    qint64 restartTimeline(qint64 t, qint64 elapsed);
    void showFrame(int frame);
    void scheduleNext(qint64 elapsed, qint64 k);

    std::shared_ptr<ClipSource> clip_;
    Clock clock_;
    QElapsedTimer wallClock_;
    QTimer* timer_ = nullptr;
    qint64 start_ = 0; ///< clock time at which frame 0 of the timeline was due
    int framesPerSecond_ = 0;
    int current_ = -1;
    bool playing_ = false;
};

} // namespace cyclar
