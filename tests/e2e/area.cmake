# The end-to-end tests mount the demo catalogue (tools/demo-service) on their
# own loopback server, build its packages with the Kzip writer and install
# them through the stand-in installer.
target_sources(test_e2e PRIVATE ${PROJECT_SOURCE_DIR}/tools/demo-service/DemoCatalog.cpp)
target_include_directories(test_e2e PRIVATE ${PROJECT_SOURCE_DIR}/tools/demo-service)
target_link_libraries(test_e2e PRIVATE kzipwriter)
add_dependencies(test_e2e installer-standin demo-service)
