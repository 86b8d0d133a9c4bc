# The program's shell: title page, About, Circular View, F1, and the page chain end to end.
cyclar_add_test(tst_app SOURCES tst_app.cpp LIBS cyclar_app Qt6::Widgets)
