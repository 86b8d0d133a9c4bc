// The pages' state and their flow: the exchanges of the two pages that hold the dimensions, the
// entry mode, and the animation page's clock and sliders.
#include "page_state.h"

#include "motion_schedule.h"

namespace cyclar {

namespace {

// The slider positions a new animation page starts at.
constexpr int startingSpeedPos = 50;
constexpr int startingViewPos = 40;

std::array<std::string, 6> fieldTexts(const LinkageDimensions& dims)
{
    std::array<std::string, 6> texts;
    for (const char field : std::string_view("abcfhk")) {
        LinkageDimensions held = dims;
        texts[fieldIndex(field)] = formatNumber(fieldValue(held, field));
    }
    return texts;
}

FieldTexts textViews(const PageControls& read)
{
    FieldTexts views;
    for (std::size_t i = 0; i < views.size(); ++i) {
        views[i] = read.fields[i];
    }
    return views;
}

// A slider's position as read, or the one held when the page's controls bring no such slider.
int sliderRead(const PageControls& read, std::size_t i, int held)
{
    return i < read.sliders.size() ? read.sliders[i] : held;
}

} // namespace

void continueFromTitle(PageState& state)
{
    state.entryMode = EntryMode::Defaults;
}

DimensionsPageState::DimensionsPageState(PageState& state) : m_state(state)
{
    state.entryCopy =
        state.entryMode == EntryMode::Defaults ? defaultDimensions : state.scene.animationCopy;
}

PageControls DimensionsPageState::shown() const
{
    return {fieldTexts(m_state.entryCopy), {}};
}

std::optional<FieldFailure> DimensionsPageState::save(const PageControls& read)
{
    return readFields(FieldPage::Dimensions, textViews(read), m_state.entryCopy);
}

void DimensionsPageState::showLinkage(const LinkageDimensions& dims)
{
    m_state.entryCopy = dims;
}

AnimationPageState::AnimationPageState(PageState& state, int canvasWidth)
    : m_speedPos(startingSpeedPos), m_turnPos(startingViewPos), m_tiltPos(startingViewPos),
      m_state(state), m_modelDims(state.entryCopy)
{
    // The scene is built from the entry copy and follows it no further. A new linkage starts on
    // circuit 1; the input's pace stays as the last page left it.
    const bool evenInput = state.scene.schedule.motion.evenInput;
    state.scene = newScene(state.entryCopy, canvasWidth);
    state.scene.schedule.motion.evenInput = evenInput;
    state.savedFrameIndex = 0;
    state.savedSpeedPos = startingSpeedPos;
    state.scene.view.turn = sliderAngle(m_turnPos);
    state.scene.view.tilt = sliderAngle(m_tiltPos);
}

PageControls AnimationPageState::shown() const
{
    return {fieldTexts(m_state.scene.animationCopy), {m_speedPos, m_turnPos, m_tiltPos}};
}

std::optional<FieldFailure> AnimationPageState::save(const PageControls& read)
{
    m_speedPos = sliderRead(read, 0, m_speedPos);
    if (std::optional<FieldFailure> failure =
            readFields(FieldPage::Animation, textViews(read), m_state.scene.animationCopy)) {
        return failure;
    }
    m_turnPos = sliderRead(read, 1, m_turnPos);
    m_tiltPos = sliderRead(read, 2, m_tiltPos);
    return std::nullopt;
}

ClockOrder AnimationPageState::running() const
{
    return {ClockOrder::Kind::Start, tickInterval(m_speedPos)};
}

ClockOrder AnimationPageState::animate()
{
    m_state.scene.schedule.frameIndex = m_state.savedFrameIndex;
    m_speedPos = m_state.savedSpeedPos;
    return running();
}

ClockOrder AnimationPageState::stop()
{
    m_state.savedFrameIndex = m_state.scene.schedule.frameIndex;
    m_state.savedSpeedPos = m_speedPos;
    return {ClockOrder::Kind::Stop, 0};
}

void AnimationPageState::tick()
{
    advanceFrame(m_state.scene.schedule, m_state.scene.model);
}

ClockOrder AnimationPageState::speedReleased()
{
    return running();
}

ClockOrder AnimationPageState::turnReleased()
{
    m_state.scene.view.turn = sliderAngle(m_turnPos);
    return running();
}

ClockOrder AnimationPageState::tiltReleased()
{
    m_state.scene.view.tilt = sliderAngle(m_tiltPos);
    return running();
}

ClockOrder AnimationPageState::back()
{
    m_state.entryMode = EntryMode::AnimationCopy;
    return {ClockOrder::Kind::Stop, 0};
}

ClockOrder AnimationPageState::showLinkage(const LinkageFile& file)
{
    SceneState& scene = m_state.scene;
    const double radius = scene.sphereRadius; // the page's canvas is the same
    scene = newScene(file.dimensions, 0);
    scene.sphereRadius = radius;
    m_modelDims = file.dimensions;
    m_state.savedFrameIndex = 0;
    m_speedPos = file.speed.value_or(startingSpeedPos);
    m_state.savedSpeedPos = m_speedPos;
    const FileView view = file.view.value_or(FileView{});
    m_turnPos = sliderPosition(view.turn);
    m_tiltPos = sliderPosition(view.tilt);
    scene.view.turn = view.turn;
    scene.view.tilt = view.tilt;
    m_state.pens.rotationAxis = view.rotationAxis;
    setMotionChoice(scene.schedule, scene.model, file.motion);
    return {ClockOrder::Kind::Stop, 0};
}

} // namespace cyclar
