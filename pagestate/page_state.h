// The pages' state and their flow, without widgets: what each page's controls show and how a
// saving exchange reads them back, the animation page's sliders and clock, and what Continue,
// a new page, Animate, Stop, a slider's release, a tick, Back and a linkage taken from a file do
// to them. The desktop's pages and the browser's drive it; they hold the widgets, show the
// messages and run the clock as it asks.
#pragma once

#include "field_rules.h"
#include "frame_composition.h"
#include "linkage_file.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace cyclar {

/// How the next dimensions page fills its fields.
enum class EntryMode {
    Initial = 0,       ///< as the program starts: the animation copy
    Defaults = 1,      ///< set by the title page's Continue: the default dimensions
    AnimationCopy = 3, ///< set by the animation page's Back: the animation copy
};

/// What the pages share for the whole run of the program.
struct PageState {
    LinkageDimensions entryCopy; ///< exchanged with the dimensions page's fields
    SceneState scene;            ///< animation copy, model, clock, view, sphere radius
    int savedFrameIndex = 0;     ///< kept over a Stop for the next Animate
    int savedSpeedPos = 50;
    EntryMode entryMode = EntryMode::Initial;
    /// How the picture is drawn: the pens, and whether the rotation axis is shown.
    FramePalette pens;
};

/// The title page's Continue: the dimensions page it opens shows the defaults.
void continueFromTitle(PageState& state);

/// What a page's controls hold, as an exchange moves it: the six fields' texts (in the order
/// a, b, c, f, h, k) and the positions of the page's sliders (the animation page's speed, turn
/// and tilt; the dimensions page has none).
struct PageControls {
    std::array<std::string, 6> fields;
    std::vector<int> sliders;
};

/// What an event asks of the animation page's clock.
struct ClockOrder {
    enum class Kind {
        Keep,  ///< leave it as it is
        Start, ///< start it, or start it again, with `periodMs` counted from now
        Stop,
    };
    Kind kind = Kind::Keep;
    int periodMs = 0;

    friend bool operator==(const ClockOrder&, const ClockOrder&) = default;
};

/// The dimensions page: its fields are the entry copy.
class DimensionsPageState {
public:
    /// A new dimensions page: the entry copy takes the defaults or the animation copy, as the
    /// entry mode says.
    explicit DimensionsPageState(PageState& state);

    /// What a showing exchange puts into the controls.
    PageControls shown() const;
    /// A saving exchange: the fields read back in the page's order (readFields); the first that
    /// fails, or nothing.
    std::optional<FieldFailure> save(const PageControls& read);
    /// The fields take a linkage's dimensions (checked already, or to be checked at Submit).
    void showLinkage(const LinkageDimensions& dims);

private:
    PageState& m_state;
};

/// The animation page's own state over the shared one: its three sliders as the last exchange
/// read them, and the dimensions its model was built with. Each event returns what it asks of
/// the clock.
class AnimationPageState {
public:
    /// A new animation page: the animation copy from the entry copy, the model built from it,
    /// frame 1 on circuit 1 (the input's pace as the last page left it), the view and the
    /// sliders at their starting places (speed 50, turn and tilt 40), nothing saved; the
    /// sphere's radius from the canvas's width.
    AnimationPageState(PageState& state, int canvasWidth);

    /// What a showing exchange puts into the controls: the fields, and the sliders speed, turn
    /// and tilt.
    PageControls shown() const;
    /// A saving exchange, in the page's order: the speed slider, the fields (readFields), then
    /// the turn and tilt sliders. A failing field ends it there: the view sliders are not read.
    std::optional<FieldFailure> save(const PageControls& read);
    /// Animate: from the frame the last Stop saved, at the speed saved with it.
    ClockOrder animate();
    /// Stop: the frame and the speed are saved for the next Animate.
    ClockOrder stop();
    /// One tick of the clock: the next frame (after the last comes the first).
    void tick();
    /// A slider let go, after the saving exchange it starts: the clock runs at the speed read,
    /// on from the frame shown; the turn and the tilt take the angle of their slider's position.
    ClockOrder speedReleased();
    ClockOrder turnReleased();
    ClockOrder tiltReleased();
    /// Back, before its saving exchange: the clock stops, and the dimensions page it opens
    /// shows the animation copy.
    ClockOrder back();

    /// A linkage from a file (or a design) that has passed the page's rules: the page starts
    /// again with it, its view, speed, rotation axis, circuit and pace (the starting ones where
    /// the file has none), at frame 1, nothing saved. The sphere keeps its radius.
    ClockOrder showLinkage(const LinkageFile& file);

    /// The dimensions the model was built with, which the picture's joints and motion follow.
    const LinkageDimensions& modelDims() const { return m_modelDims; }

    // The sliders' positions as the last exchange read them (or the page set them).
    int m_speedPos = 50;
    int m_turnPos = 40;
    int m_tiltPos = 40;

private:
    ClockOrder running() const;

    PageState& m_state;
    LinkageDimensions m_modelDims;
};

} // namespace cyclar
