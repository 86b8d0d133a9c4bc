// cyclar-artwork-dump: writes every bitmap and the icon as PNG files into a folder.
#include "artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>

#include <algorithm>

namespace {

bool save(const QImage& image, const QDir& folder, const QString& name, QTextStream& err)
{
    const QString path = folder.filePath(name);
    if (image.isNull() || !image.save(path, "PNG")) {
        err << "cyclar-artwork-dump: cannot write " << path << '\n';
        return false;
    }
    return true;
}

// Every picture on one sheet, twice its size and pixel for pixel, for a quick look.
QImage contactSheet(const QList<QImage>& images)
{
    constexpr int zoom = 2;
    constexpr int gap = 8;
    constexpr int sheetWidth = 1400;
    int x = gap;
    int y = gap;
    int rowHeight = 0;
    QList<QPoint> places;
    for (const QImage& image : images) {
        const QSize size = image.size() * zoom;
        if (x + size.width() + gap > sheetWidth && x > gap) {
            x = gap;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        places.append(QPoint(x, y));
        x += size.width() + gap;
        rowHeight = std::max(rowHeight, size.height());
    }
    QImage sheet(sheetWidth, y + rowHeight + gap, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (qsizetype i = 0; i < images.size(); ++i)
        painter.drawImage(QRect(places[i], images[i].size() * zoom), images[i]);
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    // A tool for headless machines too: no window is ever shown.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: cyclar-artwork-dump FOLDER\n";
        return 2;
    }
    QDir folder(args[1]);
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "cyclar-artwork-dump: cannot create " << args[1] << '\n';
        return 1;
    }

    cyclar::initArtwork();
    bool ok = true;
    QList<QImage> all;
    for (int id : cyclar::bitmapIds()) {
        const QImage image = cyclar::bitmap(id);
        ok = save(image, folder, QStringLiteral("bitmap-%1.png").arg(id), err) && ok;
        all.append(image);
    }
    const QImage icon = cyclar::mainIcon32();
    ok = save(icon, folder, QStringLiteral("icon-32.png"), err) && ok;
    // The desktop's 64 px icon: the same picture, each pixel doubled.
    ok = save(icon.scaled(icon.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation), folder,
              QStringLiteral("icon-64.png"), err)
         && ok;
    ok = save(cyclar::mainIconBlank64(), folder, QStringLiteral("icon-64-blank.png"), err) && ok;
    all.append(icon.scaled(icon.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    ok = save(contactSheet(all), folder, QStringLiteral("sheet.png"), err) && ok;
    return ok ? 0 : 1;
}
