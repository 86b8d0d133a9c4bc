# Pages driven through their widgets: bounds, clock, sliders, hand-overs, long page chains.
cyclar_add_test(tst_pages SOURCES tst_pages.cpp LIBS cyclar_pages Qt6::Widgets)

# The Analysis window: F2 and the picture's menu, markers in step with the frames, closing with
# its page, its place beside the page.
cyclar_add_test(tst_analysis_window SOURCES tst_analysis_window.cpp LIBS cyclar_pages Qt6::Widgets)
