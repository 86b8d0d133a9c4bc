// cyclar-label-glyphs FILE: writes the label face's glyph tables (rendercore/label_glyphs.cpp).
#include "artwork.h"
#include "label_glyphs.h"

#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char** argv)
{
    // Glyphs are drawn at the resolution every picture is drawn at, with or without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: cyclar-label-glyphs OUTPUT.cpp\n");
        return 2;
    }
    cyclar::initArtwork();
    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(cyclar::labelGlyphSource(cyclar::labelFont())) < 0 || !file.commit()) {
        std::fprintf(stderr, "cyclar-label-glyphs: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
