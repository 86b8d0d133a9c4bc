// The help page: six paragraphs on how to use the program.
#pragma once

#include "page.h"

namespace cyclar {

class help : public Page {
    Q_OBJECT
public:
    explicit help(QWidget* opener = nullptr);
};

/// Opens the help page modally over `opener` and returns when it closes.
void showHelp(QWidget* opener);

} // namespace cyclar
