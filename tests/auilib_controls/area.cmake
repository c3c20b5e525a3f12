# The factory is filled once per process: a process whose first act is a
# lookup is a process of its own.
add_executable(test_auilib_controls_fresh ${dir}/fresh/FreshFactoryTest.cpp)
target_link_libraries(test_auilib_controls_fresh PRIVATE auilib GTest::gtest)
add_test(NAME auilib_controls.fresh_factory COMMAND test_auilib_controls_fresh)
set_tests_properties(auilib_controls.fresh_factory PROPERTIES LABELS auilib TIMEOUT 60
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
