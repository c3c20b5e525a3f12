# The Kzip tests build their packages with the project's writer.
target_link_libraries(test_kzip PRIVATE kzipwriter)
