# Dialog layer: number text rules, data exchange and its messages, key and close routing,
# timers, bitmap buttons, trackbar release, the page chain's hand-over and unwinding.
cyclar_add_test(tst_dialog SOURCES tst_dialog.cpp message_box_probe.h LIBS cyclar_dialog)
