# The tree benchmark drives the widget library's tree control.
target_link_libraries(bench_tree_virtual PRIVATE auilib)
