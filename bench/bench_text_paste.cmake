# The paste benchmark drives the widget library's multi-line edit.
target_link_libraries(bench_text_paste PRIVATE auilib)
