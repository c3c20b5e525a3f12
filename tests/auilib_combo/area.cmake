# The forms of the widget-library fixtures, enciphered: a dialog made from
# a form holds both combo boxes.
include(${CMAKE_CURRENT_SOURCE_DIR}/support/auilib_fixtures/fixtures.cmake)
auilib_test_fixtures(test_auilib_combo ${CMAKE_CURRENT_BINARY_DIR}/auilib_combo/work)
