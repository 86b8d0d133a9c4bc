# Rendering: projection probes, vertex sequences, layering, degenerate linkages, reference pictures.
cyclar_add_test(tst_render SOURCES tst_render.cpp LIBS cyclar_render Qt6::Gui)
target_compile_definitions(tst_render PRIVATE CYCLAR_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
# Recorded motion: linkages whose link pairs stay within 180 degrees keep their model, frames,
# curve, angles, pictures and clips bit for bit (tests/data/recorded_motion.tsv).
cyclar_add_test(tst_recorded_motion SOURCES tst_recorded_motion.cpp
                LIBS cyclar_render cyclar_artwork Qt6::Gui)
target_compile_definitions(tst_recorded_motion PRIVATE CYCLAR_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
# Rate chart: every kind of linkage, bounds, no line across at toggles, markers on their values.
cyclar_add_test(tst_rate_plot SOURCES tst_rate_plot.cpp LIBS cyclar_render Qt6::Gui)
