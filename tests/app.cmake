# The program's shell: title page, About, Circular View, F1, and the page chain end to end.
cyclar_add_test(tst_app SOURCES tst_app.cpp LIBS cyclar_app Qt6::Widgets)

# cyclar's own options, read before any display is opened.
cyclar_add_test(tst_cyclar_options SOURCES tst_cyclar_options.cpp LIBS cyclar_app)
target_compile_definitions(tst_cyclar_options PRIVATE CYCLAR_PATH="$<TARGET_FILE:cyclar>")
add_dependencies(tst_cyclar_options cyclar)
