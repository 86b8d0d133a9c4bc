// Bundled fonts, the bitmap table and the cache of drawn pictures.
#include "artwork.h"
#include "artwork_draw.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QPixmap>
#include <QtGlobal>

#include <array>
#include <initializer_list>

// Q_INIT_RESOURCE declares a function at namespace scope, so it must live outside cyclar.
static void registerArtworkResources()
{
    Q_INIT_RESOURCE(artwork);
}

namespace cyclar {

namespace {

bool haveGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Loads one font file from the resources; returns its family, or an empty string on failure.
QString loadFont(const QString& file)
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/cyclar/fonts/") + file);
    if (id < 0) {
        qWarning("cyclar: cannot load bundled font %s", qPrintable(file));
        return {};
    }
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

// Every face of a family must load for the family to count as bundled.
QString loadFamily(std::initializer_list<const char*> files)
{
    QString family;
    bool complete = true;
    for (const char* file : files) {
        const QString loaded = loadFont(QString::fromLatin1(file));
        if (loaded.isEmpty())
            complete = false;
        else
            family = loaded;
    }
    return complete ? family : QString();
}

BundledFonts registerBundledFonts()
{
    registerArtworkResources();
    BundledFonts fonts;
    fonts.sans = loadFamily({"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"});
    fonts.serif = loadFamily(
        {"LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf", "LiberationSerif-Italic.ttf"});
    fonts.script = loadFamily({"DancingScript-Bold.otf"});
    return fonts;
}

// The one registration of the process; a magic static, so it runs exactly once.
const BundledFonts& registeredFonts()
{
    static const BundledFonts fonts = registerBundledFonts();
    return fonts;
}

// A font of a bundled family, with a generic fallback should the family be missing.
QFont bundledFont(const QString& family, QFont::StyleHint hint, double pointSize)
{
    QFont font(family.isEmpty() ? QStringLiteral("sans-serif") : family);
    font.setStyleHint(hint);
    font.setPointSizeF(pointSize);
    return font;
}

enum class Kind { Script, Letter, Diagram };

struct BitmapEntry {
    int id;
    int width;
    int height;
    Kind kind;
    const char* firstLine;
    const char* secondLine;
    QRgb ink;
    double fill; // share of the usable height taken by the sample's extent
};

// The bitmaps the program carries, with the pixel sizes and main colours the pages expect.
constexpr std::array<BitmapEntry, 17> bitmapTable{{
    {139, 60, 30, Kind::Script, "Back", nullptr, qRgb(3, 113, 6), 0.85},
    {140, 60, 30, Kind::Script, "Exit", nullptr, qRgb(3, 113, 6), 0.85},
    {141, 90, 30, Kind::Script, "Animate", nullptr, qRgb(249, 8, 31), 0.85},
    {142, 60, 30, Kind::Script, "Stop", nullptr, qRgb(247, 7, 30), 0.85},
    {154, 600, 40, Kind::Script, "Animation of Spherical Four-bar Linkages", nullptr,
     qRgb(234, 6, 44), 1.3},
    {155, 50, 25, Kind::Letter, "k =", nullptr, qRgb(248, 7, 13), 1.0},
    {156, 50, 25, Kind::Letter, "b =", nullptr, qRgb(248, 7, 13), 1.0},
    {157, 50, 25, Kind::Letter, "c =", nullptr, qRgb(248, 7, 13), 1.0},
    {158, 50, 25, Kind::Letter, "f =", nullptr, qRgb(248, 7, 13), 1.0},
    {159, 50, 25, Kind::Letter, "h =", nullptr, qRgb(248, 7, 13), 1.0},
    {160, 50, 25, Kind::Letter, "a =", nullptr, qRgb(248, 7, 13), 1.0},
    {161, 150, 40, Kind::Script, "Continue", nullptr, qRgb(26, 128, 21), 0.85},
    {163, 100, 40, Kind::Script, "Help", nullptr, qRgb(5, 17, 179), 0.85},
    {166, 100, 40, Kind::Script, "Help", nullptr, qRgb(5, 17, 179), 0.6},
    {167, 80, 30, Kind::Script, "Submit", nullptr, qRgb(248, 13, 30), 0.85},
    {171, 131, 80, Kind::Script, "Circular", "View", qRgb(244, 231, 9), 0.9},
    {175, 342, 344, Kind::Diagram, nullptr, nullptr, 0, 0.0},
}};

const BitmapEntry* findBitmap(int id)
{
    for (const BitmapEntry& entry : bitmapTable) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

QFont scriptFont()
{
    QFont font = bundledFont(registeredFonts().script, QFont::Cursive, 12.0);
    font.setBold(true);
    return font;
}

QFont italicSerifFont()
{
    QFont font = bundledFont(registeredFonts().serif, QFont::Serif, 12.0);
    font.setItalic(true);
    return font;
}

QImage drawBitmap(const BitmapEntry& entry)
{
    if (entry.kind == Kind::Diagram)
        return detail::drawLinkageDiagram(italicSerifFont());

    detail::Lettering lettering;
    lettering.size = QSize(entry.width, entry.height);
    lettering.lines << QString::fromLatin1(entry.firstLine);
    if (entry.secondLine)
        lettering.lines << QString::fromLatin1(entry.secondLine);
    // Words are sized and centred on their capitals; the letter labels on the extent of all
    // six letters, so that the labels stand in a column with one size and one baseline.
    if (entry.kind == Kind::Script) {
        lettering.font = scriptFont();
        lettering.sample = QStringLiteral("H");
    } else {
        lettering.font = italicSerifFont();
        lettering.sample = QStringLiteral("abcfhk");
        lettering.alignRight = true; // the equals signs line up, next to their fields
        lettering.embolden = 0.7;    // a text face is too thin at this size for a picture
    }
    lettering.ink = QColor::fromRgb(entry.ink);
    lettering.fill = entry.fill;
    return detail::drawLettering(lettering);
}

} // namespace

void initArtwork()
{
    if (!haveGuiApplication()) {
        qWarning("cyclar: initArtwork() needs a QGuiApplication; nothing registered yet");
        return;
    }
    registeredFonts();
}

const BundledFonts& bundledFonts()
{
    if (!haveGuiApplication()) {
        static const BundledFonts none;
        return none;
    }
    return registeredFonts();
}

QFont templateFont(TemplateFont kind)
{
    const BundledFonts& fonts = bundledFonts();
    switch (kind) {
    case TemplateFont::MsSansSerif8:
    case TemplateFont::Tahoma8:
        return bundledFont(fonts.sans, QFont::SansSerif, 8.0);
    case TemplateFont::TimesNewRomanExtraBold10: {
        QFont font = bundledFont(fonts.serif, QFont::Serif, 10.0);
        font.setBold(true);
        return font;
    }
    case TemplateFont::TimesNewRoman12:
        return bundledFont(fonts.serif, QFont::Serif, 12.0);
    }
    return bundledFont(fonts.sans, QFont::SansSerif, 8.0);
}

QSize templateBaseUnits(TemplateFont kind)
{
    const BaseUnits units = layoutBaseUnits(kind);
    return {units.width, units.height};
}

QFont defaultTextFont()
{
    return bundledFont(bundledFonts().sans, QFont::SansSerif, 9.0);
}

QList<int> bitmapIds()
{
    QList<int> ids;
    ids.reserve(static_cast<qsizetype>(bitmapTable.size()));
    for (const BitmapEntry& entry : bitmapTable)
        ids.append(entry.id);
    return ids;
}

QSize bitmapSize(int id)
{
    const BitmapEntry* entry = findBitmap(id);
    return entry ? QSize(entry->width, entry->height) : QSize();
}

QImage bitmap(int id)
{
    const BitmapEntry* entry = findBitmap(id);
    if (!entry)
        return {};
    if (!haveGuiApplication()) {
        qWarning("cyclar: bitmap(%d) needs a QGuiApplication", id);
        return {};
    }
    // Drawn once per id; the images are implicitly shared, so callers get cheap copies.
    static QHash<int, QImage> cache;
    auto found = cache.constFind(id);
    if (found != cache.constEnd())
        return *found;
    const QImage image = drawBitmap(*entry);
    cache.insert(id, image);
    return image;
}

QImage mainIcon32()
{
    static const QImage icon = detail::drawMainIcon32();
    return icon;
}

QImage mainIconBlank64()
{
    QImage blank(64, 64, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    return blank;
}

QImage mainIconAt(int size)
{
    return size == 32 ? mainIcon32() : detail::drawMainIcon(size);
}

QByteArray mainIconSvg()
{
    return detail::mainIconSvg();
}

QIcon mainIcon()
{
    if (!haveGuiApplication())
        return {};
    QIcon icon;
    for (const int size : {32, 64, 128, 256}) {
        icon.addPixmap(QPixmap::fromImage(mainIconAt(size)));
    }
    return icon;
}

} // namespace cyclar
