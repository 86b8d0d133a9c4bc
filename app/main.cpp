// cyclar: animation of spherical four-bar linkages.
#include "cyclar_app.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    cyclar::CCyclarApp cyclarApp(app);
    // `cyclar FILE.cyclar`, as a file manager starts it; Qt has taken its own options out.
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1) {
        cyclarApp.setStartFile(args.at(1));
    }
    return cyclarApp.run();
}
