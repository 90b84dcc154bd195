chenxing_bench(bench_stats SOURCES bench_stats.cpp filled_store.cpp LIBS review_drill Qt6::Test)
