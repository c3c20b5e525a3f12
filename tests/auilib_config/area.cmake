# The locale record is made once per process from the start environment:
# one process per environment, each its own ctest entry. LC_ALL and
# LC_MESSAGES are cleared so that LANG decides unless an entry sets them.
add_executable(test_auilib_config_start_locale ${dir}/start_locale/StartLocaleTest.cpp)
target_link_libraries(test_auilib_config_start_locale PRIVATE auilib GTest::gtest)
function(auilib_start_locale_test name expected_locale expected_language)
  add_test(NAME auilib_config.start_locale.${name} COMMAND test_auilib_config_start_locale)
  set_tests_properties(auilib_config.start_locale.${name} PROPERTIES LABELS auilib TIMEOUT 60
    ENVIRONMENT "LC_ALL=;LC_MESSAGES=;LC_NUMERIC=;${ARGN};EXPECTED_LOCALE_NAME=${expected_locale};EXPECTED_LANGUAGE=${expected_language}")
endfunction()
# de_DE is not installed on the build machines, so this also covers a locale
# the standard library refuses.
auilib_start_locale_test(de_DE de_DE.UTF-8 de_DE LANG=de_DE.UTF-8)
auilib_start_locale_test(C_UTF8 C.UTF-8 en-US LANG=C.UTF-8)
auilib_start_locale_test(unknown xx_YY.UTF-8 xx_YY LANG=xx_YY.UTF-8)
auilib_start_locale_test(messages_category xx_YY.UTF-8 xx_YY LANG=C.UTF-8 LC_MESSAGES=xx_YY.UTF-8)
auilib_start_locale_test(mixed_categories C.UTF-8 en-US LANG=C.UTF-8 LC_NUMERIC=C)
auilib_start_locale_test(posix_suffix POSIX.UTF-8 en-US LANG=POSIX.UTF-8)
