# The list box benchmark fills the widget library's list box.
target_link_libraries(bench_listbox PRIVATE auilib)
