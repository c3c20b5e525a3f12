# The composer's text is also read by an independent reader (expat), which
# accepts only well-formed XML 1.0.
pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
target_link_libraries(test_core_xml PRIVATE PkgConfig::EXPAT)
