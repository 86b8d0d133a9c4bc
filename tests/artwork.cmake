# Artwork: every bitmap's size, opacity, edge and colours; the diagram's seven colours; the icon,
# drawn for each size and as SVG (read back with Qt's SVG renderer); the bundled fonts load from
# the resources, once.
find_package(Qt6 REQUIRED COMPONENTS Svg)
cyclar_add_test(tst_artwork SOURCES tst_artwork.cpp LIBS cyclar_artwork Qt6::Svg)
