# The forms of the widget-library fixtures, enciphered: a dialog made from a
# form holds a tree control, and the dialog's event filter brings tooltips
# and key events to it.
include(${CMAKE_CURRENT_SOURCE_DIR}/support/auilib_fixtures/fixtures.cmake)
auilib_test_fixtures(test_auilib_treeview ${CMAKE_CURRENT_BINARY_DIR}/auilib_treeview/work)
