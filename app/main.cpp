// cyclar: animation of spherical four-bar linkages.
#include "cyclar_app.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    cyclar::CCyclarApp cyclarApp(app);
    return cyclarApp.run();
}
