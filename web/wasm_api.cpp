// The C interface the browser calls: scenes and their frames, the clock, the field rules, clips,
// the linkage analysis and its angles, linkage files (read and written by the core's one
// reader and writer, so a bad file gets the very reason cyclar-export gives), and the design of
// linkages for a task, with its view.
#include "clip_frames.h"
#include "design_result_text.h"
#include "design_view.h"
#include "field_rules.h"
#include "frame_composition.h"
#include "gif_encoder.h"
#include "linkage_analysis.h"
#include "linkage_file.h"
#include "linkage_rates.h"
#include "motion_schedule.h"
#include "page_layouts.h"
#include "raster.h"
#include "significant_text.h"
#include "svg_surface.h"
#include "task_file.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace cyclar;

namespace {

// One animation page's scene and the picture it is drawn on.
struct WebScene {
    SceneState scene = newScene(LinkageDimensions{}, pictureSize);
    FrameRenderer renderer{pictureSize, pictureSize, PixelOrder::Rgba};
    FramePalette palette;
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

std::string jsonString(std::string_view text)
{
    return jsonQuoted(std::string(text));
}

// JSON for the page: numbers in their shortest round-trip form (jsonNumberText), so JSON.parse
// gives the very doubles the core computed, and null where a value is not finite.
template <typename Numbers> std::string jsonArray(const Numbers& values)
{
    std::string out = "[";
    for (const double value : values) {
        out += (out.size() > 1 ? "," : "") + jsonNumberText(value);
    }
    return out + ']';
}

std::string jsonOptional(const std::optional<double>& value)
{
    return value ? jsonNumberText(*value) : std::string("null");
}

const char* motionName(LinkMotion motion)
{
    switch (motion) {
    case LinkMotion::Rotates:
        return "rotates";
    case LinkMotion::RocksThrough0:
        return "rocks-through-0";
    case LinkMotion::RocksThroughPi:
        return "rocks-through-180";
    case LinkMotion::RocksBetween:
        break;
    }
    return "rocks-between";
}

std::string poseAnglesJson(const PoseAngles& angles)
{
    return "[" + jsonNumberText(angles.theta) + "," + jsonNumberText(angles.psi) + ","
           + jsonNumberText(angles.mu) + "," + std::to_string(angles.branch) + "]";
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

const char* layoutFontName(LayoutFont font)
{
    switch (font) {
    case LayoutFont::MsSansSerif8:
        return "msSansSerif8";
    case LayoutFont::TimesNewRomanExtraBold10:
        return "timesNewRomanExtraBold10";
    case LayoutFont::Tahoma8:
        return "tahoma8";
    case LayoutFont::TimesNewRoman12:
        break;
    }
    return "timesNewRoman12";
}

const char* controlKindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::edit:
        return "edit";
    case ControlKind::bitmapButton:
        return "bitmapButton";
    case ControlKind::picture:
        return "picture";
    case ControlKind::sunkenPicture:
        return "sunkenPicture";
    case ControlKind::text:
        return "text";
    case ControlKind::centredText:
        return "centredText";
    case ControlKind::topCentredText:
        return "topCentredText";
    case ControlKind::trackbar:
        return "trackbar";
    case ControlKind::clip:
        return "clip";
    case ControlKind::icon:
        return "icon";
    case ControlKind::pushButton:
        break;
    }
    return "pushButton";
}

} // namespace

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

// The input angles the charts are sampled at: every half degree from -180 to 180 and each input
// limit (both signs), where the branches meet; ascending.
std::vector<double> chartInputs(const LinkageAnalysis& analysis)
{
    std::vector<double> inputs;
    for (int i = 0; i <= 720; ++i) {
        inputs.push_back(-180.0 + 0.5 * i);
    }
    for (const double limit : analysis.inputLimits) {
        inputs.push_back(-limit);
        inputs.push_back(limit);
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

std::unique_ptr<GifExport>& gifExport()
{
    static std::unique_ptr<GifExport> current;
    return current;
}

} // namespace

namespace {

// The Design panel's task and what the design gave for it, kept between calls: the view is drawn
// many times a second from them, and designing again per frame would be wasted work.
struct WebDesign {
    DesignTask task;
    DesignResult result;
    /// Each candidate's tour, worked out when the view first shows it.
    std::vector<std::optional<std::vector<DesignStep>>> tours;
    PixelBuffer picture;
};

// The words of a design's answer: {"kind", "candidates": [{"type", "defects"}], "reason"}. Its
// numbers go to the page as doubles (cyclar_design_numbers): formatting and reading them as
// text costs the browser's C library many times what the design itself takes.
std::string designWords(const DesignResult& result)
{
    std::string out = result.kind == TaskKind::Function ? "{\"kind\":\"function\",\"candidates\":["
                                                        : "{\"kind\":\"motion\",\"candidates\":[";
    for (std::size_t i = 0; i < result.candidates.size(); ++i) {
        const DesignCandidate& c = result.candidates[i];
        out += (i == 0 ? "{\"type\":" : ",{\"type\":") + jsonString(c.type) + ",\"defects\":[";
        for (std::size_t j = 0; j < c.defects.size(); ++j) {
            out += (j == 0 ? "" : ",") + jsonString(defectText(c.defects[j]));
        }
        out += "]}";
    }
    out += "],\"reason\":"
           + (result.reason.empty() ? std::string("null") : jsonString(result.reason)) + "}";
    return out;
}

WebDesign& webDesign()
{
    static WebDesign design;
    return design;
}

// The numbers a task's table hands over, written by the page before it asks for the task's text.
std::vector<double>& taskNumbers()
{
    static std::vector<double> numbers;
    return numbers;
}

// The task the table's numbers make: `rows` positions (longitude, latitude, heading) then, with
// `extra`, two fixed pivots (longitude, latitude each); or `rows` pairs (input, output) then, with
// `extra`, the ground. Nothing when the page wrote fewer numbers than that.
std::optional<DesignTask> tableTask(int kind, int rows, int extra)
{
    const std::vector<double>& n = taskNumbers();
    const bool motion = kind == 0;
    const std::size_t stride = motion ? 3 : 2;
    const std::size_t extras = extra == 0 ? 0 : motion ? 4 : 1;
    // Compared by division: the product could wrap round a 32-bit size.
    if (rows < 0 || (kind != 0 && kind != 1) || extras > n.size()
        || static_cast<std::size_t>(rows) > (n.size() - extras) / stride) {
        return std::nullopt;
    }
    const auto count = static_cast<std::size_t>(rows);
    DesignTask task;
    task.kind = motion ? TaskKind::Motion : TaskKind::Function;
    for (std::size_t i = 0; i < count; ++i) {
        const double* row = n.data() + i * stride;
        if (motion) {
            task.positions.push_back(TaskPosition{row[0], row[1], row[2]});
        } else {
            task.pairs.push_back(TaskPair{row[0], row[1]});
        }
    }
    const double* rest = n.data() + count * stride;
    if (extras == 4) {
        task.fixedPivots = {TaskPivot{rest[0], rest[1]}, TaskPivot{rest[2], rest[3]}};
    } else if (extras == 1) {
        task.ground = rest[0];
    }
    return task;
}

// The tour of candidate i of the design held now (empty for none).
const std::vector<DesignStep>& tourOf(std::size_t i)
{
    WebDesign& design = webDesign();
    if (i >= design.result.candidates.size()) {
        static const std::vector<DesignStep> none;
        return none;
    }
    std::optional<std::vector<DesignStep>>& tour = design.tours[i];
    if (!tour) {
        tour = designTour(design.result.candidates[i]);
    }
    return *tour;
}

// A view angle from the page, as the view takes it: a finite number of degrees.
double viewAngle(double degrees)
{
    return std::isfinite(degrees) ? std::clamp(degrees, -360.0, 360.0) : 0.0;
}

} // namespace

extern "C" {

// --- page layouts ---------------------------------------------------------------------------

// {"font", "size": [w, h], "controls": [{"kind", "id", "box": [x, y, w, h], "bitmap", "text",
// "name"}]} of the named page, in dialog units; controls in template order.
EMSCRIPTEN_KEEPALIVE const char* cyclar_page_layout(const char* page)
{
    const PageTemplate& layout = pageTemplate(page);
    std::string out = std::string("{\"font\":\"") + layoutFontName(layout.font) + "\",\"size\":["
                      + std::to_string(layout.width) + "," + std::to_string(layout.height)
                      + "],\"controls\":[";
    bool first = true;
    for (const LayoutControl& c : layout.controls) {
        out += first ? "{" : ",{";
        first = false;
        out += std::string("\"kind\":\"") + controlKindName(c.kind)
               + "\",\"id\":" + jsonString(c.id) + ",\"box\":[" + std::to_string(c.x) + ","
               + std::to_string(c.y) + "," + std::to_string(c.w) + "," + std::to_string(c.h)
               + "],\"bitmap\":" + std::to_string(c.bitmap) + ",\"text\":" + jsonString(c.text)
               + ",\"name\":" + jsonString(c.name) + "}";
    }
    return handOut(out + "]}");
}

// --- scenes ---------------------------------------------------------------------------------

// The page makes its scene once and keeps it as long as it runs, so none is ever taken back.
EMSCRIPTEN_KEEPALIVE WebScene* cyclar_scene_create()
{
    return new WebScene;
}

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

EMSCRIPTEN_KEEPALIVE double cyclar_scene_turn(const WebScene* s)
{
    return s->scene.view.turn;
}
EMSCRIPTEN_KEEPALIVE double cyclar_scene_tilt(const WebScene* s)
{
    return s->scene.view.tilt;
}

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
    return s->renderer.render(s->scene, s->palette).bytes();
}

/// Device pixels per picture pixel from the next compose on (1..4, others the nearest): the
/// picture is then 480k x 480k, the same drawing k times larger.
EMSCRIPTEN_KEEPALIVE void cyclar_scene_set_scale(WebScene* s, int scale)
{
    s->palette.scale = std::clamp(scale, 1, maxPictureScale);
}

/// Whether the picture also draws the coupler's rotation axis (the pole, the fixed polode and
/// P's velocity), from the next compose on; the exports follow it.
EMSCRIPTEN_KEEPALIVE void cyclar_scene_set_rotation_axis(WebScene* s, int shown)
{
    s->palette.rotationAxis = shown != 0;
}

EMSCRIPTEN_KEEPALIVE const char* cyclar_scene_label(const WebScene* s)
{
    return classificationLabel(s->scene.model);
}

/// The angles of the pose the scene's next compose draws: theta, psi, mu (NaN where the pose is
/// not finite) and the branch, as four doubles valid until the next call. Numbers, not text: the
/// Analysis panel asks for them every tick.
EMSCRIPTEN_KEEPALIVE const double* cyclar_scene_angles(const WebScene* s)
{
    static std::array<double, 4> held{};
    const PoseAngles angles =
        shownPoseAngles(s->scene.model, s->scene.animationCopy, s->scene.schedule);
    held = {angles.theta, angles.psi, angles.mu, static_cast<double>(angles.branch)};
    return held.data();
}

/// The rates of the pose the scene's next compose draws: theta, dpsi/dtheta and P's speed, as
/// three doubles valid until the next call (NaN where the pose is not finite, +inf at a toggle).
EMSCRIPTEN_KEEPALIVE const double* cyclar_scene_rates(const WebScene* s)
{
    static std::array<double, 3> held{};
    MotionSchedule schedule = s->scene.schedule;
    const PaintSchedule paint = beginPaint(s->scene.model, s->scene.animationCopy, schedule);
    recomputeFirstFrame(schedule, paint.model);
    const LinkagePose pose = solvePose(paint.model, schedule.frameParameter);
    const LinkageRates rates = poseRates(paint.model, pose);
    held = {poseAngles(paint.model, pose).theta, rates.outputRate, rates.pointSpeed};
    return held.data();
}

// --- exports --------------------------------------------------------------------------------

/// The picture the scene's next compose shows, at one pixel per picture pixel whatever the
/// screen's scale: the 480 x 480 RGBA pixels cyclar-export png writes, valid until the next call.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* cyclar_scene_picture(const WebScene* s)
{
    static FrameRenderer renderer{WebScene::pictureSize, WebScene::pictureSize, PixelOrder::Rgba};
    SceneState copy = s->scene;
    FramePalette palette;
    palette.rotationAxis = s->palette.rotationAxis;
    return renderer.render(copy, palette).bytes();
}

/// The same picture as an SVG document (text valid until the next call).
EMSCRIPTEN_KEEPALIVE const char* cyclar_scene_svg(const WebScene* s)
{
    SceneState copy = s->scene;
    FramePalette palette;
    palette.rotationAxis = s->palette.rotationAxis;
    return handOut(frameSvgDocument(copy, palette));
}

/// Starts an animated GIF of one whole cycle of the scene as it stands, each frame lasting the
/// clock's period at the speed slider's position (to the nearest hundredth of a second).
/// Returns the number of frames it will have.
EMSCRIPTEN_KEEPALIVE int cyclar_gif_begin(const WebScene* s, int speedPosition)
{
    const int delay = (tickInterval(speedPosition) + 5) / 10;
    gifExport() = std::make_unique<GifExport>(s->scene, delay);
    gifExport()->palette.rotationAxis = s->palette.rotationAxis;
    return gifExport()->scene.schedule.framesPerCycle;
}

/// Encodes up to `count` more frames; returns the frames done so far, or -1 on failure.
EMSCRIPTEN_KEEPALIVE int cyclar_gif_step(int count)
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

/// The finished file's bytes (all frames must be done); cyclar_gif_size tells how many.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* cyclar_gif_finish()
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

EMSCRIPTEN_KEEPALIVE int cyclar_gif_size()
{
    GifExport* job = gifExport().get();
    return job ? static_cast<int>(job->bytes.size()) : 0;
}

/// Lets the finished file go.
EMSCRIPTEN_KEEPALIVE void cyclar_gif_end()
{
    gifExport().reset();
}

// --- the clock ------------------------------------------------------------------------------

EMSCRIPTEN_KEEPALIVE int cyclar_tick_interval(int speedPosition)
{
    return tickInterval(speedPosition);
}

EMSCRIPTEN_KEEPALIVE double cyclar_slider_angle(int position)
{
    return sliderAngle(position);
}

// --- field rules ----------------------------------------------------------------------------

/// The number in a field's text, or NaN when the field rules do not take the text (a number
/// that passes is always finite).
EMSCRIPTEN_KEEPALIVE double cyclar_parse_number(const char* text)
{
    const std::optional<double> value =
        parseFieldText(text ? std::string_view(text) : std::string_view());
    return value ? *value : std::numeric_limits<double>::quiet_NaN();
}

EMSCRIPTEN_KEEPALIVE const char* cyclar_format_number(double value)
{
    return handOut(formatNumber(value));
}

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
    return handOut(
        std::string(fieldOrder(page == 0 ? FieldPage::Dimensions : FieldPage::Animation)));
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

EMSCRIPTEN_KEEPALIVE int cyclar_clip_width(int which)
{
    return formatOf(which).width;
}
EMSCRIPTEN_KEEPALIVE int cyclar_clip_height(int which)
{
    return formatOf(which).height;
}
EMSCRIPTEN_KEEPALIVE int cyclar_clip_frames(int which)
{
    return formatOf(which).frameCount;
}
EMSCRIPTEN_KEEPALIVE int cyclar_clip_rate(int which)
{
    return formatOf(which).framesPerSecond;
}

/// Device pixels per picture pixel of a clip's frames from now on (1..4, others the nearest).
EMSCRIPTEN_KEEPALIVE void cyclar_clip_set_scale(int which, int scale)
{
    if (ClipRenderer* renderer = clipRenderer(which)) {
        renderer->setScale(std::clamp(scale, 1, maxPictureScale));
    }
}

/// Frame i of a clip as RGBA pixels of the clip's size, valid until the clip draws again; null
/// for a clip or frame that does not exist. At scale k the frame is k times as wide and tall.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* cyclar_clip_frame(int which, int i)
{
    ClipRenderer* renderer = clipRenderer(which);
    if (!renderer || i < 0 || i >= formatOf(which).frameCount) {
        return nullptr;
    }
    return renderer->render(i).bytes();
}

// --- the linkage analysis -------------------------------------------------------------------

/// Everything the analysis says about a linkage, as one JSON object.
EMSCRIPTEN_KEEPALIVE const char* cyclar_analysis(double a, double b, double c, double f, double h,
                                                 double k)
{
    const LinkageAnalysis r = analyseLinkage(dimensions(a, b, c, f, h, k));
    std::string o = "{";
    o += "\"type\":" + (r.type.empty() ? std::string("null") : jsonString(r.type));
    o += ",\"grashof\":" + std::string(!r.grashof ? "null" : *r.grashof ? "true" : "false");
    o += ",\"changePoint\":" + std::string(r.changePoint ? "true" : "false");
    o += ",\"linksInRange\":" + std::string(r.linksInRange ? "true" : "false");
    o += ",\"assemblable\":" + std::string(r.assemblable ? "true" : "false");
    o += ",\"T\":" + jsonArray(r.T);
    o += ",\"input\":" + jsonString(motionName(r.input));
    o += ",\"output\":" + jsonString(motionName(r.output));
    o += ",\"inputRotates\":" + std::string(r.inputRotates ? "true" : "false");
    o += ",\"outputRotates\":" + std::string(r.outputRotates ? "true" : "false");
    o += ",\"inputLimits\":" + jsonArray(r.inputLimits);
    o += ",\"outputLimits\":" + jsonArray(r.outputLimits);
    o += ",\"transmission\":" + jsonArray(r.transmission);
    o += ",\"transmissionAt\":" + jsonArray(r.transmissionAt);
    o += ",\"swing\":" + jsonOptional(r.swing);
    o += ",\"timeRatio\":" + jsonOptional(r.timeRatio);
    o += ",\"labelNote\":" + jsonString(r.labelNote);
    o += ",\"decision\":" + jsonString(r.decision);
    o += ",\"reason\":" + jsonString(r.reason);
    o += ",\"chartNote\":" + jsonString(r.chartNote);
    return handOut(o + "}");
}

/// The chart's samples: [theta, psi on branch 1, psi on branch 2, mu] at every half degree of
/// theta from -180 to 180 and at each input limit (both signs), in ascending theta; null where
/// the linkage does not close.
EMSCRIPTEN_KEEPALIVE const char* cyclar_chart_samples(double a, double b, double c, double f,
                                                      double h, double k)
{
    const LinkageDimensions dims = dimensions(a, b, c, f, h, k);
    const LinkageAnalysis analysis = analyseLinkage(dims);
    const std::vector<double> inputs = chartInputs(analysis);
    std::string out = "[";
    for (const double theta : inputs) {
        const OutputAngles angles = outputAnglesAt(dims, theta);
        const double nan = std::numeric_limits<double>::quiet_NaN();
        out += (out.size() > 1 ? ",[" : "[") + jsonNumberText(theta) + ","
               + jsonNumberText(angles.closes ? angles.psi[0] : nan) + ","
               + jsonNumberText(angles.closes ? angles.psi[1] : nan) + ","
               + jsonNumberText(angles.closes ? angles.mu : nan) + "]";
    }
    return handOut(out + "]");
}

/// The rate chart's samples: [theta, dpsi/dtheta on branch 1, on branch 2, P's speed on branch
/// 1, on branch 2] at the angle chart's inputs; null where the linkage does not close or a value
/// is not finite.
EMSCRIPTEN_KEEPALIVE const char* cyclar_rate_chart_samples(double a, double b, double c, double f,
                                                           double h, double k)
{
    const LinkageDimensions dims = dimensions(a, b, c, f, h, k);
    const LinkageAnalysis analysis = analyseLinkage(dims);
    const std::vector<double> inputs = chartInputs(analysis);
    std::string out = "[";
    for (const double theta : inputs) {
        const OutputRates r = outputRatesAt(dims, theta);
        out += (out.size() > 1 ? ",[" : "[") + jsonNumberText(theta);
        for (const double value : {r.branch[0].outputRate, r.branch[1].outputRate,
                                   r.branch[0].pointSpeed, r.branch[1].pointSpeed}) {
            out += "," + jsonNumberText(value);
        }
        out += "]";
    }
    return handOut(out + "]");
}

/// The animation's angle table for a new page of this linkage: one [frame, t, theta, psi, mu,
/// branch] per frame.
EMSCRIPTEN_KEEPALIVE const char* cyclar_angle_table(double a, double b, double c, double f,
                                                    double h, double k)
{
    std::string out = "[";
    for (const FrameAngles& row : frameAngleTable(dimensions(a, b, c, f, h, k))) {
        const std::string angles = poseAnglesJson(row.angles);
        out += (out.size() > 1 ? ",[" : "[") + std::to_string(row.frame) + ","
               + jsonNumberText(row.t) + "," + angles.substr(1);
    }
    return handOut(out + "]");
}

// Linkage files: the page copies a file's bytes (at most one byte past the limit) into this
// buffer, then asks for them to be read.
EMSCRIPTEN_KEEPALIVE std::uint8_t* cyclar_file_buffer(int size)
{
    static std::vector<std::uint8_t> buffer;
    buffer.resize(static_cast<std::size_t>(std::max(size, 1)));
    return buffer.data();
}

EMSCRIPTEN_KEEPALIVE int cyclar_linkage_file_max_bytes()
{
    return static_cast<int>(linkageFileMaxBytes);
}

// {"problem": sentence} or {"dimensions": {...}, "view": {...} or null, "speed": n or null}.
EMSCRIPTEN_KEEPALIVE const char* cyclar_read_linkage_file(int size)
{
    const auto* bytes = reinterpret_cast<const char*>(cyclar_file_buffer(size));
    std::string error;
    const std::optional<LinkageFile> file = parseLinkageFile(
        std::string_view(bytes, static_cast<std::size_t>(std::max(size, 0))), error);
    if (!file) {
        return handOut("{\"problem\":" + jsonString(error) + "}");
    }
    const LinkageDimensions& d = file->dimensions;
    std::string out = "{\"dimensions\":{\"a\":" + jsonNumberText(d.a)
                      + ",\"b\":" + jsonNumberText(d.b) + ",\"c\":" + jsonNumberText(d.c)
                      + ",\"f\":" + jsonNumberText(d.f) + ",\"h\":" + jsonNumberText(d.h)
                      + ",\"k\":" + jsonNumberText(d.k) + "},\"view\":";
    out += file->view ? "{\"turn\":" + std::to_string(file->view->turn)
                            + ",\"tilt\":" + std::to_string(file->view->tilt) + ",\"rotationAxis\":"
                            + (file->view->rotationAxis ? "true" : "false") + "}"
                      : std::string("null");
    out += ",\"speed\":" + (file->speed ? std::to_string(*file->speed) : std::string("null")) + "}";
    return handOut(std::move(out));
}

// The text of a linkage file, as the desktop and cyclar-export write it. `hasView` 0 leaves
// the view out; a `speed` below 0 leaves the speed out.
EMSCRIPTEN_KEEPALIVE const char* cyclar_linkage_file_text(double a, double b, double c, double f,
                                                          double h, double k, int hasView, int turn,
                                                          int tilt, int rotationAxis, int speed)
{
    LinkageFile file{dimensions(a, b, c, f, h, k), {}, {}};
    if (hasView != 0) {
        file.view = FileView{turn, tilt, rotationAxis != 0};
    }
    if (speed >= 0) {
        file.speed = speed;
    }
    return handOut(linkageFileText(file));
}

// --- the design of linkages for a task ------------------------------------------------------

EMSCRIPTEN_KEEPALIVE int cyclar_task_file_max_bytes()
{
    return static_cast<int>(taskFileMaxBytes);
}

// The task whose text the page put in the file buffer, read by the core's one reader.
static std::optional<DesignTask> bufferedTask(int size, std::string& error)
{
    const auto* bytes = reinterpret_cast<const char*>(cyclar_file_buffer(size));
    return parseTaskFile(std::string_view(bytes, static_cast<std::size_t>(std::max(size, 0))),
                         error);
}

/// Reads a task file's bytes from the file buffer with the core's one reader:
/// {"task": the task as the writer writes it} or {"problem": sentence}.
EMSCRIPTEN_KEEPALIVE const char* cyclar_read_task_file(int size)
{
    std::string error;
    const std::optional<DesignTask> task = bufferedTask(size, error);
    if (!task) {
        return handOut("{\"problem\":" + jsonString(error) + "}");
    }
    return handOut("{\"task\":" + taskFileText(*task) + "}");
}

/// Room for `count` numbers of a task's table, which cyclar_task_text then reads.
EMSCRIPTEN_KEEPALIVE double* cyclar_task_numbers(int count)
{
    std::vector<double>& numbers = taskNumbers();
    numbers.assign(static_cast<std::size_t>(std::max(count, 1)), 0.0);
    return numbers.data();
}

/// The text of the task the table's numbers make (see tableTask: kind 0 motion, 1 function), as
/// the desktop writes it: {"text": ...}, or {"problem": sentence} for a task the reader would
/// refuse.
EMSCRIPTEN_KEEPALIVE const char* cyclar_task_text(int kind, int rows, int extra)
{
    const std::optional<DesignTask> task = tableTask(kind, rows, extra);
    if (!task) {
        return handOut("{\"problem\":\"The table does not make a task.\"}");
    }
    if (const std::optional<std::string> problem = taskProblem(*task)) {
        return handOut("{\"problem\":" + jsonString(*problem) + "}");
    }
    return handOut("{\"text\":" + jsonString(taskFileText(*task)) + "}");
}

/// Designs linkages for the task whose text is in the file buffer, and keeps the task and the
/// answer for the view: what cyclar-export design prints, or {"problem": sentence} for a task
/// the reader or the design refuses (the view then shows no task).
EMSCRIPTEN_KEEPALIVE const char* cyclar_design(int size)
{
    WebDesign& design = webDesign();
    design.task = DesignTask{};
    design.result = DesignResult{};
    design.tours.clear();
    std::string error;
    const std::optional<DesignTask> task = bufferedTask(size, error);
    if (!task) {
        return handOut("{\"problem\":" + jsonString(error) + "}");
    }
    if (const std::string problem = designTaskProblem(*task); !problem.empty()) {
        return handOut("{\"problem\":" + jsonString(problem) + "}");
    }
    design.task = *task;
    design.result = designLinkages(design.task);
    design.tours.resize(design.result.candidates.size());
    return handOut(designWords(design.result));
}

/// The numbers of the answer held now, as doubles the page reads straight off the module's
/// memory (valid until the next call): the count of candidates and of positions each reaches,
/// then per candidate a, b, c, f, h, k, the placement row by row, the least and greatest
/// transmission angle, and per position its input angle and branch.
EMSCRIPTEN_KEEPALIVE const double* cyclar_design_numbers()
{
    static std::vector<double> held;
    const DesignResult& result = webDesign().result;
    const std::size_t positions =
        result.candidates.empty() ? 0 : result.candidates.front().positions.size();
    held.assign({static_cast<double>(result.candidates.size()), static_cast<double>(positions)});
    for (const DesignCandidate& c : result.candidates) {
        const LinkageDimensions& d = c.dims;
        held.insert(held.end(), {d.a, d.b, d.c, d.f, d.h, d.k});
        for (const auto& row : c.placement) {
            held.insert(held.end(), row.begin(), row.end());
        }
        held.insert(held.end(), c.transmission.begin(), c.transmission.end());
        for (std::size_t i = 0; i < positions; ++i) {
            const PositionReach reach =
                i < c.positions.size() ? c.positions[i] : PositionReach{std::nan(""), 0};
            held.insert(held.end(), {reach.input, static_cast<double>(reach.branch)});
        }
    }
    return held.data();
}

/// How many steps the animation of candidate i (0-based) of the design held now goes through.
EMSCRIPTEN_KEEPALIVE int cyclar_design_tour_length(int candidate)
{
    return candidate < 0 ? 0 : static_cast<int>(tourOf(static_cast<std::size_t>(candidate)).size());
}

/// The view that faces the task held now, as the desktop turns its Design window's sphere to a
/// task: turn and tilt (whole degrees), two doubles valid until the next call.
EMSCRIPTEN_KEEPALIVE const double* cyclar_design_facing_view()
{
    static std::array<double, 2> held{};
    const ViewOrientation view = viewFacingTask(webDesign().task);
    held = {view.turn, view.tilt};
    return held.data();
}

/// Draws the design view of the task held now: candidate i (0-based; any other number, none) at
/// step `step` of its tour (counted round it), the sphere turned and tilted as given, `size`
/// picture pixels square (64..1024, others the nearest) at `scale` device pixels per picture
/// pixel (1..4, likewise). Returns the RGBA pixels, size k x size k at scale k, valid until the
/// next call.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* cyclar_design_view(int candidate, int step, double turn,
                                                            double tilt, int size, int scale)
{
    WebDesign& design = webDesign();
    const int k = std::clamp(scale, 1, maxPictureScale);
    const int side = std::clamp(size, 64, 1024) * k;
    if (design.picture.width() != side) {
        design.picture = PixelBuffer(side, side, PixelOrder::Rgba);
    }
    design.picture.fill(white);
    Raster raster(design.picture);
    raster.setTextScale(k);
    DesignViewPalette palette;
    palette.scale = k;
    ViewOrientation view;
    view.turn = viewAngle(turn);
    view.tilt = viewAngle(tilt);
    view.recompute();
    const DesignCandidate* shown = nullptr;
    DesignStep at;
    if (candidate >= 0 && static_cast<std::size_t>(candidate) < design.result.candidates.size()) {
        const auto i = static_cast<std::size_t>(candidate);
        shown = &design.result.candidates[i];
        const std::vector<DesignStep>& tour = tourOf(i);
        if (!tour.empty()) {
            const int length = static_cast<int>(tour.size());
            at = tour[static_cast<std::size_t>(((step % length) + length) % length)];
        } else if (!shown->positions.empty()) {
            at = DesignStep{shown->positions.front().input, shown->positions.front().branch};
        }
    }
    composeDesignView(raster, design.task, shown, at, view, palette);
    return design.picture.bytes();
}

} // extern "C"
