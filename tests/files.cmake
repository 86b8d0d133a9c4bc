# Linkage files: every bad file refused with its own sentence, bit-exact round trips, atomic writes.
cyclar_add_test(tst_files SOURCES tst_files.cpp LIBS cyclar_files)

# The one file writer: bytes, permissions, links, refusals naming the file, readable paths.
cyclar_add_test(tst_atomic_write SOURCES tst_atomic_write.cpp LIBS cyclar_atomic_write)

# Every writer (cyclar-export's and the program's menu items) under ENOSPC and EIO injected into
# write, fsync, close and rename with libfiu: exit 2 or one message box, the earlier file whole.
add_test(NAME write_faults COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/write_faults.sh
                                   $<TARGET_FILE:cyclar-export> $<TARGET_FILE:tst_page_files>)
set_tests_properties(write_faults PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900)
