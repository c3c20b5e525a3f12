# The logger cannot be reset: the test of a never-used logger is a process of
# its own.
add_executable(test_auilib_logger_fresh ${dir}/fresh/FreshLoggerTest.cpp)
target_link_libraries(test_auilib_logger_fresh PRIVATE auilib GTest::gtest)
target_include_directories(test_auilib_logger_fresh PRIVATE ${dir})
add_test(NAME auilib_logger.fresh COMMAND test_auilib_logger_fresh)
set_tests_properties(auilib_logger.fresh PROPERTIES LABELS auilib TIMEOUT 60)
