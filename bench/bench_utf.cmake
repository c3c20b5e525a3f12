# The UTF benchmark needs only the core library and QtCore.
target_link_libraries(bench_utf PRIVATE kwcore Qt5::Core)
