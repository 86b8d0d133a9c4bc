// The About box: the program's icon, name and version.
#pragma once

#include "page.h"

namespace cyclar {

class CAboutDlg : public Page {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* opener = nullptr);
};

} // namespace cyclar
