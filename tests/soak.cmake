# Long runs (scaled down here): many ticks at full speed, many Back/Submit cycles.
cyclar_add_test(tst_soak SOURCES tst_soak.cpp LIBS cyclar_pages Qt6::Widgets)
