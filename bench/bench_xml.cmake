# The XML benchmark compares the core reader with pugixml, expat and Qt's
# stream reader.
find_package(pugixml REQUIRED)
pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
target_link_libraries(bench_xml PRIVATE kwcore Qt5::Core pugixml::pugixml PkgConfig::EXPAT)
