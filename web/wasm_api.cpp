// The C interface the browser calls: scenes and their frames, the clock, the field rules, clips.
#include "clip_frames.h"
#include "field_rules.h"
#include "frame_composition.h"
#include "motion_schedule.h"

#include <emscripten/emscripten.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

using namespace cyclar;

namespace {

// One animation page's scene and the picture it is drawn on.
struct WebScene {
    SceneState scene = newScene(LinkageDimensions{}, pictureSize);
    FrameRenderer renderer{pictureSize, pictureSize, PixelOrder::Rgba};
    static constexpr int pictureSize = 480;
};

LinkageDimensions dimensions(double a, double b, double c, double f, double h, double k)
{
    return LinkageDimensions{a, b, c, f, h, k};
}

// Strings handed to JavaScript live here until the next call that returns one; the page copies
// each at once.
const char* handOut(std::string text)
{
    static std::string held;
    held = std::move(text);
    return held.c_str();
}

constexpr std::string_view fieldNames = "abcfhk";

char fieldName(int index)
{
    return index >= 0 && index < static_cast<int>(fieldNames.size())
               ? fieldNames[static_cast<std::size_t>(index)]
               : '\0';
}

FieldRange rangeOf(FieldPage page, int field, const LinkageDimensions& held)
{
    const char name = fieldName(field);
    if (name == '\0') {
        // No such field: a range nothing passes.
        return {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    }
    return fieldRange(page, name, held);
}

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

extern "C" {

// --- scenes ---------------------------------------------------------------------------------

EMSCRIPTEN_KEEPALIVE WebScene* cyclar_scene_create() { return new WebScene; }

EMSCRIPTEN_KEEPALIVE void cyclar_scene_destroy(WebScene* s) { delete s; }

/// A scene as a new animation page builds it: the model from the dimensions, frame 1, the
/// starting view.
EMSCRIPTEN_KEEPALIVE void cyclar_scene_build(WebScene* s, double a, double b, double c, double f,
                                             double h, double k)
{
    s->scene = newScene(dimensions(a, b, c, f, h, k), WebScene::pictureSize);
}

/// The dimensions the page holds now; the model keeps those it was built with.
EMSCRIPTEN_KEEPALIVE void cyclar_scene_set_dimensions(WebScene* s, double a, double b, double c,
                                                      double f, double h, double k)
{
    s->scene.animationCopy = dimensions(a, b, c, f, h, k);
}

EMSCRIPTEN_KEEPALIVE void cyclar_scene_set_view(WebScene* s, double turn, double tilt)
{
    s->scene.view.turn = turn;
    s->scene.view.tilt = tilt;
}

EMSCRIPTEN_KEEPALIVE double cyclar_scene_turn(const WebScene* s) { return s->scene.view.turn; }
EMSCRIPTEN_KEEPALIVE double cyclar_scene_tilt(const WebScene* s) { return s->scene.view.tilt; }

EMSCRIPTEN_KEEPALIVE int cyclar_scene_frame_index(const WebScene* s)
{
    return s->scene.schedule.frameIndex;
}

/// Animate's restore of a saved frame index; the next tick advances from it.
EMSCRIPTEN_KEEPALIVE void cyclar_scene_set_frame_index(WebScene* s, int index)
{
    s->scene.schedule.frameIndex = index;
}

/// One tick of the clock.
EMSCRIPTEN_KEEPALIVE void cyclar_scene_advance(WebScene* s)
{
    advanceFrame(s->scene.schedule, s->scene.model);
}

/// Composes the frame the clock stands on; returns its 480 x 480 RGBA pixels, valid until the
/// scene composes again or is destroyed.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* cyclar_scene_compose(WebScene* s)
{
    return s->renderer.render(s->scene).bytes();
}

EMSCRIPTEN_KEEPALIVE const char* cyclar_scene_label(const WebScene* s)
{
    return classificationLabel(s->scene.model);
}

// --- the clock ------------------------------------------------------------------------------

EMSCRIPTEN_KEEPALIVE int cyclar_tick_interval(int speedPosition) { return tickInterval(speedPosition); }

EMSCRIPTEN_KEEPALIVE double cyclar_slider_angle(int position) { return sliderAngle(position); }

// --- field rules ----------------------------------------------------------------------------

/// The number in a field's text, or NaN when the field rules do not take the text (a number
/// that passes is always finite).
EMSCRIPTEN_KEEPALIVE double cyclar_parse_number(const char* text)
{
    const std::optional<double> value = parseFieldText(text ? std::string_view(text) : std::string_view());
    return value ? *value : std::numeric_limits<double>::quiet_NaN();
}

EMSCRIPTEN_KEEPALIVE const char* cyclar_format_number(double value) { return handOut(formatNumber(value)); }

EMSCRIPTEN_KEEPALIVE const char* cyclar_message_not_number()
{
    return handOut(std::string(notANumberMessage));
}

EMSCRIPTEN_KEEPALIVE const char* cyclar_message_range(double min, double max)
{
    return handOut(rangeMessage(min, max));
}

EMSCRIPTEN_KEEPALIVE int cyclar_in_range(double value, double min, double max)
{
    return inRange(value, min, max) ? 1 : 0;
}

/// The order a page reads its fields back in, as their names: page 0 the dimensions page,
/// 1 the animation page.
EMSCRIPTEN_KEEPALIVE const char* cyclar_field_order(int page)
{
    return handOut(std::string(fieldOrder(page == 0 ? FieldPage::Dimensions : FieldPage::Animation)));
}

/// The range of dimensions page field 0..5 (a, b, c, f, h, k) from the values held now.
EMSCRIPTEN_KEEPALIVE double cyclar_dimensions_lower(int field, double a, double b, double c,
                                                    double f, double h, double k)
{
    return rangeOf(FieldPage::Dimensions, field, dimensions(a, b, c, f, h, k)).min;
}

EMSCRIPTEN_KEEPALIVE double cyclar_dimensions_upper(int field, double a, double b, double c,
                                                    double f, double h, double k)
{
    return rangeOf(FieldPage::Dimensions, field, dimensions(a, b, c, f, h, k)).max;
}

/// The animation page's fixed ranges.
EMSCRIPTEN_KEEPALIVE double cyclar_animation_lower(int field)
{
    return rangeOf(FieldPage::Animation, field, LinkageDimensions{}).min;
}

EMSCRIPTEN_KEEPALIVE double cyclar_animation_upper(int field)
{
    return rangeOf(FieldPage::Animation, field, LinkageDimensions{}).max;
}

// --- clips: 0 the title page's, 1 Circular View's ------------------------------------------

EMSCRIPTEN_KEEPALIVE int cyclar_clip_width(int which) { return formatOf(which).width; }
EMSCRIPTEN_KEEPALIVE int cyclar_clip_height(int which) { return formatOf(which).height; }
EMSCRIPTEN_KEEPALIVE int cyclar_clip_frames(int which) { return formatOf(which).frameCount; }
EMSCRIPTEN_KEEPALIVE int cyclar_clip_rate(int which) { return formatOf(which).framesPerSecond; }

/// Frame i of a clip as RGBA pixels of the clip's size, valid until the clip draws again; null
/// for a clip or frame that does not exist.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* cyclar_clip_frame(int which, int i)
{
    ClipRenderer* renderer = clipRenderer(which);
    if (!renderer || i < 0 || i >= formatOf(which).frameCount) {
        return nullptr;
    }
    return renderer->render(i).bytes();
}

} // extern "C"
