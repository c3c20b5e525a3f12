# The forms of the widget-library fixtures, enciphered.
include(${CMAKE_CURRENT_SOURCE_DIR}/support/auilib_fixtures/fixtures.cmake)
auilib_test_fixtures(test_auilib_edits ${CMAKE_CURRENT_BINARY_DIR}/auilib_edits/work)
