# The form benchmark loads generated forms through the widget library.
target_link_libraries(bench_forms PRIVATE auilib)
