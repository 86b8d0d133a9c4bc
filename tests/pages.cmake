# Pages driven through their widgets: bounds, clock, sliders, hand-overs, long page chains.
cyclar_add_test(tst_pages SOURCES tst_pages.cpp LIBS cyclar_pages Qt6::Widgets)
