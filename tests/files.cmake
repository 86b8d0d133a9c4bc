# Linkage files: every bad file refused with its own sentence, bit-exact round trips, atomic writes.
cyclar_add_test(tst_files SOURCES tst_files.cpp LIBS cyclar_files)

# The one file writer: bytes, permissions, links, refusals naming the file, readable paths.
cyclar_add_test(tst_atomic_write SOURCES tst_atomic_write.cpp LIBS cyclar_atomic_write)

# Every writer (cyclar-export's and the program's menu items) under ENOSPC and EIO injected into
# write, fsync, close and rename with libfiu: exit 2 or one message box, the earlier file whole;
# standard output under EIO: exit 1 and one line.
add_test(NAME write_faults COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/write_faults.sh
                                   $<TARGET_FILE:cyclar-export> $<TARGET_FILE:tst_page_files>
                                   $<TARGET_FILE:cyclar>)
set_tests_properties(write_faults PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900)

# The writers as a user who is not root (nobody, when run as root): a read-only file, a named pipe
# and a device at the target are refused and left as they were, by cyclar-export, the program's
# menu items and the writer itself.
add_test(NAME write_permissions COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/write_permissions.sh
                                        $<TARGET_FILE:tst_atomic_write> $<TARGET_FILE:tst_export>
                                        $<TARGET_FILE:tst_page_files>)
set_tests_properties(write_permissions PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
