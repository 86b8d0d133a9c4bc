# Linkage files: every bad file refused with its own sentence, bit-exact round trips, atomic writes.
cyclar_add_test(tst_files SOURCES tst_files.cpp LIBS cyclar_files)
