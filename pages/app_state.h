// The program's state shared by its pages: the core's page state (both copies of the dimensions,
// the scene, the clock's saved values, the entry mode, the pens) with the page chain and the
// canvas. One instance, owned by the application.
#pragma once

#include "frame.h"
#include "page_state.h"

#include <memory>

namespace cyclar {

class PageChain;

struct AppState : PageState {
    explicit AppState(PageChain& pageChain) : chain(pageChain) {}

    PageChain& chain; ///< hand-overs between the main pages go through it
    int canvasWidth = 0;
    int canvasHeight = 0;
    std::unique_ptr<Canvas> canvas; ///< created on the first Submit, reused afterwards
};

} // namespace cyclar
