# Group box, line, progress bar and containers (form and pictures test): the
# widget-library forms, enciphered by the build, as the tests' working folder.
include(${CMAKE_CURRENT_SOURCE_DIR}/support/auilib_fixtures/fixtures.cmake)
auilib_test_fixtures(test_auilib_ranges_containers ${CMAKE_CURRENT_BINARY_DIR}/auilib_ranges_containers/work)
