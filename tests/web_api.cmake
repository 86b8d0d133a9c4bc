# The browser's C interface built natively: every function of the table called as the page calls
# it, answers that parse, buffers of the promised size (the sanitizers watch), bad input refused.
# Both modules' functions, linked together.
cyclar_add_test(tst_web_api SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_web_api.cpp
                LIBS cyclar_web_shared cyclar_web_page cyclar_web_desk)
