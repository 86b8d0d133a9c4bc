// The Circular View window: the second clip, seen from a turning viewpoint.
#pragma once

#include "page.h"

namespace cyclar {

class ClipPlayer;

class circular : public Page {
    Q_OBJECT
public:
    explicit circular(QWidget* opener = nullptr);

    bool OnInitDialog() override;

    ClipPlayer* IDC_ANIMATE2 = nullptr;
};

} // namespace cyclar
