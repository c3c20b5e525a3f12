# The round-trip comparison is the one the XML unit tests use, and so is the
# second, independent reader (expat) that the composer's text must satisfy.
target_include_directories(fuzz_xml_roundtrip PRIVATE ${PROJECT_SOURCE_DIR}/tests/core_xml)
pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
target_link_libraries(fuzz_xml_roundtrip PRIVATE PkgConfig::EXPAT)
