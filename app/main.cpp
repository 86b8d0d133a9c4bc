// cyclar: animation of spherical four-bar linkages.
#include "cyclar_app.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    cyclar::CCyclarApp cyclarApp(app);
    // `cyclar FILE.cyclar`, as a file manager starts it; Qt has taken its own options out of
    // argv. The name goes to the file system as the bytes it came as, whatever their encoding.
    if (argc > 1) {
        cyclarApp.setStartFile(std::string(argv[1]));
    }
    return cyclarApp.run();
}
