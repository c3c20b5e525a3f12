# The round-trip comparison is the one the XML unit tests use.
target_include_directories(fuzz_xml_roundtrip PRIVATE ${PROJECT_SOURCE_DIR}/tests/core_xml)
