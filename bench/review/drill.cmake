chenxing_bench(bench_drill SOURCES bench_drill.cpp filled_store.cpp LIBS review_drill Qt6::Test)
