# Pages driven through their widgets: bounds, clock, sliders, hand-overs, long page chains.
cyclar_add_test(tst_pages SOURCES tst_pages.cpp LIBS cyclar_pages Qt6::Widgets)

# The Analysis window: F2 and the picture's menu, markers in step with the frames, closing with
# its page, its place beside the page.
cyclar_add_test(tst_analysis_window SOURCES tst_analysis_window.cpp LIBS cyclar_pages Qt6::Widgets)

# Linkage files and exports on the pages: round trips, bad files, refused values, menu, cancel.
cyclar_add_test(tst_page_files SOURCES tst_page_files.cpp LIBS cyclar_pages Qt6::Widgets)
# The same window's place on a 1280 x 1024 screen, where the centred page must move to make room.
add_test(NAME tst_analysis_window_1280x1024 COMMAND tst_analysis_window itOpensBesideThePicture)
set_tests_properties(tst_analysis_window_1280x1024 PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/data/screen-1280x1024.json"
  TIMEOUT 120)

# The Analysis window on real X screens of 1280x1024, 1366x768 and 1920x1080 (Xvfb, no window
# manager): beside the page, both on the screen, nothing of the page covered.
add_test(NAME analysis_placement COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/analysis_placement.sh
                                         $<TARGET_FILE:cyclar> $<TARGET_FILE:cyclar-export>)
set_tests_properties(analysis_placement PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)

# The Design window: F3 and the picture's menu, the task's tables, a five-position task giving
# its linkage back and "Use this linkage", refused tasks by the one rule, task files, mechanisms
# and filters, the map's picks, tables kept, the drag, Help; its candidates in cyclar-export's
# order on the twenty tasks of tests/data/design_tasks.
cyclar_add_test(tst_design_window SOURCES tst_design_window.cpp LIBS cyclar_pages Qt6::Widgets)
target_compile_definitions(tst_design_window PRIVATE
                           CYCLAR_EXPORT_PATH="$<TARGET_FILE:cyclar-export>"
                           CYCLAR_DESIGN_TASKS="${CMAKE_CURRENT_LIST_DIR}/data/design_tasks")
add_dependencies(tst_design_window cyclar-export)

# The working and Exercise windows: F4 and the picture's menu, the working following the frame or
# held, word for word cyclar-export explain's; copy, Save as HTML, print on A4 and Letter; an
# exercise checked, its values shown only where the file allows; bad exercise files refused; the
# text and the handout those the browser's panel gets from its module's functions.
cyclar_add_test(tst_working_window SOURCES tst_working_window.cpp
                LIBS cyclar_pages cyclar_export_lib cyclar_web_shared cyclar_web_desk Qt6::Widgets
                     Qt6::PrintSupport)
