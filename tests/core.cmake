# The Qt-free core. The libraries never link Qt; their test programs may.
# Render core: label glyphs equal to the text engine's and to the committed tables, cached frames
# equal to full ones, byte orders, pictures kept past the next frame.
cyclar_add_test(tst_render_core SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_render_core.cpp
                LIBS cyclar_render_core cyclar_render cyclar_artwork Qt6::Gui)
target_compile_definitions(tst_render_core PRIVATE CYCLAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
# Field rules: a page's read in order, live bounds, the messages, text cut at 31 characters.
cyclar_add_test(tst_field_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_field_rules.cpp LIBS cyclar_field_rules)
# Page state: the entry mode, Animate/Stop/Back and a release, the controls' read order, a
# linkage from a file.
cyclar_add_test(tst_page_state SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_page_state.cpp
                LIBS cyclar_page_state)

# Linkage design: candidates from tasks taken off known linkages in turned frames reach every
# position when posed afresh, give their linkage back; the one order and its mechanisms; function
# fits in degrees on noisy data; defects; special tasks in their own sentences; bad tasks refused.
cyclar_add_test(tst_design SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_design.cpp LIBS cyclar_design)

# The four-position solution map: every dyad keeps its arc through the positions, the generating
# linkage's pivots on the curves, five positions marked, two points making their linkage.
cyclar_add_test(tst_design_map SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_design_map.cpp
                LIBS cyclar_design)

# The design view: the candidate's tour through its positions, the task's arrows and the placed
# candidate where the task's points project.
cyclar_add_test(tst_design_view SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_design_view.cpp
                LIBS cyclar_design_view)

# The working: worked examples against values derived by hand, random positions against a
# derivation of the test's own, special positions in words and never NaN, the written forms.
cyclar_add_test(tst_working SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_working.cpp LIBS cyclar_explain)
# Exercises: bad exercise and answer files refused with their sentences, round trips, keys marked
# correct and moved answers not, questions without an answer, exercises made from a seed.
cyclar_add_test(tst_exercise SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_exercise.cpp
                LIBS cyclar_explain cyclar_files)
