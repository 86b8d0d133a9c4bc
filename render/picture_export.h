// Pictures leaving the program: a frame as PNG, a whole cycle as an animated GIF, written
// atomically so that a failed or cancelled export leaves any earlier file whole.
#pragma once

#include "frame.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <functional>

namespace cyclar {

/// Side of the square picture an export draws, as the animation page shows it.
inline constexpr int exportPictureSize = 480;

/// Told after each frame (frames done, of total); returning false cancels the export.
using ExportProgress = std::function<bool(int done, int total)>;

/// Brings a scene as a page built from it holds it to frame `frame` (1..framesPerCycle): its
/// first paint (which records what a paint records, drawn nowhere), then one tick per frame,
/// each advancing the clock exactly as the page does.
void advanceToFrame(SceneState& scene, int frame, const FramePalette& palette = FramePalette());

/// The picture a page built from `scene` shows at frame `frame` (see advanceToFrame).
QImage renderFramePicture(SceneState scene, int frame,
                          const FramePalette& palette = FramePalette());

/// The picture of the frame `scene` stands on now, as the next paint would show it.
QImage renderCurrentPicture(SceneState scene, const FramePalette& palette = FramePalette());

/// Runs a copy of `scene` through one whole cycle, frames 1 to framesPerCycle in order, calling
/// visit(frame, picture) for each; stops early (and returns false) when visit returns false.
bool renderCycle(SceneState scene, const FramePalette& palette,
                 const std::function<bool(int frame, const QImage& picture)>& visit);

/// Delay between frames of the animated GIF, in hundredths of a second: the animation clock's
/// period for speed position p, to the nearest hundredth.
int gifFrameDelay(int speedPos);

/// The message for a file that could not be written, naming it and why.
QString writeFailure(const QString& path, const QString& reason);

/// Writes `bytes` to `path` through the one atomic writer (see writeFileAtomically): all or
/// nothing, an earlier file untouched on failure. On failure `error` names the file and the
/// system's reason.
bool writeFileBytes(const QString& path, const QByteArray& bytes, QString& error);

/// Writes `picture` as PNG, encoded in memory and then written at once. The name must end in
/// .png. On failure `error` names the file and why.
bool writePng(const QImage& picture, const QString& path, QString& error);

/// Writes one whole cycle of `scene` (see renderCycle) as an animated GIF that loops forever,
/// each frame shown for `delay` hundredths of a second; every frame's pixels are exactly the
/// picture renderFramePicture gives for it. The whole file is made in memory and then written
/// at once. The name must end in .gif. A cancelled export returns false with `error` set to
/// "cancelled"; any other failure's `error` names the file and why.
bool writeCycleGif(const QString& path, const SceneState& scene, const FramePalette& palette,
                   int delay, const ExportProgress& progress, QString& error);

} // namespace cyclar
