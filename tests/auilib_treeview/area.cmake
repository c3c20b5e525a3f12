# The forms of the widget-library fixtures, enciphered: a dialog made from a
# form holds a tree control, and the dialog's event filter brings tooltips
# and key events to it.
include(${CMAKE_CURRENT_SOURCE_DIR}/support/auilib_fixtures/fixtures.cmake)
auilib_test_fixtures(test_auilib_treeview ${CMAKE_CURRENT_BINARY_DIR}/auilib_treeview/work)

# Drops inside the tree need a drag that stays open while its events arrive:
# a process of its own on the minimal platform.
add_executable(test_auilib_treeview_drop ${dir}/drop/TreeDropTest.cpp support/QtTestMain.cpp)
target_link_libraries(test_auilib_treeview_drop PRIVATE auilib testkit)
target_include_directories(test_auilib_treeview_drop PRIVATE ${dir})
add_test(NAME auilib_treeview.drop COMMAND test_auilib_treeview_drop)
set_tests_properties(auilib_treeview.drop PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=minimal" LABELS auilib TIMEOUT 120)
