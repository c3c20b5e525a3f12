# The forms of the widget-library fixtures, enciphered: a dialog shows a
# control's menu on right-click.
include(${CMAKE_CURRENT_SOURCE_DIR}/support/auilib_fixtures/fixtures.cmake)
auilib_test_fixtures(test_auilib_menu ${CMAKE_CURRENT_BINARY_DIR}/auilib_menu/work)
