chenxing_bench(bench_stats SOURCES bench_stats.cpp filled_store.cpp LIBS review_stats_page Qt6::Test)
