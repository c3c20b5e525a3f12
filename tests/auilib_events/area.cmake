# Comma and period keys depend on the locale a process starts with: one
# process per locale, each its own ctest entry.
add_executable(test_auilib_events_start_locale ${dir}/start_locale/StartLocaleTest.cpp)
target_link_libraries(test_auilib_events_start_locale PRIVATE auilib GTest::gtest)
foreach(lang de_DE en_US)
  add_test(NAME auilib_events.start_locale.${lang} COMMAND test_auilib_events_start_locale)
  set_tests_properties(auilib_events.start_locale.${lang} PROPERTIES
    ENVIRONMENT "LANG=${lang}.UTF-8" LABELS auilib TIMEOUT 60)
endforeach()
