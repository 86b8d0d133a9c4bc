// The Circular View window's layout; its clip starts when the window opens.
#include "circular_view.h"

#include "artwork.h"
#include "clip_player.h"
#include "dialog_units.h"
#include "clips.h"

#include <algorithm>

namespace cyclar {

circular::circular(QWidget* opener) : Page(opener)
{
    setWindowTitle(QStringLiteral("Circular View"));
    setFont(templateFont(TemplateFont::MsSansSerif8));
    const DialogUnits du(templateBaseUnits(TemplateFont::MsSansSerif8));
    IDC_ANIMATE2 = new ClipPlayer(this);
    IDC_ANIMATE2->move(0, 0);
    IDC_ANIMATE2->resize(clip170Spec().frameSize + QSize(2, 2) * IDC_ANIMATE2->frameWidth());
    const QSize templateSize = du.toPixels(QSize(162, 151));
    setFixedSize(std::max(templateSize.width(), IDC_ANIMATE2->width()),
                 std::max(templateSize.height(), IDC_ANIMATE2->height()));
}

bool circular::OnInitDialog()
{
    const bool result = Page::OnInitDialog();
    // From its first frame, looping; it stops as the window closes.
    IDC_ANIMATE2->open(openClip170(), clip170Spec().framesPerSecond);
    return result;
}

} // namespace cyclar
