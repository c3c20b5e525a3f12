# The round-trip property compares the UTF-8 and UTF-16 coders with QString's.
target_link_libraries(test_core_text PRIVATE Qt5::Core)
