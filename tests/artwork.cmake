# Artwork: every bitmap's size, opacity, edge and colours; the diagram's seven colours; the icon;
# the bundled fonts load from the resources, once.
cyclar_add_test(tst_artwork SOURCES tst_artwork.cpp LIBS cyclar_artwork)
