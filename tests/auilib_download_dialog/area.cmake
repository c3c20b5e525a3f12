# The download-and-install dialog: its Designer forms, enciphered by the
# build, as the tests' working folder.
include(${CMAKE_CURRENT_SOURCE_DIR}/support/auilib_fixtures/fixtures.cmake)
auilib_test_fixtures(test_auilib_download_dialog ${CMAKE_CURRENT_BINARY_DIR}/auilib_download_dialog/work)
