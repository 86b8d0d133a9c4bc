// cyclar-artwork-dump: writes every bitmap and the icon (as PNG files at each size, and as SVG)
// into a folder.
#include "artwork.h"
#include "atomic_write.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>

#include <algorithm>
#include <string>
#include <string_view>

namespace {

bool saveBytes(const QByteArray& bytes, const QDir& folder, const QString& name, QTextStream& err)
{
    const QString path = folder.filePath(name);
    std::string error;
    if (!cyclar::writeFileAtomically(QFile::encodeName(path).toStdString(),
                                     std::string_view(bytes.constData(), bytes.size()), error)) {
        err << "cyclar-artwork-dump: " << QString::fromStdString(error) << '\n';
        return false;
    }
    return true;
}

bool save(const QImage& image, const QDir& folder, const QString& name, QTextStream& err)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        err << "cyclar-artwork-dump: cannot encode " << name << '\n';
        return false;
    }
    return saveBytes(png, folder, name, err);
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
    // The desktop's icons (32 to 256 px, and scalable) and the browser's (192 and 512 px): each
    // drawn for its size.
    for (const int size : {32, 64, 128, 192, 256, 512}) {
        ok = save(cyclar::mainIconAt(size), folder, QStringLiteral("icon-%1.png").arg(size), err)
             && ok;
    }
    ok = saveBytes(cyclar::mainIconSvg(), folder, QStringLiteral("icon.svg"), err) && ok;
    ok = save(cyclar::mainIconBlank64(), folder, QStringLiteral("icon-64-blank.png"), err) && ok;
    all.append(icon.scaled(icon.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    ok = save(contactSheet(all), folder, QStringLiteral("sheet.png"), err) && ok;
    return ok ? 0 : 1;
}
