// The picture and the animation as files, for the browser's exports: what cyclar-export png,
// svg and gif write.
#include "api_support.h"

#include "gif_encoder.h"
#include "motion_schedule.h"
#include "svg_surface.h"

#include <memory>

using namespace cyclar;

namespace {

// One animation export at a time: a copy of the scene run through one whole cycle, frame by
// frame, as the desktop's export runs it, each frame into the encoder.
struct GifExport {
    GifExport(const SceneState& from, int delay)
        : scene(from),
          encoder(WebScene::pictureSize, WebScene::pictureSize,
                  {white, FramePalette().sphere.colour, FramePalette().curve.colour,
                   FramePalette().link.colour, FramePalette().joint.colour, FramePalette().label},
                  delay)
    {
        scene.schedule.frameIndex = 1; // the first paint derives frame 1's parameter itself
    }
    SceneState scene;
    FramePalette palette; ///< the picture's, at one pixel per picture pixel
    FrameRenderer renderer{WebScene::pictureSize, WebScene::pictureSize, PixelOrder::Rgba};
    GifEncoder encoder;
    int frame = 0;
    std::string bytes;
};

std::unique_ptr<GifExport>& gifExport()
{
    static std::unique_ptr<GifExport> current;
    return current;
}

} // namespace

/// The picture the scene's next compose shows, at one pixel per picture pixel whatever the
/// screen's scale: the 480 x 480 RGBA pixels cyclar-export png writes, valid until the next call.
const std::uint8_t* cyclar_scene_picture(const WebScene* s)
{
    static FrameRenderer renderer{WebScene::pictureSize, WebScene::pictureSize, PixelOrder::Rgba};
    SceneState copy = s->scene;
    FramePalette palette;
    palette.rotationAxis = s->palette.rotationAxis;
    return renderer.render(copy, palette).bytes();
}

/// The same picture as an SVG document (text valid until the next call).
const char* cyclar_scene_svg(const WebScene* s)
{
    SceneState copy = s->scene;
    FramePalette palette;
    palette.rotationAxis = s->palette.rotationAxis;
    return web::handOut(frameSvgDocument(copy, palette));
}

/// Starts an animated GIF of one whole cycle of the scene as it stands, each frame lasting the
/// clock's period at the speed slider's position (to the nearest hundredth of a second).
/// Returns the number of frames it will have.
int cyclar_gif_begin(const WebScene* s, int speedPosition)
{
    const int delay = (tickInterval(speedPosition) + 5) / 10;
    gifExport() = std::make_unique<GifExport>(s->scene, delay);
    gifExport()->palette.rotationAxis = s->palette.rotationAxis;
    return gifExport()->scene.schedule.framesPerCycle;
}

/// Encodes up to `count` more frames; returns the frames done so far, or -1 on failure.
int cyclar_gif_step(int count)
{
    GifExport* job = gifExport().get();
    if (!job) {
        return -1;
    }
    std::string error;
    for (int i = 0; i < count && job->frame < job->scene.schedule.framesPerCycle; ++i) {
        if (job->frame > 0) {
            advanceFrame(job->scene.schedule, job->scene.model);
        }
        if (!job->encoder.addFrame(job->renderer.render(job->scene, job->palette), error)) {
            gifExport().reset();
            return -1;
        }
        ++job->frame;
    }
    return job->frame;
}

/// The finished file's bytes (all frames must be done, else null); cyclar_gif_size tells how
/// many.
const std::uint8_t* cyclar_gif_finish()
{
    GifExport* job = gifExport().get();
    if (!job || job->frame < job->scene.schedule.framesPerCycle) {
        return nullptr;
    }
    if (job->bytes.empty()) {
        job->bytes = job->encoder.finish();
    }
    return reinterpret_cast<const std::uint8_t*>(job->bytes.data());
}

int cyclar_gif_size()
{
    GifExport* job = gifExport().get();
    return job ? static_cast<int>(job->bytes.size()) : 0;
}

/// Lets the finished file go.
void cyclar_gif_end()
{
    gifExport().reset();
}
