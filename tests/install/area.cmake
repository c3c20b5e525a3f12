# The install tests place the stand-in installer and build their packages
# with the project's Kzip writer.
add_dependencies(test_install installer-standin)
target_link_libraries(test_install PRIVATE kzipwriter)
