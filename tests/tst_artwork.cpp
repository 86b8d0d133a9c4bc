// Tests of the artwork: bitmap sizes and colours, the diagram's palette, the icon, the fonts.
#include "artwork.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

using namespace cyclar;

namespace {

QSet<QRgb> coloursOf(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    }
    return colours;
}

bool fullyOpaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
        }
    }
    return true;
}

// The first pixel of the outermost ring that is not `colour`, or (-1, -1).
QPoint borderPixelNot(const QImage& image, QRgb colour)
{
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    for (int x = 0; x <= right; ++x) {
        for (int y : {0, bottom}) {
            if (image.pixel(x, y) != colour)
                return {x, y};
        }
    }
    for (int y = 0; y <= bottom; ++y) {
        for (int x : {0, right}) {
            if (image.pixel(x, y) != colour)
                return {x, y};
        }
    }
    return {-1, -1};
}

QString rgbText(QRgb colour)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(colour)).arg(qGreen(colour)).arg(qBlue(colour));
}

} // namespace

class TestArtwork : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void bitmaps_data();
    void bitmaps();
    void unknownBitmapIds_data();
    void unknownBitmapIds();
    void lettersShareOneSize();
    void diagramUsesExactlyItsSevenColours();

    void mainIcon();
    void mainIconDrawnForEachSize_data();
    void mainIconDrawnForEachSize();

    void bundledFontsComeFromTheResources();
    void templateFonts_data();
    void templateFonts();
    void initArtworkIsIdempotent();
};

void TestArtwork::initTestCase()
{
    initArtwork();
}

void TestArtwork::bitmaps_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("ink");

    QTest::newRow("139 Back") << 139 << QSize(60, 30) << qRgb(3, 113, 6);
    QTest::newRow("140 Exit") << 140 << QSize(60, 30) << qRgb(3, 113, 6);
    QTest::newRow("141 Animate") << 141 << QSize(90, 30) << qRgb(249, 8, 31);
    QTest::newRow("142 Stop") << 142 << QSize(60, 30) << qRgb(247, 7, 30);
    QTest::newRow("154 title") << 154 << QSize(600, 40) << qRgb(234, 6, 44);
    QTest::newRow("155 k =") << 155 << QSize(50, 25) << qRgb(248, 7, 13);
    QTest::newRow("156 b =") << 156 << QSize(50, 25) << qRgb(248, 7, 13);
    QTest::newRow("157 c =") << 157 << QSize(50, 25) << qRgb(248, 7, 13);
    QTest::newRow("158 f =") << 158 << QSize(50, 25) << qRgb(248, 7, 13);
    QTest::newRow("159 h =") << 159 << QSize(50, 25) << qRgb(248, 7, 13);
    QTest::newRow("160 a =") << 160 << QSize(50, 25) << qRgb(248, 7, 13);
    QTest::newRow("161 Continue") << 161 << QSize(150, 40) << qRgb(26, 128, 21);
    QTest::newRow("163 Help large") << 163 << QSize(100, 40) << qRgb(5, 17, 179);
    QTest::newRow("166 Help smaller") << 166 << QSize(100, 40) << qRgb(5, 17, 179);
    QTest::newRow("167 Submit") << 167 << QSize(80, 30) << qRgb(248, 13, 30);
    QTest::newRow("171 Circular View") << 171 << QSize(131, 80) << qRgb(244, 231, 9);
    QTest::newRow("175 diagram") << 175 << QSize(342, 344) << qRgb(0, 0, 255);
}

// Each bitmap: its exact size, opaque, its main colour drawn, and for lettering the dialog
// background all round its edge (so no word or shadow is cut off) plus a shadow darker than
// the background.
void TestArtwork::bitmaps()
{
    QFETCH(int, id);
    QFETCH(QSize, size);
    QFETCH(QRgb, ink);

    QVERIFY(bitmapIds().contains(id));
    QCOMPARE(bitmapSize(id), size);
    const QImage image = bitmap(id);
    QCOMPARE(image.size(), size);
    QVERIFY(!image.hasAlphaChannel());
    QVERIFY(fullyOpaque(image));

    const QSet<QRgb> colours = coloursOf(image);
    QVERIFY2(colours.contains(ink), qPrintable(QStringLiteral("no pixel in ") + rgbText(ink)));

    if (id != 175) {
        const QPoint stray = borderPixelNot(image, artworkBackground);
        if (stray != QPoint(-1, -1)) {
            QFAIL(qPrintable(QStringLiteral("edge pixel (%1, %2) is %3, not the background")
                                 .arg(stray.x())
                                 .arg(stray.y())
                                 .arg(rgbText(image.pixel(stray)))));
        }
        // The shadow: grey laid over the lavender background keeps red and green equal and
        // blue a little above them, and darkens all three; no ink blended with the
        // background (blue, green, red or yellow) passes for it.
        const bool shadowed = std::any_of(colours.begin(), colours.end(), [](QRgb c) {
            const int blueExcess = qBlue(c) - qRed(c);
            return std::abs(qRed(c) - qGreen(c)) <= 12 && qRed(c) < 160 && blueExcess >= 20
                   && blueExcess <= 60;
        });
        QVERIFY2(shadowed, "no drop shadow");
    }

    // Drawn once: a second request hands out the same pixels.
    QCOMPARE(bitmap(id).cacheKey(), image.cacheKey());
}

void TestArtwork::unknownBitmapIds_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("0") << 0;
    QTest::newRow("negative") << -139;
    QTest::newRow("gap 162") << 162;
    QTest::newRow("template id 138") << 138;
    QTest::newRow("clip 170") << 170;
    QTest::newRow("icon 128") << 128;
    QTest::newRow("int max") << std::numeric_limits<int>::max();
}

void TestArtwork::unknownBitmapIds()
{
    QFETCH(int, id);
    QVERIFY(!bitmapIds().contains(id));
    QVERIFY(!bitmapSize(id).isValid());
    QVERIFY(bitmap(id).isNull());
}

// The six letter labels stand in a column on the dimensions page: their letters must be of one
// size and on one baseline, whatever their shapes (an "f" reaches below the line, an "a" does
// not), with the equals signs lined up. The equals signs, the same in each label, must
// therefore land on the same pixels.
void TestArtwork::lettersShareOneSize()
{
    const QRgb red = qRgb(248, 7, 13);
    auto equalsSign = [&](int id) {
        const QImage image = bitmap(id);
        // The right part of the label holds only the equals sign.
        QList<QPoint> pixels;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = image.width() * 3 / 5; x < image.width(); ++x) {
                if (image.pixel(x, y) == red)
                    pixels.append(QPoint(x, y));
            }
        }
        return pixels;
    };
    const QList<QPoint> reference = equalsSign(160);
    QVERIFY(reference.size() >= 6);
    for (int id : {155, 156, 157, 158, 159})
        QCOMPARE(equalsSign(id), reference);
}

void TestArtwork::diagramUsesExactlyItsSevenColours()
{
    const QImage diagram = bitmap(175);
    const QSet<QRgb> expected{
        qRgb(193, 255, 255), // background
        qRgb(0, 128, 0),     // sphere and great circles
        qRgb(0, 0, 255),     // linkage
        qRgb(0, 255, 128),   // coupler triangle
        qRgb(255, 0, 0),     // letters
        qRgb(0, 0, 0),       // ground pivots and the angle mark
        qRgb(255, 255, 255), // moving joints
    };
    const QSet<QRgb> found = coloursOf(diagram);
    for (QRgb colour : found)
        QVERIFY2(expected.contains(colour),
                 qPrintable(QStringLiteral("stray colour ") + rgbText(colour)));
    for (QRgb colour : expected)
        QVERIFY2(found.contains(colour),
                 qPrintable(QStringLiteral("missing colour ") + rgbText(colour)));
    for (QPoint corner : {QPoint(0, 0), QPoint(341, 0), QPoint(0, 343), QPoint(341, 343)})
        QCOMPARE(diagram.pixel(corner), qRgb(193, 255, 255));
}

void TestArtwork::mainIcon()
{
    const QImage icon = mainIcon32();
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(fullyOpaque(icon));
    const QRgb cyan = qRgb(0, 255, 255);
    const QRgb red = qRgb(255, 0, 0);
    QCOMPARE(coloursOf(icon), (QSet<QRgb>{cyan, red}));
    // A cyan square with the red sphere inside it: corners and the centre are cyan, and the
    // circle crosses the middle row and column near the edges.
    for (QPoint p : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31), QPoint(15, 18)})
        QCOMPARE(icon.pixel(p), cyan);
    int redOnMiddleRow = 0;
    for (int x = 0; x < 32; ++x)
        redOnMiddleRow += icon.pixel(x, 16) == red ? 1 : 0;
    QVERIFY(redOnMiddleRow >= 2);

    const QImage blank = mainIconBlank64();
    QCOMPARE(blank.size(), QSize(64, 64));
    QCOMPARE(coloursOf(blank), (QSet<QRgb>{qRgba(0, 0, 0, 0)}));

    // The window icon offers the picture, never the blank image, at any size.
    const QIcon windowIcon = cyclar::mainIcon();
    QVERIFY(windowIcon.availableSizes().contains(QSize(32, 32)));
    QVERIFY(windowIcon.availableSizes().contains(QSize(256, 256)));
    for (int side : {16, 32, 48, 64}) {
        const QImage shown = windowIcon.pixmap(side, side).toImage();
        QVERIFY(!shown.isNull());
        QVERIFY2(coloursOf(shown).size() > 1, qPrintable(QString::number(side)));
    }
}

void TestArtwork::mainIconDrawnForEachSize_data()
{
    QTest::addColumn<int>("size");
    for (const int size : {64, 128, 256, 512}) {
        QTest::addRow("%d", size) << size;
    }
}

// Larger icons are the sketch drawn for their size, antialiased, not the 32 px picture enlarged:
// the sphere's outline, the links and the joints stand where the small icon has them, and the
// SVG document is the same drawing.
void TestArtwork::mainIconDrawnForEachSize()
{
    QFETCH(int, size);
    const QImage icon = mainIconAt(size);
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(fullyOpaque(icon));
    const QRgb cyan = qRgb(0, 255, 255);
    QVERIFY(coloursOf(icon).size() > 2); // edges blend the two colours
    const QImage enlarged =
        mainIcon32().scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QVERIFY(icon.convertToFormat(QImage::Format_RGB32) != enlarged);
    // Where the small icon has them (in its pixels, a pixel's centre at .5): mostly red on the
    // sphere's outline (its bottom and right), on a link half way down and on a joint's ring;
    // cyan at the sphere's centre, inside a joint and in the corners.
    const auto at = [&](double x, double y) {
        const auto nearest = [&](double units) {
            return static_cast<int>(std::lround(units * size / 32.0 - 0.5));
        };
        return icon.pixel(nearest(x), nearest(y));
    };
    for (const auto& [x, y] : {std::pair{16.0, 29.5}, {29.5, 16.0}, {9.0, 19.0}, {7.5, 23.5}}) {
        QVERIFY2(qGreen(at(x, y)) < 128 && qRed(at(x, y)) > 192,
                 qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }
    for (const auto& [x, y] : {std::pair{16.0, 18.0}, {7.5, 25.5}, {0.5, 0.5}, {31.5, 31.5}}) {
        QVERIFY2(at(x, y) == cyan, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }
    // The SVG, drawn at this size, is the same picture but for the antialiasing.
    QSvgRenderer svg(mainIconSvg());
    QVERIFY(svg.isValid());
    QImage drawn(size, size, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    svg.render(&painter);
    painter.end();
    int different = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = icon.pixel(x, y);
            different += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                             + std::abs(qBlue(a) - qBlue(b))
                         > 96;
        }
    }
    QVERIFY2(different < size * size / 200, qPrintable(QString::number(different)));
}

// The families are taken from the font files in the resources, so a non-empty name proves the
// file loaded from there; the font files themselves must be in the resources too.
void TestArtwork::bundledFontsComeFromTheResources()
{
    const BundledFonts& fonts = bundledFonts();
    QCOMPARE(fonts.sans, QStringLiteral("Liberation Sans"));
    QCOMPARE(fonts.serif, QStringLiteral("Liberation Serif"));
    QCOMPARE(fonts.script, QStringLiteral("Dancing Script"));
    for (const char* file :
         {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSerif-Regular.ttf",
          "LiberationSerif-Bold.ttf", "LiberationSerif-Italic.ttf", "DancingScript-Bold.otf"}) {
        QVERIFY2(QFile::exists(QStringLiteral(":/cyclar/fonts/") + QLatin1String(file)), file);
    }
    for (const QString& family : {fonts.sans, fonts.serif, fonts.script})
        QCOMPARE(QFontInfo(QFont(family)).family(), family);
}

void TestArtwork::templateFonts_data()
{
    QTest::addColumn<TemplateFont>("kind");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("bold");

    QTest::newRow("MS Sans Serif 8")
        << TemplateFont::MsSansSerif8 << "Liberation Sans" << 8 << false;
    QTest::newRow("Times New Roman MT Extra Bold 10")
        << TemplateFont::TimesNewRomanExtraBold10 << "Liberation Serif" << 10 << true;
    QTest::newRow("Tahoma 8") << TemplateFont::Tahoma8 << "Liberation Sans" << 8 << false;
    QTest::newRow("Times New Roman 12")
        << TemplateFont::TimesNewRoman12 << "Liberation Serif" << 12 << false;
}

void TestArtwork::templateFonts()
{
    QFETCH(TemplateFont, kind);
    QFETCH(QString, family);
    QFETCH(int, points);
    QFETCH(bool, bold);

    const QFont font = templateFont(kind);
    const QFontInfo info(font);
    QCOMPARE(info.family(), family);
    QCOMPARE(font.pointSize(), points);
    QCOMPARE(info.bold(), bold);
    QVERIFY(!info.italic());

    const QFontInfo text(defaultTextFont());
    QCOMPARE(text.family(), QStringLiteral("Liberation Sans"));
    QVERIFY(defaultTextFont().pointSizeF() >= 8.0 && defaultTextFont().pointSizeF() <= 10.0);
}

// Registration happens once: repeated calls add no further application fonts. Six files were
// registered by the first call; the font database numbers them from 0 in this process.
void TestArtwork::initArtworkIsIdempotent()
{
    const BundledFonts before = bundledFonts();
    QVERIFY(!QFontDatabase::applicationFontFamilies(5).isEmpty());
    QVERIFY(QFontDatabase::applicationFontFamilies(6).isEmpty());
    for (int i = 0; i < 3; ++i)
        initArtwork();
    QVERIFY(QFontDatabase::applicationFontFamilies(6).isEmpty());
    QCOMPARE(bundledFonts().sans, before.sans);
    QCOMPARE(bundledFonts().script, before.script);
    QCOMPARE(&bundledFonts(), &bundledFonts());
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
