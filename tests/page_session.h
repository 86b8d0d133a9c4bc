// Test helper: the program's pages over one shared state, started on a dimensions page, and the
// top-level windows of one kind that are shown.
#pragma once

#include "animation_page.h"
#include "app_state.h"
#include "dimensions_page.h"
#include "page_chain.h"
#include "widget_test_support.h"

#include <QApplication>
#include <QList>

namespace cyclar::test {

struct PageSession {
    PageChain chain;
    AppState state{chain};
    explicit PageSession(const LinkageDimensions& dims = defaultDimensions)
    {
        state.entryMode = EntryMode::AnimationCopy;
        state.scene.animationCopy = dims;
        chain.start(std::make_unique<cyclar1>(state));
        settle();
    }
    /// Submit on the dimensions page: the animation page it opens.
    cyclar_animation* submit()
    {
        click(qobject_cast<cyclar1*>(chain.front())->IDC_submit);
        return qobject_cast<cyclar_animation*>(chain.front());
    }
};

template <class Window> QList<Window*> shownWindows()
{
    QList<Window*> shown;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) {
            shown << window;
        }
    }
    return shown;
}

} // namespace cyclar::test
