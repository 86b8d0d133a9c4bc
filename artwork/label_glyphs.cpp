// Renders the label face glyph by glyph with QPainter and writes the bitmaps out as C++ tables.
#include "label_glyphs.h"

#include "artwork.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <algorithm>

namespace cyclar {

namespace {

constexpr char firstGlyph = ' ';
constexpr char lastGlyph = '~';
constexpr int phases = 64; ///< a glyph's position is known to 1/64 pixel

// Advances in 64ths of a pixel, as the text engine lays a line out.
int advance64(const QFontMetricsF& metrics, const QString& text)
{
    return qRound(metrics.horizontalAdvance(text) * 64.0);
}

// A glyph's inked pixels: the box relative to the whole pixel at or left of its pen position,
// and its rows (one bit a pixel, leftmost in the high bit).
struct GlyphImage {
    QRect box;
    QList<QByteArray> rows;
    bool operator==(const GlyphImage&) const = default;
};

GlyphImage drawGlyph(const QFont& font, const QFontMetrics& metrics, char c, int phase)
{
    // A margin on every side catches ink outside the cell (negative bearings, descenders).
    const int pad = 2 * metrics.height();
    QImage image(5 * metrics.height(), 5 * metrics.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPointF(pad + phase / double(phases), pad + metrics.ascent()),
               QString(QChar::fromLatin1(c)));
    p.end();
    const auto inked = [&image](int x, int y) {
        return (image.pixel(x, y) & 0x00FFFFFFu) != 0x00FFFFFFu;
    };
    GlyphImage glyph;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (inked(x, y)) {
                glyph.box |= QRect(x - pad, y - pad, 1, 1);
            }
        }
    }
    for (int y = glyph.box.top(); y <= glyph.box.bottom(); ++y) {
        QByteArray row((glyph.box.width() + 7) / 8, '\0');
        for (int x = glyph.box.left(); x <= glyph.box.right(); ++x) {
            if (inked(x + pad, y + pad)) {
                const int i = x - glyph.box.left();
                row[i / 8] = static_cast<char>(row[i / 8] | (0x80 >> (i % 8)));
            }
        }
        glyph.rows.append(row);
    }
    if (glyph.box.isEmpty()) {
        glyph.box = QRect(0, 0, 0, 0);
    }
    return glyph;
}

QByteArray hexRow(const QByteArray& row)
{
    QByteArray out;
    for (const char byte : row) {
        out +=
            " 0x" + QByteArray::number(static_cast<uchar>(byte), 16).rightJustified(2, '0') + ',';
    }
    return out;
}

} // namespace

QFont labelFont()
{
    QFont font = defaultTextFont();
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QByteArray labelGlyphSource(const QFont& font)
{
    const QFontMetrics metrics(font);
    const QFontMetricsF metricsF(font);

    QByteArray bits;
    QByteArray images;
    QByteArray glyphs;
    int bitOffset = 0;
    int imageCount = 0;
    for (char c = firstGlyph; c <= lastGlyph; ++c) {
        // The text engine may draw a glyph differently at different fractions of a pixel; the
        // distinct pictures are kept and each fraction names its picture.
        QList<GlyphImage> distinct;
        QList<int> phaseImage;
        for (int phase = 0; phase < phases; ++phase) {
            const GlyphImage image = drawGlyph(font, metrics, c, phase);
            qsizetype index = distinct.indexOf(image);
            if (index < 0) {
                index = distinct.size();
                distinct.append(image);
            }
            phaseImage.append(static_cast<int>(index));
        }
        const QByteArray name =
            c == '\\' || c == '\'' ? QByteArray("'\\") + c + '\'' : QByteArray("'") + c + '\'';
        for (const GlyphImage& image : distinct) {
            if (!image.rows.isEmpty()) {
                bits += "    // " + name + "\n";
            }
            for (const QByteArray& row : image.rows) {
                bits += "   " + hexRow(row) + '\n';
            }
            images += QStringLiteral("    {%1, %2, %3, %4, %5},\n")
                          .arg(image.box.left())
                          .arg(image.box.top())
                          .arg(image.box.width())
                          .arg(image.box.height())
                          .arg(bitOffset)
                          .toLatin1();
            for (const QByteArray& row : image.rows) {
                bitOffset += static_cast<int>(row.size());
            }
        }
        QByteArray phaseList;
        for (const int i : phaseImage) {
            phaseList += QByteArray::number(i) + (phaseList.size() < 2 * phases ? "," : "");
        }
        phaseList.chop(phaseList.endsWith(',') ? 1 : 0);
        glyphs += QStringLiteral("    {%1, %2, {%3}}, // %4\n")
                      .arg(advance64(metricsF, QString(QChar::fromLatin1(c))))
                      .arg(imageCount)
                      .arg(QString::fromLatin1(phaseList), QString::fromLatin1(name))
                      .toLatin1();
        imageCount += static_cast<int>(distinct.size());
    }

    // A pair whose advance differs from its glyphs' advances moves the second glyph.
    QByteArray kerning;
    int pairs = 0;
    for (char a = firstGlyph; a <= lastGlyph; ++a) {
        for (char b = firstGlyph; b <= lastGlyph; ++b) {
            const QString pair = QString(QChar::fromLatin1(a)) + QChar::fromLatin1(b);
            const int adjustment = advance64(metricsF, pair) - advance64(metricsF, pair.left(1))
                                   - advance64(metricsF, pair.right(1));
            if (adjustment != 0) {
                kerning += QStringLiteral("    {%1, %2, %3},\n")
                               .arg(int(a))
                               .arg(int(b))
                               .arg(adjustment)
                               .toLatin1();
                ++pairs;
            }
        }
    }
    if (pairs == 0) {
        kerning += "    {0, 0, 0},\n";
    }

    QByteArray out;
    out += "// The label face's glyphs, drawn by cyclar-label-glyphs from the bundled sans: "
           "regenerate,\n";
    out += "// do not edit.\n";
    // The tables keep the layout this tool gives them: one glyph row a line.
    out += "// clang-format off\n";
    out += "#include \"label_face.h\"\n\nnamespace cyclar {\n\nnamespace {\n\n";
    out += "// Rows of each glyph picture's inked box, one bit a pixel, leftmost pixel in the high "
           "bit.\n";
    out += "constexpr std::uint8_t glyphBits[] = {\n" + bits + "};\n\n";
    out += "// left, top, width, height, first byte\n";
    out += "constexpr LabelGlyphImage glyphImages[] = {\n" + images + "};\n\n";
    out += "// advance (64ths of a pixel), first picture, the picture at each 64th of a pixel\n";
    out += "constexpr LabelGlyph glyphs[] = {\n" + glyphs + "};\n\n";
    out += "// first, second, adjustment of the second glyph's position (64ths of a pixel)\n";
    out += "constexpr LabelKerning kerning[] = {\n" + kerning + "};\n\n";
    out += "} // namespace\n\n";
    out += "const LabelFace& labelFace()\n{\n";
    out += QStringLiteral("    static constexpr LabelFace face{%1, %2, '%3', glyphs, glyphImages, "
                          "glyphBits, kerning, %4};\n")
               .arg(metrics.ascent())
               .arg(metrics.height())
               .arg(QChar::fromLatin1(firstGlyph))
               .arg(pairs)
               .toLatin1();
    out += "    return face;\n}\n\n} // namespace cyclar\n";
    out += "// clang-format on\n";
    return out;
}

} // namespace cyclar
