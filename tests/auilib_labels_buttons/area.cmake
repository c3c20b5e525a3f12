# The forms and language files of the widget-library fixtures, enciphered.
include(${CMAKE_CURRENT_SOURCE_DIR}/support/auilib_fixtures/fixtures.cmake)
auilib_test_fixtures(test_auilib_labels_buttons ${CMAKE_CURRENT_BINARY_DIR}/auilib_labels_buttons/work)

# The push button's icon size on a screen with scale factor 2: a process of its own.
add_executable(test_auilib_labels_buttons_scale2 ${dir}/scale2/ButtonWidgetIconScaleTest.cpp support/QtTestMain.cpp)
target_link_libraries(test_auilib_labels_buttons_scale2 PRIVATE auilib testkit)
target_include_directories(test_auilib_labels_buttons_scale2 PRIVATE ${dir})
add_test(NAME auilib_labels_buttons.scale2 COMMAND test_auilib_labels_buttons_scale2)
set_tests_properties(auilib_labels_buttons.scale2 PROPERTIES ENVIRONMENT "QT_SCALE_FACTOR=2" LABELS auilib TIMEOUT 60)
