// renderFrame: the core composes the picture, the target gets it, and the canvas is cleared.
#include "frame.h"

namespace cyclar {

void renderFrame(Canvas& canvas, SceneState& scene, const FrameTarget& target,
                 const FramePalette& palette)
{
    canvas.drawFrame(scene, palette, target, palette.clear);
}

void prepareCanvas(std::unique_ptr<Canvas>& canvas, int canvasWidth, int canvasHeight)
{
    const bool usable = canvas && canvas->width() == canvasWidth && canvas->height() == canvasHeight
                        && canvas->pixel(0, 0) == 0x00FFFFFFu;
    if (!usable) {
        canvas = std::make_unique<Canvas>(canvasWidth, canvasHeight);
    }
    for (int x = 0; x < canvasWidth; ++x) {
        for (int y = 0; y < canvasHeight; ++y) {
            canvas->setPixel(x, y, 0xFFFFFFFFu);
        }
    }
}

} // namespace cyclar
