// The clips for the browser: 0 the title page's, 1 Circular View's.
#include "api_support.h"

#include "clip_frames.h"

#include <algorithm>
#include <array>
#include <memory>

using namespace cyclar;

namespace {

// The clips, each drawn by its own renderer, made when first asked for.
ClipRenderer* clipRenderer(int which)
{
    static std::array<std::unique_ptr<ClipRenderer>, 2> renderers;
    if (which < 0 || which > 1) {
        return nullptr;
    }
    auto& renderer = renderers[static_cast<std::size_t>(which)];
    if (!renderer) {
        renderer = std::make_unique<ClipRenderer>(which == 0 ? Clip::Title : Clip::Circular);
    }
    return renderer.get();
}

ClipFormat formatOf(int which)
{
    if (which < 0 || which > 1) {
        return ClipFormat{};
    }
    return clipFormat(which == 0 ? Clip::Title : Clip::Circular);
}

} // namespace

int cyclar_clip_width(int which)
{
    return formatOf(which).width;
}

int cyclar_clip_height(int which)
{
    return formatOf(which).height;
}

int cyclar_clip_frames(int which)
{
    return formatOf(which).frameCount;
}

int cyclar_clip_rate(int which)
{
    return formatOf(which).framesPerSecond;
}

/// Device pixels per picture pixel of a clip's frames from now on (1..4, others the nearest).
void cyclar_clip_set_scale(int which, int scale)
{
    if (ClipRenderer* renderer = clipRenderer(which)) {
        renderer->setScale(std::clamp(scale, 1, maxPictureScale));
    }
}

/// Frame i of a clip as RGBA pixels of the clip's size, valid until the clip draws again; null
/// for a clip or frame that does not exist. At scale k the frame is k times as wide and tall.
const std::uint8_t* cyclar_clip_frame(int which, int i)
{
    ClipRenderer* renderer = clipRenderer(which);
    if (!renderer || i < 0 || i >= formatOf(which).frameCount) {
        return nullptr;
    }
    return renderer->render(i).bytes();
}
