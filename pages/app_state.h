// The program's state shared by its pages: both copies of the dimensions, the scene, the clock's
// saved values, the entry mode and the canvas. One instance, owned by the application.
#pragma once

#include "frame.h"
#include "linkage_model.h"

#include <memory>

namespace cyclar {

class PageChain;

struct AppState {
    explicit AppState(PageChain& pageChain) : chain(pageChain) {}

    PageChain& chain;            ///< hand-overs between the main pages go through it
    LinkageDimensions entryCopy; ///< exchanged with the dimensions page's fields
    SceneState scene;            ///< animation copy, model, clock, view, sphere radius
    int savedFrameIndex = 0;     ///< kept over a Stop for the next Animate
    int savedSpeedPos = 50;
    int entryMode = 0; ///< 1: a new dimensions page shows the defaults
    int canvasWidth = 0;
    int canvasHeight = 0;
    std::unique_ptr<Canvas> canvas; ///< created on the first Submit, reused afterwards
    FramePalette pens;
};

} // namespace cyclar
