# Clips: sizes, counts and colours of their frames, the figure of eight, seamless loops; the clip
# player on a hand-driven clock: start at frame 0, rate without drift, stalls, stop, reopen, empty.
cyclar_add_test(tst_clips SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_clips.cpp
                LIBS cyclar_render cyclar_dialog Qt6::Widgets)
