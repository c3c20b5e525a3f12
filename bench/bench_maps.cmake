# The maps benchmark compares the core maps with std::unordered_map and QHash.
target_link_libraries(bench_maps PRIVATE kwcore Qt5::Core)
