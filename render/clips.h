// The two looping clips of the moving linkage: their frames are drawn by the frame renderer.
#pragma once

// Only Qt headers here: the clip player in the dialog layer includes this file for ClipSource.
// The clips' linkage, views and colours are the core's (clip_frames.h): the browser plays the
// same clips.
#include <QImage>
#include <QList>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <memory>

namespace cyclar {

struct ClipShot;

/// Frames of a clip, made on demand. frame(i) may be slow the first time (it draws the
/// picture) and is cheap afterwards. A source may hand out one picture that it redraws for the
/// next frame asked for: a copy kept meanwhile stays as it was, but costs a copy of the picture.
class ClipSource {
public:
    virtual ~ClipSource() = default;
    virtual int frameCount() const = 0;
    virtual QSize frameSize() const = 0;
    /// Frame i, 0 <= i < frameCount(); a null image for any other i.
    virtual QImage frame(int i) = 0;
    /// The part of the picture in which frames `from` and `to` may differ: the whole picture
    /// unless the source knows better.
    virtual QRect changedArea(int /*from*/, int /*to*/) const
    {
        return QRect(QPoint(0, 0), frameSize());
    }
};

/// Size, length, rate and key frames of a clip.
struct ClipSpec {
    QSize frameSize;
    int frameCount = 0;
    int framesPerSecond = 0;
    QList<int> keyFrames;
};

/// The title page's clip: a fixed view, the linkage through one cycle.
ClipSpec clip1038Spec();
/// The Circular View clip: the viewpoint goes once round the sphere's vertical axis while the
/// linkage runs through one cycle.
ClipSpec clip170Spec();

/// One picture of the clip linkage at the given size (radius 90 % of the width), without a
/// label, in the clip colours, as RGB32.
QImage renderClipPicture(QSize size, const ClipShot& shot);

/// Lazy sources of the two clips: a frame is drawn the first time it is asked for, then kept as
/// runs of coloured pixels; frames come as RGB32 pictures, the form the screen takes.
std::shared_ptr<ClipSource> openClip1038();
std::shared_ptr<ClipSource> openClip170();

/// Every frame of each clip, drawn now.
QList<QImage> renderClip1038();
QList<QImage> renderClip170();

} // namespace cyclar
