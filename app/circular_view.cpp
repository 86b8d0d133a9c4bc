// The Circular View window's layout; its clip starts when the window opens.
#include "circular_view.h"

#include "artwork.h"
#include "clip_player.h"
#include "clips.h"
#include "page_layout.h"

#include <algorithm>

namespace cyclar {

circular::circular(QWidget* opener) : Page(opener)
{
    setWindowTitle(QStringLiteral("Circular View"));
    const PageLayout layout(this, pageTemplate("circular"));
    IDC_ANIMATE2 = layout.control<ClipPlayer>("IDC_ANIMATE2");
    IDC_ANIMATE2->resize(clip170Spec().frameSize + QSize(2, 2) * IDC_ANIMATE2->frameWidth());
    setFixedSize(layout.clientSize());
}

bool circular::OnInitDialog()
{
    const bool result = Page::OnInitDialog();
    // From its first frame, looping; it stops as the window closes.
    IDC_ANIMATE2->open(openClip170(), clip170Spec().framesPerSecond);
    return result;
}

} // namespace cyclar
